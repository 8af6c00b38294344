// JUCE's message manager lock for a thread that is not JUCE's message thread,
// held as juce::MessageManagerLock holds it, but safe to leave at once.
//
// The framework's lock (7.0.5) is gained when the message thread runs a
// message that marks the waiting lock object as gained and then signals its
// event: the waiting thread may see the mark and go on before the signal is
// done. When it leaves the lock at once and its stack is reused (the next
// lock, a few frames away), the message thread goes on writing to memory that
// is no longer the lock (a hang in the signal, or a broken mutex, on either
// thread). This lock therefore keeps the framework's lock object on the heap
// and frees it in a message posted once the lock is left: the message thread
// runs that message only after the one that gave the lock has returned.
//
// On the message thread, or in a thread that holds the lock already, nothing
// is posted and the lock counts as gained.

#pragma once

#include <juce_events/juce_events.h>

#include <memory>

class ZkMessageManagerLock
{
public:
    ZkMessageManagerLock();  // waits until the lock is gained
    ~ZkMessageManagerLock(); // leaves it

    ZkMessageManagerLock (const ZkMessageManagerLock&) = delete;
    ZkMessageManagerLock& operator= (const ZkMessageManagerLock&) = delete;

    // False when JUCE's message manager does not exist or its queue is gone.
    bool lockWasGained() const noexcept { return gained; }

private:
    std::unique_ptr<juce::MessageManager::Lock> lock; // null when no message was needed
    bool gained = false;
};
