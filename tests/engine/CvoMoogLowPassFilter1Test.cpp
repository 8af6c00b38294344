#include <gtest/gtest.h>

#include "engine/dsp/CvoMoogLowPassFilter1.h"
#include "engine/dsp/CvoMoogLowPassFilterPair.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace
{
// Steady-state response of the ladder to a constant input x: each stage settles at
// y = 2p / (1 + k) times its input, the feedback sees 0.5 * (y4 + y3) * r.
double analyticDcOutput (const CvoMoogLowPassFilter1& filter, double x)
{
    const double stage = 2.0 * (double)filter.getP() / (1.0 + (double)filter.getK());
    const double feedback = 0.5 * (double)filter.getR() * (std::pow (stage, 4.0) + std::pow (stage, 3.0));
    const double ladderInput = x / (1.0 + feedback);
    return (double)filter.getOutputGainCompensation() * (0.8 + 0.19999999 * (double)filter.getCutoff()) *
           std::pow (stage, 3.0) * ladderInput;
}

float runConstant (CvoMoogLowPassFilter1& filter, float x, int samples)
{
    float y = 0.0f;
    for (int i = 0; i < samples; ++i)
        y = filter.processSingleSample (x);
    return y;
}
} // namespace

TEST (CvoMoogLowPassFilter1, CoefficientsAtFullCutoffWithoutResonance)
{
    CvoMoogLowPassFilter1 filter; // constructor: cutoff 1, resonance 0, rate unknown (as 44.1 kHz)
    filter.setSampleRate (44100.0);

    // f = 0.5
    EXPECT_FLOAT_EQ (filter.getP(), 0.7f);
    EXPECT_FLOAT_EQ (filter.getK(), (float)(2.0 * std::sin (3.1415927 * 0.25) - 1.0));
    EXPECT_EQ (filter.getR(), 0.0f);
    EXPECT_EQ (filter.getOutputGainCompensation(), 1.0f);

    // First sample of an impulse: y3 = p^3, output (0.8 + 0.19999999) * y3.
    const float p = filter.getP();
    EXPECT_EQ (filter.processSingleSample (1.0f), (0.8f + 0.19999999f) * (p * p * p));
}

TEST (CvoMoogLowPassFilter1, UnknownOrLowSampleRatesCountAs44100AndHigherRatesScaleTheCutoff)
{
    CvoMoogLowPassFilter1 at44100, unknown, low, at96000;
    at44100.setSampleRate (44100.0);
    low.setSampleRate (22050.0);
    at96000.setSampleRate (96000.0);

    EXPECT_EQ (unknown.getP(), at44100.getP());
    EXPECT_EQ (low.getP(), at44100.getP());
    EXPECT_EQ (low.getK(), at44100.getK());

    const float f = 1.0f * 44100.0f / 96000.0f * 0.5f;
    EXPECT_EQ (at96000.getP(), (-0.8f * f + 1.8f) * f);
}

TEST (CvoMoogLowPassFilter1, ResonanceCoefficientsAndGainCompensation)
{
    CvoMoogLowPassFilter1 filter;
    filter.setSampleRate (48000.0);
    filter.calculateCoefficients (1.0f, 1.0f);

    // r0 = 0.81 at full resonance; t from p.
    const float t = (1.0f - filter.getP()) * 1.386249f;
    const float t2 = t * t + 12.0f;
    EXPECT_FLOAT_EQ (filter.getR(), 0.81f * (t2 + 6.0f * t) / (t2 - 6.0f * t));
    EXPECT_FLOAT_EQ (filter.getOutputGainCompensation(), 1.0f + 1.0f * (1.0f + 1.8f * 0.001f));

    // At cutoff^0.25 = 0.5 the compensation is largest.
    filter.calculateCoefficients (0.0625f, 0.5f);
    EXPECT_FLOAT_EQ (filter.getOutputGainCompensation(), 1.0f + 0.5f * (1.0f + 1.8f * 0.501f));
}

struct DcCase
{
    double sampleRate;
    float cutoff, resonance;
};

class CvoMoogLowPassFilter1Dc : public ::testing::TestWithParam<DcCase>
{
};

TEST_P (CvoMoogLowPassFilter1Dc, SettlesAtTheLadderDcGain)
{
    const auto c = GetParam();
    CvoMoogLowPassFilter1 filter;
    filter.setSampleRate (c.sampleRate);
    filter.calculateCoefficients (c.cutoff, c.resonance);

    // Small input keeps the feedback inside its +-0.81 limit.
    const float x = 0.1f;
    const float y = runConstant (filter, x, 200000);
    EXPECT_NEAR (y, analyticDcOutput (filter, x), 1.0e-5) << "cutoff " << c.cutoff << " reso " << c.resonance;
    EXPECT_GT (y, 0.0f);
}

INSTANTIATE_TEST_SUITE_P (Settings, CvoMoogLowPassFilter1Dc,
                          ::testing::Values (DcCase{44100.0, 1.0f, 0.0f}, DcCase{48000.0, 1.0f, 0.0f},
                                             DcCase{48000.0, 0.0625f, 0.0f}, DcCase{48000.0, 0.3f, 0.5f},
                                             DcCase{96000.0, 0.01f, 0.9f}, DcCase{44100.0, 1.0f, 1.0f}));

