#pragma once

// Runs a function on a new thread with a stack of a given size, as hosts
// create plug-in instances on secondary threads with small stacks (512 kB on
// some systems), and waits for it. std::thread cannot set the stack size.

#include <cstddef>
#include <functional>

#if defined(__unix__) || defined(__APPLE__)
#include <pthread.h>
#else
#include <thread>
#endif

/** False when no thread with that stack could be started (function not run). */
inline bool runOnThreadWithStack (std::size_t stackBytes, const std::function<void()>& function)
{
#if defined(__unix__) || defined(__APPLE__)
    pthread_attr_t attributes;
    if (pthread_attr_init (&attributes) != 0)
        return false;

    pthread_t thread;
    const bool started = pthread_attr_setstacksize (&attributes, stackBytes) == 0 &&
                         pthread_create (
                             &thread, &attributes,
                             [] (void* argument) -> void*
                             {
                                 (*static_cast<const std::function<void()>*> (argument))();
                                 return nullptr;
                             },
                             const_cast<std::function<void()>*> (&function)) == 0;

    pthread_attr_destroy (&attributes);

    if (started)
        pthread_join (thread, nullptr);

    return started;
#else
    (void)stackBytes;
    std::thread (function).join();
    return true;
#endif
}
