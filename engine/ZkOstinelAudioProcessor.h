#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/CvoLevelMeterFeed.h"
#include "engine/CvoWaveDisplayFeed.h"
#include "engine/ZkHostStateReceiver.h"
#include "engine/ZkParameterTable.h"
#include "engine/ZkPropertiesFile.h"
#include "engine/dsp/CvoFoldbackDistortion.h"
#include "engine/dsp/CvoIsPlayingState.h"
#include "engine/dsp/CvoMoogLowPassFilter1.h"
#include "engine/dsp/ZkStepPattern.h"
#include "engine/params/CvoParameterManager.h"
#include "engine/params/CvoVarItemManager.h"

/** Whether an editor-side write closes the current undo transaction. */
enum TransactionFlag
{
    dontStartNewTransaction = 0,
    startNewTransaction = 1
};

/** Rotation direction of the pattern shift command. */
enum ShiftDirection
{
    shiftLeft = 0,
    shiftRight = 1
};

/** Stage of the gate envelope (stored as an integer). */
enum EnvelopeStage
{
    Attack = 0,
    Hold = 1,
    Decay = 2,
    Sustain = 3,
    Release = 4,
    Off = 5
};

/**
    The plug-in's audio processor: a tempo-synced step gate with envelope,
    low-pass filter, fold-back drive and echo.

    Threads:
    - construction, destruction, getters, setters, commands, presets and the
      widget registrations: message thread;
    - processBlock: the host's audio thread (no allocation, no lock);
    - setParameter: whatever thread the host uses (often the audio thread);
    - get/setStateInformation: a host thread.

    Values shared between threads are atomics; the audio thread reads the
    processing values and the selected pattern, never the value tree.

    The implementation is split over several translation units by concern:
    ZkOstinelAudioProcessor.cpp (construction, identity, getters),
    ZkOstinelAudioProcessorParameters.cpp (parameter table, processing values, settings),
    ZkOstinelAudioProcessorProcessing.cpp (per-block and per-sample processing, widget feeds),
    ZkOstinelAudioProcessorHandOver.cpp (layouts, widget registrations, coefficient hand-over),
    ZkOstinelAudioProcessorPresetTree.cpp (current-preset tree, undo, host state),
    ZkOstinelAudioProcessorPatternCommands.cpp (editor writes and pattern commands),
    ZkOstinelAudioProcessorPresets.cpp (factory presets, preset lists, user preset files),
    ZkOstinelAudioProcessorProperties.cpp (properties file and editor sizes).
*/
class ZkOstinelAudioProcessor : public juce::AudioProcessor, public ZkHostStateReceiver
{
public:
    static constexpr int numHostParameters = 350;       // 300 real ones, 300..349 "reserved"
    static constexpr int numPatterns = 8;               // patterns A..H
    static constexpr int echoLineLength = 1152000;      // [samples] per echo line
    static constexpr int echoMaxDelayPingPong = 576000; // [samples]
    static constexpr int echoMaxDelayNormal = 1152000;  // [samples]

    // [characters] Longest program name (not counting one trailing modified mark
    // "*") and channel name kept; longer names are cut where they come in. So
    // the largest state stays far inside what the host state chunk reads back,
    // even when every character needs escaping.
    static constexpr int maxProgramNameLength = 256;
    static constexpr int maxChannelNameLength = 256;

    ZkOstinelAudioProcessor();
    ~ZkOstinelAudioProcessor() override;

    //==============================================================================
    // juce::AudioProcessor
    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const juce::String getInputChannelName (int channelIndex) const override;
    const juce::String getOutputChannelName (int channelIndex) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;

    int getNumParameters() override;
    const juce::String getParameterName (int index) override;
    float getParameter (int index) override;
    const juce::String getParameterText (int index) override;
    int getParameterNumSteps (int index) override;
    float getParameterDefaultValue (int index) override;
    void setParameter (int index, float newValue) override;
    bool isParameterAutomatable (int index) const override;
    bool isMetaParameter (int index) const override;
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif

