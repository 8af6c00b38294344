#include "host/PluginRenderer.h"

#include "host/TestSignal.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{
// Copies frames [start, start + n) of the file's channels into the plug-in's inputs.
void fillFromFile (const WavAudio& input, std::size_t start, int n, std::vector<float*>& inputs)
{
    const int fileChannels = input.getNumChannels();

    for (std::size_t channel = 0; channel < inputs.size(); ++channel)
    {
        const int source = static_cast<int> (channel) < fileChannels ? static_cast<int> (channel)
                           : (fileChannels == 1 && channel == 1)     ? 0
                                                                     : -1;
        float* out = inputs[channel];

        for (int i = 0; i < n; ++i)
        {
            const std::size_t frame = start + static_cast<std::size_t> (i);
            out[i] = source >= 0 && frame < input.getNumFrames()
                         ? input.channels[static_cast<std::size_t> (source)][frame]
                         : 0.0f;
        }
    }
}

std::int64_t toSample (double seconds, double sampleRate)
{
    return static_cast<std::int64_t> (std::llround (std::max (0.0, seconds) * sampleRate));
}
} // namespace

bool PluginRenderer::render (HostedPlugin& plugin, const WavAudio* input, const RenderSettings& settings,
                             const Sink& sink, const Progress& progress, RenderResult& result)
{
    const AEffect& effect = *plugin.getEffect();
    const int numInputs = std::max (0, effect.numInputs);
    const int numOutputs = std::max (0, effect.numOutputs);
    const int blockSize = std::max (1, settings.blockSize);

    auto changes = settings.changes;
    std::stable_sort (changes.begin(), changes.end(),
                      [] (const auto& a, const auto& b) { return a.atSeconds < b.atSeconds; });

    HostTransport transport (settings.sampleRate, settings.bpm);
    transport.setPlaying (settings.startPlaying);
    transport.setSendsMusicalPosition (settings.sendPpq);
    if (settings.loop)
        transport.setLoop (settings.loop->first, settings.loop->second);

    std::vector<std::vector<float>> inputStore (static_cast<std::size_t> (numInputs),
                                                std::vector<float> (static_cast<std::size_t> (blockSize)));
    std::vector<std::vector<float>> outputStore (static_cast<std::size_t> (numOutputs),
                                                 std::vector<float> (static_cast<std::size_t> (blockSize)));
    std::vector<float*> inputs, outputs;
    for (auto& channel : inputStore)
        inputs.push_back (channel.data());
    for (std::size_t channel = 0; channel < outputStore.size(); ++channel)
        outputs.push_back (settings.inPlace && channel < inputs.size() ? inputs[channel]
                                                                       : outputStore[channel].data());

    TestSignal testSignal (settings.sampleRate);

    plugin.setProcessLevel (settings.processLevel);
    plugin.setSampleRate (settings.sampleRate);
    plugin.setBlockSize (blockSize);
    plugin.setTransport (settings.sendTimeInfo ? &transport : nullptr);
    plugin.resume();

    const auto started = std::chrono::steady_clock::now();
    const auto total = static_cast<std::int64_t> (settings.numFrames);
    std::size_t nextChange = 0;
    bool sinkOk = true;
    int lastTenth = 0;

    for (std::int64_t position = 0; position < total && sinkOk;)
    {
        for (; nextChange < changes.size() &&
               toSample (changes[nextChange].atSeconds, settings.sampleRate) <= position;
             ++nextChange)
        {
            const auto& change = changes[nextChange];
            switch (change.kind)
            {
                case TransportChange::Kind::tempo:
                    transport.setTempo (change.bpm);
                    break;
                case TransportChange::Kind::play:
                    transport.setPlaying (true);
                    break;
                case TransportChange::Kind::stop:
                    transport.setPlaying (false);
                    break;
            }
        }

        // A block ends at the render's end, at the next scheduled change and at the loop end.
        std::int64_t n = std::min<std::int64_t> (blockSize, total - position);
        if (nextChange < changes.size())
            n = std::min (n, toSample (changes[nextChange].atSeconds, settings.sampleRate) - position);
        n = std::max<std::int64_t> (1, std::min (n, transport.samplesUntilLoopEnd()));
        const int frames = static_cast<int> (n);

        if (input != nullptr)
            fillFromFile (*input, static_cast<std::size_t> (position), frames, inputs);
        else
            testSignal.fill (inputs.data(), numInputs, frames);

        plugin.process (inputs.data(), outputs.data(), frames);
        sinkOk = sink (outputs.data(), numOutputs, static_cast<std::size_t> (frames));

        transport.advance (frames);
        position += n;

        const int tenth = static_cast<int> (10 * position / total);
        if (progress && tenth != lastTenth)
        {
            progress (static_cast<double> (position) / static_cast<double> (total));
            lastTenth = tenth;
        }
    }

    plugin.suspend();
    plugin.setTransport (nullptr);

    result.numFrames = settings.numFrames;
    result.audioSeconds = static_cast<double> (settings.numFrames) / settings.sampleRate;
    result.wallSeconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count();
    return sinkOk;
}

WavAudio PluginRenderer::renderToMemory (HostedPlugin& plugin, const WavAudio* input,
                                         const RenderSettings& settings)
{
    WavAudio output;
    output.sampleRate = settings.sampleRate;
    output.channels.resize (static_cast<std::size_t> (std::max (0, plugin.getEffect()->numOutputs)));

    const Sink sink = [&output] (const float* const* channels, int numChannels, std::size_t numFrames)
    {
        for (int channel = 0; channel < numChannels; ++channel)
            output.channels[static_cast<std::size_t> (channel)].insert (
                output.channels[static_cast<std::size_t> (channel)].end(), channels[channel],
                channels[channel] + numFrames);
        return true;
    };

    RenderResult result;
    render (plugin, input, settings, sink, nullptr, result);
    return output;
}
