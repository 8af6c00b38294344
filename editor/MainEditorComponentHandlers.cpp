// The control handlers of MainEditorComponent: what each knob, button, label,
// combo box and beat strip does to the processor, and the pattern commands.
//
// Message thread only. Parameter writes all go through setParam: knob and step
// volume moves write without closing an undo transaction and the end of a drag
// closes it, so one drag is one undo step; switches, step buttons and the echo
// type box close one with every write.

#include "MainEditorComponent.h"

#include "editor/widgets/CvoPresetNameLabel.h"
#include "engine/params/CvoHelper.h"
#include "engine/params/CvoParameterManager.h"
#include "engine/params/CvoVarItemManager.h"

#include <cmath>

namespace
{
/** The processor's current pattern as a letter, "A".."H". */
juce::String currentPatternLetter (const ZkOstinelAudioProcessor& processor)
{
    return CvoHelper::digitFrom1To8ToACharAsString (processor.getCurrentPatternId() + 1);
}

float switchValue (bool on)
{
    return on ? 1.0f : 0.0f;
}

// The index-based gesture calls are deprecated in JUCE 7, but they are what
// reaches the plug-in wrapper's listener (and the host) for these parameters.
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
void beginGesture (ZkOstinelAudioProcessor& processor, int parameterIndex)
{
    processor.beginParameterChangeGesture (parameterIndex);
}

void endGesture (ZkOstinelAudioProcessor& processor, int parameterIndex)
{
    processor.endParameterChangeGesture (parameterIndex);
}
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif
} // namespace

//==============================================================================
void MainEditorComponent::setParam (const juce::String& name, float value,
                                    juce::NotificationType notification, TransactionFlag transaction,
                                    bool markPresetAsModified)
{
    processor->setParam (name, value, notification, transaction, markPresetAsModified);

    // Bypass and mute-all hide the labels' section, so they are not shown there.
    if (name != "Bypass" && name != "MuteAll")
        setChangedEntity (parameterManager != nullptr ? parameterManager->getParameter (name) : nullptr);
}

//==============================================================================
// Sliders

void MainEditorComponent::sliderValueChanged (juce::Slider* slider)
{
    const double value = slider->getValue();

    if (auto* stepVolume = dynamic_cast<CvoStepVolumeSlider*> (slider))
    {
        // "StepVolume-07-D": the slider's name is its step number.
        setParam ("StepVolume-" + stepVolume->getName() + "-" + currentPatternLetter (*processor),
                  static_cast<float> (value), juce::sendNotification, dontStartNewTransaction, true);
        return;
    }

    if (auto* knob = dynamic_cast<CvoRotarySlider*> (slider);
        knob != nullptr && knob->getParameter() != nullptr)
    {
        setParam (knob->getParameter()->getName(), static_cast<float> (value), juce::sendNotification,
                  dontStartNewTransaction, true);
        return;
    }

    // The waveform display's knobs write editor-only settings straight into the
    // setting manager.
    if (slider == zoomSlider.get())
    {
        if (varItemManager != nullptr)
            varItemManager->setVarItemValue ("viWaveDisplayZoomFactorYNormed", value);
        if (waveDisplayComponent != nullptr)
            waveDisplayComponent->setZoomFactorY (static_cast<float> (std::pow (20.0, value)));
    }
    else if (slider == cursorTailSlider.get())
    {
        if (varItemManager != nullptr)
            varItemManager->setVarItemValue ("viWaveDisplayCursorTailBrightness", value);
        if (waveDisplayComponent != nullptr)
            waveDisplayComponent->setCursorTailBrightness (static_cast<float> (value));
    }
    else if (slider == rhythmicLinesSlider.get())
    {
        if (varItemManager != nullptr)
            varItemManager->setVarItemValue ("viWaveDisplayRhythmicLinesBrightness", value);
        if (waveDisplayComponent != nullptr)
            waveDisplayComponent->setRhythmicLinesBrightness (static_cast<float> (value));
    }
}

