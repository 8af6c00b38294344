// Parameter table, processing values and settings of ZkOstinelAudioProcessor.

#include "engine/ZkOstinelAudioProcessor.h"

#include <cmath>
#include <limits>

#include "engine/params/CvoParameter.h"

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // setParameter: index-based parameter interface
#endif

static_assert (ZkParameterTable::numParameters <= ZkOstinelAudioProcessor::numHostParameters,
               "the host must see every real parameter");
static_assert (ZkParameterTable::numPatterns == ZkOstinelAudioProcessor::numPatterns,
               "one block of pattern parameters per pattern");

namespace
{
using Target = ZkParameterTable::Target;

/** Gain law of the gain parameters: -24 dB at 0, 0 dB at exactly 0.5, +24 dB at 1, on a
    squared curve around the centre. x in double kept as float, decibels and their
    twentieth in float, the power in double. */
float gainLaw (float v)
{
    if (v == 0.5f)
        return 1.0f;

    const float x = static_cast<float> (2.0 * static_cast<double> (v) - 1.0);
    float decibels = x * x * 24.0f;

    if (x < 0.0f)
        decibels = -decibels;

    return static_cast<float> (std::pow (10.0, static_cast<double> (decibels / 20.0f)));
}

/** Echo time [beats] of the echo type parameters: 1/16, 1/8, 3/16, 1/4, 1/8T, 2/8T.
    The thresholds are those of the note-value display. */
float echoBeatsFor (float v)
{
    if (v <= 0.16666667f)
        return 0.25f;
    if (v <= 0.33333334f)
        return 0.5f;
    if (v <= 0.5f)
        return 0.75f;
    if (v <= 0.6666667f)
        return 1.0f;
    if (v <= 0.8333334f)
        return 0.33333334f;
    return 0.6666667f;
}

int patternLengthInBeatsFor (float v)
{
    if (v < 0.25f)
        return 1;
    if (v < 0.75f)
        return 2;
    return 4;
}
} // namespace

//==============================================================================
// Parameter table

void ZkOstinelAudioProcessor::addParameter (const juce::String& name, float defaultValue,
                                            CvoParameterValueMapper::CvoMappingENUM kind)
{
    if (parameterManager == nullptr)
        return;

    auto parameter = std::make_unique<CvoParameter> (parameterManager.get(), kind);
    parameter->setName (name);
    // Straight onto the parameter: building the table raises no editor flag.
    parameter->setValue (defaultValue);
    parameter->setDefaultValue (defaultValue);
    parameterManager->addParameter (parameter.release());
}

// Message thread, in the constructor only: nothing else sees the manager yet.
void ZkOstinelAudioProcessor::addAndInitAllParams()
{
    parameterManager = std::make_unique<CvoParameterManager> (this);

    for (int index = 0; index < ZkParameterTable::numParameters; ++index)
    {
        const auto entry = ZkParameterTable::getEntry (index);
        addParameter (entry.name, entry.defaultValue, entry.kind);
    }

    jassert (parameterManager->getNumberOfParameters() == ZkParameterTable::numParameters);

    // The write path dispatches by index: each index's rule is found once, from its name.
    parameterRules.fill ({});
    const int count = juce::jmin (parameterManager->getNumberOfParameters(), ZkParameterTable::numParameters);

    for (int index = 0; index < count; ++index)
        parameterRules[static_cast<size_t> (index)] =
            ZkParameterTable::ruleForName (parameterManager->getParameterName (index));

    for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
        calculateProcessingValueFromParam (index, parameterManager->getParameterValue (index));
}

// Any thread (host automation often arrives on the audio thread): no allocation, no lock.
void ZkOstinelAudioProcessor::setParameter (int index, float newValue)
{
    auto* manager = parameterManager.get();

    if (manager == nullptr || index < 0 || index >= manager->getNumberOfParameters())
        return;

    // The manager refuses a non-finite value; the processing values follow the manager.
    if (!std::isfinite (newValue))
        return;

    manager->setParameterValue (index, newValue);
    calculateProcessingValueFromParam (index, newValue);
}

