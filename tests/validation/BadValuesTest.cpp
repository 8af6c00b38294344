// Bad values from the host while the plug-in processes: parameters written with
// values that are no numbers or out of range, damaged state chunks, tempos of
// 0, below 0 and NaN, quarter-note positions before 0, jumping back and NaN, a
// broken stream set-up. No crash, no hang (a watchdog ends the run), never a
// sample that is not finite, no louder output for values above the range, and
// once valid values return the instance works as a fresh one (RecoveryCheck).

#include "validation/ActiveSettings.h"
#include "validation/ChunkMutator.h"
#include "validation/OutputScan.h"
#include "validation/PluginSession.h"
#include "validation/RecoveryCheck.h"
#include "validation/StereoTestInput.h"
#include "validation/Watchdog.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

class BadValues : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PluginSession::Setup setup;
        setup.sampleRate = sampleRate;
        setup.blockSize = blockSize;
        session = PluginSession::open (setup);
        ASSERT_NE (session, nullptr);
        ActiveSettings::apply (*session);
        in[0].resize (blockSize);
        in[1].resize (blockSize);
    }

    // One block of the test input; its output goes into the scan.
    void processBlock()
    {
        input.fill (in[0].data(), in[1].data(), position, blockSize);
        session->process (in[0].data(), in[1].data(), in[0].data(), in[1].data(), blockSize);
        scan.add (in[0].data(), blockSize);
        scan.add (in[1].data(), blockSize);
        position += blockSize;
    }

    void processBlocks (int count)
    {
        for (int i = 0; i < count; ++i)
            processBlock();
    }

    void expectCleanOutput (const std::string& after)
    {
        EXPECT_TRUE (scan.isClean()) << "after " << after << ": " << scan.describe();
        scan = OutputScan();
    }

    std::unique_ptr<PluginSession> session;
    const StereoTestInput input{sampleRate};
    std::vector<float> in[2];
    std::int64_t position = 0;
    OutputScan scan;
};

TEST_F (BadValues, EveryParameterTakesEveryBadValueWhileProcessing)
{
    const Watchdog watchdog ("writing bad parameter values", std::chrono::seconds (60));
    const float badValues[] = {notANumber, -notANumber, infinity, -infinity, 1.0e30f, -1.0e30f,
                               FLT_MAX,    -FLT_MAX,    1.0e-45f, -0.0f,     -1.0f,   -0.25f,
                               1.0001f,    1.5f,        2.0f,     100.0f};
    auto& plugin = session->getPlugin();
    const int numParameters = plugin.getEffect()->numParams;
    ASSERT_EQ (numParameters, 350);

    for (const float value : badValues)
    {
        for (int index = 0; index < numParameters; ++index)
        {
            plugin.setParameter (index, value);
            if (index % 10 == 9)
                processBlock();
        }
        processBlocks (20);

        // What a host's window shows of each parameter.
        for (int index = 0; index < numParameters; ++index)
        {
            plugin.getParameter (index);
            EXPECT_LT (plugin.getParameterDisplay (index).size(), 64u) << "parameter " << index;
            plugin.getParameterName (index);
            plugin.getParameterLabel (index);
        }

        expectCleanOutput ("every parameter set to " + std::to_string (value));
    }

    RecoveryCheck::expectWorksAsFresh (*session);
}

