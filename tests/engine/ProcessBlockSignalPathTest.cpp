// The signal path of processBlock: blocks without position information, bypass,
// mute-all, mix and gains, filter and drive against the blocks themselves, the echo
// lines (ping-pong, normal, mono, global FX off, limits), bad samples, long tails and
// block sizes.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"
#include "engine/dsp/CvoFoldbackDistortion.h"
#include "engine/dsp/CvoMoogLowPassFilter1.h"

#include <cstring>
#include <limits>
#include <random>

using namespace zktest;

namespace
{
// Uniform noise of the given amplitude: a hash of seed, channel and sample index, so
// the same for every call.
Input noiseInput (uint64_t seed, float amplitude = 0.5f)
{
    return [seed, amplitude] (int channel, int64_t index)
    {
        uint64_t x = (uint64_t)(2 * index + channel) * 0x9e3779b97f4a7c15ull + seed;
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
        x ^= x >> 31;
        return ((float)(x >> 40) / 16777216.0f * 2.0f - 1.0f) * amplitude;
    };
}

float impulseLeft (int channel, int64_t index)
{
    return channel == 0 && index == 0 ? 1.0f : 0.0f;
}

// A dry signal (mix 0, nothing else on) with an echo of level 1, feedback 0.45 and
// 1/16 note (6000 samples at 120 BPM and 48 kHz).
void setPlainEcho (ProcessorRig& rig, bool pingPong)
{
    rig.setNeutralGate();
    rig.setParams ({{pMix, 0.0f},
                    {pEchoActive, 1.0f},
                    {pEchoLevel, 1.0f},
                    {pEchoFeedback, 0.5f},
                    {pEchoTypeNormal, 0.1f},
                    {pEchoPingPong, pingPong ? 1.0f : 0.0f}});
}

// Expects silence (the noise) everywhere but at the given samples.
void expectOnly (const std::vector<float>& out, std::vector<std::pair<size_t, float>> peaks, const char* name)
{
    for (size_t i = 0; i < out.size(); ++i)
    {
        float expected = 0.0f;
        for (auto [at, value] : peaks)
            if (at == i)
                expected = value;
        ASSERT_NEAR (out[i], expected, noiseTolerance) << name << " sample " << i;
    }
}
} // namespace

TEST (ProcessBlockWithoutPosition, LeavesTheBlockBitIdentical)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        const char* name;
        bool hasBpm;
        double bpm;
        bool hasPpq;
        double ppq;
    };
    const Case cases[] = {{"tempo 0", true, 0.0, true, 0.0},
                          {"negative tempo", true, -120.0, true, 0.0},
                          {"NaN tempo", true, nan, true, 0.0},
                          {"infinite tempo", true, inf, true, 0.0},
                          {"tempo too slow", true, 1.0e-300, true, 0.0},
                          {"tempo too fast", true, 1.0e9, true, 0.0},
                          {"NaN position", true, 120.0, true, nan},
                          {"infinite position", true, 120.0, true, -inf},
                          {"NaN tempo, no position", true, nan, false, 0.0},
                          {"no tempo, NaN position", false, 0.0, true, nan},
                          {"no play head", false, 0.0, false, 0.0},
                          {"no time info", false, 0.0, false, 0.0}};

    for (const auto& c : cases)
    {
        ProcessorRig rig;
        rig.setEverythingActive();
        juce::AudioPlayHead::PositionInfo info;
        if (c.hasBpm)
            info.setBpm (c.bpm);
        if (c.hasPpq)
            info.setPpqPosition (c.ppq);
        info.setIsPlaying (true);
        rig.playHead.position = info;
        if (std::strcmp (c.name, "no play head") == 0)
            rig.processor.setPlayHead (nullptr);
        if (std::strcmp (c.name, "no time info") == 0)
            rig.playHead.position = {};

        juce::AudioBuffer<float> buffer (2, 512), original (2, 512);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (ch, i, noiseInput (3) (ch, i));
        buffer.setSample (0, 7, std::numeric_limits<float>::quiet_NaN()); // kept as it is too
        original.makeCopyOf (buffer);

        juce::MidiBuffer midi;
        for (int block = 0; block < 3; ++block)
            rig.processor.processBlock (buffer, midi);

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_EQ (
                std::memcmp (buffer.getReadPointer (ch), original.getReadPointer (ch), 512 * sizeof (float)),
                0)
                << c.name;
    }

    // An unknown sample rate too.
    ProcessorRig rig (0.0);
    rig.setEverythingActive();
    juce::AudioBuffer<float> buffer (2, 256);
    buffer.clear();
    buffer.setSample (1, 3, 0.25f);
    juce::MidiBuffer midi;
    rig.processor.processBlock (buffer, midi);
    EXPECT_EQ (buffer.getSample (1, 3), 0.25f);
    EXPECT_EQ (buffer.getMagnitude (0, 0, 256), 0.0f);
}

