#pragma once

#include "CvoFittedText.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Resolution-independent placement: positions and sizes are fractions of the
    editor's width (x, w) or height (y, h), turned into pixels for the current
    editor height. The editor keeps a fixed aspect ratio, so the height alone fixes
    the layout.

    Components are registered once and never removed; they are not owned, and the
    layout manager must place none of them after they are deleted.

    Message thread only.
*/
class CvoLayoutManager
{
public:
    /** Anchoring bits. Both horizontal bits together centre horizontally, both
        vertical bits together centre vertically. */
    enum Align
    {
        AlignLeft = 1,
        AlignRight = 2,
        AlignTop = 4,
        AlignBottom = 8,
        AlignHorizontallyCentred = AlignLeft | AlignRight,
        AlignVerticallyCentred = AlignTop | AlignBottom,
        AlignTopLeft = AlignTop | AlignLeft,
        AlignTopRight = AlignTop | AlignRight
    };

    /** referenceHeight: the main display height [pixels]; heightRatio: the default
        editor height as a fraction of it; aspectRatio: editor width / height. */
    CvoLayoutManager (int referenceHeight, float heightRatio, float aspectRatio);
    ~CvoLayoutManager();

    /** Registers a component with its fractional bounds. x is a fraction of the
        editor width, y of the height; w and h likewise, unless
        sizeFromReferenceHeight is set: then both are fractions of
        currentHeight / heightRatio, so that the component keeps its proportions.
        With AlignRight alone x is the distance from the right edge to the
        component's left edge; with AlignBottom alone y likewise from the bottom.
        The component is not moved until the next height change. */
    void addComponent (juce::Component* component, float x, float y, float w, float h, Align align,
                       bool sizeFromReferenceHeight);

    /** Stores the new editor height [pixels] and places every registered component
        in registration order. A non-finite or negative height is ignored. */
    void setNewHeightAndUpdateAllComponentBounds (float newHeight);

    /** Places registered component `index`; an index out of range does nothing. */
    void setNewBoundsForComponent (int index);

    /** Draws text as tall as its fractional box in the context's current typeface,
        shown whole (getText). The context's font takes the box's height. */
    void drawText (juce::Graphics& g, const juce::String& text, float x, float y, float w, float h,
                   juce::Justification justification, bool sizeFromReferenceHeight,
                   juce::Colour colour) const;

    /** Text as tall as its fractional box in the given typeface, one line, squeezed
        down to 0.7 of its width and then made smaller where it is too wide,
        never cut. */
    CvoFittedText getText (const juce::Font& typeface, const juce::String& text, float x, float y, float w,
                           float h, juce::Justification justification, bool sizeFromReferenceHeight,
                           juce::Colour colour) const;

    /** The translucent rounded panel behind a group of controls. */
    void drawSectionBackground (juce::Graphics& g, float x, float y, float w, float h,
                                bool sizeFromReferenceHeight) const;

private:
    /** The unit of sizes that follow the size rule [pixels]: referenceHeight x
        scale, which is currentHeight / heightRatio. */
    float getSizeRuleUnit() const;

    /** A fractional rectangle in pixels, unrounded, without anchoring. */
    juce::Rectangle<float> toPixels (float x, float y, float w, float h, bool sizeFromReferenceHeight) const;

    float currentHeight;
    float referenceHeight;
    float heightRatio;
    float scale = 1.0f;
    float aspectRatio;
    float cornerRatio = 0.01f;
    juce::Colour sectionFillColour = juce::Colours::black.withAlpha (0.07f);
    juce::Colour sectionOutlineColour = juce::Colours::black.withAlpha (0.3f);

    // Parallel arrays: entry i of each describes registered component i.
    juce::Array<juce::Component*> components;
    juce::Array<juce::Rectangle<float>> relativeBounds;
    juce::Array<Align> alignments;
    juce::Array<bool> sizeFromReferenceHeight;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoLayoutManager)
};
