#include "plugin/ZkProcessGate.h"

#include <thread>

bool ZkProcessGate::tryEnter() noexcept
{
    int expected = ready;
    return state.compare_exchange_strong (expected, processing, std::memory_order_acquire,
                                          std::memory_order_relaxed);
}

void ZkProcessGate::leave() noexcept
{
    state.store (ready, std::memory_order_release);
}

bool ZkProcessGate::close() noexcept
{
    int current = state.load (std::memory_order_relaxed);

    for (;;)
    {
        // A block lasts at most a few milliseconds, another thread's change about as long.
        if (current == processing || current == changing)
        {
            std::this_thread::yield();
            current = state.load (std::memory_order_relaxed);
        }
        else if (state.compare_exchange_weak (current, changing, std::memory_order_acquire,
                                              std::memory_order_relaxed))
        {
            return current == ready;
        }
    }
}

void ZkProcessGate::open (bool isReady) noexcept
{
    state.store (isReady ? ready : suspended, std::memory_order_release);
}
