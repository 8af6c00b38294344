// The main editor surface as the editor window builds it: every control with its
// help text and place, the component lists, the registrations of the audio
// thread's widgets, and the state setters that decide what is shown.

#include "EditorTestSupport.h"
#include "MainEditorComponentTestProbe.h"
#include "support/ZkOstinelAudioProcessorTestProbe.h"

#include "editor/MainEditorComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/params/CvoParameter.h"
#include "engine/params/CvoVarItemManager.h"

#include <climits>
#include <memory>

namespace
{
MainEditorComponent* findSurface (juce::Component& window)
{
    for (auto* child : window.getChildren())
        if (auto* surface = dynamic_cast<MainEditorComponent*> (child))
            return surface;
    return nullptr;
}

/** The surface's direct children whose help text is exactly the text. */
juce::Array<juce::Component*> childrenWithHelpText (juce::Component& surface, const juce::String& text)
{
    juce::Array<juce::Component*> found;
    for (auto* child : surface.getChildren())
        if (auto* client = dynamic_cast<juce::SettableTooltipClient*> (child))
            if (client->getTooltip() == text)
                found.add (child);
    return found;
}

/** The help texts of the controls that exist once each. */
const char* const singleHelpTexts[] = {
    "ATTACK: control the ATTACK TIME of the gate envelope",
    "AUTORUN-INDICATOR: this shows current AUTORUN-STATE,if gate runs automatically in StopMode",
    "BPM LABEL: this shows the current TEMPO in BPM",
    "BYPASS: bypass the whole plugin",
    "CHANNEL NAME: this can be used to set a name for this plugin channel",
    "COPY LENGTH: copy all current STEP LENGTH values into clipboard",
    "COPY PATTERN: copy current gate PATTERN into clipboard (incl PATTERN LENGTH & TRIPLET)",
    "COPY VOLUME: copy all current STEP VOLUME values into clipboard",
    "COPY: show all COPY pattern command buttons",
    "CURSOR TAIL BRIGHTNESS: control the brightness of the cursor tail in WaveDisplay",
    "DECAY: control the DECAY TIME of the gate envelope",
    "DRIVE ACTIVE: turn the DRIVE (DISTORTION) on/off",
    "DRIVE INPUT GAIN: control the INPUT GAIN of the DRIVE",
    "DRIVE OUTPUT GAIN: control the OUTPUT GAIN of the DRIVE",
    "ECHO LEVEL: control the LEVEL/VOLUME of the ECHO (DELAY FX)",
    "ECHO/DELAY ACTIVE: turn the ECHO/DELAY on/off",
    "ENVELOPE: this shows the ENVELOPE of the gate",
    "EXPERT MODE: show/hide all EXPERT options",
    "FEEDBACK: control the amount of FEEDBACK of the ECHO (DELAY FX)",
    "GLOBAL FX OFF: de-activate ALL FX (Filter,Drive,Echo) temporarily for ALL PRESETS & PATTERNS",
    "HOLD: control the HOLD TIME of the gate envelope",
    "INIT ALL: initialize all STEP VOLUME and LENGTH values in this pattern",
    "INIT LENGTH: initialize all STEP LENGTH values in this pattern",
    "INIT VOLUME: initialize all STEP VOLUME values in this pattern",
    "INIT: show all INIT pattern command buttons",
    "INPUT GAIN: control the level of the INPUT signal of the plugin",
    "INPUT VU METER: this show the level of the INPUT SIGNAL (click to reset)",
    "LONG STEP LENGTH: control the sustain length of a LONG STEP",
    "LOWPASS CUTOFF: control the CUTOFF FREQUENCY of the lowpass filter",
    "LOWPASS FILTER ACTIVE: turn the LOWPASS FILTER on/off",
    "LOWPASS RESONANCE: control the RESONANCE of the lowpass filter",
    "MAKE UP GAIN: control the additional gain of the GATED signal (ONLY THE GATED)",
    "MIX: control the mix amount of the GATED signal",
    "MUTE ALL: mute the input signal",
    "NEXT PRESET: load the next preset",
    "OUTPUT GAIN: control the level of the OUTPUT signal",
    "OUTPUT VU METER: this show the level of the OUTPUT SIGNAL (click to reset)",
    "PASTE LENGTH: paste all current STEP LENGTH values from clipboard",
    "PASTE PATTERN: paste the whole gate PATTERN from clipboard (incl PATTERN LENGTH & TRIPLET)",
    "PASTE VOLUME: paste all current STEP VOLUME values from clipboard",
    "PATTERN LENGTH (-): click to shorten the pattern length",
    "PING PONG: turn the PING PING mode in ECHO/DELAY on/off",
    "POSITION LABEL: this shows the current POSITION in bars.beats.ppq",
    "PRESET NAME: name of the current preset, double-click to edit",
    "PREV PRESET: load the previous preset",
    "RANDOM ALL: create all random STEP VOLUME and LENGTH values in this pattern",
    "RANDOM LENGTH: create random STEP LENGTH values in this pattern",
    "RANDOM VOLUME: create random STEP VOLUME values in this pattern",
    "RANDOM: show all RANDOM pattern command buttons",
    "REDO: take back the latest UNDO command",
    "RELEASE: control the RELEASE TIME of the gate envelope",
    "RHYTHMIC LINES BRIGHTNESS: control the brightness of the vertical rhythmic lines in WaveDisplay",
    "RUN-INDICATOR: this shows the current RUN-/STOP-STATE",
    "RUN: manually switch between RUN-/STOP-STATE",
    "SAVE: click to save the current preset as USER preset",
    "SHIFT ALL LEFT: shift all VOLUME and LENGTH values one step LEFT",
    "SHIFT ALL RIGHT: shift all VOLUME and LENGTH values one step RIGHT",
    "SHIFT LENGTH LEFT: shift all LENGTH values one step LEFT",
    "SHIFT LENGTH RIGHT: shift all LENGTH values one step RIGHT",
    "SHIFT VOLUME LEFT: shift all VOLUME values one step LEFT",
    "SHIFT VOLUME RIGHT: shift all VOLUME values one step RIGHT",
    "SHIFT: show all SHIFT pattern command buttons",
    "SHORT STEP LENGTH: control the sustain length of a SHORT STEP",
    "STOP-INDICATOR: this shows the current RUN-/STOP-STATE",
    "SUSTAIN: control the SUSTAIN LEVEL of the gate envelope",
    "SWING: control the amount of SWING in timing for the whole gate pattern",
    "TIME LABEL: this shows the current TIME in min:sec",
    "TIME OFFSET: control the TIME OFFSET (-/+) of the whole gate pattern",
    "TRIPLET: turn 'TRIPLET MODE' for current pattern ON/OFF",
    "UNDO: take back the latest parameter change",
    "WAVEDISPLAY: this shows the OUTPUT signal as waveform",
    "ZOOM: control the vertical zoom of the WaveDisplay",
    "PATTERN LENGTH (+): click to extend the pattern length",
    "click to open the popup menu !",
};

class MainEditorSurface : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<ZkOstinelAudioProcessorEditor> (&processor);
        window->setSize (960, 540);
        surface = findSurface (*window);
        ASSERT_NE (surface, nullptr);
        probe = std::make_unique<MainEditorComponentTestProbe> (*surface);
    }

    void TearDown() override
    {
        probe.reset();
        window.reset();
    }

    bool visible (juce::Component& c) const { return c.isVisible(); }

    ZkOstinelAudioProcessor processor;
    std::unique_ptr<ZkOstinelAudioProcessorEditor> window;
    MainEditorComponent* surface = nullptr;
    std::unique_ptr<MainEditorComponentTestProbe> probe;
};

