// processBlock throughput at 48 kHz stereo, 512 samples per block, with the
// processor as constructed (default preset) and with every block active: low-pass,
// drive, ping-pong echo and the gate over a mixed pattern.
//
// Counters: ns_per_frame [ns per stereo sample frame], realtime_factor [seconds of
// audio per second of processing on one core], both from the wall time of the loop
// (a sample buffer copy per block included).

#include "BenchmarkHome.h"

#include <benchmark/benchmark.h>

#include "engine/ZkOstinelAudioProcessor.h"
#include "tests/support/HostParameterCall.h"

#include <juce_events/juce_events.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

class MovingPlayHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setBpm (bpm);
        info.setPpqPosition (ppq);
        info.setIsPlaying (true);
        return info;
    }

    void advance (int samples) { ppq += samples / (sampleRate * 60.0 / bpm); }

    double bpm = 120.0;
    double ppq = 0.0;
};

void setEveryBlockActive (ZkOstinelAudioProcessor& processor)
{
    // Host indexes: LowpassActive, LowpassCutoff, LowpassReso, DriveActive,
    // DriveInputGain, EchoActive, EchoFeedback, EchoPingPong, Swing, Mix, Attack,
    // Hold, Decay, Sustain, Release.
    const std::pair<int, float> values[] = {{15, 1.0f}, {16, 0.6f}, {17, 0.7f}, {18, 1.0f}, {19, 0.4f},
                                            {21, 1.0f}, {22, 0.5f}, {23, 0.8f}, {26, 1.0f}, {10, 0.5f},
                                            {3, 0.8f},  {5, 0.2f},  {6, 0.3f},  {7, 0.3f},  {8, 0.6f},
                                            {9, 0.4f},  {0, 0.0f},  {1, 0.0f}};
    for (auto [index, value] : values)
        HostParameterCall::set (processor, index, value);

    // Pattern A: a mix of every step length class.
    const float classes[] = {0.375f, 0.625f, 0.875f, 0.125f, 0.375f};
    for (int step = 0; step < 16; ++step)
        HostParameterCall::set (processor, 30 + 2 * step, classes[step % 5]);
}

// resonance: the "LowpassReso" value for every block active; < 0 keeps the default preset.
void runProcessBlock (benchmark::State& state, float resonance)
{
    ZkOstinelAudioProcessor processor;
    processor.setPlayConfigDetails (2, 2, sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);
    MovingPlayHead playHead;
    processor.setPlayHead (&playHead);

    if (resonance >= 0.0f)
    {
        setEveryBlockActive (processor);
        HostParameterCall::set (processor, 17, resonance);
    }

    // One second of noise, played in a loop.
    juce::AudioBuffer<float> input (2, 48000);
    std::mt19937 rng (1);
    std::uniform_real_distribution<float> dist (-0.5f, 0.5f);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < input.getNumSamples(); ++i)
            input.setSample (ch, i, dist (rng));

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    int readPosition = 0;
    const auto start = std::chrono::steady_clock::now();

    for (auto _ : state)
    {
        if (readPosition + blockSize > input.getNumSamples())
            readPosition = 0;

        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, input, ch, readPosition, blockSize);

        processor.processBlock (buffer, midi);
        playHead.advance (blockSize);
        readPosition += blockSize;
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
        benchmark::ClobberMemory();
    }

    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    processor.setPlayHead (nullptr);

    const auto frames = (double)state.iterations() * blockSize;
    state.counters["ns_per_frame"] = elapsed.count() * 1.0e9 / frames;
    state.counters["realtime_factor"] = frames / sampleRate / elapsed.count();
    state.SetItemsProcessed ((int64_t)frames);
}

void BM_ProcessBlockDefaultPreset (benchmark::State& state)
{
    runProcessBlock (state, -1.0f);
}

void BM_ProcessBlockEveryBlockActive (benchmark::State& state)
{
    runProcessBlock (state, 0.7f);
}

// The same without resonance: the ladder's feedback no longer lengthens the
// recursion from one sample to the next.
void BM_ProcessBlockEveryBlockActiveNoResonance (benchmark::State& state)
{
    runProcessBlock (state, 0.0f);
}

BENCHMARK (BM_ProcessBlockDefaultPreset)->Unit (benchmark::kMicrosecond)->MinTime (1.0);
BENCHMARK (BM_ProcessBlockEveryBlockActive)->Unit (benchmark::kMicrosecond)->MinTime (1.0);
BENCHMARK (BM_ProcessBlockEveryBlockActiveNoResonance)->Unit (benchmark::kMicrosecond)->MinTime (1.0);

} // namespace

int main (int argc, char** argv)
{
    return BenchmarkHome::runBenchmarks (argc, argv, std::filesystem::temp_directory_path());
}
