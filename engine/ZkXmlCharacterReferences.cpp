#include "engine/ZkXmlCharacterReferences.h"

#include "engine/ZkUtf8.h"

#include <cstdint>

namespace
{
int digitValue (char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';

    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;

    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;

    return -1;
}

/** True when the reference after "&#" at text[start] is well-formed. The value
    stops growing once it is past U+10FFFF, so no count of places overflows it. */
bool isWellFormedAt (const char* text, size_t length, size_t start)
{
    size_t i = start;
    const bool hex = i < length && (text[i] == 'x' || text[i] == 'X');

    if (hex)
        ++i;

    const size_t firstPlace = i;
    std::uint32_t value = 0;

    for (; i < length && text[i] != ';'; ++i)
    {
        const int digit = digitValue (text[i], hex);

        if (digit < 0)
            return false;

        if (value <= 0x10ffff)
            value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t> (digit);
    }

    return i < length && i > firstPlace && ZkUtf8::isScalarValue (value);
}
} // namespace

bool ZkXmlCharacterReferences::areAllWellFormed (const char* text, size_t length)
{
    if (text == nullptr)
        return length == 0;

    for (size_t i = 0; i + 1 < length; ++i)
        if (text[i] == '&' && text[i + 1] == '#' && !isWellFormedAt (text, length, i + 2))
            return false;

    return true;
}
