#pragma once

// A small tmpfs mounted on a fresh folder for the lifetime of the object, so
// that a test can fill a real file system to any level. Needs the right to
// mount (root, as in CI); where it is missing, isMounted() is false and
// getError() says why. The file system is unmounted (lazily, so open files
// cannot keep it) and its folder removed when the object goes, also when the
// test failed. Where it can, the process first moves into a mount namespace of
// its own, so that not even a crash leaves a mount behind on the machine.

#include <juce_core/juce_core.h>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

class ScopedTmpfs
{
public:
    static constexpr size_t pageBytes = 4096; // tmpfs allocates whole pages

    /** pages: the file system's size. */
    ScopedTmpfs (const juce::File& parent, size_t pages)
        : folder (parent.getNonexistentChildFile ("tmpfs", "", false))
    {
        folder.createDirectory();
        enterOwnMountNamespace();
        const auto options = "size=" + juce::String ((juce::int64) (pages * pageBytes)) + ",mode=0755";

        if (::mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", MS_NOSUID | MS_NODEV,
                     options.toRawUTF8()) == 0)
            mounted = true;
        else
            error = "mounting a tmpfs is not allowed here (" + juce::String (std::strerror (errno)) + ")";
    }

    ~ScopedTmpfs()
    {
        if (mounted)
            ::umount2 (folder.getFullPathName().toRawUTF8(), MNT_DETACH);
        folder.deleteRecursively();
    }

    bool isMounted() const { return mounted; }
    const juce::String& getError() const { return error; }
    const juce::File& getFolder() const { return folder; }

    /** [bytes] What an unprivileged writer can still allocate. */
    size_t freeBytes() const
    {
        struct statvfs info;
        if (::statvfs (folder.getFullPathName().toRawUTF8(), &info) != 0)
            return 0;
        return (size_t)info.f_bavail * (size_t)info.f_frsize;
    }

    /** Leaves exactly pages free pages by sizing a filler file at the root of
        the file system (false when that is not possible). */
    bool leaveFreePages (size_t pages)
    {
        const auto filler = folder.getChildFile ("filler");
        filler.deleteFile();
        const auto available = freeBytes();

        if (available < pages * pageBytes)
            return false;

        return writeDirectly (filler, juce::MemoryBlock (available - pages * pageBytes, true)) &&
               freeBytes() == pages * pageBytes;
    }

    /** Replaces file's contents in place (the framework's replaceWithData
        would need room for a second copy). */
    static bool writeDirectly (const juce::File& file, const juce::MemoryBlock& bytes)
    {
        if (file.exists() && !file.deleteFile())
            return false;

        juce::FileOutputStream out (file);
        const bool written =
            out.openedOk() && (bytes.isEmpty() || out.write (bytes.getData(), bytes.getSize()));
        out.flush();
        return written && !out.getStatus().failed();
    }

    /** Read-only from now on, or writable again. */
    bool setReadOnly (bool readOnly)
    {
        return ::mount (nullptr, folder.getFullPathName().toRawUTF8(), nullptr,
                        MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0), nullptr) == 0;
    }

private:
    /** Once per process; where it fails (threads already running, no right to
        it), mounts are made in the machine's namespace and unmounted as above. */
    static void enterOwnMountNamespace()
    {
        static const bool entered = ::unshare (CLONE_NEWNS) == 0 &&
                                    ::mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        (void)entered;
    }

    juce::File folder;
    bool mounted = false;
    juce::String error;

    JUCE_DECLARE_NON_COPYABLE (ScopedTmpfs)
};
