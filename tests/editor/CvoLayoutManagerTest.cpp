#include "EditorTestSupport.h"

#include "editor/widgets/CvoLayoutManager.h"

#include <limits>

using namespace EditorTestSupport;

namespace
{
using Align = CvoLayoutManager::Align;

// The editor's own configuration: a 1080-pixel display, half of it by default.
CvoLayoutManager makeEditorLayout()
{
    return CvoLayoutManager (1080, 0.5f, 1.778f);
}
} // namespace

TEST (CvoLayoutManager, PlacesFractionsOfTheEditorWidthAndHeight)
{
    auto layout = makeEditorLayout();
    juce::Component plain, sizeRule, fromRight, centred, fromBottom;
    layout.addComponent (&plain, 0.5f, 0.1f, 0.2f, 0.1f, CvoLayoutManager::AlignTopLeft, false);
    layout.addComponent (&sizeRule, 0.15f, 0.097f, 0.045f, 0.02275f, CvoLayoutManager::AlignTopLeft, true);
    layout.addComponent (&fromRight, 0.111f, 0.855f, 0.09f, 0.03f, CvoLayoutManager::AlignTopRight, true);
    layout.addComponent (&centred, 0.9f, 0.2f, 0.5f, 0.1f,
                         Align (CvoLayoutManager::AlignHorizontallyCentred | CvoLayoutManager::AlignTop),
                         false);
    layout.addComponent (&fromBottom, 0.1f, 0.25f, 0.1f, 0.1f,
                         Align (CvoLayoutManager::AlignLeft | CvoLayoutManager::AlignBottom), false);

    layout.setNewHeightAndUpdateAllComponentBounds (540.0f); // 960.12 x 540

    EXPECT_EQ (plain.getBounds(), juce::Rectangle<int> (480, 54, 192, 54));
    // Size rule: 0.045 x 1080 = 48.6 and 0.02275 x 1080 = 24.57, whatever the width.
    EXPECT_EQ (sizeRule.getBounds(), juce::Rectangle<int> (144, 52, 49, 25));
    // The given x is the distance from the right edge to the left edge.
    EXPECT_EQ (fromRight.getX(), juce::roundToInt (0.889f * 1.778f * 540.0f));
    EXPECT_EQ (centred.getX(), juce::roundToInt (0.25f * 1.778f * 540.0f));
    EXPECT_EQ (fromBottom.getY(), juce::roundToInt (0.75f * 540.0f));

    layout.setNewHeightAndUpdateAllComponentBounds (270.0f); // half the default size
    EXPECT_EQ (sizeRule.getWidth(), 24);                     // 0.045 x 540 = 24.3
}

TEST (CvoLayoutManager, RegisteringDoesNotMoveAComponent)
{
    auto layout = makeEditorLayout();
    juce::Component component;
    component.setBounds (1, 2, 3, 4);
    layout.addComponent (&component, 0.5f, 0.5f, 0.1f, 0.1f, CvoLayoutManager::AlignTopLeft, false);
    EXPECT_EQ (component.getBounds(), juce::Rectangle<int> (1, 2, 3, 4));

    layout.setNewHeightAndUpdateAllComponentBounds (100.0f);
    EXPECT_NE (component.getBounds(), juce::Rectangle<int> (1, 2, 3, 4));
}

TEST (CvoLayoutManager, HalfPixelsRoundToTheEvenNeighbour)
{
    CvoLayoutManager layout (20, 0.5f, 1.0f);
    juce::Component component;
    layout.addComponent (&component, 0.25f, 0.25f, 0.25f, 0.25f, CvoLayoutManager::AlignTopLeft, false);

    layout.setNewHeightAndUpdateAllComponentBounds (10.0f); // 2.5 everywhere
    EXPECT_EQ (component.getBounds(), juce::Rectangle<int> (2, 2, 2, 2));

    layout.setNewHeightAndUpdateAllComponentBounds (14.0f); // 3.5 everywhere
    EXPECT_EQ (component.getBounds(), juce::Rectangle<int> (4, 4, 4, 4));
}

TEST (CvoLayoutManager, UnknownDisplayHeightKeepsSizeRuleProportional)
{
    // Without a display the reference height is 0; the size rule must still give
    // the sizes of a 1080-pixel display at a 540-pixel editor.
    CvoLayoutManager layout (0, 0.5f, 1.778f);
    juce::Component component;
    layout.addComponent (&component, 0.0f, 0.0f, 0.045f, 0.02275f, CvoLayoutManager::AlignTopLeft, true);

    layout.setNewHeightAndUpdateAllComponentBounds (540.0f);
    EXPECT_EQ (component.getWidth(), 49);
    EXPECT_EQ (component.getHeight(), 25);
}

TEST (CvoLayoutManager, InvalidHeightsAndIndicesChangeNothing)
{
    auto layout = makeEditorLayout();
    juce::Component component;
    layout.addComponent (&component, 0.5f, 0.1f, 0.2f, 0.1f, CvoLayoutManager::AlignTopLeft, false);
    layout.addComponent (nullptr, 0.5f, 0.1f, 0.2f, 0.1f, CvoLayoutManager::AlignTopLeft, false);
    layout.setNewHeightAndUpdateAllComponentBounds (540.0f);
    const auto placed = component.getBounds();

    layout.setNewHeightAndUpdateAllComponentBounds (std::numeric_limits<float>::quiet_NaN());
    layout.setNewHeightAndUpdateAllComponentBounds (std::numeric_limits<float>::infinity());
    layout.setNewHeightAndUpdateAllComponentBounds (-1.0f);
    layout.setNewBoundsForComponent (-1);
    layout.setNewBoundsForComponent (2);
    EXPECT_EQ (component.getBounds(), placed);
}

TEST (CvoLayoutManager, SectionBackgroundAndTextDrawInsideTheirFractionalBox)
{
    CvoLayoutManager layout (200, 0.5f, 2.0f); // 200 x 100 editor
    auto image = makeCanvas (200, 100, juce::Colours::white);
    {
        juce::Graphics g (image);
        layout.drawSectionBackground (g, 0.1f, 0.1f, 0.3f, 0.5f, false); // (20, 10, 60, 50)
        layout.drawText (g, "H", 0.5f, 0.2f, 0.4f, 0.6f, juce::Justification::centred, false,
                         juce::Colours::black); // (100, 20, 80, 60)
    }

    EXPECT_TRUE (coloursNear (image.getPixelAt (50, 35),
                              juce::Colours::white.overlaidWith (juce::Colours::black.withAlpha (0.07f))));
    EXPECT_TRUE (coloursNear (image.getPixelAt (10, 35), juce::Colours::white));

    // The text is as tall as its box: its ink is the glyph's ink at 60 pixels.
    auto textArea = image.getClippedImage ({90, 0, 110, 100});
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (juce::Font (60.0f), "H", 0.0f, 0.0f);
    juce::Path outline;
    glyphs.createPath (outline);
    const auto ink = inkBounds (textArea, juce::Colours::white);
    EXPECT_NEAR ((float)ink.getHeight(), outline.getBounds().getHeight(), 2.0f);
    EXPECT_GE (ink.getY(), 20);
    EXPECT_LE (ink.getBottom(), 80);
}
