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

    Nothing is replaced that the caller did not read and judge (checked):

    - a file that the caller read at target, also at the end of a chain of
      links (which stay as they are), is replaced only while the path still
      leads to that very file: the same file by its identity, not the same
      name. A link re-pointed since, or another file put in its place (also
      one created after it was deleted: the caller's identity keeps its
      number from being handed on), means the reading is out of date: the
      write fails and replaces nothing;
    - where the caller read nothing (no file, or a link it does not follow),
      a link at target is replaced itself, so that nothing is written into a
      file that a link from elsewhere points at and nothing is changed where
      it points; otherwise the new file takes target's name only while no
      file lies there: one that appears meanwhile is not replaced.

    The check is made when the write starts and again just before the
    rename; a file put in target's place between that last check and the
    rename (a moment) would still be replaced. Links are resolved as the
    system does (a relative link from the real folder it lies in). The new
    file keeps the replaced file's permissions. On Windows, where readers
    record no identity, whatever file lies at target is replaced.

    Stateless; any thread, synchronous.
*/
class ZkSafeFileWriter
{
public:
    /** True when target now holds exactly the size bytes at data. The target's
        folder must exist.

        checked: the regular file that the caller read at target (through any
        links, ZkRegularFileReader, an empty one too) and judged its own to
        replace; none when it read no file there or did not follow the link
        there (see above). */
    static bool write (const juce::File& target, const void* data, size_t size,
                       std::optional<ZkFileIdentity> checked = {});
};
