#include "engine/dsp/ZkStepPattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
struct QuantiseCase
{
    float written, stored;
};

class ZkStepLengthQuantisation : public ::testing::TestWithParam<QuantiseCase>
{
};

TEST_P (ZkStepLengthQuantisation, StoresTheClassOfTheWrittenValue)
{
    ZkStepPattern pattern;
    pattern.setStepLength (5, GetParam().written);
    EXPECT_EQ (pattern.getStepLength (5), GetParam().stored) << "written " << GetParam().written;
}

constexpr float noStep = ZkStepPattern::NoStep, shortStep = ZkStepPattern::ShortStep,
                longStep = ZkStepPattern::LongStep, stepLink = ZkStepPattern::StepLink;

INSTANTIATE_TEST_SUITE_P (
    QuarterBoundaries, ZkStepLengthQuantisation,
    ::testing::Values (QuantiseCase{-0.0f, noStep}, QuantiseCase{0.2499f, noStep},
                       QuantiseCase{0.25f, shortStep}, QuantiseCase{std::nextafter (0.5f, 0.0f), shortStep},
                       QuantiseCase{0.5f, longStep}, QuantiseCase{std::nextafter (0.75f, 0.0f), longStep},
                       QuantiseCase{0.75f, stepLink}, QuantiseCase{1.0f, stepLink},
                       QuantiseCase{-0.1f, stepLink},
                       QuantiseCase{-std::numeric_limits<float>::denorm_min(), stepLink},
                       QuantiseCase{std::numeric_limits<float>::quiet_NaN(), stepLink},
                       QuantiseCase{std::numeric_limits<float>::infinity(), stepLink}));

TEST (ZkStepPattern, IndexesOutsideTheStepsChangeAndReadNothing)
{
    ZkStepPattern pattern;
    pattern.initPattern();

    for (int index : {-1, 16, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
    {
        pattern.setStepLength (index, 0.9f);
        pattern.setStepVolume (index, 0.2f);
        EXPECT_EQ (pattern.getStepLength (index), 0.0f);
        EXPECT_EQ (pattern.getStepVolume (index), 0.0f);
    }

    for (int i = 0; i < ZkStepPattern::numSteps; ++i)
        EXPECT_TRUE (pattern.getStepLength (i) == shortStep && pattern.getStepVolume (i) == 1.0f)
            << "step " << i;
}

TEST (ZkStepPattern, BulkWritesAreUnquantisedAndInitRestoresTheDefaults)
{
    ZkStepPattern pattern;
    EXPECT_EQ (pattern.getPatternLengthInBeats(), 4); // defined before any write
    EXPECT_EQ (pattern.getStepLength (15), 0.0f);

    pattern.setAllSteps (0.3f, 2.0f);
    EXPECT_TRUE (pattern.getStepLength (15) == 0.3f && pattern.getStepVolume (0) == 2.0f);

    pattern.setPatternLengthInBeats (1);
    pattern.setTripletState (true);
    pattern.initPattern();
    EXPECT_EQ (pattern.getPatternLengthInBeats(), 4);
    EXPECT_FALSE (pattern.getTripletState());
    EXPECT_TRUE (pattern.getStepLength (15) == shortStep && pattern.getStepVolume (15) == 1.0f);
}
} // namespace
