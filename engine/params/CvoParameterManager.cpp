#include "CvoParameterManager.h"

#include <cmath>

CvoParameterManager::CvoParameterManager (juce::AudioProcessor* processor)
    : audioProcessor (processor)
{
}

CvoParameterManager::~CvoParameterManager() = default;

void CvoParameterManager::addParameter (CvoParameter* parameter)
{
    if (parameter == nullptr)
        return;

    parameter->setIndex (parameters.size());
    parameters.add (parameter);
}

CvoParameter* CvoParameterManager::getParameter (int index) const
{
    return isValidIndex (index) ? parameters.getUnchecked (index) : nullptr;
}

CvoParameter* CvoParameterManager::getParameter (const juce::String& name) const
{
    return getParameter (getParameterIndex (name));
}

int CvoParameterManager::getParameterIndex (const juce::String& name) const
{
    for (int i = 0; i < parameters.size(); ++i)
        if (parameters.getUnchecked (i)->getName() == name)
            return i;

    return -1;
}

juce::String CvoParameterManager::getParameterName (int index) const
{
    if (index < 0)
        return "invalid parameter";

    if (index >= parameters.size())
        return "reserved";

    return parameters.getUnchecked (index)->getName();
}

juce::String CvoParameterManager::getParameterValueAsText (int index) const
{
    return isValidIndex (index) ? parameters.getUnchecked (index)->getValueAsText() : juce::String();
}

float CvoParameterManager::getParameterValue (int index) const
{
    return isValidIndex (index) ? parameters.getUnchecked (index)->getValue() : 0.0f;
}

void CvoParameterManager::setParameterValue (int index, float value)
{
    if (!isValidIndex (index) || !std::isfinite (value))
        return;

    parameters.getUnchecked (index)->setValue (value);

    parameterNeedsToBeUpdatedInEditor.store (true, std::memory_order_release);
    presetNameNeedsToBeUpdatedInEditor.store (true, std::memory_order_release);
    undoButtonsNeedToBeUpdatedInEditor.store (true, std::memory_order_release);
}

void CvoParameterManager::setSampleRateNeedsToBeUpdatedInEditor (bool needsUpdate)
{
    sampleRateNeedsToBeUpdatedInEditor.store (needsUpdate, std::memory_order_release);
}

bool CvoParameterManager::getParameterNeedsToBeUpdatedInEditor()
{
    return parameterNeedsToBeUpdatedInEditor.exchange (false, std::memory_order_acq_rel);
}

bool CvoParameterManager::getSampleRateNeedsToBeUpdatedInEditor()
{
    return sampleRateNeedsToBeUpdatedInEditor.exchange (false, std::memory_order_acq_rel);
}

bool CvoParameterManager::getPresetNameNeedsToBeUpdatedInEditor()
{
    return presetNameNeedsToBeUpdatedInEditor.exchange (false, std::memory_order_acq_rel);
}

bool CvoParameterManager::getUndoButtonsNeedToBeUpdatedInEditor()
{
    return undoButtonsNeedToBeUpdatedInEditor.exchange (false, std::memory_order_acq_rel);
}
