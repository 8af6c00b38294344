#pragma once

#include "editor/widgets/CvoVerticalStereoVuMeter.h"

/** Test access to the level meter's shared state, read as the message thread
    reads it (the meter declares this struct a friend). */
struct CvoVerticalStereoVuMeterTestProbe
{
    explicit CvoVerticalStereoVuMeterTestProbe (CvoVerticalStereoVuMeter& m)
        : meter (m)
    {
    }

    float peak (bool leftChannel) const { return channel (leftChannel).peakLevel.load(); }
    float average (bool leftChannel) const { return channel (leftChannel).averageLevel.load(); }
    bool inputHeldOff() const { return meter.inputHoldOff.load(); }

    /** Dates the last click, as if it had been made at that time: the hold-off
        it started then ends at the first tick more than 0.1 s later. */
    void dateTheLastClick (juce::Time time) const { meter.lastResetTime = time; }

    const CvoVerticalStereoVuMeter::Channel& channel (bool leftChannel) const
    {
        return leftChannel ? meter.left : meter.right;
    }

    CvoVerticalStereoVuMeter& meter;
};
