// Step onsets and gate lengths to the sample. With a constant input of 1.0, a
// plain gate (attack 2 ms, no hold, sustain 1, release 4 ms) makes the output the
// envelope itself: an onset is the first sample of an attack, a gate ends in the
// sample where the held level starts to fall.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"

using namespace zktest;

namespace
{
struct TimingCase
{
    double sampleRate;
    double bpm;
    int samplesPerStep;        // 4 steps per beat, exact at these tempos
    int shortGate;             // ShortStep at 0.9: samplesPerStep * 0.9f * 0.5 truncated
    int longGate;              // LongStep at 0.8: samplesPerStep * 0.8f truncated
    int tripletSamplesPerStep; // 3 steps per beat
    int tripletShortGate;
};

void PrintTo (const TimingCase& c, std::ostream* os)
{
    *os << c.bpm << " BPM at " << c.sampleRate << " Hz";
}

class GateTiming : public ::testing::TestWithParam<TimingCase>
{
protected:
    void SetUp() override
    {
        const auto c = GetParam();
        rig = std::make_unique<ProcessorRig> (c.sampleRate);
        rig->setHost (c.bpm, 0.0, true);
        rig->setNeutralGate();
    }

    std::vector<float> runBeats (int beats)
    {
        const auto c = GetParam();
        return rig->run (beats * 4 * c.samplesPerStep + 100, dc)[0];
    }

    std::unique_ptr<ProcessorRig> rig;
};

// The gate length of every onset (release start minus onset).
std::vector<int> gateLengths (const std::vector<float>& out, const std::vector<int>& onsets)
{
    std::vector<int> lengths;
    for (int onset : onsets)
        lengths.push_back (releaseStart (out, onset) - onset);
    return lengths;
}
} // namespace

TEST_P (GateTiming, PlainPatternStartsEveryStepOnItsSampleWithTheShortGate)
{
    const auto c = GetParam();
    const auto out = runBeats (8); // two rounds of the 4-beat pattern

    std::vector<int> expected;
    for (int k = 0; k < 32; ++k)
        expected.push_back (k * c.samplesPerStep);

    const auto onsets = gateOnsets (out);
    EXPECT_EQ (onsets, expected);
    EXPECT_EQ (gateLengths (out, onsets), std::vector<int> (onsets.size(), c.shortGate));
}

TEST_P (GateTiming, LongStepsKeepTheGateOpenForTheirShareOfAStep)
{
    const auto c = GetParam();
    rig->setParam (pLongStepLength, 0.6f); // 0.8 of a step
    rig->setSteps ([] (int) { return longStepValue; });
    const auto out = runBeats (1);

    const auto onsets = gateOnsets (out);
    ASSERT_EQ (onsets.size(), 4u);
    EXPECT_EQ (gateLengths (out, onsets), std::vector<int> (4, c.longGate));
}

TEST_P (GateTiming, SwingDelaysOddStepsOnly)
{
    const auto c = GetParam();

    for (float swingParam : {1.0f, 0.70710677f}) // swing 1.0 and (in single precision) 0.5
    {
        SetUp();
        rig->setParam (pSwing, swingParam);
        const auto out = runBeats (4);
        const double swing = (double)(swingParam * swingParam);
        const int delay = juce::roundToInt (swing * 0.5 * c.samplesPerStep);

        std::vector<int> expected;
        for (int k = 0; k < 16; ++k)
            expected.push_back (k * c.samplesPerStep + (k % 2 == 1 ? delay : 0));

        const auto onsets = gateOnsets (out);
        EXPECT_EQ (onsets, expected) << "swing parameter " << swingParam;
        EXPECT_EQ (gateLengths (out, onsets), std::vector<int> (onsets.size(), c.shortGate));
    }
}

TEST_P (GateTiming, TimeOffsetMovesEveryStepByUpToHalfAStep)
{
    const auto c = GetParam();
    const double s = c.samplesPerStep;

    // +1: half a step later. Step k > 0 starts on the first sample at or after (k + 0.5) S.
    // Step 0 starts before the shifted position is 0 already where its truncated position
    // in the step reaches 0, that is on the first sample after 0.5 S - 1.
    rig->setParam (pTimeOffset, 1.0f);
    auto onsets = gateOnsets (runBeats (2));
    ASSERT_EQ (onsets.size(), 8u);
    EXPECT_EQ (onsets[0], (int)std::floor (0.5 * s - 1.0) + 1);
    for (int k = 1; k < 8; ++k)
        EXPECT_EQ (onsets[(size_t)k], (int)std::ceil ((k + 0.5) * s)) << "step " << k;

    // -1: half a step earlier; step 0 is already half over at the anchor and starts at once.
    SetUp();
    rig->setParam (pTimeOffset, 0.0f);
    onsets = gateOnsets (runBeats (2));
    ASSERT_EQ (onsets.size(), 9u);
    EXPECT_EQ (onsets[0], 0);
    for (int k = 1; k < 9; ++k)
        EXPECT_EQ (onsets[(size_t)k], (int)std::ceil ((k - 0.5) * s)) << "step " << k;
}

TEST_P (GateTiming, TripletModePlaysThreeStepsPerBeatAndSwingsOnlyTheMiddleOne)
{
    const auto c = GetParam();
    const int beat = 4 * c.samplesPerStep;
    rig->setParam (pTripletModeA, 0.5f); // on at the centre
    rig->setParam (pSwing, 1.0f);

    const auto out = runBeats (4);
    const int swingDelay = c.tripletSamplesPerStep / 2;

    std::vector<int> expected;
    for (int b = 0; b < 4; ++b)
    {
        expected.push_back (b * beat);
        expected.push_back (b * beat + c.tripletSamplesPerStep + swingDelay);
        expected.push_back (b * beat + 2 * c.tripletSamplesPerStep);
    }

    const auto onsets = gateOnsets (out);
    EXPECT_EQ (onsets, expected);
    EXPECT_EQ (gateLengths (out, onsets), std::vector<int> (onsets.size(), c.tripletShortGate));
}

