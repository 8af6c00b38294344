// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkOstinelAudioProcessor::initPropertiesFile ()
{
    
}

void ZkOstinelAudioProcessor::setPropertiesHeaderValues ()
{
    
}

float ZkOstinelAudioProcessor::getDefaultEditorDesktopHeightRatioFromPropertiesFile ()
{
    return 0;
}

void ZkOstinelAudioProcessor::updateDefaultEditorSizes ()
{
    
}

void ZkOstinelAudioProcessor::resetDefaultEditorDesktopHeightRatio ()
{
    
}

void ZkOstinelAudioProcessor::setCurrentAsDefaultEditorDesktopHeightRatio ()
{
    
}

juce::PropertiesFile* ZkOstinelAudioProcessor::getPropertiesFile () const
{
    return nullptr;
}
