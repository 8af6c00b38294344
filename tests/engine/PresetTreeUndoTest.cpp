// The current-preset tree as the undo history sees it: editor writes through
// setParam, transactions, undo and redo, the preset name and its modified mark,
// and copying a loaded preset into the tree.

#include "PresetTreeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zktest;

namespace
{
int entryCount (const juce::ValueTree& tree, const juce::String& name)
{
    int count = 0;
    for (const auto& child : tree)
        count += child.getProperty ("ParameterName").toString() == name ? 1 : 0;
    return count;
}

class PresetTreeUndo : public ::testing::Test
{
protected:
    void SetUp() override { p.clearUndoHistory(); }

    ZkOstinelAudioProcessor p;
};
} // namespace

TEST_F (PresetTreeUndo, FreshTreeMirrorsEveryParameterAndTheNameCarriesOneModifiedMark)
{
    const auto& tree = p.getCurrentPresetTree();
    auto* manager = p.getParameterManager();

    ASSERT_TRUE (tree.hasType ("ZkAudioPreset"));
    EXPECT_EQ (tree.getProperty ("ZkPluginName").toString(), "ZkOstinel");
    ASSERT_EQ (tree.getNumChildren(), manager->getNumberOfParameters());

    for (int i = 0; i < manager->getNumberOfParameters(); ++i)
    {
        EXPECT_EQ (tree.getChild (i).getProperty ("ParameterName").toString(), manager->getParameterName (i));
        EXPECT_EQ (p.getParamValueFromValueTree (&tree, i), manager->getParameterValue (i));
    }

    EXPECT_EQ (p.getCurrentPresetName(), "Default");
    EXPECT_EQ (p.getProgramName (5), "Default");
    EXPECT_FALSE (p.canUndoOrRedo());

    p.setParam ("Mix", 0.3f, juce::sendNotification, startNewTransaction, true);
    EXPECT_EQ (p.getCurrentPresetName(), "Default*");

    // The mark is one "*" at the end, wherever the name had any.
    for (const auto& [stored, shown] : {std::pair{"Name*", "Name*"}, {"Na*me", "Name*"}, {"**", "*"}})
    {
        p.changeProgramName (0, stored);
        EXPECT_EQ (p.getCurrentPresetName(), shown);
    }
}

TEST_F (PresetTreeUndo, EditorWritesUndoAndRedoPerTransaction)
{
    const auto mix = indexOf (p, "Mix");
    const auto swing = indexOf (p, "Swing");
    const auto mixBefore = valueOf (p, "Mix");
    const auto swingBefore = valueOf (p, "Swing");

    // A knob drag: several writes without a transaction, closed at the end.
    p.setParam (mix, 0.1f, juce::sendNotification, dontStartNewTransaction, true);
    p.setParam (mix, 0.2f, juce::sendNotification, dontStartNewTransaction, true);
    p.setParam (mix, 0.3f, juce::sendNotification, dontStartNewTransaction, true);
    p.beginNewTransaction();
    p.setParam (swing, 0.9f, juce::sendNotification, startNewTransaction, true);

    p.undoLastParameterChange();
    EXPECT_EQ (valueOf (p, "Swing"), swingBefore);
    EXPECT_EQ (valueOf (p, "Mix"), 0.3f);

    p.undoLastParameterChange();
    EXPECT_EQ (valueOf (p, "Mix"), mixBefore);
    EXPECT_EQ (p.getParamValueFromValueTree (&p.getCurrentPresetTree(), mix), mixBefore);
    EXPECT_FALSE (p.canUndo());

    p.redoLastParameterChange();
    p.redoLastParameterChange();
    EXPECT_EQ (valueOf (p, "Mix"), 0.3f);
    EXPECT_EQ (valueOf (p, "Swing"), 0.9f);
    EXPECT_FALSE (p.canRedo());

    // Undo and redo change parameters but neither the mark nor the history.
    EXPECT_TRUE (p.currentPresetWasModified());
}

