// Nothing the user had is deleted: a byte order mark is read wherever XML is,
// a properties file refused as damaged is moved aside to one backup and a new
// one written, one odd value costs no other, bytes that only another decoder
// would read as markup harm nothing, and a file that cannot be read is left
// alone while the instance runs on defaults.

#include "PresetTestFixture.h"
#include "PropertiesWriterProcess.h"

#include "engine/ZkHostStateChunk.h"
#include "engine/ZkPropertiesFile.h"
#include "support/SmallStackThread.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
const std::string byteOrderMark = "\xef\xbb\xbf";

juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    return bytes;
}

bool writeBytes (const juce::File& file, const std::string& bytes)
{
    return file.getParentDirectory().createDirectory() && file.replaceWithData (bytes.data(), bytes.size());
}

struct DamagedFile
{
    const char* name;
    std::string bytes;
};

std::string manyValues()
{
    std::string text = "<PROPERTIES>";
    for (int i = 0; i < 1100; ++i)
        text += "<VALUE name=\"k" + std::to_string (i) + "\" val=\"v\"/>";
    return text + "</PROPERTIES>";
}

class DamagedPropertiesFileIsKept : public ::testing::TestWithParam<DamagedFile>
{
protected:
    TemporaryHome home;
};

class ByteOrderMark : public PresetTestFixture
{
};
} // namespace

TEST_F (ByteOrderMark, IsAcceptedWhereverXmlIsRead)
{
    // A host state chunk whose text starts with the mark.
    edit ("Mix", 0.3f);
    juce::MemoryBlock chunk;
    processor->getStateInformation (chunk);
    const auto* bytes = static_cast<const char*> (chunk.getData());
    const std::string text (bytes + ZkHostStateChunk::headerSize,
                            chunk.getSize() - (size_t)ZkHostStateChunk::headerSize - 1);
    const auto marked = byteOrderMark + text;
    juce::MemoryOutputStream block;
    block.writeInt ((int)ZkHostStateChunk::magic);
    block.writeInt ((int)marked.size());
    block.write (marked.data(), marked.size());
    block.writeByte (0);
    {
        ZkOstinelAudioProcessor other;
        other.setStateInformation (block.getData(), (int)block.getDataSize());
        const auto& parameters = *other.getParameterManager();
        EXPECT_EQ (parameters.getParameterValue (parameters.getParameterIndex ("Mix")), 0.3f);
    }

    // A plain user preset file whose document starts with it.
    const auto presetFile = presetsFolder().getChildFile ("Marked.zkp");
    ASSERT_TRUE (writeBytes (presetFile, std::string (ZkUserPresetFile::headerText) + '\0' + byteOrderMark +
                                             presetText().toStdString() + '\0'));
    EXPECT_TRUE (processor->checkUserPreset (presetFile));
    EXPECT_TRUE (processor->getAllUserPresetNames().contains ("Marked"));
    edit ("Mix", 0.8f);
    ASSERT_TRUE (processor->loadUserPresetUndoableWithName ("Marked"));
    EXPECT_EQ (value ("Mix"), 0.3f);

    // The properties file: read, used and left as it is.
    const auto properties = home.getPropertiesFile();
    ASSERT_TRUE (writeBytes (properties, byteOrderMark +
                                             "<?xml version=\"1.0\"?>\n<PROPERTIES>\n"
                                             "<VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n"
                                             "<VALUE name=\"DefaultEditorDesktopHeightRatio\" val=\"0.6\"/>\n"
                                             "<VALUE name=\"Presets Folder\" val=\"" +
                                             presetsFolder().getFullPathName().toStdString() +
                                             "\"/>\n</PROPERTIES>\n"));
    const auto before = bytesOf (properties);
    {
        ZkOstinelAudioProcessor reading;
        EXPECT_EQ (reading.getDefaultEditorDesktopHeightRatio(), 0.6f);
        EXPECT_TRUE (reading.getAllUserPresetNames().contains ("Marked"));
    }
    EXPECT_TRUE (bytesOf (properties) == before);
    EXPECT_FALSE (ZkPropertiesFile::getBackupFile (properties).exists());
}

