#include "engine/ZkXmlAttributeValues.h"

#include "engine/ZkXmlCharacterReferences.h"
#include "engine/ZkXmlNestingScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace
{
char toLowerCase (char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char> (c - 'A' + 'a') : c;
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

    // ZkXmlCharacterReferences::repair leaves no ill-formed reference, which
    // the parser would write as another character than it names.
    const auto reference = ZkXmlCharacterReferences::readNumeric (text, length, 1);

    if (reference.kind != ZkXmlCharacterReferences::Numeric::Kind::wellFormed)
        return 0;

    if (reference.value != 0) // the parser appends nothing for code point 0
    {
        char encoded[4];
        juce::CharPointer_UTF8 end (encoded);
        end.write (static_cast<juce::juce_wchar> (reference.value));
        decoded.append (encoded, static_cast<std::size_t> (end.getAddress() - encoded));
    }

    return reference.end;
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

/** Decodes the values to take from the parser (isTakenOut), as the nesting
    scan finds them. */
class ZkXmlAttributeValues::Reader : public ZkXmlNestingScan::AttributeValues
{
public:
    Reader (const char* textToRead, std::vector<Value>& valuesToFill) noexcept
        : text (textToRead)
        , values (valuesToFill)
    {
    }

    bool value (int element, int attribute, std::string_view, std::size_t first, std::size_t last) override
    {
        if (!isTakenOut (text + first, last - first, attribute))
            return true;

        if (!decode (text + first, last - first, decoded))
            return false;

        values.push_back ({element, attribute, 0,
                           juce::String::fromUTF8 (decoded.data(), static_cast<int> (decoded.size()))});
        emptied.emplace_back (first, last);
        return true;
    }

    void endOfStartTag (int element, int numAttributes) override
    {
        for (auto i = values.size(); i > 0 && values[i - 1].element == element; --i)
            values[i - 1].attributesOfElement = numAttributes;

        numElements = element + 1;
    }

    int numElements = 0;
    std::vector<std::pair<std::size_t, std::size_t>> emptied; // [first, last) bytes of each value taken

private:
    const char* text;
    std::vector<Value>& values;
    std::string decoded; // of the value being read
};

ZkXmlAttributeValues::ZkXmlAttributeValues (const juce::String& text)
{
    const char* bytes = text.toRawUTF8();
    const auto length = text.getNumBytesAsUTF8();
    Reader reader (bytes, values);

    // The depth was bounded before; here only the values are looked for.
    readable = ZkXmlNestingScan::isWithin (bytes, length, std::numeric_limits<int>::max(), &reader);
    numElements = reader.numElements;

    if (!readable || values.empty())
    {
        values.clear();
        textToParse = readable ? text : juce::String();
        return;
    }

    std::string emptiedText;
    emptiedText.reserve (length);
    std::size_t copied = 0;

    for (const auto& [first, last] : reader.emptied)
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
