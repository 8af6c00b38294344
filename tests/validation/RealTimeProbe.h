// Watches the real-time path of a plug-in from inside the host: this test
// binary defines malloc, calloc, realloc, free, the aligned forms and
// pthread_mutex_lock / trylock and the read-write lock calls itself. An
// executable's symbols come first in the dynamic linker's search, so the
// plug-in's calls (through libstdc++'s operator new, JUCE's CriticalSection,
// std::mutex) reach these definitions, which count and forward to the C
// library. The plug-in's -Bsymbolic binding only concerns symbols it defines
// itself; these it imports.
//
// Counting happens only on a thread inside a RealTimeProbe::Scope, so the host's
// own work (GoogleTest, buffers, other threads) is not counted.
//
// Not available in sanitizer builds: AddressSanitizer and ThreadSanitizer
// replace the same functions, and both must keep them.

#pragma once

#include <cstddef>

class RealTimeProbe
{
public:
    struct Counts
    {
        std::size_t allocations = 0; // malloc, calloc, realloc, aligned forms (operator new ends here)
        std::size_t releases = 0;    // free (operator delete ends here)
        std::size_t locks = 0;       // mutex lock and trylock, read-write lock calls

        bool isEmpty() const noexcept { return allocations == 0 && releases == 0 && locks == 0; }
    };

    // Counts the calling thread's calls while it lives. Scopes do not nest.
    class Scope
    {
    public:
        Scope() noexcept;
        ~Scope();

        Scope (const Scope&) = delete;
        Scope& operator= (const Scope&) = delete;
    };

    // True when the interposers are built into this binary.
    static bool isAvailable() noexcept;

    // What this thread's scopes counted since the last reset.
    static Counts getThreadCounts() noexcept;
    static void resetThreadCounts() noexcept;
};
