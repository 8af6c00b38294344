// The twelve settings and what the processor does when one is written through it:
// global effects off, the DAW timing offset, auto run in stop mode and the run state.

#include <gtest/gtest.h>

#include <limits>

#include "engine/ZkOstinelAudioProcessor.h"
#include "support/ZkOstinelAudioProcessorTestProbe.h"

namespace
{
/** Pulls the modified list empty, newest first. */
juce::StringArray pullAllModified (CvoVarItemManager& settings)
{
    juce::StringArray names;
    while (settings.hasModifiedVarItems())
        names.add (settings.pullNextModifiedVarItem()->getName());
    return names;
}
} // namespace

TEST (SettingsEffects, TwelveSettingsWithTheirDefaultsAndNothingQueued)
{
    ZkOstinelAudioProcessor processor;
    auto& settings = *processor.getVarItemManager();

    const juce::StringArray names{"viExpertModeIsActive",
                                  "viGlobalFxOffIsActive",
                                  "viInputSignalIsMono",
                                  "viWaveDisplayZoomFactorYNormed",
                                  "viWaveDisplayCursorTailBrightness",
                                  "viWaveDisplayRhythmicLinesBrightness",
                                  "viDawTimingOffsetState",
                                  "viDawTimingOffsetInSamples",
                                  "viIsPlayingState",
                                  "viAutoRunInStopMode",
                                  "viIsRunningState",
                                  "viPatternCommandTabContent"};
    ASSERT_EQ (settings.getNumberOfVarItems(), 12);
    for (int id = 0; id < 12; ++id)
        EXPECT_EQ (settings.getVarItemName (id), names[id]);

    EXPECT_TRUE (settings.getVar ("viAutoRunInStopMode").isBool());
    EXPECT_TRUE (static_cast<bool> (settings.getVar ("viAutoRunInStopMode")));
    EXPECT_EQ (static_cast<int> (settings.getVar ("viPatternCommandTabContent")), 1);
    EXPECT_TRUE (settings.getVar ("viDawTimingOffsetInSamples").isInt());
    EXPECT_EQ (static_cast<double> (settings.getVar ("viWaveDisplayCursorTailBrightness")), 0.5);
    EXPECT_FALSE (settings.hasModifiedVarItems());
}

TEST (SettingsEffects, GlobalFxOffOnlyAtExactlyOne)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    processor.setVarItemValue ("viGlobalFxOffIsActive", 1.0);
    EXPECT_TRUE (probe.globalFxOff());
    processor.setVarItemValue ("viGlobalFxOffIsActive", 0.5);
    EXPECT_FALSE (probe.globalFxOff());
    processor.setVarItemValue ("viGlobalFxOffIsActive", true); // a bool reads as 1.0
    EXPECT_TRUE (probe.globalFxOff());
    processor.setVarItemValue ("viGlobalFxOffIsActive", std::numeric_limits<double>::quiet_NaN()); // refused
    EXPECT_TRUE (probe.globalFxOff());
}

TEST (SettingsEffects, DawTimingOffset)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    const auto offsetAfter = [&] (const juce::var& v)
    {
        processor.setVarItemValue ("viDawTimingOffsetInSamples", v);
        return probe.dawTimingOffsetInSamples();
    };

    processor.setVarItemValue ("viDawTimingOffsetState", 1.0);
    EXPECT_TRUE (probe.dawTimingOffsetOn());
    processor.setVarItemValue ("viDawTimingOffsetState", 0.999);
    EXPECT_FALSE (probe.dawTimingOffsetOn());

    EXPECT_EQ (offsetAfter (100), 100);
    EXPECT_EQ (offsetAfter (-250.9), -250); // truncated toward zero
    EXPECT_EQ (offsetAfter (123.9), 123);
    EXPECT_EQ (offsetAfter ("64"), 64);

    // Values from a state chunk may be anything: bounded to the int range,
    // non-finite ones refused (the last good value stays).
    EXPECT_EQ (offsetAfter (1.0e12), std::numeric_limits<int>::max());
    EXPECT_EQ (offsetAfter (-1.0e300), std::numeric_limits<int>::min());
    EXPECT_EQ (offsetAfter (77), 77);
    EXPECT_EQ (offsetAfter (std::numeric_limits<double>::quiet_NaN()), 77);
    EXPECT_EQ (offsetAfter (std::numeric_limits<double>::infinity()), 77);
    EXPECT_EQ (static_cast<int> (processor.getVarItemManager()->getVar ("viDawTimingOffsetInSamples")), 77);
}

