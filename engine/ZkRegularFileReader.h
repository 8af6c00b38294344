#pragma once

#include "engine/ZkFileIdentity.h"

#include <juce_core/juce_core.h>

#include <cstddef>
#include <optional>

/**
    Reads the bytes of a file from outside once: one open of a regular file
    (or of the regular file that a link leads to) and one bounded read from it,
    so that what the caller checks is what was on disk at that moment, and
    which file that was (its identity, which holds the file open), so that a
    writer can replace that very file and no other. Anything else at the path
    (a folder, a pipe, a socket, a device) is never opened: opening a pipe
    waits for a writer, and opening a device may act on it.

    Stateless; any thread, synchronous.
*/
class ZkRegularFileReader
{
public:
    enum class Outcome
    {
        absent,     // nothing found at the path: no file, a link that leads nowhere or loops, or any
                    // other failed look (no permission on a folder, a name too long, a file where
                    // a folder should be)
        empty,      // a regular file of no bytes
        unreadable, // not a regular file, or one this user may not read
        tooLarge,   // more than maxBytes bytes
        read        // bytes holds the whole file
    };

    struct Result
    {
        Outcome outcome = Outcome::absent;
        juce::MemoryBlock bytes;
        // Of the regular file opened (read, empty, tooLarge), which it holds
        // open; none on Windows.
        std::optional<ZkFileIdentity> identity;
    };

    /** The whole of file when it is a regular file of at most maxBytes bytes. */
    static Result read (const juce::File& file, size_t maxBytes);
};
