// The signal path of processBlock: blocks without position information, bypass,
// mute-all, mix, gains, filter and drive against the blocks themselves, the echo
// lines (normal, ping-pong, mono, limits, global FX off), bad samples and block sizes.

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
// Every effect on: filter, drive, ping-pong echo, and the gate over a mixed pattern.
void setEverythingActive (ProcessorRig& rig)
{
    rig.setNeutralGate();
    const std::pair<int, float> values[] = {
        {pLowpassActive, 1.0f},  {pLowpassCutoff, 0.6f}, {pLowpassReso, 0.7f},  {pDriveActive, 1.0f},
        {pDriveInputGain, 0.4f}, {pEchoActive, 1.0f},    {pEchoFeedback, 0.8f}, {pEchoLevel, 0.7f},
        {pEchoPingPong, 1.0f},   {pAttack, 0.2f},        {pHold, 0.3f},         {pDecay, 0.3f},
        {pSustain, 0.6f},        {pRelease, 0.4f},       {pSwing, 0.5f}};
    for (auto [index, value] : values)
        rig.setParam (index, value);

    rig.setSteps (
        [] (int step)
        {
            const float classes[] = {shortStepValue, longStepValue, stepLinkValue, noStepValue,
                                     shortStepValue};
            return classes[step % 5];
        });
}

std::function<float (int, int64_t)> noiseInput (unsigned seed, float amplitude = 0.5f)
{
    auto values = std::make_shared<std::vector<float>>();
    return [values, seed, amplitude] (int channel, int64_t index)
    {
        const auto needed = (size_t)(2 * (index + 1));
        if (values->size() < needed)
        {
            std::mt19937 rng (seed + (unsigned)values->size());
            std::uniform_real_distribution<float> dist (-amplitude, amplitude);
            while (values->size() < needed + 4096)
                values->push_back (dist (rng));
        }
        return (*values)[(size_t)(2 * index + channel)];
    };
}

float impulseLeft (int channel, int64_t index)
{
    return channel == 0 && index == 0 ? 1.0f : 0.0f;
}

// Output minus input (or the expected signal) stays within the output noise.
constexpr float noiseTolerance = noiseAmplitude * 1.1f;
} // namespace

//==============================================================================
TEST (ProcessBlockWithoutPosition, LeavesTheBlockBitIdentical)
{
    using Info = juce::AudioPlayHead::PositionInfo;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    const std::vector<std::pair<const char*, std::function<void (ProcessorRig&)>>> cases = {
        {"no play head", [] (ProcessorRig& r) { r.processor.setPlayHead (nullptr); }},
        {"no position", [] (ProcessorRig& r) { r.removePosition(); }},
        {"no tempo",
         [] (ProcessorRig& r)
         {
             Info info;
             info.setPpqPosition (1.0);
             info.setIsPlaying (true);
             r.playHead.position = info;
         }},
        {"no quarter-note position",
         [] (ProcessorRig& r)
         {
             Info info;
             info.setBpm (120.0);
             info.setIsPlaying (true);
             r.playHead.position = info;
         }},
        {"tempo 0", [] (ProcessorRig& r) { r.setHost (0.0, 0.0, true); }},
        {"negative tempo", [] (ProcessorRig& r) { r.setHost (-120.0, 0.0, true); }},
        {"NaN tempo", [nan] (ProcessorRig& r) { r.setHost (nan, 0.0, true); }},
        {"infinite tempo", [inf] (ProcessorRig& r) { r.setHost (inf, 0.0, true); }},
        {"tempo too slow to count", [] (ProcessorRig& r) { r.setHost (1.0e-300, 0.0, true); }},
        {"tempo too fast to count", [] (ProcessorRig& r) { r.setHost (1.0e9, 0.0, true); }},
        {"NaN position", [nan] (ProcessorRig& r) { r.setHost (120.0, nan, true); }},
        {"infinite position", [inf] (ProcessorRig& r) { r.setHost (120.0, -inf, true); }},
    };

    for (const auto& [name, makeBad] : cases)
    {
        ProcessorRig rig;
        setEverythingActive (rig);
        makeBad (rig);

        juce::AudioBuffer<float> buffer (2, 512), original (2, 512);
        const auto input = noiseInput (3);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (ch, i, input (ch, i));
        buffer.setSample (0, 7, std::numeric_limits<float>::quiet_NaN()); // bad samples stay too
        original.makeCopyOf (buffer);

        juce::MidiBuffer midi;
        for (int block = 0; block < 3; ++block)
            rig.processor.processBlock (buffer, midi);

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_EQ (
                std::memcmp (buffer.getReadPointer (ch), original.getReadPointer (ch), 512 * sizeof (float)),
                0)
                << name;
    }

    // An unknown sample rate too.
    ProcessorRig rig (0.0);
    setEverythingActive (rig);
    juce::AudioBuffer<float> buffer (2, 256);
    buffer.clear();
    buffer.setSample (1, 3, 0.25f);
    juce::MidiBuffer midi;
    rig.processor.processBlock (buffer, midi);
    EXPECT_EQ (buffer.getSample (1, 3), 0.25f);
    EXPECT_EQ (buffer.getMagnitude (0, 0, 256), 0.0f);
}

