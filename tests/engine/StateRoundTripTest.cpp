// The host state chunk between two processors: what is written, what a second
// instance restores, that a restored state saves back byte for byte, and how a
// restore meets the undo history and the live transport state.

#include "PresetTreeTestSupport.h"
#include "support/ZkOstinelAudioProcessorTestProbe.h"

#include <gtest/gtest.h>

using namespace zktest;

namespace
{
// Every parameter away from its default, settings, editor values and a modified name.
void makeDistinctState (ZkOstinelAudioProcessor& p)
{
    juce::Random random (1234);
    auto* manager = p.getParameterManager();

    for (int i = 0; i < manager->getNumberOfParameters(); ++i)
        if (manager->getParameterName (i) != "PatternSelect")
            p.setParam (i, random.nextFloat(), juce::dontSendNotification, dontStartNewTransaction, false);

    p.setParam ("PatternSelect", 3.0f / 7.0f, juce::sendNotification, startNewTransaction, false);
    p.setCurrentPresetNameUndoable ("My Gate");
    p.setParam ("Mix", 0.5f, juce::sendNotification, startNewTransaction, true); // marks it modified
    p.setEditorHeight (700);
    p.setChannelName ("Drums & <Bass>");
    p.setVarItemValue ("viGlobalFxOffIsActive", 1.0);
    p.setVarItemValue ("viDawTimingOffsetState", 1.0);
    p.setVarItemValue ("viDawTimingOffsetInSamples", -250);
    p.getVarItemManager()->setVarItemValue ("viWaveDisplayZoomFactorYNormed", 0.37);
    p.getVarItemManager()->setVarItemValue ("viPatternCommandTabContent", 3);
}
} // namespace

