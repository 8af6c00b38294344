// The built plug-in measured through the test host, as a host sees it:
//   - processing: real-time factor at 48 kHz stereo in blocks of 256 with a
//     playing transport (every block has time information), with the default
//     preset and with every part of the signal path on;
//   - instance creation: entry call to an open effect, with the shared object
//     and JUCE already running for another instance, and as the first instance
//     of the process (opening the shared object and starting JUCE included);
//   - memory per instance: growth of the resident memory over 16 instances;
//   - state chunk save and restore.
//
// Counters: realtime_factor [seconds of audio per second on one core],
// resident_MB_per_instance and heap_MB_per_instance [MB], chunk_bytes.
// The plug-in is ZK_PLUGIN when set, else the one this build made.

#include "host/HostTransport.h"
#include "host/HostedPlugin.h"
#include "tests/support/HeadlessDisplay.h"
#include "tests/support/TemporaryProcessHome.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

std::string pluginPath()
{
    const char* fromEnvironment = std::getenv ("ZK_PLUGIN");
    return fromEnvironment != nullptr && *fromEnvironment != 0 ? fromEnvironment : ZK_PLUGIN_PATH;
}

std::unique_ptr<HostedPlugin> load (benchmark::State& state)
{
    std::string error;
    auto plugin = HostedPlugin::load (pluginPath(), error);
    if (plugin == nullptr)
        state.SkipWithError (error.c_str());
    return plugin;
}

void setByName (HostedPlugin& plugin, const std::string& name, float value)
{
    const int index = plugin.findParameter (name);
    if (index >= 0)
        plugin.setParameter (index, value);
}

// Low-pass with resonance, drive, ping-pong echo with feedback, swing and a
// pattern that mixes every step length class.
void setEveryPartActive (HostedPlugin& plugin)
{
    const std::pair<const char*, float> values[] = {
        {"LowpassActive", 1.0f}, {"LowpassCutoff", 0.6f},  {"LowpassReso", 0.7f},
        {"DriveActive", 1.0f},   {"DriveInputGain", 0.4f}, {"EchoActive", 1.0f},
        {"EchoFeedback", 0.8f},  {"Swing", 0.5f},          {"Mix", 0.8f},
        {"Attack", 0.2f},        {"Release", 0.4f},
    };
    for (const auto& [name, value] : values)
        setByName (plugin, name, value);

    const float classes[] = {0.375f, 0.625f, 0.875f, 0.125f, 0.375f};
    for (int step = 1; step <= 16; ++step)
        setByName (plugin, (step < 10 ? "StepLength-0" : "StepLength-") + std::to_string (step) + "-A",
                   classes[(step - 1) % 5]);
}

void processing (benchmark::State& state, bool everyPartActive)
{
    auto plugin = load (state);
    if (plugin == nullptr)
        return;
    if (everyPartActive)
        setEveryPartActive (*plugin);

    HostTransport transport (sampleRate, 120.0);
    plugin->setTransport (&transport);
    plugin->setSampleRate (sampleRate);
    plugin->setBlockSize (blockSize);
    plugin->resume();

    // A tone on both channels, processed in place.
    std::vector<float> left (blockSize), right (blockSize);
    for (int i = 0; i < blockSize; ++i)
        left[static_cast<std::size_t> (i)] = right[static_cast<std::size_t> (i)] =
            static_cast<float> (0.5 * std::sin (0.05 * i));
    float* channels[] = {left.data(), right.data()};

    for (auto _ : state)
    {
        plugin->process (channels, channels, blockSize);
        transport.advance (blockSize);
        benchmark::ClobberMemory();
    }

    const double frames = static_cast<double> (state.iterations()) * blockSize;
    state.counters["realtime_factor"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);
    plugin->setTransport (nullptr);
}

void BM_ProcessDefaultPreset (benchmark::State& state)
{
    processing (state, false);
}

void BM_ProcessEveryPartActive (benchmark::State& state)
{
    processing (state, true);
}

// Entry call to an open effect while another instance keeps everything loaded.
void BM_CreateInstance (benchmark::State& state)
{
    auto keeper = load (state);
    if (keeper == nullptr)
        return;

    for (auto _ : state)
    {
        auto plugin = load (state);
        state.PauseTiming();
        plugin.reset();
        state.ResumeTiming();
    }
}

