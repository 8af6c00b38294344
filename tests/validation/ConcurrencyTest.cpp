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

#include <algorithm>
#include <atomic>
#include <mutex>
#include <random>
#include <string>
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

// Two host threads, as some hosts have them: one reads the program name and
// the parameters' texts (its GUI thread) while another restores state chunks
// that rename the program. Every name read is one of the two whole names, and
// under AddressSanitizer and ThreadSanitizer no name is read while it is freed.
TEST (Concurrency, ProgramNameIsReadWhileAnotherThreadRestoresTheState)
{
    PluginSession::Setup setup;
    auto session = PluginSession::open (setup);
    ASSERT_NE (session, nullptr);
    auto& plugin = session->getPlugin();

    // Names longer than what the host reads (23 characters and a zero).
    const std::string names[] = {"First program, with a name longer than the host reads",
                                 "Second program, with a name longer than the host reads"};
    std::vector<unsigned char> chunks[2];
    for (int i = 0; i < 2; ++i)
    {
        std::vector<char> name (names[i].begin(), names[i].end());
        name.push_back (0);
        plugin.dispatch (effSetProgramName, 0, 0, name.data());
        chunks[i] = plugin.getChunk();
    }

    const Watchdog watchdog ("reading the program name while restoring", std::chrono::seconds (120));
    constexpr int restores = 400;
    std::atomic<bool> reading{false};
    std::atomic<int> restored{0};

    std::thread restorer (
        [&]
        {
            while (!reading.load())
                std::this_thread::yield();
            for (int i = 0; i < restores; ++i)
            {
                EXPECT_TRUE (plugin.setChunk (chunks[i % 2]));
                ++restored;
            }
        });

    int reads = 0;
    do
    {
        const auto name = plugin.getProgramName();
        if (name != names[0].substr (0, 23) && name != names[1].substr (0, 23))
            ADD_FAILURE() << "read \"" << name << "\"";
        plugin.getParameterDisplay (reads % 350);
        plugin.getParameterName (reads % 350);
        reading = true;
        ++reads;
    } while (restored.load() < restores);

    restorer.join();
    EXPECT_EQ (plugin.getProgramName(), names[1].substr (0, 23));
}

// Four host threads, as hosts have them when the user saves while an autosave,
// an undo snapshot and the GUI run: each renames the program, asks for the
// state, restores the state it was handed before and reads names and texts, all at
// once. Every chunk handed over stays whole and unchanged while the others ask
// (under AddressSanitizer: is never freed while it is read); the 120 asks stay
// within the 128 chunks that the plug-in keeps.
TEST (Concurrency, FourThreadsAskForAndRestoreTheStateAtOnce)
{
    auto session = PluginSession::open();
    ASSERT_NE (session, nullptr);
    auto& plugin = session->getPlugin();

    const Watchdog watchdog ("four threads asking for the state", std::chrono::seconds (120));
    constexpr int numThreads = 4, rounds = 30;
    std::atomic<int> ready{0};
    std::atomic<int> changedChunks{0}, refusedChunks{0};

    std::vector<std::thread> threads;
    for (int t = 0; t < numThreads; ++t)
    {
        threads.emplace_back (
            [&, t]
            {
                std::vector<unsigned char> earlier;
                ++ready;
                while (ready.load() < numThreads)
                    std::this_thread::yield();

                for (int round = 0; round < rounds; ++round)
                {
                    auto name = "Thread " + std::to_string (t) + " round " + std::to_string (round);
                    plugin.dispatch (effSetProgramName, 0, 0, name.data());

                    void* data = nullptr;
                    const auto size = plugin.dispatch (effGetChunk, round % 2, 0, &data);
                    if (data == nullptr || size <= 0)
                    {
                        ++refusedChunks;
                        continue;
                    }
                    const auto* bytes = static_cast<const unsigned char*> (data);
                    const std::vector<unsigned char> handedOver (bytes, bytes + size);

                    // The other threads go on meanwhile; this one makes the
                    // other calls before it reads its chunk again.
                    if (!earlier.empty() && !plugin.setChunk (earlier))
                        ++refusedChunks;
                    plugin.getProgramName();
                    plugin.getParameterName (round);
                    plugin.getParameterDisplay (round);

                    if (!std::equal (handedOver.begin(), handedOver.end(), bytes))
                        ++changedChunks;

                    earlier = handedOver;
                }
            });
    }

    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ (changedChunks.load(), 0);
    EXPECT_EQ (refusedChunks.load(), 0);
}

// Hosts ask for the state from short-lived threads (a new one often gets the id
// of one that just ended) and from many threads at once: 40 threads one after
// the other, then 70 at once, each asking once. Every chunk handed over is
// still whole and unchanged once all have asked.
TEST (Concurrency, ChunksStayWhileThreadsEndBeginAndSeventyAskAtOnce)
{
    auto session = PluginSession::open();
    ASSERT_NE (session, nullptr);
    auto& plugin = session->getPlugin();

    const Watchdog watchdog ("threads ending, beginning and asking for the state",
                             std::chrono::seconds (120));
    constexpr int oneAfterTheOther = 40, atOnce = 70;
    std::mutex asking; // one rename and ask at a time, so that each chunk has its own name
    std::vector<const unsigned char*> handedOver (oneAfterTheOther + atOnce);
    std::vector<std::vector<unsigned char>> copies (handedOver.size());
    std::atomic<int> asked{0};

    const auto ask = [&] (int index)
    {
        const std::lock_guard<std::mutex> lock (asking);
        auto name = "Asker " + std::to_string (index);
        plugin.dispatch (effSetProgramName, 0, 0, name.data());
        void* data = nullptr;
        const auto size = plugin.dispatch (effGetChunk, 0, 0, &data);
        handedOver[(std::size_t)index] = static_cast<const unsigned char*> (data);
        if (data != nullptr && size > 0)
            copies[(std::size_t)index].assign (handedOver[(std::size_t)index],
                                               handedOver[(std::size_t)index] + size);
        ++asked;
    };

    for (int i = 0; i < oneAfterTheOther; ++i)
        std::thread (ask, i).join();

    std::vector<std::thread> threads;
    for (int i = oneAfterTheOther; i < oneAfterTheOther + atOnce; ++i)
        threads.emplace_back (
            [&, i]
            {
                ask (i);
                while (asked.load() < oneAfterTheOther + atOnce)
                    std::this_thread::yield();
            });
    for (auto& thread : threads)
        thread.join();

    for (std::size_t i = 0; i < copies.size(); ++i)
    {
        ASSERT_FALSE (copies[i].empty()) << "thread " << i;
        EXPECT_TRUE (std::equal (copies[i].begin(), copies[i].end(), handedOver[i])) << "thread " << i;
    }
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
