#include "engine/dsp/CvoMoogLowPassFilter1.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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
    // Normalised so that a cutoff of 1 sits at a quarter of 44.1 kHz or of any higher rate.
    const float rate = (float)std::max (sampleRate, 44100.0);
    const float f = newCutoff * 44100.0f / rate * 0.5f;

    const float newP = (-0.8f * f + 1.8f) * f;
    const float newK = 2.0f * (float)std::sin ((double)(3.1415927f * f * 0.5f)) - 1.0f;

    const float oneMinusRes = 1.0f - newResonance;
    const float r0 = (1.0f - oneMinusRes * oneMinusRes) * 0.81f;
    float newR = 0.0f;

    if (r0 != 0.0f)
    {
        const float t = (1.0f - newP) * 1.386249f;
        const float t2 = t * t + 12.0f;
        newR = r0 * (t2 + 6.0f * t) / (t2 - 6.0f * t);
    }

    // The same expression the sample loop would evaluate per sample: power and
    // bracket in double, the rest in single precision (0.19999999f is 1 - 0.8 in single).
    const double bracket = 0.501 - std::abs (0.5 - std::pow ((double)newCutoff, 0.25));
    const float newGainCompensation = 1.0f + newResonance * (1.0f + 1.8f * (float)bracket);
    const float newCutoffScale = 0.8f + 0.19999999f * newCutoff;

    // Values far outside 0..1 (a cutoff of 1e30, a negative one) overflow these
    // formulas: such a set is not applied, the filter keeps the previous one.
    if (!(std::isfinite (newP) && std::isfinite (newK) && std::isfinite (newR) &&
          std::isfinite (newGainCompensation) && std::isfinite (newCutoffScale)))
        return;

    cutoff = newCutoff;
    resonance = newResonance;
    p = newP;
    k = newK;
    r = newR;
    gainCompensation = newGainCompensation;
    cutoffScale = newCutoffScale;
}

void CvoMoogLowPassFilter1::clearStateIfNotFinite()
{
    const float state[] = {y1, y2, y3, y4, oldx, oldy1, oldy2, oldy3};

    if (std::all_of (std::begin (state), std::end (state), [] (float x) { return std::isfinite (x); }))
        return;

    y1 = y2 = y3 = y4 = 0.0f;
    oldx = oldy1 = oldy2 = oldy3 = 0.0f;
}
