// Parameter writes and the processing values they produce: the gain law, the
// switches, the echo times, pattern selection and the pattern parameters, bad
// values, and a write path that never allocates.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/ZkOstinelAudioProcessor.h"
#include "support/AllocationCounter.h"
#include "support/ZkOstinelAudioProcessorTestProbe.h"

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // the host's index-based parameter interface
#endif

namespace
{
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float largest = std::numeric_limits<float>::max();

int indexOf (ZkOstinelAudioProcessor& processor, const char* name)
{
    const int index = processor.getParameterManager()->getParameterIndex (name);
    EXPECT_GE (index, 0) << name;
    return index;
}

void write (ZkOstinelAudioProcessor& processor, const char* name, float v)
{
    processor.setParameter (indexOf (processor, name), v);
}

/** Everything the parameters drive, for before/after comparisons. */
struct Snapshot
{
    std::vector<float> values;
    std::vector<float> floats;
    std::vector<double> doubles;
    std::vector<int> flags;
    std::vector<float> steps;
    std::vector<int> patternSettings;

    bool operator== (const Snapshot& o) const
    {
        return values == o.values && floats == o.floats && doubles == o.doubles && flags == o.flags &&
               steps == o.steps && patternSettings == o.patternSettings;
    }
};

Snapshot snapshot (ZkOstinelAudioProcessor& processor)
{
    ZkOstinelAudioProcessorTestProbe probe (processor);
    Snapshot s;

    for (int index = 0; index < 300; ++index)
        s.values.push_back (processor.getParameter (index));

    s.floats = {probe.inputGain(),
                probe.outputGain(),
                probe.makeUpGain(),
                probe.mix(),
                probe.attack(),
                probe.hold(),
                probe.decay(),
                probe.sustain(),
                probe.release(),
                probe.swing(),
                probe.timeOffset(),
                probe.shortStepLength(),
                probe.longStepLength(),
                probe.echoLevel(),
                probe.echoFeedback(),
                probe.echoBeatsNormal(),
                probe.echoBeatsTriplet(),
                probe.drive().getInputGain(),
                probe.drive().getOutputGain()};
    s.doubles = {probe.lowpassCutoff(), probe.lowpassReso()};
    s.flags = {
        probe.bypass(),       probe.muteAll(),          probe.lowpassActive(),          probe.echoActive(),
        probe.echoPingPong(), probe.drive().isActive(), processor.getCurrentPatternId()};

    for (int pattern = 0; pattern < 8; ++pattern)
    {
        const auto& p = processor.getPattern (pattern);
        s.patternSettings.push_back (p.getPatternLengthInBeats());
        s.patternSettings.push_back (p.getTripletState());
        for (int step = 0; step < 16; ++step)
        {
            s.steps.push_back (p.getStepLength (step));
            s.steps.push_back (p.getStepVolume (step));
        }
    }
    return s;
}

bool allProcessingValuesFinite (ZkOstinelAudioProcessor& processor)
{
    const auto s = snapshot (processor);
    for (float f : s.floats)
        if (!std::isfinite (f))
            return false;
    for (double d : s.doubles)
        if (!std::isfinite (d))
            return false;
    return true;
}
} // namespace

