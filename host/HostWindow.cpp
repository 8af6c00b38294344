#include "host/HostWindow.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <set>

HostWindow::HostWindow()
    : display (XOpenDisplay (nullptr))
{
    if (display == nullptr)
        return;

    const int screen = DefaultScreen (display);
    window = XCreateSimpleWindow (display, RootWindow (display, screen), 0, 0, 640, 360, 0,
                                  BlackPixel (display, screen), BlackPixel (display, screen));
    XStoreName (display, window, "zk editor host");
    XMapWindow (display, window);
    XSync (display, False);
}

HostWindow::~HostWindow()
{
    if (display == nullptr)
        return;
    XDestroyWindow (display, window);
    XCloseDisplay (display);
}

void HostWindow::resize (int width, int height)
{
    XResizeWindow (display, window, (unsigned)width, (unsigned)height);
    XSync (display, False);
}

void HostWindow::hide()
{
    XUnmapWindow (display, window);
    XSync (display, False);
}

void HostWindow::show()
{
    XMapWindow (display, window);
    XSync (display, False);
}

void HostWindow::setChildMapped (Window child, bool mapped)
{
    if (mapped)
        XMapWindow (display, child);
    else
        XUnmapWindow (display, child);
    XSync (display, False);
}

std::vector<Window> HostWindow::getChildren() const
{
    XSync (display, False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;

    if (XQueryTree (display, window, &root, &parent, &children, &count) != 0)
    {
        result.assign (children, children + count);
        XFree (children);
    }
    return result;
}

XWindowAttributes HostWindow::getAttributes (Window child) const
{
    XWindowAttributes attributes{};
    XGetWindowAttributes (display, child, &attributes);
    return attributes;
}

std::vector<unsigned long> HostWindow::sample (Window child, int gridSize) const
{
    const auto attributes = getAttributes (child);
    if (attributes.map_state != IsViewable || attributes.width <= 0 || attributes.height <= 0)
        return {};

    XImage* image = XGetImage (display, child, 0, 0, (unsigned)attributes.width, (unsigned)attributes.height,
                               AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};

    std::vector<unsigned long> pixels;
    pixels.reserve ((std::size_t) (gridSize * gridSize));
    for (int gy = 0; gy < gridSize; ++gy)
        for (int gx = 0; gx < gridSize; ++gx)
            pixels.push_back (
                XGetPixel (image, (gx * attributes.width) / gridSize, (gy * attributes.height) / gridSize));
    XDestroyImage (image);
    return pixels;
}

std::size_t HostWindow::countColours (Window child) const
{
    const auto pixels = sample (child, 16);
    return std::set<unsigned long> (pixels.begin(), pixels.end()).size();
}

std::vector<unsigned long> HostWindow::samplePixels (Window child) const
{
    return sample (child, 64);
}

void HostWindow::drag (Window child, int x, int y, int dx, int dy, const std::function<void()>& between)
{
    const int screen = DefaultScreen (display);
    int rootX = 0, rootY = 0;
    Window ignored = 0;
    XTranslateCoordinates (display, child, RootWindow (display, screen), x, y, &rootX, &rootY, &ignored);

    XTestFakeMotionEvent (display, screen, rootX, rootY, CurrentTime);
    XSync (display, False);
    between();
    XTestFakeButtonEvent (display, 1, True, CurrentTime);
    XSync (display, False);
    between();

    constexpr int steps = 8;
    for (int step = 1; step <= steps; ++step)
    {
        XTestFakeMotionEvent (display, screen, rootX + dx * step / steps, rootY + dy * step / steps,
                              CurrentTime);
        XSync (display, False);
        between();
    }

    XTestFakeButtonEvent (display, 1, False, CurrentTime);
    XSync (display, False);
    between();
}
