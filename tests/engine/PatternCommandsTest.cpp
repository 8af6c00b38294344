// The pattern commands: what each writes into the current pattern (plain and
// triplet, four beats down to one), the clipboard across patterns, and one
// undo step per command.

#include "PresetTreeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

using namespace zktest;

namespace
{
juce::String letter (int patternId)
{
    return juce::String::charToString ((juce::juce_wchar) ('A' + patternId));
}

juce::String stepName (const char* prefix, int index, int patternId)
{
    return prefix + juce::String (index + 1).paddedLeft ('0', 2) + "-" + letter (patternId);
}

// Sets a pattern through its parameters, outside any undo step.
void setPattern (ZkOstinelAudioProcessor& p, int patternId, int beats, bool triplet)
{
    auto write = [&] (const juce::String& name, float v)
    { p.setParam (name, v, juce::dontSendNotification, dontStartNewTransaction, false); };

    write ("PatternLength-" + letter (patternId), beats == 4 ? 1.0f : (beats == 2 ? 0.5f : 0.0f));
    write ("TripletMode-" + letter (patternId), triplet ? 1.0f : 0.0f);

    const float classes[] = {0.125f, 0.375f, 0.625f, 0.875f};
    for (int i = 0; i < 16; ++i)
    {
        write (stepName ("StepLength-", i, patternId), classes[(i + patternId) % 4]);
        write (stepName ("StepVolume-", i, patternId), (float)(i + 1) / 32.0f + (float)patternId / 4.0f);
    }
}

struct PatternSnapshot
{
    int beats = 0;
    bool triplet = false;
    float lengths[16]{}, volumes[16]{};
};

PatternSnapshot snapshot (ZkOstinelAudioProcessor& p, int patternId)
{
    PatternSnapshot s;
    auto& pattern = p.getPattern (patternId);
    s.beats = pattern.getPatternLengthInBeats();
    s.triplet = pattern.getTripletState();
    for (int i = 0; i < 16; ++i)
    {
        s.lengths[i] = pattern.getStepLength (i);
        s.volumes[i] = pattern.getStepVolume (i);
    }
    return s;
}

std::vector<int> playingSteps (int beats, bool triplet)
{
    std::vector<int> steps;
    for (int beat = 0; beat < beats; ++beat)
        for (int slot = 0; slot < (triplet ? 3 : 4); ++slot)
            steps.push_back (4 * beat + slot);
    return steps;
}

class PatternCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int id = 0; id < 8; ++id)
            setPattern (p, id, 4, false);
        p.clearUndoHistory();
    }

    void prepare (int beats, bool triplet, int patternId = 0)
    {
        setPattern (p, patternId, beats, triplet);
        p.switchToPatternManually (patternId);
        p.clearUndoHistory();
    }

    ZkOstinelAudioProcessor p;
};

struct ShiftCase
{
    int beats;
    bool triplet;
    ShiftDirection direction;
};

class ShiftPattern : public PatternCommands, public ::testing::WithParamInterface<ShiftCase>
{
};
} // namespace

TEST_P (ShiftPattern, RotatesOnlyThePlayingStepsOfTheChosenField)
{
    const auto [beats, triplet, direction] = GetParam();
    prepare (beats, triplet, 2);
    const auto before = snapshot (p, 2);
    const auto playing = playingSteps (beats, triplet);
    const auto count = (int)playing.size();

    // Volumes only: every playing step takes its neighbour's volume, lengths stay.
    p.shiftPattern (false, true, direction);
    const auto afterVolumes = snapshot (p, 2);
    std::map<int, int> source;
    for (int k = 0; k < count; ++k)
        source[playing[(size_t)k]] =
            playing[(size_t)((k + (direction == shiftRight ? count - 1 : 1)) % count)];

    for (int i = 0; i < 16; ++i)
    {
        const auto from = source.count (i) ? source[i] : i;
        EXPECT_EQ (afterVolumes.volumes[i], before.volumes[from]) << "step " << i;
        EXPECT_EQ (afterVolumes.lengths[i], before.lengths[i]) << "step " << i;
    }

    // Lengths only: the same rotation of the lengths.
    p.shiftPattern (true, false, direction);
    const auto afterLengths = snapshot (p, 2);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (afterLengths.lengths[i], before.lengths[source.count (i) ? source[i] : i]) << "step " << i;

    // Each shift is one undo step.
    p.undoLastParameterChange();
    EXPECT_EQ (snapshot (p, 2).lengths[playing[0]], before.lengths[playing[0]]);
    EXPECT_EQ (snapshot (p, 2).volumes[playing[0]], afterVolumes.volumes[playing[0]]);
    p.undoLastParameterChange();
    EXPECT_EQ (snapshot (p, 2).volumes[playing[0]], before.volumes[playing[0]]);
    EXPECT_FALSE (p.canUndo());
}

