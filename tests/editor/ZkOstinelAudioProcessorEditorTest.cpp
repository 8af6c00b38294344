// The editor window without a display: its size limits and aspect ratio, the
// height it opens with and remembers in the processor, corner drags through the
// resizer (limits, aspect, the surface told, the resize picture), the factory
// that connects the processor to it, and the info screen and the save panel
// working with the surface.

#include "EditorTestSupport.h"
#include "MainEditorComponentTestProbe.h"

#include "editor/InfoComponent.h"
#include "editor/MainEditorComponent.h"
#include "editor/ManagePresetsComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/ZkOstinelAudioProcessorEditorFactory.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include <memory>

using namespace EditorTestSupport;
using Editor = ZkOstinelAudioProcessorEditor;

namespace
{
MainEditorComponent& surfaceOf (Editor& window)
{
    auto* surface = window.getMainComponent();
    EXPECT_NE (surface, nullptr);
    return *surface;
}

/** A left-button event on the component: pressed at downAt, now at `at`. */
juce::MouseEvent dragEvent (juce::Component& component, juce::Point<float> downAt, juce::Point<float> at)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (
        juce::Desktop::getInstance().getMainMouseSource(), at, juce::ModifierKeys::leftButtonModifier,
        juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
        juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
        juce::MouseInputSource::defaultTiltY, &component, &component, now, downAt, now, 1, at != downAt);
}

class EditorWindow : public ::testing::Test
{
protected:
    EditorWindow()
    {
        processor.setEditorHeight (processor.getDefaultEditorHeight());
        window = std::make_unique<Editor> (&processor);
    }

    /** Drags the resizer by (dx, dy); between press and release `during` runs. */
    void dragCorner (
        float dx, float dy, const std::function<void()>& during = [] {})
    {
        juce::Component& resizer = *window->getResizer(); // the base's drag handler is protected
        const juce::Point<float> start (2.0f, 2.0f);
        resizer.mouseDown (dragEvent (resizer, start, start));
        resizer.mouseDrag (dragEvent (resizer, start, start.translated (dx, dy)));
        during();
        resizer.mouseUp (dragEvent (resizer, start, start.translated (dx, dy)));
    }

    ZkOstinelAudioProcessor processor;
    std::unique_ptr<Editor> window;
};
} // namespace

TEST (EditorWindowSizes, LimitsAreAQuarterToFourFifthsOfTheDisplayAtTheAspectRatio)
{
    const auto onFullHd = Editor::getSizeLimits (1080);
    EXPECT_EQ (onFullHd.minWidth, 480);
    EXPECT_EQ (onFullHd.minHeight, 270);
    EXPECT_EQ (onFullHd.maxWidth, 1536);
    EXPECT_EQ (onFullHd.maxHeight, 864);

    // Each product truncated: 262.5 -> 262, 262 x 1.778 = 465.8 -> 465.
    const auto on1050 = Editor::getSizeLimits (1050);
    EXPECT_EQ (on1050.minHeight, 262);
    EXPECT_EQ (on1050.minWidth, 465);
    EXPECT_EQ (on1050.maxHeight, 840);
    EXPECT_EQ (on1050.maxWidth, 1493);

    EXPECT_EQ (Editor::getWidthForHeight (540), 960);
    EXPECT_EQ (Editor::getWidthForHeight (756), 1344);

    // Without a display the limits are those of a display 1080 pixels high.
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
    {
        EXPECT_EQ (Editor::getMainDisplayHeight(), Editor::fallbackDisplayHeight);
    }
}

