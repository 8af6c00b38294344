#include "engine/dsp/CvoDistortion.h"

#include <algorithm>
#include <cmath>

void CvoDistortion::setActive (bool shouldBeActive)
{
    active.store (shouldBeActive, std::memory_order_relaxed);
}

void CvoDistortion::setInputGain (float v)
{
    const float db = v * inputGainRangeDb;
    inputGain.store ((float)std::pow (10.0, (double)(db / 20.0f)), std::memory_order_relaxed);
}

void CvoDistortion::setOutputGain (float v)
{
    const float u = (float)(2.0 * (double)v - 1.0);
    float db = u * u * 24.0f;

    if (u < 0.0f)
        db = -db;

    outputGain.store ((float)std::pow (10.0, (double)(db / 20.0f)), std::memory_order_relaxed);
}

float CvoDistortion::processSingleSample (float sample)
{
    if (!active.load (std::memory_order_relaxed))
        return sample;

    const float driven = std::clamp (sample * inputGain.load (std::memory_order_relaxed), -1.0f, 1.0f);
    return driven * outputGain.load (std::memory_order_relaxed);
}
