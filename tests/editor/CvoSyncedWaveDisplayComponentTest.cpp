#include <gtest/gtest.h>

#include "editor/CvoSyncedWaveDisplayComponentTestProbe.h"
#include "editor/EditorTestImages.h"
#include "editor/widgets/CvoZkColours.h"
#include "support/AllocationCounter.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using EditorTestImages::brightestAround;
using EditorTestImages::isNear;
using EditorTestImages::render;

namespace
{
// A 500 x 200 display: 450 columns from x 25 to 475, drawing area y 10..190,
// centre line at y 100, half height 90. The inner panel starts 10 pixels in.
constexpr int displayWidth = 500;
constexpr int displayHeight = 200;
constexpr float left = 25.0f;

const juce::Colour innerPanel{(juce::uint8)26, (juce::uint8)26, (juce::uint8)26};

struct WaveDisplay : CvoSyncedWaveDisplayComponent
{
    WaveDisplay()
        : CvoSyncedWaveDisplayComponent (13)
    {
        setSize (displayWidth, displayHeight);
    }
};

void push (CvoSyncedWaveDisplayComponent& display, float level, int count)
{
    for (int i = 0; i < count; ++i)
        display.pushSample (level);
}

bool isBlueBar (juce::Colour c)
{
    return c.getBlue() > c.getRed() + 60;
}

bool isGreyBar (juce::Colour c)
{
    return c.getRed() > 60 && std::abs (c.getRed() - c.getBlue()) <= 3;
}
} // namespace

TEST (CvoSyncedWaveDisplayComponent, SumsTruncatedSamplesPerPixelPlusOneSamplesPerColumn)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    ASSERT_TRUE (probe.bufferReady());
    ASSERT_EQ (probe.numColumns(), 450);

    display.setSamplesPerBeat (44.1f * 450.0f);
    const auto spp = probe.samplesPerPixel();
    EXPECT_FLOAT_EQ (spp, 44.1f);

    // The first sample after a rebuild closes column 0 by itself; from then on
    // a column closes every 45 samples and holds their sum divided by 44.1.
    push (display, 0.5f, 1 + 45 * 3);
    EXPECT_EQ (probe.writeIndex(), 4);
    EXPECT_EQ (probe.column (0), 0.5f / spp);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ (probe.column (i), 22.5f / spp) << i;
    EXPECT_EQ (probe.column (4), 0.0f);

    // A restart sends the sweep back to column 0; the open column carries on.
    push (display, 0.5f, 20);
    display.restart();
    EXPECT_EQ (probe.writeIndex(), 0);
    push (display, 0.25f, 25);
    EXPECT_EQ (probe.column (0), (20 * 0.5f + 25 * 0.25f) / spp);
    EXPECT_EQ (probe.writeIndex(), 1);

    // The sweep wraps to column 0 after the last column.
    push (display, 0.5f, 45 * 449);
    EXPECT_EQ (probe.writeIndex(), 0);
    EXPECT_EQ (probe.column (449), 22.5f / spp);

    // Constant 0.5 shows bars of 0.5 x 45 / 44.1 of full scale: 45.9 pixels
    // above and below the centre line.
    const auto image = render (display);
    EXPECT_TRUE (isBlueBar (image.getPixelAt (100, 56)));
    EXPECT_TRUE (isBlueBar (image.getPixelAt (100, 144)));
    EXPECT_TRUE (isNear (image.getPixelAt (100, 52), innerPanel));
    EXPECT_TRUE (isNear (image.getPixelAt (100, 148), innerPanel));
}

