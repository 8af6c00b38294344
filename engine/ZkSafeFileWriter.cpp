#include "engine/ZkSafeFileWriter.h"

#if JUCE_WINDOWS

bool ZkSafeFileWriter::write (const juce::File& target, const void* data, size_t size)
{
    if (target == juce::File() || target.isDirectory() || (target.exists() && !target.hasWriteAccess()))
        return false;

    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);
    {
        juce::FileOutputStream stream (temporary.getFile());

        if (!stream.openedOk() || !stream.write (data, size))
            return false;

        stream.flush();

        if (stream.getStatus().failed())
            return false;
    }

    // Once only: a target that cannot be replaced now will not be in a moment.
    return temporary.getFile().replaceFileIn (target);
}

juce::File ZkSafeFileWriter::resolveLinks (const juce::File& file)
{
    return file;
}

#else

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
/** Writes all bytes; false at the first write that fails or writes nothing. */
bool writeAll (int fd, const char* bytes, size_t size)
{
    constexpr size_t maxChunk = 1 << 20; // [bytes] per call

    while (size > 0)
    {
        const auto written = ::write (fd, bytes, size < maxChunk ? size : maxChunk);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return false;

        bytes += written;
        size -= (size_t)written;
    }

    return true;
}

/** Until the data is on the disk (macOS: in the drive, not only in its cache). */
bool syncToDisk (int fd)
{
#if JUCE_MAC
    if (::fcntl (fd, F_FULLFSYNC) == 0)
        return true;
#endif
    return ::fsync (fd) == 0;
}

/** The file that a write to path replaces: path itself, or, when path is a
    symbolic link, the file it leads to (also one that does not exist yet), so
    that the link stays and its target is updated. Empty when the links loop. */
juce::String resolvePath (juce::String path)
{
    constexpr int maxLinks = 40; // as the system's own limit

    for (int i = 0; i < maxLinks; ++i)
    {
        struct stat info;

        if (::lstat (path.toRawUTF8(), &info) != 0 || !S_ISLNK (info.st_mode))
            return path;

        juce::HeapBlock<char> buffer ((size_t)PATH_MAX + 1);
        const auto length = ::readlink (path.toRawUTF8(), buffer.get(), PATH_MAX);

        if (length <= 0)
            return {};

        const auto link = juce::String::fromUTF8 (buffer.get(), (int)length);
        path = link.startsWithChar ('/')
                   ? link
                   : juce::File (path).getParentDirectory().getChildFile (link).getFullPathName();
    }

    return {};
}

/** A new hidden file beside target, opened for writing, or -1. Its name starts
    with a dot so that no scan of the folder lists it. */
int createTemporary (const juce::File& target, juce::String& path)
{
    auto& random = juce::Random::getSystemRandom();

    for (int attempt = 0; attempt < 16; ++attempt) // only names that are taken are tried again
    {
        path = target
                   .getSiblingFile ("." + target.getFileName() + "." +
                                    juce::String::toHexString (random.nextInt64()) + ".tmp")
                   .getFullPathName();

        const int fd = ::open (path.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);

        if (fd >= 0 || errno != EEXIST)
            return fd;
    }

    return -1;
}
} // namespace

bool ZkSafeFileWriter::write (const juce::File& target, const void* data, size_t size)
{
    if (target == juce::File() || (data == nullptr && size > 0))
        return false;

    const auto targetPath = resolvePath (target.getFullPathName());

    if (targetPath.isEmpty())
        return false;

    struct stat info;
    const bool replacing = ::stat (targetPath.toRawUTF8(), &info) == 0;

    if (replacing)
    {
        // Only a regular file is replaced, and not one that is read-only to this user.
        if (!S_ISREG (info.st_mode) || ::access (targetPath.toRawUTF8(), W_OK) != 0)
            return false;
    }

    juce::String temporaryPath;
    const int fd = createTemporary (juce::File (targetPath), temporaryPath);

    if (fd < 0)
        return false;

    // The new file keeps the permissions of the one it replaces (a file kept
    // private stays private).
    const bool modeKept = !replacing || ::fchmod (fd, info.st_mode & 07777) == 0;
    const bool written = modeKept && writeAll (fd, static_cast<const char*> (data), size) && syncToDisk (fd);
    const bool closed = ::close (fd) == 0;

    if (!written || !closed || ::rename (temporaryPath.toRawUTF8(), targetPath.toRawUTF8()) != 0)
    {
        ::unlink (temporaryPath.toRawUTF8());
        return false;
    }

    // The folder is not synced: after a crash the name holds the old or the
    // new file, each of them complete.
    return true;
}

juce::File ZkSafeFileWriter::resolveLinks (const juce::File& file)
{
    if (file == juce::File())
        return {};

    const auto path = resolvePath (file.getFullPathName());
    return path.isEmpty() ? juce::File() : juce::File (path);
}

#endif
