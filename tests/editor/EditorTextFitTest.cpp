// Every text the editor draws is shown whole at the editor heights 300, 540, 860
// and 2160, in every view: each label, button caption, combo box item, text
// editor line and painted caption that the shown component tree holds after
// layout (EditorTextInventory), with every text its control can show in turn.
// A text must keep all its characters and stay inside its box and its
// component; the few that are too wide even when squeezed are made smaller,
// but the embedded font is narrow enough that none has to go below 3/4 of the
// height its box gives.

#include <gtest/gtest.h>

#include "EditorTextInventory.h"

namespace
{
using EditorTextInventory::DrawnText;

/** The height the text's box gives it [pixels]: the font's height on one line,
    or, where one line would not fit and the text may break at a space, half the
    box on each of two lines (the framework's rule for button captions). */
float heightTheBoxGives (const CvoFittedText& text)
{
    const float nominal = text.font.getHeight();
    if (text.maximumLines < 2 || !text.text.trim().containsChar (' '))
        return nominal;

    auto oneLine = text;
    oneLine.maximumLines = 1;
    if (oneLine.getLayout().fontHeight >= nominal)
        return nominal;
    return juce::jmin (nominal, text.area.getHeight() / 2.0f);
}

juce::String withoutSpaces (const juce::String& s)
{
    return s.removeCharacters (" \t\r\n");
}

/** What is wrong with one drawn text (empty when nothing is). */
juce::String checkText (const DrawnText& drawn)
{
    const auto& text = drawn.text;
    constexpr float tolerance = 0.5f; // [pixels]

    if (text.area.getX() < drawn.bounds.getX() - tolerance ||
        text.area.getRight() > drawn.bounds.getRight() + tolerance)
        return "box " + text.area.toString() + " leaves its component " + drawn.bounds.toString();

    if (drawn.drawnAsIs)
    {
        const float width = text.font.getStringWidthFloat (text.text);
        return width <= text.area.getWidth() + tolerance
                   ? juce::String()
                   : "line " + juce::String (width) + " px wide in " + juce::String (text.area.getWidth());
    }

    auto glyphs = text.arrange();
    juce::String drawnCharacters;
    for (int i = 0; i < glyphs.getNumGlyphs(); ++i)
    {
        const auto& glyph = glyphs.getGlyph (i);
        drawnCharacters += juce::String::charToString (glyph.getCharacter());
        if (glyph.getLeft() < text.area.getX() - tolerance ||
            glyph.getRight() > text.area.getRight() + tolerance)
            return "glyph outside the box " + text.area.toString();
    }
    if (withoutSpaces (drawnCharacters) != withoutSpaces (text.text))
        return "drawn as \"" + drawnCharacters + "\"";

    const float height = text.getLayout().fontHeight;
    const float given = heightTheBoxGives (text);
    if (height < 0.75f * given)
        return "made too small to fit: " + juce::String (height, 2) + " px instead of " +
               juce::String (given, 2);

    return {};
}

/** A processor made as the VST 2.4 entry makes it, so that the info screen
    shows its format lines too. */
std::unique_ptr<ZkOstinelAudioProcessor> makeVstProcessor()
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST);
    auto processor = std::make_unique<ZkOstinelAudioProcessor>();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return processor;
}

class EditorTextFit : public ::testing::TestWithParam<int>
{
protected:
    std::unique_ptr<ZkOstinelAudioProcessor> owner = makeVstProcessor();
    ZkOstinelAudioProcessor& processor = *owner;
};

TEST_P (EditorTextFit, EveryTextIsShownWholeInEveryView)
{
    const int height = GetParam();

    EditorTextInventory::Variants variants;
    {
        EditorTextInventory::ShownEditor shown (processor, 540, EditorTextInventory::views().front());
        variants = EditorTextInventory::collectVariants (processor, shown.surface);
    }

    int checked = 0;
    for (const auto& view : EditorTextInventory::views())
    {
        EditorTextInventory::ShownEditor shown (processor, height, view);
        for (const auto& drawn : EditorTextInventory::collect (*shown.window, variants))
        {
            if (drawn.text.text.trim().isEmpty())
                continue;
            ++checked;
            const auto problem = checkText (drawn);
            EXPECT_TRUE (problem.isEmpty()) << view.name << ", " << drawn.where << ": \"" << drawn.text.text
                                            << "\" at " << drawn.text.font.getHeight() << " px: " << problem;
        }
    }

    // The walk reached the controls (a broken walk would check nothing).
    EXPECT_GT (checked, 1000);
}

INSTANTIATE_TEST_SUITE_P (EditorHeights, EditorTextFit, ::testing::Values (300, 540, 860, 2160));
} // namespace