// Gains above their range, written by the host or read from a chunk (one changed
// digit in a saved project), play as at the top of the range.
TEST_F (BadValues, GainsAboveTheRangeAreNoLouderThanAtTheTop)
{
    const Watchdog watchdog ("gains above the range", std::chrono::seconds (120));
    const char* gains[] = {"InputGain", "OutputGain", "MakeUpGain", "Mix", "EchoLevel"};

    // A fresh instance with every block on but the drive, which would fold a loud
    // input back into its range; the output's peak over two seconds.
    const auto peakWith = [this, &gains] (float hostValue, const char* chunkValue)
    {
        PluginSession::Setup setup;
        setup.sampleRate = sampleRate;
        setup.blockSize = blockSize;
        auto instance = PluginSession::open (setup);
        EXPECT_NE (instance, nullptr);
        if (instance == nullptr)
            return 0.0f;

        ActiveSettings::apply (*instance);
        instance->setParameter ("DriveActive", 0.0f);

        for (const char* name : gains)
            instance->setParameter (name, hostValue);

        if (chunkValue != nullptr)
        {
            auto chunk = instance->getPlugin().getChunk();
            for (const char* name : gains)
            {
                const auto changed = ChunkMutator (chunk, 0).withAttribute (name, chunkValue);
                EXPECT_NE (changed, chunk) << "the chunk holds no " << name;
                chunk = changed;
            }
            EXPECT_TRUE (instance->getPlugin().setChunk (chunk)) << chunkValue;
            EXPECT_EQ (instance->getPlugin().getParameter (instance->parameterIndex ("InputGain")),
                       std::stof (chunkValue));
        }

        OutputScan peak;
        std::vector<float> left (blockSize), right (blockSize);
        for (std::int64_t at = 0; at < 2 * (std::int64_t)sampleRate; at += blockSize)
        {
            input.fill (left.data(), right.data(), at, blockSize);
            instance->process (left.data(), right.data(), left.data(), right.data(), blockSize);
            peak.add (left.data(), blockSize);
            peak.add (right.data(), blockSize);
        }
        EXPECT_TRUE (peak.isClean()) << peak.describe();
        return peak.getPeak();
    };

    const float atTop = peakWith (1.0f, nullptr);
    const float allowed = atTop * 1.001f + (float)OutputScan::noiseTolerance;
    EXPECT_GT (atTop, 1.0f); // the gains at their top are loud already

    EXPECT_LE (peakWith (2.0f, nullptr), allowed) << "the host writes 2.0";
    EXPECT_LE (peakWith (1.0e30f, nullptr), allowed) << "the host writes 1e30";
    EXPECT_LE (peakWith (0.5f, "2.0"), allowed) << "a chunk holds 2.0";
    EXPECT_LE (peakWith (0.5f, "1e30"), allowed) << "a chunk holds 1e30";
}

TEST_F (BadValues, TempoZeroBelowZeroNotANumberAndExtreme)
{
    const Watchdog watchdog ("bad tempos", std::chrono::seconds (60));
    auto& transport = session->getTransport();
    const double tempos[] = {0.0,     -120.0, std::nan (""), HUGE_VAL, -HUGE_VAL, 1.0e-300,
                             1.0e300, 0.001,  1.0e6,         -0.0,     120.0};

    processBlocks (50);
    for (const double tempo : tempos)
    {
        transport.forceTempo (tempo);
        processBlocks (40);
        expectCleanOutput ("tempo " + std::to_string (tempo));

        // A valid tempo and position between the bad ones.
        transport.setTempo (120.0);
        transport.setPosition (16.0);
        processBlocks (10);
        expectCleanOutput ("tempo 120 after " + std::to_string (tempo));
    }

    RecoveryCheck::expectWorksAsFresh (*session);
}

TEST_F (BadValues, PositionsBeforeZeroJumpingBackAndNotANumber)
{
    const Watchdog watchdog ("bad positions", std::chrono::seconds (60));
    auto& transport = session->getTransport();

    // Pre-roll: four beats before zero, played through zero.
    transport.setPosition (-4.0);
    processBlocks (1000);
    expectCleanOutput ("a pre-roll");

    // Loops: a short loop jumps back many times, then one that ends before zero.
    transport.setLoop (1.0, 1.7);
    processBlocks (1000);
    transport.setLoop (-3.0, -0.5);
    transport.setPosition (-2.0);
    processBlocks (300);
    transport.clearLoop();
    expectCleanOutput ("loops");

    // Jumps: back and forth, not a number, infinite, far beyond any song.
    const double positions[] = {100.0, 3.0,      -1.0e9,    1.0e15, -0.001,  std::nan (""),
                                0.0,   HUGE_VAL, -HUGE_VAL, 4.7e18, 1.0e300, 0.0};
    for (const double ppq : positions)
    {
        transport.setPosition (ppq);
        processBlocks (30);
        expectCleanOutput ("position " + std::to_string (ppq));
    }

    // Stopped at a position that is no number, then playing again.
    transport.setPlaying (false);
    transport.setPosition (std::nan (""));
    processBlocks (30);
    transport.setPlaying (true);
    transport.setPosition (8.0);
    processBlocks (30);
    expectCleanOutput ("a stop at a position that is no number");

    RecoveryCheck::expectWorksAsFresh (*session);
}