TEST (ProcessingValues, DefaultsAfterConstruction)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    EXPECT_EQ (probe.inputGain(), 1.0f);
    EXPECT_EQ (probe.outputGain(), 1.0f);
    EXPECT_EQ (probe.makeUpGain(), 1.0f);
    EXPECT_FLOAT_EQ (probe.hold(), 0.0484f);
    EXPECT_FLOAT_EQ (probe.release(), 0.004913f);
    EXPECT_FLOAT_EQ (probe.swing(), 0.0225f);
    EXPECT_EQ (probe.timeOffset(), 0.0f);
    EXPECT_FLOAT_EQ (probe.longStepLength(), 0.95f);
    EXPECT_FLOAT_EQ (probe.echoFeedback(), 0.36f);
    EXPECT_EQ (probe.echoBeatsNormal(), 0.75f);
    EXPECT_EQ (probe.echoBeatsTriplet(), 0.6666667f);
    EXPECT_TRUE (probe.echoPingPong());
    EXPECT_EQ (probe.lowpassCutoff(), 1.0);
    EXPECT_FALSE (probe.lowpassActive());
    EXPECT_FALSE (probe.drive().isActive());
    EXPECT_EQ (probe.drive().getOutputGain(), 1.0f);
    EXPECT_EQ (processor.getCurrentPatternId(), 0);

    // Patterns other than A are not touched by the preset loaded at construction.
    for (int pattern = 1; pattern < 8; ++pattern)
    {
        const auto& p = processor.getPattern (pattern);
        EXPECT_EQ (p.getPatternLengthInBeats(), 4);
        EXPECT_FALSE (p.getTripletState());
        for (int step = 0; step < 16; ++step)
        {
            EXPECT_EQ (p.getStepLength (step), 0.375f);
            EXPECT_EQ (p.getStepVolume (step), 1.0f);
        }
    }
}

//==============================================================================
// Gain law: -24 dB at 0, exactly 1 at 0.5, +24 dB at 1 on a squared curve.

namespace
{
struct GainPoint
{
    float v;
    float gain;
};

class GainLaw : public ::testing::TestWithParam<GainPoint>
{
};
} // namespace

TEST_P (GainLaw, AppliesToAllFourGainParameters)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    const auto [v, expected] = GetParam();
    const float tolerance = expected * 1.0e-6f;

    write (processor, "InputGain", v);
    write (processor, "OutputGain", v);
    write (processor, "MakeUpGain", v);
    write (processor, "DriveOutputGain", v);

    EXPECT_NEAR (probe.inputGain(), expected, tolerance);
    EXPECT_NEAR (probe.outputGain(), expected, tolerance);
    EXPECT_NEAR (probe.makeUpGain(), expected, tolerance);
    EXPECT_NEAR (probe.drive().getOutputGain(), expected, tolerance);
}

INSTANTIATE_TEST_SUITE_P (Points, GainLaw,
                          ::testing::Values (GainPoint{0.5f, 1.0f}, GainPoint{0.25f, 0.5011872f},
                                             GainPoint{0.75f, 1.9952623f}, GainPoint{0.0f, 0.0630957f},
                                             GainPoint{1.0f, 15.848932f}));

TEST (ProcessingValues, ShapesAndTimingFollowTheirFormulasWithinTheRange)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    write (processor, "Attack", 0.5f);
    write (processor, "Release", 0.5f);
    write (processor, "TimeOffset", 1.2f);
    write (processor, "LongStepLength", 0.0f);
    write (processor, "EchoFeedback", 1.0f);
    write (processor, "DriveInputGain", 1.0f);
    write (processor, "LowpassCutoff", 0.3f);

    EXPECT_EQ (probe.attack(), 0.25f);
    EXPECT_EQ (probe.release(), 0.125f);
    EXPECT_EQ (probe.timeOffset(), 1.0f); // 1.2 plays as 1
    EXPECT_EQ (probe.longStepLength(), 0.5f);
    EXPECT_FLOAT_EQ (probe.echoFeedback(), 0.9f);
    EXPECT_FLOAT_EQ (probe.drive().getInputGain(), std::pow (10.0f, 1.2f));
    EXPECT_EQ (probe.lowpassCutoff(), static_cast<double> (0.3f)); // the single-precision value, widened
}

TEST (ProcessingValues, SwitchesAreOnOnlyAboveTheCentre)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);
    const auto allSwitches = [&probe]
    {
        return std::array<bool, 6>{probe.bypass(),     probe.muteAll(),      probe.lowpassActive(),
                                   probe.echoActive(), probe.echoPingPong(), probe.drive().isActive()};
    };
    const char* names[] = {"Bypass", "MuteAll", "LowpassActive", "EchoActive", "EchoPingPong", "DriveActive"};

    for (const char* name : names)
        write (processor, name, 0.5f);
    for (bool on : allSwitches())
        EXPECT_FALSE (on);

    for (const char* name : names)
        write (processor, name, 0.5000001f);
    for (bool on : allSwitches())
        EXPECT_TRUE (on);
}

