// The state chunks that getChunk hands to a host: the last capacity blocks
// handed out, from whichever threads asked. A host may ask for the state from
// several threads at once (a save on one, an autosave or undo snapshot on
// another, each perhaps on a thread that ends right after); a block stays
// valid and unchanged until capacity later blocks have been handed out, or the
// effect closes.
//
// Only the ring is locked, never a call into the processor or the host, and
// the audio thread never comes here.

#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <cstddef>
#include <mutex>

class ZkHandedChunks
{
public:
    // Any thread. Keeps block in place of the oldest one and answers where its
    // bytes now lie.
    void* keep (juce::MemoryBlock&& block);

    // Well above the number of threads a host asks from at once (the
    // validation suite asks from 70).
    static constexpr std::size_t capacity = 128;

private:
    std::mutex mutex;
    std::array<juce::MemoryBlock, capacity> ring;
    std::size_t next = 0; // the slot of the oldest block, replaced next
};
