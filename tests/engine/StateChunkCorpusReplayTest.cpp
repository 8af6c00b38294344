// Replays the state chunk fuzzer's corpus (fuzz/corpus/state: real chunks and
// whatever fuzzing added) through two processors, as the fuzz target does, so
// that every build checks it, also without clang: names well-formed UTF-8, and
// what the first saves restores to the same bytes.

#include "PresetTreeTestSupport.h"

#include "engine/ZkUtf8.h"

#include <gtest/gtest.h>

using namespace zktest;

namespace
{
// The corpus lies in the source tree; the build names it.
juce::File findCorpus()
{
    return juce::File (juce::String (ZK_FUZZ_CORPUS_DIR) + "/state");
}

juce::MemoryBlock readFile (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}

bool isWellFormed (const juce::String& text)
{
    return ZkUtf8::isValid (text.toRawUTF8(), std::strlen (text.toRawUTF8()));
}
} // namespace

TEST (StateChunkCorpusReplay, EveryInputRestoresAndWhatItSavesRestoresToTheSameBytes)
{
    const auto corpus = findCorpus();
    ASSERT_TRUE (corpus.isDirectory()) << "fuzz/corpus/state not found";

    const auto files = corpus.findChildFiles (juce::File::findFiles, false);
    ASSERT_GE (files.size(), 30);

    ZkOstinelAudioProcessor restored, checker;

    for (const auto& file : files)
    {
        // Chunks of the previous version with names it kept as they came load.
        const auto chunk = readFile (file);
        const bool loaded = restored.restoreHostState (chunk.getData(), (int)chunk.getSize());
        EXPECT_TRUE (loaded || !file.getFileName().startsWith ("previous-version-")) << file.getFileName();
        restored.beginNewTransaction();
        EXPECT_TRUE (isWellFormed (restored.getProgramName (0))) << file.getFileName();
        EXPECT_TRUE (isWellFormed (restored.getChannelName())) << file.getFileName();
        const auto saved = stateOf (restored);

        restore (checker, saved);
        checker.beginNewTransaction();
        EXPECT_EQ (stateOf (checker), saved) << file.getFileName();
    }
}

TEST (StateChunkCorpusReplay, RealChunksSaveBackUnchangedFromAFreshInstance)
{
    const auto corpus = findCorpus();
    ASSERT_TRUE (corpus.isDirectory());
    int checked = 0;

    for (const auto& file : corpus.findChildFiles (juce::File::findFiles, false))
    {
        const auto name = file.getFileNameWithoutExtension();

        if (!(name == "default" || name.startsWith ("factory-") || name == "edited-modified"))
            continue;

        ZkOstinelAudioProcessor fresh;
        const auto chunk = readFile (file);
        restore (fresh, chunk);
        EXPECT_EQ (stateOf (fresh), chunk) << file.getFileName();
        ++checked;
    }

    EXPECT_GE (checked, 29);
}
