// The plug-in's step clock, computed independently for the timing checks: with
// the anchor at sample 0 and quarter note 0, sample s lies at the beat position
// s / samplesPerBeat (samplesPerBeat = rate * 60 / tempo, in double precision);
// a beat has four step slots, so step g (counted from the anchor, 0, 1, 2 ...)
// begins in the first sample whose position has reached g / 4 beats, truncated
// as the plug-in truncates; an odd slot waits for the swing delay,
// round (swing * 0.5 * samplesPerStep) samples, on top. No time offset.

#pragma once

#include <cstdint>

class StepClock
{
public:
    // rate [Hz], tempo [BPM], swing: the processing value (the square of the
    // normalised "Swing" parameter, in single precision).
    StepClock (double sampleRate, double bpm, float swing);

    // The sample in which step g starts, as the plug-in computes it; -1 when
    // no sample of the step reaches its swing delay.
    std::int64_t startOf (std::int64_t step) const;

    // The same from exact rational arithmetic, ceil (g * rate * 60 / (4 * tempo))
    // plus the swing delay, for a whole-numbered rate and tempo: what an ideal
    // clock without rounding would give. The two may differ by one sample where
    // a step boundary falls exactly on a sample.
    std::int64_t exactStartOf (std::int64_t step) const;

    double getSamplesPerBeat() const noexcept { return samplesPerBeat; }
    int getSwingDelay() const noexcept { return swingDelay; } // [samples]

private:
    // Step g and the samples since its nominal start, at sample s.
    void positionAt (std::int64_t sample, std::int64_t& step, double& samplesIntoStep) const;

    double sampleRate, bpm;
    double samplesPerBeat, samplesPerStep;
    int swingDelay;
};
