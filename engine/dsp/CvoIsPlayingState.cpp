#include "engine/dsp/CvoIsPlayingState.h"

#include <cmath>

void CvoIsPlayingState::checkNewPositionInfo (const juce::AudioPlayHead::CurrentPositionInfo& info)
{
    if (hostReportsPlaying)
    {
        notPlaying = !info.isPlaying;
        return;
    }

    if (info.isPlaying)
    {
        hostReportsPlaying = true;
        notPlaying = false;
        return;
    }

    const double p = info.ppqPosition;

    if (p == lastPpqPosition)
    {
        positionStable = true;
        notPlaying = true;
    }
    else if (positionStable && std::abs (p - lastPpqPosition) > 0.5)
    {
        // A jump from rest is a locate, not playback.
        lastPpqPosition = p;
        notPlaying = true;
    }
    else
    {
        // Also a NaN position: it never compares equal or beyond the jump limit.
        lastPpqPosition = p;
        positionStable = false;
        notPlaying = false;
    }
}
