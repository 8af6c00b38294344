// Runs an action inside the next fsync of this test binary, before the sync
// itself: the moment at which a safe write has written its temporary file and
// is about to sync it, check the target again and rename it. The binary
// defines fsync itself (an executable's symbols come first in the dynamic
// linker's search) and forwards every call to the C library's. Linux only.

#pragma once

#include <functional>

class SyncHook
{
public:
    /** Arms action for the next fsync of any thread; it runs once. */
    explicit SyncHook (std::function<void()> action);

    /** Disarms an action that has not run. */
    ~SyncHook();

    bool hasRun() const;

    SyncHook (const SyncHook&) = delete;
    SyncHook& operator= (const SyncHook&) = delete;
};
