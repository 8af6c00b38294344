// The chunks handed to a host: a block stays as it was while the next
// capacity - 1 blocks are handed out, asked for by this thread or by threads
// that end right after (a new thread may get an ended one's id); the next
// block after those takes the place of the oldest, and of no other. Many
// threads asking at once: the validation suite's concurrency tests.

#include "plugin/ZkHandedChunks.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{
juce::MemoryBlock blockOf (const std::string& text)
{
    return juce::MemoryBlock (text.c_str(), text.size() + 1);
}

const char* textAt (const void* data)
{
    return static_cast<const char*> (data);
}

// Keeps a block holding text on a thread of its own, which then ends.
const void* keepOnANewThread (ZkHandedChunks& chunks, const std::string& text)
{
    const void* kept = nullptr;
    std::thread ([&] { kept = chunks.keep (blockOf (text)); }).join();
    return kept;
}
} // namespace

TEST (ZkHandedChunks, ABlockStaysWhileTheThreadsThatAskEndAndBegin)
{
    ZkHandedChunks chunks;
    std::vector<const void*> handedOver;

    for (std::size_t i = 0; i < ZkHandedChunks::capacity; ++i)
    {
        const auto text = "chunk " + std::to_string (i);
        handedOver.push_back (i % 2 == 0 ? keepOnANewThread (chunks, text) : chunks.keep (blockOf (text)));
    }

    for (std::size_t i = 0; i < ZkHandedChunks::capacity; ++i)
        EXPECT_STREQ (textAt (handedOver[i]), ("chunk " + std::to_string (i)).c_str());
}

TEST (ZkHandedChunks, PastTheRingOnlyTheOldestBlockGivesWay)
{
    ZkHandedChunks chunks;
    std::vector<const void*> handedOver;

    for (std::size_t i = 0; i < ZkHandedChunks::capacity; ++i)
        handedOver.push_back (chunks.keep (blockOf ("chunk " + std::to_string (i))));

    const void* newcomer = keepOnANewThread (chunks, "newcomer");

    EXPECT_STREQ (textAt (newcomer), "newcomer");
    for (std::size_t i = 1; i < ZkHandedChunks::capacity; ++i)
        EXPECT_STREQ (textAt (handedOver[i]), ("chunk " + std::to_string (i)).c_str());
}
