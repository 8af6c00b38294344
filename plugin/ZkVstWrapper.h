// The VST 2.4 face of the plug-in: derives from AudioEffectX, owns the
// juce::AudioProcessor that createPluginFilter made, and answers the host with
// it: identity, parameters by index, program name, state chunks, sample rate
// and block size, suspend and resume, processing (with the host's time
// information and bypass), channel arrangements {1, 1} and {2, 2}, and canDo.
// Automation, gestures and display updates of the processor go back to the host.
//
// Threads: the host calls the dispatcher and the parameter entries from its own
// threads and processReplacing from its audio thread. No lock is taken: resume,
// suspend and channel changes close a ZkProcessGate, which waits for a running
// block to end, and a block that finds the gate closed passes its audio through
// without waiting. Display and latency updates reach the host from the message
// thread, which alone writes the record's initialDelay once the host has it.
// A chunk handed to the host stays valid through many later requests (ZkHandedChunks).

#pragma once

#include "plugin/ZkHandedChunks.h"
#include "plugin/ZkMessageThread.h"
#include "plugin/ZkProcessGate.h"
#include "plugin/ZkVstEditorController.h"
#include "plugin/ZkVstPlayHead.h"
#include "vst/AudioEffectX.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <functional>
#include <memory>

class ZkVstWrapper : public AudioEffectX, private juce::AudioProcessorListener
{
public:
    // Message thread (or with JUCE's message manager lock held).
    ZkVstWrapper (audioMasterCallback audioMaster, ZkMessageThread::Reference messageThread,
                  std::unique_ptr<juce::AudioProcessor> processor);
    ~ZkVstWrapper() override;

    // Makes the processor with factory as the VST 2.4 format's own: its
    // wrapperType, which the editor's info screen shows, reads VST.
    static std::unique_ptr<juce::AudioProcessor> createProcessor (juce::AudioProcessor* (*factory)());

    juce::AudioProcessor& getProcessor() noexcept { return *processor; }
    ZkVstEditorController* getEditorController() noexcept { return editorController.get(); }

    // The editor opcodes (13 get rect, 14 open, 15 close, 19 idle) go to the
    // editor controller; every other opcode to the base.
    VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    void close() override;
    bool hostWantsConfigView() const noexcept { return configViewWanted.load(); }

    void suspend() override;
    void resume() override;
    void processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames) override;

    void setParameter (VstInt32 index, float value) override;
    float getParameter (VstInt32 index) override;
    void getParameterLabel (VstInt32 index, char* label) override;
    void getParameterDisplay (VstInt32 index, char* text) override;
    void getParameterName (VstInt32 index, char* text) override;
    bool canParameterBeAutomated (VstInt32 index) override;

    VstInt32 getProgram() override;
    void setProgram (VstInt32 program) override;
    void setProgramName (char* name) override;
    void getProgramName (char* name) override;
    bool getProgramNameIndexed (VstInt32 category, VstInt32 index, char* text) override;

    VstInt32 getChunk (void** data, bool isPreset) override;
    VstInt32 setChunk (void* data, VstInt32 byteSize, bool isPreset) override;

    bool getInputProperties (VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties (VstInt32 index, VstPinProperties* properties) override;
    bool setSpeakerArrangement (VstSpeakerArrangement* pluginInput,
                                VstSpeakerArrangement* pluginOutput) override;
    bool getSpeakerArrangement (VstSpeakerArrangement** pluginInput,
                                VstSpeakerArrangement** pluginOutput) override;
    bool setBypass (bool onOff) override;

    bool getEffectName (char* name) override;
    bool getVendorString (char* text) override;
    bool getProductString (char* text) override;
    VstInt32 getVendorVersion() override;
    VstPlugCategory getPlugCategory() override;
    VstInt32 canDo (char* text) override;

    // [samples] The most that resume prepares for, whatever block size the host
    // announced: a size from the host never sizes an allocation unbounded.
    static constexpr int maxPreparedBlockSize = 8192;

    // Bytes offered for texts written into host buffers (terminating zero included).
    static constexpr int parameterNameBytes = 16; // every name of the table fits
    static constexpr int parameterTextBytes = 24; // display texts
    static constexpr int parameterLabelBytes = kVstMaxParamStrLen;

private:
    // Delivers the processor's display and latency changes on the message thread.
    class HostNotifier : public juce::AsyncUpdater
    {
    public:
        explicit HostNotifier (std::function<void()> callbackToUse)
            : callback (std::move (callbackToUse))
        {
        }
        ~HostNotifier() override { cancelPendingUpdate(); }
        void handleAsyncUpdate() override { callback(); }

    private:
        std::function<void()> callback;
    };

    bool isValidParameter (VstInt32 index) const noexcept { return index >= 0 && index < numParams; }
    bool applyChannelCount (int channels); // gate closed
    bool fillPinProperties (VstInt32 index, VstPinProperties* properties, bool isInput);
    void notifyHostOfChanges();                    // message thread
    bool resizeHostWindow (int width, int height); // message thread
    void passThrough (float** inputs, float** outputs, int numFrames) const noexcept;
    void processInParts (float** inputs, float** outputs, int numFrames); // audio thread, gate held

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float newValue) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override;
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override;
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override;

    ZkMessageThread::Reference messageThread; // first in, last out
    std::unique_ptr<juce::AudioProcessor> processor;
    HostNotifier hostNotifier;

    // The members after it up to numChannels belong to whoever holds the gate:
    // a block on the audio thread, or a host thread's change.
    ZkProcessGate gate;
    ZkVstPlayHead playHead;
    juce::AudioBuffer<float> scratch; // 2 channels x preparedBlockSize
    juce::MidiBuffer midi;
    int preparedBlockSize = 0; // [samples]
    double preparedRate = 0.0; // [Hz]
    bool offline = false;      // the processor was last told that the host renders offline

    std::atomic<int> numChannels{2}; // inputs = outputs, 1 or 2; written with the gate closed

    std::atomic<bool> bypassed{false};
    std::atomic<bool> configViewWanted{false};

    // The latency [samples] that the record's initialDelay holds; written on the
    // message thread, read by resume on a host thread.
    std::atomic<int> reportedLatency{0};

    ZkHandedChunks chunks; // handed to the host by getChunk, the last ZkHandedChunks::capacity of them
    VstSpeakerArrangement* inputArrangement = nullptr; // handed to the host, owned here
    VstSpeakerArrangement* outputArrangement = nullptr;

    // The editor, when the processor has one; closed before the processor goes.
    std::unique_ptr<ZkVstEditorController> editorController;
};
