#include "engine/ZkXmlCharacterReferences.h"

#include "engine/ZkUtf8.h"
#include "engine/ZkXmlMarkup.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace
{
// The most places the parser reads in a reference.
constexpr size_t maxHexPlaces = 8, maxDecimalPlaces = 12;

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

} // namespace

ZkXmlCharacterReferences::Numeric ZkXmlCharacterReferences::readNumeric (const char* text, size_t length,
                                                                         size_t start)
{
    // The value stops growing once it is past U+10FFFF, so no count of places
    // overflows it.
    size_t i = start;
    const bool hex = i < length && (text[i] == 'x' || text[i] == 'X');

    if (hex)
        ++i;

    const size_t firstPlace = i;
    bool allDigits = true;
    std::uint32_t value = 0;

    for (; i < length && text[i] != ';'; ++i)
    {
        const int digit = digitValue (text[i], hex);

        // The parser refuses a hex place that is none; a decimal one may be
        // any character after a first digit.
        if ((hex && digit < 0) || (!hex && i == firstPlace && digit < 0) ||
            i - firstPlace >= (hex ? maxHexPlaces : maxDecimalPlaces))
            return {Numeric::Kind::refused, 0, 0};

        allDigits = allDigits && digit >= 0;

        if (value <= 0x10ffff && digit >= 0)
            value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t> (digit);
    }

    if (i >= length || (!hex && i == firstPlace))
        return {Numeric::Kind::refused, 0, 0};

    const bool wellFormed = i > firstPlace && allDigits && ZkUtf8::isScalarValue (value);
    return {wellFormed ? Numeric::Kind::wellFormed : Numeric::Kind::illFormed, value, i + 1};
}

juce::String ZkXmlCharacterReferences::repair (const juce::String& text)
{
    const char* bytes = text.toRawUTF8();
    const auto length = std::strlen (bytes);
    const auto replacement = "&#" + std::to_string (ZkUtf8::replacementCharacter) + ";";
    std::string repaired;
    size_t copiedUpTo = 0;
    bool insideTag = false;
    char quote = 0; // of the attribute value being read, 0 outside one

    for (size_t i = 0; i + 1 < length; ++i)
    {
        const char c = bytes[i];

        if (quote != 0)
        {
            if (c == quote)
            {
                quote = 0;
                continue;
            }
        }
        else if (c == '<')
        {
            // Markup that the parser passes over without reading references
            // is stepped over, wherever it stands (the parser refuses a CDATA
            // section or end tag before the document element, and reads
            // nothing after it); any other '<' starts a tag, which is
            // followed to its attribute values.
            const auto markup = ZkXmlMarkup::at (bytes, length, i);

            if (markup.kind == ZkXmlMarkup::Kind::none)
                insideTag = true;
            else
                i = (markup.end == ZkXmlMarkup::noEnd ? length : markup.end) - 1;
            continue;
        }
        else if (insideTag)
        {
            if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                insideTag = false;
            continue;
        }

        if (c != '&' || bytes[i + 1] != '#')
            continue;

        const auto reference = readNumeric (bytes, length, i + 2);

        if (reference.kind != Numeric::Kind::illFormed)
            continue;

        repaired.append (bytes + copiedUpTo, i - copiedUpTo).append (replacement);
        copiedUpTo = reference.end;
        i = reference.end - 1;
    }

    if (copiedUpTo == 0)
        return text;

    repaired.append (bytes + copiedUpTo, length - copiedUpTo);
    return juce::String::fromUTF8 (repaired.data(), static_cast<int> (repaired.size()));
}
