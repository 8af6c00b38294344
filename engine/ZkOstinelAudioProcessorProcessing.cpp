// Per-block and per-sample processing: transport and anchors, the step gate with
// its envelope, the signal path (gain, low-pass, drive, gate, echo, output) and the
// editor feeds. What other threads hand over to it (widget registrations, filter
// coefficients, channel layouts) is in ZkOstinelAudioProcessorHandOver.cpp.
//
// Everything in processBlock runs on the host's audio thread: no allocation, no
// lock, no I/O. Values written by other threads are atomics read once per block
// (processing values, settings) or per sample (the selected pattern).

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkSaturatedInt.h"
#include "engine/dsp/CvoMoogLowPassFilterPair.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ZK_PROCESSING_SIMD 1
#else
#define ZK_PROCESSING_SIMD 0
#endif

namespace
{
constexpr float noStep = ZkStepPattern::NoStep;
constexpr float shortStep = ZkStepPattern::ShortStep;
constexpr float stepLink = ZkStepPattern::StepLink;

// The range of beat lengths the step clock accepts [samples per beat]. Below one
// sample a beat position would outgrow every integer; above 2^28 samples (about
// 0.04 BPM at 192 kHz) eight steps no longer fit the envelope's int lengths. A block
// whose tempo lies outside counts as one without position information.
constexpr double minSamplesPerBeat = 1.0;
constexpr double maxSamplesPerBeat = 268435456.0;

// Samples processed per pass of processBlock's inner loops (kept on the stack).
constexpr int samplesPerChunk = 64;

// Ids of the settings the audio thread reports (their positions in the setting
// manager); the id form of the write needs no string compare.
constexpr int inputSignalIsMonoSettingId = 2; // "viInputSignalIsMono"
constexpr int isPlayingSettingId = 8;         // "viIsPlayingState"
constexpr int isRunningSettingId = 10;        // "viIsRunningState"

// juce::roundToInt (ties to even) for values that may lie outside the int range or
// be NaN: those saturate (NaN gives 0) instead of converting out of range.
int roundToIntSaturated (double x)
{
    return ZkSaturatedInt::round (x);
}

// Truncation toward zero with the same saturation.
int truncateToIntSaturated (double x)
{
    return ZkSaturatedInt::truncate (x);
}

// The same for a length computed in single precision (widening is exact).
int truncateToIntSaturated (float x)
{
    return ZkSaturatedInt::truncate (static_cast<double> (x));
}

// A divisor of an envelope increment: lengths of 0 (or below, from parameter values
// outside their range) divide by one sample instead.
float envelopeDivisor (int length)
{
    return (float)std::max (1, length);
}

float finiteOrZero (float x)
{
    return std::isfinite (x) ? x : 0.0f;
}

// finiteOrZero over n samples, four at a time with SSE: a pass of its own after the
// sample loop costs less than a test inside it.
void zeroNonFinite (float* samples, int n)
{
    int i = 0;
#if ZK_PROCESSING_SIMD
    const __m128 magnitudeBits = _mm_castsi128_ps (_mm_set1_epi32 (0x7fffffff));
    const __m128 largest = _mm_set1_ps (std::numeric_limits<float>::max());

    for (; i + 4 <= n; i += 4)
    {
        // |x| <= largest is false for infinities and NaN; a finite x keeps its bits.
        const __m128 x = _mm_loadu_ps (samples + i);
        const __m128 finite = _mm_cmple_ps (_mm_and_ps (x, magnitudeBits), largest);
        _mm_storeu_ps (samples + i, _mm_and_ps (x, finite));
    }
#endif
    for (; i < n; ++i)
        samples[i] = finiteOrZero (samples[i]);
}

struct StepPosition
{
    int index;       // 4 slots per beat, wrapped to the pattern length; negative before beat 0
    double fraction; // of a step since its nominal start, (-1, 1)

