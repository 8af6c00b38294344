#include "engine/params/CvoVarItemManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>
#include <vector>

namespace
{
// The twelve settings of the plug-in with their defaults, in id order.
struct Settings
{
    Settings()
    {
        manager.addVarItem ("viExpertModeIsActive", 0.0);
        manager.addVarItem ("viGlobalFxOffIsActive", 0.0);
        manager.addVarItem ("viInputSignalIsMono", false);
        manager.addVarItem ("viWaveDisplayZoomFactorYNormed", 0.0);
        manager.addVarItem ("viWaveDisplayCursorTailBrightness", 0.5);
        manager.addVarItem ("viWaveDisplayRhythmicLinesBrightness", 0.5);
        manager.addVarItem ("viDawTimingOffsetState", 0.0);
        manager.addVarItem ("viDawTimingOffsetInSamples", 0);
        manager.addVarItem ("viIsPlayingState", false);
        manager.addVarItem ("viAutoRunInStopMode", true);
        manager.addVarItem ("viIsRunningState", false);
        manager.addVarItem ("viPatternCommandTabContent", 1);
    }

    std::vector<juce::String> drain()
    {
        std::vector<juce::String> names;

        while (auto* item = manager.pullNextModifiedVarItem())
            names.push_back (item->getName());

        return names;
    }

    CvoVarItemManager manager;
};

TEST (CvoVarItemManager, StartsWithTheDefaultsNothingQueuedAndExactLookups)
{
    Settings s;
    const auto autoRun = s.manager.getVar ("viAutoRunInStopMode");
    const auto tab = s.manager.getVar ("viPatternCommandTabContent");
    EXPECT_TRUE (autoRun.isBool() && static_cast<bool> (autoRun));
    EXPECT_TRUE (tab.isInt() && static_cast<int> (tab) == 1);
    EXPECT_EQ (static_cast<double> (s.manager.getVar ("viWaveDisplayCursorTailBrightness")), 0.5);
    EXPECT_FALSE (s.manager.hasModifiedVarItems());
    EXPECT_EQ (s.manager.pullNextModifiedVarItem(), nullptr);

    EXPECT_TRUE (s.manager.getVarItem ("viisrunningstate") == nullptr &&
                 s.manager.getVarItem (-1) == nullptr);
    EXPECT_EQ (s.manager.getVarItemName (12), "");
    EXPECT_TRUE (s.manager.getVar ("viNothing").isVoid());
}

TEST (CvoVarItemManager, QueuesEachSettingOnceNewestFirst)
{
    Settings s;
    auto& m = s.manager;

    for (double v : {1.0, 0.0, 1.0})
        m.setVarItemValue ("viExpertModeIsActive", v);

    EXPECT_EQ (s.drain(), std::vector<juce::String>{"viExpertModeIsActive"});

    m.setVarItemValue ("viExpertModeIsActive", 1.0); // A
    m.setVarItemValue (8, true);                     // B, by id
    m.setVarItemValue ("viExpertModeIsActive", 0.0); // A again keeps its place
    EXPECT_TRUE (m.hasModifiedVarItems());
    EXPECT_EQ (s.drain(), (std::vector<juce::String>{"viIsPlayingState", "viExpertModeIsActive"}));
    EXPECT_FALSE (m.hasModifiedVarItems());
    EXPECT_EQ (static_cast<double> (m.getVar (0)), 0.0);
}

TEST (CvoVarItemManager, RefusedWritesChangeAndQueueNothing)
{
    Settings s;
    auto& m = s.manager;
    EXPECT_FALSE (m.setVarItemValue ("viUnknown", 1.0) || m.setVarItemValue (12, 1.0));
    EXPECT_FALSE (m.setVarItemValue (3, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE (m.setVarItemValue (3, std::numeric_limits<double>::infinity()));
    EXPECT_FALSE (m.setVarItemValue (3, "-inf"));
    EXPECT_EQ (static_cast<double> (m.getVar (3)), 0.0);
    EXPECT_FALSE (m.hasModifiedVarItems());
}

TEST (CvoVarItemManager, KeepsTypesAndConvertsOrBoundsTheRest)
{
    Settings s;
    auto stored = [&s] (int id, const juce::var& v)
    {
        s.manager.setVarItemValue (id, v);
        return s.manager.getVar (id);
    };

    EXPECT_TRUE (stored (10, 1.0).isDouble()); // a bool setting may become a double
    EXPECT_TRUE (stored (10, false).isBool());
    EXPECT_EQ (static_cast<double> (stored (4, "0.25")), 0.25);
    EXPECT_EQ (static_cast<double> (stored (4, juce::var())), 0.0);

    const auto wide = stored (11, juce::int64 (5000000000));
    EXPECT_TRUE (wide.isInt() && static_cast<int> (wide) == std::numeric_limits<int>::max());

    // An integral setting keeps doubles inside the int range, so reading it as an
    // int stays defined; other settings keep any finite double.
    EXPECT_EQ (static_cast<double> (stored (7, -1.0e12)),
               static_cast<double> (std::numeric_limits<int>::min()));
    EXPECT_EQ (static_cast<double> (stored (3, 1.0e12)), 1.0e12);
}

// One writer (the audio thread's per-block reports) and one drainer (the editor's
// tick): every pull stands for at least one write, and the last value written to
// each setting is seen after the writer stops.
TEST (CvoVarItemManager, QueueLosesAndDuplicatesNothingUnderAConcurrentWriter)
{
    Settings s;
    auto& m = s.manager;
    constexpr int writes = 120000;
    std::atomic<bool> done{false};

    std::thread writer (
        [&]
        {
            for (int i = 1; i <= writes; ++i)
                m.setVarItemValue (i % 12, static_cast<double> (i));
            done.store (true);
        });

    std::vector<int> pulls (12, 0);
    std::vector<double> lastSeen (12, 0.0);

    for (bool finished = false; !finished;)
    {
        finished = done.load();

        while (auto* item = m.pullNextModifiedVarItem())
        {
            const int id = item->getId();
            const auto value = static_cast<double> (item->getVar());
            EXPECT_GE (value, lastSeen[(size_t)id]);
            lastSeen[(size_t)id] = value;
            ++pulls[(size_t)id];
        }
    }

    writer.join();
    EXPECT_FALSE (m.hasModifiedVarItems());

    for (int id = 0; id < 12; ++id)
    {
        const int lastWrite = writes - ((writes - id) % 12);
        EXPECT_EQ (lastSeen[(size_t)id], static_cast<double> (lastWrite)) << "setting " << id;
        EXPECT_GE (pulls[(size_t)id], 1);
        EXPECT_LE (pulls[(size_t)id], writes / 12);
    }
}
} // namespace
