// The test host's side of the window system (X11): its own connection to the
// display and the top-level window in which it embeds a plug-in's editor. It
// can hide and show that window as hosts do (Ardour unmaps a plug-in window
// instead of closing the editor), read the window's pixels, and drag the mouse
// through the XTEST extension as a user would.
//
// Threads: the thread that made it.

#pragma once

#include <X11/Xlib.h>

#include <cstddef>
#include <functional>
#include <vector>

class HostWindow
{
public:
    HostWindow(); // 640 x 360, mapped
    ~HostWindow();

    HostWindow (const HostWindow&) = delete;
    HostWindow& operator= (const HostWindow&) = delete;

    bool isOpen() const { return display != nullptr; }
    void* getParentHandle() const { return reinterpret_cast<void*> (window); }
    Display* getDisplay() const { return display; }

    void resize (int width, int height); // [pixels]

    // Unmaps or maps the host's window (the embedded editor stays mapped inside
    // it, but is viewable only while the host's window is).
    void hide();
    void show();

    // Unmaps or maps one window inside the host's window (the editor's own).
    void setChildMapped (Window child, bool mapped);

    // The windows the plug-in put into the host's window.
    std::vector<Window> getChildren() const;

    XWindowAttributes getAttributes (Window child) const;

    // Distinct colours on a 16 x 16 grid over the window's contents (0 when
    // they cannot be read, as while the window is not viewable).
    std::size_t countColours (Window child) const;

    // The window's pixels on a 64 x 64 grid (empty when they cannot be read).
    std::vector<unsigned long> samplePixels (Window child) const;

    // A mouse drag with the left button through the X server, as from a user:
    // from a point of the child by (dx, dy), in steps; between two events the
    // plug-in gets its idle calls.
    void drag (Window child, int x, int y, int dx, int dy, const std::function<void()>& between);

private:
    std::vector<unsigned long> sample (Window child, int gridSize) const;

    Display* display = nullptr;
    Window window = 0;
};