    // [samples] since the nominal start of the step, truncated. Only a due step start
    // needs it, so it is not computed for every sample.
    double positionInStep (double samplesPerStep) const
    {
        return (double)(int64_t)(fraction * samplesPerStep);
    }
};

// Step index of a beat position [quarter notes] in a pattern of lengthInBeats beats.
// b and k truncate toward zero and the remainder takes the sign of b, so positions
// before beat 0 give indexes of 0 and below.
forcedinline StepPosition stepPositionOf (double position, double stepsPerBeat, int lengthInBeats)
{
    if (std::isnan (position))
        return {-1, 0.0};

    // Beyond 2^62 every double is a multiple of 4: slot 0, nominal start.
    if (!(std::abs (position) < 4.6e18))
        return {0, 0.0};

    const auto b = (int64_t)position;
    const double f = (position - (double)b) * stepsPerBeat; // (-4, 4)
    const auto k = (int)f;

    // b remainder L with the sign of b; a mask for the usual 1, 2 and 4 beats.
    int beatInPattern;
    if ((lengthInBeats & (lengthInBeats - 1)) == 0)
        beatInPattern = b >= 0 ? (int)(b & (lengthInBeats - 1)) : -(int)((-b) & (lengthInBeats - 1));
    else
        beatInPattern = (int)(b % lengthInBeats);

    return {k + beatInPattern * 4, f - (double)k};
}

// juce::Random's generator and nextFloat, inline, on a copy of its seed: the output
// noise draws the same numbers as noiseRandom.nextFloat() without a call per sample.
struct NoiseGenerator
{
    juce::int64 seed;

    float nextFloat()
    {
        seed = (juce::int64) ((((juce::uint64)seed) * 0x5deece66dLL + 11) & 0xffffffffffffLL);
        const auto value = (juce::uint32) (int)(seed >> 16);
        const float result = (float)value / ((float)std::numeric_limits<juce::uint32>::max() + 1.0f);
        return result == 1.0f ? 1.0f - std::numeric_limits<float>::epsilon() : result;
    }
};

// The host's position as JUCE's old record, for the play-state tracker and the
// editor (missing fields keep the record's defaults).
juce::AudioPlayHead::CurrentPositionInfo toCurrentPositionInfo (const juce::AudioPlayHead::PositionInfo& pos)
{
    juce::AudioPlayHead::CurrentPositionInfo info;
    info.resetToDefault();

    if (const auto sig = pos.getTimeSignature())
    {
        info.timeSigNumerator = sig->numerator;
        info.timeSigDenominator = sig->denominator;
    }
    if (const auto loop = pos.getLoopPoints())
    {
        info.ppqLoopStart = loop->ppqStart;
        info.ppqLoopEnd = loop->ppqEnd;
    }
    if (const auto frameRate = pos.getFrameRate())
        info.frameRate = *frameRate;
    if (const auto seconds = pos.getTimeInSeconds())
        info.timeInSeconds = *seconds;
    if (const auto barStart = pos.getPpqPositionOfLastBarStart())
        info.ppqPositionOfLastBarStart = *barStart;
    if (const auto ppq = pos.getPpqPosition())
        info.ppqPosition = *ppq;
    if (const auto origin = pos.getEditOriginTime())
        info.editOriginTime = *origin;
    if (const auto bpm = pos.getBpm())
        info.bpm = *bpm;
    if (const auto samples = pos.getTimeInSamples())
        info.timeInSamples = *samples;

    info.isPlaying = pos.getIsPlaying();
    info.isRecording = pos.getIsRecording();
    info.isLooping = pos.getIsLooping();
    return info;
}

// Position information the step clock can follow. Any time information from
// the host will do: a tempo or a quarter-note position that it did not send
// takes the framework's default (120 BPM, position 0), so a host that sends a
// tempo but no musical position is gated from the start of processing. What the
// host did send must be usable: a finite position, a finite positive tempo and
// a beat length within the accepted range at the given sample rate [Hz].
bool readHostPosition (juce::AudioPlayHead* playHead, double sampleRate,
                       juce::AudioPlayHead::CurrentPositionInfo& info)
{
    if (playHead == nullptr || !std::isfinite (sampleRate) || sampleRate <= 0.0)
        return false;

    const auto position = playHead->getPosition();
    if (!position.hasValue())
        return false;

    info = toCurrentPositionInfo (*position);

    if (!std::isfinite (info.bpm) || info.bpm <= 0.0 || !std::isfinite (info.ppqPosition))
        return false;

    const double samplesPerBeat = sampleRate * 60.0 / info.bpm;
    return samplesPerBeat >= minSamplesPerBeat && samplesPerBeat <= maxSamplesPerBeat;
}

// Marks the editor feeds in use for one block: the sequence is odd from before the
// block loads the feed pointers until it has made its last feed call (the other
// side is registerFeed, in ZkOstinelAudioProcessorHandOver.cpp).
class ScopedFeedUse
{
public:
    explicit ScopedFeedUse (std::atomic<uint32_t>& sequenceToUse)
        : sequence (sequenceToUse)
    {
        sequence.fetch_add (1);
    }
    ~ScopedFeedUse() { sequence.fetch_add (1, std::memory_order_release); }

private:
    std::atomic<uint32_t>& sequence;
};

} // namespace

