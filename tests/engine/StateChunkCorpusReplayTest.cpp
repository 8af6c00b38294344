// Replays the state chunk fuzzer's corpus (fuzz/corpus/state: real chunks and
// whatever fuzzing added) through two processors, as the fuzz target does, so
// that every build checks it, also without clang.

#include "PresetTreeTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zktest;

namespace
{
// The corpus lies in the source tree; the build folder is inside it (or
// ZK_SOURCE_DIR names it).
juce::File findCorpus()
{
    const auto relative = "fuzz/corpus/state";

    if (const auto* source = std::getenv ("ZK_SOURCE_DIR"))
        return juce::File (source).getChildFile (relative);

    for (auto start : {juce::File::getSpecialLocation (juce::File::currentExecutableFile),
                       juce::File::getCurrentWorkingDirectory()})
        for (auto folder = start; folder != folder.getParentDirectory(); folder = folder.getParentDirectory())
            if (folder.getChildFile (relative).isDirectory())
                return folder.getChildFile (relative);

    return {};
}

juce::MemoryBlock readFile (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}
} // namespace

TEST (StateChunkCorpusReplay, EveryInputRestoresAndWhatItSavesRestoresToTheSameBytes)
{
    const auto corpus = findCorpus();
    ASSERT_TRUE (corpus.isDirectory()) << "fuzz/corpus/state not found; set ZK_SOURCE_DIR";

    const auto files = corpus.findChildFiles (juce::File::findFiles, false);
    ASSERT_GE (files.size(), 30);

    ZkOstinelAudioProcessor restored, checker;

    for (const auto& file : files)
    {
        restore (restored, readFile (file));
        restored.beginNewTransaction();
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
