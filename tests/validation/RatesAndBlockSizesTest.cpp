// Sample rates crossed with block sizes: the output is finite and free of
// subnormals, and the same input gives the same output however it is cut into
// blocks, including random sizes and blocks longer than the host announced.
// Instances differ only by their output noise (OutputScan::noiseTolerance).

#include "validation/ActiveSettings.h"
#include "validation/OutputScan.h"
#include "validation/PluginSession.h"
#include "validation/StereoTestInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace
{
constexpr double tempo = 131.0; // [BPM], no whole number of samples per beat at any rate

struct StereoAudio
{
    std::vector<float> left, right;
};

// Gives the length of the next block [samples].
using BlockSizes = std::function<int()>;

// Renders numFrames of the test input through a fresh instance with every block
// active: the input for the first 60 %, then silence, so that the filter, the
// echo and the envelope decay towards zero (where subnormals would arise).
StereoAudio render (double sampleRate, int announcedBlockSize, std::int64_t numFrames,
                    const BlockSizes& nextSize, OutputScan& scan)
{
    StereoAudio out;
    PluginSession::Setup setup;
    setup.sampleRate = sampleRate;
    setup.blockSize = announcedBlockSize;
    setup.bpm = tempo;
    auto session = PluginSession::open (setup);
    if (session == nullptr)
        return out;

    ActiveSettings::apply (*session);

    out.left.resize (static_cast<std::size_t> (numFrames));
    out.right.resize (static_cast<std::size_t> (numFrames));
    const StereoTestInput input (sampleRate);
    const auto silenceFrom = static_cast<std::int64_t> (0.6 * static_cast<double> (numFrames));

    for (std::int64_t position = 0; position < numFrames;)
    {
        const int n = static_cast<int> (std::min<std::int64_t> (nextSize(), numFrames - position));
        float* left = out.left.data() + position;
        float* right = out.right.data() + position;

        input.fill (left, right, position, n);
        for (int i = 0; i < n; ++i)
        {
            if (position + i >= silenceFrom)
                left[i] = right[i] = 0.0f;
        }

        session->process (left, right, left, right, n); // in place, as many hosts do
        scan.add (left, n);
        scan.add (right, n);
        position += n;
    }

    return out;
}

BlockSizes fixedSize (int size)
{
    return [size] { return size; };
}

class RatesAndBlockSizes : public ::testing::TestWithParam<double>
{
};

TEST_P (RatesAndBlockSizes, OutputIsCleanAndIndependentOfTheBlockSizes)
{
    const double sampleRate = GetParam();
    const auto numFrames = static_cast<std::int64_t> (std::llround (1.25 * sampleRate));

    OutputScan referenceScan;
    const StereoAudio reference = render (sampleRate, 4096, numFrames, fixedSize (4096), referenceScan);
    ASSERT_FALSE (HasFailure());
    EXPECT_TRUE (referenceScan.isClean()) << referenceScan.describe();
    EXPECT_GT (referenceScan.getPeak(), 0.05f) << "the gate let nothing through";

    struct Split
    {
        const char* name;
        int announced; // [samples]
        BlockSizes sizes;
    };

    std::mt19937 random (static_cast<unsigned> (sampleRate));
    std::uniform_int_distribution<int> anySize (1, 4096);
    const int longerThanAnnounced[] = {64, 1000, 4097, 3, 65};
    int cycle = 0;

    const Split splits[] = {
        {"1", 1, fixedSize (1)},
        {"32", 32, fixedSize (32)},
        {"64", 64, fixedSize (64)},
        {"256", 256, fixedSize (256)},
        {"1024", 1024, fixedSize (1024)},
        {"random 1..4096", 4096, [&] { return anySize (random); }},
        {"longer than the announced 64", 64, [&] { return longerThanAnnounced[cycle++ % 5]; }},
    };

    for (const auto& split : splits)
    {
        SCOPED_TRACE (testing::Message() << sampleRate << " Hz, blocks " << split.name);
        OutputScan scan;
        const StereoAudio audio = render (sampleRate, split.announced, numFrames, split.sizes, scan);
        ASSERT_FALSE (HasFatalFailure());
        EXPECT_TRUE (scan.isClean()) << scan.describe();

        OutputScan difference;
        difference.compare (audio.left.data(), reference.left.data(), static_cast<int> (numFrames));
        difference.compare (audio.right.data(), reference.right.data(), static_cast<int> (numFrames));
        EXPECT_LE (difference.getLargestDifference(), OutputScan::noiseTolerance) << difference.describe();
    }
}

std::string rateName (const ::testing::TestParamInfo<double>& rate)
{
    return std::to_string (static_cast<int> (rate.param)) + "Hz";
}

INSTANTIATE_TEST_SUITE_P (Validation, RatesAndBlockSizes,
                          ::testing::Values (22050.0, 44100.0, 48000.0, 96000.0, 192000.0), rateName);
} // namespace
