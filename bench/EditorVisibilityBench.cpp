// The built plug-in's editor in the test host's window under a real display,
// with audio playing in real time (48 kHz stereo, blocks of 256, transport
// running) and the host's idle calls at 60 Hz, as a host keeps them up:
//   - shown: the editor open in the host's mapped window;
//   - hidden: the host's window unmapped with the editor still open (Ardour
//     hides a plug-in window so), measured once the editor has noticed;
//   - closed: the editor closed, for comparison (audio and idle calls only).
//
// Counter: cpu_percent [% of one core]: the user and system time of the whole
// process (audio thread, the host's thread with the idle calls and everything
// the plug-in runs) over the wall time measured. The X server's own work is
// not counted.
//
// Needs a display with a window manager: run it under
// tests/support/with-display.sh. The plug-in is ZK_PLUGIN when set, else the
// one this build made.

#include "host/HostAudioThread.h"
#include "host/HostWindow.h"
#include "host/HostedPlugin.h"
#include "tests/support/HeadlessDisplay.h"
#include "tests/support/TemporaryProcessHome.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <system_error>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr auto idleInterval = std::chrono::microseconds (16667); // 60 Hz
constexpr auto measuredTime = std::chrono::seconds (5);          // per iteration
constexpr auto settleTime = std::chrono::seconds (2); // for the editor to open, or to notice a change

enum class EditorState
{
    shown,
    hidden,
    closed
};

std::string pluginPath()
{
    const char* fromEnvironment = std::getenv ("ZK_PLUGIN");
    return fromEnvironment != nullptr && *fromEnvironment != 0 ? fromEnvironment : ZK_PLUGIN_PATH;
}

/** [s] User and system time of the process so far. */
double processCpuSeconds()
{
    rusage usage{};
    getrusage (RUSAGE_SELF, &usage);
    const auto seconds = [] (const timeval& time)
    { return (double)time.tv_sec + 1.0e-6 * (double)time.tv_usec; };
    return seconds (usage.ru_utime) + seconds (usage.ru_stime);
}

/** The host's GUI thread: idle calls at 60 Hz for a while. */
void idleFor (HostedPlugin& plugin, Clock::duration duration)
{
    const auto start = Clock::now();
    for (auto next = start; next - start < duration; next += idleInterval)
    {
        plugin.dispatch (effEditIdle);
        std::this_thread::sleep_until (next + idleInterval);
    }
}

void editorCpu (benchmark::State& state, EditorState editorState)
{
    if (!HeadlessDisplay::isAvailable())
    {
        state.SkipWithError ("no DISPLAY (run under tests/support/with-display.sh)");
        return;
    }

    HostWindow host;
    if (!host.isOpen())
    {
        state.SkipWithError ("cannot connect to the display");
        return;
    }

    std::string error;
    auto plugin = HostedPlugin::load (pluginPath(), error);
    if (plugin == nullptr)
    {
        state.SkipWithError (error.c_str());
        return;
    }

    ERect* rect = nullptr;
    if (plugin->dispatch (effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr)
    {
        state.SkipWithError ("the plug-in has no editor");
        return;
    }
    host.resize (rect->right - rect->left, rect->bottom - rect->top);

    {
        HostAudioThread audio (*plugin, HostAudioThread::Pace::realTime);

        if (plugin->dispatch (effEditOpen, 0, 0, host.getParentHandle()) != 1)
        {
            state.SkipWithError ("the editor did not open");
            return;
        }
        idleFor (*plugin, settleTime);

        if (editorState == EditorState::hidden)
            host.hide();
        else if (editorState == EditorState::closed)
            plugin->dispatch (effEditClose);
        idleFor (*plugin, settleTime);

        double cpu = 0.0, wall = 0.0;
        for (auto _ : state)
        {
            const double cpuBefore = processCpuSeconds();
            const auto wallBefore = Clock::now();
            idleFor (*plugin, measuredTime);
            const double elapsed = std::chrono::duration<double> (Clock::now() - wallBefore).count();

            cpu += processCpuSeconds() - cpuBefore;
            wall += elapsed;
            state.SetIterationTime (elapsed);
        }

        state.counters["cpu_percent"] = wall > 0.0 ? 100.0 * cpu / wall : 0.0;
        plugin->dispatch (effEditClose);
    }
}

void BM_EditorShown (benchmark::State& state)
{
    editorCpu (state, EditorState::shown);
}

void BM_EditorHidden (benchmark::State& state)
{
    editorCpu (state, EditorState::hidden);
}

void BM_EditorClosed (benchmark::State& state)
{
    editorCpu (state, EditorState::closed);
}
} // namespace

BENCHMARK (BM_EditorShown)->UseManualTime()->Unit (benchmark::kSecond)->Iterations (2);
BENCHMARK (BM_EditorHidden)->UseManualTime()->Unit (benchmark::kSecond)->Iterations (2);
BENCHMARK (BM_EditorClosed)->UseManualTime()->Unit (benchmark::kSecond)->Iterations (2);

// HOME points at a temporary folder: every instance writes its properties file
// and presets folder under the home folder.
int main (int argc, char** argv)
{
    const TemporaryProcessHome home ("zk-editor-bench-home-");

    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
