// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkOstinelAudioProcessor::prepareToPlay (double, int)
{
    
}

void ZkOstinelAudioProcessor::releaseResources ()
{
    
}

void ZkOstinelAudioProcessor::processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
    
}

bool ZkOstinelAudioProcessor::isBusesLayoutSupported (const BusesLayout&) const
{
    return false;
}

void ZkOstinelAudioProcessor::setWaveDisplay (CvoWaveDisplayFeed*)
{
    
}

void ZkOstinelAudioProcessor::setInputVuMeter (CvoLevelMeterFeed*)
{
    
}

void ZkOstinelAudioProcessor::setOutputVuMeter (CvoLevelMeterFeed*)
{
    
}

void ZkOstinelAudioProcessor::calculateLowpassFilterCoefficients ()
{
    
}