void MainEditorComponent::setSliderCurrentlyBeingDragged (bool dragging)
{
    sliderIsCurrentlyBeingDragged = dragging;

    // No hover highlight of the step row while a slider is dragged across it.
    for (auto* button : stepSeqButtons)
        button->setShouldMouseOverGettingCheckedState (!dragging);

    for (auto* strip : volumeBeatStrips)
        strip->setShouldMouseOverGettingCheckedState (!dragging);

    for (auto* strip : lengthBeatStrips)
        strip->setShouldMouseOverGettingCheckedState (!dragging);
}

void MainEditorComponent::sliderDragStarted (juce::Slider* slider)
{
    setSliderCurrentlyBeingDragged (true);

    int parameterIndex = -1;

    if (auto* knob = dynamic_cast<CvoRotarySlider*> (slider))
    {
        if (knob->getParameter() != nullptr)
            parameterIndex = knob->getParameter()->getIndex();

        if (envelopeComponent != nullptr)
        {
            if (knob == attackSlider.get())
                envelopeComponent->setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingAttack);
            else if (knob == holdSlider.get())
                envelopeComponent->setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingHold);
            else if (knob == decaySlider.get())
                envelopeComponent->setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingDecay);
            else if (knob == sustainSlider.get())
                envelopeComponent->setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingSustain);
            else if (knob == releaseSlider.get())
                envelopeComponent->setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingRelease);
        }
    }
    else if (auto* stepVolume = dynamic_cast<CvoStepVolumeSlider*> (slider))
    {
        if (stepVolume->getParameter() == nullptr)
            return;

        parameterIndex = stepVolume->getParameter()->getIndex();
    }
    else
    {
        return;
    }

    if (parameterIndex >= 0)
        beginGesture (*processor, parameterIndex);
}

void MainEditorComponent::sliderDragEnded (juce::Slider* slider)
{
    setSliderCurrentlyBeingDragged (false);

    int parameterIndex = -1;

    if (auto* knob = dynamic_cast<CvoRotarySlider*> (slider))
    {
        if (knob->getParameter() != nullptr)
            parameterIndex = knob->getParameter()->getIndex();

        if (envelopeComponent != nullptr)
            envelopeComponent->setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingNone);
    }
    else if (auto* stepVolume = dynamic_cast<CvoStepVolumeSlider*> (slider))
    {
        if (stepVolume->getParameter() != nullptr)
            parameterIndex = stepVolume->getParameter()->getIndex();
    }
    else
    {
        return;
    }

    // The moves wrote without closing a transaction: the whole drag is one undo step.
    processor->beginNewTransaction();

    if (parameterIndex >= 0)
        endGesture (*processor, parameterIndex);
}

//==============================================================================
// Buttons