INSTANTIATE_TEST_SUITE_P (Geometries, ShiftPattern,
                          ::testing::Values (ShiftCase{4, false, shiftRight}, ShiftCase{4, false, shiftLeft},
                                             ShiftCase{4, true, shiftRight}, ShiftCase{4, true, shiftLeft},
                                             ShiftCase{2, false, shiftRight}, ShiftCase{2, false, shiftLeft},
                                             ShiftCase{2, true, shiftRight}, ShiftCase{2, true, shiftLeft},
                                             ShiftCase{1, false, shiftRight}, ShiftCase{1, false, shiftLeft},
                                             ShiftCase{1, true, shiftRight}, ShiftCase{1, true, shiftLeft}));

TEST_F (PatternCommands, ClipboardCarriesStepsAndSettingsAcrossPatterns)
{
    prepare (2, true, 1);
    const auto source = snapshot (p, 1);
    p.copyCurrentPatternIntoClipboard (true, true, true);
    EXPECT_EQ (p.getPatternClipboard().getPatternLengthInBeats(), 2);
    EXPECT_TRUE (p.getPatternClipboard().getTripletState());
    EXPECT_FALSE (p.canUndo()); // copies are not undoable

    p.switchToPatternManually (5);
    p.clearUndoHistory();
    const auto target = snapshot (p, 5);
    p.pasteCurrentPatternFromClipboard (true, true, true);

    const auto pasted = snapshot (p, 5);
    EXPECT_EQ (valueOf (p, "PatternLength-F"), 0.5f);
    EXPECT_EQ (valueOf (p, "TripletMode-F"), 1.0f);
    EXPECT_EQ (pasted.beats, 2);
    EXPECT_TRUE (pasted.triplet);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ (pasted.lengths[i], i < 8 ? source.lengths[i] : target.lengths[i]) << i;
        EXPECT_EQ (pasted.volumes[i], i < 8 ? source.volumes[i] : target.volumes[i]) << i;
    }

    // Undo: the steps first, then the triplet switch, then the length.
    p.undoLastParameterChange();
    EXPECT_EQ (snapshot (p, 5).volumes[0], target.volumes[0]);
    EXPECT_TRUE (snapshot (p, 5).triplet);
    p.undoLastParameterChange();
    EXPECT_FALSE (snapshot (p, 5).triplet);
    EXPECT_EQ (snapshot (p, 5).beats, 2);
    p.undoLastParameterChange();
    EXPECT_EQ (snapshot (p, 5).beats, 4);
    EXPECT_FALSE (p.canUndo());
}

