#include "engine/ZkPresetName.h"

juce::String ZkPresetName::makeSafe (const juce::String& name, const juce::String& allowedCharacters)
{
    return name.retainCharacters (allowedCharacters).trim().substring (0, maxLength).trimEnd();
}
