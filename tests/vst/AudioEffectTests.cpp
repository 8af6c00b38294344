// The effect record as a host reads it, the basic dispatcher opcodes, the class
// callbacks and the host calls of AudioEffect.

#include "RecordingHost.h"
#include "vst/AudioEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// Records which virtual operation the dispatcher reached, with its arguments.
class ProbeEffect : public AudioEffect
{
public:
    explicit ProbeEffect (audioMasterCallback host = nullptr, VstInt32 programs = 1, VstInt32 params = 350)
        : AudioEffect (host, programs, params)
    {
    }

    ~ProbeEffect() override
    {
        if (destroyed != nullptr)
            *destroyed = true;
    }

    void processReplacing (float**, float**, VstInt32) override {}

    void open() override { log.push_back ("open"); }
    void close() override { log.push_back ("close"); }
    void suspend() override { log.push_back ("suspend"); }
    void resume() override { log.push_back ("resume"); }
    void setSampleRate (float rate) override
    {
        log.push_back ("setSampleRate");
        AudioEffect::setSampleRate (rate);
    }
    void setBlockSize (VstInt32 size) override
    {
        log.push_back ("setBlockSize " + std::to_string (size));
        AudioEffect::setBlockSize (size);
    }
    void setProgram (VstInt32 program) override
    {
        log.push_back ("setProgram " + std::to_string (program));
        AudioEffect::setProgram (program);
    }
    void setProgramName (char*) override { log.push_back ("setProgramName"); }
    void getProgramName (char* name) override
    {
        log.push_back ("getProgramName");
        AudioEffect::getProgramName (name);
    }
    void getParameterLabel (VstInt32 index, char* text) override
    {
        log.push_back ("getParameterLabel " + std::to_string (index));
        AudioEffect::getParameterLabel (index, text);
    }
    void getParameterDisplay (VstInt32 index, char* text) override
    {
        log.push_back ("getParameterDisplay " + std::to_string (index));
        AudioEffect::getParameterDisplay (index, text);
    }
    void getParameterName (VstInt32 index, char* text) override
    {
        log.push_back ("getParameterName " + std::to_string (index));
        AudioEffect::getParameterName (index, text);
    }
    void setParameter (VstInt32 index, float value) override
    {
        log.push_back ("setParameter " + std::to_string (index) + " " + std::to_string (value));
    }
    float getParameter (VstInt32 index) override { return static_cast<float> (index) * 0.001f; }
    VstInt32 getChunk (void** data, bool isPreset) override
    {
        log.push_back (std::string ("getChunk ") + (isPreset ? "program" : "bank"));
        *data = chunk;
        return chunkAnswer;
    }
    VstInt32 setChunk (void*, VstInt32 size, bool isPreset) override
    {
        log.push_back ("setChunk " + std::to_string (size) + (isPreset ? " program" : " bank"));
        return 7;
    }

    void attachEditor (AEffEditor* newEditor) { editor = newEditor; }

    std::vector<std::string> log;
    bool* destroyed = nullptr;
    char chunk[4] = {1, 2, 3, 4};
    VstInt32 chunkAnswer = 4;
};

class ProbeEditor : public AEffEditor
{
public:
    explicit ProbeEditor (std::vector<std::string>& logToUse)
        : log (logToUse)
    {
    }

    bool getRect (ERect** rect) override
    {
        log.push_back ("editor getRect");
        *rect = &rectangle;
        return true;
    }
    bool open (void*) override
    {
        log.push_back ("editor open");
        return true;
    }
    void close() override { log.push_back ("editor close"); }
    void idle() override { log.push_back ("editor idle"); }

    std::vector<std::string>& log;
    ERect rectangle{0, 0, 300, 400};
};

template <typename T> T fieldAt (const AEffect& record, std::size_t offset)
{
    T value;
    std::memcpy (&value, reinterpret_cast<const unsigned char*> (&record) + offset, sizeof (T));
    return value;
}
} // namespace

