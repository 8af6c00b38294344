// Step onsets and gate lengths to the sample. With a constant input of 1.0, a
// plain gate (attack 2 ms, no hold, sustain 1, release 4 ms) makes the output the
// envelope itself: an onset is the first sample of an attack, a gate ends in the
// sample where the held level starts to fall.
//
// Expected onsets come from a plain model of the step clock (beat position,
// truncations and swing delay in double precision, sample by sample), checked
// against the fixed numbers where the steps fall on whole samples. Where a step
// boundary is not exact in binary (2 + 2/3 beats, a swing of half a sample, a
// negative position exactly one sample before a step), the step starts one sample
// later or earlier, and the model shows where.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"

using namespace zktest;

namespace
{
struct ClockModel
{
    double samplesPerBeat;
    double stepsPerBeat = 4.0;
    double timeOffset = 0.0; // -1..1
    double swing = 0.0;      // 0..1
    int lengthInBeats = 4;
    double anchorPpq = 0.0;

    // Samples at which a step starts (every index counts, as all steps are ShortSteps).
    std::vector<int> stepStarts (int numSamples) const
    {
        const double samplesPerStep = samplesPerBeat / stepsPerBeat;
        const double swingDelay = juce::roundToInt (swing * 0.5 * samplesPerStep);
        std::vector<int> starts;
        int last = -1;

        for (int s = 0; s < numSamples; ++s)
        {
            const double shifted = s / samplesPerBeat + anchorPpq + (-0.5 * timeOffset) / stepsPerBeat;
            const int b = (int)shifted;
            const double f = (shifted - b) * stepsPerBeat;
            const int k = (int)f;
            const int index = k + (b % lengthInBeats) * 4;
            const int positionInStep = (int)((f - k) * samplesPerStep);

            if ((index > last || (index == 0 && last > 1)) &&
                positionInStep >= (index % 2 != 0 ? swingDelay : 0.0))
            {
                starts.push_back (s);
                last = index;
            }
        }

        return starts;
    }
};

struct TimingCase
{
    double sampleRate;
    double bpm;
    int samplesPerStep; // S: 4 steps per beat, a whole number of samples at these tempos
    int shortGate;      // ShortStep at 0.9: S * 0.9f * 0.5 truncated
    int longGate;       // LongStep at 0.8: S * 0.8f truncated
    int tripletShortGate;
};

void PrintTo (const TimingCase& c, std::ostream* os)
{
    *os << c.bpm << " BPM at " << c.sampleRate << " Hz";
}

// The gate length of every onset (release start minus onset).
std::vector<int> gateLengths (const std::vector<float>& out, const std::vector<int>& onsets)
{
    std::vector<int> lengths;
    for (int onset : onsets)
        lengths.push_back (releaseStart (out, onset) - onset);
    return lengths;
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
        model = ClockModel{c.sampleRate * 60.0 / c.bpm};
    }

    // Output of the given number of beats and one more step, so that the last gate of
    // those beats closes inside. onsetsInRun gives the onsets of those beats only.
    std::vector<float> runBeats (int beats)
    {
        const auto c = GetParam();
        runLength = beats * 4 * c.samplesPerStep;
        return rig->run (runLength + c.samplesPerStep, dc)[0];
    }

    std::vector<int> onsetsInRun (const std::vector<float>& out) const
    {
        auto all = gateOnsets (out);
        all.erase (std::remove_if (all.begin(), all.end(), [this] (int i) { return i >= runLength; }),
                   all.end());
        return all;
    }

    std::vector<int> modelStarts() const { return model.stepStarts (runLength); }

    std::unique_ptr<ProcessorRig> rig;
    ClockModel model{1.0};
    int runLength = 0;
};
} // namespace

TEST_P (GateTiming, PlainPatternStartsEveryStepOnItsSampleWithTheShortGate)
{
    const auto c = GetParam();
    const auto out = runBeats (8); // two rounds of the 4-beat pattern

    std::vector<int> expected;
    for (int k = 0; k < 32; ++k)
        expected.push_back (k * c.samplesPerStep);

    const auto onsets = onsetsInRun (out);
    EXPECT_EQ (onsets, expected);
    EXPECT_EQ (modelStarts(), expected);
    EXPECT_EQ (gateLengths (out, onsets), std::vector<int> (onsets.size(), c.shortGate));
}

