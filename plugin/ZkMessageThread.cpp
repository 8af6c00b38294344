#include "plugin/ZkMessageThread.h"

#include <juce_events/juce_events.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <unistd.h>

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
namespace
{
// The one instance; made on first use, freed by the exit handler once no
// instance is open (the host unloads the shared object, or the process ends
// after closing every effect), and otherwise never: at an exit with effects
// open the own thread still waits on its members.
std::atomic<ZkMessageThread*> theInstance{nullptr};
} // namespace

ZkMessageThread& ZkMessageThread::getInstance()
{
    auto* current = theInstance.load();

    if (current == nullptr)
    {
        auto* made = new ZkMessageThread();
        if (theInstance.compare_exchange_strong (current, made))
            current = made;
        else
            delete made;
    }

    return *current;
}

bool ZkMessageThread::isProcessExiting() noexcept
{
    return getInstance().exiting.load();
}

void ZkMessageThread::leaveAtExit()
{
    auto& self = getInstance();
    std::unique_lock<std::mutex> lock (self.mutex);

    if (self.users == 0)
    {
        // Nothing open: the own thread has ended (a detached one may still be
        // finishing and keeps the instance).
        if (self.thread.joinable() || self.ownThreadDetached)
            return;

        theInstance = nullptr;
        lock.unlock();
        delete &self;
        return;
    }

    if (!self.thread.joinable())
        return;

    {
        const std::lock_guard<std::mutex> loopLock (self.loopMutex);
        self.exiting = true;
    }
    self.loopCondition.notify_all();

    // From here on nothing starts or stops the own thread; the message it runs
    // may still need the mutex.
    const auto ownThread = self.thread.get_id();
    const int wakeFd = self.wakeWriteFd;
    lock.unlock();

    if (ownThread == std::this_thread::get_id())
        return; // exit() from inside a message: no message runs after this one

    // A plain write: the own loop wakes from its wait for messages, finishes,
    // and parks. Lent to another thread, it is parked already.
    if (wakeFd >= 0)
    {
        const unsigned char byte = 1;
        [[maybe_unused]] const auto written = ::write (wakeFd, &byte, 1);
    }

    // A message that waits for the exiting thread would never finish; the exit
    // goes on after a while in any case.
    std::unique_lock<std::mutex> loopLock (self.loopMutex);
    self.loopCondition.wait_for (loopLock, std::chrono::seconds (5), [&self] { return self.parkedForExit; });
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

    if (users++ > 0 || juce::MessageManager::getInstanceWithoutCreating() != nullptr || exiting)
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
            openWakePipe();
            promise.set_value();
            runOwnLoop();

            waitUntilStopPosted();
            closeWakePipe();
            juce::shutdownJuce_GUI();
        });

    // Instances are built only once the message manager exists on that thread.
    started.wait();

    // After JUCE's start-up, so that the handler runs before the exit destroys
    // what JUCE made while starting.
    if (!exitHandlerRegistered)
        exitHandlerRegistered = std::atexit (leaveAtExit) == 0;
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
    // An exiting process keeps JUCE as it is: the own thread never ends.
    if (!thread.joinable() || exiting)
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
        ownThreadDetached = true;
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

            if (exiting)
                parkForExit (lock);

            if (lendRequested && !stopRequested)
            {
                parked = true;
                loopCondition.notify_all();
                loopCondition.wait (lock, [this] { return !lendRequested || stopRequested || exiting; });

                if (exiting)
                    parkForExit (lock);

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
    loopCondition.wait (lock, [this] { return stopPosted || exiting; });

    if (exiting)
        parkForExit (lock);
}

void ZkMessageThread::parkForExit (std::unique_lock<std::mutex>& loopLock)
{
    parkedForExit = true;
    loopCondition.notify_all();

    // Until the process ends; nothing sets this again.
    loopCondition.wait (loopLock, [] { return false; });
}

void ZkMessageThread::openWakePipe()
{
    // Without a pipe the exit handler cannot wake the loop and waits its while.
    int fds[2] = {-1, -1};

    if (::pipe (fds) != 0)
        return;

    for (const int fd : fds)
    {
        ::fcntl (fd, F_SETFD, FD_CLOEXEC);
        ::fcntl (fd, F_SETFL, ::fcntl (fd, F_GETFL) | O_NONBLOCK);
    }

    wakeReadFd = fds[0];
    wakeWriteFd = fds[1];

    // Whichever thread runs the loop reads the byte; the own thread then sees
    // the exit as soon as the dispatch returns.
    juce::LinuxEventLoop::registerFdCallback (wakeReadFd,
                                              [] (int fd)
                                              {
                                                  unsigned char bytes[16];
                                                  while (::read (fd, bytes, sizeof (bytes)) > 0)
                                                  {
                                                  }
                                              });
}

void ZkMessageThread::closeWakePipe()
{
    if (wakeReadFd < 0)
        return;

    juce::LinuxEventLoop::unregisterFdCallback (wakeReadFd);
    ::close (wakeReadFd);
    ::close (wakeWriteFd);
    wakeReadFd = wakeWriteFd = -1;
}

//==============================================================================
bool ZkMessageThread::lendToCurrentThread()
{
    auto& self = getInstance();
    const auto me = std::this_thread::get_id();

    {
        // The own thread itself (a host that opens the editor from inside a
        // callback of it) keeps the loop: it would wait for itself to park.
        const std::lock_guard<std::mutex> lock (self.mutex);
        if (!self.thread.joinable() || self.thread.get_id() == me)
            return false;
    }

    std::unique_lock<std::mutex> lock (self.loopMutex);

    if (self.loans > 0 && self.borrower == me)
    {
        ++self.loans;
        return true;
    }

    // Lent elsewhere, being lent, being given back, stopping, or exiting.
    if (self.loans > 0 || self.lendRequested || self.takenBack != self.handBacks || self.stopRequested ||
        self.exiting)
        return false;

    self.lendRequested = true;
    lock.unlock();
    postWakeUp();
    lock.lock();
    self.loopCondition.wait (lock, [&self] { return self.parked || self.stopRequested || self.exiting; });

    if (self.stopRequested || self.exiting)
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
    self.loopCondition.wait (lock, [&self, ticket]
                             { return self.takenBack >= ticket || self.stopRequested || self.exiting; });
}
