// Presets folders as people keep them: files renamed and edited by hand are
// listed under their file names and load what they hold; whatever is listed
// loads, and whatever loads is listed.

#include "PresetTestFixture.h"

#include "engine/ZkUserPresetFileName.h"

namespace
{
class UserPresetFolderTest : public PresetTestFixture
{
protected:
    juce::StringArray sortedUserPresetNames()
    {
        auto names = processor->getAllUserPresetNames();
        names.sort (false);
        return names;
    }

    /** text with the value of the entry name replaced by value. */
    static juce::String withValue (const juce::String& text, const juce::String& name,
                                   const juce::String& value)
    {
        const auto entry = "ParameterName=\"" + name + "\" Value=\"";
        const auto start = text.indexOf (entry) + entry.length();
        const auto end = text.indexOfChar (start, '"');
        return text.substring (0, start) + value + text.substring (end);
    }
};
} // namespace

TEST (UserPresetFileNameTest, NamesStandForFilesDirectlyInsideTheFolder)
{
    const bool caseSensitive = juce::File::areFileNamesCaseSensitive();

    const std::pair<const char*, const char*> fileNames[] = {{"Bass (old).zkp", "Bass (old)"},
                                                             {"Dots.In.Name.zkp", "Dots.In.Name"},
                                                             {" Lead .zkp", " Lead "},
                                                             {"~Tilde.zkp", "~Tilde"},
                                                             {"x.zkp.zkp", "x.zkp"},
                                                             {".hidden.zkp", ".hidden"},
                                                             {".zkp", ""},
                                                             {"..zkp", ""},
                                                             {"...zkp", ""},
                                                             {"Name.zkpx", ""},
                                                             {"Name.txt", ""},
                                                             {"zkp", ""},
                                                             {"Tab\t.zkp", ""},
                                                             {"Mid.ZKP", caseSensitive ? "" : "Mid"}};

    for (const auto& [fileName, name] : fileNames)
        EXPECT_EQ (ZkUserPresetFileName::presetNameOf (juce::String::fromUTF8 (fileName)), name) << fileName;

    const juce::File folder ("/presets/folder");
    for (const auto* name : {"Bass (old)", "~Tilde", "..a", "a..",
                             "\xc3\x9c"
                             "berbass"})
    {
        const auto file = ZkUserPresetFileName::fileOf (folder, juce::String::fromUTF8 (name));
        EXPECT_EQ (file.getParentDirectory(), folder) << name;
        EXPECT_EQ (file.getFileName(), juce::String::fromUTF8 (name) + ".zkp") << name;
    }

    for (const auto* name : {"", ".", "..", "a/b", "../a", "a\\b", "new\nline", "del\x7f"})
        EXPECT_EQ (ZkUserPresetFileName::fileOf (folder, name), juce::File()) << name;
}

TEST_F (UserPresetFolderTest, HandRenamedFilesAreListedAndLoadUnderTheirFileNames)
{
    saveUserPresets ({"Base"});
    const auto saved = presetsFolder().getChildFile ("Base.zkp");

    const juce::StringArray renamed ("Bass (old)", "Dots.In.Name",
                                     juce::String::fromUTF8 ("\xc3\x9c"
                                                             "berbass"),
                                     " Lead", "~Tilde",
                                     "Fifty characters are more than the save panel allows");
    // (getChildFile would take "~Tilde.zkp" for a path in a home folder.)
    for (const auto& name : renamed)
        ASSERT_TRUE (saved.copyFileTo (juce::File (presetsFolder().getFullPathName() + "/" + name + ".zkp")))
            << name;

    // Named for no preset, or not as a plain file directly in the folder.
    for (const auto* fileName : {".zkp", "..zkp", "Base.zkp.bak"})
        ASSERT_TRUE (saved.copyFileTo (presetsFolder().getChildFile (fileName))) << fileName;
    ASSERT_TRUE (presetsFolder().getChildFile ("Sub").createDirectory().wasOk());
    ASSERT_TRUE (saved.copyFileTo (presetsFolder().getChildFile ("Sub/Nested.zkp")));

    auto expected = renamed;
    expected.add ("Base");
    expected.sort (false);
    EXPECT_EQ (sortedUserPresetNames().joinIntoString ("|"), expected.joinIntoString ("|"));

    // Each loads by its id and by its name, and the name shown is its file name.
    const auto names = processor->getAllUserPresetNames();
    for (int id = 0; id < names.size(); ++id)
    {
        edit ("Mix", 0.9f);
        processor->loadUserPresetUndoableWithID (id);
        EXPECT_EQ (processor->getProgramName (0), names[id]);
        EXPECT_EQ (processor->getCurrentPresetID(), id);
        EXPECT_FALSE (processor->currentPresetIsFactory());
        EXPECT_FLOAT_EQ (value ("Mix"), 0.1f) << names[id];

        edit ("Mix", 0.9f);
        EXPECT_TRUE (processor->loadUserPresetUndoableWithName (names[id])) << names[id];
        EXPECT_EQ (processor->getCurrentPresetID(), id);
        EXPECT_FLOAT_EQ (value ("Mix"), 0.1f) << names[id];
    }

    for (const auto* name : {"", ".", "Nested", "Sub/Nested", "Base.zkp"})
        EXPECT_FALSE (processor->loadUserPresetUndoableWithName (name)) << name;
}

