// Step onsets and gate lengths to the sample. With a constant input of 1.0 the plain
// gate of ProcessorRig::setNeutralGate makes the output the envelope itself: an onset
// is the first sample of an attack, a gate ends in the sample where the held level
// starts to fall.
//
// Expected onsets are whole steps where the steps fall on whole samples, and else
// come from a plain model of the step clock (beat position, truncations and swing
// delay in double precision, sample by sample): where a boundary is not exact in
// binary (2 + 2/3 beats, a swing of half a sample, a negative position exactly one
// sample before a step), a step starts one sample off, and the model shows where.

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
    double anchorPpq = 0.0;

    // Samples at which a step of a 4-beat pattern starts.
    std::vector<int> stepStarts (int numSamples) const
    {
        const double samplesPerStep = samplesPerBeat / stepsPerBeat;
        const double swingDelay = juce::roundToInt (swing * 0.5 * samplesPerStep);
        std::vector<int> starts;

        for (int s = 0, last = -1; s < numSamples; ++s)
        {
            const double shifted = s / samplesPerBeat + anchorPpq + (-0.5 * timeOffset) / stepsPerBeat;
            const int b = (int)shifted;
            const double f = (shifted - b) * stepsPerBeat;
            const int k = (int)f;
            const int index = k + (b % 4) * 4;
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
    double sampleRate, bpm;
    int samplesPerStep;   // S: 4 steps per beat, a whole number of samples at these tempos
    int shortGate;        // ShortStep at 0.9: S * 0.9f * 0.5 truncated
    int longGate;         // LongStep at 0.8: S * 0.8f truncated
    int tripletShortGate; // the same for S / 3 * 4
};

void PrintTo (const TimingCase& c, std::ostream* os)
{
    *os << c.bpm << " BPM at " << c.sampleRate << " Hz";
}

std::vector<int> gateLengths (const std::vector<float>& out, const std::vector<int>& onsets)
{
    std::vector<int> lengths;
    for (int onset : onsets)
        lengths.push_back (releaseStart (out, onset) - onset);
    return lengths;
}

std::vector<int> everyStep (int count, int samplesPerStep, int from = 0)
{
    std::vector<int> steps;
    for (int k = 0; k < count; ++k)
        steps.push_back (from + k * samplesPerStep);
    return steps;
}

class GateTiming : public ::testing::TestWithParam<TimingCase>
{
protected:
    void SetUp() override
    {
        rig = std::make_unique<ProcessorRig> (GetParam().sampleRate);
        rig->setHost (GetParam().bpm, 0.0, true);
        rig->setNeutralGate();
        model = ClockModel{GetParam().sampleRate * 60.0 / GetParam().bpm};
    }

    // The output of the given number of beats and one step more, so that the last
    // gate closes inside; onsets are counted within the beats.
    std::vector<float> runBeats (int beats)
    {
        runLength = beats * 4 * GetParam().samplesPerStep;
        out = rig->run (runLength + GetParam().samplesPerStep, dc)[0];
        return out;
    }

    std::vector<int> onsets() const { return gateOnsets (out, runLength); }
    std::vector<int> modelStarts() const { return model.stepStarts (runLength); }

    std::unique_ptr<ProcessorRig> rig;
    ClockModel model{1.0};
    std::vector<float> out;
    int runLength = 0;
};
} // namespace

TEST_P (GateTiming, EveryStepStartsOnItsSampleWithItsGateLength)
{
    const auto c = GetParam();
    runBeats (8); // two rounds of the 4-beat pattern
    EXPECT_EQ (onsets(), everyStep (32, c.samplesPerStep));
    EXPECT_EQ (modelStarts(), onsets());
    EXPECT_EQ (gateLengths (out, onsets()), std::vector<int> (32, c.shortGate));

    SetUp();
    rig->setParam (pLongStepLength, 0.6f); // 0.8 of a step
    rig->setSteps ([] (int) { return longStepValue; });
    runBeats (1);
    EXPECT_EQ (gateLengths (out, onsets()), std::vector<int> (4, c.longGate));
}

