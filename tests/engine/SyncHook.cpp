#include "SyncHook.h"

#include <juce_core/juce_core.h>

#if JUCE_LINUX

#include <dlfcn.h>
#include <mutex>
#include <utility>

namespace
{
std::mutex armed;
std::function<void()> pendingAction; // under armed
bool actionHasRun = false;           // under armed
} // namespace

extern "C" int fsync (int fd)
{
    using Fsync = int (*) (int);
    static const auto systemFsync = reinterpret_cast<Fsync> (::dlsym (RTLD_NEXT, "fsync"));

    std::function<void()> action;
    {
        const std::lock_guard<std::mutex> lock (armed);
        action = std::exchange (pendingAction, {});
        actionHasRun = actionHasRun || action != nullptr;
    }

    // Disarmed before it runs: the action may sync files of its own.
    if (action != nullptr)
        action();

    return systemFsync (fd);
}

SyncHook::SyncHook (std::function<void()> action)
{
    const std::lock_guard<std::mutex> lock (armed);
    pendingAction = std::move (action);
    actionHasRun = false;
}

SyncHook::~SyncHook()
{
    const std::lock_guard<std::mutex> lock (armed);
    pendingAction = nullptr;
}

bool SyncHook::hasRun() const
{
    const std::lock_guard<std::mutex> lock (armed);
    return actionHasRun;
}

#endif
