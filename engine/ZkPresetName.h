#pragma once

#include <juce_core/juce_core.h>

/**
    User preset names double as file names inside the presets folder, so a name
    that reaches the disk, from the editor, the host, a state chunk or a
    folder listing, is first reduced to a safe form: only the allowed
    characters (letters, digits, space and a few marks, none of them a path
    separator or a dot), no leading or trailing spaces, at most maxLength
    characters. The result can only ever name a file directly inside the
    presets folder.

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

    /** True when name is not empty and already in its safe form. */
    static bool isSafe (const juce::String& name, const juce::String& allowedCharacters);
};
