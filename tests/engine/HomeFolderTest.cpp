// Without a usable home folder (HOME empty, relative, starting with "~", or
// naming no folder) an instance works with its properties in memory, writes no
// file anywhere (not at the file system's root, not under the host's working
// folder), and a preset save reports its failure.

#include "support/TemporaryHome.h"

#include "engine/ZkOstinelAudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

// Where the framework takes the home folder from HOME.
#if JUCE_LINUX || JUCE_BSD

namespace
{
/** The working folder is a fresh empty folder for the lifetime of the object. */
class ScopedWorkingFolder
{
public:
    explicit ScopedWorkingFolder (const juce::File& parent)
        : previous (juce::File::getCurrentWorkingDirectory())
        , folder (parent.getChildFile ("working"))
    {
        folder.createDirectory();
        folder.setAsCurrentWorkingDirectory();
    }

    ~ScopedWorkingFolder() { previous.setAsCurrentWorkingDirectory(); }

    const juce::File& getFolder() const { return folder; }

private:
    juce::File previous, folder;
};

class UnusableHome : public ::testing::TestWithParam<const char*>
{
protected:
    TemporaryHome home; // put back afterwards
};

bool existsAtRoot (const char* path)
{
    return juce::File (path).exists();
}
} // namespace

TEST_P (UnusableHome, KeepsThePropertiesInMemoryAndWritesNothing)
{
    // The framework's desktop, made on first use, starts the desktop's settings
    // program (gsettings), whose own cache would land under whatever HOME is
    // then; that is the desktop library's file, not one of the plug-in's.
    juce::Desktop::getInstance();

    const ScopedWorkingFolder working (home.getFolder());
    const auto missing = home.getFolder().getChildFile ("missing").getFullPathName();
    const juce::String value = juce::String (GetParam()).replace ("<missing>", missing);
    setenv ("HOME", value.toRawUTF8(), 1);

    const bool rootFolderBefore = existsAtRoot ("/TELQUARLAB");
    const bool rootConfigBefore = existsAtRoot ("/.config/TELQUARLAB");

    {
        ZkOstinelAudioProcessor processor;
        auto* properties = processor.getPropertiesFile();
        ASSERT_NE (properties, nullptr);
        EXPECT_EQ (properties->getFile(), juce::File());
        EXPECT_EQ (properties->getIntValue ("PropertiesFileVersion"), 101);
        EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);

        processor.setCurrentAsDefaultEditorDesktopHeightRatio (700); // a change to save
        EXPECT_NE (properties->getValue ("DefaultEditorDesktopHeightRatio"), "0.5");

        EXPECT_EQ (processor.getUserPresetsFolder(), juce::File());
        EXPECT_TRUE (processor.getAllUserPresetNames().isEmpty());
        EXPECT_FALSE (processor.saveCurrentPresetToDisk ("Kept", true));
        EXPECT_FALSE (processor.saveCurrentPresetToDisk ("Kept", false));
    }

    EXPECT_EQ (working.getFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 0);
    EXPECT_FALSE (juce::File (missing).exists());
    EXPECT_EQ (existsAtRoot ("/TELQUARLAB"), rootFolderBefore);
    EXPECT_EQ (existsAtRoot ("/.config/TELQUARLAB"), rootConfigBefore);
}

INSTANTIATE_TEST_SUITE_P (Homes, UnusableHome,
                          ::testing::Values ("", "relative/home", ".", "~", "~/x", "<missing>"));

#endif