TEST_F (PatternCommands, ShortCopyWithoutSettingsKeepsTheRestOfTheClipboard)
{
    prepare (4, false, 0);
    const auto fourBeats = snapshot (p, 0);
    p.copyCurrentPatternIntoClipboard (true, true, true);

    prepare (1, false, 3);
    const auto oneBeat = snapshot (p, 3);
    p.copyCurrentPatternIntoClipboard (true, true, false);

    const auto& clipboard = p.getPatternClipboard();
    EXPECT_EQ (clipboard.getPatternLengthInBeats(), 4);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (clipboard.getStepVolume (i), i < 4 ? oneBeat.volumes[i] : fourBeats.volumes[i]) << i;

    // The paste follows the clipboard's length: all 16 steps of the one-beat pattern.
    p.pasteCurrentPatternFromClipboard (false, true, false);
    const auto pasted = snapshot (p, 3);
    EXPECT_EQ (pasted.beats, 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (pasted.volumes[i], clipboard.getStepVolume (i)) << i;
    EXPECT_EQ (pasted.lengths[5], oneBeat.lengths[5]);
}

TEST_F (PatternCommands, BeatCopyAndPasteMoveFourStepsAndOutOfRangeBeatsReadSilence)
{
    prepare (4, false, 0);
    const auto before = snapshot (p, 0);

    p.copyPatternBeatIntoClipboard (false, true, 2); // volumes of steps 8..11
    p.pastePatternBeatFromClipboard (false, true, 0);
    const auto after = snapshot (p, 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (after.volumes[i], i < 4 ? before.volumes[8 + i] : before.volumes[i]) << i;
    EXPECT_TRUE (p.canUndo());

    for (const int beat : {-1, 4, 1000000000, -1000000000})
    {
        p.copyPatternBeatIntoClipboard (true, true, beat);
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ (p.getPatternClipboard().getStepLength (i), 0.125f);
            EXPECT_EQ (p.getPatternClipboard().getStepVolume (i), 0.0f);
        }
        p.clearUndoHistory();
        p.pastePatternBeatFromClipboard (true, true, beat); // names no step: only the transaction
        EXPECT_FALSE (p.canUndo());
    }

    // Step ranges reaching outside 0..15 in either direction, and reversed ones.
    p.copyPatternStepsToClipboard (true, true, -2, 1); // clipboard 0, 1 read nothing; 2, 3 steps 0, 1
    EXPECT_EQ (p.getPatternClipboard().getStepVolume (1), 0.0f);
    EXPECT_EQ (p.getPatternClipboard().getStepVolume (2), after.volumes[0]);
    p.pastePatternStepsFromClipboard (false, true, 14, std::numeric_limits<int>::max());
    EXPECT_EQ (snapshot (p, 0).volumes[14], p.getPatternClipboard().getStepVolume (0));
    p.pastePatternStepsFromClipboard (false, true, std::numeric_limits<int>::min(), 0);
    EXPECT_EQ (snapshot (p, 0).volumes[0], 0.0f); // clipboard index far beyond 15 reads 0.0
    p.clearUndoHistory();
    p.pastePatternStepsFromClipboard (true, true, 5, 4);
    EXPECT_FALSE (p.canUndo());
}

TEST_F (PatternCommands, RandomFillWritesOnlyThePatternsStepsAndDrawsLengthClasses)
{
    prepare (1, true, 0);
    const auto before = snapshot (p, 0);

    p.createRandomPattern (false, true);
    auto after = snapshot (p, 0);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ (after.lengths[i], before.lengths[i]);
        if (i >= 4)
            EXPECT_EQ (after.volumes[i], before.volumes[i]);
        else
            EXPECT_TRUE (after.volumes[i] >= 0.0f && after.volumes[i] < 1.0f);
    }

    p.createRandomPattern (true, false);
    after = snapshot (p, 0);
    for (int i = 4; i < 16; ++i)
        EXPECT_EQ (after.lengths[i], before.lengths[i]);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE (after.lengths[i] == 0.125f || after.lengths[i] == 0.375f || after.lengths[i] == 0.625f ||
                     after.lengths[i] == 0.875f);

    p.undoLastParameterChange();
    p.undoLastParameterChange();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (snapshot (p, 0).volumes[i], before.volumes[i]);
}

TEST_F (PatternCommands, RandomStepLengthFollowsTheWeightsAndRetriesARepeatOnce)
{
    std::map<float, int> first, repeat;
    const int draws = 200000;
    for (int i = 0; i < draws; ++i)
    {
        ++first[p.getNextRandomStepLength (-1.0f)];
        ++repeat[p.getNextRandomStepLength (0.375f)];
    }

    const auto share = [&] (std::map<float, int>& counts, float v) { return (double)counts[v] / draws; };
    EXPECT_NEAR (share (first, 0.125f), 0.16, 0.005);
    EXPECT_NEAR (share (first, 0.375f), 0.52, 0.005);
    EXPECT_NEAR (share (first, 0.625f), 0.16, 0.005);
    EXPECT_NEAR (share (first, 0.875f), 0.16, 0.005);
    EXPECT_NEAR (share (repeat, 0.375f), 0.52 * 0.52, 0.005); // both draws ShortStep
    EXPECT_EQ (first.size(), 4u);
}