TEST_F (EditorWindow, OpensAtTheProcessorsHeightAndRemembersEveryResize)
{
    const int height = processor.getDefaultEditorHeight();
    EXPECT_EQ (window->getHeight(), height);
    EXPECT_EQ (window->getWidth(), Editor::getWidthForHeight (height));
    EXPECT_EQ (surfaceOf (*window).getBounds(), window->getLocalBounds());

    const auto limits = Editor::getSizeLimits (Editor::getMainDisplayHeight());
    auto* constrainer = window->getConstrainer();
    EXPECT_EQ (constrainer->getMinimumHeight(), limits.minHeight);
    EXPECT_EQ (constrainer->getMaximumWidth(), limits.maxWidth);
    EXPECT_DOUBLE_EQ (constrainer->getFixedAspectRatio(), (double)Editor::aspectRatio);

    window->setSize (1067, 600);
    EXPECT_EQ (processor.getEditorHeight(), 600);
    // The resizer sits in the bottom right corner.
    EXPECT_EQ (window->getResizer()->getBounds(), juce::Rectangle<int> (1012, 545, 45, 45));

    // A new window of the same processor opens at the last height.
    window.reset();
    window = std::make_unique<Editor> (&processor);
    EXPECT_EQ (window->getHeight(), 600);
    EXPECT_EQ (window->getWidth(), Editor::getWidthForHeight (600));

    // updateEditorSize follows the processor's height (RESIZE TO DEFAULT).
    processor.setEditorHeight (400);
    window->updateEditorSize();
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (0, 0, 711, 400));
}

TEST_F (EditorWindow, StoredHeightOpensWithinTheLimitsAnUnusableOneGivesTheDefault)
{
    const int defaultHeight = processor.getDefaultEditorHeight();
    const auto limits = Editor::getSizeLimits (Editor::getMainDisplayHeight());
    // A usable stored height stays stored; an unusable one becomes the opened.
    const struct
    {
        int stored, opened, kept;
    } cases[] = {{limits.minHeight + 1, limits.minHeight + 1, limits.minHeight + 1},
                 {limits.maxHeight, limits.maxHeight, limits.maxHeight},
                 {limits.minHeight - 1, limits.minHeight, limits.minHeight - 1},
                 {limits.maxHeight + 1, limits.maxHeight, limits.maxHeight + 1},
                 {0, defaultHeight, defaultHeight},
                 {-40, defaultHeight, defaultHeight},
                 {1000000, defaultHeight, defaultHeight}};

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.stored);
        window.reset();
        processor.setEditorHeight (c.stored);
        window = std::make_unique<Editor> (&processor);
        EXPECT_EQ (window->getHeight(), c.opened);
        EXPECT_EQ (window->getWidth(), Editor::getWidthForHeight (c.opened));
        EXPECT_EQ (processor.getEditorHeight(), c.kept);
    }
}

TEST_F (EditorWindow, CornerDragKeepsTheAspectRatioWithinTheLimits)
{
    const auto limits = Editor::getSizeLimits (Editor::getMainDisplayHeight());

    const struct
    {
        float dx, dy;
    } drags[] = {{120.0f, 30.0f}, {-40.0f, -90.0f}, {4000.0f, 4000.0f}, {-4000.0f, -4000.0f}};

    for (const auto& drag : drags)
    {
        SCOPED_TRACE (juce::String (drag.dx) + ", " + juce::String (drag.dy));
        dragCorner (drag.dx, drag.dy);

        const int w = window->getWidth(), h = window->getHeight();
        EXPECT_NEAR ((float)w, Editor::aspectRatio * (float)h, 1.0f);
        EXPECT_GE (h, limits.minHeight);
        EXPECT_LE (h, limits.maxHeight);
        EXPECT_EQ (processor.getEditorHeight(), h);
        EXPECT_EQ (surfaceOf (*window).getBounds(), window->getLocalBounds());
    }

    EXPECT_EQ (window->getHeight(), limits.minHeight); // the last drag went far below
}