TEST_P (GateTiming, SwingDelaysOddStepsOnly)
{
    const auto c = GetParam();

    for (float swingParam : {1.0f, 0.70710677f}) // swing 1.0 and (in single precision) 0.5
    {
        SetUp();
        rig->setParam (pSwing, swingParam);
        model.swing = (double)(swingParam * swingParam);
        runBeats (4);

        const auto starts = onsets();
        EXPECT_EQ (starts, modelStarts()) << swingParam;
        ASSERT_EQ (starts.size(), 16u);
        for (size_t k = 0; k < 16; k += 2)
            EXPECT_EQ (starts[k], (int)k * c.samplesPerStep); // even steps stay
        EXPECT_EQ (gateLengths (out, starts), std::vector<int> (16, c.shortGate));

        if (c.samplesPerStep == 6000 && swingParam < 1.0f)
        {
            EXPECT_EQ (starts[5], 31500); // 120 BPM, 48 kHz, swing 0.5
        }
    }
}

TEST_P (GateTiming, TimeOffsetMovesEveryStepByUpToHalfAStep)
{
    const int s = GetParam().samplesPerStep;

    // +1: half a step later. Step 0, while the shifted position is still below 0,
    // starts where its position in the step truncates to 0 (less than a sample early).
    rig->setParam (pTimeOffset, 1.0f);
    model.timeOffset = 1.0;
    runBeats (2);
    ASSERT_EQ (onsets(), modelStarts());
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR (onsets()[(size_t)k], k * s + s / 2, 1) << "step " << k;

    // -1: half a step earlier; step 0 is half over at the anchor and starts at once.
    SetUp();
    rig->setParam (pTimeOffset, 0.0f);
    model.timeOffset = -1.0;
    runBeats (2);
    ASSERT_EQ (onsets(), modelStarts());
    ASSERT_EQ (onsets().size(), 9u);
    EXPECT_EQ (onsets()[0], 0);
    for (int k = 1; k < 9; ++k)
        EXPECT_NEAR (onsets()[(size_t)k], k * s - s / 2, 1) << "step " << k;
}

TEST_P (GateTiming, TripletModePlaysThreeStepsPerBeatAndSwingsOnlyTheMiddleOne)
{
    const auto c = GetParam();
    const int beat = 4 * c.samplesPerStep, third = beat / 3;
    rig->setParams ({{pTripletModeA, 0.5f}, {pSwing, 1.0f}}); // triplet: on at the centre
    model.stepsPerBeat = 3.0;
    model.swing = 1.0;
    runBeats (4);

    const auto starts = onsets();
    EXPECT_EQ (starts, modelStarts());
    ASSERT_EQ (starts.size(), 12u); // slot 3 of every beat never plays
    for (size_t b = 0; b < 4; ++b)
    {
        EXPECT_EQ (starts[3 * b], (int)b * beat);
        EXPECT_EQ (starts[3 * b + 1], (int)b * beat + third + third / 2); // swung by half a step
        EXPECT_NEAR (starts[3 * b + 2], (int)b * beat + 2 * third, 1);    // not swung
    }
    EXPECT_EQ (gateLengths (out, starts), std::vector<int> (12, c.tripletShortGate));
}

TEST_P (GateTiming, OneBeatPatternRepeatsItsFourStepsEveryBeat)
{
    rig->setParam (pPatternLengthA, 0.0f);
    for (int s = 4; s < 16; ++s)
        rig->setParam (stepVolumeParam (s), 0.3f); // would show if steps beyond beat 1 played

    runBeats (3);
    EXPECT_EQ (onsets(), everyStep (12, GetParam().samplesPerStep));
    for (int onset : onsets())
        EXPECT_NEAR (out[(size_t)onset + 500], 1.0f, 0.001f);
}

