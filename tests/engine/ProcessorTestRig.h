#pragma once

// A processor with a settable host position, driven block by block, for the
// processing tests: the play head follows the samples the rig has processed, as a
// playing host would.

#include "engine/ZkOstinelAudioProcessor.h"
#include "support/HostParameterCall.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <vector>

namespace zktest
{
// Host parameter indexes of the global parameters and of pattern A.
constexpr int pBypass = 0, pMuteAll = 1, pInputGain = 2, pMix = 3, pOutputGain = 4, pAttack = 5, pHold = 6,
              pDecay = 7, pSustain = 8, pRelease = 9, pSwing = 10, pMakeUpGain = 11, pTimeOffset = 12,
              pShortStepLength = 13, pLongStepLength = 14, pLowpassActive = 15, pLowpassCutoff = 16,
              pLowpassReso = 17, pDriveActive = 18, pDriveInputGain = 19, pDriveOutputGain = 20,
              pEchoActive = 21, pEchoLevel = 22, pEchoFeedback = 23, pEchoTypeNormal = 24,
              pEchoTypeTriplet = 25, pEchoPingPong = 26, pPatternSelect = 27, pPatternLengthA = 28,
              pTripletModeA = 29;

inline int stepLengthParam (int step)
{
    return 30 + 2 * step;
} // step 0..15 of pattern A
inline int stepVolumeParam (int step)
{
    return 31 + 2 * step;
}

constexpr float noStepValue = 0.125f, shortStepValue = 0.375f, longStepValue = 0.625f, stepLinkValue = 0.875f;

// Output noise added to every sample, and a tolerance just above it.
constexpr float noiseAmplitude = 0.00001f;
constexpr float noiseTolerance = noiseAmplitude * 1.1f;

using Input = std::function<float (int channel, int64_t sampleIndex)>;

inline float dc (int, int64_t)
{
    return 1.0f;
}

class TestPlayHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override { return position; }

    juce::Optional<PositionInfo> position;
};

class ProcessorRig
{
public:
    explicit ProcessorRig (double rate = 48000.0, int channels = 2, int maxBlock = 512)
        : sampleRate (rate)
        , numChannels (channels)
        , maxBlockSize (maxBlock)
    {
        processor.setPlayConfigDetails (channels, channels, rate, maxBlock);
        processor.prepareToPlay (rate, maxBlock);
        processor.setPlayHead (&playHead);
        setHost (120.0, 0.0, true);
    }

    ~ProcessorRig() { processor.setPlayHead (nullptr); }

    // The host's tempo [BPM], position [quarter notes] at the next block and playing flag.
    void setHost (double newBpm, double ppq, bool playing)
    {
        bpm = newBpm;
        hostPpq = ppq;
        hostPlaying = playing;
        updatePlayHead();
    }

    void removePosition()
    {
        sendPosition = false;
        updatePlayHead();
    }

    // Time information without the tempo or without the quarter-note position.
    void sendOnly (bool tempo, bool ppq)
    {
        sendTempo = tempo;
        sendPpq = ppq;
        updatePlayHead();
    }

    void setParam (int index, float value) { HostParameterCall::set (processor, index, value); }

    void setParams (std::initializer_list<std::pair<int, float>> values)
    {
        for (auto [index, value] : values)
            setParam (index, value);
    }

    // A plain gate: unity gains, full mix, no filter, drive or echo, pattern A with
    // 4 beats of ShortSteps (0.9 of half a step) at volume 1, attack 0 (2 ms), no
    // hold, sustain 1, no swing or offset, the shortest release (4 ms).
    void setNeutralGate()
    {
        // Values of host indexes 0..29, in order (see the constants above).
        const float neutral[] = {0.0f, 0.0f, 0.5f, 1.0f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f,
                                 0.0f, 0.5f, 0.5f, 0.9f, 0.8f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f,
                                 0.5f, 0.0f, 0.4f, 0.4f, 0.4f, 0.9f, 1.0f, 0.0f, 1.0f, 0.0f};
        for (int index = 0; index < 30; ++index)
            setParam (index, neutral[index]);

        setSteps ([] (int) { return shortStepValue; });
    }

