#include "engine/ZkUtf8.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace
{
constexpr size_t maxBytes = INT_MAX / 4;

/** The length of the well-formed sequence at the start of bytes (at most available
    bytes long), or 0 when none starts there; then illFormed is the length of the
    maximal part that starts like one (at least 1). The second byte's range is what
    refuses overlong forms (e0, f0), surrogates (ed) and code points past U+10FFFF
    (f4); c0, c1 and f5..ff start nothing. */
size_t wellFormedLength (const unsigned char* bytes, size_t available, size_t& illFormed)
{
    const unsigned lead = bytes[0];

    if (lead < 0x80)
        return 1;

    size_t length = 0;
    unsigned low = 0x80, high = 0xbf;

    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead == 0xe0)
        length = 3, low = 0xa0;
    else if (lead == 0xed)
        length = 3, high = 0x9f;
    else if (lead >= 0xe1 && lead <= 0xef)
        length = 3;
    else if (lead == 0xf0)
        length = 4, low = 0x90;
    else if (lead == 0xf4)
        length = 4, high = 0x8f;
    else if (lead >= 0xf1 && lead <= 0xf3)
        length = 4;
    else
    {
        illFormed = 1;
        return 0;
    }

    for (size_t i = 1; i < length; ++i)
    {
        const unsigned byte = i < available ? bytes[i] : 0u;

        if (i >= available || byte < (i == 1 ? low : 0x80u) || byte > (i == 1 ? high : 0xbfu))
        {
            illFormed = i;
            return 0;
        }
    }

    return length;
}
} // namespace

bool ZkUtf8::isValid (const char* text, size_t length)
{
    if (text == nullptr)
        return length == 0;

    const auto* bytes = reinterpret_cast<const unsigned char*> (text);

    for (size_t i = 0, illFormed = 0; i < length;)
    {
        const auto sequence = wellFormedLength (bytes + i, length - i, illFormed);

        if (sequence == 0)
            return false;

        i += sequence;
    }

    return true;
}

bool ZkUtf8::isReadable (const char* text, size_t length)
{
    if (text == nullptr || length > (size_t)INT_MAX)
        return text == nullptr && length == 0;

    // The framework's test ends at a 0 byte; one inside the length does not pass.
    return strnlen (text, length) == length && juce::CharPointer_UTF8::isValidString (text, (int)length);
}

bool ZkUtf8::isScalarValue (juce::uint32 codePoint)
{
    return codePoint <= 0x10ffff && (codePoint < 0xd800 || codePoint > 0xdfff);
}

juce::String ZkUtf8::toValidString (const char* text, size_t length)
{
    if (text == nullptr)
        return {};

    // A bound that keeps the repair (at most three bytes for one) within an int.
    length = strnlen (text, std::min (length, maxBytes));

    if (isValid (text, length))
        return juce::String::fromUTF8 (text, static_cast<int> (length));

    static constexpr char replacement[] = "\xef\xbf\xbd";
    const auto* bytes = reinterpret_cast<const unsigned char*> (text);
    std::string repaired;
    repaired.reserve (length + 16);

    for (size_t i = 0, illFormed = 0; i < length;)
    {
        if (const auto sequence = wellFormedLength (bytes + i, length - i, illFormed))
        {
            repaired.append (text + i, sequence);
            i += sequence;
        }
        else
        {
            repaired.append (replacement);
            i += illFormed;
        }
    }

    return juce::String::fromUTF8 (repaired.data(), static_cast<int> (repaired.size()));
}

juce::String ZkUtf8::makeValid (const juce::String& text)
{
    const char* bytes = text.toRawUTF8();
    const auto length = std::strlen (bytes);

    return isValid (bytes, length) ? text : toValidString (bytes, length);
}
