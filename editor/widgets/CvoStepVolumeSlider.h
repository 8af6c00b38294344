#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CvoParameter;
class CvoStepSeqButton;

/**
    The vertical bar above one step that sets the step's volume [0..1, steps of
    0.01]. A click jumps to the clicked value and a drag follows the mouse (50
    pixels span the range). The bar is dimmed while the linked step button is
    NoStep. Drawn entirely here; the framework's slider drawing is not used.

    Message thread only.
*/
class CvoStepVolumeSlider : public juce::Slider
{
public:
    /** parameter: handed out by getParameter (not owned; may be null). */
    explicit CvoStepVolumeSlider (CvoParameter* parameter);
    ~CvoStepVolumeSlider() override;

    /** Style, drag sensitivity, velocity settings, no text box and the range
        0..1 in steps of 0.01. Applied again at every resize. */
    void initSlider();

    CvoParameter* getParameter() const;

    /** The step button of the same step (not owned; may be null). */
    void setStepSeqButton (CvoStepSeqButton* button);

    void setBackgroundColour (const juce::Colour& newColour);

    void setTooltip (const juce::String& newTooltip) override;

    /** The tooltip while enabled, empty text while disabled. */
    juce::String getTooltip() override;

    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    CvoParameter* parameter;
    CvoStepSeqButton* stepSeqButton = nullptr;
    juce::Colour backgroundColour = juce::Colours::black;
    juce::String tooltip;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoStepVolumeSlider)
};
