#include "EditorTestSupport.h"

#include "editor/widgets/CvoPresetNameLabel.h"

namespace
{
const juce::String
    presetNameCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 _-!+#%&");
}

TEST (CvoPresetNameLabel, EditorStartsWithTheBareNameAllSelectedAndRestricted)
{
    CvoPresetNameLabel label (39, "Preset Name Label", "insert your preset name here", presetNameCharacters);
    label.setBounds (0, 0, 300, 30);
    label.setText ("My Preset*", juce::dontSendNotification);

    label.showEditor();
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getText(), "My Preset");
    EXPECT_EQ (editor->getHighlightedRegion(), juce::Range<int> (0, 9));

    // Typing replaces the selection; characters outside the set are dropped and
    // the name stops at 39 characters.
    editor->insertTextAtCaret ("Bass/Line*:2");
    EXPECT_EQ (editor->getText(), "BassLine2");
    editor->insertTextAtCaret (juce::String::repeatedString ("x", 50));
    EXPECT_EQ (editor->getText().length(), 39);

    label.hideEditor (true);
}
