// The per-user properties file across processor lifetimes, and the editor
// sizes derived from it. Each test has its own temporary home folder.

#include "PresetTestFixture.h"

#include "engine/ZkPropertiesFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>

namespace
{
/** [px] What the processor uses as the main display's height (1080 without a display). */
float displayHeight()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    return display != nullptr && display->totalArea.getHeight() > 0 ? (float)display->totalArea.getHeight()
                                                                    : 1080.0f;
}

int expectedHeight (float ratio)
{
    return juce::roundToInt (displayHeight() * ratio);
}

/** The keys of the file on disk, in their order. */
juce::StringArray keysOnDisk (const juce::File& file)
{
    juce::StringArray keys;
    if (auto xml = juce::parseXML (file))
        for (auto* value : xml->getChildIterator())
            keys.add (value->getStringAttribute ("name"));
    return keys;
}

/** Writes a properties file with the given keys before any processor runs. */
void writePropertiesFile (const juce::StringPairArray& values)
{
    juce::PropertiesFile file (ZkOstinelAudioProcessor::getPropertiesFileOptions());
    for (const auto& key : values.getAllKeys())
        file.setValue (key, values[key]);
    ASSERT_TRUE (file.save());
}

class PropertiesFileTest : public ::testing::Test
{
protected:
    TemporaryHome home;
};

class StoredRatio : public PropertiesFileTest,
                    public ::testing::WithParamInterface<std::pair<const char*, float>>
{
};
} // namespace

TEST_F (PropertiesFileTest, FirstInstanceCreatesTheFileWithItsHeader)
{
    ASSERT_FALSE (home.getPropertiesFile().exists());
    {
        ZkOstinelAudioProcessor processor;
        EXPECT_TRUE (home.getPropertiesFile().existsAsFile());
        EXPECT_EQ (processor.getPropertiesFile()->getFile(), home.getPropertiesFile());
        EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
        EXPECT_EQ (processor.getDefaultEditorHeight(), expectedHeight (0.5f));
        EXPECT_EQ (processor.getEditorHeight(), processor.getDefaultEditorHeight());
    }

    const auto expectedKeys = juce::StringArray ("Creator", "Company", "Product", "PropertiesFileVersion",
                                                 "DefaultEditorDesktopHeightRatio", "InstallationDate",
                                                 "InstallationTime", "Presets Folder");
    EXPECT_EQ (keysOnDisk (home.getPropertiesFile()), expectedKeys);

    juce::PropertiesFile file (ZkOstinelAudioProcessor::getPropertiesFileOptions());
    EXPECT_EQ (file.getValue ("Creator"), "Tevlinor");
    EXPECT_EQ (file.getValue ("Company"), "TELQUARLAB");
    EXPECT_EQ (file.getValue ("Product"), "ZkOstinel");
    EXPECT_EQ (file.getValue ("PropertiesFileVersion"), "101");
    EXPECT_EQ (file.getValue ("DefaultEditorDesktopHeightRatio"), "0.5");
    EXPECT_TRUE (file.getValue ("InstallationDate").isNotEmpty());
    EXPECT_EQ (file.getValue ("InstallationTime").retainCharacters (":").length(), 2); // with seconds
    EXPECT_EQ (file.getValue ("Presets Folder"), home.getDefaultPresetsFolder().getFullPathName() + "/");
    EXPECT_TRUE (home.getDefaultPresetsFolder().isDirectory());
}