TEST_F (PresetTreeUndo, WritesNotifyTheHostAndRecordOnlyRealChanges)
{
    ParameterChangeCounter host;
    p.addListener (&host);
    const auto mix = indexOf (p, "Mix");
    const auto current = valueOf (p, "Mix");

    // The value the tree already holds: the host hears of it, the history records nothing.
    p.setParam (mix, current, juce::sendNotification, startNewTransaction, false);
    EXPECT_EQ (host.count, 1);
    EXPECT_EQ (host.lastIndex, mix);
    EXPECT_FALSE (p.canUndo());
    EXPECT_FALSE (p.currentPresetWasModified());

    // A plain write is not sent to the host but is recorded.
    p.setParam (mix, 0.25f, juce::dontSendNotification, startNewTransaction, false);
    EXPECT_EQ (host.count, 1);
    EXPECT_EQ (valueOf (p, "Mix"), 0.25f);
    EXPECT_TRUE (p.canUndo());

    // No real parameter: nothing at all, wherever the index or name points.
    p.clearUndoHistory();
    const auto entries = p.getCurrentPresetTree().getNumChildren();
    for (const int index : {-1, 300, 320, 349, std::numeric_limits<int>::max()})
        p.setParam (index, 0.5f, juce::sendNotification, startNewTransaction, true);
    p.setParam ("mix", 0.5f, juce::sendNotification, startNewTransaction, true);
    p.setStepLengthInCurrentPattern (17, 0.5f, juce::sendNotification, startNewTransaction, true);
    p.setStepVolumeInCurrentPattern (0, 0.5f, juce::sendNotification, startNewTransaction, true);

    EXPECT_EQ (host.count, 1);
    EXPECT_EQ (p.getCurrentPresetTree().getNumChildren(), entries);
    EXPECT_FALSE (p.canUndo());
    EXPECT_FALSE (p.currentPresetWasModified());
    p.removeListener (&host);
}

TEST_F (PresetTreeUndo, TheHostHearsOfAWriteOnlyOnceItIsComplete)
{
    // A host that reads everything back from inside the notification, as hosts
    // that answer automation at once do.
    struct ReadingHost : juce::AudioProcessorListener
    {
        explicit ReadingHost (ZkOstinelAudioProcessor& processorToRead)
            : processor (processorToRead)
        {
        }
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override
        {
            value = valueOf (processor, "Mix");
            for (const auto& child : processor.getCurrentPresetTree())
                if (child.getProperty ("ParameterName").toString() == "Mix")
                    treeValue = (float)child.getProperty ("Value");
            modified = processor.currentPresetWasModified();
            canUndo = processor.canUndo();
        }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

        ZkOstinelAudioProcessor& processor;
        float value = -1.0f, treeValue = -1.0f;
        bool modified = false, canUndo = false;
    } host (p);

    p.addListener (&host);
    p.setParam (indexOf (p, "Mix"), 0.375f, juce::sendNotification, startNewTransaction, true);
    p.removeListener (&host);

    EXPECT_EQ (host.value, 0.375f);
    EXPECT_EQ (host.treeValue, 0.375f);
    EXPECT_TRUE (host.modified);
    EXPECT_TRUE (host.canUndo);
}

TEST_F (PresetTreeUndo, RenamingTheProgramIsOneUndoStep)
{
    p.setCurrentPresetNameUndoable ("My Gate");
    EXPECT_EQ (p.getProgramName (0), "My Gate");

    p.changeProgramName (3, "Host Name");
    p.beginNewTransaction();
    EXPECT_EQ (p.getCurrentPresetName(), "Host Name");

    p.undoLastParameterChange();
    EXPECT_EQ (p.getCurrentPresetName(), "My Gate");
    p.undoLastParameterChange();
    EXPECT_EQ (p.getCurrentPresetName(), "Default");
}