//==============================================================================
TEST (ProcessBlockSignalPath, BypassIsTheInputPlusNoiseAndTheFiltersWait)
{
    ProcessorRig bypassed, fresh;
    for (auto* rig : {&bypassed, &fresh})
    {
        rig->setNeutralGate();
        rig->setParam (pMix, 0.0f);
        rig->setParam (pLowpassActive, 1.0f);
        rig->setParam (pLowpassCutoff, 0.5f);
        rig->setParam (pLowpassReso, 0.8f);
        rig->setParam (pDriveActive, 1.0f);
        rig->setParam (pDriveInputGain, 0.3f);
    }

    const auto input = noiseInput (5);
    bypassed.setParam (pBypass, 1.0f);
    bypassed.setParam (pInputGain, 1.0f); // not applied while bypassed
    const auto out = bypassed.run (4096, input);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 4096; ++i)
            ASSERT_NEAR (out[(size_t)ch][(size_t)i], input (ch, i), noiseTolerance) << "sample " << i;

    // Switched back on, the filters go on from where they stopped: the same as a
    // processor that never saw the bypassed samples.
    bypassed.setParam (pBypass, 0.0f);
    bypassed.setParam (pInputGain, 0.5f);
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
    setEverythingActive (rig);
    rig.setParam (pMuteAll, 1.0f);
    const auto out = rig.run (8192, noiseInput (8));

    float peak = 0.0f;
    for (const auto& channel : out)
        for (float x : channel)
            peak = std::max (peak, std::abs (x));

    EXPECT_LE (peak, noiseAmplitude);
    EXPECT_GT (peak, 0.0f);
}

TEST (ProcessBlockSignalPath, MixZeroGivesTheFilteredAndDrivenSignalWithoutGate)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    const std::pair<int, float> values[] = {
        {pMix, 0.0f},         {pLowpassActive, 1.0f},  {pLowpassCutoff, 0.5f},  {pLowpassReso, 0.5f},
        {pDriveActive, 1.0f}, {pDriveInputGain, 0.5f}, {pDriveOutputGain, 0.5f}};
    for (auto [index, value] : values)
        rig.setParam (index, value);

    const auto input = noiseInput (9, 0.8f);
    const auto out = rig.run (8192, input);

    CvoMoogLowPassFilter1 filters[2];
    CvoFoldbackDistortion drive;
    drive.setActive (true);
    drive.setInputGain (0.5f);
    drive.setOutputGain (0.5f);

    for (int ch = 0; ch < 2; ++ch)
    {
        filters[ch].setSampleRate (48000.0);
        filters[ch].calculateCoefficients (0.0625f, 0.25f); // cutoff^4, resonance^2

        for (int i = 0; i < 8192; ++i)
        {
            const float expected =
                drive.processSingleSample (filters[ch].processSingleSample (input (ch, i)));
            ASSERT_NEAR (out[(size_t)ch][(size_t)i], expected, noiseTolerance)
                << "channel " << ch << " sample " << i;
        }
    }
}