TEST_P (DamagedPropertiesFileIsKept, AsTheBackupAndANewFileIsWritten)
{
    const auto& damaged = GetParam().bytes;
    const auto file = home.getPropertiesFile();
    ASSERT_TRUE (writeBytes (file, damaged));

    {
        ZkOstinelAudioProcessor processor;
        EXPECT_EQ (processor.getUserPresetsFolder(), home.getDefaultPresetsFolder());
    }

    const auto backup = ZkPropertiesFile::getBackupFile (file);
    EXPECT_EQ (backup, file.getSiblingFile ("ZkOstinel.zkproperties.damaged"));
    EXPECT_TRUE (bytesOf (backup).matches (damaged.data(), damaged.size()));

    juce::PropertiesFile fresh (file, {});
    EXPECT_EQ (fresh.getValue ("PropertiesFileVersion"), "101");
    EXPECT_EQ (fresh.getValue ("Presets Folder"), home.getDefaultPresetsFolder().getFullPathName() + "/");

    // One backup is kept: the latest damaged file.
    const std::string later = "later damage";
    ASSERT_TRUE (writeBytes (file, later));
    {
        ZkOstinelAudioProcessor processor;
    }
    EXPECT_TRUE (bytesOf (backup).matches (later.data(), later.size()));
    EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles, "*.damaged*"), 1);
}

// Damaged while an instance is open: its next write keeps the damaged file as
// the backup and writes all of its values, not only its own changes.
TEST (DamagedPropertiesFile, FoundAtAWriteIsKeptAsTheBackup)
{
    TemporaryHome home;
    const auto file = home.getPropertiesFile();
    ZkOstinelAudioProcessor processor;
    ASSERT_TRUE (processor.getPropertiesFile()->write());

    const std::string damaged = "<PROPERTIES><VALUE name=\"Presets Folder\" val=\"/mine\"";
    ASSERT_TRUE (writeBytes (file, damaged));
    processor.setCurrentAsDefaultEditorDesktopHeightRatio (640);
    ASSERT_TRUE (processor.getPropertiesFile()->write());

    EXPECT_TRUE (bytesOf (ZkPropertiesFile::getBackupFile (file)).matches (damaged.data(), damaged.size()));
    juce::PropertiesFile written (file, {});
    EXPECT_EQ (written.getAllProperties(), processor.getPropertiesFile()->getAllProperties());
}

INSTANTIATE_TEST_SUITE_P (
    Files, DamagedPropertiesFileIsKept,
    ::testing::Values (
        DamagedFile{"DocumentType",
                    "<?xml version=\"1.0\"?><!DOCTYPE PROPERTIES><PROPERTIES><VALUE name=\"Presets Folder\" "
                    "val=\"/mine\"/></PROPERTIES>"},
        DamagedFile{"ProcessingInstruction",
                    "<PROPERTIES><?editor keep?><VALUE name=\"Presets Folder\" val=\"/mine\"/></PROPERTIES>"},
        DamagedFile{"MoreValuesThanTheLimits", manyValues()},
        DamagedFile{"NotXml", "Presets Folder = /mine\n"},
        DamagedFile{"AnotherDocument",
                    "<SETTINGS><VALUE name=\"Presets Folder\" val=\"/mine\"/></SETTINGS>"}),
    [] (const auto& test) { return std::string (test.param.name); });

namespace
{
/** A current file with the user's editor ratio of 0.6 around inside. */
std::string currentFileAround (const std::string& inside)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n"
           "<VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n"
           "<VALUE name=\"DefaultEditorDesktopHeightRatio\" val=\"0.6\"/>\n" +
           inside + "\n</PROPERTIES>\n";
}

