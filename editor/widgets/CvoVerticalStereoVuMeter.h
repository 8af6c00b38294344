#pragma once

#include "engine/CvoLevelMeterFeed.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <cstdint>

/**
    Level of a stereo (or mono) signal as two bars stacked one above the other,
    left on top, each filling from the left edge. A bar shows the higher of a
    peak follower, updated by the audio thread per sample, and the fourth root of
    the capped average of the last 3000 samples, computed by the paint. A strip
    at the right end lights above full scale. A click clears the averaging
    memory and holds the input off for at least 0.1 s.

    Threads: pushLeftSample and pushRightSample run on the audio thread; every
    other method, painting included, on the message thread.

    Hand-over: every shared value is a lock-free atomic. The rings are written by
    the audio thread only: a click raises a clear request, and the audio thread
    zeroes the rings at its next push; until it has done so the paint counts the
    rings as empty. The peak decay armed by the paint and disarmed by a new peak
    is a plain last-writer-wins flag; a level one update old is fine for display.
*/
class CvoVerticalStereoVuMeter : public juce::Component,
                                 public juce::SettableTooltipClient,
                                 public juce::Timer,
                                 public CvoLevelMeterFeed
{
public:
    /** Samples per channel in the averaging ring. */
    static constexpr int ringSize = 3000;

    CvoVerticalStereoVuMeter();
    ~CvoVerticalStereoVuMeter() override;

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void setTooltip (const juce::String& newTooltip) override;
    juce::String getTooltip() override;
    void timerCallback() override;

    // Audio thread, once per sample each ----------------------------------------
    /** Rectified sample level [0..]; anything else (negative, NaN, infinite)
        counts as silence. */
    void pushLeftSample (float level) override;
    void pushRightSample (float level) override;

    // Message thread -------------------------------------------------------------
    void setLevelOverColour (const juce::Colour& newColour);
    /** One bar of half the height instead of two. */
    void setMonoState (bool newState);

private:
    struct Channel
    {
        std::atomic<float> peakLevel{0.0f};              // written: both threads
        std::atomic<float> averageLevel{0.0f};           // written: message; steers the peak decay
        std::atomic<bool> decayArmed{false};             // armed: message; disarmed: audio
        std::array<std::atomic<float>, ringSize> ring{}; // written: audio only
        int ringIndex = 0;                               // audio only
        std::uint32_t clearedRequest = 0;                // audio only: last clear request done
        std::atomic<std::uint32_t> clearDone{0};         // published copy of clearedRequest
    };

    void pushSample (Channel& channel, float level) noexcept;
    /** Sums the ring, stores the average term, arms the decay; returns the
        level to draw [0..]. */
    float takeLevel (Channel& channel) noexcept;

    juce::String tooltipText{"VU Meter"};
    juce::Colour levelColour{juce::Colours::white};
    juce::Colour levelOverColour{juce::Colours::red};
    bool monoState = false;
    Channel left, right;
    const float averageCap = 0.95f;   // cap of the ring sum
    const float decayWeight = 0.001f; // weight of the average term in the decay factor
    std::atomic<bool> inputHoldOff{true};
    std::atomic<std::uint32_t> clearRequest{0}; // written: message
    juce::Time lastResetTime{0};

    static_assert (std::atomic<float>::is_always_lock_free);
    static_assert (std::atomic<std::uint32_t>::is_always_lock_free);

    friend struct CvoVerticalStereoVuMeterTestProbe; // tests read the shared state as the other thread sees
                                                     // it

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoVerticalStereoVuMeter)
};
