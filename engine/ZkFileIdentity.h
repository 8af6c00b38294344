#pragma once

#include <cstdint>
#include <memory>

/**
    Which file a path led to when it was read: its device and inode. Two
    identities name the same file only when both are equal. Readers record it
    for the file they read, so that a writer replaces that very file and no
    other.

    The system may hand the number of a deleted file to a file it creates
    later, but never while the deleted file is still open: an identity made by a reader keeps
    its file open (openFile) for as long as it or a copy of it lives. So while
    the caller holds it, a file put in the place of the one read, also one
    created after that one was deleted, is another file. Hold it from the
    reading to the write it judges, no longer.
*/
struct ZkFileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::shared_ptr<const void> openFile; // the file read, held open; none in one only looked up

    bool operator== (const ZkFileIdentity& other) const noexcept
    {
        return device == other.device && inode == other.inode;
    }

    bool operator!= (const ZkFileIdentity& other) const noexcept { return !(*this == other); }
};
