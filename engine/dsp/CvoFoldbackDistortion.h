#pragma once

#include "engine/dsp/CvoDistortion.h"

#include <cmath>

/**
    |s| mod 4 folded back (see clipFoldback) for magnitudes above 5; 0 for a
    magnitude that is not finite.
*/
float clipFoldbackLargeMagnitude (float magnitude);

/**
    Folds s back at 1.0: |s| above 1 is reflected at 1, a result below 0 is folded
    again, and the result carries the sign of s. So 0.5 gives 0.5, 1.5 gives 0.5,
    2.5 gives -0.5, 3.5 gives -0.5, and the shape is an odd triangle of period 4.

    Computed in closed form (no recursion); a sample that is not finite gives 0.
    Every difference is exact, so the result equals that of the repeated
    reflections in single precision wherever those end.
*/
inline float clipFoldback (float s)
{
    const float a = std::abs (s);

    if (a <= 1.0f)
        return s;

    float b;

    if (a <= 3.0f)
        b = 2.0f - a;
    else if (a <= 5.0f)
        b = a - 4.0f;
    else
        b = clipFoldbackLargeMagnitude (a); // also NaN and infinity

    return s < 0.0f ? -b : b;
}

/**
    Fold-back drive: the driven sample is folded back at +-1 (a triangle of period 4)
    instead of being clipped.
*/
class CvoFoldbackDistortion : public CvoDistortion
{
public:
    /** Audio thread. Inline, so that the processor's sample loop needs no call. */
    float processSingleSample (float sample) override
    {
        if (!active.load (std::memory_order_relaxed))
            return sample;

        return clipFoldback (sample * inputGain.load (std::memory_order_relaxed)) *
               outputGain.load (std::memory_order_relaxed);
    }
};
