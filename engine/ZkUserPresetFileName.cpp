#include "engine/ZkUserPresetFileName.h"

namespace
{
constexpr int extensionLength = 4;

bool hasPresetExtension (const juce::String& fileName)
{
    const auto tail = fileName.getLastCharacters (extensionLength);
    return juce::File::areFileNamesCaseSensitive() ? tail == ZkUserPresetFileName::extension
                                                   : tail.equalsIgnoreCase (ZkUserPresetFileName::extension);
}
} // namespace

juce::String ZkUserPresetFileName::presetNameOf (const juce::String& fileName)
{
    if (fileName.length() <= extensionLength || !hasPresetExtension (fileName))
        return {};

    const auto name = fileName.dropLastCharacters (extensionLength);
    return isLoadable (name) ? name : juce::String();
}

bool ZkUserPresetFileName::isLoadable (const juce::String& name)
{
    if (name.isEmpty() || name == "." || name == "..")
        return false;

    for (auto p = name.getCharPointer(); !p.isEmpty(); ++p)
    {
        const auto c = *p;
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f)
            return false;
    }

    return true;
}

juce::File ZkUserPresetFileName::fileOf (const juce::File& folder, const juce::String& name)
{
    if (!isLoadable (name) || folder == juce::File())
        return {};

    // The path is put together as text: File::getChildFile would read a name
    // starting with "~" as a path of its own.
    return juce::File (folder.getFullPathName() + juce::File::getSeparatorString() + name + extension);
}
