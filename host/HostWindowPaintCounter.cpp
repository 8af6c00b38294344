#include "host/HostWindowPaintCounter.h"

#include <X11/Xproto.h>
#include <X11/extensions/shmproto.h>

#include <cstdint>
#include <cstring>

namespace
{
std::uint16_t read16 (const unsigned char* bytes, bool swapped)
{
    std::uint16_t value;
    std::memcpy (&value, bytes, sizeof (value));
    return swapped ? static_cast<std::uint16_t> ((value >> 8) | (value << 8)) : value;
}

std::uint32_t read32 (const unsigned char* bytes, bool swapped)
{
    std::uint32_t value;
    std::memcpy (&value, bytes, sizeof (value));
    return swapped ? __builtin_bswap32 (value) : value;
}
} // namespace

HostWindowPaintCounter::HostWindowPaintCounter (Window windowToWatch)
    : window (windowToWatch)
    , control (XOpenDisplay (nullptr))
    , data (XOpenDisplay (nullptr))
{
    int major = 0, minor = 0;
    if (control == nullptr || data == nullptr || XRecordQueryVersion (control, &major, &minor) == 0)
        return;

    XRecordRange* ranges[2] = {XRecordAllocRange(), nullptr};
    int numRanges = 1;
    ranges[0]->core_requests.first = ranges[0]->core_requests.last = X_PutImage;

    int shmOpcode = 0, firstEvent = 0, firstError = 0;
    if (XQueryExtension (control, "MIT-SHM", &shmOpcode, &firstEvent, &firstError))
    {
        ranges[1] = XRecordAllocRange();
        ranges[1]->ext_requests.ext_major.first = ranges[1]->ext_requests.ext_major.last =
            static_cast<unsigned char> (shmOpcode);
        ranges[1]->ext_requests.ext_minor.first = ranges[1]->ext_requests.ext_minor.last = X_ShmPutImage;
        numRanges = 2;
    }

    XRecordClientSpec clients = XRecordAllClients;
    context = XRecordCreateContext (control, 0, &clients, 1, ranges, numRanges);
    for (auto* range : ranges)
        if (range != nullptr)
            XFree (range);

    if (context == 0)
        return;

    XSync (control, False);
    if (XRecordEnableContextAsync (data, context, intercept, reinterpret_cast<XPointer> (this)) == 0)
    {
        XRecordFreeContext (control, context);
        context = 0;
    }
}

HostWindowPaintCounter::~HostWindowPaintCounter()
{
    if (context != 0)
    {
        XRecordDisableContext (control, context);
        XSync (control, False);
        XRecordProcessReplies (data);
        XRecordFreeContext (control, context);
        XSync (control, False);
    }
    if (data != nullptr)
        XCloseDisplay (data);
    if (control != nullptr)
        XCloseDisplay (control);
}

std::size_t HostWindowPaintCounter::count()
{
    if (context != 0)
    {
        // A round trip on the control connection lets the server send out what
        // it recorded before; then everything that arrived is taken in.
        XSync (control, False);
        XRecordProcessReplies (data);
    }
    return images;
}

void HostWindowPaintCounter::intercept (XPointer selfPointer, XRecordInterceptData* recorded)
{
    auto& self = *reinterpret_cast<HostWindowPaintCounter*> (selfPointer);

    // Both requests carry the drawable right after the length, which a big
    // request (length 0) follows with four bytes of extended length.
    if (recorded->category == XRecordFromClient && recorded->data_len >= 3)
    {
        const bool swapped = recorded->client_swapped != 0;
        const unsigned char* bytes = recorded->data;
        const std::size_t offset = read16 (bytes + 2, swapped) == 0 ? 8 : 4;

        if (recorded->data_len * 4 >= offset + 4 && read32 (bytes + offset, swapped) == self.window)
            ++self.images;
    }

    XRecordFreeData (recorded);
}
