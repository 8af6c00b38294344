#pragma once

#include <cstddef>

/**
    Counts heap allocations made on the calling thread (every form of the global
    operator new, which the test binary replaces) while an instance lives.

    Use it around code that must not allocate, such as the audio path:

        AllocationCounter allocations;
        processor.setParameter (5, 0.3f);
        EXPECT_EQ (allocations.getCount(), 0u);

    Only the constructing thread's allocations are counted; instances may nest.
*/
class AllocationCounter
{
public:
    AllocationCounter() noexcept;

    /** Allocations on this thread since construction. */
    std::size_t getCount() const noexcept;

    AllocationCounter (const AllocationCounter&) = delete;
    AllocationCounter& operator= (const AllocationCounter&) = delete;

private:
    std::size_t countAtStart;
};
