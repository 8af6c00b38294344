#include "validation/Watchdog.h"

#include <cstdio>
#include <cstdlib>

int Watchdog::slowdown()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return 10;
#else
    return 1;
#endif
}

Watchdog::Watchdog (std::string what, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit * slowdown();

    thread = std::thread (
        [this, what = std::move (what), deadline]
        {
            std::unique_lock<std::mutex> lock (mutex);
            if (!finished.wait_until (lock, deadline, [this] { return done; }))
            {
                std::fprintf (stderr, "\nWATCHDOG: %s did not finish in time: the plug-in hangs\n",
                              what.c_str());
                std::fflush (stderr);
                std::abort();
            }
        });
}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        done = true;
    }
    finished.notify_one();
    thread.join();
}