TEST (CvoSyncedWaveDisplayComponent, IgnoresPushesWithoutAUsableTempo)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);

    const float unusable[] = {0.0f, -4500.0f, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(), 1.0e30f};
    for (const auto samplesPerBeat : unusable)
    {
        display.setSamplesPerBeat (samplesPerBeat);
        push (display, 0.5f, 100);
        EXPECT_EQ (probe.writeIndex(), 0) << samplesPerBeat;
        EXPECT_EQ (probe.column (0), 0.0f) << samplesPerBeat;
    }

    // A tiny beat closes a column with every sample; the huge column values are
    // clipped to the drawing area.
    display.setSamplesPerBeat (1.0e-3f);
    push (display, 0.5f, 10);
    EXPECT_EQ (probe.writeIndex(), 10);

    const auto image = render (display);
    EXPECT_TRUE (isBlueBar (image.getPixelAt (30, 11)));
    EXPECT_TRUE (isBlueBar (image.getPixelAt (30, 188)));
    EXPECT_FALSE (isBlueBar (image.getPixelAt (30, 8)));
    EXPECT_FALSE (isBlueBar (image.getPixelAt (30, 192)));
    EXPECT_FALSE (isBlueBar (image.getPixelAt (40, 100))); // column 15 is empty
}

TEST (CvoSyncedWaveDisplayComponent, DrawsSubdivisionsAndFullScaleLinesByModeAndZoom)
{
    WaveDisplay display;
    display.setRhythmicLinesBrightness (1.0f);

    // Quarters at x 25, 137.5, 250, 362.5, 475; thirds at 25, 175, 325, 475.
    auto image = render (display);
    for (const int x : {25, 137, 250, 362, 475})
        EXPECT_GT (brightestAround (image, x, 30), 60) << x;
    EXPECT_LT (brightestAround (image, 175, 30), 40);

    display.setTripletState (true);
    image = render (display);
    for (const int x : {25, 175, 325, 475})
        EXPECT_GT (brightestAround (image, x, 30), 60) << x;
    EXPECT_LT (brightestAround (image, 137, 30), 40);
    EXPECT_LT (brightestAround (image, 250, 30), 40);

    display.setRhythmicLinesBrightness (0.0f);
    image = render (display);
    EXPECT_LT (brightestAround (image, 175, 30), 40);

    // Zoom 0.5: dashed lines at y 55 and 145, dash and gap 450 / 21 = 21.4 from
    // x 25 on; none at zoom 1.
    const auto dashAt = [] (const juce::Image& i, int x, int y)
    { return juce::jmax (i.getPixelAt (x, y).getRed(), i.getPixelAt (x, y - 1).getRed()) > 100; };

    display.setZoomFactorY (0.5f);
    image = render (display);
    EXPECT_TRUE (dashAt (image, 35, 55));
    EXPECT_TRUE (dashAt (image, 35, 145));
    EXPECT_FALSE (dashAt (image, 57, 55));
    EXPECT_TRUE (dashAt (image, 78, 55));

    display.setZoomFactorY (1.0f);
    image = render (display);
    EXPECT_FALSE (dashAt (image, 35, 55));

    // The centre line, always while ready.
    EXPECT_TRUE (dashAt (image, 200, 100));
}

TEST (CvoSyncedWaveDisplayComponent, MuteAllAndBypassStripTheDrawing)
{
    WaveDisplay display;
    display.setRhythmicLinesBrightness (1.0f);
    display.setZoomFactorY (0.5f);
    display.setIsRunningState (true);
    display.setSamplesPerBeat (4500.0f); // 10 samples per column
    push (display, 0.3f, 1 + 11 * 100);  // columns 0..100 (bars y 85..115), the cursor at x 126

    // Mute all: the two panels only.
    display.setMuteAllState (true);
    auto image = render (display);
    for (const auto& p : {juce::Point<int>{200, 100}, {75, 95}, {137, 30}, {126, 30}})
        EXPECT_TRUE (isNear (image.getPixelAt (p.x, p.y), innerPanel)) << p.toString();

    // Bypass, with or without mute all: centre line and light grey bars only.
    for (const bool muted : {true, false})
    {
        display.setMuteAllState (muted);
        display.setBypassState (true);
        image = render (display);
        EXPECT_TRUE (isGreyBar (image.getPixelAt (75, 95)));
        EXPECT_GT (brightestAround (image, 300, 100), 90); // centre line beyond the bars
        EXPECT_LT (brightestAround (image, 362, 30), 40);  // no subdivision line
        EXPECT_LT (brightestAround (image, 420, 55), 40);  // no dashed line
        EXPECT_LT (brightestAround (image, 130, 30), 40);  // no cursor, no tail
    }

    display.setBypassState (false);
    display.setMuteAllState (false);
    image = render (display);
    EXPECT_TRUE (isBlueBar (image.getPixelAt (75, 95)));
}

