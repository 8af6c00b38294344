// The X display name of programs that run headless. Without DISPLAY, JUCE
// connects to ":0.0" as it starts, and an X server there that goes away ends
// the process with an X I/O error; a name that no server answers keeps JUCE
// headless. Tests that open windows run under a real display instead
// (with-display.sh) and are skipped under this name.

#pragma once

#include <cstdlib>
#include <cstring>

namespace HeadlessDisplay
{
inline constexpr const char* name = ":zk-headless";

/** For programs that open no window: DISPLAY is the headless name. */
inline void use()
{
    setenv ("DISPLAY", name, 1);
}

/** For programs that open windows only where there is a display. */
inline void useWhenNoneIsSet()
{
    setenv ("DISPLAY", name, 0);
}

/** Whether DISPLAY names a display that windows can open on. */
inline bool isAvailable()
{
    const char* display = std::getenv ("DISPLAY");
    return display != nullptr && *display != 0 && std::strcmp (display, name) != 0;
}
} // namespace HeadlessDisplay
