// JUCE's message loop for the plug-in while no editor is open: a thread of the
// plug-in's own becomes JUCE's message thread. The first instance starts it
// (JUCE is initialised on it), the last instance to close stops it (JUCE is
// shut down on it), so a host may unload the shared object afterwards.
//
// When JUCE's message manager already exists as the first instance arrives
// (another part of the same process runs JUCE's messages, as the unit tests
// do), no thread is started and that message thread serves the plug-in.
//
// Threads: references may be taken and dropped on any thread, also by
// instances created on different threads at once; a mutex orders the starts
// and stops. A reference must not be dropped while its thread holds JUCE's
// message manager lock (the loop could not stop).

#pragma once

#include <mutex>
#include <thread>

class ZkMessageThread
{
public:
    // One plug-in instance's use of the message loop.
    class Reference
    {
    public:
        Reference();
        ~Reference();
        Reference (Reference&& other) noexcept;
        Reference& operator= (Reference&&) = delete;
        Reference (const Reference&) = delete;
        Reference& operator= (const Reference&) = delete;

    private:
        bool holds = true;
    };

    // Instances that hold a reference now.
    static int getNumUsers();

    // True while the plug-in's own thread runs the loop.
    static bool isRunningOwnThread();

private:
    ZkMessageThread() = default;
    ~ZkMessageThread();

    static ZkMessageThread& getInstance();
    void acquire();
    void release();
    void stopOwnThread(); // mutex held

    std::mutex mutex;
    int users = 0;
    std::thread thread; // joinable while the own loop runs
};
