// The main surface's menus, built and answered without showing them (a shown
// menu needs a display): items, ticks and enabled states, the actions of the
// results, the logo click and the receiver that outlives its surface.

#include "MainEditorBehaviourFixture.h"

#include "editor/PopupCallbackReceiver.h"

namespace
{
struct MenuEntry
{
    bool found = false;
    int id = 0;
    juce::String text;
    bool enabled = false;
    bool ticked = false;
};

/** Every item of the menu and its submenus, in order (separators and submenu
    headers left out). */
std::vector<MenuEntry> entriesOf (const juce::PopupMenu& menu)
{
    std::vector<MenuEntry> entries;

    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSeparator || item.subMenu != nullptr)
            continue;
        entries.push_back ({true, item.itemID, item.text, item.isEnabled, item.isTicked});
    }

    return entries;
}

/** The entry with that id; one with found == false when there is none. */
MenuEntry findEntry (const std::vector<MenuEntry>& entries, int id)
{
    for (const auto& entry : entries)
        if (entry.id == id)
            return entry;
    return {};
}

std::vector<int> tickedIds (const std::vector<MenuEntry>& entries)
{
    std::vector<int> ids;
    for (const auto& entry : entries)
        if (entry.ticked)
            ids.push_back (entry.id);
    return ids;
}

using MenusTest = MainEditorBehaviourTest;

TEST_F (MenusTest, SettingsMenuHoldsEveryItemWithItsState)
{
    const auto entries = entriesOf (surface.createSettingsPopupMenu());
    const auto factoryNames = processor.getAllFactoryPresetNames();

    // The editor is at its default height: nothing to resize.
    ASSERT_TRUE (findEntry (entries, 1).found);
    EXPECT_EQ (findEntry (entries, 1).text, "Resize To Default");
    EXPECT_FALSE (findEntry (entries, 1).enabled);

    for (int i = 0; i < factoryNames.size(); ++i)
    {
        const auto entry = findEntry (entries, 100 + i);
        ASSERT_TRUE (entry.found) << i;
        EXPECT_EQ (entry.text, factoryNames[i]);
    }

    for (int id : {2, 5, 6, 30, 40, 41})
        EXPECT_TRUE (findEntry (entries, id).found) << id;

    // No user presets yet; the version line is there but cannot be chosen.
    for (const auto& entry : entries)
        EXPECT_LT (entry.id, 200);

    ASSERT_TRUE (findEntry (entries, -1).found);
    EXPECT_EQ (findEntry (entries, -1).text, probe.versionText());
    EXPECT_FALSE (findEntry (entries, -1).enabled);

    // "Default", the preset loaded at start, is ticked until something changes.
    EXPECT_EQ (tickedIds (entries), std::vector<int> ({100 + processor.getCurrentPresetID(), 30}));
    EXPECT_EQ (surface.getCurrentPresetMenuItemId(), 100 + processor.getCurrentPresetID());

    surface.setParam ("Mix", 0.3f, juce::sendNotification, startNewTransaction, true);
    EXPECT_EQ (tickedIds (entriesOf (surface.createSettingsPopupMenu())), std::vector<int> ({30}));
    EXPECT_EQ (surface.getCurrentPresetMenuItemId(), 0);
}

TEST_F (MenusTest, ResizeToDefaultIsOfferedOnceTheSizeDiffers)
{
    processor.setEditorHeight (processor.getDefaultEditorHeight() + 100);
    const auto entries = entriesOf (surface.createSettingsPopupMenu());
    EXPECT_TRUE (findEntry (entries, 1).enabled);

    surface.handlePopupMenuResult (1);
    EXPECT_EQ (processor.getEditorHeight(), processor.getDefaultEditorHeight());
}

TEST_F (MenusTest, FactoryPresetItemsLoadThePresetAsOneUndoStep)
{
    const auto names = processor.getAllFactoryPresetNames();
    ASSERT_GT (names.size(), 5);

    surface.handlePopupMenuResult (105);

    EXPECT_EQ (processor.getCurrentPresetID(), 5);
    EXPECT_TRUE (processor.currentPresetIsFactory());
    EXPECT_EQ (probe.presetName().getText(), names[5]); // refreshed at once
    EXPECT_EQ (tickedIds (entriesOf (surface.createSettingsPopupMenu())), std::vector<int> ({105, 30}));

    processor.undoLastParameterChange();
    EXPECT_EQ (processor.getCurrentPresetName(), names[0]);
}

