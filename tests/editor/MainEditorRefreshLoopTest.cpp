// The main surface's refresh loop: host automation, preset loads and settings
// reach the controls within one tick; per-pattern parameters show only for the
// shown pattern; the transport read-out; the info line, the changed-entity labels
// and the hover help with their lifetimes.

#include "MainEditorBehaviourFixture.h"

#include "editor/widgets/CvoPresetNameLabel.h"
#include "engine/params/CvoParameter.h"

namespace
{
const auto justOverThreeSeconds = juce::RelativeTime::seconds (3.1);

using RefreshLoopTest = MainEditorBehaviourTest;

TEST_F (RefreshLoopTest, HostAutomationOfKnobsAndSwitchesShowsOnTheNextTick)
{
    hostWrites ("Mix", 0.25f);
    hostWrites ("LowpassCutoff", 0.8f);
    hostWrites ("LowpassActive", 1.0f);
    hostWrites ("EchoPingPong", 0.0f);

    EXPECT_NE (knobFor ("Mix").getValue(), 0.25); // nothing before the tick
    surface.timerCallback();

    EXPECT_DOUBLE_EQ (knobFor ("Mix").getValue(), 0.25);
    EXPECT_NEAR (knobFor ("LowpassCutoff").getValue(), 0.8, 1.0e-4);
    EXPECT_TRUE (probe.lowpass().getToggleState());
    EXPECT_TRUE (probe.lowpassCutoff().isEnabled()); // the effect's knobs follow its switch
    EXPECT_FALSE (probe.pingPong().getToggleState());
}

TEST_F (RefreshLoopTest, BypassAndMuteAllSwitchTheViewFromTheHost)
{
    ASSERT_TRUE (probe.muteAll().isVisible());

    hostWrites ("Bypass", 1.0f);
    surface.timerCallback();

    EXPECT_TRUE (probe.bypass().getToggleState());
    EXPECT_FALSE (probe.muteAll().isVisible());

    hostWrites ("Bypass", 0.0f);
    hostWrites ("MuteAll", 1.0f);
    surface.timerCallback();

    EXPECT_FALSE (probe.bypass().getToggleState());
    EXPECT_TRUE (probe.muteAll().getToggleState());
    EXPECT_FALSE (probe.bypass().isVisible());
}

TEST_F (RefreshLoopTest, PerPatternParametersShowOnlyForTheShownPattern)
{
    // Pattern A is shown; the host writes step 3 of pattern B with a class and a
    // volume that step 3 does not show now.
    const auto before = probe.stepButton (2).getButtonState();
    const auto written =
        before == CvoStepSeqButton::StepLink ? CvoStepSeqButton::NoStep : CvoStepSeqButton::StepLink;
    const float writtenValue = written == CvoStepSeqButton::StepLink ? 0.875f : 0.125f;
    ASSERT_NE (probe.stepVolume (2).getValue(), 0.125);

    hostWrites ("StepLength-03-B", writtenValue);
    hostWrites ("StepVolume-03-B", 0.125f);
    surface.timerCallback();

    EXPECT_EQ (probe.stepButton (2).getButtonState(), before);
    EXPECT_NE (probe.stepVolume (2).getValue(), 0.125);

    // Selecting B shows them.
    hostWrites ("PatternSelect", 1.0f / 7.0f);
    surface.timerCallback();

    EXPECT_TRUE (probe.patternButton (1).getToggleState());
    EXPECT_FALSE (probe.patternButton (0).getToggleState());
    EXPECT_EQ (probe.stepButton (2).getButtonState(), written);
    EXPECT_NEAR (probe.stepVolume (2).getValue(), 0.125, 0.01);
}

TEST_F (RefreshLoopTest, PatternLengthAndTripletOfTheShownPattern)
{
    hostWrites ("PatternLength-A", 0.5f); // two beats
    surface.timerCallback();

    EXPECT_EQ (probe.patternLengthLabel().getText(), "2");
    EXPECT_TRUE (probe.stepButton (7).isEnabled());
    EXPECT_FALSE (probe.stepButton (8).isEnabled());
    EXPECT_FALSE (probe.lengthStrip (2).isEnabled());

    // The triplet switch is on at 0.5, as the processor plays it.
    hostWrites ("TripletMode-A", 0.5f);
    surface.timerCallback();

    EXPECT_TRUE (probe.triplet().getToggleState());
    EXPECT_FALSE (probe.stepButton (3).isVisible()); // the fourth step of each beat
    EXPECT_TRUE (probe.stepButton (2).isVisible());

    hostWrites ("TripletMode-A", 0.0f);
    surface.timerCallback();

    EXPECT_FALSE (probe.triplet().getToggleState());
    EXPECT_TRUE (probe.stepButton (3).isVisible());
}

TEST_F (RefreshLoopTest, EchoTypeBoxFollowsTheParameterOfTheTripletMode)
{
    hostWrites ("EchoTypeNormal", 0.75f); // int (6 x 0.75) = 4, "1/8T"
    surface.timerCallback();
    EXPECT_EQ (probe.echoType().getSelectedItemIndex(), 4);

    // The triplet echo time is not shown while the pattern is not in triplet mode.
    hostWrites ("EchoTypeTriplet", 0.1f);
    surface.timerCallback();
    EXPECT_EQ (probe.echoType().getSelectedItemIndex(), 4);

    // The top of the range is the last item, not an empty box.
    hostWrites ("EchoTypeNormal", 1.0f);
    surface.timerCallback();
    EXPECT_EQ (probe.echoType().getSelectedItemIndex(), 5);

    hostWrites ("TripletMode-A", 1.0f);
    surface.timerCallback();
    EXPECT_EQ (probe.echoType().getSelectedItemIndex(), 0); // now the triplet value 0.1
}

TEST_F (RefreshLoopTest, PatternSelectTruncatesToTheButtons)
{
    hostWrites ("PatternSelect", 1.0f);
    surface.timerCallback();
    EXPECT_TRUE (probe.patternButton (7).getToggleState());

    hostWrites ("PatternSelect", 0.99f);
    surface.timerCallback();
    EXPECT_TRUE (probe.patternButton (6).getToggleState());
    EXPECT_FALSE (probe.patternButton (7).getToggleState());
}

TEST_F (RefreshLoopTest, SettingsReachTheSurfaceOnTheNextTick)
{
    ASSERT_FALSE (probe.zoom().isVisible());

    settings().setVarItemValue ("viExpertModeIsActive", 1.0);
    settings().setVarItemValue ("viWaveDisplayZoomFactorYNormed", -0.5);
    settings().setVarItemValue ("viPatternCommandTabContent", 3);
    surface.timerCallback();

    EXPECT_TRUE (probe.expertMode().getToggleState());
    EXPECT_TRUE (probe.zoom().isVisible());
    EXPECT_DOUBLE_EQ (probe.zoom().getValue(), -0.5);
    EXPECT_EQ (probe.tabContent(), PatternCommandTabRandom);
    EXPECT_TRUE (probe.randomTab().getToggleState());

    // Running and auto run drive the transport indicators.
    processor.setVarItemValue ("viAutoRunInStopMode", false);
    processor.setVarItemValue ("viIsRunningState", true);
    surface.timerCallback();

    EXPECT_TRUE (probe.run().getToggleState());
    EXPECT_TRUE (probe.runIndicator().getToggleState());
    EXPECT_FALSE (probe.stopIndicator().getToggleState());
    EXPECT_FALSE (probe.autoRunIndicator().isEnabled());
}

TEST_F (RefreshLoopTest, MonoInputDisablesPingPongOnly)
{
    hostWrites ("EchoActive", 1.0f);
    surface.timerCallback();
    ASSERT_TRUE (probe.pingPong().isEnabled());

    settings().setVarItemValue ("viInputSignalIsMono", true);
    surface.timerCallback();

    EXPECT_FALSE (probe.pingPong().isEnabled());
    EXPECT_TRUE (probe.echoLevel().isEnabled());
    EXPECT_TRUE (probe.echoType().isEnabled());

    settings().setVarItemValue ("viInputSignalIsMono", false);
    surface.timerCallback();
    EXPECT_TRUE (probe.pingPong().isEnabled());
}

TEST_F (RefreshLoopTest, PresetLoadAndUndoStateShowOnTheNextTick)
{
    const auto names = processor.getAllFactoryPresetNames();
    ASSERT_GT (names.size(), 1);

    processor.loadFactoryPresetUndoableWithID (1);
    surface.timerCallback();

    EXPECT_EQ (probe.presetName().getText(), processor.getCurrentPresetName());
    EXPECT_TRUE (probe.presetName().getText().startsWith (names[1]));
    EXPECT_TRUE (probe.undo().isEnabled());
    EXPECT_FALSE (probe.redo().isEnabled());

    processor.undoLastParameterChange();
    surface.timerCallback();

    EXPECT_EQ (probe.presetName().getText(), processor.getCurrentPresetName());
    EXPECT_TRUE (probe.redo().isEnabled());
}

TEST_F (RefreshLoopTest, TransportReadOutBeforeTheFirstBlock)
{
    // No block yet: position 0, tempo -1.
    EXPECT_EQ (probe.positionLabel().getText(), "001.1.0");
    EXPECT_EQ (probe.timeLabel().getText(), "00:00");
    EXPECT_EQ (probe.bpmLabel().getText(), "-1.00 BPM");
}

TEST_F (RefreshLoopTest, ChangedEntityLabelsShowAWriteForOneSecond)
{
    surface.setParam ("Mix", 0.5f, juce::sendNotification, startNewTransaction, true);

    EXPECT_EQ (probe.changedEntityName().getText(), "Mix");
    EXPECT_EQ (probe.changedEntityValue().getText(), parameters().getParameter ("Mix")->getValueAsText());

    surface.timerCallback();
    EXPECT_EQ (probe.changedEntityName().getText(), "Mix");

    probe.ageChangedEntity (juce::RelativeTime::seconds (1.1));
    surface.timerCallback();
    EXPECT_TRUE (probe.changedEntityName().getText().isEmpty());
    EXPECT_TRUE (probe.changedEntityValue().getText().isEmpty());

    // Bypass and mute-all leave the labels alone; an unknown name empties them.
    surface.setParam ("Swing", 0.3f, juce::sendNotification, startNewTransaction, true);
    surface.setParam ("Bypass", 1.0f, juce::sendNotification, startNewTransaction, true);
    EXPECT_EQ (probe.changedEntityName().getText(), "Swing");

    surface.setParam ("NoSuchParameter", 0.3f, juce::sendNotification, startNewTransaction, true);
    EXPECT_TRUE (probe.changedEntityName().getText().isEmpty());
}

TEST (RefreshLoopStartTest, TheFirstTickClearsTheVersionText)
{
    TemporaryHome home;
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorEditor window (&processor);
    auto& surface = *window.getMainComponent();
    MainEditorComponentTestProbe probe (surface);

    EXPECT_EQ (probe.bottomInfo().getText(), probe.versionText());
    surface.checkAndUpdateInfoText();
    EXPECT_TRUE (probe.bottomInfo().getText().isEmpty());
}

TEST_F (RefreshLoopTest, PriorityTextsHoldTheInfoLineForThreeSeconds)
{
    surface.setNewInfoText ("OK: done !", true);
    surface.updateForComponentUnderMouse (&probe.bypass());
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: done !");

    surface.checkAndUpdateInfoText();
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: done !");

    probe.ageInfoLine (justOverThreeSeconds);
    surface.checkAndUpdateInfoText();
    EXPECT_TRUE (probe.bottomInfo().getText().isEmpty());

    // Hover texts show again.
    surface.updateForComponentUnderMouse (&probe.bypass());
    EXPECT_EQ (probe.bottomInfo().getText(), "BYPASS: bypass the whole plugin");
}

TEST_F (RefreshLoopTest, HoverTextsExpireAfterSixSecondsButNotWhileResizing)
{
    surface.setNewInfoText ("hover", false);
    probe.ageInfoLine (juce::RelativeTime::seconds (5.0));
    surface.checkAndUpdateInfoText();
    EXPECT_EQ (probe.bottomInfo().getText(), "hover");

    probe.ageInfoLine (juce::RelativeTime::seconds (1.1));
    surface.checkAndUpdateInfoText();
    EXPECT_TRUE (probe.bottomInfo().getText().isEmpty());

    surface.resizingStarted();
    surface.setNewInfoText ("OK: kept", true);
    probe.ageInfoLine (juce::RelativeTime::seconds (10.0));
    surface.checkAndUpdateInfoText();
    EXPECT_EQ (probe.bottomInfo().getText(), "OK: kept");
    surface.resizingStopped();
}

TEST_F (RefreshLoopTest, HoverHelpComesFromControlsOfThisWindowOnly)
{
    surface.updateForComponentUnderMouse (&probe.undo());
    EXPECT_EQ (probe.bottomInfo().getText(), "UNDO: take back the latest parameter change");

    juce::TextButton elsewhere;
    elsewhere.setTooltip ("not ours");
    surface.updateForComponentUnderMouse (&elsewhere);
    EXPECT_EQ (probe.bottomInfo().getText(), "UNDO: take back the latest parameter change");

    surface.updateForComponentUnderMouse (&surface);
    EXPECT_TRUE (probe.bottomInfo().getText().isEmpty());

    // While a knob is dragged the hover check leaves the line alone.
    surface.setNewInfoText ("dragging", false);
    surface.setSliderCurrentlyBeingDragged (true);
    surface.checkAndUpdateComponentUnderMouse();
    EXPECT_EQ (probe.bottomInfo().getText(), "dragging");
    surface.setSliderCurrentlyBeingDragged (false);
}

TEST_F (RefreshLoopTest, HoveredPatternCommandStandsOutOfItsGroup)
{
    auto* copyVolume = probe.copyGroup()[2];
    ASSERT_EQ (copyVolume->getName(), "COPY VOLUME");

    surface.updateForComponentUnderMouse (copyVolume);

    EXPECT_FLOAT_EQ (copyVolume->getAlpha(), 1.0f);
    EXPECT_FLOAT_EQ (probe.copyGroup()[0]->getAlpha(), 0.2f);
    EXPECT_FLOAT_EQ (probe.copyGroup()[5]->getAlpha(), 0.2f);
    EXPECT_FLOAT_EQ (probe.shiftGroup()[0]->getAlpha(), 0.6f);

    surface.updateForComponentUnderMouse (&probe.bypass());

    for (auto* group : {&probe.shiftGroup(), &probe.copyGroup(), &probe.randomGroup(), &probe.initGroup()})
        for (auto* button : *group)
            EXPECT_FLOAT_EQ (button->getAlpha(), 0.6f) << button->getName();
}

TEST_F (RefreshLoopTest, AnOpenSettingsMenuIsClosedOnceTheMouseHasLeftIt)
{
    surface.setSettingsPopupMenuIsActive (true);
    probe.setSettingsMenuOpenedAgo (juce::RelativeTime::seconds (1.0));
    surface.checkAndUpdateSettingsPopupMenu();
    EXPECT_TRUE (probe.settingsMenuIsActive());

    // Two seconds on, the mouse is neither on a menu nor on the button.
    probe.setSettingsMenuOpenedAgo (juce::RelativeTime::seconds (2.1));
    surface.checkAndUpdateSettingsPopupMenu();
    EXPECT_FALSE (probe.settingsMenuIsActive());
}
} // namespace
