#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    An editable label for names. When its text editor opens, the text loses every
    "*" (the marker the processor appends to a modified preset's name), input is
    limited to maxLength characters of allowedCharacters, and all text is selected.

    Message thread only.
*/
class CvoPresetNameLabel : public juce::Label
{
public:
    CvoPresetNameLabel (int maxLength, const juce::String& labelName, const juce::String& labelText,
                        const juce::String& allowedCharacters);
    ~CvoPresetNameLabel() override;

    void editorShown (juce::TextEditor* textEditor) override;

private:
    int maxLength;
    juce::String allowedCharacters;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoPresetNameLabel)
};