TEST_F (PatternCommands, InitResetsThePatternsStepsAndOptionallyItsLength)
{
    prepare (2, true, 0);
    const auto before = snapshot (p, 0);

    p.initPattern (true, false, false);
    auto after = snapshot (p, 0);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ (after.lengths[i], i < 8 ? 0.375f : before.lengths[i]) << i;
        EXPECT_EQ (after.volumes[i], before.volumes[i]) << i;
    }

    p.initPattern (true, true, true);
    after = snapshot (p, 0);
    EXPECT_EQ (after.beats, 4);
    EXPECT_TRUE (after.triplet);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ (after.lengths[i], 0.375f);
        EXPECT_EQ (after.volumes[i], 1.0f);
    }

    p.undoLastParameterChange(); // length and steps together
    EXPECT_EQ (snapshot (p, 0).beats, 2);
    EXPECT_EQ (snapshot (p, 0).volumes[12], before.volumes[12]);
}

TEST_F (PatternCommands, TripletAndLengthSwitchesAreOneStepEach)
{
    p.setCurrentPatternLengthInBeats (3);
    EXPECT_EQ (p.getCurrentPatternLengthInBeats(), 4);
    p.setCurrentPatternLengthInBeats (1);
    EXPECT_EQ (p.getCurrentPatternLengthInBeats(), 1);
    p.setCurrentPatternLengthInBeats (2);
    EXPECT_EQ (p.getCurrentPatternLengthInBeats(), 2);
    p.setCurrentTripletMode (true);
    EXPECT_TRUE (p.getPattern (0).getTripletState());
    EXPECT_EQ (p.getCurrentPresetName(), "Default*");

    p.undoLastParameterChange();
    EXPECT_FALSE (p.getPattern (0).getTripletState());
    p.undoLastParameterChange();
    EXPECT_EQ (p.getCurrentPatternLengthInBeats(), 1);
    p.undoLastParameterChange();
    EXPECT_EQ (p.getCurrentPatternLengthInBeats(), 4);
    p.undoLastParameterChange(); // 3 asked for four beats, which it already had: nothing recorded
    EXPECT_FALSE (p.canUndo());
}

TEST_F (PatternCommands, SwitchingPatternsIsOneStepAndTheCurrentOneIsNoChange)
{
    ParameterChangeCounter host;
    p.addListener (&host);

    p.switchToPatternManually (0);
    p.switchToPatternManually (8);
    p.switchToPatternManually (-1);
    EXPECT_EQ (host.count, 0);
    EXPECT_FALSE (p.canUndo());
    EXPECT_FALSE (p.currentPresetWasModified());

    for (int id = 1; id < 8; ++id)
    {
        p.switchToPatternManually (id);
        EXPECT_EQ (p.getCurrentPatternId(), id);
    }
    EXPECT_EQ (host.count, 7);
    EXPECT_TRUE (p.currentPresetWasModified());

    p.undoLastParameterChange();
    EXPECT_EQ (p.getCurrentPatternId(), 6);
    p.removeListener (&host);
}

TEST_F (PatternCommands, EveryWritingCommandIsOneUndoStepInEveryGeometry)
{
    const std::pair<const char*, std::function<void (ZkOstinelAudioProcessor&)>> commands[] = {
        {"shift", [] (auto& q) { q.shiftPattern (true, true, shiftRight); }},
        {"paste", [] (auto& q) { q.pasteCurrentPatternFromClipboard (true, true, false); }},
        {"paste beat", [] (auto& q) { q.pastePatternBeatFromClipboard (true, true, 1); }},
        {"random", [] (auto& q) { q.createRandomPattern (true, true); }},
        {"init", [] (auto& q) { q.initPattern (true, true, true); }},
    };

    for (const auto& [beats, triplet] : {std::pair{4, false}, {2, true}, {1, true}, {1, false}})
    {
        for (const auto& [name, command] : commands)
        {
            setPattern (p, 6, 4, false);
            p.switchToPatternManually (6);
            p.copyCurrentPatternIntoClipboard (true, true, true);
            prepare (beats, triplet, 4);
            const auto before = allParameterValues (p);

            command (p);
            const auto after = allParameterValues (p);
            ASSERT_NE (after, before) << name << " " << beats << " " << triplet;
            EXPECT_TRUE (p.currentPresetWasModified());

            p.undoLastParameterChange();
            EXPECT_EQ (allParameterValues (p), before) << name << " " << beats << " " << triplet;
            EXPECT_FALSE (p.canUndo()) << name;
            p.redoLastParameterChange();
            EXPECT_EQ (allParameterValues (p), after) << name;
        }
    }
}
