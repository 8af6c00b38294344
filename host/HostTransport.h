// The test host's transport: tempo, play state, a loop and the position, turned
// into the time information that the host hands a plug-in for every block.
//
// Threads: owned by the render loop; timeInfo() is read by the plug-in on the
// same thread inside a process call.

#pragma once

#include "vst/AEffect.h"

#include <cstdint>

class HostTransport
{
public:
    HostTransport (double sampleRate, double bpm);

    void setTempo (double bpm); // [BPM], > 0

    // Sends bpm exactly as given from the next block on, also 0, negative or NaN,
    // which setTempo refuses: for tests of a plug-in against hosts that send such
    // values. advance() moves the quarter-note position by the tempo as it stands.
    void forceTempo (double bpm) noexcept
    {
        tempo = bpm;
        changed = true;
    }

    // Off: the time information carries the tempo, the sample position, the
    // system time and the play state but no musical position (no quarter-note
    // position, bar, time signature or loop), as Audacity sends it.
    void setSendsMusicalPosition (bool shouldSend) noexcept { sendsMusicalPosition = shouldSend; }

    void setPlaying (bool shouldPlay);
    void setLoop (double startPpq, double endPpq); // [quarter notes]; end > start, else the loop is off
    void clearLoop();
    void setPosition (double ppq); // [quarter notes], moves the sample position with it

    bool isPlaying() const noexcept { return playing; }
    bool isLooping() const noexcept { return looping; }
    double getTempo() const noexcept { return tempo; }
    double getPpqPosition() const noexcept { return ppq; }
    double getSamplePosition() const noexcept { return samplePosition; }

    // Samples until the loop end when playing a loop, else a large number. A
    // render loop ends its block there so that the jump back is exact.
    std::int64_t samplesUntilLoopEnd() const noexcept;

    // The time information for the next block (flags as a host sets them:
    // position, tempo, bar, time signature, loop; changed after any jump; only
    // tempo and system time without the musical position).
    const VstTimeInfo& timeInfo();

    // Moves the transport past a block of numSamples [samples] (nothing while stopped).
    void advance (int numSamples);

    static constexpr int beatsPerBar = 4; // 4/4

private:
    double samplesPerQuarter() const noexcept { return sampleRate * 60.0 / tempo; }

    double sampleRate;
    double tempo;
    bool playing = true;
    bool looping = false;
    double loopStart = 0.0, loopEnd = 0.0; // [quarter notes]
    double ppq = 0.0;                      // [quarter notes]
    double samplePosition = 0.0;           // [samples]
    bool changed = true;                   // reported once with the next block
    bool sendsMusicalPosition = true;
    VstTimeInfo info{};
};
