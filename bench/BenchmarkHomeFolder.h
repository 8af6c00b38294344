// A temporary home folder for benchmarks: benchmarks make processors, which
// write a properties file and a presets folder under the home folder. Without
// the framework, for benchmarks that load the built plug-in.

#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace BenchmarkHome
{
/** A new empty folder under parent; the program ends when none can be made. */
inline std::filesystem::path makeTemporaryFolder (const std::filesystem::path& parent, const char* prefix)
{
    std::string pattern = (parent / (std::string (prefix) + "XXXXXX")).string();
    if (mkdtemp (pattern.data()) == nullptr)
    {
        std::perror ("mkdtemp");
        std::exit (2);
    }
    return pattern;
}

/** Points HOME, and the configuration folder where the presets folder lies, at home. */
inline void use (const std::filesystem::path& home)
{
    setenv ("HOME", home.c_str(), 1);
    setenv ("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
}
} // namespace BenchmarkHome
