#pragma once

#include "engine/ZkBoundedXmlReader.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

/**
    The binary block in which the processor hands its state to the host:

        offset 0      4 bytes  magic 0x21324356, little-endian
        offset 4      4 bytes  n = length of the XML text in bytes, little-endian
        offset 8      n bytes  one XML element as UTF-8, on one line, no declaration
        offset 8 + n  1 byte   0

    Reading accepts what the framework's own binary XML blocks hold (also a
    text with an XML declaration) but refuses anything that could make the
    parser recurse deeply, expand entities or walk far more attributes than a
    chunk has: a document type declaration, more than a few tags, more than
    maxAttributes attributes or maxAttributeNames different names of them,
    or more than a megabyte of text (ZkBoundedXmlReader). A refused or
    unparsable block gives no element.

    Also holds the strict number readers used for the element's attributes.
    Stateless; any thread.
*/
class ZkHostStateChunk
{
public:
    static constexpr uint32_t magic = 0x21324356;
    static constexpr int headerSize = 8;           // [bytes] magic and length
    static constexpr int maxTextLength = 1 << 20;  // [bytes] far above a real chunk (about 12 KB)
    static constexpr int maxTags = 64;             // a chunk is one element; a few tags of slack
    static constexpr int maxAttributes = 1024;     // a chunk has about 320
    static constexpr int maxAttributeNames = 1024; // a chunk's attributes all have names of their own

    /** What the text may hold (see ZkBoundedXmlReader). */
    static constexpr ZkBoundedXmlReader::Limits textLimits{(size_t)maxTextLength, maxTags, maxAttributes,
                                                           maxAttributeNames};

    /** Replaces the contents of destData with the block holding xml. */
    static void write (const juce::XmlElement& xml, juce::MemoryBlock& destData);

    /** The element held by a block, or null when the block is not one that can be read safely. */
    static std::unique_ptr<juce::XmlElement> read (const void* data, int sizeInBytes);

    /** An optional '-' followed by decimal digits only (surrounding white space allowed);
        saturated to the int range. Anything else: no value. */
    static std::optional<int> parseInteger (const juce::String& text);

    /** A decimal number ("-0.25", "1e-07", "3") whose value is finite. Anything else,
        "nan" and "inf" included: no value. */
    static std::optional<double> parseFiniteNumber (const juce::String& text);

    /** True when text has the form that parseInteger accepts. */
    static bool looksLikeInteger (const juce::String& text);

    /** For each of names (all different), the text of the element's first attribute of
        that name, or no value when it has none: what hasAttribute and getStringAttribute
        answer, found in one walk over the attributes instead of one search per name.
        Fastest when the attributes come in the order of names. */
    static std::vector<std::optional<juce::String>> findAttributes (const juce::XmlElement& xml,
                                                                    const juce::StringArray& names);
};
