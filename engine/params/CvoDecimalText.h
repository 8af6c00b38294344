#pragma once

#include <juce_core/juce_core.h>

/**
    Fixed-decimal text of a float, rounded half away from zero.

    The display texts are written as: the magnitude times 10^decimals plus 0.5,
    truncated, written with the decimal point, and a minus sign in front when the
    value is negative (x < 0, so -0.0 has none, while -0.04 with one decimal gives
    "-0.0"). The float is widened to double before the scaling; in double the
    scaling and the 0.5 are exact or nearly so, and 22.05 as a float (just below
    22.05) stays below the tie and gives "22.0".

    JUCE's own String (float, n) is not used: it rounds ties to even and prints
    "-0.0" for negative zero.

    Values that are not finite: NaN is written as zero ("0.0"), +/- infinity (also
    a finite value whose scaled magnitude overflows) as "INF" / "-INF".

    Stateless; any thread except the audio thread (the text is allocated).
*/
class CvoDecimalText
{
public:
    /** numDecimals is limited to 0..6. */
    static juce::String fromFloat (float x, int numDecimals);

private:
    CvoDecimalText() = delete;
};
