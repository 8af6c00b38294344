#include "plugin/ZkVstPlayHead.h"

#include <cmath>

namespace
{
// Largest sample position that converts to a 64-bit integer without overflow.
constexpr double kLargestSamplePosition = 9.0e18;

bool isFiniteNumber (double x) noexcept
{
    return std::isfinite (x);
}
} // namespace

void ZkVstPlayHead::setTimeInfo (const VstTimeInfo* newInfo, double sampleRate) noexcept
{
    hasInfo = newInfo != nullptr;
    rate = sampleRate;

    if (hasInfo)
        info = *newInfo;
}

void ZkVstPlayHead::advance (int numSamples) noexcept
{
    if (!hasInfo || numSamples <= 0)
        return;

    info.samplePos += numSamples;

    if (has (kVstPpqPosValid) && has (kVstTempoValid) && rate > 0.0)
        info.ppqPos += numSamples / rate * info.tempo / 60.0;
}

juce::Optional<juce::AudioPlayHead::PositionInfo> ZkVstPlayHead::getPosition() const
{
    if (!hasInfo)
        return {};

    PositionInfo position;

    // Other values that are no numbers are left out, as if the host had not sent them.
    if (isFiniteNumber (info.samplePos) && std::fabs (info.samplePos) < kLargestSamplePosition)
    {
        position.setTimeInSamples (static_cast<int64_t> (info.samplePos));
        if (rate > 0.0)
            position.setTimeInSeconds (info.samplePos / rate);
    }

    // Tempo and quarter-note position go on as sent, usable or not: the
    // processor passes a block through when what the host sent cannot be
    // followed, and takes the framework's defaults for what it did not send.
    if (has (kVstTempoValid))
        position.setBpm (info.tempo);

    if (has (kVstPpqPosValid))
        position.setPpqPosition (info.ppqPos);

    if (has (kVstBarsValid) && isFiniteNumber (info.barStartPos))
        position.setPpqPositionOfLastBarStart (info.barStartPos);

    if (has (kVstTimeSigValid) && info.timeSigNumerator > 0 && info.timeSigDenominator > 0)
        position.setTimeSignature (TimeSignature{info.timeSigNumerator, info.timeSigDenominator});

    if (has (kVstCyclePosValid) && isFiniteNumber (info.cycleStartPos) && isFiniteNumber (info.cycleEndPos))
        position.setLoopPoints (LoopPoints{info.cycleStartPos, info.cycleEndPos});

    position.setIsPlaying (has (kVstTransportPlaying));
    position.setIsRecording (has (kVstTransportRecording));
    position.setIsLooping (has (kVstTransportCycleActive));
    return position;
}
