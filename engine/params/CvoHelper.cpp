#include "CvoHelper.h"

juce::String CvoHelper::asciiCodeToString (int code)
{
    // Compared unsigned, so negative codes fall outside the range as well.
    if (code == 0 || static_cast<unsigned int> (code) > 127u)
        return {};

    return juce::String::charToString (static_cast<juce::juce_wchar> (code));
}

juce::String CvoHelper::getStringWithLeadingZero (int n)
{
    if (n <= 9)
        return "0" + juce::String (n);

    return juce::String (n);
}

juce::String CvoHelper::digitFrom1To8ToACharAsString (int n)
{
    if (static_cast<unsigned int> (n) > 8u)
        return {};

    return asciiCodeToString (64 + n);
}

int CvoHelper::stringFromAToHToInt (const juce::String& text)
{
    if (text.isEmpty())
        return 0;

    return static_cast<int> (text[0]) - 65;
}
