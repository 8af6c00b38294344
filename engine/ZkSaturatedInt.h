#pragma once

#include <juce_core/juce_core.h>

#include <cmath>
#include <limits>

/**
    Double-to-int conversions for values that may lie outside the int range or be
    NaN: those saturate to the nearest int limit (NaN gives 0) instead of
    converting out of range, which is undefined.

    Stateless, no allocation; safe on any thread, the audio thread included.
*/
class ZkSaturatedInt
{
public:
    /** juce::roundToInt (halves to the even neighbour) with saturation. */
    static int round (double x)
    {
        return convert (x, [] (double inRange) { return juce::roundToInt (inRange); });
    }

    /** Truncation toward zero with saturation. */
    static int truncate (double x)
    {
        return convert (x, [] (double inRange) { return static_cast<int> (inRange); });
    }

private:
    template <typename Conversion> static int convert (double x, Conversion conversion)
    {
        if (std::isnan (x))
            return 0;

        if (x >= static_cast<double> (std::numeric_limits<int>::max()))
            return std::numeric_limits<int>::max();

        if (x <= static_cast<double> (std::numeric_limits<int>::min()))
            return std::numeric_limits<int>::min();

        return conversion (x);
    }

    ZkSaturatedInt() = delete;
};
