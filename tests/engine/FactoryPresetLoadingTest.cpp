// Factory presets as the processor builds and loads them.

#include "PresetTestFixture.h"

#include "engine/ZkFactoryPresets.h"

namespace
{
constexpr float stepLink = 0.875f;
constexpr float shortStep = 0.375f;

class FactoryPresetLoadingTest : public PresetTestFixture
{
};

class EveryFactoryPreset : public PresetTestFixture, public ::testing::WithParamInterface<int>
{
};
} // namespace

TEST_F (FactoryPresetLoadingTest, NewInstanceHoldsDefault)
{
    EXPECT_EQ (processor->getProgramName (0), "Default");
    EXPECT_TRUE (processor->currentPresetIsFactory());
    EXPECT_EQ (processor->getCurrentPresetID(), 0);
    EXPECT_FALSE (processor->currentPresetWasModified());
    EXPECT_FALSE (processor->canUndo());

    const auto names = processor->getAllFactoryPresetNames();
    ASSERT_EQ (names.size(), 28);
    EXPECT_EQ (names[0], "Default");
    EXPECT_EQ (names[27], "Init");

    // Steps 3, 7, 11 and 15 of pattern A are tied into the next step; every
    // other parameter holds its default.
    auto* manager = processor->getParameterManager();
    for (int i = 0; i < manager->getNumberOfParameters(); ++i)
    {
        const auto name = manager->getParameterName (i);
        const bool linked = name == "StepLength-03-A" || name == "StepLength-07-A" ||
                            name == "StepLength-11-A" || name == "StepLength-15-A";
        EXPECT_EQ (manager->getParameterValue (i), linked ? stepLink : defaultValue (i)) << name;
    }
}

TEST_P (EveryFactoryPreset, LoadsItsPairsOverDefaultsAsOneUndoStep)
{
    const int id = GetParam();
    edit ("StepVolume-05-C", 0.2f); // another pattern edited by the user
    edit ("PatternSelect", 2.0f / 7.0f);

    processor->loadFactoryPresetUndoableWithID (id);

    EXPECT_EQ (processor->getProgramName (0), ZkFactoryPresets::getName (id));
    EXPECT_TRUE (processor->currentPresetIsFactory());
    EXPECT_EQ (processor->getCurrentPresetID(), id);
    EXPECT_FALSE (processor->currentPresetWasModified());

    const auto pairs = ZkFactoryPresets::getPairs (id);
    for (const auto& key : pairs.getAllKeys())
        EXPECT_GE (indexOf (key), 0) << "preset " << id << " names no parameter " << key;

    auto* manager = processor->getParameterManager();
    for (int i = 0; i < manager->getNumberOfParameters(); ++i)
    {
        const auto name = manager->getParameterName (i);
        const float expected = pairs.containsKey (name) ? pairs[name].getFloatValue() : defaultValue (i);
        EXPECT_EQ (manager->getParameterValue (i), expected) << "preset " << id << ", " << name;
    }
    EXPECT_EQ (processor->getCurrentPatternId(), 0);

    // One undo step brings back the edited state, including the edit of pattern C.
    processor->undoLastParameterChange();
    EXPECT_FLOAT_EQ (value ("StepVolume-05-C"), 0.2f);
    EXPECT_FLOAT_EQ (value ("PatternSelect"), 2.0f / 7.0f);
    processor->undoLastParameterChange();
    EXPECT_FLOAT_EQ (value ("PatternSelect"), 0.0f);
}

INSTANTIATE_TEST_SUITE_P (Ids, EveryFactoryPreset, ::testing::Range (0, ZkFactoryPresets::numPresets));

TEST_F (FactoryPresetLoadingTest, CheckedValuesOfSomePresets)
{
    processor->loadFactoryPresetUndoableWithID (27); // "Init" differs from "Default" in four steps only
    EXPECT_EQ (processor->getProgramName (0), "Init");
    for (const auto* step : {"StepLength-03-A", "StepLength-07-A", "StepLength-11-A", "StepLength-15-A"})
        EXPECT_EQ (value (step), shortStep);

    processor->loadFactoryPresetUndoableWithID (5); // "TranceGate 03 + Echo"
    EXPECT_EQ (value ("PatternLength-A"), 0.0f);
    EXPECT_EQ (processor->getCurrentPatternLengthInBeats(), 1);
    EXPECT_EQ (value ("StepVolume-01-A"), 0.35f);
    EXPECT_EQ (value ("StepLength-03-A"), stepLink);
    EXPECT_EQ (value ("StepLength-05-A"), shortStep);
    EXPECT_EQ (value ("EchoActive"), 1.0f);

    processor->loadFactoryPresetUndoableWithID (26); // "Slight Volume Modulation + Echo"
    EXPECT_EQ (value ("StepVolume-04-A"), 0.125f);
    EXPECT_EQ (value ("StepVolume-11-A"), 1.0f);

    processor->loadFactoryPresetUndoableWithID (16); // "DarkSide Triplet"
    EXPECT_EQ (value ("TripletMode-A"), 1.0f);
    for (const auto* step : {"StepLength-04-A", "StepLength-08-A", "StepLength-12-A", "StepLength-16-A"})
        EXPECT_EQ (value (step), shortStep);
}

TEST_F (FactoryPresetLoadingTest, UndoAndRedoReportThePresetWhoseValuesTheyBringBack)
{
    processor->loadFactoryPresetUndoableWithID (5);
    processor->loadFactoryPresetUndoableWithID (9);

    processor->undoLastParameterChange();
    EXPECT_EQ (processor->getProgramName (0), "TranceGate 03 + Echo");
    EXPECT_EQ (processor->getCurrentPresetID(), 5);
    EXPECT_TRUE (processor->currentPresetIsFactory());

    processor->redoLastParameterChange();
    EXPECT_EQ (processor->getProgramName (0), "Groove Rhythm 02 + Echo");
    EXPECT_EQ (processor->getCurrentPresetID(), 9);
}

TEST_F (FactoryPresetLoadingTest, IdsOutsideTheListChangeNothingNotEvenTheTransaction)
{
    processor->setParam ("Mix", 0.3f, juce::dontSendNotification, dontStartNewTransaction, true);
    const PresetState before (*processor);

    processor->loadFactoryPresetUndoableWithID (28);
    processor->loadFactoryPresetUndoableWithID (-1);
    EXPECT_TRUE (PresetState (*processor) == before);

    // Still one open transaction: a second write joins the first.
    processor->setParam ("Swing", 0.9f, juce::dontSendNotification, dontStartNewTransaction, true);
    processor->undoLastParameterChange();
    EXPECT_EQ (value ("Mix"), 1.0f);
    EXPECT_EQ (value ("Swing"), defaultValue (indexOf ("Swing")));
}
