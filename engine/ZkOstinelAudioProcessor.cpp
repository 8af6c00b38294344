// Construction, identity, the framework's virtual operations and the plain getters
// and setters of ZkOstinelAudioProcessor.

#include "engine/ZkOstinelAudioProcessor.h"

#include "engine/ZkUtf8.h"

#include <cmath>
#include <limits>

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // index-based parameter interface
#endif

namespace
{
/** The processor's answers to the host for a channel index: "1", "2", ... */
juce::String channelNumberText (int channelIndex)
{
    return juce::String (static_cast<juce::int64> (channelIndex) + 1);
}
} // namespace

// Construction order matters: the parameters exist before the current-preset
// tree mirrors them, the factory presets are built from the parameter defaults
// and "Default" is loaded before the undo manager exists (so that load is not
// undoable), and the settings come last.
ZkOstinelAudioProcessor::ZkOstinelAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    // Both buses are created active (the framework's default buses are not), so the
    // host sees 2 inputs and 2 outputs from the start.
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

    // Transport and gate: stopped, not running, no tempo seen yet; the first block
    // with position information forces a play and run state update and anchors.
    lastPositionInfo.resetToDefault();
    lastPpqPosition = lastPositionInfo.ppqPosition;
    lastBpm = -1.0;
    envelopeStage = Off;
    envelopeIncrement = 0.0f;
    envelopeValue = 0.0f;
    lastStartedStep = -1;
    lastBeatMarkStep = -1;
    releaseFactor = 1.0f;
    samplesSinceAnchor = 0;
    anchorPpq = 0.0;
    dawTimingOffsetOn = false;
    dawTimingOffsetInSamples = 0;
    attackCounter = 0;
    holdCounter = 0;
    gateCounter = 0;
    isRunning = false;
    forceStateUpdate = true;
    autoRunInStopMode = true;
    resync = true;

    patternClipboard.initPattern();

    addAndInitAllParams();
    currentPresetTree = createValueTreeForAllParameters();
    initFactoryPresets();
    initUserPresets();
    addAndInitAllVarItems();

    undoManager = std::make_unique<juce::UndoManager> (30000, 30);
    undoManager->beginNewTransaction();
}

ZkOstinelAudioProcessor::~ZkOstinelAudioProcessor() = default;

//==============================================================================
// Identity and framework operations

const juce::String ZkOstinelAudioProcessor::getName() const
{
    return "ZkOstinel";
}

const juce::String ZkOstinelAudioProcessor::getInputChannelName (int channelIndex) const
{
    return channelNumberText (channelIndex);
}

const juce::String ZkOstinelAudioProcessor::getOutputChannelName (int channelIndex) const
{
    return channelNumberText (channelIndex);
}

bool ZkOstinelAudioProcessor::isInputChannelStereoPair (int) const
{
    return true;
}

bool ZkOstinelAudioProcessor::isOutputChannelStereoPair (int) const
{
    return true;
}

bool ZkOstinelAudioProcessor::silenceInProducesSilenceOut() const
{
    return false;
}

double ZkOstinelAudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool ZkOstinelAudioProcessor::acceptsMidi() const
{
    return false;
}

bool ZkOstinelAudioProcessor::producesMidi() const
{
    return false;
}

namespace
{
std::atomic<ZkOstinelAudioProcessor::EditorFactory> editorFactory{nullptr};
}

void ZkOstinelAudioProcessor::setEditorFactory (EditorFactory factory)
{
    editorFactory.store (factory);
}

juce::AudioProcessorEditor* ZkOstinelAudioProcessor::createEditor()
{
    const auto factory = editorFactory.load();
    return factory != nullptr ? factory (*this) : nullptr;
}

bool ZkOstinelAudioProcessor::hasEditor() const
{
    return editorFactory.load() != nullptr;
}

//==============================================================================
// Host parameters: 350 reported, 300 real; the manager answers every index,
// including -1 and the "reserved" ones from 300 on, without reading out of bounds.

int ZkOstinelAudioProcessor::getNumParameters()
{
    return numHostParameters;
}

const juce::String ZkOstinelAudioProcessor::getParameterName (int index)
{
    if (parameterManager == nullptr)
        return index < 0 ? "invalid parameter" : "reserved";

    return parameterManager->getParameterName (index);
}

float ZkOstinelAudioProcessor::getParameter (int index)
{
    if (parameterManager == nullptr)
        return 0.0f;

    return parameterManager->getParameterValue (index);
}

const juce::String ZkOstinelAudioProcessor::getParameterText (int index)
{
    if (parameterManager == nullptr)
        return {};

    return parameterManager->getParameterValueAsText (index);
}

int ZkOstinelAudioProcessor::getParameterNumSteps (int)
{
    return std::numeric_limits<int>::max(); // continuous
}

