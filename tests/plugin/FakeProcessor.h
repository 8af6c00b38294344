// A stand-in for the plug-in's processor: it answers the wrapper like the real
// one (350 parameters, one program, state chunks, stereo or mono) and records
// what the wrapper did to it. Its processBlock halves the signal, so processed
// audio is told apart from passed-through audio.

#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <functional>
#include <vector>

class FakeProcessor : public juce::AudioProcessor
{
public:
    FakeProcessor()
        : juce::AudioProcessor (BusesProperties()
                                    .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                    .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    {
    }

    const juce::String getName() const override { return "ZkOstinel"; }

    void prepareToPlay (double rate, int block) override
    {
        preparedRate = rate;
        preparedBlock = block;
        ++prepareCount;
        if (duringPrepare)
            duringPrepare();
    }

    void releaseResources() override
    {
        ++releaseCount;
        if (duringRelease)
            duringRelease();
    }

    void processorLayoutsChanged() override
    {
        if (duringLayoutChange)
            duringLayoutChange();
    }

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override
    {
        const auto in = layouts.getMainInputChannelSet();
        return in == layouts.getMainOutputChannelSet() &&
               (in == juce::AudioChannelSet::mono() || in == juce::AudioChannelSet::stereo());
    }

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override
    {
        if (quiet)
        {
            buffer.applyGain (0.5f);
            return;
        }

        if (duringBlock)
            duringBlock();

        blockSizes.push_back (buffer.getNumSamples());
        blockChannels.push_back (buffer.getNumChannels());
        positions.push_back (getPlayHead() != nullptr ? getPlayHead()->getPosition()
                                                      : juce::Optional<juce::AudioPlayHead::PositionInfo>());
        buffer.applyGain (0.5f);
    }

    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override { ++bypassedBlocks; }

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return true; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int index) override { programSet = index; }
    const juce::String getProgramName (int) override { return programName; }
    void changeProgramName (int, const juce::String& name) override { programName = name; }

    void getStateInformation (juce::MemoryBlock& data) override
    {
        data.append ("STATE:", 6);
        data.append (state.getData(), state.getSize());
    }

    // Like the real processor, anything but its own format changes nothing.
    void setStateInformation (const void* data, int size) override
    {
        ++setStateCalls;
        if (size >= 6 && std::memcmp (data, "STATE:", 6) == 0)
            state =
                juce::MemoryBlock (static_cast<const char*> (data) + 6, static_cast<std::size_t> (size - 6));
    }

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    int getNumParameters() override
    {
        return 350;
    }
    const juce::String getParameterName (int index) override
    {
        return index < 300 ? "Param" + juce::String (index) : "reserved";
    }
    float getParameter (int index) override
    {
        if (duringParameterCall)
            duringParameterCall();
        return values.at (static_cast<std::size_t> (index));
    }
    const juce::String getParameterText (int index) override
    {
        return juce::String (values.at (static_cast<std::size_t> (index)), 2);
    }
    void setParameter (int index, float value) override
    {
        if (duringParameterCall)
            duringParameterCall();
        values.at (static_cast<std::size_t> (index)) = value;
        ++parameterWrites;
    }
    bool isParameterAutomatable (int index) const override
    {
        return index < 300;
    }
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif

    double preparedRate = 0.0;
    int preparedBlock = 0;
    std::atomic<int> prepareCount{0};
    std::atomic<int> releaseCount{0}; // counted on whichever thread suspends
    int bypassedBlocks = 0;
    int programSet = -1;
    int setStateCalls = 0;
    int parameterWrites = 0;
    bool quiet = false; // process without recording anything (no allocation)
    juce::String programName{"Default"};
    juce::MemoryBlock state;
    std::array<float, 350> values{};
    std::vector<int> blockSizes, blockChannels;
    std::vector<juce::Optional<juce::AudioPlayHead::PositionInfo>> positions;

    // Run inside prepareToPlay, releaseResources, a change of the channel
    // layout, processBlock (unless quiet) and the parameter calls: what another
    // thread of the host does meanwhile, or a failure.
    std::function<void()> duringPrepare, duringRelease, duringLayoutChange, duringBlock, duringParameterCall;
};
