#pragma once

#include <cstddef>
#include <string_view>

/**
    Follows how deep the elements of an XML text nest without recursing, and
    reads the markup as the framework's parser does, so that what it counts is
    what the parser will recurse through: comments, character data, processing
    instructions and end tags are stepped over where the parser ends them
    (ZkXmlMarkup), quoted attribute values and entity references exactly as
    the parser steps over them. Before the document element only white space,
    comments and processing instructions may stand, as the parser requires.

    Markup whose reading the parser would leave to guesswork (a malformed tag,
    a comment inside a tag, a '&' that does not start a short reference such as
    "&amp;" or "&#x20;") is refused: the parser could otherwise swallow an end
    tag or expose one that this scan did not see. The scan ends at the end of
    the document element; the parser reads no further.

    A scan can also tell each attribute's name and where its value lies
    (AttributeValues), so that a reader of attributes finds them exactly where
    the parser does.

    Stateless; any thread.
*/
class ZkXmlNestingScan
{
public:
    /** Told of the attributes of the document element and the elements in
        it, in document order. */
    struct AttributeValues
    {
        virtual ~AttributeValues() = default;

        /** An element's attribute: its name (a part of the text) and its
            value, text[first, last) without its quotes. element counts the
            start tags from 0 (the document element), attribute the element's
            attributes from 0. False stops the scan, which then fails. */
        virtual bool value (int element, int attribute, std::string_view name, std::size_t first,
                            std::size_t last) = 0;

        /** The element's start tag has ended, with numAttributes attributes. */
        virtual void endOfStartTag (int element, int numAttributes) = 0;
    };

    /** True when no element of text (length bytes) lies deeper than maxDepth
        (the document element is at depth 1) and its markup can be followed.
        values, when given, is told of every attribute on the way. */
    static bool isWithin (const char* text, std::size_t length, int maxDepth,
                          AttributeValues* values = nullptr);
};
