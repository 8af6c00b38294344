// What a write keeps of the file it replaces: a symbolic link to the very file
// the caller read stays a link to it, and that file gets the new contents; the
// file's permissions stay. What it never replaces: a file that the caller did
// not read, also one put in place while the new file is written.
// For the writer itself and for the files the plug-in writes through it.

#include "PresetTestFixture.h"

#include "engine/ZkPropertiesFile.h"
#include "engine/ZkRegularFileReader.h"
#include "engine/ZkSafeFileWriter.h"

#if JUCE_LINUX

#include <dlfcn.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
const std::string contents = "new contents\n";

// Run inside the next fsync of this binary, once: the moment at which a safe
// write has written its temporary file and is about to sync it, check the
// target again and rename it. Tests here call fsync on one thread only.
std::function<void()> atNextSync;
} // namespace

// This binary's own fsync (an executable's symbols come first in the dynamic
// linker's search), forwarding to the C library's.
extern "C" int fsync (int fd)
{
    static const auto systemFsync = reinterpret_cast<int (*) (int)> (::dlsym (RTLD_NEXT, "fsync"));

    if (auto action = std::exchange (atNextSync, {})) // disarmed first: it may sync files of its own
        action();

    return systemFsync (fd);
}

namespace
{
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

class PropertiesLinkEdge : public SafeFileWriterTest, public ::testing::WithParamInterface<LinkKind>
{
};

/** The file that file names now, as a caller that read it would know it. */
std::optional<ZkFileIdentity> identityOf (const juce::File& file)
{
    return ZkRegularFileReader::read (file, 1 << 20).identity;
}

bool holdsOwnProperties (const juce::File& file)
{
    const juce::PropertiesFile properties (file, {});
    return properties.getIntValue ("PropertiesFileVersion") == 101 &&
           properties.getValue ("Product") == "ZkOstinel";
}
} // namespace

