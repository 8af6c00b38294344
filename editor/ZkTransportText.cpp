#include "ZkTransportText.h"

#include <cmath>
#include <limits>

int ZkTransportText::truncateToInt (double value)
{
    if (!std::isfinite (value))
        return 0;

    return static_cast<int> (juce::jlimit (static_cast<double> (std::numeric_limits<int>::min()),
                                           static_cast<double> (std::numeric_limits<int>::max()), value));
}

juce::String ZkTransportText::getPositionText (double positionInQuarters)
{
    if (!std::isfinite (positionInQuarters))
        positionInQuarters = 0.0;

    // The remainder keeps the position's sign; the ticks of a negative position are 0.
    const int ticks = juce::jmax (0, truncateToInt (std::fmod (positionInQuarters, 1.0) * ticksPerQuarter));
    const int quarters = truncateToInt (positionInQuarters);
    const int bar = quarters / 4 + 1; // integer division truncates toward zero
    const int beat = quarters - 4 * (quarters / 4) + 1;

    juce::String barText (bar);

    if (bar < 100)
        barText = "0" + barText;
    if (bar < 10)
        barText = "0" + barText;

    return barText + "." + juce::String (beat) + "." + juce::String (ticks);
}

juce::String ZkTransportText::getTimeText (double positionInQuarters, double bpm)
{
    if (bpm == 0.0)
        return "00:00";

    const double minutesExact = positionInQuarters / bpm;
    const int minutes = truncateToInt (minutesExact);
    const int seconds = truncateToInt ((minutesExact - minutes) * 60.0);

    const auto twoDigits = [] (int n) { return n < 10 ? "0" + juce::String (n) : juce::String (n); };
    return twoDigits (minutes) + ":" + twoDigits (seconds);
}
