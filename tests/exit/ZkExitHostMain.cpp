// zk_exit_host: hosts that end their process in the ways real hosts do, each run
// in a child process whose exit status is checked. A host that calls exit()
// with the effect still open (no effClose: a render script's os.exit, a host
// that quits without unloading, a crash reporter) must end with the status it
// asked for, just as one that closes the effect first.
//
//   zk_exit_host [--runs N] <scenario>
//
// Scenarios: close (suspend, close, return from main), exit-open (exit(0) after
// processing, effect open), exit-editor (exit(0) with the editor open in a
// window of the host and audio processed), exit-editor-closed (the editor
// opened and closed again, then exit(0) with the effect open). The editor
// scenarios need a display (DISPLAY; tests/support/with-display.sh) and are
// skipped without one (status 77).

#include "host/HostTransport.h"
#include "host/HostedPlugin.h"
#include "tests/support/HeadlessDisplay.h"
#include "tests/support/TemporaryProcessHome.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef ZK_HAVE_X11
#define ZK_HAVE_X11 0
#endif

#if ZK_HAVE_X11
#include <X11/Xlib.h>
#endif

#ifndef ZK_PLUGIN_PATH
#error "ZK_PLUGIN_PATH: the path of the built plug-in"
#endif

namespace
{
constexpr int kSkipped = 77;
constexpr int kBlock = 256;
constexpr double kRate = 48000.0;

bool hasDisplay()
{
    return ZK_HAVE_X11 && HeadlessDisplay::isAvailable();
}

// A second of a square wave through the plug-in, with a playing transport.
void processSomeAudio (HostedPlugin& plugin, HostTransport& transport, int blocks)
{
    std::vector<float> left (kBlock), right (kBlock);
    float* channels[] = {left.data(), right.data()};

    for (int block = 0; block < blocks; ++block)
    {
        for (int i = 0; i < kBlock; ++i)
            left[(std::size_t)i] = right[(std::size_t)i] = (i % 64) < 32 ? 0.5f : -0.5f;
        plugin.process (channels, channels, kBlock);
        transport.advance (kBlock);
    }
}

std::unique_ptr<HostedPlugin> loadAndStart (HostTransport& transport)
{
    // ZK_PLUGIN names another build of the plug-in.
    const char* path = std::getenv ("ZK_PLUGIN");
    std::string error;
    auto plugin = HostedPlugin::load (path != nullptr && *path != 0 ? path : ZK_PLUGIN_PATH, error);

    if (plugin == nullptr)
    {
        std::cerr << "zk_exit_host: " << error << "\n";
        std::exit (3);
    }

    plugin->setTransport (&transport);
    plugin->setSampleRate (kRate);
    plugin->setBlockSize (kBlock);
    plugin->resume();
    return plugin;
}

#if ZK_HAVE_X11
// The editor in a window of the host's own, given idle time between audio
// blocks as a host's GUI thread does; closed again when asked.
void runEditor (HostedPlugin& plugin, HostTransport& transport, bool closeAgain)
{
    // Kept until the process ends, as a host's GUI keeps its connection.
    static Display* const display = XOpenDisplay (nullptr);
    if (display == nullptr)
    {
        std::cerr << "zk_exit_host: cannot open the display\n";
        std::exit (4);
    }

    ERect* rect = nullptr;
    plugin.dispatch (effEditGetRect, 0, 0, &rect);
    const int width = rect != nullptr ? rect->right - rect->left : 640;
    const int height = rect != nullptr ? rect->bottom - rect->top : 360;

    const int screen = DefaultScreen (display);
    const Window window =
        XCreateSimpleWindow (display, RootWindow (display, screen), 0, 0, (unsigned)width, (unsigned)height,
                             0, BlackPixel (display, screen), BlackPixel (display, screen));
    XMapWindow (display, window);
    XSync (display, False);

    if (plugin.dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (window)) != 1)
    {
        std::cerr << "zk_exit_host: the editor did not open\n";
        std::exit (5);
    }

    for (int round = 0; round < 20; ++round)
    {
        processSomeAudio (plugin, transport, 4);
        plugin.dispatch (effEditIdle);
    }

    if (closeAgain)
        plugin.dispatch (effEditClose);

    // The host's window and connection stay until the process ends, as they
    // do in a host that exits from its GUI.
}
#endif

int runScenario (const std::string& scenario)
{
    const bool editor = scenario == "exit-editor" || scenario == "exit-editor-closed";

    if (editor && !hasDisplay())
        return kSkipped;
    if (!editor)
        HeadlessDisplay::use();

    HostTransport transport (kRate, 120.0);
    auto plugin = loadAndStart (transport);
    processSomeAudio (*plugin, transport, 200);

    if (scenario == "close")
    {
        plugin.reset(); // suspend and effClose
        return 0;
    }

    if (scenario == "exit-open")
        std::exit (0);

#if ZK_HAVE_X11
    if (editor)
    {
        runEditor (*plugin, transport, scenario == "exit-editor-closed");

        // The effect stays reachable (the host's pointer), as in a host that
        // keeps its instances in a structure of its own.
        static HostedPlugin* const stillOpen = plugin.release();
        (void)stillOpen;
        std::exit (0);
    }
#endif

    std::cerr << "zk_exit_host: unknown scenario " << scenario << "\n";
    return 2;
}

std::string describe (int status)
{
    if (WIFEXITED (status))
        return "exit status " + std::to_string (WEXITSTATUS (status));
    if (WIFSIGNALED (status))
        return "signal " + std::to_string (WTERMSIG (status)) + " (" + strsignal (WTERMSIG (status)) + ")";
    return "status " + std::to_string (status);
}
} // namespace

int main (int argc, char** argv)
{
    int runs = 1;
    std::string scenario;

    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max (1, std::atoi (argv[++i]));
        else
            scenario = arg;
    }

    if (scenario.empty())
    {
        std::cerr << "usage: zk_exit_host [--runs N] close|exit-open|exit-editor|exit-editor-closed\n";
        return 2;
    }

    // Every instance writes its properties file and presets folder under HOME.
    // The children end with exit(), which leaves this object alone: the folder
    // goes when the last one has ended.
    const TemporaryProcessHome home ("zk-exit-home-");

    int failures = 0, skipped = 0;

    for (int run = 0; run < runs; ++run)
    {
        std::cout.flush();
        std::cerr.flush();
        const pid_t child = fork();

        if (child < 0)
        {
            std::perror ("fork");
            return 2;
        }
        if (child == 0)
            std::exit (runScenario (scenario)); // a normal exit: handlers and static destructors run

        int status = 0;
        if (waitpid (child, &status, 0) != child)
        {
            std::perror ("waitpid");
            return 2;
        }

        if (WIFEXITED (status) && WEXITSTATUS (status) == kSkipped)
            ++skipped;
        else if (!WIFEXITED (status) || WEXITSTATUS (status) != 0)
        {
            ++failures;
            std::cerr << "run " << run + 1 << " of " << scenario << ": " << describe (status) << "\n";
        }
    }

    std::cout << scenario << ": " << runs - failures - skipped << " of " << runs
              << " runs ended with status 0";
    if (skipped > 0)
        std::cout << ", " << skipped << " skipped (no display)";
    std::cout << "\n";

    if (failures > 0)
        return 1;
    return skipped == runs ? kSkipped : 0;
}
