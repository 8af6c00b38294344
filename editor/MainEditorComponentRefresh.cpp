// The refresh loop of MainEditorComponent: the 70 ms tick that pulls parameter
// values, settings, the transport and the current step out of the processor,
// the full refresh, the info line and the changed-entity labels.
//
// Message thread only. The values polled here are written by the host's audio
// thread and host threads; they are read through the processor's atomics and
// the managers' lock-free flags and queue.

#include "MainEditorComponent.h"

#include "ZkTransportText.h"

#include "editor/InfoComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/widgets/CvoPresetNameLabel.h"
#include "editor/widgets/CvoScreenVisibilitySource.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"
#include "engine/params/CvoHelper.h"
#include "engine/params/CvoParameterManager.h"
#include "engine/params/CvoVarItemManager.h"

#include <cmath>

namespace
{
constexpr int numSteps = 16;

const auto priorityInfoTextLifetime = juce::RelativeTime::seconds (3.0);
const auto hoverInfoTextLifetime = juce::RelativeTime::seconds (6.0);
const auto changedEntityLifetime = juce::RelativeTime::seconds (1.0);
const auto settingsMenuCheckInterval = juce::RelativeTime::seconds (2.0);

/** A setting's value as an int: ints and bools as they are, doubles truncated
    toward zero (bounded, non-finite 0). */
int varToInt (const juce::var& value)
{
    if (value.isDouble())
        return ZkTransportText::truncateToInt (static_cast<double> (value));

    return static_cast<int> (value);
}

/** The pattern letter of a per-pattern parameter name, read from `offset` on, as
    a pattern id (0 for "A"). */
int patternIdOf (const juce::String& name, int offset)
{
    return CvoHelper::stringFromAToHToInt (name.substring (offset));
}
} // namespace

//==============================================================================
void MainEditorComponent::timerCallback()
{
    // While the window cannot be seen nothing here is drawn: the checks wait
    // (their flags and queues keep what changed) and run at once when the
    // window is seen again. An open settings menu is a window of its own and is
    // still closed once the mouse has left it.
    if (!CvoScreenVisibilitySource::isOnScreen (*this))
    {
        checkAndUpdateSettingsPopupMenu();
        return;
    }

    // The order matters: parameters and settings first, so that the state flags
    // that the later checks read (running, resizing) are current.
    checkAndUpdateParameterChanges();
    checkAndUpdateVarItemChanges();
    checkAndUpdateInfoText();
    checkAndUpdateSettingsPopupMenu();
    checkAndUpdateCurrentStep();
    checkAndUpdateTransportSection();
    checkAndUpdateComponentUnderMouse();
    checkAndUpdateEnvelopeComponentFont();
}

void MainEditorComponent::updateAll()
{
    updateAllParameters();
    updatePresetNameFromPluginProcessor();
    setChannelName (processor->getChannelName());
    colourSchemeBrightness = processor->getCurrentColourSchemeBrightness();
    updateColourSchemeBrightness();
    updateAllGuiElementsRelatedToVarItems();
    ioConfigIsOK = processor->checkInputOutputConfig();
    updateUndoButtons();
    updateVisibilityOfAllComponents();
}

//==============================================================================
// Parameters

void MainEditorComponent::checkAndUpdateParameterChanges()
{
    if (parameterManager == nullptr)
        return;

    if (parameterManager->getParameterNeedsToBeUpdatedInEditor())
    {
        for (int i = 0; i < parameterManager->getNumberOfParameters(); ++i)
            if (auto* parameter = parameterManager->getParameter (i);
                parameter != nullptr && parameter->hasFlagChanged())
                setEditorParameterValue (i, parameterManager->getParameterValue (i));
    }

    // The three flags are test-and-clear: each is taken on every tick, whatever
    // the others say, so that a raise is never left pending.
    const bool sampleRateChanged = parameterManager->getSampleRateNeedsToBeUpdatedInEditor();

    if (sampleRateChanged && infoComponent != nullptr && infoComponent->isVisible())
        infoComponent->repaint();

    if (parameterManager->getPresetNameNeedsToBeUpdatedInEditor())
        updatePresetNameFromPluginProcessor();

    if (parameterManager->getUndoButtonsNeedToBeUpdatedInEditor())
        updateUndoButtons();
}

