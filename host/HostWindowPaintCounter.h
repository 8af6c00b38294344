// Counts the images that clients put into one window, as the X server sees
// them: core PutImage and MIT-SHM ShmPutImage requests whose drawable is that
// window, recorded through the RECORD extension. A plug-in's editor on Linux
// draws by putting the painted image into its window, so this counts its
// paints from outside, without any help from the plug-in.
//
// Threads: the thread that made it.

#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include <cstddef>

class HostWindowPaintCounter
{
public:
    explicit HostWindowPaintCounter (Window windowToWatch); // connections of its own
    ~HostWindowPaintCounter();

    HostWindowPaintCounter (const HostWindowPaintCounter&) = delete;
    HostWindowPaintCounter& operator= (const HostWindowPaintCounter&) = delete;

    // False when the display has no RECORD extension (nothing is counted).
    bool isRecording() const noexcept { return context != 0; }

    // Takes in what the server has recorded so far; the images put into the
    // window since this counter was made.
    std::size_t count();

private:
    static void intercept (XPointer self, XRecordInterceptData* data);

    Window window;
    Display* control = nullptr; // sets the recording up
    Display* data = nullptr;    // receives the recorded requests
    XRecordContext context = 0;
    std::size_t images = 0;
};
