// Real-time behaviour of processBlock: no allocation, safe editor feeds, channel
// layouts and buffers that do not match them, and extreme values.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"
#include "support/AllocationCounter.h"

#include <atomic>
#include <limits>
#include <thread>

using namespace zktest;

//==============================================================================
namespace
{
// Stand-ins for the editor's widgets. A destroyed one fails the test if it is used.
class FakeMeter : public CvoLevelMeterFeed
{
public:
    ~FakeMeter() override { alive = 0; }
    void pushLeftSample (float level) override
    {
        check();
        ++leftPushes;
        lastLeft = level;
    }
    void pushRightSample (float level) override
    {
        check();
        ++rightPushes;
        lastRight = level;
    }
    void check() const { EXPECT_EQ (alive, aliveMark) << "a cleared meter was used"; }

    static constexpr int aliveMark = 0x600d;
    volatile int alive = aliveMark;
    std::atomic<long> leftPushes{0}, rightPushes{0};
    float lastLeft = -1.0f, lastRight = -1.0f;
};

class FakeDisplay : public CvoWaveDisplayFeed
{
public:
    ~FakeDisplay() override { alive = 0; }
    void pushSample (float) override
    {
        check();
        ++pushes;
    }
    void restart() override
    {
        check();
        restartsAt.push_back (pushes.load());
    }
    void setSamplesPerBeat (float samples) override
    {
        check();
        samplesPerBeat = samples;
    }
    void setIsRunningState (bool running) override
    {
        check();
        isRunning = running;
    }
    void check() const { EXPECT_EQ (alive, FakeMeter::aliveMark) << "a cleared display was used"; }

    volatile int alive = FakeMeter::aliveMark;
    std::atomic<long> pushes{0};
    std::vector<long> restartsAt; // push count at each restart; reserved before use
    float samplesPerBeat = 0.0f;
    bool isRunning = false;
};

void setEverythingActive (ProcessorRig& rig)
{
    rig.setNeutralGate();
    const std::pair<int, float> values[] = {
        {pLowpassActive, 1.0f}, {pLowpassCutoff, 0.6f},  {pLowpassReso, 0.7f},
        {pDriveActive, 1.0f},   {pDriveInputGain, 0.4f}, {pEchoActive, 1.0f},
        {pEchoFeedback, 0.8f},  {pEchoPingPong, 1.0f},   {pSwing, 0.5f}};
    for (auto [index, value] : values)
        rig.setParam (index, value);
}
} // namespace

//==============================================================================
TEST (ProcessBlockRealTime, AllocatesNothingWhateverTheTransportAndFeedsDo)
{
    ProcessorRig rig;
    setEverythingActive (rig);
    FakeMeter in, out;
    FakeDisplay display;
    display.restartsAt.reserve (10000);
    rig.processor.setInputVuMeter (&in);
    rig.processor.setOutputVuMeter (&out);
    rig.processor.setWaveDisplay (&display);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    buffer.clear();
    buffer.setSample (0, 0, 0.5f);

    long allocations = 0;
    for (int block = 0; block < 400; ++block)
    {
        // Transport stops, starts, jumps and changes tempo along the way (on this
        // thread, between blocks, as host calls would).
        if (block == 100)
            rig.setHost (120.0, rig.hostPpq, false);
        if (block == 150)
            rig.setHost (97.0, 3.0, true);
        if (block == 200)
            rig.setParam (pPatternSelect, 3.0f / 7.0f);
        if (block == 250)
            rig.setParam (pLowpassCutoff, 0.3f);

        AllocationCounter counter;
        rig.processBlock (buffer, midi);
        allocations += (long)counter.getCount();
    }

    EXPECT_EQ (allocations, 0);
    EXPECT_GT (out.leftPushes.load(), 0);
    EXPECT_GT (display.pushes.load(), 0);
}

TEST (ProcessBlockRealTime, FeedsGetTheSignalWhereItIsProcessed)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParam (pInputGain, 0.75f); // +6 dB
    FakeMeter in, out;
    FakeDisplay display;
    display.restartsAt.reserve (1000);
    rig.processor.setInputVuMeter (&in);
    rig.processor.setOutputVuMeter (&out);
    rig.processor.setWaveDisplay (&display);

    const int samples = 2 * 24000 + 1; // two beats and the first sample of the third
    rig.run (samples, [] (int, int64_t) { return -0.25f; });

    EXPECT_EQ (in.leftPushes.load(), samples);
    EXPECT_EQ (in.rightPushes.load(), samples);
    EXPECT_EQ (out.leftPushes.load(), samples);
    EXPECT_EQ (display.pushes.load(), samples);
    EXPECT_NEAR (in.lastLeft, 0.25f * std::pow (10.0f, 0.3f), 1.0e-6f); // after the input gain, rectified
    EXPECT_EQ (display.samplesPerBeat, 24000.0f);
    EXPECT_TRUE (display.isRunning);

    // Transport start: once at the block start and again in the first sample; then in
    // the first sample of every beat (before that sample is pushed).
    EXPECT_EQ (display.restartsAt, (std::vector<long>{0, 0, 24000, 48000}));

    // Muted: the display gets nothing, the meters go on.
    rig.setParam (pMuteAll, 1.0f);
    rig.run (1000, [] (int, int64_t) { return -0.25f; });
    EXPECT_EQ (display.pushes.load(), samples);
    EXPECT_EQ (out.leftPushes.load(), samples + 1000);
}

