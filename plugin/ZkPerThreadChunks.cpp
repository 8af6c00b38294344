#include "plugin/ZkPerThreadChunks.h"

ZkPerThreadChunks::ZkPerThreadChunks()
{
    slots.reserve (maxThreads);
}

void* ZkPerThreadChunks::keep (juce::MemoryBlock&& block)
{
    // The block that this thread had is freed after the lock is left.
    juce::MemoryBlock previous;
    const std::lock_guard<std::mutex> lock (mutex);

    auto& slot = slotOfThisThread();
    slot.thread = std::this_thread::get_id();
    slot.lastUse = ++uses;
    previous.swapWith (slot.block);
    slot.block.swapWith (block);
    return slot.block.getData();
}

ZkPerThreadChunks::Slot& ZkPerThreadChunks::slotOfThisThread()
{
    const auto thread = std::this_thread::get_id();

    for (auto& slot : slots)
        if (slot.thread == thread)
            return slot;

    if (slots.size() < maxThreads)
        return slots.emplace_back();

    auto* oldest = &slots.front();
    for (auto& slot : slots)
        if (slot.lastUse < oldest->lastUse)
            oldest = &slot;

    return *oldest;
}
