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
    - at most maxTags '<' characters, those inside comments and attribute
      values included;
    - elements nested at most maxDepth deep: the framework's parser recurses
      once per nesting level (a few thousand levels overflow a small host
      thread's stack);
    - at most maxAttributes attributes, so that a document with far more than
      the plug-in writes is refused before anything walks them;
    - at most maxAttributeNames different attribute names. The parser makes
      every attribute and tag name a string of the framework's process-wide
      pool (juce::StringPool), one sorted array in which each new name moves
      the entries after it, so a document's cost grows with the square of its
      new names (tag names are bounded by maxTags). Before each parse the
      pool is purged of the names that nothing uses any more (the framework
      does so only every 30 s), so the names of documents read and released
      before cost nothing: a folder of presets takes time in proportion to
      its bytes whatever their names;
    - no document type declaration, with which the parser would read and expand
      entity definitions of the document's own;
    - no processing instruction but one leading the document (the XML
      declaration): the parser loops for ever on one inside an element that
      text follows.

    Valid UTF-8 is what the framework's test takes (ZkUtf8::isReadable), as
    earlier versions read it, but the parser only sees well-formed text:
    overlong forms and encoded surrogates (ZkUtf8::toValidString), and
    ill-formed numeric references (ZkXmlCharacterReferences), become U+FFFD;
    the parser would put other characters than they name into the text it
    builds. The bounds hold only for the document this reader returns: bytes
    it was given must reach no other parser (the framework's lenient decoder
    reads "c0 bc" as '<').

    The parser's time grows with the square of the references in one
    attribute value; long values that hold references are decoded by
    ZkXmlAttributeValues instead and put into the tree it builds, so that
    reading takes time in proportion to the text's length whatever it holds.

    The text is read in linear passes before the parser sees it:

    - a raw one over every '<' that counts the tags and refuses a document
      type declaration or a processing instruction after the first '<',
      wherever they stand (also inside a comment or a value: it errs on the
      side of refusing);
    - ZkXmlNestingScan, which follows the nesting and reads the start tags
      and their attributes as the parser does, stepping over the markup the
      parser steps over (ZkXmlMarkup), and refuses markup it cannot follow
      that way (a malformed tag, a stray '&'): it counts the depth, the
      attributes and their different names (these hashed, once each);
    - byte passes that check and repair the UTF-8;
    - ZkXmlCharacterReferences::repair, which follows tags and quoted values
      itself and steps over markup with ZkXmlMarkup;
    - ZkXmlAttributeValues, which takes out values through ZkXmlNestingScan.

    Stateless; any thread.
*/
class ZkBoundedXmlReader
{
public:
    struct Limits
    {
        size_t maxBytes = 0;       // [bytes] of text
        int maxTags = 0;           // '<' anywhere, inside attribute values too
        int maxAttributes = 0;     // attributes that the parser reads
        int maxAttributeNames = 0; // different names among them
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