float ZkOstinelAudioProcessor::getParameterDefaultValue (int index)
{
    if (parameterManager == nullptr)
        return 0.0f;

    if (auto* parameter = parameterManager->getParameter (index))
        return parameter->getDefaultValue();

    return 0.0f;
}

bool ZkOstinelAudioProcessor::isParameterAutomatable (int) const
{
    return true;
}

bool ZkOstinelAudioProcessor::isMetaParameter (int) const
{
    return false;
}

//==============================================================================
// Programs: one program whose state travels as one chunk.

int ZkOstinelAudioProcessor::getNumPrograms()
{
    return 1;
}

int ZkOstinelAudioProcessor::getCurrentProgram()
{
    return 0;
}

void ZkOstinelAudioProcessor::setCurrentProgram (int) {}

//==============================================================================
// Getters and setters (message thread)

int ZkOstinelAudioProcessor::getCurrentPresetID() const
{
    return currentPresetId;
}

bool ZkOstinelAudioProcessor::currentPresetIsFactory() const
{
    return presetIsFactory;
}

bool ZkOstinelAudioProcessor::currentPresetWasModified() const
{
    return presetWasModified;
}

double ZkOstinelAudioProcessor::getLastBpm() const
{
    return lastBpm.load (std::memory_order_relaxed);
}

bool ZkOstinelAudioProcessor::checkInputOutputConfig() const
{
    return true;
}

int ZkOstinelAudioProcessor::getCurrentPatternId() const
{
    return currentPatternId.load (std::memory_order_relaxed);
}

int ZkOstinelAudioProcessor::getCurrentPatternLengthInBeats() const
{
    const int id = juce::jlimit (0, numPatterns - 1, currentPatternId.load (std::memory_order_relaxed));
    return patterns[static_cast<size_t> (id)].getPatternLengthInBeats();
}

double ZkOstinelAudioProcessor::getPositionAsDouble() const
{
    return lastPpqPosition.load (std::memory_order_relaxed);
}

int ZkOstinelAudioProcessor::getCurrentStepIndex() const
{
    return currentStepIndex.load (std::memory_order_relaxed);
}

bool ZkOstinelAudioProcessor::isPlaying() const
{
    return playingNow.load (std::memory_order_relaxed);
}

float ZkOstinelAudioProcessor::getDefaultEditorDesktopHeightRatio() const
{
    return defaultEditorDesktopHeightRatio;
}

int ZkOstinelAudioProcessor::getDefaultEditorHeight() const
{
    return defaultEditorHeight;
}

int ZkOstinelAudioProcessor::getEditorHeight() const
{
    return editorHeight;
}

void ZkOstinelAudioProcessor::setEditorHeight (int newHeight)
{
    editorHeight = newHeight;
}

float ZkOstinelAudioProcessor::getCurrentColourSchemeBrightness() const
{
    return colourSchemeBrightness;
}

void ZkOstinelAudioProcessor::setCurrentColourSchemeBrightness (float brightness)
{
    colourSchemeBrightness = brightness;
}

CvoParameterManager* ZkOstinelAudioProcessor::getParameterManager() const
{
    return parameterManager.get();
}

CvoVarItemManager* ZkOstinelAudioProcessor::getVarItemManager() const
{
    return varItemManager.get();
}

// The channel name is also written by a state restore on a host thread.
void ZkOstinelAudioProcessor::setChannelName (const juce::String& name)
{
    const juce::ScopedLock lock (presetTreeLock);
    channelName = ZkUtf8::makeValid (name).substring (0, maxChannelNameLength);
}

juce::String ZkOstinelAudioProcessor::getChannelName() const
{
    // A copy with storage of its own, like the program name's (see getCurrentPresetName).
    const juce::ScopedLock lock (presetTreeLock);
    return juce::String (channelName.getCharPointer());
}

juce::String ZkOstinelAudioProcessor::getAllowedCharsForPresetNames() const
{
    return "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 _-!+#%&";
}

juce::String ZkOstinelAudioProcessor::getLastSampleRateString() const
{
    const double rate = lastSampleRate.load (std::memory_order_relaxed);

    // A rate that cannot be rounded to an int is no rate the host can run at.
    if (rate == 0.0 || !std::isfinite (rate) || std::abs (rate) >= 2147483647.0)
        return "(unknown)";

    return juce::String (juce::roundToInt (rate)) + " Hz";
}

ZkStepPattern& ZkOstinelAudioProcessor::getPattern (int patternId)
{
    return patterns[static_cast<size_t> (juce::jlimit (0, numPatterns - 1, patternId))];
}

const ZkStepPattern& ZkOstinelAudioProcessor::getPatternClipboard() const
{
    return patternClipboard;
}

//==============================================================================

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new ZkOstinelAudioProcessor();
}