class MainEditorSurfaceAtSize : public MainEditorSurface, public ::testing::WithParamInterface<int>
{
};
} // namespace

//==============================================================================
TEST_P (MainEditorSurfaceAtSize, EveryControlCarriesItsHelpTextAndLiesInsideTheSurface)
{
    const int height = GetParam();
    window->setSize (juce::roundToInt (1.778f * (float)height), height);
    ASSERT_EQ (surface->getHeight(), height);
    surface->setPatternLengthInBeats (4); // disabled steps hide their help text
    const auto bounds = surface->getLocalBounds();

    const auto expectPlaced = [&bounds] (juce::Component* c, const juce::String& what)
    {
        EXPECT_FALSE (c->getBounds().isEmpty()) << what;
        EXPECT_TRUE (bounds.contains (c->getBounds())) << what << " at " << c->getBounds().toString();
    };

    for (const char* text : singleHelpTexts)
    {
        const auto found = childrenWithHelpText (*surface, text);
        ASSERT_EQ (found.size(), 1) << text;
        expectPlaced (found.getFirst(), text);
    }

    for (const char* letter : {"A", "B", "C", "D", "E", "F", "G", "H"})
    {
        const auto found =
            childrenWithHelpText (*surface, juce::String ("PATTERN-SELECT: switch to pattern ") + letter);
        ASSERT_EQ (found.size(), 1) << letter;
        expectPlaced (found.getFirst(), letter);
    }

    const auto steps = childrenWithHelpText (
        *surface,
        "STEP LENGTH: NoStep, ShortStep, LongStep or StepLink (leftclick=cycle forward,right=backwards)");
    const auto volumes =
        childrenWithHelpText (*surface, "STEP VOLUME: this controls the VOLUME for that step");
    ASSERT_EQ (steps.size(), 16);
    ASSERT_EQ (volumes.size(), 16);

    for (int i = 0; i < 16; ++i)
    {
        const auto name = juce::String (i + 1).paddedLeft ('0', 2);
        EXPECT_EQ (steps.getUnchecked (i)->getName(), name);
        EXPECT_EQ (steps.getUnchecked (i)->getComponentID(), name);
        EXPECT_EQ (volumes.getUnchecked (i)->getName(), name);
        EXPECT_EQ (probe->stepLed (i).getName(), "StepCursor-" + juce::String (i).paddedLeft ('0', 2));
        expectPlaced (steps.getUnchecked (i), name);
        expectPlaced (volumes.getUnchecked (i), name);
        expectPlaced (&probe->stepLed (i), name);
        // Left to right, each step right of the previous one.
        if (i > 0)
        {
            EXPECT_GT (steps.getUnchecked (i)->getX(), steps.getUnchecked (i - 1)->getRight() - 1) << name;
        }
    }

    for (int beat = 0; beat < 4; ++beat)
    {
        expectPlaced (&probe->lengthStrip (beat), "length strip");
        expectPlaced (&probe->volumeStrip (beat), "volume strip");
    }
    expectPlaced (&probe->tabBackground(), "tab background");
    expectPlaced (&probe->bottomInfo(), "info line");
    expectPlaced (&probe->patternLengthLabel(), "pattern length label");
    EXPECT_EQ (probe->infoScreen().getBounds(), bounds);
    expectPlaced (&probe->savePanel(), "save panel");
}

