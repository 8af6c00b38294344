#pragma once

#include "CvoFittedText.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The panel behind the pattern-command tabs. Enabled (no tab open) it shows
    the caption "PATTERN COMMANDS"; disabled (a tab open) it draws two connector
    lines from its left quarter to its right edge, the upper one for the step
    volumes and the lower one for the step lengths, each split by a gap where
    the tab's buttons sit. The row that a hovered button acts on turns dark and
    the other parts dim.

    Thread: message thread only.
*/
class PatternCommandTabContentBackground : public juce::Component, public CvoPaintedTextSource
{
public:
    /** What the hovered command button acts on; the values are those the main
        editor passes. */
    enum PatternCommandTypeContentBackgroundIsOverState
    {
        IsOverNone = 0,
        IsOverVolume = 1,
        IsOverAll = 2, // volumes and lengths
        IsOverLength = 3
    };

    PatternCommandTabContentBackground() = default;
    ~PatternCommandTabContentBackground() override;

    void enablementChanged() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Colours of the connector parts: all of them while nothing is hovered,
        the hovered row's parts, the other parts while a row is hovered. No
        repaint of its own. */
    void setColours (juce::Colour idle, juce::Colour over, juce::Colour dim);
    void setIsOverState (PatternCommandTypeContentBackgroundIsOverState newState);
    /** The wider gap (1.75 times) while the SHIFT or the COPY tab is open. */
    void setDoubleSpacingState (bool newState);
    /** Takes the caption font from the look and feel when it is the editor's
        own; otherwise keeps the current one. */
    void updateFont();

    /** The caption while enabled (no tab open); nothing otherwise. */
    juce::Array<CvoFittedText> getPaintedTexts() const override;

private:
    void paintCaption (juce::Graphics& g);
    void paintConnectors (juce::Graphics& g) const;

    float width = 0.0f, height = 0.0f; // [pixels]
    juce::Colour idleColour{juce::Colours::grey};
    juce::Colour overColour{juce::Colours::black};
    juce::Colour dimColour{juce::Colours::grey.withAlpha (0.2f)};
    juce::Font* captionFont = nullptr; // owned by the look and feel
    bool doubleSpacingState = false;
    PatternCommandTypeContentBackgroundIsOverState isOverState = IsOverNone;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PatternCommandTabContentBackground)
};
