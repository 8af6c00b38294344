#include "CvoBorderlessTextButton.h"

#include "CvoScreenVisibilitySource.h"

CvoBorderlessTextButton::CvoBorderlessTextButton()
{
    startTimer (70);
}

CvoBorderlessTextButton::~CvoBorderlessTextButton()
{
    stopTimer();
}

void CvoBorderlessTextButton::setBackgroundColour (const juce::Colour& newColour)
{
    backgroundColour = newColour;
}

void CvoBorderlessTextButton::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
}

void CvoBorderlessTextButton::paint (juce::Graphics& g)
{
    for (const auto& caption : getPaintedTexts())
        caption.draw (g);
}

juce::Array<CvoFittedText> CvoBorderlessTextButton::getPaintedTexts() const
{
    auto colour = backgroundColour.brighter (0.4f);
    if (!isEnabled())
        colour = colour.withAlpha (0.2f);
    if (isMouseOver)
        colour = colour.brighter (1.0f);

    // The framework's default typeface, not the embedded one.
    CvoFittedText caption;
    caption.text = getName();
    caption.font = juce::Font (0.8f * height);
    caption.area = getLocalBounds().toFloat();
    caption.colour = colour;
    return {caption};
}

void CvoBorderlessTextButton::timerCallback()
{
    if (!CvoScreenVisibilitySource::isOnScreen (*this))
        return;

    const auto& desktop = juce::Desktop::getInstance();
    const bool hover = desktop.findComponentAt (juce::Desktop::getMousePosition()) == this;

    if (hover != isMouseOver)
    {
        isMouseOver = hover;
        repaint();
    }
}