TEST (ProcessingValues, TripletModeSwitchesOnAtTheCentreWhileItsTextSaysOff)
{
    ZkOstinelAudioProcessor processor;
    const int index = indexOf (processor, "TripletMode-A");

    processor.setParameter (index, 0.4999999f);
    EXPECT_FALSE (processor.getPattern (0).getTripletState());

    processor.setParameter (index, 0.5f);
    EXPECT_TRUE (processor.getPattern (0).getTripletState());
    EXPECT_EQ (processor.getParameterText (index), "OFF");
}

TEST (ProcessingValues, PatternLengthBuckets)
{
    ZkOstinelAudioProcessor processor;
    const auto lengthFor = [&processor] (float v)
    {
        write (processor, "PatternLength-A", v);
        return processor.getPattern (0).getPatternLengthInBeats();
    };

    EXPECT_EQ (lengthFor (0.24f), 1);
    EXPECT_EQ (lengthFor (0.25f), 2);
    EXPECT_EQ (lengthFor (0.7499999f), 2);
    EXPECT_EQ (lengthFor (0.75f), 4);
    EXPECT_EQ (lengthFor (-3.0f), 1);
    EXPECT_EQ (lengthFor (largest), 4);
}

//==============================================================================
// Echo time: six note values, the thresholds of the note-value display.

namespace
{
struct EchoPoint
{
    float v;
    float beats;
};

class EchoType : public ::testing::TestWithParam<EchoPoint>
{
};
} // namespace

TEST_P (EchoType, BothEchoTypesUseTheSameThresholds)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    write (processor, "EchoTypeNormal", GetParam().v);
    write (processor, "EchoTypeTriplet", GetParam().v);

    EXPECT_EQ (probe.echoBeatsNormal(), GetParam().beats);
    EXPECT_EQ (probe.echoBeatsTriplet(), GetParam().beats);
}

INSTANTIATE_TEST_SUITE_P (Thresholds, EchoType,
                          ::testing::Values (EchoPoint{-1.0f, 0.25f}, EchoPoint{0.16666667f, 0.25f},
                                             EchoPoint{0.1666667f, 0.5f}, EchoPoint{0.33333334f, 0.5f},
                                             EchoPoint{0.5f, 0.75f}, EchoPoint{0.5000001f, 1.0f},
                                             EchoPoint{0.6666667f, 1.0f}, EchoPoint{0.8333334f, 0.33333334f},
                                             EchoPoint{0.8333335f, 0.6666667f}, EchoPoint{7.0f, 0.6666667f}));

//==============================================================================
// Pattern selection: v * 7 truncated, v limited to 0..1 first.

TEST (ProcessingValues, PatternSelectByValue)
{
    ZkOstinelAudioProcessor processor;
    const auto selectedAfter = [&processor] (float v)
    {
        write (processor, "PatternSelect", v);
        return processor.getCurrentPatternId();
    };

    EXPECT_EQ (selectedAfter (1.0f), 7);
    EXPECT_EQ (selectedAfter (0.5f), 3);
    EXPECT_EQ (selectedAfter (0.0f), 0);

    // The selection command writes id / 7, which must give id back.
    for (int id = 0; id < 8; ++id)
        EXPECT_EQ (selectedAfter (static_cast<float> (id) / 7.0f), id) << id;

    // Values outside 0..1 select the pattern of the nearer end; non-finite ones nothing.
    for (float above : {8.0f / 7.0f, 2.0f, largest})
    {
        selectedAfter (3.0f / 7.0f);
        EXPECT_EQ (selectedAfter (above), 7) << above;
    }

    for (float below : {-0.1f, -0.2f, -largest})
    {
        selectedAfter (3.0f / 7.0f);
        EXPECT_EQ (selectedAfter (below), 0) << below;
    }

    selectedAfter (3.0f / 7.0f);
    for (float bad : {inf, -inf, notANumber})
        EXPECT_EQ (selectedAfter (bad), 3) << bad;
}