    bool silenceInProducesSilenceOut() const override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    /** A new editor from the registered factory; null while none is registered. */
    juce::AudioProcessorEditor* createEditor() override;
    /** True once an editor factory is registered. */
    bool hasEditor() const override;

    /** Makes the editor for a processor. The editor library provides one and the
        plug-in registers it at entry, so that the engine links and runs without
        any editor code. */
    using EditorFactory = juce::AudioProcessorEditor* (*)(ZkOstinelAudioProcessor& processor);

    /** Registers the editor factory (null removes it). Any thread, before the
        processors that should have an editor are created. */
    static void setEditorFactory (EditorFactory factory);

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    /** setStateInformation that answers whether the chunk was taken (false: refused, nothing changed). */
    bool restoreHostState (const void* data, int sizeInBytes) override;

    //==============================================================================
    // Getters and setters (message thread unless stated)
    int getCurrentPresetID() const;
    bool currentPresetIsFactory() const;
    bool currentPresetWasModified() const;
    double getLastBpm() const; // -1.0 before the first block with position info
    bool checkInputOutputConfig() const;
    int getCurrentPatternId() const;
    int getCurrentPatternLengthInBeats() const;
    double getPositionAsDouble() const; // quarter-note position of the last block
    int getCurrentStepIndex() const;
    bool isPlaying() const;
    float getDefaultEditorDesktopHeightRatio() const;
    int getDefaultEditorHeight() const;
    int getEditorHeight() const;
    void setEditorHeight (int newHeight);
    float getCurrentColourSchemeBrightness() const;
    void setCurrentColourSchemeBrightness (float brightness);
    CvoParameterManager* getParameterManager() const;
    CvoVarItemManager* getVarItemManager() const;
    void setChannelName (const juce::String& name); // cut to maxChannelNameLength
    juce::String getChannelName() const;
    juce::String getAllowedCharsForPresetNames() const;
    juce::String getLastSampleRateString() const;
    ZkStepPattern& getPattern (int patternId); // clamped to 0..7
    const ZkStepPattern& getPatternClipboard() const;

    //==============================================================================
    // Widget feeds (message thread). A null pointer clears the registration; once
    // a clearing call has returned, the audio thread no longer touches the widget.
    void setWaveDisplay (CvoWaveDisplayFeed* display);
    void setInputVuMeter (CvoLevelMeterFeed* meter);
    void setOutputVuMeter (CvoLevelMeterFeed* meter);

    //==============================================================================
    // Parameter table and processing values
    void addParameter (const juce::String& name, float defaultValue,
                       CvoParameterValueMapper::CvoMappingENUM kind);
    void addAndInitAllParams();
    void calculateProcessingValueFromParam (int index, float value);
    void calculateLowpassFilterCoefficients();

    //==============================================================================
    // Settings
    void addAndInitAllVarItems();
    void setVarItemValue (const juce::String& name, juce::var value);
    void calculateProcessingValueFromVarItem (const juce::String& name, juce::var value);

    //==============================================================================
    // Editor-side writes and pattern commands (message thread)
    void setParam (int index, float value, juce::NotificationType notification, TransactionFlag transaction,
                   bool markModified);
    void setParam (const juce::String& name, float value, juce::NotificationType notification,
                   TransactionFlag transaction, bool markModified);
    void switchToPatternManually (int patternId);
    void setStepVolumeInCurrentPattern (int step, float value, juce::NotificationType notification,
                                        TransactionFlag transaction, bool markModified);
    void setStepLengthInCurrentPattern (int step, float value, juce::NotificationType notification,
                                        TransactionFlag transaction, bool markModified);
    void copyPatternStepsToClipboard (bool lengths, bool volumes, int first, int last);
    void pastePatternStepsFromClipboard (bool lengths, bool volumes, int first, int last);
    void copyCurrentPatternIntoClipboard (bool lengths, bool volumes, bool withPatternSettings);
    void pasteCurrentPatternFromClipboard (bool lengths, bool volumes, bool withPatternSettings);
    void copyPatternBeatIntoClipboard (bool lengths, bool volumes, int beat);
    void pastePatternBeatFromClipboard (bool lengths, bool volumes, int beat);
    void shiftPattern (bool lengths, bool volumes, ShiftDirection direction);
    void createRandomPattern (bool lengths, bool volumes);
    void initPattern (bool lengths, bool volumes, bool withPatternSettings);
    void setCurrentTripletMode (bool on);
    void setCurrentPatternLengthInBeats (int beats);
    float getNextRandomStepLength (float previous);

