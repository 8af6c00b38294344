#include "host/WavWriter.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
void put16 (unsigned char* p, std::uint32_t v) noexcept
{
    p[0] = static_cast<unsigned char> (v);
    p[1] = static_cast<unsigned char> (v >> 8);
}

void put32 (unsigned char* p, std::uint32_t v) noexcept
{
    put16 (p, v);
    put16 (p + 2, v >> 16);
}

int bytesPerSample (WavSampleFormat format) noexcept
{
    switch (format)
    {
        case WavSampleFormat::pcm16:
            return 2;
        case WavSampleFormat::pcm24:
            return 3;
        case WavSampleFormat::pcm32:
        case WavSampleFormat::float32:
            return 4;
    }
    return 4;
}

// Rounds x * scale to the nearest integer inside [-scale, scale - 1].
std::int32_t toPcm (float x, double scale) noexcept
{
    if (std::isnan (x))
        return 0;

    const double scaled = std::nearbyint (static_cast<double> (x) * scale);
    if (scaled >= scale - 1.0)
        return static_cast<std::int32_t> (scale - 1.0);
    if (scaled <= -scale)
        return static_cast<std::int32_t> (-scale);
    return static_cast<std::int32_t> (scaled);
}

void encodeSample (unsigned char* p, float x, WavSampleFormat format) noexcept
{
    switch (format)
    {
        case WavSampleFormat::pcm16:
            put16 (p, static_cast<std::uint32_t> (toPcm (x, 32768.0)));
            break;
        case WavSampleFormat::pcm24:
        {
            const auto v = static_cast<std::uint32_t> (toPcm (x, 8388608.0));
            p[0] = static_cast<unsigned char> (v);
            p[1] = static_cast<unsigned char> (v >> 8);
            p[2] = static_cast<unsigned char> (v >> 16);
            break;
        }
        case WavSampleFormat::pcm32:
            put32 (p, static_cast<std::uint32_t> (toPcm (x, 2147483648.0)));
            break;
        case WavSampleFormat::float32:
        {
            std::uint32_t bits;
            std::memcpy (&bits, &x, sizeof (bits));
            put32 (p, bits);
            break;
        }
    }
}
} // namespace

WavWriter::~WavWriter()
{
    close();
}

bool WavWriter::open (const std::string& path, int channelCount, double rate, WavSampleFormat sampleFormat,
                      std::string& error)
{
    close();

    if (channelCount < 1 || channelCount > 64 || !(rate > 0.0) || rate > 4294967295.0)
    {
        error =
            "cannot write " + std::to_string (channelCount) + " channels at " + std::to_string (rate) + " Hz";
        return false;
    }

    file = std::fopen (path.c_str(), "wb");
    if (file == nullptr)
    {
        error = "cannot create " + path;
        return false;
    }

    numChannels = channelCount;
    sampleRate = rate;
    format = sampleFormat;
    dataBytes = 0;
    failed = !writeHeader();
    return !failed;
}

bool WavWriter::writeHeader()
{
    const bool isFloat = format == WavSampleFormat::float32;
    const auto sampleBytes = static_cast<std::uint32_t> (bytesPerSample (format));
    const auto blockAlign = sampleBytes * static_cast<std::uint32_t> (numChannels);
    const auto rate = static_cast<std::uint32_t> (std::lround (sampleRate));
    // Sizes beyond 4 GiB cannot be told; they are written as the largest value.
    const auto dataSize = static_cast<std::uint32_t> (dataBytes < 0xffffffe0u ? dataBytes : 0xffffffe0u);

    unsigned char header[44];
    std::memcpy (header, "RIFF", 4);
    put32 (header + 4, 36 + dataSize + (dataSize & 1));
    std::memcpy (header + 8, "WAVEfmt ", 8);
    put32 (header + 16, 16);
    put16 (header + 20, isFloat ? 3 : 1);
    put16 (header + 22, static_cast<std::uint32_t> (numChannels));
    put32 (header + 24, rate);
    put32 (header + 28, rate * blockAlign);
    put16 (header + 32, blockAlign);
    put16 (header + 34, sampleBytes * 8);
    std::memcpy (header + 36, "data", 4);
    put32 (header + 40, dataSize);

    return std::fseek (file, 0, SEEK_SET) == 0 && std::fwrite (header, sizeof (header), 1, file) == 1;
}

bool WavWriter::write (const float* const* channels, std::size_t numFrames)
{
    if (file == nullptr || failed)
        return false;

    const auto sampleBytes = static_cast<std::size_t> (bytesPerSample (format));
    const std::size_t frameBytes = sampleBytes * static_cast<std::size_t> (numChannels);
    std::vector<unsigned char> bytes (numFrames * frameBytes);

    for (std::size_t frame = 0; frame < numFrames; ++frame)
        for (int channel = 0; channel < numChannels; ++channel)
            encodeSample (bytes.data() + frame * frameBytes +
                              static_cast<std::size_t> (channel) * sampleBytes,
                          channels[channel][frame], format);

    if (!bytes.empty() && std::fwrite (bytes.data(), bytes.size(), 1, file) != 1)
        failed = true;

    dataBytes += bytes.size();
    return !failed;
}

bool WavWriter::close()
{
    if (file == nullptr)
        return !failed;

    if (!failed && (dataBytes & 1) != 0)
    {
        const unsigned char pad = 0;
        failed = std::fwrite (&pad, 1, 1, file) != 1;
    }

    if (!failed)
        failed = !writeHeader();

    failed = (std::fclose (file) != 0) || failed;
    file = nullptr;
    return !failed;
}

bool WavWriter::writeFile (const std::string& path, const WavAudio& audio, WavSampleFormat format,
                           std::string& error)
{
    WavWriter writer;
    if (!writer.open (path, audio.getNumChannels(), audio.sampleRate, format, error))
        return false;

    std::vector<const float*> pointers;
    for (const auto& channel : audio.channels)
        pointers.push_back (channel.data());

    if (!writer.write (pointers.data(), audio.getNumFrames()) || !writer.close())
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
