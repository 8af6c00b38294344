#include "validation/RecoveryCheck.h"

#include "validation/ActiveSettings.h"
#include "validation/OutputScan.h"
#include "validation/PluginSession.h"
#include "validation/StereoTestInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
constexpr double tempo = 120.0;                  // [BPM]
constexpr std::int64_t echoLineLength = 1152000; // [samples] per echo line
constexpr int blockSize = 4096;

void giveValidHistory (PluginSession& session, const std::vector<unsigned char>& chunk)
{
    auto& plugin = session.getPlugin();
    plugin.suspend();
    plugin.setSampleRate (session.getSetup().sampleRate);
    plugin.setBlockSize (blockSize);
    plugin.resume();

    ASSERT_TRUE (plugin.setChunk (chunk));
    session.setParameter ("EchoActive", 0.0f);
    session.resetTransport (tempo);

    OutputScan scan;
    for (std::int64_t done = 0; done < echoLineLength + blockSize; done += blockSize)
    {
        session.processConstant (0.0f, blockSize);
        scan.add (session.getOutput (0), blockSize);
        scan.add (session.getOutput (1), blockSize);
    }
    EXPECT_TRUE (scan.isClean()) << "silence with valid values: " << scan.describe();

    ASSERT_TRUE (plugin.setChunk (chunk));
    session.restart();
    session.resetTransport (tempo);
}

std::vector<float> render (PluginSession& session, std::int64_t numFrames)
{
    std::vector<float> left (static_cast<std::size_t> (numFrames)), right (left.size());
    const StereoTestInput input (session.getSetup().sampleRate);

    for (std::int64_t position = 0; position < numFrames; position += blockSize)
    {
        const int n = static_cast<int> (std::min<std::int64_t> (blockSize, numFrames - position));
        input.fill (left.data() + position, right.data() + position, position, n);
        session.process (left.data() + position, right.data() + position, left.data() + position,
                         right.data() + position, n);
    }

    left.insert (left.end(), right.begin(), right.end());
    return left;
}
} // namespace

void RecoveryCheck::expectWorksAsFresh (PluginSession& used)
{
    PluginSession::Setup setup;
    setup.sampleRate = used.getSetup().sampleRate;
    setup.blockSize = blockSize;
    setup.bpm = tempo;
    auto fresh = PluginSession::open (setup);
    ASSERT_NE (fresh, nullptr);
    ActiveSettings::apply (*fresh);
    const auto chunk = fresh->getPlugin().getChunk();
    ASSERT_FALSE (chunk.empty());

    giveValidHistory (*fresh, chunk);
    giveValidHistory (used, chunk);
    ASSERT_FALSE (::testing::Test::HasFatalFailure());

    // Eight beats: two rounds of the four-beat pattern, echoes included.
    const auto numFrames = static_cast<std::int64_t> (8.0 * 60.0 / tempo * setup.sampleRate);
    const auto expected = render (*fresh, numFrames);
    const auto actual = render (used, numFrames);

    OutputScan scan;
    scan.compare (actual.data(), expected.data(), static_cast<int> (actual.size()));
    EXPECT_TRUE (scan.isClean()) << "after valid values returned: " << scan.describe();
    EXPECT_LE (scan.getLargestDifference(), OutputScan::noiseTolerance)
        << "after valid values returned the instance differs from a fresh one: " << scan.describe();
}
