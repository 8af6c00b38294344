#include <gtest/gtest.h>

#include "editor/CvoVerticalStereoVuMeterTestProbe.h"
#include "editor/EditorTestImages.h"
#include "editor/widgets/CvoZkColours.h"
#include "support/AllocationCounter.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using EditorTestImages::isNear;
using EditorTestImages::render;

namespace
{
// A 200 x 100 meter. Stereo rows: left y 15..42.5, right y 57.5..85; mono row
// y 25..75. Full scale is the whole width.
constexpr bool leftChannel = true;
constexpr bool rightChannel = false;

const juce::Colour emptyRow{(juce::uint8)26, (juce::uint8)26, (juce::uint8)26}; // grey at 0.2 on black

struct Meter : CvoVerticalStereoVuMeter
{
    Meter()
    {
        setSize (200, 100);
        setLevelOverColour (CvoZkColours::zkmainColour);
        timerCallback(); // the first tick ends the hold-off of construction
    }
};

void push (CvoVerticalStereoVuMeter& meter, float leftLevel, float rightLevel, int count)
{
    for (int i = 0; i < count; ++i)
    {
        meter.pushLeftSample (leftLevel);
        meter.pushRightSample (rightLevel);
    }
}

void click (CvoVerticalStereoVuMeter& meter)
{
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), {}, {},
                                  juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &meter,
                                  &meter, now, {}, now, 1, false);
    meter.mouseDown (event);
}

/** The hold-off after a click ends at the first tick later than 0.1 s. */
void waitForTheHoldOffToEnd (CvoVerticalStereoVuMeter& meter)
{
    juce::Thread::sleep (120);
    meter.timerCallback();
}

bool isLit (juce::Colour c)
{
    return c.getRed() > 100;
}

/** The average term for a ring sum below the cap. */
float averageTermFor (float ringSum)
{
    return (float)std::pow ((double)ringSum / 3000.0, 0.25);
}
} // namespace

TEST (CvoVerticalStereoVuMeter, HoldsTheInputOffUntilTheFirstTimerTick)
{
    CvoVerticalStereoVuMeter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.setSize (200, 100);

    push (meter, 1.0f, 1.0f, 10);
    EXPECT_EQ (probe.peak (leftChannel), 0.0f);
    auto image = render (meter);
    EXPECT_TRUE (isNear (image.getPixelAt (10, 25), emptyRow));
    EXPECT_TRUE (isNear (image.getPixelAt (10, 5), juce::Colours::black));

    meter.timerCallback();
    EXPECT_FALSE (probe.inputHeldOff());
    push (meter, 1.0f, 0.5f, 1);
    EXPECT_EQ (probe.peak (leftChannel), 1.0f);
    EXPECT_EQ (probe.peak (rightChannel), 0.5f);
}

TEST (CvoVerticalStereoVuMeter, SilenceShowsEmptyBarsOnGreyRows)
{
    Meter meter;
    push (meter, 0.0f, 0.0f, 3000);
    const auto image = render (meter);
    for (const int y : {16, 41, 58, 84})
        EXPECT_TRUE (isNear (image.getPixelAt (1, y), emptyRow)) << y;
    EXPECT_TRUE (isNear (image.getPixelAt (100, 50), juce::Colours::black));
}

TEST (CvoVerticalStereoVuMeter, ConstantHalfLevelKeepsBothBarsAtHalfWidth)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    push (meter, 0.5f, 0.5f, 3000);

    // Each paint arms the decay; the next sample takes the peak back.
    for (int cycle = 0; cycle < 5; ++cycle)
    {
        const auto image = render (meter);
        for (const int y : {25, 70})
        {
            EXPECT_TRUE (isLit (image.getPixelAt (95, y))) << y;
            EXPECT_TRUE (isNear (image.getPixelAt (105, y), emptyRow)) << y;
        }
        push (meter, 0.5f, 0.5f, 1);
        EXPECT_EQ (probe.peak (leftChannel), 0.5f);
        EXPECT_EQ (probe.peak (rightChannel), 0.5f);
    }

    // The cap on the ring sum keeps the average term at (0.95 / 3000)^0.25.
    EXPECT_NEAR (probe.average (leftChannel), 0.1334f, 0.0001f);
    EXPECT_NEAR (probe.average (rightChannel), 0.1334f, 0.0001f);
}

TEST (CvoVerticalStereoVuMeter, LevelAboveFullScaleLightsTheOverStrip)
{
    Meter meter;
    push (meter, 1.5f, 0.0f, 1);
    const auto image = render (meter);

    EXPECT_TRUE (isNear (image.getPixelAt (150, 25), juce::Colours::white));
    EXPECT_TRUE (isNear (image.getPixelAt (189, 25), juce::Colours::white, 12)); // the strip starts at x 190
    EXPECT_TRUE (isNear (image.getPixelAt (199, 25), CvoZkColours::zkmainColour, 30));
    EXPECT_TRUE (isNear (image.getPixelAt (199, 70), emptyRow)); // right channel silent
}

