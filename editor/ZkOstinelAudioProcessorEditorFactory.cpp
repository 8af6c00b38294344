#include "editor/ZkOstinelAudioProcessorEditorFactory.h"

#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "engine/ZkOstinelAudioProcessor.h"

void ZkOstinelAudioProcessorEditorFactory::install()
{
    ZkOstinelAudioProcessor::setEditorFactory (&create);
}

juce::AudioProcessorEditor* ZkOstinelAudioProcessorEditorFactory::create (ZkOstinelAudioProcessor& processor)
{
    return new ZkOstinelAudioProcessorEditor (&processor);
}
