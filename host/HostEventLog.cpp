#include "host/HostEventLog.h"

std::string HostEvent::describe() const
{
    switch (kind)
    {
        case Kind::automate:
            return "automate " + std::to_string (index) + " " + std::to_string (value);
        case Kind::beginEdit:
            return "begin edit " + std::to_string (index);
        case Kind::endEdit:
            return "end edit " + std::to_string (index);
        case Kind::updateDisplay:
            return "update display";
        case Kind::ioChanged:
            return "i/o changed";
        case Kind::sizeWindow:
            return "size window " + std::to_string (index) + "x" + std::to_string (height);
    }
    return "?";
}

void HostEventLog::add (const HostEvent& event)
{
    const std::lock_guard<std::mutex> lock (mutex);
    events.push_back (event);
    events.back().thread = std::this_thread::get_id();
}

std::vector<HostEvent> HostEventLog::snapshot() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return events;
}

std::size_t HostEventLog::size() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return events.size();
}

void HostEventLog::clear()
{
    const std::lock_guard<std::mutex> lock (mutex);
    events.clear();
}