INSTANTIATE_TEST_SUITE_P (DefaultAndLargeHeights, MainEditorSurfaceAtSize, ::testing::Values (540, 864));

TEST_F (MainEditorSurface, StartsOnPatternAWithTheDefaultsOfEveryKnob)
{
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (probe->patternButton (i).getToggleState(), i == 0) << i;
    EXPECT_EQ (probe->echoType().getText(), "3/16");
    EXPECT_EQ (probe->bottomInfo().getText(), "ZkOstinel v1.0.0");
    EXPECT_FALSE (probe->runIndicator().isEnabled());
    EXPECT_FALSE (probe->stopIndicator().isEnabled());
    EXPECT_EQ (probe->tabContent(), PatternCommandTabShift);

    // Knobs bound to a parameter go back to its default on a double-click; the
    // three waveform knobs to their own neutral values.
    int bound = 0;
    for (auto* child : surface->getChildren())
        if (auto* knob = dynamic_cast<CvoRotarySlider*> (child))
            if (auto* parameter = knob->getParameter())
            {
                ++bound;
                EXPECT_FLOAT_EQ ((float)knob->getDoubleClickReturnValue(), parameter->getDefaultValue())
                    << parameter->getName();
                EXPECT_NEAR (knob->getValue(), parameter->getValue(), 0.0001) << parameter->getName();
            }
    EXPECT_EQ (bound, 19);

    EXPECT_EQ (probe->zoom().getDoubleClickReturnValue(), 0.0);
    EXPECT_EQ (probe->zoom().getValue(), 0.0);
    EXPECT_EQ (probe->zoom().getMinimum(), -1.0);
    EXPECT_EQ (probe->zoom().getMaximum(), 1.0);
    for (auto* knob : {&probe->cursorTail(), &probe->rhythmicLines()})
    {
        EXPECT_EQ (knob->getDoubleClickReturnValue(), 0.5);
        EXPECT_EQ (knob->getValue(), 0.5);
    }
}