TEST (ProcessBlockSignalPath, BypassIsTheInputPlusNoiseAndTheFiltersWait)
{
    ProcessorRig bypassed, fresh;
    for (auto* rig : {&bypassed, &fresh})
    {
        rig->setNeutralGate();
        rig->setParams ({{pMix, 0.0f},
                         {pLowpassActive, 1.0f},
                         {pLowpassCutoff, 0.5f},
                         {pLowpassReso, 0.8f},
                         {pDriveActive, 1.0f},
                         {pDriveInputGain, 0.3f}});
    }

    const auto input = noiseInput (5);
    bypassed.setParams ({{pBypass, 1.0f}, {pInputGain, 1.0f}}); // no input gain while bypassed
    const auto out = bypassed.run (4096, input);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 4096; ++i)
            ASSERT_NEAR (out[(size_t)ch][(size_t)i], input (ch, i), noiseTolerance) << "sample " << i;

    // Switched back on, the filters go on from where they stopped: the same as a
    // processor that never saw the bypassed samples.
    bypassed.setParams ({{pBypass, 0.0f}, {pInputGain, 0.5f}});
    const auto later = noiseInput (6);
    const auto afterBypass = bypassed.run (2048, [&] (int ch, int64_t i) { return later (ch, i - 4096); });
    const auto reference = fresh.run (2048, later);
    for (int ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < 2048; ++i)
            ASSERT_NEAR (afterBypass[(size_t)ch][i], reference[(size_t)ch][i], 2.0f * noiseTolerance);
}

TEST (ProcessBlockSignalPath, MuteAllLeavesTheNoiseAlone)
{
    ProcessorRig rig;
    rig.setEverythingActive();
    rig.setParam (pMuteAll, 1.0f);

    float peak = 0.0f;
    for (const auto& channel : rig.run (8192, noiseInput (8)))
        for (float x : channel)
            peak = std::max (peak, std::abs (x));
    EXPECT_LE (peak, noiseAmplitude);
    EXPECT_GT (peak, 0.0f);
}

TEST (ProcessBlockSignalPath, MixZeroGivesTheFilteredAndDrivenSignalWithoutGate)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParams ({{pMix, 0.0f},
                    {pLowpassActive, 1.0f},
                    {pLowpassCutoff, 0.5f},
                    {pLowpassReso, 0.5f},
                    {pDriveActive, 1.0f},
                    {pDriveInputGain, 0.5f},
                    {pDriveOutputGain, 0.5f}});
    const auto input = noiseInput (9, 0.8f);
    const auto out = rig.run (8192, input);

    CvoFoldbackDistortion drive;
    drive.setActive (true);
    drive.setInputGain (0.5f);
    drive.setOutputGain (0.5f);

    for (int ch = 0; ch < 2; ++ch)
    {
        CvoMoogLowPassFilter1 filter;
        filter.setSampleRate (48000.0);
        filter.calculateCoefficients (0.0625f, 0.25f); // cutoff^4, resonance^2
        for (int i = 0; i < 8192; ++i)
            ASSERT_NEAR (out[(size_t)ch][(size_t)i],
                         drive.processSingleSample (filter.processSingleSample (input (ch, i))),
                         noiseTolerance)
                << "channel " << ch << " sample " << i;
    }
}

TEST (ProcessBlockSignalPath, GainsMakeUpAndMixShapeTheGatedSignal)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParams ({{pMix, 0.5f}, {pMakeUpGain, 0.75f}, {pInputGain, 0.75f}, {pOutputGain, 0.25f}});
    const float plus6dB = std::pow (10.0f, 6.0f / 20.0f);
    const auto out = rig.run (6000, [] (int, int64_t) { return 0.25f; })[0];

    // Held gate (level 1): the gated and the dry share; closed gate (level 0): the dry share.
    const float x = 0.25f * plus6dB;
    EXPECT_NEAR (out[1000], (x * plus6dB * 0.5f + 0.5f * x) / plus6dB, 1.0e-4f);
    EXPECT_NEAR (out[5000], 0.5f * x / plus6dB, 1.0e-4f);
}

TEST (ProcessBlockEcho, PingPongAlternatesSidesAndEveryRepeatInverts)
{
    ProcessorRig rig;
    setPlainEcho (rig, true);
    const auto out = rig.run (24001, impulseLeft);

    // First echo right after d, next left 2d later, then right again d later.
    expectOnly (out[0], {{0, 1.0f}, {18000, -0.45f}}, "left");
    expectOnly (out[1], {{6000, 1.0f}, {24000, 0.45f * 0.45f}}, "right");
}

