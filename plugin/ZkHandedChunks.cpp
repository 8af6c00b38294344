#include "plugin/ZkHandedChunks.h"

void* ZkHandedChunks::keep (juce::MemoryBlock&& block)
{
    // The oldest block is freed after the lock is left.
    juce::MemoryBlock oldest;
    const std::lock_guard<std::mutex> lock (mutex);

    auto& slot = ring[next];
    next = (next + 1) % capacity;
    oldest.swapWith (slot);
    slot.swapWith (block);
    return slot.getData();
}
