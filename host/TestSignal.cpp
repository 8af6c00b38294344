#include "host/TestSignal.h"

#include <cmath>

TestSignal::TestSignal (double rate)
    : sampleRate (rate > 0.0 ? rate : 48000.0)
{
}

void TestSignal::fill (float* const* channels, int numChannels, int numFrames)
{
    constexpr double twoPi = 6.283185307179586;

    for (int channel = 0; channel < numChannels; ++channel)
    {
        const double frequency = 110.0 * (channel + 2); // [Hz]

        for (int i = 0; i < numFrames; ++i)
        {
            // Phase from the absolute position, so that block sizes do not matter.
            const double t = static_cast<double> (position + i) / sampleRate;
            channels[channel][i] =
                static_cast<float> (amplitude * std::sin (twoPi * std::fmod (frequency * t, 1.0)));
        }
    }

    position += numFrames;
}
