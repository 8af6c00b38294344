// Host state chunks that are damaged, foreign or hostile: a chunk that cannot
// be read changes nothing; a readable one with bad values takes only the
// readable, finite ones that fit their field.

#include "PresetTreeTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zktest;

namespace
{
struct CorruptChunk
{
    const char* name;
    std::function<juce::MemoryBlock (const juce::MemoryBlock& valid)> make;
};

juce::MemoryBlock withByte (juce::MemoryBlock block, size_t index, uint8_t value)
{
    static_cast<uint8_t*> (block.getData())[index] = value;
    return block;
}

juce::MemoryBlock replaced (const juce::MemoryBlock& valid, const juce::String& from, const juce::String& to)
{
    return chunkAround (chunkText (valid).replace (from, to));
}

const CorruptChunk corruptChunks[] = {
    {"Empty", [] (const juce::MemoryBlock&) { return juce::MemoryBlock(); }},
    {"HeaderOnly", [] (const juce::MemoryBlock& v) { return juce::MemoryBlock (v.getData(), 8); }},
    {"CutInTheMiddle",
     [] (const juce::MemoryBlock& v) { return juce::MemoryBlock (v.getData(), v.getSize() / 2); }},
    {"CutBeforeTheEnd",
     [] (const juce::MemoryBlock& v) { return juce::MemoryBlock (v.getData(), v.getSize() - 4); }},
    {"CutBetweenAttributes",
     [] (const juce::MemoryBlock& v)
     {
         const auto text = chunkText (v);
         return chunkAround (text.substring (0, text.indexOf ("Mix=")));
     }},
    {"WrongMagic", [] (const juce::MemoryBlock& v) { return withByte (v, 0, 0x57); }},
    {"ZeroLength", [] (const juce::MemoryBlock& v) { return withByte (withByte (v, 4, 0), 5, 0); }},
    {"NegativeLength", [] (const juce::MemoryBlock& v) { return withByte (v, 7, 0x80); }},
    {"NotXml",
     [] (const juce::MemoryBlock&) { return chunkAround ("ZkPLUGINSETTINGS pluginName=ZkOstinel"); }},
    {"OtherRootElement",
     [] (const juce::MemoryBlock& v) { return replaced (v, "ZkPLUGINSETTINGS", "OtherPlugin"); }},
    {"RootInOtherCase",
     [] (const juce::MemoryBlock& v) { return replaced (v, "ZkPLUGINSETTINGS", "zkpluginsettings"); }},
    {"OtherPluginName",
     [] (const juce::MemoryBlock& v) { return replaced (v, "\"ZkOstinel\"", "\"ZKOSTINEL\""); }},
    {"NoPluginName",
     [] (const juce::MemoryBlock& v) { return replaced (v, "pluginName=\"ZkOstinel\"", ""); }},
    {"InvalidUtf8", [] (const juce::MemoryBlock& v) { return withByte (v, 20, 0xff); }},
    {"EntityBomb",
     [] (const juce::MemoryBlock& v)
     {
         return chunkAround ("<!DOCTYPE ZkPLUGINSETTINGS [<!ENTITY a \"&a;&a;\">]>" +
                             chunkText (v).replace ("\"No Channel Name\"", "\"&a;\""));
     }},
    {"DeepNesting",
     [] (const juce::MemoryBlock& v)
     {
         return chunkAround (chunkText (v).replace ("/>", ">" + juce::String::repeatedString ("<a>", 100000) +
                                                              juce::String::repeatedString ("</a>", 100000) +
                                                              "</ZkPLUGINSETTINGS>"));
     }},
    {"RandomBytes",
     [] (const juce::MemoryBlock& v)
     {
         juce::MemoryBlock block (v);
         juce::Random random (99);
         for (size_t i = 8; i < block.getSize(); ++i)
             static_cast<uint8_t*> (block.getData())[i] = (uint8_t)random.nextInt (256);
         return block;
     }},
};

class CorruptStateChunks : public ::testing::TestWithParam<CorruptChunk>
{
};
} // namespace

