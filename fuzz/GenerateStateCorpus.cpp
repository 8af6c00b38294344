// Writes real host state chunks into a folder: the seed corpus of the state
// chunk fuzzer and of the corpus replay test.
//
//   zk_generate_state_corpus <folder>

#include "engine/ZkOstinelAudioProcessor.h"
#include "tests/support/TemporaryProcessHome.h"

#include <juce_events/juce_events.h>

#include <cstdio>

namespace
{
void writeChunk (ZkOstinelAudioProcessor& processor, const juce::File& folder, const juce::String& name)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    folder.getChildFile (name + ".chunk").replaceWithData (block.getData(), block.getSize());
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }

    const TemporaryProcessHome home ("zk-corpus-home-");

    juce::ScopedJuceInitialiser_GUI juce;
    const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    folder.createDirectory();

    {
        ZkOstinelAudioProcessor processor;
        writeChunk (processor, folder, "default");

        // Every factory preset as the host would save it.
        for (int id = 0; id < processor.getAllFactoryPresetNames().size(); ++id)
        {
            processor.loadFactoryPresetUndoableWithID (id);
            writeChunk (processor, folder, "factory-" + juce::String (id).paddedLeft ('0', 2));
        }
    }

    {
        // Edited: random values, patterns in every geometry, settings, editor
        // values and names with characters that XML escapes.
        ZkOstinelAudioProcessor processor;
        juce::Random random (2024);
        auto* manager = processor.getParameterManager();

        for (int i = 0; i < manager->getNumberOfParameters(); ++i)
            processor.setParam (i, random.nextFloat(), juce::dontSendNotification, dontStartNewTransaction,
                                false);

        processor.switchToPatternManually (5);
        processor.setCurrentPatternLengthInBeats (2);
        processor.setCurrentTripletMode (true);
        processor.createRandomPattern (true, true);
        processor.setCurrentPresetNameUndoable ("Edited <\"&'> Gate");
        processor.setChannelName (juce::CharPointer_UTF8 ("Dr\xc3\xbcms \xe2\x80\x94 Bus 1\ttab"));
        processor.setEditorHeight (777);
        processor.setVarItemValue ("viGlobalFxOffIsActive", 1.0);
        processor.setVarItemValue ("viDawTimingOffsetState", 1.0);
        processor.setVarItemValue ("viDawTimingOffsetInSamples", -1234);
        processor.setVarItemValue ("viAutoRunInStopMode", false);
        processor.getVarItemManager()->setVarItemValue ("viWaveDisplayZoomFactorYNormed", 0.123456789);
        processor.getVarItemManager()->setVarItemValue ("viPatternCommandTabContent", 3);
        writeChunk (processor, folder, "edited-modified");

        // The same state in the framework's own block, with an XML declaration.
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        const auto xml = juce::parseXML (juce::String::fromUTF8 (
            static_cast<const char*> (block.getData()) + 8, (int)block.getSize() - 9));
        juce::MemoryBlock framework;
        juce::AudioProcessor::copyXmlToBinary (*xml, framework);
        folder.getChildFile ("edited-with-declaration.chunk")
            .replaceWithData (framework.getData(), framework.getSize());
    }

    return 0;
}
