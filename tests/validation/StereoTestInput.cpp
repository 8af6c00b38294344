#include "validation/StereoTestInput.h"

#include <cmath>

namespace
{
// A value in [-1, 1) from a sample position (a 64-bit mix, no state).
float hashNoise (std::uint64_t x) noexcept
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return static_cast<float> (static_cast<double> (x >> 40) / 8388608.0 - 1.0);
}
} // namespace

void StereoTestInput::fill (float* left, float* right, std::int64_t start, int numFrames) const noexcept
{
    constexpr double twoPi = 6.283185307179586;

    for (int i = 0; i < numFrames; ++i)
    {
        const std::int64_t frame = start + i;
        const double t = static_cast<double> (frame) / sampleRate;
        const auto noise = hashNoise (static_cast<std::uint64_t> (frame));
        left[i] = static_cast<float> (0.45 * std::sin (twoPi * 110.0 * t)) + 0.1f * noise;
        right[i] = static_cast<float> (0.35 * std::sin (twoPi * 173.0 * t)) - 0.1f * noise;
    }
}
