#include "validation/OutputScan.h"

#include <cmath>
#include <sstream>

void OutputScan::add (const float* samples, int numFrames) noexcept
{
    for (int i = 0; i < numFrames; ++i)
    {
        const float x = samples[i];
        switch (std::fpclassify (x))
        {
            case FP_NAN:
            case FP_INFINITE:
                ++nonFinite;
                break;
            case FP_SUBNORMAL:
                ++subnormal;
                break;
            default:
                peak = std::fmax (peak, std::fabs (x));
                break;
        }
    }

    numSamples += numFrames;
}

void OutputScan::compare (const float* samples, const float* reference, int numFrames) noexcept
{
    for (int i = 0; i < numFrames; ++i)
    {
        // A NaN on either side counts as an infinite difference.
        const double difference =
            std::fabs (static_cast<double> (samples[i]) - static_cast<double> (reference[i]));
        if (!(difference <= largestDifference))
        {
            largestDifference = std::isnan (difference) ? HUGE_VAL : difference;
            largestDifferenceAt = numSamples + i;
        }
    }

    add (samples, numFrames);
}

std::string OutputScan::describe() const
{
    std::ostringstream text;
    text << numSamples << " samples: " << nonFinite << " not finite, " << subnormal << " subnormal, peak "
         << peak;
    if (largestDifferenceAt >= 0)
        text << ", largest difference " << largestDifference << " at sample " << largestDifferenceAt;
    return text.str();
}
