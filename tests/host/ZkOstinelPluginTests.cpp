// The built plug-in (ZkOstinel.so) loaded by the project's test host, as a
// Linux VST 2.4 host loads it: identity, the 350 parameters, state chunks,
// rendering with and without time information, display updates, the entry's
// checks and instances on several threads.

#include "host/FileBytes.h"
#include "host/HostCommands.h"
#include "host/HostedPlugin.h"
#include "host/PluginLibrary.h"
#include "host/PluginRenderer.h"
#include "host/TestSignal.h"
#include "host/WavReader.h"
#include "host/WavWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <set>
#include <sstream>
#include <thread>
#include <unistd.h>

#ifdef ZK_PLUGIN_PATH
static const std::string pluginPath = ZK_PLUGIN_PATH;
#define ZK_REQUIRE_PLUGIN()
#else
static const std::string pluginPath;
#define ZK_REQUIRE_PLUGIN() GTEST_SKIP() << "the plug-in is not built"
#endif

namespace
{
std::unique_ptr<HostedPlugin> loadZk()
{
    std::string error;
    auto plugin = HostedPlugin::load (pluginPath, error);
    EXPECT_NE (plugin, nullptr) << error;
    return plugin;
}

WavAudio testInput (double rate, std::size_t frames)
{
    WavAudio audio;
    audio.sampleRate = rate;
    audio.channels.assign (2, std::vector<float> (frames));
    TestSignal signal (rate);
    float* channels[] = {audio.channels[0].data(), audio.channels[1].data()};
    signal.fill (channels, 2, static_cast<int> (frames));
    return audio;
}

bool bitIdentical (const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp (a.data(), b.data(), a.size() * sizeof (float)) == 0;
}

// Root mean square over consecutive windows [samples].
std::vector<double> windowedRms (const std::vector<float>& samples, std::size_t window)
{
    std::vector<double> levels;
    for (std::size_t start = 0; start + window <= samples.size(); start += window)
    {
        double sum = 0.0;
        for (std::size_t i = start; i < start + window; ++i)
            sum += static_cast<double> (samples[i]) * static_cast<double> (samples[i]);
        levels.push_back (std::sqrt (sum / static_cast<double> (window)));
    }
    return levels;
}

// zkhost's command line, run in this process; the exit code, or -1 when the
// command line is refused.
int runZkhost (const std::vector<std::string>& args, std::string& output)
{
    HostOptions options;
    std::string error;
    if (!HostOptions::parse (args, options, error))
        return -1;
    std::ostringstream out, err;
    const int code = HostCommands::run (options, out, err);
    output = out.str() + err.str();
    return code;
}

// Until the condition holds, as long as a loaded machine needs, up to a limit
// that only a plug-in that never gets there reaches.
void waitFor (const std::function<bool()>& condition)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds (30);

    while (!condition() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
}
} // namespace

