// The VST 2.4 effect record and every type, constant and opcode that the plug-in
// base classes, the plug-in wrapper and the project's test host exchange.
//
// A host reads the record field by field, so its layout is fixed for x86-64
// (little-endian, 8-byte pointers); the static checks at the end hold every
// offset. Records that only travel as opaque pointers through the base classes
// are declared but not defined.

#pragma once

#include <cstddef>
#include <cstdint>

using VstInt32 = std::int32_t;
using VstInt16 = std::int16_t;
using VstIntPtr = std::intptr_t;

struct AEffect;

// Host callback: (record, opcode, index, value, ptr, opt) -> pointer-sized answer.
using audioMasterCallback = VstIntPtr (*) (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt);

// Entries of the record through which the host reaches the plug-in.
using AEffectDispatcherProc = VstIntPtr (*) (AEffect* effect, VstInt32 opcode, VstInt32 index,
                                             VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void (*) (AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void (*) (AEffect* effect, double** inputs, double** outputs,
                                           VstInt32 sampleFrames);
using AEffectSetParameterProc = void (*) (AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float (*) (AEffect* effect, VstInt32 index);

// "VstP" as a big-endian four-character constant.
constexpr VstInt32 kEffectMagic = 0x56737450;

struct AEffect
{
    VstInt32 magic;                                  // kEffectMagic
    AEffectDispatcherProc dispatcher;                // host -> plug-in opcodes
    AEffectProcessProc process;                      // accumulating process (deprecated)
    AEffectSetParameterProc setParameter;            // parameter write [0..1]
    AEffectGetParameterProc getParameter;            // parameter read [0..1]
    VstInt32 numPrograms;                            //
    VstInt32 numParams;                              //
    VstInt32 numInputs;                              // audio inputs
    VstInt32 numOutputs;                             // audio outputs
    VstInt32 flags;                                  // VstAEffectFlags
    VstIntPtr resvd1;                                // reserved for the host
    VstIntPtr resvd2;                                // reserved for the host
    VstInt32 initialDelay;                           // latency [samples]
    VstInt32 realQualities;                          // deprecated
    VstInt32 offQualities;                           // deprecated
    float ioRatio;                                   // deprecated
    void* object;                                    // the plug-in object behind the record
    void* user;                                      // free for the host
    VstInt32 uniqueID;                               // plug-in identifier
    VstInt32 version;                                // plug-in version
    AEffectProcessProc processReplacing;             // single-precision process
    AEffectProcessDoubleProc processDoubleReplacing; // double-precision process
    char future[56];                                 // reserved, zero
};

enum VstAEffectFlags : VstInt32
{
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1, // deprecated
    effFlagsHasVu = 1 << 2,   // deprecated
    effFlagsCanMono = 1 << 3, // deprecated
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,   // deprecated
    effFlagsExtHasBuffer = 1 << 11, // deprecated
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Host -> plug-in dispatcher opcodes.
enum AEffectOpcodes : VstInt32
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effGetVu = 9, // deprecated
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditDraw = 16,  // deprecated
    effEditMouse = 17, // deprecated
    effEditKey = 18,   // deprecated
    effEditIdle = 19,
    effEditTop = 20,   // deprecated
    effEditSleep = 21, // deprecated
    effIdentify = 22,  // deprecated
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetNumProgramCategories = 28, // deprecated
    effGetProgramNameIndexed = 29,
    effCopyProgram = 30,   // deprecated
    effConnectInput = 31,  // deprecated
    effConnectOutput = 32, // deprecated
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effGetCurrentPosition = 36,   // deprecated
    effGetDestinationBuffer = 37, // deprecated
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBlockSizeAndSampleRate = 43, // deprecated
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetErrorText = 46, // deprecated
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,            // deprecated
    effGetIcon = 54,         // deprecated
    effSetViewPosition = 55, // deprecated
    effGetParameterProperties = 56,
    effKeysRequired = 57, // deprecated
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// Plug-in -> host callback opcodes.
enum AudioMasterOpcodes : VstInt32
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4, // deprecated
    audioMasterWantMidi = 6,     // deprecated
    audioMasterGetTime = 7,
    audioMasterTempoAt = 10,                     // deprecated
    audioMasterGetNumAutomatableParameters = 11, // deprecated
    audioMasterGetParameterQuantization = 12,    // deprecated
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14, // deprecated
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,         // deprecated
    audioMasterGetNextPlug = 21,             // deprecated
    audioMasterWillReplaceOrAccumulate = 22, // deprecated
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,         // deprecated
    audioMasterGetOutputSpeakerArrangement = 31, // deprecated
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,  // deprecated
    audioMasterCloseWindow = 40, // deprecated
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
    audioMasterGetChunkFile = 48,               // deprecated
    audioMasterGetInputSpeakerArrangement = 49, // deprecated
};

// Answer of effIdentify (deprecated): "NvEf".
constexpr VstInt32 kEffectIdentify = 0x4E764566;

// Version of the interface that this base speaks.
constexpr VstInt32 kVstVersion = 2400;

// Text sizes that hosts provide (bytes, terminating zero included where a
// host's buffer is meant; the texts themselves may use one byte less).
constexpr int kVstMaxProgNameLen = 24;
constexpr int kVstMaxParamStrLen = 8;
constexpr int kVstMaxVendorStrLen = 64;
constexpr int kVstMaxProductStrLen = 64;
constexpr int kVstMaxEffectNameLen = 32;
constexpr int kVstMaxLabelLen = 64;
constexpr int kVstMaxShortLabelLen = 8;
constexpr int kVstMaxNameLen = 64;

// Answers of effGetPlugCategory.
enum VstPlugCategory : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

// Answers of audioMasterGetCurrentProcessLevel.
enum VstProcessLevels : VstInt32
{
    kVstProcessLevelUnknown = 0,
    kVstProcessLevelUser = 1,
    kVstProcessLevelRealtime = 2,
    kVstProcessLevelPrefetch = 3,
    kVstProcessLevelOffline = 4,
};

// Transport and position information that the host returns for audioMasterGetTime.
// Which fields are valid is told by flags; the same bits in the request's value
// say which fields the plug-in wants.
struct VstTimeInfo
{
    double samplePos;          // position of the block's first sample [samples]
    double sampleRate;         // [Hz]
    double nanoSeconds;        // system time [ns]
    double ppqPos;             // musical position [quarter notes]
    double tempo;              // [BPM]
    double barStartPos;        // start of the last bar [quarter notes]
    double cycleStartPos;      // loop start [quarter notes]
    double cycleEndPos;        // loop end [quarter notes]
    VstInt32 timeSigNumerator; //
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags; // VstTimeInfoFlags
};

enum VstTimeInfoFlags : VstInt32
{
    kVstTransportChanged = 1 << 0,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

// Properties of one input or output pin (effGetInputProperties, effGetOutputProperties).
struct VstPinProperties
{
    char label[kVstMaxLabelLen];           // zero-terminated pin name
    VstInt32 flags;                        // VstPinPropertiesFlags
    VstInt32 arrangementType;              // VstSpeakerArrangementType
    char shortLabel[kVstMaxShortLabelLen]; // zero-terminated short name
    char future[48];
};

enum VstPinPropertiesFlags : VstInt32
{
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1, // first pin of a stereo pair
    kVstPinUseSpeaker = 1 << 2,
};

// One speaker of an arrangement.
struct VstSpeakerProperties
{
    float azimuth;   // [rad]
    float elevation; // [rad]
    float radius;    // [m]
    float reserved;
    char name[kVstMaxNameLen]; // zero-terminated
    VstInt32 type;             // VstSpeakerType
    char future[28];
};

// A speaker arrangement: this header, then numChannels VstSpeakerProperties
// records from offset 8. The records are reached through speakerOf(), which
// works for any channel count the block was allocated for.
struct VstSpeakerArrangement
{
    VstInt32 type;        // VstSpeakerArrangementType
    VstInt32 numChannels; // speaker records that follow
};

constexpr std::size_t kVstSpeakerArrangementHeaderSize = 8;

inline VstSpeakerProperties* speakerOf (VstSpeakerArrangement* arrangement, int channel) noexcept
{
    auto* bytes = reinterpret_cast<unsigned char*> (arrangement) + kVstSpeakerArrangementHeaderSize;
    return reinterpret_cast<VstSpeakerProperties*> (bytes) + channel;
}

inline const VstSpeakerProperties* speakerOf (const VstSpeakerArrangement* arrangement, int channel) noexcept
{
    auto* bytes = reinterpret_cast<const unsigned char*> (arrangement) + kVstSpeakerArrangementHeaderSize;
    return reinterpret_cast<const VstSpeakerProperties*> (bytes) + channel;
}

// Bytes taken by an arrangement of the given channel count.
constexpr std::size_t vstSpeakerArrangementSize (std::size_t numChannels) noexcept
{
    return kVstSpeakerArrangementHeaderSize + numChannels * sizeof (VstSpeakerProperties);
}

enum VstSpeakerArrangementType : VstInt32
{
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

enum VstSpeakerType : VstInt32
{
    kSpeakerM = 0,
    kSpeakerL = 1,
    kSpeakerR = 2,
};

// Key code record handed to an editor (effEditKeyDown, effEditKeyUp).
struct VstKeyCode
{
    VstInt32 character;
    unsigned char virt;     // virtual key code
    unsigned char modifier; // modifier bits
};

// Editor rectangle [pixels] (effEditGetRect hands out a pointer to one).
struct ERect
{
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

// Records that the base classes only pass through as pointers.
struct VstEvents;
struct VstParameterProperties;
struct VstVariableIo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstFileSelect;
struct VstPatchChunkInfo;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
struct VstWindow;

// Layout checks: a host reads these records by offset.
static_assert (sizeof (void*) == 8, "the record layout is that of a 64-bit platform");
static_assert (offsetof (AEffect, magic) == 0);
static_assert (offsetof (AEffect, dispatcher) == 8);
static_assert (offsetof (AEffect, process) == 16);
static_assert (offsetof (AEffect, setParameter) == 24);
static_assert (offsetof (AEffect, getParameter) == 32);
static_assert (offsetof (AEffect, numPrograms) == 40);
static_assert (offsetof (AEffect, numParams) == 44);
static_assert (offsetof (AEffect, numInputs) == 48);
static_assert (offsetof (AEffect, numOutputs) == 52);
static_assert (offsetof (AEffect, flags) == 56);
static_assert (offsetof (AEffect, resvd1) == 64);
static_assert (offsetof (AEffect, resvd2) == 72);
static_assert (offsetof (AEffect, initialDelay) == 80);
static_assert (offsetof (AEffect, realQualities) == 84);
static_assert (offsetof (AEffect, offQualities) == 88);
static_assert (offsetof (AEffect, ioRatio) == 92);
static_assert (offsetof (AEffect, object) == 96);
static_assert (offsetof (AEffect, user) == 104);
static_assert (offsetof (AEffect, uniqueID) == 112);
static_assert (offsetof (AEffect, version) == 116);
static_assert (offsetof (AEffect, processReplacing) == 120);
static_assert (offsetof (AEffect, processDoubleReplacing) == 128);
static_assert (offsetof (AEffect, future) == 136);
static_assert (sizeof (AEffect) == 192);

static_assert (offsetof (VstTimeInfo, samplePos) == 0);
static_assert (offsetof (VstTimeInfo, sampleRate) == 8);
static_assert (offsetof (VstTimeInfo, nanoSeconds) == 16);
static_assert (offsetof (VstTimeInfo, ppqPos) == 24);
static_assert (offsetof (VstTimeInfo, tempo) == 32);
static_assert (offsetof (VstTimeInfo, barStartPos) == 40);
static_assert (offsetof (VstTimeInfo, cycleStartPos) == 48);
static_assert (offsetof (VstTimeInfo, cycleEndPos) == 56);
static_assert (offsetof (VstTimeInfo, timeSigNumerator) == 64);
static_assert (offsetof (VstTimeInfo, timeSigDenominator) == 68);
static_assert (offsetof (VstTimeInfo, smpteOffset) == 72);
static_assert (offsetof (VstTimeInfo, smpteFrameRate) == 76);
static_assert (offsetof (VstTimeInfo, samplesToNextClock) == 80);
static_assert (offsetof (VstTimeInfo, flags) == 84);
static_assert (sizeof (VstTimeInfo) == 88);

static_assert (offsetof (VstPinProperties, label) == 0);
static_assert (offsetof (VstPinProperties, flags) == 64);
static_assert (offsetof (VstPinProperties, arrangementType) == 68);
static_assert (offsetof (VstPinProperties, shortLabel) == 72);
static_assert (offsetof (VstPinProperties, future) == 80);
static_assert (sizeof (VstPinProperties) == 128);

static_assert (offsetof (VstSpeakerProperties, azimuth) == 0);
static_assert (offsetof (VstSpeakerProperties, elevation) == 4);
static_assert (offsetof (VstSpeakerProperties, radius) == 8);
static_assert (offsetof (VstSpeakerProperties, reserved) == 12);
static_assert (offsetof (VstSpeakerProperties, name) == 16);
static_assert (offsetof (VstSpeakerProperties, type) == 80);
static_assert (offsetof (VstSpeakerProperties, future) == 84);
static_assert (sizeof (VstSpeakerProperties) == 112);

static_assert (offsetof (VstSpeakerArrangement, type) == 0);
static_assert (offsetof (VstSpeakerArrangement, numChannels) == 4);
static_assert (sizeof (VstSpeakerArrangement) == kVstSpeakerArrangementHeaderSize);
static_assert (vstSpeakerArrangementSize (2) == 232);

static_assert (offsetof (VstKeyCode, character) == 0);
static_assert (offsetof (VstKeyCode, virt) == 4);
static_assert (offsetof (VstKeyCode, modifier) == 5);

static_assert (sizeof (ERect) == 8);
