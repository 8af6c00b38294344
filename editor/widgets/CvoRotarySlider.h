#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CvoParameter;

/**
    The knob of every continuous parameter. A vertical drag of 350 pixels spans the
    full range (velocity mode while Shift is held); the pointer is hidden during a
    drag and comes back where the drag began. A Command-click acts as a double-click
    (back to the double-click value). Texts go through the bound parameter's value
    mapper.

    The owner sets range, interval, double-click value and text box.

    Message thread only.
*/
class CvoRotarySlider : public juce::Slider
{
public:
    /** parameter: the bound host parameter (not owned; may be null). */
    explicit CvoRotarySlider (CvoParameter* parameter);
    ~CvoRotarySlider() override;

    CvoParameter* getParameter() const;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    /** Typed text to a value: leading "+" signs and blanks dropped, "," read as
        ".", everything from the first character outside "0123456789.,-" cut off;
        then the mapper's parse (normalised value), or without a mapper the plain
        number. */
    double getValueFromText (const juce::String& text) override;

    /** The mapper's display text of the value, or without a mapper the value with
        two decimals. */
    juce::String getTextFromValue (double value) override;

private:
    CvoParameter* parameter;
    juce::Point<int> dragStartScreenPosition;

    // Whether the current press started a drag (a Command-click and a press while
    // disabled do not), so that the release knows whether to restore the pointer.
    bool pressStartedDrag = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoRotarySlider)
};
