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
#include "support/HeadlessDisplay.h"

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
#include "host/HostAudioThread.h"
#include "host/HostWindow.h"
#include "host/HostWindowPaintCounter.h"
#endif

#ifdef ZK_PLUGIN_PATH
static const std::string pluginPath = ZK_PLUGIN_PATH;
#define ZK_REQUIRE_PLUGIN()
#else
static const std::string pluginPath;
#define ZK_REQUIRE_PLUGIN() GTEST_SKIP() << "the plug-in is not built"
#endif

#define ZK_REQUIRE_DISPLAY()                                                                                 \
    if (!HeadlessDisplay::isAvailable())                                                                     \
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
// the state saved afterwards holds the height the chunk had, for a larger screen.
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
    EXPECT_EQ (attributeOf (plugin->getChunk(), "lastEditorHeight"), std::to_string (GetParam()));
}

INSTANTIATE_TEST_SUITE_P (Heights, EditorHeightFromAChunk, ::testing::Values (10000, 16384, 1));

#if ZK_HAVE_X11
namespace
{
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

/** Whether every call of that kind came on the calling thread (the host's GUI
    thread, from inside its idle calls). */
::testing::AssertionResult allCameFromThisThread (HostedPlugin& plugin, HostEvent::Kind kind)
{
    for (const auto& event : plugin.getEvents().snapshot())
        if (event.kind == kind && event.thread != std::this_thread::get_id())
            return ::testing::AssertionFailure() << event.describe() << " came from another thread";
    return ::testing::AssertionSuccess();
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
    plugin->setWindowResizer ([&host] (int width, int height) { host.resize (width, height); });

    // The size before opening: 1.778 x height, within the limits of a display
    // 1080 pixels high.
    const auto initial = getRect (*plugin);
    EXPECT_NEAR (initial.width, aspectRatio * (float)initial.height, 1.0f);
    EXPECT_GE (initial.height, 270);
    EXPECT_LE (initial.height, 864);

    host.resize (initial.width, initial.height);
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
    // the display update of a rename comes from inside an idle call, on this
    // thread, and not from a thread of the plug-in's own.
    plugin->getEvents().clear();
    renameProgram (*plugin, "Open Editor");
    EXPECT_TRUE (
        waitFor ([&] { return countEvents (*plugin, HostEvent::Kind::updateDisplay) > 0; }, oneStep));
    EXPECT_TRUE (allCameFromThisThread (*plugin, HostEvent::Kind::updateDisplay));

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
    host.resize (requested.width, requested.height);
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
    const auto size = getRect (*plugin);
    host.resize (size.width, size.height);

    {
        HostAudioThread audio (*plugin);

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
    EXPECT_TRUE (waitFor ([&] { return countEvents (*second, HostEvent::Kind::updateDisplay) > 0; },
                          [&] { idle (*second, 1); }));
    EXPECT_TRUE (allCameFromThisThread (*second, HostEvent::Kind::updateDisplay));

    // The last one closes: the plug-in's own thread runs the messages again.
    second->dispatch (effEditClose);
    first->getEvents().clear();
    renameProgram (*first, "Both Closed");
    EXPECT_TRUE (waitFor ([&] { return countEvents (*first, HostEvent::Kind::updateDisplay) > 0; },
                          [] { std::this_thread::sleep_for (std::chrono::milliseconds (5)); }));
}

namespace
{
/** How the host takes the editor off the screen: its own window unmapped (as
    Ardour hides a plug-in window), or the editor's window inside it. */
enum class Hiding
{
    hostWindow,
    editorWindow
};

void setShown (HostWindow& host, Window editor, Hiding hiding, bool shown)
{
    if (hiding == Hiding::hostWindow)
        shown ? host.show() : host.hide();
    else
        host.setChildMapped (editor, shown);
}

void PrintTo (Hiding hiding, std::ostream* out)
{
    *out << (hiding == Hiding::hostWindow ? "host window unmapped" : "editor window unmapped");
}

class ZkOstinelHiddenEditor : public testing::TestWithParam<Hiding>
{
};
} // namespace

TEST_P (ZkOstinelHiddenEditor, PaintsNothingWhileHiddenAndCatchesUpWhenShownAgain)
{
    ZK_REQUIRE_PLUGIN();
    ZK_REQUIRE_DISPLAY();
    HostWindow host;
    ASSERT_TRUE (host.isOpen()) << "cannot connect to the display";

    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    const auto size = getRect (*plugin);
    host.resize (size.width, size.height);

    HostAudioThread audio (*plugin);
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, host.getParentHandle()), 1);
    const auto oneStep = [&] { idle (*plugin, 1); };
    ASSERT_TRUE (waitFor ([&] { return host.getChildren().size() == 1; }, oneStep));
    const Window editor = host.getChildren().front();

