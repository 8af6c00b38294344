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
    // writing to the lock object: a message posted now frees it, and the
    // message thread runs that one only after the other has returned. The
    // posted message and this function share the object, and whichever lets go
    // last frees it. Without a queue (JUCE shut down) the post is refused,
    // nothing dispatches any more, and the object goes here at once.
    std::shared_ptr<std::unique_ptr<juce::MessageManager::Lock>> shared;
    try
    {
        shared = std::make_shared<std::unique_ptr<juce::MessageManager::Lock>> (std::move (lock));
        juce::MessageManager::callAsync ([shared] {});
    }
    catch (...)
    {
        // No memory for the message (or for sharing the object): the object
        // stays for good rather than go early, while this function still holds it.
        [[maybe_unused]] auto* left = shared != nullptr ? shared->release() : lock.release();
    }
}
