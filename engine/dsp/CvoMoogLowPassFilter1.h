#pragma once

#include <algorithm>

/**
    Four-stage ladder low-pass with resonance, one instance per channel.

    The output is taken from the third stage and scaled by a gain compensation
    that depends on cutoff and resonance only. All state and arithmetic is single
    precision except the sample rate.

    Thread: a plain single-threaded class. The processor uses it on the audio
    thread only and hands new coefficients over to that thread itself.
*/
class CvoMoogLowPassFilter1
{
public:
    /** Starts active, cleared, at cutoff 1.0 and resonance 0.0 with an unknown sample rate. */
    CvoMoogLowPassFilter1();

    /** Stores the rate [Hz] and recomputes the coefficients with the stored cutoff and resonance.
        A rate below 44100 (0 while unknown) computes them as at 44100. */
    void setSampleRate (double newSampleRate);

    /** Stores the switch and recomputes the coefficients. Inactive, samples pass unchanged. */
    void setActive (bool shouldBeActive);

    /** cutoff and resonance are normalised [0..1] (the processor passes the parameters'
        fourth power and square). A pair whose coefficients would not be finite is not
        taken: cutoff, resonance and coefficients stay as they were. */
    void calculateCoefficients (float newCutoff, float newResonance);

    /** Clears the stage state when any of it is no longer finite: finite coefficients
        from values outside 0..1 can make the ladder unstable, and a state that has
        overflowed would otherwise stay NaN. The processor calls it once per block. */
    void clearStateIfNotFinite();

    /** One sample through the ladder. (The processor steps its two filters together
        through CvoMoogLowPassFilterPair, which does the same arithmetic.) */
    float processSingleSample (float sample)
    {
        if (!active)
            return sample;

        // Without resonance the feedback is 0 (only the sign of a zero could differ),
        // and skipping it takes the feedback off the recursion's critical path.
        float x = sample;
        if (r != 0.0f)
            x = sample - std::clamp ((0.5f * y4 + 0.5f * oldy3) * r, -0.81f, 0.81f);

        // Each stage takes the stage before it as just computed, and its own output of
        // the previous sample after k.
        y1 = x * p + oldx * p - k * y1;
        y2 = y1 * p + oldy1 * p - k * y2;
        y3 = y2 * p + oldy2 * p - k * y3;
        y4 = y3 * p + oldy3 * p - k * y4;

        oldx = x;
        oldy1 = y1;
        oldy2 = y2;
        oldy3 = y3;

        return gainCompensation * (cutoffScale * y3);
    }

    float getCutoff() const { return cutoff; }
    float getResonance() const { return resonance; }
    double getSampleRate() const { return sampleRate; }
    bool isActive() const { return active; }
    float getP() const { return p; }
    float getK() const { return k; }
    float getR() const { return r; }

    /** Gain compensation applied to the output; depends on cutoff and resonance only. */
    float getOutputGainCompensation() const { return gainCompensation; }

private:
    friend class CvoMoogLowPassFilterPair;

    float cutoff = 1.0f;
    float resonance = 0.0f;
    double sampleRate = 0.0; // [Hz], 0 while unknown
    bool active = true;

    float y1 = 0.0f, y2 = 0.0f, y3 = 0.0f, y4 = 0.0f;            // outputs of the four one-pole stages
    float oldx = 0.0f, oldy1 = 0.0f, oldy2 = 0.0f, oldy3 = 0.0f; // previous stage inputs

    float r = 0.0f; // resonance feedback amount
    float p = 0.0f; // stage coefficient
    float k = 0.0f; // stage feedback coefficient

    // Output scaling, (0.8 + 0.19999999 * cutoff) and the resonance compensation;
    // computed with the coefficients so that the sample loop needs no power function.
    float cutoffScale = 1.0f;
    float gainCompensation = 1.0f;
};
