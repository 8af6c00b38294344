// The built plug-in's editor in a real X11 window, driven as a Linux VST 2.4
// host drives it: the host asks for the size, opens the editor inside a window
// of its own, calls the idle opcode from its GUI thread (which then runs the
// plug-in's messages), follows the editor's size through opcode 15 when the
// corner is dragged, and closes it, also with audio running and with the
// editor still open when the effect goes.
//
// Under ZK_HOST_CALLS_BACK=1 the host answers as real hosts do, calling back
// into the plug-in from inside its callbacks (idle requests with idle, display
// updates by reading the texts, size requests by resizing at once); the
// plug-in's calls must then never nest.
//
// The tests that open windows need a display with a window manager
// (tests/support/with-display.sh starts Xvfb and matchbox-window-manager);
// without DISPLAY they are skipped.

#include "host/HostTransport.h"
#include "host/HostedPlugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#if ZK_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#endif

#ifdef ZK_PLUGIN_PATH
static const std::string pluginPath = ZK_PLUGIN_PATH;
#define ZK_REQUIRE_PLUGIN()
#else
static const std::string pluginPath;
#define ZK_REQUIRE_PLUGIN() GTEST_SKIP() << "the plug-in is not built"
#endif

#define ZK_REQUIRE_DISPLAY()                                                                                 \
    if (const char* display = std::getenv ("DISPLAY");                                                       \
        display == nullptr || *display == 0 || std::string_view (display) == ":zk-headless")                 \
    GTEST_SKIP() << "no DISPLAY (run under tests/support/with-display.sh)"

namespace
{
constexpr float aspectRatio = 1.778f;

struct Size
{
    int width = 0, height = 0;
};

std::unique_ptr<HostedPlugin> loadZk()
{
    std::string error;
    auto plugin = HostedPlugin::load (pluginPath, error);
    EXPECT_NE (plugin, nullptr) << error;
    return plugin;
}

Size getRect (HostedPlugin& plugin)
{
    ERect* rect = nullptr;
    if (plugin.dispatch (effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr)
        return {};
    return {rect->right - rect->left, rect->bottom - rect->top};
}
} // namespace

TEST (ZkOstinelEditorDisplay, SizeIsKnownBeforeOpeningAlsoWithoutADisplay)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    ASSERT_NE (plugin->getEffect()->flags & effFlagsHasEditor, 0);

    // The editor is made on the plug-in's own message thread; idle calls from a
    // thread that is not JUCE's message thread change nothing.
    for (int round = 0; round < 3; ++round)
    {
        const auto size = getRect (*plugin);
        EXPECT_NEAR (size.width, aspectRatio * (float)size.height, 1.0f);
        EXPECT_GE (size.height, 270);
        EXPECT_LE (size.height, 864);
        EXPECT_EQ (plugin->dispatch (effEditIdle), 0);
        EXPECT_EQ (plugin->dispatch (effEditClose), 0);
    }
}

namespace
{
/** chunk (the plug-in's state) with the editor heights set to height. */
std::vector<unsigned char> withEditorHeights (const std::vector<unsigned char>& chunk, int height)
{
    std::string text (chunk.begin() + 8, chunk.end() - 1);
    for (const std::string name : {"defaultEditorHeight=\"", "lastEditorHeight=\""})
    {
        const auto start = text.find (name) + name.size();
        text.replace (start, text.find ('"', start) - start, std::to_string (height));
    }

    // Magic, the text's length (little-endian), the text and its 0 byte.
    std::vector<unsigned char> edited (8 + text.size() + 1, 0);
    const auto length = static_cast<std::uint32_t> (text.size());
    for (std::size_t i = 0; i < 4; ++i)
    {
        edited[i] = chunk[i];
        edited[4 + i] = static_cast<unsigned char> (length >> (8 * i));
    }
    std::memcpy (edited.data() + 8, text.data(), text.size());
    return edited;
}

std::string attributeOf (const std::vector<unsigned char>& chunk, const std::string& name)
{
    const std::string text (chunk.begin(), chunk.end());
    const auto start = text.find (name + "=\"") + name.size() + 2;
    return text.substr (start, text.find ('"', start) - start);
}

class EditorHeightFromAChunk : public ::testing::TestWithParam<int>
{
};
} // namespace

