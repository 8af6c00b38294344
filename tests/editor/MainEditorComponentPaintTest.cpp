// Painting of the main editor surface: it paints at any size, the texture is the
// same at every paint, and the sections follow the views (bypass, resizing, a
// rejected input/output configuration).

#include "EditorTestSupport.h"
#include "MainEditorComponentTestProbe.h"

#include "editor/MainEditorComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include <memory>

namespace
{
MainEditorComponent* findSurface (juce::Component& window)
{
    for (auto* child : window.getChildren())
        if (auto* surface = dynamic_cast<MainEditorComponent*> (child))
            return surface;
    return nullptr;
}

/** The surface alone (without its children) over a background colour; at least
    one pixel, whatever the surface's size. */
juce::Image paintSurface (MainEditorComponent& surface, juce::Colour background)
{
    auto image = EditorTestSupport::makeCanvas (juce::jmax (1, surface.getWidth()),
                                                juce::jmax (1, surface.getHeight()), background);
    juce::Graphics g (image);
    surface.paint (g);
    return image;
}

bool imagesEqual (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;
    return true;
}

class MainEditorPainting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<ZkOstinelAudioProcessorEditor> (&processor);
        window->setSize (960, 540);
        surface = findSurface (*window);
        ASSERT_NE (surface, nullptr);
        probe = std::make_unique<MainEditorComponentTestProbe> (*surface);
    }

    void TearDown() override
    {
        probe.reset();
        window.reset();
    }

    /** The pixel at fractions of the editor width and height. */
    static juce::Colour pixelAt (const juce::Image& image, float x, float y)
    {
        return image.getPixelAt (juce::roundToInt (x * (float)image.getWidth()),
                                 juce::roundToInt (y * (float)image.getHeight()));
    }

    ZkOstinelAudioProcessor processor;
    std::unique_ptr<ZkOstinelAudioProcessorEditor> window;
    MainEditorComponent* surface = nullptr;
    std::unique_ptr<MainEditorComponentTestProbe> probe;
};

class MainEditorPaintingAtSize : public MainEditorPainting,
                                 public ::testing::WithParamInterface<std::pair<int, int>>
{
};

const auto magenta = juce::Colours::magenta;

// Points [fractions of width and height]: the upper bar left of the artwork, the
// plain textured background (no control there outside expert mode), and the
// transport box between its read-outs.
constexpr float upperBarX = 0.3f, upperBarY = 0.04f;
constexpr float backgroundX = 0.1f, backgroundY = 0.3f;
constexpr float transportX = 0.5f, transportY = 0.835f;
} // namespace

TEST_P (MainEditorPaintingAtSize, PaintsWithAllChildrenInEveryViewWithoutFault)
{
    const auto [width, height] = GetParam();
    window->setSize (width, height);

    probe->setExpertMode (true);
    surface->setTripletState (true);
    EditorTestSupport::render (*window);

    surface->setBypassState (true);
    surface->setMuteAllState (true);
    EditorTestSupport::render (*window);

    surface->resizingStarted();
    EditorTestSupport::render (*window);
    surface->resizingStopped();

    surface->showInfoComponent();
    EditorTestSupport::render (*window);
}

INSTANTIATE_TEST_SUITE_P (TinyToLarge, MainEditorPaintingAtSize,
                          ::testing::Values (std::pair<int, int> (0, 0), std::pair<int, int> (1, 1),
                                             std::pair<int, int> (7, 4), std::pair<int, int> (64, 36),
                                             std::pair<int, int> (480, 270),
                                             std::pair<int, int> (1920, 1080)));

TEST_F (MainEditorPainting, TextureIsTheSameAtEveryPaintAndFollowsTheColourScheme)
{
    const auto first = paintSurface (*surface, magenta);
    const auto second = paintSurface (*surface, magenta);
    EXPECT_TRUE (imagesEqual (first, second));

    // The brushed texture stays within a few percent of the scheme's grey.
    for (const float brightness : {0.0f, 0.3f})
    {
        probe->setColourSchemeBrightness (brightness);
        const auto image = paintSurface (*surface, magenta);
        EXPECT_TRUE (EditorTestSupport::coloursNear (pixelAt (image, backgroundX, backgroundY),
                                                     CvoZkColours::zkdarkGrey.brighter (brightness), 12));
    }
}

TEST_F (MainEditorPainting, UpperBarBorderAndTransportBox)
{
    const auto image = paintSurface (*surface, magenta);
    EXPECT_TRUE (
        EditorTestSupport::coloursNear (pixelAt (image, upperBarX, upperBarY), CvoZkColours::zkmainColour));
    EXPECT_TRUE (EditorTestSupport::coloursNear (image.getPixelAt (2, 270), juce::Colours::black));
    EXPECT_TRUE (EditorTestSupport::coloursNear (image.getPixelAt (957, 270), juce::Colours::black));
    EXPECT_TRUE (
        EditorTestSupport::coloursNear (pixelAt (image, transportX, transportY), juce::Colours::black));
}

TEST_F (MainEditorPainting, BypassKeepsTheTransportBoxAndABadConfigurationOnlyTheFrame)
{
    surface->setBypassState (true);
    auto image = paintSurface (*surface, magenta);
    EXPECT_TRUE (
        EditorTestSupport::coloursNear (pixelAt (image, transportX, transportY), juce::Colours::black));
    surface->setBypassState (false);

    probe->setIoConfigIsOK (false);
    image = paintSurface (*surface, magenta);
    EXPECT_FALSE (
        EditorTestSupport::coloursNear (pixelAt (image, transportX, transportY), juce::Colours::black, 20));
    EXPECT_TRUE (
        EditorTestSupport::coloursNear (pixelAt (image, upperBarX, upperBarY), CvoZkColours::zkmainColour));
}

TEST_F (MainEditorPainting, WhileResizingOnlyTheBarTheArtworkAndTheBorderArePainted)
{
    surface->resizingStarted();
    const auto image = paintSurface (*surface, magenta);
    EXPECT_EQ (
        image.getPixelAt (juce::roundToInt (backgroundX * 960.0f), juce::roundToInt (backgroundY * 540.0f)),
        magenta);
    EXPECT_EQ (pixelAt (image, transportX, transportY), magenta);
    EXPECT_TRUE (
        EditorTestSupport::coloursNear (pixelAt (image, upperBarX, upperBarY), CvoZkColours::zkmainColour));
    EXPECT_TRUE (EditorTestSupport::coloursNear (image.getPixelAt (2, 270), juce::Colours::black));
}

TEST_F (MainEditorPainting, ProductLetteringSitsInTheLogoAreaOfTheUpperBar)
{
    const auto image = paintSurface (*surface, magenta);
    const auto area = probe->logoArea().getSmallestIntegerContainer();
    ASSERT_FALSE (area.isEmpty());
    int dark = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getBrightness() < 0.2f)
                ++dark;
    EXPECT_GT (dark, area.getWidth() * area.getHeight() / 20);
}
