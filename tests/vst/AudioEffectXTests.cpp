// The extended dispatcher opcodes, the host callback wrappers with and without a
// host, and the speaker arrangement utilities of AudioEffectX.

#include "RecordingHost.h"
#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace
{
class ProbeEffectX : public AudioEffectX
{
public:
    explicit ProbeEffectX (audioMasterCallback host = nullptr)
        : AudioEffectX (host, 1, 350)
    {
    }

    void processReplacing (float**, float**, VstInt32) override {}

    void note (const std::string& call) { log.push_back (call); }

    VstInt32 processEvents (VstEvents*) override { return note ("processEvents"), -2; }
    bool canParameterBeAutomated (VstInt32 index) override { return note ("canBeAutomated"), index != 3; }
    bool string2parameter (VstInt32, char*) override { return note ("string2parameter"), true; }
    bool getProgramNameIndexed (VstInt32 category, VstInt32 index, char*) override
    {
        note ("getProgramNameIndexed " + std::to_string (category) + " " + std::to_string (index));
        return true;
    }
    bool getInputProperties (VstInt32 index, VstPinProperties*) override
    {
        return note ("getInputProperties " + std::to_string (index)), true;
    }
    bool getOutputProperties (VstInt32 index, VstPinProperties*) override
    {
        return note ("getOutputProperties " + std::to_string (index)), false;
    }
    bool offlineNotify (VstAudioFile*, VstInt32 count, bool start) override
    {
        return note ("offlineNotify " + std::to_string (count) + (start ? " start" : "")), true;
    }
    bool setSpeakerArrangement (VstSpeakerArrangement*, VstSpeakerArrangement*) override
    {
        return note ("setSpeakerArrangement"), true;
    }
    bool setBypass (bool onOff) override { return note (onOff ? "setBypass on" : "setBypass off"), onOff; }
    bool getEffectName (char* name) override { return note ("getEffectName"), std::strcpy (name, "E"), true; }
    VstInt32 getVendorVersion() override { return note ("getVendorVersion"), -7; }
    VstIntPtr vendorSpecific (VstInt32, VstIntPtr value, void*, float) override
    {
        return note ("vendorSpecific"), value;
    }
    VstInt32 canDo (char* text) override
    {
        note (std::string ("canDo ") + text);
        return std::strcmp (text, "receiveVstMidiEvent") == 0 ? midiAnswer : 0;
    }
    VstInt32 setTotalSampleToProcess (VstInt32 value) override
    {
        note ("setTotalSampleToProcess");
        return AudioEffectX::setTotalSampleToProcess (value);
    }
    bool setPanLaw (VstInt32 type, float) override
    {
        return note ("setPanLaw " + std::to_string (type)), true;
    }
    bool setProcessPrecision (VstInt32 precision) override
    {
        return note ("setProcessPrecision " + std::to_string (precision)), false;
    }

    void attachEditor (AEffEditor* newEditor) { editor = newEditor; }

    std::vector<std::string> log;
    VstInt32 midiAnswer = -1;
};

class KeyEditor : public AEffEditor
{
public:
    bool onKeyDown (VstKeyCode& key) override { return last = key, true; }
    bool onKeyUp (VstKeyCode& key) override { return last = key, false; }
    bool setKnobMode (VstInt32 mode) override { return knobMode = mode, true; }

    VstKeyCode last{};
    VstInt32 knobMode = -1;
};
} // namespace