TEST (AudioEffectRecord, FreshRecordReadsAsAHostSeesIt)
{
    ProbeEffect effect (nullptr, 1, 350);
    const AEffect& record = *effect.getAeffect();

    const auto* bytes = reinterpret_cast<const unsigned char*> (&record);
    EXPECT_EQ (bytes[0], 0x50);
    EXPECT_EQ (bytes[1], 0x74);
    EXPECT_EQ (bytes[2], 0x73);
    EXPECT_EQ (bytes[3], 0x56);

    EXPECT_EQ (fieldAt<void*> (record, 8), reinterpret_cast<void*> (&AudioEffect::dispatchEffectClass));
    EXPECT_EQ (fieldAt<void*> (record, 16), reinterpret_cast<void*> (&AudioEffect::__processClassDeprecated));
    EXPECT_EQ (fieldAt<void*> (record, 24), reinterpret_cast<void*> (&AudioEffect::setParameterClass));
    EXPECT_EQ (fieldAt<void*> (record, 32), reinterpret_cast<void*> (&AudioEffect::getParameterClass));
    EXPECT_EQ (fieldAt<VstInt32> (record, 40), 1);
    EXPECT_EQ (fieldAt<VstInt32> (record, 44), 350);
    EXPECT_EQ (fieldAt<VstInt32> (record, 48), 1);
    EXPECT_EQ (fieldAt<VstInt32> (record, 52), 2);
    EXPECT_EQ (fieldAt<VstInt32> (record, 56), 0x10);
    EXPECT_EQ (fieldAt<float> (record, 92), 1.0f);
    EXPECT_EQ (fieldAt<void*> (record, 96), static_cast<void*> (&effect));
    EXPECT_EQ (fieldAt<VstInt32> (record, 112), 0x4E6F4566);
    EXPECT_EQ (fieldAt<VstInt32> (record, 116), 1);
    EXPECT_EQ (fieldAt<void*> (record, 120), reinterpret_cast<void*> (&AudioEffect::processClassReplacing));
    EXPECT_EQ (fieldAt<void*> (record, 128),
               reinterpret_cast<void*> (&AudioEffect::processClassDoubleReplacing));

    // Alignment gaps, host fields, deprecated fields and the reserved tail are zero.
    for (std::size_t offset : {4u, 60u, 80u, 84u, 88u})
        EXPECT_EQ (fieldAt<VstInt32> (record, offset), 0) << "offset " << offset;
    for (std::size_t offset : {64u, 72u, 104u})
        EXPECT_EQ (fieldAt<VstIntPtr> (record, offset), 0) << "offset " << offset;
    for (std::size_t offset = 136; offset < 192; ++offset)
        EXPECT_EQ (bytes[offset], 0) << "offset " << offset;

    EXPECT_EQ (effect.getSampleRate(), 44100.0f);
    EXPECT_EQ (effect.getBlockSize(), 1024);
    EXPECT_EQ (effect.getProgram(), 0);
    EXPECT_EQ (effect.getEditor(), nullptr);
}