TEST (CvoSyncedWaveDisplayComponent, ShowsCursorAndTailOnlyWhileRunning)
{
    WaveDisplay display;
    display.setRhythmicLinesBrightness (0.0f);
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    display.setSamplesPerBeat (4500.0f);
    push (display, 0.0f, 1 + 11 * 100);
    ASSERT_EQ (probe.writeIndex(), 101); // cursor at x 126; tail from x 36

    auto image = render (display);
    EXPECT_LT (brightestAround (image, 126, 30), 40);

    display.setIsRunningState (true);
    image = render (display);
    EXPECT_GT (brightestAround (image, 126, 30), 90);
    EXPECT_GT (image.getPixelAt (118, 30).getRed(), 45); // tail, 0.25 alpha at the cursor
    EXPECT_LT (image.getPixelAt (40, 30).getRed(), 32);  // tail fades out to the left

    // At column 0 the tail would lie wholly in the left margin, which stays clear.
    display.restart();
    image = render (display);
    EXPECT_TRUE (isNear (image.getPixelAt (15, 30), innerPanel));
    EXPECT_GT (brightestAround (image, 25, 30), 90);

    // Stopped: no cursor, the columns stay and are still overwritten.
    display.setIsRunningState (false);
    push (display, 0.5f, 11);
    EXPECT_GT (probe.column (0), 0.0f);
    image = render (display);
    EXPECT_TRUE (isBlueBar (image.getPixelAt (25, 80)));
}

TEST (CvoSyncedWaveDisplayComponent, CornerDragShowsTheBackgroundThenStartsEmpty)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    display.setSamplesPerBeat (4500.0f);
    push (display, 0.5f, 1 + 11 * 50);

    display.resizingStarted();
    push (display, 0.5f, 500); // ignored
    EXPECT_EQ (probe.writeIndex(), 51);
    display.setSize (600, 240); // only the geometry follows during the drag
    EXPECT_EQ (probe.numColumns(), 450);
    auto image = render (display);
    EXPECT_TRUE (isNear (image.getPixelAt (300, 120), innerPanel)); // no centre line

    display.resizingStopped();
    EXPECT_TRUE (probe.bufferReady());
    EXPECT_EQ (probe.numColumns(), 540);
    EXPECT_EQ (probe.writeIndex(), 0);
    EXPECT_FLOAT_EQ (probe.samplesPerPixel(), 4500.0f / 540.0f);
    for (int i = 0; i < 540; ++i)
        ASSERT_EQ (probe.column (i), 0.0f) << i;

    // The first push after the rebuild closes column 0 by itself.
    push (display, 0.5f, 1);
    EXPECT_EQ (probe.writeIndex(), 1);

    // After a drag, a plain resize no longer rebuilds; updateAfterResizing does.
    display.setSize (500, 200);
    EXPECT_EQ (probe.numColumns(), 540);
    display.updateAfterResizing();
    EXPECT_EQ (probe.numColumns(), 450);
    EXPECT_FLOAT_EQ (probe.samplesPerPixel(), 10.0f);
}

TEST (CvoSyncedWaveDisplayComponent, KeepsPushesInsideTheBufferForAnyWidth)
{
    CvoSyncedWaveDisplayComponent display (13);
    CvoSyncedWaveDisplayComponentTestProbe probe (display);

    // Built: not ready, pushes ignored, the panels only.
    display.setSamplesPerBeat (4500.0f);
    push (display, 0.5f, 10);
    EXPECT_FALSE (probe.bufferReady());

    // Narrower than one column: ready, but there is nothing to write into.
    display.setSize (1, 100);
    EXPECT_TRUE (probe.bufferReady());
    EXPECT_EQ (probe.numColumns(), 0);
    display.setSamplesPerBeat (45.0f);
    push (display, 0.5f, 100);
    EXPECT_EQ (probe.writeIndex(), 0);
    render (display);

    // No width: no buffer, not ready.
    display.setSize (0, 100);
    EXPECT_FALSE (probe.bufferReady());

    // Wider than the buffer can hold: the columns are cut to its capacity.
    display.setSize (20000, 100);
    EXPECT_EQ (probe.numColumns(), CvoSyncedWaveDisplayComponent::maxColumns);
    display.setSamplesPerBeat (1.0e-3f); // every push closes a column
    push (display, 0.5f, CvoSyncedWaveDisplayComponent::maxColumns + 5);
    EXPECT_EQ (probe.writeIndex(), 5);
}