TEST (SettingsEffects, DirectProcessingOfABadOffsetKeepsTheLastGoodValue)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    processor.calculateProcessingValueFromVarItem ("viDawTimingOffsetInSamples", -12);
    processor.calculateProcessingValueFromVarItem ("viDawTimingOffsetInSamples",
                                                   std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ (probe.dawTimingOffsetInSamples(), -12);
    processor.calculateProcessingValueFromVarItem ("viDawTimingOffsetInSamples", 3.0e9);
    EXPECT_EQ (probe.dawTimingOffsetInSamples(), std::numeric_limits<int>::max());
}

TEST (SettingsEffects, AutoRunWhileTheHostIsStoppedAlsoSetsTheRunState)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    auto& settings = *processor.getVarItemManager();
    probe.setLastPlaying (false);
    probe.setIsRunning (true);
    probe.setResync (false);

    processor.setVarItemValue ("viAutoRunInStopMode", false);

    EXPECT_FALSE (probe.autoRunInStopMode());
    EXPECT_FALSE (probe.isRunning());
    EXPECT_FALSE (probe.resync()); // no resync on this path
    EXPECT_TRUE (settings.getVar ("viIsRunningState").isBool());
    EXPECT_FALSE (static_cast<bool> (settings.getVar ("viIsRunningState")));
    EXPECT_EQ (pullAllModified (settings), juce::StringArray ({"viIsRunningState", "viAutoRunInStopMode"}));

    // A restored state writes doubles; 1.0 reads as true.
    processor.setVarItemValue ("viAutoRunInStopMode", 1.0);
    EXPECT_TRUE (probe.autoRunInStopMode());
    EXPECT_TRUE (probe.isRunning());
}

TEST (SettingsEffects, AutoRunWhileTheHostPlaysChangesOnlyTheAutoRunFlag)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    auto& settings = *processor.getVarItemManager();
    probe.setLastPlaying (true);
    probe.setIsRunning (true);

    processor.setVarItemValue ("viAutoRunInStopMode", false);

    EXPECT_FALSE (probe.autoRunInStopMode());
    EXPECT_TRUE (probe.isRunning());
    EXPECT_EQ (pullAllModified (settings), juce::StringArray ({"viAutoRunInStopMode"}));
}

TEST (SettingsEffects, RunStateWritesAlwaysRequestAResync)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    probe.setResync (false);
    processor.setVarItemValue ("viIsRunningState", 1.0);
    EXPECT_TRUE (probe.isRunning());
    EXPECT_TRUE (probe.resync());

    probe.setResync (false);
    processor.setVarItemValue ("viIsRunningState", 1.0); // unchanged value
    EXPECT_TRUE (probe.resync());

    processor.setVarItemValue ("viIsRunningState", 0.0);
    EXPECT_FALSE (probe.isRunning());
}

TEST (SettingsEffects, UnknownOrEditorOnlyNamesChangeNothingInTheProcessor)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    auto& settings = *processor.getVarItemManager();
    probe.setResync (false);

    processor.setVarItemValue ("viisrunningstate", 1.0);
    processor.setVarItemValue ("viNoSuchSetting", 1.0);
    EXPECT_FALSE (settings.hasModifiedVarItems());

    processor.setVarItemValue ("viExpertModeIsActive", 1.0);
    EXPECT_FALSE (probe.isRunning());
    EXPECT_FALSE (probe.resync());
    EXPECT_FALSE (probe.globalFxOff());
    EXPECT_TRUE (probe.autoRunInStopMode());
    EXPECT_EQ (pullAllModified (settings), juce::StringArray ({"viExpertModeIsActive"}));
}
