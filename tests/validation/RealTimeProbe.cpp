#include "validation/RealTimeProbe.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZK_REAL_TIME_PROBE 0
#else
#define ZK_REAL_TIME_PROBE 1
#endif

#if ZK_REAL_TIME_PROBE

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <dlfcn.h>
#include <pthread.h>

// The C library's allocator under its own names: forwarding here keeps every
// pointer inside one allocator whichever entry the caller took.
extern "C"
{
    void* __libc_malloc (std::size_t size);
    void* __libc_calloc (std::size_t count, std::size_t size);
    void* __libc_realloc (void* pointer, std::size_t size);
    void* __libc_memalign (std::size_t alignment, std::size_t size);
    void* __libc_valloc (std::size_t size);
    void* __libc_pvalloc (std::size_t size);
    void __libc_free (void* pointer);
}

namespace
{
// Plain thread-locals with constant initialisation: reading them from inside the
// allocator allocates nothing.
thread_local bool counting = false;
thread_local std::size_t allocations = 0;
thread_local std::size_t releases = 0;
thread_local std::size_t locks = 0;

void countAllocation() noexcept
{
    if (counting)
        ++allocations;
}

void countLock() noexcept
{
    if (counting)
        ++locks;
}

// The C library's lock functions, looked up once. dlsym takes the dynamic
// linker's own lock, never these functions, so the first lookup may happen
// inside a lock call.
template <typename Function> Function realFunction (std::atomic<Function>& cache, const char* name) noexcept
{
    Function function = cache.load (std::memory_order_acquire);
    if (function == nullptr)
    {
        function = reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
        cache.store (function, std::memory_order_release);
    }
    return function;
}

using MutexFunction = int (*) (pthread_mutex_t*);
using RwLockFunction = int (*) (pthread_rwlock_t*);

std::atomic<MutexFunction> realMutexLock{nullptr};
std::atomic<MutexFunction> realMutexTryLock{nullptr};
std::atomic<RwLockFunction> realReadLock{nullptr};
std::atomic<RwLockFunction> realWriteLock{nullptr};

bool isPowerOfTwo (std::size_t x) noexcept
{
    return x != 0 && (x & (x - 1)) == 0;
}
} // namespace

extern "C"
{
    void* malloc (std::size_t size)
    {
        countAllocation();
        return __libc_malloc (size);
    }

    void* calloc (std::size_t count, std::size_t size)
    {
        countAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, std::size_t size)
    {
        countAllocation();
        return __libc_realloc (pointer, size);
    }

    void free (void* pointer)
    {
        if (counting && pointer != nullptr)
            ++releases;
        __libc_free (pointer);
    }

    void* memalign (std::size_t alignment, std::size_t size)
    {
        countAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (std::size_t alignment, std::size_t size)
    {
        countAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, std::size_t alignment, std::size_t size)
    {
        if (!isPowerOfTwo (alignment) || alignment % sizeof (void*) != 0)
            return EINVAL;

        countAllocation();
        void* pointer = __libc_memalign (alignment, size);
        if (pointer == nullptr)
            return ENOMEM;

        *result = pointer;
        return 0;
    }

    void* valloc (std::size_t size)
    {
        countAllocation();
        return __libc_valloc (size);
    }

    void* pvalloc (std::size_t size)
    {
        countAllocation();
        return __libc_pvalloc (size);
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        countLock();
        return realFunction (realMutexLock, "pthread_mutex_lock") (mutex);
    }

    int pthread_mutex_trylock (pthread_mutex_t* mutex)
    {
        countLock();
        return realFunction (realMutexTryLock, "pthread_mutex_trylock") (mutex);
    }

    int pthread_rwlock_rdlock (pthread_rwlock_t* lock)
    {
        countLock();
        return realFunction (realReadLock, "pthread_rwlock_rdlock") (lock);
    }

    int pthread_rwlock_wrlock (pthread_rwlock_t* lock)
    {
        countLock();
        return realFunction (realWriteLock, "pthread_rwlock_wrlock") (lock);
    }
}

#endif

RealTimeProbe::Scope::Scope() noexcept
{
#if ZK_REAL_TIME_PROBE
    counting = true;
#endif
}

RealTimeProbe::Scope::~Scope()
{
#if ZK_REAL_TIME_PROBE
    counting = false;
#endif
}

bool RealTimeProbe::isAvailable() noexcept
{
    return ZK_REAL_TIME_PROBE != 0;
}

RealTimeProbe::Counts RealTimeProbe::getThreadCounts() noexcept
{
    Counts counts;
#if ZK_REAL_TIME_PROBE
    counts.allocations = allocations;
    counts.releases = releases;
    counts.locks = locks;
#endif
    return counts;
}

void RealTimeProbe::resetThreadCounts() noexcept
{
#if ZK_REAL_TIME_PROBE
    allocations = 0;
    releases = 0;
    locks = 0;
#endif
}
