// A deterministic stereo input for the validation: a different tone on each
// channel plus a hashed noise, computed from the absolute sample position, so
// that the same frames come out however a run is cut into blocks.

#pragma once

#include <cstdint>

class StereoTestInput
{
public:
    explicit StereoTestInput (double rate) noexcept
        : sampleRate (rate)
    {
    }

    // Frames [start, start + numFrames) of both channels.
    void fill (float* left, float* right, std::int64_t start, int numFrames) const noexcept;

private:
    double sampleRate; // [Hz]
};
