#include "engine/ZkOstinelAudioProcessor.h"

// Construction order matters: the parameters exist before the current-preset
// tree mirrors them, the factory presets are built from the parameter defaults
// and "Default" is loaded before the undo manager exists (so that load is not
// undoable), and the settings come last.
ZkOstinelAudioProcessor::ZkOstinelAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    initPropertiesFile();

    channelName = "No Channel Name";
    currentPresetId = 0;
    presetIsFactory = true;
    presetWasModified = false;
    currentPatternId = 0;
    filterCoefficientsReady = false;
    lowpassCutoff = 1.0;
    lowpassReso = 0.0;
    mix = 1.0f;
    globalFxOff = false;

    defaultEditorDesktopHeightRatio = getDefaultEditorDesktopHeightRatioFromPropertiesFile();
    updateDefaultEditorSizes();
    editorHeight = defaultEditorHeight;
    colourSchemeBrightness = 0.3f;
    echoWritePosition = 0;
    echoBuffer.clear();

    // TODO(core): transport and gate fields (step 5), clipboard init (step 6).

    addAndInitAllParams();
    currentPresetTree = createValueTreeForAllParameters();
    initFactoryPresets();
    initUserPresets();
    addAndInitAllVarItems();

    undoManager = std::make_unique<juce::UndoManager> (30000, 30);
    undoManager->beginNewTransaction();
}

ZkOstinelAudioProcessor::~ZkOstinelAudioProcessor() = default;

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new ZkOstinelAudioProcessor();
}
