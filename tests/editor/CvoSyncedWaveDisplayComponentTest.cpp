#include <gtest/gtest.h>

#include "editor/CvoSyncedWaveDisplayComponentTestProbe.h"
#include "editor/EditorTestImages.h"
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
const juce::Colour innerPanel{(juce::uint8)26, (juce::uint8)26, (juce::uint8)26};

struct WaveDisplay : CvoSyncedWaveDisplayComponent
{
    WaveDisplay()
        : CvoSyncedWaveDisplayComponent (13)
    {
        setSize (500, 200);
        setRhythmicLinesBrightness (1.0f);
    }

    void push (float level, int count)
    {
        for (int i = 0; i < count; ++i)
            pushSample (level);
    }
};

bool isBlueBar (juce::Colour c)
{
    return c.getBlue() > c.getRed() + 60;
}

bool isLine (const juce::Image& image, int x, int y)
{
    return brightestAround (image, x, y) > 60; // a grey line over two pixels still shows 77
}
} // namespace

TEST (CvoSyncedWaveDisplayComponent, SumsTruncatedSamplesPerPixelPlusOneSamplesPerColumn)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    ASSERT_EQ (probe.numColumns(), 450);
    display.setSamplesPerBeat (44.1f * 450.0f);
    const auto spp = probe.samplesPerPixel();
    EXPECT_FLOAT_EQ (spp, 44.1f);

    // The first sample after a rebuild closes column 0 by itself; from then on
    // a column closes every 45 samples and holds their sum divided by 44.1.
    display.push (0.5f, 1 + 45 * 3);
    EXPECT_EQ (probe.writeIndex(), 4);
    EXPECT_EQ (probe.column (0), 0.5f / spp);
    EXPECT_EQ (probe.column (3), 22.5f / spp);
    EXPECT_EQ (probe.column (4), 0.0f);

    // A restart sends the sweep back to column 0; the open column carries on.
    display.push (0.5f, 20);
    display.restart();
    EXPECT_EQ (probe.writeIndex(), 0);
    display.push (0.25f, 25);
    EXPECT_EQ (probe.column (0), (20 * 0.5f + 25 * 0.25f) / spp);

    // The sweep wraps to column 0 after the last column.
    display.push (0.5f, 45 * 449);
    EXPECT_EQ (probe.writeIndex(), 0);

    // 0.5 x 45 / 44.1 of full scale: bars 45.9 pixels above and below the centre.
    const auto image = render (display);
    EXPECT_TRUE (isBlueBar (image.getPixelAt (100, 56)));
    EXPECT_TRUE (isBlueBar (image.getPixelAt (100, 144)));
    EXPECT_TRUE (isNear (image.getPixelAt (100, 52), innerPanel));
}

TEST (CvoSyncedWaveDisplayComponent, KeepsPushesInBoundsForAnyTempoAndWidth)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);

    for (const auto samplesPerBeat : {0.0f, -4500.0f, std::numeric_limits<float>::quiet_NaN(),
                                      std::numeric_limits<float>::infinity(), 1.0e30f})
    {
        display.setSamplesPerBeat (samplesPerBeat);
        display.push (0.5f, 100);
        EXPECT_EQ (probe.writeIndex(), 0) << samplesPerBeat;
        EXPECT_EQ (probe.column (0), 0.0f) << samplesPerBeat;
    }

    // A tiny beat closes a column with every sample; the bars stop at the
    // drawing area's edges.
    display.setSamplesPerBeat (1.0e-3f);
    display.push (0.5f, 10);
    EXPECT_EQ (probe.writeIndex(), 10);
    const auto image = render (display);
    EXPECT_TRUE (isBlueBar (image.getPixelAt (30, 11)));
    EXPECT_TRUE (isBlueBar (image.getPixelAt (30, 188)));
    EXPECT_FALSE (isBlueBar (image.getPixelAt (30, 8)));
    EXPECT_FALSE (isBlueBar (image.getPixelAt (30, 192)));

    // Any width keeps the pushes inside the buffer.
    display.setSize (20000, 100); // cut to the buffer's capacity
    EXPECT_EQ (probe.numColumns(), CvoSyncedWaveDisplayComponent::maxColumns);
    display.push (0.5f, CvoSyncedWaveDisplayComponent::maxColumns + 5);
    EXPECT_EQ (probe.writeIndex(), 5);

    display.setSize (1, 100); // narrower than one column: ready, nothing to write into
    EXPECT_TRUE (probe.bufferReady());
    EXPECT_EQ (probe.numColumns(), 0);
    display.push (0.5f, 100);
    EXPECT_EQ (probe.writeIndex(), 0);
    render (display);

    display.setSize (0, 100); // no width: not ready
    EXPECT_FALSE (probe.bufferReady());
}