// The extension is compared under the platform's letter-case rule, and by the
// listing and the load alike: a file listed under a name loads by it.
TEST_F (UserPresetFolderTest, UpperCaseExtensionIsListedExactlyWhenItLoads)
{
    saveUserPresets ({"Alpha"});
    ASSERT_TRUE (
        presetsFolder().getChildFile ("Alpha.zkp").copyFileTo (presetsFolder().getChildFile ("Mid.ZKP")));

    const bool listed = processor->getAllUserPresetNames().contains ("Mid");
    EXPECT_EQ (listed, !juce::File::areFileNamesCaseSensitive());
    EXPECT_EQ (processor->loadUserPresetUndoableWithName ("Mid"), listed);
}

TEST_F (UserPresetFolderTest, HandEditedFilesLoadWhatTheyHoldAndLeaveTheRest)
{
    const auto text = presetText();
    ASSERT_TRUE (text.contains ("ParameterName=\"Mix\" Value=\"1.0\""));

    // Only two entries, under another root and without the root's properties.
    writePlain ("Two Entries.zkp", "<?xml version=\"1.0\"?>\n<Preset>\n"
                                   "  <Parameter ParameterName=\"Mix\" Value=\"0.25\"/>\n"
                                   "  <Parameter ParameterName=\"Attack\" Value=\"0.75\"/>\n"
                                   "  <Parameter ParameterName=\"NoSuchParameter\" Value=\"0.5\"/>\n"
                                   "</Preset>\n");
    writePlain ("Other Root.zkp", withValue (text, "Mix", "0.5").replace ("ZkAudioPreset", "SomethingElse"));
    writePlain ("Not A Number.zkp", withValue (withValue (text, "Mix", "abc"), "Swing", "0.125"));
    writePlain ("Infinite.zkp", withValue (withValue (text, "Mix", "1e999"), "Swing", "0.375"));
    writePlain ("No Value.zkp",
                withValue (text, "Swing", "0.625")
                    .replace ("ParameterName=\"Mix\" Value=", "ParameterName=\"Mix\" Other="));
    writePlain ("No Closing Zero.zkp", withValue (text, "Swing", "0.875"), false);

    EXPECT_EQ (sortedUserPresetNames(), juce::StringArray ("Infinite", "No Closing Zero", "No Value",
                                                           "Not A Number", "Other Root", "Two Entries"));

    // name -> the values the load must leave: Mix, Swing, Attack (-1: the preset's own value).
    const std::tuple<const char*, float, float, float> loads[] = {
        {"Two Entries", 0.25f, 0.3f, 0.75f},   {"Other Root", 0.5f, -1.0f, -1.0f},
        {"Not A Number", 0.6f, 0.125f, -1.0f}, {"Infinite", 0.6f, 0.375f, -1.0f},
        {"No Value", 0.6f, 0.625f, -1.0f},     {"No Closing Zero", 1.0f, 0.875f, -1.0f}};

    for (const auto& [name, mix, swing, attack] : loads)
    {
        processor->loadFactoryPresetUndoableWithID (0);
        const auto presetSwing = value ("Swing"), presetAttack = value ("Attack");
        edit ("Mix", 0.6f);
        edit ("Swing", 0.3f);

        const auto id = processor->getAllUserPresetNames().indexOf (name);
        processor->loadUserPresetUndoableWithID (id);

        EXPECT_EQ (processor->getProgramName (0), name);
        EXPECT_EQ (processor->getCurrentPresetID(), id);
        EXPECT_FLOAT_EQ (value ("Mix"), mix) << name;
        EXPECT_FLOAT_EQ (value ("Swing"), swing < 0.0f ? presetSwing : swing) << name;
        EXPECT_FLOAT_EQ (value ("Attack"), attack < 0.0f ? presetAttack : attack) << name;

        // The partial load is one undo step.
        processor->undoLastParameterChange();
        EXPECT_FLOAT_EQ (value ("Mix"), 0.6f) << name;
        EXPECT_FLOAT_EQ (value ("Swing"), 0.3f) << name;
    }
}