TEST (StateRoundTrip, ChunkHoldsTheFixedAttributesThenParametersThenSettingsInOrder)
{
    ZkOstinelAudioProcessor p;
    const auto text = chunkText (stateOf (p));
    ASSERT_TRUE (text.startsWith ("<ZkPLUGINSETTINGS pluginName=\"ZkOstinel\" defaultEditorHeight=")) << text;
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));

    const auto xml = juce::parseXML (text);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getNumChildElements(), 0);

    juce::StringArray expected{
        "pluginName",  "defaultEditorHeight", "lastEditorHeight",      "colourSchemeBrightnessAsDouble",
        "programName", "channelName",         "currentPresetIsFactory"};
    for (int i = 0; i < p.getParameterManager()->getNumberOfParameters(); ++i)
        expected.add (p.getParameterManager()->getParameterName (i));
    for (int id = 0; id < p.getVarItemManager()->getNumberOfVarItems(); ++id)
        expected.add (p.getVarItemManager()->getVarItemName (id));

    ASSERT_EQ (xml->getNumAttributes(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ (xml->getAttributeName (i), expected[i]) << i;

    EXPECT_EQ (xml->getStringAttribute ("programName"), "Default");
    EXPECT_EQ (xml->getStringAttribute ("currentPresetIsFactory"), "1");
    EXPECT_EQ (xml->getStringAttribute ("viAutoRunInStopMode"), "1");
    EXPECT_EQ (xml->getStringAttribute ("viWaveDisplayCursorTailBrightness"), "0.5");
}

TEST (StateRoundTrip, SecondInstanceRestoresEverythingAndSavesTheSameBytes)
{
    ZkOstinelAudioProcessor a;
    makeDistinctState (a);
    const auto chunk = stateOf (a);

    ZkOstinelAudioProcessor b;
    restore (b, chunk);

    EXPECT_EQ (allParameterValues (b), allParameterValues (a));
    EXPECT_EQ (b.getCurrentPatternId(), 3);
    EXPECT_EQ (b.getEditorHeight(), 700);
    EXPECT_EQ (b.getDefaultEditorHeight(), a.getDefaultEditorHeight());
    EXPECT_EQ (b.getChannelName(), "Drums & <Bass>");
    EXPECT_EQ (b.getCurrentPresetName(), "My Gate*"); // the mark is now part of the name
    EXPECT_FALSE (b.currentPresetWasModified());
    EXPECT_TRUE (b.currentPresetIsFactory()); // renaming keeps the kind ...
    EXPECT_EQ (b.getCurrentPresetID(), 0);    // ... but "My Gate*" names no preset

    for (int id = 0; id < a.getVarItemManager()->getNumberOfVarItems(); ++id)
        EXPECT_EQ ((double)b.getVarItemManager()->getVar (id), (double)a.getVarItemManager()->getVar (id))
            << a.getVarItemManager()->getVarItemName (id);

    ZkOstinelAudioProcessorTestProbe probe (b);
    EXPECT_TRUE (probe.globalFxOff());
    EXPECT_TRUE (probe.dawTimingOffsetOn());
    EXPECT_EQ (probe.dawTimingOffsetInSamples(), -250);
    EXPECT_EQ (b.getPattern (1).getStepLength (5), a.getPattern (1).getStepLength (5));
    EXPECT_EQ (b.getPattern (7).getStepVolume (15), a.getPattern (7).getStepVolume (15));

    // The tree follows the restored values.
    for (int i = 0; i < b.getParameterManager()->getNumberOfParameters(); ++i)
        ASSERT_EQ (b.getParamValueFromValueTree (&b.getCurrentPresetTree(), i),
                   b.getParameterManager()->getParameterValue (i));

    // Restored and saved again: the same bytes, and again from a third instance.
    const auto again = stateOf (b);
    EXPECT_EQ (again, chunk) << chunkText (again) << "\n" << chunkText (chunk);

    ZkOstinelAudioProcessor c;
    restore (c, again);
    EXPECT_EQ (stateOf (c), again);
}

TEST (StateRoundTrip, FactoryPresetIsFoundAgainByItsName)
{
    ZkOstinelAudioProcessor a;
    a.loadFactoryPresetUndoableWithID (4);
    const auto chunk = stateOf (a);

    ZkOstinelAudioProcessor b;
    ASSERT_EQ (b.getCurrentPresetID(), 0);
    restore (b, chunk);
    EXPECT_TRUE (b.currentPresetIsFactory());
    EXPECT_EQ (b.getCurrentPresetID(), 4);
    EXPECT_EQ (b.getCurrentPresetName(), a.getCurrentPresetName());
}

TEST (StateRoundTrip, MissingAttributesTakeTheirDocumentedDefaults)
{
    ZkOstinelAudioProcessor a;
    a.setEditorHeight (640);
    a.setChannelName ("Keys");
    a.setParam ("Mix", 0.7f, juce::sendNotification, startNewTransaction, false);

    ZkOstinelAudioProcessor b;
    b.setChannelName ("Old");
    b.setEditorHeight (123);
    b.loadFactoryPresetUndoableWithID (2);

    // Without lastEditorHeight: the chunk's default height.
    const juce::String defaultHeight ("333");
    auto chunk = chunkWithAttribute (a, "defaultEditorHeight", &defaultHeight);
    auto xml = juce::parseXML (chunkText (chunk));
    for (const char* name : {"lastEditorHeight", "Mix", "channelName", "programName",
                             "currentPresetIsFactory", "viAutoRunInStopMode"})
        xml->removeAttribute (name);

    restore (b, chunkAround (xml->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())));

    EXPECT_EQ (b.getDefaultEditorHeight(), 333);
    EXPECT_EQ (b.getEditorHeight(), 333);
    EXPECT_EQ (valueOf (b, "Mix"), 0.0f); // missing parameter: 0.0, not its default
    EXPECT_EQ (b.getChannelName(), "Old");
    EXPECT_EQ (b.getCurrentPresetName(), "(NO NAME)");
    EXPECT_FALSE (b.currentPresetIsFactory());
    EXPECT_EQ (b.getCurrentPresetID(), 2); // no kind given: the id stays
    EXPECT_FALSE ((bool)b.getVarItemManager()->getVar ("viAutoRunInStopMode"));
    EXPECT_EQ (b.getCurrentColourSchemeBrightness(), 0.3f);
}