TEST (CvoSyncedWaveDisplayComponent, DrawsSubdivisionsByModeAndFullScaleLinesWhenZoomedOut)
{
    WaveDisplay display;
    auto image = render (display); // quarters at x 25, 137.5, 250, 362.5, 475
    for (const int x : {25, 137, 250, 362, 475})
        EXPECT_TRUE (isLine (image, x, 30)) << x;
    EXPECT_FALSE (isLine (image, 175, 30));
    EXPECT_FALSE (isLine (image, 35, 55)); // zoom 1: no dashed line

    display.setTripletState (true); // thirds at x 25, 175, 325, 475
    display.setZoomFactorY (0.5f);  // dashes at y 55 and 145, dash and gap 21.4 from x 25
    image = render (display);
    for (const int x : {25, 175, 325, 475})
        EXPECT_TRUE (isLine (image, x, 30)) << x;
    EXPECT_FALSE (isLine (image, 137, 30));
    EXPECT_TRUE (isLine (image, 35, 55));
    EXPECT_TRUE (isLine (image, 35, 145));
    EXPECT_FALSE (isLine (image, 57, 55));
    EXPECT_TRUE (isLine (image, 78, 55));
    EXPECT_TRUE (isLine (image, 200, 100)); // the centre line

    display.setRhythmicLinesBrightness (0.0f);
    EXPECT_FALSE (isLine (render (display), 175, 30));
}

TEST (CvoSyncedWaveDisplayComponent, MuteAllAndBypassStripTheDrawing)
{
    WaveDisplay display;
    display.setZoomFactorY (0.5f);
    display.setIsRunningState (true);
    display.setSamplesPerBeat (4500.0f); // 10 samples per column
    display.push (0.3f, 1 + 11 * 100);   // columns 0..100: bars y 85..115, cursor at x 126

    display.setMuteAllState (true); // the two panels only
    auto image = render (display);
    for (const auto& p : {juce::Point<int>{200, 100}, {75, 95}, {137, 30}, {126, 30}})
        EXPECT_TRUE (isNear (image.getPixelAt (p.x, p.y), innerPanel)) << p.toString();

    for (const bool muted : {true, false}) // bypass: centre line and grey bars only
    {
        display.setMuteAllState (muted);
        display.setBypassState (true);
        image = render (display);
        const auto bar = image.getPixelAt (75, 95);
        EXPECT_TRUE (bar.getRed() > 60 && std::abs (bar.getRed() - bar.getBlue()) <= 3);
        EXPECT_TRUE (isLine (image, 300, 100));
        EXPECT_FALSE (isLine (image, 362, 30)); // subdivision
        EXPECT_FALSE (isLine (image, 420, 55)); // dashed line
        EXPECT_FALSE (isLine (image, 130, 30)); // cursor
    }
}

