#include "engine/dsp/CvoMoogLowPassFilter1.h"

#include <algorithm>
#include <cmath>

CvoMoogLowPassFilter1::CvoMoogLowPassFilter1()
{
    calculateCoefficients (1.0f, 0.0f);
}

void CvoMoogLowPassFilter1::setSampleRate (double newSampleRate)
{
    sampleRate = newSampleRate;
    calculateCoefficients (cutoff, resonance);
}

void CvoMoogLowPassFilter1::setActive (bool shouldBeActive)
{
    active = shouldBeActive;
    calculateCoefficients (cutoff, resonance);
}

void CvoMoogLowPassFilter1::calculateCoefficients (float newCutoff, float newResonance)
{
    cutoff = newCutoff;
    resonance = newResonance;

    // Normalised so that a cutoff of 1 sits at a quarter of 44.1 kHz or of any higher rate.
    const float rate = (float)std::max (sampleRate, 44100.0);
    const float f = cutoff * 44100.0f / rate * 0.5f;

    p = (-0.8f * f + 1.8f) * f;
    k = 2.0f * (float)std::sin ((double)(3.1415927f * f * 0.5f)) - 1.0f;

    const float oneMinusRes = 1.0f - resonance;
    const float r0 = (1.0f - oneMinusRes * oneMinusRes) * 0.81f;

    if (r0 != 0.0f)
    {
        const float t = (1.0f - p) * 1.386249f;
        const float t2 = t * t + 12.0f;
        r = r0 * (t2 + 6.0f * t) / (t2 - 6.0f * t);
    }
    else
    {
        r = 0.0f;
    }

    // The same expression the sample loop would evaluate per sample: power and
    // bracket in double, the rest in single precision (0.19999999f is 1 - 0.8 in single).
    const double bracket = 0.501 - std::abs (0.5 - std::pow ((double)cutoff, 0.25));
    gainCompensation = 1.0f + resonance * (1.0f + 1.8f * (float)bracket);
    cutoffScale = 0.8f + 0.19999999f * cutoff;
}
