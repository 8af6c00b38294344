// The 300 host parameters: order, names, defaults and display kinds at the
// boundaries of the global block and of the per-pattern blocks, and the rule each
// name stands for.

#include <gtest/gtest.h>

#include <set>

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkParameterTable.h"

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // the host's index-based parameter interface
#endif

namespace
{
struct TableRow
{
    int index;
    const char* name;
    float defaultValue;
    const char* defaultText; // display text at the default, shows the display kind
};

class ParameterTableRow : public ::testing::TestWithParam<TableRow>
{
protected:
    static void SetUpTestSuite() { processor = new ZkOstinelAudioProcessor(); }
    static void TearDownTestSuite()
    {
        delete processor;
        processor = nullptr;
    }

    static ZkOstinelAudioProcessor* processor;
};

ZkOstinelAudioProcessor* ParameterTableRow::processor = nullptr;
} // namespace

TEST_P (ParameterTableRow, NameDefaultAndKind)
{
    const auto& row = GetParam();
    auto* manager = processor->getParameterManager();

    EXPECT_EQ (processor->getParameterName (row.index), row.name);
    EXPECT_EQ (processor->getParameterDefaultValue (row.index), row.defaultValue);
    ASSERT_NE (manager->getParameter (row.index), nullptr);
    ASSERT_NE (manager->getParameter (row.index)->getValueMapper(), nullptr);

    // The text of the default, independent of the preset loaded at construction.
    EXPECT_EQ (
        manager->getParameter (row.index)->getValueMapper()->normed2RealValueAsString (row.defaultValue),
        row.defaultText);
}

INSTANTIATE_TEST_SUITE_P (
    Boundaries, ParameterTableRow,
    ::testing::Values (
        TableRow{0, "Bypass", 0.0f, "BYPASS OFF"}, TableRow{1, "MuteAll", 0.0f, "NO MUTE-ALL"},
        TableRow{2, "InputGain", 0.5f, "+/-0dB"}, TableRow{6, "Hold", 0.22f, "5 %"},
        TableRow{12, "TimeOffset", 0.5f, "+/-0 %"}, TableRow{13, "ShortStepLength", 0.9f, "90 %"},
        TableRow{14, "LongStepLength", 0.9f, "95 %"}, TableRow{19, "DriveInputGain", 0.0f, "0.0dB"},
        TableRow{23, "EchoFeedback", 0.4f, "36 %"}, TableRow{24, "EchoTypeNormal", 0.4f, "3/16"},
        TableRow{25, "EchoTypeTriplet", 0.9f, "2/8T"}, TableRow{26, "EchoPingPong", 1.0f, "ON"},
        TableRow{27, "PatternSelect", 0.0f, "A"}, TableRow{28, "PatternLength-A", 1.0f, "4 Beats"},
        TableRow{29, "TripletMode-A", 0.0f, "OFF"}, TableRow{30, "StepLength-01-A", 0.375f, "ShortStep"},
        TableRow{31, "StepVolume-01-A", 1.0f, "100 %"}, TableRow{60, "StepLength-16-A", 0.375f, "ShortStep"},
        TableRow{61, "StepVolume-16-A", 1.0f, "100 %"}, TableRow{62, "PatternLength-B", 1.0f, "4 Beats"},
        TableRow{68, "StepLength-03-B", 0.375f, "ShortStep"},
        TableRow{266, "PatternLength-H", 1.0f, "4 Beats"}, TableRow{267, "TripletMode-H", 0.0f, "OFF"},
        TableRow{299, "StepVolume-16-H", 1.0f, "100 %"}));

TEST (ParameterTable, HoldsThreeHundredUniqueNamesFoundAtTheirOwnIndex)
{
    ZkOstinelAudioProcessor processor;
    auto* manager = processor.getParameterManager();
    ASSERT_EQ (manager->getNumberOfParameters(), 300);

    std::set<juce::String> names;
    for (int index = 0; index < 300; ++index)
    {
        const auto name = manager->getParameterName (index);
        names.insert (name);
        EXPECT_EQ (manager->getParameterIndex (name), index) << name;
        EXPECT_NE (ZkParameterTable::ruleForName (name).target, ZkParameterTable::Target::none) << name;
    }
    EXPECT_EQ (names.size(), 300u);
}

TEST (ParameterTable, RulesOfPatternNamesCarryPatternAndStep)
{
    using Target = ZkParameterTable::Target;

    const auto stepB3 = ZkParameterTable::ruleForName ("StepLength-03-B");
    EXPECT_EQ (stepB3.target, Target::stepLength);
    EXPECT_EQ (stepB3.pattern, 1);
    EXPECT_EQ (stepB3.step, 2);

    const auto volumeH16 = ZkParameterTable::ruleForName ("StepVolume-16-H");
    EXPECT_EQ (volumeH16.target, Target::stepVolume);
    EXPECT_EQ (volumeH16.pattern, 7);
    EXPECT_EQ (volumeH16.step, 15);

    const auto tripletC = ZkParameterTable::ruleForName ("TripletMode-C");
    EXPECT_EQ (tripletC.target, Target::tripletMode);
    EXPECT_EQ (tripletC.pattern, 2);

    EXPECT_EQ (ZkParameterTable::ruleForName ("EchoTypeTriplet").target, Target::echoTypeTriplet);
}

TEST (ParameterTable, NamesOutsideTheTableDriveNothing)
{
    using Target = ZkParameterTable::Target;

    for (const char* name : {"reserved", "invalid parameter", "", "bypass", "Bypass ", "PatternLength-I",
                             "StepLength-17-A", "StepVolume-00-A", "StepLength-xx-A"})
        EXPECT_EQ (ZkParameterTable::ruleForName (name).target, Target::none) << name;
}