TEST (AudioEffectXDispatcher, ExtendedOpcodesReachTheirOperations)
{
    struct Case
    {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        VstIntPtr result;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {effProcessEvents, 0, 0, -2, {"processEvents"}}, // 32-bit result sign-extended
        {effCanBeAutomated, 2, 0, 1, {"canBeAutomated"}},
        {effCanBeAutomated, 3, 0, 0, {"canBeAutomated"}},
        {effString2Parameter, 0, 0, 1, {"string2parameter"}},
        {effGetProgramNameIndexed, 4, (VstIntPtr (1) << 32) + 5, 1, {"getProgramNameIndexed 5 4"}},
        {effGetInputProperties, 1, 0, 1, {"getInputProperties 1"}},
        {effGetOutputProperties, 0, 0, 0, {"getOutputProperties 0"}},
        {effOfflineNotify, 1, 3, 1, {"offlineNotify 3 start"}},
        {effSetBypass, 0, 2, 1, {"setBypass on"}},
        {effSetBypass, 0, 0, 0, {"setBypass off"}},
        {effSetBypass, 0, VstIntPtr (1) << 40, 1, {"setBypass on"}}, // all 64 bits tested
        {effGetEffectName, 0, 0, 1, {"getEffectName"}},
        {effGetVendorVersion, 0, 0, -7, {"getVendorVersion"}},
        {effVendorSpecific, 0, VstIntPtr (1) << 40, VstIntPtr (1) << 40, {"vendorSpecific"}},
        {effCanDo, 0, 0, 0, {"canDo text"}},
        {effGetVstVersion, 0, 0, 2400, {}},
        {effGetPlugCategory, 0, 0, 0, {}},
        {effGetCurrentMidiProgram, 0, 0, -1, {}},
        {effGetTailSize, 0, 0, 0, {}},
        {effSetTotalSampleToProcess, 0, (VstIntPtr (1) << 32) + 99, 99, {"setTotalSampleToProcess"}},
        {effSetPanLaw, 0, 2, 1, {"setPanLaw 2"}},
        {effSetProcessPrecision, 0, 1, 0, {"setProcessPrecision 1"}},
        {effEditKeyDown, 65, 0, 0, {}}, // no editor
        {effEditKeyUp, 65, 0, 0, {}},
        {effSetEditKnobMode, 0, 2, 0, {}},
        // Deprecated opcodes of the range answer 0 and call nothing.
        {effGetNumProgramCategories, 0, 0, 0, {}},
        {effCopyProgram, 0, 0, 0, {}},
        {effConnectInput, 0, 0, 0, {}},
        {effConnectOutput, 0, 0, 0, {}},
        {effGetCurrentPosition, 0, 0, 0, {}},
        {effGetDestinationBuffer, 0, 0, 0, {}},
        {effSetBlockSizeAndSampleRate, 0, 0, 0, {}},
        {effGetErrorText, 0, 0, 0, {}},
        {effIdle, 0, 0, 0, {}},
        {effGetIcon, 0, 0, 0, {}},
        {effSetViewPosition, 0, 0, 0, {}},
        {effKeysRequired, 0, 0, 0, {}},
        // Basic opcodes still reach the base.
        {effIdentify, 0, 0, 0x4E764566, {}},
        {80, 0, 0, 0, {}},
    };

    for (const auto& c : cases)
    {
        ProbeEffectX effect;
        char text[64] = "text";
        EXPECT_EQ (effect.dispatcher (c.opcode, c.index, c.value, text, 0.0f), c.result)
            << "opcode " << c.opcode;
        EXPECT_EQ (effect.log, c.log) << "opcode " << c.opcode;
    }
}

TEST (AudioEffectXDispatcher, CategoryFollowsTheSynthFlagAndIsZeroExtended)
{
    ProbeEffectX effect;
    EXPECT_EQ (effect.dispatcher (effGetPlugCategory, 0, 0, nullptr, 0.0f), 0);
    effect.isSynth (true);
    EXPECT_EQ (effect.getAeffect()->flags & effFlagsIsSynth, effFlagsIsSynth);
    EXPECT_EQ (effect.dispatcher (effGetPlugCategory, 0, 0, nullptr, 0.0f), 2);

    struct NegativeCategory : ProbeEffectX
    {
        VstPlugCategory getPlugCategory() override { return static_cast<VstPlugCategory> (-1); }
    } negative;
    EXPECT_EQ (negative.dispatcher (effGetPlugCategory, 0, 0, nullptr, 0.0f), VstIntPtr (0xffffffff));
}

TEST (AudioEffectXDispatcher, NullPointersFromTheHostAnswerZeroAndCallNothing)
{
    ProbeEffectX effect;
    for (VstInt32 opcode : {effProcessEvents,          effString2Parameter,
                            effGetProgramNameIndexed,  effGetInputProperties,
                            effGetOutputProperties,    effOfflineNotify,
                            effOfflinePrepare,         effOfflineRun,
                            effProcessVarIo,           effSetSpeakerArrangement,
                            effGetEffectName,          effGetVendorString,
                            effGetProductString,       effCanDo,
                            effGetParameterProperties, effGetMidiProgramName,
                            effGetCurrentMidiProgram,  effGetMidiProgramCategory,
                            effGetMidiKeyName,         effGetSpeakerArrangement,
                            effShellGetNextPlugin,     effBeginLoadBank,
                            effBeginLoadProgram})
        EXPECT_EQ (effect.dispatcher (opcode, 0, 0, nullptr, 0.0f), 0) << "opcode " << opcode;

    // The arrangement opcodes carry a second pointer in value.
    VstSpeakerArrangement arrangement{};
    EXPECT_EQ (effect.dispatcher (effSetSpeakerArrangement, 0, 0, &arrangement, 0.0f), 0);
    VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ (effect.dispatcher (effGetSpeakerArrangement, 0, 0, &out, 0.0f), 0);

    EXPECT_TRUE (effect.log.empty()) << effect.log.front();
}