TEST (ZkOstinelPlugin, IdentityAsAHostSeesIt)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    const AEffect& record = *plugin->getEffect();

    EXPECT_EQ (plugin->getEntryName(), "VSTPluginMain");
    EXPECT_EQ (record.magic, kEffectMagic);
    EXPECT_EQ (record.uniqueID, 0x5A6B4F73);
    EXPECT_EQ (record.version, 100);
    EXPECT_EQ (record.numPrograms, 1);
    EXPECT_EQ (record.numParams, 350);
    EXPECT_EQ (record.numInputs, 2);
    EXPECT_EQ (record.numOutputs, 2);
    EXPECT_EQ (record.initialDelay, 0);
    // Replacing, program chunks, no sound in stop; the editor flag follows the
    // processor's hasEditor.
    EXPECT_EQ (record.flags & ~effFlagsHasEditor, 0x230);
    EXPECT_EQ (record.object != nullptr, true);
    EXPECT_EQ (record.user, plugin.get());

    EXPECT_EQ (plugin->getEffectName(), "ZkOstinel");
    EXPECT_EQ (plugin->getProductString(), "ZkOstinel");
    EXPECT_EQ (plugin->getVendorString(), "TELQUARLAB");
    EXPECT_EQ (plugin->dispatch (effGetVendorVersion), 100);
    EXPECT_EQ (plugin->dispatch (effGetVstVersion), 2400);
    EXPECT_EQ (plugin->dispatch (effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ (plugin->canDo ("receiveVstTimeInfo"), 1);
    EXPECT_EQ (plugin->canDo ("bypass"), 1);
    EXPECT_EQ (plugin->canDo ("receiveVstMidiEvent"), -1);
    EXPECT_EQ (plugin->canDo ("sizeWindow"), 0);
}

TEST (ZkOstinelPlugin, ThreeHundredFiftyParameterNamesAndTexts)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);

    std::set<std::string> names;
    for (int index = 0; index < 300; ++index)
    {
        const auto name = plugin->getParameterName (index);
        EXPECT_FALSE (name.empty()) << index;
        EXPECT_LT (name.size(), 16u) << index; // whole, within the wrapper's name limit
        EXPECT_TRUE (names.insert (name).second) << "duplicate " << name;
        EXPECT_FALSE (plugin->getParameterDisplay (index).empty()) << index;
    }
    for (int index = 300; index < 350; ++index)
    {
        EXPECT_EQ (plugin->getParameterName (index), "reserved");
        EXPECT_EQ (plugin->getParameterDisplay (index), "");
        EXPECT_EQ (plugin->getParameter (index), 0.0f);
    }

    const std::pair<int, const char*> known[] = {{0, "Bypass"},
                                                 {3, "Mix"},
                                                 {27, "PatternSelect"},
                                                 {28, "PatternLength-A"},
                                                 {30, "StepLength-01-A"},
                                                 {61, "StepVolume-16-A"},
                                                 {266, "PatternLength-H"},
                                                 {299, "StepVolume-16-H"}};
    for (const auto& [index, name] : known)
        EXPECT_EQ (plugin->getParameterName (index), name);

    // Writes through the record read back; writes outside the table are ignored.
    plugin->setParameter (3, 0.25f);
    EXPECT_EQ (plugin->getParameter (3), 0.25f);
    EXPECT_NE (plugin->getParameterDisplay (3), "100 %");
    plugin->setParameter (320, 0.5f);
    plugin->setParameter (-1, 0.5f);
    plugin->setParameter (350, 0.5f);
    EXPECT_EQ (plugin->getParameter (320), 0.0f);
    EXPECT_EQ (plugin->getParameter (-1), 0.0f);
    EXPECT_EQ (plugin->getParameter (350), 0.0f);
}

TEST (ZkOstinelPlugin, ChunkRoundTripReadsBackByteIdenticalAndBadChunksChangeNothing)
{
    ZK_REQUIRE_PLUGIN();
    auto first = loadZk();
    auto second = loadZk();
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);

    first->setParameter (3, 0.25f);   // Mix
    first->setParameter (10, 0.6f);   // Swing
    first->setParameter (45, 0.875f); // a step of pattern A
    const auto chunk = first->getChunk();
    ASSERT_FALSE (chunk.empty());

    ASSERT_TRUE (second->setChunk (chunk));
    EXPECT_EQ (second->getParameter (3), 0.25f);
    EXPECT_EQ (second->getParameter (45), 0.875f);
    EXPECT_EQ (second->getChunk(), chunk);

    // Nothing, no bytes and garbage leave the state as it was.
    std::vector<unsigned char> garbage (400, 0xa5);
    std::memcpy (garbage.data(), "<?xml", 5);
    EXPECT_FALSE (second->dispatch (effSetChunk, 0, 0, garbage.data()) != 0);
    EXPECT_FALSE (second->dispatch (effSetChunk, 0, 64, nullptr) != 0);
    EXPECT_FALSE (second->setChunk (garbage)); // a refused chunk is no success
    EXPECT_FALSE (second->setChunk ({'x'}));
    EXPECT_EQ (second->getChunk(), chunk);
}

