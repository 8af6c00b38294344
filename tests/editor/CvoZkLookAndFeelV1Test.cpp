#include "EditorTestSupport.h"

#include "editor/widgets/CvoZkColours.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"

using namespace EditorTestSupport;

namespace
{
const auto white = juce::Colours::white;
constexpr float startAngle = juce::MathConstants<float>::pi * 1.2f;
constexpr float endAngle = juce::MathConstants<float>::pi * 2.8f;

class LookAndFeelTest : public ::testing::Test
{
protected:
    CvoZkLookAndFeelV1 lookAndFeel;
};

// The knob drawn at 100 x 100 pixels (r = 50, centre (50, 50)).
juce::Image drawKnob (CvoZkLookAndFeelV1& lookAndFeel, bool enabled, float sliderPos)
{
    juce::Slider slider;
    slider.setEnabled (enabled);
    slider.setColour (juce::Slider::backgroundColourId, juce::Colours::grey);
    auto image = makeCanvas (100, 100, white);
    juce::Graphics g (image);
    lookAndFeel.drawRotarySlider (g, 0, 0, 100, 100, sliderPos, startAngle, endAngle, slider);
    return image;
}
} // namespace

TEST_F (LookAndFeelTest, ButtonOfOnePixelWidthOrHeightDrawsNothing)
{
    for (auto size : {juce::Point<int> (1, 20), juce::Point<int> (20, 1), juce::Point<int> (20, 10)})
    {
        juce::TextButton button;
        button.setSize (size.x, size.y);
        auto image = makeCanvas (20, 20, juce::Colours::transparentBlack);
        {
            juce::Graphics g (image);
            lookAndFeel.drawButtonBackground (g, button, juce::Colours::red, false, false);
        }
        const bool drewSomething = !inkBounds (image, juce::Colours::transparentBlack).isEmpty();
        EXPECT_EQ (drewSomething, size.x > 1 && size.y > 1) << size.toString();
    }
}

TEST_F (LookAndFeelTest, ButtonCornersStaySquareWhereConnected)
{
    lookAndFeel.setCornerSize (10.0f);
    juce::TextButton button;
    button.setSize (60, 40);
    button.setConnectedEdges (juce::Button::ConnectedOnLeft);

    auto image = makeCanvas (60, 40, juce::Colours::transparentBlack);
    {
        juce::Graphics g (image);
        lookAndFeel.drawButtonBackground (g, button, juce::Colours::red, false, false);
    }

    // Both left corners are square (filled right at the corner), both right
    // corners rounded (transparent there).
    EXPECT_GT (image.getPixelAt (2, 2).getAlpha(), 200);
    EXPECT_GT (image.getPixelAt (2, 37).getAlpha(), 200);
    EXPECT_EQ (image.getPixelAt (57, 2).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (57, 37).getAlpha(), 0);
}

TEST_F (LookAndFeelTest, DisabledKnobShowsNeitherShadowArcNorPointer)
{
    const auto enabled = drawKnob (lookAndFeel, true, 1.0f);
    const auto disabled = drawKnob (lookAndFeel, false, 1.0f);

    // Value arc at the top of the ring (0.9 r above the centre), full value.
    const auto arcEnabled = enabled.getPixelAt (50, 5);
    EXPECT_TRUE (coloursNear (arcEnabled, CvoZkColours::zkcomplementColourA, 10));
    EXPECT_LT (disabled.getPixelAt (50, 5).getBrightness(), 0.1f);

    // Shadow below the body, in the gap of the track at the bottom.
    EXPECT_LT (enabled.getPixelAt (56, 93).getBrightness(), 0.9f);
    EXPECT_TRUE (coloursNear (disabled.getPixelAt (56, 93), white));

    // The track (under the arc when enabled) and the body stay.
    EXPECT_LT (disabled.getPixelAt (5, 50).getBrightness(), 0.1f);
    for (const auto* image : {&enabled, &disabled})
        EXPECT_FALSE (coloursNear (image->getPixelAt (50, 60), white, 20));

    // Pointer: at value 0.5 it points straight up, from 0.15 r to 0.6 r.
    const auto pointerEnabled = drawKnob (lookAndFeel, true, 0.5f).getPixelAt (50, 30);
    const auto pointerDisabled = drawKnob (lookAndFeel, false, 0.5f).getPixelAt (50, 30);
    EXPECT_TRUE (coloursNear (pointerEnabled, white, 10));
    EXPECT_FALSE (coloursNear (pointerDisabled, white, 40));
}