//==============================================================================
// Pattern parameters reach exactly one step of one pattern.

TEST (ProcessingValues, AStepParameterChangesOneStepOfOnePattern)
{
    ZkOstinelAudioProcessor processor;
    const auto before = snapshot (processor);

    processor.setParameter (68, 0.9f); // StepLength-03-B
    auto after = snapshot (processor);

    EXPECT_EQ (processor.getPattern (1).getStepLength (2), 0.875f);
    EXPECT_EQ (processor.getParameter (68), 0.9f);

    // Everything else is as before.
    after.values[68] = before.values[68];
    const size_t stepB3Length = (1 * 16 + 2) * 2;
    after.steps[stepB3Length] = before.steps[stepB3Length];
    EXPECT_TRUE (after == before);

    processor.setParameter (69, 1.7f); // StepVolume-03-B: stored as given, played at most at 1
    EXPECT_EQ (processor.getPattern (1).getStepVolume (2), 1.0f);
    EXPECT_EQ (processor.getParameter (69), 1.7f);
    EXPECT_EQ (processor.getPattern (0).getStepVolume (2), before.steps[2 * 2 + 1]);
}

//==============================================================================
// Bad values: non-finite ones are refused, finite ones outside 0..1 are stored as
// they came and processed as the nearer end of the range.

TEST (ProcessingValues, NonFiniteWritesChangeNothing)
{
    ZkOstinelAudioProcessor processor;
    const auto before = snapshot (processor);

    for (int index = 0; index < 300; ++index)
        for (float bad : {notANumber, inf, -inf})
            processor.setParameter (index, bad);

    EXPECT_TRUE (snapshot (processor) == before);
}

TEST (ProcessingValues, FarOutOfRangeValuesKeepProcessingValuesFinite)
{
    ZkOstinelAudioProcessor processor;
    ZkOstinelAudioProcessorTestProbe probe (processor);

    // Far outside 0..1 the gains play as at the nearer end of their range.
    write (processor, "InputGain", 1.0e6f);
    EXPECT_NEAR (probe.inputGain(), 15.848932f, 2.0e-5f);

    write (processor, "DriveInputGain", 1.0e6f);
    EXPECT_NEAR (probe.drive().getInputGain(), 15.848932f, 2.0e-5f);

    write (processor, "InputGain", -1.0e6f);
    EXPECT_NEAR (probe.inputGain(), 0.0630957f, 1.0e-7f);

    for (float extreme : {largest, -largest, 1.0e20f, -1.0e20f, 40.0f, -40.0f})
        for (int index = 0; index < 300; ++index)
        {
            processor.setParameter (index, extreme);
            ASSERT_TRUE (allProcessingValuesFinite (processor)) << "index " << index << " value " << extreme;
        }
}

//==============================================================================

TEST (ProcessingValues, EveryWriteRaisesTheEditorFlagsEvenWhenUnchanged)
{
    ZkOstinelAudioProcessor processor;
    auto* manager = processor.getParameterManager();
    manager->getParameterNeedsToBeUpdatedInEditor();

    processor.setParameter (5, 0.3f);
    EXPECT_TRUE (manager->getParameterNeedsToBeUpdatedInEditor());
    processor.setParameter (5, 0.3f);
    EXPECT_TRUE (manager->getParameterNeedsToBeUpdatedInEditor());
    EXPECT_FALSE (manager->getParameterNeedsToBeUpdatedInEditor());
}

TEST (ProcessingValues, ParameterWritesDoNotAllocate)
{
    ZkOstinelAudioProcessor processor;

    {
        AllocationCounter counterSeesAllocations;
        const auto text = processor.getParameterName (5) + " allocates";
        ASSERT_GE (counterSeesAllocations.getCount(), 1u) << text;
    }

    AllocationCounter allocations;
    for (int index = -1; index <= 350; ++index)
        for (float v : {0.0f, 0.3f, 0.5f, 0.9f, 1.0f, 1.5f, -0.5f, notANumber})
            processor.setParameter (index, v);

    EXPECT_EQ (allocations.getCount(), 0u);
}