TEST_F (MainEditorSurface, ComponentListsGroupTheControlsForVisibilityAndColour)
{
    const auto& main = probe->mainList();
    for (juce::Component* c :
         std::initializer_list<juce::Component*>{&probe->muteAll(), &probe->bypass(), &probe->undo(),
                                                 &probe->redo(), &probe->inputGain(), &probe->outputGain()})
        EXPECT_FALSE (main.contains (c)) << c->getName();

    const auto& expert = probe->expertList();
    EXPECT_EQ (expert.size(), 8 + 4 + 18 + 1 + 1 + 4 + 9);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE (expert.contains (&probe->patternButton (i)));
    for (juce::Component* c : std::initializer_list<juce::Component*>{
             &probe->shiftTab(), &probe->copyTab(), &probe->randomTab(), &probe->initTab(),
             &probe->tabBackground(), &probe->echoType(), &probe->lowpass(), &probe->drive(), &probe->echo(),
             &probe->pingPong(), &probe->lowpassCutoff(), &probe->lowpassReso(), &probe->driveInputGain(),
             &probe->driveOutputGain(), &probe->echoLevel(), &probe->echoFeedback(), &probe->zoom(),
             &probe->cursorTail(), &probe->rhythmicLines()})
        EXPECT_TRUE (expert.contains (c)) << c->getName();
    for (const auto* group :
         {&probe->shiftGroup(), &probe->copyGroup(), &probe->randomGroup(), &probe->initGroup()})
        for (auto* button : *group)
        {
            EXPECT_TRUE (expert.contains (button)) << button->getName();
            EXPECT_TRUE (main.contains (button)) << button->getName();
        }
    EXPECT_EQ (probe->shiftGroup().size(), 6);
    EXPECT_EQ (probe->copyGroup().size(), 6);
    EXPECT_EQ (probe->randomGroup().size(), 3);
    EXPECT_EQ (probe->initGroup().size(), 3);

    for (juce::Component* c : std::initializer_list<juce::Component*>{
             &probe->expertMode(), &probe->globalFxOff(), &probe->save(), &probe->triplet(),
             &probe->patternLengthMinus(), &probe->patternLengthPlus()})
    {
        EXPECT_FALSE (expert.contains (c)) << c->getName();
        EXPECT_TRUE (main.contains (c)) << c->getName();
        EXPECT_TRUE (probe->colourList().contains (c)) << c->getName();
    }
}

TEST_F (MainEditorSurface, RegistersItsDisplaysWithTheProcessorUntilItIsDestroyed)
{
    ZkOstinelAudioProcessorTestProbe processorProbe (processor);
    EXPECT_EQ (processorProbe.registeredWaveDisplay(),
               static_cast<CvoWaveDisplayFeed*> (probe->waveDisplay()));
    EXPECT_EQ (processorProbe.registeredInputVuMeter(),
               static_cast<CvoLevelMeterFeed*> (probe->inputMeter()));
    EXPECT_EQ (processorProbe.registeredOutputVuMeter(),
               static_cast<CvoLevelMeterFeed*> (probe->outputMeter()));
    ASSERT_NE (processorProbe.registeredWaveDisplay(), nullptr);

    probe.reset();
    window.reset();
    EXPECT_EQ (processorProbe.registeredWaveDisplay(), nullptr);
    EXPECT_EQ (processorProbe.registeredInputVuMeter(), nullptr);
    EXPECT_EQ (processorProbe.registeredOutputVuMeter(), nullptr);

    // A second editor of the same processor registers its own widgets again.
    window = std::make_unique<ZkOstinelAudioProcessorEditor> (&processor);
    EXPECT_NE (processorProbe.registeredWaveDisplay(), nullptr);
    EXPECT_NE (processorProbe.registeredInputVuMeter(), nullptr);
}