TEST_F (LookAndFeelTest, KnobArcFollowsTheValue)
{
    // At value 0.5 the arc covers the left half of the ring only.
    const auto image = drawKnob (lookAndFeel, true, 0.5f);
    EXPECT_TRUE (coloursNear (image.getPixelAt (7, 30), CvoZkColours::zkcomplementColourA, 10));
    EXPECT_LT (image.getPixelAt (93, 30).getBrightness(), 0.1f);
}

TEST_F (LookAndFeelTest, ComboBoxTextColourFollowsEnabledStateAtEveryPaint)
{
    juce::ComboBox box;
    auto image = makeCanvas (100, 30, white);
    juce::Graphics g (image);

    box.setEnabled (false);
    lookAndFeel.drawComboBox (g, 100, 30, false, 70, 0, 30, 30, box);
    EXPECT_EQ (box.findColour (juce::ComboBox::textColourId), juce::Colours::black.withAlpha (0.2f));

    box.setEnabled (true);
    lookAndFeel.drawComboBox (g, 100, 30, false, 70, 0, 30, 30, box);
    EXPECT_EQ (box.findColour (juce::ComboBox::textColourId), juce::Colours::black);
}

TEST_F (LookAndFeelTest, MenuFontsNeverFallBelow27Pixels)
{
    // Headless the main display reads as 0 pixels high: the floor applies.
    juce::ComboBox box;
    EXPECT_FLOAT_EQ (lookAndFeel.getPopupMenuFont().getHeight(), 27.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getComboBoxFont (box).getHeight(), 27.0f);
}

TEST_F (LookAndFeelTest, LabelTextIsAsTallAsTheLabel)
{
    juce::Label label ({}, "H");
    label.setSize (400, 100);
    label.setColour (juce::Label::textColourId, juce::Colours::black);
    label.setLookAndFeel (&lookAndFeel);

    const auto reported = lookAndFeel.getLabelFont (label);
    EXPECT_FLOAT_EQ (reported.getHeight(), 90.0f);

    auto capHeightAt = [&reported] (float fontHeight)
    {
        juce::GlyphArrangement glyphs;
        glyphs.addLineOfText (reported.withHeight (fontHeight), "H", 0.0f, 0.0f);
        juce::Path outline;
        glyphs.createPath (outline);
        return outline.getBounds().getHeight();
    };

    const auto ink = inkBounds (render (label), white);
    EXPECT_NEAR ((float)ink.getHeight(), capHeightAt (100.0f), 2.0f);
    EXPECT_GT ((float)ink.getHeight(), capHeightAt (90.0f) + 4.0f);

    label.setLookAndFeel (nullptr);
}

TEST_F (LookAndFeelTest, CornerResizerColourDraggingWinsOverHover)
{
    lookAndFeel.setCurrentLightGrey (juce::Colours::lightgrey);

    auto arrowPixel = [this] (bool over, bool dragging)
    {
        auto image = makeCanvas (100, 100, white);
        juce::Graphics g (image);
        lookAndFeel.drawCornerResizer (g, 100, 100, over, dragging);
        return image.getPixelAt (72, 72);
    };

    EXPECT_TRUE (coloursNear (arrowPixel (false, false), juce::Colours::lightgrey.darker (0.4f)));
    EXPECT_TRUE (coloursNear (arrowPixel (true, false), CvoZkColours::zkmainColour));
    EXPECT_TRUE (coloursNear (arrowPixel (true, true), juce::Colours::black));
    EXPECT_TRUE (coloursNear (arrowPixel (false, true), juce::Colours::black));
}
