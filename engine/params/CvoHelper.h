#pragma once

#include <juce_core/juce_core.h>

/**
    Small text utilities for parameter names, pattern letters and step numbers.

    Stateless; every function may be called from any thread (they allocate the
    returned text, so not from the audio thread).
*/
class CvoHelper
{
public:
    /** One-character text for an ASCII code 1..127; empty text for 0 and for any
        code outside 0..127 (negative codes included). */
    static juce::String asciiCodeToString (int code);

    /** Decimal text of n with a "0" in front when n <= 9 ("00".."09"); 10 and
        above unchanged. Used for the two-digit step numbers "01".."16". */
    static juce::String getStringWithLeadingZero (int n);

    /** Pattern letter: 1..8 give "A".."H", 0 gives "@" (code 64); any other n
        gives empty text. */
    static juce::String digitFrom1To8ToACharAsString (int n);

    /** Pattern index from a letter: code of the first character minus 65 ("A" 0,
        "H" 7); empty text gives 0. No range check. */
    static int stringFromAToHToInt (const juce::String& text);

private:
    CvoHelper() = delete;
};