    //==============================================================================
    // Current-preset tree, undo and host state (message thread)
    std::unique_ptr<juce::ValueTree> createValueTreeForAllParameters();
    void fillValueTreeWithAllParams (juce::ValueTree* tree);
    void setParameterInValueTree (juce::ValueTree* tree, const juce::String& name, float value,
                                  juce::UndoManager* undo);
    void setParameterInValueTree (juce::ValueTree* tree, int index, float value);
    float getParamValueFromValueTree (const juce::ValueTree* tree, int index) const;
    void recallAllParamsFromValueTree (const juce::ValueTree* tree);
    void copyAllPresetValuesFromValueTree (const juce::ValueTree& source);
    void restorePresetAfterUndoOrRedo();
    void undoLastParameterChange();
    void redoLastParameterChange();
    void beginNewTransaction();
    void setCurrentPresetNameUndoable (const juce::String& name);
    void clearUndoHistory();
    bool canUndo() const;
    bool canRedo() const;
    bool canUndoOrRedo() const;
    juce::String getCurrentPresetName() const;
    void updateCurrentPresetID();
    void revealUserPresetsFolder() const;
    const juce::ValueTree& getCurrentPresetTree() const;

    //==============================================================================
    // Presets (message thread)
    void initFactoryPresets();
    void addFactoryPreset (const juce::String& name, juce::StringPairArray pairs);
    juce::StringArray getAllFactoryPresetNames() const;
    void loadFactoryPresetUndoableWithID (int id);
    void loadUserPresetUndoableWithID (int id);
    void loadPrevPreset();
    void loadNextPreset();

    void initUserPresets();
    std::unique_ptr<juce::File> getPresetsFolderFromPropertiesFile();
    void updateAllUserPresetNames();
    juce::StringArray getAllUserPresetNames();
    bool checkUserPreset (const juce::File& file) const;
    juce::ValueTree loadUserPresetAsValueTree (const juce::File& file) const;
    static juce::String voReadString (juce::InputStream& stream);
    bool loadUserPresetUndoableWithName (const juce::String& name);
    bool saveCurrentPresetToDisk (const juce::String& name, bool compressed);
    void addAdditionalInfosToValueTree (juce::ValueTree* tree);
    juce::File getUserPresetsFolder() const;

    //==============================================================================
    // Properties file and editor sizes (message thread)
    void initPropertiesFile();
    /** The name, folder and form of the per-user properties file. Any thread. */
    static juce::PropertiesFile::Options getPropertiesFileOptions();
    void setPropertiesHeaderValues();
    float getDefaultEditorDesktopHeightRatioFromPropertiesFile();
    void updateDefaultEditorSizes();
    void resetDefaultEditorDesktopHeightRatio();
    /** Makes shownEditorHeight [pixels] / the main display's height the default
        ratio, as "set current size as default" does: the height the editor is
        shown at, which is less than the stored one when the screen limits it.
        A height of 0 or below changes nothing: the ratio stays as it is, in
        this instance and in the file. */
    void setCurrentAsDefaultEditorDesktopHeightRatio (int shownEditorHeight);
    ZkPropertiesFile* getPropertiesFile() const;

private:
    // Makes the next save of the properties file store the editor ratio, also
    // when it equals the one read (message thread).
    void markDefaultEditorRatioAsChosen();

    // setParameterInValueTree with the parameter's index, where its entry is looked for first.
    void setParameterInValueTreeAt (juce::ValueTree* tree, int index, const juce::String& name, float value,
                                    juce::UndoManager* undo);

    // After a preset load (message thread): records its id and kind ("PresetID",
    // "PresetType" "Factory" or "User") in the current preset tree in the load's
    // undo transaction, makes it the current preset and marks it unmodified.
    void recordLoadedPreset (int id, bool isFactory);

