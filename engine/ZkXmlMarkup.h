#pragma once

#include <cstddef>

/**
    The markup of an XML text that the framework's parser steps over without
    reading a reference in it, and where the parser finds its end:

    - a comment, "<!--" up to the first "-->" after it;
    - a processing instruction, "<?" up to the first "?>" after it;
    - a CDATA section, "<![CDATA[" up to the first "]]>" after it;
    - an end tag, "</" up to its first '>'.

    The parser steps over comments wherever it skips white space (before the
    document element, inside a tag, between child elements) and inside text;
    processing instructions only where it skips white space: inside an
    element, one that text follows sends it round in a loop for ever (so
    ZkBoundedXmlReader refuses any but the leading XML declaration). It reads
    CDATA sections and end tags only inside an element: before the document
    element it refuses both. Which of them a scan may meet where is the scan's
    own rule; where each ends is this one, for every scan that must read a
    text as the parser does: ZkXmlNestingScan (and, through it, the attribute
    count of ZkBoundedXmlReader and ZkXmlAttributeValues) and
    ZkXmlCharacterReferences.

    Stateless; any thread.
*/
class ZkXmlMarkup
{
public:
    enum class Kind
    {
        none, // none of the above starts here (a start tag, or no '<' at all)
        comment,
        processingInstruction,
        characterData,
        endTag,
    };

    /** The end of markup that has none before the text ends. The parser
        refuses such a comment, processing instruction or CDATA section; at an
        end tag without one it ends every open element. */
    static constexpr std::size_t noEnd = static_cast<std::size_t> (-1);

    struct Span
    {
        Kind kind;
        std::size_t end; // just past the markup's end; noEnd; the position itself for none
    };

    /** The markup that starts at text[position] (text of length bytes). */
    static Span at (const char* text, std::size_t length, std::size_t position) noexcept;
};
