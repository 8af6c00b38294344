// One instance of the built plug-in in the test host, driven as a host's audio
// engine drives it: the stream is set up (rate, announced block size, resume),
// a transport plays, and stereo blocks go through processReplacing with the
// host's time information. Blocks may be longer than announced.
//
// Threads: create, process and destroy on one thread at a time; setParameter
// and the chunk calls of getPlugin() may come from other threads, as a host's
// automation and state threads do.

#pragma once

#include "host/HostTransport.h"
#include "host/HostedPlugin.h"

#include <memory>
#include <string>
#include <vector>

class PluginSession
{
public:
    struct Setup
    {
        double sampleRate = 48000.0; // [Hz]
        int blockSize = 512;         // announced largest block [samples]
        double bpm = 120.0;          // [BPM]
        bool sendTimeInfo = true;    // false: the host answers the time request with null
    };

    // Loads the plug-in at pluginPath() and resumes it; a failed load ends the
    // calling test with a fatal failure (check with HasFatalFailure) and gives null.
    static std::unique_ptr<PluginSession> open (const Setup& setup);
    static std::unique_ptr<PluginSession> open() { return open (Setup{}); }

    ~PluginSession();

    PluginSession (const PluginSession&) = delete;
    PluginSession& operator= (const PluginSession&) = delete;

    HostedPlugin& getPlugin() noexcept { return *plugin; }
    HostTransport& getTransport() noexcept { return transport; }
    const Setup& getSetup() const noexcept { return setup; }

    // Processes numFrames frames: left and right in, left and right out (the
    // output may be the input). Moves the transport past the block.
    void process (const float* inLeft, const float* inRight, float* outLeft, float* outRight, int numFrames);

    // Processes numFrames frames of DC (the same value on both channels) and
    // leaves the output in getOutput (channel).
    void processConstant (float value, int numFrames);
    const float* getOutput (int channel) const noexcept
    {
        return outputs[static_cast<std::size_t> (channel)].data();
    }

    // Suspends and resumes the plug-in, as a host does around a stop of its engine.
    void restart();

    // A new transport at quarter note 0, playing at bpm [BPM].
    void resetTransport (double bpm);

    // A parameter's index by its name; fails the test when there is none.
    int parameterIndex (const std::string& name);
    void setParameter (const std::string& name, float value);

    // The built plug-in: the environment variable ZK_PLUGIN when set, else the
    // path the build passes in.
    static std::string pluginPath();

private:
    PluginSession (std::unique_ptr<HostedPlugin> plugin, const Setup& setup);
    void reserve (int numFrames);

    std::unique_ptr<HostedPlugin> plugin;
    Setup setup;
    HostTransport transport;
    std::vector<float> inputs[2], outputs[2];
};