// A project's chunk may hold editor heights of up to 16,384 pixels: the editor
// still comes within the limits of a display 1080 pixels high (a window of
// 17,780 x 10,000 pixels took seconds to open and never finished idling), and
// the state saved afterwards holds the height it has.
TEST_P (EditorHeightFromAChunk, SizeComesWithinTheLimitsAndIsSavedSo)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    ASSERT_TRUE (plugin->setChunk (withEditorHeights (plugin->getChunk(), GetParam())));
    ASSERT_EQ (attributeOf (plugin->getChunk(), "lastEditorHeight"), std::to_string (GetParam()));

    const auto size = getRect (*plugin);
    EXPECT_NEAR (size.width, aspectRatio * (float)size.height, 1.0f);
    EXPECT_GE (size.height, 270);
    EXPECT_LE (size.height, 864);
    EXPECT_EQ (plugin->dispatch (effEditClose), 0);
    EXPECT_EQ (attributeOf (plugin->getChunk(), "lastEditorHeight"), std::to_string (size.height));
}

INSTANTIATE_TEST_SUITE_P (Heights, EditorHeightFromAChunk, ::testing::Values (10000, 16384, 1));

#if ZK_HAVE_X11
namespace
{
/** The host's side of the window system: its own connection to the display
    and the top-level window in which it embeds the plug-in's editor. */
class HostWindow
{
public:
    HostWindow()
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

    ~HostWindow()
    {
        if (display == nullptr)
            return;
        XDestroyWindow (display, window);
        XCloseDisplay (display);
    }

    HostWindow (const HostWindow&) = delete;
    HostWindow& operator= (const HostWindow&) = delete;

    bool isOpen() const { return display != nullptr; }
    void* getParentHandle() const { return reinterpret_cast<void*> (window); }

    void resize (Size size)
    {
        XResizeWindow (display, window, (unsigned)size.width, (unsigned)size.height);
        XSync (display, False);
    }

    /** The windows the plug-in put into the host's window. */
    std::vector<Window> getChildren() const
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

    XWindowAttributes getAttributes (Window child) const
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes (display, child, &attributes);
        return attributes;
    }

    /** Distinct colours on a 16 x 16 grid over the window's contents. */
    std::size_t countColours (Window child) const
    {
        const auto attributes = getAttributes (child);
        XImage* image = XGetImage (display, child, 0, 0, (unsigned)attributes.width,
                                   (unsigned)attributes.height, AllPlanes, ZPixmap);
        if (image == nullptr)
            return 0;

        std::set<unsigned long> colours;
        for (int gy = 0; gy < 16; ++gy)
            for (int gx = 0; gx < 16; ++gx)
                colours.insert (
                    XGetPixel (image, (gx * attributes.width) / 16, (gy * attributes.height) / 16));
        XDestroyImage (image);
        return colours.size();
    }

    /** A mouse drag with the left button through the X server, as from a user:
        from a point of the child by (dx, dy), in steps; between two events the
        plug-in gets its idle calls. */
    void drag (Window child, int x, int y, int dx, int dy, const std::function<void()>& between)
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

private:
    Display* display = nullptr;
    Window window = 0;
};

/** The host's GUI thread giving the plug-in idle time, as hosts do at 30 to 60 Hz. */
void idle (HostedPlugin& plugin, int calls = 10)
{
    for (int i = 0; i < calls; ++i)
    {
        plugin.dispatch (effEditIdle);
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }
}

/** Takes steps until the condition holds: as long as a loaded machine needs,
    up to a limit that only a plug-in that never gets there reaches. */
bool waitFor (const std::function<bool()>& condition, const std::function<void()>& step)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds (30);

    while (std::chrono::steady_clock::now() < giveUp)
    {
        if (condition())
            return true;
        step();
    }
    return condition();
}

std::size_t countEvents (HostedPlugin& plugin, HostEvent::Kind kind)
{
    std::size_t count = 0;
    for (const auto& event : plugin.getEvents().snapshot())
        count += event.kind == kind ? 1u : 0u;
    return count;
}

/** The last size the plug-in asked the host for, if any. */
Size lastRequestedSize (HostedPlugin& plugin)
{
    Size size;
    for (const auto& event : plugin.getEvents().snapshot())
        if (event.kind == HostEvent::Kind::sizeWindow)
            size = {event.index, event.height};
    return size;
}

void renameProgram (HostedPlugin& plugin, const char* newName)
{
    std::vector<char> name (newName, newName + std::strlen (newName) + 1);
    plugin.dispatch (effSetProgramName, 0, 0, name.data());
}