//==============================================================================
TEST_F (MainEditorSurface, ExpertModeShowsTheExpertControlsAndMovesThePatternLengthGroup)
{
    const float width = (float)surface->getWidth();

    probe->setExpertMode (false);
    for (auto* c : probe->expertList())
        EXPECT_FALSE (c->isVisible()) << c->getName();
    EXPECT_NEAR ((float)probe->triplet().getX(), 0.8825f * width, 1.0f);
    EXPECT_TRUE (probe->triplet().isVisible());

    probe->setExpertMode (true);
    EXPECT_NEAR ((float)probe->triplet().getX(), 0.7975f * width, 1.0f);
    EXPECT_NEAR ((float)probe->patternLengthPlus().getX(), 0.8605f * width, 1.0f);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE (probe->patternButton (i).isVisible());
    EXPECT_TRUE (probe->lowpassCutoff().isVisible());
    EXPECT_TRUE (probe->tabBackground().isVisible());
    // Only the open tab's buttons (SHIFT at first).
    for (auto* b : probe->shiftGroup())
        EXPECT_TRUE (b->isVisible()) << b->getName();
    for (const auto* group : {&probe->copyGroup(), &probe->randomGroup(), &probe->initGroup()})
        for (auto* b : *group)
            EXPECT_FALSE (b->isVisible()) << b->getName();
    EXPECT_TRUE (probe->shiftTab().getToggleState());
}

TEST_F (MainEditorSurface, BypassKeepsTheOutputSideAndMuteAllTheInputSide)
{
    auto& step = probe->stepButton (0);
    ASSERT_TRUE (step.isVisible());

    surface->setBypassState (true);
    EXPECT_FALSE (probe->muteAll().isVisible());
    EXPECT_FALSE (probe->inputMeter()->isVisible());
    EXPECT_FALSE (probe->inputGain().isVisible());
    EXPECT_FALSE (probe->outputGain().isVisible());
    EXPECT_FALSE (step.isVisible());
    EXPECT_TRUE (probe->bypass().isVisible());
    EXPECT_TRUE (probe->outputMeter()->isVisible());
    EXPECT_TRUE (probe->undo().isVisible());
    EXPECT_TRUE (probe->envelope().isVisible());

    surface->setBypassState (false);
    surface->setMuteAllState (true);
    EXPECT_FALSE (probe->bypass().isVisible());
    EXPECT_FALSE (probe->outputMeter()->isVisible());
    EXPECT_FALSE (probe->outputGain().isVisible());
    EXPECT_FALSE (step.isVisible());
    EXPECT_TRUE (probe->muteAll().isVisible());
    EXPECT_TRUE (probe->inputMeter()->isVisible());
    EXPECT_TRUE (probe->inputGain().isVisible());

    surface->setBypassState (true);
    EXPECT_FALSE (probe->muteAll().isVisible());
    EXPECT_FALSE (probe->bypass().isVisible());
    EXPECT_TRUE (probe->undo().isVisible());

    surface->setBypassState (false);
    surface->setMuteAllState (false);
    EXPECT_TRUE (step.isVisible());
    EXPECT_TRUE (probe->outputGain().isVisible());
    EXPECT_TRUE (probe->muteAll().isVisible());
    EXPECT_TRUE (probe->bypass().isVisible());
}

