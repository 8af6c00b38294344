#pragma once

#include "CvoParameter.h"

#include <juce_core/juce_core.h>

#include <atomic>

namespace juce
{
class AudioProcessor;
}

/**
    Owns the host parameters in index order and keeps the four editor-update flags
    through which the message thread learns, by polling, that something changed.

    Indexes: -1 and every other negative index mean "invalid"; an index at or
    beyond the count is "reserved" (the host sees more parameters than the manager
    holds). No index from outside is ever used to read out of bounds.

    Threads: the list is built on the message thread before any other thread sees
    the manager and never changes afterwards. setParameterValue and
    getParameterValue run on any thread (the host's automation writes usually come
    on the audio thread) and neither allocate nor lock; the flags are atomics and
    each getter is one exchange, so a raise is reported to exactly one call.
*/
class CvoParameterManager
{
public:
    explicit CvoParameterManager (juce::AudioProcessor* audioProcessor);
    ~CvoParameterManager();

    /** The owning processor (not owned); the mapper reads the sample rate from it. */
    juce::AudioProcessor* getAudioProcessor() const { return audioProcessor; }

    int getNumberOfParameters() const { return parameters.size(); }

    /** Takes ownership and gives the parameter the current count as its index.
        No check of the name. Null is ignored. Message thread, while building. */
    void addParameter (CvoParameter* parameter);

    /** Null for a negative index or one at or beyond the count. */
    CvoParameter* getParameter (int index) const;

    /** The first parameter with exactly this name (case-sensitive), or null. */
    CvoParameter* getParameter (const juce::String& name) const;

    /** Index of the first parameter with exactly this name, or -1. Linear scan
        with string compares: not for the audio thread. */
    int getParameterIndex (const juce::String& name) const;

    /** Negative: "invalid parameter"; at or beyond the count: "reserved". */
    juce::String getParameterName (int index) const;

    /** Empty text for an index outside the list. */
    juce::String getParameterValueAsText (int index) const;

    /** Any thread, no allocation. 0.0 for an index outside the list. */
    float getParameterValue (int index) const;

    /** Any thread, no allocation. For an index inside the list: stores the value
        unchanged (no clamping, also when equal to the old one) and raises the
        parameter, preset-name and undo-buttons flags. An index outside the list,
        or a value that is not finite (NaN, infinity from a host, a chunk or a
        file), stores nothing and raises no flag. */
    void setParameterValue (int index, float value);

    /** Audio thread: raised when processing meets a new sample rate. */
    void setSampleRateNeedsToBeUpdatedInEditor (bool needsUpdate);

    /** Message thread: test-and-clear of the four flags. */
    bool getParameterNeedsToBeUpdatedInEditor();
    bool getSampleRateNeedsToBeUpdatedInEditor();
    bool getPresetNameNeedsToBeUpdatedInEditor();
    bool getUndoButtonsNeedToBeUpdatedInEditor();

private:
    bool isValidIndex (int index) const { return index >= 0 && index < parameters.size(); }

    juce::AudioProcessor* const audioProcessor;
    juce::OwnedArray<CvoParameter> parameters;

    // Raised with release and taken with an acquire exchange: a message-thread
    // reader that sees a flag also sees the values written before it.
    std::atomic<bool> parameterNeedsToBeUpdatedInEditor{false};
    std::atomic<bool> sampleRateNeedsToBeUpdatedInEditor{false};
    std::atomic<bool> presetNameNeedsToBeUpdatedInEditor{false};
    std::atomic<bool> undoButtonsNeedToBeUpdatedInEditor{false};

    JUCE_DECLARE_NON_COPYABLE (CvoParameterManager)
};
