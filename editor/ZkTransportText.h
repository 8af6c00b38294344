#pragma once

#include <juce_core/juce_core.h>

/**
    The texts of the transport read-out: position in bars, beats and ticks, and
    time in minutes and seconds.

    Stateless; any thread (the texts allocate, so not the audio thread). Every
    double is accepted: non-finite values and values beyond the int range never
    reach an integer conversion.
*/
class ZkTransportText
{
public:
    static constexpr int ticksPerQuarter = 960;

    /** "bar.beat.ticks" of a position [quarter notes], four beats per bar, the bar
        with leading zeros to three digits, the ticks without: 0.0 gives "001.1.0",
        5.5 gives "002.2.480". Ticks of a negative position are 0; a non-finite
        position reads as 0. */
    static juce::String getPositionText (double positionInQuarters);

    /** "mm:ss" of a position [quarter notes] at a tempo [BPM], each part with a
        leading zero below 10: 240 quarters at 120 BPM give "02:00". A tempo of 0
        gives "00:00". */
    static juce::String getTimeText (double positionInQuarters, double bpm);

    /** Truncation toward zero, defined for every double: non-finite values give 0,
        values beyond the int range are bounded to it. */
    static int truncateToInt (double value);

private:
    ZkTransportText() = delete;
};
