// Bounded text copies into buffers that a host or a caller provides.

#pragma once

#include <cstddef>

// The number of bytes of source, up to its first zero and at most maxBytes, that
// a copy keeps. Texts are UTF-8: where maxBytes would split a sequence of two to
// four bytes, the copy ends before that sequence. A null source has none.
inline int vstTextCopyLength (const char* source, int maxBytes) noexcept
{
    if (source == nullptr || maxBytes <= 0)
        return 0;

    int length = 0, lastCharacter = 0;

    for (; length < maxBytes && source[length] != 0; ++length)
        if ((static_cast<unsigned char> (source[length]) & 0xc0) != 0x80)
            lastCharacter = length;

    // Cut by the limit: the last character stays only when all its bytes came
    // along (its lead byte tells how many it has).
    if (length == maxBytes)
    {
        const auto lead = static_cast<unsigned char> (source[lastCharacter]);
        const int bytes = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;

        if (length - lastCharacter < bytes)
            length = lastCharacter;
    }

    return length;
}

// Copies at most maxLen bytes of source into text (never part of a UTF-8
// sequence), fills the rest of the first maxLen bytes with zeros and stores a
// zero at text[maxLen]: exactly maxLen + 1 bytes are written, whatever text held
// before. A null text or a negative maxLen writes nothing; a null source counts
// as an empty text.
inline void vstCopyText (char* text, const char* source, int maxLen) noexcept
{
    if (text == nullptr || maxLen < 0)
        return;

    const int length = vstTextCopyLength (source, maxLen);
    int i = 0;

    for (; i < length; ++i)
        text[i] = source[i];

    for (; i <= maxLen; ++i)
        text[i] = 0;
}

// Copies source into a host's buffer of bufferSize bytes: at most
// bufferSize - 1 bytes (never part of a UTF-8 sequence) and a terminating zero,
// and nothing past that zero. A null text or a buffer size below 1 writes nothing.
inline void vstCopyTerminated (char* text, const char* source, int bufferSize) noexcept
{
    if (text == nullptr || bufferSize < 1)
        return;

    const int length = vstTextCopyLength (source, bufferSize - 1);

    for (int i = 0; i < length; ++i)
        text[i] = source[i];

    text[length] = 0;
}
