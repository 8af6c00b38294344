#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class ZkOstinelAudioProcessor;

/**
    Connects the editor to the processor, which knows no editor code: install()
    registers create() as the processor's editor factory. The plug-in calls
    install() at entry, before it creates a processor.
*/
class ZkOstinelAudioProcessorEditorFactory
{
public:
    /** Any thread; idempotent. */
    static void install();

    /** A new ZkOstinelAudioProcessorEditor for the processor (message thread). */
    static juce::AudioProcessorEditor* create (ZkOstinelAudioProcessor& processor);

private:
    ZkOstinelAudioProcessorEditorFactory() = delete;
};
