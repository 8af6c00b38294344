#pragma once

#include "engine/CvoWaveDisplayFeed.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <cstdint>
#include <memory>

/**
    Shows the gate's output level over exactly one beat: the drawing width
    stands for one beat, the audio thread pushes the rectified output sample by
    sample, groups of samples are summed into one column per pixel, and the
    processor sends the sweep back to the first column at every beat start.
    Subdivision lines, full-scale lines when zoomed out, and a cursor with a
    fading tail while the gate runs. A timer repaints it.

    Threads: the CvoWaveDisplayFeed operations run on the audio thread; every
    other method, painting included, on the message thread.

    Hand-over: the columns live in a fixed array of 64-bit atomic slots, sized
    once at construction for the widest display, so no buffer is ever released
    or reallocated under the audio thread. Each slot holds a column value
    together with the generation of the column buffer it was written for; a
    rebuild only starts a new generation, which hides every older column at once
    and tells the audio thread to restart its open column at column 0.
*/
class CvoSyncedWaveDisplayComponent : public juce::Component,
                                      public juce::SettableTooltipClient,
                                      public juce::Timer,
                                      public CvoWaveDisplayFeed
{
public:
    /** Columns the display can hold: wider drawing areas are cut to this. */
    static constexpr int maxColumns = 16384;

    /** Samples per column above this (or not positive, or not finite) stop the
        pushes as a missing tempo does. [samples] */
    static constexpr float maxSamplesPerPixel = 16777216.0f;

    explicit CvoSyncedWaveDisplayComponent (int timerIntervalMs);
    ~CvoSyncedWaveDisplayComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void setTooltip (const juce::String& newTooltip) override;
    juce::String getTooltip() override;
    void timerCallback() override;

    // Audio thread ------------------------------------------------------------
    /** [samples per beat], once per block. */
    void setSamplesPerBeat (float newSamplesPerBeat) override;
    /** Once per block. */
    void setIsRunningState (bool isRunning) override;
    /** At each beat start and at play start: the next column is column 0. */
    void restart() override;
    /** One rectified output sample [0..]. */
    void pushSample (float level) override;

    // Message thread ----------------------------------------------------------
    /** Vertical scale of the columns (20 to the power of the zoom setting). */
    void setZoomFactorY (float newZoomFactorY);
    /** [0..1]; 0 hides the tail. */
    void setCursorTailBrightness (float newBrightness);
    /** [0..1]; 0 hides the subdivision lines. */
    void setRhythmicLinesBrightness (float newBrightness);
    void setTripletState (bool newState);
    void setMuteAllState (bool newState);
    void setBypassState (bool newState);

    /** A corner drag starts: pushes stop and only the background is drawn. */
    void resizingStarted();
    /** A corner drag ends: rebuilds for the final size. */
    void resizingStopped();
    /** Recomputes the samples per column and rebuilds the column buffer. */
    void updateAfterResizing();
    /** Empties the display and restarts the sweep at column 0; without a
        drawing width the display stays without buffer and not ready. */
    void initWaveDisplayArray();

private:
    /** A column value as the painter sees it: 0 when the slot was written for
        an older buffer. */
    float readColumn (int index, std::uint32_t generation) const noexcept;

    bool bypassState = false;
    bool muteAllState = false;
    juce::String tooltipText;
    std::atomic<bool> bufferReady{false}; // written: message; read: audio
    bool rebuildOnResize = true;
    std::atomic<bool> isRunningState{false}; // written: audio; read: message
    bool tripletState = false;
    float cursorTailBrightness = 0.5f;
    float rhythmicLinesBrightness = 0.5f;

    // The column that the next completed group goes to. The audio thread
    // advances it; a rebuild on the message thread sets it back to 0.
    std::atomic<int> writeIndex{0};

    // Open column: audio thread only.
    int sampleCountdown = 0;
    float columnSum = 0.0f;
    std::uint32_t audioGeneration = 0; // buffer generation the open column belongs to

    std::atomic<float> samplesPerBeat{0.0f};  // written: audio
    std::atomic<float> samplesPerPixel{0.0f}; // written: both threads, same formula
    float zoomFactorY = 1.0f;

    // Each slot: generation in the upper 32 bits, the column's float bits in the
    // lower 32. Full scale of a column is 1.0.
    std::unique_ptr<std::atomic<std::uint64_t>[]> waveBuffer;
    std::atomic<int> waveBufferLength{0};           // [columns] 1..maxColumns while ready
    std::atomic<std::uint32_t> bufferGeneration{0}; // written: message

    // Geometry [pixels]: message thread, except drawWidth, which the audio
    // thread reads to turn samples per beat into samples per column.
    float width = 0.0f, height = 0.0f;
    float marginX = 0.0f, marginY = 0.0f;
    std::atomic<float> drawWidth{0.0f};
    float drawHeight = 0.0f;

    static_assert (std::atomic<std::uint64_t>::is_always_lock_free);
    static_assert (std::atomic<float>::is_always_lock_free);

    friend struct CvoSyncedWaveDisplayComponentTestProbe; // tests read the shared state as the other thread
                                                          // sees it

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoSyncedWaveDisplayComponent)
};
