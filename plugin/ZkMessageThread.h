// JUCE's message loop for the plug-in while no editor is open: a thread of the
// plug-in's own becomes JUCE's message thread. The first instance starts it
// (JUCE is initialised on it), the last instance to close stops it (JUCE is
// shut down on it), so a host may unload the shared object afterwards.
//
// While an editor is open the loop is lent to the host's GUI thread, which
// opened the editor: the own thread parks, the GUI thread becomes JUCE's
// message thread and runs JUCE's messages (window events, timers, repaints)
// whenever the host calls the editor's idle opcode. So everything the editor
// does, resizing the host's window included, happens on the host's GUI thread.
// Closing the last editor gives the loop back to the own thread.
//
// When JUCE's message manager already exists as the first instance arrives
// (another part of the same process runs JUCE's messages, as the unit tests
// do), no thread is started, nothing is lent, and that message thread serves
// the plug-in.
//
// A host that exits without closing its instances (exit() with effects open):
// the process's exit handlers and static destructors run while JUCE and the
// instances still live. Shutting JUCE down then, or letting the own thread go
// on dispatching, would run framework code among objects that are being
// destroyed. So the first thing the exit does (a handler registered once JUCE
// runs) is to leave the loop alone: the own thread finishes the message it is
// dispatching and then waits, without touching JUCE, until the process ends.
// From then on nothing runs JUCE's messages or shuts JUCE down, and an
// instance closed late (from a host's static destructor) is left as it is.
//
// Threads: references may be taken and dropped on any thread, also by
// instances created on different threads at once; a mutex orders the starts
// and stops. A reference must not be dropped while its thread holds JUCE's
// message manager lock (the loop could not stop), and the loop must not be
// borrowed by a thread that holds that lock (the own thread could not park).

#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
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

    // True while the plug-in's own thread runs the loop (also while it is lent).
    static bool isRunningOwnThread();

    // Makes the calling thread JUCE's message thread: the own thread finishes
    // the message it is dispatching and parks. Lends from the thread that holds
    // the loop already nest. False, and nothing changes, when no own thread
    // runs, when the caller is the own thread, or when the loop is lent to
    // another thread. Only a caller that holds a Reference may borrow.
    static bool lendToCurrentThread();

    // Ends one successful lend; the last one returns the loop to the own thread
    // and waits until it has taken JUCE's messages over again, so the caller is
    // no longer the message thread when this returns.
    static void giveBack();

    // True while the loop is lent to a thread (for tests).
    static bool isLent();

    // True once the process has begun to exit with instances open: from then on
    // the plug-in runs no JUCE code of its own accord (see above).
    static bool isProcessExiting() noexcept;

    // Marks the calling thread as running JUCE's messages for the plug-in (the
    // own loop, or a host's idle call) while it lives. JUCE's loop must not be
    // entered again from inside one of its messages: a host that answers a call
    // made from a message by calling the plug-in's idle would otherwise nest it.
    class ScopedDispatch
    {
    public:
        ScopedDispatch() noexcept;
        ~ScopedDispatch();
        ScopedDispatch (const ScopedDispatch&) = delete;
        ScopedDispatch& operator= (const ScopedDispatch&) = delete;

    private:
        const bool outer;
    };

    // True while the calling thread is inside a ScopedDispatch.
    static bool isDispatchingOnThisThread() noexcept;

private:
    // Not destroyed while a thread may wait on its members (see leaveAtExit).
    ZkMessageThread() = default;
    ~ZkMessageThread() = default;

    static ZkMessageThread& getInstance();
    static void leaveAtExit(); // exit handler (also runs when the shared object is unloaded)
    void acquire();
    void release();
    void stopOwnThread();                                      // mutex held
    void runOwnLoop();                                         // the own thread
    void waitUntilStopPosted();                                // the own thread, before it shuts JUCE down
    void parkForExit (std::unique_lock<std::mutex>& loopLock); // the own thread, never returns
    void openWakePipe();                                       // the own thread, after JUCE started
    void closeWakePipe();                                      // the own thread, before JUCE shuts down

    std::mutex mutex;
    int users = 0;
    std::thread thread; // joinable while the own loop runs
    bool exitHandlerRegistered = false;
    bool ownThreadDetached = false; // the last instance closed from inside a message

    // Wakes the own loop without JUCE (a byte written to a pipe that the loop
    // watches); -1 while no own loop runs.
    int wakeReadFd = -1;
    int wakeWriteFd = -1;
    std::atomic<bool> exiting{false};

    // The lending state, between the own thread and a borrower.
    std::mutex loopMutex;
    std::condition_variable loopCondition;
    bool stopRequested = false;
    bool stopPosted = false; // stopOwnThread is done with JUCE's message queue
    bool lendRequested = false;
    bool parked = false;         // the own thread waits for the loop to come back
    int loans = 0;               // lends of the current borrower not yet given back
    std::thread::id borrower;    // valid while loans > 0
    std::uint64_t handBacks = 0; // loops given back so far
    std::uint64_t takenBack = 0; // hand-backs the own thread has completed
    bool parkedForExit = false;  // the own thread waits for the process to end
};
