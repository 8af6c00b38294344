// The table of factory presets: names in id order and the pairs it expands to.

#include <gtest/gtest.h>

#include "engine/ZkFactoryPresets.h"

TEST (FactoryPresetTableTest, NamesInIdOrder)
{
    const char* const expected[] = {
        "Default",
        "House Rhythm 01 + Echo",
        "House Rhythm 02 + Echo",
        "TranceGate 01 + Echo",
        "TranceGate 02 + Echo",
        "TranceGate 03 + Echo",
        "TranceGate 04 + Echo",
        "TranceGate 05 + Echo",
        "Groove Rhythm 01 + Echo",
        "Groove Rhythm 02 + Echo",
        "Like A SideChain 01",
        "Like A SideChain 02",
        "Like A SideChain 02 + Echo",
        "Like A SideChain 03",
        "Simple Triplet 01 + Echo",
        "Simple Triplet 02 + Echo",
        "DarkSide Triplet",
        "Isolate Snare/Clap",
        "Isolate Snare/Clap + Echo",
        "Isolate Offbeat",
        "Isolate Offbeat + Echo",
        "Reggaeton",
        "Reggaeton + Echo",
        "Tremolo 8th",
        "Tremolo 4th",
        "Psychodelic Echo",
        "Slight Volume Modulation + Echo",
        "Init",
    };
    static_assert (std::size (expected) == ZkFactoryPresets::numPresets);

    for (int id = 0; id < ZkFactoryPresets::numPresets; ++id)
        EXPECT_EQ (ZkFactoryPresets::getName (id), juce::String (expected[id])) << id;

    EXPECT_TRUE (ZkFactoryPresets::getName (-1).isEmpty());
    EXPECT_TRUE (ZkFactoryPresets::getName (28).isEmpty());
    EXPECT_EQ (ZkFactoryPresets::getPairs (28).size(), 0);
}

TEST (FactoryPresetTableTest, CompactNotationExpandsToParameterPairs)
{
    // "TranceGate 03 + Echo": 1 beat, ss=sss..., step 1 at 0.35.
    const auto trance = ZkFactoryPresets::getPairs (5);
    EXPECT_EQ (trance["PatternLength-A"], "0.0");
    EXPECT_EQ (trance["StepLength-01-A"], "0.375");
    EXPECT_EQ (trance["StepLength-03-A"], "0.875");
    EXPECT_EQ (trance["StepLength-16-A"], "0.375");
    EXPECT_EQ (trance["StepVolume-01-A"], "0.35");
    EXPECT_FALSE (trance.containsKey ("StepVolume-02-A"));
    EXPECT_FALSE (trance.containsKey ("TripletMode-A"));
    EXPECT_EQ (trance["ShortStepLength"], "0.7");
    EXPECT_EQ (trance["EchoActive"], "1");
    EXPECT_EQ (trance.size(), 1 + 16 + 1 + 2);

    // "DarkSide Triplet": triplet on, 4 beats, every length class.
    const auto darkSide = ZkFactoryPresets::getPairs (16);
    EXPECT_EQ (darkSide["TripletMode-A"], "1.0");
    EXPECT_EQ (darkSide["PatternLength-A"], "1.0");
    EXPECT_EQ (darkSide["StepLength-01-A"], "0.125");
    EXPECT_EQ (darkSide["StepLength-03-A"], "0.625");
    EXPECT_EQ (darkSide["StepLength-04-A"], "0.375");

    // "Slight Volume Modulation + Echo": two-digit steps, step 4 at 0.125, step 11 left at 1.0.
    const auto slight = ZkFactoryPresets::getPairs (26);
    EXPECT_EQ (slight["StepVolume-04-A"], "0.125");
    EXPECT_EQ (slight["StepVolume-16-A"], "0.96");
    EXPECT_FALSE (slight.containsKey ("StepVolume-11-A"));
    EXPECT_EQ (slight["Mix"], "0.35");

    // Keys are compared with their case.
    EXPECT_FALSE (trance.containsKey ("echoactive"));
}
