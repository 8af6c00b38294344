#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/widgets/CvoFittedText.h"

class MainEditorComponent;
class ZkOstinelAudioProcessor;

/**
    The small panel in which the user names the current preset before it is
    saved as a user preset file. It offers the current preset's name (without
    the "*" of a modified preset), fully selected so that typing replaces it, and
    admits at most 39 of the characters allowed in preset names.

    It does not save by itself: SAVE and Return ask the main editor to save,
    CANCEL asks it to close the panel; Escape offers the name afresh and keeps
    the panel open. A null main editor is allowed (SAVE, Return and CANCEL then
    do nothing).

    Message thread only.
*/
class ManagePresetsComponent : public juce::Component,
                               public juce::TextEditor::Listener,
                               public juce::Button::Listener,
                               public CvoPaintedTextSource
{
public:
    static constexpr int maxPresetNameLength = 39; // [characters]

    /** font: the main editor's font object, shared (not owned, may be null); the
        panel sets its height on every resize. */
    ManagePresetsComponent (ZkOstinelAudioProcessor* processor, MainEditorComponent* mainEditor,
                            juce::Font* font);
    ~ManagePresetsComponent() override;

    void paint (juce::Graphics& g) override;

    /** "Preset Name:" above the name field. */
    juce::Array<CvoFittedText> getPaintedTexts() const override;
    void resized() override;
    void textEditorReturnKeyPressed (juce::TextEditor& editor) override;
    void textEditorEscapeKeyPressed (juce::TextEditor& editor) override;
    void buttonClicked (juce::Button* button) override;

    /** Offers the current preset name afresh, shows the panel and gives the name
        field the keyboard focus. */
    void show();
    void hide();

    /** The processor's current program name becomes the offered name; the field
        shows it without any "*", all selected. */
    void initPresetName();

    /** The field's text, or the name offered last when the field is empty. */
    juce::String getPresetName();

    /** The info line's report of a save: the confirmation when the preset file was
        written, the failure text otherwise. */
    static juce::String getSaveReport (bool presetWasSaved);

    // The children, for tests.
    juce::TextEditor& getPresetNameEditor() { return presetNameEditor; }
    juce::TextButton& getSaveButton() { return saveButton; }
    juce::TextButton& getCancelButton() { return cancelButton; }

private:
    ZkOstinelAudioProcessor* processor;
    MainEditorComponent* mainEditor;
    float width = 0.0f, height = 0.0f; // [pixels] at the last resized
    juce::TextButton saveButton{"SAVE"};
    juce::TextButton cancelButton{"CANCEL"};
    juce::TextEditor presetNameEditor;
    juce::String presetName;
    juce::Font* panelFont; // not owned; shared with the main editor

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ManagePresetsComponent)
};
