// What a validation needs to know of the plug-in's output: values that are not
// finite, subnormal values, the peak, and the largest difference from a
// reference, gathered block by block.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class OutputScan
{
public:
    // Adds numFrames samples of one channel.
    void add (const float* samples, int numFrames) noexcept;

    // Adds numFrames samples and their differences from reference.
    void compare (const float* samples, const float* reference, int numFrames) noexcept;

    std::size_t getNonFinite() const noexcept { return nonFinite; }
    std::size_t getSubnormal() const noexcept { return subnormal; }
    float getPeak() const noexcept { return peak; }
    double getLargestDifference() const noexcept { return largestDifference; }
    std::int64_t getLargestDifferenceAt() const noexcept { return largestDifferenceAt; }
    std::int64_t getNumSamples() const noexcept { return numSamples; }

    // Every sample finite, none subnormal.
    bool isClean() const noexcept { return nonFinite == 0 && subnormal == 0; }
    std::string describe() const;

    // The output noise is a fresh uniform draw in [-1e-5, 1e-5] per sample and
    // instance, so two instances fed the same input differ by up to 2e-5 per
    // sample; a little more covers the rounding of the sum.
    static constexpr double noiseTolerance = 2.5e-5;

private:
    std::size_t nonFinite = 0;
    std::size_t subnormal = 0;
    float peak = 0.0f;
    double largestDifference = 0.0;
    std::int64_t largestDifferenceAt = -1; // [samples] from the first sample added
    std::int64_t numSamples = 0;
};
