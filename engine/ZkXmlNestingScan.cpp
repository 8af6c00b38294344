#include "engine/ZkXmlNestingScan.h"

#include "engine/ZkXmlMarkup.h"

#include <cstring>

namespace
{
// The longest entity reference between '&' and ';' ("#x10FFFF" has 8 characters).
constexpr std::size_t maxReferenceLength = 32;

bool isSpace (char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The ASCII characters of the parser's tag and attribute names; a name with
// other characters is refused.
bool isNameCharacter (char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == ':' || c == '.';
}

bool isReferenceCharacter (char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

class Scanner
{
public:
    Scanner (const char* textToScan, std::size_t lengthToScan,
             ZkXmlNestingScan::AttributeValues* valuesToTell) noexcept
        : text (textToScan)
        , length (lengthToScan)
        , values (valuesToTell)
    {
    }

    bool isWithin (int maxDepth)
    {
        skipByteOrderMark();
        int depth = 0;

        while (position < length)
        {
            const char c = text[position];

            if (c == '<')
            {
                using Kind = ZkXmlMarkup::Kind;
                const auto markup = ZkXmlMarkup::at (text, length, position);

                if (markup.kind == Kind::none)
                {
                    if (++depth > maxDepth)
                        return false;

                    bool isEmpty = false;
                    if (!readStartTag (isEmpty))
                        return false;
                    if (isEmpty && --depth == 0)
                        return true;
                }
                else if (markup.kind == Kind::endTag && depth > 0)
                {
                    // The parser ends the element at the first '>'; without
                    // one, every open element ends here.
                    if (markup.end == ZkXmlMarkup::noEnd || --depth == 0)
                        return true;
                    position = markup.end;
                }
                else
                {
                    // Before the document element the parser refuses a CDATA
                    // section or an end tag; it refuses any markup without an end.
                    if (markup.end == ZkXmlMarkup::noEnd ||
                        (depth == 0 && (markup.kind == Kind::characterData || markup.kind == Kind::endTag)))
                        return false;
                    position = markup.end;
                }
            }
            else if (depth == 0)
            {
                // Only white space and markup come before the document element.
                if (!isSpace (c))
                    return false;
                ++position;
            }
            else if (c == '&')
            {
                if (!skipReference())
                    return false;
            }
            else
            {
                ++position;
            }
        }

        return true;
    }

private:
    void skipByteOrderMark() noexcept
    {
        if (length >= 3 && (unsigned char)text[0] == 0xef && (unsigned char)text[1] == 0xbb &&
            (unsigned char)text[2] == 0xbf)
            position = 3;
    }

    bool startsWith (const char* markup) const noexcept
    {
        const auto markupLength = std::strlen (markup);
        return length - position >= markupLength && std::memcmp (text + position, markup, markupLength) == 0;
    }

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

    // At '&': a reference of letters, digits and '#' up to ';', which is all
    // that the parser consumes for it.
    bool skipReference() noexcept
    {
        auto i = position + 1;
        while (i < length && i - position <= maxReferenceLength && isReferenceCharacter (text[i]))
            ++i;

        if (i == position + 1 || i >= length || text[i] != ';')
            return false;

        position = i + 1;
        return true;
    }

    // At '<' of a start tag: its name, then name="value" pairs up to '>' or
    // "/>" (isEmpty), as the parser reads them.
    bool readStartTag (bool& isEmpty)
    {
        const int element = numStartTags++;
        int attribute = 0;

        ++position;
        if (!skipName())
            return false;

        for (;; ++attribute)
        {
            skipSpace();

            if (startsWith ("/>") || startsWith (">"))
            {
                isEmpty = text[position] == '/';
                position += isEmpty ? 2 : 1;

                if (values != nullptr)
                    values->endOfStartTag (element, attribute);

                return true;
            }

            const auto nameStart = position;
            if (!skipName())
                return false;

            const std::string_view name (text + nameStart, position - nameStart);
            skipSpace();
            if (!startsWith ("="))
                return false;
            ++position;
            skipSpace();

            if (position >= length || (text[position] != '"' && text[position] != '\''))
                return false;

            const char quote = text[position++];
            const auto first = position;

            while (position < length && text[position] != quote)
            {
                if (text[position] == '&')
                {
                    if (!skipReference())
                        return false;
                }
                else
                {
                    ++position;
                }
            }

            if (position >= length ||
                (values != nullptr && !values->value (element, attribute, name, first, position)))
                return false;
            ++position;
        }
    }

    const char* text;
    std::size_t length;
    ZkXmlNestingScan::AttributeValues* values;
    std::size_t position = 0;
    int numStartTags = 0;
};
} // namespace

bool ZkXmlNestingScan::isWithin (const char* text, std::size_t length, int maxDepth, AttributeValues* values)
{
    return text != nullptr && Scanner (text, length, values).isWithin (maxDepth);
}
