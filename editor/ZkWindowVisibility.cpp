#include "editor/ZkWindowVisibility.h"

#if JUCE_LINUX || JUCE_BSD

#include <X11/Xlib.h>

#include <cstdlib>
#include <dlfcn.h>

namespace
{
// While a question runs, errors on its connection (a window that the host has
// destroyed meanwhile) belong to it; errors of every other connection go on to
// the handler that was there before.
::Display* questioningDisplay = nullptr;
XErrorHandler previousErrorHandler = nullptr;
bool questionFailed = false;

int catchQuestionErrors (::Display* display, XErrorEvent* event)
{
    if (display == questioningDisplay)
    {
        questionFailed = true;
        return 0;
    }
    return previousErrorHandler != nullptr ? previousErrorHandler (display, event) : 0;
}

template <typename Function> Function lookUp (void* library, const char* name)
{
    return reinterpret_cast<Function> (dlsym (library, name));
}
} // namespace

struct ZkWindowVisibility::Native
{
    Native()
    {
        // The X library is loaded at run time, as the framework loads it, so the
        // plug-in itself needs none to load.
        library = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr)
            return;

        openDisplay = lookUp<decltype (&XOpenDisplay)> (library, "XOpenDisplay");
        closeDisplay = lookUp<decltype (&XCloseDisplay)> (library, "XCloseDisplay");
        getWindowAttributes = lookUp<decltype (&XGetWindowAttributes)> (library, "XGetWindowAttributes");
        setErrorHandler = lookUp<decltype (&XSetErrorHandler)> (library, "XSetErrorHandler");

        if (openDisplay == nullptr || closeDisplay == nullptr || getWindowAttributes == nullptr ||
            setErrorHandler == nullptr)
            return;

        // A connection of its own (it never selects events, so nothing queues on
        // it) to the display that the framework opens its windows on.
        const char* name = std::getenv ("DISPLAY");
        display = openDisplay (name != nullptr && *name != 0 ? name : ":0.0");
    }

    ~Native()
    {
        if (display != nullptr)
            closeDisplay (display);
        if (library != nullptr)
            dlclose (library);
    }

    Native (const Native&) = delete;
    Native& operator= (const Native&) = delete;

    bool isViewable (::Window window)
    {
        if (display == nullptr)
            return true;

        questioningDisplay = display;
        questionFailed = false;
        previousErrorHandler = setErrorHandler (catchQuestionErrors);

        XWindowAttributes attributes{};
        const Status status = getWindowAttributes (display, window, &attributes);

        setErrorHandler (previousErrorHandler);
        questioningDisplay = nullptr;

        // No answer: draw as before.
        if (status == 0 || questionFailed)
            return true;

        return attributes.map_state == IsViewable;
    }

    void* library = nullptr;
    decltype (&XOpenDisplay) openDisplay = nullptr;
    decltype (&XCloseDisplay) closeDisplay = nullptr;
    decltype (&XGetWindowAttributes) getWindowAttributes = nullptr;
    decltype (&XSetErrorHandler) setErrorHandler = nullptr;
    ::Display* display = nullptr;
};

// The connection of every editor of the process and the number of instances
// that hold it (message thread).
ZkWindowVisibility::Native* ZkWindowVisibility::sharedNative = nullptr;
int ZkWindowVisibility::sharedNativeUsers = 0;

ZkWindowVisibility::ZkWindowVisibility() = default;

ZkWindowVisibility::~ZkWindowVisibility()
{
    if (native != nullptr && --sharedNativeUsers == 0)
    {
        delete sharedNative;
        sharedNative = nullptr;
    }
}

bool ZkWindowVisibility::isViewable (const juce::Component& component)
{
    auto* peer = component.getPeer();
    if (peer == nullptr)
        return true;

    if (native == nullptr)
    {
        if (sharedNative == nullptr)
            sharedNative = new Native();
        native = sharedNative;
        ++sharedNativeUsers;
    }

    return native->isViewable ((::Window) (juce::pointer_sized_uint)peer->getNativeHandle());
}

#else

// Not asked of the window system here: the editor draws as it always did.
struct ZkWindowVisibility::Native
{
};

ZkWindowVisibility::ZkWindowVisibility() = default;
ZkWindowVisibility::~ZkWindowVisibility() = default;

bool ZkWindowVisibility::isViewable (const juce::Component&)
{
    return true;
}

#endif
