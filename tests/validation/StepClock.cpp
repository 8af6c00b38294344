#include "validation/StepClock.h"

#include <cmath>

StepClock::StepClock (double rate, double tempo, float swing)
    : sampleRate (rate)
    , bpm (tempo)
    , samplesPerBeat (rate * 60.0 / tempo)
    , samplesPerStep (samplesPerBeat / 4.0)
    , swingDelay (static_cast<int> (std::nearbyint (static_cast<double> (swing) * 0.5 * samplesPerStep)))
{
}

void StepClock::positionAt (std::int64_t sample, std::int64_t& step, double& samplesIntoStep) const
{
    const double beatPosition = static_cast<double> (sample) / samplesPerBeat;
    const auto beat = static_cast<std::int64_t> (beatPosition);
    const double f = (beatPosition - static_cast<double> (beat)) * 4.0;
    const auto slot = static_cast<int> (f);

    step = beat * 4 + slot;
    samplesIntoStep = static_cast<double> (static_cast<std::int64_t> ((f - slot) * samplesPerStep));
}

std::int64_t StepClock::startOf (std::int64_t step) const
{
    const int delay = step % 2 != 0 ? swingDelay : 0;

    // A few samples before the nominal start, then sample by sample.
    auto sample = static_cast<std::int64_t> (std::floor (static_cast<double> (step) * samplesPerStep)) - 2;
    if (sample < 0)
        sample = 0;

    for (;; ++sample)
    {
        std::int64_t stepNow = 0;
        double samplesIntoStep = 0.0;
        positionAt (sample, stepNow, samplesIntoStep);

        if (stepNow > step)
            return -1;
        if (stepNow == step && samplesIntoStep >= delay)
            return sample;
    }
}

std::int64_t StepClock::exactStartOf (std::int64_t step) const
{
    // sample >= step * rate * 60 / (4 * tempo), in integers.
    const auto numerator = step * static_cast<std::int64_t> (sampleRate) * 60;
    const auto denominator = 4 * static_cast<std::int64_t> (bpm);
    const std::int64_t nominal = (numerator + denominator - 1) / denominator;
    return nominal + (step % 2 != 0 ? swingDelay : 0);
}
