// The properties file that every instance of every host shares: an instance
// writes only what it changed itself, into the file as it stands when it
// writes, so that no instance undoes another's change or the user's edit.
// Instances live in this process and, where it matters, in a second one.

#include "PropertiesWriterProcess.h"

#include "engine/ZkFileLock.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkPropertiesFile.h"
#include "support/TemporaryHome.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace
{
const juce::String ratioKey ("DefaultEditorDesktopHeightRatio");

/** [px] What the processor uses as the main display's height (1080 without a display). */
int displayHeight()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    return display != nullptr && display->totalArea.getHeight() > 0 ? display->totalArea.getHeight() : 1080;
}

/** A current file as a user may have edited it: its own layout, a ratio of
    "0.7", a presets folder of the user's. */
juce::String handEditedFile (const juce::String& presetsFolder, const juce::String& extra = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<PROPERTIES>\n"
           "  <VALUE name=\"Creator\" val=\"Tevlinor\"/>\n"
           "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n"
           "  <VALUE name=\"DefaultEditorDesktopHeightRatio\" val=\"0.7\"/>\n"
           "  <VALUE name=\"Presets Folder\" val=\"" +
           presetsFolder + "\"/>\n" + extra + "</PROPERTIES>\n";
}

/** key's value in the file on disk, as the framework reads it. */
juce::String onDisk (const juce::File& file, const juce::String& key)
{
    juce::PropertiesFile::Options options;
    juce::PropertiesFile properties (file, options);
    return properties.getValue (key, "<missing>");
}

class PropertiesFileSharing : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE (file.getParentDirectory().createDirectory()); }

    /** The ratio that an editor of height px makes the default. */
    static juce::String ratioText (int px)
    {
        return juce::var ((double)((float)px / (float)displayHeight())).toString();
    }

    static void storeCurrentHeight (ZkOstinelAudioProcessor& processor, int px)
    {
        processor.setCurrentAsDefaultEditorDesktopHeightRatio (px);
    }

    TemporaryHome home;
    juce::File file = home.getPropertiesFile();
    juce::File presets = home.getFolder().getChildFile ("My Presets");
};
} // namespace

TEST_F (PropertiesFileSharing, AnInstanceWritesOnlyWhatItChanged)
{
    ASSERT_TRUE (presets.createDirectory());
    const auto text = handEditedFile (presets.getFullPathName());
    ASSERT_TRUE (file.replaceWithText (text));
    juce::MemoryBlock before, after;
    ASSERT_TRUE (file.loadFileAsData (before));

    {
        ZkOstinelAudioProcessor processor;
        EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.7f);
        EXPECT_EQ (processor.getUserPresetsFolder(), presets);
    }
    ASSERT_TRUE (file.loadFileAsData (after));
    EXPECT_TRUE (after == before);

    // Without a presets folder, the default one is stored; the ratio read keeps
    // its text.
    ASSERT_TRUE (file.replaceWithText (text.replace ("Presets Folder", "Other")));
    {
        ZkOstinelAudioProcessor processor;
    }
    EXPECT_EQ (onDisk (file, "Presets Folder"), home.getDefaultPresetsFolder().getFullPathName() + "/");
    EXPECT_EQ (onDisk (file, ratioKey), "0.7");
    EXPECT_EQ (onDisk (file, "Other"), presets.getFullPathName());
}

TEST_F (PropertiesFileSharing, AStoredDefaultSizeOutlivesAnInstanceOpenedBefore)
{
    auto opendBefore = std::make_unique<ZkOstinelAudioProcessor>();
    {
        ZkOstinelAudioProcessor first; // the file as the first instance left it
    }
    {
        ZkOstinelAudioProcessor storing;
        storeCurrentHeight (storing, 450);
    }
    ASSERT_EQ (onDisk (file, ratioKey), ratioText (450));

    opendBefore.reset();
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (450));

    // A user's reset in an instance that read 0.5 still stores 0.5.
    ZkOstinelAudioProcessor resetting;
    {
        ZkOstinelAudioProcessor storing;
        storeCurrentHeight (storing, 600);
    }
    resetting.resetDefaultEditorDesktopHeightRatio();
    ASSERT_TRUE (resetting.getPropertiesFile()->write());
    EXPECT_EQ (onDisk (file, ratioKey), "0.5");
}

