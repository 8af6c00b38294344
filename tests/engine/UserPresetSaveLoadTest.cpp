// Saving the current preset as a user preset file and loading it back.

#include "PresetTestFixture.h"

namespace
{
class UserPresetSaveLoadTest : public PresetTestFixture
{
protected:
    void makeEdits()
    {
        edit ("Mix", 0.3f);
        edit ("StepLength-05-B", 0.625f);
        edit ("StepVolume-16-H", 0.125f);
        edit ("PatternSelect", 1.0f / 7.0f);
    }

    juce::MemoryBlock bytesOf (const juce::String& name) const
    {
        juce::MemoryBlock bytes;
        presetsFolder().getChildFile (name + ".zkp").loadFileAsData (bytes);
        return bytes;
    }
};
} // namespace

TEST_F (UserPresetSaveLoadTest, CompressedSaveWritesTheFileAndMakesItTheCurrentUserPreset)
{
    makeEdits();
    const PresetState edited (*processor);
    ASSERT_EQ (edited.name, "Default*");

    EXPECT_TRUE (processor->saveCurrentPresetToDisk ("My Beat*", true));

    const auto bytes = bytesOf ("My Beat");
    ASSERT_GT (bytes.getSize(), 29u);
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()), 28),
               "TELQUARLAB Preset File:::::c");
    EXPECT_EQ (bytes[28], 0);

    EXPECT_EQ (processor->getProgramName (0), "My Beat");
    EXPECT_FALSE (processor->currentPresetIsFactory());
    EXPECT_FALSE (processor->currentPresetWasModified());
    EXPECT_EQ (processor->getCurrentPresetID(), processor->getAllUserPresetNames().indexOf ("My Beat"));
    EXPECT_EQ (PresetState (*processor).values, edited.values);

    // The save-time properties stay in the current preset.
    const auto tree = processor->getCurrentPresetTree();
    EXPECT_EQ (tree.getProperty ("PluginVersion").toString(), "1.0.0");
    EXPECT_EQ (tree.getProperty ("PresetType").toString(), "User");
    EXPECT_EQ (tree.getProperty ("SampleRate").toString(), "0 Hz"); // no audio block yet
    EXPECT_EQ (tree.getProperty ("InOutChannelConfig").toString(), "2 / 2");
    EXPECT_TRUE (tree.getProperty ("OS").toString().endsWith ("64bit"));
    EXPECT_TRUE (tree.getProperty ("Device").toString().endsWith ("MB Memory"));

    // Another preset, then the file by name: the edited values come back.
    processor->loadFactoryPresetUndoableWithID (0);
    ASSERT_NE (PresetState (*processor).values, edited.values);
    EXPECT_TRUE (processor->loadUserPresetUndoableWithName ("My Beat"));
    EXPECT_EQ (PresetState (*processor).values, edited.values);
    EXPECT_EQ (processor->getProgramName (0), "My Beat");
    EXPECT_EQ (processor->getCurrentPatternId(), 1);
}

TEST_F (UserPresetSaveLoadTest, PlainSaveReplacesTheFileAndLoadsTheSameValues)
{
    makeEdits();
    ASSERT_TRUE (processor->saveCurrentPresetToDisk ("My Beat", true));
    const PresetState fromCompressed (*processor);

    ASSERT_TRUE (processor->saveCurrentPresetToDisk ("My Beat", false));
    const auto bytes = bytesOf ("My Beat");
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()), 27),
               "TELQUARLAB Preset File:::::");
    EXPECT_EQ (bytes[27], 0);
    EXPECT_EQ (bytes[28], '<');
    EXPECT_EQ (bytes[(int)bytes.getSize() - 1], 0);
    EXPECT_EQ (processor->getAllUserPresetNames(), juce::StringArray ("My Beat"));

    processor->loadFactoryPresetUndoableWithID (10);
    ASSERT_TRUE (processor->loadUserPresetUndoableWithName ("My Beat"));
    EXPECT_EQ (PresetState (*processor).values, fromCompressed.values);
}

TEST_F (UserPresetSaveLoadTest, ASecondProcessorListsAndLoadsTheSavedPreset)
{
    makeEdits();
    ASSERT_TRUE (processor->saveCurrentPresetToDisk ("100% Gate", true));
    EXPECT_TRUE (presetsFolder().getChildFile ("100% Gate.zkp").existsAsFile());
    const PresetState saved (*processor);
    processor.reset();

    ZkOstinelAudioProcessor second;
    EXPECT_EQ (second.getProgramName (0), "Default");
    EXPECT_EQ (second.getAllUserPresetNames(), juce::StringArray ("100% Gate"));

    second.loadUserPresetUndoableWithID (0);
    EXPECT_EQ (PresetState (second).values, saved.values);
    EXPECT_EQ (second.getProgramName (0), "100% Gate");
}
