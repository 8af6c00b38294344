#pragma once

#include "CvoFittedText.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A caption-only button that lights up under the mouse. The caption is the
    component's name (setName), not the button text; no background or frame is
    drawn.

    Hover is polled every 70 ms from the desktop's mouse position, so it stays
    right while other components capture the mouse or are shown and hidden.

    Message thread only.
*/
class CvoBorderlessTextButton : public juce::TextButton, public juce::Timer, public CvoPaintedTextSource
{
public:
    CvoBorderlessTextButton();
    ~CvoBorderlessTextButton() override;

    /** Base colour of the caption (drawn brighter). */
    void setBackgroundColour (const juce::Colour& newColour);

    void resized() override;
    void paint (juce::Graphics& g) override;

    /** The caption, fitted into the local bounds. */
    juce::Array<CvoFittedText> getPaintedTexts() const override;

    /** The hover poll: repaints only when the hover state changes. */
    void timerCallback() override;

private:
    float width = 0.0f;
    float height = 0.0f;
    juce::Colour backgroundColour = juce::Colours::lightgrey;
    bool isMouseOver = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoBorderlessTextButton)
};