TEST_F (PropertiesFileSharing, AHandEditWhileAnInstanceIsOpenSurvivesItsOwnChanges)
{
    ASSERT_TRUE (file.replaceWithText (handEditedFile ("/old/presets")));
    ZkOstinelAudioProcessor open;

    const auto edited = handEditedFile ("/new/presets", "  <VALUE name=\"Mine\" val=\"0.70\"/>\n");
    ASSERT_TRUE (file.replaceWithText (edited));

    storeCurrentHeight (open, 432);
    ASSERT_TRUE (open.getPropertiesFile()->write());

    EXPECT_EQ (onDisk (file, "Presets Folder"), "/new/presets");
    EXPECT_EQ (onDisk (file, "Mine"), "0.70");
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (432));
}

TEST_F (PropertiesFileSharing, ElementsAndKeysOfANewerVersionAreKept)
{
    const auto newer = "  <VALUE name=\"FutureKey\" val=\"1 &amp; 2\"/>\n"
                       "  <VALUE name=\"Layout\"><GRID cols=\"3\"/></VALUE>\n"
                       "  <WINDOWS last=\"2\"><WINDOW x=\"10\"/></WINDOWS>\n";
    ASSERT_TRUE (file.replaceWithText (handEditedFile ("/presets", newer)));

    {
        ZkOstinelAudioProcessor processor;
        storeCurrentHeight (processor, 500);
    }

    const auto document = juce::parseXML (file);
    ASSERT_NE (document, nullptr);
    const auto* windows = document->getChildByName ("WINDOWS");
    ASSERT_NE (windows, nullptr);
    EXPECT_EQ (windows->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               "<WINDOWS last=\"2\"><WINDOW x=\"10\"/></WINDOWS>");
    EXPECT_EQ (onDisk (file, "FutureKey"), "1 & 2");
    EXPECT_EQ (onDisk (file, "Layout"), "<GRID cols=\"3\"/>");
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (500));
}

TEST_F (PropertiesFileSharing, AWriterThatCannotGetTheLockGivesUpAndLeavesTheFile)
{
    {
        ZkOstinelAudioProcessor first;
    }
    const auto before = file.loadFileAsString();

    ZkOstinelAudioProcessor processor;
    auto* properties = processor.getPropertiesFile();
    storeCurrentHeight (processor, 700);
    {
        const ZkFileLock stuck (ZkPropertiesFile::getLockFile (file)); // a writer that hangs
        ASSERT_TRUE (stuck.isLocked());
        EXPECT_FALSE (properties->write());
        EXPECT_EQ (file.loadFileAsString(), before);
    }

    EXPECT_TRUE (properties->write()); // the change is still there to be written
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (700));
}

// Another user's private lock file, or a link, is no writer holding the lock.
TEST_F (PropertiesFileSharing, ALockFileThatCannotBeOpenedDoesNotStopTheWrite)
{
    const auto lock = ZkPropertiesFile::getLockFile (file);
    ASSERT_TRUE (home.getFolder().getChildFile ("elsewhere").createSymbolicLink (lock, true));

    ZkOstinelAudioProcessor processor;
    storeCurrentHeight (processor, 700);

    EXPECT_TRUE (processor.getPropertiesFile()->write());
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (700));
}

TEST_F (PropertiesFileSharing, AnInstanceInAnotherProcessUndoesNoChange)
{
    {
        ZkOstinelAudioProcessor first;
    }

    // Open before the change, in another process, changing nothing.
    const auto ready = home.getFolder().getChildFile ("ready");
    const auto release = home.getFolder().getChildFile ("release");
    PropertiesWriterProcess holding (home.getFolder(),
                                     {"hold", ready.getFullPathName(), release.getFullPathName()});
    ASSERT_TRUE (PropertiesWriterProcess::waitFor (ready));
    {
        ZkOstinelAudioProcessor storing;
        storeCurrentHeight (storing, 450);
    }
    ASSERT_TRUE (release.create());
    EXPECT_EQ (holding.finish(), 0) << holding.getOutput();
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (450));

    // The other way round: this process's instance was open before.
    auto openBefore = std::make_unique<ZkOstinelAudioProcessor>();
    PropertiesWriterProcess storing (home.getFolder(), {"set-ratio", "300"});
    EXPECT_EQ (storing.finish(), 0) << storing.getOutput();
    openBefore.reset();
    EXPECT_EQ (onDisk (file, ratioKey), ratioText (300));
}

