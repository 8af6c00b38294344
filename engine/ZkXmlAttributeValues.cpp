#include "engine/ZkXmlAttributeValues.h"

#include "engine/ZkUtf8.h"
#include "engine/ZkXmlMarkup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace
{
bool isSpace (char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The characters of tag and attribute names that ZkXmlNestingScan takes.
bool isNameCharacter (char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == ':' || c == '.';
}

char toLowerCase (char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char> (c - 'A' + 'a') : c;
}

int digitValue (char c, bool hex) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';

    if (hex && toLowerCase (c) >= 'a' && toLowerCase (c) <= 'f')
        return toLowerCase (c) - 'a' + 10;

    return -1;
}

/** Reads the reference after a '&' (text holds what follows it, up to the
    value's end) and appends its character to decoded, as the parser does.
    The bytes it takes, ';' included, or 0 for one that is refused. */
std::size_t appendReference (const char* text, std::size_t length, std::string& decoded)
{
    static constexpr struct
    {
        const char* name; // compared in any letter case, ';' included
        char character;
    } named[] = {{"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}, {"lt;", '<'}, {"gt;", '>'}};

    for (const auto& reference : named)
    {
        const auto nameLength = std::strlen (reference.name);
        std::size_t i = 0;

        while (i < nameLength && i < length && toLowerCase (text[i]) == reference.name[i])
            ++i;

        if (i == nameLength)
        {
            decoded += reference.character;
            return nameLength;
        }
    }

    if (length == 0 || text[0] != '#')
        return 0;

    // The most places the parser reads: 8 hex, 12 decimal (no overflow here).
    const bool hex = length > 1 && (text[1] == 'x' || text[1] == 'X');
    const std::size_t firstPlace = hex ? 2 : 1, maxPlaces = hex ? 8 : 12;
    std::uint64_t value = 0;
    std::size_t i = firstPlace;

    for (; i < length && text[i] != ';'; ++i)
    {
        const int digit = digitValue (text[i], hex);

        if (digit < 0 || i - firstPlace >= maxPlaces)
            return 0;

        value = value * (hex ? 16u : 10u) + static_cast<std::uint64_t> (digit);
    }

    // The parser takes "&#x;" as code point 0, but no decimal reference without places.
    if (i >= length || (!hex && i == firstPlace) || value > 0x10ffff ||
        !ZkUtf8::isScalarValue (static_cast<juce::uint32> (value)))
        return 0;

    if (value != 0)
    {
        char encoded[4];
        juce::CharPointer_UTF8 end (encoded);
        end.write (static_cast<juce::juce_wchar> (value));
        decoded.append (encoded, static_cast<std::size_t> (end.getAddress() - encoded));
    }

    return i + 1;
}

/** True when the value at index among its element's attributes (length
    bytes, without its quotes) costs less to restore than for the parser to
    read: the parser copies the value read so far for each reference in it,
    restoring walks index + 1 attributes. */
bool isTakenOut (const char* value, std::size_t length, int index)
{
    // A step of the walk (a pointer that is seldom in the nearest cache)
    // costs as much as the parser's copying for some 700 ("&#x1F600;") to
    // 3500 ("&amp;") units of references times length.
    constexpr std::uint64_t stepCost = 512;

    const auto references = static_cast<std::uint64_t> (std::count (value, value + length, '&'));
    return references > 0 && references * length > stepCost * (static_cast<std::uint64_t> (index) + 1);
}

/** value (length bytes, without its quotes) as the parser reads it; false
    when it holds a reference that is refused. */
bool decode (const char* value, std::size_t length, std::string& decoded)
{
    decoded.clear();

    for (std::size_t i = 0; i < length;)
    {
        const auto* ampersand = static_cast<const char*> (std::memchr (value + i, '&', length - i));

        if (ampersand == nullptr)
        {
            decoded.append (value + i, length - i);
            break;
        }

        const auto at = static_cast<std::size_t> (ampersand - value);
        decoded.append (value + i, at - i);

        const auto taken = appendReference (value + at + 1, length - at - 1, decoded);

        if (taken == 0)
            return false;

        i = at + 1 + taken;
    }

    return true;
}
} // namespace

/** Follows the document element's start tags as ZkXmlNestingScan does and
    decodes the values to take from the parser (isTakenOut). */
class ZkXmlAttributeValues::Walk
{
public:
    Walk (const char* textToWalk, std::size_t lengthToWalk, std::vector<Value>& valuesToFill) noexcept
        : text (textToWalk)
        , length (lengthToWalk)
        , values (valuesToFill)
    {
    }

    /** False when the markup cannot be followed or a value cannot be read. */
    bool run()
    {
        using Kind = ZkXmlMarkup::Kind;
        int depth = 0;

        while (position < length)
        {
            if (text[position] != '<')
            {
                // Only white space comes before the document element.
                if (depth == 0 && !isSpace (text[position]))
                    return false;
                ++position;
                continue;
            }

            const auto markup = ZkXmlMarkup::at (text, length, position);

            if (markup.kind == Kind::none)
            {
                ++depth;
                bool isEmpty = false;
                if (!readStartTag (isEmpty))
                    return false;
                if (isEmpty && --depth == 0)
                    return true;
            }
            else if (markup.kind == Kind::endTag && depth > 0)
            {
                // Without a '>' the parser ends every open element here.
                if (markup.end == ZkXmlMarkup::noEnd || --depth == 0)
                    return true;
                position = markup.end;
            }
            else
            {
                if (markup.end == ZkXmlMarkup::noEnd ||
                    (depth == 0 && (markup.kind == Kind::characterData || markup.kind == Kind::endTag)))
                    return false;
                position = markup.end;
            }
        }

        return true;
    }

    int numElements = 0;
    std::vector<std::pair<std::size_t, std::size_t>> emptied; // [first, last) bytes of each value taken

private:
    void skipSpace() noexcept
    {
        while (position < length && isSpace (text[position]))
            ++position;
    }

    bool skipName() noexcept
    {
        const auto start = position;
        while (position < length && isNameCharacter (text[position]))
            ++position;
        return position > start;
    }

    bool skip (char c) noexcept
    {
        if (position >= length || text[position] != c)
            return false;
        ++position;
        return true;
    }

    // At '<' of a start tag: its name, then name="value" pairs up to '>' or "/>" (isEmpty).
    bool readStartTag (bool& isEmpty)
    {
        const int element = numElements++;
        const auto firstValueOfElement = values.size();
        int attributes = 0;

        ++position;
        if (!skipName())
            return false;

        for (;;)
        {
            skipSpace();

            if (skip ('/'))
            {
                if (!skip ('>'))
                    return false;
                isEmpty = true;
                break;
            }

            if (skip ('>'))
                break;

            if (!skipName())
                return false;

            skipSpace();
            if (!skip ('='))
                return false;
            skipSpace();

            if (position >= length || (text[position] != '"' && text[position] != '\''))
                return false;

            const char quote = text[position++];
            const auto* closing =
                static_cast<const char*> (std::memchr (text + position, quote, length - position));

            if (closing == nullptr)
                return false;

            const auto first = position, last = static_cast<std::size_t> (closing - text);

            if (isTakenOut (text + first, last - first, attributes))
            {
                if (!decode (text + first, last - first, decoded))
                    return false;

                values.push_back (
                    {element, attributes, 0,
                     juce::String::fromUTF8 (decoded.data(), static_cast<int> (decoded.size()))});
                emptied.emplace_back (first, last);
            }

            ++attributes;
            position = last + 1;
        }

        for (auto i = firstValueOfElement; i < values.size(); ++i)
            values[i].attributesOfElement = attributes;

        return true;
    }

    const char* text;
    std::size_t length;
    std::size_t position = 0;
    std::vector<Value>& values;
    std::string decoded; // of the value being read
};

ZkXmlAttributeValues::ZkXmlAttributeValues (const juce::String& text)
{
    const char* bytes = text.toRawUTF8();
    const auto length = text.getNumBytesAsUTF8();
    Walk walk (bytes, length, values);

    readable = walk.run();
    numElements = walk.numElements;

    if (!readable || values.empty())
    {
        values.clear();
        textToParse = readable ? text : juce::String();
        return;
    }

    std::string emptiedText;
    emptiedText.reserve (length);
    std::size_t copied = 0;

    for (const auto& [first, last] : walk.emptied)
    {
        emptiedText.append (bytes + copied, first - copied);
        copied = last;
    }

    emptiedText.append (bytes + copied, length - copied);
    textToParse = juce::String::fromUTF8 (emptiedText.data(), static_cast<int> (emptiedText.size()));
}

bool ZkXmlAttributeValues::restore (juce::XmlElement& documentElement) const
{
    if (values.empty())
        return true;

    // The elements in the order of their start tags (text elements aside),
    // walked without recursion; path holds the element being visited and its
    // ancestors.
    std::vector<juce::XmlElement*> path{&documentElement};
    std::size_t next = 0; // the first value not yet restored
    int ordinal = 0;

    while (!path.empty())
    {
        auto& element = *path.back();

        if (!element.isTextElement())
        {
            if (next < values.size() && values[next].element == ordinal)
            {
                if (element.getNumAttributes() != values[next].attributesOfElement)
                    return false;

                for (; next < values.size() && values[next].element == ordinal; ++next)
                {
                    // The attribute's own String, which the element holds
                    // as a non-const member; its value was emptied for the parser.
                    auto& value =
                        const_cast<juce::String&> (element.getAttributeValue (values[next].attribute));

                    if (value.isNotEmpty())
                        return false;

                    value = values[next].text;
                }
            }

            ++ordinal;
        }

        if (auto* child = element.getFirstChildElement())
        {
            path.push_back (child);
            continue;
        }

        while (!path.empty())
        {
            auto* sibling = path.size() > 1 ? path.back()->getNextElement() : nullptr;
            path.pop_back();

            if (sibling != nullptr)
            {
                path.push_back (sibling);
                break;
            }
        }
    }

    return next == values.size() && ordinal == numElements;
}
