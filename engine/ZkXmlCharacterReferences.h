#pragma once

#include <juce_core/juce_core.h>

/**
    Repairs the numeric character references ("&#65;", "&#x41;") of an XML text
    before the framework's parser expands them. That parser takes any number of
    up to 8 hex or 12 decimal places, lets other characters into a decimal one,
    and writes whatever code point comes out into the text it builds, surrogates
    and values past U+10FFFF included (below).

    A well-formed reference has one or more decimal places, or "x" (or "X") and
    one or more hex places, then ";", and names a Unicode scalar value (not a
    surrogate, at most U+10FFFF). The references the framework's writer makes
    (for control characters and for everything outside ASCII) all are, but
    earlier versions wrote a name from a host as it came: a surrogate or a
    value past U+10FFFF became a reference to it.

    The parser reads three kinds of ill-formed reference, each as something
    else than a character the reference names: one without places ("&#x;"),
    which it reads as code point 0 and so as nothing; a decimal one whose
    places after the first are not all digits, which it reads counting each
    character by its distance from '0' ("&#1a;" is ';'); and one that names
    no Unicode scalar value (a surrogate, past U+10FFFF), which it writes
    into its text as ill-formed UTF-8 or, some past U+1FFFFF whose high bits
    it drops, as another character.

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
            illFormed,  // read by the parser, but ill-formed (above): without places, with
                        // places that are not digits, or naming no Unicode scalar value
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