TEST_F (PropertiesFileTest, ASecondLifetimeKeepsTheHeaderAndTheStoredRatio)
{
    juce::String installationTime;
    {
        ZkOstinelAudioProcessor first;
        installationTime = first.getPropertiesFile()->getValue ("InstallationTime");
        first.setEditorHeight (juce::roundToInt (displayHeight() * 0.75f));
        first.setCurrentAsDefaultEditorDesktopHeightRatio (first.getEditorHeight());
        EXPECT_FLOAT_EQ (first.getDefaultEditorDesktopHeightRatio(), 0.75f);
        EXPECT_EQ (first.getDefaultEditorHeight(), first.getEditorHeight());
    }

    juce::Thread::sleep (1100); // a new header would carry a later time
    ZkOstinelAudioProcessor second;
    EXPECT_FLOAT_EQ (second.getDefaultEditorDesktopHeightRatio(), 0.75f);
    EXPECT_EQ (second.getDefaultEditorHeight(), expectedHeight (second.getDefaultEditorDesktopHeightRatio()));
    EXPECT_EQ (second.getEditorHeight(), second.getDefaultEditorHeight());
    EXPECT_EQ (second.getPropertiesFile()->getValue ("InstallationTime"), installationTime);
}

TEST_F (PropertiesFileTest, AnOlderFileStartsOver)
{
    for (const auto* version : {"100", ""})
    {
        juce::StringPairArray old;
        if (*version != 0)
            old.set ("PropertiesFileVersion", version);
        old.set ("DefaultEditorDesktopHeightRatio", "0.7");
        old.set ("Presets Folder", home.getFolder().getChildFile ("Elsewhere").getFullPathName());
        old.set ("Custom", "kept?");
        writePropertiesFile (old);

        {
            ZkOstinelAudioProcessor processor;
            auto* file = processor.getPropertiesFile();
            EXPECT_FALSE (file->containsKey ("Custom")) << version;
            EXPECT_EQ (file->getIntValue ("PropertiesFileVersion"), 101);
            EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
            EXPECT_EQ (processor.getUserPresetsFolder(), home.getDefaultPresetsFolder());
        }

        EXPECT_FALSE (keysOnDisk (home.getPropertiesFile()).contains ("Custom"));
        ASSERT_TRUE (home.getPropertiesFile().deleteFile());
    }
}

TEST_F (PropertiesFileTest, AValueThePreviousVersionWroteFromIllFormedTextKeepsTheFile)
{
    // The previous version wrote a surrogate pair from CESU-8 as two references.
    juce::StringPairArray values;
    values.set ("PropertiesFileVersion", "101");
    values.set ("DefaultEditorDesktopHeightRatio", "0.7");
    values.set ("Custom", juce::String::fromUTF8 ("A\xed\xa0\xbd\xed\xb8\x80"
                                                  "B"));
    writePropertiesFile (values);
    ASSERT_TRUE (home.getPropertiesFile().loadFileAsString().contains ("A&#55357;&#56832;B"));

    ZkOstinelAudioProcessor processor;
    EXPECT_FLOAT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.7f);
    EXPECT_EQ (processor.getPropertiesFile()->getValue ("Custom"),
               juce::String::fromUTF8 ("A\xef\xbf\xbd\xef\xbf\xbd"
                                       "B"));
    EXPECT_FALSE (ZkPropertiesFile::getBackupFile (home.getPropertiesFile()).exists());
}

TEST_P (StoredRatio, GivesTheDefaultEditorHeightAndIsWrittenBack)
{
    const auto [text, expectedRatio] = GetParam();
    juce::StringPairArray values;
    values.set ("PropertiesFileVersion", "101");
    values.set ("DefaultEditorDesktopHeightRatio", text);
    writePropertiesFile (values);

    {
        ZkOstinelAudioProcessor processor;
        EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), expectedRatio);
        EXPECT_EQ (processor.getDefaultEditorHeight(), expectedHeight (expectedRatio));
    }

    juce::PropertiesFile file (ZkOstinelAudioProcessor::getPropertiesFileOptions());
    EXPECT_EQ (file.getValue ("DefaultEditorDesktopHeightRatio").getFloatValue(), expectedRatio);
}

INSTANTIATE_TEST_SUITE_P (Texts, StoredRatio,
                          ::testing::Values (std::pair ("0.6", 0.6f), std::pair ("2.0", 2.0f),
                                             std::pair ("letters", 0.5f), std::pair ("-0.2", 0.5f),
                                             std::pair ("0", 0.5f), std::pair ("", 0.5f),
                                             std::pair ("inf", 0.5f), std::pair ("nan", 0.5f),
                                             std::pair ("1e999", 0.5f)));

