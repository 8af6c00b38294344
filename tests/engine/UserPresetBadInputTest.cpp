// Names, files and folders that must not reach the disk or the current preset.

#include "PresetTestFixture.h"

namespace
{
using UserPresetBadInputTest = PresetTestFixture;
} // namespace

TEST_F (UserPresetBadInputTest, NamesNeverLeaveThePresetsFolder)
{
    EXPECT_TRUE (processor->saveCurrentPresetToDisk ("../../Escape*", true));
    EXPECT_TRUE (presetsFolder().getChildFile ("Escape.zkp").existsAsFile());
    EXPECT_EQ (processor->getProgramName (0), "Escape");

    EXPECT_TRUE (processor->saveCurrentPresetToDisk ("  a/b\\c.zkp  ", false));
    EXPECT_TRUE (presetsFolder().getChildFile ("abczkp.zkp").existsAsFile());

    // No preset file lies anywhere else in the home folder.
    for (const auto& entry :
         juce::RangedDirectoryIterator (home.getFolder(), true, "*.zkp", juce::File::findFiles))
        EXPECT_EQ (entry.getFile().getParentDirectory(), presetsFolder())
            << entry.getFile().getFullPathName();
    EXPECT_EQ (presetsFolder().getNumberOfChildFiles (juce::File::findFiles, "*"), 2);
    auto listed = processor->getAllUserPresetNames();
    listed.sort (false);
    EXPECT_EQ (listed, juce::StringArray ("Escape", "abczkp"));

    // A load reaches no file outside the folder, even one that is a valid preset.
    const auto saved = presetsFolder().getChildFile ("Escape.zkp");
    ASSERT_TRUE (saved.copyFileTo (presetsFolder().getSiblingFile ("Outside.zkp")));
    ASSERT_TRUE (saved.copyFileTo (home.getFolder().getChildFile ("Outside.zkp")));
    ASSERT_TRUE (saved.copyFileTo (presetsFolder().getChildFile ("..zkp")));

    edit ("Mix", 0.3f);
    const PresetState before (*processor);
    for (const auto* name : {"../Outside", "~/Outside", "..\\Outside", ".", "..", "", "Escape*", "Escape.zkp",
                             "Esc\nape", "abc.zkp/../Escape"})
        EXPECT_FALSE (processor->loadUserPresetUndoableWithName (name)) << name;
    EXPECT_TRUE (PresetState (*processor) == before);
}

TEST_F (UserPresetBadInputTest, NamesWithNothingUsableAreRefused)
{
    edit ("Mix", 0.4f);
    const PresetState before (*processor);

    for (const auto* name : {"", "***", "../", " . / . ", "\xc3\x9c\xc3\x9c"})
        EXPECT_FALSE (processor->saveCurrentPresetToDisk (juce::String::fromUTF8 (name), true)) << name;

    EXPECT_TRUE (PresetState (*processor) == before);
    EXPECT_EQ (presetsFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 0);
}

TEST_F (UserPresetBadInputTest, AFailedSaveIsReportedAndKeepsTheCurrentValues)
{
    // An earlier preset "Taken" ...
    ASSERT_TRUE (processor->saveCurrentPresetToDisk ("Other", true));
    ASSERT_TRUE (presetsFolder().getChildFile ("Taken.zkp").getChildFile ("inside.txt").create().wasOk());

    // ... whose name is now a folder: the file cannot be written.
    edit ("Mix", 0.4f);
    edit ("Swing", 0.9f);
    const PresetState before (*processor);

    EXPECT_FALSE (processor->saveCurrentPresetToDisk ("Taken", true));
    const PresetState after (*processor);
    EXPECT_EQ (after.values, before.values);
    EXPECT_EQ (after.isFactory, before.isFactory);
    EXPECT_TRUE (presetsFolder().getChildFile ("Taken.zkp").isDirectory());

    // The presets folder itself has gone.
    ASSERT_TRUE (presetsFolder().deleteRecursively());
    EXPECT_FALSE (processor->saveCurrentPresetToDisk ("Lost", false));
    EXPECT_EQ (PresetState (*processor).values, before.values);
    EXPECT_FALSE (presetsFolder().exists());
}

TEST_F (UserPresetBadInputTest, InvalidFilesAreNotListedAndLoadNothing)
{
    const auto text = presetText();

    writePlain ("Valid.zkp", text);
    writePlain ("Truncated.zkp", text.substring (0, text.length() / 2));
    writePlain ("Unmatched.zkp", text.replace ("</ZkAudioPreset>", ""));
    writePlain ("Words.zkp", "just some words");
    writePlain ("Valid.txt", text);
    ASSERT_TRUE (presetsFolder().getChildFile ("Sub").createDirectory().wasOk());
    writePlain ("Sub/Nested.zkp", text);
    ASSERT_TRUE (presetsFolder().getChildFile ("Folder.zkp").createDirectory().wasOk());
    ASSERT_TRUE (presetsFolder().getChildFile ("Empty.zkp").create().wasOk());
    ASSERT_TRUE (
        presetsFolder().getChildFile ("Lowercase.zkp").replaceWithText ("telquarlab Preset File:::::"));

    EXPECT_EQ (processor->getAllUserPresetNames(), juce::StringArray ("Valid"));

    edit ("Swing", 0.9f);
    const PresetState before (*processor);

    for (const auto* name : {"Truncated", "Unmatched", "Words", "Valid.txt", "Nested", "Sub/Nested", "Folder",
                             "Empty", "Lowercase", "Missing"})
    {
        EXPECT_FALSE (processor->loadUserPresetUndoableWithName (name)) << name;
        EXPECT_TRUE (PresetState (*processor) == before) << name;
    }
}
