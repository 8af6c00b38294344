#include "host/HostTransport.h"

#include <cmath>
#include <limits>

HostTransport::HostTransport (double rate, double bpm)
    : sampleRate (rate > 0.0 ? rate : 44100.0)
    , tempo (bpm > 0.0 ? bpm : 120.0)
{
}

void HostTransport::setTempo (double bpm)
{
    if (bpm > 0.0 && bpm != tempo)
    {
        tempo = bpm;
        changed = true;
    }
}

void HostTransport::setPlaying (bool shouldPlay)
{
    if (shouldPlay != playing)
    {
        playing = shouldPlay;
        changed = true;
    }
}

void HostTransport::setLoop (double startPpq, double endPpq)
{
    looping = endPpq > startPpq && startPpq >= 0.0;
    loopStart = startPpq;
    loopEnd = endPpq;
    changed = true;
}

void HostTransport::clearLoop()
{
    looping = false;
    changed = true;
}

void HostTransport::setPosition (double newPpq)
{
    ppq = newPpq;
    samplePosition = newPpq * samplesPerQuarter();
    changed = true;
}

std::int64_t HostTransport::samplesUntilLoopEnd() const noexcept
{
    if (!playing || !looping || ppq >= loopEnd)
        return std::numeric_limits<std::int64_t>::max();

    const double samples = std::ceil ((loopEnd - ppq) * samplesPerQuarter() - 1.0e-9);
    return samples < 1.0 ? 1 : static_cast<std::int64_t> (samples);
}

const VstTimeInfo& HostTransport::timeInfo()
{
    info = {};
    info.samplePos = samplePosition;
    info.sampleRate = sampleRate;
    info.ppqPos = ppq;
    info.tempo = tempo;
    info.barStartPos = std::floor (ppq / beatsPerBar) * beatsPerBar;
    info.cycleStartPos = loopStart;
    info.cycleEndPos = loopEnd;
    info.timeSigNumerator = beatsPerBar;
    info.timeSigDenominator = 4;
    info.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid | kVstCyclePosValid;

    if (!sendsMusicalPosition)
    {
        info.ppqPos = info.barStartPos = info.cycleStartPos = info.cycleEndPos = 0.0;
        info.timeSigNumerator = info.timeSigDenominator = 0;
        info.nanoSeconds = samplePosition / sampleRate * 1.0e9;
        info.flags = kVstTempoValid | kVstNanosValid;
    }

    if (playing)
        info.flags |= kVstTransportPlaying;
    if (looping)
        info.flags |= kVstTransportCycleActive;
    if (changed)
        info.flags |= kVstTransportChanged;

    changed = false;
    return info;
}

void HostTransport::advance (int numSamples)
{
    if (!playing || numSamples <= 0)
        return;

    const double quarters = numSamples / samplesPerQuarter();
    const bool wasBeforeLoopEnd = looping && ppq < loopEnd;

    ppq += quarters;
    samplePosition += numSamples;

    // A block that reaches the loop end starts the next one at the loop start.
    if (wasBeforeLoopEnd && ppq >= loopEnd - 1.0e-9)
    {
        const double overshoot = ppq - loopEnd > 0.0 ? ppq - loopEnd : 0.0;
        ppq = loopStart + overshoot;
        samplePosition = ppq * samplesPerQuarter();
        changed = true;
    }
}
