#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <memory>

/**
    Parses an XML document that comes from outside the plug-in (a host's state
    chunk, a preset file, the properties file) only when it stays within bounds
    that make parsing it safe and cheap:

    - at most maxBytes bytes of text, all of it valid UTF-8 without 0 bytes,
      starting with markup (after an optional byte order mark and white space);
    - at most maxTags '<' characters, those inside attribute values included;
    - elements nested at most maxDepth deep: the framework's parser recurses
      once per nesting level (a few thousand levels overflow a small host
      thread's stack). The depth is followed the way the parser reads the
      markup (comments, character data, entity references and quoted values
      are stepped over as it steps over them); markup whose nesting cannot be
      followed that way, such as a malformed tag or a stray '&', is refused;
    - at most maxAttributes attributes, so that a document with far more than
      the plug-in writes is refused before anything walks them;
    - no document type declaration, with which the parser would read and expand
      entity definitions of the document's own;
    - no processing instruction but one leading the document (the XML
      declaration): the parser loops for ever on one inside an element that
      text follows.

    Valid UTF-8 is what the framework's test takes (ZkUtf8::isReadable), as
    earlier versions read it, but the parser only sees well-formed text:
    overlong forms and encoded surrogates (ZkUtf8::toValidString), and
    references that are ill-formed or name no character UTF-8 can carry
    (ZkXmlCharacterReferences), become U+FFFD; the parser would put any of
    them into the text it builds. The bounds hold only for the document this
    reader returns: bytes it was given must reach no other parser (the
    framework's lenient decoder reads "c0 bc" as '<').

    The parser's time grows with the square of the references in one
    attribute value; long values that hold references are decoded by
    ZkXmlAttributeValues instead and put into the tree it builds, so that
    reading takes time in proportion to the text's length whatever it holds.

    The text is scanned before the parser sees it, in two linear passes (the
    second, ZkXmlNestingScan, follows the nesting), and once more each to
    repair references and to take out attribute values; all of them step over
    the markup that the parser steps over with ZkXmlMarkup. Stateless; any
    thread.
*/
class ZkBoundedXmlReader
{
public:
    struct Limits
    {
        size_t maxBytes = 0; // [bytes] of text
        int maxTags = 0;     // '<' anywhere, inside attribute values too
        int maxAttributes = 0;
    };

    /** [levels] How deep elements may nest, the document element counting as
        one; the plug-in's own documents nest at most 3 deep. */
    static constexpr int maxDepth = 32;

    /** True when text (length bytes, not necessarily 0-terminated) stays within limits. */
    static bool isWithinLimits (const char* text, size_t length, const Limits& limits);

    /** The document element of text, or null when text is empty, breaks the
        limits or is not well-formed XML. */
    static std::unique_ptr<juce::XmlElement> parse (const char* text, size_t length, const Limits& limits);
};