TEST_F (MainEditorSurface, InfoScreenSavePanelResizingAndABadConfigurationEachShowTheirOwnView)
{
    auto& step = probe->stepButton (0);

    surface->showInfoComponent();
    EXPECT_TRUE (probe->infoScreen().isVisible());
    EXPECT_FALSE (probe->channelName().isVisible());
    EXPECT_FALSE (probe->bypass().isVisible());
    EXPECT_FALSE (step.isVisible());
    surface->hideInfoComponent();
    EXPECT_FALSE (probe->infoScreen().isVisible());
    EXPECT_TRUE (step.isVisible());

    surface->showManagePresetsComponent();
    EXPECT_TRUE (probe->savePanel().isVisible());
    EXPECT_TRUE (probe->channelName().isVisible());
    EXPECT_FALSE (probe->bypass().isVisible());
    EXPECT_FALSE (step.isVisible());
    surface->cancelUserPresetSaving();
    EXPECT_FALSE (probe->savePanel().isVisible());
    EXPECT_TRUE (step.isVisible());
    EXPECT_EQ (probe->bottomInfo().getText(), "CANCEL: preset was NOT saved ...");

    surface->showManagePresetsComponent();
    surface->resizingStarted();
    EXPECT_FALSE (probe->savePanel().isVisible());
    // Only the (empty) info line stays.
    for (auto* child : surface->getChildren())
        if (child != &probe->bottomInfo())
        {
            EXPECT_FALSE (child->isVisible()) << child->getName();
        }
    surface->resizingStopped();
    EXPECT_TRUE (probe->savePanel().isVisible()); // the panel comes back after the drag
    surface->cancelUserPresetSaving();

    probe->setIoConfigIsOK (false);
    EXPECT_FALSE (probe->channelName().isVisible());
    EXPECT_FALSE (probe->bypass().isVisible());
    EXPECT_FALSE (step.isVisible());
    surface->showManagePresetsComponent();
    EXPECT_FALSE (probe->savePanel().isVisible());
}

TEST_F (MainEditorSurface, ResizingReportsTheNewSize)
{
    surface->resizingStarted();
    EXPECT_EQ (probe->bottomInfo().getText(), "");
    window->setSize (1344, 756);
    surface->resizingStopped();
    EXPECT_EQ (probe->bottomInfo().getText(), "Resizer: NEW SIZE set to 1344x756");
    EXPECT_TRUE (probe->stepButton (0).isVisible());
}

TEST_F (MainEditorSurface, TripletModeHidesAndReplacesTheFourthStepOfEachBeat)
{
    const float width = (float)surface->getWidth();
    surface->setTripletState (true);
    for (int i = 0; i < 16; ++i)
    {
        const bool shown = i % 4 != 3;
        EXPECT_EQ (probe->stepButton (i).isVisible(), shown) << i;
        EXPECT_EQ (probe->stepVolume (i).isVisible(), shown) << i;
        EXPECT_EQ (probe->stepLed (i).isVisible(), shown) << i;
    }
    // Three steps per beat on a narrower row.
    EXPECT_NEAR ((float)probe->stepButton (0).getWidth(), 0.225f * 0.465f / 3.0f * 0.9f * width, 1.0f);
    EXPECT_NEAR ((float)probe->stepButton (0).getX(), (0.5f - 0.465f / 2.0f) * width, 1.0f);

    surface->setTripletState (false);
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE (probe->stepButton (i).isVisible()) << i;
    EXPECT_NEAR ((float)probe->stepButton (0).getWidth(), 0.55f * 0.23375f / 4.0f * 0.91f * width, 1.0f);
    EXPECT_NEAR ((float)probe->stepButton (15).getRight(), (0.5f + 0.55f / 2.0f) * width, 1.0f);

    // Hidden steps stay hidden only in the full view.
    surface->setTripletState (true);
    surface->setBypassState (true);
    surface->setBypassState (false);
    EXPECT_FALSE (probe->stepButton (3).isVisible());
}

