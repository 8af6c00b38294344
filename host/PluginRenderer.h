// Renders audio through a hosted plug-in block by block, as a host's offline
// bounce would: input from a WAV file or the test signal, a transport that plays,
// stops, loops and changes tempo on a schedule, output to a sink.

#pragma once

#include "host/HostedPlugin.h"
#include "host/WavAudio.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

struct TransportChange
{
    enum class Kind
    {
        tempo,
        play,
        stop
    };

    double atSeconds = 0.0; // from the start of the render
    Kind kind = Kind::tempo;
    double bpm = 120.0; // for Kind::tempo
};

struct RenderSettings
{
    double sampleRate = 48000.0; // [Hz]
    int blockSize = 512;         // largest block [samples]
    std::size_t numFrames = 0;   // length of the render [samples]
    double bpm = 120.0;          // tempo at the start [BPM]
    bool sendTimeInfo = true;    // false: the host answers opcode 7 with null
    bool sendPpq = true;         // false: time information without a musical position
    bool startPlaying = true;
    std::optional<std::pair<double, double>> loop; // [quarter notes]
    std::vector<TransportChange> changes;
    bool inPlace = false; // the same buffers for input and output
    VstInt32 processLevel = kVstProcessLevelOffline;
};

struct RenderResult
{
    std::size_t numFrames = 0;
    double audioSeconds = 0.0;
    double wallSeconds = 0.0;

    double realTimeFactor() const noexcept { return wallSeconds > 0.0 ? audioSeconds / wallSeconds : 0.0; }
};

class PluginRenderer
{
public:
    // Receives every processed block: numChannels pointers to numFrames samples.
    using Sink = std::function<bool (const float* const* channels, int numChannels, std::size_t numFrames)>;
    using Progress = std::function<void (double fractionDone)>;

    // input may be null: the test signal is used. Input channel i of the plug-in
    // takes file channel i; a mono file feeds both channels of a stereo pair;
    // further inputs get silence. Returns false when the sink fails.
    static bool render (HostedPlugin& plugin, const WavAudio* input, const RenderSettings& settings,
                        const Sink& sink, const Progress& progress, RenderResult& result);

    // Renders into memory.
    static WavAudio renderToMemory (HostedPlugin& plugin, const WavAudio* input,
                                    const RenderSettings& settings);
};