//==============================================================================
void ZkOstinelAudioProcessor::updatePlayAndRunState (bool& justStarted)
{
    const bool playing = playingState.isPlaying();
    playingNow.store (playing, std::memory_order_relaxed);
    justStarted = false;

    if (playing == lastPlaying.load() && !forceStateUpdate.load())
        return;

    // A forced update (first block, restored state) while the transport already
    // plays re-anchors but is no start.
    const bool playbackStarts = playing && !lastPlaying.load();

    lastPlaying = playing;
    justStarted = playing;

    if (playbackStarts)
        restartStepsAtAnchor = true;

    if (playing)
        resync = true;

    if (varItemManager != nullptr)
        varItemManager->setVarItemValue (isPlayingSettingId, juce::var (playing));

    const bool newRunState = playing || autoRunInStopMode.load();

    if (newRunState != isRunning.load() || forceStateUpdate.load())
    {
        if (newRunState != isRunning.load())
            restartStepsAtAnchor = true;

        isRunning = newRunState;

        if (varItemManager != nullptr)
            varItemManager->setVarItemValue (isRunningSettingId, juce::var (newRunState));

        resync = true;
    }

    forceStateUpdate = false;
}

//==============================================================================
void ZkOstinelAudioProcessor::startStep (const GateBlockValues& values, int stepIndex, float length,
                                         float volume)
{
    if (length != noStep)
    {
        const int s = samplesPerStepRounded;
        attackLength = truncateToIntSaturated ((float)attackMinSamples +
                                               (float)(2 * s - attackMinSamples) * values.attack);
        holdLength = truncateToIntSaturated ((float)(2 * s) * values.hold);
        decayLength =
            truncateToIntSaturated ((float)decayMinSamples + (float)(2 * s - decayMinSamples) * values.decay);

        bool retrigger = false;
        bool newSustainTarget = false;

        if (length == stepLink)
        {
            gateLength = s;

            if (lastStartedStepLength == stepLink)
            {
                retrigger = envelopeStage == Off;
                newSustainTarget = envelopeStage == Sustain;
            }
            else
            {
                retrigger = true;
            }
        }
        else
        {
            // ShortStep, and every other class (LongStep) by its own length.
            const double fraction =
                length == shortStep ? (double)values.shortStepLength * 0.5 : (double)values.longStepLength;
            gateLength = truncateToIntSaturated ((double)s * fraction);

            if (lastStartedStepLength != stepLink)
            {
                retrigger = true;
            }
            else
            {
                // After a link: no retrigger, the gate time restarts.
                gateCounter = 0;

                if (envelopeStage == Sustain || envelopeStage == Release || envelopeStage == Off)
                {
                    envelopeStage = Sustain;
                    envelopeIncrement = 0.0f;
                    newSustainTarget = true;
                }
            }
        }

        if (retrigger)
        {
            envelopeStage = Attack;
            attackCounter = 0;
            gateCounter = 0;
            envelopeIncrement = (volume - envelopeValue) / envelopeDivisor (attackLength);
        }
        else if (newSustainTarget)
        {
            const float target = values.sustain * volume;

            if (envelopeValue != target)
            {
                envelopeStage = Decay;
                decayCounter = 0;
                envelopeIncrement = (target - envelopeValue) / envelopeDivisor (decayLength);
            }
        }
    }

    lastStartedStep = stepIndex;
    lastStartedStepLength = length;
}