TEST_P (CorruptStateChunks, ChangeNothing)
{
    // A restorable chunk that differs from the processor's own state in every way.
    ZkOstinelAudioProcessor other;
    other.setCurrentPresetNameUndoable ("Other");
    other.setChannelName ("Other Channel");
    other.setParam ("Mix", 0.11f, juce::sendNotification, startNewTransaction, true);
    other.setVarItemValue ("viGlobalFxOffIsActive", 1.0);
    const auto corrupt = GetParam().make (stateOf (other));

    ZkOstinelAudioProcessor p;
    p.setParam ("Swing", 0.8f, juce::sendNotification, startNewTransaction, true);
    const auto before = stateOf (p);
    const auto undoable = p.canUndo();

    restore (p, corrupt);

    EXPECT_EQ (stateOf (p), before) << GetParam().name;
    EXPECT_EQ (p.canUndo(), undoable);
    EXPECT_TRUE (p.currentPresetWasModified());
}

INSTANTIATE_TEST_SUITE_P (Chunks, CorruptStateChunks, ::testing::ValuesIn (corruptChunks),
                          [] (const auto& paramInfo) { return std::string (paramInfo.param.name); });

TEST (PartlyReadableStateChunk, TakesOnlyReadableFiniteValues)
{
    ZkOstinelAudioProcessor source;
    source.setEditorHeight (600);
    source.setParam ("Swing", 0.9f, juce::sendNotification, startNewTransaction, false);
    auto xml = juce::parseXML (chunkText (stateOf (source)));
    xml->setAttribute ("defaultEditorHeight", "1e9");
    xml->setAttribute ("lastEditorHeight", "-20");
    xml->setAttribute ("Mix", "nan");
    xml->setAttribute ("Hold", "1e300");
    xml->setAttribute ("Decay", "-0.5");
    xml->setAttribute ("Release", "1.5");
    xml->setAttribute ("Attack", "0.25abc");
    xml->setAttribute ("currentPresetIsFactory", "yes");
    xml->setAttribute ("viDawTimingOffsetInSamples", "1e300");
    xml->setAttribute ("viWaveDisplayZoomFactorYNormed", "inf");
    xml->setAttribute ("viPatternCommandTabContent", "2");

    ZkOstinelAudioProcessor p;
    p.setEditorHeight (480);
    const auto defaultHeight = p.getDefaultEditorHeight();
    p.setVarItemValue ("viDawTimingOffsetInSamples", 77);
    p.getVarItemManager()->setVarItemValue ("viWaveDisplayZoomFactorYNormed", 0.25);
    const auto before = allParameterValues (p);

    restore (p, chunkAround (xml->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())));

    EXPECT_EQ (p.getDefaultEditorHeight(), defaultHeight);
    EXPECT_EQ (p.getEditorHeight(), defaultHeight); // unreadable: as if missing
    for (const char* name : {"Mix", "Hold", "Attack"})
        EXPECT_EQ (valueOf (p, name), before[(size_t)indexOf (p, name)]) << name;
    EXPECT_EQ (valueOf (p, "Swing"), 0.9f);
    EXPECT_EQ (valueOf (p, "Decay"), -0.5f); // finite values outside 0..1 are what a host may have set
    EXPECT_EQ (valueOf (p, "Release"), 1.5f);
    EXPECT_FALSE (p.currentPresetIsFactory());
    EXPECT_EQ ((int)p.getVarItemManager()->getVar ("viDawTimingOffsetInSamples"), 77);
    EXPECT_EQ ((double)p.getVarItemManager()->getVar ("viWaveDisplayZoomFactorYNormed"), 0.25);
    EXPECT_EQ ((int)p.getVarItemManager()->getVar ("viPatternCommandTabContent"), 2);

    // What was kept is what the tree holds.
    for (int i = 0; i < p.getParameterManager()->getNumberOfParameters(); ++i)
        ASSERT_EQ (p.getParamValueFromValueTree (&p.getCurrentPresetTree(), i),
                   p.getParameterManager()->getParameterValue (i));
}
