#include "CvoPresetNameLabel.h"

CvoPresetNameLabel::CvoPresetNameLabel (int maxLengthToUse, const juce::String& labelName,
                                        const juce::String& labelText,
                                        const juce::String& allowedCharactersToUse)
    : juce::Label (labelName, labelText)
    , maxLength (maxLengthToUse)
    , allowedCharacters (allowedCharactersToUse)
{
}

CvoPresetNameLabel::~CvoPresetNameLabel() = default;

void CvoPresetNameLabel::editorShown (juce::TextEditor* textEditor)
{
    juce::Label::editorShown (textEditor);

    if (textEditor == nullptr)
        return;

    const auto bareName = textEditor->getText().removeCharacters ("*");
    textEditor->setInputRestrictions (maxLength, allowedCharacters);
    textEditor->setText (bareName, true);
    textEditor->selectAll();
}