void MainEditorComponent::updateAllParameters()
{
    if (parameterManager == nullptr)
        return;

    for (int i = 0; i < parameterManager->getNumberOfParameters(); ++i)
        setEditorParameterValue (i, parameterManager->getParameterValue (i));
}

void MainEditorComponent::setEditorParameterValue (int index, float value)
{
    if (parameterManager == nullptr)
        return;

    // Parameter names are unique, so dispatching on the name of the index is the
    // same as comparing the index with the index of each name, without a scan of
    // the whole list per name.
    const juce::String name = parameterManager->getParameterName (index);
    const bool on = value > 0.5f;

    const auto showToggle = [] (juce::Button& button, bool state)
    { button.setToggleState (state, juce::dontSendNotification); };

    // Two writes, so that the knob redraws even when the value is unchanged.
    const auto showKnob = [value] (CvoRotarySlider* knob)
    {
        if (knob == nullptr)
            return;
        knob->setValue (1.0 - static_cast<double> (value), juce::dontSendNotification);
        knob->setValue (value, juce::dontSendNotification);
    };

    if (name == "Bypass")
    {
        showToggle (bypassButton, on);
        setBypassState (on);
        return;
    }
    if (name == "MuteAll")
    {
        showToggle (muteAllButton, on);
        setMuteAllState (on);
        return;
    }

    using EnvelopeSetter = void (CvoEnvAHDSRComponent::*) (float);
    const struct
    {
        const char* parameterName;
        CvoRotarySlider* knob;
        EnvelopeSetter envelopeSetter;
    } knobs[] = {
        {"InputGain", inputGainSlider.get(), nullptr},
        {"Mix", mixSlider.get(), nullptr},
        {"OutputGain", outputGainSlider.get(), nullptr},
        {"Attack", attackSlider.get(), &CvoEnvAHDSRComponent::setAttack},
        {"Hold", holdSlider.get(), &CvoEnvAHDSRComponent::setHold},
        {"Decay", decaySlider.get(), &CvoEnvAHDSRComponent::setDecay},
        {"Sustain", sustainSlider.get(), &CvoEnvAHDSRComponent::setSustain},
        {"Release", releaseSlider.get(), &CvoEnvAHDSRComponent::setRelease},
        {"Swing", swingSlider.get(), nullptr},
        {"MakeUpGain", makeUpGainSlider.get(), nullptr},
        {"TimeOffset", timeOffsetSlider.get(), nullptr},
        {"ShortStepLength", shortStepLengthSlider.get(), nullptr},
        {"LongStepLength", longStepLengthSlider.get(), nullptr},
        {"LowpassCutoff", lowpassCutoffSlider.get(), nullptr},
        {"LowpassReso", lowpassResoSlider.get(), nullptr},
        {"DriveInputGain", driveInputGainSlider.get(), nullptr},
        {"DriveOutputGain", driveOutputGainSlider.get(), nullptr},
        {"EchoLevel", echoLevelSlider.get(), nullptr},
        {"EchoFeedback", echoFeedbackSlider.get(), nullptr},
    };

    for (const auto& knob : knobs)
    {
        if (name != knob.parameterName)
            continue;

        showKnob (knob.knob);

        if (knob.envelopeSetter != nullptr && envelopeComponent != nullptr)
            (envelopeComponent.get()->*knob.envelopeSetter) (value);
        return;
    }

    if (name == "LowpassActive")
    {
        showToggle (lowpassButton, on);
        setLowpassActiveState (on);
        return;
    }
    if (name == "DriveActive")
    {
        showToggle (driveButton, on);
        setDriveActiveState (on);
        return;
    }
    if (name == "EchoActive")
    {
        showToggle (echoButton, on);
        setEchoActiveState (on);
        return;
    }
    if (name == "EchoPingPong")
    {
        showToggle (pingPongButton, on);
        return;
    }
    if (name == "EchoTypeNormal" || name == "EchoTypeTriplet")
    {
        // Only the parameter that matches the shown pattern's triplet mode.
        if ((name == "EchoTypeTriplet") != tripletIsActive || echoTypeComboBox == nullptr)
            return;

        const int numItems = echoTypeComboBox->getNumItems();

        if (numItems <= 0)
            return;

        // int (N x v), bounded to the items: the top value 1.0 is the last item,
        // as it is for the processor.
        const float scaled = static_cast<float> (numItems) * value;
        const int item =
            std::isfinite (scaled) ? static_cast<int> (juce::jlimit (0.0f, float (numItems - 1), scaled)) : 0;
        echoTypeComboBox->setSelectedItemIndex (item, juce::dontSendNotification);
        return;
    }
    if (name == "PatternSelect")
    {
        // v x 7 in single precision, as the processor computes it; bounded before
        // the conversion.
        const float scaled = value * 7.0f;
        const int pattern = std::isfinite (scaled) ? static_cast<int> (juce::jlimit (0.0f, 7.0f, scaled)) : 0;

        if (auto* button = patternSelectButtons[pattern])
            button->setToggleState (true, juce::dontSendNotification);
        return;
    }

    // Per-pattern parameters show only for the current pattern; the others appear
    // when their pattern is selected, because every write refreshes every parameter.
    const int currentPattern = processor->getCurrentPatternId();

    if (name.startsWith ("PatternLength"))
    {
        // "PatternLength-A"
        if (patternIdOf (name, 14) == currentPattern)
        {
            currentPatternLengthInBeats = processor->getCurrentPatternLengthInBeats();
            setPatternLengthInBeats (currentPatternLengthInBeats);
        }
    }
    if (name.startsWith ("TripletMode"))
    {
        // "TripletMode-A". On at 0.5 and above, like the processor's triplet switch.
        if (patternIdOf (name, 12) == currentPattern)
        {
            const bool triplet = value >= 0.5f;
            const bool tripletChanged = triplet != tripletIsActive;
            showToggle (tripletButton, triplet);
            setTripletState (triplet);

            // The echo type parameters come before the pattern parameters, so in
            // this pass the box has shown the echo type of the old mode: show the
            // one of the new mode.
            if (tripletChanged)
            {
                const int echoType =
                    parameterManager->getParameterIndex (triplet ? "EchoTypeTriplet" : "EchoTypeNormal");

                if (echoType >= 0)
                    setEditorParameterValue (echoType, parameterManager->getParameterValue (echoType));
            }
        }
    }
    if (name.startsWith ("StepLength"))
    {
        // "StepLength-05-D": step number in characters 11 and 12, letter at 14.
        const int step = name.substring (11, 13).getIntValue();

        if (patternIdOf (name, 14) == currentPattern && step >= 1 && step <= numSteps)
            if (auto* button = stepSeqButtons[step - 1])
                button->setButtonStateFromNormedValue (value);
    }
    if (name.startsWith ("StepVolume"))
    {
        const int step = name.substring (11, 13).getIntValue();

        if (patternIdOf (name, 14) == currentPattern && step >= 1 && step <= numSteps)
            if (auto* slider = stepVolumeSliders[step - 1])
                slider->setValue (value, juce::dontSendNotification);
    }
}

