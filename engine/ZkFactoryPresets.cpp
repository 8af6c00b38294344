#include "engine/ZkFactoryPresets.h"

#include <iterator>

namespace
{
/*  One row per preset. The columns are kept in the compact form in which the
    presets were designed:

    beats    pattern A's length in beats (1, 2 or 4)
    triplet  pattern A in triplet mode
    lengths  one character per step 1..16 of pattern A: '.' NoStep, 's' ShortStep,
             'L' LongStep, '=' StepLink (tied into the next step)
    volumes  "step: value" for every step of pattern A whose volume is not 1.0
    others   "ParameterName value" for every other parameter the preset changes
*/
struct Row
{
    const char* name;
    int beats;
    bool triplet;
    const char* lengths;
    const char* volumes;
    const char* others;
};

// clang-format off
constexpr Row rows[] = {
    { "Default", 4, false, "ss=sss=sss=sss=s", "", "" },
    { "House Rhythm 01 + Echo", 4, false, "L..L..L..L..L.L.", "", "Release 0.3, Swing 0.3, EchoActive 1, EchoTypeNormal 0.2" },
    { "House Rhythm 02 + Echo", 4, false, "L..L..L.L..L..L.", "", "Attack 0.2, Release 0.35, Swing 0.4, EchoActive 1, EchoTypeNormal 0.2" },
    { "TranceGate 01 + Echo", 4, false, "ss=sss=sss=sss=s", "", "ShortStepLength 0.7, EchoActive 1" },
    { "TranceGate 02 + Echo", 4, false, "ss=sss=sss=ss=sL", "", "ShortStepLength 0.7, EchoActive 1" },
    { "TranceGate 03 + Echo", 1, false, "ss=sssssssssssss", "1: 0.35", "ShortStepLength 0.7, EchoActive 1" },
    { "TranceGate 04 + Echo", 2, false, "ss=ssL=sssssssss", "1: 0.35, 5: 0.35", "ShortStepLength 0.7, EchoActive 1" },
    { "TranceGate 05 + Echo", 2, false, "ss=sssLsssssssss", "1: 0.35, 5: 0.35", "ShortStepLength 0.7, LongStepLength 0.2, EchoActive 1" },
    { "Groove Rhythm 01 + Echo", 4, false, "L.s=s=s.Lss=s=s.", "1: 0.2, 5: 0.2, 9: 0.2, 13: 0.2", "Attack 0.15, Hold 0.15, Release 0.35, Swing 0.4, ShortStepLength 0.3, LongStepLength 0.85, EchoActive 1" },
    { "Groove Rhythm 02 + Echo", 4, false, "=sL.L.s=s=L..s=s", "1: 0.2, 5: 0.2, 9: 0.2, 13: 0.2", "Attack 0.2, Hold 0.15, Release 0.3, Swing 0.4, ShortStepLength 0.4, LongStepLength 0.85, EchoActive 1" },
    { "Like A SideChain 01", 1, false, "s===ssssssssssss", "1: 0.8", "Attack 1, Hold 0, Decay 0, Sustain 1, Release 0.3, Swing 0, ShortStepLength 0.1" },
    { "Like A SideChain 02", 1, false, ".===ssssssssssss", "", "Attack 1, Hold 0, Decay 0, Sustain 1, Release 0.1, Swing 0" },
    { "Like A SideChain 02 + Echo", 1, false, ".===ssssssssssss", "", "Attack 1, Hold 0, Decay 0, Sustain 1, Release 0.1, Swing 0, EchoActive 1" },
    { "Like A SideChain 03", 1, false, ".===ssssssssssss", "1: 0, 2: 0.33, 3: 0.66", "Attack 0.42, Hold 0, Decay 0.5, Sustain 1, Release 0.1, Swing 0" },
    { "Simple Triplet 01 + Echo", 1, true, "ssssssssssssssss", "", "EchoActive 1" },
    { "Simple Triplet 02 + Echo", 1, true, "ssssssssssssssss", "1: 0.35", "EchoActive 1" },
    { "DarkSide Triplet", 4, true, "..Ls..Ls..Ls.sLs", "", "EchoActive 1" },
    { "Isolate Snare/Clap", 2, false, "....=s..ssssssss", "", "Sustain 1" },
    { "Isolate Snare/Clap + Echo", 2, false, "....=s..ssssssss", "", "Sustain 1, EchoActive 1" },
    { "Isolate Offbeat", 1, false, "..L.ssssssssssss", "", "Sustain 1" },
    { "Isolate Offbeat + Echo", 1, false, "..L.ssssssssssss", "", "Sustain 1, EchoActive 1" },
    { "Reggaeton", 2, false, "...L..=sssssssss", "", "ShortStepLength 0.4, LongStepLength 0.3, Swing 0.4" },
    { "Reggaeton + Echo", 2, false, "...L..=sssssssss", "", "ShortStepLength 0.4, LongStepLength 0.3, Swing 0.4, EchoActive 1" },
    { "Tremolo 8th", 1, false, "====ssssssssssss", "2: 0, 4: 0", "Mix 0.8, Hold 0, Decay 0.65, Sustain 1, Release 0, Swing 0, TimeOffset 0.22" },
    { "Tremolo 4th", 1, false, "====ssssssssssss", "4: 0", "Mix 0.7, Hold 0, Decay 0.65, Sustain 1, Release 0, Swing 0, TimeOffset 0.35" },
    { "Psychodelic Echo", 4, false, ".=L.............", "", "Attack 0.7, Swing 0.3, TimeOffset 0.7, LowpassActive 1, LowpassCutoff 0.7, DriveActive 1, DriveInputGain 0.3, DriveOutputGain 0.3, EchoActive 1" },
    { "Slight Volume Modulation + Echo", 4, false, "===L===L===L===L", "1: 0.22, 2: 0.84, 4: 0.125, 5: 0.23, 6: 0.97, 7: 0.81, 8: 0.93, 9: 0.21, 10: 0.82, 12: 0.81, 13: 0.24, 14: 0.99, 15: 0.83, 16: 0.96", "Attack 0.4, Release 0.4, Swing 0.4, Mix 0.35, EchoActive 1" },
    { "Init", 4, false, "ssssssssssssssss", "", "" },
};
// clang-format on

constexpr int numSteps = 16;

constexpr bool isStepCode (char c)
{
    return c == '.' || c == 's' || c == 'L' || c == '=';
}

constexpr bool rowIsWellFormed (const Row& row)
{
    if (row.beats != 1 && row.beats != 2 && row.beats != 4)
        return false;

    int length = 0;
    for (; row.lengths[length] != 0; ++length)
        if (!isStepCode (row.lengths[length]))
            return false;

    return length == numSteps;
}

constexpr bool allRowsAreWellFormed()
{
    for (const auto& row : rows)
        if (!rowIsWellFormed (row))
            return false;
    return true;
}

static_assert (std::size (rows) == ZkFactoryPresets::numPresets, "one row per factory preset");
static_assert (allRowsAreWellFormed(), "every row has 1, 2 or 4 beats and 16 step codes");

const char* stepLengthValue (char code)
{
    switch (code)
    {
        case '.':
            return ZkFactoryPresets::noStepValue;
        case 'L':
            return ZkFactoryPresets::longStepValue;
        case '=':
            return ZkFactoryPresets::stepLinkValue;
        default:
            return ZkFactoryPresets::shortStepValue;
    }
}

const char* patternLengthValue (int beats)
{
    return beats == 1 ? "0.0" : (beats == 2 ? "0.5" : "1.0");
}

juce::String stepParameterName (const char* prefix, int step)
{
    return juce::String (prefix) + juce::String (step).paddedLeft ('0', 2) + "-A";
}

/** Splits "a, b, c" into trimmed, non-empty items. */
juce::StringArray listItems (const char* text)
{
    juce::StringArray items;
    items.addTokens (text, ",", "");
    items.trim();
    items.removeEmptyStrings();
    return items;
}
} // namespace

juce::String ZkFactoryPresets::getName (int id)
{
    return juce::isPositiveAndBelow (id, numPresets) ? juce::String (rows[id].name) : juce::String();
}

juce::StringPairArray ZkFactoryPresets::getPairs (int id)
{
    juce::StringPairArray pairs (false);

    if (!juce::isPositiveAndBelow (id, numPresets))
        return pairs;

    const auto& row = rows[id];

    pairs.set ("PatternLength-A", patternLengthValue (row.beats));

    if (row.triplet)
        pairs.set ("TripletMode-A", "1.0");

    for (int step = 1; step <= numSteps; ++step)
        pairs.set (stepParameterName ("StepLength-", step), stepLengthValue (row.lengths[step - 1]));

    for (const auto& item : listItems (row.volumes))
        pairs.set (stepParameterName ("StepVolume-",
                                      item.upToFirstOccurrenceOf (":", false, false).trim().getIntValue()),
                   item.fromFirstOccurrenceOf (":", false, false).trim());

    for (const auto& item : listItems (row.others))
        pairs.set (item.upToLastOccurrenceOf (" ", false, false).trim(),
                   item.fromLastOccurrenceOf (" ", false, false).trim());

    return pairs;
}
