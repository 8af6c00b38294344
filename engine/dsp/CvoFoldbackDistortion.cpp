#include "engine/dsp/CvoFoldbackDistortion.h"

#include <cstdint>

float clipFoldbackLargeMagnitude (float magnitude)
{
    if (!std::isfinite (magnitude))
        return 0.0f;

    // Reflecting at 1 and folding a negative result again is a triangle of period 4:
    // x = |s| mod 4 gives x (up to 1), 2 - x (up to 3) or x - 4. The reduction is
    // exact in double precision; from 2^26 on every float is a multiple of 8, so
    // |s| mod 4 is 0.
    const double x =
        magnitude < 67108864.0f ? (double)magnitude - 4.0 * (double)(int64_t)(magnitude * 0.25f) : 0.0;

    return (float)(x <= 1.0 ? x : (x <= 3.0 ? 2.0 - x : x - 4.0));
}
