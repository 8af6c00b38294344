#pragma once

#include <juce_core/juce_core.h>

/**
    The user's home folder, under which the plug-in keeps every file it writes
    (the properties file and the default user presets folder).

    The framework takes the home folder from the environment as it stands: an
    empty one becomes the file system's root, a relative one a folder under the
    host's working folder, and one starting with "~" makes it expand "~" without
    end. None of these is the user's home; the plug-in then writes nothing.

    Stateless; any thread.
*/
class ZkHomeFolder
{
public:
    /** The home folder when it is an absolute path naming an existing folder,
        else the empty file. Ask before anything resolves a path through "~". */
    static juce::File find();
};
