// State flags mirrored from the processor, the surface's own modes, the single
// visibility rule, the pattern-command tabs and the colour scheme.

#include "MainEditorComponent.h"

#include "editor/InfoComponent.h"
#include "editor/ManagePresetsComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/widgets/CvoZkColours.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"
#include "engine/params/CvoVarItemManager.h"

namespace
{
const juce::String noChannelName ("No Channel Name");
}

//==============================================================================
// Effect switches: an effect's knobs are enabled only while the effect is on and
// GLOBAL FX OFF is not set.
void MainEditorComponent::setLowpassActiveState (bool isActive)
{
    lowpassIsActive = isActive;
    const bool enabled = isActive && !globalFxOffIsActive;
    lowpassCutoffSlider->setEnabled (enabled);
    lowpassResoSlider->setEnabled (enabled);
    repaint();
}

void MainEditorComponent::setDriveActiveState (bool isActive)
{
    driveIsActive = isActive;
    const bool enabled = isActive && !globalFxOffIsActive;
    driveInputGainSlider->setEnabled (enabled);
    driveOutputGainSlider->setEnabled (enabled);
    repaint();
}

void MainEditorComponent::setEchoActiveState (bool isActive)
{
    echoIsActive = isActive;
    const bool enabled = isActive && !globalFxOffIsActive;
    echoLevelSlider->setEnabled (enabled);
    echoFeedbackSlider->setEnabled (enabled);
    pingPongButton.setEnabled (enabled && !inputSignalIsMono); // ping-pong needs two channels
    echoTypeComboBox->setEnabled (enabled);
    repaint();
}

void MainEditorComponent::setGlobalFxOffState (bool isActive)
{
    globalFxOffIsActive = isActive;
    setLowpassActiveState (lowpassIsActive);
    setDriveActiveState (driveIsActive);
    setEchoActiveState (echoIsActive);
    lowpassButton.setEnabled (!isActive);
    driveButton.setEnabled (!isActive);
    echoButton.setEnabled (!isActive);
}

//==============================================================================
void MainEditorComponent::setBypassState (bool isActive)
{
    bypassIsActive = isActive;
    envelopeComponent->setBypassState (isActive);
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->setBypassState (isActive);
    updateVisibilityOfAllComponents();
}

void MainEditorComponent::setMuteAllState (bool isActive)
{
    muteAllIsActive = isActive;
    envelopeComponent->setMuteAllState (isActive);
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->setMuteAllState (isActive);
    updateVisibilityOfAllComponents();
}

void MainEditorComponent::setTripletState (bool isActive)
{
    tripletIsActive = isActive;
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->setTripletState (isActive);
    updateVisibilityOfAllComponents();
    resized(); // the step row has another layout in triplet mode
}

//==============================================================================
void MainEditorComponent::setIsRunningState (bool running)
{
    isRunning = running;
    runButton->setToggleState (running, juce::dontSendNotification);
    runIndicatorButton->setToggleState (running, juce::dontSendNotification);
    stopIndicatorButton->setToggleState (!running, juce::dontSendNotification);
    updateAutoRunIndicatorState();
}

void MainEditorComponent::updateAutoRunIndicatorState()
{
    // Lit while the gate runs by itself with the host stopped.
    autoRunIndicatorButton->setEnabled (autoRunInStopModeIsActive);
    autoRunIndicatorButton->setToggleState (autoRunInStopModeIsActive && isRunning && !processor->isPlaying(),
                                            juce::dontSendNotification);
}

void MainEditorComponent::setPatternLengthInBeats (int beats)
{
    // i / 4 < beats is i < 4 x beats without the product overflowing.
    for (int i = 0; i < 16; ++i)
    {
        const bool enabled = i / 4 < beats;
        stepSeqButtons[i]->setEnabled (enabled);
        stepVolumeSliders[i]->setEnabled (enabled);
        stepCursorLeds[i]->setEnabled (enabled);
    }

    for (int beat = 0; beat < 4; ++beat)
    {
        lengthBeatStrips[beat]->setEnabled (beat < beats);
        volumeBeatStrips[beat]->setEnabled (beat < beats);
    }

    patternLengthLabel->setText (juce::String (beats), juce::dontSendNotification);
    repaint();
}