TEST (AudioEffectRecord, FlagSettersSetAndClearTheirOwnBit)
{
    struct Case
    {
        void (*toggle) (AudioEffect&, bool);
        VstInt32 bit;
    };
    const Case cases[] = {
        {[] (AudioEffect& e, bool s) { e.canProcessReplacing (s); }, 0x10},
        {[] (AudioEffect& e, bool s) { e.canDoubleReplacing (s); }, 0x1000},
        {[] (AudioEffect& e, bool s) { e.programsAreChunks (s); }, 0x20},
        {[] (AudioEffect& e, bool s) { e.__hasVuDeprecated (s); }, 0x4},
        {[] (AudioEffect& e, bool s) { e.__hasClipDeprecated (s); }, 0x2},
        {[] (AudioEffect& e, bool s) { e.__canMonoDeprecated (s); }, 0x8},
    };

    for (const auto& c : cases)
    {
        ProbeEffect effect;
        const VstInt32 before = effect.getAeffect()->flags;
        c.toggle (effect, true);
        EXPECT_EQ (effect.getAeffect()->flags, before | c.bit);
        c.toggle (effect, false);
        EXPECT_EQ (effect.getAeffect()->flags, before & ~c.bit);
    }

    ProbeEffect effect;
    effect.setUniqueID (0x5A6B4F73);
    effect.setNumInputs (2);
    effect.setNumOutputs (2);
    effect.setInitialDelay (64);
    effect.__setRealtimeQualitiesDeprecated (3);
    effect.__setOfflineQualitiesDeprecated (4);
    const AEffect& record = *effect.getAeffect();
    EXPECT_EQ (fieldAt<VstInt32> (record, 112), 0x5A6B4F73);
    EXPECT_EQ (fieldAt<VstInt32> (record, 48), 2);
    EXPECT_EQ (fieldAt<VstInt32> (record, 52), 2);
    EXPECT_EQ (fieldAt<VstInt32> (record, 80), 64);
    EXPECT_EQ (fieldAt<VstInt32> (record, 84), 3);
    EXPECT_EQ (fieldAt<VstInt32> (record, 88), 4);
}

//==============================================================================
TEST (AudioEffectDispatcher, BasicOpcodesReachTheirOperations)
{
    struct Case
    {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        float opt;
        VstIntPtr result;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {effOpen, 0, 0, 0.0f, 0, {"open"}},
        {effClose, 0, 0, 0.0f, 0, {"close"}},
        {effSetProgram, 0, 0, 0.0f, 0, {"setProgram 0"}},
        {effSetProgram, 0, 1, 0.0f, 0, {}}, // not below numPrograms
        {effSetProgram, 0, -1, 0.0f, 0, {"setProgram -1"}},
        {effGetProgram, 0, 0, 0.0f, 0, {}},
        {effSetProgramName, 0, 0, 0.0f, 0, {"setProgramName"}},
        {effGetProgramName, 0, 0, 0.0f, 0, {"getProgramName"}},
        {effGetParamLabel, 3, 0, 0.0f, 0, {"getParameterLabel 3"}},
        {effGetParamDisplay, 4, 0, 0.0f, 0, {"getParameterDisplay 4"}},
        {effGetParamName, 5, 0, 0.0f, 0, {"getParameterName 5"}},
        {effGetVu, 0, 0, 0.0f, 0, {}},
        {effSetSampleRate, 0, 0, 48000.0f, 0, {"setSampleRate"}},
        {effSetBlockSize, 0, 512, 0.0f, 0, {"setBlockSize 512"}},
        {effSetBlockSize, 0, (VstIntPtr (1) << 32) + 256, 0.0f, 0, {"setBlockSize 256"}}, // low 32 bits
        {effMainsChanged, 0, 0, 0.0f, 0, {"suspend"}},
        {effMainsChanged, 0, 2, 0.0f, 0, {"resume"}},
        {effMainsChanged, 0, VstIntPtr (1) << 32, 0.0f, 0, {"resume"}}, // all 64 bits tested
        {effEditGetRect, 0, 0, 0.0f, 0, {}},
        {effEditOpen, 0, 0, 0.0f, 0, {}},
        {effEditClose, 0, 0, 0.0f, 0, {}},
        {effEditIdle, 0, 0, 0.0f, 0, {}},
        {effEditDraw, 0, 0, 0.0f, 0, {}},
        {effEditMouse, 0, 0, 0.0f, 0, {}},
        {effEditKey, 0, 0, 0.0f, 0, {}},
        {effEditTop, 0, 0, 0.0f, 0, {}},
        {effEditSleep, 0, 0, 0.0f, 0, {}},
        {effIdentify, 0, 0, 0.0f, 0x4E764566, {}},
        {effGetChunk, 1, 0, 0.0f, 4, {"getChunk program"}},
        {effGetChunk, 0, 0, 0.0f, 4, {"getChunk bank"}},
        {effSetChunk, 0, 16, 0.0f, 7, {"setChunk 16 bank"}},
        {effSetChunk, 2, 16, 0.0f, 7, {"setChunk 16 program"}},
        {effProcessEvents, 0, 0, 0.0f, 0, {}}, // extended opcodes are unknown here
        {effCanDo, 0, 0, 0.0f, 0, {}},
        {effGetVstVersion, 0, 0, 0.0f, 0, {}},
        {80, 0, 0, 0.0f, 0, {}},
        {-1, 0, 0, 0.0f, 0, {}},
    };

    for (const auto& c : cases)
    {
        ProbeEffect effect;
        char buffer[64] = "untouched";
        void* data = nullptr;
        void* ptr = c.opcode == effGetChunk ? static_cast<void*> (&data) : static_cast<void*> (buffer);

        EXPECT_EQ (effect.dispatcher (c.opcode, c.index, c.value, ptr, c.opt), c.result)
            << "opcode " << c.opcode;
        EXPECT_EQ (effect.log, c.log) << "opcode " << c.opcode;
    }
}

