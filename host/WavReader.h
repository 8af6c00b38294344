// Reads a WAV file (RIFF, PCM of 16, 24 or 32 bits or 32-bit float, plain or
// extensible format chunk) into memory. Anything else is refused with a reason.

#pragma once

#include "host/WavAudio.h"

#include <string>

class WavReader
{
public:
    // Returns false and sets error when the file cannot be read or is not a
    // WAV file of a known format; audio is then left empty.
    static bool read (const std::string& path, WavAudio& audio, std::string& error);

    // The same for a file's bytes already in memory.
    static bool parse (const unsigned char* bytes, std::size_t size, WavAudio& audio, std::string& error);
};