std::string repeated (const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

/** text in UTF-16 with a byte order mark, little endian (ASCII only). */
std::string utf16 (const std::string& text)
{
    std::string bytes = "\xff\xfe";
    for (const char c : text)
        bytes += std::string{c, '\0'};
    return bytes;
}

// Overlong forms of markup characters, which a lenient decoder reads as the
// characters themselves.
const std::string lt2 = "\xc0\xbc", gt2 = "\xc0\xbe", lt3 = "\xe0\x80\xbc", gt3 = "\xe0\x80\xbe",
                  quote3 = "\xe0\x80\xa2", lt4 = "\xf0\x80\x80\xbc", gt4 = "\xf0\x80\x80\xbe",
                  question4 = "\xf0\x80\x80\xbf";

struct HostileFile
{
    const char* name;
    std::string bytes;
    bool readable; // else set aside as damaged
};

class HostilePropertiesFile : public ::testing::TestWithParam<HostileFile>
{
protected:
    TemporaryHome home;
};
} // namespace

// Made and closed twice in a row on a small stack, an instance reads the file
// as the bounded reader does, or sets it aside, whatever another decoder would
// make of its bytes: nothing crashes, hangs or runs out of stack.
TEST_P (HostilePropertiesFile, IsReadOnceOrSetAside)
{
    const auto& hostile = GetParam();
    const auto file = home.getPropertiesFile();
    ASSERT_TRUE (writeBytes (file, hostile.bytes));

    float ratios[2] = {};
    const auto startTwice = [&ratios]
    {
        for (auto& ratio : ratios)
            ratio = ZkOstinelAudioProcessor().getDefaultEditorDesktopHeightRatio();
    };
    ASSERT_TRUE (runOnThreadWithStack (256 * 1024, startTwice));

    const auto backup = ZkPropertiesFile::getBackupFile (file);
    const auto expected = hostile.readable ? 0.6f : 0.5f;
    EXPECT_EQ (ratios[0], expected);
    EXPECT_EQ (ratios[1], expected);
    EXPECT_EQ (backup.exists(), !hostile.readable);
    if (!hostile.readable)
    {
        EXPECT_TRUE (bytesOf (backup).matches (hostile.bytes.data(), hostile.bytes.size()));
    }
}

INSTANTIATE_TEST_SUITE_P (
    Files, HostilePropertiesFile,
    ::testing::Values (
        HostileFile{"OverlongTextBeforeNestedElements",
                    currentFileAround ("<VALUE name=\"x\">" + lt2 + "n" + gt2 + "text" + lt2 + "n" + gt2 +
                                       lt2 + "n/" + gt2 + lt2 + "/n" + gt2 + lt2 + "/n" + gt2 + "</VALUE>"),
                    true},
        HostileFile{"OverlongQuoteSplittingALongAttribute",
                    currentFileAround ("<VALUE name=\"x\"><n>text<m a=\"" + std::string (70, 'a') + quote3 +
                                       " b=" + quote3 + "\"/></n></VALUE>"),
                    true},
        HostileFile{"OverlongProcessingInstructionInAValue",
                    currentFileAround ("<VALUE name=\"x\">" + lt4 + "?p" + question4 + gt4 + "text</VALUE>"),
                    true},
        HostileFile{"OverlongNestingFarBeyondTheDepth",
                    currentFileAround ("<VALUE name=\"x\">" + repeated (lt3 + "n" + gt3, 60000) +
                                       repeated (lt2 + "/n" + gt2, 60000) + "</VALUE>"),
                    true},
        HostileFile{"StrayContinuationByte",
                    currentFileAround ("<VALUE name=\"x\" val=\"a\x80"
                                       "b\"/>"),
                    false},
        HostileFile{"NulInAValue", currentFileAround (std::string ("<VALUE name=\"x\" val=\"a\0b\"/>", 23)),
                    false},
        HostileFile{"Utf16", utf16 (currentFileAround ("")), false},
        HostileFile{"Utf8ByteOrderMarkTwice", "\xef\xbb\xbf\xef\xbb\xbf" + currentFileAround (""), false}),
    [] (const auto& test) { return std::string (test.param.name); });