// Any thread: no allocation, no lock. Does not store the value in the manager.
void ZkOstinelAudioProcessor::calculateProcessingValueFromParam (int index, float value)
{
    if (index < 0 || index >= ZkParameterTable::numParameters || !std::isfinite (value))
        return;

    // The stored value is kept as it came (a host, a chunk or a preset may hold one
    // outside 0..1), but the sound only ever follows it within 0..1: every formula
    // below then stays within its parameter's range (at most +24 dB of gain, a
    // stable filter, a feedback below 1, a pattern id of 0..7).
    const float v = juce::jlimit (0.0f, 1.0f, value);

    const auto rule = parameterRules[static_cast<size_t> (index)];
    constexpr auto relaxed = std::memory_order_relaxed;

    switch (rule.target)
    {
        case Target::none:
            break;

        case Target::bypass:
            bypass.store (v > 0.5f, relaxed);
            break;
        case Target::muteAll:
            muteAll.store (v > 0.5f, relaxed);
            break;
        case Target::inputGain:
            inputGain.store (gainLaw (v), relaxed);
            break;
        case Target::mix:
            mix.store (v, relaxed);
            break;
        case Target::outputGain:
            outputGain.store (gainLaw (v), relaxed);
            break;

        case Target::attack:
            attack.store (v * v, relaxed);
            break;
        case Target::hold:
            hold.store (v * v, relaxed);
            break;
        case Target::decay:
            decay.store (v * v, relaxed);
            break;
        case Target::sustain:
            sustain.store (v, relaxed);
            break;
        case Target::release:
            release.store (v * v * v, relaxed);
            break;
        case Target::swing:
            swing.store (v * v, relaxed);
            break;
        case Target::makeUpGain:
            makeUpGain.store (gainLaw (v), relaxed);
            break;
        case Target::timeOffset:
            timeOffset.store (2.0f * v - 1.0f, relaxed);
            break;
        case Target::shortStepLength:
            shortStepLength.store (v, relaxed);
            break;
        case Target::longStepLength:
            longStepLength.store (0.5f * v + 0.5f, relaxed);
            break;

        case Target::lowpassActive:
            // The filters belong to the audio thread, which hands the switch to both.
            lowpassActive.store (v > 0.5f, relaxed);
            break;
        case Target::lowpassCutoff:
            lowpassCutoff.store (static_cast<double> (v), relaxed);
            calculateLowpassFilterCoefficients();
            break;
        case Target::lowpassReso:
            lowpassReso.store (static_cast<double> (v), relaxed);
            calculateLowpassFilterCoefficients();
            break;

        case Target::driveActive:
            drive.setActive (v > 0.5f);
            break;
        case Target::driveInputGain:
            drive.setInputGain (v);
            break;
        case Target::driveOutputGain:
            // The drive's output gain follows the same law as the other gains.
            drive.setOutputGain (v);
            break;

        case Target::echoActive:
            echoActive.store (v > 0.5f, relaxed);
            break;
        case Target::echoLevel:
            echoLevel.store (v, relaxed);
            break;
        case Target::echoFeedback:
            echoFeedback.store (0.9f * v, relaxed);
            break;
        case Target::echoPingPong:
            echoPingPong.store (v > 0.5f, relaxed);
            break;
        case Target::echoTypeNormal:
            echoBeatsNormal.store (echoBeatsFor (v), relaxed);
            break;
        case Target::echoTypeTriplet:
            echoBeatsTriplet.store (echoBeatsFor (v), relaxed);
            break;

        case Target::patternSelect:
            // v * 7 truncated toward zero: 0..7 for v in 0..1.
            currentPatternId.store (juce::jlimit (0, numPatterns - 1, static_cast<int> (v * 7.0f)), relaxed);
            break;

        case Target::patternLength:
            patterns[static_cast<size_t> (rule.pattern)].setPatternLengthInBeats (
                patternLengthInBeatsFor (v));
            break;
        case Target::tripletMode:
            // At or above the centre, unlike the switches.
            patterns[static_cast<size_t> (rule.pattern)].setTripletState (v >= 0.5f);
            break;
        case Target::stepLength:
            patterns[static_cast<size_t> (rule.pattern)].setStepLength (rule.step, v);
            break;
        case Target::stepVolume:
            patterns[static_cast<size_t> (rule.pattern)].setStepVolume (rule.step, v);
            break;
    }
}

