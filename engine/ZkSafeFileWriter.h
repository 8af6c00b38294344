#pragma once

#include "engine/ZkFileIdentity.h"

#include <juce_core/juce_core.h>

#include <cstddef>
#include <optional>

/**
    Replaces a file with new contents so that the file is never left part
    written: the bytes go to a hidden temporary file beside the target, every
    write's result is checked, the file is synced to the disk and closed, and
    only then is it renamed over the target. Any failure on the way (no room
    left, a short write, a failed sync or close, a target or folder that cannot
    be written) removes the temporary file, leaves the target as it was and is
    reported at once: nothing is retried.

    Only the very file that the caller read and judged is replaced (the same
    file, by its identity, not the same name). A target that is a symbolic
    link stays one only when its chain, resolved once, ends at that file: the
    file is then replaced (the temporary file lies beside it). Otherwise the
    link itself is replaced, so that nothing is written into a file that a
    link from elsewhere points at, and nothing is changed where it points; so
    is a link whose chain loops or is longer than the system follows. Links
    are resolved as the system does (a relative link from the real folder it
    lies in). The new file keeps the replaced file's permissions.

    Stateless; any thread, synchronous.
*/
class ZkSafeFileWriter
{
public:
    /** True when target now holds exactly the size bytes at data. The target's
        folder must exist.

        checked: the file that the caller read at target (through any links,
        ZkRegularFileReader) and took for its own. A link is written through
        only to that file; without checked, a link is always replaced. When
        target is no link, or the link leads to checked, and the file there is
        no longer that one (when the write starts or when the new file is
        ready), nothing is replaced and the write fails: the caller's reading
        is out of date. */
    static bool write (const juce::File& target, const void* data, size_t size,
                       std::optional<ZkFileIdentity> checked = {});
};
