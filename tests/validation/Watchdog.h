// Ends the test process with a message when a guarded stretch of a test runs
// longer than allowed: a plug-in that hangs shows up as a named failure at
// once, not as a test that CTest kills minutes later.

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class Watchdog
{
public:
    Watchdog (std::string what, std::chrono::seconds limit);
    ~Watchdog();

    Watchdog (const Watchdog&) = delete;
    Watchdog& operator= (const Watchdog&) = delete;

    // Scales every limit: sanitizer builds run several times slower.
    static int slowdown();

private:
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread thread;
};
