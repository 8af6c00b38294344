// Editor-side parameter writes and the pattern commands of ZkOstinelAudioProcessor.
//
// Message thread only. Every change of a pattern goes through its host
// parameters (setParam), so the host, the current preset tree and the undo
// history see it; only the clipboard is written directly. A command works on
// the pattern that is current when it starts, even if the host switches the
// pattern while it runs.

#include "engine/ZkOstinelAudioProcessor.h"

#include <algorithm>

namespace
{
constexpr int numSteps = 16;
constexpr int slotsPerBeat = 4;
constexpr int maxBeats = 4;

const char* const stepLengthPrefix = "StepLength-";
const char* const stepVolumePrefix = "StepVolume-";

juce::String patternLetter (int patternId)
{
    return juce::String::charToString ((juce::juce_wchar) ('A' + patternId));
}

// "StepLength-01-A" for step number 1 (1..16) of pattern 0; empty (no
// parameter) for a step number outside 1..16.
juce::String stepParameterName (const char* prefix, int stepNumber, int patternId)
{
    if (stepNumber < 1 || stepNumber > numSteps)
        return {};

    return prefix + juce::String (stepNumber).paddedLeft ('0', 2) + "-" + patternLetter (patternId);
}

juce::String patternLengthParameterName (int patternId)
{
    return "PatternLength-" + patternLetter (patternId);
}

juce::String tripletModeParameterName (int patternId)
{
    return "TripletMode-" + patternLetter (patternId);
}

// Length in beats as the commands use it: 1, 2 or 4 by construction, bounded
// here so that no step index can leave 0..15.
int beatsOf (const ZkStepPattern& pattern)
{
    return juce::jlimit (1, maxBeats, pattern.getPatternLengthInBeats());
}

float patternLengthParameterValue (int beats)
{
    return beats == 4 ? 1.0f : (beats == 2 ? 0.5f : 0.0f);
}

struct StepValues
{
    float length = 0.0f;
    float volume = 0.0f;
};

// Reads step index (any int64; outside 0..15 reads 0.0 and 0.0).
StepValues readStep (const ZkStepPattern& pattern, int64_t index)
{
    if (index < 0 || index >= numSteps)
        return {};

    return {pattern.getStepLength ((int)index), pattern.getStepVolume ((int)index)};
}
} // namespace

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkOstinelAudioProcessor::setParam (int index, float value, juce::NotificationType notification,
                                        TransactionFlag transaction, bool markModified)
{
    // Only the real parameters: the reserved host indexes get no write, no
    // notification and no tree entry.
    if (parameterManager == nullptr ||
        !juce::isPositiveAndBelow (index, parameterManager->getNumberOfParameters()))
        return;

    setParameter (index, value);

    {
        const juce::ScopedLock lock (presetTreeLock);

        // != also holds when either side is NaN.
        if (getParamValueFromValueTree (currentPresetTree.get(), index) != value)
            setParameterInValueTree (currentPresetTree.get(), index, value);

        if (transaction == startNewTransaction && undoManager != nullptr)
            undoManager->beginNewTransaction();

        if (markModified)
            presetWasModified = true;
    }

    // Last, and outside the tree lock: the host may read the value, its text or
    // the whole state back from inside this call, and finds the write complete.
    if (notification != juce::dontSendNotification)
        sendParamChangeMessageToListeners (index, value);
}

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif

void ZkOstinelAudioProcessor::setParam (const juce::String& name, float value,
                                        juce::NotificationType notification, TransactionFlag transaction,
                                        bool markModified)
{
    if (parameterManager == nullptr)
        return;

    const auto index = parameterManager->getParameterIndex (name);

    if (index != -1)
        setParam (index, value, notification, transaction, markModified);
}

//==============================================================================
void ZkOstinelAudioProcessor::switchToPatternManually (int patternId)
{
    if (patternId == currentPatternId.load() || !juce::isPositiveAndBelow (patternId, numPatterns))
        return;

    // id / 7 in single precision: the parameter conversion truncates v * 7 back to id.
    setParam ("PatternSelect", (float)patternId / 7.0f, juce::sendNotification, dontStartNewTransaction,
              true);
    beginNewTransaction();
}

void ZkOstinelAudioProcessor::setStepVolumeInCurrentPattern (int step, float value,
                                                             juce::NotificationType notification,
                                                             TransactionFlag transaction, bool markModified)
{
    const auto name = stepParameterName (stepVolumePrefix, step,
                                         juce::jlimit (0, numPatterns - 1, currentPatternId.load()));

    if (name.isNotEmpty())
        setParam (name, value, notification, transaction, markModified);
}

