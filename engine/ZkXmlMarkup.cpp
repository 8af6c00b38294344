#include "engine/ZkXmlMarkup.h"

#include <cstring>

namespace
{
bool startsWith (const char* text, std::size_t length, std::size_t at, const char* markup) noexcept
{
    const auto markupLength = std::strlen (markup);
    return length - at >= markupLength && std::memcmp (text + at, markup, markupLength) == 0;
}
} // namespace

ZkXmlMarkup::Span ZkXmlMarkup::at (const char* text, std::size_t length, std::size_t position) noexcept
{
    static constexpr struct
    {
        Kind kind;
        const char* opening;
        const char* closing;
    } markups[] = {{Kind::comment, "<!--", "-->"},
                   {Kind::processingInstruction, "<?", "?>"},
                   {Kind::characterData, "<![CDATA[", "]]>"},
                   {Kind::endTag, "</", ">"}};

    if (text == nullptr || position >= length)
        return {Kind::none, position};

    for (const auto& markup : markups)
    {
        if (!startsWith (text, length, position, markup.opening))
            continue;

        // The closing sequence is looked for after the whole opening one, as
        // the parser does: "<!-->" does not close the comment it opens.
        const auto closingLength = std::strlen (markup.closing);

        for (auto i = position + std::strlen (markup.opening); i + closingLength <= length; ++i)
            if (std::memcmp (text + i, markup.closing, closingLength) == 0)
                return {markup.kind, i + closingLength};

        return {markup.kind, noEnd};
    }

    return {Kind::none, position};
}
