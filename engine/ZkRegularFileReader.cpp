#include "engine/ZkRegularFileReader.h"

#if JUCE_WINDOWS

ZkRegularFileReader::Result ZkRegularFileReader::read (const juce::File& file, size_t maxBytes)
{
    if (!file.exists())
        return {};

    if (!file.existsAsFile())
        return {Outcome::unreadable, {}, {}};

    juce::FileInputStream stream (file);

    if (stream.failedToOpen())
        return {Outcome::unreadable, {}, {}};

    Result result{Outcome::read, {}, {}};
    stream.readIntoMemoryBlock (result.bytes, (ssize_t)maxBytes + 1);

    if (result.bytes.getSize() > maxBytes)
        return {Outcome::tooLarge, {}, {}};

    if (result.bytes.isEmpty())
        return {Outcome::empty, {}, {}};

    return result;
}

#else

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
/** Closes the descriptor when the last holder lets it go. */
struct Descriptor
{
    explicit Descriptor (int d)
        : fd (d)
    {
    }

    ~Descriptor()
    {
        if (fd >= 0)
            ::close (fd);
    }

    Descriptor (const Descriptor&) = delete;
    Descriptor& operator= (const Descriptor&) = delete;

    const int fd;
};
} // namespace

ZkRegularFileReader::Result ZkRegularFileReader::read (const juce::File& file, size_t maxBytes)
{
    const auto* path = file.getFullPathName().toRawUTF8();
    struct stat info;

    // Only the type is looked at first: nothing but a regular file is opened.
    if (file == juce::File() || ::stat (path, &info) != 0)
        return {};

    if (!S_ISREG (info.st_mode))
        return {Outcome::unreadable, {}, {}};

    // Not blocking, and the type checked again on what was opened: the path
    // may have become a pipe in between.
    const auto opened =
        std::make_shared<const Descriptor> (::open (path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));

    if (opened->fd < 0 || ::fstat (opened->fd, &info) != 0 || !S_ISREG (info.st_mode))
        return {Outcome::unreadable, {}, {}};

    // The identity keeps the file open, so that its number goes to no other
    // file while the caller holds it.
    const ZkFileIdentity identity{(std::uint64_t)info.st_dev, (std::uint64_t)info.st_ino, opened};

    // One byte more than allowed tells a file that is, or has grown, too large.
    Result result{Outcome::read, {}, {}};
    result.bytes.setSize (maxBytes + 1);
    size_t size = 0;

    while (size <= maxBytes)
    {
        const auto got =
            ::read (opened->fd, static_cast<char*> (result.bytes.getData()) + size, maxBytes + 1 - size);

        if (got < 0 && errno == EINTR)
            continue;

        if (got < 0)
            return {Outcome::unreadable, {}, {}};

        if (got == 0)
            break;

        size += (size_t)got;
    }

    if (size > maxBytes)
        return {Outcome::tooLarge, {}, identity};

    if (size == 0)
        return {Outcome::empty, {}, identity};

    result.bytes.setSize (size);
    result.identity = identity;
    return result;
}

#endif
