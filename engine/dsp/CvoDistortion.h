#pragma once

#include <atomic>

/**
    Drive: an input gain of 0..+24 dB, a clipper and an output gain of -24..+24 dB.
    This base class clips hard at -1..1; CvoFoldbackDistortion folds instead.

    Threads: the setters run on the host's or the message thread while the audio
    thread calls processSingleSample; each value is a single atomic. The class keeps
    no per-sample state, so one instance may serve several channels.
*/
class CvoDistortion
{
public:
    CvoDistortion() = default;

    /** Inactive, samples pass unchanged. */
    virtual void setActive (bool shouldBeActive);

    /** v [0..1] gives 0..+24 dB: 10 to the power (v * 24 / 20). */
    virtual void setInputGain (float v);

    /** v [0..1] gives -24..+24 dB on a squared curve around 0.5 (0.5 gives exactly 1.0). */
    virtual void setOutputGain (float v);

    /** Audio thread. */
    virtual float processSingleSample (float sample);

    virtual ~CvoDistortion() = default;

    bool isActive() const { return active.load (std::memory_order_relaxed); }
    float getInputGain() const { return inputGain.load (std::memory_order_relaxed); }
    float getOutputGain() const { return outputGain.load (std::memory_order_relaxed); }

protected:
    // The owner switches the drive before the first sample (the "DriveActive" parameter).
    std::atomic<bool> active{false};
    const float inputGainRangeDb = 24.0f; // [dB]
    std::atomic<float> inputGain{1.0f};   // linear, before the clipper
    std::atomic<float> outputGain{1.0f};  // linear, after the clipper
};
