#include "engine/ZkHomeFolder.h"

#include <cstdlib>

juce::File ZkHomeFolder::find()
{
#if !JUCE_WINDOWS
    // Tested as the environment holds it, before the framework turns a relative
    // path into one under the working folder.
    if (const char* home = std::getenv ("HOME"))
        if (home[0] != '/')
            return {};
#endif

    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

    if (home == juce::File() || !home.isDirectory())
        return {};

    return home;
}
