// The transport side of processBlock: anchors, host loops, tempo changes, stop with
// and without auto run, and the mono setting for the editor.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"

using namespace zktest;

namespace
{
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
    EXPECT_EQ (gateOnsets (out, 57000), expected);
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

    EXPECT_EQ (gateOnsets (out, 40000), (std::vector<int>{0, 6000, 10000, 22000, 34000}));
    EXPECT_EQ (rig.processor.getLastBpm(), 60.0);
}

TEST (ProcessBlockTransport, TimeInformationWithoutTempoOrPositionTakesTheDefaults)
{
    // A field the host does not send is 120 BPM or quarter note 0: the gate runs
    // from the first sample (a 4-beat pattern of 16 steps; a step is a quarter beat).
    struct Case
    {
        const char* what;
        bool tempo, ppq;
        double bpm, position;
        int stepSamples; // at 48 kHz
    };
    const Case cases[] = {
        {"tempo without a position (Audacity)", true, false, 90.0, 7.25, 8000},
        {"a position without a tempo", false, true, 60.0, 0.0, 6000},
        {"neither", false, false, 60.0, 7.25, 6000},
    };

    for (const auto& c : cases)
    {
        ProcessorRig rig;
        rig.setNeutralGate();
        rig.setHost (c.bpm, c.position, true);
        rig.sendOnly (c.tempo, c.ppq);
        const auto out = rig.run (36000, dc)[0];

        std::vector<int> expected;
        for (int k = 0; k * c.stepSamples < 36000; ++k)
            expected.push_back (k * c.stepSamples);
        EXPECT_EQ (gateOnsets (out), expected) << c.what;
        EXPECT_EQ (rig.processor.getLastBpm(), c.tempo ? c.bpm : 120.0) << c.what;
    }
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

        EXPECT_EQ (gateOnsets (out, 24000), (std::vector<int>{0, 6000, 12000, 18000}));
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

TEST (ProcessBlockTransport, SwitchingTheGateOnStartsTheStepUnderThePosition)
{
    // Auto run off, stopped at beat 0: the clock counts but the gate is off. When it
    // is switched on, 9000 samples in (step 1 started last), the anchor goes back to
    // beat 0, and step 0 starts at once instead of waiting for step 2.
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.processor.setVarItemValue ("viAutoRunInStopMode", false);
    rig.setHost (120.0, 0.0, false);
    rig.run (9000, dc);

    rig.processor.setVarItemValue ("viIsRunningState", true);
    const auto out = rig.run (12000, dc)[0];
    EXPECT_EQ (gateOnsets (out), (std::vector<int>{0, 6000}));
}

TEST (ProcessBlockTransport, AnchorsThatStartNothingKeepTheRunningStep)
{
    // Step 1 opens at sample 6000 for 2699 samples; at 7000 the clock re-anchors at
    // the host's position without a start. The open gate is not retriggered: it
    // closes on time, and the next onset belongs to step 2.
    struct Case
    {
        const char* what;
        std::function<void (ProcessorRig&)> anchor;
        int nextOnset;
    };
    const Case cases[] = {
        {"a tempo change", [] (ProcessorRig& rig) { rig.setHost (60.0, rig.hostPpq, true); }, 17000},
        {"a restored state",
         [] (ProcessorRig& rig)
         {
             juce::MemoryBlock state;
             rig.processor.getStateInformation (state);
             rig.processor.setStateInformation (state.getData(), (int)state.getSize());
         },
         12000},
        {"prepareToPlay", [] (ProcessorRig& rig) { rig.processor.prepareToPlay (48000.0, 512); }, 12000},
        {"the run state written unchanged",
         [] (ProcessorRig& rig) { rig.processor.setVarItemValue ("viIsRunningState", true); }, 12000},
    };

    for (const auto& c : cases)
    {
        ProcessorRig rig;
        rig.setNeutralGate();
        auto out = rig.run (7000, dc)[0];
        c.anchor (rig);
        out = join (out, rig.run (11000, dc)[0]);

        EXPECT_EQ (releaseStart (out, 6000), 6000 + 2699) << c.what;
        EXPECT_EQ (gateOnsets (out), (std::vector<int>{0, 6000, c.nextOnset})) << c.what;
    }
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
