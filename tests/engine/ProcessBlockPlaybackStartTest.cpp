// Playback that starts while the gate runs with the transport stopped (auto run, the
// default): the stopped gate has counted on from its own anchor, and the clock
// re-anchors at the play position. From there on the output must be what a host
// gets that played from that position since its first block. With a constant input
// of 1.0 the output is the envelope itself.
//
// The one allowed difference is the first attack: a step that starts while the
// stopped gate is still open rises from that level, not from silence, so there the
// output may lie above the fresh render. Before the fresh render's first onset the
// stopped gate's last gate may still close.

#include <gtest/gtest.h>

#include "ProcessorTestRig.h"

#include <sstream>

using namespace zktest;

namespace
{
constexpr double bpm = 120.0;
constexpr int beatSamples = 24000;   // at 48 kHz
constexpr int playedSamples = 36000; // six steps, or four and a half triplet steps
constexpr int phases = 32;

// Both outputs carry their own noise.
constexpr float tolerance = 2.0f * noiseTolerance;

struct StartCase
{
    int patternBeats;
    bool triplet;
};

void PrintTo (const StartCase& c, std::ostream* os)
{
    *os << c.patternBeats << (c.patternBeats == 1 ? " beat" : " beats") << (c.triplet ? ", triplet" : "");
}

class PlaybackStart : public ::testing::TestWithParam<StartCase>
{
protected:
    // Swing 0.5 and every step class: ShortStep, LongStep, StepLink, NoStep, ShortStep ...
    void setGate (ProcessorRig& rig) const
    {
        const auto c = GetParam();
        rig.setNeutralGate();
        rig.setParams ({{pSwing, 0.70710677f},
                        {pTripletModeA, c.triplet ? 1.0f : 0.0f},
                        {pPatternLengthA, c.patternBeats == 1   ? 0.0f
                                          : c.patternBeats == 2 ? 0.5f
                                                                : 1.0f}});
        rig.setSteps (
            [] (int step)
            {
                const float classes[] = {shortStepValue, longStepValue, stepLinkValue, noStepValue,
                                         shortStepValue};
                return classes[step % 5];
            });
    }

    // A host that plays from ppq on from its first block.
    std::vector<float> playedFromTheStart (double ppq) const
    {
        ProcessorRig rig;
        setGate (rig);
        rig.setHost (bpm, ppq, true);
        return rig.run (playedSamples, dc)[0];
    }

    // A host that stands at ppq for stoppedSamples, then plays from there.
    std::vector<float> playedAfterStop (double ppq, int stoppedSamples) const
    {
        ProcessorRig rig;
        setGate (rig);
        rig.setHost (bpm, ppq, false);
        rig.run (stoppedSamples, dc);
        rig.setHost (bpm, ppq, true);
        return rig.run (playedSamples, dc)[0];
    }

    // Empty when out matches the fresh render as the comment at the top says, else
    // where and how it does not.
    static std::string compare (const std::vector<float>& out, const std::vector<float>& fresh)
    {
        const auto onsets = gateOnsets (fresh);
        if (onsets.empty())
            return "the fresh render never opens";

        const int firstAttackEnd = onsets[0] + 200; // the attack takes 2 ms (96 samples)

        for (int i = onsets[0]; i < (int)fresh.size(); ++i)
        {
            const float x = out[(size_t)i], expected = fresh[(size_t)i];
            const bool ok =
                i < firstAttackEnd ? x >= expected - tolerance : std::abs (x - expected) <= tolerance;

            if (!ok)
            {
                std::ostringstream message;
                message << "sample " << i << " after the start: " << x << " instead of " << expected
                        << " (the fresh render opens at " << onsets[0] << ")";
                return message.str();
            }
        }
        return {};
    }
};
} // namespace

TEST_P (PlaybackStart, FromTheStartOnTheGatePlaysAsIfItHadPlayedFromThere)
{
    const int patternSamples = GetParam().patternBeats * beatSamples;

    // The song start (where a host's export begins), and two positions of which one
    // lies inside the swing delay of an odd step and the other after it (0.4: step 1
    // after, triplet step 1 inside; 1.3: step 5 inside, triplet step 4).
    for (double ppq : {0.0, 0.4, 1.3})
    {
        const auto fresh = playedFromTheStart (ppq);

        for (int phase = 1; phase <= phases; ++phase)
        {
            const int stopped = patternSamples * phase / phases;
            EXPECT_EQ (compare (playedAfterStop (ppq, stopped), fresh), "")
                << "play from beat " << ppq << " after " << stopped << " samples stopped";
        }
    }
}

INSTANTIATE_TEST_SUITE_P (PatternLengths, PlaybackStart,
                          ::testing::Values (StartCase{1, false}, StartCase{2, false}, StartCase{4, false},
                                             StartCase{1, true}, StartCase{2, true}, StartCase{4, true}));
