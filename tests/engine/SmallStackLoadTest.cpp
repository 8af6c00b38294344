// Documents from outside at the deepest nesting the reader accepts: a new
// instance reads its properties file and lists its user presets, loads a
// preset and restores a host's chunk, all on a thread with a 256 kB stack,
// smaller than hosts give the threads they create instances on. One level
// deeper, each of them is refused like any damaged document, and the thread
// survives.

#include "PresetTreeTestSupport.h"

#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkUserPresetFile.h"
#include "support/SmallStackThread.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

using namespace zktest;

namespace
{
constexpr std::size_t smallStack = 256 * 1024;

// depth elements "n" inside each other.
juce::String nestedElements (int depth)
{
    return juce::String::repeatedString ("<n>", depth) + juce::String::repeatedString ("</n>", depth);
}

// A properties file whose "Nested" value nests (below PROPERTIES and VALUE)
// to depth in all, beside a ratio that tells whether the file was read.
juce::String propertiesFileText (int depth)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n"
           "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n"
           "  <VALUE name=\"DefaultEditorDesktopHeightRatio\" val=\"0.6\"/>\n"
           "  <VALUE name=\"Nested\">" +
           nestedElements (depth - 2) + "</VALUE>\n</PROPERTIES>\n";
}

// A user preset nesting to depth in all, with one parameter value.
juce::MemoryBlock presetFileBytes (int depth)
{
    const juce::String text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<ZkAudioPreset ZkPluginName=\"ZkOstinel\" PresetName=\"Deep\">"
                              "<Parameter ParameterName=\"Mix\" Value=\"0.25\"/>" +
                              nestedElements (depth - 1) + "</ZkAudioPreset>";
    juce::MemoryOutputStream out;
    out.writeString (ZkUserPresetFile::headerText);
    out.writeString (text);
    return out.getMemoryBlock();
}

// A host chunk nesting to depth in all.
juce::MemoryBlock chunkNesting (int depth)
{
    return chunkAround ("<ZkPLUGINSETTINGS pluginName=\"ZkOstinel\" programName=\"Deep chunk\">" +
                        nestedElements (depth - 1) + "</ZkPLUGINSETTINGS>");
}

struct LoadResults
{
    bool propertiesKept = false;
    bool presetListed = false;
    bool presetLoaded = false;
    bool chunkRestored = false;
};

LoadResults loadOnSmallStack (int depth)
{
    TemporaryHome home;
    const auto propertiesFile = home.getPropertiesFile();
    const auto presetFile = home.getDefaultPresetsFolder().getChildFile ("Deep.zkp");
    const auto presetBytes = presetFileBytes (depth);
    EXPECT_TRUE (propertiesFile.getParentDirectory().createDirectory());
    EXPECT_TRUE (propertiesFile.replaceWithText (propertiesFileText (depth)));
    EXPECT_TRUE (presetFile.getParentDirectory().createDirectory());
    EXPECT_TRUE (presetFile.replaceWithData (presetBytes.getData(), presetBytes.getSize()));

    LoadResults results;
    const bool ran = runOnThreadWithStack (
        smallStack,
        [&]
        {
            ZkOstinelAudioProcessor processor;
            results.propertiesKept = processor.getDefaultEditorDesktopHeightRatio() == 0.6f;
            results.presetListed = processor.getAllUserPresetNames().contains ("Deep");
            results.presetLoaded = processor.loadUserPresetUndoableWithName ("Deep");

            const auto chunk = chunkNesting (depth);
            results.chunkRestored = processor.restoreHostState (chunk.getData(), (int)chunk.getSize());
            processor.getPropertiesFile()->setNeedsToBeSaved (false);
        });

    EXPECT_TRUE (ran);
    return results;
}
} // namespace

TEST (SmallThreadStack, TheDeepestAcceptedDocumentsLoad)
{
    const auto results = loadOnSmallStack (ZkBoundedXmlReader::maxDepth);
    EXPECT_TRUE (results.propertiesKept);
    EXPECT_TRUE (results.presetListed);
    EXPECT_TRUE (results.presetLoaded);
    EXPECT_TRUE (results.chunkRestored);
}

// One level deeper, and as deep as a preset's tag count allows (a preset of
// 2,040 levels crashed a 512 kB thread in the framework's parser).
class SmallThreadStackTooDeep : public ::testing::TestWithParam<int>
{
};

TEST_P (SmallThreadStackTooDeep, IsRefusedLikeAnyDamagedDocument)
{
    const auto results = loadOnSmallStack (GetParam());
    EXPECT_FALSE (results.propertiesKept);
    EXPECT_FALSE (results.presetListed);
    EXPECT_FALSE (results.presetLoaded);
    EXPECT_FALSE (results.chunkRestored);
}

INSTANTIATE_TEST_SUITE_P (Depths, SmallThreadStackTooDeep,
                          ::testing::Values (ZkBoundedXmlReader::maxDepth + 1, 2040));
