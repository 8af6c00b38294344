// Editor heights that come from outside the plug-in: a host's chunk (which
// accepts heights up to 16,384 pixels) and the ratio in the properties file.
// Whatever they hold, the window opens, and resizes to its default, within
// the drag limits, so it is drawn in a fraction of a second (a 17,780 x 10,000
// pixel window took many seconds); a usable height (up to 16,384 pixels) stays
// stored and saved as it was, for a larger screen. Without a display the
// limits are those of 1080 pixels.

#include "EditorTestSupport.h"

#include "MainEditorComponentTestProbe.h"
#include "editor/MainEditorComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "engine/PresetTreeTestSupport.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <memory>

using Editor = ZkOstinelAudioProcessorEditor;

namespace
{
// The processor's height, and the one the host saves next, are storedHeight.
void expectStored (ZkOstinelAudioProcessor& processor, int storedHeight)
{
    EXPECT_EQ (processor.getEditorHeight(), storedHeight);
    const auto saved = juce::parseXML (zktest::chunkText (zktest::stateOf (processor)));
    ASSERT_NE (saved, nullptr);
    EXPECT_EQ (saved->getIntAttribute ("lastEditorHeight"), storedHeight);
}

void expectWithinLimits (const Editor& window, ZkOstinelAudioProcessor& processor, int storedHeight)
{
    const auto limits = Editor::getSizeLimits (Editor::getMainDisplayHeight());
    const int height = window.getHeight();
    EXPECT_GE (height, limits.minHeight);
    EXPECT_LE (height, limits.maxHeight);
    EXPECT_EQ (window.getWidth(), Editor::getWidthForHeight (height));
    expectStored (processor, storedHeight);
}

class EditorHeightFromChunk : public ::testing::TestWithParam<int>
{
};

TEST_P (EditorHeightFromChunk, OpensAndResizesToTheDefaultWithinTheLimits)
{
    ZkOstinelAudioProcessor processor;
    const juce::String height (GetParam());
    auto chunk = zktest::chunkWithAttribute (processor, "lastEditorHeight", &height);
    processor.setStateInformation (chunk.getData(), (int)chunk.getSize());
    chunk = zktest::chunkWithAttribute (processor, "defaultEditorHeight", &height);
    processor.setStateInformation (chunk.getData(), (int)chunk.getSize());
    ASSERT_EQ (processor.getEditorHeight(), GetParam()); // the chunk took it

    auto window = std::make_unique<Editor> (&processor);
    EditorTestSupport::render (*window);
    expectWithinLimits (*window, processor, GetParam());
    window.reset();
    expectStored (processor, GetParam());

    // The default height from the chunk, as "Resize To Default" applies it.
    window = std::make_unique<Editor> (&processor);
    window->getMainComponent()->resizeToDefault();
    expectWithinLimits (*window, processor, GetParam());
}

// 1400: saved on a screen larger than this one (1080 pixels).
INSTANTIATE_TEST_SUITE_P (Heights, EditorHeightFromChunk, ::testing::Values (1400, 10000, 16384, 1));

class EditorHeightFromPropertiesFile : public ::testing::TestWithParam<const char*>
{
};

TEST_P (EditorHeightFromPropertiesFile, OpensAndResizesToTheDefaultWithinTheLimits)
{
    TemporaryHome home;
    const auto file = home.getPropertiesFile();
    ASSERT_TRUE (file.getParentDirectory().createDirectory());
    ASSERT_TRUE (
        file.replaceWithText (juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n"
                                            "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n"
                                            "  <VALUE name=\"DefaultEditorDesktopHeightRatio\" val=\"") +
                              GetParam() + "\"/>\n</PROPERTIES>\n"));

    ZkOstinelAudioProcessor processor;
    if (juce::String (GetParam()).getFloatValue() > 1.0f) // the file's ratio was taken
    {
        EXPECT_GT (processor.getDefaultEditorHeight(), Editor::getMainDisplayHeight());
    }

    const int stored = processor.getEditorHeight();
    auto window = std::make_unique<Editor> (&processor);
    EditorTestSupport::render (*window);
    expectWithinLimits (*window, processor, stored);

    window->getMainComponent()->resizeToDefault();
    expectWithinLimits (*window, processor, processor.getDefaultEditorHeight());

    // A second window of the same processor opens at the height kept.
    const int kept = window->getHeight();
    window.reset();
    window = std::make_unique<Editor> (&processor);
    EXPECT_EQ (window->getHeight(), kept);
    processor.getPropertiesFile()->setNeedsToBeSaved (false);
}

INSTANTIATE_TEST_SUITE_P (Ratios, EditorHeightFromPropertiesFile, ::testing::Values ("9", "15", "0"));

// A height saved on a larger screen (1164 pixels, shown at 864 on a 1080-pixel
// one): "SET CURRENT AS DEFAULT" makes the height shown the default, and the
// stored height stays for the larger screen.
TEST (EditorHeightFromOutside, SetCurrentAsDefaultTakesTheHeightShown)
{
    TemporaryHome home; // the ratio chosen is saved with the properties
    ZkOstinelAudioProcessor processor;
    const int displayHeight = Editor::getMainDisplayHeight();
    const int shown = Editor::getSizeLimits (displayHeight).maxHeight;
    const int stored = shown + 300;
    processor.setEditorHeight (stored);

    Editor window (&processor);
    ASSERT_EQ (window.getHeight(), shown);
    window.getMainComponent()->showInfoComponent();
    auto& info =
        dynamic_cast<InfoComponent&> (MainEditorComponentTestProbe (*window.getMainComponent()).infoScreen());
    ASSERT_TRUE (info.getSetCurrentAsDefaultButton().isEnabled());

    info.getSetCurrentAsDefaultButton().triggerClick();
    EditorTestSupport::deliverPendingMessages();
    EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), (float)shown / (float)displayHeight);
    EXPECT_EQ (processor.getDefaultEditorHeight(), shown);
    EXPECT_FALSE (info.getSetCurrentAsDefaultButton().isEnabled());
    expectStored (processor, stored);
}
} // namespace