TEST (ProcessBlockSignalPath, GainsMakeUpAndMixShapeTheGatedSignal)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParam (pMix, 0.5f);
    rig.setParam (pMakeUpGain, 0.75f); // +6 dB
    rig.setParam (pInputGain, 0.75f);  // +6 dB
    rig.setParam (pOutputGain, 0.25f); // -6 dB
    const float in = std::pow (10.0f, 6.0f / 20.0f);
    const float makeUp = in;
    const float outGain = 1.0f / in;

    const auto out = rig.run (6000, [] (int, int64_t) { return 0.25f; })[0];

    // Held gate (level 1): mix of the gated and the dry share; closed gate (level 0): the dry share.
    const float x = 0.25f * in;
    EXPECT_NEAR (out[1000], (x * 1.0f * makeUp * 0.5f + 0.5f * x) * outGain, 1.0e-4f);
    EXPECT_NEAR (out[5000], 0.5f * x * outGain, 1.0e-4f);
}

//==============================================================================
TEST (ProcessBlockEcho, PingPongImpulseAlternatesSidesAndInverts)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParam (pMix, 0.0f);
    rig.setParam (pEchoActive, 1.0f);
    rig.setParam (pEchoLevel, 1.0f);
    rig.setParam (pEchoFeedback, 0.5f);   // 0.45
    rig.setParam (pEchoTypeNormal, 0.1f); // 1/16: d = 6000 samples at 120 BPM and 48 kHz
    rig.setParam (pEchoPingPong, 1.0f);

    const auto out = rig.run (30000, impulseLeft);
    const auto& l = out[0];
    const auto& r = out[1];

    EXPECT_NEAR (l[0], 1.0f, noiseTolerance);
    EXPECT_NEAR (r[6000], 1.0f, noiseTolerance);           // first echo: right, after d
    EXPECT_NEAR (l[18000], -0.45f, noiseTolerance);        // next: left, 2d later, inverted
    EXPECT_NEAR (r[24000], 0.45f * 0.45f, noiseTolerance); // then right again

    for (size_t i = 1; i < 24000; ++i)
    {
        if (i != 18000)
        {
            ASSERT_NEAR (l[i], 0.0f, noiseTolerance) << "left " << i;
        }
        if (i != 6000)
        {
            ASSERT_NEAR (r[i], 0.0f, noiseTolerance) << "right " << i;
        }
    }
}

TEST (ProcessBlockEcho, NormalAndMonoEchoRepeatOnTheirOwnSide)
{
    for (int channels : {2, 1})
    {
        ProcessorRig rig (48000.0, channels);
        rig.setNeutralGate();
        rig.setParam (pMix, 0.0f);
        rig.setParam (pEchoActive, 1.0f);
        rig.setParam (pEchoLevel, 1.0f);
        rig.setParam (pEchoFeedback, 0.5f);
        rig.setParam (pEchoTypeNormal, 0.1f);
        rig.setParam (pEchoPingPong, channels == 2 ? 0.0f : 1.0f); // ping-pong is off in mono anyway

        const auto out = rig.run (20000, impulseLeft);
        EXPECT_NEAR (out[0][6000], 1.0f, noiseTolerance) << channels;
        EXPECT_NEAR (out[0][12000], -0.45f, noiseTolerance) << channels;
        EXPECT_NEAR (out[0][18000], 0.45f * 0.45f, noiseTolerance) << channels;

        if (channels == 2)
        {
            for (float x : out[1])
                ASSERT_NEAR (x, 0.0f, noiseTolerance);
        }
    }
}

TEST (ProcessBlockEcho, GlobalFxOffSilencesTheEchoButKeepsFeedingIt)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParam (pMix, 0.0f);
    rig.setParam (pEchoActive, 1.0f);
    rig.setParam (pEchoLevel, 1.0f);
    rig.setParam (pEchoFeedback, 0.5f);
    rig.setParam (pEchoTypeNormal, 0.1f);
    rig.setParam (pEchoPingPong, 0.0f);

    rig.processor.setVarItemValue ("viGlobalFxOffIsActive", 1.0);
    const auto first = rig.run (9000, impulseLeft)[0];
    EXPECT_NEAR (first[6000], 0.0f, noiseTolerance);

    rig.processor.setVarItemValue ("viGlobalFxOffIsActive", 0.0);
    const auto second = rig.run (9000, impulseLeft)[0]; // sample indexes 9000..17999
    EXPECT_NEAR (second[12000 - 9000], -0.45f, noiseTolerance);
}

