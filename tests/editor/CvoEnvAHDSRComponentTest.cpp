#include <gtest/gtest.h>

#include "editor/EditorTestImages.h"
#include "editor/widgets/CvoEnvAHDSRComponent.h"
#include "editor/widgets/CvoZkColours.h"

using EditorTestImages::isNear;
using EditorTestImages::render;

namespace
{
// A 450 x 200 view: top 20, sustain 1 at the top, bottom 180, x(t) = 22.5 +
// 202.5 t. The inner panel spans 10..440 x 10..190.
const juce::Colour innerPanel{(juce::uint8)26, (juce::uint8)26, (juce::uint8)26};
const juce::Colour mark = juce::Colours::grey.brighter (0.5f);

bool isShapeGrey (juce::Colour c) // the grey gradient of the shape, untinted
{
    return c.getRed() >= 90 && c.getRed() <= 155 && std::abs (c.getRed() - c.getBlue()) <= 2;
}

bool isAccent (juce::Colour c)
{
    return c.getBlue() > c.getRed() + 60;
}

struct EnvelopeView : CvoEnvAHDSRComponent
{
    EnvelopeView() { setSize (450, 200); }
};
} // namespace

TEST (CvoEnvAHDSRComponent, DrawsTheSquaredTimesWithMarksAndClipsAtThePanelMargin)
{
    EnvelopeView view;
    view.setAttack (0.5f); // squared: t1 = 0.5, the peak at x 123.75; t3 = 0.927, t4 = 1
    auto image = render (view);

    // The attack edge at y 100 lies at x 73 (unsquared it would be at 124).
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (90, 100)));
    EXPECT_TRUE (isNear (image.getPixelAt (60, 60), innerPanel));
    // Default sustain 0.5: the plateau at y 100 from x 210.2 to 225.
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (218, 110)));
    EXPECT_TRUE (isNear (image.getPixelAt (218, 90), innerPanel));
    // The attack mark, dashed from the bottom: dash 180..160, gap, dash 150..130.
    EXPECT_TRUE (isNear (image.getPixelAt (123, 170), mark, 12));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (123, 155)));
    EXPECT_TRUE (isNear (image.getPixelAt (123, 140), mark, 12));

    // Times of 1: the hold plateau fills the view up to the right-hand margin
    // (x 440..450), which shows only the black outer panel.
    view.setHold (1.0f);
    view.setDecay (1.0f);
    image = render (view);
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (430, 100)));
    EXPECT_TRUE (isNear (image.getPixelAt (445, 100), juce::Colours::black));
}

TEST (CvoEnvAHDSRComponent, ZeroTimesKeepTheMinimumLengthsAndDropTheirMarks)
{
    EnvelopeView view;
    view.setAttack (0.0f);
    view.setHold (0.0f);
    view.setDecay (0.0f);
    view.setSustain (1.0f);
    view.setRelease (0.0f); // t5 = 1.04: x 233.1
    auto image = render (view);

    // A flat top from the left edge to x(1.0) = 225; the sustain-end mark there
    // reaches up to the top line.
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (40, 30)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (200, 30)));
    EXPECT_TRUE (isNear (image.getPixelAt (240, 100), innerPanel));
    EXPECT_TRUE (isNear (image.getPixelAt (224, 170), mark, 12));
    EXPECT_TRUE (isNear (image.getPixelAt (224, 35), mark, 12));

    // Hold 0 after an attack of 0.5: t2 = 0.51 (x 125.8) has no mark; a hold of
    // 0.1 (t2 = 0.53, x 129.8) has one.
    view.setAttack (0.5f);
    view.setSustain (0.5f);
    EXPECT_TRUE (isShapeGrey (render (view).getPixelAt (126, 172)));
    view.setHold (0.1f);
    EXPECT_TRUE (isNear (render (view).getPixelAt (129, 172), mark, 12));
}

TEST (CvoEnvAHDSRComponent, HighlightsTheDraggedSegment)
{
    EnvelopeView view; // defaults: hold x 63..105, sustain x 149.5..225 below y 100
    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingSustain);
    auto image = render (view);
    EXPECT_TRUE (isAccent (image.getPixelAt (190, 120)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (85, 120)));

    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingHold);
    image = render (view);
    EXPECT_TRUE (isAccent (image.getPixelAt (85, 120)));
    EXPECT_TRUE (isShapeGrey (image.getPixelAt (190, 120)));

    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingNone);
    EXPECT_TRUE (isShapeGrey (render (view).getPixelAt (85, 120)));

    // Sustain 0: sustain and release segments have no height, nothing lights up.
    view.setSustain (0.0f);
    for (auto state : {CvoEnvAHDSRComponent::ChangingSustain, CvoEnvAHDSRComponent::ChangingRelease})
    {
        view.setCurrentlyChangingState (state);
        EXPECT_EQ (EditorTestImages::countNear (render (view), CvoZkColours::zkcomplementColourA, 40), 0);
    }

    // Sustain 1: the sustain highlight reaches the top line.
    view.setSustain (1.0f);
    view.setCurrentlyChangingState (CvoEnvAHDSRComponent::ChangingSustain);
    EXPECT_TRUE (isAccent (render (view).getPixelAt (190, 25)));
}

TEST (CvoEnvAHDSRComponent, ShowsOnlyACaptionWhileBypassedOrMuted)
{
    EnvelopeView view;
    juce::Font font (40.0f);
    const auto pixelsOf = [&view] (juce::Colour c)
    { return EditorTestImages::countNear (render (view), c, 30); };

    // Without a font: the panels alone.
    view.setBypassState (true);
    EXPECT_TRUE (isNear (render (view).getPixelAt (190, 120), innerPanel));
    EXPECT_EQ (pixelsOf (CvoZkColours::zkmainColour), 0);

    view.setFont (&font);
    EXPECT_GT (pixelsOf (CvoZkColours::zkmainColour), 50);
    EXPECT_EQ (pixelsOf (CvoZkColours::zkcomplementColourA), 0);
    EXPECT_TRUE (isNear (render (view).getPixelAt (20, 170), innerPanel)); // no shape

    // Mute all wins over bypass.
    view.setMuteAllState (true);
    EXPECT_GT (pixelsOf (CvoZkColours::zkcomplementColourA), 50);
    EXPECT_EQ (pixelsOf (CvoZkColours::zkmainColour), 0);
}
