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
    if (valueMapper != nullptr)
        return valueMapper->normed2RealValueAsString (getValue());

    return juce::String (getValue());
}
