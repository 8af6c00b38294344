// The VST 2.4 wrapper around a stand-in processor, driven through its record
// as a host would: identity, canDo, parameters, programs, chunks, processing
// with time information and bypass, channel arrangements, and what goes back
// to the host.

#include "FakeProcessor.h"
#include "plugin/ZkVstWrapper.h"
#include "support/AllocationCounter.h"
#include "vst/RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <future>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

namespace juce
{
// JUCE's message pump (Linux); the test binary's main thread is the message thread.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
class WrapperFixture : public ::testing::Test
{
protected:
    WrapperFixture()
    {
        auto fake = std::make_unique<FakeProcessor>();
        processor = fake.get();
        host.answers[audioMasterVersion] = 2400;
        wrapper = std::make_unique<ZkVstWrapper> (RecordingHost::callback, ZkMessageThread::Reference(),
                                                  std::move (fake));
        effect = wrapper->getAeffect();
    }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                        float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    std::string text (VstInt32 opcode, VstInt32 index = 0)
    {
        char buffer[128];
        std::memset (buffer, 'Q', sizeof (buffer));
        dispatch (opcode, index, 0, buffer);
        return std::string (buffer, strnlen (buffer, sizeof (buffer)));
    }

    void start (float rate = 48000.0f, int block = 64)
    {
        dispatch (effSetSampleRate, 0, 0, nullptr, rate);
        dispatch (effSetBlockSize, 0, block);
        dispatch (effMainsChanged, 0, 1);
    }

    // Runs frames samples of a ramp through processReplacing, in place or not.
    std::vector<std::vector<float>> process (int frames, bool inPlace, int channels = 2)
    {
        std::vector<std::vector<float>> in (static_cast<std::size_t> (channels)),
            out (static_cast<std::size_t> (channels),
                 std::vector<float> (static_cast<std::size_t> (frames), 9.0f));
        std::vector<float*> inPtr, outPtr;
        for (int c = 0; c < channels; ++c)
        {
            for (int i = 0; i < frames; ++i)
                in[static_cast<std::size_t> (c)].push_back (static_cast<float> (i + 1000 * c) / 4096.0f);
            inPtr.push_back (in[static_cast<std::size_t> (c)].data());
            outPtr.push_back (inPlace ? inPtr.back() : out[static_cast<std::size_t> (c)].data());
        }
        effect->processReplacing (effect, inPtr.data(), outPtr.data(), frames);
        return inPlace ? in : out;
    }

    RecordingHost host;
    FakeProcessor* processor = nullptr;
    std::unique_ptr<ZkVstWrapper> wrapper;
    AEffect* effect = nullptr;
};

float ramp (int i, int channel)
{
    return static_cast<float> (i + 1000 * channel) / 4096.0f;
}
} // namespace

