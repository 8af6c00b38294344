// The processor's play head: the host's time information of the current block
// (host opcode 7), handed on as exactly what the host sent. A field whose
// valid flag the host did not set stays empty (no tempo flag: no tempo; no
// position flag: no quarter-note position), and a block without time
// information has no position at all. Tempo and quarter-note position go on
// even when they are no usable numbers (the processor judges them); other
// fields that are no numbers stay empty.
//
// Threads: audio thread only; the wrapper sets it before each block and the
// processor reads it inside processBlock.

#pragma once

#include "vst/AEffect.h"

#include <juce_audio_basics/juce_audio_basics.h>

class ZkVstPlayHead : public juce::AudioPlayHead
{
public:
    // The host's answer to opcode 7 (null: none) and the stream's rate [Hz].
    void setTimeInfo (const VstTimeInfo* info, double sampleRate) noexcept;

    // Moves the position past numSamples [samples] of a host block that is
    // processed in parts.
    void advance (int numSamples) noexcept;

    juce::Optional<PositionInfo> getPosition() const override;

    // The time information that a plug-in asks the host for.
    static constexpr VstInt32 wantedTimeInfo =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

private:
    bool has (VstInt32 flag) const noexcept { return (info.flags & flag) != 0; }

    bool hasInfo = false;
    double rate = 0.0; // [Hz]
    VstTimeInfo info{};
};