//==============================================================================
TEST_F (MainEditorSurface, GlobalFxOffDisablesEveryEffectControlAndMonoInputDisablesPingPong)
{
    surface->setLowpassActiveState (true);
    surface->setDriveActiveState (false);
    surface->setEchoActiveState (true);
    EXPECT_TRUE (probe->lowpassCutoff().isEnabled());
    EXPECT_FALSE (probe->driveInputGain().isEnabled());
    EXPECT_TRUE (probe->pingPong().isEnabled());

    surface->setGlobalFxOffState (true);
    for (juce::Component* c : std::initializer_list<juce::Component*>{
             &probe->lowpassCutoff(), &probe->lowpassReso(), &probe->driveInputGain(),
             &probe->driveOutputGain(), &probe->echoLevel(), &probe->echoFeedback(), &probe->pingPong(),
             &probe->echoType(), &probe->lowpass(), &probe->drive(), &probe->echo()})
        EXPECT_FALSE (c->isEnabled()) << c->getName();

    surface->setGlobalFxOffState (false);
    EXPECT_TRUE (probe->lowpassCutoff().isEnabled());
    EXPECT_TRUE (probe->lowpassReso().isEnabled());
    EXPECT_FALSE (probe->driveInputGain().isEnabled());
    EXPECT_FALSE (probe->driveOutputGain().isEnabled());
    EXPECT_TRUE (probe->echoLevel().isEnabled());
    EXPECT_TRUE (probe->lowpass().isEnabled());
    EXPECT_TRUE (probe->drive().isEnabled());

    probe->setInputSignalIsMono (true);
    surface->setEchoActiveState (true);
    EXPECT_FALSE (probe->pingPong().isEnabled());
    EXPECT_TRUE (probe->echoLevel().isEnabled());
    EXPECT_TRUE (probe->echoFeedback().isEnabled());
    EXPECT_TRUE (probe->echoType().isEnabled());
}

TEST_F (MainEditorSurface, PatternLengthEnablesItsStepsAndBeatStrips)
{
    surface->setPatternLengthInBeats (2);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ (probe->stepButton (i).isEnabled(), i < 8) << i;
        EXPECT_EQ (probe->stepVolume (i).isEnabled(), i < 8) << i;
        EXPECT_EQ (probe->stepLed (i).isEnabled(), i < 8) << i;
    }
    for (int beat = 0; beat < 4; ++beat)
    {
        EXPECT_EQ (probe->lengthStrip (beat).isEnabled(), beat < 2) << beat;
        EXPECT_EQ (probe->volumeStrip (beat).isEnabled(), beat < 2) << beat;
    }
    EXPECT_EQ (probe->patternLengthLabel().getText(), "2");

    // Lengths outside 1, 2, 4 enable nothing or everything, without overflow.
    surface->setPatternLengthInBeats (-3);
    EXPECT_FALSE (probe->stepButton (0).isEnabled());
    surface->setPatternLengthInBeats (INT_MAX);
    EXPECT_TRUE (probe->stepButton (15).isEnabled());
    EXPECT_TRUE (probe->lengthStrip (3).isEnabled());
}

TEST_F (MainEditorSurface, RunStateAndAutoRunLightTheirIndicators)
{
    surface->setIsRunningState (true);
    EXPECT_TRUE (probe->run().getToggleState());
    EXPECT_TRUE (probe->runIndicator().getToggleState());
    EXPECT_FALSE (probe->stopIndicator().getToggleState());

    probe->setAutoRunInStopMode (false);
    surface->updateAutoRunIndicatorState();
    EXPECT_FALSE (probe->autoRunIndicator().isEnabled());
    EXPECT_FALSE (probe->autoRunIndicator().getToggleState());

    // Running by itself with the host stopped.
    probe->setAutoRunInStopMode (true);
    surface->updateAutoRunIndicatorState();
    ASSERT_FALSE (processor.isPlaying());
    EXPECT_TRUE (probe->autoRunIndicator().isEnabled());
    EXPECT_TRUE (probe->autoRunIndicator().getToggleState());

    surface->setIsRunningState (false);
    EXPECT_FALSE (probe->run().getToggleState());
    EXPECT_TRUE (probe->stopIndicator().getToggleState());
    EXPECT_FALSE (probe->autoRunIndicator().getToggleState());
}

