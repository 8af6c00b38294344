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
    }

    void push (float leftLevel, float rightLevel, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            pushLeftSample (leftLevel);
            pushRightSample (rightLevel);
        }
    }

    void click()
    {
        const auto now = juce::Time::getCurrentTime();
        mouseDown ({juce::Desktop::getInstance().getMainMouseSource(),
                    {},
                    {},
                    1.0f,
                    0.0f,
                    0.0f,
                    0.0f,
                    0.0f,
                    this,
                    this,
                    now,
                    {},
                    now,
                    1,
                    false});
    }
};

/** A tick 0.2 s after the last click: the hold-off ends. */
void tickAfterTheHoldOff (Meter& meter, const CvoVerticalStereoVuMeterTestProbe& probe)
{
    probe.dateTheLastClick (juce::Time::getCurrentTime() - juce::RelativeTime::seconds (0.2));
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

TEST (CvoVerticalStereoVuMeter, DrawsHalfLevelAtHalfWidthAndOverloadsWithTheOverStrip)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.timerCallback();
    EXPECT_TRUE (isNear (render (meter).getPixelAt (1, 25), emptyRow)); // silence
    meter.push (0.5f, 0.5f, 3000);

    // Each paint arms the decay; the next sample takes the peak back.
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        const auto image = render (meter);
        for (const int y : {25, 70})
        {
            EXPECT_TRUE (isLit (image.getPixelAt (95, y))) << y;
            EXPECT_TRUE (isNear (image.getPixelAt (105, y), emptyRow)) << y;
        }
        meter.push (0.5f, 0.5f, 1);
        EXPECT_EQ (probe.peak (leftChannel), 0.5f);
    }
    // The cap on the ring sum holds the average term at (0.95 / 3000)^0.25.
    EXPECT_NEAR (probe.average (rightChannel), 0.1334f, 0.0001f);

    // Above full scale: the whole width, fading into the over colour over the
    // last 5 %.
    meter.push (1.5f, 0.0f, 1);
    const auto image = render (meter);
    EXPECT_TRUE (isNear (image.getPixelAt (189, 25), juce::Colours::white, 12));
    EXPECT_TRUE (isNear (image.getPixelAt (199, 25), CvoZkColours::zkmainColour, 30));
    EXPECT_TRUE (isNear (image.getPixelAt (199, 70), emptyRow));
}

TEST (CvoVerticalStereoVuMeter, MonoShowsOneCentredBarOfTheLeftChannel)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.timerCallback();
    meter.setMonoState (true);
    meter.push (0.5f, 1.5f, 10); // the right channel still fills its ring, unseen
    const auto image = render (meter);

    EXPECT_TRUE (isLit (image.getPixelAt (95, 26)));
    EXPECT_TRUE (isLit (image.getPixelAt (95, 74)));
    EXPECT_TRUE (isNear (image.getPixelAt (105, 50), emptyRow));
    EXPECT_TRUE (isNear (image.getPixelAt (50, 23), juce::Colours::black));
    EXPECT_TRUE (isNear (image.getPixelAt (50, 77), juce::Colours::black));
    EXPECT_GT (probe.average (leftChannel), 0.0f);
    EXPECT_EQ (probe.average (rightChannel), 0.0f); // not touched in mono
}

TEST (CvoVerticalStereoVuMeter, PeakDecaysOnceArmedEndsAtZeroAndIgnoresBadLevels)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.timerCallback();

    meter.push (0.8f, std::numeric_limits<float>::infinity(), 1);
    meter.push (0.0f, std::numeric_limits<float>::quiet_NaN(), 1000);
    meter.push (-1.0f, -1.0f, 1);
    EXPECT_EQ (probe.peak (leftChannel), 0.8f); // not armed: held
    EXPECT_EQ (probe.peak (rightChannel), 0.0f);

    render (meter);
    const auto average = probe.average (leftChannel);
    EXPECT_FLOAT_EQ (average, averageTermFor (0.8f));
    EXPECT_EQ (probe.average (rightChannel), 0.0f);
    meter.push (0.0f, 0.0f, 1);
    EXPECT_EQ (probe.peak (leftChannel), 0.8f * (0.001f * average + 0.999f));

    // Long silence takes the peak to exactly 0, not to lingering denormals.
    meter.push (0.0f, 0.0f, 200000);
    EXPECT_EQ (probe.peak (leftChannel), 0.0f);
}

TEST (CvoVerticalStereoVuMeter, ConstructionAndClicksHoldTheInputOffAndEmptyTheRings)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.push (1.0f, 1.0f, 10); // held off until the first tick
    EXPECT_EQ (probe.peak (leftChannel), 0.0f);
    meter.timerCallback();
    meter.push (1.0f, 1.0f, 3000);
    EXPECT_TRUE (isLit (render (meter).getPixelAt (150, 25)));

    meter.click();
    EXPECT_TRUE (isNear (render (meter).getPixelAt (150, 25), emptyRow)); // the bars vanish
    meter.push (1.0f, 1.0f, 100); // ignored: no tick has ended the hold-off since the click

    // A tick within 0.1 s of the click keeps the input held off. The click is
    // dated a minute ahead, so that the tick is early however long this thread
    // is held up.
    probe.dateTheLastClick (juce::Time::getCurrentTime() + juce::RelativeTime::minutes (1));
    meter.timerCallback();
    EXPECT_TRUE (probe.inputHeldOff());
    meter.push (1.0f, 1.0f, 100); // still ignored

    tickAfterTheHoldOff (meter, probe);
    EXPECT_FALSE (probe.inputHeldOff());

    // The rings start from empty: 100 quiet samples are all they hold. The
    // peaks have kept their values.
    meter.push (1.0e-4f, 1.0e-4f, 100);
    render (meter);
    EXPECT_NEAR (probe.average (leftChannel), averageTermFor (0.01f), 1.0e-5f);
    EXPECT_GT (probe.peak (rightChannel), 0.9f);
}

TEST (CvoVerticalStereoVuMeter, AudioThreadPushesWhileTheEditorPaintsAndClicks)
{
    Meter meter;
    CvoVerticalStereoVuMeterTestProbe probe (meter);
    meter.timerCallback();

    std::atomic<bool> stop{false};
    std::atomic<int> pushed{0};
    std::size_t audioAllocations = 1;
    std::thread audio (
        [&]
        {
            AllocationCounter allocations;
            while (!stop)
            {
                meter.push (1.0f, 0.5f, 64);
                pushed.fetch_add (64);
                std::this_thread::yield();
            }
            audioAllocations = allocations.getCount();
        });

    for (int round = 0; round < 200; ++round)
    {
        render (meter);
        if (round % 50 == 25)
            meter.click();
        meter.timerCallback();
    }
    while (pushed.load() < 100000)
        std::this_thread::yield();
    meter.click(); // while the audio thread is still pushing
    stop = true;
    audio.join();
    EXPECT_EQ (audioAllocations, 0u);

    // Whatever was pushed around the click is gone once the hold-off ends (this
    // thread now takes over as the only pushing thread).
    tickAfterTheHoldOff (meter, probe);
    meter.push (1.0e-4f, 1.0e-4f, 200);
    render (meter);
    EXPECT_NEAR (probe.average (leftChannel), averageTermFor (0.02f), 1.0e-5f);
    EXPECT_NEAR (probe.average (rightChannel), averageTermFor (0.02f), 1.0e-5f);
}