TEST_P (ThroughLink, TheTargetIsReplacedAndTheLinkStays)
{
    ASSERT_TRUE (GetParam().make (target, link));

    ASSERT_TRUE (ZkSafeFileWriter::write (link, contents.data(), contents.size(), identityOf (target)));

    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (target.loadFileAsString().toStdString(), contents);
    EXPECT_EQ (filesIn (dotfiles), 1) << "a temporary file remains";
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

// The system follows 40 links: a chain of 41, like a loop, leads to no file
// and is replaced itself; what it would have led to stays as it is.
TEST_F (SafeFileWriterTest, ALinkThatLeadsToNoFileIsReplacedItself)
{
    const auto chainLink = [this] (int i) { return links.getChildFile ("link" + juce::String (i)); };

    // link, then link39 ... link1, then the file: 40 links.
    ASSERT_TRUE (target.replaceWithText ("old"));
    ASSERT_TRUE (makeLink (target.getFullPathName(), chainLink (1)));
    for (int i = 2; i <= 40; ++i)
        ASSERT_TRUE (makeLink ("link" + juce::String (i - 1), chainLink (i)));
    ASSERT_TRUE (makeLink ("link39", link));
    const auto accept = identityOf (target);

    ASSERT_TRUE (ZkSafeFileWriter::write (link, contents.data(), contents.size(), accept));
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (target.loadFileAsString().toStdString(), contents);

    ASSERT_TRUE (target.replaceWithText ("old") && link.deleteFile() && makeLink ("link40", link));
    ASSERT_FALSE (identityOf (link).has_value());
    ASSERT_TRUE (ZkSafeFileWriter::write (link, contents.data(), contents.size(), identityOf (link)));
    EXPECT_FALSE (link.isSymbolicLink());
    EXPECT_EQ (link.loadFileAsString().toStdString(), contents);
    EXPECT_EQ (target.loadFileAsString(), "old");
}

// The link is resolved when the write starts, and the file it ends at must be
// the one the caller read: a link re-pointed since, even to a file of the same
// name, or a link whose end was replaced, means the reading is out of date:
// nothing is written, and the link and the files stay as they are. Nor is a file put in the place of the one
// read replaced, nor one put where the caller read none.
TEST_F (SafeFileWriterTest, OnlyTheFileThatWasReadIsReplaced)
{
    const auto notes = links.getChildFile ("elsewhere").getChildFile ("settings.xml");
    ASSERT_TRUE (notes.getParentDirectory().createDirectory() && notes.replaceWithText ("my notes"));
    ASSERT_TRUE (target.replaceWithText ("old") && makeLink (target.getFullPathName(), link));
    const auto read = identityOf (link);

    ASSERT_TRUE (link.deleteFile() && makeLink (notes.getFullPathName(), link));
    EXPECT_FALSE (ZkSafeFileWriter::write (link, contents.data(), contents.size(), read));
    EXPECT_EQ (link.getLinkedTarget(), notes);
    EXPECT_EQ (notes.loadFileAsString(), "my notes");
    EXPECT_EQ (target.loadFileAsString(), "old");

    // An editor saves the link's end by renaming a new file over it.
    const auto readThroughLink = identityOf (link);
    ASSERT_TRUE (notes.replaceWithText ("my edited notes"));
    EXPECT_FALSE (ZkSafeFileWriter::write (link, contents.data(), contents.size(), readThroughLink));
    EXPECT_EQ (link.getLinkedTarget(), notes);
    EXPECT_EQ (notes.loadFileAsString(), "my edited notes");

    const auto readBefore = identityOf (target);
    ASSERT_TRUE (target.replaceWithText ("the user's")); // a new file, renamed over the old one
    EXPECT_FALSE (ZkSafeFileWriter::write (target, contents.data(), contents.size(), readBefore));
    EXPECT_EQ (target.loadFileAsString(), "the user's");

    EXPECT_FALSE (ZkSafeFileWriter::write (target, contents.data(), contents.size()));
    EXPECT_EQ (target.loadFileAsString(), "the user's");
    EXPECT_EQ (filesIn (dotfiles), 1) << "a temporary file remains";
}

TEST_P (KeepsMode, OfTheFileItReplaces)
{
    ASSERT_TRUE (target.replaceWithText ("old"));
    ASSERT_EQ (::chmod (target.getFullPathName().toRawUTF8(), GetParam()), 0);

    ASSERT_TRUE (ZkSafeFileWriter::write (target, contents.data(), contents.size(), identityOf (target)));

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
        processor.setCurrentAsDefaultEditorDesktopHeightRatio (640);
        EXPECT_TRUE (processor.getPropertiesFile()->write());
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
// through, as is one that leads nowhere. (At the properties file's place, a
// link to a file that is no properties file is moved aside as the backup
// first; the file it leads to is neither moved nor changed.)
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

    processor.setCurrentAsDefaultEditorDesktopHeightRatio (640);
    EXPECT_TRUE (processor.getPropertiesFile()->write());
    EXPECT_FALSE (properties.isSymbolicLink());
    EXPECT_EQ (notes.loadFileAsString(), "my notes");
    EXPECT_FALSE (presets.getChildFile ("Missing.zkp").exists());
}

// At the properties file's place, a link that does not lead to the plug-in's
// own file: an instance's write replaces the link with the plug-in's file,
// and nothing is created or changed where the link points.
TEST_P (PropertiesLinkEdge, IsReplacedAndWhatItPointsAtStays)
{
    const auto properties = home.getPropertiesFile();
    ASSERT_TRUE (properties.getParentDirectory().createDirectory());
    ASSERT_TRUE (GetParam().make (target, properties));
    const bool existed = target.existsAsFile();
    const auto before = target.loadFileAsString();

    {
        ZkOstinelAudioProcessor processor;
    }

    EXPECT_FALSE (properties.isSymbolicLink());
    EXPECT_TRUE (holdsOwnProperties (properties));
    EXPECT_EQ (target.existsAsFile(), existed);
    EXPECT_EQ (target.loadFileAsString(), before);
    EXPECT_EQ (filesIn (dotfiles), existed ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P (
    Kinds, PropertiesLinkEdge,
    ::testing::Values (LinkKind{"LeadingNowhere", [] (const juce::File& real, const juce::File& at)
                                { return makeLink (real.getFullPathName(), at); }},
                       LinkKind{"ToAnotherProgramsSettings",
                                [] (const juce::File& real, const juce::File& at)
                                {
                                    return real.replaceWithText (
                                               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n"
                                               "  <VALUE name=\"theme\" val=\"dark\"/>\n</PROPERTIES>\n") &&
                                           makeLink (real.getFullPathName(), at);
                                }},
                       // Another program of the same maker, on the same framework.
                       LinkKind{"ToAnotherProductsSettings",
                                [] (const juce::File& real, const juce::File& at)
                                {
                                    juce::PropertiesFile other (real, {});
                                    other.setValue ("Product", "ZkOtherProduct");
                                    other.setValue ("PropertiesFileVersion", 101);
                                    other.setValue ("LicenceKey", "ABCD-1234");
                                    return other.save() && makeLink (real.getFullPathName(), at);
                                }},
                       // Its product named by elements, which are read as no value.
                       LinkKind{"ToAnotherProductsSettingsAsElements",
                                [] (const juce::File& real, const juce::File& at)
                                {
                                    return real.replaceWithText (
                                               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n"
                                               "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n"
                                               "  <VALUE name=\"Product\"><NAME>OtherSynth</NAME></VALUE>\n"
                                               "  <VALUE name=\"LicenceKey\" val=\"ABCD-1234\"/>\n"
                                               "</PROPERTIES>\n") &&
                                           makeLink (real.getFullPathName(), at);
                                }},
                       LinkKind{"ToAnEmptyFile", [] (const juce::File& real, const juce::File& at)
                                { return real.create().wasOk() && makeLink (real.getFullPathName(), at); }},
                       LinkKind{"InALoop",
                                [] (const juce::File&, const juce::File& at) {
                                    return makeLink ("loop", at) &&
                                           makeLink (at.getFileName(), at.getSiblingFile ("loop"));
                                }}),
    [] (const auto& test) { return std::string (test.param.name); });

// Another file created at the place while the plug-in's write syncs its new
// file: after the one read was deleted (the system would hand the freed number
// to the new file, were the one read not held open), after an empty one was
// deleted, or where there was none. The other file survives and the write fails.
struct RaceCase
{
    const char* name;
    const char* before; // what lies at the place when it is read: nullptr none, "" an empty file
    bool preset;        // a preset saved there; otherwise the properties file
};

class CreatedWhileSyncing : public SafeFileWriterTest, public ::testing::WithParamInterface<RaceCase>
{
};

TEST_P (CreatedWhileSyncing, SurvivesTheWrite)
{
    const auto& race = GetParam();
    juce::XmlElement preset ("PRESET");
    preset.setAttribute ("PresetName", "Mine");

    if (race.before != nullptr)
    {
        ASSERT_TRUE (race.preset && *race.before != 0 ? ZkUserPresetFile::write (target, preset, false)
                                                      : target.replaceWithText (race.before));
    }

    std::optional<ZkPropertiesFile> properties;

    if (!race.preset)
    {
        properties.emplace (ZkPropertiesFile::Options{target, -1});
        properties->setValue ("Theme", "dark");
    }

    atNextSync = [this]
    {
        // Opened at the place itself, as an editor or a second program that
        // writes in place does.
        target.deleteFile();
        juce::FileOutputStream (target).writeText ("the user's", false, false, nullptr);
    };

    EXPECT_FALSE (race.preset ? ZkUserPresetFile::write (target, preset, false) : properties->write());
    EXPECT_FALSE (std::exchange (atNextSync, {})) << "the write did not sync";
    EXPECT_EQ (target.loadFileAsString(), "the user's");
    EXPECT_EQ (dotfiles.findChildFiles (juce::File::findFiles, false, "*.tmp").size(), 0);

    if (properties.has_value())
        properties->setNeedsToBeSaved (false); // no second try when it goes
}

INSTANTIATE_TEST_SUITE_P (
    Cases, CreatedWhileSyncing,
    ::testing::Values (RaceCase{"PropertiesReadAsOwn",
                                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n"
                                "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n</PROPERTIES>\n",
                                false},
                       RaceCase{"PropertiesAbsent", nullptr, false}, RaceCase{"PropertiesEmpty", "", false},
                       RaceCase{"PresetSavedOverOne", "preset", true},
                       RaceCase{"PresetUnderANewName", nullptr, true}),
    [] (const auto& test) { return std::string (test.param.name); });

#endif
