// Base class of the VST 2.4 plug-in side: owns the effect record handed to the
// host, turns the host's dispatcher opcodes 0..24 into virtual operations with
// defaults, wraps the host callbacks of the basic interface and offers the
// value-to-text conversions.
//
// Threads: the record is written by the constructors and then only read by the
// host. The host may call the dispatcher, the parameter entries and the process
// entries from different threads; the operations behind them decide their own
// protection (this class takes no lock).

#pragma once

#include "vst/AEffEditor.h"
#include "vst/AEffect.h"

class AudioEffect
{
public:
    AudioEffect (audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    AudioEffect (const AudioEffect&) = delete;
    AudioEffect& operator= (const AudioEffect&) = delete;

    virtual VstIntPtr dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setSampleRate (float newSampleRate) { sampleRate = newSampleRate; }
    virtual void setBlockSize (VstInt32 newBlockSize) { blockSize = newBlockSize; }

    // Audio thread. inputs and outputs hold one pointer per channel of the record.
    virtual void processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing (double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/)
    {
    }

    // Normalised parameter values [0..1].
    virtual void setParameter (VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter (VstInt32 /*index*/) { return 0.0f; }
    virtual void setParameterAutomated (VstInt32 index, float value);

    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram (VstInt32 program) { curProgram = program; }
    virtual void setProgramName (char* /*name*/) {}
    virtual void getProgramName (char* name) { name[0] = 0; }

    // The text buffers below are never null when the dispatcher calls them.
    virtual void getParameterLabel (VstInt32 /*index*/, char* label) { label[0] = 0; }
    virtual void getParameterDisplay (VstInt32 /*index*/, char* text) { text[0] = 0; }
    virtual void getParameterName (VstInt32 /*index*/, char* text) { text[0] = 0; }

    // isPreset: true for one program, false for the whole bank. The data that
    // getChunk hands out stays owned by the plug-in.
    virtual VstInt32 getChunk (void** /*data*/, bool /*isPreset*/ = false) { return 0; }
    virtual VstInt32 setChunk (void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/ = false) { return 0; }

    virtual void setUniqueID (VstInt32 iD) { cEffect.uniqueID = iD; }
    virtual void setNumInputs (VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs (VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing (bool state = true) { setFlag (effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing (bool state = true) { setFlag (effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks (bool state = true) { setFlag (effFlagsProgramChunks, state); }
    virtual void setInitialDelay (VstInt32 delay) { cEffect.initialDelay = delay; }

    virtual AEffEditor* getEditor() { return editor; }
    virtual AEffect* getAeffect() { return &cEffect; }
    virtual float getSampleRate() { return sampleRate; }
    virtual VstInt32 getBlockSize() { return blockSize; }

    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();

    // Value-to-text conversions. text must hold maxLen + 1 bytes; nothing is
    // written past text[maxLen], whatever text held before. A null text or a
    // negative maxLen writes nothing.
    virtual void dB2string (float value, char* text, VstInt32 maxLen);
    virtual void Hz2string (float samples, char* text, VstInt32 maxLen);
    virtual void ms2string (float samples, char* text, VstInt32 maxLen);
    virtual void float2string (float value, char* text, VstInt32 maxLen);
    virtual void int2string (VstInt32 value, char* text, VstInt32 maxLen);

    virtual void __processDeprecated (float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual float __getVuDeprecated() { return 0.0f; }
    virtual void __hasVuDeprecated (bool state = true) { setFlag (effFlagsHasVu, state); }
    virtual void __hasClipDeprecated (bool state = true) { setFlag (effFlagsHasClip, state); }
    virtual void __canMonoDeprecated (bool state = true) { setFlag (effFlagsCanMono, state); }
    virtual void __setRealtimeQualitiesDeprecated (VstInt32 qualities) { cEffect.realQualities = qualities; }
    virtual void __setOfflineQualitiesDeprecated (VstInt32 qualities) { cEffect.offQualities = qualities; }
    virtual bool __isInputConnectedDeprecated (VstInt32 input);
    virtual bool __isOutputConnectedDeprecated (VstInt32 output);

    // Class callbacks placed in the record: the host calls them with the record's
    // address, and each forwards to the object behind it. No exception leaves them.
    static VstIntPtr dispatchEffectClass (AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt) noexcept;
    static float getParameterClass (AEffect* e, VstInt32 index) noexcept;
    static void setParameterClass (AEffect* e, VstInt32 index, float value) noexcept;
    static void __processClassDeprecated (AEffect* e, float** inputs, float** outputs,
                                          VstInt32 sampleFrames) noexcept;
    static void processClassReplacing (AEffect* e, float** inputs, float** outputs,
                                       VstInt32 sampleFrames) noexcept;
    static void processClassDoubleReplacing (AEffect* e, double** inputs, double** outputs,
                                             VstInt32 sampleFrames) noexcept;

protected:
    void setFlag (VstInt32 flag, bool state) noexcept;

    audioMasterCallback audioMaster = nullptr; // null: no host, host calls answer their defaults
    AEffEditor* editor = nullptr;              // owned; deleted by the destructor
    float sampleRate = 44100.0f;               // [Hz]
    VstInt32 blockSize = 1024;                 // largest block the host announced [samples]
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};
