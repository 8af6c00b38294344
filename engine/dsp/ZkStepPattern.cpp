#include "ZkStepPattern.h"

float ZkStepPattern::quantiseStepLength (float v)
{
    // Written as ranges so that NaN, failing every comparison, ends as StepLink.
    if (v >= 0.0f && v < 0.25f)
        return NoStep;

    if (v >= 0.25f && v < 0.5f)
        return ShortStep;

    if (v >= 0.5f && v < 0.75f)
        return LongStep;

    return StepLink;
}

void ZkStepPattern::setStepLength (int index, float v)
{
    if (isValidIndex (index))
        steps[static_cast<std::size_t> (index)].setLength (quantiseStepLength (v));
}

void ZkStepPattern::setStepVolume (int index, float v)
{
    if (isValidIndex (index))
        steps[static_cast<std::size_t> (index)].setVolume (v);
}

void ZkStepPattern::setAllSteps (float length, float volume)
{
    for (auto& step : steps)
    {
        step.setLength (length);
        step.setVolume (volume);
    }
}

void ZkStepPattern::initPattern()
{
    setAllSteps (ShortStep, 1.0f);
    setPatternLengthInBeats (4);
    setTripletState (false);
}