TEST (AudioEffectDispatcher, ResultsOfThirtyTwoBitOperationsAreSignExtended)
{
    ProbeEffect effect;
    effect.setProgram (-3);
    EXPECT_EQ (effect.dispatcher (effGetProgram, 0, 0, nullptr, 0.0f), VstIntPtr (-3));

    effect.chunkAnswer = -5;
    void* data = nullptr;
    EXPECT_EQ (effect.dispatcher (effGetChunk, 0, 0, &data, 0.0f), VstIntPtr (-5));
}

TEST (AudioEffectDispatcher, DefaultsAnswerEmptyTexts)
{
    ProbeEffect effect;
    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName})
    {
        char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 0};
        effect.dispatcher (opcode, 0, 0, buffer, 0.0f);
        EXPECT_EQ (buffer[0], 0) << "opcode " << opcode;
        EXPECT_EQ (buffer[1], 'x') << "opcode " << opcode;
    }
}

TEST (AudioEffectDispatcher, NullPointersAndBadSizesFromTheHostTouchNothing)
{
    ProbeEffect effect;
    for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName, effGetChunk, effSetChunk})
        EXPECT_EQ (effect.dispatcher (opcode, 0, 16, nullptr, 0.0f), 0) << "opcode " << opcode;

    // A chunk of no bytes, or a negative count, is no chunk.
    char bytes[4] = {};
    EXPECT_EQ (effect.dispatcher (effSetChunk, 0, 0, bytes, 0.0f), 0);
    EXPECT_EQ (effect.dispatcher (effSetChunk, 0, -4, bytes, 0.0f), 0);

    // Rates and block sizes that are not positive numbers keep the last ones.
    for (float rate :
         {0.0f, -48000.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        effect.dispatcher (effSetSampleRate, 0, 0, nullptr, rate);
    for (VstIntPtr size : {VstIntPtr (0), VstIntPtr (-512), VstIntPtr (0x80000000)})
        effect.dispatcher (effSetBlockSize, 0, size, nullptr, 0.0f);

    EXPECT_TRUE (effect.log.empty()) << effect.log.front();
    EXPECT_EQ (effect.getSampleRate(), 44100.0f);
    EXPECT_EQ (effect.getBlockSize(), 1024);
}

TEST (AudioEffectDispatcher, EditorOpcodesReachAnAttachedEditor)
{
    ProbeEffect effect;
    auto* editor = new ProbeEditor (effect.log);
    effect.attachEditor (editor);

    ERect* rect = nullptr;
    EXPECT_EQ (effect.dispatcher (effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ (rect, &editor->rectangle);
    EXPECT_EQ (effect.dispatcher (effEditGetRect, 0, 0, nullptr, 0.0f), 0); // null rectangle pointer
    EXPECT_EQ (effect.dispatcher (effEditOpen, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ (effect.dispatcher (effEditIdle, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ (effect.dispatcher (effEditClose, 0, 0, nullptr, 0.0f), 0);

    const std::vector<std::string> expected{"editor getRect", "editor open", "editor idle", "editor close"};
    EXPECT_EQ (effect.log, expected);
    // The effect deletes its editor (checked by the sanitizer build).
}

//==============================================================================
TEST (AudioEffectClassCallbacks, ForwardToTheObjectAndCloseDeletesIt)
{
    bool destroyed = false;
    auto* effect = new ProbeEffect();
    effect->destroyed = &destroyed;
    AEffect* record = effect->getAeffect();

    EXPECT_FLOAT_EQ (record->getParameter (record, 7), 0.007f);
    record->setParameter (record, 3, 0.5f);
    EXPECT_EQ (effect->log.back(), "setParameter 3 0.500000");
    EXPECT_EQ (record->dispatcher (record, effIdentify, 0, 0, nullptr, 0.0f), 0x4E764566);

    EXPECT_EQ (record->dispatcher (record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE (destroyed);
}

TEST (AudioEffectClassCallbacks, ARecordWithoutObjectAnswersNothing)
{
    AEffect record{};
    EXPECT_EQ (AudioEffect::dispatchEffectClass (&record, effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ (AudioEffect::dispatchEffectClass (nullptr, effOpen, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ (AudioEffect::getParameterClass (&record, 0), 0.0f);
}

//==============================================================================
TEST (AudioEffectHostCalls, WithoutAHostTheDefaultsAnswer)
{
    ProbeEffect effect (nullptr);
    EXPECT_EQ (effect.getMasterVersion(), 1);
    EXPECT_EQ (effect.getCurrentUniqueId(), 0);
    EXPECT_TRUE (effect.__isInputConnectedDeprecated (0));
    EXPECT_TRUE (effect.__isOutputConnectedDeprecated (1));
    effect.masterIdle();
    effect.setParameterAutomated (2, 0.25f);
    EXPECT_EQ (effect.log.back(), "setParameter 2 0.250000");
}

TEST (AudioEffectHostCalls, ArgumentsAndAnswersAsTheHostSeesThem)
{
    RecordingHost host;
    ProbeEffect effect (RecordingHost::callback);
    AEffect* record = effect.getAeffect();

    EXPECT_EQ (effect.getMasterVersion(), 1); // a host answering 0
    host.answers[audioMasterVersion] = 2400;
    EXPECT_EQ (effect.getMasterVersion(), 2400);
    host.answers[audioMasterCurrentId] = (VstIntPtr (1) << 32) | 0x41424344; // low 32 bits count
    EXPECT_EQ (effect.getCurrentUniqueId(), 0x41424344);
    effect.masterIdle();

    host.answers[audioMasterPinConnected] = VstIntPtr (1) << 32; // low 32 bits are 0: connected
    EXPECT_TRUE (effect.__isInputConnectedDeprecated (3));
    host.answers[audioMasterPinConnected] = 1;
    EXPECT_FALSE (effect.__isOutputConnectedDeprecated (4));

    effect.setParameterAutomated (9, 0.75f);
    EXPECT_EQ (effect.log.back(), "setParameter 9 0.750000"); // own value first, then the host

    ASSERT_EQ (host.calls.size(), 7u);
    const VstInt32 opcodes[] = {audioMasterVersion, audioMasterVersion,      audioMasterCurrentId,
                                audioMasterIdle,    audioMasterPinConnected, audioMasterPinConnected,
                                audioMasterAutomate};
    for (std::size_t i = 0; i < host.calls.size(); ++i)
    {
        EXPECT_EQ (host.calls[i].opcode, opcodes[i]);
        EXPECT_EQ (host.calls[i].effect, record);
    }
    EXPECT_EQ (host.calls[4].index, 3);
    EXPECT_EQ (host.calls[4].value, 0);
    EXPECT_EQ (host.calls[5].index, 4);
    EXPECT_EQ (host.calls[5].value, 1);
    EXPECT_EQ (host.calls[6].index, 9);
    EXPECT_EQ (host.calls[6].value, 0);
    EXPECT_EQ (host.calls[6].ptr, nullptr);
    EXPECT_EQ (host.calls[6].opt, 0.75f);
}
