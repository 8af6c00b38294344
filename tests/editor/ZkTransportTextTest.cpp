// The transport read-out texts: bars.beats.ticks and mm:ss, including values no
// host should send (negative, huge, non-finite), which must still give a text.

#include <gtest/gtest.h>

#include "editor/ZkTransportText.h"

#include <limits>
#include <ostream>

namespace
{
struct PositionCase
{
    double quarters;
    const char* expected;
};

void PrintTo (const PositionCase& c, std::ostream* os)
{
    *os << c.quarters << " quarters";
}

class PositionTextTest : public ::testing::TestWithParam<PositionCase>
{
};

TEST_P (PositionTextTest, BarsBeatsAndTicks)
{
    EXPECT_EQ (ZkTransportText::getPositionText (GetParam().quarters), juce::String (GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P (
    Positions, PositionTextTest,
    ::testing::Values (PositionCase{0.0, "001.1.0"}, PositionCase{5.5, "002.2.480"},
                       PositionCase{400.0, "101.1.0"}, PositionCase{47.5, "012.4.480"},
                       PositionCase{477.999, "120.2.959"}, PositionCase{35.0, "009.4.0"},
                       PositionCase{36.0, "010.1.0"}, PositionCase{396.0, "100.1.0"},
                       // Ticks of a negative position are 0; bars and beats
                       // follow truncation toward zero.
                       PositionCase{-0.5, "001.1.0"}, PositionCase{-5.25, "000.0.0"},
                       // Nothing a host sends makes the conversion undefined.
                       PositionCase{std::numeric_limits<double>::quiet_NaN(), "001.1.0"},
                       PositionCase{std::numeric_limits<double>::infinity(), "001.1.0"}));

TEST (TimeTextTest, MinutesAndSecondsAtATempo)
{
    EXPECT_EQ (ZkTransportText::getTimeText (240.0, 120.0), "02:00");
    EXPECT_EQ (ZkTransportText::getTimeText (0.0, 120.0), "00:00");
    EXPECT_EQ (ZkTransportText::getTimeText (90.0, 60.0), "01:30");
    EXPECT_EQ (ZkTransportText::getTimeText (1300.0, 100.0), "13:00");
    EXPECT_EQ (ZkTransportText::getTimeText (1.0, 120.0), "00:00"); // half a second
}

TEST (TimeTextTest, TempoZeroOrUnknownStillGivesAText)
{
    EXPECT_EQ (ZkTransportText::getTimeText (123.0, 0.0), "00:00");

    // Before the first block the tempo is -1.
    EXPECT_EQ (ZkTransportText::getTimeText (0.0, -1.0), "00:00");

    // A tempo so small that the minutes leave the int range.
    EXPECT_FALSE (ZkTransportText::getTimeText (1.0e6, 1.0e-300).isEmpty());
    EXPECT_FALSE (ZkTransportText::getTimeText (1.0, std::numeric_limits<double>::quiet_NaN()).isEmpty());
}

TEST (TruncateToIntTest, BoundedAndDefinedForEveryDouble)
{
    EXPECT_EQ (ZkTransportText::truncateToInt (2.9), 2);
    EXPECT_EQ (ZkTransportText::truncateToInt (-2.9), -2);
    EXPECT_EQ (ZkTransportText::truncateToInt (1.0e12), std::numeric_limits<int>::max());
    EXPECT_EQ (ZkTransportText::truncateToInt (-1.0e12), std::numeric_limits<int>::min());
    EXPECT_EQ (ZkTransportText::truncateToInt (std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ (ZkTransportText::truncateToInt (-std::numeric_limits<double>::infinity()), 0);
}
} // namespace
