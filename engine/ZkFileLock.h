#pragma once

#include <juce_core/juce_core.h>

/**
    An advisory lock on a lock file, held for the lifetime of the object, that
    serialises the writers of one file: other instances in this process and
    other processes that lock the same lock file. The lock file is created
    when missing and is left in place (removing it would let two writers hold
    locks on two different files of the same name).

    The wait is bounded: a lock that another writer keeps for longer (a hung
    process) is not taken, and isLocked() is false. isLocked() is false as
    well when the lock file cannot be opened or locked at all (another user's
    private file, a symbolic link, a file system without locks); only
    isHeldElsewhere() tells the two apart. The lock goes with the object, and
    with the process when it ends.

    Never on the audio thread; never held across a call to the host. One
    thread owns the object.
*/
class ZkFileLock
{
public:
    static constexpr int defaultTimeoutMs = 2000;

    ZkFileLock (const juce::File& lockFile, int timeoutMs = defaultTimeoutMs);
    ~ZkFileLock();

    bool isLocked() const { return locked; }

    /** True when another writer kept the lock for the whole wait. */
    bool isHeldElsewhere() const { return heldElsewhere; }

private:
    int fd = -1;
    bool locked = false, heldElsewhere = false;

    JUCE_DECLARE_NON_COPYABLE (ZkFileLock)
};