TEST (ZkOstinelPlugin, AutomationOvershootComesBackFromTheChunkAsItSounded)
{
    ZK_REQUIRE_PLUGIN();
    auto first = loadZk();
    auto second = loadZk();
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);

    const int outputGain = first->findParameter ("OutputGain"), mix = first->findParameter ("Mix");
    first->setParameter (outputGain, -1.0e-8f);
    first->setParameter (mix, 2.0f);
    EXPECT_EQ (first->getParameterDisplay (outputGain), "-24.0dB");

    ASSERT_TRUE (second->setChunk (first->getChunk()));
    EXPECT_EQ (second->getParameter (outputGain), -1.0e-8f);
    EXPECT_EQ (second->getParameterDisplay (outputGain), "-24.0dB");
    EXPECT_EQ (second->getParameter (mix), 2.0f);
    EXPECT_EQ (second->getParameterDisplay (mix), first->getParameterDisplay (mix));
}

TEST (ZkOstinelPlugin, WithoutTimeInformationAudioPassesBitIdentical)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);

    const auto input = testInput (48000.0, 48000);
    for (bool inPlace : {false, true})
        for (int block : {512, 100})
        {
            RenderSettings settings;
            settings.sampleRate = 48000.0;
            settings.blockSize = block;
            settings.numFrames = input.getNumFrames();
            settings.sendTimeInfo = false;
            settings.inPlace = inPlace;

            const auto output = PluginRenderer::renderToMemory (*plugin, &input, settings);
            ASSERT_EQ (output.getNumChannels(), 2);
            EXPECT_TRUE (bitIdentical (output.channels[0], input.channels[0]))
                << "block " << block << " in place " << inPlace;
            EXPECT_TRUE (bitIdentical (output.channels[1], input.channels[1]))
                << "block " << block << " in place " << inPlace;
        }
}

TEST (ZkOstinelPlugin, WithTimeInformationAudioIsGated)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);

    const auto input = testInput (48000.0, 96000); // 2 s = 4 beats at 120 BPM
    RenderSettings settings;
    settings.sampleRate = 48000.0;
    settings.blockSize = 512;
    settings.numFrames = input.getNumFrames();
    settings.bpm = 120.0;
    settings.sendTimeInfo = true;

    const auto output = PluginRenderer::renderToMemory (*plugin, &input, settings);
    ASSERT_EQ (output.getNumChannels(), 2);
    EXPECT_FALSE (bitIdentical (output.channels[0], input.channels[0]));

    // Steps of a sixteenth (6000 samples) with gaps between them: 2 ms windows
    // find the gate open and closed.
    const auto levels = windowedRms (output.channels[0], 96);
    const auto inputLevel = TestSignal::amplitude / std::sqrt (2.0);
    const auto [quietest, loudest] = std::minmax_element (levels.begin() + 100, levels.end());
    EXPECT_LT (*quietest, 0.1 * inputLevel);
    EXPECT_GT (*loudest, 0.5 * inputLevel);
    for (float sample : output.channels[1])
        ASSERT_TRUE (std::isfinite (sample));
}

TEST (ZkOstinelPlugin, HostBypassPassesTheInput)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);
    EXPECT_EQ (plugin->dispatch (effSetBypass, 0, 1), 1);

    const auto input = testInput (44100.0, 22050);
    RenderSettings settings;
    settings.sampleRate = 44100.0;
    settings.numFrames = input.getNumFrames();
    settings.sendTimeInfo = true; // would gate if not bypassed
    const auto output = PluginRenderer::renderToMemory (*plugin, &input, settings);
    EXPECT_TRUE (bitIdentical (output.channels[0], input.channels[0]));
}

TEST (ZkOstinelPlugin, RenamingTheProgramUpdatesTheHostsDisplayFromTheMessageThread)
{
    ZK_REQUIRE_PLUGIN();
    auto plugin = loadZk();
    ASSERT_NE (plugin, nullptr);

    char name[] = "Renamed";
    plugin->dispatch (effSetProgramName, 0, 0, name);
    EXPECT_EQ (plugin->getProgramName(), "Renamed");

    waitFor ([&] { return plugin->getEvents().size() > 0; });
    const auto events = plugin->getEvents().snapshot();
    ASSERT_FALSE (events.empty());
    EXPECT_EQ (events.back().kind, HostEvent::Kind::updateDisplay);
}

