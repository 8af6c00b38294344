#include "CvoRotarySlider.h"

#include "engine/params/CvoParameter.h"

CvoRotarySlider::CvoRotarySlider (CvoParameter* parameterToUse)
    : parameter (parameterToUse)
{
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setMouseDragSensitivity (350);
    setVelocityBasedMode (false);
    setVelocityModeParameters (1.0, 1, 0.01, false);
}

CvoRotarySlider::~CvoRotarySlider() = default;

CvoParameter* CvoRotarySlider::getParameter() const
{
    return parameter;
}

void CvoRotarySlider::mouseDown (const juce::MouseEvent& e)
{
    pressStartedDrag = false;

    if (!isEnabled())
    {
        juce::Slider::mouseDown (e);
        return;
    }

    if (e.mods.isCommandDown())
    {
        juce::Slider::mouseDoubleClick (e);
        return;
    }

    if (!e.source.isUnboundedMouseMovementEnabled())
        e.source.enableUnboundedMouseMovement (true, false);

    juce::Slider::mouseDown (e);
    dragStartScreenPosition = e.getScreenPosition();
    pressStartedDrag = true;
}

void CvoRotarySlider::mouseDrag (const juce::MouseEvent& e)
{
    setVelocityBasedMode (e.mods.isShiftDown());
    juce::Slider::mouseDrag (e);
}

void CvoRotarySlider::mouseUp (const juce::MouseEvent& e)
{
    if (e.source.isUnboundedMouseMovementEnabled())
        e.source.enableUnboundedMouseMovement (false);

    juce::Slider::mouseUp (e);

    if (isEnabled() && pressStartedDrag)
    {
        setVelocityBasedMode (false);
        auto source = e.source;
        source.setScreenPosition (dragStartScreenPosition.toFloat());
    }

    pressStartedDrag = false;
}

double CvoRotarySlider::getValueFromText (const juce::String& text)
{
    auto cleaned = text.trim();
    while (cleaned.startsWithChar ('+'))
        cleaned = cleaned.substring (1).trimStart();

    cleaned = cleaned.replace (",", ".").initialSectionContainingOnly ("0123456789.,-");

    if (parameter != nullptr)
        if (const auto* mapper = parameter->getValueMapper())
            return (double)mapper->string2normedValueAsFloat (cleaned);

    return cleaned.getDoubleValue();
}

juce::String CvoRotarySlider::getTextFromValue (double value)
{
    if (parameter != nullptr)
        if (const auto* mapper = parameter->getValueMapper())
            return mapper->normed2RealValueAsString ((float)value);

    return juce::String (value, 2);
}
