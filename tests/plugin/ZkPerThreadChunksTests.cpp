// The chunks handed to a host's threads: a thread's chunk stays as it was
// while other threads ask for theirs, and a thread that asks again replaces
// only its own. Past the table's size, the thread that asked least recently
// gives up its chunk, and no other.

#include "plugin/ZkPerThreadChunks.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
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

// A thread that keeps chunks when told to and lives until the test ends, so
// that no later thread can take over its identity.
class AskingThread
{
public:
    explicit AskingThread (ZkPerThreadChunks& chunksToUse)
        : chunks (chunksToUse)
        , thread ([this] { run(); })
    {
    }

    ~AskingThread()
    {
        ask ({});
        thread.join();
    }

    // Blocks until the thread has kept a chunk holding text (empty: ends it).
    const void* ask (const std::string& text)
    {
        std::unique_lock<std::mutex> lock (mutex);
        request = text;
        pending = true;
        changed.notify_all();
        changed.wait (lock, [this] { return !pending; });
        return answer;
    }

private:
    void run()
    {
        for (;;)
        {
            std::unique_lock<std::mutex> lock (mutex);
            changed.wait (lock, [this] { return pending; });
            const bool ending = request.empty();
            if (!ending)
                answer = chunks.keep (blockOf (request));
            pending = false;
            changed.notify_all();
            if (ending)
                return;
        }
    }

    ZkPerThreadChunks& chunks;
    std::mutex mutex;
    std::condition_variable changed;
    std::string request;
    bool pending = false;
    const void* answer = nullptr;
    std::thread thread;
};
} // namespace

TEST (ZkPerThreadChunks, AThreadsChunkStaysUntilThatThreadAsksAgain)
{
    ZkPerThreadChunks chunks;
    AskingThread first (chunks), second (chunks);

    const void* firstChunk = first.ask ("first 1");
    const void* secondChunk = second.ask ("second 1");
    const void* mainChunk = chunks.keep (blockOf ("main 1"));
    EXPECT_STREQ (textAt (firstChunk), "first 1");
    EXPECT_STREQ (textAt (secondChunk), "second 1");

    firstChunk = first.ask ("first 2");
    EXPECT_STREQ (textAt (firstChunk), "first 2");
    EXPECT_STREQ (textAt (secondChunk), "second 1");
    EXPECT_STREQ (textAt (mainChunk), "main 1");
}

TEST (ZkPerThreadChunks, PastTheTableTheLeastRecentThreadGivesUpItsChunk)
{
    ZkPerThreadChunks chunks;
    std::vector<std::unique_ptr<AskingThread>> threads;
    std::vector<const void*> handedOver;

    for (std::size_t i = 0; i < ZkPerThreadChunks::maxThreads; ++i)
    {
        threads.push_back (std::make_unique<AskingThread> (chunks));
        handedOver.push_back (threads.back()->ask ("chunk " + std::to_string (i)));
    }

    // Thread 0 asks again and is the most recent; thread 1 is now the least.
    handedOver[0] = threads[0]->ask ("chunk 0 again");
    const void* newcomer = chunks.keep (blockOf ("newcomer"));

    EXPECT_STREQ (textAt (newcomer), "newcomer");
    EXPECT_STREQ (textAt (handedOver[0]), "chunk 0 again");
    for (std::size_t i = 2; i < ZkPerThreadChunks::maxThreads; ++i)
        EXPECT_STREQ (textAt (handedOver[i]), ("chunk " + std::to_string (i)).c_str());
}
