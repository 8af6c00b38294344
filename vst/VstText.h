// Bounded text copies into buffers that a host or a caller provides.

#pragma once

#include <cstddef>

// Copies at most maxLen characters of source into text, fills the rest of the
// first maxLen bytes with zeros and stores a zero at text[maxLen]: exactly
// maxLen + 1 bytes are written, whatever text held before. A null text or a
// negative maxLen writes nothing; a null source counts as an empty text.
inline void vstCopyText (char* text, const char* source, int maxLen) noexcept
{
    if (text == nullptr || maxLen < 0)
        return;

    int i = 0;

    if (source != nullptr)
        for (; i < maxLen && source[i] != 0; ++i)
            text[i] = source[i];

    for (; i <= maxLen; ++i)
        text[i] = 0;
}

// Copies source into a host's buffer of bufferSize bytes: at most
// bufferSize - 1 characters and a terminating zero, and nothing past that zero.
// A null text or a buffer size below 1 writes nothing.
inline void vstCopyTerminated (char* text, const char* source, int bufferSize) noexcept
{
    if (text == nullptr || bufferSize < 1)
        return;

    int i = 0;

    if (source != nullptr)
        for (; i < bufferSize - 1 && source[i] != 0; ++i)
            text[i] = source[i];

    text[i] = 0;
}
