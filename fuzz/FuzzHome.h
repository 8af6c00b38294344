// The fuzz targets make processors, which write a properties file and a
// presets folder under the home folder: each target runs in a temporary home
// folder, made before JUCE starts and removed when the process exits.

#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>
#include <unistd.h>

namespace FuzzHome
{
/** Makes a folder "zk-fuzz-home-..." in the first of parents where that works,
    points HOME and XDG_CONFIG_HOME at it and removes it at exit. Aborts when
    no folder can be made. Call once per process. */
inline void useTemporaryHome (std::initializer_list<const char*> parents = { "/tmp" })
{
    static char homeFolder[256] = {};

    for (const auto* parent : parents)
    {
        std::string pattern = std::string (parent) + "/zk-fuzz-home-XXXXXX";
        if (pattern.size() < sizeof (homeFolder) && mkdtemp (pattern.data()) != nullptr)
        {
            std::snprintf (homeFolder, sizeof (homeFolder), "%s", pattern.c_str());
            break;
        }
    }

    if (homeFolder[0] == 0)
        std::abort();

    setenv ("HOME", homeFolder, 1);
    setenv ("XDG_CONFIG_HOME", (std::string (homeFolder) + "/.config").c_str(), 1);
    std::atexit (
        []
        {
            std::error_code ignored;
            std::filesystem::remove_all (homeFolder, ignored);
        });
}
} // namespace FuzzHome
