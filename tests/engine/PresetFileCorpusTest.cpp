// Every file of the preset file fuzz target's corpus, replayed with the
// target's own check (listing and loading agree, a refused file changes nothing).

#include "PresetTestFixture.h"

#include "fuzz/PresetFileCheck.h"

namespace
{
class PresetFileCorpusTest : public PresetTestFixture
{
};
} // namespace

TEST_F (PresetFileCorpusTest, EveryCorpusFileKeepsTheInvariants)
{
    const juce::File corpus (juce::String (ZK_FUZZ_CORPUS_DIR) + "/preset");
    ASSERT_TRUE (corpus.isDirectory()) << corpus.getFullPathName();

    int numFiles = 0, numLoaded = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (corpus, false, "*", juce::File::findFiles))
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (entry.getFile().loadFileAsData (bytes));

        const auto result = checkPresetFileBytes (*processor, bytes.getData(), bytes.getSize());
        EXPECT_TRUE (result.invariantsHold) << entry.getFile().getFileName();
        EXPECT_TRUE (result.loaded || !entry.getFile().getFileName().startsWith ("previous-version-"))
            << entry.getFile().getFileName();
        ++numFiles;
        numLoaded += result.loaded ? 1 : 0;
    }

    // The seeds hold saved presets, plain and compressed, and broken ones.
    EXPECT_GE (numFiles, 4);
    EXPECT_GE (numLoaded, 2);
    EXPECT_LT (numLoaded, numFiles);
}
