#include "engine/ZkFileLock.h"

#if JUCE_WINDOWS

// No writer of another process is serialised there; the file is still never
// left part written (ZkSafeFileWriter).
ZkFileLock::ZkFileLock (const juce::File&, int)
    : locked (true)
{
}

ZkFileLock::~ZkFileLock() = default;

#else

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

ZkFileLock::ZkFileLock (const juce::File& lockFile, int timeoutMs)
{
    if (lockFile == juce::File())
        return;

    fd = ::open (lockFile.getFullPathName().toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);

    if (fd < 0)
        return;

    // flock() rather than fcntl() locks: those belong to the process, so two
    // instances in one host would not exclude each other. Polled, so that the
    // wait has an end.
    constexpr int pollMs = 5;
    const auto start = juce::Time::getMillisecondCounter();

    for (;;)
    {
        if (::flock (fd, LOCK_EX | LOCK_NB) == 0)
        {
            locked = true;
            return;
        }

        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            (juce::int64) (juce::Time::getMillisecondCounter() - start) >= (juce::int64)timeoutMs)
            return;

        juce::Thread::sleep (pollMs);
    }
}

ZkFileLock::~ZkFileLock()
{
    if (fd >= 0)
        ::close (fd); // also releases the lock
}

#endif