forcedinline void ZkOstinelAudioProcessor::advanceEnvelope (const GateBlockValues& values, float length,
                                                            float volume)
{
    ++attackCounter;
    ++holdCounter;
    ++decayCounter;
    ++gateCounter;
    ++releaseCounter;

    if (envelopeStage == Attack && attackCounter > attackLength)
    {
        envelopeStage = Hold;
        holdCounter = 0;
        envelopeIncrement = 0.0f;
    }

    if (envelopeStage == Hold && holdCounter > holdLength)
    {
        envelopeStage = Decay;
        decayCounter = 0;
        envelopeIncrement = (values.sustain * volume - envelopeValue) / envelopeDivisor (decayLength);
    }

    if (envelopeStage == Decay && decayCounter > decayLength)
    {
        envelopeStage = Sustain;
        envelopeIncrement = 0.0f;
    }

    // A link holds the gate while it is current, and through the swing delay of the
    // step after it unless that one is a NoStep.
    if (envelopeStage != Release && envelopeStage != Off && gateCounter > std::max (gateLength, holdLength) &&
        length != stepLink && !(lastStartedStepLength == stepLink && length != noStep))
    {
        envelopeStage = Release;
        releaseCounter = 0;
        releaseLength =
            truncateToIntSaturated ((float)releaseMinSamples +
                                    (float)(8 * samplesPerStepRounded - releaseMinSamples) * values.release);
        const float exponent = 1.0f / envelopeDivisor (releaseLength);
        releaseFactor = (float)std::pow ((double)0.05f, (double)exponent);
        envelopeIncrement = 0.0f;
    }

    if (envelopeStage == Release && releaseCounter > releaseLength)
    {
        envelopeStage = Off;
        envelopeIncrement = 0.0f;
        envelopeValue = 0.0f;
        return;
    }

    switch (envelopeStage)
    {
        case Attack:
        case Hold:
        case Decay:
            envelopeValue += envelopeIncrement;

            // Sustain and step volumes far outside 0..1 can give a target or an increment
            // that is not finite, or a sum that overflows: the envelope ends instead of
            // carrying the value on (Release and Off would keep it for good).
            if (!std::isfinite (envelopeValue))
            {
                envelopeStage = Off;
                envelopeIncrement = 0.0f;
                envelopeValue = 0.0f;
            }
            break;
        case Release:
            envelopeValue *= releaseFactor;
            break;
        case Sustain:
        case Off:
            break;
    }
}

