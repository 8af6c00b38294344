// The fitted text: it keeps every character inside its box, squeezing first
// (down to the minimum scale) and making the text smaller only after that;
// captions that may break go on two lines where one would have to shrink.

#include <gtest/gtest.h>

#include "editor/widgets/CvoFittedText.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"

namespace
{
CvoFittedText textOf (const juce::String& s, float width, float fontHeight = 20.0f, int lines = 1,
                      float minimumScale = 0.7f)
{
    CvoFittedText text;
    text.text = s;
    text.font = juce::Font (CvoZkLookAndFeelV1::createEmbeddedTypeface()).withHeight (fontHeight);
    text.area = {10.0f, 5.0f, width, 2.0f * fontHeight};
    text.maximumLines = lines;
    text.minimumHorizontalScale = minimumScale;
    return text;
}

float naturalWidth (const CvoFittedText& text)
{
    return text.font.getStringWidthFloat (text.text);
}

/** The drawn glyphs: all characters of the text, none outside the box. */
::testing::AssertionResult shownWhole (const CvoFittedText& text)
{
    auto glyphs = text.arrange();
    juce::String drawn;
    for (int i = 0; i < glyphs.getNumGlyphs(); ++i)
    {
        auto& glyph = glyphs.getGlyph (i);
        drawn += juce::String::charToString (glyph.getCharacter());
        if (glyph.getLeft() < text.area.getX() - 0.01f || glyph.getRight() > text.area.getRight() + 0.01f)
            return ::testing::AssertionFailure()
                   << "glyph '" << drawn.getLastCharacters (1) << "' leaves the box";
    }
    if (drawn.removeCharacters (" ") != text.text.removeCharacters (" "))
        return ::testing::AssertionFailure() << "drawn as \"" << drawn << "\"";
    return ::testing::AssertionSuccess();
}

struct FitCase
{
    const char* name;
    float widthShare;          // box width / natural width of the text
    float minimumScale;        // [0..1]
    float expectedHeightShare; // drawn font height / nominal
};

class FittedTextWidths : public ::testing::TestWithParam<FitCase>
{
};

TEST_P (FittedTextWidths, SqueezesThenShrinksAndKeepsEveryCharacter)
{
    const auto& c = GetParam();
    auto text = textOf ("ShortStep", 1.0f, 20.0f, 1, c.minimumScale);
    text.area.setWidth (c.widthShare * naturalWidth (text));

    EXPECT_NEAR (text.getLayout().fontHeight / 20.0f, c.expectedHeightShare, 0.005f);
    EXPECT_TRUE (shownWhole (text));
}

INSTANTIATE_TEST_SUITE_P (
    Boxes, FittedTextWidths,
    ::testing::Values (FitCase{"roomy", 1.5f, 0.7f, 1.0f},             // drawn as it is
                       FitCase{"squeezed", 0.8f, 0.7f, 1.0f},          // within the squeeze
                       FitCase{"squeezeLimit", 0.7f, 0.7f, 1.0f},      // exactly the minimum scale
                       FitCase{"smaller", 0.35f, 0.7f, 0.5f},          // squeezed to 0.7, then half as tall
                       FitCase{"noSqueeze", 0.9f, 1.0f, 0.9f},         // minimum scale 1: smaller at once
                       FitCase{"frameworkDefault", 0.7f, 0.0f, 1.0f}), // 0: the framework's 0.7
    [] (const auto& testInfo) { return std::string (testInfo.param.name); });

TEST (FittedText, CentredTextSitsInTheMiddleOfItsBox)
{
    auto text = textOf ("RUN", 200.0f);
    const auto bounds = text.arrange().getBoundingBox (0, -1, true);
    EXPECT_NEAR (bounds.getCentreX(), text.area.getCentreX(), 0.5f);
    EXPECT_NEAR (bounds.getCentreY(), text.area.getCentreY(), 0.5f);
}

TEST (FittedText, BreaksAtASpaceWhenOneLineWouldShrink)
{
    // Too wide for one line even squeezed: two lines, half the box high each.
    auto text = textOf ("SET CURRENT AS DEFAULT", 1.0f, 20.0f, 2);
    text.area.setWidth (0.5f * naturalWidth (text));

    const auto layout = text.getLayout();
    ASSERT_EQ (layout.lines.size(), 2);
    EXPECT_FLOAT_EQ (layout.fontHeight, 20.0f); // the box is 40 high
    EXPECT_TRUE (shownWhole (text));

    // One line where it fits, even with more lines allowed.
    text.area.setWidth (naturalWidth (text));
    EXPECT_EQ (text.getLayout().lines.size(), 1);

    // A word without a space stays on one line.
    auto word = textOf ("PINGPONG", 1.0f, 20.0f, 2);
    word.area.setWidth (0.5f * naturalWidth (word));
    EXPECT_EQ (word.getLayout().lines.size(), 1);
    EXPECT_TRUE (shownWhole (word));
}

TEST (FittedText, NothingForAnEmptyTextOrBox)
{
    EXPECT_EQ (textOf ("   ", 100.0f).arrange().getNumGlyphs(), 0);
    EXPECT_EQ (textOf ("MIX", 0.0f).arrange().getNumGlyphs(), 0);
}
} // namespace