TEST (CvoSyncedWaveDisplayComponent, ShowsCursorAndTailOnlyWhileRunning)
{
    WaveDisplay display;
    display.setRhythmicLinesBrightness (0.0f);
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    display.setSamplesPerBeat (4500.0f);
    display.push (0.0f, 1 + 11 * 100); // cursor at x 126, tail from x 36
    EXPECT_FALSE (isLine (render (display), 126, 30));

    display.setIsRunningState (true);
    auto image = render (display);
    EXPECT_GT (brightestAround (image, 126, 30), 120);   // brighter than the tail alone
    EXPECT_GT (image.getPixelAt (118, 30).getRed(), 45); // the tail at alpha 0.25 near the cursor
    EXPECT_LT (image.getPixelAt (40, 30).getRed(), 32);  // fading out to the left

    // At column 0 the tail would lie in the left margin, which stays clear.
    display.restart();
    image = render (display);
    EXPECT_TRUE (isNear (image.getPixelAt (15, 30), innerPanel));
    EXPECT_GT (brightestAround (image, 25, 30), 100);

    // Stopped: no cursor; the columns stay and are still overwritten.
    display.setIsRunningState (false);
    display.push (0.5f, 11);
    EXPECT_GT (probe.column (0), 0.0f);
    EXPECT_FALSE (isLine (render (display), 25, 30));
}

TEST (CvoSyncedWaveDisplayComponent, CornerDragShowsTheBackgroundThenStartsEmpty)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    display.setSamplesPerBeat (4500.0f);
    display.push (0.5f, 1 + 11 * 50);

    display.resizingStarted();
    display.push (0.5f, 500); // ignored
    EXPECT_EQ (probe.writeIndex(), 51);
    display.setSize (600, 240); // only the geometry follows during the drag
    EXPECT_EQ (probe.numColumns(), 450);
    EXPECT_TRUE (isNear (render (display).getPixelAt (300, 120), innerPanel)); // no centre line

    display.resizingStopped();
    EXPECT_TRUE (probe.bufferReady());
    EXPECT_EQ (probe.numColumns(), 540);
    EXPECT_EQ (probe.writeIndex(), 0);
    EXPECT_FLOAT_EQ (probe.samplesPerPixel(), 4500.0f / 540.0f);
    for (int i = 0; i < 540; ++i)
        ASSERT_EQ (probe.column (i), 0.0f) << i;

    // After a drag a plain resize no longer rebuilds; updateAfterResizing does.
    display.setSize (500, 200);
    EXPECT_EQ (probe.numColumns(), 540);
    display.updateAfterResizing();
    EXPECT_EQ (probe.numColumns(), 450);
    EXPECT_FLOAT_EQ (probe.samplesPerPixel(), 10.0f);
}

TEST (CvoSyncedWaveDisplayComponent, AudioThreadFeedLosesNoColumnWhileTheEditorPaints)
{
    WaveDisplay display;
    CvoSyncedWaveDisplayComponentTestProbe probe (display);
    // 450 columns, exactly 10 samples per column, so 11 samples each.
    const auto valueOf = [] (int column) { return (float)(column + 1) / 1024.0f; };
    const auto expectedColumn = [&] (int column) { return 11.0f * valueOf (column) / 10.0f; };

    std::atomic<bool> done{false};
    std::size_t audioAllocations = 1;
    std::thread audio (
        [&]
        {
            AllocationCounter allocations;
            display.setSamplesPerBeat (4500.0f);
            display.pushSample (valueOf (0)); // closes column 0 by itself
            for (int column = 1; column <= 450 * 6; ++column)
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

    // Every column the editor reads meanwhile is empty or complete, never torn
    // or shifted.
    while (!done)
    {
        render (display);
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
                display.push (0.5f, 64);
            }
            audioAllocations = allocations.getCount();
        });

    for (int round = 0; round < 300; ++round)
    {
        if (round % 3 == 0)
            display.resizingStarted();
        display.setSize (50 + (round * 397) % 1500, 100);
        display.resizingStopped();
        if (round % 10 == 0)
            render (display);
    }
    stop = true;
    audio.join();

    EXPECT_EQ (audioAllocations, 0u);
    EXPECT_LT (probe.writeIndex(), probe.numColumns());
    for (int i = 0; i < probe.numColumns(); ++i)
        ASSERT_TRUE (std::isfinite (probe.column (i)) && probe.column (i) >= 0.0f) << i;
}