TEST (ProcessBlockEcho, DelaysLongerThanTheLinesAreLimited)
{
    struct Case
    {
        double bpm;
        float pingPong;
        int channel;
        int expectedAt;
    };

    // One beat at 192 kHz: 10 BPM gives 1,152,000 samples (ping-pong limit 576,000);
    // 5 BPM gives 2,304,000 (normal limit 1,152,000).
    for (auto c : {Case{10.0, 1.0f, 1, 576000}, Case{5.0, 0.0f, 0, 1152000}})
    {
        ProcessorRig rig (192000.0, 2, 4096);
        rig.setHost (c.bpm, 0.0, true);
        rig.setNeutralGate();
        rig.setParam (pMix, 0.0f);
        rig.setParam (pEchoActive, 1.0f);
        rig.setParam (pEchoLevel, 1.0f);
        rig.setParam (pEchoTypeNormal, 0.6f); // 1/4: one beat
        rig.setParam (pEchoPingPong, c.pingPong);

        const auto out = rig.run (c.expectedAt + 10, impulseLeft);
        const auto& echoed = out[(size_t)c.channel];
        EXPECT_NEAR (echoed[(size_t)c.expectedAt], 1.0f, noiseTolerance) << c.bpm << " BPM";
        EXPECT_NEAR (echoed[(size_t)c.expectedAt - 1], 0.0f, noiseTolerance) << c.bpm << " BPM";
    }
}

//==============================================================================
TEST (ProcessBlockRobustness, NonFiniteInputSamplesDoNotLatchFiltersOrEcho)
{
    ProcessorRig rig;
    setEverythingActive (rig);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const auto noise = noiseInput (11);

    const auto out = rig.run (48000,
                              [&] (int ch, int64_t i)
                              {
                                  if (i == 100 || i == 101)
                                      return ch == 0 ? nan : inf;
                                  if (i == 3000)
                                      return -inf;
                                  return noise (ch, i);
                              });

    for (const auto& channel : out)
        for (size_t i = 0; i < channel.size(); ++i)
            ASSERT_TRUE (std::isfinite (channel[i])) << "sample " << i;
}

TEST (ProcessBlockRobustness, LongEchoTailStaysFiniteAndFreeOfSubnormals)
{
    ProcessorRig rig;
    setEverythingActive (rig);
    rig.setParam (pEchoFeedback, 1.0f); // 0.9
    rig.setParam (pEchoLevel, 1.0f);
    const auto noise = noiseInput (12, 1.0f);

    const int seconds = 60;
    const auto out =
        rig.run (seconds * 48000, [&] (int ch, int64_t i) { return i < 96000 ? noise (ch, i) : 0.0f; });

    for (const auto& channel : out)
    {
        for (size_t i = 0; i < channel.size(); ++i)
        {
            const float x = channel[i];
            ASSERT_TRUE (std::isfinite (x)) << "sample " << i;
            ASSERT_NE (std::fpclassify (x), FP_SUBNORMAL) << "sample " << i;
        }

        float lastSecondPeak = 0.0f;
        for (size_t i = channel.size() - 48000; i < channel.size(); ++i)
            lastSecondPeak = std::max (lastSecondPeak, std::abs (channel[i]));
        EXPECT_LT (lastSecondPeak, 1.0e-4f);
    }
}

TEST (ProcessBlockRobustness, BlockSizesDoNotChangeTheOutput)
{
    ProcessorRig whole (48000.0, 2, 1024), split (48000.0, 2, 1024);
    setEverythingActive (whole);
    setEverythingActive (split);

    std::mt19937 rng (99);
    std::uniform_int_distribution<int> sizes (1, 1024);
    const auto input = noiseInput (13);
    const int total = 5 * 48000;

    const auto a = whole.run (total, input, [] { return 512; });
    const auto b = split.run (total, input, [&] { return sizes (rng); });

    // Only the output noise of the two instances differs.
    for (int ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < (size_t)total; ++i)
            ASSERT_NEAR (a[(size_t)ch][i], b[(size_t)ch][i], 2.0f * noiseTolerance) << "sample " << i;
}
