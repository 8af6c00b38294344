// What other threads hand over to the audio thread's processing: the channel
// layouts, prepareToPlay, the editor's widget registrations and new low-pass
// coefficients. The audio thread's side is in ZkOstinelAudioProcessorProcessing.cpp.

#include "engine/ZkOstinelAudioProcessor.h"

#include <thread>

namespace
{
// Message thread. Stores the new registration; when it replaces a widget, returns
// only once no block can still be using that widget. The store and the sequence
// load here, like the audio thread's increment and pointer loads, are sequentially
// consistent: either a block loads the new pointer, or this thread sees that block's
// odd sequence and waits for the sequence to move on (that block has ended; any
// later one loads the new pointer).
template <typename Feed>
void registerFeed (std::atomic<Feed*>& feed, Feed* newFeed, const std::atomic<uint32_t>& feedBlockSequence)
{
    Feed* const previous = feed.exchange (newFeed);

    if (previous == nullptr || previous == newFeed)
        return;

    const uint32_t sequence = feedBlockSequence.load();

    if ((sequence & 1u) != 0)
        while (feedBlockSequence.load() == sequence)
            std::this_thread::yield();
}
} // namespace

//==============================================================================
void ZkOstinelAudioProcessor::prepareToPlay (double, int)
{
    // The sample rate is taken in processBlock.
    resync = true;
}

void ZkOstinelAudioProcessor::releaseResources() {}

bool ZkOstinelAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto input = layouts.getMainInputChannelSet();
    const auto output = layouts.getMainOutputChannelSet();

    if (input != output)
        return false;

    return input == juce::AudioChannelSet::mono() || input == juce::AudioChannelSet::stereo();
}

//==============================================================================
void ZkOstinelAudioProcessor::setWaveDisplay (CvoWaveDisplayFeed* display)
{
    registerFeed (waveDisplay, display, feedBlockSequence);
}

void ZkOstinelAudioProcessor::setInputVuMeter (CvoLevelMeterFeed* meter)
{
    registerFeed (inputVuMeter, meter, feedBlockSequence);
}

void ZkOstinelAudioProcessor::setOutputVuMeter (CvoLevelMeterFeed* meter)
{
    registerFeed (outputVuMeter, meter, feedBlockSequence);
}

//==============================================================================
// Any thread (parameter changes). The filters belong to the audio thread: this only
// requests new coefficients, which processBlock computes from the current cutoff and
// resonance before its next sample.
void ZkOstinelAudioProcessor::calculateLowpassFilterCoefficients()
{
    if (lastSampleRate.load() == 0.0)
        return;

    filterCoefficientsPending.store (true, std::memory_order_release);
    filterCoefficientsReady = true;
}

void ZkOstinelAudioProcessor::applyPendingFilterCoefficients()
{
    // The switch first: setActive recomputes with the filters' stored values.
    const bool shouldBeActive = lowpassActive.load (std::memory_order_relaxed);
    if (lowpassLeft.isActive() != shouldBeActive)
    {
        lowpassLeft.setActive (shouldBeActive);
        lowpassRight.setActive (shouldBeActive);
    }

    if (!filterCoefficientsPending.exchange (false, std::memory_order_acquire))
        return;

    const double cutoffNormalised = lowpassCutoff.load (std::memory_order_relaxed);
    const double resoNormalised = lowpassReso.load (std::memory_order_relaxed);
    const auto c = (float)(cutoffNormalised * cutoffNormalised * cutoffNormalised * cutoffNormalised);
    const auto q = (float)(resoNormalised * resoNormalised);

    lowpassLeft.calculateCoefficients (c, q);
    lowpassRight.calculateCoefficients (c, q);
}