    // Records currentPresetId and presetIsFactory in the current preset tree
    // ("PresetID", "PresetType") through the undo manager (message or host thread).
    void recordCurrentPresetKind();

    // recordLoadedPreset for the user preset name, with its id in the list.
    void recordLoadedUserPresetNamed (const juce::String& name);

    // Loads a user preset file into the current preset tree and the
    // parameters; false (nothing changed) when it is not a valid preset. No
    // rescan, no transaction, no bookkeeping.
    bool applyUserPresetFile (const juce::File& file);

    // loadUserPresetUndoableWithID on the list of the last rescan; false when
    // the id is outside it or the preset did not load.
    bool loadListedUserPreset (int id);

    // loadPrevPreset (-1) and loadNextPreset (+1): one rescan, then the first
    // preset in that direction of the ring that loads.
    void stepThroughPresetRing (int direction);

    // The sizes of both preset lists and the current preset, read together under
    // presetTreeLock (message thread).
    struct PresetRingPosition
    {
        int numFactory = 0, numUser = 0, currentId = 0;
        bool isFactory = true;
    };
    PresetRingPosition getPresetRingPosition() const;

    //==============================================================================
    // Patterns
    std::array<ZkStepPattern, numPatterns> patterns;
    ZkStepPattern patternClipboard;
    std::atomic<int> currentPatternId{0};

    //==============================================================================
    // Processing values, written by parameter changes on any thread, read per
    // sample on the audio thread.
    std::atomic<bool> bypass{false}, muteAll{false};
    std::atomic<float> inputGain{1.0f}, outputGain{1.0f}, makeUpGain{1.0f};
    std::atomic<float> mix{1.0f};
    std::atomic<float> attack{0.0f}, hold{0.0f}, decay{0.0f}, sustain{0.0f}, release{0.0f};
    std::atomic<float> swing{0.0f}, timeOffset{0.0f}, shortStepLength{0.0f}, longStepLength{0.0f};
    std::atomic<bool> globalFxOff{false};

    //==============================================================================
    // Filter and drive
    std::atomic<double> lowpassCutoff{1.0}, lowpassReso{0.0}; // normalised
    std::atomic<bool> filterCoefficientsReady{false};
    std::atomic<bool> lowpassActive{false}; // "LowpassActive"; the audio thread hands it to both filters
    CvoMoogLowPassFilter1 lowpassLeft, lowpassRight; // audio thread only
    CvoFoldbackDistortion drive;                     // shared by both channels

    //==============================================================================
    // Echo
    juce::AudioBuffer<float> echoBuffer{2, echoLineLength};
    int echoWritePosition = 0; // audio thread only
    std::atomic<bool> echoActive{false}, echoPingPong{true};
    std::atomic<float> echoLevel{0.0f}, echoFeedback{0.0f};
    std::atomic<float> echoBeatsNormal{0.75f}, echoBeatsTriplet{0.6666667f}; // [beats]

    //==============================================================================
    // Transport (audio thread, unless atomic)
    std::atomic<double> lastSampleRate{0.0}; // [Hz]
    juce::AudioPlayHead::CurrentPositionInfo lastPositionInfo;
    std::atomic<double> lastPpqPosition{0.0}; // mirror for the editor
    std::atomic<double> lastBpm{-1.0};
    double anchorPpq = 0.0;
    int64_t samplesSinceAnchor = 0;
    std::atomic<bool> resync{true};
    // Set before resync when playback starts or the run state changes: the anchor
    // it requests also makes the step at the new position due, as in the first block.
    std::atomic<bool> restartStepsAtAnchor{false};
    CvoIsPlayingState playingState;
    std::atomic<bool> playingNow{false}; // mirror of playingState for the editor
    std::atomic<bool> lastPlaying{false};
    std::atomic<bool> autoRunInStopMode{true};
    std::atomic<bool> isRunning{false};
    std::atomic<bool> forceStateUpdate{true};
    std::atomic<bool> dawTimingOffsetOn{false};
    std::atomic<int> dawTimingOffsetInSamples{0};
    double samplesPerBeat = 0.0, stepsPerBeat = 4.0, samplesPerStep = 0.0;