TEST_P (GateTiming, LongStepsKeepTheGateOpenForTheirShareOfAStep)
{
    const auto c = GetParam();
    rig->setParam (pLongStepLength, 0.6f); // 0.8 of a step
    rig->setSteps ([] (int) { return longStepValue; });
    const auto out = runBeats (1);

    const auto onsets = onsetsInRun (out);
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
        model.swing = (double)(swingParam * swingParam);
        const auto out = runBeats (4);
        const auto onsets = onsetsInRun (out);

        EXPECT_EQ (onsets, modelStarts()) << "swing parameter " << swingParam;
        ASSERT_EQ (onsets.size(), 16u);
        for (int k = 0; k < 16; k += 2)
            EXPECT_EQ (onsets[(size_t)k], k * c.samplesPerStep); // even steps stay
        EXPECT_EQ (gateLengths (out, onsets), std::vector<int> (onsets.size(), c.shortGate));

        // The fixed point: at 120 BPM and 48 kHz, swing 0.5 starts step 5 at sample 31500.
        if (c.samplesPerStep == 6000 && swingParam < 1.0f)
        {
            EXPECT_EQ (onsets[5], 31500);
        }
    }
}

TEST_P (GateTiming, TimeOffsetMovesEveryStepByUpToHalfAStep)
{
    const auto c = GetParam();
    const int half = c.samplesPerStep / 2;

    // +1: half a step later. Step 0 starts while the shifted position is still below 0,
    // as soon as its position in the step truncates to 0 (less than a sample early).
    rig->setParam (pTimeOffset, 1.0f);
    model.timeOffset = 1.0;
    auto onsets = onsetsInRun (runBeats (2));
    EXPECT_EQ (onsets, modelStarts());
    ASSERT_EQ (onsets.size(), 8u);
    EXPECT_NEAR (onsets[0], half, 1);
    for (int k = 1; k < 8; ++k)
        EXPECT_NEAR (onsets[(size_t)k], k * c.samplesPerStep + half, 1) << "step " << k;

    // -1: half a step earlier; step 0 is already half over at the anchor and starts at once.
    SetUp();
    rig->setParam (pTimeOffset, 0.0f);
    model.timeOffset = -1.0;
    onsets = onsetsInRun (runBeats (2));
    EXPECT_EQ (onsets, modelStarts());
    ASSERT_EQ (onsets.size(), 9u);
    EXPECT_EQ (onsets[0], 0);
    for (int k = 1; k < 9; ++k)
        EXPECT_NEAR (onsets[(size_t)k], k * c.samplesPerStep - half, 1) << "step " << k;
}

