#include "engine/dsp/CvoFoldbackDistortion.h"

#include <cmath>

float CvoFoldbackDistortion::processSingleSample (float sample)
{
    if (!active.load (std::memory_order_relaxed))
        return sample;

    return clipFoldback (sample * inputGain.load (std::memory_order_relaxed)) *
           outputGain.load (std::memory_order_relaxed);
}

float clipFoldback (float s)
{
    if (!std::isfinite (s))
        return 0.0f;

    const float a = std::abs (s);

    if (a <= 1.0f)
        return s;

    // Reflecting at 1 and folding a negative result again is a triangle of period 4
    // in |s|. fmod is exact, and so are the differences below for every float (they
    // equal what repeated single-precision reflections give below 2^24; above that a
    // step of 1 is no longer representable and only the exact fold makes sense).
    const double x = std::fmod ((double)a, 4.0);
    double folded;

    if (x <= 1.0)
        folded = x;
    else if (x <= 3.0)
        folded = 2.0 - x;
    else
        folded = x - 4.0;

    const float b = (float)folded;
    return s < 0.0f ? -b : b;
}