TEST_F (PresetTreeUndo, EntryMissingFromTheTreeReadsZeroAndComesBackWithoutUndo)
{
    juce::ValueTree tree = p.getCurrentPresetTree(); // shares the processor's tree
    const auto hold = indexOf (p, "Hold");
    tree.removeChild (tree.getChildWithProperty ("ParameterName", "Hold"), nullptr);

    EXPECT_EQ (p.getParamValueFromValueTree (&tree, hold), 0.0f);
    EXPECT_EQ (p.getParamValueFromValueTree (nullptr, hold), -1.0f);

    p.setParam (hold, 0.0f, juce::sendNotification, startNewTransaction, false);
    EXPECT_EQ (entryCount (tree, "Hold"), 0);

    p.setParam (hold, 0.6f, juce::sendNotification, startNewTransaction, false);
    EXPECT_EQ (entryCount (tree, "Hold"), 1);
    EXPECT_EQ (p.getParamValueFromValueTree (&tree, hold), 0.6f);
    EXPECT_FALSE (p.canUndo());
}

TEST_F (PresetTreeUndo, CopyingALoadedPresetReplacesRootPropertiesAndReadableEntriesOnly)
{
    const auto mix = indexOf (p, "Mix");
    const auto swing = indexOf (p, "Swing");
    const auto hold = indexOf (p, "Hold");
    const auto swingBefore = valueOf (p, "Swing");
    const auto holdBefore = valueOf (p, "Hold");

    juce::ValueTree source ("ZkAudioPreset");
    source.setProperty ("PresetName", "Loaded", nullptr);
    source.setProperty ("Author", "someone", nullptr);
    juce::ValueTree mixEntry ("Parameter");
    mixEntry.setProperty ("ParameterName", "Mix", nullptr);
    mixEntry.setProperty ("Value", "0.125", nullptr); // as a file holds it: text
    source.appendChild (mixEntry, nullptr);
    juce::ValueTree holdEntry ("Parameter");
    holdEntry.setProperty ("ParameterName", "Hold", nullptr);
    holdEntry.setProperty ("Value", "not a number", nullptr);
    source.appendChild (holdEntry, nullptr);

    p.copyAllPresetValuesFromValueTree (source);
    const auto& tree = p.getCurrentPresetTree();

    EXPECT_EQ (tree.getProperty ("PresetName").toString(), "Loaded");
    EXPECT_EQ (tree.getProperty ("Author").toString(), "someone");
    EXPECT_FALSE (tree.hasProperty ("ZkPluginName"));
    EXPECT_EQ (p.getParamValueFromValueTree (&tree, mix), 0.125f);
    EXPECT_EQ (entryCount (tree, "Swing"), 1); // lacking in source: kept whole
    EXPECT_EQ (p.getParamValueFromValueTree (&tree, swing), swingBefore);
    EXPECT_EQ (p.getParamValueFromValueTree (&tree, hold), holdBefore); // unreadable in source: kept

    p.recallAllParamsFromValueTree (&tree);
    EXPECT_EQ (valueOf (p, "Mix"), 0.125f);
    EXPECT_EQ (valueOf (p, "Swing"), swingBefore);
    EXPECT_EQ (p.getCurrentPresetName(), "Loaded");

    // One undo takes the copy and the recall back; an invalid source changes nothing.
    p.beginNewTransaction();
    const auto snapshot = tree.toXmlString();
    p.copyAllPresetValuesFromValueTree (juce::ValueTree());
    EXPECT_EQ (tree.toXmlString(), snapshot);

    p.undoLastParameterChange();
    EXPECT_EQ (tree.getProperty ("ZkPluginName").toString(), "ZkOstinel");
    EXPECT_FALSE (tree.hasProperty ("Author"));
    EXPECT_EQ (p.getCurrentPresetName(), "Default");
    EXPECT_NE (valueOf (p, "Mix"), 0.125f);
}