/** Audio blocks with a running transport on a thread of their own, as a host's
    audio thread (the editor's displays are fed from it). */
class AudioThread
{
public:
    explicit AudioThread (HostedPlugin& pluginToRun)
        : plugin (pluginToRun)
    {
        plugin.setSampleRate (48000.0);
        plugin.setBlockSize (256);
        plugin.setTransport (&transport);
        plugin.resume();
        thread = std::thread ([this] { run(); });
    }

    ~AudioThread()
    {
        running = false;
        thread.join();
        plugin.suspend();
        plugin.setTransport (nullptr);
    }

    int getBlocks() const { return blocks.load(); }

private:
    void run()
    {
        std::vector<float> left (256), right (256);
        float* channels[] = {left.data(), right.data()};

        while (running)
        {
            for (std::size_t i = 0; i < left.size(); ++i)
                left[i] = right[i] = (i % 64) < 32 ? 0.5f : -0.5f;
            plugin.process (channels, channels, 256);
            transport.advance (256);
            ++blocks;
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    }

    HostedPlugin& plugin;
    HostTransport transport{48000.0, 128.0};
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread thread;
};
} // namespace

TEST (ZkOstinelEditorDisplay, OpensPaintsResizesAndClosesInTheHostsWindow)
{
    ZK_REQUIRE_PLUGIN();
    ZK_REQUIRE_DISPLAY();
    HostWindow host;
    ASSERT_TRUE (host.isOpen()) << "cannot connect to the display";

    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    ASSERT_NE (plugin->getEffect()->flags & effFlagsHasEditor, 0);
    plugin->setCanSizeWindow (true);
    plugin->setWindowResizer ([&host] (int width, int height) { host.resize ({width, height}); });

    // The size before opening: 1.778 x height, within the limits of a display
    // 1080 pixels high.
    const auto initial = getRect (*plugin);
    EXPECT_NEAR (initial.width, aspectRatio * (float)initial.height, 1.0f);
    EXPECT_GE (initial.height, 270);
    EXPECT_LE (initial.height, 864);

    host.resize (initial);
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, host.getParentHandle()), 1);
    const auto oneStep = [&] { idle (*plugin, 1); };
    ASSERT_TRUE (waitFor ([&] { return host.getChildren().size() == 1; }, oneStep));

    const Window editor = host.getChildren().front();
    EXPECT_TRUE (waitFor ([&] { return host.getAttributes (editor).map_state == IsViewable; }, oneStep));
    const auto attributes = host.getAttributes (editor);
    EXPECT_EQ (attributes.width, initial.width);
    EXPECT_EQ (attributes.height, initial.height);
    EXPECT_TRUE (waitFor ([&] { return host.countColours (editor) >= 2u; }, oneStep))
        << "the editor painted nothing";

    // While the editor is open the host's idle calls run the plug-in's messages:
    // the display update of a rename waits for the next idle call.
    plugin->getEvents().clear();
    renameProgram (*plugin, "Open Editor");
    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    EXPECT_EQ (countEvents (*plugin, HostEvent::Kind::updateDisplay), 0u);
    EXPECT_TRUE (
        waitFor ([&] { return countEvents (*plugin, HostEvent::Kind::updateDisplay) > 0; }, oneStep));

    // A drag of the corner resizer grows the editor at its aspect ratio, and the
    // host is asked to follow.
    plugin->getEvents().clear();
    host.drag (editor, (int)(0.97f * (float)initial.width), (int)(0.946f * (float)initial.height), 160, 40,
               [&] { idle (*plugin, 3); });

    // The drag's last move is in once the requested size stays put for a few idle calls.
    Size requested;
    ASSERT_TRUE (waitFor (
        [&]
        {
            const auto before = lastRequestedSize (*plugin);
            idle (*plugin, 5);
            requested = lastRequestedSize (*plugin);
            return requested.height > initial.height && requested.height == before.height;
        },
        oneStep))
        << "no resize reached the host";
    EXPECT_NEAR (requested.width, aspectRatio * (float)requested.height, 2.0f);
    host.resize (requested);
    EXPECT_TRUE (waitFor (
        [&]
        {
            const auto now = host.getAttributes (editor);
            return now.width == requested.width && now.height == requested.height;
        },
        oneStep));
    const auto resized = host.getAttributes (editor);
    EXPECT_EQ (resized.width, requested.width);
    EXPECT_EQ (resized.height, requested.height);
    const auto reported = getRect (*plugin);
    EXPECT_EQ (reported.width, requested.width);
    EXPECT_EQ (reported.height, requested.height);

    plugin->dispatch (effEditClose);
    EXPECT_TRUE (waitFor ([&] { return host.getChildren().empty(); },
                          [] { std::this_thread::sleep_for (std::chrono::milliseconds (5)); }));

    // Closed: the plug-in's own thread runs its messages again, without idle calls.
    plugin->getEvents().clear();
    renameProgram (*plugin, "Closed Editor");
    EXPECT_TRUE (waitFor ([&] { return countEvents (*plugin, HostEvent::Kind::updateDisplay) > 0; },
                          [] { std::this_thread::sleep_for (std::chrono::milliseconds (5)); }));

    // Reopened, the editor has its last size.
    const auto reopened = getRect (*plugin);
    EXPECT_EQ (reopened.height, requested.height);
    EXPECT_EQ (reopened.width, requested.width);

    // No call of the plug-in's came back into the host from inside another.
    EXPECT_LE (plugin->getDeepestCallbackNesting(), 1);
}

