// The test host's built-in input when no WAV file is given: a steady sine on
// each channel (220 Hz, 330 Hz, 440 Hz ... at half scale), so that every gate
// step and envelope shows in the output.

#pragma once

#include <cstdint>

class TestSignal
{
public:
    explicit TestSignal (double sampleRate);

    // Fills numChannels channels with numFrames samples from the current position.
    void fill (float* const* channels, int numChannels, int numFrames);

    static constexpr double amplitude = 0.5;

private:
    double sampleRate;
    std::int64_t position = 0; // [samples]
};