TEST_F (PropertiesFileSharing, WritersInTwoProcessesAndThisOneLoseNoKey)
{
    {
        ZkOstinelAudioProcessor first;
    }

    constexpr int keysEach = 25;
    PropertiesWriterProcess a (home.getFolder(), {"write-keys", "a", juce::String (keysEach)});
    PropertiesWriterProcess b (home.getFolder(), {"write-keys", "b", juce::String (keysEach)});

    for (int i = 0; i < keysEach; ++i)
    {
        ZkPropertiesFile here (
            ZkPropertiesFile::Options::from (ZkOstinelAudioProcessor::getPropertiesFileOptions()));
        here.setValue ("c" + juce::String (i), i);
        int tries = 0; // a write that waited too long for the lock is tried again
        while (!here.write())
            ASSERT_LT (++tries, 100);
    }

    ASSERT_EQ (a.finish(), 0) << a.getOutput();
    ASSERT_EQ (b.finish(), 0) << b.getOutput();

    for (const auto* prefix : {"a", "b", "c"})
        for (int i = 0; i < keysEach; ++i)
            EXPECT_EQ (onDisk (file, prefix + juce::String (i)), juce::String (i)) << prefix << i;

    EXPECT_EQ (onDisk (file, "PropertiesFileVersion"), "101");
}

// A thousand keys that share a long prefix and differ only at their end (some
// only in letter case) are each a key of their own, by the format's rules: the
// last element of a key wins, a value held as elements is not read and stays,
// every element of a changed key changes, and the keys keep their order.
TEST_F (PropertiesFileSharing, KeysThatDifferOnlyAfterALongPrefixAreEachKept)
{
    const auto prefix = juce::String::repeatedString ("k", 1000);
    const auto key = [&prefix] (int i) { return prefix + juce::String (i / 2) + (i % 2 == 0 ? "a" : "A"); };
    juce::String text ("<PROPERTIES>");
    for (int i = 0; i < 1000; ++i)
        text << "<VALUE name=\"" << key (i) << "\" val=\"" << i << "\"/>";
    text << "<VALUE name=\"" << key (0) << "\" val=\"last\"/><VALUE name=\"" << key (1)
         << "\"><NAME>x</NAME></VALUE></PROPERTIES>";
    ASSERT_TRUE (file.replaceWithText (text));

    ZkPropertiesFile properties (ZkPropertiesFile::Options{file, -1});
    auto expected = juce::StringPairArray (false);
    expected.set (key (0), "last");
    for (int i = 2; i < 1000; ++i)
        expected.set (key (i), juce::String (i));
    EXPECT_EQ (properties.getAllProperties().getAllKeys(), expected.getAllKeys());
    EXPECT_EQ (properties.getAllProperties().getAllValues(), expected.getAllValues());

    properties.setValue (key (0), "changed");
    properties.removeValue (key (2));
    properties.setValue (key (1000), "new");
    ASSERT_TRUE (properties.write());

    const auto document = juce::parseXML (file);
    ASSERT_NE (document, nullptr);
    juce::StringArray valuesOfTheFirstKey, heldAsElements;
    for (auto* element : document->getChildIterator())
    {
        if (element->getStringAttribute ("name") == key (0))
            valuesOfTheFirstKey.add (element->getStringAttribute ("val"));
        if (element->getFirstChildElement() != nullptr)
            heldAsElements.add (element->getStringAttribute ("name"));
    }
    EXPECT_EQ (valuesOfTheFirstKey, juce::StringArray ("changed", "changed"));
    EXPECT_EQ (heldAsElements, juce::StringArray (key (1)));

    ZkPropertiesFile readBack (ZkPropertiesFile::Options{file, -1});
    EXPECT_EQ (readBack.getAllProperties().getAllKeys(), properties.getAllProperties().getAllKeys());
    EXPECT_EQ (readBack.getAllProperties().getAllValues(), properties.getAllProperties().getAllValues());
}
