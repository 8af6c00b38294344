#pragma once

#include <juce_core/juce_core.h>

/**
    The built-in presets as (name, parameter pairs), in id order.

    Each preset names only the global parameters it changes and the parameters
    of pattern A; every parameter it does not name keeps its default when the
    processor builds the preset tree. Values are normalised parameter values
    given as decimal text.

    Stateless; any thread.
*/
class ZkFactoryPresets
{
public:
    static constexpr int numPresets = 28;

    /** The name of preset id 0..numPresets - 1; empty text for any other id. */
    static juce::String getName (int id);

    /** The (parameter name, value text) pairs of preset id, keys compared
        case-sensitively; empty for an id outside 0..numPresets - 1. */
    static juce::StringPairArray getPairs (int id);

    /** Value texts of the four step length classes as the presets store them. */
    static constexpr const char* noStepValue = "0.125";
    static constexpr const char* shortStepValue = "0.375";
    static constexpr const char* longStepValue = "0.625";
    static constexpr const char* stepLinkValue = "0.875";
};
