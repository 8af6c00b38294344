// Real-time safety seen from the host: after the first block, processReplacing
// allocates nothing, frees nothing and takes no lock, whatever the transport
// does (tempo changes, loop jumps, stop and start, no time information) and
// whatever the block (one sample, longer than announced). Parameter automation
// happens between the blocks, outside the counted calls, as hosts do it.

#include "validation/ActiveSettings.h"
#include "validation/PluginSession.h"
#include "validation/RealTimeProbe.h"
#include "validation/StereoTestInput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr int announcedBlockSize = 256;

class RealTimeSafety : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!RealTimeProbe::isAvailable())
            GTEST_SKIP() << "the allocator and lock probe is off in sanitizer builds";

        PluginSession::Setup setup;
        setup.sampleRate = 48000.0;
        setup.blockSize = announcedBlockSize;
        session = PluginSession::open (setup);
        ASSERT_NE (session, nullptr);

        inputLeft.resize (8192);
        inputRight.resize (8192);
        outputLeft.resize (8192);
        outputRight.resize (8192);
        input.fill (inputLeft.data(), inputRight.data(), 0, 8192);

        // The first block may prepare what it needs; it is not counted.
        processCounted (announcedBlockSize, false);
        RealTimeProbe::resetThreadCounts();
    }

    // One block of the test input, counted when asked to.
    void processCounted (int numFrames, bool counted = true)
    {
        if (counted)
        {
            const RealTimeProbe::Scope scope;
            session->process (inputLeft.data(), inputRight.data(), outputLeft.data(), outputRight.data(),
                              numFrames);
        }
        else
        {
            session->process (inputLeft.data(), inputRight.data(), outputLeft.data(), outputRight.data(),
                              numFrames);
        }
        ++blocks;
    }

    void expectNothingCounted (const char* what)
    {
        const auto counts = RealTimeProbe::getThreadCounts();
        EXPECT_TRUE (counts.isEmpty())
            << what << ": in " << blocks - 1 << " counted blocks processReplacing made " << counts.allocations
            << " allocations, " << counts.releases << " frees and " << counts.locks << " lock calls";
    }

    std::unique_ptr<PluginSession> session;
    const StereoTestInput input{48000.0};
    std::vector<float> inputLeft, inputRight, outputLeft, outputRight;
    int blocks = 0;
};

// The probe sees allocations made inside shared objects (the C library's
// strdup, libstdc++'s operator new) and std::mutex locks, in its scope only.
TEST (RealTimeProbe, CountsAllocatorAndLockCallsInItsScope)
{
    if (!RealTimeProbe::isAvailable())
        GTEST_SKIP() << "the allocator and lock probe is off in sanitizer builds";

    std::mutex mutex;
    RealTimeProbe::resetThreadCounts();
    {
        const RealTimeProbe::Scope scope;
        std::free (strdup ("copied by the C library"));
        const std::string longText (100, 'x'); // past the small-string buffer
        const std::lock_guard<std::mutex> lock (mutex);
    }
    const std::string notCounted (100, 'y');

    const auto counts = RealTimeProbe::getThreadCounts();
    EXPECT_EQ (counts.allocations, 2u);
    EXPECT_EQ (counts.releases, 2u);
    EXPECT_EQ (counts.locks, 1u);
}

TEST_F (RealTimeSafety, SteadyPlaybackWithTheDefaultPreset)
{
    for (int block = 0; block < 400; ++block)
        processCounted (announcedBlockSize);

    expectNothingCounted ("default preset, 48 kHz, blocks of 256");
}

TEST_F (RealTimeSafety, EveryBlockActiveWithATransportThatJumps)
{
    ActiveSettings::apply (*session);
    std::mt19937 random (7);
    std::uniform_real_distribution<float> anyValue (0.0f, 1.0f);
    auto& transport = session->getTransport();

    for (int block = 0; block < 600; ++block)
    {
        // Automation between blocks, on the audio thread: any parameter, any value.
        session->getPlugin().setParameter (static_cast<int> (random() % 350), anyValue (random));

        switch (block % 100)
        {
            case 10:
                transport.setTempo (97.0);
                break;
            case 20:
                transport.setLoop (1.0, 2.5);
                break;
            case 40:
                transport.clearLoop();
                break;
            case 50:
                transport.setPlaying (false);
                break;
            case 60:
                transport.setPlaying (true);
                break;
            case 70:
                transport.setPosition (-1.5);
                break; // pre-roll
            case 80:
                transport.setTempo (181.0);
                break;
            default:
                break;
        }

        const int sizes[] = {announcedBlockSize, 1, 17, 8192 /* longer than announced */, 100};
        processCounted (sizes[block % 5]);
    }

    expectNothingCounted ("every block active, tempo changes, loops, stop and start, pre-roll");
}

TEST_F (RealTimeSafety, BlocksWithoutTimeInformationPassThrough)
{
    session->getPlugin().setTransport (nullptr);

    for (int block = 0; block < 200; ++block)
        processCounted (announcedBlockSize);

    expectNothingCounted ("no time information");
}
} // namespace
