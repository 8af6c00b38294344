#pragma once

#include "ZkStep.h"

#include <array>
#include <atomic>
#include <cstddef>

/**
    A gate pattern: 16 steps (index = 4 x beat + slot, beat 0..3, slot 0..3), a
    length of 1, 2 or 4 beats (only the first 4 x length steps play) and the
    triplet state (three slots per beat; slot 3 of each beat keeps its values but
    never plays).

    Step lengths are stored as one of four class values, the midpoints of the
    quarters of 0..1, so reading a stored value back by quarters gives its own
    class. The audio thread compares them exactly with the constants below.

    Threads: the audio thread reads per sample (getters: one relaxed load behind
    the index check); host threads and the message thread write. Every field is
    read and written whole; a multi-step rewrite may be seen half done.
*/
class ZkStepPattern
{
public:
    static constexpr int numSteps = 16;

    // Step length classes [normalised value].
    static constexpr float NoStep = 0.125f;
    static constexpr float ShortStep = 0.375f;
    static constexpr float LongStep = 0.625f;
    static constexpr float StepLink = 0.875f;

    /** The class value of a written length v: [0, 0.25) NoStep, [0.25, 0.5)
        ShortStep, [0.5, 0.75) LongStep; everything else (0.75 and above, every
        negative value, NaN) StepLink. */
    static float quantiseStepLength (float v);

    /** Steps read 0.0; 4 beats, no triplet until written. */
    ZkStepPattern() = default;

    int getPatternLengthInBeats() const { return patternLengthInBeats.load (std::memory_order_relaxed); }
    /** Stored unchecked (callers pass 1, 2 or 4). */
    void setPatternLengthInBeats (int beats)
    {
        patternLengthInBeats.store (beats, std::memory_order_relaxed);
    }

    bool getTripletState() const { return tripletState.load (std::memory_order_relaxed); }
    void setTripletState (bool isTriplet) { tripletState.store (isTriplet, std::memory_order_relaxed); }

    /** Index outside 0..15: nothing. Else stores the class value of v. */
    void setStepLength (int index, float v);

    /** Index outside 0..15: nothing. Else stores v unchanged. */
    void setStepVolume (int index, float v);

    /** Index outside 0..15: 0.0. Audio thread, per sample. */
    float getStepLength (int index) const
    {
        return isValidIndex (index) ? steps[static_cast<std::size_t> (index)].getLength() : 0.0f;
    }
    float getStepVolume (int index) const
    {
        return isValidIndex (index) ? steps[static_cast<std::size_t> (index)].getVolume() : 0.0f;
    }

    /** Writes both values, unquantised, into all 16 steps. */
    void setAllSteps (float length, float volume);

    /** 16 x (ShortStep, 1.0), 4 beats, no triplet. */
    void initPattern();

private:
    static bool isValidIndex (int index)
    {
        return static_cast<unsigned int> (index) < static_cast<unsigned int> (numSteps);
    }

    std::atomic<int> patternLengthInBeats{4};
    std::atomic<bool> tripletState{false};
    std::array<ZkStep, numSteps> steps;
};
