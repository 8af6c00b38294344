// The names of the factory presets in id order. (Their values are checked
// through the processor, which builds and loads them.)

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
