// The editor while its window cannot be seen: the refresh timers of the surface
// and of its timed widgets do no drawing work (no repaint, no hover polling),
// while the audio keeps feeding the widgets and the processor keeps changing;
// once the window is seen again the surface refreshes at once (step cursor,
// transport texts, parameters) and the whole window is repainted. Widgets with
// no such window draw as before. The window system's answer is replaced by the
// test's (the window tests under a display ask the real one).

#include "CvoVerticalStereoVuMeterTestProbe.h"
#include "EditorTestSupport.h"
#include "MainEditorComponentTestProbe.h"
#include "engine/ProcessorTestRig.h"
#include "support/TemporaryHome.h"

#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/ZkTransportText.h"
#include "editor/widgets/CvoScreenVisibilitySource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace
{
/** Counts the repaints that reach a component (its own and its children's) and
    collects the areas they cover, without a display. */
class RepaintRecorder : public juce::CachedComponentImage
{
public:
    explicit RepaintRecorder (juce::Component& componentToWatch)
        : component (componentToWatch)
    {
    }

    void paint (juce::Graphics&) override {}
    bool invalidateAll() override { return invalidate (component.getLocalBounds()); }
    bool invalidate (const juce::Rectangle<int>& area) override
    {
        ++repaints;
        areas.add (area);
        return true;
    }
    void releaseResources() override {}

    void clear()
    {
        repaints = 0;
        areas.clear();
    }

    /** True when the repainted areas cover the child's bounds. */
    bool covers (juce::Component& child) const
    {
        return areas.containsRectangle (component.getLocalArea (&child, child.getLocalBounds()));
    }

    juce::Component& component;
    int repaints = 0;
    juce::RectangleList<int> areas;
};

/** Watches `component` through a recorder while it lives. */
class ScopedRepaintRecorder
{
public:
    explicit ScopedRepaintRecorder (juce::Component& componentToWatch)
        : recorder (new RepaintRecorder (componentToWatch))
    {
        componentToWatch.setCachedComponentImage (recorder);
        recorder->clear(); // the framework's repaint on attaching
    }
    ~ScopedRepaintRecorder() { recorder->component.setCachedComponentImage (nullptr); }

    RepaintRecorder* operator->() const { return recorder; }

private:
    RepaintRecorder* recorder; // owned by the component
};

bool ledIsLit (CvoStepCursorLed& led)
{
    return led.getNumChildComponents() > 0 && led.getChildComponent (0)->isVisible();
}

/** The editor window of a processor that plays at 120 BPM, with the window
    system's answer in the test's hands. */
class HiddenEditorTest : public ::testing::Test
{
protected:
    HiddenEditorTest()
    {
        window->setVisible (true); // no desktop window: repaints stop at the window
        window->getVisibilityWatch().setQuestion (
            [this]
            {
                ++questions;
                return viewable;
            });
        play (0.2);
        surface().timerCallback();
    }

    MainEditorComponent& surface() { return *window->getMainComponent(); }

    /** Audio blocks of 512 frames for `seconds` of playing time. */
    void play (double seconds)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        for (double played = 0.0; played < seconds; played += 512.0 / rig.sampleRate)
        {
            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < 512; ++i)
                    buffer.setSample (channel, i, (i % 64) < 32 ? 0.5f : -0.5f);
            rig.processBlock (buffer, midi);
        }
    }

    void setViewable (bool isViewable)
    {
        viewable = isViewable;
        window->getVisibilityWatch().check();
    }

    /** One tick of every refresh timer of the editor. */
    void tickEveryTimer()
    {
        surface().timerCallback();
        probe.waveDisplay()->timerCallback();
        probe.inputMeter()->timerCallback();
        probe.outputMeter()->timerCallback();
        for (int i = 0; i < 16; ++i)
            probe.stepButton (i).timerCallback();
        for (int beat = 0; beat < 4; ++beat)
            probe.lengthStrip (beat).timerCallback();
    }

    /** The step cursor shows the processor's current step and nothing else. */
    bool stepCursorIsCurrent()
    {
        const int current = rig.processor.getCurrentStepIndex();
        for (int i = 0; i < 16; ++i)
            if (ledIsLit (probe.stepLed (i)) != (i == current))
                return false;
        return true;
    }

    TemporaryHome home;
    zktest::ProcessorRig rig;
    std::unique_ptr<ZkOstinelAudioProcessorEditor> window =
        std::make_unique<ZkOstinelAudioProcessorEditor> (&rig.processor);
    MainEditorComponentTestProbe probe{*window->getMainComponent()};
    bool viewable = true;
    int questions = 0;
};
} // namespace