TEST (StateRoundTrip, OneUndoRevertsTheRestoreTogetherWithTheOpenTransaction)
{
    ZkOstinelAudioProcessor a;
    makeDistinctState (a);
    const auto chunk = stateOf (a);

    ZkOstinelAudioProcessor b;
    const auto before = allParameterValues (b);
    b.clearUndoHistory();

    restore (b, chunk);
    ASSERT_NE (allParameterValues (b), before);
    EXPECT_TRUE (b.canUndo());

    b.undoLastParameterChange();
    EXPECT_EQ (allParameterValues (b), before);
    EXPECT_EQ (b.getCurrentPresetName(), "Default");
    EXPECT_FALSE (b.canUndo());

    b.redoLastParameterChange();
    EXPECT_EQ (allParameterValues (b), allParameterValues (a));
    EXPECT_EQ (b.getCurrentPresetName(), "My Gate*");
}

TEST (StateRoundTrip, RestoreLeavesTheLiveTransportStateToTheAudioThread)
{
    // A project saved while stopped with auto run off: running 0, playing 0.
    ZkOstinelAudioProcessor a;
    a.setVarItemValue ("viAutoRunInStopMode", false);
    a.getVarItemManager()->setVarItemValue ("viIsRunningState", false);
    a.getVarItemManager()->setVarItemValue ("viIsPlayingState", false);
    a.getVarItemManager()->setVarItemValue ("viInputSignalIsMono", 1.0);
    const auto chunk = stateOf (a);

    // Restored during playback: the gate keeps running.
    ZkOstinelAudioProcessor b;
    ZkOstinelAudioProcessorTestProbe probe (b);
    probe.setLastPlaying (true);
    probe.setIsRunning (true);
    restore (b, chunk);

    EXPECT_TRUE (probe.isRunning());
    EXPECT_FALSE (probe.autoRunInStopMode());
    EXPECT_TRUE (probe.forceStateUpdate()); // the next block reports the real states
    EXPECT_FALSE ((bool)b.getVarItemManager()->getVar ("viIsRunningState"));
    EXPECT_EQ (stateOf (b), chunk);

    // Restored while stopped: the run state follows the restored auto-run rule.
    ZkOstinelAudioProcessor c;
    ZkOstinelAudioProcessorTestProbe stopped (c);
    stopped.setIsRunning (true);
    restore (c, chunk);
    EXPECT_FALSE (stopped.isRunning());
}

TEST (StateRoundTrip, ParametersInAnyOrderAndRepeatedTakeTheFirstOfEachName)
{
    ZkOstinelAudioProcessor a;
    a.setParam ("Mix", 0.75f, juce::sendNotification, startNewTransaction, false);
    a.setParam ("Swing", 0.375f, juce::sendNotification, startNewTransaction, false);

    // Mix once more in front of the fixed attributes and at the end, Swing at the end.
    auto text = chunkText (stateOf (a));
    ASSERT_TRUE (text.contains (" Mix=\"0.75\" ") && text.endsWith ("/>"));
    text = text.replace ("<ZkPLUGINSETTINGS ", "<ZkPLUGINSETTINGS Mix=\"0.25\" ")
               .replace ("/>", " Swing=\"0.875\" Mix=\"0.5\"/>");

    ZkOstinelAudioProcessor b;
    restore (b, chunkAround (text));

    EXPECT_EQ (valueOf (b, "Mix"), 0.25f);
    EXPECT_EQ (valueOf (b, "Swing"), 0.375f);
    for (int i = 0; i < b.getParameterManager()->getNumberOfParameters(); ++i)
        ASSERT_EQ (b.getParamValueFromValueTree (&b.getCurrentPresetTree(), i),
                   b.getParameterManager()->getParameterValue (i));
}