TEST_F (PresetTreeUndo, RestoreAfterUndoTakesIdAndFactoryKindFromTheTree)
{
    juce::ValueTree tree = p.getCurrentPresetTree();
    auto* undo = static_cast<juce::UndoManager*> (nullptr);

    for (const auto& [stored, expected] : {std::pair{juce::var ("3"), 3},
                                           {juce::var (5), 5},
                                           {juce::var ("1e400"), 0},
                                           {juce::var ("-99999999999"), std::numeric_limits<int>::min()},
                                           {juce::var(), 0}})
    {
        if (stored.isVoid())
            tree.removeProperty ("PresetID", undo);
        else
            tree.setProperty ("PresetID", stored, undo);

        p.restorePresetAfterUndoOrRedo();
        EXPECT_EQ (p.getCurrentPresetID(), expected) << stored.toString();
    }

    // A recalled value that is no finite float leaves its parameter alone.
    auto mixEntry = tree.getChildWithProperty ("ParameterName", "Mix");
    const auto mixBefore = valueOf (p, "Mix");
    for (const auto& bad :
         {juce::var ("nan"), juce::var (std::numeric_limits<double>::infinity()), juce::var (1e300)})
    {
        mixEntry.setProperty ("Value", bad, undo);
        p.restorePresetAfterUndoOrRedo();
        EXPECT_EQ (valueOf (p, "Mix"), mixBefore);
    }

    // "Factory" sets the flag, "User" clears it; any other kind or none leaves it.
    const juce::String notFactory ("0");
    restore (p, chunkWithAttribute (p, "currentPresetIsFactory", &notFactory));
    ASSERT_FALSE (p.currentPresetIsFactory());

    for (const auto& [kind, expected] : {std::pair{juce::var ("Factory"), true},
                                         {juce::var ("Other"), true},
                                         {juce::var ("User"), false},
                                         {juce::var ("factory"), false},
                                         {juce::var(), false},
                                         {juce::var ("Factory"), true},
                                         {juce::var(), true}})
    {
        if (kind.isVoid())
            tree.removeProperty ("PresetType", undo);
        else
            tree.setProperty ("PresetType", kind, undo);

        p.restorePresetAfterUndoOrRedo();
        EXPECT_EQ (p.currentPresetIsFactory(), expected) << kind.toString();
    }
}

TEST_F (PresetTreeUndo, EntriesAreFoundByNameWhereverTheySit)
{
    // The tree in reverse order: reads and writes still find each parameter's entry.
    juce::ValueTree tree = p.getCurrentPresetTree();
    for (int i = 0; i < tree.getNumChildren(); ++i)
        tree.moveChild (tree.getNumChildren() - 1, i, nullptr);

    auto* manager = p.getParameterManager();
    for (int i = 0; i < manager->getNumberOfParameters(); ++i)
        ASSERT_EQ (p.getParamValueFromValueTree (&tree, i), manager->getParameterValue (i)) << i;

    const auto swing = indexOf (p, "Swing");
    p.setParam (swing, 0.61f, juce::sendNotification, startNewTransaction, false);
    EXPECT_EQ (entryCount (tree, "Swing"), 1);
    EXPECT_EQ (p.getParamValueFromValueTree (&tree, swing), 0.61f);
    EXPECT_EQ (tree.getChild (tree.getNumChildren() - 1 - swing).getProperty ("ParameterName"), "Swing");
}

TEST_F (PresetTreeUndo, CopyingALoadedPresetTakesTheFirstEntryOfEachName)
{
    // A source in the tree's order but for position 1, which repeats a later name:
    // that earlier entry counts, the one at the name's own position does not.
    const auto mix = indexOf (p, "Mix");
    const auto muteAll = indexOf (p, "MuteAll");
    const auto muteAllBefore = valueOf (p, "MuteAll");
    auto source = p.getCurrentPresetTree().createCopy();
    source.getChild (muteAll).setProperty ("ParameterName", "Mix", nullptr);
    source.getChild (muteAll).setProperty ("Value", "0.125", nullptr);
    source.getChild (mix).setProperty ("Value", 0.75, nullptr);

    p.copyAllPresetValuesFromValueTree (source);
    const auto& tree = p.getCurrentPresetTree();

    EXPECT_EQ (p.getParamValueFromValueTree (&tree, mix), 0.125f);
    EXPECT_EQ (p.getParamValueFromValueTree (&tree, muteAll), muteAllBefore); // not in the source
    EXPECT_EQ (entryCount (tree, "Mix"), 1);
}
