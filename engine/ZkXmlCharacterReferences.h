#pragma once

#include <juce_core/juce_core.h>

/**
    Repairs the numeric character references ("&#65;", "&#x41;") of an XML text
    before the framework's parser expands them. That parser takes any number of
    up to 8 hex or 12 decimal places, lets other characters into a decimal one,
    and writes whatever code point comes out into the text it builds, surrogates
    and values past U+10FFFF included, which makes that text ill-formed UTF-8.

    A well-formed reference has one or more decimal places, or "x" (or "X") and
    one or more hex places, then ";", and names a Unicode scalar value (not a
    surrogate, at most U+10FFFF). The references the framework's writer makes
    (for control characters and for everything outside ASCII) all are, but
    earlier versions wrote a name from a host as it came: a surrogate or a
    value past U+10FFFF became a reference to it.

    Stateless; any thread.
*/
class ZkXmlCharacterReferences
{
public:
    /** text with each reference that the parser reads but that is not
        well-formed replaced by a reference to U+FFFD (ZkUtf8::replacementCharacter).
        A reference the parser refuses (more places than it reads, a hex one
        with other characters, a decimal one without places) is left for it to
        refuse. Only text and attribute values hold references: comments,
        processing instructions, CDATA sections and end tags, which the parser
        steps over without expanding anything in them, are left as they are,
        each up to the end the parser finds for it (ZkXmlMarkup), wherever it
        stands (the parser refuses a CDATA section or end tag before the
        document element, and reads nothing after it). The result is as
        long as text or longer (the shortest reference repaired, "&#x;", has 4
        characters, its replacement 8); text itself when nothing needs a
        repair. */
    static juce::String repair (const juce::String& text);

    /** A numeric reference as the parser reads it. */
    struct Numeric
    {
        enum class Kind
        {
            wellFormed, // value is its character
            illFormed,  // read by the parser, but it names no character UTF-8 can carry
            refused,    // not read by the parser, or no reference at all
        };

        Kind kind;
        juce::uint32 value; // with wellFormed
        size_t end;         // just past its ';', but with refused
    };

    /** The numeric reference whose places start at text[start], just after
        its "&#" (text is length bytes). */
    static Numeric readNumeric (const char* text, size_t length, size_t start);
};