TEST_F (HiddenEditorTest, HiddenTimersDrawNothingAndTheSurfaceCatchesUpAtOnceWhenShown)
{
    ASSERT_TRUE (stepCursorIsCurrent());
    setViewable (false);
    EXPECT_FALSE (window->isWindowOnScreen());

    ScopedRepaintRecorder recorder (*window);
    const auto positionShown = probe.positionLabel().getText();

    // Hidden: the audio plays on, the host moves a knob (output gain); no timer draws.
    for (int tick = 0; tick < 10; ++tick)
    {
        play (0.1);
        tickEveryTimer();
    }
    const int stepNow = rig.processor.getCurrentStepIndex();
    ASSERT_NE (probe.positionLabel().getText(),
               ZkTransportText::getPositionText (rig.processor.getPositionAsDouble()));
    rig.setParam (zktest::pOutputGain, 0.25f);
    tickEveryTimer();

    EXPECT_EQ (recorder->repaints, 0);
    EXPECT_EQ (probe.positionLabel().getText(), positionShown);
    EXPECT_NE (probe.outputGain().getValue(), 0.25);

    // Shown again: before any timer ticks, the texts, the step cursor and the
    // knobs are current and the whole window, waveform and meters included, is
    // to be painted anew.
    setViewable (true);
    EXPECT_TRUE (window->isWindowOnScreen());
    EXPECT_EQ (rig.processor.getCurrentStepIndex(), stepNow);
    EXPECT_EQ (probe.positionLabel().getText(),
               ZkTransportText::getPositionText (rig.processor.getPositionAsDouble()));
    EXPECT_TRUE (stepCursorIsCurrent());
    EXPECT_DOUBLE_EQ (probe.outputGain().getValue(), 0.25);
    EXPECT_TRUE (recorder->covers (*window));
    EXPECT_TRUE (recorder->covers (*probe.waveDisplay()));

    // Shown, the timers draw again.
    recorder->clear();
    probe.waveDisplay()->timerCallback();
    probe.inputMeter()->timerCallback();
    EXPECT_TRUE (recorder->covers (*probe.waveDisplay()));
    EXPECT_TRUE (recorder->covers (*probe.inputMeter()));
}

TEST_F (HiddenEditorTest, APaintWhileHiddenHasTheWindowCheckedAgainAtOnce)
{
    // Shown: painting asks nothing.
    const int questionsShown = questions;
    window->getVisibilityWatch().windowPainted();
    EditorTestSupport::deliverPendingMessages();
    EXPECT_EQ (questions, questionsShown);

    setViewable (false);
    play (0.5);
    viewable = true; // mapped again; the window is exposed and painted
    auto image = window->createComponentSnapshot (window->getLocalBounds());
    EXPECT_FALSE (window->isWindowOnScreen()); // not from inside the paint
    EditorTestSupport::deliverPendingMessages();

    EXPECT_TRUE (window->isWindowOnScreen());
    EXPECT_EQ (probe.positionLabel().getText(),
               ZkTransportText::getPositionText (rig.processor.getPositionAsDouble()));
}

TEST_F (HiddenEditorTest, AClickedMeterEndsItsHoldOffAlsoWhileHidden)
{
    auto& meter = *probe.inputMeter();
    setViewable (false);
    meter.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {},
                                       juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                       &meter, &meter, juce::Time::getCurrentTime(), {},
                                       juce::Time::getCurrentTime(), 1, false));

    CvoVerticalStereoVuMeterTestProbe meterProbe (meter);
    ASSERT_TRUE (meterProbe.inputHeldOff());
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds (30);
    while (meterProbe.inputHeldOff() && std::chrono::steady_clock::now() < giveUp)
    {
        meter.timerCallback();
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    }
    EXPECT_FALSE (meterProbe.inputHeldOff()) << "the hold-off of 0.1 s never ended";
}

//==============================================================================
namespace
{
/** A window stand-in that says whether it can be seen. */
class FakeWindow : public juce::Component, public CvoScreenVisibilitySource
{
public:
    bool isWindowOnScreen() const override { return onScreen; }
    bool onScreen = true;
};

enum class Parent
{
    none,
    shownWindow,
    hiddenWindow
};

struct TimedWidgetCase
{
    const char* name;
    std::function<std::unique_ptr<juce::Component>()> make;
    std::function<void (juce::Component&)> tick;
};

const TimedWidgetCase timedWidgets[] = {
    {"WaveDisplay", [] { return std::make_unique<CvoSyncedWaveDisplayComponent> (13); },
     [] (juce::Component& c) { static_cast<CvoSyncedWaveDisplayComponent&> (c).timerCallback(); }},
    {"LevelMeter", [] { return std::make_unique<CvoVerticalStereoVuMeter>(); },
     [] (juce::Component& c) { static_cast<CvoVerticalStereoVuMeter&> (c).timerCallback(); }},
};

void PrintTo (const TimedWidgetCase& widgetCase, std::ostream* out)
{
    *out << widgetCase.name;
}

void PrintTo (Parent parent, std::ostream* out)
{
    const char* names[] = {"no window", "shown window", "hidden window"};
    *out << names[(int)parent];
}

class TimedWidgetTest : public ::testing::TestWithParam<std::tuple<TimedWidgetCase, Parent>>
{
};

std::string caseName (const ::testing::TestParamInfo<TimedWidgetTest::ParamType>& parameter)
{
    const char* parents[] = {"OnItsOwn", "InAShownWindow", "InAHiddenWindow"};
    return std::string (std::get<0> (parameter.param).name) + parents[(int)std::get<1> (parameter.param)];
}
} // namespace

TEST_P (TimedWidgetTest, TicksDrawUnlessTheirWindowIsHidden)
{
    const auto& [widgetCase, parentKind] = GetParam();
    FakeWindow window;
    window.setBounds (0, 0, 400, 200);
    auto widget = widgetCase.make();
    widget->setBounds (10, 10, 200, 100);
    window.onScreen = parentKind != Parent::hiddenWindow;
    if (parentKind != Parent::none)
        window.addAndMakeVisible (*widget);
    else
        widget->setVisible (true);

    ScopedRepaintRecorder recorder (*widget);
    for (int tick = 0; tick < 5; ++tick)
        widgetCase.tick (*widget);

    EXPECT_EQ (recorder->repaints, parentKind == Parent::hiddenWindow ? 0 : 5);
}

INSTANTIATE_TEST_SUITE_P (HiddenEditor, TimedWidgetTest,
                          ::testing::Combine (::testing::ValuesIn (timedWidgets),
                                              ::testing::Values (Parent::none, Parent::shownWindow,
                                                                 Parent::hiddenWindow)),
                          caseName);
