#pragma once

#include "engine/ZkBoundedXmlReader.h"

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
    '<' characters, at most maxAttributes attributes with at most
    maxAttributeNames different names, and no document type declaration
    (ZkBoundedXmlReader). A preset holds about 300 elements.

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
    static constexpr int maxAttributes = 8192;     // a preset has about 620
    static constexpr int maxAttributeNames = 256;  // different ones; a preset has 18

    /** What the document may hold (see ZkBoundedXmlReader). */
    static constexpr ZkBoundedXmlReader::Limits documentLimits{(size_t)maxDocumentBytes, maxMarkupOpenings,
                                                               maxAttributes, maxAttributeNames};

    /** The file's document element, or null when the file cannot be read, is
        too small or too large, is no regular file (ZkRegularFileReader
        reads it, once), lacks the header, holds
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
        The file replaces target in one step, only once every byte is written
        and synced to the disk (ZkSafeFileWriter); otherwise target is left as
        it was. Only the file read at target just before is replaced: a target
        that is a symbolic link to a preset file stays a link and that file
        is replaced; any other link is replaced itself. A file that another
        program put at target meanwhile, also where there was none, is not
        overwritten: the write fails. Returns true when target now holds the
        new file. */
    static bool write (const juce::File& target, const juce::XmlElement& element, bool compressed);
};
