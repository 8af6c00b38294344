// What a host sees of a new processor: identity, channels, programs, the 350
// parameter slots (including the reserved and invalid ones) and the state before
// any audio block.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/ZkOstinelAudioProcessor.h"
#include "support/ZkOstinelAudioProcessorTestProbe.h"

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // the host's index-based parameter interface
#endif

TEST (ProcessorHostAnswers, IdentityChannelsAndPrograms)
{
    std::unique_ptr<juce::AudioProcessor> created (createPluginFilter());
    auto* processor = dynamic_cast<ZkOstinelAudioProcessor*> (created.get());
    ASSERT_NE (processor, nullptr);

    EXPECT_EQ (processor->getName(), "ZkOstinel");
    EXPECT_EQ (processor->getNumParameters(), 350);
    EXPECT_EQ (processor->getParameterNumSteps (0), 2147483647); // continuous
    EXPECT_TRUE (processor->isParameterAutomatable (299));
    EXPECT_FALSE (processor->isMetaParameter (27));

    EXPECT_EQ (processor->getTotalNumInputChannels(), 2);
    EXPECT_EQ (processor->getTotalNumOutputChannels(), 2);
    EXPECT_EQ (processor->getInputChannelName (0), "1");
    EXPECT_EQ (processor->getInputChannelName (1), "2");
    EXPECT_EQ (processor->getOutputChannelName (1), "2");
    EXPECT_EQ (processor->getInputChannelName (std::numeric_limits<int>::max()), "2147483648");
    EXPECT_TRUE (processor->isInputChannelStereoPair (0));
    EXPECT_TRUE (processor->isOutputChannelStereoPair (0));

    EXPECT_FALSE (processor->acceptsMidi());
    EXPECT_FALSE (processor->producesMidi());
    EXPECT_FALSE (processor->silenceInProducesSilenceOut());
    EXPECT_EQ (processor->getTailLengthSeconds(), 0.0);

    EXPECT_EQ (processor->getNumPrograms(), 1);
    EXPECT_EQ (processor->getCurrentProgram(), 0);
    processor->setCurrentProgram (5);
    EXPECT_EQ (processor->getCurrentProgram(), 0);

    // No editor yet.
    EXPECT_FALSE (processor->hasEditor());
    EXPECT_EQ (processor->createEditor(), nullptr);
}

TEST (ProcessorHostAnswers, StateBeforeTheFirstBlock)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    EXPECT_EQ (processor.getLastSampleRateString(), "(unknown)");
    EXPECT_EQ (processor.getLastBpm(), -1.0);
    EXPECT_FALSE (processor.isPlaying());
    EXPECT_EQ (processor.getPositionAsDouble(), 0.0);
    EXPECT_EQ (processor.getCurrentStepIndex(), 0);
    EXPECT_EQ (processor.getCurrentPatternId(), 0);
    EXPECT_EQ (processor.getCurrentPatternLengthInBeats(), 4);
    EXPECT_EQ (processor.getChannelName(), "No Channel Name");
    EXPECT_EQ (processor.getCurrentColourSchemeBrightness(), 0.3f);
    EXPECT_EQ (processor.getEditorHeight(), processor.getDefaultEditorHeight());

    EXPECT_FALSE (probe.isRunning());
    EXPECT_TRUE (probe.autoRunInStopMode());
    EXPECT_TRUE (probe.resync());
    EXPECT_TRUE (probe.forceStateUpdate());
    EXPECT_FALSE (probe.dawTimingOffsetOn());
    EXPECT_EQ (probe.dawTimingOffsetInSamples(), 0);
    EXPECT_FALSE (probe.globalFxOff());

    const auto& clipboard = processor.getPatternClipboard();
    EXPECT_EQ (clipboard.getPatternLengthInBeats(), 4);
    EXPECT_FALSE (clipboard.getTripletState());
    for (int step = 0; step < 16; ++step)
    {
        EXPECT_EQ (clipboard.getStepLength (step), 0.375f) << step;
        EXPECT_EQ (clipboard.getStepVolume (step), 1.0f) << step;
    }
}

TEST (ProcessorHostAnswers, SampleRateText)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    probe.setLastSampleRate (44100.0);
    EXPECT_EQ (processor.getLastSampleRateString(), "44100 Hz");
    probe.setLastSampleRate (88200.5); // the half goes to the even neighbour
    EXPECT_EQ (processor.getLastSampleRateString(), "88200 Hz");
    probe.setLastSampleRate (std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ (processor.getLastSampleRateString(), "(unknown)");
    probe.setLastSampleRate (1.0e12);
    EXPECT_EQ (processor.getLastSampleRateString(), "(unknown)");
}

TEST (ProcessorHostAnswers, PatternAccessIsClampedToTheEightPatterns)
{
    ZkOstinelAudioProcessor processor;

    EXPECT_EQ (&processor.getPattern (-3), &processor.getPattern (0));
    EXPECT_EQ (&processor.getPattern (8), &processor.getPattern (7));
    EXPECT_NE (&processor.getPattern (3), &processor.getPattern (4));
}

//==============================================================================
// Indexes without a parameter: -1 is "invalid parameter", everything else outside
// 0..299 is "reserved"; all read 0.0, show no text and ignore writes.

namespace
{
struct EmptySlot
{
    int index;
    const char* name;
};

class ProcessorEmptyParameterSlot : public ::testing::TestWithParam<EmptySlot>
{
};

std::vector<float> allParameterValues (juce::AudioProcessor& processor)
{
    std::vector<float> values;
    for (int index = 0; index < 300; ++index)
        values.push_back (processor.getParameter (index));
    return values;
}
} // namespace

TEST_P (ProcessorEmptyParameterSlot, AnswersWithoutReadingOutOfBoundsAndIgnoresWrites)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    const int index = GetParam().index;

    EXPECT_EQ (processor.getParameterName (index), GetParam().name);
    EXPECT_EQ (processor.getParameter (index), 0.0f);
    EXPECT_EQ (processor.getParameterText (index), "");
    EXPECT_EQ (processor.getParameterDefaultValue (index), 0.0f);

    processor.getParameterManager()->getParameterNeedsToBeUpdatedInEditor(); // raised by loading "Default"
    const auto before = allParameterValues (processor);
    processor.setParameter (index, 0.7f);
    processor.setParameter (index, 1.0f);

    EXPECT_EQ (allParameterValues (processor), before);
    EXPECT_EQ (processor.getParameter (index), 0.0f);
    EXPECT_EQ (processor.getCurrentPatternId(), 0);
    EXPECT_FALSE (probe.bypass());
    EXPECT_FALSE (probe.muteAll());
    EXPECT_FALSE (processor.getParameterManager()->getParameterNeedsToBeUpdatedInEditor());
}

INSTANTIATE_TEST_SUITE_P (Indexes, ProcessorEmptyParameterSlot,
                          ::testing::Values (EmptySlot{-1, "invalid parameter"},
                                             EmptySlot{-2, "invalid parameter"},
                                             EmptySlot{std::numeric_limits<int>::min(), "invalid parameter"},
                                             EmptySlot{300, "reserved"}, EmptySlot{320, "reserved"},
                                             EmptySlot{349, "reserved"}, EmptySlot{350, "reserved"},
                                             EmptySlot{std::numeric_limits<int>::max(), "reserved"}));
