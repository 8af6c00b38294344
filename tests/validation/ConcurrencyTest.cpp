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
#include <iterator>
#include <random>
#include <set>
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

// The plug-in keeps the last 128 chunks it handed over, from whichever
// threads asked: each stays whole and unchanged through the next 127 asks.
constexpr int keptChunks = 128;

// A chunk as the plug-in handed it over: where its bytes lie, and a copy of
// them taken at once (empty when the chunk was refused).
struct HandedChunk
{
    const unsigned char* data = nullptr;
    std::vector<unsigned char> copy;

    bool isUnchanged() const { return std::equal (copy.begin(), copy.end(), data); }
};

HandedChunk askForChunk (HostedPlugin& plugin, bool isPreset)
{
    void* data = nullptr;
    const auto size = plugin.dispatch (effGetChunk, isPreset ? 1 : 0, 0, &data);
    HandedChunk chunk;
    chunk.data = static_cast<const unsigned char*> (data);
    if (data != nullptr && size > 0)
        chunk.copy.assign (chunk.data, chunk.data + size);
    return chunk;
}

// Chunks of which none was handed over before the last 127 asks: every one is
// still whole and unchanged, and none lies where another does.
void expectAllKept (const std::vector<HandedChunk>& chunks)
{
    ASSERT_LE (chunks.size(), (std::size_t)keptChunks);
    std::set<const unsigned char*> places;

    for (std::size_t i = 0; i < chunks.size(); ++i)
    {
        ASSERT_FALSE (chunks[i].copy.empty()) << "ask " << i;
        EXPECT_TRUE (chunks[i].isUnchanged()) << "ask " << i;
        EXPECT_TRUE (places.insert (chunks[i].data).second) << "ask " << i << " shares its place";
    }
}

// Holds each thread that arrives until all of them have: released together at
// the start, they ask at once.
class Rendezvous
{
public:
    explicit Rendezvous (int threadsToWaitFor)
        : threads (threadsToWaitFor)
    {
    }

    void arriveAndWaitForAll()
    {
        ++arrived;
        while (arrived.load() < threads)
            std::this_thread::yield();
    }

private:
    const int threads;
    std::atomic<int> arrived{0};
};

// Four host threads, as hosts have them when the user saves while an autosave,
// an undo snapshot and the GUI run: each renames the program, asks for the
// state, restores the state it was handed before and reads names and texts, all at
// once. Every chunk handed over stays whole and unchanged while the others ask
// (under AddressSanitizer: is never freed while it is read). The threads run
// in two turns of 128 asks, as many as the plug-in keeps: after each turn
// every chunk of it is checked again, the first one then having 127 asks after
// it, while the next turn's asks make the plug-in let go of the first turn's.
TEST (Concurrency, FourThreadsAskForAndRestoreTheStateAtOnce)
{
    auto session = PluginSession::open();
    ASSERT_NE (session, nullptr);
    auto& plugin = session->getPlugin();

    const Watchdog watchdog ("four threads asking for the state", std::chrono::seconds (120));
    constexpr int numThreads = 4, turns = 2, roundsPerTurn = keptChunks / numThreads;
    std::atomic<int> changedChunks{0}, refusedChunks{0};
    std::vector<std::vector<unsigned char>> earlier (numThreads); // the state each thread was handed last

    for (int turn = 0; turn < turns; ++turn)
    {
        Rendezvous start (numThreads);
        std::vector<std::vector<HandedChunk>> handedOver (numThreads);
        std::vector<std::thread> threads;

        for (int t = 0; t < numThreads; ++t)
        {
            threads.emplace_back (
                [&, t]
                {
                    start.arriveAndWaitForAll();

                    for (int round = 0; round < roundsPerTurn; ++round)
                    {
                        auto name = "Thread " + std::to_string (t) + " turn " + std::to_string (turn) +
                                    " round " + std::to_string (round);
                        plugin.dispatch (effSetProgramName, 0, 0, name.data());

                        auto chunk = askForChunk (plugin, round % 2 == 1);
                        if (chunk.copy.empty())
                        {
                            ++refusedChunks;
                            continue;
                        }

                        // The other threads go on meanwhile; this one makes the
                        // other calls before it reads its chunk again.
                        const auto& previous = earlier[(std::size_t)t];
                        if (!previous.empty() && !plugin.setChunk (previous))
                            ++refusedChunks;
                        plugin.getProgramName();
                        plugin.getParameterName (round);
                        plugin.getParameterDisplay (round);

                        if (!chunk.isUnchanged())
                            ++changedChunks;

                        earlier[(std::size_t)t] = chunk.copy;
                        handedOver[(std::size_t)t].push_back (std::move (chunk));
                    }
                });
        }

        for (auto& thread : threads)
            thread.join();

        std::vector<HandedChunk> all;
        for (auto& chunks : handedOver)
            std::move (chunks.begin(), chunks.end(), std::back_inserter (all));
        expectAllKept (all);
    }

    EXPECT_EQ (changedChunks.load(), 0);
    EXPECT_EQ (refusedChunks.load(), 0);
}

// Hosts ask for the state from short-lived threads (a new one often gets the id
// of one that just ended) and from many threads at once: 40 threads one after
// the other, each renaming the program and asking, then 70 released together,
// each asking once and ending only once all have asked. Every chunk handed
// over is still whole and unchanged once all have asked.
TEST (Concurrency, ChunksStayWhileThreadsEndBeginAndSeventyAskAtOnce)
{
    auto session = PluginSession::open();
    ASSERT_NE (session, nullptr);
    auto& plugin = session->getPlugin();

    const Watchdog watchdog ("threads ending, beginning and asking for the state",
                             std::chrono::seconds (120));
    constexpr int oneAfterTheOther = 40, atOnce = 70;
    std::vector<HandedChunk> handedOver (oneAfterTheOther + atOnce);

    for (int i = 0; i < oneAfterTheOther; ++i)
        std::thread (
            [&, i]
            {
                auto name = "Asker " + std::to_string (i);
                plugin.dispatch (effSetProgramName, 0, 0, name.data());
                handedOver[(std::size_t)i] = askForChunk (plugin, false);
            })
            .join();

    Rendezvous start (atOnce), allAsked (atOnce);
    std::vector<std::thread> threads;
    for (int i = oneAfterTheOther; i < oneAfterTheOther + atOnce; ++i)
        threads.emplace_back (
            [&, i]
            {
                start.arriveAndWaitForAll();
                handedOver[(std::size_t)i] = askForChunk (plugin, false);
                allAsked.arriveAndWaitForAll();
            });
    for (auto& thread : threads)
        thread.join();

    expectAllKept (handedOver);
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
