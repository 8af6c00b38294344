// Files written to a real, nearly full file system: a small tmpfs filled to
// every level from no room at all up to room for the whole new file. A write
// that does not fit reports false and leaves the previous file byte-identical
// and no temporary file behind; one that fits reports true. The same for a
// file system that cannot be written at all.
//
// Mounting needs root (as in CI); elsewhere these tests are skipped. Linux
// only (tmpfs and mount(2)).

#include "PresetTestFixture.h"

#if JUCE_LINUX

#include "engine/ZkPropertiesFile.h"
#include "engine/ZkUserPresetFile.h"
#include "fuzz/PropertiesFileCheck.h"
#include "support/ScopedTmpfs.h"

#include <functional>

namespace
{
constexpr size_t tmpfsPages = 32;

/** One kind of file the plug-in writes: where it lies, and writes of an old and a new version. */
struct WrittenFile
{
    juce::File target;
    std::function<bool()> writeOld, writeNew;
};

bool writeProperties (const juce::String& presetsFolder)
{
    ZkPropertiesFile properties (
        ZkPropertiesFile::Options::from (ZkOstinelAudioProcessor::getPropertiesFileOptions()));
    properties.setValue ("PropertiesFileVersion", 101);
    properties.setValue ("Presets Folder", presetsFolder);
    const bool written = properties.write();
    properties.setNeedsToBeSaved (false); // no second try when it goes
    return written;
}

class FullDisk : public PresetTestFixture
{
protected:
    void SetUp() override
    {
        if (!tmpfs.isMounted())
            GTEST_SKIP() << tmpfs.getError();

        ASSERT_TRUE (presets.createDirectory());
    }

    std::unique_ptr<juce::XmlElement> presetWithMix (float mix)
    {
        edit ("Mix", mix);
        return processor->createValueTreeForAllParameters()->createXml();
    }

    /** Fills the file system to every level from 0 free pages to one page more
        than the new file needs (tmpfs allocates whole pages, so every level
        between two page boundaries, the file's own size included, behaves
        like the lower boundary). */
    void checkEveryLevel (const WrittenFile& file)
    {
        ASSERT_TRUE (file.writeNew());
        const auto newSize = (size_t)file.target.getSize();
        const auto pagesNeeded = (newSize + ScopedTmpfs::pageBytes - 1) / ScopedTmpfs::pageBytes;
        const auto folder = file.target.getParentDirectory();

        for (size_t freePages = 0; freePages <= pagesNeeded + 1; ++freePages)
        {
            SCOPED_TRACE (testing::Message()
                          << "new file " << newSize << " bytes, " << freePages << " pages free");

            ASSERT_TRUE (tmpfs.leaveFreePages (tmpfsPages / 2));
            ASSERT_TRUE (file.writeOld());
            juce::MemoryBlock oldBytes;
            ASSERT_TRUE (file.target.loadFileAsData (oldBytes));
            ASSERT_TRUE (tmpfs.leaveFreePages (freePages));

            const bool fits = freePages >= pagesNeeded;
            EXPECT_EQ (file.writeNew(), fits);

            juce::MemoryBlock bytes;
            ASSERT_TRUE (file.target.loadFileAsData (bytes));
            if (fits)
                EXPECT_EQ (bytes.getSize(), newSize);
            else
                EXPECT_TRUE (bytes == oldBytes);

            // The properties file's writers leave their lock file beside it.
            const int lockFiles = ZkPropertiesFile::getLockFile (file.target).exists() ? 1 : 0;
            EXPECT_EQ (folder.getNumberOfChildFiles (
                           juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*"),
                       1 + lockFiles);
            EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 1 + lockFiles)
                << "a temporary file remains";
        }
    }

    ScopedTmpfs tmpfs{home.getFolder(), tmpfsPages};
    juce::File presets = tmpfs.getFolder().getChildFile ("presets");
};
} // namespace

TEST_F (FullDisk, PresetWritesNeverLeaveAPartFile)
{
    for (const bool compressed : {false, true})
    {
        SCOPED_TRACE (compressed ? "compressed" : "plain");
        const auto oldPreset = presetWithMix (0.1f);
        const auto newPreset = presetWithMix (0.9f);
        const auto target = presets.getChildFile ("My Beat.zkp");

        checkEveryLevel ({target, [&] { return ZkUserPresetFile::write (target, *oldPreset, compressed); },
                          [&] { return ZkUserPresetFile::write (target, *newPreset, compressed); }});
        target.deleteFile();
    }
}

TEST_F (FullDisk, PropertiesWritesNeverLeaveAPartFile)
{
    const TemporaryHome homeOnTmpfs (tmpfs.getFolder());
    const auto target = homeOnTmpfs.getPropertiesFile();

    // The new file spans three pages, the old one one.
    checkEveryLevel ({target, [] { return writeProperties ("/" + juce::String::repeatedString ("o", 3000)); },
                      [] { return writeProperties ("/" + juce::String::repeatedString ("n", 10000)); }});
}

TEST_F (FullDisk, TheSaveReportsTheErrorAndKeepsTheOldPresetAndTheCurrentValues)
{
    ASSERT_TRUE (writeProperties (presets.getFullPathName()));
    ZkOstinelAudioProcessor onTmpfs;
    ASSERT_EQ (onTmpfs.getUserPresetsFolder(), presets);

    onTmpfs.setParam ("Mix", 0.2f, juce::dontSendNotification, startNewTransaction, true);
    ASSERT_TRUE (onTmpfs.saveCurrentPresetToDisk ("My Beat", true));
    juce::MemoryBlock saved;
    ASSERT_TRUE (presets.getChildFile ("My Beat.zkp").loadFileAsData (saved));

    ASSERT_TRUE (tmpfs.leaveFreePages (0));
    onTmpfs.setParam ("Mix", 0.7f, juce::dontSendNotification, startNewTransaction, true);
    EXPECT_FALSE (onTmpfs.saveCurrentPresetToDisk ("My Beat", true));

    juce::MemoryBlock after;
    ASSERT_TRUE (presets.getChildFile ("My Beat.zkp").loadFileAsData (after));
    EXPECT_TRUE (after == saved);
    EXPECT_EQ (onTmpfs.getParameterManager()->getParameterValue (
                   onTmpfs.getParameterManager()->getParameterIndex ("Mix")),
               0.7f);
}

TEST_F (FullDisk, AFileSystemThatCannotBeWrittenFailsAtOnceAndKeepsTheFiles)
{
    const TemporaryHome homeOnTmpfs (tmpfs.getFolder());
    const auto preset = presets.getChildFile ("My Beat.zkp");
    const auto properties = homeOnTmpfs.getPropertiesFile();
    const auto element = presetWithMix (0.3f);
    ASSERT_TRUE (ZkUserPresetFile::write (preset, *element, true));
    ASSERT_TRUE (writeProperties ("/old"));
    const auto presetBefore = preset.loadFileAsString();
    const auto propertiesBefore = properties.loadFileAsString();

    ASSERT_TRUE (tmpfs.setReadOnly (true));
    EXPECT_FALSE (ZkUserPresetFile::write (preset, *presetWithMix (0.6f), false));
    EXPECT_FALSE (writeProperties ("/new"));
    EXPECT_EQ (preset.loadFileAsString(), presetBefore);
    EXPECT_EQ (properties.loadFileAsString(), propertiesBefore);
    ASSERT_TRUE (tmpfs.setReadOnly (false));
}

#endif