TEST_P (GateTiming, StepLinksHoldTheGateAndTheNextStepContinues)
{
    const auto c = GetParam();
    const int s = c.samplesPerStep;
    auto firstSteps = [this] (std::vector<float> lengths)
    {
        rig->setSteps ([lengths] (int step)
                       { return step < (int)lengths.size() ? lengths[(size_t)step] : noStepValue; });
    };

    // Link then ShortStep at half volume: no retrigger, the level moves to 0.5 over the
    // 4 ms decay, the short gate counts from the short step's start.
    firstSteps ({stepLinkValue, shortStepValue});
    rig->setParam (stepVolumeParam (1), 0.5f);
    runBeats (1);
    EXPECT_EQ (onsets(), std::vector<int>{0});
    const int decay = 2 * juce::roundToInt (c.sampleRate / 500.0);
    EXPECT_NEAR (out[(size_t)s - 1], 1.0f, 0.001f);
    EXPECT_NEAR (out[(size_t)(s + decay + 10)], 0.5f, 0.001f);
    const auto release =
        std::find_if (out.begin() + s + decay + 10, out.end(), [] (float x) { return x < 0.499f; });
    EXPECT_EQ (release - out.begin(), s + c.shortGate);

    // Link then NoStep: the release starts when the link's step is over; a chain of
    // links is one gate; a link holds through the swing delay of the step after it.
    const std::vector<std::pair<std::vector<float>, int>> cases = {
        {{stepLinkValue}, s},
        {{stepLinkValue, stepLinkValue, stepLinkValue}, 3 * s},
        {{stepLinkValue, shortStepValue}, s + juce::roundToInt (0.5 * s) + c.shortGate} // with swing 1.0
    };
    for (const auto& [lengths, expectedRelease] : cases)
    {
        SetUp();
        rig->setParam (pSwing, 1.0f);
        firstSteps (lengths);
        runBeats (1);
        EXPECT_EQ (onsets(), std::vector<int>{0});
        EXPECT_EQ (releaseStart (out, 0), expectedRelease);
    }
}

TEST_P (GateTiming, DawTimingOffsetAndPreRollShiftTheClock)
{
    const int s = GetParam().samplesPerStep;
    rig->processor.setVarItemValue ("viDawTimingOffsetState", 1.0);
    rig->processor.setVarItemValue ("viDawTimingOffsetInSamples", 100);
    runBeats (1);
    EXPECT_EQ (onsets(), everyStep (4, s, 100));

    // Anchored one beat before beat 0: step 0 waits for beat 0.
    SetUp();
    rig->setHost (GetParam().bpm, -1.0, true);
    model.anchorPpq = -1.0;
    runBeats (2);
    EXPECT_EQ (onsets(), modelStarts());
    ASSERT_EQ (onsets().size(), 4u);
    EXPECT_NEAR (onsets()[0], 4 * s, 1);
    EXPECT_EQ (onsets()[1], 5 * s);
}

INSTANTIATE_TEST_SUITE_P (TempoAndRate, GateTiming,
                          ::testing::Values (TimingCase{48000.0, 120.0, 6000, 2699, 4800, 3599},
                                             TimingCase{44100.0, 100.0, 6615, 2976, 5292, 3968}));

TEST (GateTiming, ANonIntegerStepLengthStartsStepsOnTheFirstSampleInside)
{
    ProcessorRig rig (48000.0);
    rig.setHost (137.0, 0.0, true);
    rig.setNeutralGate();
    const auto out = rig.run (17 * 5256, dc)[0];
    const auto onsets = gateOnsets (out);
    ASSERT_GE (onsets.size(), 17u);

    const double samplesPerStep = 48000.0 * 60.0 / 137.0 / 4.0; // 5255.47...
    for (int k = 0; k < 17; ++k)
        EXPECT_EQ (onsets[(size_t)k], (int)std::ceil (k * samplesPerStep)) << "step " << k;
    EXPECT_EQ (releaseStart (out, onsets[3]) - onsets[3], 2364); // S rounded 5255: 5255 * 0.9f * 0.5
}
