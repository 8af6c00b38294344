#include "CvoSlimBeatCommandsButton.h"

#include "CvoScreenVisibilitySource.h"

CvoSlimBeatCommandsButton::CvoSlimBeatCommandsButton (MainEditorComponent* ownerToUse)
    : owner (ownerToUse)
{
    copyButton.setName ("COPY");
    copyButton.setTooltip ("COPY: copy values for this BEAT to clipboard");
    pasteButton.setName ("PASTE");
    pasteButton.setTooltip ("PASTE: paste values for this BEAT from clipboard");

    for (auto* button : {&copyButton, &pasteButton})
    {
        addChildComponent (button);
        button->addListener (this);
    }

    startTimer (70);
}

CvoSlimBeatCommandsButton::~CvoSlimBeatCommandsButton()
{
    stopTimer();
}

bool CvoSlimBeatCommandsButton::wasLastButtonClickedCopy() const
{
    return lastButtonClickedWasCopy;
}

void CvoSlimBeatCommandsButton::setShouldMouseOverGettingCheckedState (bool shouldCheck)
{
    shouldMouseOverGettingChecked = shouldCheck;
}

void CvoSlimBeatCommandsButton::startFlashing()
{
    flashAmount = 1.0f;
}

void CvoSlimBeatCommandsButton::setBackgroundColour (const juce::Colour& newColour)
{
    backgroundColour = newColour;
    copyButton.setBackgroundColour (newColour);
    pasteButton.setBackgroundColour (newColour);
}

void CvoSlimBeatCommandsButton::buttonClicked (juce::Button* button)
{
    lastButtonClickedWasCopy = (button == &copyButton);
    sendChangeMessage();
    flashAmount = 1.0f;
}

void CvoSlimBeatCommandsButton::setTooltip (const juce::String& newTooltip)
{
    tooltip = newTooltip;
}

juce::String CvoSlimBeatCommandsButton::getTooltip()
{
    return tooltip;
}

void CvoSlimBeatCommandsButton::enablementChanged()
{
    copyButton.setEnabled (isEnabled());
    pasteButton.setEnabled (isEnabled());
}

void CvoSlimBeatCommandsButton::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
    copyButton.setBoundsRelative (0.0666667f, 0.0f, 0.4f, 1.0f);
    pasteButton.setBoundsRelative (0.5333333f, 0.0f, 0.4f, 1.0f);
}

void CvoSlimBeatCommandsButton::timerCallback()
{
    if (shouldMouseOverGettingChecked && isEnabled() && CvoScreenVisibilitySource::isOnScreen (*this))
    {
        auto* underMouse = juce::Desktop::getInstance().findComponentAt (juce::Desktop::getMousePosition());
        isMouseOver = underMouse != nullptr && (underMouse == this || isParentOf (underMouse));
        copyButton.setVisible (isMouseOver);
        pasteButton.setVisible (isMouseOver);
        repaint();
    }

    if (flashAmount > 0.0f)
        flashAmount -= flashDecrement;
}

void CvoSlimBeatCommandsButton::paint (juce::Graphics& g)
{
    const bool enabled = isEnabled();
    const bool fullHeight = enabled && isMouseOver;

    auto colour = backgroundColour;
    if (!enabled)
        colour = colour.withAlpha (0.3f);
    else if (flashAmount > 0.0f)
        colour =
            colour.overlaidWith (juce::Colours::white.withAlpha (flashAmount * (isMouseOver ? 0.4f : 1.0f)));

    const auto bar = fullHeight ? juce::Rectangle<float> (0.0f, 0.0f, width, height)
                                : juce::Rectangle<float> (0.0f, 0.4f * height, width, 0.2f * height);
    g.setColour (colour);
    g.fillRoundedRectangle (bar, 0.125f * height);
}
