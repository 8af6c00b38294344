#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    One text drawn into a box and always shown whole: when it is too wide it is
    first squeezed horizontally, down to a minimum scale, and when that is not
    enough it is made smaller; it is never cut and never ellipsised. With more
    than one line allowed it may be broken at a space, when two lines give a
    larger text than one.

    Painting code describes each text it draws with one of these and draws it
    through draw(), so that the same description tells anyone else (a test)
    exactly where and how large the text lands.

    Message thread only (fonts and glyph layout).
*/
struct CvoFittedText
{
    juce::String text;
    juce::Font font;             // typeface and nominal height [pixels]
    juce::Rectangle<float> area; // the box [pixels]
    juce::Justification justification = juce::Justification::centred;
    int maximumLines = 1;
    float minimumHorizontalScale = 0.7f; // [0..1]; 0 takes the framework's default
    juce::Colour colour = juce::Colours::black;

    /** The text's lines and their font height [pixels] as drawn: the nominal
        height, or less where the text had to be made smaller to fit. */
    struct Layout
    {
        juce::StringArray lines;
        float fontHeight = 0.0f;
    };
    Layout getLayout() const;

    /** The glyphs as draw() places them: every character of the text, each
        line no wider than the box. Empty for an empty text or box. */
    juce::GlyphArrangement arrange() const;

    /** Sets the colour and draws the glyphs. */
    void draw (juce::Graphics& g) const;
};

/**
    A component that paints texts of its own (not through a child component)
    lists them here, exactly as its paint() draws them in its current state and
    size, in its own coordinates.
*/
class CvoPaintedTextSource
{
public:
    virtual ~CvoPaintedTextSource() = default;
    virtual juce::Array<CvoFittedText> getPaintedTexts() const = 0;
};
