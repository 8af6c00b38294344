// What the processor holds, its host state chunk gives back: every finite value
// the host can set comes back bit for bit with the same display text, names
// are cut where they come in, and the largest state the processor accepts
// (longest names of characters that need escaping, every parameter at a value
// with a long text, settings with all their digits) still reads back.

#include "PresetTreeTestSupport.h"
#include "engine/ZkHostStateChunk.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // the host's index-based parameter interface
#endif

using namespace zktest;

namespace
{
uint32_t bitsOf (float value)
{
    uint32_t bits = 0;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits;
}

// What a host sees of every parameter: the value's bits and its display text.
struct HostView
{
    std::vector<uint32_t> bits;
    std::vector<juce::String> texts;
};

HostView hostViewOf (ZkOstinelAudioProcessor& p)
{
    HostView view;

    for (int index = 0; index < p.getNumParameters(); ++index)
    {
        view.bits.push_back (bitsOf (p.getParameter (index)));
        view.texts.push_back (p.getParameterText (index));
    }

    return view;
}

void expectSameHostView (ZkOstinelAudioProcessor& restored, ZkOstinelAudioProcessor& original)
{
    const auto expected = hostViewOf (original);
    const auto actual = hostViewOf (restored);

    for (size_t i = 0; i < expected.bits.size(); ++i)
    {
        EXPECT_EQ (actual.bits[i], expected.bits[i])
            << original.getParameterName ((int)i) << ": " << restored.getParameter ((int)i) << " instead of "
            << original.getParameter ((int)i);
        EXPECT_EQ (actual.texts[i], expected.texts[i]) << original.getParameterName ((int)i);
    }
}

// Finite values a host may send besides 0..1: overshoots, denormals, the float
// limits, negative zero.
const float hostValues[] = {-1.0e-8f,   2.0f,       -0.0f,   1.0e-45f,    -1.0e-45f, 1.17549435e-38f,
                            FLT_MAX,    -FLT_MAX,   1.0e30f, -123456.79f, 0.1f,      0.99999994f,
                            1.0000001f, 0.33333334f};

class EveryFiniteHostValue : public ::testing::TestWithParam<float>
{
};
} // namespace

TEST_P (EveryFiniteHostValue, ComesBackBitForBitWithItsDisplayText)
{
    ZkOstinelAudioProcessor original;

    for (int index = 0; index < original.getNumParameters(); ++index)
        original.setParameter (index, GetParam());

    ZkOstinelAudioProcessor restored;
    ASSERT_TRUE (restored.restoreHostState (stateOf (original).getData(), (int)stateOf (original).getSize()));
    expectSameHostView (restored, original);
}

INSTANTIATE_TEST_SUITE_P (Values, EveryFiniteHostValue, ::testing::ValuesIn (hostValues));

TEST (StateRoundTripLimits, NamesAreCutWhereTheyComeIn)
{
    const juce::String huge = juce::String::repeatedString (">", 1000000);
    constexpr int longestName = ZkOstinelAudioProcessor::maxProgramNameLength;
    constexpr int longestChannel = ZkOstinelAudioProcessor::maxChannelNameLength;

    // From the host or the editor.
    ZkOstinelAudioProcessor p;
    p.changeProgramName (0, huge);
    p.setChannelName (huge);
    EXPECT_EQ (p.getProgramName (0), huge.substring (0, longestName));
    EXPECT_EQ (p.getChannelName(), huge.substring (0, longestChannel));

    // From a chunk that the reader takes, with as many raw ">" as fit in it (each
    // one is written back as "&gt;").
    ZkOstinelAudioProcessor source;
    source.changeProgramName (0, "Placeholder");
    const auto ownText = chunkText (stateOf (source));
    const auto raw =
        juce::String::repeatedString (">", ZkHostStateChunk::maxTextLength - ownText.length() - 64);
    const auto rawChunk =
        chunkAround (ownText.replace ("programName=\"Placeholder\"", "programName=\"" + raw + "*\""));
    ASSERT_LE (chunkText (rawChunk).getNumBytesAsUTF8(), (size_t)ZkHostStateChunk::maxTextLength);

    ZkOstinelAudioProcessor fromChunk;
    ASSERT_TRUE (fromChunk.restoreHostState (rawChunk.getData(), (int)rawChunk.getSize()));
    EXPECT_EQ (fromChunk.getProgramName (0), raw.substring (0, longestName) + "*"); // the mark stays

    // What it holds now, it writes so that it reads back.
    ZkOstinelAudioProcessor again;
    ASSERT_TRUE (again.restoreHostState (stateOf (fromChunk).getData(), (int)stateOf (fromChunk).getSize()));
    EXPECT_EQ (again.getProgramName (0), fromChunk.getProgramName (0));
    EXPECT_EQ (again.getChannelName(), fromChunk.getChannelName());
}

TEST (StateRoundTripLimits, TheLargestStateItAcceptsReadsBackWhole)
{
    ZkOstinelAudioProcessor original;

    // The longest names, of the character with the longest escape, and modified.
    const auto quotes = juce::String::repeatedString ("\"", 100000);
    original.setCurrentPresetNameUndoable (quotes);
    original.setParam ("Mix", 0.5f, juce::sendNotification, startNewTransaction, true);
    original.setChannelName (quotes);
    ASSERT_TRUE (original.getProgramName (0).endsWithChar ('*'));

    // Every parameter at the host value with its longest display text.
    for (int index = 0; index < original.getNumParameters(); ++index)
    {
        float longest = 0.0f;
        int longestLength = -1;

        for (const float value : hostValues)
        {
            original.setParameter (index, value);

            if (original.getParameterText (index).length() > longestLength)
            {
                longest = value;
                longestLength = original.getParameterText (index).length();
            }
        }

        original.setParameter (index, longest);
    }

    // Settings with every digit a double has, and the largest sample offset.
    auto* settings = original.getVarItemManager();
    settings->setVarItemValue ("viWaveDisplayZoomFactorYNormed", 0.37843137254901960);
    settings->setVarItemValue ("viWaveDisplayCursorTailBrightness", 1.0 / 3.0);
    settings->setVarItemValue ("viWaveDisplayRhythmicLinesBrightness", 2.0e-7 / 3.0);
    original.setVarItemValue ("viDawTimingOffsetInSamples", -99999999);

    const auto chunk = stateOf (original);
    ASSERT_LE (chunk.getSize(), (size_t)ZkHostStateChunk::maxTextLength);

    ZkOstinelAudioProcessor restored;
    ASSERT_TRUE (restored.restoreHostState (chunk.getData(), (int)chunk.getSize()));
    expectSameHostView (restored, original);
    EXPECT_EQ (restored.getProgramName (0), original.getProgramName (0));
    EXPECT_EQ (restored.getChannelName(), original.getChannelName());

    for (int id = 0; id < settings->getNumberOfVarItems(); ++id)
        EXPECT_EQ (restored.getVarItemManager()->getVar (id).toString(), settings->getVar (id).toString())
            << settings->getVarItemName (id);
    EXPECT_EQ ((double)restored.getVarItemManager()->getVar ("viWaveDisplayZoomFactorYNormed"),
               0.37843137254901960);

    EXPECT_EQ (stateOf (restored), chunk);
}
