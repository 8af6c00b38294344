// The processor's view of the host's time information: only what the host
// marked valid, tempo and position as sent, no other field that is no number,
// and no position without information.

#include "plugin/ZkVstPlayHead.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
VstTimeInfo fullInfo()
{
    VstTimeInfo info{};
    info.samplePos = 96000.0;
    info.sampleRate = 48000.0;
    info.ppqPos = 4.5;
    info.tempo = 120.0;
    info.barStartPos = 4.0;
    info.cycleStartPos = 2.0;
    info.cycleEndPos = 6.0;
    info.timeSigNumerator = 3;
    info.timeSigDenominator = 4;
    info.flags = kVstTransportPlaying | kVstTransportCycleActive | kVstPpqPosValid | kVstTempoValid |
                 kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
    return info;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

TEST (ZkVstPlayHead, WithoutTimeInformationThereIsNoPosition)
{
    ZkVstPlayHead playHead;
    EXPECT_FALSE (playHead.getPosition().hasValue());

    const auto info = fullInfo();
    playHead.setTimeInfo (&info, 48000.0);
    EXPECT_TRUE (playHead.getPosition().hasValue());
    playHead.setTimeInfo (nullptr, 48000.0);
    EXPECT_FALSE (playHead.getPosition().hasValue());
}

TEST (ZkVstPlayHead, EveryValidFieldIsHandedOn)
{
    ZkVstPlayHead playHead;
    const auto info = fullInfo();
    playHead.setTimeInfo (&info, 48000.0);
    const auto position = *playHead.getPosition();

    EXPECT_EQ (*position.getTimeInSamples(), 96000);
    EXPECT_EQ (*position.getTimeInSeconds(), 2.0);
    EXPECT_EQ (*position.getBpm(), 120.0);
    EXPECT_EQ (*position.getPpqPosition(), 4.5);
    EXPECT_EQ (*position.getPpqPositionOfLastBarStart(), 4.0);
    EXPECT_EQ (position.getTimeSignature()->numerator, 3);
    EXPECT_EQ (position.getLoopPoints()->ppqEnd, 6.0);
    EXPECT_TRUE (position.getIsPlaying());
    EXPECT_TRUE (position.getIsLooping());
    EXPECT_FALSE (position.getIsRecording());
}

TEST (ZkVstPlayHead, FieldsWithoutTheirFlagStayEmptyTempoAndPositionGoOnAsSent)
{
    struct Case
    {
        const char* what;
        void (*change) (VstTimeInfo&);
        bool hasBpm, hasPpq, hasSamples, hasSignature;
    };
    const Case cases[] = {
        {"no tempo flag", [] (VstTimeInfo& i) { i.flags &= ~kVstTempoValid; }, false, true, true, true},
        {"no position flag", [] (VstTimeInfo& i) { i.flags &= ~kVstPpqPosValid; }, true, false, true, true},
        {"no flags at all", [] (VstTimeInfo& i) { i.flags = 0; }, false, false, true, false},
        // Sent but not usable: the processor tells these from fields not sent.
        {"tempo NaN", [] (VstTimeInfo& i) { i.tempo = kNaN; }, true, true, true, true},
        {"tempo 0", [] (VstTimeInfo& i) { i.tempo = 0.0; }, true, true, true, true},
        {"position infinite", [] (VstTimeInfo& i) { i.ppqPos = std::numeric_limits<double>::infinity(); },
         true, true, true, true},
        {"sample position NaN", [] (VstTimeInfo& i) { i.samplePos = kNaN; }, true, true, false, true},
        {"sample position beyond 64 bits", [] (VstTimeInfo& i) { i.samplePos = 1.0e300; }, true, true, false,
         true},
        {"signature over 0", [] (VstTimeInfo& i) { i.timeSigDenominator = 0; }, true, true, true, false},
    };

    for (const auto& c : cases)
    {
        auto info = fullInfo();
        c.change (info);
        ZkVstPlayHead playHead;
        playHead.setTimeInfo (&info, 48000.0);
        const auto position = *playHead.getPosition();

        EXPECT_EQ (position.getBpm().hasValue(), c.hasBpm) << c.what;
        EXPECT_EQ (position.getPpqPosition().hasValue(), c.hasPpq) << c.what;
        EXPECT_EQ (position.getTimeInSamples().hasValue(), c.hasSamples) << c.what;
        EXPECT_EQ (position.getTimeSignature().hasValue(), c.hasSignature) << c.what;
    }
}

TEST (ZkVstPlayHead, AdvanceMovesSamplesAndQuarterNotesAtTheHostsTempo)
{
    ZkVstPlayHead playHead;
    auto info = fullInfo();
    playHead.setTimeInfo (&info, 48000.0);
    playHead.advance (12000); // half a beat at 120 BPM and 48 kHz
    EXPECT_EQ (*playHead.getPosition()->getTimeInSamples(), 108000);
    EXPECT_DOUBLE_EQ (*playHead.getPosition()->getPpqPosition(), 5.0);

    info.flags &= ~kVstTempoValid; // no tempo: the quarter-note position cannot move
    playHead.setTimeInfo (&info, 48000.0);
    playHead.advance (12000);
    EXPECT_EQ (*playHead.getPosition()->getPpqPosition(), 4.5);
    EXPECT_EQ (info.samplePos, 96000.0); // the host's record is left alone
}