TEST_F (EditorWindow, DuringADragTheSurfaceStepsAsideForTheResizePicture)
{
    MainEditorComponentTestProbe probe (surfaceOf (*window));
    ASSERT_TRUE (probe.bypass().isVisible());

    dragCorner (
        90.0f, 50.0f,
        [&]
        {
            EXPECT_FALSE (probe.bypass().isVisible());

            const auto image = render (*window);
            const float w = (float)window->getWidth(), h = (float)window->getHeight();
            const auto background =
                CvoZkColours::zkdarkGrey.brighter (processor.getCurrentColourSchemeBrightness());
            // On the shaft of the arrow to the top left corner; between the two upper arrows.
            EXPECT_TRUE (
                coloursNear (image.getPixelAt ((int)(0.3f * w), (int)(0.3f * h)), juce::Colours::black));
            EXPECT_TRUE (coloursNear (image.getPixelAt ((int)(0.5f * w), (int)(0.3f * h)), background));
        });

    EXPECT_TRUE (probe.bypass().isVisible());
}

TEST_F (EditorWindow, FactoryGivesTheProcessorThisEditor)
{
    ZkOstinelAudioProcessor::setEditorFactory (nullptr);
    EXPECT_FALSE (processor.hasEditor());
    EXPECT_EQ (processor.createEditorIfNeeded(), nullptr);

    ZkOstinelAudioProcessorEditorFactory::install();
    EXPECT_TRUE (processor.hasEditor());
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    EXPECT_NE (dynamic_cast<Editor*> (editor.get()), nullptr);
    EXPECT_EQ (processor.getActiveEditor(), editor.get());

    processor.editorBeingDeleted (editor.get());
    editor.reset();
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    ZkOstinelAudioProcessor::setEditorFactory (nullptr);
}

TEST_F (EditorWindow, InfoScreenResizesTheWindowToTheDefaultAndClosesThroughTheSurface)
{
    auto& surface = surfaceOf (*window);
    MainEditorComponentTestProbe probe (surface);
    auto* info = dynamic_cast<InfoComponent*> (&probe.infoScreen());
    ASSERT_NE (info, nullptr);
    EXPECT_EQ (info->getBounds(), surface.getLocalBounds());

    const int defaultHeight = processor.getDefaultEditorHeight();
    window->setSize (Editor::getWidthForHeight (defaultHeight + 100), defaultHeight + 100);
    surface.showInfoComponent();
    EXPECT_TRUE (info->isVisible());
    EXPECT_TRUE (info->getResizeToDefaultButton().isEnabled());

    info->getResizeToDefaultButton().triggerClick();
    deliverPendingMessages();
    EXPECT_EQ (window->getHeight(), defaultHeight);
    EXPECT_EQ (window->getWidth(), Editor::getWidthForHeight (defaultHeight));
    EXPECT_FALSE (info->getResizeToDefaultButton().isEnabled());

    info->getCloseButton().triggerClick();
    deliverPendingMessages();
    EXPECT_FALSE (info->isVisible());
}

TEST_F (EditorWindow, SavePanelSavesTheTypedNameThroughTheSurface)
{
    auto& surface = surfaceOf (*window);
    MainEditorComponentTestProbe probe (surface);
    auto* panel = dynamic_cast<ManagePresetsComponent*> (&probe.savePanel());
    ASSERT_NE (panel, nullptr);

    surface.showManagePresetsComponent();
    ASSERT_TRUE (panel->isVisible());
    panel->getPresetNameEditor().insertTextAtCaret ("Panel Beat.1");

    panel->getSaveButton().triggerClick();
    deliverPendingMessages();
    EXPECT_FALSE (panel->isVisible());
    EXPECT_TRUE (processor.getUserPresetsFolder().getChildFile ("Panel Beat1.zkp").existsAsFile());
    EXPECT_EQ (processor.getCurrentPresetName(), "Panel Beat1");

    // CANCEL closes the panel and saves nothing.
    surface.showManagePresetsComponent();
    panel->getPresetNameEditor().insertTextAtCaret ("Not Saved");
    panel->getCancelButton().triggerClick();
    deliverPendingMessages();
    EXPECT_FALSE (panel->isVisible());
    EXPECT_FALSE (processor.getUserPresetsFolder().getChildFile ("Not Saved.zkp").exists());
}
