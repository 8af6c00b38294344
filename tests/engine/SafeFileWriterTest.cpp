// What a write keeps of the file it replaces: a symbolic link to a file the
// caller accepts stays a link to it, and that file gets the new contents; the
// file's permissions stay.
// For the writer itself and for the files the plug-in writes through it.

#include "PresetTestFixture.h"

#include "engine/ZkPropertiesFile.h"
#include "engine/ZkSafeFileWriter.h"

#if JUCE_LINUX

#include <sys/stat.h>
#include <unistd.h>

namespace
{
const std::string contents = "new contents\n";

mode_t modeOf (const juce::File& file)
{
    struct stat info;
    return ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 ? info.st_mode & 07777 : 0;
}

bool makeLink (const juce::String& target, const juce::File& link)
{
    return ::symlink (target.toRawUTF8(), link.getFullPathName().toRawUTF8()) == 0;
}

/** Files in folder, hidden ones (temporary files) included. */
int filesIn (const juce::File& folder)
{
    return folder.getNumberOfChildFiles (juce::File::findFiles, "*");
}

struct LinkKind
{
    const char* name;
    // Makes the link at link to the file at target (which may not exist yet).
    bool (*make) (const juce::File& target, const juce::File& link);
};

class SafeFileWriterTest : public ::testing::Test
{
protected:
    TemporaryHome home;
    juce::File dotfiles = home.getFolder().getChildFile ("dotfiles");
    juce::File links = home.getFolder().getChildFile ("links");
    juce::File target = dotfiles.getChildFile ("settings.xml");
    juce::File link = links.getChildFile ("settings.xml");

    void SetUp() override
    {
        ASSERT_TRUE (dotfiles.createDirectory());
        ASSERT_TRUE (links.createDirectory());
    }
};

class ThroughLink : public SafeFileWriterTest, public ::testing::WithParamInterface<LinkKind>
{
};

class KeepsMode : public SafeFileWriterTest, public ::testing::WithParamInterface<mode_t>
{
};
} // namespace

TEST_P (ThroughLink, TheTargetIsReplacedAndTheLinkStays)
{
    ASSERT_TRUE (GetParam().make (target, link));

    ASSERT_TRUE (ZkSafeFileWriter::write (link, contents.data(), contents.size(),
                                          [] (const juce::File& linked)
                                          { return linked.loadFileAsString() == "old"; }));

    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (target.loadFileAsString().toStdString(), contents);
    EXPECT_EQ (filesIn (dotfiles), 1) << "a temporary file remains";
    EXPECT_EQ (ZkSafeFileWriter::resolveLinks (link), target);
}

INSTANTIATE_TEST_SUITE_P (
    Kinds, ThroughLink,
    ::testing::Values (
        LinkKind{"Absolute", [] (const juce::File& real, const juce::File& at)
                 { return real.replaceWithText ("old") && makeLink (real.getFullPathName(), at); }},
        LinkKind{"Relative", [] (const juce::File& real, const juce::File& at)
                 { return real.replaceWithText ("old") && makeLink ("../dotfiles/settings.xml", at); }},
        LinkKind{"Chain",
                 [] (const juce::File& real, const juce::File& at)
                 {
                     const auto middle = at.getSiblingFile ("middle");
                     return real.replaceWithText ("old") && makeLink (real.getFullPathName(), middle) &&
                            makeLink ("middle", at);
                 }},
        // The ".." count from the folder that via leads to, as the system takes them.
        LinkKind{"FromALinkedFolder",
                 [] (const juce::File& real, const juce::File& at)
                 {
                     const auto inner = at.getSiblingFile ("deep").getChildFile ("inner");
                     return real.replaceWithText ("old") && inner.createDirectory() &&
                            makeLink ("deep/inner", at.getSiblingFile ("via")) &&
                            makeLink ("via/settings.xml", at) &&
                            makeLink ("../../../dotfiles/settings.xml", inner.getChildFile ("settings.xml"));
                 }}),
    [] (const auto& test) { return std::string (test.param.name); });

TEST_F (SafeFileWriterTest, ALinkLoopIsRefused)
{
    ASSERT_TRUE (makeLink ("other", link));
    ASSERT_TRUE (makeLink ("settings.xml", link.getSiblingFile ("other")));

    EXPECT_FALSE (ZkSafeFileWriter::write (link, contents.data(), contents.size()));
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (filesIn (links), 2);
}