TEST (AudioEffectXDispatcher, KeyAndKnobOpcodesReachAnAttachedEditor)
{
    ProbeEffectX effect;
    auto* editor = new KeyEditor();
    effect.attachEditor (editor);

    EXPECT_EQ (effect.dispatcher (effEditKeyDown, 'a', 0x1ff, nullptr, 772.0f), 1); // 0x304
    EXPECT_EQ (editor->last.character, 'a');
    EXPECT_EQ (editor->last.virt, 0xff);
    EXPECT_EQ (editor->last.modifier, 0x04);

    // A modifier that is no number gives no modifier bits rather than undefined behaviour.
    EXPECT_EQ (effect.dispatcher (effEditKeyUp, 'b', 3, nullptr, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ (editor->last.character, 'b');
    EXPECT_EQ (editor->last.modifier, 0);
    EXPECT_EQ (effect.dispatcher (effEditKeyUp, 'c', 3, nullptr, 1.0e20f), 0);
    EXPECT_EQ (editor->last.modifier, 0);

    EXPECT_EQ (effect.dispatcher (effSetEditKnobMode, 0, (VstIntPtr (1) << 32) + 2, nullptr, 0.0f), 1);
    EXPECT_EQ (editor->knobMode, 2);
}

TEST (AudioEffectXDispatcher, ResumeAsksForEventsOnlyForSynthsAndMidiReceivers)
{
    RecordingHost host;
    ProbeEffectX effect (RecordingHost::callback);

    effect.resume(); // answers -1 to "receiveVstMidiEvent"
    EXPECT_TRUE (host.calls.empty());

    effect.midiAnswer = 1;
    effect.resume();
    ASSERT_EQ (host.calls.size(), 1u);
    EXPECT_EQ (host.calls[0].opcode, audioMasterWantMidi);
    EXPECT_EQ (host.calls[0].value, 1);

    effect.midiAnswer = 0;
    effect.isSynth (true);
    effect.resume();
    EXPECT_EQ (host.calls.size(), 2u);
}

//==============================================================================
namespace
{
// One host wrapper: how to call it, what the host must see, and how the answer
// comes back.
struct WrapperCase
{
    const char* name;
    std::function<VstIntPtr (AudioEffectX&, void* arg)> call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    bool passesArg; // ptr is the test's argument
    float opt;
    VstIntPtr hostAnswer;
    VstIntPtr expected;            // result with that answer
    VstIntPtr expectedWithoutHost; // result without a host
};

VstIntPtr fromPointer (const void* p)
{
    return reinterpret_cast<VstIntPtr> (p);
}

const VstIntPtr kHigh = VstIntPtr (1) << 32; // a bit that 32-bit answers drop

std::vector<WrapperCase> wrapperCases()
{
    using E = AudioEffectX;
    return {
        {"beginEdit", [] (E& e, void*) { return VstIntPtr (e.beginEdit (12)); }, 43, 12, 0, false, 0, kHigh,
         1, 0},
        {"endEdit", [] (E& e, void*) { return VstIntPtr (e.endEdit (13)); }, 44, 13, 0, false, 0, 1, 1, 0},
        {"ioChanged", [] (E& e, void*) { return VstIntPtr (e.ioChanged()); }, 13, 0, 0, false, 0, 1, 1, 0},
        {"getInputLatency", [] (E& e, void*) { return VstIntPtr (e.getInputLatency()); }, 18, 0, 0, false, 0,
         kHigh + 64, 64, 0},
        {"getOutputLatency", [] (E& e, void*) { return VstIntPtr (e.getOutputLatency()); }, 19, 0, 0, false,
         0, -1, -1, 0},
        {"getTimeInfo", [] (E& e, void*) { return fromPointer (e.getTimeInfo (-0x200)); }, 7, 0, -0x200,
         false, 0, 0x1234560, 0x1234560, 0},
        {"getCurrentProcessLevel", [] (E& e, void*) { return VstIntPtr (e.getCurrentProcessLevel()); }, 23, 0,
         0, false, 0, 4, 4, 0},
        {"getAutomationState", [] (E& e, void*) { return VstIntPtr (e.getAutomationState()); }, 24, 0, 0,
         false, 0, 2, 2, 0},
        {"getHostVendorString", [] (E& e, void* a) { return VstIntPtr (e.getHostVendorString ((char*)a)); },
         32, 0, 0, true, 0, kHigh, 1, 0},
        {"getHostProductString", [] (E& e, void* a) { return VstIntPtr (e.getHostProductString ((char*)a)); },
         33, 0, 0, true, 0, 1, 1, 0},
        {"getHostVendorVersion", [] (E& e, void*) { return VstIntPtr (e.getHostVendorVersion()); }, 34, 0, 0,
         false, 0, 1000, 1000, 0},
        {"hostVendorSpecific", [] (E& e, void* a) { return e.hostVendorSpecific (5, kHigh + 6, a, 0.5f); },
         35, 5, kHigh + 6, true, 0.5f, kHigh + 9, kHigh + 9, 0},
        {"canHostDo", [] (E& e, void* a) { return VstIntPtr (e.canHostDo ((char*)a)); }, 37, 0, 0, true, 0,
         -1, 1, 0},
        {"getHostLanguage", [] (E& e, void*) { return VstIntPtr (e.getHostLanguage()); }, 38, 0, 0, false, 0,
         2, 2, 0},
        {"getDirectory", [] (E& e, void*) { return fromPointer (e.getDirectory()); }, 41, 0, 0, false, 0,
         0x5000, 0x5000, 0},
        {"updateDisplay", [] (E& e, void*) { return VstIntPtr (e.updateDisplay()); }, 42, 0, 0, false, 0, 1,
         1, 0},
        {"sizeWindow", [] (E& e, void*) { return VstIntPtr (e.sizeWindow (640, 360)); }, 15, 640, 360, false,
         0, 1, 1, 0},
        {"openFileSelector",
         [] (E& e, void* a) { return VstIntPtr (e.openFileSelector (static_cast<VstFileSelect*> (a))); }, 45,
         0, 0, true, 0, 1, 1, 0},
        {"closeFileSelector",
         [] (E& e, void* a) { return VstIntPtr (e.closeFileSelector (static_cast<VstFileSelect*> (a))); }, 46,
         0, 0, true, 0, 1, 1, 0},
        {"offlineRead",
         [] (E& e, void* a)
         { return VstIntPtr (e.offlineRead (static_cast<VstOfflineTask*> (a), 3, false)); },
         26, 0, 3, true, 0, 1, 1, 0},
        {"offlineWrite",
         [] (E& e, void* a) { return VstIntPtr (e.offlineWrite (static_cast<VstOfflineTask*> (a), 2)); }, 27,
         0, 2, true, 0, 1, 1, 0},
        {"offlineStart",
         [] (E& e, void* a) { return VstIntPtr (e.offlineStart (static_cast<VstAudioFile*> (a), 4, 1)); }, 25,
         1, 4, true, 0, 1, 1, 0},
        {"offlineGetCurrentPass", [] (E& e, void*) { return VstIntPtr (e.offlineGetCurrentPass()); }, 28, 0,
         0, false, 0, 5, 1, 0},
        {"offlineGetCurrentMetaPass", [] (E& e, void*) { return VstIntPtr (e.offlineGetCurrentMetaPass()); },
         29, 0, 0, false, 0, 0, 0, 0},
        {"__wantEventsDeprecated", [] (E& e, void*) { return e.__wantEventsDeprecated (1), VstIntPtr (0); },
         6, 0, 1, false, 0, 1, 0, 0},
        {"__tempoAtDeprecated", [] (E& e, void*) { return VstIntPtr (e.__tempoAtDeprecated (480)); }, 10, 0,
         480, false, 0, 120000, 120000, 0},
        {"__getNumAutomatableParametersDeprecated",
         [] (E& e, void*) { return VstIntPtr (e.__getNumAutomatableParametersDeprecated()); }, 11, 0, 0,
         false, 0, 8, 8, 0},
        {"__getParameterQuantizationDeprecated",
         [] (E& e, void*) { return VstIntPtr (e.__getParameterQuantizationDeprecated()); }, 12, 0, 0, false,
         0, 9, 9, 0},
        {"__needIdleDeprecated", [] (E& e, void*) { return VstIntPtr (e.__needIdleDeprecated()); }, 14, 0, 0,
         false, 0, 1, 1, 0},
        {"__getPreviousPlugDeprecated",
         [] (E& e, void*) { return fromPointer (e.__getPreviousPlugDeprecated (3)); }, 20, 0, 0, false, 0,
         0x7000, 0x7000, 0},
        {"__getNextPlugDeprecated", [] (E& e, void*) { return fromPointer (e.__getNextPlugDeprecated (3)); },
         21, 0, 0, false, 0, 0x7100, 0x7100, 0},
        {"__willProcessReplacingDeprecated",
         [] (E& e, void*) { return VstIntPtr (e.__willProcessReplacingDeprecated()); }, 22, 0, 0, false, 0, 1,
         1, 0},
        {"__setOutputSamplerateDeprecated",
         [] (E& e, void*) { return e.__setOutputSamplerateDeprecated (96000.0f), VstIntPtr (0); }, 30, 0, 0,
         false, 96000.0f, 1, 0, 0},
        {"__getOutputSpeakerArrangementDeprecated",
         [] (E& e, void*) { return fromPointer (e.__getOutputSpeakerArrangementDeprecated()); }, 31, 0, 0,
         false, 0, 0x7200, 0x7200, 0},
        {"__getInputSpeakerArrangementDeprecated",
         [] (E& e, void*) { return fromPointer (e.__getInputSpeakerArrangementDeprecated()); }, 49, 0, 0,
         false, 0, 0x7300, 0x7300, 0},
        {"__openWindowDeprecated",
         [] (E& e, void* a) { return fromPointer (e.__openWindowDeprecated (static_cast<VstWindow*> (a))); },
         39, 0, 0, true, 0, 0x7400, 0x7400, 0},
        {"__closeWindowDeprecated",
         [] (E& e, void* a) { return VstIntPtr (e.__closeWindowDeprecated (static_cast<VstWindow*> (a))); },
         40, 0, 0, true, 0, 1, 1, 0},
        {"__getChunkFileDeprecated",
         [] (E& e, void* a) { return VstIntPtr (e.__getChunkFileDeprecated (a)); }, 48, 0, 0, true, 0, 1, 1,
         0},
    };
}
} // namespace

TEST (AudioEffectXHostCalls, EachWrapperPassesItsArgumentsAndConvertsTheAnswer)
{
    for (const auto& c : wrapperCases())
    {
        char argument[32] = "argument";

        {
            RecordingHost host;
            host.answers[c.opcode] = c.hostAnswer;
            ProbeEffectX effect (RecordingHost::callback);

            EXPECT_EQ (c.call (effect, argument), c.expected) << c.name;
            ASSERT_EQ (host.calls.size(), 1u) << c.name;
            const auto& call = host.calls[0];
            EXPECT_EQ (call.effect, effect.getAeffect()) << c.name;
            EXPECT_EQ (call.opcode, c.opcode) << c.name;
            EXPECT_EQ (call.index, c.index) << c.name;
            EXPECT_EQ (call.value, c.value) << c.name;
            EXPECT_EQ (call.ptr, c.passesArg ? static_cast<void*> (argument) : nullptr) << c.name;
            EXPECT_EQ (call.opt, c.opt) << c.name;
        }

        ProbeEffectX withoutHost (nullptr);
        EXPECT_EQ (c.call (withoutHost, argument), c.expectedWithoutHost) << c.name << " without host";
    }
}

TEST (AudioEffectXHostCalls, SelectorsAndChunkFilesNeedAPointer)
{
    RecordingHost host;
    host.answers[audioMasterOpenFileSelector] = 1;
    ProbeEffectX effect (RecordingHost::callback);
    EXPECT_FALSE (effect.openFileSelector (nullptr));
    EXPECT_FALSE (effect.closeFileSelector (nullptr));
    EXPECT_FALSE (effect.__getChunkFileDeprecated (nullptr));
    EXPECT_TRUE (host.calls.empty());
}

TEST (AudioEffectXHostCalls, SampleRateAndBlockSizeTakeOnlyPositiveAnswers)
{
    ProbeEffectX withoutHost;
    EXPECT_EQ (withoutHost.updateSampleRate(), 44100.0);
    EXPECT_EQ (withoutHost.updateBlockSize(), 1024);

    RecordingHost host;
    ProbeEffectX effect (RecordingHost::callback);
    for (VstIntPtr bad : {VstIntPtr (0), VstIntPtr (-48000)})
    {
        host.answers[audioMasterGetSampleRate] = bad;
        host.answers[audioMasterGetBlockSize] = bad;
        EXPECT_EQ (effect.updateSampleRate(), 44100.0);
        EXPECT_EQ (effect.updateBlockSize(), 1024);
    }

    host.answers[audioMasterGetSampleRate] = 96000;
    host.answers[audioMasterGetBlockSize] = kHigh + 256; // low 32 bits count
    EXPECT_EQ (effect.updateSampleRate(), 96000.0);
    EXPECT_EQ (effect.updateBlockSize(), 256);
    EXPECT_EQ (effect.getSampleRate(), 96000.0f);
    EXPECT_EQ (effect.getBlockSize(), 256);

    effect.__setBlockSizeAndSampleRateDeprecated (-1, 0.0f); // unconditional, as documented
    EXPECT_EQ (effect.getBlockSize(), -1);
}

//==============================================================================
TEST (AudioEffectXArrangements, AllocateMatchAndRefuseAbsurdCounts)
{
    ProbeEffectX effect;

    VstSpeakerArrangement* source = nullptr;
    ASSERT_TRUE (effect.allocateArrangement (&source, 2));
    source->type = kSpeakerArrStereo;
    for (int channel = 0; channel < 2; ++channel)
    {
        auto* speaker = speakerOf (source, channel);
        std::memset (speaker->name, 'n', sizeof (speaker->name)); // 64 characters, no terminator
        speaker->type = channel == 0 ? kSpeakerL : kSpeakerR;
        speaker->azimuth = 0.5f * static_cast<float> (channel);
        speaker->future[27] = 9;
    }

    VstSpeakerArrangement* copy = nullptr;
    EXPECT_FALSE (effect.matchArrangement (&copy, nullptr));
    EXPECT_EQ (copy, nullptr);
    ASSERT_TRUE (effect.matchArrangement (&copy, source));
    ASSERT_NE (copy, nullptr);
    EXPECT_EQ (copy->type, kSpeakerArrStereo);
    EXPECT_EQ (copy->numChannels, 2);
    for (int channel = 0; channel < 2; ++channel)
    {
        const auto* speaker = speakerOf (copy, channel);
        EXPECT_EQ (std::string (speaker->name), std::string (63, 'n'));
        EXPECT_EQ (speaker->type, channel == 0 ? kSpeakerL : kSpeakerR);
        EXPECT_EQ (speaker->azimuth, 0.5f * static_cast<float> (channel));
        EXPECT_EQ (speaker->future[27], 9);
    }

    // Matching again replaces the old block (no leak under the sanitizer build).
    ASSERT_TRUE (effect.matchArrangement (&copy, source));

    for (VstInt32 absurd : {-1, AudioEffectX::kMaxArrangementChannels + 1,
                            std::numeric_limits<VstInt32>::max(), std::numeric_limits<VstInt32>::min()})
    {
        source->numChannels = absurd;
        EXPECT_FALSE (effect.matchArrangement (&copy, source)) << absurd;
        EXPECT_EQ (copy, nullptr);
    }

    EXPECT_FALSE (effect.allocateArrangement (nullptr, 2));
    EXPECT_FALSE (effect.copySpeaker (nullptr, speakerOf (source, 0)));
    EXPECT_TRUE (effect.deallocateArrangement (&source));
    EXPECT_EQ (source, nullptr);
    EXPECT_TRUE (effect.deallocateArrangement (&source));
}

TEST (AudioEffectXArrangements, DefaultGetArrangementClearsBothPointers)
{
    ProbeEffectX effect;
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_EQ (
        effect.dispatcher (effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&input), &output, 0.0f),
        0);
    EXPECT_EQ (input, nullptr);
    EXPECT_EQ (output, nullptr);
}
