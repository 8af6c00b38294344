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
#include <utility>
#include <vector>

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

// At any size, down to nothing, every view paints: the window with all its
// children covers the whole picture (nothing of the canvas below shows), and
// where there is room each change of view changes the picture.
TEST_P (MainEditorPaintingAtSize, EveryViewPaintsTheWholeWindow)
{
    const auto [width, height] = GetParam();
    window->setSize (width, height);

    std::vector<std::pair<const char*, juce::Image>> views;
    const auto paintView = [&] (const char* view)
    { views.emplace_back (view, EditorTestSupport::render (*window, magenta)); };

    probe->setExpertMode (true);
    surface->setTripletState (true);
    paintView ("expert");

    surface->setBypassState (true);
    surface->setMuteAllState (true);
    paintView ("bypass and mute-all");

    surface->resizingStarted();
    paintView ("resizing");
    surface->resizingStopped();

    surface->showInfoComponent();
    paintView ("info screen");

    for (std::size_t i = 0; i < views.size(); ++i)
    {
        const auto& [view, image] = views[i];
        EXPECT_EQ (image.getBounds(), window->getLocalBounds()) << view;

        int canvasPixels = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                canvasPixels += image.getPixelAt (x, y) == magenta ? 1 : 0;
        EXPECT_EQ (canvasPixels, 0) << view << ": the canvas shows";

        if (i > 0 && width >= 64)
        {
            EXPECT_FALSE (imagesEqual (views[i - 1].second, image))
                << view << " looks like " << views[i - 1].first;
        }
    }
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

TEST_F (MainEditorPainting, SectionsFollowTheView)
{
    const auto black = juce::Colours::black;
    const auto expectFrame = [] (const juce::Image& image)
    {
        EXPECT_TRUE (EditorTestSupport::coloursNear (pixelAt (image, upperBarX, upperBarY),
                                                     CvoZkColours::zkmainColour));
        EXPECT_TRUE (EditorTestSupport::coloursNear (image.getPixelAt (2, 270), juce::Colours::black));
        EXPECT_TRUE (EditorTestSupport::coloursNear (image.getPixelAt (957, 270), juce::Colours::black));
    };

    auto image = paintSurface (*surface, magenta);
    expectFrame (image);
    EXPECT_TRUE (EditorTestSupport::coloursNear (pixelAt (image, transportX, transportY), black));

    // Bypass keeps the transport box.
    surface->setBypassState (true);
    image = paintSurface (*surface, magenta);
    EXPECT_TRUE (EditorTestSupport::coloursNear (pixelAt (image, transportX, transportY), black));
    surface->setBypassState (false);

    // A rejected input/output configuration leaves only the frame on the background.
    probe->setIoConfigIsOK (false);
    image = paintSurface (*surface, magenta);
    expectFrame (image);
    EXPECT_FALSE (EditorTestSupport::coloursNear (pixelAt (image, transportX, transportY), black, 20));
    probe->setIoConfigIsOK (true);

    // While resizing, no background either: the window's own picture shows through.
    surface->resizingStarted();
    image = paintSurface (*surface, magenta);
    expectFrame (image);
    EXPECT_EQ (pixelAt (image, backgroundX, backgroundY), magenta);
    EXPECT_EQ (pixelAt (image, transportX, transportY), magenta);
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