TEST (ZkOstinelEditorDisplay, OpenAndCloseWhileAudioRunsAndCloseTheEffectWithTheEditorOpen)
{
    ZK_REQUIRE_PLUGIN();
    ZK_REQUIRE_DISPLAY();
    HostWindow host;
    ASSERT_TRUE (host.isOpen()) << "cannot connect to the display";

    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    host.resize (getRect (*plugin));

    {
        AudioThread audio (*plugin);

        // Each round lasts until the audio thread has processed blocks with the editor open.
        for (int round = 0; round < 5; ++round)
        {
            ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, host.getParentHandle()), 1);
            const int blocksBefore = audio.getBlocks();
            EXPECT_TRUE (waitFor (
                [&] { return host.getChildren().size() == 1 && audio.getBlocks() > blocksBefore + 2; },
                [&] { idle (*plugin, 1); }));
            plugin->dispatch (effEditClose);
        }
    }

    // The host closes the effect while its editor is still open.
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, host.getParentHandle()), 1);
    EXPECT_TRUE (waitFor ([&] { return host.getChildren().size() == 1; }, [&] { idle (*plugin, 1); }));
    EXPECT_LE (plugin->getDeepestCallbackNesting(), 1);
    plugin.reset();
    EXPECT_TRUE (waitFor ([&] { return host.getChildren().empty(); },
                          [] { std::this_thread::sleep_for (std::chrono::milliseconds (5)); }));
}

TEST (ZkOstinelEditorDisplay, TwoInstancesShareTheHostsThreadWhileTheirEditorsAreOpen)
{
    ZK_REQUIRE_PLUGIN();
    ZK_REQUIRE_DISPLAY();
    HostWindow firstHost, secondHost;
    ASSERT_TRUE (firstHost.isOpen() && secondHost.isOpen()) << "cannot connect to the display";

    auto first = loadZk();
    auto second = loadZk();
    ASSERT_TRUE (first != nullptr && second != nullptr);

    ASSERT_EQ (first->dispatch (effEditOpen, 0, 0, firstHost.getParentHandle()), 1);
    ASSERT_EQ (second->dispatch (effEditOpen, 0, 0, secondHost.getParentHandle()), 1);
    EXPECT_TRUE (
        waitFor ([&] { return firstHost.getChildren().size() == 1 && secondHost.getChildren().size() == 1; },
                 [&]
                 {
                     idle (*first, 1);
                     idle (*second, 1);
                 }));

    // The first closes; the second's editor keeps the loop on this thread.
    first->dispatch (effEditClose);
    second->getEvents().clear();
    renameProgram (*second, "Still Open");
    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    EXPECT_EQ (countEvents (*second, HostEvent::Kind::updateDisplay), 0u);
    EXPECT_TRUE (waitFor ([&] { return countEvents (*second, HostEvent::Kind::updateDisplay) > 0; },
                          [&] { idle (*second, 1); }));

    // The last one closes: the plug-in's own thread runs the messages again.
    second->dispatch (effEditClose);
    first->getEvents().clear();
    renameProgram (*first, "Both Closed");
    EXPECT_TRUE (waitFor ([&] { return countEvents (*first, HostEvent::Kind::updateDisplay) > 0; },
                          [] { std::this_thread::sleep_for (std::chrono::milliseconds (5)); }));
}

#endif // ZK_HAVE_X11