void MainEditorComponent::buttonClicked (juce::Button* button)
{
    // Toggle buttons have already changed their state.
    const bool on = button->getToggleState();

    if (button == nextButton.get())
    {
        processor->loadNextPreset();
        updateAll();
        return;
    }
    if (button == prevButton.get())
    {
        processor->loadPrevPreset();
        updateAll();
        return;
    }
    if (button == undoButton.get())
    {
        processor->undoLastParameterChange();
        updateAll();
        return;
    }
    if (button == redoButton.get())
    {
        processor->redoLastParameterChange();
        updateAll();
        return;
    }
    if (button == &saveButton)
    {
        showManagePresetsComponent();
        return;
    }
    if (button == settingsPopupButton.get())
    {
        createAndShowSettingsPopupMenu();
        return;
    }
    if (button == runButton.get() || button == runIndicatorButton.get())
    {
        processor->setVarItemValue ("viIsRunningState", on ? 1.0 : 0.0);
        return;
    }
    if (button == stopIndicatorButton.get())
    {
        processor->setVarItemValue ("viIsRunningState", on ? 0.0 : 1.0);
        return;
    }
    if (button == &shiftTabButton)
    {
        setVisiblePatternCommandTabContent (PatternCommandTabShift);
        return;
    }
    if (button == &copyTabButton)
    {
        setVisiblePatternCommandTabContent (PatternCommandTabCopy);
        return;
    }
    if (button == &randomTabButton)
    {
        setVisiblePatternCommandTabContent (PatternCommandTabRandom);
        return;
    }
    if (button == &initTabButton)
    {
        setVisiblePatternCommandTabContent (PatternCommandTabInit);
        return;
    }

    if (runPatternCommandOfButton (button))
        return;

    if (button == &bypassButton)
    {
        setParam ("Bypass", switchValue (on), juce::sendNotification, startNewTransaction, true);
        setBypassState (on);
        return;
    }
    if (button == &muteAllButton)
    {
        setParam ("MuteAll", switchValue (on), juce::sendNotification, startNewTransaction, true);
        setMuteAllState (on);
        return;
    }
    if (button == &tripletButton)
    {
        processor->setCurrentTripletMode (on);
        setTripletState (on);
        return;
    }
    if (button == &patternLengthMinusButton || button == &patternLengthPlusButton)
    {
        // 4 -> 2 -> 1 and 1 -> 2 -> 4; at either end nothing happens.
        const bool shorter = button == &patternLengthMinusButton;
        int newLength = 0;

        if (shorter)
            newLength = currentPatternLengthInBeats == 4 ? 2 : (currentPatternLengthInBeats == 2 ? 1 : 0);
        else
            newLength = currentPatternLengthInBeats == 1 ? 2 : (currentPatternLengthInBeats == 2 ? 4 : 0);

        if (newLength == 0)
            return;

        currentPatternLengthInBeats = newLength;
        processor->setCurrentPatternLengthInBeats (newLength);
        setPatternLengthInBeats (newLength);
        return;
    }
    if (button == &expertModeButton)
    {
        // Editor-only setting; the surface follows on the next tick.
        if (varItemManager != nullptr)
            varItemManager->setVarItemValue ("viExpertModeIsActive", on ? 1.0 : 0.0);
        return;
    }
    if (button == &globalFxOffButton)
    {
        processor->setVarItemValue ("viGlobalFxOffIsActive", on ? 1.0 : 0.0);
        setGlobalFxOffState (on);
        return;
    }
    if (button == &lowpassButton)
    {
        setParam ("LowpassActive", switchValue (on), juce::sendNotification, startNewTransaction, true);
        setLowpassActiveState (on);
        return;
    }
    if (button == &driveButton)
    {
        setParam ("DriveActive", switchValue (on), juce::sendNotification, startNewTransaction, true);
        setDriveActiveState (on);
        return;
    }
    if (button == &echoButton)
    {
        setParam ("EchoActive", switchValue (on), juce::sendNotification, startNewTransaction, true);
        setEchoActiveState (on);
        return;
    }
    if (button == &pingPongButton)
    {
        setParam ("EchoPingPong", switchValue (on), juce::sendNotification, startNewTransaction, true);
        return;
    }

    for (int i = 0; i < patternSelectButtons.size(); ++i)
    {
        if (button == patternSelectButtons[i])
        {
            processor->switchToPatternManually (i);
            return;
        }
    }

    if (auto* stepButton = dynamic_cast<CvoStepSeqButton*> (button))
    {
        // "StepLength-05-D": the button's name is its step number.
        setParam ("StepLength-" + stepButton->getName() + "-" + currentPatternLetter (*processor),
                  stepButton->getButtonStateAsNormedValue(), juce::sendNotification, startNewTransaction,
                  true);
    }
}

