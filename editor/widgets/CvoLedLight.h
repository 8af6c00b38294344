#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A glowing LED bar across the middle of the component. lengthAmount 1.0 draws a
    solid bar; below 1.0 the bar fades out towards its right end. The white glow is
    the component's drop-shadow effect, of strength glowAmount (none while the
    LED is less than 3 pixels high).

    Message thread only.
*/
class CvoLedLight : public juce::Component
{
public:
    CvoLedLight();
    ~CvoLedLight() override;

    /** Corner radius of the bar [pixels]; no repaint. */
    void setCornerSize (float newCornerSize);

    /** Alpha of the glow [0..1]; a value equal to the current one is ignored. */
    void setGlowAmount (float newGlowAmount);

    /** 1.0 = solid bar; below, the fraction of the bar width [0..1] that stays
        solid before the fade. A value equal to the current one is ignored. */
    void setLengthAmount (float newLengthAmount);

    /** Bar colour; no repaint. */
    void setLedLightColour (const juce::Colour& newColour);

    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    /** Glow radius half the width (at least 1 pixel), the effect set while the LED
        is at least 3 pixels high, then repaint. */
    void updateShadowEffect();

    float width = 0.0f;
    float height = 0.0f;
    float cornerSize = 1.0f;
    float lengthAmount = 1.0f;
    float glowAmount = 1.0f;
    juce::Colour ledColour = juce::Colours::red;
    std::unique_ptr<juce::DropShadowEffect> shadowEffect;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoLedLight)
};
