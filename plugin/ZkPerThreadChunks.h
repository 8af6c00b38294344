// The state chunks that getChunk hands to a host: one block per calling
// thread. A host may ask for the state from several threads at once (a save
// on one, an autosave or undo snapshot on another); each thread's block stays
// valid and unchanged until that thread asks again or the effect closes.
//
// At most maxThreads threads keep a block; a further thread takes the block of
// the thread that asked least recently. Only the slot table is locked, never a
// call into the processor or the host, and the audio thread never comes here.

#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class ZkPerThreadChunks
{
public:
    ZkPerThreadChunks();

    // Any thread. Makes block the calling thread's chunk and answers where its
    // bytes now lie; the thread's previous chunk is released.
    void* keep (juce::MemoryBlock&& block);

    static constexpr std::size_t maxThreads = 64;

private:
    struct Slot
    {
        std::thread::id thread;
        juce::MemoryBlock block;
        std::uint64_t lastUse = 0;
    };

    Slot& slotOfThisThread(); // mutex held; never allocates

    std::mutex mutex;
    std::vector<Slot> slots; // capacity maxThreads, reserved up front
    std::uint64_t uses = 0;
};