// A value that holds elements (the plug-in never writes one) is not read, and
// costs no other value: the file is not set aside, and a write keeps the
// element as it was.
TEST (PropertiesFileWithAValueOfElements, KeepsTheFileAndTheOtherValues)
{
    TemporaryHome home;
    const auto file = home.getPropertiesFile();
    const auto presets = home.getFolder().getChildFile ("My Presets");
    const std::string odd = "<n>text<n><n/></n></n>";
    ASSERT_TRUE (presets.createDirectory());
    ASSERT_TRUE (writeBytes (file, currentFileAround ("<VALUE name=\"Presets Folder\" val=\"" +
                                                      presets.getFullPathName().toStdString() +
                                                      "\"/>\n<VALUE name=\"Layout\">" + odd + "</VALUE>")));
    {
        ZkOstinelAudioProcessor processor;
        EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.6f);
        EXPECT_EQ (processor.getUserPresetsFolder(), presets);
        EXPECT_FALSE (processor.getPropertiesFile()->containsKey ("Layout"));
        processor.resetDefaultEditorDesktopHeightRatio();
    }

    EXPECT_FALSE (ZkPropertiesFile::getBackupFile (file).exists());
    const auto document = juce::parseXML (file);
    ASSERT_NE (document, nullptr);
    const auto* layout = document->getChildByAttribute ("name", "Layout");
    ASSERT_NE (layout, nullptr);
    EXPECT_TRUE (layout->getFirstChildElement()->isEquivalentTo (juce::parseXML (odd).get(), false));
    EXPECT_EQ (
        document->getChildByAttribute ("name", "DefaultEditorDesktopHeightRatio")->getStringAttribute ("val"),
        "0.5");
}

#if JUCE_LINUX

namespace
{
/** A home folder that the user "nobody" may use, removed at the end. */
class NobodysHome
{
public:
    explicit NobodysHome (const passwd& nobody)
    {
        char pattern[] = "/tmp/zk-nobody-XXXXXX";
        if (::mkdtemp (pattern) == nullptr)
            return;
        folder = juce::File (pattern);
        ok = ::chmod (pattern, 0755) == 0 && ::chown (pattern, nobody.pw_uid, nobody.pw_gid) == 0 &&
             folder.getChildFile ("TELQUARLAB").createDirectory() &&
             ::chown (folder.getChildFile ("TELQUARLAB").getFullPathName().toRawUTF8(), nobody.pw_uid,
                      nobody.pw_gid) == 0;
    }

    ~NobodysHome()
    {
        if (folder != juce::File())
            folder.deleteRecursively();
    }

    bool ok = false;
    juce::File folder;
};

struct FileInfo
{
    juce::MemoryBlock bytes;
    struct stat info;
};

FileInfo describe (const juce::File& file)
{
    FileInfo described;
    std::memset (&described.info, 0, sizeof (described.info));
    ::stat (file.getFullPathName().toRawUTF8(), &described.info);
    file.loadFileAsData (described.bytes); // as root, also a file without rights
    return described;
}
} // namespace

