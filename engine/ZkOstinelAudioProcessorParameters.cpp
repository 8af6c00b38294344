// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkOstinelAudioProcessor::setParameter (int, float)
{
    
}

void ZkOstinelAudioProcessor::addParameter (const juce::String&, float, CvoParameterValueMapper::CvoMappingENUM)
{
    
}

void ZkOstinelAudioProcessor::addAndInitAllParams ()
{
    
}

void ZkOstinelAudioProcessor::calculateProcessingValueFromParam (int, float)
{
    
}

void ZkOstinelAudioProcessor::addAndInitAllVarItems ()
{
    
}

void ZkOstinelAudioProcessor::setVarItemValue (const juce::String&, juce::var)
{
    
}

void ZkOstinelAudioProcessor::calculateProcessingValueFromVarItem (const juce::String&, juce::var)
{
    
}
