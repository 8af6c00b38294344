#include "engine/ZkBoundedXmlReader.h"

#include "engine/ZkUtf8.h"
#include "engine/ZkXmlAttributeValues.h"
#include "engine/ZkXmlCharacterReferences.h"
#include "engine/ZkXmlNestingScan.h"

#include <cstring>
#include <string_view>
#include <unordered_set>

namespace
{
bool startsWithDocType (const char* text, size_t length)
{
    static constexpr char docType[] = "<!DOCTYPE";
    constexpr size_t docTypeLength = sizeof (docType) - 1;

    if (length < docTypeLength)
        return false;

    for (size_t i = 0; i < docTypeLength; ++i)
        if (juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) (unsigned char)text[i]) != docType[i])
            return false;

    return true;
}

/** Counts the attributes that the parser reads and their different names,
    and stops the scan beyond the limits. A name is hashed once, so the count
    takes time in proportion to the names' length whatever they share. */
class AttributeCount : public ZkXmlNestingScan::AttributeValues
{
public:
    explicit AttributeCount (const ZkBoundedXmlReader::Limits& limitsToKeep)
        : limits (limitsToKeep)
    {
    }

    bool value (int, int, std::string_view name, std::size_t, std::size_t) override
    {
        if (++numAttributes > limits.maxAttributes)
            return false;

        names.insert (name);
        return (int)names.size() <= limits.maxAttributeNames;
    }

    void endOfStartTag (int, int) override {}

private:
    const ZkBoundedXmlReader::Limits& limits;
    int numAttributes = 0;
    std::unordered_set<std::string_view> names; // parts of the text scanned
};

/** True when the text starts with markup, after an optional byte order mark
    and white space, as an XML document does. */
bool startsWithMarkup (const char* text, size_t length)
{
    size_t i = 0;

    if (length >= 3 && (unsigned char)text[0] == 0xef && (unsigned char)text[1] == 0xbb &&
        (unsigned char)text[2] == 0xbf)
        i = 3;

    while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;

    return i < length && text[i] == '<';
}
} // namespace

bool ZkBoundedXmlReader::isWithinLimits (const char* text, size_t length, const Limits& limits)
{
    if (text == nullptr || length > limits.maxBytes)
        return false;

    // A raw pass over every '<', wherever it stands: inside a comment or a
    // value it counts as a tag as well, and a document type declaration or
    // processing instruction found there is refused as well.
    int tags = 0;

    for (auto* at = static_cast<const char*> (std::memchr (text, '<', length)); at != nullptr;
         at = static_cast<const char*> (std::memchr (at + 1, '<', length - (size_t)(at + 1 - text))))
    {
        const auto i = (size_t)(at - text);

        if (++tags > limits.maxTags || startsWithDocType (at, length - i))
            return false;

        // A processing instruction is only allowed as the document's first
        // markup (the XML declaration): inside an element, one followed by
        // text sends the parser round in a loop for ever.
        if (tags > 1 && i + 1 < length && at[1] == '?')
            return false;
    }

    // The nesting and the attributes, read as the parser reads them.
    AttributeCount attributes (limits);
    return ZkXmlNestingScan::isWithin (text, length, maxDepth, &attributes);
}

std::unique_ptr<juce::XmlElement> ZkBoundedXmlReader::parse (const char* text, size_t length,
                                                             const Limits& limits)
{
    if (length == 0 || !isWithinLimits (text, length, limits) || !startsWithMarkup (text, length))
        return {};

    // A terminated copy: the UTF-8 test may look one sequence ahead, and the
    // caller's bytes need not end where the text does. A 0 byte inside the
    // text is no valid encoding of a document.
    juce::HeapBlock<char> copy (length + 1);
    std::memcpy (copy.get(), text, length);
    copy[length] = 0;

    if (std::strlen (copy.get()) != length || !ZkUtf8::isReadable (copy.get(), length))
        return {};

    // A byte order mark before the document (some editors write one) is
    // skipped: the framework's parser of a string would take it for text.
    // What the parser reads is repaired: ill-formed UTF-8 and references to
    // no character become U+FFFD. An overlong form of a markup character
    // ("c0 bc" for '<') is no markup to the scans above, and its U+FFFD is
    // none to the parser; a repaired reference stays a reference. So the
    // scans hold for the text the parser reads, which is the only reading of
    // these bytes: no caller hands them to another parser.
    // Long attribute values that hold references are decoded in one pass
    // and put into the tree afterwards: the parser's time for them grows with
    // the square of their references (ZkXmlAttributeValues).
    const size_t start = juce::CharPointer_UTF8::isByteOrderMark (copy.get()) ? 3 : 0;
    const ZkXmlAttributeValues values (
        ZkXmlCharacterReferences::repair (ZkUtf8::toValidString (copy.get() + start, length - start)));

    if (!values.isReadable())
        return {};

    // The parser makes every tag and attribute name a string of the
    // framework's process-wide pool: one sorted array, in which each new
    // name moves every entry after it, and which the framework purges of
    // names nothing uses only every 30 s. Purged here before each document,
    // the pool holds no names of documents read and released before, so a
    // document's names cost the same whatever other documents held. The
    // purge looks at every entry and, for each one it removes, moves the
    // entries after it; few stay in use in this plug-in's process (16 while
    // an instance is created), so its time grows with the pool's size. It
    // holds the pool's lock: the framework itself purges from any thread.
    juce::StringPool::getGlobalPool().garbageCollect();

    juce::XmlDocument document (values.getTextToParse());
    auto element = document.getDocumentElement();

    if (element == nullptr || document.getLastParseError().isNotEmpty() || !values.restore (*element))
        return {};

    return element;
}
