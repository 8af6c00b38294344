#include "CvoParameter.h"

CvoParameter::CvoParameter (CvoParameterManager* manager, CvoParameterValueMapper::CvoMappingENUM mappingKind)
    : parameterManager (manager)
{
    if (mappingKind != CvoParameterValueMapper::MAPPING_NONE)
        valueMapper = std::make_unique<CvoParameterValueMapper> (this, mappingKind);
}

CvoParameter::~CvoParameter() = default;

juce::String CvoParameter::getValueAsText() const
{
    // The text tells what the processing does with the value, which it only ever
    // follows within 0..1.
    const float shown = juce::jlimit (0.0f, 1.0f, getValue());

    if (valueMapper != nullptr)
        return valueMapper->normed2RealValueAsString (shown);

    return juce::String (shown);
}