//==============================================================================
// Settings

// Message thread, at the end of construction. Creating the settings applies no
// effect: the constructor has already set the processing fields to match the defaults.
void ZkOstinelAudioProcessor::addAndInitAllVarItems()
{
    varItemManager = std::make_unique<CvoVarItemManager>();

    varItemManager->addVarItem ("viExpertModeIsActive", 0.0);
    varItemManager->addVarItem ("viGlobalFxOffIsActive", 0.0);
    varItemManager->addVarItem ("viInputSignalIsMono", false);
    varItemManager->addVarItem ("viWaveDisplayZoomFactorYNormed", 0.0);
    varItemManager->addVarItem ("viWaveDisplayCursorTailBrightness", 0.5);
    varItemManager->addVarItem ("viWaveDisplayRhythmicLinesBrightness", 0.5);
    varItemManager->addVarItem ("viDawTimingOffsetState", 0.0);
    varItemManager->addVarItem ("viDawTimingOffsetInSamples", 0);
    varItemManager->addVarItem ("viIsPlayingState", false);
    varItemManager->addVarItem ("viAutoRunInStopMode", true);
    varItemManager->addVarItem ("viIsRunningState", false);
    varItemManager->addVarItem ("viPatternCommandTabContent", 1);
}

// Message thread (editor, info screen, host state restore).
void ZkOstinelAudioProcessor::setVarItemValue (const juce::String& name, juce::var value)
{
    if (varItemManager == nullptr)
        return;

    // A name not among the twelve, or a value the manager refuses (not finite),
    // changes nothing here either.
    if (varItemManager->setVarItemValue (name, value))
        calculateProcessingValueFromVarItem (name, value);
}

// Message thread. Values convert by juce::var's rules (a bool reads as 0.0 or 1.0).
void ZkOstinelAudioProcessor::calculateProcessingValueFromVarItem (const juce::String& name, juce::var value)
{
    constexpr auto relaxed = std::memory_order_relaxed;

    if (name == "viGlobalFxOffIsActive")
        globalFxOff.store (static_cast<double> (value) == 1.0, relaxed);

    if (name == "viDawTimingOffsetState")
        dawTimingOffsetOn.store (static_cast<double> (value) == 1.0, relaxed);

    if (name == "viDawTimingOffsetInSamples")
    {
        // [samples] truncated toward zero; a value from a state chunk may be anything,
        // so it is bounded to the int range first and a non-finite one is refused.
        const auto samples = static_cast<double> (value);

        if (std::isfinite (samples))
        {
            const auto bounded =
                juce::jlimit (static_cast<double> (std::numeric_limits<int>::min()),
                              static_cast<double> (std::numeric_limits<int>::max()), samples);
            dawTimingOffsetInSamples.store (static_cast<int> (bounded), relaxed);
        }
    }

    if (name == "viAutoRunInStopMode")
    {
        const bool autoRun = static_cast<bool> (value);
        autoRunInStopMode.store (autoRun, relaxed);

        // While the host is stopped the run state follows at once (no resync); the
        // setting is written straight into the manager so that the editor sees it.
        if (!lastPlaying.load (relaxed))
        {
            isRunning.store (autoRun, relaxed);

            if (varItemManager != nullptr)
                varItemManager->setVarItemValue ("viIsRunningState", autoRun);
        }
    }

    if (name == "viIsRunningState")
    {
        const bool running = static_cast<bool> (value);

        // The block that takes the resync also sees the restart stored before it.
        if (isRunning.exchange (running, relaxed) != running)
            restartStepsAtAnchor.store (true);

        resync.store (true);
    }
}
