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
// A whole four-beat pattern in half a second, so that every step of pattern A sounds.
constexpr double renderRate = 22050.0;
constexpr double tempo = 480.0;
constexpr int renderLength = 11025;

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

    float renderPeak() { return peakOf (run (renderLength, sine)); }
};

struct OddValue
{
    float value;
    const char* text; // as it stands in a damaged chunk
};

const OddValue oddValues[] = {{2.0f, "2.0"}, {-1.0f, "-1"}, {1.0e30f, "1e30"}, {-1.0e30f, "-1e30"}};

float peakFromHost (int index, float value)
{
    LoudnessRig rig (index);
    rig.setParam (index, value);
    return rig.renderPeak();
}

float peakFromChunk (int index, const OddValue& odd)
{
    LoudnessRig rig (index);
    auto& processor = rig.processor;
    const auto name = processor.getParameterName (index);

    juce::MemoryBlock state;
    processor.getStateInformation (state);
    auto xml = juce::AudioProcessor::getXmlFromBinary (state.getData(), (int)state.getSize());
    EXPECT_NE (xml, nullptr);
    if (xml == nullptr)
        return 0.0f;

    xml->setAttribute (name, juce::String (odd.text));
    juce::MemoryBlock damaged;
    juce::AudioProcessor::copyXmlToBinary (*xml, damaged);
    processor.setStateInformation (damaged.getData(), (int)damaged.getSize());

    // The value is taken, and stored as it came.
    if (index < ZkParameterTable::numParameters)
    {
        EXPECT_EQ (processor.getParameter (index), odd.value) << name << " from the chunk";
    }

    return rig.renderPeak();
}

// Equal processing values give equal output; the margin only covers rounding.
float loudestAllowed (float peakAt0, float peakAt1)
{
    return std::max (peakAt0, peakAt1) * 1.0001f + 1.0e-4f;
}

class OutOfRangeLoudness : public ::testing::TestWithParam<int>
{
};
} // namespace

TEST_P (OutOfRangeLoudness, NeverLouderThanAtEitherEndOfTheRange)
{
    const int index = GetParam();
    const float limit = loudestAllowed (peakFromHost (index, 0.0f), peakFromHost (index, 1.0f));

    for (const auto& odd : oddValues)
    {
        EXPECT_LE (peakFromHost (index, odd.value), limit) << "host writes " << odd.text;
        EXPECT_LE (peakFromChunk (index, odd), limit) << "chunk holds " << odd.text;
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
        LoudnessRig rig (0);
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
    EXPECT_LE (peakWithGainsAt ("2.0"), loudestAllowed (atTop, 0.0f));
}
