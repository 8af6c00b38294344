// A parameter value outside 0..1, however it arrives (a host's write, a state chunk,
// a user preset file), is kept as it came but never makes the output louder than the
// same parameter at either end of its range.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"
#include "engine/ZkUserPresetFile.h"
#include "support/TemporaryHome.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace zktest;

namespace
{
// A whole four-beat pattern in a quarter of a second, so that every step of a
// pattern sounds in each render.
constexpr double renderRate = 22050.0;
constexpr double tempo = 960.0;
constexpr int patternLength = 5513;

float sine (int channel, int64_t index)
{
    return 0.5f * std::sin (0.07f * (float)index + 0.3f * (float)channel);
}

float peakOf (const std::vector<std::vector<float>>& out)
{
    float peak = 0.0f;
    for (const auto& channel : out)
        for (float sample : channel)
            peak = std::max (peak, std::abs (sample));
    return peak;
}

bool isDriveParameter (int index)
{
    return index >= pDriveActive && index <= pDriveOutputGain;
}

// Everything that can raise the level is on: filter with resonance, echo with
// feedback, the gate over every step class. The drive folds any level back into its
// own range and would hide a loud stage before it, so it is on only for its own
// parameters. A pattern parameter's own pattern plays.
struct LoudnessRig : ProcessorRig
{
    explicit LoudnessRig (int index)
        : ProcessorRig (renderRate)
    {
        setHost (tempo, 0.0, true);
        setEverythingActive();
        setParam (pDriveActive, isDriveParameter (index) ? 1.0f : 0.0f);

        if (index >= ZkParameterTable::firstPatternParameter && index < ZkParameterTable::numParameters)
        {
            const int pattern =
                (index - ZkParameterTable::firstPatternParameter) / ZkParameterTable::numParametersPerPattern;
            setParam (pPatternSelect, (float)pattern / 7.0f);
        }
    }

    float renderPeak() { return peakOf (run (patternLength, sine)); }

    // The processor's own chunk with one attribute's text replaced.
    juce::MemoryBlock chunkWith (const juce::String& name, const juce::String& text)
    {
        juce::MemoryBlock state;
        processor.getStateInformation (state);
        auto xml = juce::AudioProcessor::getXmlFromBinary (state.getData(), (int)state.getSize());
        EXPECT_NE (xml, nullptr);
        if (xml == nullptr)
            return state;

        xml->setAttribute (name, text);
        juce::MemoryBlock changed;
        juce::AudioProcessor::copyXmlToBinary (*xml, changed);
        return changed;
    }
};

struct OddValue
{
    float value;
    const char* text; // as it stands in a damaged chunk
    float nearerEnd;  // of the range 0..1
};

const OddValue oddValues[] = {
    {2.0f, "2.0", 1.0f}, {1.0e30f, "1e30", 1.0f}, {-1.0f, "-1", 0.0f}, {-1.0e30f, "-1e30", 0.0f}};

// Equal processing values give equal output but for each instance's own output
// noise; the margin covers that noise and its echoes.
float loudestAllowed (float referencePeak)
{
    return referencePeak * 1.001f + 1.0e-4f;
}

class OutOfRangeLoudness : public ::testing::TestWithParam<int>
{
};
} // namespace

// Two instances play in step with the same history; whenever one of them is given a
// value outside the range, the other one has the nearer end of the range. Each
// value plays for a whole pattern.
TEST_P (OutOfRangeLoudness, NeverLouderThanAtTheNearerEndOfTheRange)
{
    const int index = GetParam();
    LoudnessRig odd (index), reference (index);
    const auto name = odd.processor.getParameterName (index);

    for (const auto& value : oddValues)
    {
        odd.setParam (index, value.value);
        reference.setParam (index, value.nearerEnd);
        const float referencePeak = reference.renderPeak();
        EXPECT_LE (odd.renderPeak(), loudestAllowed (referencePeak))
            << name << ": the host writes " << value.text;
    }

    for (const auto& value : oddValues)
    {
        // Both restore a chunk, which differs in this parameter only.
        reference.setParam (index, value.nearerEnd);
        const auto damaged = reference.chunkWith (name, value.text);
        const auto intact = reference.chunkWith (name, juce::String (value.nearerEnd));
        ASSERT_TRUE (odd.processor.restoreHostState (damaged.getData(), (int)damaged.getSize()));
        ASSERT_TRUE (reference.processor.restoreHostState (intact.getData(), (int)intact.getSize()));

        // The value is taken, and kept as it came.
        if (index < ZkParameterTable::numParameters)
        {
            EXPECT_EQ (odd.processor.getParameter (index), value.value) << name;
        }

        const float referencePeak = reference.renderPeak();
        EXPECT_LE (odd.renderPeak(), loudestAllowed (referencePeak))
            << name << ": a chunk holds " << value.text;
    }
}

INSTANTIATE_TEST_SUITE_P (EveryHostIndex, OutOfRangeLoudness,
                          ::testing::Range (0, ZkOstinelAudioProcessor::numHostParameters),
                          [] (const ::testing::TestParamInfo<int>& param)
                          { return "index" + std::to_string (param.param); });

TEST (OutOfRangeValues, TheDisplayTextShowsTheValueThatIsPlayed)
{
    ZkOstinelAudioProcessor processor;
    const auto textAt = [&processor] (int index, float value)
    {
        processor.setParameter (index, value);
        return processor.getParameterText (index);
    };

    for (int index = 0; index < ZkParameterTable::numParameters; ++index)
    {
        const auto top = textAt (index, 1.0f), bottom = textAt (index, 0.0f);
        EXPECT_EQ (textAt (index, 2.0f), top) << processor.getParameterName (index);
        EXPECT_EQ (textAt (index, 1.0e30f), top) << processor.getParameterName (index);
        EXPECT_EQ (textAt (index, -1.0f), bottom) << processor.getParameterName (index);
        EXPECT_EQ (textAt (index, -1.0e30f), bottom) << processor.getParameterName (index);
    }
}

TEST (OutOfRangeValues, AUserPresetWithValuesAboveTheRangeLoadsNoLouder)
{
    TemporaryHome home;
    const char* gains[] = {"InputGain", "OutputGain", "MakeUpGain", "Mix", "EchoLevel", "EchoFeedback"};

    // The same preset, its gains at the top of the range and beyond it.
    const auto peakWithGainsAt = [&gains] (const char* valueText)
    {
        LoudnessRig rig (pBypass);
        auto& processor = rig.processor;
        auto preset = processor.getCurrentPresetTree().createXml();

        for (auto* parameter : preset->getChildIterator())
            for (const char* name : gains)
                if (parameter->getStringAttribute ("ParameterName") == name)
                    parameter->setAttribute ("Value", juce::String (valueText));

        juce::MemoryOutputStream file;
        file.writeString (ZkUserPresetFile::headerText);
        file.writeString (ZkUserPresetFile::createDocumentText (*preset));
        const auto presetFile = processor.getUserPresetsFolder().getChildFile ("Loud.zkp");
        EXPECT_TRUE (presetFile.replaceWithData (file.getData(), file.getDataSize()));
        EXPECT_TRUE (processor.loadUserPresetUndoableWithName ("Loud"));
        EXPECT_EQ (processor.getParameter (pInputGain), juce::String (valueText).getFloatValue());

        return rig.renderPeak();
    };

    const float atTop = peakWithGainsAt ("1.0");
    EXPECT_GT (atTop, 0.5f); // the gains at +24 dB do raise the level
    EXPECT_LE (peakWithGainsAt ("2.0"), loudestAllowed (atTop));
}
