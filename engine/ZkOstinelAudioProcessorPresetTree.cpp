// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

const juce::String ZkOstinelAudioProcessor::getProgramName (int)
{
    return {};
}

void ZkOstinelAudioProcessor::changeProgramName (int, const juce::String&)
{
    
}

void ZkOstinelAudioProcessor::getStateInformation (juce::MemoryBlock&)
{
    
}

void ZkOstinelAudioProcessor::setStateInformation (const void*, int)
{
    
}

std::unique_ptr<juce::ValueTree> ZkOstinelAudioProcessor::createValueTreeForAllParameters ()
{
    return std::make_unique<juce::ValueTree>();
}

void ZkOstinelAudioProcessor::fillValueTreeWithAllParams (juce::ValueTree*)
{
    
}

void ZkOstinelAudioProcessor::setParameterInValueTree (juce::ValueTree*, const juce::String&, float, juce::UndoManager*)
{
    
}

void ZkOstinelAudioProcessor::setParameterInValueTree (juce::ValueTree*, int, float)
{
    
}

float ZkOstinelAudioProcessor::getParamValueFromValueTree (const juce::ValueTree*, int) const
{
    return 0;
}

void ZkOstinelAudioProcessor::recallAllParamsFromValueTree (const juce::ValueTree*)
{
    
}

void ZkOstinelAudioProcessor::copyAllPresetValuesFromValueTree (const juce::ValueTree&)
{
    
}

void ZkOstinelAudioProcessor::restorePresetAfterUndoOrRedo ()
{
    
}

void ZkOstinelAudioProcessor::undoLastParameterChange ()
{
    
}

void ZkOstinelAudioProcessor::redoLastParameterChange ()
{
    
}

void ZkOstinelAudioProcessor::beginNewTransaction ()
{
    
}

void ZkOstinelAudioProcessor::setCurrentPresetNameUndoable (const juce::String&)
{
    
}

void ZkOstinelAudioProcessor::clearUndoHistory ()
{
    
}

bool ZkOstinelAudioProcessor::canUndo () const
{
    return false;
}

bool ZkOstinelAudioProcessor::canRedo () const
{
    return false;
}

bool ZkOstinelAudioProcessor::canUndoOrRedo () const
{
    return false;
}

juce::String ZkOstinelAudioProcessor::getCurrentPresetName () const
{
    return {};
}

void ZkOstinelAudioProcessor::updateCurrentPresetID ()
{
    
}

void ZkOstinelAudioProcessor::revealUserPresetsFolder () const
{
    
}

const juce::ValueTree& ZkOstinelAudioProcessor::getCurrentPresetTree () const
{
    static const juce::ValueTree none; return none;
}
