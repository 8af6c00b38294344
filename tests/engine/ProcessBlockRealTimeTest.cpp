// Real-time behaviour of processBlock: no allocation, the editor feeds and their safe
// hand-over, channel layouts and buffers that do not match them, extreme values.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"
#include "support/AllocationCounter.h"

#include <atomic>
#include <thread>

using namespace zktest;

namespace
{
// Stand-ins for the editor's widgets; a destroyed one fails the test when it is used
// (and the sanitizer build reports the use after free).
struct FakeWidget
{
    ~FakeWidget() { alive = 0; }
    void check() const { EXPECT_EQ (alive, 0x600d) << "a cleared widget was used"; }
    volatile int alive = 0x600d;
};

struct FakeMeter : CvoLevelMeterFeed, FakeWidget
{
    void pushLeftSample (float level) override
    {
        check();
        ++pushes;
        lastLeft = level;
    }
    void pushRightSample (float) override { check(); }

    std::atomic<long> pushes{0};
    float lastLeft = -1.0f;
};

struct FakeDisplay : CvoWaveDisplayFeed, FakeWidget
{
    FakeDisplay() { restartsAt.reserve (100000); }
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

    std::atomic<long> pushes{0};
    std::vector<long> restartsAt; // the number of pushes at each restart
    float samplesPerBeat = 0.0f;
    bool isRunning = false;
};
} // namespace

TEST (ProcessBlockRealTime, AllocatesNothingWhateverTheTransportAndFeedsDo)
{
    ProcessorRig rig;
    rig.setEverythingActive();
    FakeMeter in, out;
    FakeDisplay display;
    rig.processor.setInputVuMeter (&in);
    rig.processor.setOutputVuMeter (&out);
    rig.processor.setWaveDisplay (&display);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    buffer.clear();
    buffer.setSample (0, 0, 0.5f);

    size_t allocations = 0;
    for (int block = 0; block < 400; ++block)
    {
        // Between blocks, as host calls would: stop, start with a jump and a new tempo,
        // another pattern, a new cutoff.
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
        allocations += counter.getCount();
    }

    EXPECT_EQ (allocations, 0u);
    EXPECT_GT (out.pushes.load(), 0);
}

TEST (ProcessBlockRealTime, FeedsGetTheProcessedSignalAndTheBeats)
{
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setParam (pInputGain, 0.75f); // +6 dB
    FakeMeter in, out;
    FakeDisplay display;
    rig.processor.setInputVuMeter (&in);
    rig.processor.setOutputVuMeter (&out);
    rig.processor.setWaveDisplay (&display);

    const int samples = 2 * 24000 + 1; // two beats and the first sample of the third
    rig.run (samples, [] (int, int64_t) { return -0.25f; });

    EXPECT_EQ (in.pushes.load(), samples);
    EXPECT_EQ (display.pushes.load(), samples);
    EXPECT_NEAR (in.lastLeft, 0.25f * std::pow (10.0f, 0.3f), 1.0e-6f); // after the input gain, rectified
    EXPECT_EQ (display.samplesPerBeat, 24000.0f);
    EXPECT_TRUE (display.isRunning);

    // Transport start: at the block start and again in the first sample; then in the
    // first sample of every beat, before that sample is pushed.
    EXPECT_EQ (display.restartsAt, (std::vector<long>{0, 0, 24000, 48000}));

    // Muted: the display gets nothing, the meters go on.
    rig.setParam (pMuteAll, 1.0f);
    rig.run (1000, [] (int, int64_t) { return -0.25f; });
    EXPECT_EQ (display.pushes.load(), samples);
    EXPECT_EQ (out.pushes.load(), samples + 1000);
}

