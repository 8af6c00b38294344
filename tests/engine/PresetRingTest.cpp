// PREV and NEXT walk one ring: factory 0..27, then the user presets, then factory 0.

#include "PresetTestFixture.h"

namespace
{
class PresetRingTest : public PresetTestFixture
{
protected:
    void expectFactory (int id)
    {
        EXPECT_TRUE (processor->currentPresetIsFactory());
        EXPECT_EQ (processor->getCurrentPresetID(), id);
        EXPECT_EQ (processor->getProgramName (0), processor->getAllFactoryPresetNames()[id]);
    }

    void expectUser (int id)
    {
        const auto names = processor->getAllUserPresetNames();
        EXPECT_FALSE (processor->currentPresetIsFactory());
        EXPECT_EQ (processor->getCurrentPresetID(), id);
        EXPECT_EQ (processor->getProgramName (0), names[id]);
        EXPECT_FALSE (processor->currentPresetWasModified());
    }
};
} // namespace

TEST_F (PresetRingTest, FactoryListAloneWrapsAround)
{
    processor->loadFactoryPresetUndoableWithID (27);
    processor->loadNextPreset();
    expectFactory (0);

    processor->loadPrevPreset();
    expectFactory (27);

    processor->loadPrevPreset();
    expectFactory (26);
}

TEST_F (PresetRingTest, UserPresetsFollowTheFactoryList)
{
    saveUserPresets ({"One", "Two", "Three"});
    ASSERT_EQ (processor->getAllUserPresetNames().size(), 3);

    processor->loadFactoryPresetUndoableWithID (27);
    processor->loadNextPreset();
    expectUser (0);

    processor->loadNextPreset();
    expectUser (1);

    processor->loadUserPresetUndoableWithID (2);
    processor->loadNextPreset();
    expectFactory (0);

    processor->loadPrevPreset();
    expectUser (2);

    processor->loadUserPresetUndoableWithID (0);
    processor->loadPrevPreset();
    expectFactory (27);
}

TEST_F (PresetRingTest, AShrunkUserListLeadsBackToTheFirstFactoryPreset)
{
    saveUserPresets ({"A", "B", "C", "D", "E", "F"});

    for (const bool next : {false, true})
    {
        processor->loadUserPresetUndoableWithID (5);
        expectUser (5);

        // Three files go; the current id is now beyond the list.
        const auto names = processor->getAllUserPresetNames();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE (presetsFolder().getChildFile (names[i] + ".zkp").deleteFile());

        if (next)
            processor->loadNextPreset();
        else
            processor->loadPrevPreset();
        expectFactory (0);

        saveUserPresets ({"A", "B", "C", "D", "E", "F"}); // all six again
    }
}

TEST_F (PresetRingTest, LoadingAUserPresetByIdIsOneUndoStep)
{
    saveUserPresets ({"One", "Two"});
    processor->loadFactoryPresetUndoableWithID (3);
    const PresetState factory (*processor);

    processor->loadUserPresetUndoableWithID (1);
    const auto tree = processor->getCurrentPresetTree();
    EXPECT_EQ (tree.getProperty ("PresetType").toString(), "User");
    EXPECT_EQ ((int)tree.getProperty ("PresetID"), 1);

    processor->undoLastParameterChange();
    const PresetState undone (*processor);
    EXPECT_EQ (undone.values, factory.values);
    EXPECT_EQ (undone.name, factory.name);
    EXPECT_EQ (undone.id, 3);
    EXPECT_TRUE (undone.isFactory);

    // Ids outside the list load nothing.
    const PresetState before (*processor);
    processor->loadUserPresetUndoableWithID (2);
    processor->loadUserPresetUndoableWithID (-1);
    EXPECT_TRUE (PresetState (*processor) == before);
}

TEST_F (PresetRingTest, AFileThatVanishedAfterTheScanIsNotRecordedAsLoaded)
{
    saveUserPresets ({"Keep", "Gone"});
    processor->loadFactoryPresetUndoableWithID (4);
    ASSERT_TRUE (processor->getAllUserPresetNames().contains ("Gone"));

    ASSERT_TRUE (presetsFolder().getChildFile ("Gone.zkp").deleteFile());
    const PresetState before (*processor);
    EXPECT_FALSE (processor->loadUserPresetUndoableWithName ("Gone"));
    EXPECT_TRUE (PresetState (*processor) == before);
}