TEST (CvoSyncedWaveDisplayComponent, AudioThreadFeedLosesNoColumnWhileTheEditorPaints)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    // 450 columns, exactly 10 samples per column: 11 samples each.
    const auto valueOf = [] (int column) { return (float)(column + 1) / 1024.0f; };
    const auto expectedColumn = [&] (int column) { return 11.0f * valueOf (column) / 10.0f; };
    constexpr int sweeps = 6;

    std::atomic<bool> done{false};
    std::size_t audioAllocations = 1;
    std::thread audio (
        [&]
        {
            AllocationCounter allocations;
            display.setIsRunningState (true);
            display.setSamplesPerBeat (4500.0f);
            display.pushSample (valueOf (0)); // closes column 0 by itself
            for (int column = 1; column <= 450 * sweeps; ++column)
            {
                display.setSamplesPerBeat (4500.0f);
                display.setIsRunningState (true);
                for (int i = 0; i < 11; ++i)
                    display.pushSample (valueOf (column % 450));
                if (column % 64 == 0)
                    std::this_thread::yield();
            }
            audioAllocations = allocations.getCount();
            done = true;
        });

    // Meanwhile the editor paints and every column it reads is either empty or
    // complete, never torn or shifted.
    int paints = 0;
    while (!done)
    {
        render (display);
        ++paints;
        for (int i = 0; i < 450; ++i)
        {
            const auto v = probe.column (i);
            if (v != 0.0f && v != expectedColumn (i) && !(i == 0 && v == valueOf (0) / 10.0f))
            {
                ADD_FAILURE() << "column " << i << " holds " << v;
                break;
            }
        }
    }
    audio.join();

    EXPECT_EQ (audioAllocations, 0u);
    EXPECT_GT (paints, 0);
    EXPECT_EQ (probe.writeIndex(), 1);
    for (int i = 0; i < 450; ++i)
        ASSERT_EQ (probe.column (i), expectedColumn (i)) << i;
}

TEST (CvoSyncedWaveDisplayComponent, RebuildsWhileTheAudioThreadPushesStayConsistent)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);

    std::atomic<bool> stop{false};
    std::size_t audioAllocations = 1;
    std::thread audio (
        [&]
        {
            AllocationCounter allocations;
            const float beats[] = {4500.0f, 1.0f, 0.0f, std::numeric_limits<float>::quiet_NaN(),
                                   2.0e5f,  0.3f};
            for (int block = 0; !stop; ++block)
            {
                display.setSamplesPerBeat (beats[block % 6]);
                display.setIsRunningState ((block & 1) != 0);
                if (block % 7 == 0)
                    display.restart();
                for (int i = 0; i < 64; ++i)
                    display.pushSample (0.5f);
            }
            audioAllocations = allocations.getCount();
        });

    for (int round = 0; round < 300; ++round)
    {
        if (round % 3 == 0)
            display.resizingStarted();
        display.setSize (50 + (round * 397) % 1500, 100);
        if (round % 3 == 0)
            display.resizingStopped();
        else
            display.updateAfterResizing();
        if (round % 10 == 0)
            render (display);
    }
    stop = true;
    audio.join();

    EXPECT_EQ (audioAllocations, 0u);
    ASSERT_TRUE (probe.bufferReady());
    EXPECT_LT (probe.writeIndex(), juce::jmax (1, probe.numColumns()));
    for (int i = 0; i < probe.numColumns(); ++i)
    {
        const auto v = probe.column (i);
        ASSERT_TRUE (std::isfinite (v) && v >= 0.0f) << i << ": " << v;
    }
}