TEST_F (BadValues, BrokenStreamSetUp)
{
    const Watchdog watchdog ("a broken stream set-up", std::chrono::seconds (60));
    auto& plugin = session->getPlugin();
    AEffect* effect = plugin.getEffect();

    const double rates[] = {0.0, -44100.0, std::nan (""), HUGE_VAL, 1.0, 1.0e9, FLT_MAX, 1.0e-30, 1.0e-45};
    for (const double rate : rates)
    {
        plugin.suspend();
        plugin.setSampleRate (rate);
        plugin.resume();
        processBlocks (5);
        expectCleanOutput ("sample rate " + std::to_string (rate));
    }

    plugin.suspend();
    plugin.setSampleRate (sampleRate);
    for (const int size : {0, -1, -4096, std::numeric_limits<int>::max(), 1 << 24})
    {
        plugin.suspend();
        plugin.setBlockSize (size);
        plugin.resume();
        processBlocks (5);
        expectCleanOutput ("announced block size " + std::to_string (size));
    }

    // A block far longer than what the plug-in prepares for: processed in parts.
    std::vector<float> longLeft (100000), longRight (100000);
    input.fill (longLeft.data(), longRight.data(), position, 100000);
    session->process (longLeft.data(), longRight.data(), longLeft.data(), longRight.data(), 100000);
    scan.add (longLeft.data(), 100000);
    scan.add (longRight.data(), 100000);
    position += 100000;
    expectCleanOutput ("a block of 100000 frames");

    plugin.suspend();
    plugin.setBlockSize (blockSize);
    plugin.resume();

    // Blocks of no frames, of a negative count, without buffers.
    float* noChannels[2] = {nullptr, nullptr};
    effect->processReplacing (effect, nullptr, nullptr, blockSize);
    effect->processReplacing (effect, noChannels, noChannels, blockSize);
    float* channels[2] = {in[0].data(), in[1].data()};
    effect->processReplacing (effect, channels, channels, 0);
    effect->processReplacing (effect, channels, channels, -blockSize);
    effect->processReplacing (effect, nullptr, channels, blockSize);
    scan.add (in[0].data(), blockSize);
    scan.add (in[1].data(), blockSize);
    expectCleanOutput ("blocks without frames or buffers");

    RecoveryCheck::expectWorksAsFresh (*session);
}

TEST_F (BadValues, DamagedStateChunks)
{
    const Watchdog watchdog ("damaged state chunks", std::chrono::seconds (120));
    auto& plugin = session->getPlugin();
    const auto valid = plugin.getChunk();
    ASSERT_GT (valid.size(), 9u);
    ChunkMutator mutator (valid, 20240607u);

    // Chunks that cannot be read change nothing.
    for (int i = 0; i < 20; ++i)
    {
        const auto before = plugin.getChunk();
        for (auto broken :
             {mutator.withWrongMagic(), mutator.cutInsideTheHeader(), mutator.cutInsideTheText()})
        {
            plugin.dispatch (effSetChunk, 0, static_cast<VstIntPtr> (broken.size()),
                             broken.empty() ? nullptr : broken.data());
            EXPECT_EQ (plugin.getChunk(), before) << mutator.describe();
        }
    }

    // A bad host: no data, or a size that is not one.
    plugin.dispatch (effSetChunk, 0, 1000, nullptr);
    plugin.dispatch (effSetChunk, 0, 0, const_cast<unsigned char*> (valid.data()));
    plugin.dispatch (effSetChunk, 0, -5, const_cast<unsigned char*> (valid.data()));
    processBlocks (5);
    expectCleanOutput ("chunks without data");

    for (int i = 0; i < 400; ++i)
    {
        auto chunk = mutator.next();
        plugin.dispatch (effSetChunk, i % 2, static_cast<VstIntPtr> (chunk.size()),
                         chunk.empty() ? nullptr : chunk.data());
        processBlocks (2);
        EXPECT_FALSE (plugin.getChunk().empty()) << mutator.describe();

        if (!scan.isClean())
            ADD_FAILURE() << "after a chunk with " << mutator.describe() << ": " << scan.describe();
        scan = OutputScan();
    }

    RecoveryCheck::expectWorksAsFresh (*session);
}
} // namespace
