// PENDING: placeholder bodies of the control handlers and commands.

#include "MainEditorComponent.h"

void MainEditorComponent::sliderValueChanged (juce::Slider*) {}

void MainEditorComponent::sliderDragStarted (juce::Slider*) {}

void MainEditorComponent::sliderDragEnded (juce::Slider*) {}

void MainEditorComponent::buttonClicked (juce::Button*) {}

void MainEditorComponent::labelTextChanged (juce::Label*) {}

void MainEditorComponent::comboBoxChanged (juce::ComboBox*) {}

void MainEditorComponent::editorShown (juce::Label*, juce::TextEditor&) {}

void MainEditorComponent::changeListenerCallback (juce::ChangeBroadcaster*) {}

void MainEditorComponent::setParam (const juce::String& name, float value,
                                    juce::NotificationType notification, TransactionFlag transaction,
                                    bool markPresetAsModified)
{
    processor->setParam (name, value, notification, transaction, markPresetAsModified);
}

void MainEditorComponent::copyCurrentPatternIntoClipboard (bool, bool, bool) {}

void MainEditorComponent::pasteCurrentPatternFromClipboard (bool, bool, bool) {}

void MainEditorComponent::startSlimBcButtonsFlash (bool, bool) {}

void MainEditorComponent::setSliderCurrentlyBeingDragged (bool dragging)
{
    sliderIsCurrentlyBeingDragged = dragging;
}