    HostWindowPaintCounter paints (editor);
    if (!paints.isRecording())
        GTEST_SKIP() << "the display cannot record requests (no RECORD extension)";

    // Shown, with audio playing, the editor draws all the time (waveform, meters).
    ASSERT_TRUE (
        waitFor ([&] { return host.getAttributes (editor).map_state == IsViewable && paints.count() >= 20; },
                 oneStep));
    const auto shownPicture = host.samplePixels (editor);
    ASSERT_FALSE (shownPicture.empty());

    // Hidden: once the editor has noticed (no image for a second of idle calls),
    // nothing reaches its window while the audio goes on and idle is called.
    setShown (host, editor, GetParam(), false);
    ASSERT_TRUE (waitFor (
        [&]
        {
            const auto before = paints.count();
            idle (*plugin, 100);
            return paints.count() == before;
        },
        oneStep))
        << "the hidden editor keeps drawing";

    const auto quiet = paints.count();
    const int blocksBefore = audio.getBlocks();
    idle (*plugin, 100); // 1 s at least: some 75 waveform and 30 meter ticks
    EXPECT_EQ (paints.count(), quiet) << "the hidden editor drew";
    EXPECT_GT (audio.getBlocks(), blocksBefore);

    // Shown again: it draws at once and goes on drawing, and the picture has
    // moved on with the audio that played while it was hidden.
    setShown (host, editor, GetParam(), true);
    EXPECT_TRUE (waitFor ([&] { return paints.count() >= quiet + 20; }, oneStep))
        << "no drawing after showing";
    EXPECT_TRUE (waitFor (
        [&]
        {
            const auto picture = host.samplePixels (editor);
            return host.countColours (editor) >= 2u && picture != shownPicture;
        },
        oneStep));

    plugin->dispatch (effEditClose);
    EXPECT_LE (plugin->getDeepestCallbackNesting(), 1);
}

INSTANTIATE_TEST_SUITE_P (ZkOstinelEditorDisplay, ZkOstinelHiddenEditor,
                          testing::Values (Hiding::hostWindow, Hiding::editorWindow),
                          [] (const testing::TestParamInfo<Hiding>& parameter) {
                              return parameter.param == Hiding::hostWindow ? "HostWindowUnmapped"
                                                                           : "EditorWindowUnmapped";
                          });

TEST (ZkOstinelEditorDisplay, EachEditorFollowsItsOwnWindowAlsoAfterAnotherCloses)
{
    ZK_REQUIRE_PLUGIN();
    ZK_REQUIRE_DISPLAY();
    HostWindow firstHost, secondHost;
    ASSERT_TRUE (firstHost.isOpen() && secondHost.isOpen()) << "cannot connect to the display";

    auto first = loadZk();
    auto second = loadZk();
    ASSERT_TRUE (first != nullptr && second != nullptr);
    for (auto* host : {&firstHost, &secondHost})
    {
        const auto size = getRect (*first);
        host->resize (size.width, size.height);
    }

    HostAudioThread firstAudio (*first), secondAudio (*second);
    ASSERT_EQ (first->dispatch (effEditOpen, 0, 0, firstHost.getParentHandle()), 1);
    ASSERT_EQ (second->dispatch (effEditOpen, 0, 0, secondHost.getParentHandle()), 1);
    const auto bothIdle = [&]
    {
        idle (*first, 1);
        idle (*second, 1);
    };
    ASSERT_TRUE (
        waitFor ([&] { return firstHost.getChildren().size() == 1 && secondHost.getChildren().size() == 1; },
                 bothIdle));

    HostWindowPaintCounter firstPaints (firstHost.getChildren().front());
    HostWindowPaintCounter secondPaints (secondHost.getChildren().front());
    if (!firstPaints.isRecording() || !secondPaints.isRecording())
        GTEST_SKIP() << "the display cannot record requests (no RECORD extension)";

    /** Idle calls for a second or more: true when the editor of `paints` drew
        nothing meanwhile. */
    const auto staysQuiet = [&] (HostWindowPaintCounter& paints)
    {
        const auto before = paints.count();
        for (int i = 0; i < 50; ++i)
            bothIdle();
        return paints.count() == before;
    };

    // The first hidden: it stops drawing, the second goes on.
    firstHost.hide();
    ASSERT_TRUE (waitFor ([&] { return staysQuiet (firstPaints); }, bothIdle));
    const auto secondBefore = secondPaints.count();
    EXPECT_TRUE (waitFor ([&] { return secondPaints.count() >= secondBefore + 20; }, bothIdle));

    // The first closes; the second, hidden now, stops drawing too.
    first->dispatch (effEditClose);
    secondHost.hide();
    EXPECT_TRUE (waitFor ([&] { return staysQuiet (secondPaints); }, [&] { idle (*second, 1); }))
        << "the second editor no longer sees its window";

    second->dispatch (effEditClose);
}

#endif // ZK_HAVE_X11