TEST (ProcessBlockRealTime, AClearedFeedIsNeverUsedAgain)
{
    ProcessorRig rig (48000.0, 2, 64);
    setEverythingActive (rig);

    std::atomic<bool> stop{false};
    std::thread audio (
        [&]
        {
            juce::AudioBuffer<float> buffer (2, 64);
            juce::MidiBuffer midi;
            while (!stop.load())
            {
                buffer.clear();
                rig.processor.processBlock (buffer, midi);
            }
        });

    // Register fresh widgets, let the audio thread use them, clear and destroy them at once.
    long used = 0;
    for (int round = 0; round < 300; ++round)
    {
        auto in = std::make_unique<FakeMeter>();
        auto out = std::make_unique<FakeMeter>();
        auto display = std::make_unique<FakeDisplay>();
        display->restartsAt.reserve (100000);

        rig.processor.setInputVuMeter (in.get());
        rig.processor.setOutputVuMeter (out.get());
        rig.processor.setWaveDisplay (display.get());

        while (in->leftPushes.load() == 0 && round % 3 == 0)
            std::this_thread::yield();

        rig.processor.setWaveDisplay (nullptr);
        rig.processor.setInputVuMeter (nullptr);
        rig.processor.setOutputVuMeter (nullptr);
        used += in->leftPushes.load();
    }

    stop = true;
    audio.join();
    EXPECT_GT (used, 0);
}

//==============================================================================
TEST (ProcessBlockLayouts, OnlyMatchingMonoOrStereoLayoutsAreAccepted)
{
    ZkOstinelAudioProcessor processor;
    using Set = juce::AudioChannelSet;

    auto layout = [] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    };

    EXPECT_TRUE (processor.checkBusesLayoutSupported (layout (Set::stereo(), Set::stereo())));
    EXPECT_TRUE (processor.checkBusesLayoutSupported (layout (Set::mono(), Set::mono())));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout (Set::mono(), Set::stereo())));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout (Set::stereo(), Set::mono())));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout (Set::create5point1(), Set::create5point1())));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout (Set::disabled(), Set::stereo())));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout (Set::disabled(), Set::disabled())));

    processor.setPlayConfigDetails (1, 1, 44100.0, 256);
    EXPECT_EQ (processor.getTotalNumInputChannels(), 1);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 1);
}

TEST (ProcessBlockLayouts, BuffersWithFewerChannelsOrSamplesAreHandled)
{
    ProcessorRig rig;
    setEverythingActive (rig);
    juce::MidiBuffer midi;

    // Stereo processor, one-channel buffer: processed as mono, nothing else touched.
    juce::AudioBuffer<float> one (1, 512);
    one.clear();
    one.setSample (0, 0, 1.0f);
    for (int block = 0; block < 20; ++block)
        rig.processBlock (one, midi);
    for (int i = 0; i < 512; ++i)
        ASSERT_TRUE (std::isfinite (one.getSample (0, i)));

    // No channels, and no samples.
    juce::AudioBuffer<float> none (0, 512);
    rig.processBlock (none, midi);
    juce::AudioBuffer<float> empty (2, 0);
    rig.processBlock (empty, midi);

    // And back to stereo.
    juce::AudioBuffer<float> two (2, 512);
    two.clear();
    rig.processBlock (two, midi);
    EXPECT_LE (two.getMagnitude (0, 512), 1.0f);
}

//==============================================================================
TEST (ProcessBlockRobustness, ExtremeParameterValuesAndTemposStayDefined)
{
    // Values far outside 0..1 reach the processing unclamped; nothing may overflow
    // or convert out of range (the sanitizer build checks), and the step clock goes on.
    const float huge = 1.0e6f;
    const std::pair<int, float> values[] = {
        {pAttack, huge},          {pHold, huge},           {pDecay, huge},
        {pRelease, -huge},        {pSwing, huge},          {pTimeOffset, -huge},
        {pShortStepLength, huge}, {pLongStepLength, huge}, {pEchoTypeNormal, -huge}};

    for (double bpm : {0.001, 1.0, 120.0, 100000.0})
    {
        ProcessorRig rig;
        setEverythingActive (rig);
        rig.setHost (bpm, 1.0e15, true);
        rig.setSteps ([] (int step) { return step % 2 == 0 ? longStepValue : stepLinkValue; });
        for (auto [index, value] : values)
            rig.setParam (index, value);

        const auto out = rig.run (48000, [] (int, int64_t i) { return (i % 100) * 0.01f - 0.5f; });
        for (const auto& channel : out)
            for (float x : channel)
                ASSERT_TRUE (std::isfinite (x)) << bpm << " BPM";
    }
}
