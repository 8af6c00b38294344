#include "engine/ZkHostStateChunk.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>

namespace
{
uint32_t readLittleEndian32 (const uint8_t* bytes)
{
    return (uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) |
           ((uint32_t)bytes[3] << 24);
}

void writeLittleEndian32 (uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = (uint8_t)((value >> (8 * i)) & 0xffu);
}

bool isDigit (juce::juce_wchar c)
{
    return c >= '0' && c <= '9';
}

/** True when the text, white space at its end aside, ends in '>'. */
bool endsWithTagEnd (const char* text, size_t length)
{
    while (length > 0 && juce::CharacterFunctions::isWhitespace (text[length - 1]))
        --length;

    return length > 0 && text[length - 1] == '>';
}
} // namespace

void ZkHostStateChunk::write (const juce::XmlElement& xml, juce::MemoryBlock& destData)
{
    juce::MemoryOutputStream text;
    xml.writeTo (text, juce::XmlElement::TextFormat().singleLine().withoutHeader());

    const auto textLength = text.getDataSize();
    destData.reset();

    if (textLength > (size_t)std::numeric_limits<int32_t>::max() - headerSize - 1)
        return;

    destData.setSize ((size_t)headerSize + textLength + 1, true);
    auto* bytes = static_cast<uint8_t*> (destData.getData());
    writeLittleEndian32 (bytes, magic);
    writeLittleEndian32 (bytes + 4, (uint32_t)textLength);
    std::memcpy (bytes + headerSize, text.getData(), textLength);
    bytes[headerSize + textLength] = 0;
}

std::unique_ptr<juce::XmlElement> ZkHostStateChunk::read (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= headerSize)
        return {};

    const auto* bytes = static_cast<const uint8_t*> (data);

    if (readLittleEndian32 (bytes) != magic)
        return {};

    const auto declaredLength = (int32_t)readLittleEndian32 (bytes + 4);

    if (declaredLength <= 0)
        return {};

    // The text is the shorter of the declared length and what the block holds,
    // and like a C string it ends at the first 0 byte.
    const auto* text = reinterpret_cast<const char*> (bytes + headerSize);
    const auto available = (size_t)juce::jmin (declaredLength, sizeInBytes - headerSize);
    const auto length = strnlen (text, available);

    // The parser accepts an element cut off between two attributes; a cut-off
    // text would then pass for one that lacks the rest. A complete element ends
    // in '>' (inside values it is always escaped).
    if (length > (size_t)maxTextLength || !endsWithTagEnd (text, length))
        return {};

    return ZkBoundedXmlReader::parse (text, length, textLimits);
}

bool ZkHostStateChunk::looksLikeInteger (const juce::String& text)
{
    const auto trimmed = text.trim();
    auto p = trimmed.getCharPointer();

    if (*p == '-')
        ++p;

    if (!isDigit (*p))
        return false;

    while (isDigit (*p))
        ++p;

    return *p == 0;
}

std::optional<int> ZkHostStateChunk::parseInteger (const juce::String& text)
{
    if (!looksLikeInteger (text))
        return {};

    const auto trimmed = text.trim();
    auto p = trimmed.getCharPointer();
    const bool negative = *p == '-';

    if (negative)
        ++p;

    // Saturates instead of wrapping: the result is clamped to the int range below.
    int64_t magnitude = 0;

    for (; isDigit (*p); ++p)
        magnitude = juce::jmin ((int64_t)std::numeric_limits<int>::max() + 1, magnitude * 10 + (*p - '0'));

    const auto value = negative ? -magnitude : magnitude;
    return (int)juce::jlimit ((int64_t)std::numeric_limits<int>::min(),
                              (int64_t)std::numeric_limits<int>::max(), value);
}

std::optional<double> ZkHostStateChunk::parseFiniteNumber (const juce::String& text)
{
    const auto trimmed = text.trim();
    auto p = trimmed.getCharPointer();

    if (*p == '-' || *p == '+')
        ++p;

    int digits = 0;

    for (; isDigit (*p); ++p)
        ++digits;

    if (*p == '.')
        for (++p; isDigit (*p); ++p)
            ++digits;

    if (digits == 0)
        return {};

    if (*p == 'e' || *p == 'E')
    {
        ++p;

        if (*p == '-' || *p == '+')
            ++p;

        if (!isDigit (*p))
            return {};

        while (isDigit (*p))
            ++p;
    }

    if (*p != 0)
        return {};

    // Correctly rounded and independent of the host's locale, so that a number
    // the framework wrote reads back as the value that writes the same text.
    std::istringstream stream (trimmed.toStdString());
    stream.imbue (std::locale::classic());
    double value = 0.0;
    stream >> value;

    if (stream.fail() || !std::isfinite (value))
        return {};

    return value;
}

std::vector<std::optional<juce::String>> ZkHostStateChunk::findAttributes (const juce::XmlElement& xml,
                                                                           const juce::StringArray& names)
{
    std::vector<std::optional<juce::String>> texts ((size_t)names.size());

    // The attributes in their order, copied in one walk (the element's own accessors
    // walk its list from the start for every index or name). The copy turns an
    // attribute named "base64:..." into binary data under a shorter name: with such
    // an attribute, the element itself is asked for every name instead.
    juce::NamedValueSet attributes;
    attributes.setFromXmlAttributes (xml);

    for (int i = 0; i < attributes.size(); ++i)
    {
        if (attributes.getValueAt (i).isBinaryData())
        {
            for (int k = 0; k < names.size(); ++k)
                if (xml.hasAttribute (names[k]))
                    texts[(size_t)k] = xml.getStringAttribute (names[k]);

            return texts;
        }
    }

    // Each attribute is compared with the name after the last one found first, then
    // searched among all names; the first attribute of a name gives its text.
    int next = 0;

    for (int i = 0; i < attributes.size(); ++i)
    {
        const auto name = attributes.getName (i).toString(); // a copy: the Identifier is a temporary
        const int k = next < names.size() && names[next] == name ? next : names.indexOf (name);

        if (k < 0)
            continue;

        next = k + 1;

        if (!texts[(size_t)k].has_value())
            texts[(size_t)k] = attributes.getValueAt (i).toString();
    }

    return texts;
}
