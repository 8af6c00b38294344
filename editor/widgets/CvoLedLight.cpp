#include "CvoLedLight.h"

CvoLedLight::CvoLedLight()
    : shadowEffect (std::make_unique<juce::DropShadowEffect>())
{
    updateShadowEffect();
}

CvoLedLight::~CvoLedLight()
{
    setComponentEffect (nullptr);
}

void CvoLedLight::setCornerSize (float newCornerSize)
{
    cornerSize = newCornerSize;
}

void CvoLedLight::setGlowAmount (float newGlowAmount)
{
    if (newGlowAmount == glowAmount)
        return;

    glowAmount = newGlowAmount;
    updateShadowEffect();
}

void CvoLedLight::setLengthAmount (float newLengthAmount)
{
    if (newLengthAmount == lengthAmount)
        return;

    lengthAmount = newLengthAmount;
    updateShadowEffect();
}

void CvoLedLight::setLedLightColour (const juce::Colour& newColour)
{
    ledColour = newColour;
}

void CvoLedLight::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
    updateShadowEffect();
}

void CvoLedLight::updateShadowEffect()
{
    shadowEffect->setShadowProperties (juce::DropShadow (juce::Colours::white.withAlpha (glowAmount),
                                                         juce::jmax (1, getWidth() / 2), {0, 0}));

    // The framework's shadow blur runs over three pixels at a time and writes past
    // the end of an image less than three rows high: a shorter LED has no glow.
    setComponentEffect (getHeight() > 2 ? shadowEffect.get() : nullptr);
    repaint();
}

void CvoLedLight::paint (juce::Graphics& g)
{
    const juce::Rectangle<float> bar (0.1f * width, 0.35f * height, 0.8f * width, 0.3f * height);

    if (lengthAmount == 1.0f)
    {
        g.setColour (ledColour);
    }
    else
    {
        // Positions measured from the component's left edge: solid up to
        // lengthAmount x barWidth, transparent from 0.8 x barWidth on.
        const float barWidth = 0.8f * width;
        g.setGradientFill (juce::ColourGradient (ledColour, lengthAmount * barWidth, 0.0f,
                                                 ledColour.withAlpha (0.0f), 0.8f * barWidth, 0.0f, false));
    }

    g.fillRoundedRectangle (bar, cornerSize);
}
