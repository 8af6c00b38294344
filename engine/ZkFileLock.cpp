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

    // Not blocking: opening a pipe in the lock file's place for reading would
    // wait for a writer for ever.
    const auto path = lockFile.getFullPathName();
    fd = ::open (path.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);

    // A lock file that another user made can still be locked through a
    // descriptor for reading.
    if (fd < 0)
        fd = ::open (path.toRawUTF8(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);

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

        if (errno != EWOULDBLOCK && errno != EINTR)
            return;

        if ((juce::int64) (juce::Time::getMillisecondCounter() - start) >= (juce::int64)timeoutMs)
        {
            heldElsewhere = true;
            return;
        }

        juce::Thread::sleep (pollMs);
    }
}

ZkFileLock::~ZkFileLock()
{
    if (fd >= 0)
        ::close (fd); // also releases the lock
}

#endif