void MainEditorComponent::setChannelName (juce::String name)
{
    if (name.isNotEmpty() && name != noChannelName)
    {
        processor->setChannelName (name);
        channelNameLabel->setText (name, juce::dontSendNotification);
        channelNameLabel->setColour (juce::Label::textColourId, juce::Colours::black);
        channelNameIsSet = true;
    }
    else
    {
        processor->setChannelName (noChannelName);
        channelNameLabel->setText (noChannelName, juce::dontSendNotification);
        channelNameLabel->setColour (juce::Label::textColourId, CvoZkColours::zkmainColour.darker (0.2f));
        channelNameIsSet = false;
    }

    repaint();
}

//==============================================================================
void MainEditorComponent::updateVisibilityOfAllComponents()
{
    const bool base = ioConfigIsOK && !isResizing && !infoComponentIsVisible;

    channelNameLabel->setVisible (base);

    // The panel's show() makes it visible by itself; a rejected input/output
    // configuration must keep it hidden as well.
    if (isResizing || !ioConfigIsOK)
        managePresetsComponent->setVisible (false);
    else if (managePresetsComponentIsVisible)
        managePresetsComponent->setVisible (true);

    const bool mainViewShown = base && !managePresetsComponentIsVisible;
    // BYPASS is decided below with the output side.
    for (auto* component : std::initializer_list<juce::Component*>{
             undoButton.get(), redoButton.get(), settingsPopupButton.get(), envelopeComponent.get(),
             waveDisplayComponent.get(), positionLabel.get(), timeLabel.get(), bpmLabel.get(),
             runIndicatorButton.get(), stopIndicatorButton.get(), autoRunIndicatorButton.get()})
        if (component != nullptr)
            component->setVisible (mainViewShown);
    channelNameLabel->setEditable (mainViewShown, true, true);

    // Bypass keeps the output side, mute-all the input side.
    const bool inputSideShown = mainViewShown && !bypassIsActive;
    muteAllButton.setVisible (inputSideShown);
    inputVuMeter->setVisible (inputSideShown);
    inputGainSlider->setVisible (inputSideShown);

    const bool outputSideShown = mainViewShown && !muteAllIsActive;
    outputVuMeter->setVisible (outputSideShown);
    bypassButton.setVisible (outputSideShown);

    const bool fullViewShown = mainViewShown && !bypassIsActive && !muteAllIsActive;
    outputGainSlider->setVisible (fullViewShown);
    for (auto* component : mainComponentList)
        component->setVisible (fullViewShown);

    if (fullViewShown)
    {
        for (auto* component : expertComponentList)
            component->setVisible (expertModeIsActive);

        // Three steps per beat in triplet mode: the fourth of each beat is hidden.
        if (tripletIsActive)
            for (int step = 3; step < 16; step += 4)
            {
                stepVolumeSliders.getUnchecked (step)->setVisible (false);
                stepSeqButtons.getUnchecked (step)->setVisible (false);
                stepCursorLeds.getUnchecked (step)->setVisible (false);
            }

        // The open tab's buttons are shown only in the full view.
        if (expertModeIsActive)
            updateVisibilityOfPatternCommandTabContent();
    }

    infoComponent->setVisible (!isResizing && infoComponentIsVisible);
    repaint();
}

void MainEditorComponent::setVisiblePatternCommandTabContent (PatternCommandTabContentType type)
{
    if (type == patternCommandTabContent)
        return;

    patternCommandTabContent = type;
    if (varItemManager != nullptr)
        varItemManager->setVarItemValue ("viPatternCommandTabContent", juce::var ((int)type));
    updateVisibilityOfPatternCommandTabContent();
}

