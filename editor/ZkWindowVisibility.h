#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Asks the window system whether the native window that holds a component can
    be seen: on X11 its map state, which is "viewable" only while the window and
    every ancestor up to the root are mapped (a host window that is unmapped or
    minimised leaves it unviewable). Only X11 is asked in this build; a macOS
    build would answer from the view's window (visible and not minimised), and
    any other system answers true.

    A component that is not on the desktop (no native window, as headless) and
    a window system that cannot tell count as viewable, so that the editor draws
    as it always did.

    Message thread only. Each question is one round trip to the window server
    (on one connection of the plug-in's own, shared by all its editors); ask a
    few times a second, not per paint.
*/
class ZkWindowVisibility
{
public:
    ZkWindowVisibility();
    ~ZkWindowVisibility();

    ZkWindowVisibility (const ZkWindowVisibility&) = delete;
    ZkWindowVisibility& operator= (const ZkWindowVisibility&) = delete;

    /** True unless the window system says that the window of `component` cannot
        be seen now. */
    bool isViewable (const juce::Component& component);

private:
    // The platform's connection, shared by every instance of the process: taken
    // on the first question that has a window, let go by the destructor.
    struct Native;
    Native* native = nullptr;

    static Native* sharedNative;
    static int sharedNativeUsers;
};
