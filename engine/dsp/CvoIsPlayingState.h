#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/**
    Judges from the host's time information whether the transport plays.

    A host that has once reported playing is trusted from then on. Until then the
    quarter-note position decides: a position that stays equal means stopped, a jump
    of more than half a quarter note from rest is a locate (still stopped), any other
    movement means playing.

    Thread: audio thread only (a plain class).
*/
class CvoIsPlayingState
{
public:
    void checkNewPositionInfo (const juce::AudioPlayHead::CurrentPositionInfo& info);

    bool isPlaying() const { return !notPlaying; }

private:
    bool notPlaying = true;
    bool positionStable = true;      // the position did not move at the last check
    bool hostReportsPlaying = false; // the host has reported playing at least once
    double lastPpqPosition = 0.0;    // [quarter notes] position seen at the last check
};