TEST (ZkOstinelPlugin, EntryChecksTheHostAndExportsOnlyItsEntries)
{
    ZK_REQUIRE_PLUGIN();
    PluginLibrary library;
    std::string error;
    ASSERT_TRUE (library.open (pluginPath, error)) << error;

    // A host that answers 0 to the version question gets no effect.
    EXPECT_EQ (library.getEntry() ([] (AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) -> VstIntPtr
                                   { return 0; }),
               nullptr);
    EXPECT_EQ (library.getEntry() (nullptr), nullptr);

    void* handle = dlopen (pluginPath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    ASSERT_NE (handle, nullptr);
    EXPECT_NE (dlsym (handle, "VSTPluginMain"), nullptr);

    // The older entry name gives the same effect.
    auto olderEntry = reinterpret_cast<VstPluginEntry> (dlsym (handle, "main"));
    ASSERT_NE (olderEntry, nullptr);
    AEffect* effect =
        olderEntry ([] (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr
                    { return opcode == audioMasterVersion ? 2400 : 0; });
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (effect->uniqueID, 0x5A6B4F73);
    EXPECT_EQ (effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f), 1);
    for (const char* hidden :
         {"createPluginFilter", "_ZN12ZkVstWrapperD0Ev", "_ZN4juce14MessageManager11getInstanceEv"})
        EXPECT_EQ (dlsym (handle, hidden), nullptr) << hidden;
    dlclose (handle);
}

TEST (ZkOstinelPlugin, InstancesOnSeveralThreadsStartAndStopTheMessageLoop)
{
    ZK_REQUIRE_PLUGIN();

    // Twice over: the last instance to close stops the loop, the next starts it again.
    for (int round = 0; round < 2; ++round)
    {
        std::vector<std::thread> threads;
        std::atomic<int> rendered{0};

        for (int t = 0; t < 4; ++t)
            threads.emplace_back (
                [&rendered]
                {
                    std::string error;
                    auto plugin = HostedPlugin::load (pluginPath, error);
                    if (plugin == nullptr)
                        return;

                    char name[] = "Threaded";
                    plugin->dispatch (effSetProgramName, 0, 0, name); // an update through the message loop
                    RenderSettings settings;
                    settings.numFrames = 4800;
                    const auto output = PluginRenderer::renderToMemory (*plugin, nullptr, settings);
                    if (output.getNumFrames() == 4800)
                        ++rendered;
                });

        for (auto& thread : threads)
            thread.join();
        EXPECT_EQ (rendered.load(), 4) << "round " << round;
    }
}

TEST (ZkOstinelPlugin, ZkhostCommandsRenderAndKeepState)
{
    ZK_REQUIRE_PLUGIN();
    const std::string prefix = ::testing::TempDir() + "zk_" + std::to_string (getpid());
    const std::string wav = prefix + "_render.wav";
    const std::string chunk = prefix + "_state.bin";
    const std::string again = prefix + "_state_again.bin";

    const auto run = runZkhost;

    std::string output;
    ASSERT_EQ (run ({"render", pluginPath, "--bpm", "120", "--rate", "48000", "--block", "512", "--seconds",
                     "1", "--set", "Mix=0.5", "--out", wav},
                    output),
               0)
        << output;
    EXPECT_NE (output.find ("real-time factor"), std::string::npos);
    WavAudio rendered;
    std::string error;
    ASSERT_TRUE (WavReader::read (wav, rendered, error)) << error;
    EXPECT_EQ (rendered.getNumFrames(), 48000u);
    EXPECT_EQ (rendered.getNumChannels(), 2);

    ASSERT_EQ (run ({"save-chunk", pluginPath, "--set", "Swing=0.5", "--out", chunk}, output), 0) << output;
    ASSERT_EQ (run ({"load-chunk", pluginPath, "--chunk", chunk, "--out", again}, output), 0) << output;
    EXPECT_NE (output.find ("Swing"), std::string::npos);
    std::vector<unsigned char> a, b;
    ASSERT_TRUE (FileBytes::read (chunk, a));
    ASSERT_TRUE (FileBytes::read (again, b));
    EXPECT_EQ (a, b);

    EXPECT_NE (run ({"render", pluginPath, "--set", "NoSuchParameter=1", "--out", wav}, output), 0);

    // A chunk that the plug-in refuses is no success for any command.
    ASSERT_TRUE (FileBytes::write (chunk, {'x', 'y', 'z'}));
    for (const char* command : {"load-chunk", "save-chunk", "render"})
    {
        EXPECT_NE (run ({command, pluginPath, "--chunk", chunk, "--out", again}, output), 0) << command;
        EXPECT_NE (output.find ("refused the chunk"), std::string::npos) << output;
    }
}

TEST (ZkOstinelPlugin, ZkhostRenderWithATempoButNoMusicalPositionIsGatedFromItsFirstSample)
{
    ZK_REQUIRE_PLUGIN();
    const std::string prefix = ::testing::TempDir() + "zk_" + std::to_string (getpid()) + "_time";

    // 2 s at 48 kHz through zkhost with the given time information flags.
    const auto input = testInput (48000.0, 96000);
    const std::string inputPath = prefix + "_in.wav";
    std::string writeError;
    ASSERT_TRUE (WavWriter::writeFile (inputPath, input, WavSampleFormat::float32, writeError)) << writeError;

    auto render = [&prefix, &inputPath] (const std::string& name, const std::vector<std::string>& flags)
    {
        const std::string path = prefix + "_" + name + ".wav";
        std::vector<std::string> args = {"render", pluginPath, "--in", inputPath, "--out", path};
        args.insert (args.end(), flags.begin(), flags.end());
        std::string output, error;
        WavAudio audio;
        EXPECT_EQ (runZkhost (args, output), 0) << output;
        EXPECT_TRUE (WavReader::read (path, audio, error)) << error;
        std::remove (path.c_str());
        return audio;
    };

    const auto noPpq = render ("no_ppq", {"--no-ppq", "--bpm", "90"});
    const auto fromStart = render ("from_start", {"--bpm", "90"}); // quarter note 0 at the first sample
    const auto otherTempo = render ("other_tempo", {"--no-ppq", "--bpm", "120"});
    const auto noTime = render ("no_time", {"--no-time", "--bpm", "90"});
    ASSERT_EQ (noPpq.getNumChannels(), 2);
    ASSERT_EQ (noTime.getNumChannels(), 2);

    // As Audacity sends it: gated at the tempo given, as from quarter note 0 at
    // the first sample (the two differ only by the plug-in's low noise floor).
    auto largestDifference = [] (const std::vector<float>& a, const std::vector<float>& b)
    {
        double largest = a.size() == b.size() ? 0.0 : 1.0e9;
        for (std::size_t i = 0; i < std::min (a.size(), b.size()); ++i)
            largest = std::max (largest, std::fabs (static_cast<double> (a[i]) - static_cast<double> (b[i])));
        return largest;
    };
    EXPECT_FALSE (bitIdentical (noPpq.channels[0], input.channels[0]));
    EXPECT_GT (largestDifference (noPpq.channels[0], input.channels[0]), 0.1);
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_LT (largestDifference (noPpq.channels[(std::size_t)channel],
                                      fromStart.channels[(std::size_t)channel]),
                   1.0e-3);
    EXPECT_GT (largestDifference (noPpq.channels[0], otherTempo.channels[0]), 0.1);

    // No time information at all: passed through untouched.
    EXPECT_TRUE (bitIdentical (noTime.channels[0], input.channels[0]));
    EXPECT_TRUE (bitIdentical (noTime.channels[1], input.channels[1]));
    std::remove (inputPath.c_str());
}
