#include "engine/ZkSafeFileWriter.h"

#if JUCE_WINDOWS

bool ZkSafeFileWriter::write (const juce::File& target, const void* data, size_t size,
                              std::optional<ZkFileIdentity>)
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

#else

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
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

/** The folder that holds path, as the system resolves it (no links, "." or
    ".." in it); empty when it cannot be resolved (it does not exist). */
juce::String realFolderOf (const juce::String& path)
{
    const auto slash = path.lastIndexOfChar ('/');

    if (slash < 0)
        return {};

    std::unique_ptr<char, decltype (&::free)> real (
        ::realpath (slash == 0 ? "/" : path.substring (0, slash).toRawUTF8(), nullptr), &::free);
    return real != nullptr ? juce::String::fromUTF8 (real.get()) : juce::String();
}

juce::String inFolder (const juce::String& folder, const juce::String& name)
{
    return (folder.endsWithChar ('/') ? folder : folder + "/") + name;
}

/** path itself, or, when path is a symbolic link, the end of the chain of links
    it starts (also one that does not exist yet). Empty when the links loop or
    the chain is longer than the system follows. Each relative link is taken
    from the real folder it lies in: joining it to path as text would undo a
    ".." wrongly when that folder is reached through a link. */
juce::String resolvePath (juce::String path)
{
#if JUCE_MAC
    constexpr int maxLinks = 32; // as the system follows them (MAXSYMLINKS)
#else
    constexpr int maxLinks = 40; // as the kernel follows them
#endif

    for (int i = 0; i <= maxLinks; ++i) // maxLinks links, then their end
    {
        struct stat info;

        if (::lstat (path.toRawUTF8(), &info) != 0 || !S_ISLNK (info.st_mode))
        {
            // The end, in the form the file's own folder gives it, so that its
            // siblings are found there too.
            const auto name = path.fromLastOccurrenceOf ("/", false, false);
            const auto folder = realFolderOf (path);
            return i == 0 || folder.isEmpty() || name == "." || name == ".." ? path : inFolder (folder, name);
        }

        juce::HeapBlock<char> buffer ((size_t)PATH_MAX + 1);
        const auto length = ::readlink (path.toRawUTF8(), buffer.get(), PATH_MAX);
        const auto folder = realFolderOf (path);

        if (length <= 0 || folder.isEmpty())
            return {};

        const auto link = juce::String::fromUTF8 (buffer.get(), (int)length);
        path = link.startsWithChar ('/') ? link : inFolder (folder, link);
    }

    return {};
}

/** The file at path itself (a link there is not followed), when it is a
    regular file. */
std::optional<ZkFileIdentity> identityOf (const juce::String& path)
{
    struct stat info;

    if (::lstat (path.toRawUTF8(), &info) != 0 || !S_ISREG (info.st_mode))
        return {};

    return ZkFileIdentity{(std::uint64_t)info.st_dev, (std::uint64_t)info.st_ino, {}};
}

bool isLinkAt (const juce::String& path)
{
    struct stat info;
    return ::lstat (path.toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
}

/** Moves the file at from to to only when nothing lies at to, in one step
    (a link counts as something). */
bool moveToFreeName (const char* from, const char* to)
{
#if JUCE_LINUX
    if (::renameat2 (AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
#elif JUCE_MAC
    if (::renamex_np (from, to, RENAME_EXCL) == 0)
        return true;
#else
    errno = ENOSYS;
#endif

    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;

    // A file system without such a rename: a second name is only made where
    // none is, and then the first one is let go.
    if (::link (from, to) == 0)
    {
        ::unlink (from);
        return true;
    }

    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;

    // Nor links (FAT, exFAT): looked at just before the rename, which leaves
    // the same window as the check of a file that was read.
    struct stat info;
    return ::lstat (to, &info) != 0 && errno == ENOENT && ::rename (from, to) == 0;
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

bool ZkSafeFileWriter::write (const juce::File& target, const void* data, size_t size,
                              std::optional<ZkFileIdentity> checked)
{
    if (target == juce::File() || (data == nullptr && size > 0))
        return false;

    // The chain of links is resolved once, and the place it ends at is the
    // one written: a link re-pointed from now on changes nothing.
    const bool replacing = checked.has_value();
    const auto path = target.getFullPathName();
    const bool isLink = isLinkAt (path);
    const auto targetPath = replacing ? resolvePath (path) : path;
    struct stat info;

    // The file read must still be there: a link that leads elsewhere by now,
    // or another file in its place, means the caller's reading is out of date.
    // It is not replaced when it is read-only to this user.
    if (replacing &&
        (targetPath.isEmpty() || identityOf (targetPath) != checked ||
         ::lstat (targetPath.toRawUTF8(), &info) != 0 || ::access (targetPath.toRawUTF8(), W_OK) != 0))
        return false;

    juce::String temporaryPath;
    const int fd = createTemporary (juce::File (targetPath), temporaryPath);

    if (fd < 0)
        return false;

    // The new file keeps the permissions of the one it replaces (a file kept
    // private stays private); one that takes a free name or a link's place
    // gets the usual ones.
    const bool modeKept = !replacing || ::fchmod (fd, info.st_mode & 07777) == 0;
    const bool written = modeKept && writeAll (fd, static_cast<const char*> (data), size) && syncToDisk (fd);
    const bool closed = ::close (fd) == 0;

    // Checked again just before the rename: another program may have put
    // another file in its place while this one was written and synced. A file
    // the caller read is replaced only while it is still there; a link it did
    // not follow, only while it is still a link; where it read nothing,
    // nothing that appeared meanwhile is replaced.
    const auto* from = temporaryPath.toRawUTF8();
    const auto* to = targetPath.toRawUTF8();
    bool moved = false;

    if (written && closed)
    {
        if (replacing)
            moved = identityOf (targetPath) == checked && ::rename (from, to) == 0;
        else if (isLink)
            moved = isLinkAt (targetPath) && ::rename (from, to) == 0;
        else
            moved = moveToFreeName (from, to);
    }

    if (!moved)
    {
        ::unlink (temporaryPath.toRawUTF8());
        return false;
    }

    // The folder is not synced: after a crash the name holds the old or the
    // new file, each of them complete.
    return true;
}

#endif
