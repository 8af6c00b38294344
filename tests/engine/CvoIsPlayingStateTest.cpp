#include <gtest/gtest.h>

#include "engine/dsp/CvoIsPlayingState.h"

#include <limits>

namespace
{
juce::AudioPlayHead::CurrentPositionInfo position (double ppq, bool playing)
{
    juce::AudioPlayHead::CurrentPositionInfo info;
    info.resetToDefault();
    info.ppqPosition = ppq;
    info.isPlaying = playing;
    return info;
}

bool check (CvoIsPlayingState& state, double ppq, bool playing = false)
{
    state.checkNewPositionInfo (position (ppq, playing));
    return state.isPlaying();
}
} // namespace

TEST (CvoIsPlayingState, TrustsTheHostsFlagOnceItHasReportedPlaying)
{
    CvoIsPlayingState state;
    EXPECT_FALSE (state.isPlaying());

    EXPECT_TRUE (check (state, 0.0, true));
    // From now on the flag alone decides, even with a moving position.
    EXPECT_FALSE (check (state, 0.1, false));
    EXPECT_FALSE (check (state, 0.2, false));
    EXPECT_TRUE (check (state, 0.2, true));
}

TEST (CvoIsPlayingState, JudgesAHostWithoutPlayingFlagFromItsPosition)
{
    CvoIsPlayingState state;

    EXPECT_FALSE (check (state, 0.0)); // equal position: stopped
    EXPECT_FALSE (check (state, 8.0)); // jump from rest: a locate
    EXPECT_FALSE (check (state, 8.0));
    EXPECT_TRUE (check (state, 8.1)); // small move: playing
    EXPECT_TRUE (check (state, 8.2));
    EXPECT_TRUE (check (state, 16.0));   // jump while moving (a loop): still playing
    EXPECT_FALSE (check (state, 16.0));  // stands still: stopped
    EXPECT_FALSE (check (state, 15.25)); // backwards jump of more than half a beat from rest
    EXPECT_TRUE (check (state, 14.75));  // exactly half a beat is a move, not a locate
}

TEST (CvoIsPlayingState, ANanPositionCountsAsMovement)
{
    CvoIsPlayingState state;
    const double nan = std::numeric_limits<double>::quiet_NaN();

    EXPECT_TRUE (check (state, nan));
    EXPECT_TRUE (check (state, nan));
    EXPECT_TRUE (check (state, 1.0));
    EXPECT_FALSE (check (state, 1.0));
}