//==============================================================================
// Settings

void MainEditorComponent::checkAndUpdateVarItemChanges()
{
    if (varItemManager == nullptr)
        return;

    // Bounded, so that settings rewritten without pause by the audio thread cannot
    // hold the message thread here; whatever is left is taken on the next tick.
    const int maxPullsPerTick = 4 * juce::jmax (1, varItemManager->getNumberOfVarItems());

    for (int pulls = 0; pulls < maxPullsPerTick && varItemManager->hasModifiedVarItems(); ++pulls)
    {
        auto* item = varItemManager->pullNextModifiedVarItem();

        if (item == nullptr)
            break;

        updateGuiElementRelatedToVarItem (item->getName());
    }
}

void MainEditorComponent::updateAllGuiElementsRelatedToVarItems()
{
    if (varItemManager == nullptr)
        return;

    for (int id = 0; id < varItemManager->getNumberOfVarItems(); ++id)
        updateGuiElementRelatedToVarItem (varItemManager->getVarItemName (id));
}

void MainEditorComponent::updateGuiElementRelatedToVarItem (const juce::String& name)
{
    if (varItemManager == nullptr)
        return;

    const juce::var value = varItemManager->getVar (name);
    const bool isOne = static_cast<double> (value) == 1.0;

    if (name == "viExpertModeIsActive")
    {
        expertModeIsActive = isOne;
        updateVisibilityOfAllComponents();
        resized();
        expertModeButton.setToggleState (isOne, juce::dontSendNotification);
    }
    if (name == "viGlobalFxOffIsActive")
    {
        globalFxOffButton.setToggleState (isOne, juce::dontSendNotification);
        setGlobalFxOffState (isOne);
    }
    if (name == "viInputSignalIsMono")
    {
        if (isOne != inputSignalIsMono)
        {
            inputSignalIsMono = isOne;

            if (inputVuMeter != nullptr)
                inputVuMeter->setMonoState (isOne);
            if (outputVuMeter != nullptr)
                outputVuMeter->setMonoState (isOne);

            setEchoActiveState (echoIsActive); // PINGPONG follows the mono state
        }
    }
    if (name == "viWaveDisplayZoomFactorYNormed")
    {
        const double normed = static_cast<double> (value);

        if (zoomSlider != nullptr)
            zoomSlider->setValue (normed, juce::dontSendNotification);
        if (waveDisplayComponent != nullptr)
            waveDisplayComponent->setZoomFactorY (static_cast<float> (std::pow (20.0, normed)));
    }
    if (name == "viWaveDisplayCursorTailBrightness")
    {
        if (cursorTailSlider != nullptr)
            cursorTailSlider->setValue (static_cast<double> (value), juce::dontSendNotification);
        if (waveDisplayComponent != nullptr)
            waveDisplayComponent->setCursorTailBrightness (static_cast<float> (static_cast<double> (value)));
    }
    if (name == "viWaveDisplayRhythmicLinesBrightness")
    {
        if (rhythmicLinesSlider != nullptr)
            rhythmicLinesSlider->setValue (static_cast<double> (value), juce::dontSendNotification);
        if (waveDisplayComponent != nullptr)
            waveDisplayComponent->setRhythmicLinesBrightness (
                static_cast<float> (static_cast<double> (value)));
    }
    if (name == "viDawTimingOffsetState")
    {
        if (infoComponent != nullptr)
            infoComponent->setDawTimingOffsetState (isOne);
    }
    if (name == "viDawTimingOffsetInSamples")
    {
        if (infoComponent != nullptr)
            infoComponent->setDawTimingOffsetInSamples (varToInt (value));
    }
    if (name == "viIsPlayingState")
        updateAutoRunIndicatorState();
    if (name == "viAutoRunInStopMode")
    {
        autoRunInStopModeIsActive = static_cast<bool> (value);
        updateAutoRunIndicatorState();
    }
    if (name == "viIsRunningState")
        setIsRunningState (static_cast<bool> (value));
    if (name == "viPatternCommandTabContent")
        setVisiblePatternCommandTabContent (static_cast<PatternCommandTabContentType> (varToInt (value)));
}

