// The test host's transport: the time information for a transport that plays,
// stops, loops and changes tempo.

#include "host/HostTransport.h"

#include <gtest/gtest.h>

TEST (HostTransport, PlayingAdvancesByTheTempoAndReportsEveryField)
{
    HostTransport transport (48000.0, 120.0); // 24000 samples per quarter note

    const VstTimeInfo& first = transport.timeInfo();
    EXPECT_EQ (first.ppqPos, 0.0);
    EXPECT_EQ (first.tempo, 120.0);
    EXPECT_EQ (first.sampleRate, 48000.0);
    EXPECT_EQ (first.timeSigNumerator, 4);
    EXPECT_EQ (first.timeSigDenominator, 4);
    const VstInt32 valid =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid | kVstCyclePosValid;
    EXPECT_EQ (first.flags, valid | kVstTransportPlaying | kVstTransportChanged);

    transport.advance (24000 * 5 + 12000);
    const VstTimeInfo& later = transport.timeInfo();
    EXPECT_DOUBLE_EQ (later.ppqPos, 5.5);
    EXPECT_EQ (later.samplePos, 132000.0);
    EXPECT_EQ (later.barStartPos, 4.0);
    EXPECT_EQ (later.flags, valid | kVstTransportPlaying); // nothing changed
}

TEST (HostTransport, StopHoldsThePositionAndTempoChangesTheRate)
{
    HostTransport transport (48000.0, 120.0);
    transport.advance (24000);
    transport.timeInfo();

    transport.setPlaying (false);
    transport.advance (48000);
    const VstTimeInfo& stopped = transport.timeInfo();
    EXPECT_EQ (stopped.ppqPos, 1.0);
    EXPECT_EQ (stopped.flags & kVstTransportPlaying, 0);
    EXPECT_NE (stopped.flags & kVstTransportChanged, 0);

    transport.setPlaying (true);
    transport.setTempo (60.0); // 48000 samples per quarter note
    transport.advance (48000);
    const VstTimeInfo& slower = transport.timeInfo();
    EXPECT_DOUBLE_EQ (slower.ppqPos, 2.0);
    EXPECT_EQ (slower.tempo, 60.0);
    EXPECT_NE (slower.flags & kVstTransportChanged, 0);

    transport.setTempo (-5.0); // refused
    EXPECT_EQ (transport.getTempo(), 60.0);
}

TEST (HostTransport, LoopJumpsBackExactlyAtItsEnd)
{
    HostTransport transport (48000.0, 120.0);
    transport.setLoop (1.0, 3.0); // 48000 samples long
    transport.setPosition (2.5);
    transport.timeInfo();

    EXPECT_EQ (transport.samplesUntilLoopEnd(), 12000);
    transport.advance (12000);
    const VstTimeInfo& jumped = transport.timeInfo();
    EXPECT_DOUBLE_EQ (jumped.ppqPos, 1.0);
    EXPECT_EQ (jumped.samplePos, 24000.0);
    EXPECT_EQ (jumped.cycleStartPos, 1.0);
    EXPECT_EQ (jumped.cycleEndPos, 3.0);
    EXPECT_NE (jumped.flags & kVstTransportCycleActive, 0);
    EXPECT_NE (jumped.flags & kVstTransportChanged, 0);
    EXPECT_EQ (transport.samplesUntilLoopEnd(), 48000);

    transport.setLoop (3.0, 3.0); // empty: no loop
    EXPECT_FALSE (transport.isLooping());
    EXPECT_GT (transport.samplesUntilLoopEnd(), 1000000000);
}

TEST (HostTransport, WithoutTheMusicalPositionOnlyTempoTimeAndPlayStateAreValid)
{
    HostTransport transport (48000.0, 120.0);
    transport.setSendsMusicalPosition (false);
    transport.advance (24000);

    const VstTimeInfo& info = transport.timeInfo();
    EXPECT_EQ (info.flags, kVstTempoValid | kVstNanosValid | kVstTransportPlaying | kVstTransportChanged);
    EXPECT_EQ (info.tempo, 120.0);
    EXPECT_EQ (info.samplePos, 24000.0);
    EXPECT_DOUBLE_EQ (info.nanoSeconds, 0.5e9);
    EXPECT_EQ (info.ppqPos, 0.0);
}