// The first instance of a process: opening the shared object, starting JUCE
// and its message thread, then the entry call to an open effect.
void BM_CreateFirstInstance (benchmark::State& state)
{
    for (auto _ : state)
    {
        auto plugin = load (state);
        state.PauseTiming();
        plugin.reset();
        state.ResumeTiming();
    }
}

// Stream set-up of a new instance: sample rate, block size, resume.
void BM_ResumeNewInstance (benchmark::State& state)
{
    auto keeper = load (state);
    if (keeper == nullptr)
        return;

    for (auto _ : state)
    {
        state.PauseTiming();
        auto plugin = load (state);
        state.ResumeTiming();
        plugin->setSampleRate (sampleRate);
        plugin->setBlockSize (blockSize);
        plugin->resume();
        state.PauseTiming();
        plugin.reset();
        state.ResumeTiming();
    }
}

std::size_t residentBytes()
{
    std::ifstream statm ("/proc/self/statm");
    std::size_t total = 0, resident = 0;
    statm >> total >> resident;
    return resident * static_cast<std::size_t> (sysconf (_SC_PAGESIZE));
}

// Resident memory and heap in use per instance, over 16 instances that have
// each processed a block (so that everything an instance touches is counted).
void BM_MemoryPerInstance (benchmark::State& state)
{
    constexpr int numInstances = 16;
    auto keeper = load (state);
    if (keeper == nullptr)
        return;

    double residentPerInstance = 0.0, heapPerInstance = 0.0;
    for (auto _ : state)
    {
        malloc_trim (0);
        const std::size_t residentBefore = residentBytes();
        const std::size_t heapBefore = mallinfo2().uordblks + mallinfo2().hblkhd;

        std::vector<std::unique_ptr<HostedPlugin>> plugins;
        std::vector<float> left (blockSize), right (blockSize);
        float* channels[] = {left.data(), right.data()};
        HostTransport transport (sampleRate, 120.0);
        for (int i = 0; i < numInstances; ++i)
        {
            plugins.push_back (load (state));
            plugins.back()->setTransport (&transport);
            plugins.back()->setSampleRate (sampleRate);
            plugins.back()->setBlockSize (blockSize);
            plugins.back()->resume();
            plugins.back()->process (channels, channels, blockSize);
            plugins.back()->setTransport (nullptr);
        }

        residentPerInstance = static_cast<double> (residentBytes() - residentBefore) / numInstances;
        heapPerInstance =
            static_cast<double> (mallinfo2().uordblks + mallinfo2().hblkhd - heapBefore) / numInstances;

        state.PauseTiming();
        plugins.clear();
        state.ResumeTiming();
    }

    state.counters["resident_MB_per_instance"] = residentPerInstance / 1.0e6;
    state.counters["heap_MB_per_instance"] = heapPerInstance / 1.0e6;
}

void BM_ChunkSave (benchmark::State& state)
{
    auto plugin = load (state);
    if (plugin == nullptr)
        return;

    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = plugin->getChunk().size();

    state.counters["chunk_bytes"] = static_cast<double> (bytes);
}

void BM_ChunkRestore (benchmark::State& state)
{
    auto plugin = load (state);
    if (plugin == nullptr)
        return;

    setEveryPartActive (*plugin);
    const auto chunk = plugin->getChunk();

    for (auto _ : state)
        benchmark::DoNotOptimize (plugin->setChunk (chunk));

    state.counters["chunk_bytes"] = static_cast<double> (chunk.size());
}
} // namespace

BENCHMARK (BM_ProcessDefaultPreset)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_ProcessEveryPartActive)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_CreateInstance)->Unit (benchmark::kMillisecond)->Iterations (50);
BENCHMARK (BM_CreateFirstInstance)->Unit (benchmark::kMillisecond)->Iterations (10);
BENCHMARK (BM_ResumeNewInstance)->Unit (benchmark::kMillisecond)->Iterations (50);
BENCHMARK (BM_MemoryPerInstance)->Unit (benchmark::kMillisecond)->Iterations (3);
BENCHMARK (BM_ChunkSave)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_ChunkRestore)->Unit (benchmark::kMicrosecond);

// HOME points at a temporary folder: every instance writes its properties file
// and presets folder under the home folder.
int main (int argc, char** argv)
{
    const TemporaryProcessHome home ("zk-bench-home-");

    // Nothing here opens a window.
    HeadlessDisplay::use();

    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
