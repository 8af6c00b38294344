// The lock-free hand-over between the audio thread and the host's other
// threads: blocks get the processor only while it is ready, changes never
// overlap a block or each other, and the audio thread is never held up.

#include "plugin/ZkProcessGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

TEST (ZkProcessGate, BlocksGetTheProcessorOnlyWhileItIsReady)
{
    ZkProcessGate gate;
    EXPECT_FALSE (ZkProcessGate::ScopedBlock (gate).holdsProcessor()); // never prepared

    {
        ZkProcessGate::ScopedChange change (gate);
        EXPECT_FALSE (ZkProcessGate::ScopedBlock (gate).holdsProcessor()); // being prepared
        change.setReadyAfter (true);
    }

    {
        const ZkProcessGate::ScopedBlock block (gate);
        EXPECT_TRUE (block.holdsProcessor());
        EXPECT_FALSE (ZkProcessGate::ScopedBlock (gate).holdsProcessor()); // one block at a time
    }

    {
        const ZkProcessGate::ScopedChange change (gate); // reshaped: stays ready
        EXPECT_FALSE (ZkProcessGate::ScopedBlock (gate).holdsProcessor());
    }
    EXPECT_TRUE (ZkProcessGate::ScopedBlock (gate).holdsProcessor());

    {
        ZkProcessGate::ScopedChange change (gate);
        change.setReadyAfter (false); // suspended
    }
    EXPECT_FALSE (ZkProcessGate::ScopedBlock (gate).holdsProcessor());
}

// Two host threads suspend, resume and reshape as fast as they can while the
// audio thread processes: no change overlaps a block or another change, and
// blocks keep getting the processor. Every 100 changes a host thread that has
// just left the gate ready waits until the audio thread has processed a block
// since (a host thread whose change left it suspended goes on, and its next
// change makes it ready), so blocks come in between the changes however the
// threads are scheduled.
TEST (ZkProcessGate, ChangesNeverOverlapBlocksOrEachOther)
{
    constexpr int changesPerThread = 2000, changesBetweenBlocks = 100;
    ZkProcessGate gate;
    std::atomic<int> holders{0};
    std::atomic<bool> overlapped{false};
    std::atomic<int> changesLeft{2};
    std::atomic<int> blocksProcessed{0};
    int sharedValue = 0; // plain: written by changes and read by blocks, as the wrapper's set-up is

    const auto hold = [&]
    {
        if (holders.fetch_add (1) != 0)
            overlapped = true;
        std::this_thread::yield();
        holders.fetch_sub (1);
    };

    std::vector<std::thread> hostThreads;
    for (int t = 0; t < 2; ++t)
        hostThreads.emplace_back (
            [&, t]
            {
                for (int i = 0; i < changesPerThread; ++i)
                {
                    const bool ready = t == 0 || i % 3 != 0;
                    {
                        ZkProcessGate::ScopedChange change (gate);
                        hold();
                        ++sharedValue;
                        change.setReadyAfter (ready);
                    }

                    if (ready && i % changesBetweenBlocks == changesBetweenBlocks - 1)
                    {
                        const int blocksBefore = blocksProcessed.load();
                        while (blocksProcessed.load() == blocksBefore)
                            std::this_thread::yield();
                    }
                }
                --changesLeft;
            });

    int lastSeen = 0;
    while (changesLeft.load() > 0)
    {
        const ZkProcessGate::ScopedBlock block (gate);
        if (block.holdsProcessor())
        {
            hold();
            EXPECT_GE (sharedValue, lastSeen);
            lastSeen = sharedValue;
            ++blocksProcessed;
        }
    }

    for (auto& thread : hostThreads)
        thread.join();

    EXPECT_FALSE (overlapped.load());
    EXPECT_EQ (sharedValue, 2 * changesPerThread);
    EXPECT_GE (blocksProcessed.load(), changesPerThread / changesBetweenBlocks);
}