TEST (CvoVerticalStereoVuMeter, MonoShowsOneCentredBarOfTheLeftChannel)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.setMonoState (true);
    push (meter, 0.5f, 1.5f, 10); // the right channel still fills its ring, unseen
    const auto image = render (meter);

    EXPECT_TRUE (isLit (image.getPixelAt (95, 26)));
    EXPECT_TRUE (isLit (image.getPixelAt (95, 74)));
    EXPECT_TRUE (isNear (image.getPixelAt (105, 50), emptyRow));
    EXPECT_TRUE (isNear (image.getPixelAt (50, 23), juce::Colours::black));
    EXPECT_TRUE (isNear (image.getPixelAt (50, 77), juce::Colours::black));
    EXPECT_FALSE (isNear (image.getPixelAt (199, 50), CvoZkColours::zkmainColour, 60));

    // The right channel's average is not touched in mono.
    EXPECT_GT (probe.average (leftChannel), 0.0f);
    EXPECT_EQ (probe.average (rightChannel), 0.0f);
}

TEST (CvoVerticalStereoVuMeter, PeakDecaysOnlyOnceAPaintHasArmedItAndEndsAtZero)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);

    push (meter, 0.8f, 0.0f, 1);
    push (meter, 0.0f, 0.0f, 1000);
    EXPECT_EQ (probe.peak (leftChannel), 0.8f); // not armed: held

    render (meter);
    const auto average = probe.average (leftChannel);
    EXPECT_FLOAT_EQ (average, averageTermFor (0.8f));
    push (meter, 0.0f, 0.0f, 1);
    EXPECT_EQ (probe.peak (leftChannel), 0.8f * (0.001f * average + 0.999f));

    // Long silence: the peak reaches exactly 0 rather than lingering on
    // denormal values.
    push (meter, 0.0f, 0.0f, 200000);
    EXPECT_EQ (probe.peak (leftChannel), 0.0f);
}

TEST (CvoVerticalStereoVuMeter, NonFiniteAndNegativeLevelsCountAsSilence)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);

    push (meter, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 1);
    push (meter, -1.0f, -std::numeric_limits<float>::infinity(), 1);
    EXPECT_EQ (probe.peak (leftChannel), 0.0f);
    EXPECT_EQ (probe.peak (rightChannel), 0.0f);

    render (meter);
    EXPECT_EQ (probe.average (leftChannel), 0.0f);
    EXPECT_EQ (probe.average (rightChannel), 0.0f);
}

TEST (CvoVerticalStereoVuMeter, ClickEmptiesTheRingsAndHoldsTheInputOff)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    push (meter, 1.0f, 1.0f, 3000);
    EXPECT_TRUE (isLit (render (meter).getPixelAt (150, 25)));

    click (meter);
    EXPECT_TRUE (isNear (render (meter).getPixelAt (150, 25), emptyRow)); // the bars vanish
    push (meter, 1.0f, 1.0f, 100);                                        // ignored
    meter.timerCallback();                                                // too early
    EXPECT_TRUE (probe.inputHeldOff());

    waitForTheHoldOffToEnd (meter);
    EXPECT_FALSE (probe.inputHeldOff());

    // The rings start from empty: 100 quiet samples are all they hold. The
    // peaks have kept their values.
    push (meter, 1.0e-4f, 1.0e-4f, 100);
    render (meter);
    EXPECT_NEAR (probe.average (leftChannel), averageTermFor (0.01f), 1.0e-5f);
    EXPECT_NEAR (probe.average (rightChannel), averageTermFor (0.01f), 1.0e-5f);
    EXPECT_GT (probe.peak (leftChannel), 0.9f);
}

TEST (CvoVerticalStereoVuMeter, AudioThreadPushesWhileTheEditorPaintsAndClicks)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);

    std::atomic<bool> stop{false};
    std::atomic<int> pushed{0};
    std::size_t audioAllocations = 1;
    std::thread audio (
        [&]
        {
            AllocationCounter allocations;
            while (!stop)
            {
                for (int i = 0; i < 64; ++i)
                {
                    meter.pushLeftSample (1.0f);
                    meter.pushRightSample (0.5f);
                }
                pushed.fetch_add (64);
                std::this_thread::yield();
            }
            audioAllocations = allocations.getCount();
        });

    for (int round = 0; round < 200; ++round)
    {
        render (meter);
        if (round % 50 == 25)
            click (meter);
        meter.timerCallback();
    }
    // A last click while the audio thread is still pushing.
    while (pushed.load() < 100000)
        std::this_thread::yield();
    click (meter);
    stop = true;
    audio.join();

    EXPECT_EQ (audioAllocations, 0u);

    // Whatever the audio thread pushed around the click is gone once the
    // hold-off ends (this thread takes over as the only pushing thread).
    waitForTheHoldOffToEnd (meter);
    push (meter, 1.0e-4f, 1.0e-4f, 200);
    render (meter);
    EXPECT_NEAR (probe.average (leftChannel), averageTermFor (0.02f), 1.0e-5f);
    EXPECT_NEAR (probe.average (rightChannel), averageTermFor (0.02f), 1.0e-5f);
}