TEST_F (WrapperFixture, RecordCarriesThePluginsIdentity)
{
    EXPECT_EQ (effect->magic, kEffectMagic);
    EXPECT_EQ (effect->uniqueID, 0x5A6B4F73);
    EXPECT_EQ (effect->version, 100);
    EXPECT_EQ (effect->numPrograms, 1);
    EXPECT_EQ (effect->numParams, 350);
    EXPECT_EQ (effect->numInputs, 2);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->flags, 0x231);
    EXPECT_EQ (effect->initialDelay, 0);
    EXPECT_EQ (effect->object, wrapper.get());

    EXPECT_EQ (text (effGetEffectName), "ZkOstinel");
    EXPECT_EQ (text (effGetVendorString), "TELQUARLAB");
    EXPECT_EQ (text (effGetProductString), "ZkOstinel");
    EXPECT_EQ (dispatch (effGetVendorVersion), 100);
    EXPECT_EQ (dispatch (effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ (dispatch (effGetVstVersion), 2400);
    EXPECT_EQ (dispatch (effGetTailSize), 0);
    EXPECT_EQ (dispatch (effGetNumMidiInputChannels), 0);
    EXPECT_EQ (dispatch (effProcessEvents, 0, 0, &host), 0);
}

TEST (WrapperProcessorFactory, OnlyTheProcessorItMakesIsOfTheVstFormat)
{
    const auto made =
        ZkVstWrapper::createProcessor ([]() -> juce::AudioProcessor* { return new FakeProcessor(); });
    EXPECT_EQ (made->wrapperType, juce::AudioProcessor::wrapperType_VST);

    EXPECT_THROW (ZkVstWrapper::createProcessor ([]() -> juce::AudioProcessor* { throw std::bad_alloc(); }),
                  std::bad_alloc);
    const FakeProcessor later;
    EXPECT_EQ (later.wrapperType, juce::AudioProcessor::wrapperType_Undefined);
}

TEST_F (WrapperFixture, CanDoAnswers)
{
    const std::pair<const char*, VstIntPtr> answers[] = {
        {"receiveVstTimeInfo", 1},
        {"conformsToWindowRules", 1},
        {"bypass", 1},
        {"receiveVstEvents", -1},
        {"receiveVstMidiEvent", -1},
        {"receiveVstMidiEvents", -1},
        {"sendVstEvents", -1},
        {"sendVstMidiEvent", -1},
        {"sendVstMidiEvents", -1},
        {"openCloseAnyThread", -1},
        {"sizeWindow", 0},
        {"bypas", 0},
        {"bypassing", 0},
        {"", 0},
        {"ReceiveVstTimeInfo", 0},
    };
    for (const auto& [canDo, answer] : answers)
    {
        std::string copy (canDo);
        EXPECT_EQ (dispatch (effCanDo, 0, 0, copy.data()), answer) << canDo;
    }

    EXPECT_EQ (dispatch (effCanDo, 0, 0, nullptr), 0);
    EXPECT_FALSE (wrapper->hostWantsConfigView());
    char cockos[] = "hasCockosViewAsConfig";
    EXPECT_EQ (dispatch (effCanDo, 0, 0, cockos),
               static_cast<VstIntPtr> (static_cast<VstInt32> (0xbeef0000u)));
    EXPECT_TRUE (wrapper->hostWantsConfigView());
}

TEST_F (WrapperFixture, ParametersByIndexAndOutOfRangeIndexesAreIgnored)
{
    effect->setParameter (effect, 12, 0.75f);
    EXPECT_EQ (processor->values[12], 0.75f);
    EXPECT_EQ (effect->getParameter (effect, 12), 0.75f);
    EXPECT_EQ (text (effGetParamName, 12), "Param12");
    EXPECT_EQ (text (effGetParamName, 320), "reserved");
    EXPECT_EQ (text (effGetParamDisplay, 12), "0.75");
    EXPECT_EQ (text (effGetParamLabel, 12), "");
    EXPECT_EQ (dispatch (effCanBeAutomated, 12), 1);
    EXPECT_EQ (dispatch (effCanBeAutomated, 320), 0);

    const int writesBefore = processor->parameterWrites;
    for (VstInt32 index :
         {-1, 350, 351, std::numeric_limits<VstInt32>::min(), std::numeric_limits<VstInt32>::max()})
    {
        effect->setParameter (effect, index, 0.5f);
        EXPECT_EQ (effect->getParameter (effect, index), 0.0f) << index;
        EXPECT_EQ (text (effGetParamName, index), "") << index;
        EXPECT_EQ (text (effGetParamDisplay, index), "") << index;
        EXPECT_EQ (dispatch (effCanBeAutomated, index), 0) << index;
    }
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        effect->setParameter (effect, 12, bad);
    EXPECT_EQ (processor->parameterWrites, writesBefore);
    EXPECT_EQ (processor->values[12], 0.75f);
}

TEST_F (WrapperFixture, TextsNeverPassTheirLimits)
{
    processor->programName = "A program name that is longer than any host expects";
    char buffer[64];
    std::memset (buffer, 'Q', sizeof (buffer));
    dispatch (effGetProgramName, 0, 0, buffer);
    EXPECT_EQ (std::string (buffer),
               std::string (processor->programName.toRawUTF8(), kVstMaxProgNameLen - 1));
    EXPECT_EQ (buffer[kVstMaxProgNameLen], 'Q');

    std::memset (buffer, 'Q', sizeof (buffer));
    dispatch (effGetParamName, 299, 0, buffer); // "Param299"
    EXPECT_STREQ (buffer, "Param299");
    EXPECT_EQ (buffer[9], 'Q'); // nothing written past the terminator
}

TEST_F (WrapperFixture, ProgramsAndTheirNames)
{
    char name[] = "Renamed";
    dispatch (effSetProgramName, 0, 0, name);
    EXPECT_EQ (processor->programName, "Renamed");
    EXPECT_EQ (text (effGetProgramName), "Renamed");

    char indexed[64];
    EXPECT_EQ (dispatch (effGetProgramNameIndexed, 0, 0, indexed), 1);
    EXPECT_STREQ (indexed, "Renamed");
    EXPECT_EQ (dispatch (effGetProgramNameIndexed, 1, 0, indexed), 0);

    dispatch (effSetProgram, 0, 0);
    EXPECT_EQ (processor->programSet, 0);
    dispatch (effSetProgram, 0, -1); // reaches setProgram, which refuses it
    EXPECT_EQ (processor->programSet, 0);
    EXPECT_EQ (dispatch (effGetProgram), 0);
}

TEST_F (WrapperFixture, ChunksGoThroughTheStateCallsAndBadOnesChangeNothing)
{
    processor->state = juce::MemoryBlock ("abc", 3);
    void* data = nullptr;
    const auto size = dispatch (effGetChunk, 0, 0, &data);
    ASSERT_EQ (size, 9);
    EXPECT_EQ (std::memcmp (data, "STATE:abc", 9), 0);

    // Another instance takes it and hands back the same bytes.
    std::vector<char> copy (static_cast<const char*> (data), static_cast<const char*> (data) + size);
    processor->state = juce::MemoryBlock();
    EXPECT_EQ (dispatch (effSetChunk, 0, size, copy.data()), 1);
    EXPECT_EQ (processor->state, juce::MemoryBlock ("abc", 3));

    const int callsBefore = processor->setStateCalls;
    EXPECT_EQ (dispatch (effSetChunk, 0, size, nullptr), 0);
    EXPECT_EQ (dispatch (effSetChunk, 0, 0, copy.data()), 0);
    EXPECT_EQ (dispatch (effSetChunk, 0, -9, copy.data()), 0);
    EXPECT_EQ (dispatch (effGetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ (processor->setStateCalls, callsBefore);

    char garbage[] = "garbage that is no state";
    dispatch (effSetChunk, 1, sizeof (garbage), garbage); // the processor refuses it
    EXPECT_EQ (processor->state, juce::MemoryBlock ("abc", 3));
}

TEST_F (WrapperFixture, ResumePreparesWithTheHostsRateAndBlockAndIgnoresBadOnes)
{
    dispatch (effSetSampleRate, 0, 0, nullptr, 96000.0f);
    dispatch (effSetSampleRate, 0, 0, nullptr, 0.0f);
    dispatch (effSetSampleRate, 0, 0, nullptr, -1.0f);
    dispatch (effSetSampleRate, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN());
    dispatch (effSetBlockSize, 0, 256);
    dispatch (effSetBlockSize, 0, 0);
    dispatch (effSetBlockSize, 0, -256);
    dispatch (effMainsChanged, 0, 1);

    EXPECT_EQ (processor->prepareCount.load(), 1);
    EXPECT_EQ (processor->preparedRate, 96000.0);
    EXPECT_EQ (processor->preparedBlock, 256);
    EXPECT_EQ (processor->getSampleRate(), 96000.0);

    dispatch (effMainsChanged, 0, 0);
    EXPECT_EQ (processor->releaseCount.load(), 1);
}

TEST_F (WrapperFixture, ProcessingInPlaceAndSeparate)
{
    start();

    for (bool inPlace : {false, true})
    {
        const auto out = process (64, inPlace);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 64; ++i)
                ASSERT_EQ (out[static_cast<std::size_t> (c)][static_cast<std::size_t> (i)],
                           0.5f * ramp (i, c))
                    << (inPlace ? "in place" : "separate") << " channel " << c << " sample " << i;
    }

    // Crossed buffers: the right input is the left output.
    std::vector<float> a (64), b (64), c (64);
    for (int i = 0; i < 64; ++i)
    {
        a[static_cast<std::size_t> (i)] = 1.0f;
        b[static_cast<std::size_t> (i)] = 2.0f;
    }
    float* ins[] = {a.data(), b.data()};
    float* outs[] = {b.data(), c.data()};
    effect->processReplacing (effect, ins, outs, 64);
    EXPECT_EQ (b[10], 0.5f);
    EXPECT_EQ (c[10], 1.0f);
}

TEST_F (WrapperFixture, ABlockLongerThanAnnouncedIsProcessedInPartsWithTheTimeMovedOn)
{
    VstTimeInfo info{};
    info.samplePos = 1000.0;
    info.sampleRate = 48000.0;
    info.ppqPos = 8.0;
    info.tempo = 120.0; // 24000 samples per quarter note
    info.flags = kVstPpqPosValid | kVstTempoValid | kVstTransportPlaying;
    host.answers[audioMasterGetTime] = reinterpret_cast<VstIntPtr> (&info);
    start (48000.0f, 64);

    const auto out = process (150, false);
    EXPECT_EQ (processor->blockSizes, (std::vector<int>{64, 64, 22}));
    for (int i = 0; i < 150; ++i)
        ASSERT_EQ (out[0][static_cast<std::size_t> (i)], 0.5f * ramp (i, 0)) << i;

    ASSERT_EQ (processor->positions.size(), 3u);
    EXPECT_EQ (*processor->positions[2]->getTimeInSamples(), 1128);
    EXPECT_DOUBLE_EQ (*processor->positions[2]->getPpqPosition(), 8.0 + 128.0 / 24000.0);
}

// No size the host announces sizes an allocation: the largest block size
// prepares the bounded buffer, and blocks longer than that go in parts.
TEST_F (WrapperFixture, AnyAnnouncedBlockSizePreparesABoundedBuffer)
{
    start (48000.0f, std::numeric_limits<VstInt32>::max());
    EXPECT_EQ (processor->preparedBlock, ZkVstWrapper::maxPreparedBlockSize);

    const auto out = process (20000, false);
    EXPECT_EQ (processor->blockSizes, (std::vector<int>{8192, 8192, 3616}));
    for (int i = 0; i < 20000; i += 997)
        ASSERT_EQ (out[1][static_cast<std::size_t> (i)], 0.5f * ramp (i, 1)) << i;
}

// A failure inside a call from the host (an allocation refused in prepareToPlay,
// an exception from a block or a parameter call) stays inside: the call answers
// as one that did nothing, and the instance keeps working.
TEST_F (WrapperFixture, AnExceptionStaysInsideTheCallAndTheInstanceKeepsWorking)
{
    processor->duringPrepare = [] { throw std::bad_alloc(); };
    start();
    EXPECT_EQ (process (32, false)[0][5], ramp (5, 0)); // not prepared: passed through

    processor->duringPrepare = nullptr;
    dispatch (effMainsChanged, 0, 1);
    EXPECT_EQ (process (32, false)[0][5], 0.5f * ramp (5, 0));

    processor->duringBlock = [] { throw std::runtime_error ("a block that fails"); };
    EXPECT_EQ (process (32, false)[1][5], 0.0f); // silence
    processor->duringBlock = nullptr;
    EXPECT_EQ (process (32, true)[1][5], 0.5f * ramp (5, 1));

    effect->setParameter (effect, 3, 0.75f);
    processor->duringParameterCall = [] { throw std::runtime_error ("a parameter call that fails"); };
    effect->setParameter (effect, 3, 0.25f);
    EXPECT_EQ (effect->getParameter (effect, 3), 0.0f);
    processor->duringParameterCall = nullptr;
    EXPECT_EQ (effect->getParameter (effect, 3), 0.75f);
}

TEST_F (WrapperFixture, NothingPreparedPassesAudioThroughAndSuspendedSilences)
{
    const auto unprepared = process (32, false);
    EXPECT_EQ (unprepared[1][5], ramp (5, 1));
    EXPECT_TRUE (processor->blockSizes.empty());

    start();
    processor->suspendProcessing (true);
    const auto silent = process (32, false);
    EXPECT_EQ (silent[0][5], 0.0f);
    processor->suspendProcessing (false);

    // Degenerate calls from a host touch nothing.
    effect->processReplacing (effect, nullptr, nullptr, 32);
    float* outs[] = {nullptr, nullptr};
    effect->processReplacing (effect, nullptr, outs, 32);
    effect->processReplacing (effect, nullptr, outs, -5);
    EXPECT_EQ (processor->blockSizes.size(), 1u); // only the call with output pointers (all null) ran
}

// The hand-over between the host's threads and its audio thread: a host thread
// suspends, prepares or changes the channels only with the gate closed, so a
// block that comes meanwhile passes its audio through at once, neither waiting
// for the change nor running on a processor in the middle of it. (That closing
// the gate waits for a block that runs is the gate's own test.)
TEST_F (WrapperFixture, HostThreadsChangeTheProcessorBehindTheGateAndBlocksNeverWait)
{
    start();

    // A block on an audio thread of its own, made from inside a change on this
    // thread: it must be back long before the generous limit.
    struct BlockDuringTheChange
    {
        bool waited = true;
        std::vector<std::vector<float>> out;
    };
    const auto blockDuringTheChange = [this] (BlockDuringTheChange& block, int channels)
    {
        auto running =
            std::async (std::launch::async, [this, channels] { return process (32, false, channels); });
        block.waited = running.wait_for (std::chrono::seconds (60)) != std::future_status::ready;
        if (!block.waited)
            block.out = running.get();
    };

    // Suspended.
    BlockDuringTheChange duringRelease;
    processor->duringRelease = [&] { blockDuringTheChange (duringRelease, 2); };
    auto blocksBefore = processor->blockSizes.size();
    dispatch (effMainsChanged, 0, 0);
    processor->duringRelease = nullptr;
    ASSERT_FALSE (duringRelease.waited);
    EXPECT_EQ (duringRelease.out[1][7], ramp (7, 1));
    EXPECT_EQ (processor->blockSizes.size(), blocksBefore);
    EXPECT_EQ (processor->releaseCount.load(), 1);

    // Prepared again.
    BlockDuringTheChange duringPrepare;
    processor->duringPrepare = [&] { blockDuringTheChange (duringPrepare, 2); };
    dispatch (effMainsChanged, 0, 1);
    processor->duringPrepare = nullptr;
    ASSERT_FALSE (duringPrepare.waited);
    EXPECT_EQ (duringPrepare.out[0][7], ramp (7, 0));
    EXPECT_EQ (processor->blockSizes.size(), blocksBefore);

    // Changed to mono while prepared.
    BlockDuringTheChange duringReshape;
    processor->duringLayoutChange = [&] { blockDuringTheChange (duringReshape, 2); };
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    wrapper->allocateArrangement (&in, 1);
    wrapper->allocateArrangement (&out, 1);
    EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (in), out), 1);
    wrapper->deallocateArrangement (&in);
    wrapper->deallocateArrangement (&out);
    processor->duringLayoutChange = nullptr;
    ASSERT_FALSE (duringReshape.waited);
    EXPECT_EQ (duringReshape.out[0][7], ramp (7, 0));
    EXPECT_EQ (processor->blockSizes.size(), blocksBefore);
    EXPECT_EQ (effect->numInputs, 1);

    EXPECT_EQ (process (32, false, 1)[0][7], 0.5f * ramp (7, 0));
}