bool MainEditorComponent::runPatternCommandOfButton (juce::Button* button)
{
    enum class Command
    {
        shift,
        copy,
        paste,
        random,
        init
    };

    const struct
    {
        juce::DrawableButton* button;
        Command command;
        bool lengths, volumes;
        bool withPatternSettings; // copy, paste and init
        ShiftDirection direction; // shift
        const char* infoText;
    } commands[] = {
        {shiftAllLeftButton.get(), Command::shift, true, true, false, shiftLeft,
         "OK: shifted all step volume and length values one step left !"},
        {shiftAllRightButton.get(), Command::shift, true, true, false, shiftRight,
         "OK: shifted all step volume and length values one step right !"},
        {shiftVolumeLeftButton.get(), Command::shift, false, true, false, shiftLeft,
         "OK: shifted all step volume values one step left !"},
        {shiftVolumeRightButton.get(), Command::shift, false, true, false, shiftRight,
         "OK: shifted all step volume values one step right !"},
        {shiftLengthLeftButton.get(), Command::shift, true, false, false, shiftLeft,
         "OK: shifted all step length values one step left !"},
        {shiftLengthRightButton.get(), Command::shift, true, false, false, shiftRight,
         "OK: shifted all step length values one step right !"},
        {copyPatternButton.get(), Command::copy, true, true, true, shiftLeft,
         "OK: copied current gate pattern into clipboard !"},
        {pastePatternButton.get(), Command::paste, true, true, true, shiftLeft,
         "OK: pasted the whole gate pattern from clipboard !"},
        {copyVolumeButton.get(), Command::copy, false, true, false, shiftLeft,
         "OK: copied all step volume values into clipboard !"},
        {pasteVolumeButton.get(), Command::paste, false, true, false, shiftLeft,
         "OK: pasted all step volume values from clipboard !"},
        {copyLengthButton.get(), Command::copy, true, false, false, shiftLeft,
         "OK: copied all step length values into clipboard !"},
        {pasteLengthButton.get(), Command::paste, true, false, false, shiftLeft,
         "OK: pasted all step length values from clipboard !"},
        {randomAllButton.get(), Command::random, true, true, false, shiftLeft,
         "OK: created a random pattern for all step volume and length values !"},
        {randomVolumeButton.get(), Command::random, false, true, false, shiftLeft,
         "OK: created a random pattern for all step volume values !"},
        {randomLengthButton.get(), Command::random, true, false, false, shiftLeft,
         "OK: created a random pattern for all step length values !"},
        {initAllButton.get(), Command::init, true, true, true, shiftLeft,
         "OK: initialized current gate pattern (incl pattern length) !"},
        {initVolumeButton.get(), Command::init, false, true, false, shiftLeft,
         "OK: initialized all step volume values !"},
        {initLengthButton.get(), Command::init, true, false, false, shiftLeft,
         "OK: initialized all step length values !"},
    };

    for (const auto& entry : commands)
    {
        if (entry.button == nullptr || entry.button != button)
            continue;

        switch (entry.command)
        {
            case Command::shift:
                processor->shiftPattern (entry.lengths, entry.volumes, entry.direction);
                break;
            case Command::copy:
                processor->copyCurrentPatternIntoClipboard (entry.lengths, entry.volumes,
                                                            entry.withPatternSettings);
                break;
            case Command::paste:
                processor->pasteCurrentPatternFromClipboard (entry.lengths, entry.volumes,
                                                             entry.withPatternSettings);
                break;
            case Command::random:
                processor->createRandomPattern (entry.lengths, entry.volumes);
                break;
            case Command::init:
                processor->initPattern (entry.lengths, entry.volumes, entry.withPatternSettings);
                break;
        }

        // The flash covers the beats of the length shown before the command; a
        // new length shows on the next tick.
        startSlimBcButtonsFlash (entry.lengths, entry.volumes);
        setNewInfoText (entry.infoText, true);
        return true;
    }

    return false;
}

//==============================================================================
// Pattern commands shared with the menu

