// Benchmarks make processors, which write a properties file and a presets
// folder under the home folder: they run with temporary ones.

#pragma once

#include "tests/support/TemporaryProcessHome.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <filesystem>

namespace BenchmarkHome
{
/** The body of a benchmark's main: runs the registered benchmarks with JUCE
    started and a temporary home folder under parent, removed afterwards. */
inline int runBenchmarks (int argc, char** argv, const std::filesystem::path& parent)
{
    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    const TemporaryProcessHome home ("zk-bench-home-", {parent});
    {
        juce::ScopedJuceInitialiser_GUI juce;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return 0;
}
} // namespace BenchmarkHome