void MainEditorComponent::updateVisibilityOfPatternCommandTabContent()
{
    for (auto* group : {&shiftTabButtons, &copyTabButtons, &randomTabButtons, &initTabButtons})
        setVisibilityOfTabContentComponents (*group, false);
    for (auto* tab : {&shiftTabButton, &copyTabButton, &randomTabButton, &initTabButton})
        tab->setToggleState (false, juce::dontSendNotification);
    patternCommandTabBackground.setEnabled (false);

    // A tab change can arrive from the settings while the tab area is not shown;
    // its buttons then wait for the next visibility update.
    const bool tabAreaShown = ioConfigIsOK && !isResizing && !infoComponentIsVisible &&
                              !managePresetsComponentIsVisible && !bypassIsActive && !muteAllIsActive &&
                              expertModeIsActive;

    const auto open = [this, tabAreaShown] (juce::Array<juce::DrawableButton*>& group, juce::TextButton& tab,
                                            bool doubleSpacing)
    {
        setVisibilityOfTabContentComponents (group, tabAreaShown);
        tab.setToggleState (true, juce::dontSendNotification);
        patternCommandTabBackground.setDoubleSpacingState (doubleSpacing);
    };

    switch (patternCommandTabContent)
    {
        case PatternCommandTabShift:
            open (shiftTabButtons, shiftTabButton, true);
            break;
        case PatternCommandTabCopy:
            open (copyTabButtons, copyTabButton, true);
            break;
        case PatternCommandTabRandom:
            open (randomTabButtons, randomTabButton, false);
            break;
        case PatternCommandTabInit:
            open (initTabButtons, initTabButton, false);
            break;
        case PatternCommandTabNone:
        default:
            patternCommandTabBackground.setEnabled (true); // shows its caption instead
            break;
    }
}

//==============================================================================
void MainEditorComponent::updateColourSchemeBrightness()
{
    const float b = colourSchemeBrightness;

    currentLightGrey = juce::Colours::darkgrey.brighter (b);
    if (auto* editorLookAndFeel = getEditorLookAndFeel())
        editorLookAndFeel->setCurrentLightGrey (currentLightGrey);

    const juce::Colour base = CvoZkColours::zkdarkGrey.brighter (b);

    // Every second beat is darker, so that the beats of the row stand apart.
    for (int i = 0; i < stepSeqButtons.size(); ++i)
    {
        const juce::Colour stepColour = (i / 4) % 2 == 1 ? base.darker (0.6f) : base;
        stepSeqButtons[i]->setBackgroundColours (stepColour, base);
        stepVolumeSliders[i]->setBackgroundColour (juce::Colours::black.brighter (b * 0.5f));
    }

    for (auto* strip : lengthBeatStrips)
        strip->setBackgroundColour (base.darker (0.1f));
    for (auto* strip : volumeBeatStrips)
        strip->setBackgroundColour (base.darker (0.1f));

    for (auto* component : colourComponentList)
        changeComponentNormalColour (component, base);

    processor->setCurrentColourSchemeBrightness (b);
    repaint();
}

//==============================================================================
void MainEditorComponent::showInfoComponent()
{
    infoComponentIsVisible = true;
    updateVisibilityOfAllComponents();
}

void MainEditorComponent::hideInfoComponent()
{
    updateUndoButtons();
    infoComponentIsVisible = false;
    updateVisibilityOfAllComponents();
}

void MainEditorComponent::showManagePresetsComponent()
{
    managePresetsComponentIsVisible = true;
    managePresetsComponent->show();
    updateVisibilityOfAllComponents();
    repaint();
}

void MainEditorComponent::saveUserPreset()
{
    managePresetsComponentIsVisible = false;
    managePresetsComponent->hide();
    updateVisibilityOfAllComponents();
    repaint();
    const bool saved = processor->saveCurrentPresetToDisk (managePresetsComponent->getPresetName(), true);
    updatePresetNameFromPluginProcessor();
    setNewInfoText (ManagePresetsComponent::getSaveReport (saved), true);
}

void MainEditorComponent::cancelUserPresetSaving()
{
    managePresetsComponentIsVisible = false;
    managePresetsComponent->hide();
    updateVisibilityOfAllComponents();
    repaint();
    setNewInfoText ("CANCEL: preset was NOT saved ...", true);
}

//==============================================================================
void MainEditorComponent::resizingStarted()
{
    isResizing = true;
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->resizingStarted();
    setNewInfoText ("", false);
    updateVisibilityOfAllComponents(); // only the window's resize picture remains
    repaint();
}

void MainEditorComponent::resizingStopped()
{
    isResizing = false;
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->resizingStopped();
    setNewInfoText (
        "Resizer: NEW SIZE set to " + juce::String (getWidth()) + "x" + juce::String (getHeight()), false);
    updateVisibilityOfAllComponents();
    repaint();
}

void MainEditorComponent::resizeToDefault()
{
    processor->setEditorHeight (processor->getDefaultEditorHeight());
    if (editorWindow != nullptr)
        editorWindow->updateEditorSize();
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->updateAfterResizing();
}
