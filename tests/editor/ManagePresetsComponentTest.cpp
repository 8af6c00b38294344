// The preset save panel on its own (no main editor): the name it offers, the
// characters its field admits, Escape, the name handed to the save, and the
// report of a save.

#include "EditorTestSupport.h"

#include "editor/ManagePresetsComponent.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include <memory>

namespace
{
struct SavePanel
{
    SavePanel() { panel.setSize (384, 216); }

    /** Marks the current preset as modified (its program name gets a "*"). */
    void modifyPreset()
    {
        processor->setParam ("Mix", 0.25f, juce::sendNotification, startNewTransaction, true);
    }

    std::unique_ptr<ZkOstinelAudioProcessor> processor = std::make_unique<ZkOstinelAudioProcessor>();
    juce::Font font;
    ManagePresetsComponent panel{processor.get(), nullptr, &font};
};
} // namespace

TEST (ManagePresetsComponent, OffersTheCurrentNameWithoutTheModifiedMarkAllSelected)
{
    SavePanel save;
    save.modifyPreset();
    const auto programName = save.processor->getProgramName (0);
    ASSERT_TRUE (programName.endsWith ("*"));

    save.panel.show();
    auto& field = save.panel.getPresetNameEditor();
    EXPECT_TRUE (save.panel.isVisible());
    EXPECT_EQ (field.getText(), programName.removeCharacters ("*"));
    EXPECT_EQ (field.getHighlightedRegion(), juce::Range<int> (0, field.getTotalNumChars()));

    // Typing replaces the offered name.
    field.insertTextAtCaret ("Beat");
    EXPECT_EQ (save.panel.getPresetName(), "Beat");

    save.panel.hide();
    EXPECT_FALSE (save.panel.isVisible());
}

TEST (ManagePresetsComponent, FieldAdmitsOnlyPresetNameCharactersUpTo39)
{
    SavePanel save;
    auto& field = save.panel.getPresetNameEditor();
    field.selectAll();

    field.insertTextAtCaret ("My*Beat.v2/x:y");
    EXPECT_EQ (field.getText(), "MyBeatv2xy");

    field.selectAll();
    field.insertTextAtCaret ("Aa 0_-!+#%&");
    EXPECT_EQ (field.getText(), "Aa 0_-!+#%&");

    field.selectAll();
    field.insertTextAtCaret (juce::String::repeatedString ("x", 39));
    field.insertTextAtCaret ("y");
    EXPECT_EQ (field.getText(), juce::String::repeatedString ("x", 39));
}

TEST (ManagePresetsComponent, EscapeOffersTheNameAgainAndKeepsThePanelOpen)
{
    SavePanel save;
    save.panel.show();
    auto& field = save.panel.getPresetNameEditor();
    const auto offered = field.getText();

    field.insertTextAtCaret ("Something else");
    save.panel.textEditorEscapeKeyPressed (field);

    EXPECT_EQ (field.getText(), offered);
    EXPECT_EQ (field.getHighlightedRegion(), juce::Range<int> (0, offered.length()));
    EXPECT_TRUE (save.panel.isVisible());
}

TEST (ManagePresetsComponent, EmptyFieldSavesUnderTheNameOfferedLast)
{
    SavePanel save;
    save.modifyPreset();
    save.panel.show();
    save.panel.getPresetNameEditor().clear();

    // The offered program name, "*" of the modified preset included.
    EXPECT_EQ (save.panel.getPresetName(), save.processor->getProgramName (0));
}

TEST (ManagePresetsComponent, ReportTellsAFailedSaveApart)
{
    EXPECT_EQ (ManagePresetsComponent::getSaveReport (true), "SAVE: OK, user preset was saved !");
    EXPECT_TRUE (ManagePresetsComponent::getSaveReport (false).startsWith ("SAVE: ERROR"));
}

TEST (ManagePresetsComponent, ResizeSetsTheSharedFontAndPlacesTheField)
{
    SavePanel save;
    save.panel.setSize (400, 200);

    EXPECT_FLOAT_EQ (save.font.getHeight(), 0.14f * 200.0f);
    EXPECT_EQ (save.panel.getPresetNameEditor().getBounds(), juce::Rectangle<int> (20, 50, 360, 44));
    EXPECT_EQ (save.panel.getCancelButton().getBounds(), juce::Rectangle<int> (210, 140, 170, 40));
}
