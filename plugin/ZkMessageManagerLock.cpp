#include "plugin/ZkMessageManagerLock.h"

ZkMessageManagerLock::ZkMessageManagerLock()
{
    auto* manager = juce::MessageManager::getInstanceWithoutCreating();

    if (manager == nullptr)
        return;

    if (manager->currentThreadHasLockedMessageManager())
    {
        gained = true;
        return;
    }

    lock = std::make_unique<juce::MessageManager::Lock>();
    lock->enter();
    gained = manager->currentThreadHasLockedMessageManager();
}

ZkMessageManagerLock::~ZkMessageManagerLock()
{
    if (lock == nullptr)
        return;

    lock->exit();

    // The message thread may still be inside the message that gave the lock,
    // writing to the lock object; it runs this one after that. Without a queue
    // (JUCE shut down) nothing dispatches any more and the object goes at once.
    try
    {
        juce::MessageManager::callAsync (
            [keep = std::shared_ptr<juce::MessageManager::Lock> (std::move (lock))] {});
    }
    catch (...)
    {
        // No memory for the message: the object stays rather than go early.
        [[maybe_unused]] auto* left = lock.release();
    }
}