// A file that the user may not read (mode 000, or another user's private file)
// is neither read, replaced nor moved; the instance runs on the defaults.
TEST (UnreadablePropertiesFile, IsLeftAloneAndTheInstanceRunsOnDefaults)
{
    const std::string text = "<PROPERTIES><VALUE name=\"PropertiesFileVersion\" val=\"101\"/>"
                             "<VALUE name=\"DefaultEditorDesktopHeightRatio\" val=\"0.8\"/></PROPERTIES>";

    if (::geteuid() != 0)
    {
        // This user's own file without rights (the other owner needs root).
        TemporaryHome home;
        const auto file = home.getPropertiesFile();
        ASSERT_TRUE (writeBytes (file, text));
        ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), 0), 0);
        {
            ZkOstinelAudioProcessor processor;
            EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
            EXPECT_EQ (processor.getPropertiesFile()->getFile(), juce::File());
            processor.setCurrentAsDefaultEditorDesktopHeightRatio (700);
        }
        ::chmod (file.getFullPathName().toRawUTF8(), 0600);
        EXPECT_TRUE (bytesOf (file).matches (text.data(), text.size()));
        EXPECT_FALSE (ZkPropertiesFile::getBackupFile (file).exists());
        GTEST_SKIP() << "mode 000 checked; a file of another user needs root to set up";
    }

    const auto* nobody = ::getpwnam ("nobody");
    if (nobody == nullptr)
        GTEST_SKIP() << "no user \"nobody\" to run an instance without rights";

    struct Case
    {
        const char* name;
        bool nobodysOwn;
        mode_t mode;
    };

    for (const auto& c : {Case{"mode 000", true, 0}, Case{"another user's", false, 0600}})
    {
        SCOPED_TRACE (c.name);
        NobodysHome home (*nobody);
        ASSERT_TRUE (home.ok);
        const auto file = home.folder.getChildFile ("TELQUARLAB/ZkOstinel.zkproperties");
        ASSERT_TRUE (writeBytes (file, text));
        ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), c.mode), 0);
        if (c.nobodysOwn)
        {
            ASSERT_EQ (::chown (file.getFullPathName().toRawUTF8(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        const auto before = describe (file);

        PropertiesWriterProcess instance (home.folder, {"report"}, true);
        const int status = instance.finish();
        if (status == PropertiesWriterProcess::skipped)
            GTEST_SKIP() << "could not run an instance as \"nobody\"";
        ASSERT_EQ (status, 0) << instance.getOutput();

        EXPECT_TRUE (instance.getOutput().contains ("ratio 0.5\n")) << instance.getOutput();
        EXPECT_TRUE (instance.getOutput().contains ("file \n")) << instance.getOutput();

        const auto after = describe (file);
        EXPECT_TRUE (after.bytes == before.bytes);
        EXPECT_EQ (after.info.st_mode, before.info.st_mode);
        EXPECT_EQ (after.info.st_uid, before.info.st_uid);
        EXPECT_EQ (after.info.st_ino, before.info.st_ino);
        EXPECT_FALSE (ZkPropertiesFile::getBackupFile (file).exists());
    }
}

// A pipe at the path is neither opened (which would wait for a writer for
// ever) nor replaced: the instance runs on the defaults in memory.
TEST (UnreadablePropertiesFile, APipeIsNeitherOpenedNorReplaced)
{
    TemporaryHome home;
    const auto file = home.getPropertiesFile();
    ASSERT_TRUE (file.getParentDirectory().createDirectory());
    const auto path = file.getFullPathName();
    ASSERT_EQ (::mkfifo (path.toRawUTF8(), 0600), 0);

    // Should the instance open the pipe after all, writers that come and go
    // end its waits, and the test fails instead of hanging.
    std::mutex mutex;
    std::condition_variable finished;
    bool constructed = false, unblocked = false;
    std::thread watchdog (
        [&]
        {
            std::unique_lock lock (mutex);
            while (!finished.wait_for (lock,
                                       unblocked ? std::chrono::milliseconds (10) : std::chrono::seconds (30),
                                       [&] { return constructed; }))
            {
                unblocked = true;
                const int fd = ::open (path.toRawUTF8(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close (fd);
            }
        });
    {
        ZkOstinelAudioProcessor processor;
        {
            const std::lock_guard lock (mutex);
            constructed = true;
        }
        finished.notify_one();
        watchdog.join();
        EXPECT_FALSE (unblocked);
        EXPECT_EQ (processor.getPropertiesFile()->getFile(), juce::File());
        EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
    }

    struct stat info;
    ASSERT_EQ (::stat (path.toRawUTF8(), &info), 0);
    EXPECT_TRUE (S_ISFIFO (info.st_mode));
    EXPECT_FALSE (ZkPropertiesFile::getBackupFile (file).exists());
}

#endif