void ZkOstinelAudioProcessor::setStepLengthInCurrentPattern (int step, float value,
                                                             juce::NotificationType notification,
                                                             TransactionFlag transaction, bool markModified)
{
    const auto name = stepParameterName (stepLengthPrefix, step,
                                         juce::jlimit (0, numPatterns - 1, currentPatternId.load()));

    if (name.isNotEmpty())
        setParam (name, value, notification, transaction, markModified);
}

//==============================================================================
// Clipboard

void ZkOstinelAudioProcessor::copyPatternStepsToClipboard (bool lengths, bool volumes, int first, int last)
{
    if (first > last)
        return;

    const auto& pattern = getPattern (currentPatternId.load());

    // Clipboard index i takes step first + i; indexes beyond 15 are dropped,
    // so at most 16 steps are read whatever the range.
    const auto count = std::min<int64_t> (numSteps, (int64_t)last - first + 1);

    for (int i = 0; i < (int)count; ++i)
    {
        const auto values = readStep (pattern, (int64_t)first + i);

        if (lengths)
            patternClipboard.setStepLength (i, values.length);

        if (volumes)
            patternClipboard.setStepVolume (i, values.volume);
    }
}

void ZkOstinelAudioProcessor::pastePatternStepsFromClipboard (bool lengths, bool volumes, int first, int last)
{
    if (first > last)
        return;

    const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());

    // Step index first + i takes clipboard index i (0.0 beyond 15); only the
    // targets inside 0..15 name a parameter, so only those are visited.
    const auto firstTarget = std::max<int64_t> (0, first);
    const auto lastTarget = std::min<int64_t> (numSteps - 1, last);

    for (auto target = firstTarget; target <= lastTarget; ++target)
    {
        const auto values = readStep (patternClipboard, target - first);
        const auto stepNumber = (int)target + 1;

        if (lengths)
            setParam (stepParameterName (stepLengthPrefix, stepNumber, patternId), values.length,
                      juce::sendNotification, dontStartNewTransaction, true);

        if (volumes)
            setParam (stepParameterName (stepVolumePrefix, stepNumber, patternId), values.volume,
                      juce::sendNotification, dontStartNewTransaction, true);
    }

    beginNewTransaction();
}

void ZkOstinelAudioProcessor::copyCurrentPatternIntoClipboard (bool lengths, bool volumes,
                                                               bool withPatternSettings)
{
    const auto& pattern = getPattern (currentPatternId.load());
    const auto beats = beatsOf (pattern);

    copyPatternStepsToClipboard (lengths, volumes, 0, slotsPerBeat * beats - 1);

    if (withPatternSettings)
    {
        patternClipboard.setPatternLengthInBeats (beats);
        patternClipboard.setTripletState (pattern.getTripletState());
    }
}

void ZkOstinelAudioProcessor::pasteCurrentPatternFromClipboard (bool lengths, bool volumes,
                                                                bool withPatternSettings)
{
    const auto beats = beatsOf (patternClipboard);

    if (withPatternSettings)
    {
        const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());
        auto& pattern = getPattern (patternId);

        pattern.setPatternLengthInBeats (beats);
        setParam (patternLengthParameterName (patternId), patternLengthParameterValue (beats),
                  juce::sendNotification, startNewTransaction, true);

        const auto triplet = patternClipboard.getTripletState();
        pattern.setTripletState (triplet);
        setParam (tripletModeParameterName (patternId), triplet ? 1.0f : 0.0f, juce::sendNotification,
                  startNewTransaction, true);
    }

    // The range follows the clipboard's length, also without the pattern settings.
    pastePatternStepsFromClipboard (lengths, volumes, 0, slotsPerBeat * beats - 1);
}

void ZkOstinelAudioProcessor::copyPatternBeatIntoClipboard (bool lengths, bool volumes, int beat)
{
    // Every beat outside 0..3 reads steps outside 0..15; -1 and 4 stand for all
    // of them and keep 4 * beat from overflowing.
    const auto b = juce::jlimit (-1, maxBeats, beat);
    copyPatternStepsToClipboard (lengths, volumes, slotsPerBeat * b, slotsPerBeat * b + 3);
}

void ZkOstinelAudioProcessor::pastePatternBeatFromClipboard (bool lengths, bool volumes, int beat)
{
    const auto b = juce::jlimit (-1, maxBeats, beat);
    pastePatternStepsFromClipboard (lengths, volumes, slotsPerBeat * b, slotsPerBeat * b + 3);
}

//==============================================================================
// Commands that rewrite the current pattern

