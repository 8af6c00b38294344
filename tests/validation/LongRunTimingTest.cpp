// An hour of audio at an awkward tempo, rendered offline: every gate onset of the
// default preset lands on the sample that the step clock predicts, from the
// first beat to the last, so nothing drifts. A DC input makes every onset a
// sharp edge: before it the gate is closed (the output is the noise alone,
// |x| <= 1e-5), in its first sample the attack has risen by a whole increment.

#include "validation/OutputScan.h"
#include "validation/PluginSession.h"
#include "validation/StepClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace
{
constexpr double sampleRate = 44100.0; // [Hz]
constexpr double tempo = 217.0;        // [BPM]: 12193.548... samples per beat
constexpr double seconds = 3600.0;
constexpr float input = 0.5f;        // DC on both channels
constexpr float threshold = 1.0e-3f; // far above the noise, far below the first attack sample

TEST (LongRun, EveryStepOnsetOfAnHourLandsOnThePredictedSample)
{
    PluginSession::Setup setup;
    setup.sampleRate = sampleRate;
    setup.blockSize = 4096;
    setup.bpm = tempo;
    auto session = PluginSession::open (setup);
    ASSERT_NE (session, nullptr);
    session->getPlugin().setProcessLevel (kVstProcessLevelOffline);

    // The default preset: pattern A of four beats, ShortStep everywhere but a
    // StepLink on every third step of a beat; the step after a link continues
    // the gate, so it has no onset of its own. Swing 0.15 delays odd steps.
    auto& plugin = session->getPlugin();
    ASSERT_EQ (plugin.getParameter (session->parameterIndex ("PatternLength-A")), 1.0f);
    for (int step = 1; step <= 16; ++step)
    {
        const std::string name = (step < 10 ? "StepLength-0" : "StepLength-") + std::to_string (step) + "-A";
        ASSERT_EQ (plugin.getParameter (session->parameterIndex (name)), step % 4 == 3 ? 0.875f : 0.375f)
            << name;
    }
    const float swingParameter = plugin.getParameter (session->parameterIndex ("Swing"));
    ASSERT_EQ (plugin.getParameter (session->parameterIndex ("TimeOffset")), 0.5f); // no offset

    const StepClock clock (sampleRate, tempo, swingParameter * swingParameter);
    const auto isOnsetStep = [] (std::int64_t step) { return step % 4 != 3; };

    std::int64_t nextStep = 0;
    std::int64_t expected = clock.startOf (0);
    std::int64_t onsets = 0, misplaced = 0, largestDeviationFromIdeal = 0;
    std::ostringstream firstMisplaced;

    const auto moveToNextOnsetStep = [&]
    {
        do
            ++nextStep;
        while (!isOnsetStep (nextStep));
        expected = clock.startOf (nextStep);
    };

    const auto checkOnset = [&] (std::int64_t sample)
    {
        ++onsets;

        // Predicted onsets before this one were missed.
        for (; expected >= 0 && expected < sample; moveToNextOnsetStep())
        {
            if (misplaced++ == 0)
                firstMisplaced << "no onset at sample " << expected << " (step " << nextStep << ")";
        }

        if (sample != expected)
        {
            if (misplaced++ == 0)
                firstMisplaced << "an onset at sample " << sample << " where none was due (next: step "
                               << nextStep << " at sample " << expected << ")";
            return;
        }

        largestDeviationFromIdeal =
            std::max (largestDeviationFromIdeal, std::abs (sample - clock.exactStartOf (nextStep)));
        moveToNextOnsetStep();
    };

    const auto totalFrames = static_cast<std::int64_t> (seconds * sampleRate);
    const int blockSizes[] = {4096, 1000, 333, 4096, 2048, 1};
    bool wasOpen = false;
    OutputScan scan;

    for (std::int64_t position = 0, block = 0; position < totalFrames; ++block)
    {
        const int n =
            static_cast<int> (std::min<std::int64_t> (blockSizes[block % 6], totalFrames - position));
        session->processConstant (input, n);
        const float* left = session->getOutput (0);
        scan.add (left, n);
        scan.add (session->getOutput (1), n);

        for (int i = 0; i < n; ++i)
        {
            const bool open = std::fabs (left[i]) > threshold;
            if (open && !wasOpen)
                checkOnset (position + i);
            wasOpen = open;
        }

        position += n;
    }

    // 217 beats a minute, four steps a beat, three onsets in every four steps.
    const auto expectedOnsets = static_cast<std::int64_t> (seconds / 60.0 * tempo * 4.0 * 3.0 / 4.0);
    EXPECT_EQ (misplaced, 0) << "first: " << firstMisplaced.str();
    EXPECT_NEAR (static_cast<double> (onsets), static_cast<double> (expectedOnsets), 1.0);
    EXPECT_LE (largestDeviationFromIdeal, 1) << "samples between the onsets and an exact rational clock";
    EXPECT_TRUE (scan.isClean()) << scan.describe();
}
} // namespace
