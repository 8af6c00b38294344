#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/**
    The byte layout of a user preset file (".zkp"):

      "TELQUARLAB Preset File:::::"   27 bytes of ASCII header text
      "c"                             only when the body is compressed
      0                               end of the header
      body                            the XML document in UTF-8 and one 0 byte;
                                      compressed: those bytes as one zlib stream
                                      (level 9, with zlib header and checksum)

    Reading is bounded, because preset folders hold whatever users put there: a
    header must end within maxHeaderBytes, a file may be at most maxFileBytes
    long, the document (before its 0 byte) at most maxDocumentBytes, whether
    stored plainly or inflated, and it may contain at most maxMarkupOpenings
    '<' characters and no document type declaration. A preset holds about 300
    elements; the markup bound also bounds the nesting depth of the XML parser,
    which recurses per level, and without a document type the parser expands no
    entities of its own.

    Stateless; any thread. Files are read and written synchronously.
*/
class ZkUserPresetFile
{
public:
    static constexpr const char* headerText = "TELQUARLAB Preset File:::::";
    static constexpr int headerTextLength = 27;          // [bytes]
    static constexpr int maxHeaderBytes = 256;           // [bytes] before the header's 0 byte
    static constexpr int maxDocumentBytes = 1 << 20;     // [bytes] before the body's 0 byte
    static constexpr juce::int64 maxFileBytes = 2 << 20; // [bytes]
    static constexpr juce::int64 minFileBytes = headerTextLength + 1;
    static constexpr int maxMarkupOpenings = 4096; // '<' characters in the document
    static constexpr int writeBufferBytes = 32768;

    /** The file's document element, or null when the file cannot be read, is
        too small or too large, lacks the header, holds
        broken compressed data, or its text is not well-formed XML within the
        bounds above. The body ends at its 0 byte or, when that is missing,
        at the end of the file. The root element's tag is not checked here. */
    static std::unique_ptr<juce::XmlElement> readDocument (const juce::File& file);

    /** As above, for the bytes of a preset file read from stream. */
    static std::unique_ptr<juce::XmlElement> readDocument (juce::InputStream& stream);

    /** The text of a preset document: XML declaration with encoding UTF-8, no
        document type, one element per line, lines wrapped at 60 characters. */
    static juce::String createDocumentText (const juce::XmlElement& element);

    /** Writes element as a preset file to target, plain or compressed.
        The bytes go to a hidden temporary file beside target, which replaces
        target only after every byte has been written and flushed without an
        error; otherwise target is left as it was. Returns true when target now
        holds the new file. */
    static bool write (const juce::File& target, const juce::XmlElement& element, bool compressed);
};
