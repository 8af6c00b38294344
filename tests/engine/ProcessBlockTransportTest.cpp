// The transport side of processBlock: anchors, host loops, tempo changes, stop with
// and without auto run, and what the editor reads back.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"

using namespace zktest;

namespace
{
// Onsets below the given sample.
std::vector<int> onsetsBefore (const std::vector<float>& out, int end)
{
    auto onsets = gateOnsets (out);
    onsets.erase (std::remove_if (onsets.begin(), onsets.end(), [end] (int i) { return i >= end; }),
                  onsets.end());
    return onsets;
}

std::vector<float> join (std::vector<float> a, const std::vector<float>& b)
{
    a.insert (a.end(), b.begin(), b.end());
    return a;
}
} // namespace

TEST (ProcessBlockTransport, AHostLoopAtConstantTempoDoesNotMoveTheGate)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    auto out = rig.run (27000, dc)[0];

    rig.setHost (120.0, 0.0, true); // the host jumps back to the loop start
    out = join (out, rig.run (30000, dc)[0]);

    std::vector<int> expected;
    for (int k = 0; k * 6000 < 57000; ++k)
        expected.push_back (k * 6000);
    EXPECT_EQ (onsetsBefore (out, 57000), expected);
}

TEST (ProcessBlockTransport, ATempoChangeAnchorsAtTheHostsPosition)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    EXPECT_EQ (rig.processor.getLastBpm(), -1.0);

    auto out = rig.run (10000, dc)[0];
    EXPECT_EQ (rig.processor.getLastBpm(), 120.0);

    // At sample 10000 the host says 60 BPM at beat 0.5: step 2 starts there, the
    // following steps every 12000 samples.
    rig.setHost (60.0, 0.5, true);
    out = join (out, rig.run (30000, dc)[0]);

    EXPECT_EQ (onsetsBefore (out, 40000), (std::vector<int>{0, 6000, 10000, 22000, 34000}));
    EXPECT_EQ (rig.processor.getLastBpm(), 60.0);
}

TEST (ProcessBlockTransport, StoppingKeepsTheGateRunningOnlyWithAutoRun)
{
    // Auto run (the default): the gate goes on from the last anchor.
    {
        ProcessorRig rig;
        rig.setNeutralGate();
        auto out = rig.run (12000, dc)[0];
        rig.setHost (120.0, rig.hostPpq, false);
        out = join (out, rig.run (12000, dc)[0]);

        EXPECT_EQ (onsetsBefore (out, 24000), (std::vector<int>{0, 6000, 12000, 18000}));
        EXPECT_FALSE (rig.processor.isPlaying());
    }

    // Without auto run the gate stops and the signal passes ungated.
    {
        ProcessorRig rig;
        rig.setNeutralGate();
        rig.processor.setVarItemValue ("viAutoRunInStopMode", false);
        auto out = rig.run (12000, dc)[0];
        EXPECT_TRUE (rig.processor.isPlaying());
        rig.setHost (120.0, rig.hostPpq, false);
        out = rig.run (12000, dc)[0];

        for (float x : out)
            ASSERT_NEAR (x, 1.0f, 1.1f * noiseAmplitude);
        EXPECT_FALSE (rig.processor.getVarItemManager()->getVar ("viIsRunningState"));
    }
}

TEST (ProcessBlockTransport, TheEditorReadsPositionPlayStateAndStep)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setHost (120.0, 3.0, true);
    rig.run (7000, dc); // beat 3 plus 7000 samples: step 13

    EXPECT_EQ (rig.processor.getCurrentStepIndex(), 13);
    EXPECT_TRUE (rig.processor.isPlaying());
    EXPECT_NEAR (rig.processor.getPositionAsDouble(), 3.0 + 6656.0 / 24000.0,
                 1.0e-9); // the last block's start
    EXPECT_TRUE (rig.processor.getVarItemManager()->getVar ("viIsPlayingState"));
    EXPECT_TRUE (rig.processor.getVarItemManager()->getVar ("viIsRunningState"));
}

TEST (ProcessBlockTransport, TheMonoSettingIsWrittenWithEveryBlock)
{
    for (int channels : {1, 2})
    {
        ProcessorRig rig (48000.0, channels);
        rig.removePosition(); // also without position information
        auto* settings = rig.processor.getVarItemManager();
        while (settings->pullNextModifiedVarItem() != nullptr)
        {
        }

        rig.run (512, dc);
        EXPECT_EQ ((double)settings->getVar ("viInputSignalIsMono"), channels == 1 ? 1.0 : 0.0);
        ASSERT_TRUE (settings->hasModifiedVarItems());
        EXPECT_EQ (settings->pullNextModifiedVarItem()->getName(), "viInputSignalIsMono");
        EXPECT_EQ (rig.processor.getLastBpm(), -1.0);
    }
}