//==============================================================================
// Info line, changed entity, preset name, undo buttons

void MainEditorComponent::setNewInfoText (const juce::String& text, bool hasPriority)
{
    if (bottomInfoLabel == nullptr)
        return;

    if (hasPriority)
    {
        bottomInfoLabel->setText (text, juce::dontSendNotification);
        infoTextHasPriority = true;
        lastPriorityInfoTextTime = juce::Time::getCurrentTime();
        return;
    }

    // Hover texts wait until a priority text has expired.
    if (infoTextHasPriority)
        return;

    bottomInfoLabel->setText (text, juce::dontSendNotification);
    lastInfoTextTime = juce::Time::getCurrentTime();
}

void MainEditorComponent::checkAndUpdateInfoText()
{
    if (bottomInfoLabel == nullptr || bottomInfoLabel->getText().isEmpty() || isResizing)
        return;

    const auto now = juce::Time::getCurrentTime();

    if (infoTextHasPriority)
    {
        if (now > lastPriorityInfoTextTime + priorityInfoTextLifetime)
        {
            bottomInfoLabel->setText ({}, juce::dontSendNotification);
            infoTextHasPriority = false;
        }
    }
    else if (now > lastInfoTextTime + hoverInfoTextLifetime)
    {
        bottomInfoLabel->setText ({}, juce::dontSendNotification);
    }
}

