#include <gtest/gtest.h>

#include "editor/EditorTestImages.h"
#include "editor/widgets/CvoEnvAHDSRComponent.h"
#include "editor/widgets/CvoZkColours.h"

using EditorTestImages::isNear;
using EditorTestImages::render;

namespace
{
// A 450 x 200 view: top 20, bottom 180, left 22.5, one time unit 202.5 pixels,
// so x(t) = 22.5 + 202.5 t. The inner panel spans 10..440 x 10..190.
constexpr int viewWidth = 450;
constexpr int viewHeight = 200;

const juce::Colour innerPanel{(juce::uint8)26, (juce::uint8)26, (juce::uint8)26};

bool isShapeGrey (juce::Colour c)
{
    // Between grey darker by 0.3 and grey brighter by 0.2, no tint.
    return c.getRed() >= 90 && c.getRed() <= 155 && std::abs (c.getRed() - c.getBlue()) <= 2;
}

bool isAccent (juce::Colour c)
{
    return c.getBlue() > c.getRed() + 60 && c.getGreen() > c.getRed() + 40;
}

struct EnvelopeView : CvoEnvAHDSRComponent
{
    EnvelopeView() { setSize (viewWidth, viewHeight); }
};
} // namespace

TEST (CvoEnvAHDSRComponent, DrawsTheSquaredTimesWithASustainPlateau)
{
    EnvelopeView view;
    view.setAttack (0.5f); // squared: t1 = 0.5, the attack peak at x 123.75
    const auto image = render (view);

    // The attack edge runs from (22.5, 180) to (123.75, 20): at y 100 it is at
    // x 73; unsquared (t1 = 1) it would be at x 124.
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (90, 100)));
    EXPECT_TRUE (isNear (image.getPixelAt (60, 60), innerPanel));

    // Default sustain 0.5: the plateau at y 100 from x(0.927) = 210.2 to x(1.0) = 225.
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (218, 110)));
    EXPECT_TRUE (isNear (image.getPixelAt (218, 90), innerPanel));

    // The attack mark at x 123.75, dashed from the bottom: dash 180..160, gap
    // 160..150, dash 150..130.
    const auto mark = juce::Colours::grey.brighter (0.5f);
    EXPECT_TRUE (isNear (image.getPixelAt (123, 170), mark, 12));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (123, 155)));
    EXPECT_TRUE (isNear (image.getPixelAt (123, 140), mark, 12));

    // Outside the panels nothing but the black panel's corners.
    EXPECT_TRUE (isNear (image.getPixelAt (5, 100), juce::Colours::black));
}

TEST (CvoEnvAHDSRComponent, ZeroTimesAndFullSustainLeaveOnlyTheMinimumLengthsAndTheSustainEndMark)
{
    EnvelopeView view;
    view.setAttack (0.0f);
    view.setHold (0.0f);
    view.setDecay (0.0f);
    view.setSustain (1.0f);
    view.setRelease (0.0f); // t5 = 1.04: x 233.1
    const auto image = render (view);

    // A flat top from the left edge to x(1.0) = 225.
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (40, 30)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (200, 30)));
    EXPECT_TRUE (isNear (image.getPixelAt (240, 100), innerPanel));

    // The sustain-end mark at x 225 runs up to the top line.
    const auto mark = juce::Colours::grey.brighter (0.5f);
    EXPECT_TRUE (isNear (image.getPixelAt (224, 170), mark, 12));
    EXPECT_TRUE (isNear (image.getPixelAt (224, 35), mark, 12));
}

TEST (CvoEnvAHDSRComponent, OmitsTheHoldMarkForAZeroHold)
{
    EnvelopeView view;
    view.setAttack (0.5f); // t1 = 0.5, mark at 123.75
    view.setHold (0.0f);   // t2 = 0.51, x 125.8: no mark
    const auto image = render (view);
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (126, 172)));

    view.setHold (0.1f); // hold term 0.0299: t2 = 0.5299, x 129.8: a mark
    const auto withHold = render (view);
    EXPECT_TRUE (isNear (withHold.getPixelAt (129, 172), juce::Colours::grey.brighter (0.5f), 12));
}

TEST (CvoEnvAHDSRComponent, LongTimesRunOffTheRightEdgeButNotIntoThePanelMargin)
{
    EnvelopeView view;
    view.setAttack (1.0f);
    view.setHold (1.0f);
    view.setDecay (1.0f); // t3 = t4 = 6 units: everything past x 450 lies outside
    view.setRelease (1.0f);
    const auto image = render (view);

    // The hold plateau at the top fills the view up to the margin (x 440..450),
    // which shows the black outer panel only.
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (430, 100)));
    EXPECT_TRUE (isNear (image.getPixelAt (445, 100), juce::Colours::black));
}

TEST (CvoEnvAHDSRComponent, HighlightsTheDraggedSegment)
{
    EnvelopeView view;
    // Defaults: the sustain segment spans x 149.5..225 below y 100.
    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingSustain);
    auto image = render (view);
    EXPECT_TRUE (isAccent (image.getPixelAt (190, 120)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (100, 120))); // the hold segment is not lit

    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingHold);
    image = render (view);
    EXPECT_TRUE (isAccent (image.getPixelAt (85, 120)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (190, 120)));

    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingNone);
    image = render (view);
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (85, 120)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (190, 120)));

    // With sustain 0 the sustain segment has no height: nothing lights up.
    view.setSustain (0.0f);
    for (auto state : {CvoEnvAHDSRComponent::ChangingSustain, CvoEnvAHDSRComponent::ChangingRelease})
    {
        view.setCurrentlyChangingState (state);
        image = render (view);
        EXPECT_EQ (EditorTestImages::countNear (image, CvoZkColours::zkcomplementColourA, 40), 0);
    }

    // With sustain 1 it reaches the top line.
    view.setSustain (1.0f);
    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingSustain);
    image = render (view);
    EXPECT_TRUE (isAccent (image.getPixelAt (190, 25)));
}

TEST (CvoEnvAHDSRComponent, ShowsOnlyACaptionWhileBypassedOrMuted)
{
    EnvelopeView view;
    juce::Font font (40.0f);

    // Without a font: the panels alone.
    view.setBypassState (true);
    auto image = render (view);
    EXPECT_TRUE (isNear (image.getPixelAt (190, 120), innerPanel));
    EXPECT_EQ (EditorTestImages::countNear (image, CvoZkColours::zkmainColour, 30), 0);

    view.setFont (&font);
    EXPECT_EQ (view.getFont(), &font);
    image = render (view);
    EXPECT_GT (EditorTestImages::countNear (image, CvoZkColours::zkmainColour, 30), 50);
    EXPECT_EQ (EditorTestImages::countNear (image, CvoZkColours::zkcomplementColourA, 30), 0);
    EXPECT_TRUE (isNear (image.getPixelAt (20, 170), innerPanel)); // no shape

    // Mute all wins over bypass.
    view.setMuteAllState (true);
    image = render (view);
    EXPECT_GT (EditorTestImages::countNear (image, CvoZkColours::zkcomplementColourA, 30), 50);
    EXPECT_EQ (EditorTestImages::countNear (image, CvoZkColours::zkmainColour, 30), 0);

    view.setBypassState (false);
    view.setMuteAllState (false);
    image = render (view);
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (190, 120)));
}
