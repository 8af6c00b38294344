// PENDING: placeholder bodies of the refresh loop; only what construction and the
// state setters need is filled in (full refresh, info line, preset name, undo buttons).

#include "MainEditorComponent.h"

#include "editor/widgets/CvoPresetNameLabel.h"

void MainEditorComponent::timerCallback() {}

void MainEditorComponent::updateAll()
{
    updatePresetNameFromPluginProcessor();
    setChannelName (processor->getChannelName());
    colourSchemeBrightness = processor->getCurrentColourSchemeBrightness();
    updateColourSchemeBrightness();
    ioConfigIsOK = processor->checkInputOutputConfig();
    updateUndoButtons();
    updateVisibilityOfAllComponents();
}

void MainEditorComponent::updateAllParameters() {}

void MainEditorComponent::setEditorParameterValue (int, float) {}

void MainEditorComponent::updateAllGuiElementsRelatedToVarItems() {}

void MainEditorComponent::checkAndUpdateVarItemChanges() {}

void MainEditorComponent::updateGuiElementRelatedToVarItem (const juce::String&) {}

void MainEditorComponent::setNewInfoText (const juce::String& text, bool hasPriority)
{
    if (bottomInfoLabel == nullptr || (!hasPriority && infoTextHasPriority))
        return;

    bottomInfoLabel->setText (text, juce::dontSendNotification);
    infoTextHasPriority = hasPriority;
}

void MainEditorComponent::setChangedEntity (CvoParameter*) {}

void MainEditorComponent::updateUndoButtons()
{
    if (undoButton != nullptr)
        undoButton->setEnabled (processor->canUndo());
    if (redoButton != nullptr)
        redoButton->setEnabled (processor->canRedo());
}

void MainEditorComponent::updatePresetNameFromPluginProcessor()
{
    if (presetNameLabel != nullptr)
        presetNameLabel->setText (processor->getCurrentPresetName(), juce::dontSendNotification);
}

void MainEditorComponent::checkAndUpdateParameterChanges() {}

void MainEditorComponent::checkAndUpdateInfoText() {}

void MainEditorComponent::checkAndUpdateSettingsPopupMenu() {}

bool MainEditorComponent::componentUnderMouseIsOK()
{
    return false;
}

void MainEditorComponent::checkAndUpdateCurrentStep() {}

void MainEditorComponent::checkAndUpdateTransportSection() {}

void MainEditorComponent::checkAndUpdateComponentUnderMouse() {}

void MainEditorComponent::checkAndUpdateEnvelopeComponentFont() {}
