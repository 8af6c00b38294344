#pragma once

// Points HOME at a fresh, empty folder for the lifetime of the object and puts
// the previous value back afterwards. Processors made meanwhile create their
// properties file and presets folder in it. The folder lies inside the home
// folder that the test entry point set up (or inside a folder of the test's
// own, such as a small file system), never in the real one.

#include <juce_core/juce_core.h>

#include <cstdlib>

class TemporaryHome
{
public:
    explicit TemporaryHome (const juce::File& parent = {})
        : previousHome (std::getenv ("HOME") != nullptr ? std::getenv ("HOME") : "")
        , folder ((parent == juce::File() ? juce::File (previousHome) : parent)
                      .getNonexistentChildFile ("home", "", false))
    {
        folder.createDirectory();
        setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~TemporaryHome()
    {
        setenv ("HOME", previousHome.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

    const juce::File& getFolder() const { return folder; }

    /** Where the processor's properties file lies on Linux. */
    juce::File getPropertiesFile() const { return folder.getChildFile ("TELQUARLAB/ZkOstinel.zkproperties"); }

    /** The default user presets folder on Linux. */
    juce::File getDefaultPresetsFolder() const
    {
        return folder.getChildFile (".config/TELQUARLAB/ZkOstinel Presets");
    }

private:
    juce::String previousHome;
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TemporaryHome)
};