TEST_F (WrapperFixture, HostBypassUsesTheBypassedPath)
{
    start();
    EXPECT_EQ (dispatch (effSetBypass, 0, 1), 1);
    const auto bypassed = process (64, false);
    EXPECT_EQ (processor->bypassedBlocks, 1);
    EXPECT_EQ (bypassed[0][7], ramp (7, 0));

    EXPECT_EQ (dispatch (effSetBypass, 0, 0), 1);
    const auto processed = process (64, false);
    EXPECT_EQ (processor->bypassedBlocks, 1);
    EXPECT_EQ (processed[0][7], 0.5f * ramp (7, 0));
}

TEST_F (WrapperFixture, OfflineRenderingIsFollowedEveryBlock)
{
    start();
    process (16, false);
    EXPECT_FALSE (processor->isNonRealtime());

    host.answers[audioMasterGetCurrentProcessLevel] = kVstProcessLevelOffline;
    process (16, false);
    EXPECT_TRUE (processor->isNonRealtime());

    host.answers[audioMasterGetCurrentProcessLevel] = kVstProcessLevelRealtime;
    process (16, false);
    EXPECT_FALSE (processor->isNonRealtime());
}

TEST_F (WrapperFixture, TimeInformationIsAskedForEveryBlock)
{
    start();
    host.calls.clear();
    process (16, false);
    process (16, false);

    int requests = 0;
    for (const auto& call : host.calls)
        if (call.opcode == audioMasterGetTime)
        {
            ++requests;
            EXPECT_EQ (call.value, ZkVstPlayHead::wantedTimeInfo);
        }
    EXPECT_EQ (requests, 2);
    ASSERT_EQ (processor->positions.size(), 2u);
    EXPECT_FALSE (processor->positions[0].hasValue()); // the host answered null
}

