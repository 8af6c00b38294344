// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

const juce::String ZkOstinelAudioProcessor::getName () const
{
    return {};
}

const juce::String ZkOstinelAudioProcessor::getInputChannelName (int) const
{
    return {};
}

const juce::String ZkOstinelAudioProcessor::getOutputChannelName (int) const
{
    return {};
}

bool ZkOstinelAudioProcessor::isInputChannelStereoPair (int) const
{
    return false;
}

bool ZkOstinelAudioProcessor::isOutputChannelStereoPair (int) const
{
    return false;
}

int ZkOstinelAudioProcessor::getNumParameters ()
{
    return 0;
}

const juce::String ZkOstinelAudioProcessor::getParameterName (int)
{
    return {};
}

float ZkOstinelAudioProcessor::getParameter (int)
{
    return 0;
}

const juce::String ZkOstinelAudioProcessor::getParameterText (int)
{
    return {};
}

int ZkOstinelAudioProcessor::getParameterNumSteps (int)
{
    return 0;
}

float ZkOstinelAudioProcessor::getParameterDefaultValue (int)
{
    return 0;
}

bool ZkOstinelAudioProcessor::isParameterAutomatable (int) const
{
    return false;
}

bool ZkOstinelAudioProcessor::isMetaParameter (int) const
{
    return false;
}

bool ZkOstinelAudioProcessor::silenceInProducesSilenceOut () const
{
    return false;
}

double ZkOstinelAudioProcessor::getTailLengthSeconds () const
{
    return 0;
}

bool ZkOstinelAudioProcessor::acceptsMidi () const
{
    return false;
}

bool ZkOstinelAudioProcessor::producesMidi () const
{
    return false;
}

juce::AudioProcessorEditor* ZkOstinelAudioProcessor::createEditor ()
{
    return nullptr;
}

bool ZkOstinelAudioProcessor::hasEditor () const
{
    return false;
}

int ZkOstinelAudioProcessor::getNumPrograms ()
{
    return 0;
}

int ZkOstinelAudioProcessor::getCurrentProgram ()
{
    return 0;
}

void ZkOstinelAudioProcessor::setCurrentProgram (int)
{
    
}

int ZkOstinelAudioProcessor::getCurrentPresetID () const
{
    return 0;
}

bool ZkOstinelAudioProcessor::currentPresetIsFactory () const
{
    return false;
}

bool ZkOstinelAudioProcessor::currentPresetWasModified () const
{
    return false;
}

double ZkOstinelAudioProcessor::getLastBpm () const
{
    return 0;
}

bool ZkOstinelAudioProcessor::checkInputOutputConfig () const
{
    return false;
}

int ZkOstinelAudioProcessor::getCurrentPatternId () const
{
    return 0;
}

int ZkOstinelAudioProcessor::getCurrentPatternLengthInBeats () const
{
    return 0;
}

double ZkOstinelAudioProcessor::getPositionAsDouble () const
{
    return 0;
}

int ZkOstinelAudioProcessor::getCurrentStepIndex () const
{
    return 0;
}

bool ZkOstinelAudioProcessor::isPlaying () const
{
    return false;
}

float ZkOstinelAudioProcessor::getDefaultEditorDesktopHeightRatio () const
{
    return 0;
}

int ZkOstinelAudioProcessor::getDefaultEditorHeight () const
{
    return 0;
}

int ZkOstinelAudioProcessor::getEditorHeight () const
{
    return 0;
}

void ZkOstinelAudioProcessor::setEditorHeight (int)
{
    
}

float ZkOstinelAudioProcessor::getCurrentColourSchemeBrightness () const
{
    return 0;
}

void ZkOstinelAudioProcessor::setCurrentColourSchemeBrightness (float)
{
    
}

CvoParameterManager* ZkOstinelAudioProcessor::getParameterManager () const
{
    return nullptr;
}

CvoVarItemManager* ZkOstinelAudioProcessor::getVarItemManager () const
{
    return nullptr;
}

void ZkOstinelAudioProcessor::setChannelName (const juce::String&)
{
    
}

juce::String ZkOstinelAudioProcessor::getChannelName () const
{
    return {};
}

juce::String ZkOstinelAudioProcessor::getAllowedCharsForPresetNames () const
{
    return {};
}

juce::String ZkOstinelAudioProcessor::getLastSampleRateString () const
{
    return {};
}

ZkStepPattern& ZkOstinelAudioProcessor::getPattern (int)
{
    return patterns[0];
}

const ZkStepPattern& ZkOstinelAudioProcessor::getPatternClipboard () const
{
    return patternClipboard;
}