TEST_P (KeepsMode, OfTheFileItReplaces)
{
    ASSERT_TRUE (target.replaceWithText ("old"));
    ASSERT_EQ (::chmod (target.getFullPathName().toRawUTF8(), GetParam()), 0);

    ASSERT_TRUE (ZkSafeFileWriter::write (target, contents.data(), contents.size()));

    EXPECT_EQ (modeOf (target), GetParam());
    EXPECT_EQ (target.loadFileAsString().toStdString(), contents);
}

INSTANTIATE_TEST_SUITE_P (Modes, KeepsMode, ::testing::Values (0600, 0640, 0604, 0664, 0755));

// A dotfiles user's properties file and a preset in a synced folder, both
// links, and a properties file kept private.
TEST_F (SafeFileWriterTest, ThePluginsFilesStayLinksAndKeepTheirMode)
{
    const auto properties = home.getPropertiesFile();
    ASSERT_TRUE (properties.getParentDirectory().createDirectory());
    {
        ZkOstinelAudioProcessor first;
    }
    ASSERT_TRUE (properties.moveFileTo (target));
    ASSERT_EQ (::chmod (target.getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE (makeLink (target.getFullPathName(), properties));

    {
        ZkOstinelAudioProcessor processor;
        processor.setEditorHeight (640);
        processor.setCurrentAsDefaultEditorDesktopHeightRatio();
        EXPECT_TRUE (dynamic_cast<ZkPropertiesFile*> (processor.getPropertiesFile())->write());
        const auto ratio = processor.getPropertiesFile()->getValue ("DefaultEditorDesktopHeightRatio");

        EXPECT_TRUE (properties.isSymbolicLink());
        EXPECT_EQ (juce::PropertiesFile (target, {}).getValue ("DefaultEditorDesktopHeightRatio"), ratio);
        EXPECT_EQ (modeOf (target), 0600u);

        const auto synced = dotfiles.getChildFile ("Synced.zkp");
        ASSERT_TRUE (ZkUserPresetFile::write (synced, *processor.getCurrentPresetTree().createXml(), false));
        ASSERT_TRUE (makeLink (synced.getFullPathName(),
                               processor.getUserPresetsFolder().getChildFile ("Synced.zkp")));
        ASSERT_TRUE (processor.saveCurrentPresetToDisk ("Synced", true));

        EXPECT_TRUE (processor.getUserPresetsFolder().getChildFile ("Synced.zkp").isSymbolicLink());
        EXPECT_TRUE (processor.checkUserPreset (synced));
        EXPECT_TRUE (processor.getAllUserPresetNames().contains ("Synced"));
    }
}

// A preset pack from elsewhere may hold a link to any file of the user's, and
// so may the properties file's place: such a link is replaced, not written
// through (nor moved aside), as is one that leads nowhere.
TEST_F (SafeFileWriterTest, ThePluginsFilesReplaceALinkToAnyOtherFile)
{
    const auto notes = dotfiles.getChildFile ("notes.txt");
    ASSERT_TRUE (notes.replaceWithText ("my notes"));
    const auto properties = home.getPropertiesFile();
    ASSERT_TRUE (properties.getParentDirectory().createDirectory());
    ASSERT_TRUE (makeLink (notes.getFullPathName(), properties));

    ZkOstinelAudioProcessor processor;
    const auto presets = processor.getUserPresetsFolder();
    ASSERT_TRUE (makeLink (notes.getFullPathName(), presets.getChildFile ("My Lead.zkp")));
    ASSERT_TRUE (makeLink ("Missing.zkp", presets.getChildFile ("Gone.zkp")));

    for (const juce::String name : {"My Lead", "Gone"})
    {
        EXPECT_TRUE (processor.saveCurrentPresetToDisk (name, true));
        EXPECT_FALSE (presets.getChildFile (name + ".zkp").isSymbolicLink()) << name;
        EXPECT_TRUE (processor.checkUserPreset (presets.getChildFile (name + ".zkp"))) << name;
    }

    processor.setEditorHeight (640);
    processor.setCurrentAsDefaultEditorDesktopHeightRatio();
    EXPECT_TRUE (dynamic_cast<ZkPropertiesFile*> (processor.getPropertiesFile())->write());
    EXPECT_FALSE (properties.isSymbolicLink());
    EXPECT_EQ (notes.loadFileAsString(), "my notes");
    EXPECT_FALSE (presets.getChildFile ("Missing.zkp").exists());
}

#endif