    //==============================================================================
    // Step gate and envelope (audio thread, unless atomic)
    std::atomic<int> currentStepIndex{0};
    int lastStartedStep = -1;
    float lastStartedStepLength = 0.125f; // anything but StepLink lets the first step retrigger
    int lastBeatMarkStep = -1;
    int samplesPerStepRounded = 0;
    int attackMinSamples = 0, decayMinSamples = 0, releaseMinSamples = 0;
    float envelopeValue = 0.0f;
    float envelopeIncrement = 0.0f;
    float releaseFactor = 1.0f;
    EnvelopeStage envelopeStage = Off;
    int64_t attackCounter = 0, holdCounter = 0, decayCounter = 0, gateCounter = 0, releaseCounter = 0;
    int attackLength = 0, holdLength = 0, decayLength = 0, gateLength = 0, releaseLength = 0;

    // Per-block copies of the envelope's processing values, and the per-block and
    // per-sample steps of processBlock (ZkOstinelAudioProcessorProcessing.cpp).
    struct GateBlockValues
    {
        float attack = 0.0f, hold = 0.0f, decay = 0.0f, sustain = 0.0f, release = 0.0f;
        float shortStepLength = 0.0f, longStepLength = 0.0f;
    };
    std::atomic<bool> filterCoefficientsPending{false}; // set by any thread, taken by the audio thread
    void applyPendingFilterCoefficients();              // and the "LowpassActive" switch
    void updatePlayAndRunState (bool& justStarted);
    void startStep (const GateBlockValues& values, int stepIndex, float length, float volume);
    void advanceEnvelope (const GateBlockValues& values, float length, float volume);

    //==============================================================================
    // Editor feeds: written on the message thread, used on the audio thread
    // only between the start and the end of a block.
    std::atomic<CvoWaveDisplayFeed*> waveDisplay{nullptr};
    std::atomic<CvoLevelMeterFeed*> inputVuMeter{nullptr};
    std::atomic<CvoLevelMeterFeed*> outputVuMeter{nullptr};
    std::atomic<uint32_t> feedBlockSequence{0}; // odd while a block may use the feeds

    juce::Random random;      // message thread: random patterns
    juce::Random noiseRandom; // audio thread: output noise

    //==============================================================================
    // Owned managers
    std::unique_ptr<CvoParameterManager> parameterManager;
    std::array<ZkParameterTable::Rule, ZkParameterTable::numParameters> parameterRules{}; // by host index
    std::unique_ptr<CvoVarItemManager> varItemManager;
    std::unique_ptr<juce::ValueTree> currentPresetTree;
    std::unique_ptr<juce::UndoManager> undoManager;

    // Serialises currentPresetTree, undoManager and the preset bookkeeping
    // between the host's state calls (a host thread) and the message thread.
    // Never taken on the audio thread, never held while calling the host.
    juce::CriticalSection presetTreeLock;

    //==============================================================================
    // Presets
    juce::OwnedArray<juce::ValueTree> factoryPresetTrees;
    juce::StringArray factoryPresetNames, userPresetNames;
    juce::Array<juce::File> userPresetFiles; // the file of each user preset name
    int currentPresetId = 0;
    bool presetIsFactory = true;
    bool presetWasModified = false;
    std::unique_ptr<juce::File> userPresetsFolder;

    //==============================================================================
    // Properties file and editor values
    juce::PropertiesFile::Options propertiesFileOptions;
    std::unique_ptr<ZkPropertiesFile> propertiesFile;
    float defaultEditorDesktopHeightRatio = 0.5f;
    int defaultEditorHeight = 0;
    int editorHeight = 0;
    float colourSchemeBrightness = 0.3f;
    juce::String channelName{"No Channel Name"};

    friend struct ZkOstinelAudioProcessorTestProbe; // tests read the private processing values

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZkOstinelAudioProcessor)
};

/** Creates the plug-in's processor; the plug-in wrapper calls it once per instance. */
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();