TEST_P (GateTiming, OneBeatPatternRepeatsItsFourStepsEveryBeat)
{
    const auto c = GetParam();
    rig->setParam (pPatternLengthA, 0.0f);
    // Steps beyond the first beat are quieter: they must never sound.
    for (int s = 4; s < 16; ++s)
        rig->setParam (stepVolumeParam (s), 0.3f);

    const auto out = runBeats (3);
    const auto onsets = gateOnsets (out);
    ASSERT_EQ (onsets.size(), 12u);

    for (int k = 0; k < 12; ++k)
    {
        EXPECT_EQ (onsets[(size_t)k], k * c.samplesPerStep);
        EXPECT_NEAR (out[(size_t)(onsets[(size_t)k] + 500)], 1.0f, 0.001f) << "step " << k;
    }
}

TEST_P (GateTiming, StepLinkHoldsTheGateAndTheNextStepContinues)
{
    const auto c = GetParam();
    const int s = c.samplesPerStep;

    // Link then ShortStep at half volume: no retrigger, the level moves to 0.5 over the
    // 4 ms decay, the short gate counts from the short step's start.
    rig->setSteps ([] (int step)
                   { return step == 0   ? stepLinkValue
                            : step == 1 ? shortStepValue
                                        : noStepValue; });
    rig->setParam (stepVolumeParam (1), 0.5f);
    auto out = runBeats (1);

    EXPECT_EQ (gateOnsets (out), std::vector<int>{0});
    EXPECT_NEAR (out[(size_t)s - 1], 1.0f, 0.001f);
    const int decaySamples = juce::roundToInt (c.sampleRate / 1000.0 * 2.0) * 2;
    EXPECT_NEAR (out[(size_t)(s + decaySamples + 10)], 0.5f, 0.001f);

    int release = -1;
    for (int i = s + decaySamples + 10; i < (int)out.size(); ++i)
        if (out[(size_t)i] < 0.499f)
        {
            release = i;
            break;
        }
    EXPECT_EQ (release, s + c.shortGate);

    // Link then NoStep: the release starts when the link's step is over.
    SetUp();
    rig->setSteps ([] (int step) { return step == 0 ? stepLinkValue : noStepValue; });
    out = runBeats (1);
    EXPECT_EQ (gateOnsets (out), std::vector<int>{0});
    EXPECT_EQ (releaseStart (out, 0), s);

    // A chain of links is one gate.
    SetUp();
    rig->setSteps ([] (int step) { return step < 3 ? stepLinkValue : noStepValue; });
    out = runBeats (1);
    EXPECT_EQ (gateOnsets (out), std::vector<int>{0});
    EXPECT_EQ (releaseStart (out, 0), 3 * s);

    // A link holds through the swing delay of the step after it.
    SetUp();
    rig->setParam (pSwing, 1.0f);
    rig->setSteps ([] (int step)
                   { return step == 0   ? stepLinkValue
                            : step == 1 ? shortStepValue
                                        : noStepValue; });
    out = runBeats (1);
    EXPECT_EQ (gateOnsets (out), std::vector<int>{0});
    EXPECT_EQ (releaseStart (out, 0), s + s / 2 + c.shortGate);
}

TEST_P (GateTiming, DawTimingOffsetMovesEveryStepLater)
{
    const auto c = GetParam();
    rig->processor.setVarItemValue ("viDawTimingOffsetState", 1.0);
    rig->processor.setVarItemValue ("viDawTimingOffsetInSamples", 100);

    const auto onsets = gateOnsets (runBeats (1));
    std::vector<int> expected;
    for (int k = 0; k < 4; ++k)
        expected.push_back (k * c.samplesPerStep + 100);
    EXPECT_EQ (onsets, expected);
}

TEST_P (GateTiming, APreRollBeforeBeatZeroWaitsForStepZero)
{
    const auto c = GetParam();
    rig->setHost (c.bpm, -1.0, true); // one beat before the start

    const auto onsets = gateOnsets (runBeats (2));
    ASSERT_GE (onsets.size(), 2u);
    EXPECT_EQ (onsets[0], 4 * c.samplesPerStep);
    EXPECT_EQ (onsets[1], 5 * c.samplesPerStep);
}

INSTANTIATE_TEST_SUITE_P (TempoAndRate, GateTiming,
                          ::testing::Values (TimingCase{48000.0, 120.0, 6000, 2699, 4800, 8000, 3599},
                                             TimingCase{44100.0, 100.0, 6615, 2976, 5292, 8820, 3968}));

TEST (GateTiming, ANonIntegerStepLengthStartsStepsOnTheFirstSampleInside)
{
    ProcessorRig rig (48000.0);
    rig.setHost (137.0, 0.0, true);
    rig.setNeutralGate();

    const double samplesPerStep = 48000.0 * 60.0 / 137.0 / 4.0; // 5255.47...
    const auto out = rig.run (17 * 5256, dc)[0];
    const auto onsets = gateOnsets (out);
    ASSERT_EQ (onsets.size(), 17u);

    for (int k = 0; k < 17; ++k)
        EXPECT_EQ (onsets[(size_t)k], (int)std::ceil (k * samplesPerStep)) << "step " << k;

    // S = 5255 (rounded): 5255 * 0.9f * 0.5 = 2364.7...
    EXPECT_EQ (releaseStart (out, onsets[3]) - onsets[3], 2364);
}