TEST (CvoMoogLowPassFilter1, InactivePassesSamplesAndKeepsItsState)
{
    CvoMoogLowPassFilter1 reference, switched;
    reference.setSampleRate (48000.0);
    switched.setSampleRate (48000.0);
    reference.calculateCoefficients (0.2f, 0.7f);
    switched.calculateCoefficients (0.2f, 0.7f);

    for (int i = 0; i < 100; ++i)
    {
        const float x = (i % 7) * 0.1f - 0.3f;
        ASSERT_EQ (reference.processSingleSample (x), switched.processSingleSample (x));
    }

    switched.setActive (false);
    EXPECT_EQ (switched.processSingleSample (0.123f), 0.123f);
    EXPECT_EQ (switched.processSingleSample (-7.0f), -7.0f);
    switched.setActive (true);

    for (int i = 0; i < 100; ++i)
        ASSERT_EQ (reference.processSingleSample (0.25f), switched.processSingleSample (0.25f));
}

TEST (CvoMoogLowPassFilterPair, StepsBothFiltersBitForBitAsSingleSamples)
{
    struct Case
    {
        float cutoff, resonance;
        bool rightActive;
    };

    for (const auto c : {Case{0.3f, 0.0f, true}, Case{0.05f, 1.0f, true}, Case{0.7f, 0.4f, false}})
    {
        CvoMoogLowPassFilter1 left, right, referenceLeft, referenceRight;
        for (auto* f : {&left, &right, &referenceLeft, &referenceRight})
        {
            f->setSampleRate (48000.0);
            f->calculateCoefficients (c.cutoff, c.resonance);
        }
        right.setActive (c.rightActive);
        referenceRight.setActive (c.rightActive);

        // Runs of different lengths, the state carried over by finish(); loud input so
        // that the feedback limit is reached too.
        int sample = 0;
        for (int run : {1, 7, 64, 300, 2000})
        {
            CvoMoogLowPassFilterPair pair (left, right);
            for (int i = 0; i < run; ++i, ++sample)
            {
                float l = std::sin (0.01f * (float)sample) * 3.0f,
                      r = (float)((sample * 37) % 101) * 0.02f - 1.0f;
                const float expectedLeft = referenceLeft.processSingleSample (l);
                const float expectedRight = referenceRight.processSingleSample (r);
                pair.process (l, r);
                ASSERT_EQ (std::memcmp (&l, &expectedLeft, sizeof (float)), 0) << "sample " << sample;
                ASSERT_EQ (std::memcmp (&r, &expectedRight, sizeof (float)), 0) << "sample " << sample;
            }
            pair.finish();
        }

        EXPECT_EQ (left.processSingleSample (0.5f), referenceLeft.processSingleSample (0.5f));
        EXPECT_EQ (right.processSingleSample (0.5f), referenceRight.processSingleSample (0.5f));
    }
}

TEST (CvoMoogLowPassFilter1, ValuesWhoseCoefficientsWouldNotBeFiniteKeepThePreviousSet)
{
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    CvoMoogLowPassFilter1 filter, reference;
    for (auto* f : {&filter, &reference})
    {
        f->setSampleRate (48000.0);
        f->calculateCoefficients (0.3f, 0.5f);
    }

    // Cutoffs past the float range after the scaling, not finite, or negative (the
    // gain compensation's fourth root); resonances whose square overflows.
    const std::pair<float, float> bad[] = {{1.0e30f, 0.5f}, {inf, 0.5f},    {nan, 0.5f}, {-0.5f, 0.5f},
                                           {0.3f, 1.0e30f}, {0.3f, -inf},   {0.3f, nan}, {-inf, -inf},
                                           {3.0e38f, 0.0f}, {0.3f, 3.0e38f}};
    for (const auto& [cutoff, resonance] : bad)
    {
        filter.calculateCoefficients (cutoff, resonance);
        EXPECT_EQ (filter.getCutoff(), 0.3f) << cutoff << " " << resonance;
        EXPECT_EQ (filter.getResonance(), 0.5f);
        EXPECT_EQ (filter.getP(), reference.getP());
        EXPECT_EQ (filter.getK(), reference.getK());
        EXPECT_EQ (filter.getR(), reference.getR());
        EXPECT_EQ (filter.getOutputGainCompensation(), reference.getOutputGainCompensation());
    }

    for (int i = 0; i < 200; ++i)
        ASSERT_EQ (filter.processSingleSample (0.25f), reference.processSingleSample (0.25f));

    // A finite value outside 0..1 is still taken, by the same formulas.
    filter.calculateCoefficients (2.0f, 1.5f);
    EXPECT_EQ (filter.getCutoff(), 2.0f);
    EXPECT_EQ (filter.getResonance(), 1.5f);
}

TEST (CvoMoogLowPassFilter1, AnOverflowedStateIsClearedAndAFiniteOneKept)
{
    CvoMoogLowPassFilter1 filter, reference;
    for (auto* f : {&filter, &reference})
    {
        f->setSampleRate (48000.0);
        f->calculateCoefficients (0.2f, 0.6f);
        runConstant (*f, 0.7f, 50);
    }

    filter.clearStateIfNotFinite(); // finite: kept
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ (filter.processSingleSample (0.1f), reference.processSingleSample (0.1f));

    // A cutoff of 16 (a parameter value of 2) is taken but unstable: the state overflows.
    filter.calculateCoefficients (16.0f, 0.6f);
    runConstant (filter, 0.5f, 1000);
    EXPECT_FALSE (std::isfinite (filter.processSingleSample (0.5f)));

    filter.clearStateIfNotFinite();
    filter.calculateCoefficients (0.2f, 0.6f);
    CvoMoogLowPassFilter1 fresh;
    fresh.setSampleRate (48000.0);
    fresh.calculateCoefficients (0.2f, 0.6f);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ (filter.processSingleSample (0.1f), fresh.processSingleSample (0.1f));
}
