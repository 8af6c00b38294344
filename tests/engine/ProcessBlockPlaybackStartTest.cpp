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
constexpr int playedSamples = 24000; // four steps, or three triplet steps
constexpr int phases = 32;

// Both outputs carry their own noise, and an attack that rose from another level
// ends a few float roundings (of its summed increments) away from the step volume.
constexpr float tolerance = 2.0f * noiseTolerance + 1.0e-5f;

// The rig's blocks of a constant 1.0; returns the left channel.
std::vector<float> renderOnes (ProcessorRig& rig, int numSamples)
{
    std::vector<float> out;
    out.reserve ((size_t)numSamples);
    juce::AudioBuffer<float> buffer (rig.numChannels, rig.maxBlockSize);
    juce::MidiBuffer midi;

    for (int done = 0; done < numSamples;)
    {
        const int size = std::min (numSamples - done, rig.maxBlockSize);
        buffer.setSize (rig.numChannels, size, false, false, true);
        for (int ch = 0; ch < rig.numChannels; ++ch)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 1.0f, size);

        rig.processBlock (buffer, midi);
        out.insert (out.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + size);
        done += size;
    }
    return out;
}

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
    // at different volumes (a step that followed a link would move from the link's
    // level, not attack).
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

        const float volumes[] = {1.0f, 0.8f, 0.3f, 0.6f, 0.9f};
        for (int step = 0; step < 16; ++step)
            rig.setParam (stepVolumeParam (step), volumes[step % 5]);
    }

    // A host that plays from ppq on from its first block.
    std::vector<float> playedFromTheStart (double ppq) const
    {
        ProcessorRig rig;
        setGate (rig);
        rig.setHost (bpm, ppq, true);
        return renderOnes (rig, playedSamples);
    }

    // A host that stands at ppq for stoppedSamples, then plays from there.
    std::vector<float> playedAfterStop (double ppq, int stoppedSamples) const
    {
        ProcessorRig rig;
        setGate (rig);
        rig.setHost (bpm, ppq, false);
        renderOnes (rig, stoppedSamples);
        rig.setHost (bpm, ppq, true);
        return renderOnes (rig, playedSamples);
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

    // The song start (where a host's export begins), and a position inside the swing
    // delay of step 5 (step 1 of a 1-beat pattern).
    for (double ppq : {0.0, GetParam().triplet ? 1.4 : 1.3})
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