TEST_F (PropertiesFileTest, EditorSizeOperationsNeverDivideByZeroOrOverflow)
{
    ZkOstinelAudioProcessor processor;

    processor.setCurrentAsDefaultEditorDesktopHeightRatio (0); // no usable ratio: the old one stays
    EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
    EXPECT_GT (processor.getDefaultEditorHeight(), 0);

    processor.setCurrentAsDefaultEditorDesktopHeightRatio (juce::roundToInt (displayHeight() / 2.0f));
    EXPECT_NEAR (processor.getDefaultEditorDesktopHeightRatio(), 0.5f, 1.0e-3f);

    processor.setCurrentAsDefaultEditorDesktopHeightRatio (juce::roundToInt (displayHeight()));
    processor.resetDefaultEditorDesktopHeightRatio();
    EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
    EXPECT_EQ (processor.getPropertiesFile()->getValue ("DefaultEditorDesktopHeightRatio"), "0.5");
}

// "Set current size as default" with no height chooses nothing: a newer ratio
// that another instance stored stays in the file.
TEST_F (PropertiesFileTest, NoHeightLeavesAnotherInstancesRatio)
{
    ZkOstinelAudioProcessor processor;
    {
        ZkOstinelAudioProcessor other;
        other.setCurrentAsDefaultEditorDesktopHeightRatio (expectedHeight (0.7f));
    }

    processor.setCurrentAsDefaultEditorDesktopHeightRatio (0);
    EXPECT_TRUE (processor.getPropertiesFile()->write());

    juce::PropertiesFile onDisk (home.getPropertiesFile(), {});
    EXPECT_NEAR (onDisk.getValue ("DefaultEditorDesktopHeightRatio").getFloatValue(), 0.7f, 1.0e-3f);
}

TEST_F (PropertiesFileTest, AHugeStoredRatioGivesABoundedHeight)
{
    juce::StringPairArray values;
    values.set ("PropertiesFileVersion", "101");
    values.set ("DefaultEditorDesktopHeightRatio", "1e30");
    writePropertiesFile (values);

    ZkOstinelAudioProcessor processor;
    EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 1.0e30f);
    EXPECT_EQ (processor.getDefaultEditorHeight(), 1000000);
}

TEST_F (PropertiesFileTest, UnusablePresetsFoldersFallBackToTheDefault)
{
    const auto aFile = home.getFolder().getChildFile ("a-file");
    ASSERT_TRUE (aFile.replaceWithText ("x"));

    for (const auto& path : {juce::String ("relative/presets"), aFile.getFullPathName(),
                             aFile.getChildFile ("below-a-file").getFullPathName()})
    {
        juce::StringPairArray values;
        values.set ("PropertiesFileVersion", "101");
        values.set ("Presets Folder", path);
        writePropertiesFile (values);

        ZkOstinelAudioProcessor processor;
        EXPECT_EQ (processor.getUserPresetsFolder(), home.getDefaultPresetsFolder()) << path;
        EXPECT_EQ (processor.getPropertiesFile()->getValue ("Presets Folder"),
                   path); // the user's setting stays
        EXPECT_TRUE (processor.saveCurrentPresetToDisk ("Saved", true));
        EXPECT_TRUE (home.getDefaultPresetsFolder().getChildFile ("Saved.zkp").existsAsFile());
    }
    EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("relative").exists());

    // A usable folder is made when missing and used.
    const auto custom = home.getFolder().getChildFile ("My Presets/Gates");
    juce::StringPairArray values;
    values.set ("PropertiesFileVersion", "101");
    values.set ("Presets Folder", custom.getFullPathName());
    writePropertiesFile (values);

    ZkOstinelAudioProcessor processor;
    EXPECT_EQ (processor.getUserPresetsFolder(), custom);
    EXPECT_TRUE (custom.isDirectory());
}
