// The info screen on its own (no main editor): which buttons are enabled for
// the processor's sizes and undo history, what the buttons change in the
// processor, the DAW timing offset toggle and entry, and the painted panel.

#include "EditorTestSupport.h"

#include "editor/InfoComponent.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include <limits>
#include <memory>

using namespace EditorTestSupport;

namespace
{
struct InfoScreen
{
    InfoScreen() { info.setSize (960, 540); }

    /** A click as from the mouse: disabled buttons ignore it, toggles flip. */
    void click (juce::Button& button)
    {
        button.triggerClick();
        deliverPendingMessages();
    }

    juce::var setting (const char* name) const { return processor->getVarItemManager()->getVar (name); }

    std::unique_ptr<ZkOstinelAudioProcessor> processor = std::make_unique<ZkOstinelAudioProcessor>();
    InfoComponent info{processor.get(), nullptr, nullptr};
};
} // namespace

TEST (InfoComponent, SizeButtonsFollowTheEditorAndDefaultHeights)
{
    InfoScreen screen;
    auto& processor = *screen.processor;
    auto& info = screen.info;
    const int defaultHeight = processor.getDefaultEditorHeight();
    ASSERT_GT (defaultHeight, 60);

    processor.setEditorHeight (defaultHeight);
    info.updateAllComponents();
    EXPECT_FALSE (info.getResizeToDefaultButton().isEnabled());
    EXPECT_FALSE (info.getSetCurrentAsDefaultButton().isEnabled());
    EXPECT_FALSE (info.getResetDefaultSizeButton().isEnabled()); // ratio 0.5

    processor.setEditorHeight (defaultHeight + 60);
    info.updateAllComponents();
    EXPECT_TRUE (info.getResizeToDefaultButton().isEnabled());
    EXPECT_TRUE (info.getSetCurrentAsDefaultButton().isEnabled());

    // The current height becomes the default: nothing left to resize to, and
    // the ratio is no longer 0.5.
    screen.click (info.getSetCurrentAsDefaultButton());
    EXPECT_EQ (processor.getDefaultEditorHeight(), defaultHeight + 60);
    EXPECT_FALSE (info.getResizeToDefaultButton().isEnabled());
    EXPECT_FALSE (info.getSetCurrentAsDefaultButton().isEnabled());
    EXPECT_TRUE (info.getResetDefaultSizeButton().isEnabled());

    screen.click (info.getResetDefaultSizeButton());
    EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
    EXPECT_EQ (processor.getDefaultEditorHeight(), defaultHeight);
    EXPECT_FALSE (info.getResetDefaultSizeButton().isEnabled());
    EXPECT_TRUE (info.getResizeToDefaultButton().isEnabled());

    // Without a main editor RESIZE TO DEFAULT has nobody to resize.
    screen.click (info.getResizeToDefaultButton());
    EXPECT_EQ (processor.getEditorHeight(), defaultHeight + 60);
}

TEST (InfoComponent, ClearUndoHistoryIsEnabledOnlyWithSomethingToUndo)
{
    InfoScreen screen;
    auto& info = screen.info;
    screen.processor->clearUndoHistory();
    info.updateAllComponents();
    EXPECT_FALSE (info.getClearUndoHistoryButton().isEnabled());

    screen.processor->setParam ("Mix", 0.25f, juce::sendNotification, startNewTransaction, true);
    info.updateAllComponents();
    ASSERT_TRUE (screen.processor->canUndoOrRedo());
    EXPECT_TRUE (info.getClearUndoHistoryButton().isEnabled());

    screen.click (info.getClearUndoHistoryButton());
    EXPECT_FALSE (screen.processor->canUndoOrRedo());
    EXPECT_FALSE (info.getClearUndoHistoryButton().isEnabled());
}