TEST (ProcessBlockEcho, NormalAndMonoEchoesRepeatOnTheirOwnSide)
{
    for (int channels : {2, 1})
    {
        ProcessorRig rig (48000.0, channels);
        setPlainEcho (rig, channels == 1); // ping-pong is off in mono whatever the switch
        const auto out = rig.run (20000, impulseLeft);
        expectOnly (out[0], {{0, 1.0f}, {6000, 1.0f}, {12000, -0.45f}, {18000, 0.45f * 0.45f}}, "left");
        if (channels == 2)
            expectOnly (out[1], {}, "right");
    }
}

TEST (ProcessBlockEcho, GlobalFxOffSilencesTheEchoButKeepsFeedingIt)
{
    ProcessorRig rig;
    setPlainEcho (rig, false);
    rig.processor.setVarItemValue ("viGlobalFxOffIsActive", 1.0);
    EXPECT_NEAR (rig.run (9000, impulseLeft)[0][6000], 0.0f, noiseTolerance);

    rig.processor.setVarItemValue ("viGlobalFxOffIsActive", 0.0);
    EXPECT_NEAR (rig.run (9000, impulseLeft)[0][12000 - 9000], -0.45f, noiseTolerance); // the second repeat
}

TEST (ProcessBlockEcho, DelaysLongerThanTheLinesAreLimited)
{
    // One beat at 192 kHz: 10 BPM gives 1,152,000 samples (ping-pong limit 576,000);
    // 5 BPM gives 2,304,000 (limit 1,152,000).
    const struct
    {
        double bpm;
        bool pingPong;
        size_t channel, echoAt;
    } cases[] = {{10.0, true, 1, 576000}, {5.0, false, 0, 1152000}};

    for (const auto& c : cases)
    {
        ProcessorRig rig (192000.0, 2, 4096);
        rig.setHost (c.bpm, 0.0, true);
        setPlainEcho (rig, c.pingPong);
        rig.setParam (pEchoTypeNormal, 0.6f); // 1/4: one beat
        const auto out = rig.run ((int)c.echoAt + 10, impulseLeft);
        EXPECT_NEAR (out[c.channel][c.echoAt], 1.0f, noiseTolerance) << c.bpm;
        EXPECT_NEAR (out[c.channel][c.echoAt - 1], 0.0f, noiseTolerance) << c.bpm;
    }
}

TEST (ProcessBlockRobustness, NonFiniteSamplesDoNotLatchAndLongTailsStayClean)
{
    ProcessorRig rig;
    rig.setEverythingActive();
    rig.setParams ({{pEchoFeedback, 1.0f}, {pEchoLevel, 1.0f}}); // feedback 0.9
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const auto noise = noiseInput (11, 1.0f);

    // Two seconds of noise with bad samples in it, then nearly a minute of silence.
    const auto out = rig.run (60 * 48000,
                              [&] (int ch, int64_t i)
                              {
                                  if (i == 100 || i == 101)
                                      return ch == 0 ? nan : inf;
                                  if (i == 3000)
                                      return -inf;
                                  return i < 96000 ? noise (ch, i) : 0.0f;
                              });

    for (const auto& channel : out)
    {
        for (size_t i = 0; i < channel.size(); ++i)
        {
            ASSERT_TRUE (std::isfinite (channel[i])) << "sample " << i;
            ASSERT_NE (std::fpclassify (channel[i]), FP_SUBNORMAL) << "sample " << i;
        }
        EXPECT_LT (
            std::abs (*std::max_element (channel.end() - 48000, channel.end(),
                                         [] (float a, float b) { return std::abs (a) < std::abs (b); })),
            1.0e-4f);
    }
}

TEST (ProcessBlockRobustness, BlockSizesDoNotChangeTheOutput)
{
    ProcessorRig whole (48000.0, 2, 1024), split (48000.0, 2, 1024);
    whole.setEverythingActive();
    split.setEverythingActive();

    std::mt19937 rng (99);
    std::uniform_int_distribution<int> sizes (1, 1024);
    const auto input = noiseInput (13);
    const auto a = whole.run (5 * 48000, input, [] { return 512; });
    const auto b = split.run (5 * 48000, input, [&] { return sizes (rng); });

    // Only the output noise of the two instances differs.
    for (size_t ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < a[ch].size(); ++i)
            ASSERT_NEAR (a[ch][i], b[ch][i], 2.0f * noiseTolerance) << "sample " << i;
}
