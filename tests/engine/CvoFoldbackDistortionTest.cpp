#include <gtest/gtest.h>

#include "engine/dsp/CvoFoldbackDistortion.h"

#include <cmath>
#include <limits>
#include <random>

namespace
{
// The fold as first defined: reflect at 1, fold a negative result again, give the
// result the sign of s. Written as a loop with the same single-precision operations
// as the recursion (F(s) = sign(s) * (b >= 0 ? b : F(b))) so large inputs need no stack.
float referenceFold (float s)
{
    float sign = 1.0f;
    float x = s;

    for (;;)
    {
        if (x < 0.0f)
            sign = -sign;

        const float a = std::abs (x);
        if (a <= 1.0f)
            return sign * a;

        const float b = 1.0f - (a - 1.0f);
        if (b >= 0.0f)
            return sign * b;

        x = b;
    }
}
} // namespace

TEST (ClipFoldback, GivesTheTriangleValuesAtTheEdges)
{
    const std::pair<float, float> cases[] = {{0.5f, 0.5f},  {1.5f, 0.5f},   {-1.5f, -0.5f}, {2.5f, -0.5f},
                                             {3.5f, -0.5f}, {1.0f, 1.0f},   {2.0f, 0.0f},   {3.0f, -1.0f},
                                             {4.0f, 0.0f},  {4.5f, 0.5f},   {-2.5f, 0.5f},  {-3.5f, 0.5f},
                                             {0.0f, 0.0f},  {-1.0f, -1.0f}, {5.0f, 1.0f},   {6.0f, 0.0f}};

    for (auto [in, out] : cases)
        EXPECT_EQ (clipFoldback (in), out) << "input " << in;
}

TEST (ClipFoldback, EqualsTheRecursiveDefinitionForManyInputs)
{
    std::mt19937 rng (1234);
    std::uniform_real_distribution<float> mantissa (1.0f, 2.0f);
    std::uniform_int_distribution<int> exponent (-30, 12);

    for (int i = 0; i < 200000; ++i)
    {
        float s = std::ldexp (mantissa (rng), exponent (rng));
        if (i % 2 == 1)
            s = -s;
        ASSERT_EQ (clipFoldback (s), referenceFold (s)) << "input " << s;
    }

    // Every quarter step up to 64, and values whose reflections round in single precision.
    for (int q = -256; q <= 256; ++q)
        ASSERT_EQ (clipFoldback (q * 0.25f), referenceFold (q * 0.25f)) << "input " << q * 0.25f;

    for (float s : {1.0000001f, 0.99999994f, 2.9999998f, 3.0000002f, 1000.1f, 8388607.5f, 16777215.0f,
                    16777213.0f, 16777216.0f, -12582911.0f})
        EXPECT_EQ (clipFoldback (s), referenceFold (s)) << "input " << s;
}

TEST (ClipFoldback, NonFiniteGivesZeroAndHugeValuesStayInRange)
{
    EXPECT_EQ (clipFoldback (std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ (clipFoldback (std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ (clipFoldback (-std::numeric_limits<float>::infinity()), 0.0f);

    for (float s :
         {1.0e9f, -3.0e20f, std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()})
    {
        const float y = clipFoldback (s);
        EXPECT_TRUE (y >= -1.0f && y <= 1.0f) << "input " << s;
    }
}

TEST (CvoDistortion, DriveGains)
{
    CvoFoldbackDistortion drive;

    drive.setInputGain (0.0f);
    EXPECT_EQ (drive.getInputGain(), 1.0f);
    drive.setInputGain (1.0f);
    EXPECT_FLOAT_EQ (drive.getInputGain(), (float)std::pow (10.0, 1.2)); // +24 dB
    drive.setInputGain (0.5f);
    EXPECT_FLOAT_EQ (drive.getInputGain(), (float)std::pow (10.0, 0.6));

    drive.setOutputGain (0.5f);
    EXPECT_EQ (drive.getOutputGain(), 1.0f);
    drive.setOutputGain (0.0f);
    EXPECT_FLOAT_EQ (drive.getOutputGain(), (float)std::pow (10.0, -1.2)); // -24 dB
    drive.setOutputGain (1.0f);
    EXPECT_FLOAT_EQ (drive.getOutputGain(), (float)std::pow (10.0, 1.2));
    drive.setOutputGain (0.25f);
    EXPECT_FLOAT_EQ (drive.getOutputGain(), (float)std::pow (10.0, -0.3)); // -6 dB on the squared curve
}

TEST (CvoDistortion, HardClipAndFoldBetweenTheGains)
{
    CvoDistortion clipper;
    CvoFoldbackDistortion folder;

    // Inactive: unchanged, whatever the gains.
    clipper.setInputGain (1.0f);
    folder.setInputGain (1.0f);
    EXPECT_EQ (clipper.processSingleSample (0.3f), 0.3f);
    EXPECT_EQ (folder.processSingleSample (-0.3f), -0.3f);

    clipper.setActive (true);
    folder.setActive (true);
    clipper.setInputGain (0.0f);
    folder.setInputGain (0.0f);
    clipper.setOutputGain (1.0f);
    folder.setOutputGain (1.0f);
    const float out = clipper.getOutputGain();

    EXPECT_EQ (clipper.processSingleSample (0.5f), 0.5f * out);
    EXPECT_EQ (clipper.processSingleSample (1.5f), 1.0f * out);
    EXPECT_EQ (clipper.processSingleSample (-2.5f), -1.0f * out);
    EXPECT_EQ (folder.processSingleSample (0.5f), 0.5f * out);
    EXPECT_EQ (folder.processSingleSample (1.5f), 0.5f * out);
    EXPECT_EQ (folder.processSingleSample (-2.5f), 0.5f * out);
    EXPECT_EQ (folder.processSingleSample (3.5f), -0.5f * out);

    // The input gain is applied before the fold.
    folder.setInputGain (1.0f);
    const float in = folder.getInputGain();
    EXPECT_EQ (folder.processSingleSample (0.1f), clipFoldback (0.1f * in) * out);
}