void MainEditorComponent::setChangedEntity (CvoParameter* parameter)
{
    if (changedEntityNameLabel == nullptr || changedEntityValueLabel == nullptr)
        return;

    if (parameter == nullptr)
    {
        changedEntityNameLabel->setText ({}, juce::dontSendNotification);
        changedEntityValueLabel->setText ({}, juce::dontSendNotification);
        return;
    }

    changedEntityNameLabel->setText (parameter->getName(), juce::dontSendNotification);
    changedEntityValueLabel->setText (parameter->getValueAsText(), juce::dontSendNotification);
    lastChangedEntityTime = juce::Time::getCurrentTime();
}

void MainEditorComponent::updateUndoButtons()
{
    if (undoButton != nullptr)
        undoButton->setEnabled (processor->canUndo());
    if (redoButton != nullptr)
        redoButton->setEnabled (processor->canRedo());
    if (infoComponent != nullptr)
        infoComponent->updateAllComponents();
}

void MainEditorComponent::updatePresetNameFromPluginProcessor()
{
    if (presetNameLabel != nullptr)
        presetNameLabel->setText (processor->getCurrentPresetName(), juce::dontSendNotification);
}

//==============================================================================
// Settings menu watch

void MainEditorComponent::checkAndUpdateSettingsPopupMenu()
{
    if (!settingsPopupMenuIsActive)
        return;

    const auto now = juce::Time::getCurrentTime();

    if (now <= settingsPopupMenuTime + settingsMenuCheckInterval)
        return;

    if (componentUnderMouseIsOK())
    {
        settingsPopupMenuTime = now; // another two seconds
        return;
    }

    juce::PopupMenu::dismissAllActiveMenus();
    settingsPopupMenuIsActive = false;
}

bool MainEditorComponent::componentUnderMouseIsOK()
{
    auto* component = juce::Desktop::getInstance().findComponentAt (juce::Desktop::getMousePosition());

    if (component == nullptr)
        return false;

    if (settingsPopupButton != nullptr &&
        (component == settingsPopupButton.get() || settingsPopupButton->isParentOf (component)))
        return true;

    // The framework names its popup menu windows "menu".
    for (auto* c = component; c != nullptr; c = c->getParentComponent())
        if (c->getName().isNotEmpty())
            return c->getName() == "menu";

    return false;
}

//==============================================================================
// Step cursor and transport

void MainEditorComponent::checkAndUpdateCurrentStep()
{
    const int step = processor->getCurrentStepIndex();

    if (step == lastStepIndex)
        return;

    lastStepIndex = step;

    for (int i = 0; i < stepCursorLeds.size(); ++i)
        stepCursorLeds[i]->setActive (i == step && isRunning);
}

void MainEditorComponent::checkAndUpdateTransportSection()
{
    currentPositionInQuarters = processor->getPositionAsDouble();

    if (currentBpm != processor->getLastBpm())
        currentBpm = processor->getLastBpm();

    if (positionLabel != nullptr)
        positionLabel->setText (ZkTransportText::getPositionText (currentPositionInQuarters),
                                juce::dontSendNotification);
    if (timeLabel != nullptr)
        timeLabel->setText (ZkTransportText::getTimeText (currentPositionInQuarters, currentBpm),
                            juce::dontSendNotification);
    if (bpmLabel != nullptr)
        bpmLabel->setText (juce::String (currentBpm, 2) + " BPM", juce::dontSendNotification);

    if (juce::Time::getCurrentTime() > lastChangedEntityTime + changedEntityLifetime)
        setChangedEntity (nullptr);
}

