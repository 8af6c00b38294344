// Extended VST 2.4 plug-in base: answers the dispatcher opcodes 25..79 through
// further virtual operations, wraps every extended host callback (each returns a
// fixed default when there is no host) and offers the speaker arrangement
// utilities.
//
// Threads: no lock and no state of its own; each host wrapper is one call into
// the host on the calling thread. getTimeInfo and getCurrentProcessLevel are
// meant for the audio thread inside a process call, the editor and display calls
// for the message thread.

#pragma once

#include "vst/AudioEffect.h"

class AudioEffectX : public AudioEffect
{
public:
    AudioEffectX (audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    void resume() override;

    // Largest channel count that allocateArrangement accepts: an arrangement
    // larger than this is no speaker set-up but a broken count.
    static constexpr VstInt32 kMaxArrangementChannels = 256;

    // The pointers and texts handed to the operations below are never null when
    // the dispatcher calls them.
    virtual bool canParameterBeAutomated (VstInt32 /*index*/) { return true; }
    virtual bool string2parameter (VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getParameterProperties (VstInt32 /*index*/, VstParameterProperties* /*p*/) { return false; }
    virtual bool beginEdit (VstInt32 index);
    virtual bool endEdit (VstInt32 index);
    virtual bool getProgramNameIndexed (VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/)
    {
        return false;
    }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual VstInt32 beginLoadBank (VstPatchChunkInfo* /*ptr*/) { return 0; }
    virtual VstInt32 beginLoadProgram (VstPatchChunkInfo* /*ptr*/) { return 0; }
    virtual bool ioChanged();
    virtual double updateSampleRate();
    virtual VstInt32 updateBlockSize();
    virtual VstInt32 getInputLatency();
    virtual VstInt32 getOutputLatency();
    virtual bool getInputProperties (VstInt32 /*index*/, VstPinProperties* /*properties*/) { return false; }
    virtual bool getOutputProperties (VstInt32 /*index*/, VstPinProperties* /*properties*/) { return false; }
    virtual bool setSpeakerArrangement (VstSpeakerArrangement* /*pluginInput*/,
                                        VstSpeakerArrangement* /*pluginOutput*/)
    {
        return false;
    }
    virtual bool getSpeakerArrangement (VstSpeakerArrangement** pluginInput,
                                        VstSpeakerArrangement** pluginOutput)
    {
        *pluginInput = nullptr;
        *pluginOutput = nullptr;
        return false;
    }
    virtual bool setBypass (bool /*onOff*/) { return false; }
    virtual bool setPanLaw (VstInt32 /*type*/, float /*value*/) { return false; }
    virtual bool setProcessPrecision (VstInt32 /*precision*/) { return false; }
    virtual VstInt32 getNumMidiInputChannels() { return 0; }
    virtual VstInt32 getNumMidiOutputChannels() { return 0; }
    virtual VstTimeInfo* getTimeInfo (VstInt32 filter);
    virtual VstInt32 getCurrentProcessLevel();
    virtual VstInt32 getAutomationState();
    virtual VstInt32 processEvents (VstEvents* /*events*/) { return 0; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }
    virtual bool processVariableIo (VstVariableIo* /*varIo*/) { return false; }
    virtual VstInt32 setTotalSampleToProcess (VstInt32 value) { return value; }
    virtual bool getHostVendorString (char* text);
    virtual bool getHostProductString (char* text);
    virtual VstInt32 getHostVendorVersion();
    virtual VstIntPtr hostVendorSpecific (VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg, float floatArg);
    virtual VstInt32 canHostDo (char* text);
    virtual VstInt32 getHostLanguage();
    virtual void isSynth (bool state = true) { setFlag (effFlagsIsSynth, state); }
    virtual void noTail (bool state = true) { setFlag (effFlagsNoSoundInStop, state); }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual void* getDirectory();
    virtual bool getEffectName (char* /*name*/) { return false; }
    virtual bool getVendorString (char* /*text*/) { return false; }
    virtual bool getProductString (char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific (VstInt32 /*lArg*/, VstIntPtr /*lArg2*/, void* /*ptrArg*/,
                                      float /*floatArg*/)
    {
        return 0;
    }
    virtual VstInt32 canDo (char* /*text*/) { return 0; }
    virtual VstInt32 getVstVersion() { return kVstVersion; }
    virtual VstPlugCategory getPlugCategory();
    virtual VstInt32 getMidiProgramName (VstInt32 /*channel*/, MidiProgramName* /*name*/) { return 0; }
    virtual VstInt32 getCurrentMidiProgram (VstInt32 /*channel*/, MidiProgramName* /*current*/) { return -1; }
    virtual VstInt32 getMidiProgramCategory (VstInt32 /*channel*/, MidiProgramCategory* /*category*/)
    {
        return 0;
    }
    virtual bool hasMidiProgramsChanged (VstInt32 /*channel*/) { return false; }
    virtual bool getMidiKeyName (VstInt32 /*channel*/, MidiKeyName* /*keyName*/) { return false; }
    virtual bool updateDisplay();
    virtual bool sizeWindow (VstInt32 width, VstInt32 height);
    virtual bool openFileSelector (VstFileSelect* select);
    virtual bool closeFileSelector (VstFileSelect* select);
    virtual VstInt32 getNextShellPlugin (char* /*name*/) { return 0; }

    virtual bool allocateArrangement (VstSpeakerArrangement** arrangement, VstInt32 nbChannels);
    virtual bool deallocateArrangement (VstSpeakerArrangement** arrangement);
    virtual bool copySpeaker (VstSpeakerProperties* to, VstSpeakerProperties* from);
    virtual bool matchArrangement (VstSpeakerArrangement** to, VstSpeakerArrangement* from);

    virtual bool offlineRead (VstOfflineTask* offline, VstInt32 option, bool readSource = true);
    virtual bool offlineWrite (VstOfflineTask* offline, VstInt32 option);
    virtual bool offlineStart (VstAudioFile* ptr, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles);
    virtual VstInt32 offlineGetCurrentPass();
    virtual VstInt32 offlineGetCurrentMetaPass();
    virtual bool offlineNotify (VstAudioFile* /*ptr*/, VstInt32 /*numAudioFiles*/, bool /*start*/)
    {
        return false;
    }
    virtual bool offlinePrepare (VstOfflineTask* /*offline*/, VstInt32 /*count*/) { return false; }
    virtual bool offlineRun (VstOfflineTask* /*offline*/, VstInt32 /*count*/) { return false; }
    virtual VstInt32 offlineGetNumPasses() { return 0; }
    virtual VstInt32 offlineGetNumMetaPasses() { return 0; }

    virtual void __wantEventsDeprecated (VstInt32 filter = 1);
    virtual VstInt32 __tempoAtDeprecated (VstInt32 pos);
    virtual VstInt32 __getNumAutomatableParametersDeprecated();
    virtual VstInt32 __getParameterQuantizationDeprecated();
    virtual VstInt32 __getNumCategoriesDeprecated() { return 1; }
    virtual bool __copyProgramDeprecated (VstInt32 /*destination*/) { return false; }
    virtual bool __needIdleDeprecated();
    virtual AEffect* __getPreviousPlugDeprecated (VstInt32 input);
    virtual AEffect* __getNextPlugDeprecated (VstInt32 output);
    virtual void __inputConnectedDeprecated (VstInt32 /*index*/, bool /*state*/) {}
    virtual void __outputConnectedDeprecated (VstInt32 /*index*/, bool /*state*/) {}
    virtual VstInt32 __willProcessReplacingDeprecated();
    virtual void __wantAsyncOperationDeprecated (bool state = true) { setFlag (effFlagsExtIsAsync, state); }
    virtual void __hasExternalBufferDeprecated (bool state = true) { setFlag (effFlagsExtHasBuffer, state); }
    virtual VstInt32 __reportCurrentPositionDeprecated() { return 0; }
    virtual float* __reportDestinationBufferDeprecated() { return nullptr; }
    virtual void __setOutputSamplerateDeprecated (float samplerate);
    virtual VstSpeakerArrangement* __getInputSpeakerArrangementDeprecated();
    virtual VstSpeakerArrangement* __getOutputSpeakerArrangementDeprecated();
    virtual void* __openWindowDeprecated (VstWindow* window);
    virtual bool __closeWindowDeprecated (VstWindow* window);
    virtual void __setBlockSizeAndSampleRateDeprecated (VstInt32 newBlockSize, float newSampleRate)
    {
        blockSize = newBlockSize;
        sampleRate = newSampleRate;
    }
    virtual bool __getErrorTextDeprecated (char* /*text*/) { return false; }
    virtual void* __getIconDeprecated() { return nullptr; }
    virtual bool __setViewPositionDeprecated (VstInt32 /*x*/, VstInt32 /*y*/) { return false; }
    virtual VstInt32 __fxIdleDeprecated() { return 0; }
    virtual bool __keysRequiredDeprecated() { return false; }
    virtual bool __getChunkFileDeprecated (void* nativePath);

private:
    // One call into the host with the record's address; 0 without a host.
    VstIntPtr callHost (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                        float opt = 0.0f);
};