TEST (InfoComponent, DawTimingOffsetToggleShowsTheEntryAndWritesTheSetting)
{
    InfoScreen screen;
    auto& info = screen.info;
    // Inside the entry's backing, left of the label's right-justified digits.
    const int backingX = (int)(0.02f * 960.0f), backingY = (int)(0.88f * 540.0f);

    EXPECT_FALSE (info.getGlobalSamplesOffsetLabel().isVisible());
    EXPECT_TRUE (
        coloursNear (render (info).getPixelAt (backingX, backingY), CvoZkColours::zkcomplementColourA));

    screen.click (info.getDawTimingOffsetButton());
    EXPECT_TRUE (info.getDawTimingOffsetState());
    EXPECT_TRUE (info.getDawTimingOffsetButton().getToggleState());
    EXPECT_EQ ((double)screen.setting ("viDawTimingOffsetState"), 1.0);
    EXPECT_TRUE (info.getGlobalSamplesOffsetLabel().isVisible());
    EXPECT_TRUE (coloursNear (render (info).getPixelAt (backingX, backingY), juce::Colours::lightgrey));

    screen.click (info.getDawTimingOffsetButton());
    EXPECT_FALSE (info.getDawTimingOffsetState());
    EXPECT_EQ ((double)screen.setting ("viDawTimingOffsetState"), 0.0);
    EXPECT_FALSE (info.getGlobalSamplesOffsetLabel().isVisible());

    // The refresh loop shows the setting without writing it back.
    info.setDawTimingOffsetState (true);
    info.setDawTimingOffsetInSamples (-64);
    EXPECT_TRUE (info.getDawTimingOffsetButton().getToggleState());
    EXPECT_TRUE (info.getGlobalSamplesOffsetLabel().isVisible());
    EXPECT_EQ (info.getGlobalSamplesOffsetLabel().getText(), "-64");
    EXPECT_EQ ((double)screen.setting ("viDawTimingOffsetState"), 0.0);
}

TEST (InfoComponent, OffsetEntryStoresAndShowsTheLeadingInteger)
{
    InfoScreen screen;
    auto& label = screen.info.getGlobalSamplesOffsetLabel();

    const struct
    {
        const char* typed;
        int stored;
    } entries[] = {{"-256", -256}, {"0012", 12}, {"+12", 12}, {"12-3", 12}, {"-", 0}, {"", 0}, {"+-5", 0}};

    for (const auto& entry : entries)
    {
        SCOPED_TRACE (entry.typed);
        label.setText ("1", juce::dontSendNotification);
        label.setText (entry.typed, juce::sendNotificationSync);
        EXPECT_EQ ((int)screen.setting ("viDawTimingOffsetInSamples"), entry.stored);
        EXPECT_EQ (label.getText(), juce::String (entry.stored));
    }

    // Text longer than the entry admits still gives a defined int.
    EXPECT_EQ (InfoComponent::parseOffsetText ("99999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ (InfoComponent::parseOffsetText ("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ (InfoComponent::parseOffsetText ("-99999999999"), std::numeric_limits<int>::min());
}

TEST (InfoComponent, TitleNamesTheFormatOnlyWhenThereIsOne)
{
    using P = juce::AudioProcessor;
    EXPECT_EQ (InfoComponent::getFormatName (P::wrapperType_VST), "VST 64bit");
    EXPECT_EQ (InfoComponent::getFormatName (P::wrapperType_VST3), "VST 64bit");
    EXPECT_EQ (InfoComponent::getFormatName (P::wrapperType_AudioUnit), "AU 64bit");
    EXPECT_EQ (InfoComponent::getFormatAttribution (P::wrapperType_VST), "VST Plugin Technology\n");
    EXPECT_EQ (InfoComponent::getFormatName (P::wrapperType_Standalone), "");
    EXPECT_EQ (InfoComponent::getFormatAttribution (P::wrapperType_Undefined), "");

    // A processor outside any plug-in format: no format in the title, no
    // attribution before the build line.
    InfoScreen screen;
    EXPECT_TRUE (screen.info.getTitleText().getText().startsWith ("ZkOstinel v1.0.0\n\n"));
    EXPECT_TRUE (screen.info.getFormatText().getText().startsWith ("( built on: "));
    EXPECT_TRUE (screen.info.getTitleText().isReadOnly());
}

TEST (InfoComponent, PaintsTheLightPanelOverTheBlueScreen)
{
    InfoScreen screen;
    const auto image = render (screen.info);

    EXPECT_TRUE (coloursNear (image.getPixelAt (5, 5), CvoZkColours::zkcomplementColourA));
    EXPECT_TRUE (coloursNear (image.getPixelAt (955, 240), CvoZkColours::zkcomplementColourA));
    // Inside the panel's outline, left of the texts.
    EXPECT_TRUE (coloursNear (image.getPixelAt (201, 300), juce::Colours::lightgrey));
}
