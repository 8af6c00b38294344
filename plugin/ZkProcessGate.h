// Hands the processor over between the host's audio thread and the host's other
// threads without a lock: one atomic state tells whether the processor is
// suspended, ready, inside a block or being changed.
//
// The audio thread never waits: a block takes the processor only while it is
// ready, and otherwise leaves the audio to its caller (which passes it
// through). A host thread that prepares, releases or reshapes the processor
// first closes the gate: it waits, yielding, until a block that runs now has
// ended, and keeps other host threads out until it opens the gate again. So
// prepareToPlay, releaseResources and layout changes never run during a block,
// and the next block sees each change whole.
//
// Threads: ScopedBlock on the audio thread only; ScopedChange on any other
// thread, never on the audio thread (it would wait for itself).

#pragma once

#include <atomic>

class ZkProcessGate
{
public:
    // Audio thread: holds the processor for one block when it is ready.
    class ScopedBlock
    {
    public:
        explicit ScopedBlock (ZkProcessGate& gateToUse) noexcept
            : gate (gateToUse)
            , entered (gateToUse.tryEnter())
        {
        }
        ~ScopedBlock()
        {
            if (entered)
                gate.leave();
        }
        ScopedBlock (const ScopedBlock&) = delete;
        ScopedBlock& operator= (const ScopedBlock&) = delete;

        // False: the processor is suspended or being changed; leave it alone.
        bool holdsProcessor() const noexcept { return entered; }

    private:
        ZkProcessGate& gate;
        const bool entered;
    };

    // Host thread: waits for a running block and for another thread's change,
    // then holds the processor until it goes. The gate then opens ready or
    // suspended, as it was unless setReadyAfter says otherwise.
    class ScopedChange
    {
    public:
        explicit ScopedChange (ZkProcessGate& gateToUse) noexcept
            : gate (gateToUse)
            , readyAfter (gateToUse.close())
        {
        }
        ~ScopedChange() { gate.open (readyAfter); }
        ScopedChange (const ScopedChange&) = delete;
        ScopedChange& operator= (const ScopedChange&) = delete;

        void setReadyAfter (bool ready) noexcept { readyAfter = ready; }

    private:
        ZkProcessGate& gate;
        bool readyAfter;
    };

private:
    bool tryEnter() noexcept;
    void leave() noexcept;
    bool close() noexcept; // answers whether the processor was ready
    void open (bool ready) noexcept;

    enum State : int
    {
        suspended,  // not prepared: blocks pass through
        ready,      // prepared, no block runs
        processing, // a block runs
        changing    // a host thread changes the processor: blocks pass through
    };

    // Taken with acquire, handed back with release: the next holder sees all
    // that the last one wrote.
    std::atomic<int> state{suspended};
};
