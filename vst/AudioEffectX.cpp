#include "vst/AudioEffectX.h"

#include "vst/VstText.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
VstIntPtr fromBool (bool b) noexcept
{
    return b ? 1 : 0;
}

// The modifier byte of a key code travels in the float argument.
unsigned char lowByteOfFloat (float opt) noexcept
{
    // Converting a value outside the integer range (or NaN) would be undefined.
    if (!std::isfinite (opt) || std::fabs (opt) >= 2147483648.0f)
        return 0;
    return static_cast<unsigned char> (static_cast<int> (opt) & 0xff);
}

constexpr int kSpeakerNameChars = kVstMaxNameLen - 1;
} // namespace

AudioEffectX::AudioEffectX (audioMasterCallback audioMasterToUse, VstInt32 numProgramsToUse,
                            VstInt32 numParamsToUse)
    : AudioEffect (audioMasterToUse, numProgramsToUse, numParamsToUse)
{
}

VstIntPtr AudioEffectX::callHost (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (audioMaster == nullptr)
        return 0;
    return audioMaster (&cEffect, opcode, index, value, ptr, opt);
}

//==============================================================================
VstIntPtr AudioEffectX::dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    auto* text = static_cast<char*> (ptr);
    const auto value32 = static_cast<VstInt32> (value);

    switch (opcode)
    {
        case effProcessEvents:
            return ptr != nullptr ? processEvents (static_cast<VstEvents*> (ptr)) : 0;

        case effCanBeAutomated:
            return fromBool (canParameterBeAutomated (index));

        case effString2Parameter:
            return text != nullptr ? fromBool (string2parameter (index, text)) : 0;

        case effGetProgramNameIndexed:
            return text != nullptr ? fromBool (getProgramNameIndexed (value32, index, text)) : 0;

        case effGetInputProperties:
            return ptr != nullptr
                       ? fromBool (getInputProperties (index, static_cast<VstPinProperties*> (ptr)))
                       : 0;

        case effGetOutputProperties:
            return ptr != nullptr
                       ? fromBool (getOutputProperties (index, static_cast<VstPinProperties*> (ptr)))
                       : 0;

        case effGetPlugCategory:
            return static_cast<VstIntPtr> (static_cast<std::uint32_t> (getPlugCategory()));

        case effOfflineNotify:
            return ptr != nullptr
                       ? fromBool (offlineNotify (static_cast<VstAudioFile*> (ptr), value32, index != 0))
                       : 0;

        case effOfflinePrepare:
            return ptr != nullptr ? fromBool (offlinePrepare (static_cast<VstOfflineTask*> (ptr), value32))
                                  : 0;

        case effOfflineRun:
            return ptr != nullptr ? fromBool (offlineRun (static_cast<VstOfflineTask*> (ptr), value32)) : 0;

        case effProcessVarIo:
            return ptr != nullptr ? fromBool (processVariableIo (static_cast<VstVariableIo*> (ptr))) : 0;

        case effSetSpeakerArrangement:
        {
            auto* input = reinterpret_cast<VstSpeakerArrangement*> (value);
            auto* output = static_cast<VstSpeakerArrangement*> (ptr);

            if (input == nullptr || output == nullptr)
                return 0;
            return fromBool (setSpeakerArrangement (input, output));
        }

        case effSetBypass:
            return fromBool (setBypass (value != 0));

        case effGetEffectName:
            return text != nullptr ? fromBool (getEffectName (text)) : 0;

        case effGetVendorString:
            return text != nullptr ? fromBool (getVendorString (text)) : 0;

        case effGetProductString:
            return text != nullptr ? fromBool (getProductString (text)) : 0;

        case effGetVendorVersion:
            return getVendorVersion();

        case effVendorSpecific:
            return vendorSpecific (index, value, ptr, opt);

        case effCanDo:
            return text != nullptr ? canDo (text) : 0;

        case effGetTailSize:
            return getGetTailSize();

        case effGetParameterProperties:
            return ptr != nullptr
                       ? fromBool (getParameterProperties (index, static_cast<VstParameterProperties*> (ptr)))
                       : 0;

        case effGetVstVersion:
            return getVstVersion();

        case effEditKeyDown:
        case effEditKeyUp:
        {
            if (editor == nullptr)
                return 0;

            VstKeyCode keyCode{};
            keyCode.character = index;
            keyCode.virt = static_cast<unsigned char> (value & 0xff);
            keyCode.modifier = lowByteOfFloat (opt);

            return fromBool (opcode == effEditKeyDown ? editor->onKeyDown (keyCode)
                                                      : editor->onKeyUp (keyCode));
        }

        case effSetEditKnobMode:
            return editor != nullptr ? fromBool (editor->setKnobMode (value32)) : 0;

        case effGetMidiProgramName:
            return ptr != nullptr ? getMidiProgramName (index, static_cast<MidiProgramName*> (ptr)) : 0;

        case effGetCurrentMidiProgram:
            return ptr != nullptr ? getCurrentMidiProgram (index, static_cast<MidiProgramName*> (ptr)) : 0;

        case effGetMidiProgramCategory:
            return ptr != nullptr ? getMidiProgramCategory (index, static_cast<MidiProgramCategory*> (ptr))
                                  : 0;

        case effHasMidiProgramsChanged:
            return fromBool (hasMidiProgramsChanged (index));

        case effGetMidiKeyName:
            return ptr != nullptr ? fromBool (getMidiKeyName (index, static_cast<MidiKeyName*> (ptr))) : 0;

        case effBeginSetProgram:
            return fromBool (beginSetProgram());

        case effEndSetProgram:
            return fromBool (endSetProgram());

        case effGetSpeakerArrangement:
        {
            auto** input = reinterpret_cast<VstSpeakerArrangement**> (value);
            auto** output = static_cast<VstSpeakerArrangement**> (ptr);

            if (input == nullptr || output == nullptr)
                return 0;
            return fromBool (getSpeakerArrangement (input, output));
        }

        case effShellGetNextPlugin:
            return text != nullptr ? getNextShellPlugin (text) : 0;

        case effStartProcess:
            return startProcess();

        case effStopProcess:
            return stopProcess();

        case effSetTotalSampleToProcess:
            return setTotalSampleToProcess (value32);

        case effSetPanLaw:
            return fromBool (setPanLaw (value32, opt));

        case effBeginLoadBank:
            return ptr != nullptr ? beginLoadBank (static_cast<VstPatchChunkInfo*> (ptr)) : 0;

        case effBeginLoadProgram:
            return ptr != nullptr ? beginLoadProgram (static_cast<VstPatchChunkInfo*> (ptr)) : 0;

        case effSetProcessPrecision:
            return fromBool (setProcessPrecision (value32));

        case effGetNumMidiInputChannels:
            return getNumMidiInputChannels();

        case effGetNumMidiOutputChannels:
            return getNumMidiOutputChannels();

        default:
            // The basic opcodes, and the deprecated ones of this range, which answer 0.
            return AudioEffect::dispatcher (opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume()
{
    char receiveMidiEvent[] = "receiveVstMidiEvent";

    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo (receiveMidiEvent) == 1)
        __wantEventsDeprecated (1);
}

VstPlugCategory AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

//==============================================================================
bool AudioEffectX::beginEdit (VstInt32 index)
{
    return callHost (audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit (VstInt32 index)
{
    return callHost (audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::ioChanged()
{
    return callHost (audioMasterIOChanged) != 0;
}

double AudioEffectX::updateSampleRate()
{
    if (audioMaster != nullptr)
    {
        const auto answer = callHost (audioMasterGetSampleRate);

        if (answer > 0)
            sampleRate = static_cast<float> (answer);
    }

    return static_cast<double> (sampleRate);
}

VstInt32 AudioEffectX::updateBlockSize()
{
    if (audioMaster != nullptr)
    {
        const auto answer = static_cast<VstInt32> (callHost (audioMasterGetBlockSize));

        if (answer > 0)
            blockSize = answer;
    }

    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency()
{
    return static_cast<VstInt32> (callHost (audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency()
{
    return static_cast<VstInt32> (callHost (audioMasterGetOutputLatency));
}

VstTimeInfo* AudioEffectX::getTimeInfo (VstInt32 filter)
{
    return reinterpret_cast<VstTimeInfo*> (callHost (audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::getCurrentProcessLevel()
{
    return static_cast<VstInt32> (callHost (audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState()
{
    return static_cast<VstInt32> (callHost (audioMasterGetAutomationState));
}

bool AudioEffectX::getHostVendorString (char* text)
{
    return callHost (audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString (char* text)
{
    return callHost (audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion()
{
    return static_cast<VstInt32> (callHost (audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific (VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg, float floatArg)
{
    return callHost (audioMasterVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

VstInt32 AudioEffectX::canHostDo (char* text)
{
    // Any answer but 0 counts as able, a host's -1 included.
    return callHost (audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

VstInt32 AudioEffectX::getHostLanguage()
{
    return static_cast<VstInt32> (callHost (audioMasterGetLanguage));
}

void* AudioEffectX::getDirectory()
{
    return reinterpret_cast<void*> (callHost (audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay()
{
    return callHost (audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow (VstInt32 width, VstInt32 height)
{
    return callHost (audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::openFileSelector (VstFileSelect* select)
{
    return select != nullptr && callHost (audioMasterOpenFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::closeFileSelector (VstFileSelect* select)
{
    return select != nullptr && callHost (audioMasterCloseFileSelector, 0, 0, select) != 0;
}

//==============================================================================
bool AudioEffectX::allocateArrangement (VstSpeakerArrangement** arrangement, VstInt32 nbChannels)
{
    if (arrangement == nullptr)
        return false;

    if (*arrangement != nullptr)
    {
        std::free (*arrangement);
        *arrangement = nullptr;
    }

    if (nbChannels < 0 || nbChannels > kMaxArrangementChannels)
        return false;

    const auto size = vstSpeakerArrangementSize (static_cast<std::size_t> (nbChannels));
    auto* block = static_cast<VstSpeakerArrangement*> (std::calloc (1, size));

    if (block == nullptr)
        return false;

    block->numChannels = nbChannels;
    *arrangement = block;
    return true;
}

bool AudioEffectX::deallocateArrangement (VstSpeakerArrangement** arrangement)
{
    if (arrangement != nullptr && *arrangement != nullptr)
    {
        std::free (*arrangement);
        *arrangement = nullptr;
    }

    return true;
}

bool AudioEffectX::copySpeaker (VstSpeakerProperties* to, VstSpeakerProperties* from)
{
    if (to == nullptr || from == nullptr)
        return false;

    vstCopyText (to->name, from->name, kSpeakerNameChars);
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy (to->future, from->future, sizeof (to->future));
    return true;
}

bool AudioEffectX::matchArrangement (VstSpeakerArrangement** to, VstSpeakerArrangement* from)
{
    if (from == nullptr || to == nullptr)
        return false;

    if (!deallocateArrangement (to) || !allocateArrangement (to, from->numChannels))
        return false;

    (*to)->type = from->type;

    for (VstInt32 channel = 0; channel < (*to)->numChannels; ++channel)
        if (!copySpeaker (speakerOf (*to, channel), speakerOf (from, channel)))
            return false;

    return true;
}

//==============================================================================
bool AudioEffectX::offlineRead (VstOfflineTask* offline, VstInt32 option, bool readSource)
{
    return callHost (audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite (VstOfflineTask* offline, VstInt32 option)
{
    return callHost (audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool AudioEffectX::offlineStart (VstAudioFile* ptr, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles)
{
    return callHost (audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, ptr) != 0;
}

VstInt32 AudioEffectX::offlineGetCurrentPass()
{
    return callHost (audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0;
}

VstInt32 AudioEffectX::offlineGetCurrentMetaPass()
{
    return callHost (audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

//==============================================================================
void AudioEffectX::__wantEventsDeprecated (VstInt32 filter)
{
    callHost (audioMasterWantMidi, 0, filter);
}

VstInt32 AudioEffectX::__tempoAtDeprecated (VstInt32 pos)
{
    return static_cast<VstInt32> (callHost (audioMasterTempoAt, 0, pos));
}

VstInt32 AudioEffectX::__getNumAutomatableParametersDeprecated()
{
    return static_cast<VstInt32> (callHost (audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::__getParameterQuantizationDeprecated()
{
    return static_cast<VstInt32> (callHost (audioMasterGetParameterQuantization));
}

bool AudioEffectX::__needIdleDeprecated()
{
    return callHost (audioMasterNeedIdle) != 0;
}

AEffect* AudioEffectX::__getPreviousPlugDeprecated (VstInt32 /*input*/)
{
    return reinterpret_cast<AEffect*> (callHost (audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::__getNextPlugDeprecated (VstInt32 /*output*/)
{
    return reinterpret_cast<AEffect*> (callHost (audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::__willProcessReplacingDeprecated()
{
    return static_cast<VstInt32> (callHost (audioMasterWillReplaceOrAccumulate));
}

void AudioEffectX::__setOutputSamplerateDeprecated (float samplerate)
{
    callHost (audioMasterSetOutputSampleRate, 0, 0, nullptr, samplerate);
}

VstSpeakerArrangement* AudioEffectX::__getInputSpeakerArrangementDeprecated()
{
    return reinterpret_cast<VstSpeakerArrangement*> (callHost (audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::__getOutputSpeakerArrangementDeprecated()
{
    return reinterpret_cast<VstSpeakerArrangement*> (callHost (audioMasterGetOutputSpeakerArrangement));
}

void* AudioEffectX::__openWindowDeprecated (VstWindow* window)
{
    return reinterpret_cast<void*> (callHost (audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::__closeWindowDeprecated (VstWindow* window)
{
    return callHost (audioMasterCloseWindow, 0, 0, window) != 0;
}

bool AudioEffectX::__getChunkFileDeprecated (void* nativePath)
{
    return nativePath != nullptr && callHost (audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}
