#include "plugin/ZkMessageThread.h"

#include <juce_events/juce_events.h>

#include <future>

namespace juce
{
// One step of JUCE's message loop (juce_events, Linux): dispatches what is
// pending; when nothing is and returnIfNoPendingMessages is false, it waits.
// It must never run on two threads at once.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
// Wakes a loop that waits for messages.
void postWakeUp()
{
    juce::MessageManager::callAsync ([] {});
}

// Set while this thread runs JUCE's messages for the plug-in.
thread_local bool dispatching = false;
} // namespace

ZkMessageThread::ScopedDispatch::ScopedDispatch() noexcept
    : outer (!dispatching)
{
    dispatching = true;
}

ZkMessageThread::ScopedDispatch::~ScopedDispatch()
{
    if (outer)
        dispatching = false;
}

bool ZkMessageThread::isDispatchingOnThisThread() noexcept
{
    return dispatching;
}

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

bool ZkMessageThread::isLent()
{
    auto& self = getInstance();
    const std::lock_guard<std::mutex> lock (self.loopMutex);
    return self.loans > 0;
}

void ZkMessageThread::acquire()
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (users++ > 0 || juce::MessageManager::getInstanceWithoutCreating() != nullptr)
        return;

    {
        const std::lock_guard<std::mutex> loopLock (loopMutex);
        stopRequested = false;
        stopPosted = false;
    }

    std::promise<void> ready;
    auto started = ready.get_future();

    thread = std::thread (
        [this, promise = std::move (ready)]() mutable
        {
            // The thread that creates the message manager is JUCE's message thread.
            juce::initialiseJuce_GUI();
            promise.set_value();
            runOwnLoop();
            waitUntilStopPosted();
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

    {
        const std::lock_guard<std::mutex> loopLock (loopMutex);

        // Every editor closes before its instance lets go; a loop still lent
        // here comes back so that the thread can end.
        jassert (loans == 0);
        loans = 0;
        lendRequested = false;
        stopRequested = true;
    }
    loopCondition.notify_all();
    postWakeUp();

    // Only now may the thread shut JUCE down: posting the wake-up used JUCE's
    // message queue and its lock until postWakeUp returned, while the loop may
    // have ended as soon as it saw stopRequested.
    {
        const std::lock_guard<std::mutex> loopLock (loopMutex);
        stopPosted = true;
    }
    loopCondition.notify_all();

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

void ZkMessageThread::runOwnLoop()
{
    for (;;)
    {
        {
            std::unique_lock<std::mutex> lock (loopMutex);

            if (lendRequested && !stopRequested)
            {
                parked = true;
                loopCondition.notify_all();
                loopCondition.wait (lock, [this] { return !lendRequested || stopRequested; });

                // Back on this thread before the borrower learns it has given the loop back.
                juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
                parked = false;
                takenBack = handBacks;
                loopCondition.notify_all();
            }

            if (stopRequested)
                return;
        }

        // Waits until something is dispatched; a lend or a stop posts a wake-up.
        const ScopedDispatch dispatch;
        juce::dispatchNextMessageOnSystemQueue (false);
    }
}

void ZkMessageThread::waitUntilStopPosted()
{
    std::unique_lock<std::mutex> lock (loopMutex);
    loopCondition.wait (lock, [this] { return stopPosted; });
}

//==============================================================================
bool ZkMessageThread::lendToCurrentThread()
{
    auto& self = getInstance();

    if (!isRunningOwnThread())
        return false;

    const auto me = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock (self.loopMutex);

    if (self.loans > 0 && self.borrower == me)
    {
        ++self.loans;
        return true;
    }

    // Lent elsewhere, being lent, being given back, or stopping.
    if (self.loans > 0 || self.lendRequested || self.takenBack != self.handBacks || self.stopRequested)
        return false;

    self.lendRequested = true;
    lock.unlock();
    postWakeUp();
    lock.lock();
    self.loopCondition.wait (lock, [&self] { return self.parked || self.stopRequested; });

    if (self.stopRequested)
        return false;

    self.loans = 1;
    self.borrower = me;
    juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
    return true;
}

void ZkMessageThread::giveBack()
{
    auto& self = getInstance();
    std::unique_lock<std::mutex> lock (self.loopMutex);

    if (self.loans == 0 || --self.loans > 0)
        return;

    self.borrower = {};
    self.lendRequested = false;
    const auto ticket = ++self.handBacks;
    self.loopCondition.notify_all();
    self.loopCondition.wait (lock,
                             [&self, ticket] { return self.takenBack >= ticket || self.stopRequested; });
}
