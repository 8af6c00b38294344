#include "engine/ZkParameterTable.h"

#include <iterator>

#include "engine/params/CvoHelper.h"

namespace
{
using Kind = CvoParameterValueMapper::CvoMappingENUM;
using Target = ZkParameterTable::Target;

struct GlobalParameter
{
    const char* name;
    Kind kind;
    float defaultValue; // normalised
    Target target;
};

// Host indexes 0..27, in index order.
constexpr GlobalParameter globalParameters[] = {
    {"Bypass", CvoParameterValueMapper::MAPPING_BYPASS, 0.0f, Target::bypass},
    {"MuteAll", CvoParameterValueMapper::MAPPING_MUTE_ALL, 0.0f, Target::muteAll},
    {"InputGain", CvoParameterValueMapper::MAPPING_GAIN_DB_PLUS_MINUS_24_SQUARED, 0.5f, Target::inputGain},
    {"Mix", CvoParameterValueMapper::MAPPING_PERCENT, 1.0f, Target::mix},
    {"OutputGain", CvoParameterValueMapper::MAPPING_GAIN_DB_PLUS_MINUS_24_SQUARED, 0.5f, Target::outputGain},
    {"Attack", CvoParameterValueMapper::MAPPING_PERCENT_SQUARED, 0.0f, Target::attack},
    {"Hold", CvoParameterValueMapper::MAPPING_PERCENT_SQUARED, 0.22f, Target::hold},
    {"Decay", CvoParameterValueMapper::MAPPING_PERCENT_SQUARED, 0.22f, Target::decay},
    {"Sustain", CvoParameterValueMapper::MAPPING_PERCENT, 0.95f, Target::sustain},
    {"Release", CvoParameterValueMapper::MAPPING_PERCENT_SQUARED, 0.17f, Target::release},
    {"Swing", CvoParameterValueMapper::MAPPING_PERCENT_SQUARED, 0.15f, Target::swing},
    {"MakeUpGain", CvoParameterValueMapper::MAPPING_GAIN_DB_PLUS_MINUS_24_SQUARED, 0.5f, Target::makeUpGain},
    {"TimeOffset", CvoParameterValueMapper::MAPPING_PERCENT_PLUS_MINUS_50, 0.5f, Target::timeOffset},
    {"ShortStepLength", CvoParameterValueMapper::MAPPING_PERCENT_1_TO_100, 0.9f, Target::shortStepLength},
    {"LongStepLength", CvoParameterValueMapper::MAPPING_PERCENT_50_TO_100, 0.9f, Target::longStepLength},
    {"LowpassActive", CvoParameterValueMapper::MAPPING_ON_OFF, 0.0f, Target::lowpassActive},
    {"LowpassCutoff", CvoParameterValueMapper::MAPPING_PERCENT, 1.0f, Target::lowpassCutoff},
    {"LowpassReso", CvoParameterValueMapper::MAPPING_PERCENT, 0.0f, Target::lowpassReso},
    {"DriveActive", CvoParameterValueMapper::MAPPING_ON_OFF, 0.0f, Target::driveActive},
    {"DriveInputGain", CvoParameterValueMapper::MAPPING_GAIN_DB_0_TO_PLUS_24, 0.0f, Target::driveInputGain},
    {"DriveOutputGain", CvoParameterValueMapper::MAPPING_GAIN_DB_PLUS_MINUS_24_SQUARED, 0.5f,
     Target::driveOutputGain},
    {"EchoActive", CvoParameterValueMapper::MAPPING_ON_OFF, 0.0f, Target::echoActive},
    {"EchoLevel", CvoParameterValueMapper::MAPPING_PERCENT, 0.4f, Target::echoLevel},
    {"EchoFeedback", CvoParameterValueMapper::MAPPING_PERCENT_0_TO_90, 0.4f, Target::echoFeedback},
    {"EchoTypeNormal", CvoParameterValueMapper::MAPPING_NOTE_VALUE, 0.4f, Target::echoTypeNormal},
    {"EchoTypeTriplet", CvoParameterValueMapper::MAPPING_NOTE_VALUE, 0.9f, Target::echoTypeTriplet},
    {"EchoPingPong", CvoParameterValueMapper::MAPPING_ON_OFF, 1.0f, Target::echoPingPong},
    {"PatternSelect", CvoParameterValueMapper::MAPPING_LETTER_A_TO_H, 0.0f, Target::patternSelect},
};

static_assert (std::size (globalParameters) == ZkParameterTable::numGlobalParameters,
               "one entry per global parameter");

// Offsets inside a pattern's block of 34.
constexpr int patternLengthOffset = 0;
constexpr int tripletModeOffset = 1;

// Fixed character positions in the pattern parameter names (counted from 0):
// "PatternLength-A", "StepLength-01-A", "StepVolume-01-A" carry the letter at 14,
// "TripletMode-A" at 12, the step names the two-digit step number at 11 and 12.
constexpr int letterPosition = 14;
constexpr int tripletLetterPosition = 12;
constexpr int stepNumberPosition = 11;

juce::String patternLetter (int pattern)
{
    return CvoHelper::digitFrom1To8ToACharAsString (pattern + 1);
}

ZkParameterTable::Rule patternRule (Target target, int pattern, int step)
{
    if (pattern < 0 || pattern >= ZkParameterTable::numPatterns || step < 0 ||
        step >= ZkParameterTable::numStepsPerPattern)
        return {};

    return {target, static_cast<std::int8_t> (pattern), static_cast<std::int8_t> (step)};
}
} // namespace

