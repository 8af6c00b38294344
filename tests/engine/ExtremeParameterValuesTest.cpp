// Finite parameter values far outside 0..1 while processing: no output sample may be
// non-finite, and once valid values return the processor plays as one that never saw
// them (envelope, filter state and echo lines recover).

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace zktest;

namespace
{
constexpr int stepVolumesA = -1; // the case writes every step volume of pattern A

struct ExtremeCase
{
    const char* name;
    std::vector<std::pair<int, float>> writes; // host parameter index (or stepVolumesA), value
};

void write (ProcessorRig& rig, const ExtremeCase& c)
{
    for (const auto& [index, value] : c.writes)
    {
        if (index != stepVolumesA)
            rig.setParam (index, value);
        else
            for (int step = 0; step < 16; ++step)
                rig.setParam (stepVolumeParam (step), value);
    }
}

float input (int channel, int64_t index)
{
    return 0.6f * std::sin (0.013f * (float)index + 0.5f * (float)channel);
}

float silence (int, int64_t)
{
    return 0.0f;
}

// Every block active but the echo; with the echo too when withEcho.
void setValidValues (ProcessorRig& rig, bool withEcho)
{
    rig.setEverythingActive();
    rig.setParam (pEchoActive, withEcho ? 1.0f : 0.0f);
}

std::string firstNonFinite (const std::vector<std::vector<float>>& out)
{
    for (size_t ch = 0; ch < out.size(); ++ch)
        for (size_t i = 0; i < out[ch].size(); ++i)
            if (!std::isfinite (out[ch][i]))
                return "channel " + std::to_string (ch) + " sample " + std::to_string (i);
    return {};
}

class ExtremeParameterValue : public ::testing::TestWithParam<ExtremeCase>
{
};
} // namespace

TEST_P (ExtremeParameterValue, OutputStaysFiniteAndTheProcessorRecovers)
{
    const auto c = GetParam();
    ProcessorRig used, fresh;

    // The same history for both, except the extreme value for one of them: a second
    // with every block on (the echo too), then valid values again with the echo off,
    // and a second of silence, in which the filter state decays.
    for (auto* rig : {&used, &fresh})
        setValidValues (*rig, true);

    write (used, c);
    EXPECT_EQ (firstNonFinite (used.run (48000, input)), "") << c.name << " while set";
    fresh.run (48000, input);

    for (auto* rig : {&used, &fresh})
    {
        setValidValues (*rig, false);
        rig->run (48000, silence);
    }

    const auto expected = fresh.run (96000, input);
    const auto actual = used.run (96000, input);

    for (size_t ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < expected[ch].size(); ++i)
            ASSERT_NEAR (actual[ch][i], expected[ch][i], 2.0f * noiseTolerance) // two noise generators
                << c.name << " after valid values returned: channel " << ch << " sample " << i;
}

INSTANTIATE_TEST_SUITE_P (
    Values, ExtremeParameterValue,
    ::testing::Values (ExtremeCase{"Sustain FLT_MAX", {{pSustain, FLT_MAX}}},
                       ExtremeCase{"Sustain -FLT_MAX", {{pSustain, -FLT_MAX}}},
                       ExtremeCase{"Sustain -1e30", {{pSustain, -1.0e30f}}},
                       ExtremeCase{"StepVolume FLT_MAX", {{stepVolumesA, FLT_MAX}}},
                       ExtremeCase{"StepVolume -FLT_MAX", {{stepVolumesA, -FLT_MAX}}},
                       ExtremeCase{"StepVolume 1e30", {{stepVolumesA, 1.0e30f}}},
                       ExtremeCase{"LowpassCutoff 1e30", {{pLowpassCutoff, 1.0e30f}}},
                       ExtremeCase{"LowpassCutoff -FLT_MAX", {{pLowpassCutoff, -FLT_MAX}}},
                       ExtremeCase{"LowpassCutoff 2 (unstable)", {{pLowpassCutoff, 2.0f}}},
                       ExtremeCase{"LowpassReso -1e30", {{pLowpassReso, -1.0e30f}}},
                       ExtremeCase{"LowpassReso FLT_MAX", {{pLowpassReso, FLT_MAX}}},
                       ExtremeCase{"Mix -FLT_MAX with +24 dB make-up gain",
                                   {{pMix, -FLT_MAX}, {pMakeUpGain, 1.0f}}},
                       ExtremeCase{"EchoLevel 1e10 with OutputGain 3.3 (+750 dB)",
                                   {{pEchoLevel, 1.0e10f}, {pOutputGain, 3.3f}}}),
    [] (const ::testing::TestParamInfo<ExtremeCase>& param)
    { return "case" + std::to_string (param.index); });

TEST (ExtremeParameterValues, ASustainAtTheFloatLimitNeverLeavesTheEnvelopeNonFinite)
{
    // Sustain at minus the float limit: the decay target is the limit itself, which the
    // summed increments may overshoot. The gate must never multiply by infinity; the
    // first link keeps the envelope in its sustain stage for a whole pattern.
    ProcessorRig rig;
    rig.setNeutralGate();
    rig.setSteps ([] (int) { return stepLinkValue; });
    rig.setParams ({{pSustain, -FLT_MAX}, {pMakeUpGain, 0.0f}});

    EXPECT_EQ (firstNonFinite (rig.run (4 * 24000, input)), "");

    // Valid again: the next retrigger (after a release) starts from a finite level.
    rig.setNeutralGate();
    const auto out = rig.run (4 * 24000, [] (int, int64_t) { return 1.0f; });
    EXPECT_EQ (firstNonFinite (out), "");
    EXPECT_NEAR (*std::max_element (out[0].begin(), out[0].end()), 1.0f, noiseTolerance);
}
