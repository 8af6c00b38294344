#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

#include "engine/params/CvoParameterValueMapper.h"

/**
    The plug-in's 300 host parameters: names, display kinds and defaults in host
    index order, and the processing rule each name stands for.

    Order: the 28 global parameters, then for each pattern A..H a block of 34:
    "PatternLength-X", "TripletMode-X" and, for steps 01..16, "StepLength-NN-X"
    followed by "StepVolume-NN-X".

    The rule of a name is looked up once per index when the table is built (message
    thread, allocates); the parameter write path then dispatches on the stored rule
    by index and never touches a string.
*/
class ZkParameterTable
{
public:
    static constexpr int numGlobalParameters = 28;
    static constexpr int numPatterns = 8;
    static constexpr int numStepsPerPattern = 16;
    static constexpr int numParametersPerPattern = 2 + 2 * numStepsPerPattern;
    static constexpr int firstPatternParameter = numGlobalParameters;
    static constexpr int numParameters = numGlobalParameters + numPatterns * numParametersPerPattern;
    static_assert (numParameters == 300, "the host sees exactly 300 real parameters");

    /** What a parameter drives. */
    enum class Target : std::uint8_t
    {
        none,
        bypass,
        muteAll,
        inputGain,
        mix,
        outputGain,
        attack,
        hold,
        decay,
        sustain,
        release,
        swing,
        makeUpGain,
        timeOffset,
        shortStepLength,
        longStepLength,
        lowpassActive,
        lowpassCutoff,
        lowpassReso,
        driveActive,
        driveInputGain,
        driveOutputGain,
        echoActive,
        echoLevel,
        echoFeedback,
        echoPingPong,
        echoTypeNormal,
        echoTypeTriplet,
        patternSelect,
        patternLength,
        tripletMode,
        stepLength,
        stepVolume
    };

    /** A target with, for the pattern targets, the pattern [0..7] and step [0..15] it acts on. */
    struct Rule
    {
        Target target = Target::none;
        std::int8_t pattern = 0;
        std::int8_t step = 0;
    };

    struct Entry
    {
        juce::String name;
        CvoParameterValueMapper::CvoMappingENUM kind;
        float defaultValue;
    };

    /** Name, display kind and default of the parameter at a host index [0..299].
        Message thread (builds strings). */
    static Entry getEntry (int index);

    /** The rule of a parameter name: an exact, case-sensitive match of a global name,
        else the first of the prefixes "PatternLength", "TripletMode", "StepLength",
        "StepVolume" the name starts with, the pattern letter and step number read from
        their fixed places in the name. Anything else, and a pattern or step out of
        range, gives Target::none. Message thread. */
    static Rule ruleForName (const juce::String& name);
};
