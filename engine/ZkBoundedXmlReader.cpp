#include "engine/ZkBoundedXmlReader.h"

#include "engine/ZkUtf8.h"
#include "engine/ZkXmlAttributeValues.h"
#include "engine/ZkXmlCharacterReferences.h"
#include "engine/ZkXmlNestingScan.h"

#include <cstring>

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

    // One pass: every '<' counts as a tag (also one inside a value, where the
    // parser may still take it for one); an '=' inside a tag and outside quotes
    // starts an attribute.
    int tags = 0, attributes = 0;
    bool insideTag = false;
    char quote = 0;

    for (size_t i = 0; i < length; ++i)
    {
        const char c = text[i];

        if (c == '<')
        {
            if (++tags > limits.maxTags || startsWithDocType (text + i, length - i))
                return false;

            // A processing instruction is only allowed as the document's first
            // markup (the XML declaration): inside an element, one followed by
            // text sends the parser round in a loop for ever.
            if (tags > 1 && i + 1 < length && text[i + 1] == '?')
                return false;

            if (quote == 0)
                insideTag = true;
        }
        else if (quote != 0)
        {
            if (c == quote)
                quote = 0;
        }
        else if (insideTag)
        {
            if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                insideTag = false;
            else if (c == '=' && ++attributes > limits.maxAttributes)
                return false;
        }
    }

    return ZkXmlNestingScan::isWithin (text, length, maxDepth);
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

    juce::XmlDocument document (values.getTextToParse());
    auto element = document.getDocumentElement();

    if (element == nullptr || document.getLastParseError().isNotEmpty() || !values.restore (*element))
        return {};

    return element;
}
