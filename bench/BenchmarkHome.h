// Benchmarks make processors, which write a properties file and a presets
// folder under the home folder: they run with temporary ones.

#pragma once

#include "BenchmarkHomeFolder.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <filesystem>
#include <system_error>

namespace BenchmarkHome
{
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
