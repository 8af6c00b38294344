#pragma once

#include "CvoParameterValueMapper.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>

class CvoParameterManager;

/**
    One host parameter: a normalised value [0..1 by convention, stored unclamped], its
    default, its name and the mapper that writes its display text.

    Threads: the value and the default are atomics (relaxed), so getValue and
    setValue may run on the audio thread, host threads and the message thread at
    the same time and never allocate. Name, index and mapper are set while the
    manager is built, before any other thread sees the parameter, and are only
    read afterwards.
*/
class CvoParameter
{
public:
    /** Makes a mapper of the given kind for this parameter, except for
        MAPPING_NONE, which leaves the parameter without one. */
    CvoParameter (CvoParameterManager* parameterManager, CvoParameterValueMapper::CvoMappingENUM mappingKind);
    ~CvoParameter();

    CvoParameterManager* getParameterManager() const { return parameterManager; }

    int getIndex() const { return index; }
    void setIndex (int newIndex) { index = newIndex; }

    /** Any thread. Stored as given: no clamping, no check (the manager's write
        path refuses non-finite values). */
    float getValue() const { return value.load (std::memory_order_relaxed); }
    void setValue (float newValue) { value.store (newValue, std::memory_order_relaxed); }

    float getDefaultValue() const { return defaultValue.load (std::memory_order_relaxed); }
    void setDefaultValue (float newDefault) { defaultValue.store (newDefault, std::memory_order_relaxed); }

    /** Always true: the editor refreshes every parameter after any write. */
    bool hasFlagChanged() const { return flagChanged; }

    /** The mapper, or null for MAPPING_NONE. */
    CvoParameterValueMapper* getValueMapper() const { return valueMapper.get(); }

    void setName (const juce::String& newName) { name = newName; }
    juce::String getName() const { return name; }

    /** Display text of the current value limited to 0..1 (the value the processing
        follows): the mapper's text, or without a mapper JUCE's plain float text
        (juce::String (float): shortest form of up to six significant digits, e.g.
        "0.3", "1e-07"). Not on the audio thread. */
    juce::String getValueAsText() const;

private:
    int index = -1;
    std::atomic<float> value{0.0f};
    std::atomic<float> defaultValue{0.0f};
    juce::String name{"reserved"};
    const bool flagChanged = true;
    CvoParameterManager* const parameterManager;
    std::unique_ptr<CvoParameterValueMapper> valueMapper;

    JUCE_DECLARE_NON_COPYABLE (CvoParameter)
};