TEST (ProcessBlockRealTime, AClearedFeedIsNeverUsedAgain)
{
    ProcessorRig rig (48000.0, 2, 64);
    rig.setEverythingActive();

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

    // Register fresh widgets, let the audio thread use them (every third round), clear
    // and destroy them at once.
    long used = 0;
    for (int round = 0; round < 300; ++round)
    {
        auto in = std::make_unique<FakeMeter>();
        auto out = std::make_unique<FakeMeter>();
        auto display = std::make_unique<FakeDisplay>();
        rig.processor.setInputVuMeter (in.get());
        rig.processor.setOutputVuMeter (out.get());
        rig.processor.setWaveDisplay (display.get());

        while (round % 3 == 0 && in->pushes.load() == 0)
            std::this_thread::yield();

        rig.processor.setWaveDisplay (nullptr);
        rig.processor.setInputVuMeter (nullptr);
        rig.processor.setOutputVuMeter (nullptr);
        used += in->pushes.load();
    }

    stop = true;
    audio.join();
    EXPECT_GT (used, 0);
}

TEST (ProcessBlockLayouts, OnlyMatchingMonoOrStereoLayoutsAreAccepted)
{
    ZkOstinelAudioProcessor processor;
    using Set = juce::AudioChannelSet;
    auto supports = [&] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        return processor.checkBusesLayoutSupported (layout);
    };

    EXPECT_TRUE (supports (Set::stereo(), Set::stereo()));
    EXPECT_TRUE (supports (Set::mono(), Set::mono()));
    EXPECT_FALSE (supports (Set::mono(), Set::stereo()));
    EXPECT_FALSE (supports (Set::stereo(), Set::mono()));
    EXPECT_FALSE (supports (Set::create5point1(), Set::create5point1()));
    EXPECT_FALSE (supports (Set::disabled(), Set::stereo()));
    EXPECT_FALSE (supports (Set::disabled(), Set::disabled()));

    processor.setPlayConfigDetails (1, 1, 44100.0, 256);
    EXPECT_EQ (processor.getTotalNumInputChannels(), 1);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 1);
}

TEST (ProcessBlockLayouts, BuffersWithFewerChannelsOrSamplesAreHandled)
{
    ProcessorRig rig;
    rig.setEverythingActive();
    juce::MidiBuffer midi;

    // A stereo processor given one channel processes it as mono; no channels or no
    // samples do nothing. (The sanitizer build checks that nothing else is touched.)
    juce::AudioBuffer<float> one (1, 512), none (0, 512), empty (2, 0), two (2, 512);
    one.clear();
    one.setSample (0, 0, 1.0f);
    for (int block = 0; block < 20; ++block)
        rig.processBlock (one, midi);
    rig.processBlock (none, midi);
    rig.processBlock (empty, midi);
    two.clear();
    rig.processBlock (two, midi);

    for (int i = 0; i < 512; ++i)
        ASSERT_TRUE (std::isfinite (one.getSample (0, i)));
    EXPECT_LE (two.getMagnitude (0, 512), 1.0f);
}

TEST (ProcessBlockRobustness, ExtremeParameterValuesAndTemposStayDefined)
{
    // Values far outside 0..1 reach the processing unclamped; nothing may overflow or
    // convert out of range (the sanitizer build checks), and the output stays finite.
    for (double bpm : {0.001, 1.0, 120.0, 100000.0})
    {
        ProcessorRig rig;
        rig.setEverythingActive();
        rig.setHost (bpm, 1.0e15, true);
        rig.setSteps ([] (int step) { return step % 2 == 0 ? longStepValue : stepLinkValue; });
        rig.setParams ({{pAttack, 1.0e6f},
                        {pHold, 1.0e6f},
                        {pDecay, 1.0e6f},
                        {pRelease, -1.0e6f},
                        {pSwing, 1.0e6f},
                        {pTimeOffset, -1.0e6f},
                        {pShortStepLength, 1.0e6f},
                        {pLongStepLength, 1.0e6f},
                        {pEchoTypeNormal, -1.0e6f}});

        for (const auto& channel : rig.run (48000, [] (int, int64_t i) { return (i % 100) * 0.01f - 0.5f; }))
            for (float x : channel)
                ASSERT_TRUE (std::isfinite (x)) << bpm << " BPM";
    }
}
