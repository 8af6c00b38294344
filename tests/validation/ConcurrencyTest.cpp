// Threads as a host has them: the audio thread processes while a second thread
// automates random parameters and a third saves and restores the state chunk,
// or while the host's own thread suspends, resumes and switches between mono
// and stereo. The output stays finite; a build with -DZK_SANITIZE=thread runs
// the same cases under ThreadSanitizer, which must report nothing.

#include "validation/ActiveSettings.h"
#include "validation/OutputScan.h"
#include "validation/PluginSession.h"
#include "validation/StereoTestInput.h"
#include "validation/Watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

namespace
{
TEST (Concurrency, AutomationAndStateCallsWhileTheAudioThreadProcesses)
{
    PluginSession::Setup setup;
    setup.sampleRate = 48000.0;
    setup.blockSize = 256;
    auto session = PluginSession::open (setup);
    ASSERT_NE (session, nullptr);
    ActiveSettings::apply (*session);
    auto& plugin = session->getPlugin();
    const auto initialChunk = plugin.getChunk();
    ASSERT_FALSE (initialChunk.empty());

    const Watchdog watchdog ("processing with automation and state calls", std::chrono::seconds (120));
    std::atomic<bool> running{true};
    std::atomic<int> automations{0}, stateRoundTrips{0};

    // Host automation thread: any parameter, any valid value, as fast as it goes.
    std::thread automation (
        [&]
        {
            std::mt19937 random (1);
            std::uniform_real_distribution<float> anyValue (0.0f, 1.0f);
            while (running.load())
            {
                plugin.setParameter (static_cast<int> (random() % 350), anyValue (random));
                plugin.getParameter (static_cast<int> (random() % 350));
                ++automations;
            }
        });

    // Host state thread: saves the state and restores it, or an earlier one.
    std::thread state (
        [&]
        {
            while (running.load())
            {
                const auto chunk = plugin.getChunk();
                EXPECT_FALSE (chunk.empty());
                plugin.setChunk (stateRoundTrips % 3 == 0 ? initialChunk : chunk);
                ++stateRoundTrips;
                std::this_thread::yield();
            }
        });

    // The audio thread: this one. Ten seconds of audio, and at least a few
    // hundred writes and round trips while it runs.
    const StereoTestInput input (setup.sampleRate);
    std::vector<float> left (256), right (256);
    OutputScan scan;
    std::int64_t position = 0;
    for (int block = 0; block < 1875 || automations.load() < 1000 || stateRoundTrips.load() < 20; ++block)
    {
        input.fill (left.data(), right.data(), position, 256);
        session->process (left.data(), right.data(), left.data(), right.data(), 256);
        scan.add (left.data(), 256);
        scan.add (right.data(), 256);
        position += 256;
    }

    running = false;
    automation.join();
    state.join();

    EXPECT_TRUE (scan.isClean()) << scan.describe();
}

// A speaker arrangement of one or two channels, laid out as the host hands it over.
struct Arrangement
{
    explicit Arrangement (int channels)
    {
        header.type = channels == 2 ? kSpeakerArrStereo : kSpeakerArrMono;
        header.numChannels = channels;
    }

    VstSpeakerArrangement header{};
    VstSpeakerProperties speakers[2]{};
};

TEST (Concurrency, SuspendResumeAndChannelChangesWhileTheAudioThreadProcesses)
{
    PluginSession::Setup setup;
    setup.sampleRate = 48000.0;
    setup.blockSize = 256;
    auto session = PluginSession::open (setup);
    ASSERT_NE (session, nullptr);
    ActiveSettings::apply (*session);
    auto& plugin = session->getPlugin();

    const Watchdog watchdog ("processing while the host suspends, resumes and reshapes",
                             std::chrono::seconds (120));
    std::atomic<bool> running{true};
    std::atomic<int> changes{0};

    // The host's thread: every change a host makes while its engine runs.
    std::thread host (
        [&]
        {
            Arrangement mono (1), stereo (2);
            while (running.load())
            {
                switch (changes.load() % 4)
                {
                    case 0:
                        plugin.dispatch (effMainsChanged, 0, 0);
                        break;
                    case 1:
                        plugin.dispatch (effMainsChanged, 0, 1);
                        break;
                    case 2:
                        EXPECT_EQ (plugin.dispatch (effSetSpeakerArrangement, 0,
                                                    reinterpret_cast<VstIntPtr> (&mono.header), &mono.header),
                                   1);
                        break;
                    default:
                        EXPECT_EQ (plugin.dispatch (effSetSpeakerArrangement, 0,
                                                    reinterpret_cast<VstIntPtr> (&stereo.header),
                                                    &stereo.header),
                                   1);
                        break;
                }
                ++changes;
                std::this_thread::yield();
            }
        });

    const StereoTestInput input (setup.sampleRate);
    std::vector<float> left (256), right (256);
    OutputScan scan;
    std::int64_t position = 0;
    for (int block = 0; block < 2000 || changes.load() < 400; ++block)
    {
        input.fill (left.data(), right.data(), position, 256);
        session->process (left.data(), right.data(), left.data(), right.data(), 256);
        scan.add (left.data(), 256);
        scan.add (right.data(), 256);
        position += 256;
    }

    running = false;
    host.join();

    EXPECT_TRUE (scan.isClean()) << scan.describe();
    EXPECT_EQ (plugin.getEffect()->numInputs, changes.load() % 4 == 3 ? 1 : 2);
}
} // namespace
