#pragma once

#include <juce_core/juce_core.h>

/**
    The names under which new user presets are saved: only the allowed
    characters (letters, digits, space and a few marks, none of them a path
    separator or a dot), no leading or trailing spaces, at most maxLength
    characters. Such a name can only ever name a file directly inside the
    presets folder. (Files renamed by hand keep their names: listing and
    loading follow ZkUserPresetFileName.)

    Stateless; any thread.
*/
class ZkPresetName
{
public:
    /** [characters] the longest name the save panel admits. */
    static constexpr int maxLength = 39;

    /** name without the characters that are not in allowedCharacters, trimmed
        and cut to maxLength characters; empty when nothing usable is left. */
    static juce::String makeSafe (const juce::String& name, const juce::String& allowedCharacters);
};
