// What a plug-in told the test host through its callback: automation, gestures,
// display updates, i/o changes and editor window sizes, in the order they arrived.
//
// Threads: the plug-in may call back from its audio thread, its message thread
// or any host thread, so every access takes the log's mutex (this is the host,
// not the plug-in's audio path).

#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HostEvent
{
    enum class Kind
    {
        automate,
        beginEdit,
        endEdit,
        updateDisplay,
        ioChanged,
        sizeWindow
    };

    Kind kind;
    int index = 0;            // parameter index (automate, beginEdit, endEdit); width [pixels] (sizeWindow)
    float value = 0.0f;       // normalised value (automate)
    int height = 0;           // [pixels] (sizeWindow)
    std::thread::id thread{}; // the plug-in's thread that made the call (set by the log)

    std::string describe() const;
};

class HostEventLog
{
public:
    void add (const HostEvent& event);
    std::vector<HostEvent> snapshot() const;
    std::size_t size() const;
    void clear();

private:
    mutable std::mutex mutex;
    std::vector<HostEvent> events;
};