//==============================================================================
// Hover help and the pattern-command highlight

void MainEditorComponent::checkAndUpdateComponentUnderMouse()
{
    if (sliderIsCurrentlyBeingDragged)
        return;

    updateForComponentUnderMouse (
        juce::Desktop::getInstance().findComponentAt (juce::Desktop::getMousePosition()));
}

void MainEditorComponent::updateForComponentUnderMouse (juce::Component* component)
{
    if (component == nullptr)
    {
        setNewInfoText ({}, false);
        return;
    }

    if (component == this || component == &patternCommandTabBackground)
        setNewInfoText ({}, false);

    // Only components of this editor window (a host window or a menu is not ours).
    auto* window = static_cast<juce::Component*> (editorWindow);

    if (window == nullptr || !window->isParentOf (component))
        return;

    if (auto* client = dynamic_cast<juce::SettableTooltipClient*> (component))
        setNewInfoText (client->getTooltip(), false);

    using OverState = PatternCommandTabContentBackground::PatternCommandTypeContentBackgroundIsOverState;
    const struct
    {
        juce::DrawableButton* button;
        OverState overState;
    } commandButtons[] = {
        {shiftAllLeftButton.get(), PatternCommandTabContentBackground::IsOverAll},
        {shiftAllRightButton.get(), PatternCommandTabContentBackground::IsOverAll},
        {copyPatternButton.get(), PatternCommandTabContentBackground::IsOverAll},
        {pastePatternButton.get(), PatternCommandTabContentBackground::IsOverAll},
        {randomAllButton.get(), PatternCommandTabContentBackground::IsOverAll},
        {initAllButton.get(), PatternCommandTabContentBackground::IsOverAll},
        {shiftVolumeLeftButton.get(), PatternCommandTabContentBackground::IsOverVolume},
        {shiftVolumeRightButton.get(), PatternCommandTabContentBackground::IsOverVolume},
        {copyVolumeButton.get(), PatternCommandTabContentBackground::IsOverVolume},
        {pasteVolumeButton.get(), PatternCommandTabContentBackground::IsOverVolume},
        {randomVolumeButton.get(), PatternCommandTabContentBackground::IsOverVolume},
        {initVolumeButton.get(), PatternCommandTabContentBackground::IsOverVolume},
        {shiftLengthLeftButton.get(), PatternCommandTabContentBackground::IsOverLength},
        {shiftLengthRightButton.get(), PatternCommandTabContentBackground::IsOverLength},
        {copyLengthButton.get(), PatternCommandTabContentBackground::IsOverLength},
        {pasteLengthButton.get(), PatternCommandTabContentBackground::IsOverLength},
        {randomLengthButton.get(), PatternCommandTabContentBackground::IsOverLength},
        {initLengthButton.get(), PatternCommandTabContentBackground::IsOverLength},
    };

    OverState overState = PatternCommandTabContentBackground::IsOverNone;

    for (const auto& command : commandButtons)
    {
        if (command.button == nullptr)
            continue;

        if (command.button == component)
            overState = command.overState;

        command.button->setAlpha (tabButtonAlpha);
    }

    patternCommandTabBackground.setIsOverState (overState);

    // The hovered button stands out of its group; the group's other buttons dim.
    if (auto* hovered = dynamic_cast<juce::DrawableButton*> (component))
    {
        for (auto* group : {&shiftTabButtons, &copyTabButtons, &randomTabButtons, &initTabButtons})
        {
            if (!group->contains (hovered))
                continue;

            for (auto* button : *group)
                button->setAlpha (tabButtonDimAlpha);

            hovered->setAlpha (tabButtonHoverAlpha);
            break;
        }
    }
}

void MainEditorComponent::checkAndUpdateEnvelopeComponentFont()
{
    if (envelopeComponent == nullptr || envelopeComponent->getFont() != nullptr)
        return;

    if (auto* zkLookAndFeel = dynamic_cast<CvoZkLookAndFeelV1*> (&getLookAndFeel()))
        envelopeComponent->setFont (zkLookAndFeel->getDefaultFont());
}
