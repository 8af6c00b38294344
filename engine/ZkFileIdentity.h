#pragma once

#include <cstdint>

/**
    Which file a path led to at one moment: its device and inode. Two paths
    name the same file only when both are equal; a file put in the place of
    another under the same name is another file. Readers record it for the
    file they read, so that a writer replaces that very file and no other.
*/
struct ZkFileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator== (const ZkFileIdentity& other) const noexcept
    {
        return device == other.device && inode == other.inode;
    }

    bool operator!= (const ZkFileIdentity& other) const noexcept { return !(*this == other); }
};
