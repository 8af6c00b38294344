#pragma once

#include <cstddef>

/**
    Checks the numeric character references ("&#65;", "&#x41;") of an XML text
    before the framework's parser expands them. That parser takes any number of
    up to 8 hex or 12 decimal places, lets other characters into a decimal one,
    and writes whatever code point comes out into the text it builds, surrogates
    and values past U+10FFFF included, which makes that text ill-formed UTF-8.

    A well-formed reference has one or more decimal places, or "x" (or "X") and
    one or more hex places, then ";", and names a Unicode scalar value (not a
    surrogate, at most U+10FFFF). The references the framework's writer makes
    (for control characters and for everything outside ASCII) all are.

    Stateless; any thread.
*/
class ZkXmlCharacterReferences
{
public:
    /** True when every "&#" in the length bytes of text starts a well-formed reference. */
    static bool areAllWellFormed (const char* text, size_t length);
};