ZkParameterTable::Entry ZkParameterTable::getEntry (int index)
{
    jassert (index >= 0 && index < numParameters);

    if (index < numGlobalParameters)
    {
        const auto& global = globalParameters[juce::jmax (0, index)];
        return {global.name, global.kind, global.defaultValue};
    }

    const int pattern = (index - firstPatternParameter) / numParametersPerPattern;
    const int offset = (index - firstPatternParameter) % numParametersPerPattern;
    const auto letter = patternLetter (pattern);

    if (offset == patternLengthOffset)
        return {"PatternLength-" + letter, CvoParameterValueMapper::MAPPING_BEATS_1_2_4, 1.0f};

    if (offset == tripletModeOffset)
        return {"TripletMode-" + letter, CvoParameterValueMapper::MAPPING_ON_OFF, 0.0f};

    // offset 2s is the length, 2s + 1 the volume of step number s [1..16]
    const int stepNumber = offset / 2;
    const auto stepSuffix = CvoHelper::getStringWithLeadingZero (stepNumber) + "-" + letter;

    if (offset % 2 == 0)
        return {"StepLength-" + stepSuffix, CvoParameterValueMapper::MAPPING_STEP_TYPE, 0.375f};

    return {"StepVolume-" + stepSuffix, CvoParameterValueMapper::MAPPING_PERCENT, 1.0f};
}

ZkParameterTable::Rule ZkParameterTable::ruleForName (const juce::String& name)
{
    for (const auto& global : globalParameters)
        if (name == global.name)
            return {global.target, 0, 0};

    const auto patternOf = [&name] (int letterAt)
    { return CvoHelper::stringFromAToHToInt (name.substring (letterAt)); };

    const auto stepOf = [&name]
    { return name.substring (stepNumberPosition, stepNumberPosition + 2).getIntValue() - 1; };

    if (name.startsWith ("PatternLength"))
        return patternRule (Target::patternLength, patternOf (letterPosition), 0);

    if (name.startsWith ("TripletMode"))
        return patternRule (Target::tripletMode, patternOf (tripletLetterPosition), 0);

    if (name.startsWith ("StepLength"))
        return patternRule (Target::stepLength, patternOf (letterPosition), stepOf());

    if (name.startsWith ("StepVolume"))
        return patternRule (Target::stepVolume, patternOf (letterPosition), stepOf());

    return {};
}
