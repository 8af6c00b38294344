#pragma once

#include "CvoLedLight.h"

#include <juce_gui_basics/juce_gui_basics.h>

class CvoParameter;

/**
    The button of one pattern step, cycling through the four step length classes:
    a plain left click goes forward (NoStep, ShortStep, LongStep, StepLink), a click
    with any modifier or the right button backward. An LED bar shows the class: a
    fading stub for ShortStep, full length for LongStep and StepLink (brighter glow),
    nothing for NoStep; StepLink also shows the step-link arrow.

    Hover is polled every 70 ms (while enabled by the owner); under the mouse the
    body gets a thick outline.

    Message thread only.
*/
class CvoStepSeqButton : public juce::Button, public juce::Timer
{
public:
    /** The step length classes, in cycle order. */
    enum CvoStepSeqButtonState
    {
        NoStep = 0,
        ShortStep = 1,
        LongStep = 2,
        StepLink = 3
    };

    /** parameter: kept for the owner, never read (not owned; may be null). */
    explicit CvoStepSeqButton (CvoParameter* parameter);
    ~CvoStepSeqButton() override;

    /** The arrow image drawn for StepLink (not owned; may be null). */
    void setStepLinkDrawable (juce::Drawable* drawable);

    CvoStepSeqButtonState getButtonState() const;

    /** The normalised step-length value of the state: 0.125, 0.375, 0.625 or 0.875
        (the middle of its quarter). */
    float getButtonStateAsNormedValue() const;

    /** Stores the state and sets the LED. The LED shows only when the state is not
        NoStep and the button is enabled at this moment; enabling or disabling the
        button later leaves the LED as it is until the next call. */
    void setButtonState (CvoStepSeqButtonState newState);

    /** Quarters of [0..1): below 0.25 NoStep, below 0.5 ShortStep, below 0.75
        LongStep; every other value (0.75 and above, negative, NaN) StepLink. */
    void setButtonStateFromNormedValue (float normedValue);

    /** The click cycle. Runs before the button's listeners, so they see the new
        state. */
    void clicked (const juce::ModifierKeys& modifiers) override;

    /** Hover polling on or off (off while a slider is dragged). */
    void setShouldMouseOverGettingCheckedState (bool shouldCheck);

    /** enabledColour: the body while enabled; disabledColour: drawn at alpha 0.3
        while disabled. */
    void setBackgroundColours (const juce::Colour& enabledColour, const juce::Colour& disabledColour);

    /** Does nothing: the play cursor is shown by the step cursor LED. */
    void setIsUnderCursor (bool isUnderCursor);

    void setTooltip (const juce::String& newTooltip) override;

    /** The tooltip while enabled, empty text while disabled. */
    juce::String getTooltip() override;

    void timerCallback() override;
    void resized() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

protected:
    using juce::Button::clicked;

private:
    [[maybe_unused]] CvoParameter* parameter;
    juce::Colour backgroundColour = juce::Colours::red;
    juce::Colour disabledBackgroundColour;
    CvoLedLight led;
    CvoStepSeqButtonState buttonState = ShortStep;
    bool isMouseOver = false;
    bool shouldMouseOverGettingChecked = true;
    juce::String tooltip;
    juce::Drawable* stepLinkDrawable = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoStepSeqButton)
};
