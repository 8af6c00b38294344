#include <gtest/gtest.h>

#include "editor/EditorTestImages.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"
#include "editor/widgets/PatternCommandTabContentBackground.h"

using EditorTestImages::isNear;

namespace
{
// A 400 x 100 panel on white. Connector strokes are 10 pixels thick: the upper
// line at y 26, the lower at y 74, both leaving x 100 with a rounded corner and
// broken by a gap around x 252 of 13 pixels either side (22.75 when doubled).
const juce::Colour idle = juce::Colours::grey;
const juce::Colour over = juce::Colours::black;
const juce::Colour dimOnWhite{(juce::uint8)230, (juce::uint8)230, (juce::uint8)230};

const juce::Point<int> upperLeft{180, 26}, upperRight{330, 26}, lowerLeft{180, 74}, lowerRight{330, 74};

struct Background : PatternCommandTabContentBackground
{
    Background() { setSize (400, 100); }
};

juce::Image render (juce::Component& component)
{
    return EditorTestImages::render (component, juce::Colours::white);
}

bool sameImages (const juce::Image& a, const juce::Image& b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;
    return true;
}

int captionPixels (const juce::Image& image)
{
    return EditorTestImages::countNear (image, dimOnWhite, 4);
}
} // namespace

TEST (PatternCommandTabContentBackground, ColoursTheConnectorPartsByTheHoveredRowAndSpacing)
{
    Background background;
    background.setEnabled (false);

    struct Case
    {
        PatternCommandTabContentBackground::PatternCommandTypeContentBackgroundIsOverState state;
        juce::Colour upperLeft, upperRight, lowerLeft, lowerRight;
    };
    const Case cases[] = {
        {PatternCommandTabContentBackground::IsOverNone, idle, idle, idle, idle},
        {PatternCommandTabContentBackground::IsOverVolume, dimOnWhite, over, dimOnWhite, dimOnWhite},
        {PatternCommandTabContentBackground::IsOverAll, over, over, over, over},
        {PatternCommandTabContentBackground::IsOverLength, dimOnWhite, dimOnWhite, dimOnWhite, over},
    };

    for (const auto& c : cases)
    {
        background.setIsOverState (c.state);
        const auto image = render (background);
        EXPECT_TRUE (isNear (image.getPixelAt (upperLeft.x, upperLeft.y), c.upperLeft)) << c.state;
        EXPECT_TRUE (isNear (image.getPixelAt (upperRight.x, upperRight.y), c.upperRight)) << c.state;
        EXPECT_TRUE (isNear (image.getPixelAt (lowerLeft.x, lowerLeft.y), c.lowerLeft)) << c.state;
        EXPECT_TRUE (isNear (image.getPixelAt (lowerRight.x, lowerRight.y), c.lowerRight)) << c.state;
    }

    // The left ends turn down and up at x 100; the gap and the middle stay clear.
    background.setIsOverState (PatternCommandTabContentBackground::IsOverNone);
    auto image = render (background);
    EXPECT_TRUE (isNear (image.getPixelAt (99, 36), idle));
    EXPECT_TRUE (isNear (image.getPixelAt (99, 64), idle));
    EXPECT_TRUE (isNear (image.getPixelAt (99, 50), juce::Colours::white));
    EXPECT_TRUE (isNear (image.getPixelAt (252, 26), juce::Colours::white));
    EXPECT_TRUE (isNear (image.getPixelAt (235, 26), idle)); // single gap: 239..265
    EXPECT_TRUE (isNear (image.getPixelAt (270, 74), idle));

    background.setDoubleSpacingState (true); // 229.25..274.75
    image = render (background);
    EXPECT_TRUE (isNear (image.getPixelAt (235, 26), juce::Colours::white));
    EXPECT_TRUE (isNear (image.getPixelAt (270, 74), juce::Colours::white));
    EXPECT_TRUE (isNear (image.getPixelAt (227, 26), idle));
}

TEST (PatternCommandTabContentBackground, EnabledShowsTheCaptionWhateverTheHoverState)
{
    Background background;
    const auto plain = render (background);
    EXPECT_GT (captionPixels (plain), 100);
    EXPECT_TRUE (isNear (plain.getPixelAt (upperRight.x, upperRight.y), juce::Colours::white));

    background.setIsOverState (PatternCommandTabContentBackground::IsOverAll);
    background.setDoubleSpacingState (true);
    EXPECT_TRUE (sameImages (render (background), plain));
}

TEST (PatternCommandTabContentBackground, TakesTheEditorFontOnceAndKeepsIt)
{
    CvoZkLookAndFeelV1 lookAndFeel;
    Background background;
    const auto withDefaultFont = render (background);

    background.setLookAndFeel (&lookAndFeel);
    const auto withEditorFont = render (background);
    EXPECT_GT (captionPixels (withEditorFont), 100);
    EXPECT_FALSE (sameImages (withEditorFont, withDefaultFont));

    // Taken once: later paints keep that font even without the look and feel.
    background.setLookAndFeel (nullptr);
    EXPECT_TRUE (sameImages (render (background), withEditorFont));
}