TEST_P (GateTiming, TripletModePlaysThreeStepsPerBeatAndSwingsOnlyTheMiddleOne)
{
    const auto c = GetParam();
    const int beat = 4 * c.samplesPerStep;
    const int tripletStep = beat / 3;
    rig->setParam (pTripletModeA, 0.5f); // on at the centre
    rig->setParam (pSwing, 1.0f);
    model.stepsPerBeat = 3.0;
    model.swing = 1.0;

    const auto out = runBeats (4);
    const auto onsets = onsetsInRun (out);
    EXPECT_EQ (onsets, modelStarts());
    ASSERT_EQ (onsets.size(), 12u); // slot 3 of every beat never plays

    for (int b = 0; b < 4; ++b)
    {
        EXPECT_EQ (onsets[(size_t)(3 * b)], b * beat);
        EXPECT_EQ (onsets[(size_t)(3 * b + 1)], b * beat + tripletStep + tripletStep / 2); // swung
        EXPECT_NEAR (onsets[(size_t)(3 * b + 2)], b * beat + 2 * tripletStep, 1);          // not swung
    }

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
    const auto onsets = onsetsInRun (out);
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
    auto pattern = [] (std::vector<float> first)
    { return [first] (int step) { return step < (int)first.size() ? first[(size_t)step] : noStepValue; }; };

    // Link then ShortStep at half volume: no retrigger, the level moves to 0.5 over the
    // 4 ms decay, the short gate counts from the short step's start.
    rig->setSteps (pattern ({stepLinkValue, shortStepValue}));
    rig->setParam (stepVolumeParam (1), 0.5f);
    auto out = runBeats (1);

    EXPECT_EQ (onsetsInRun (out), std::vector<int>{0});
    EXPECT_NEAR (out[(size_t)s - 1], 1.0f, 0.001f);
    const int decaySamples = 2 * juce::roundToInt (c.sampleRate / 1000.0 * 2.0);
    EXPECT_NEAR (out[(size_t)(s + decaySamples + 10)], 0.5f, 0.001f);

    int release = -1;
    for (int i = s + decaySamples + 10; i < (int)out.size() && release < 0; ++i)
        if (out[(size_t)i] < 0.499f)
            release = i;
    EXPECT_EQ (release, s + c.shortGate);

    // Link then NoStep: the release starts when the link's step is over.
    SetUp();
    rig->setSteps (pattern ({stepLinkValue}));
    out = runBeats (1);
    EXPECT_EQ (onsetsInRun (out), std::vector<int>{0});
    EXPECT_EQ (releaseStart (out, 0), s);

    // A chain of links is one gate.
    SetUp();
    rig->setSteps (pattern ({stepLinkValue, stepLinkValue, stepLinkValue}));
    out = runBeats (1);
    EXPECT_EQ (onsetsInRun (out), std::vector<int>{0});
    EXPECT_EQ (releaseStart (out, 0), 3 * s);

    // A link holds through the swing delay of the step after it.
    SetUp();
    rig->setParam (pSwing, 1.0f);
    rig->setSteps (pattern ({stepLinkValue, shortStepValue}));
    out = runBeats (1);
    EXPECT_EQ (onsetsInRun (out), std::vector<int>{0});
    EXPECT_EQ (releaseStart (out, 0), s + juce::roundToInt (0.5 * s) + c.shortGate);
}

TEST_P (GateTiming, DawTimingOffsetMovesEveryStepLater)
{
    const auto c = GetParam();
    rig->processor.setVarItemValue ("viDawTimingOffsetState", 1.0);
    rig->processor.setVarItemValue ("viDawTimingOffsetInSamples", 100);

    const auto onsets = onsetsInRun (runBeats (1));
    std::vector<int> expected;
    for (int k = 0; k < 4; ++k)
        expected.push_back (k * c.samplesPerStep + 100);
    EXPECT_EQ (onsets, expected);
}

TEST_P (GateTiming, APreRollBeforeBeatZeroWaitsForStepZero)
{
    const auto c = GetParam();
    rig->setHost (c.bpm, -1.0, true); // one beat before the start
    model.anchorPpq = -1.0;

    const auto onsets = onsetsInRun (runBeats (2));
    EXPECT_EQ (onsets, modelStarts());
    ASSERT_EQ (onsets.size(), 4u);
    EXPECT_NEAR (onsets[0], 4 * c.samplesPerStep, 1);
    EXPECT_EQ (onsets[1], 5 * c.samplesPerStep);
}

INSTANTIATE_TEST_SUITE_P (TempoAndRate, GateTiming,
                          ::testing::Values (TimingCase{48000.0, 120.0, 6000, 2699, 4800, 3599},
                                             TimingCase{44100.0, 100.0, 6615, 2976, 5292, 3968}));

TEST (GateTiming, ANonIntegerStepLengthStartsStepsOnTheFirstSampleInside)
{
    ProcessorRig rig (48000.0);
    rig.setHost (137.0, 0.0, true);
    rig.setNeutralGate();

    const double samplesPerStep = 48000.0 * 60.0 / 137.0 / 4.0; // 5255.47...
    const auto out = rig.run (17 * 5256, dc)[0];
    const auto onsets = gateOnsets (out);
    ASSERT_GE (onsets.size(), 17u);

    for (int k = 0; k < 17; ++k)
        EXPECT_EQ (onsets[(size_t)k], (int)std::ceil (k * samplesPerStep)) << "step " << k;

    // S = 5255 (rounded): 5255 * 0.9f * 0.5 = 2364.7...
    EXPECT_EQ (releaseStart (out, onsets[3]) - onsets[3], 2364);
}
