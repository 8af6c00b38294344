#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <functional>

/**
    Replaces a file with new contents so that the file is never left part
    written: the bytes go to a hidden temporary file beside the target, every
    write's result is checked, the file is synced to the disk and closed, and
    only then is it renamed over the target. Any failure on the way (no room
    left, a short write, a failed sync or close, a target or folder that cannot
    be written) removes the temporary file, leaves the target as it was and is
    reported at once: nothing is retried.

    A target that is a symbolic link stays one only when the caller accepts
    the file it leads to (an existing regular file) as its own: that file is
    then replaced (the temporary file lies beside it). Otherwise the link
    itself is replaced, so that nothing is written into a file that a link
    from elsewhere points at; so is a link whose chain loops or is longer than
    the system follows. Links are resolved as the system does (a
    relative link from the real folder it lies in). The new file keeps the
    replaced file's permissions.

    Stateless; any thread, synchronous.
*/
class ZkSafeFileWriter
{
public:
    /** Whether a write to a symbolic link may replace the existing regular
        file that the link leads to, rather than the link. A check that reads
        that file reads at most a bounded part of it. */
    using LinkTargetCheck = std::function<bool (const juce::File& linkTarget)>;

    /** True when target now holds exactly the size bytes at data. The target's
        folder must exist. Without followLinkTo, a link is always replaced. */
    static bool write (const juce::File& target, const void* data, size_t size,
                       const LinkTargetCheck& followLinkTo = {});
};
