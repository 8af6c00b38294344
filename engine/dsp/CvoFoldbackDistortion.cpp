#include "engine/dsp/CvoFoldbackDistortion.h"

#include <cmath>
#include <cstdint>

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
    // in |s|: x = |s| mod 4 gives x (up to 1), 2 - x (up to 3) or x - 4. Every
    // difference below is exact, so the result equals that of repeated reflections in
    // single precision (which stay exact below 2^24).
    float b;

    if (a <= 3.0f)
    {
        b = 2.0f - a;
    }
    else if (a <= 5.0f)
    {
        b = a - 4.0f;
    }
    else
    {
        // From 2^26 on every float is a multiple of 8, so |s| mod 4 is 0.
        const double x = a < 67108864.0f ? (double)a - 4.0 * (double)(int64_t)(a * 0.25f) : 0.0;
        b = (float)(x <= 1.0 ? x : (x <= 3.0 ? 2.0 - x : x - 4.0));
    }

    return s < 0.0f ? -b : b;
}

void CvoFoldbackDistortion::processSamples (float* samples, int n)
{
    if (!active.load (std::memory_order_relaxed))
        return;

    const float in = inputGain.load (std::memory_order_relaxed);
    const float out = outputGain.load (std::memory_order_relaxed);

    for (int i = 0; i < n; ++i)
        samples[i] = clipFoldback (samples[i] * in) * out;
}
