// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkOstinelAudioProcessor::initFactoryPresets ()
{
    
}

void ZkOstinelAudioProcessor::addFactoryPreset (const juce::String&, juce::StringPairArray)
{
    
}

juce::StringArray ZkOstinelAudioProcessor::getAllFactoryPresetNames () const
{
    return {};
}

void ZkOstinelAudioProcessor::loadFactoryPresetUndoableWithID (int)
{
    
}

void ZkOstinelAudioProcessor::loadUserPresetUndoableWithID (int)
{
    
}

void ZkOstinelAudioProcessor::loadPrevPreset ()
{
    
}

void ZkOstinelAudioProcessor::loadNextPreset ()
{
    
}

void ZkOstinelAudioProcessor::initUserPresets ()
{
    
}

std::unique_ptr<juce::File> ZkOstinelAudioProcessor::getPresetsFolderFromPropertiesFile ()
{
    return std::make_unique<juce::File>();
}

void ZkOstinelAudioProcessor::updateAllUserPresetNames ()
{
    
}

juce::StringArray ZkOstinelAudioProcessor::getAllUserPresetNames ()
{
    return {};
}

bool ZkOstinelAudioProcessor::checkUserPreset (const juce::File&) const
{
    return false;
}

juce::ValueTree ZkOstinelAudioProcessor::loadUserPresetAsValueTree (const juce::File&) const
{
    return {};
}

juce::String ZkOstinelAudioProcessor::voReadString (juce::InputStream&)
{
    return {};
}

bool ZkOstinelAudioProcessor::loadUserPresetUndoableWithName (const juce::String&)
{
    return false;
}

bool ZkOstinelAudioProcessor::saveCurrentPresetToDisk (const juce::String&, bool)
{
    return false;
}

void ZkOstinelAudioProcessor::addAdditionalInfosToValueTree (juce::ValueTree*)
{
    
}

juce::File ZkOstinelAudioProcessor::getUserPresetsFolder () const
{
    return {};
}
