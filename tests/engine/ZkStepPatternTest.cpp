#include "engine/dsp/ZkStepPattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
struct QuantiseCase
{
    float written;
    float stored;
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

INSTANTIATE_TEST_SUITE_P (
    QuarterBoundaries, ZkStepLengthQuantisation,
    ::testing::Values (
        QuantiseCase{0.0f, ZkStepPattern::NoStep}, QuantiseCase{-0.0f, ZkStepPattern::NoStep},
        QuantiseCase{0.2499f, ZkStepPattern::NoStep}, QuantiseCase{0.25f, ZkStepPattern::ShortStep},
        QuantiseCase{std::nextafter (0.5f, 0.0f), ZkStepPattern::ShortStep},
        QuantiseCase{0.5f, ZkStepPattern::LongStep},
        QuantiseCase{std::nextafter (0.75f, 0.0f), ZkStepPattern::LongStep},
        QuantiseCase{0.75f, ZkStepPattern::StepLink}, QuantiseCase{1.0f, ZkStepPattern::StepLink},
        QuantiseCase{7.0f, ZkStepPattern::StepLink}, QuantiseCase{-0.1f, ZkStepPattern::StepLink},
        QuantiseCase{-std::numeric_limits<float>::denorm_min(), ZkStepPattern::StepLink},
        QuantiseCase{std::numeric_limits<float>::quiet_NaN(), ZkStepPattern::StepLink},
        QuantiseCase{std::numeric_limits<float>::infinity(), ZkStepPattern::StepLink},
        // Each class value reads back as its own class.
        QuantiseCase{ZkStepPattern::NoStep, ZkStepPattern::NoStep},
        QuantiseCase{ZkStepPattern::ShortStep, ZkStepPattern::ShortStep},
        QuantiseCase{ZkStepPattern::LongStep, ZkStepPattern::LongStep}));

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
    {
        EXPECT_EQ (pattern.getStepLength (i), ZkStepPattern::ShortStep);
        EXPECT_EQ (pattern.getStepVolume (i), 1.0f);
    }
}

TEST (ZkStepPattern, VolumesAndBulkWritesAreStoredUnchanged)
{
    ZkStepPattern pattern;
    pattern.setStepVolume (0, 1.7f);
    EXPECT_EQ (pattern.getStepVolume (0), 1.7f);

    pattern.setAllSteps (0.3f, 2.0f);

    for (int i = 0; i < ZkStepPattern::numSteps; ++i)
    {
        EXPECT_EQ (pattern.getStepLength (i), 0.3f);
        EXPECT_EQ (pattern.getStepVolume (i), 2.0f);
    }
}

TEST (ZkStepPattern, FreshAndInitialisedPatternsHoldDefinedValues)
{
    ZkStepPattern pattern;
    EXPECT_EQ (pattern.getPatternLengthInBeats(), 4);
    EXPECT_FALSE (pattern.getTripletState());
    EXPECT_EQ (pattern.getStepLength (15), 0.0f);

    pattern.setPatternLengthInBeats (1);
    pattern.setTripletState (true);
    pattern.setAllSteps (0.9f, 0.0f);
    pattern.initPattern();

    EXPECT_EQ (pattern.getPatternLengthInBeats(), 4);
    EXPECT_FALSE (pattern.getTripletState());
    EXPECT_EQ (pattern.getStepLength (15), ZkStepPattern::ShortStep);
    EXPECT_EQ (pattern.getStepVolume (15), 1.0f);
}
} // namespace
