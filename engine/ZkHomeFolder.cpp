#include "engine/ZkHomeFolder.h"

#include <cstdlib>

juce::File ZkHomeFolder::find()
{
#if JUCE_LINUX || JUCE_BSD
    // The framework takes the home folder from HOME there: tested as the
    // environment holds it, before a relative path turns into one under the
    // working folder. (On macOS the system names the home folder.)
    if (const char* home = std::getenv ("HOME"))
        if (home[0] != '/')
            return {};
#endif

    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

    if (home == juce::File() || !home.isDirectory())
        return {};

    return home;
}
