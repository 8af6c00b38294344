// The main surface's control handlers: which parameter each control writes, with
// which host gestures and undo transactions, the pattern commands with their
// result texts, the beat strips, the echo type box and the name labels.

#include "MainEditorBehaviourFixture.h"

#include "editor/widgets/CvoPresetNameLabel.h"
#include "engine/params/CvoParameter.h"

namespace
{
using HandlersTest = MainEditorBehaviourTest;

TEST_F (HandlersTest, KnobDragIsOneHostGestureAndOneUndoStep)
{
    auto& mix = knobFor ("Mix");
    const float before = parameterValue ("Mix");
    ASSERT_NE (before, 0.6f);

    HostEventRecorder recorder (processor);
    surface.sliderDragStarted (&mix);
    EXPECT_TRUE (probe.sliderIsBeingDragged()); // hover help and step hover paused
    for (double v : {0.3, 0.45, 0.6})
        mix.setValue (v, juce::sendNotificationSync);
    surface.sliderDragEnded (&mix);
    EXPECT_FALSE (probe.sliderIsBeingDragged());

    EXPECT_FLOAT_EQ (parameterValue ("Mix"), 0.6f);
    EXPECT_EQ (recorder.events,
               juce::StringArray ({"begin Mix", "change Mix", "change Mix", "change Mix", "end Mix"}));

    // The release closed the drag's transaction: undo after a second drag takes
    // back that drag only, and the next undo the whole first drag.
    drag (knobFor ("Swing"), {0.2, 0.4});
    click (probe.undo());
    EXPECT_FLOAT_EQ (parameterValue ("Mix"), 0.6f);

    click (probe.undo());
    EXPECT_FLOAT_EQ (parameterValue ("Mix"), before);
}

TEST_F (HandlersTest, StepVolumeDragSendsNoGestureButIsOneUndoStep)
{
    const float before = parameterValue ("StepVolume-07-A");

    HostEventRecorder recorder (processor);
    drag (probe.stepVolume (6), {0.2, 0.3});

    EXPECT_NEAR (parameterValue ("StepVolume-07-A"), 0.3f, 1.0e-6f);
    EXPECT_FALSE (recorder.events.joinIntoString (" ").contains ("begin"));
    EXPECT_FALSE (recorder.events.joinIntoString (" ").contains ("end"));

    drag (probe.stepVolume (7), {0.5});
    processor.undoLastParameterChange();
    EXPECT_NEAR (parameterValue ("StepVolume-07-A"), 0.3f, 1.0e-6f);

    processor.undoLastParameterChange();
    EXPECT_FLOAT_EQ (parameterValue ("StepVolume-07-A"), before);
}

TEST_F (HandlersTest, StepControlsWriteTheShownPattern)
{
    // Select pattern C through its button.
    click (probe.patternButton (2));
    ASSERT_EQ (processor.getCurrentPatternId(), 2);
    const float patternAValue = parameterValue ("StepLength-05-A");

    probe.stepButton (4).setButtonState (CvoStepSeqButton::LongStep);
    surface.buttonClicked (&probe.stepButton (4));

    EXPECT_FLOAT_EQ (parameterValue ("StepLength-05-C"), 0.625f);
    EXPECT_FLOAT_EQ (parameterValue ("StepLength-05-A"), patternAValue);
    EXPECT_EQ (probe.changedEntityName().getText(), "StepLength-05-C");

    probe.stepVolume (15).setValue (0.4, juce::sendNotificationSync);
    EXPECT_NEAR (parameterValue ("StepVolume-16-C"), 0.4f, 1.0e-6f);

    // The step button closed its own transaction: undo takes back the volume only.
    processor.undoLastParameterChange();
    EXPECT_FLOAT_EQ (parameterValue ("StepLength-05-C"), 0.625f);
}

TEST_F (HandlersTest, SwitchesWriteOnOffAndEachIsItsOwnUndoStep)
{
    click (probe.bypass());
    click (probe.lowpass());
    click (probe.pingPong()); // on by default: now off

    EXPECT_EQ (parameterValue ("Bypass"), 1.0f);
    EXPECT_EQ (parameterValue ("LowpassActive"), 1.0f);
    EXPECT_EQ (parameterValue ("EchoPingPong"), 0.0f);
    EXPECT_FALSE (probe.muteAll().isVisible()); // the surface followed at once

    processor.undoLastParameterChange();
    EXPECT_EQ (parameterValue ("EchoPingPong"), 1.0f);
    EXPECT_EQ (parameterValue ("LowpassActive"), 1.0f);

    processor.undoLastParameterChange();
    EXPECT_EQ (parameterValue ("LowpassActive"), 0.0f);
    EXPECT_EQ (parameterValue ("Bypass"), 1.0f);
}

TEST_F (HandlersTest, PatternLengthButtonsStepThroughOneTwoFourBeats)
{
    ASSERT_EQ (processor.getCurrentPatternLengthInBeats(), 4);

    // At four beats "+" does nothing and writes nothing.
    {
        HostEventRecorder recorder (processor);
        click (probe.patternLengthPlus());
        EXPECT_TRUE (recorder.events.isEmpty());
    }

    click (probe.patternLengthMinus());
    EXPECT_EQ (processor.getCurrentPatternLengthInBeats(), 2);
    EXPECT_EQ (probe.patternLengthLabel().getText(), "2");
    EXPECT_FALSE (probe.stepButton (8).isEnabled());

    click (probe.patternLengthMinus());
    EXPECT_EQ (processor.getCurrentPatternLengthInBeats(), 1);

    {
        HostEventRecorder recorder (processor);
        click (probe.patternLengthMinus());
        EXPECT_TRUE (recorder.events.isEmpty());
    }

    click (probe.patternLengthPlus());
    click (probe.patternLengthPlus());
    EXPECT_EQ (processor.getCurrentPatternLengthInBeats(), 4);
    EXPECT_TRUE (probe.stepButton (15).isEnabled());
}

TEST_F (HandlersTest, TripletButtonSwitchesTheShownPatternAndTheEchoTypeBoxFollows)
{
    click (probe.triplet());
    EXPECT_EQ (parameterValue ("TripletMode-A"), 1.0f);
    EXPECT_FALSE (probe.stepButton (3).isVisible());

    // In triplet mode the box writes the triplet echo time: the middle of item 1.
    probe.echoType().setSelectedItemIndex (1, juce::sendNotificationSync);
    EXPECT_NEAR (parameterValue ("EchoTypeTriplet"), 1.5f / 6.0f, 1.0e-6f);

    click (probe.triplet());
    probe.echoType().setSelectedItemIndex (3, juce::sendNotificationSync);
    EXPECT_NEAR (parameterValue ("EchoTypeNormal"), 3.5f / 6.0f, 1.0e-6f);
    EXPECT_NEAR (parameterValue ("EchoTypeTriplet"), 1.5f / 6.0f, 1.0e-6f);
}

TEST_F (HandlersTest, RunAndStopIndicatorsWriteTheRunningState)
{
    probe.stopIndicator().setToggleState (true, juce::dontSendNotification);
    surface.buttonClicked (&probe.stopIndicator());
    EXPECT_EQ (static_cast<double> (settings().getVar ("viIsRunningState")), 0.0);

    probe.runIndicator().setToggleState (true, juce::dontSendNotification);
    surface.buttonClicked (&probe.runIndicator());
    EXPECT_EQ (static_cast<double> (settings().getVar ("viIsRunningState")), 1.0);

    probe.run().setToggleState (false, juce::dontSendNotification);
    surface.buttonClicked (&probe.run());
    EXPECT_EQ (static_cast<double> (settings().getVar ("viIsRunningState")), 0.0);
}

TEST_F (HandlersTest, EditorOnlySettingsGoStraightToTheSettingManager)
{
    // Expert mode: the surface follows on the next tick.
    click (probe.expertMode());
    EXPECT_EQ (static_cast<double> (settings().getVar ("viExpertModeIsActive")), 1.0);
    EXPECT_FALSE (probe.zoom().isVisible());
    surface.timerCallback();
    EXPECT_TRUE (probe.zoom().isVisible());

    // The zoom knob writes its setting and starts no host gesture.
    HostEventRecorder recorder (processor);
    drag (probe.zoom(), {0.25});
    EXPECT_DOUBLE_EQ (static_cast<double> (settings().getVar ("viWaveDisplayZoomFactorYNormed")), 0.25);
    EXPECT_TRUE (recorder.events.isEmpty());

    drag (probe.cursorTail(), {0.9});
    EXPECT_DOUBLE_EQ (static_cast<double> (settings().getVar ("viWaveDisplayCursorTailBrightness")), 0.9);

    // GLOBAL FX OFF goes through the processor and disables the effect switches.
    click (probe.globalFxOff());
    EXPECT_EQ (static_cast<double> (settings().getVar ("viGlobalFxOffIsActive")), 1.0);
    EXPECT_FALSE (probe.lowpass().isEnabled());
}

TEST_F (HandlersTest, PatternCommandsActOnTheShownPatternAndReportAsPriorityText)
{
    auto& copyPattern = *probe.copyGroup()[0];
    auto& pastePattern = *probe.copyGroup()[1];
    auto& shiftVolumeRight = *probe.shiftGroup()[3];
    ASSERT_EQ (copyPattern.getName(), "COPY PATTERN");
    ASSERT_EQ (pastePattern.getName(), "PASTE PATTERN");
    ASSERT_EQ (shiftVolumeRight.getName(), "SHIFT VOLUME RIGHT");

    surface.setParam ("StepVolume-01-A", 0.2f, juce::sendNotification, startNewTransaction, true);
    surface.setParam ("StepLength-02-A", 0.875f, juce::sendNotification, startNewTransaction, true);

    surface.buttonClicked (&copyPattern);
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: copied current gate pattern into clipboard !");

    // A hover text does not replace the result.
    surface.updateForComponentUnderMouse (&probe.bypass());
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: copied current gate pattern into clipboard !");

    click (probe.patternButton (1));
    surface.buttonClicked (&pastePattern);
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: pasted the whole gate pattern from clipboard !");
    EXPECT_NEAR (parameterValue ("StepVolume-01-B"), 0.2f, 1.0e-6f);
    EXPECT_FLOAT_EQ (parameterValue ("StepLength-02-B"), 0.875f);

    surface.buttonClicked (&shiftVolumeRight);
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: shifted all step volume values one step right !");
    EXPECT_NEAR (parameterValue ("StepVolume-02-B"), 0.2f, 1.0e-6f);
    EXPECT_FLOAT_EQ (parameterValue ("StepLength-02-B"), 0.875f); // lengths stay

    // One command, one undo step.
    processor.undoLastParameterChange();
    EXPECT_NEAR (parameterValue ("StepVolume-01-B"), 0.2f, 1.0e-6f);
    EXPECT_FLOAT_EQ (parameterValue ("StepVolume-02-B"), parameterValue ("StepVolume-02-A"));
}

TEST_F (HandlersTest, BeatStripsCopyAndPasteOneBeatOfTheirRow)
{
    surface.setParam ("StepLength-05-A", 0.875f, juce::sendNotification, startNewTransaction, true);
    surface.setParam ("StepVolume-05-A", 0.3f, juce::sendNotification, startNewTransaction, true);

    // COPY on the length strip of beat 2 (steps 5..8), PASTE on that of beat 4.
    pressStripButton (probe.lengthStrip (1), "COPY");
    pressStripButton (probe.lengthStrip (3), "PASTE");

    EXPECT_FLOAT_EQ (parameterValue ("StepLength-13-A"), 0.875f);
    EXPECT_NE (parameterValue ("StepVolume-13-A"), 0.3f); // the length row only

    // The volume strips act on the volumes.
    pressStripButton (probe.volumeStrip (1), "COPY");
    pressStripButton (probe.volumeStrip (0), "PASTE");

    EXPECT_NEAR (parameterValue ("StepVolume-01-A"), 0.3f, 1.0e-6f);

    // Any other broadcaster is ignored.
    juce::ChangeBroadcaster stranger;
    surface.changeListenerCallback (&stranger);
    EXPECT_NEAR (parameterValue ("StepVolume-01-A"), 0.3f, 1.0e-6f);
}

TEST_F (HandlersTest, PresetNameKeepsOnlyAllowedCharacters)
{
    auto& label = probe.presetName();

    label.setText ("  My*Beat  ", juce::sendNotificationSync);
    const juce::String expected =
        juce::String ("My*Beat").retainCharacters (processor.getAllowedCharsForPresetNames());
    ASSERT_FALSE (expected.isEmpty());
    EXPECT_EQ (label.getText(), expected);
    EXPECT_TRUE (processor.getCurrentPresetName().startsWith (expected));

    // Nothing allowed: refused, the old name comes back and the refusal shows.
    const juce::String oldName = processor.getProgramName (0);
    label.setText ("***", juce::sendNotificationSync);
    EXPECT_EQ (label.getText(), oldName);
    EXPECT_EQ (probe.bottomInfo().getText(), "PRESET NAME: new preset name not accepted !!!");
}

TEST_F (HandlersTest, ChannelNameLabelNamesTheChannel)
{
    probe.channelName().setText ("  Drums ", juce::sendNotificationSync);
    EXPECT_EQ (processor.getChannelName(), "Drums");

    probe.channelName().setText ("   ", juce::sendNotificationSync);
    EXPECT_EQ (processor.getChannelName(), "No Channel Name");
}
} // namespace
