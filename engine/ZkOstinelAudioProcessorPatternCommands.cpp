// PENDING: placeholder bodies so that the whole processor links while this
// concern is being written. The owner of this file replaces it entirely.

#include "engine/ZkOstinelAudioProcessor.h"

#if JUCE_GCC || JUCE_CLANG
 #pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkOstinelAudioProcessor::setParam (int, float, juce::NotificationType, TransactionFlag, bool)
{
    
}

void ZkOstinelAudioProcessor::setParam (const juce::String&, float, juce::NotificationType, TransactionFlag, bool)
{
    
}

void ZkOstinelAudioProcessor::switchToPatternManually (int)
{
    
}

void ZkOstinelAudioProcessor::setStepVolumeInCurrentPattern (int, float, juce::NotificationType, TransactionFlag, bool)
{
    
}

void ZkOstinelAudioProcessor::setStepLengthInCurrentPattern (int, float, juce::NotificationType, TransactionFlag, bool)
{
    
}

void ZkOstinelAudioProcessor::copyPatternStepsToClipboard (bool, bool, int, int)
{
    
}

void ZkOstinelAudioProcessor::pastePatternStepsFromClipboard (bool, bool, int, int)
{
    
}

void ZkOstinelAudioProcessor::copyCurrentPatternIntoClipboard (bool, bool, bool)
{
    
}

void ZkOstinelAudioProcessor::pasteCurrentPatternFromClipboard (bool, bool, bool)
{
    
}

void ZkOstinelAudioProcessor::copyPatternBeatIntoClipboard (bool, bool, int)
{
    
}

void ZkOstinelAudioProcessor::pastePatternBeatFromClipboard (bool, bool, int)
{
    
}

void ZkOstinelAudioProcessor::shiftPattern (bool, bool, ShiftDirection)
{
    
}

void ZkOstinelAudioProcessor::createRandomPattern (bool, bool)
{
    
}

void ZkOstinelAudioProcessor::initPattern (bool, bool, bool)
{
    
}

void ZkOstinelAudioProcessor::setCurrentTripletMode (bool)
{
    
}

void ZkOstinelAudioProcessor::setCurrentPatternLengthInBeats (int)
{
    
}

float ZkOstinelAudioProcessor::getNextRandomStepLength (float)
{
    return 0;
}
