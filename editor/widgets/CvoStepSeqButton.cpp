#include "CvoStepSeqButton.h"

#include "CvoScreenVisibilitySource.h"
#include "CvoZkColours.h"
#include "CvoZkLookAndFeelV1.h"

#include <cmath>

CvoStepSeqButton::CvoStepSeqButton (CvoParameter* parameterToUse)
    : juce::Button ({})
    , parameter (parameterToUse)
{
    led.setLedLightColour (CvoZkColours::zkcomplementColourB);
    led.setGlowAmount (0.8f);
    addChildComponent (led);
    startTimer (70);
}

CvoStepSeqButton::~CvoStepSeqButton()
{
    stopTimer();
}

void CvoStepSeqButton::setStepLinkDrawable (juce::Drawable* drawable)
{
    stepLinkDrawable = drawable;
}

CvoStepSeqButton::CvoStepSeqButtonState CvoStepSeqButton::getButtonState() const
{
    return buttonState;
}

float CvoStepSeqButton::getButtonStateAsNormedValue() const
{
    switch (buttonState)
    {
        case NoStep:
            return 0.125f;
        case ShortStep:
            return 0.375f;
        case LongStep:
            return 0.625f;
        case StepLink:
            break;
    }
    return 0.875f;
}

void CvoStepSeqButton::setButtonState (CvoStepSeqButtonState newState)
{
    buttonState = newState;
    led.setVisible (newState != NoStep && isEnabled());
    led.setLengthAmount (newState == ShortStep ? 0.3f : 1.0f);
    led.setGlowAmount (newState == StepLink ? 1.0f : 0.8f);
    repaint();
}

void CvoStepSeqButton::setButtonStateFromNormedValue (float normedValue)
{
    if (normedValue >= 0.0f && normedValue < 0.25f)
        setButtonState (NoStep);
    else if (normedValue >= 0.25f && normedValue < 0.5f)
        setButtonState (ShortStep);
    else if (normedValue >= 0.5f && normedValue < 0.75f)
        setButtonState (LongStep);
    else
        setButtonState (StepLink);
}

void CvoStepSeqButton::clicked (const juce::ModifierKeys& modifiers)
{
    const bool backwards = modifiers.isShiftDown() || modifiers.isCtrlDown() || modifiers.isAltDown() ||
                           modifiers.isCommandDown() || modifiers.isRightButtonDown();

    // Four states in a ring: one step forward is +1, one step backward +3.
    const int next = ((int)buttonState + (backwards ? 3 : 1)) % 4;
    setButtonState ((CvoStepSeqButtonState)next);
}

void CvoStepSeqButton::setShouldMouseOverGettingCheckedState (bool shouldCheck)
{
    shouldMouseOverGettingChecked = shouldCheck;
}

void CvoStepSeqButton::setBackgroundColours (const juce::Colour& enabledColour,
                                             const juce::Colour& disabledColour)
{
    backgroundColour = enabledColour;
    disabledBackgroundColour = disabledColour;
}

void CvoStepSeqButton::setIsUnderCursor (bool) {}

void CvoStepSeqButton::setTooltip (const juce::String& newTooltip)
{
    tooltip = newTooltip;
}

juce::String CvoStepSeqButton::getTooltip()
{
    return isEnabled() ? tooltip : juce::String();
}

void CvoStepSeqButton::timerCallback()
{
    if (!shouldMouseOverGettingChecked || !CvoScreenVisibilitySource::isOnScreen (*this))
        return;

    const bool hover =
        juce::Desktop::getInstance().findComponentAt (juce::Desktop::getMousePosition()) == this;
    if (hover != isMouseOver)
    {
        isMouseOver = hover;
        repaint();
    }
}

void CvoStepSeqButton::resized()
{
    const float w = (float)getWidth();
    const float h = (float)getHeight();
    led.setBounds (juce::Rectangle<int>::leftTopRightBottom (
        (int)std::floor (0.09f * w), (int)std::floor (0.03f * h), (int)std::ceil (w - 0.09f * w),
        (int)std::ceil (0.38f * h)));
    led.setCornerSize (h / 16.0f);
}

void CvoStepSeqButton::paintButton (juce::Graphics& g, bool, bool isButtonDown)
{
    const float w = (float)getWidth();
    const float h = (float)getHeight();
    const bool enabled = isEnabled();

    auto bodyColour = isButtonDown ? backgroundColour.darker (0.4f) : backgroundColour;
    if (!enabled)
        bodyColour = disabledBackgroundColour.withAlpha (0.3f);

    juce::Path body;
    body.addRoundedRectangle (0.0f, 0.0f, w, h, 0.125f * h);
    CvoZkLookAndFeelV1::drawButtonShape (g, body, bodyColour, h, enabled && isMouseOver);

    if (!enabled)
        return;

    g.setColour (CvoZkColours::zkcomplementColourB.withAlpha (0.1f));
    g.fillRoundedRectangle (0.11f * h, 0.17f * h, w - 0.22f * h, 0.085f * h, h / 15.0f);

    if (buttonState == StepLink && stepLinkDrawable != nullptr)
        stepLinkDrawable->drawWithin (g, {0.2f * w, 0.4f * h, 0.6f * w, 0.3f * h},
                                      juce::RectanglePlacement::centred, 1.0f);
}
