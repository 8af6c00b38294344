// Names, files and folders that must not reach the disk or the current preset.

#include "PresetTestFixture.h"

#include "engine/ZkUserPresetFile.h"

namespace
{
class UserPresetBadInputTest : public PresetTestFixture
{
protected:
    /** The text of a complete preset as the processor saves it. */
    juce::String presetText()
    {
        const auto element = processor->getCurrentPresetTree().createXml();
        return ZkUserPresetFile::createDocumentText (*element);
    }

    void writePlain (const juce::String& fileName, const juce::String& text)
    {
        juce::MemoryOutputStream out;
        out.writeString (ZkUserPresetFile::headerText);
        out.writeString (text);
        ASSERT_TRUE (
            presetsFolder().getChildFile (fileName).replaceWithData (out.getData(), out.getDataSize()));
    }
};
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

    // A load by a name that is not in its safe form is refused.
    const PresetState before (*processor);
    for (const auto* name : {"../Escape", "Escape*", " Escape", "", "Escape.zkp"})
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
    ASSERT_TRUE (text.contains ("ParameterName=\"Mix\" Value=\"1.0\""));

    writePlain ("Valid.zkp", text);
    writePlain ("Extra Entries.zkp",
                text.replace ("</ZkAudioPreset>",
                              "<Parameter ParameterName=\"Unknown\" Value=\"0.5\"/></ZkAudioPreset>"));
    writePlain ("Other Root.zkp", text.replace ("ZkAudioPreset", "SomethingElse"));
    writePlain ("Lacks Entry.zkp",
                text.replace ("ParameterName=\"Mix\"", "ParameterName=\"NoSuchParameter\""));
    writePlain ("Lacks Value.zkp",
                text.replace ("ParameterName=\"Mix\" Value=", "ParameterName=\"Mix\" Other="));
    writePlain ("Not A Number.zkp",
                text.replace ("ParameterName=\"Mix\" Value=\"1.0\"", "ParameterName=\"Mix\" Value=\"abc\""));
    writePlain ("Infinite.zkp", text.replace ("ParameterName=\"Mix\" Value=\"1.0\"",
                                              "ParameterName=\"Mix\" Value=\"1e999\""));
    writePlain ("Nan.zkp",
                text.replace ("ParameterName=\"Mix\" Value=\"1.0\"", "ParameterName=\"Mix\" Value=\"nan\""));
    writePlain ("Truncated.zkp", text.substring (0, text.length() / 2));
    writePlain ("Pad (soft).zkp", text); // a name a load by name would refuse
    writePlain (".zkp", text);
    writePlain ("Valid.txt", text);
    ASSERT_TRUE (presetsFolder().getChildFile ("Sub").createDirectory().wasOk());
    writePlain ("Sub/Nested.zkp", text);
    ASSERT_TRUE (presetsFolder().getChildFile ("Empty.zkp").create().wasOk());
    ASSERT_TRUE (
        presetsFolder().getChildFile ("Lowercase.zkp").replaceWithText ("telquarlab Preset File:::::"));

    auto listed = processor->getAllUserPresetNames();
    listed.sort (false);
    EXPECT_EQ (listed, juce::StringArray ("Extra Entries", "Valid"));

    edit ("Swing", 0.9f);
    const PresetState before (*processor);

    for (const auto* name : {"Other Root", "Lacks Entry", "Lacks Value", "Not A Number", "Infinite", "Nan",
                             "Truncated", "Pad (soft)", "Empty", "Lowercase", "Nested", "Missing"})
    {
        EXPECT_FALSE (processor->loadUserPresetUndoableWithName (name)) << name;
        EXPECT_TRUE (PresetState (*processor) == before) << name;
    }

    EXPECT_TRUE (processor->loadUserPresetUndoableWithName ("Extra Entries"));
    EXPECT_EQ (value ("Swing"), defaultValue (indexOf ("Swing")));
}
