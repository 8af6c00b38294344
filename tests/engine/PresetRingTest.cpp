// PREV and NEXT walk one ring: factory 0..27, then the user presets, then factory 0.

#include "PresetTestFixture.h"

#include <string>

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

    /** Breaks the preset file in place, keeping its size, modification time and
        file number: the folder's scans keep listing it on their earlier verdict,
        but it no longer loads, as when it breaks or goes between a scan and
        the load that follows. */
    void breakInPlace (const juce::String& name)
    {
        const auto file = presetsFolder().getChildFile (name + ".zkp");
        const juce::Time longAgo ((juce::int64)1600000000 * 1000);

        ASSERT_TRUE (file.setLastModificationTime (longAgo));
        ASSERT_TRUE (processor->getAllUserPresetNames().contains (name)); // verdict taken

        {
            juce::FileOutputStream out (file);
            ASSERT_TRUE (out.openedOk() && out.setPosition (0));
            const std::string junk ((size_t)file.getSize(), 'x');
            ASSERT_TRUE (out.write (junk.data(), junk.size()));
        }

        ASSERT_TRUE (file.setLastModificationTime (longAgo));
        ASSERT_TRUE (processor->getAllUserPresetNames().contains (name));
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

TEST_F (PresetRingTest, AFileThatVanishedOrBrokeAfterTheScanIsNotRecordedAsLoaded)
{
    saveUserPresets ({"Keep", "Gone", "Broken"});
    processor->loadFactoryPresetUndoableWithID (4);
    edit ("Mix", 0.7f);
    ASSERT_EQ (processor->getAllUserPresetNames().size(), 3);

    ASSERT_TRUE (presetsFolder().getChildFile ("Gone.zkp").deleteFile());
    ASSERT_TRUE (presetsFolder().getChildFile ("Broken.zkp").replaceWithText ("TELQUARLAB Preset File:::::"));
    const PresetState before (*processor);
    EXPECT_FALSE (processor->loadUserPresetUndoableWithName ("Gone"));
    EXPECT_FALSE (processor->loadUserPresetUndoableWithName ("Broken"));
    EXPECT_TRUE (PresetState (*processor) == before);

    // By id, the rescan before the load finds only "Keep"; ids past it load nothing.
    processor->loadUserPresetUndoableWithID (1);
    processor->loadUserPresetUndoableWithID (2);
    EXPECT_EQ (processor->getAllUserPresetNames(), juce::StringArray ("Keep"));
    EXPECT_TRUE (PresetState (*processor) == before);
}

TEST_F (PresetRingTest, TheRingReachesEveryPresetAndPassesOverOnesThatDoNotLoad)
{
    saveUserPresets ({"Alpha", "Bravo", "Charlie", "Delta"});
    const auto file = presetsFolder().getChildFile ("Alpha.zkp");
    ASSERT_TRUE (file.copyFileTo (presetsFolder().getChildFile ("Mid.ZKP")));
    ASSERT_TRUE (file.copyFileTo (presetsFolder().getChildFile ("Echo (old).zkp")));

    const auto names = processor->getAllUserPresetNames();
    const int broken = names.indexOf ("Charlie");
    breakInPlace ("Charlie");
    ASSERT_EQ (processor->getAllUserPresetNames(), names);

    processor->loadFactoryPresetUndoableWithID (0);
    for (int id = 1; id < 28; ++id)
    {
        processor->loadNextPreset();
        expectFactory (id);
    }

    for (int id = 0; id < names.size(); ++id)
    {
        if (id == broken)
            continue;
        processor->loadNextPreset();
        expectUser (id);
    }

    processor->loadNextPreset();
    expectFactory (0);

    for (int id = names.size(); --id >= 0;)
    {
        if (id == broken)
            continue;
        processor->loadPrevPreset();
        expectUser (id);
    }

    processor->loadPrevPreset();
    expectFactory (27);
}

TEST_F (PresetRingTest, WhenNoUserPresetLoadsStepsEndOnAFactoryPreset)
{
    saveUserPresets ({"One", "Two"});
    breakInPlace ("One");
    breakInPlace ("Two");

    processor->loadFactoryPresetUndoableWithID (27);
    processor->loadNextPreset();
    expectFactory (0);

    processor->loadPrevPreset();
    expectFactory (27);
}

TEST_F (PresetRingTest, UndoAndRedoBringBackThePresetKind)
{
    saveUserPresets ({"UserA", "UserB"});
    const auto names = processor->getAllUserPresetNames();
    const int userA = names.indexOf ("UserA");

    processor->loadUserPresetUndoableWithID (userA);
    processor->loadFactoryPresetUndoableWithID (5);

    processor->undoLastParameterChange();
    expectUser (userA);
    processor->redoLastParameterChange();
    expectFactory (5);
    processor->undoLastParameterChange();

    // The ring goes on from the user preset shown.
    processor->loadNextPreset();
    if (userA + 1 < names.size())
        expectUser (userA + 1);
    else
        expectFactory (0);

    // Saving turns a factory preset into a user preset; undo turns it back.
    processor->loadFactoryPresetUndoableWithID (3);
    edit ("Mix", 0.45f);
    ASSERT_TRUE (processor->saveCurrentPresetToDisk ("Mine", false));
    const int mine = processor->getAllUserPresetNames().indexOf ("Mine");
    expectUser (mine);

    processor->undoLastParameterChange();
    EXPECT_TRUE (processor->currentPresetIsFactory());
    EXPECT_EQ (processor->getCurrentPresetID(), 3);

    processor->redoLastParameterChange();
    expectUser (mine);

    // A host's state restore records the kind it sets as well: undoing a later
    // step comes back to the restored user preset.
    const int restored = processor->getAllUserPresetNames().indexOf ("UserA");
    processor->loadUserPresetUndoableWithID (restored);
    juce::MemoryBlock chunk;
    processor->getStateInformation (chunk);
    processor->loadFactoryPresetUndoableWithID (7);
    processor->setStateInformation (chunk.getData(), (int)chunk.getSize());
    expectUser (restored);

    processor->beginNewTransaction();
    edit ("Mix", 0.2f);
    processor->undoLastParameterChange();
    EXPECT_FALSE (processor->currentPresetIsFactory());
    EXPECT_EQ (processor->getCurrentPresetID(), restored);
}
