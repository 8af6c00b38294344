#include "CvoDecimalText.h"

#include <cmath>
#include <cstdio>

juce::String CvoDecimalText::fromFloat (float x, int numDecimals)
{
    numDecimals = juce::jlimit (0, 6, numDecimals);

    if (std::isnan (x))
        x = 0.0f;

    const bool negative = x < 0.0f;
    const juce::String sign (negative ? "-" : "");

    double scale = 1.0;

    for (int i = 0; i < numDecimals; ++i)
        scale *= 10.0;

    const double scaled = std::abs (static_cast<double> (x)) * scale + 0.5;

    if (!std::isfinite (scaled))
        return sign + "INF";

    // The truncated magnitude is an integer-valued double of at most 45 digits
    // (FLT_MAX times 10^6); "%.0f" prints it exactly and needs no integer type.
    char digits[64] = {};
    const int length = std::snprintf (digits, sizeof (digits), "%.0f", std::trunc (scaled));

    if (length <= 0 || length >= static_cast<int> (sizeof (digits)))
        return sign + "INF";

    juce::String whole (digits);

    if (numDecimals == 0)
        return sign + whole;

    // At least one digit before the decimal point: 5 with two decimals is "0.05".
    whole = whole.paddedLeft ('0', numDecimals + 1);
    const int pointPosition = whole.length() - numDecimals;
    return sign + whole.substring (0, pointPosition) + "." + whole.substring (pointPosition);
}
