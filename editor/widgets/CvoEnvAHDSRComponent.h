#pragma once

#include "CvoFittedText.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Draws the shape of the gate envelope (attack, hold, decay, sustain, release)
    from the five envelope parameters and fills the segment whose knob is being
    dragged in the accent colour. While bypass or mute all is on it shows only a
    caption.

    It has no input and no timer of its own: the main editor passes the
    normalised parameter values [0..1], the dragged segment and the states.

    Thread: message thread only; every setter repaints.
*/
class CvoEnvAHDSRComponent : public juce::Component,
                             public juce::SettableTooltipClient,
                             public CvoPaintedTextSource
{
public:
    /** The highlighted segment; the values are those the main editor passes. */
    enum CurrentlyChangingState
    {
        ChangingAttack = 0,
        ChangingHold = 1,
        ChangingDecay = 2,
        ChangingSustain = 3,
        ChangingRelease = 4,
        ChangingNone = 5
    };

    CvoEnvAHDSRComponent() = default;
    ~CvoEnvAHDSRComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void setTooltip (const juce::String& newTooltip) override;
    juce::String getTooltip() override;

    /** Normalised parameter values [0..1]; the time values are stored squared. */
    void setAttack (float v);
    void setHold (float v);
    void setDecay (float v);
    void setSustain (float v);
    void setRelease (float v);

    void setCurrentlyChangingState (CurrentlyChangingState newState);
    void setMuteAllState (bool newState);
    void setBypassState (bool newState);

    /** The caption font; owned by the look and feel, which outlives this view. */
    void setFont (juce::Font* newFont);
    /** Null until the main editor has set the font. */
    juce::Font* getFont() const { return envelopeFont; }

    /** The bypass or mute-all caption while one of them is on and the font is
        set, fitted into the inner panel; nothing otherwise. */
    juce::Array<CvoFittedText> getPaintedTexts() const override;

private:
    void drawShape (juce::Graphics& g) const;

    juce::String tooltipText;
    juce::Font* envelopeFont = nullptr;
    float width = 0.0f, height = 0.0f; // [pixels]
    bool bypassState = false;
    bool muteAllState = false;
    // Squared time values [0..1] and the sustain level [0..1]. The initial
    // values stand as they are (not squared).
    float attackShape = 0.1f;
    float holdShape = 0.1f;
    float decayShape = 0.1f;
    float sustainLevel = 0.5f;
    float releaseShape = 0.2f;
    CurrentlyChangingState currentlyChangingState = ChangingNone;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoEnvAHDSRComponent)
};