TEST_F (MainEditorSurface, ChannelNameFallsBackToTheDefaultName)
{
    surface->setChannelName ("Drums");
    EXPECT_EQ (probe->channelName().getText(), "Drums");
    EXPECT_EQ (processor.getChannelName(), "Drums");
    EXPECT_EQ (probe->channelName().findColour (juce::Label::textColourId), juce::Colours::black);

    for (const char* name : {"", "No Channel Name"})
    {
        surface->setChannelName ("Drums");
        surface->setChannelName (name);
        EXPECT_EQ (probe->channelName().getText(), "No Channel Name");
        EXPECT_EQ (processor.getChannelName(), "No Channel Name");
        EXPECT_EQ (probe->channelName().findColour (juce::Label::textColourId),
                   CvoZkColours::zkmainColour.darker (0.2f));
    }
}

TEST_F (MainEditorSurface, PatternCommandTabsShowOneGroupAndPersistTheChoice)
{
    probe->setExpertMode (true);
    auto* settings = processor.getVarItemManager();

    surface->setVisiblePatternCommandTabContent (PatternCommandTabRandom);
    for (auto* b : probe->randomGroup())
        EXPECT_TRUE (b->isVisible()) << b->getName();
    for (const auto* group : {&probe->shiftGroup(), &probe->copyGroup(), &probe->initGroup()})
        for (auto* b : *group)
            EXPECT_FALSE (b->isVisible()) << b->getName();
    EXPECT_TRUE (probe->randomTab().getToggleState());
    EXPECT_FALSE (probe->shiftTab().getToggleState());
    EXPECT_FALSE (probe->tabBackground().isEnabled());
    EXPECT_EQ ((int)settings->getVar ("viPatternCommandTabContent"), 3);

    // A value outside 1..4 shows no group and the background's caption.
    surface->setVisiblePatternCommandTabContent ((PatternCommandTabContentType)7);
    for (const auto* group :
         {&probe->shiftGroup(), &probe->copyGroup(), &probe->randomGroup(), &probe->initGroup()})
        for (auto* b : *group)
            EXPECT_FALSE (b->isVisible()) << b->getName();
    EXPECT_TRUE (probe->tabBackground().isEnabled());

    // Outside expert mode a new tab choice is stored but shows no buttons.
    probe->setExpertMode (false);
    surface->setVisiblePatternCommandTabContent (PatternCommandTabCopy);
    for (auto* b : probe->copyGroup())
        EXPECT_FALSE (b->isVisible()) << b->getName();
    probe->setExpertMode (true);
    for (auto* b : probe->copyGroup())
        EXPECT_TRUE (b->isVisible()) << b->getName();
}

TEST_F (MainEditorSurface, ColourSchemeRecoloursTheControlsAndDarkensEverySecondBeat)
{
    for (const float brightness : {0.0f, 0.3f})
    {
        probe->setColourSchemeBrightness (brightness);
        const auto base = CvoZkColours::zkdarkGrey.brighter (brightness);
        EXPECT_FLOAT_EQ (processor.getCurrentColourSchemeBrightness(), brightness);
        for (auto* c : probe->colourList())
            EXPECT_EQ (c->findColour (juce::TextButton::buttonColourId), base) << c->getName();
    }

    // Render the buttons of steps 1 and 5 (second beat): the second is darker.
    const auto averageBrightness = [] (juce::Component& c)
    {
        const auto image = EditorTestSupport::render (c, juce::Colours::black);
        float sum = 0.0f;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                sum += image.getPixelAt (x, y).getBrightness();
        return sum / (float)(image.getWidth() * image.getHeight());
    };
    probe->stepButton (0).setButtonState (CvoStepSeqButton::NoStep);
    probe->stepButton (4).setButtonState (CvoStepSeqButton::NoStep);
    EXPECT_GT (averageBrightness (probe->stepButton (0)), averageBrightness (probe->stepButton (4)) + 0.02f);
}
