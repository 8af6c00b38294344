// Audio held in memory by the test host: one vector of samples per channel.

#pragma once

#include <cstddef>
#include <vector>

struct WavAudio
{
    double sampleRate = 0.0;                  // [Hz]
    std::vector<std::vector<float>> channels; // [-1..1], all of the same length

    int getNumChannels() const noexcept { return static_cast<int> (channels.size()); }
    std::size_t getNumFrames() const noexcept { return channels.empty() ? 0 : channels.front().size(); }
};

// Sample formats that the reader and the writer know.
enum class WavSampleFormat
{
    pcm16,
    pcm24,
    pcm32,
    float32
};
