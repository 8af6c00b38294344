#pragma once

#include <juce_core/juce_core.h>

/**
    Which files of the presets folder are user presets, and which file a preset
    name stands for. The folder listing and the load by name both go through
    here, so that every listed preset can be loaded by its name and every name
    that loads is listed.

    A preset file's name is the preset name followed by ".zkp", the extension
    compared under this platform's letter-case rule for file names (exactly on
    Linux, ignoring case on macOS). Preset names are not limited to the
    characters that the save panel admits: files renamed by hand keep their
    names. A name only has to stand for a file directly inside the folder: it is
    not empty, ".", or "..", holds no path separator ('/' or '\\') and no control
    character. A file name with overlong forms or encoded surrogates stands for
    its repair (ZkUtf8::toValidString), which fileOf does not find: such a
    preset loads through the file that the folder scan lists for it.

    Stateless; any thread.
*/
class ZkUserPresetFileName
{
public:
    static constexpr const char* extension = ".zkp";

    /** The preset name that the file name fileName stands for, or an empty
        string when it names no user preset (another extension, or a name
        before it that isLoadable refuses, as for ".zkp"). */
    static juce::String presetNameOf (const juce::String& fileName);

    /** True when name can stand for a file directly inside the presets folder. */
    static bool isLoadable (const juce::String& name);

    /** The file of preset name inside folder (the folder's path, the separator,
        name and ".zkp"); a default file when isLoadable refuses name. */
    static juce::File fileOf (const juce::File& folder, const juce::String& name);
};
