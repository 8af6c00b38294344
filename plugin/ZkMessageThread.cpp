#include "plugin/ZkMessageThread.h"

#include <juce_events/juce_events.h>

#include <future>

ZkMessageThread::Reference::Reference()
{
    getInstance().acquire();
}

ZkMessageThread::Reference::~Reference()
{
    if (holds)
        getInstance().release();
}

ZkMessageThread::Reference::Reference (Reference&& other) noexcept
{
    other.holds = false;
}

//==============================================================================
ZkMessageThread& ZkMessageThread::getInstance()
{
    // Constructed on first use, after JUCE's own statics, so destroyed before them.
    static ZkMessageThread instance;
    return instance;
}

ZkMessageThread::~ZkMessageThread()
{
    // A host that exits without closing its instances: end the loop cleanly
    // before the shared object's statics go.
    const std::lock_guard<std::mutex> lock (mutex);
    stopOwnThread();
}

int ZkMessageThread::getNumUsers()
{
    auto& self = getInstance();
    const std::lock_guard<std::mutex> lock (self.mutex);
    return self.users;
}

bool ZkMessageThread::isRunningOwnThread()
{
    auto& self = getInstance();
    const std::lock_guard<std::mutex> lock (self.mutex);
    return self.thread.joinable();
}

void ZkMessageThread::acquire()
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (users++ > 0 || juce::MessageManager::getInstanceWithoutCreating() != nullptr)
        return;

    std::promise<void> ready;
    auto started = ready.get_future();

    thread = std::thread (
        [promise = std::move (ready)]() mutable
        {
            // The thread that creates the message manager is JUCE's message thread.
            juce::initialiseJuce_GUI();
            promise.set_value();
            juce::MessageManager::getInstance()->runDispatchLoop();
            juce::shutdownJuce_GUI();
        });

    // Instances are built only once the message manager exists on that thread.
    started.wait();
}

void ZkMessageThread::release()
{
    const std::lock_guard<std::mutex> lock (mutex);
    jassert (users > 0);

    if (users > 0 && --users == 0)
        stopOwnThread();
}

void ZkMessageThread::stopOwnThread()
{
    if (!thread.joinable())
        return;

    if (auto* messageManager = juce::MessageManager::getInstanceWithoutCreating())
        messageManager->stopDispatchLoop();

    if (thread.get_id() == std::this_thread::get_id())
    {
        // The last instance closed from inside a message callback: the loop ends
        // when that callback returns; the thread cannot wait for itself.
        jassertfalse;
        thread.detach();
    }
    else
    {
        thread.join();
    }
}