TEST_F (WrapperFixture, ChannelArrangementsOneOneAndTwoTwoOnly)
{
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    ASSERT_TRUE (wrapper->allocateArrangement (&in, 1));
    ASSERT_TRUE (wrapper->allocateArrangement (&out, 1));

    EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (in), out), 1);
    EXPECT_EQ (effect->numInputs, 1);
    EXPECT_EQ (effect->numOutputs, 1);
    EXPECT_EQ (processor->getTotalNumInputChannels(), 1);

    start();
    const auto mono = process (32, false, 1);
    EXPECT_EQ (mono[0][3], 0.5f * ramp (3, 0));
    EXPECT_EQ (processor->blockChannels.back(), 1);

    VstPinProperties pin{};
    EXPECT_EQ (dispatch (effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_EQ (pin.arrangementType, kSpeakerArrMono);
    EXPECT_EQ (pin.flags & kVstPinIsStereo, 0);
    EXPECT_EQ (dispatch (effGetInputProperties, 1, 0, &pin), 0);

    // Refused: unequal, three channels, absurd counts. The set-up stays mono.
    const std::pair<VstInt32, VstInt32> refused[] = {
        {2, 1}, {1, 2}, {3, 3}, {0, 0}, {-1, -1}, {std::numeric_limits<VstInt32>::max(), 2}};
    for (const auto& [inputs, outputs] : refused)
    {
        in->numChannels = inputs;
        out->numChannels = outputs;
        EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (in), out), 0)
            << inputs;
        EXPECT_EQ (effect->numInputs, 1);
    }

    VstSpeakerArrangement* stereoIn = nullptr;
    VstSpeakerArrangement* stereoOut = nullptr;
    ASSERT_TRUE (wrapper->allocateArrangement (&stereoIn, 2));
    ASSERT_TRUE (wrapper->allocateArrangement (&stereoOut, 2));
    EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (stereoIn), stereoOut), 1);
    EXPECT_EQ (effect->numInputs, 2);

    VstSpeakerArrangement* givenIn = nullptr;
    VstSpeakerArrangement* givenOut = nullptr;
    EXPECT_EQ (dispatch (effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&givenIn), &givenOut), 1);
    ASSERT_NE (givenIn, nullptr);
    EXPECT_EQ (givenIn->type, kSpeakerArrStereo);
    EXPECT_EQ (givenIn->numChannels, 2);
    EXPECT_EQ (speakerOf (givenIn, 0)->type, kSpeakerL);
    EXPECT_EQ (speakerOf (givenOut, 1)->type, kSpeakerR);

    EXPECT_EQ (dispatch (effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ (pin.label, "Left"); // the processor's channel name
    EXPECT_EQ (pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ (pin.arrangementType, kSpeakerArrStereo);

    for (auto* arrangement : {&in, &out, &stereoIn, &stereoOut})
        wrapper->deallocateArrangement (arrangement);
}

TEST_F (WrapperFixture, AutomationGesturesAndDisplayUpdatesReachTheHostInOrder)
{
    host.calls.clear();

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    processor->beginParameterChangeGesture (5);
    processor->setParameterNotifyingHost (5, 0.25f);
    processor->setParameterNotifyingHost (5, 0.5f);
    processor->endParameterChangeGesture (5);
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif
    processor->updateHostDisplay();

    // The display update arrives through the message loop.
    for (int i = 0; i < 100 && host.calls.size() < 5; ++i)
        juce::dispatchNextMessageOnSystemQueue (true);

    std::vector<std::pair<VstInt32, VstInt32>> seen;
    for (const auto& call : host.calls)
        seen.emplace_back (call.opcode, call.index);
    const std::vector<std::pair<VstInt32, VstInt32>> expected{{audioMasterBeginEdit, 5},
                                                              {audioMasterAutomate, 5},
                                                              {audioMasterAutomate, 5},
                                                              {audioMasterEndEdit, 5},
                                                              {audioMasterUpdateDisplay, 0}};
    EXPECT_EQ (seen, expected);
    ASSERT_GE (host.calls.size(), 3u);
    EXPECT_EQ (host.calls[1].opt, 0.25f);
    EXPECT_EQ (host.calls[2].opt, 0.5f);
    EXPECT_EQ (host.calls[1].effect, effect);
}

// The record's initialDelay has one writer, the message thread: a latency that
// the processor takes on while it prepares reaches the host there, with ioChanged.
TEST_F (WrapperFixture, ANewLatencyReachesTheRecordOnTheMessageThread)
{
    processor->duringPrepare = [this] { processor->setLatencySamples (128); };
    start();
    processor->duringPrepare = nullptr;
    EXPECT_EQ (effect->initialDelay, 0);

    const auto toldTheHost = [this]
    {
        for (const auto& call : host.calls)
            if (call.opcode == audioMasterIOChanged)
                return true;
        return false;
    };
    for (int i = 0; i < 100 && !toldTheHost(); ++i)
        juce::dispatchNextMessageOnSystemQueue (true);

    EXPECT_TRUE (toldTheHost());
    EXPECT_EQ (effect->initialDelay, 128);
}

TEST_F (WrapperFixture, ProcessingAllocatesNothing)
{
    VstTimeInfo info{};
    info.tempo = 120.0;
    info.flags = kVstPpqPosValid | kVstTempoValid | kVstTransportPlaying;
    host.answers[audioMasterGetTime] = reinterpret_cast<VstIntPtr> (&info);
    start (48000.0f, 64);
    processor->quiet = true;
    host.recording = false;

    std::vector<float> left (200, 0.25f), right (200, 0.25f);
    float* channels[] = {left.data(), right.data()};
    dispatch (effSetBypass, 0, 0);

    const AllocationCounter allocations;
    effect->processReplacing (effect, channels, channels, 200); // in place, in parts of 64
    dispatch (effSetBypass, 0, 1);
    effect->processReplacing (effect, channels, channels, 64);
    EXPECT_EQ (allocations.getCount(), 0u);
    EXPECT_EQ (left[199], 0.125f);
}