//==============================================================================
void ZkOstinelAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    // 1. Sample rate [Hz]; a rate that is not finite or not positive counts as unknown.
    double sampleRate = getSampleRate();
    if (!std::isfinite (sampleRate) || sampleRate < 0.0)
        sampleRate = 0.0;

    if (sampleRate != lastSampleRate.load())
    {
        lastSampleRate = sampleRate;
        lowpassLeft.setSampleRate (sampleRate);
        lowpassRight.setSampleRate (sampleRate);

        if (parameterManager != nullptr)
            parameterManager->setSampleRateNeedsToBeUpdatedInEditor (true);

        // 2 ms; the limit only keeps absurd rates inside the envelope's int arithmetic.
        attackMinSamples = std::min (roundToIntSaturated (sampleRate / 1000.0 * 2.0), 1 << 27);
        decayMinSamples = 2 * attackMinSamples; // 4 ms
        releaseMinSamples = 2 * attackMinSamples;
    }

    // 2. Coefficients computed before the rate was known, or changed since the last block.
    if (!filterCoefficientsReady.load())
        calculateLowpassFilterCoefficients();

    applyPendingFilterCoefficients();

    // 3. Mono when the processor has one input channel. A buffer with fewer channels
    // than the layout promises is processed with the channels it has.
    const bool monoInput = getTotalNumInputChannels() == 1;

    if (varItemManager != nullptr)
        varItemManager->setVarItemValue (inputSignalIsMonoSettingId, juce::var (monoInput ? 1.0 : 0.0));

    const int numChannels = buffer.getNumChannels();
    const bool stereo = !monoInput && numChannels >= 2;

    // 4. Host position; without any time information, or with a tempo or
    // position that cannot be followed, the block stays exactly as the host passed it.
    juce::AudioPlayHead::CurrentPositionInfo position;
    if (numChannels < 1 || !readHostPosition (getPlayHead(), sampleRate, position))
        return;

    // 5. Play state.
    lastPositionInfo = position;
    lastPpqPosition.store (position.ppqPosition, std::memory_order_relaxed);
    playingState.checkNewPositionInfo (position);

    // 6. Play and run state.
    bool justStarted = false;
    updatePlayAndRunState (justStarted);

    // 7. Anchor: at a tempo change, a transport start or a requested resync.
    const bool resyncRequested = resync.exchange (false);
    if (position.bpm != lastBpm.load() || resyncRequested)
    {
        lastBpm = position.bpm;
        anchorPpq = position.ppqPosition;
        samplesSinceAnchor = 0;

        // Playback starts or the gate is switched on or off: the step under the new
        // position is due even when the clock already started that index before (the
        // stopped gate runs on its own anchor), and a step already running retriggers.
        // A tempo change alone keeps the step that runs.
        if (resyncRequested && restartStepsAtAnchor.exchange (false))
        {
            lastStartedStep = -1;
            lastStartedStepLength = noStep;
        }
    }

    // 8. Block timing from the pattern selected now.
    const int blockPatternId = juce::jlimit (0, numPatterns - 1, currentPatternId.load());
    const bool tripletMode = patterns[(size_t)blockPatternId].getTripletState();
    samplesPerBeat = sampleRate * 60.0 / position.bpm;
    stepsPerBeat = tripletMode ? 3.0 : 4.0;
    samplesPerStep = samplesPerBeat / stepsPerBeat;
    samplesPerStepRounded = juce::roundToInt (samplesPerStep); // at most 2^28 / 3

    // Values of other threads, read once for the block.
    const ScopedFeedUse feedUse (feedBlockSequence);
    CvoWaveDisplayFeed* const display = waveDisplay.load();
    CvoLevelMeterFeed* const inputMeter = inputVuMeter.load();
    CvoLevelMeterFeed* const outputMeter = outputVuMeter.load();

    GateBlockValues gate;
    gate.attack = attack.load (std::memory_order_relaxed);
    gate.hold = hold.load (std::memory_order_relaxed);
    gate.decay = decay.load (std::memory_order_relaxed);
    gate.sustain = sustain.load (std::memory_order_relaxed);
    gate.release = release.load (std::memory_order_relaxed);
    gate.shortStepLength = shortStepLength.load (std::memory_order_relaxed);
    gate.longStepLength = longStepLength.load (std::memory_order_relaxed);

    const double swingValue = (double)swing.load (std::memory_order_relaxed);
    const double stepShift = (-0.5 * (double)timeOffset.load (std::memory_order_relaxed)) / stepsPerBeat;
    const int64_t timingOffset = dawTimingOffsetOn.load() ? (int64_t)dawTimingOffsetInSamples.load() : 0;

    const bool bypassed = bypass.load (std::memory_order_relaxed);
    const bool muted = muteAll.load (std::memory_order_relaxed);
    const bool fxOff = globalFxOff.load (std::memory_order_relaxed);
    const bool running = isRunning.load();
    const float inGain = bypassed ? 1.0f : inputGain.load (std::memory_order_relaxed); // bypass skips it
    const float outGain = outputGain.load (std::memory_order_relaxed);
    const float makeUp = makeUpGain.load (std::memory_order_relaxed);
    const float mixValue = mix.load (std::memory_order_relaxed);

    // Echo: delay d [samples], limited so that every read stays inside the lines.
    const bool echoOn = echoActive.load (std::memory_order_relaxed);
    const bool pingPong = echoPingPong.load (std::memory_order_relaxed) && stereo;
    const float echoLevelValue = echoLevel.load (std::memory_order_relaxed);
    const float feedback = echoFeedback.load (std::memory_order_relaxed);
    const float echoBeats = tripletMode ? echoBeatsTriplet.load (std::memory_order_relaxed)
                                        : echoBeatsNormal.load (std::memory_order_relaxed);
    const double maxDelay = pingPong ? (double)echoMaxDelayPingPong : (double)echoMaxDelayNormal;
    const double delayExact = (double)echoBeats * samplesPerBeat;
    const int echoDelay =
        std::isnan (delayExact) ? 0 : juce::roundToInt (juce::jlimit (0.0, maxDelay, delayExact));
    const bool writeEcho = echoOn && !bypassed;
    const bool addEcho = writeEcho && !fxOff;

    float* const echoLine0 = echoBuffer.getWritePointer (0);
    float* const echoLine1 = echoBuffer.getWritePointer (1);
    float* const channel0 = buffer.getWritePointer (0);
    float* const channel1 = stereo ? buffer.getWritePointer (1) : nullptr;

    // 9. Waveform display.
    if (display != nullptr)
    {
        display->setIsRunningState (running);
        display->setSamplesPerBeat ((float)samplesPerBeat);

        if (justStarted)
            display->restart();
    }

    // 10. Samples, in chunks of up to samplesPerChunk: the processing of every sample
    // of the chunk, then the feeds of the chunk's samples. Every widget gets the same
    // calls in the same order as with the feeds inside the sample loop; only the calls
    // to different widgets interleave differently.
    const double swingDelay = (double)roundToIntSaturated (swingValue * 0.5 * samplesPerStep); // odd steps
    const bool filterAndDrive = !bypassed && !muted && !fxOff;
    const bool gated = !bypassed && !muted && running;
    const int numSamples = buffer.getNumSamples();

    NoiseGenerator noise{noiseRandom.getSeed()};
    CvoMoogLowPassFilterPair filters (lowpassLeft, lowpassRight); // both channels' state in registers
    bool beatRestart = justStarted;
    int stepIndex = currentStepIndex.load (std::memory_order_relaxed);

    for (int chunkStart = 0; chunkStart < numSamples; chunkStart += samplesPerChunk)
    {
        const int n = std::min (samplesPerChunk, numSamples - chunkStart);
        float* const out0 = channel0 + chunkStart;
        float* const out1 = stereo ? channel1 + chunkStart : nullptr;
        bool restartDisplay[samplesPerChunk];
        float inputLeft[samplesPerChunk];
        float inputRight[samplesPerChunk];
        float left[samplesPerChunk];
        float right[samplesPerChunk];

        // Every step of a sample in one loop: the clock does not depend on the audio,
        // so its work overlaps the filters' recursions.
        for (int i = 0; i < n; ++i)
        {
            // Selected pattern, read per sample; its triplet state stays the block's.
            const ZkStepPattern& pattern = patterns[(size_t)juce::jlimit (
                0, numPatterns - 1, currentPatternId.load (std::memory_order_relaxed))];
            const int lengthInBeats = juce::jlimit (1, 4, pattern.getPatternLengthInBeats());

            // Beat position [quarter notes] of this sample.
            const double beatPosition =
                (double)(samplesSinceAnchor - timingOffset) / samplesPerBeat + anchorPpq;

            // Step index, shifted by the time offset (up to half a step).
            const auto step = stepPositionOf (beatPosition + stepShift, stepsPerBeat, lengthInBeats);
            stepIndex = step.index;

            // Beat marks from the unshifted position (the same index without time offset).
            const int markIndex = stepShift == 0.0
                                      ? step.index
                                      : stepPositionOf (beatPosition, stepsPerBeat, lengthInBeats).index;
            if (markIndex > lastBeatMarkStep || (markIndex == 0 && lastBeatMarkStep > 1))
            {
                lastBeatMarkStep = markIndex;

                if (markIndex % 4 == 0)
                    beatRestart = true;
            }

            const float length = pattern.getStepLength (stepIndex);
            const float volume = pattern.getStepVolume (stepIndex);

            // Step start, later by the swing delay for odd indexes.
            if ((stepIndex > lastStartedStep || (stepIndex == 0 && lastStartedStep > 1)) &&
                step.positionInStep (samplesPerStep) >= (stepIndex % 2 != 0 ? swingDelay : 0.0))
                startStep (gate, stepIndex, length, volume);

            advanceEnvelope (gate, length, volume);

            restartDisplay[i] = beatRestart;
            beatRestart = false;
            ++samplesSinceAnchor;

            // Input, with the input gain (1 when bypassed). A sample that is not finite,
            // before or after the gain, is silence for the filters and the echo.
            float l = finiteOrZero (out0[i] * inGain);
            float r = stereo ? finiteOrZero (out1[i] * inGain) : 0.0f;

            inputLeft[i] = l;
            inputRight[i] = r;

            // Low-pass and drive per channel, then the gate: the dry share is the
            // filtered and driven signal, ungated.
            if (filterAndDrive)
            {
                filters.process (l, r);
                l = drive.processSingleSample (l);
                r = drive.processSingleSample (r);
            }

            if (gated)
            {
                l = l * envelopeValue * makeUp * mixValue + (1.0f - mixValue) * l;
                r = r * envelopeValue * makeUp * mixValue + (1.0f - mixValue) * r;
            }

            // Echo: both lines share the write index; the feedback is subtracted, so each
            // repeat inverts. Ping-pong crosses the lines and reads the left one 2d back.
            // Switched off or bypassed, the lines get zeros.
            const int w = echoWritePosition;

            if (writeEcho)
            {
                int i1 = w - echoDelay;
                if (i1 < 0)
                    i1 += echoLineLength;

                float echoL, echoR;

                if (pingPong)
                {
                    int i2 = w - 2 * echoDelay;
                    if (i2 < 0)
                        i2 += echoLineLength;

                    echoL = echoLine1[i2];
                    echoR = echoLine0[i1];
                }
                else
                {
                    echoL = echoLine0[i1];
                    echoR = stereo ? echoLine1[i1] : 0.0f;
                }

                echoLine0[w] = finiteOrZero (l - feedback * echoL);
                if (stereo)
                    echoLine1[w] = finiteOrZero (r - feedback * echoR);

                if (addEcho)
                {
                    l += echoL * echoLevelValue;
                    r += echoR * echoLevelValue;
                }
            }
            else
            {
                echoLine0[w] = 0.0f;
                if (stereo)
                    echoLine1[w] = 0.0f;
            }

            echoWritePosition = w + 1 == echoLineLength ? 0 : w + 1;

            // Output gain and output; bypassed, the channel keeps its input sample.
            if (l != 0.0f)
                l *= outGain;
            if (stereo && r != 0.0f)
                r *= outGain;

            if (!bypassed)
            {
                out0[i] = muted ? 0.0f : l;
                if (stereo)
                    out1[i] = muted ? 0.0f : r;
            }

            // A small noise on every output sample, bypassed and muted ones included.
            out0[i] += (noise.nextFloat() * 2.0f - 1.0f) * 0.00001f;
            if (stereo)
                out1[i] += (noise.nextFloat() * 2.0f - 1.0f) * 0.00001f;

            left[i] = l;
            right[i] = r;
        }

        // Gains, mix and echo level far outside their ranges can overflow the products:
        // a processed sample that is not finite is silence, on the outputs (bypassed,
        // they keep the host's samples) and on the feeds.
        zeroNonFinite (left, n);
        if (stereo)
            zeroNonFinite (right, n);

        if (!bypassed)
        {
            zeroNonFinite (out0, n);
            if (stereo)
                zeroNonFinite (out1, n);
        }

        if (inputMeter != nullptr)
        {
            for (int i = 0; i < n; ++i)
            {
                inputMeter->pushLeftSample (std::abs (inputLeft[i]));
                inputMeter->pushRightSample (stereo ? std::abs (inputRight[i]) : 0.0f);
            }
        }

        // Feeds of the processed signal: with bypass the input times the output gain,
        // with mute-all the ungated signal on the meters and nothing on the display.
        if (display != nullptr)
        {
            for (int i = 0; i < n; ++i)
            {
                if (restartDisplay[i])
                    display->restart();

                if (!muted)
                    display->pushSample (stereo ? std::max (std::abs (left[i]), std::abs (right[i]))
                                                : std::abs (left[i]));
            }
        }

        if (outputMeter != nullptr)
        {
            for (int i = 0; i < n; ++i)
            {
                outputMeter->pushLeftSample (std::abs (left[i]));
                outputMeter->pushRightSample (stereo ? std::abs (right[i]) : 0.0f);
            }
        }
    }

    filters.finish();
    noiseRandom.setSeed (noise.seed);
    currentStepIndex.store (stepIndex, std::memory_order_relaxed);
}
