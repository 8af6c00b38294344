#pragma once

#include "CvoBorderlessTextButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MainEditorComponent;

/**
    The slim strip above one beat of the step row. Under the mouse it grows to full
    height and shows its COPY and PASTE buttons; a click on either sends one change
    message (the owner asks wasLastButtonClickedCopy) and flashes the strip.

    Every 70 ms tick first polls the hover state (only while polling is on and the
    strip is enabled), then lets the flash decay by 0.175.

    Message thread only; the change message arrives asynchronously on it.
*/
class CvoSlimBeatCommandsButton : public juce::Component,
                                  public juce::SettableTooltipClient,
                                  public juce::Button::Listener,
                                  public juce::ChangeBroadcaster,
                                  public juce::Timer
{
public:
    /** owner: the main editor surface that creates the strip (not owned). */
    explicit CvoSlimBeatCommandsButton (MainEditorComponent* owner);
    ~CvoSlimBeatCommandsButton() override;

    bool wasLastButtonClickedCopy() const;

    /** Hover polling on or off (off while a slider is dragged). While off, the
        hover state and the buttons' visibility stay as they are. */
    void setShouldMouseOverGettingCheckedState (bool shouldCheck);

    /** Flash at full strength, decaying over the next six ticks. */
    void startFlashing();

    /** Colour of the strip and of both captions. */
    void setBackgroundColour (const juce::Colour& newColour);

    void buttonClicked (juce::Button* button) override;

    void setTooltip (const juce::String& newTooltip) override;
    juce::String getTooltip() override;

    void enablementChanged() override;
    void resized() override;
    void timerCallback() override;
    void paint (juce::Graphics& g) override;

private:
    [[maybe_unused]] MainEditorComponent* owner;
    float width = 0.0f;
    float height = 0.0f;
    juce::String tooltip;
    juce::Colour backgroundColour = juce::Colours::lightgrey;
    float flashAmount = 0.0f;
    float flashDecrement = 0.175f;
    bool isMouseOver = false;
    bool shouldMouseOverGettingChecked = true;
    CvoBorderlessTextButton copyButton;
    CvoBorderlessTextButton pasteButton;
    bool lastButtonClickedWasCopy = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoSlimBeatCommandsButton)
};
