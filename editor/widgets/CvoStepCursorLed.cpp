#include "CvoStepCursorLed.h"

#include "CvoZkColours.h"

CvoStepCursorLed::CvoStepCursorLed()
{
    led.setLedLightColour (juce::Colours::white.darker (0.3f));
    addChildComponent (led);
}

CvoStepCursorLed::~CvoStepCursorLed() = default;

void CvoStepCursorLed::setActive (bool shouldBeActive)
{
    isActive = shouldBeActive;
    led.setVisible (shouldBeActive);
    repaint();
}

void CvoStepCursorLed::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
    cornerSize = height / 6.0f;
    led.setBounds (getLocalBounds());
    led.setCornerSize (cornerSize);
}

void CvoStepCursorLed::paint (juce::Graphics& g)
{
    g.setColour (CvoZkColours::zkdarkGrey.withAlpha (isEnabled() ? 0.3f : 0.1f));
    g.fillRoundedRectangle (0.1f * width, 0.375f * height, 0.8f * width, 0.25f * height, cornerSize);
}
