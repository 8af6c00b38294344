// Instance lifetimes: fifty instances live at once, each processes with
// settings of its own and keeps them, and they close in an order unlike the
// one they opened in; instances open and close while others process; two
// instances process on two threads at once and each gives what it gives alone.

#include "validation/ActiveSettings.h"
#include "validation/OutputScan.h"
#include "validation/PluginSession.h"
#include "validation/StereoTestInput.h"
#include "validation/Watchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

namespace
{
constexpr int numInstances = 50;
constexpr int blockSize = 256;

// Processes numBlocks blocks of the test input; returns both channels one after the other.
std::vector<float> render (PluginSession& session, int numBlocks, std::int64_t start = 0)
{
    const StereoTestInput input (session.getSetup().sampleRate);
    std::vector<float> left (static_cast<std::size_t> (numBlocks * blockSize)), right (left.size());

    for (int block = 0; block < numBlocks; ++block)
    {
        float* l = left.data() + block * blockSize;
        float* r = right.data() + block * blockSize;
        input.fill (l, r, start + block * blockSize, blockSize);
        session.process (l, r, l, r, blockSize);
    }

    left.insert (left.end(), right.begin(), right.end());
    return left;
}

PluginSession::Setup setupAt (double sampleRate)
{
    PluginSession::Setup setup;
    setup.sampleRate = sampleRate;
    setup.blockSize = blockSize;
    return setup;
}

TEST (Lifetime, FiftyInstancesKeepTheirOwnSettingsAndCloseInAnyOrder)
{
    const Watchdog watchdog ("fifty instances", std::chrono::seconds (240));
    std::mt19937 random (50);
    std::vector<std::unique_ptr<PluginSession>> sessions;
    int mixIndex = -1;

    // Each instance gets its own Mix value [0..1] and processes a little.
    const auto mixOf = [] (int instance) { return static_cast<float> (instance) / (numInstances - 1); };

    for (int instance = 0; instance < numInstances; ++instance)
    {
        auto session = PluginSession::open (setupAt (instance % 2 == 0 ? 48000.0 : 44100.0));
        ASSERT_NE (session, nullptr);
        if (mixIndex < 0)
            mixIndex = session->parameterIndex ("Mix");
        session->getPlugin().setParameter (mixIndex, mixOf (instance));
        sessions.push_back (std::move (session));

        // Some earlier instance processes while the new one starts.
        OutputScan scan;
        const auto output = render (*sessions[random() % sessions.size()], 2);
        scan.add (output.data(), static_cast<int> (output.size()));
        EXPECT_TRUE (scan.isClean()) << scan.describe();
    }

    for (int instance = 0; instance < numInstances; ++instance)
    {
        EXPECT_EQ (sessions[static_cast<std::size_t> (instance)]->getPlugin().getParameter (mixIndex),
                   mixOf (instance))
            << "instance " << instance;
    }

    // Close in a shuffled order; every fifth closing, a new instance opens and
    // the survivors process.
    std::shuffle (sessions.begin(), sessions.end(), random);
    int opened = 0;
    while (!sessions.empty())
    {
        sessions.pop_back();

        if (sessions.size() % 5 == 0 && opened < 10)
        {
            auto session = PluginSession::open (setupAt (96000.0));
            ASSERT_NE (session, nullptr);
            sessions.insert (sessions.begin() +
                                 static_cast<std::ptrdiff_t> (random() % (sessions.size() + 1)),
                             std::move (session));
            ++opened;
        }

        for (auto& session : sessions)
        {
            OutputScan scan;
            const auto output = render (*session, 1);
            scan.add (output.data(), static_cast<int> (output.size()));
            EXPECT_TRUE (scan.isClean()) << scan.describe();
        }
    }

    // After the last instance closed, the plug-in starts again from nothing.
    auto again = PluginSession::open();
    ASSERT_NE (again, nullptr);
    EXPECT_EQ (again->getPlugin().getProgramName(), "Default");
}

TEST (Lifetime, TwoInstancesOnTwoThreadsGiveWhatEachGivesAlone)
{
    const Watchdog watchdog ("two instances on two threads", std::chrono::seconds (120));
    constexpr int numBlocks = 2000;

    // Alone, one after the other: the default preset at 48 kHz and every block
    // active at 44.1 kHz.
    const auto configure = [] (PluginSession& session, int which)
    {
        if (which == 1)
            ActiveSettings::apply (session);
    };
    const double rates[] = {48000.0, 44100.0};

    std::vector<float> alone[2];
    for (int which = 0; which < 2; ++which)
    {
        auto session = PluginSession::open (setupAt (rates[which]));
        ASSERT_NE (session, nullptr);
        configure (*session, which);
        alone[which] = render (*session, numBlocks);
    }

    // Together: created and closed on their own threads, processing at once.
    std::vector<float> together[2];
    std::thread threads[2];
    for (int which = 0; which < 2; ++which)
    {
        threads[which] = std::thread (
            [&, which]
            {
                auto session = PluginSession::open (setupAt (rates[which]));
                if (session == nullptr)
                    return;
                configure (*session, which);
                together[which] = render (*session, numBlocks);
            });
    }
    for (auto& thread : threads)
        thread.join();

    for (int which = 0; which < 2; ++which)
    {
        ASSERT_EQ (together[which].size(), alone[which].size());
        OutputScan scan;
        scan.compare (together[which].data(), alone[which].data(), static_cast<int> (alone[which].size()));
        EXPECT_TRUE (scan.isClean()) << scan.describe();
        EXPECT_LE (scan.getLargestDifference(), OutputScan::noiseTolerance)
            << "instance " << which << ": " << scan.describe();
    }
}
} // namespace