TEST_F (MenusTest, UserPresetItemsFollowThePresetsFolder)
{
    ASSERT_TRUE (processor.saveCurrentPresetToDisk ("Mine", true));
    surface.setParam ("Mix", 0.1f, juce::sendNotification, startNewTransaction, true);
    ASSERT_TRUE (processor.saveCurrentPresetToDisk ("Other", true));

    // "Other" is current and unmodified.
    auto entries = entriesOf (surface.createSettingsPopupMenu());
    const int otherId = processor.getCurrentPresetID();
    ASSERT_TRUE (findEntry (entries, 200 + otherId).found);
    EXPECT_EQ (findEntry (entries, 200 + otherId).text, "Other");
    EXPECT_EQ (tickedIds (entries), std::vector<int> ({200 + otherId, 30}));

    const int mineId = 1 - otherId;
    EXPECT_EQ (findEntry (entries, 200 + mineId).text, "Mine");

    surface.handlePopupMenuResult (200 + mineId);
    EXPECT_EQ (probe.presetName().getText(), "Mine");
    EXPECT_FALSE (processor.currentPresetIsFactory());
    EXPECT_NE (parameterValue ("Mix"), 0.1f);

    // The file of the current preset is renamed: its item is no longer ticked.
    const auto folder = processor.getUserPresetsFolder();
    ASSERT_TRUE (folder.getChildFile ("Mine.zkp").moveFileTo (folder.getChildFile ("Zzz.zkp")));
    entries = entriesOf (surface.createSettingsPopupMenu());
    EXPECT_EQ (tickedIds (entries), std::vector<int> ({30}));
}

TEST_F (MenusTest, CopyAndPasteCurrentPatternFromTheMenu)
{
    surface.setParam ("StepVolume-03-A", 0.4f, juce::sendNotification, startNewTransaction, true);
    surface.handlePopupMenuResult (40);

    surface.setParam ("StepVolume-03-A", 0.9f, juce::sendNotification, startNewTransaction, true);
    surface.handlePopupMenuResult (41);

    EXPECT_NEAR (parameterValue ("StepVolume-03-A"), 0.4f, 1.0e-6f);
}

TEST_F (MenusTest, AutoRunItemsToggleTheSettingAndTheMenuFollows)
{
    const bool before = static_cast<bool> (settings().getVar ("viAutoRunInStopMode"));
    ASSERT_TRUE (findEntry (entriesOf (surface.createTransportPopupMenu()), 70).found);

    surface.handlePopupMenuResult (70);
    surface.timerCallback();
    EXPECT_EQ (static_cast<bool> (settings().getVar ("viAutoRunInStopMode")), !before);
    EXPECT_EQ (findEntry (entriesOf (surface.createTransportPopupMenu()), 70).ticked, !before);
    EXPECT_EQ (findEntry (entriesOf (surface.createSettingsPopupMenu()), 30).ticked, !before);

    surface.handlePopupMenuResult (30);
    surface.timerCallback();
    EXPECT_EQ (static_cast<bool> (settings().getVar ("viAutoRunInStopMode")), before);
}

TEST_F (MenusTest, EveryResultClosesTheMenuState)
{
    for (int result : {0, 2, 99, 5000, -1, -7})
    {
        surface.setSettingsPopupMenuIsActive (true);
        surface.handlePopupMenuResult (result);
        EXPECT_FALSE (probe.settingsMenuIsActive()) << result;
    }

    // A user preset id beyond the list loads nothing.
    const auto name = processor.getCurrentPresetName();
    surface.handlePopupMenuResult (5000);
    EXPECT_EQ (processor.getCurrentPresetName(), name);

    // "Show Info / Settings Screen" (2, above) opened the info screen.
    EXPECT_TRUE (probe.infoScreen().isVisible());
}

TEST_F (MenusTest, AClickOnTheProductLetteringOpensTheInfoScreen)
{
    const auto logo = probe.logoArea();
    ASSERT_FALSE (logo.isEmpty());

    // Outside: nothing.
    surface.mouseDown (
        EditorTestSupport::mouseEventAt (surface, {logo.getRight() + 5.0f, logo.getCentreY()}, {}));
    EXPECT_FALSE (probe.infoScreen().isVisible());

    // A left click on the AUTORUN-INDICATOR opens no menu either.
    surface.mouseDown (EditorTestSupport::mouseEventAt (probe.autoRunIndicator(), {2.0f, 2.0f}, {}));

    surface.mouseDown (EditorTestSupport::mouseEventAt (surface, logo.getCentre(), {}));
    EXPECT_TRUE (probe.infoScreen().isVisible());
    EXPECT_FALSE (probe.bypass().isVisible());
}

TEST (PopupCallbackReceiverTest, AResultAfterTheSurfaceIsGoneDoesNothing)
{
    TemporaryHome home;
    ZkOstinelAudioProcessor processor;
    auto window = std::make_unique<ZkOstinelAudioProcessorEditor> (&processor);

    PopupCallbackReceiver alive (window->getMainComponent());
    PopupCallbackReceiver orphan (window->getMainComponent());

    alive.modalStateFinished (2);
    MainEditorComponentTestProbe probe (*window->getMainComponent());
    EXPECT_TRUE (probe.infoScreen().isVisible());

    window.reset();
    orphan.modalStateFinished (40); // must not reach the deleted surface
}
} // namespace
