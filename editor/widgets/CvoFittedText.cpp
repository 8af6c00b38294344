#include "CvoFittedText.h"

namespace
{
/** Font height at which the widest of the lines fits the width with the
    squeeze allowed [pixels]: the given height when it fits already. Text width
    grows in proportion to the font height. */
float heightThatFits (const juce::StringArray& lines, const juce::Font& font, float height, float width,
                      float minimumScale)
{
    const auto sized = font.withHeight (height);
    float widest = 0.0f;
    for (const auto& line : lines)
        widest = juce::jmax (widest, sized.getStringWidthFloat (line));

    const float squeezed = widest * minimumScale;
    return squeezed <= width ? height : height * width / squeezed;
}
} // namespace

CvoFittedText::Layout CvoFittedText::getLayout() const
{
    const auto trimmed = text.trim();
    const float nominal = font.getHeight();
    if (trimmed.isEmpty() || nominal <= 0.0f || area.getWidth() <= 0.0f)
        return {};

    const float minimumScale = minimumHorizontalScale > 0.0f
                                   ? juce::jmin (1.0f, minimumHorizontalScale)
                                   : juce::Font::getDefaultMinimumHorizontalScaleFactor();

    Layout best{juce::StringArray (trimmed),
                heightThatFits (juce::StringArray (trimmed), font, nominal, area.getWidth(), minimumScale)};

    // A text too wide for one line goes on two, half the box high each (as the
    // framework breaks button captions), unless one line, made smaller, would
    // still be larger than two.
    const float twoLineHeight = juce::jmin (nominal, area.getHeight() / 2.0f);
    if (maximumLines >= 2 && best.fontHeight < nominal)
    {
        Layout twoLines;
        for (int i = trimmed.indexOfChar (' '); i > 0; i = trimmed.indexOfChar (i + 1, ' '))
        {
            const juce::StringArray lines{trimmed.substring (0, i).trimEnd(),
                                          trimmed.substring (i + 1).trimStart()};
            if (lines[0].isEmpty() || lines[1].isEmpty())
                continue;

            const float height = heightThatFits (lines, font, twoLineHeight, area.getWidth(), minimumScale);
            if (height > twoLines.fontHeight)
                twoLines = {lines, height};
        }

        if (twoLines.fontHeight >= twoLineHeight || twoLines.fontHeight > best.fontHeight)
            best = twoLines;
    }

    return best;
}

juce::GlyphArrangement CvoFittedText::arrange() const
{
    juce::GlyphArrangement glyphs;
    const auto layout = getLayout();
    if (layout.lines.isEmpty() || layout.fontHeight <= 0.0f)
        return glyphs;

    const auto sized = font.withHeight (layout.fontHeight);
    const float lineHeight = layout.fontHeight;
    const float blockHeight = lineHeight * (float)layout.lines.size();

    float top = area.getY();
    if (justification.testFlags (juce::Justification::bottom))
        top += area.getHeight() - blockHeight;
    else if (!justification.testFlags (juce::Justification::top))
        top += (area.getHeight() - blockHeight) / 2.0f;

    const auto lineJustification =
        juce::Justification (justification.getOnlyHorizontalFlags() | juce::Justification::top);

    for (int i = 0; i < layout.lines.size(); ++i)
    {
        const int start = glyphs.getNumGlyphs();
        glyphs.addLineOfText (sized, layout.lines[i], 0.0f, 0.0f);
        const int count = glyphs.getNumGlyphs() - start;
        if (count == 0)
            continue;

        // The remaining squeeze (the font height already allows for the minimum
        // scale; this also takes up rounding).
        const float lineWidth = glyphs.getBoundingBox (start, count, true).getWidth();
        if (lineWidth > area.getWidth())
            glyphs.stretchRangeOfGlyphs (start, count, area.getWidth() / lineWidth);

        glyphs.justifyGlyphs (start, count, area.getX(), top + (float)i * lineHeight, area.getWidth(),
                              lineHeight, lineJustification);
    }

    return glyphs;
}

void CvoFittedText::draw (juce::Graphics& g) const
{
    g.setColour (colour);
    arrange().draw (g);
}
