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

TEST (CvoVarItemManager, StartsWithTheDefaultsAndNothingQueued)
{
    Settings s;
    EXPECT_EQ (s.manager.getNumberOfVarItems(), 12);
    EXPECT_TRUE (s.manager.getVar ("viAutoRunInStopMode").isBool());
    EXPECT_TRUE (static_cast<bool> (s.manager.getVar ("viAutoRunInStopMode")));
    EXPECT_TRUE (s.manager.getVar ("viPatternCommandTabContent").isInt());
    EXPECT_EQ (static_cast<int> (s.manager.getVar (11)), 1);
    EXPECT_EQ (static_cast<double> (s.manager.getVar ("viWaveDisplayCursorTailBrightness")), 0.5);
    EXPECT_FALSE (s.manager.hasModifiedVarItems());
    EXPECT_EQ (s.manager.pullNextModifiedVarItem(), nullptr);
}

TEST (CvoVarItemManager, LookupsAreExactAndBounded)
{
    Settings s;
    EXPECT_EQ (s.manager.getVarItem (11)->getName(), "viPatternCommandTabContent");
    EXPECT_EQ (s.manager.getVarItem ("viIsRunningState")->getId(), 10);
    EXPECT_EQ (s.manager.getVarItem ("viisrunningstate"), nullptr);
    EXPECT_EQ (s.manager.getVarItem (12), nullptr);
    EXPECT_EQ (s.manager.getVarItem (-1), nullptr);
    EXPECT_EQ (s.manager.getVarItemName (12), "");
    EXPECT_EQ (s.manager.getVarItemName (-1), "");
    EXPECT_TRUE (s.manager.getVar ("viNothing").isVoid());
    EXPECT_TRUE (s.manager.getVar (99).isVoid());
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

    EXPECT_FALSE (m.setVarItemValue ("viUnknown", 1.0));
    EXPECT_FALSE (m.setVarItemValue (12, 1.0));
    EXPECT_FALSE (
        m.setVarItemValue ("viWaveDisplayZoomFactorYNormed", std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE (
        m.setVarItemValue ("viWaveDisplayZoomFactorYNormed", std::numeric_limits<double>::infinity()));
    EXPECT_FALSE (m.setVarItemValue (3, juce::var ("-inf")));

    EXPECT_EQ (static_cast<double> (m.getVar (3)), 0.0);
    EXPECT_FALSE (m.hasModifiedVarItems());
}

TEST (CvoVarItemManager, StoresBoolIntAndDoubleAndConvertsTheRest)
{
    Settings s;
    auto& m = s.manager;

    m.setVarItemValue ("viIsRunningState", 1.0); // a bool setting may become a double
    EXPECT_TRUE (m.getVar (10).isDouble());
    EXPECT_TRUE (static_cast<bool> (m.getVar (10)));

    m.setVarItemValue (10, false);
    EXPECT_TRUE (m.getVar (10).isBool());

    m.setVarItemValue (4, juce::var ("0.25"));
    EXPECT_EQ (static_cast<double> (m.getVar (4)), 0.25);

    m.setVarItemValue (4, juce::var());
    EXPECT_EQ (static_cast<double> (m.getVar (4)), 0.0);

    m.setVarItemValue (11, juce::var (juce::int64 (5000000000)));
    EXPECT_TRUE (m.getVar (11).isInt());
    EXPECT_EQ (static_cast<int> (m.getVar (11)), std::numeric_limits<int>::max());

    m.setVarItemValue (7, -7);
    EXPECT_EQ (static_cast<int> (m.getVar (7)), -7);

    // An integral setting keeps doubles inside the int range, so reading it as an
    // int stays defined.
    m.setVarItemValue (7, -1.0e12);
    EXPECT_EQ (static_cast<double> (m.getVar (7)), static_cast<double> (std::numeric_limits<int>::min()));
    m.setVarItemValue (3, 1.0e12);
    EXPECT_EQ (static_cast<double> (m.getVar (3)), 1.0e12);
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
