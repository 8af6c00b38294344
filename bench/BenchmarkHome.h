// Benchmarks make processors, which write a properties file and a presets
// folder under the home folder: they run with temporary ones.

#pragma once

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
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

/** The body of a benchmark's main: runs the registered benchmarks with JUCE
    started and a temporary home folder under parent, removed afterwards. */
inline int runBenchmarks (int argc, char** argv, const std::filesystem::path& parent)
{
    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    const auto home = makeTemporaryFolder (parent, "zk-bench-home-");
    use (home);

    {
        juce::ScopedJuceInitialiser_GUI juce;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }

    std::error_code ignored;
    std::filesystem::remove_all (home, ignored);
    return 0;
}
} // namespace BenchmarkHome
