#include "CvoStepVolumeSlider.h"

#include "CvoStepSeqButton.h"
#include "CvoZkLookAndFeelV1.h"

CvoStepVolumeSlider::CvoStepVolumeSlider (CvoParameter* parameterToUse)
    : parameter (parameterToUse)
{
    initSlider();
}

CvoStepVolumeSlider::~CvoStepVolumeSlider() = default;

void CvoStepVolumeSlider::initSlider()
{
    setSliderStyle (juce::Slider::LinearVertical);
    setMouseDragSensitivity (50);
    setVelocityBasedMode (false);
    setVelocityModeParameters (1.0, 1, 0.001, false);
    setTextBoxStyle (juce::Slider::NoTextBox, true, 1, 1);
    setRange (0.0, 1.0, 0.01);
}

CvoParameter* CvoStepVolumeSlider::getParameter() const
{
    return parameter;
}

void CvoStepVolumeSlider::setStepSeqButton (CvoStepSeqButton* button)
{
    stepSeqButton = button;
}

void CvoStepVolumeSlider::setBackgroundColour (const juce::Colour& newColour)
{
    backgroundColour = newColour;
}

void CvoStepVolumeSlider::setTooltip (const juce::String& newTooltip)
{
    tooltip = newTooltip;
}

juce::String CvoStepVolumeSlider::getTooltip()
{
    return isEnabled() ? tooltip : juce::String();
}

void CvoStepVolumeSlider::resized()
{
    juce::Slider::resized();
    initSlider();
}

void CvoStepVolumeSlider::paint (juce::Graphics& g)
{
    const float w = (float)getWidth();
    const float h = (float)getHeight();
    const bool enabled = isEnabled();
    const float alpha =
        (stepSeqButton != nullptr && stepSeqButton->getButtonState() == CvoStepSeqButton::NoStep) ? 0.3f
                                                                                                  : 1.0f;

    juce::Path body;
    body.addRoundedRectangle (0.0f, 0.0f, w, h, 0.125f * h);
    CvoZkLookAndFeelV1::drawButtonShape (
        g, body, enabled ? backgroundColour : backgroundColour.withAlpha (0.3f), h, false);

    if (!enabled)
        return;

    // The bar grows upwards from an inset of 0.125 h at the bottom; full value
    // reaches 0.125 h below the top.
    const float barBottom = h - 0.125f * h;
    const float barHeight = 0.75f * h * (float)getValue();
    const juce::Rectangle<float> bar (0.25f * w, barBottom - barHeight, 0.5f * w, barHeight);

    g.setGradientFill (juce::ColourGradient (juce::Colours::lightgrey.darker (0.2f).withAlpha (alpha), 0.0f,
                                             0.0f, backgroundColour.brighter (0.1f).withAlpha (alpha), 0.0f,
                                             h, false));
    g.fillRect (bar);

    g.setColour (juce::Colours::white.withAlpha (alpha));
    g.fillRect (bar.withHeight (0.05f * h));
}
