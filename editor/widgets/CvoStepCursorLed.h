#pragma once

#include "CvoLedLight.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The LED slot below one step: an empty translucent slot, lit by a white LED
    while the step is under the play cursor (set by the editor's refresh loop).

    Message thread only.
*/
class CvoStepCursorLed : public juce::Component
{
public:
    CvoStepCursorLed();
    ~CvoStepCursorLed() override;

    /** Lights or darkens the LED and repaints. */
    void setActive (bool shouldBeActive);

    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    float width = 0.0f;
    float height = 0.0f;
    float cornerSize = 0.0f;
    bool isActive = false;
    CvoLedLight led;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoStepCursorLed)
};
