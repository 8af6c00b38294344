#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

/**
    Well-formed UTF-8, as the Unicode standard defines it: no overlong forms, no
    encoded surrogates (U+D800..U+DFFF), nothing above U+10FFFF, no stray or
    missing continuation bytes.

    The framework's own test takes overlong forms and surrogates, and its
    decoder turns bytes that are not UTF-8 into other characters (ff becomes
    0f, c0 af becomes "/"): text from outside is checked or repaired here
    before the framework reads it. Earlier versions took all that the
    framework's test takes (isReadable); such text is repaired, not refused.

    Stateless, no allocation but in the repairs; any thread.
*/
class ZkUtf8
{
public:
    /** The code point that stands for what could not be read. */
    static constexpr juce::juce_wchar replacementCharacter = 0xfffd;

    /** True when the length bytes of text are all well-formed UTF-8 (a 0 byte
        counts as a character). */
    static bool isValid (const char* text, size_t length);

    /** True when the length bytes of text (at most INT_MAX) pass the framework's
        own test, as earlier versions checked text from outside: well-formed, or
        with overlong forms or encoded surrogates, but no stray or missing
        continuation byte and nothing above U+10FFFF. toValidString repairs it. */
    static bool isReadable (const char* text, size_t length);

    /** True for the code points UTF-8 can carry: 0..U+10FFFF but the surrogates. */
    static bool isScalarValue (juce::uint32 codePoint);

    /** The text of the bytes up to length (at most some 500 million) or the first
        0 byte, every ill-formed
        part replaced by U+FFFD: one for each maximal part that starts like a
        sequence but does not complete one (e2 82 followed by 'A' gives one), one
        for each byte that starts none (c0 af gives two). */
    static juce::String toValidString (const char* text, size_t length);

    /** The string itself when its bytes are well-formed, else its repair as above. */
    static juce::String makeValid (const juce::String& text);
};