void MainEditorComponent::copyCurrentPatternIntoClipboard (bool lengths, bool volumes, bool patternLength)
{
    processor->copyCurrentPatternIntoClipboard (lengths, volumes, patternLength);
    startSlimBcButtonsFlash (lengths, volumes);
}

void MainEditorComponent::pasteCurrentPatternFromClipboard (bool lengths, bool volumes, bool patternLength)
{
    processor->pasteCurrentPatternFromClipboard (lengths, volumes, patternLength);
    startSlimBcButtonsFlash (lengths, volumes);
}

void MainEditorComponent::startSlimBcButtonsFlash (bool lengths, bool volumes)
{
    const int beats =
        juce::jmin (currentPatternLengthInBeats, volumeBeatStrips.size(), lengthBeatStrips.size());

    for (int beat = 0; beat < beats; ++beat)
    {
        if (volumes)
            volumeBeatStrips[beat]->startFlashing();
        if (lengths)
            lengthBeatStrips[beat]->startFlashing();
    }
}

//==============================================================================
// Beat strips, echo type box, labels

void MainEditorComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    // The strip below the steps acts on the step lengths, the one above on the
    // step volumes of its beat.
    const auto copyOrPaste = [this] (CvoSlimBeatCommandsButton& strip, bool lengths, int beat)
    {
        if (strip.wasLastButtonClickedCopy())
            processor->copyPatternBeatIntoClipboard (lengths, !lengths, beat);
        else
            processor->pastePatternBeatFromClipboard (lengths, !lengths, beat);
    };

    for (int beat = 0; beat < lengthBeatStrips.size(); ++beat)
    {
        if (source == lengthBeatStrips[beat])
        {
            copyOrPaste (*lengthBeatStrips[beat], true, beat);
            return;
        }
    }

    for (int beat = 0; beat < volumeBeatStrips.size(); ++beat)
    {
        if (source == volumeBeatStrips[beat])
        {
            copyOrPaste (*volumeBeatStrips[beat], false, beat);
            return;
        }
    }
}

void MainEditorComponent::comboBoxChanged (juce::ComboBox* comboBox)
{
    if (comboBox == nullptr || comboBox != echoTypeComboBox.get())
        return;

    const int numItems = comboBox->getNumItems();
    const int item = comboBox->getSelectedItemIndex();

    if (numItems <= 0 || item < 0)
        return; // nothing selected: nothing to write

    // The middle of the item's share of 0..1: (i + 1) / N - 0.5 / N.
    const double value = (item + 1.0) / numItems - 0.5 / numItems;

    // The box edits the echo time of the parameter that matches the shown
    // pattern's triplet mode.
    setParam (tripletIsActive ? "EchoTypeTriplet" : "EchoTypeNormal", static_cast<float> (value),
              juce::sendNotification, startNewTransaction, true);
}

void MainEditorComponent::labelTextChanged (juce::Label* label)
{
    const juce::String text = label->getText().trim();

    if (label == channelNameLabel.get())
    {
        setChannelName (text);
        return;
    }

    if (label == presetNameLabel.get())
    {
        const juce::String accepted = text.retainCharacters (processor->getAllowedCharsForPresetNames());

        if (accepted.isEmpty())
        {
            setNewInfoText ("PRESET NAME: new preset name not accepted !!!", true);
            label->setText (processor->getProgramName (0), juce::dontSendNotification);
            return;
        }

        processor->setCurrentPresetNameUndoable (accepted);
        label->setText (accepted, juce::dontSendNotification);
    }
}

void MainEditorComponent::editorShown (juce::Label* label, juce::TextEditor& textEditor)
{
    if (label == nullptr || label != channelNameLabel.get())
        return;

    // The label's font at the label's full height [pixels].
    juce::Font font = textEditor.getFont();
    font.setHeight (static_cast<float> (label->getHeight()));
    textEditor.setFont (font);
    textEditor.applyFontToAllText (font);
}