    // Every block on: filter with resonance, drive, ping-pong echo, and the gate over
    // a mix of all step length classes with swing.
    void setEverythingActive()
    {
        setNeutralGate();
        setParams ({{pLowpassActive, 1.0f},
                    {pLowpassCutoff, 0.6f},
                    {pLowpassReso, 0.7f},
                    {pDriveActive, 1.0f},
                    {pDriveInputGain, 0.4f},
                    {pEchoActive, 1.0f},
                    {pEchoFeedback, 0.8f},
                    {pEchoLevel, 0.7f},
                    {pEchoPingPong, 1.0f},
                    {pAttack, 0.2f},
                    {pHold, 0.3f},
                    {pDecay, 0.3f},
                    {pSustain, 0.6f},
                    {pRelease, 0.4f},
                    {pSwing, 0.5f}});
        setSteps (
            [] (int step)
            {
                const float classes[] = {shortStepValue, longStepValue, stepLinkValue, noStepValue,
                                         shortStepValue};
                return classes[step % 5];
            });
    }

    void setSteps (const std::function<float (int)>& lengthOfStep, float volume = 1.0f)
    {
        for (int s = 0; s < 16; ++s)
        {
            setParam (stepLengthParam (s), lengthOfStep (s));
            setParam (stepVolumeParam (s), volume);
        }
    }

    // Processes numSamples samples of the input in blocks of the rig's block size, or
    // of the sizes blockSizeOf gives; returns the output per channel.
    std::vector<std::vector<float>> run (int numSamples, const Input& input,
                                         const std::function<int()>& blockSizeOf = {})
    {
        std::vector<std::vector<float>> out ((size_t)numChannels);
        juce::AudioBuffer<float> buffer (numChannels, maxBlockSize);
        juce::MidiBuffer midi;

        for (int done = 0; done < numSamples;)
        {
            const int size = std::min (numSamples - done, blockSizeOf ? blockSizeOf() : maxBlockSize);
            buffer.setSize (numChannels, size, false, false, true);

            for (int ch = 0; ch < numChannels; ++ch)
                for (int i = 0; i < size; ++i)
                    buffer.setSample (ch, i, input (ch, samplesProcessed + i));

            processBlock (buffer, midi);

            for (int ch = 0; ch < numChannels; ++ch)
                out[(size_t)ch].insert (out[(size_t)ch].end(), buffer.getReadPointer (ch),
                                        buffer.getReadPointer (ch) + size);
            done += size;
        }

        return out;
    }

    // One block as the host passes it; the play head then moves on by its length.
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
    {
        processor.processBlock (buffer, midi);
        samplesProcessed += buffer.getNumSamples();

        if (hostPlaying && std::isfinite (bpm) && bpm > 0.0)
            hostPpq += buffer.getNumSamples() / (sampleRate * 60.0 / bpm);

        updatePlayHead();
    }

    ZkOstinelAudioProcessor processor;
    TestPlayHead playHead;
    double sampleRate;
    int numChannels;
    int maxBlockSize;
    double bpm = 120.0;
    double hostPpq = 0.0;
    bool hostPlaying = true;
    bool sendPosition = true; // false: the play head answers without a position
    bool sendTempo = true, sendPpq = true;
    int64_t samplesProcessed = 0;

private:
    void updatePlayHead()
    {
        if (!sendPosition)
        {
            playHead.position = {};
            return;
        }

        juce::AudioPlayHead::PositionInfo info;
        if (sendTempo)
            info.setBpm (bpm);
        if (sendPpq)
            info.setPpqPosition (hostPpq);
        info.setIsPlaying (hostPlaying);
        playHead.position = info;
    }
};

// Samples where the gate opens: the output of a constant input 1.0 rises from
// silence (below 0.001) to an attack's first value. Only those below end count.
inline std::vector<int> gateOnsets (const std::vector<float>& out, int end = INT_MAX)
{
    std::vector<int> onsets;
    for (size_t i = 0; i < out.size() && (int)i < end; ++i)
        if (out[i] >= 0.001f && (i == 0 || out[i - 1] < 0.001f))
            onsets.push_back ((int)i);
    return onsets;
}

// The first sample after from where a held level of about 1.0 starts to fall.
inline int releaseStart (const std::vector<float>& out, int from)
{
    for (size_t i = (size_t)from + 1; i < out.size(); ++i)
        if (out[i - 1] > 0.999f && out[i] < 0.999f)
            return (int)i;
    return -1;
}
} // namespace zktest
