// Replaces the global allocation functions of the test binary so that a test can
// count the allocations of a code path (AllocationCounter). Every allocation goes
// to malloc or aligned_alloc and every deallocation to free, so sanitizers still
// see matching pairs.

#include "support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
// Plain zero-initialised thread-local: reading it allocates nothing.
thread_local std::size_t allocationsOnThisThread = 0;

void* allocate (std::size_t size) noexcept
{
    ++allocationsOnThisThread;
    return std::malloc (size == 0 ? 1 : size);
}

void* allocateAligned (std::size_t size, std::align_val_t alignment) noexcept
{
    ++allocationsOnThisThread;
    const auto align = static_cast<std::size_t> (alignment);
    const auto rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
    return std::aligned_alloc (align, rounded);
}

void* allocateOrThrow (std::size_t size)
{
    if (auto* p = allocate (size))
        return p;
    throw std::bad_alloc();
}

void* allocateAlignedOrThrow (std::size_t size, std::align_val_t alignment)
{
    if (auto* p = allocateAligned (size, alignment))
        return p;
    throw std::bad_alloc();
}
} // namespace

AllocationCounter::AllocationCounter() noexcept
    : countAtStart (allocationsOnThisThread)
{
}

std::size_t AllocationCounter::getCount() const noexcept
{
    return allocationsOnThisThread - countAtStart;
}

void* operator new (std::size_t size)
{
    return allocateOrThrow (size);
}

void* operator new[] (std::size_t size)
{
    return allocateOrThrow (size);
}

void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate (size);
}

void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate (size);
}

void* operator new (std::size_t size, std::align_val_t alignment)
{
    return allocateAlignedOrThrow (size, alignment);
}

void* operator new[] (std::size_t size, std::align_val_t alignment)
{
    return allocateAlignedOrThrow (size, alignment);
}

void* operator new (std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned (size, alignment);
}

void* operator new[] (std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned (size, alignment);
}

void operator delete (void* p) noexcept
{
    std::free (p);
}

void operator delete[] (void* p) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}

void operator delete[] (void* p, std::size_t) noexcept
{
    std::free (p);
}

void operator delete (void* p, const std::nothrow_t&) noexcept
{
    std::free (p);
}

void operator delete[] (void* p, const std::nothrow_t&) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::align_val_t) noexcept
{
    std::free (p);
}

void operator delete[] (void* p, std::align_val_t) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::size_t, std::align_val_t) noexcept
{
    std::free (p);
}

void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free (p);
}

void operator delete[] (void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free (p);
}
