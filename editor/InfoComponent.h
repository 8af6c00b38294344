#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "editor/widgets/CvoFittedText.h"
#include "editor/widgets/CvoPresetNameLabel.h"

class MainEditorComponent;
class ZkOstinelAudioProcessor;

/**
    The info and settings screen that covers the whole editor while it is shown:
    title, version and plug-in format, build line, current and default editor
    size, sample rate, operating system, host and channel counts; buttons for the
    editor size settings, clearing the undo history and the DAW timing offset,
    whose value in samples is typed into a small label.

    The main editor creates it hidden and shows and hides it; CLOSE and
    RESIZE TO DEFAULT go back to the main editor (a null main editor is
    allowed: those two then only refresh the screen).

    Message thread only.
*/
class InfoComponent : public juce::Component,
                      public juce::Button::Listener,
                      public juce::Label::Listener,
                      public CvoPaintedTextSource
{
public:
    /** font: the main editor's font (not owned, may be null: the texts then use
        the graphics context's font). */
    InfoComponent (ZkOstinelAudioProcessor* processor, MainEditorComponent* mainEditor, juce::Font* font);
    ~InfoComponent() override;

    void paint (juce::Graphics& g) override;

    /** The size, system and host lines and, while the offset is on, "Samples". */
    juce::Array<CvoFittedText> getPaintedTexts() const override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void labelTextChanged (juce::Label* label) override;

    /** Enables the buttons from the processor's sizes and undo history (SET
        CURRENT AS DEFAULT from the height shown), shows the offset label while
        the offset is on, and repaints. */
    void updateAllComponents();

    /** Shows the offset state on the toggle (no notification). */
    void setDawTimingOffsetState (bool isOn);

    /** Shows the offset [samples] in the label (no notification). */
    void setDawTimingOffsetInSamples (int samples);

    /** The offset [samples] typed into the offset label: an optional sign and the
        digits that follow it; 0 when the text does not start with a number.
        Values beyond the int range saturate. */
    static int parseOffsetText (const juce::String& text);

    /** "VST 64bit", "AU 64bit", ... for the processor's wrapper type; empty
        when the processor runs in no known plug-in format. */
    static juce::String getFormatName (int wrapperType);

    /** The attribution line of a wrapper type ("VST Plugin Technology\n", ...);
        empty when the processor runs in no known plug-in format. */
    static juce::String getFormatAttribution (int wrapperType);

    // The children, for the main editor's refresh loop and for tests.
    juce::TextButton& getCloseButton() { return closeButton; }
    juce::TextButton& getResizeToDefaultButton() { return resizeToDefaultButton; }
    juce::TextButton& getSetCurrentAsDefaultButton() { return setCurrentAsDefaultButton; }
    juce::TextButton& getResetDefaultSizeButton() { return resetDefaultSizeButton; }
    juce::TextButton& getClearUndoHistoryButton() { return clearUndoHistoryButton; }
    juce::TextButton& getDawTimingOffsetButton() { return dawTimingOffsetButton; }
    juce::TextEditor& getTitleText() { return titleText; }
    juce::TextEditor& getFormatText() { return formatText; }
    juce::Label& getGlobalSamplesOffsetLabel() { return *globalSamplesOffsetLabel; }
    bool getDawTimingOffsetState() const { return dawTimingOffsetState; }

private:
    /** [pixels] The height the editor is shown at: the main editor's, or without
        one the processor's stored height. */
    int getShownEditorHeight() const;

    void setUpTextEditor (juce::TextEditor& editor, const juce::String& text);
    void setUpButton (juce::TextButton& button, juce::Colour onColour);

    ZkOstinelAudioProcessor* processor;
    MainEditorComponent* mainEditor;
    float currentHeight = 0.0f; // [pixels] at the last resized
    juce::Font* infoFont;       // not owned

    juce::TextButton closeButton{"CLOSE"};
    juce::TextButton resizeToDefaultButton{"RESIZE TO DEFAULT"};
    juce::TextButton setCurrentAsDefaultButton{"SET CURRENT AS DEFAULT"};
    juce::TextButton resetDefaultSizeButton{"RESET DEFAULT SIZE"};
    juce::TextButton clearUndoHistoryButton{"CLEAR UNDO HISTORY"};
    juce::TextButton dawTimingOffsetButton{"DAW TIMING OFFSET"};
    juce::TextEditor titleText;
    juce::TextEditor formatText;
    std::unique_ptr<CvoPresetNameLabel> globalSamplesOffsetLabel;
    bool dawTimingOffsetState = false;
    std::unique_ptr<juce::Drawable> logoDrawable;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InfoComponent)
};
