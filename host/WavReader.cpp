#include "host/WavReader.h"

#include "host/FileBytes.h"

#include <cstdint>
#include <cstring>

namespace
{
constexpr int kMaxChannels = 64;

std::uint32_t read32 (const unsigned char* p) noexcept
{
    return static_cast<std::uint32_t> (p[0]) | (static_cast<std::uint32_t> (p[1]) << 8) |
           (static_cast<std::uint32_t> (p[2]) << 16) | (static_cast<std::uint32_t> (p[3]) << 24);
}

std::uint16_t read16 (const unsigned char* p) noexcept
{
    return static_cast<std::uint16_t> (p[0] | (p[1] << 8));
}

struct Format
{
    int tag = 0; // 1 PCM, 3 float
    int channels = 0;
    std::uint32_t rate = 0;
    int blockAlign = 0;
    int bits = 0;
};

float decodeSample (const unsigned char* p, const Format& format) noexcept
{
    if (format.tag == 3)
    {
        const std::uint32_t bits = read32 (p);
        float value;
        std::memcpy (&value, &bits, sizeof (value));
        return value;
    }

    switch (format.bits)
    {
        case 16:
            return static_cast<float> (static_cast<std::int16_t> (read16 (p))) / 32768.0f;
        case 24:
        {
            // Sign-extend the three bytes through the top of a 32-bit word.
            const auto word = static_cast<std::uint32_t> (p[0] << 8 | p[1] << 16) |
                              (static_cast<std::uint32_t> (p[2]) << 24);
            return static_cast<float> (static_cast<std::int32_t> (word) / 256) / 8388608.0f;
        }
        default:
            return static_cast<float> (static_cast<double> (static_cast<std::int32_t> (read32 (p))) /
                                       2147483648.0);
    }
}
} // namespace

bool WavReader::read (const std::string& path, WavAudio& audio, std::string& error)
{
    std::vector<unsigned char> bytes;

    if (!FileBytes::read (path, bytes))
    {
        error = "cannot read " + path;
        audio = {};
        return false;
    }

    if (!parse (bytes.data(), bytes.size(), audio, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool WavReader::parse (const unsigned char* bytes, std::size_t size, WavAudio& audio, std::string& error)
{
    audio = {};

    if (bytes == nullptr || size < 12 || std::memcmp (bytes, "RIFF", 4) != 0 ||
        std::memcmp (bytes + 8, "WAVE", 4) != 0)
    {
        error = "not a RIFF WAVE file";
        return false;
    }

    Format format;
    const unsigned char* data = nullptr;
    std::size_t dataSize = 0;

    // Chunks: four-character id, 32-bit size, body padded to an even length.
    for (std::size_t pos = 12; pos + 8 <= size;)
    {
        const unsigned char* id = bytes + pos;
        const std::size_t bodySize = read32 (bytes + pos + 4);
        const std::size_t body = pos + 8;
        const std::size_t available = size - body;

        if (std::memcmp (id, "fmt ", 4) == 0)
        {
            if (bodySize < 16 || bodySize > available)
            {
                error = "broken format chunk";
                return false;
            }

            const unsigned char* f = bytes + body;
            format.tag = read16 (f);
            format.channels = read16 (f + 2);
            format.rate = read32 (f + 4);
            format.blockAlign = read16 (f + 12);
            format.bits = read16 (f + 14);

            // Extensible: the sub-format's first two bytes hold the plain tag.
            if (format.tag == 0xfffe && bodySize >= 40)
                format.tag = read16 (f + 24);
        }
        else if (std::memcmp (id, "data", 4) == 0)
        {
            data = bytes + body;
            dataSize = bodySize < available ? bodySize : available; // a cut-off file keeps what it has
            break;
        }

        if (bodySize > available)
            break;
        pos = body + bodySize + (bodySize & 1);
    }

    const bool knownFormat =
        (format.tag == 1 && (format.bits == 16 || format.bits == 24 || format.bits == 32)) ||
        (format.tag == 3 && format.bits == 32);
    if (!knownFormat)
    {
        error = "unsupported sample format (tag " + std::to_string (format.tag) + ", " +
                std::to_string (format.bits) + " bits)";
        return false;
    }

    if (format.channels < 1 || format.channels > kMaxChannels || format.rate == 0 ||
        format.blockAlign != format.channels * format.bits / 8)
    {
        error = "inconsistent format chunk";
        return false;
    }

    if (data == nullptr)
    {
        error = "no data chunk";
        return false;
    }

    const std::size_t frames = dataSize / static_cast<std::size_t> (format.blockAlign);
    const int bytesPerSample = format.bits / 8;

    audio.sampleRate = format.rate;
    audio.channels.assign (static_cast<std::size_t> (format.channels), std::vector<float> (frames));

    for (std::size_t frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < format.channels; ++channel)
            audio.channels[static_cast<std::size_t> (channel)][frame] =
                decodeSample (data + frame * static_cast<std::size_t> (format.blockAlign) +
                                  static_cast<std::size_t> (channel * bytesPerSample),
                              format);

    return true;
}