void ZkOstinelAudioProcessor::shiftPattern (bool lengths, bool volumes, ShiftDirection direction)
{
    const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());
    const auto& pattern = getPattern (patternId);
    const auto beats = beatsOf (pattern);
    const auto slots = pattern.getTripletState() ? 3 : slotsPerBeat; // playing slots per beat
    const auto lastPlayingStep = slotsPerBeat * (beats - 1) + slots - 1;

    // Each write updates the pattern at once, so every value is read before
    // the step that holds it is overwritten.
    const auto read = [&pattern] (int index) { return readStep (pattern, index); };
    const auto write = [&] (int index, StepValues values)
    {
        if (lengths)
            setParam (stepParameterName (stepLengthPrefix, index + 1, patternId), values.length,
                      juce::sendNotification, dontStartNewTransaction, true);

        if (volumes)
            setParam (stepParameterName (stepVolumePrefix, index + 1, patternId), values.volume,
                      juce::sendNotification, dontStartNewTransaction, true);
    };

    if (direction == shiftRight)
    {
        const auto saved = read (lastPlayingStep);

        for (int beat = beats - 1; beat >= 0; --beat)
        {
            const auto base = slotsPerBeat * beat;
            const auto fromPreviousBeat = beat > 0 ? read (base - slotsPerBeat + slots - 1) : StepValues{};

            for (int slot = slots - 1; slot >= 1; --slot)
                write (base + slot, read (base + slot - 1));

            if (beat > 0)
                write (base, fromPreviousBeat);
        }

        write (0, saved);
    }
    else
    {
        const auto saved = read (0);

        for (int beat = 0; beat < beats; ++beat)
        {
            const auto base = slotsPerBeat * beat;
            const auto fromNextBeat = beat < beats - 1 ? read (base + slotsPerBeat) : StepValues{};

            for (int slot = 0; slot <= slots - 2; ++slot)
                write (base + slot, read (base + slot + 1));

            if (beat < beats - 1)
                write (base + slots - 1, fromNextBeat);
        }

        write (lastPlayingStep, saved);
    }

    beginNewTransaction();
}

void ZkOstinelAudioProcessor::createRandomPattern (bool lengths, bool volumes)
{
    const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());

    // Four slots per beat also in triplet mode: the silent fourth slots are filled too.
    const auto stepCount = slotsPerBeat * beatsOf (getPattern (patternId));

    if (lengths)
    {
        auto previous = -1.0f;

        for (int step = 1; step <= stepCount; ++step)
        {
            previous = getNextRandomStepLength (previous);
            setParam (stepParameterName (stepLengthPrefix, step, patternId), previous, juce::sendNotification,
                      dontStartNewTransaction, true);
        }
    }

    if (volumes)
        for (int step = 1; step <= stepCount; ++step)
            setParam (stepParameterName (stepVolumePrefix, step, patternId), random.nextFloat(),
                      juce::sendNotification, dontStartNewTransaction, true);

    beginNewTransaction();
}

void ZkOstinelAudioProcessor::initPattern (bool lengths, bool volumes, bool withPatternSettings)
{
    const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());

    // Four beats; the triplet state is left as it is.
    if (withPatternSettings)
        setParam (patternLengthParameterName (patternId), 1.0f, juce::sendNotification,
                  dontStartNewTransaction, true);

    const auto stepCount = slotsPerBeat * beatsOf (getPattern (patternId));

    for (int step = 1; step <= stepCount; ++step)
    {
        if (lengths)
            setParam (stepParameterName (stepLengthPrefix, step, patternId), 0.375f, juce::sendNotification,
                      dontStartNewTransaction, true);

        if (volumes)
            setParam (stepParameterName (stepVolumePrefix, step, patternId), 1.0f, juce::sendNotification,
                      dontStartNewTransaction, true);
    }

    beginNewTransaction();
}

void ZkOstinelAudioProcessor::setCurrentTripletMode (bool on)
{
    const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());
    setParam (tripletModeParameterName (patternId), on ? 1.0f : 0.0f, juce::sendNotification,
              startNewTransaction, true);
}

void ZkOstinelAudioProcessor::setCurrentPatternLengthInBeats (int beats)
{
    const auto patternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());
    const auto value = beats == 2 ? 0.5f : (beats == 1 ? 0.0f : 1.0f); // anything else: four beats
    setParam (patternLengthParameterName (patternId), value, juce::sendNotification, startNewTransaction,
              true);
}

float ZkOstinelAudioProcessor::getNextRandomStepLength (float previous)
{
    // Weights: NoStep 16 %, ShortStep 52 %, LongStep 16 %, StepLink 16 %. A draw
    // equal to previous is drawn once more; the second draw stands.
    float result = previous;

    for (int draws = 1; draws <= 2; ++draws)
    {
        const auto r = random.nextFloat() * 100.0f; // [0, 100)
        result = r <= 16.0f ? 0.125f : (r <= 68.0f ? 0.375f : (r <= 84.0f ? 0.625f : 0.875f));

        if (result != previous)
            return result;
    }

    return result;
}
