// Writes a WAV file block by block; the sizes in the header are filled in when
// the writer is closed. Float samples are converted to PCM by rounding and
// limited to the format's range (NaN becomes 0).

#pragma once

#include "host/WavAudio.h"

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter
{
public:
    WavWriter() = default;
    ~WavWriter();

    WavWriter (const WavWriter&) = delete;
    WavWriter& operator= (const WavWriter&) = delete;

    bool open (const std::string& path, int numChannels, double sampleRate, WavSampleFormat format,
               std::string& error);

    // channels holds numChannels pointers to numFrames samples each.
    bool write (const float* const* channels, std::size_t numFrames);

    // Completes the header; false when any write failed.
    bool close();

    // Writes a whole WavAudio in one go.
    static bool writeFile (const std::string& path, const WavAudio& audio, WavSampleFormat format,
                           std::string& error);

private:
    bool writeHeader();

    std::FILE* file = nullptr;
    int numChannels = 0;
    double sampleRate = 0.0;
    WavSampleFormat format = WavSampleFormat::float32;
    std::uint64_t dataBytes = 0;
    bool failed = false;
};
