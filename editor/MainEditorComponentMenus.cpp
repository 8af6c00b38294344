// The menus of MainEditorComponent: the settings menu (preset browser, saving,
// pattern copy and paste, auto run, info screen, version), the transport menu on
// the AUTORUN-INDICATOR, their results, and the surface's mouse clicks.
//
// Message thread only. Building a menu and handling its result are separate from
// showing it, so that both run without a display.

#include "MainEditorComponent.h"

#include "PopupCallbackReceiver.h"
#include "editor/widgets/CvoZkColours.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"

namespace
{
/** Whether the processor's current preset is preset `id` of the given list with
    exactly this name and unmodified. */
bool isCurrentPreset (ZkOstinelAudioProcessor& processor, bool factory, int id, const juce::String& name)
{
    return processor.getCurrentPresetID() == id && processor.currentPresetIsFactory() == factory &&
           !processor.currentPresetWasModified() && name == processor.getCurrentPresetName();
}
} // namespace

//==============================================================================
void MainEditorComponent::applyMenuLookAndFeel (juce::PopupMenu& menu)
{
    if (auto* editorLookAndFeel = getEditorLookAndFeel())
    {
        editorLookAndFeel->setColour (juce::PopupMenu::highlightedBackgroundColourId,
                                      CvoZkColours::zkcomplementColourA);
        menu.setLookAndFeel (editorLookAndFeel);
    }
}

juce::PopupMenu MainEditorComponent::createSettingsPopupMenu()
{
    juce::PopupMenu menu;
    applyMenuLookAndFeel (menu);

    menu.addItem (SettingsMenuResizeToDefault, "Resize To Default",
                  processor->getEditorHeight() != processor->getDefaultEditorHeight());
    menu.addSeparator();

    juce::PopupMenu factoryMenu;
    const auto factoryNames = processor->getAllFactoryPresetNames();

    for (int i = 0; i < factoryNames.size(); ++i)
        factoryMenu.addItem (SettingsMenuFirstFactoryPreset + i, factoryNames[i], true,
                             isCurrentPreset (*processor, true, i, factoryNames[i]));

    menu.addSubMenu ("Factory Presets", factoryMenu);

    // Rescans the user presets folder.
    juce::PopupMenu userMenu;
    const auto userNames = processor->getAllUserPresetNames();

    for (int i = 0; i < userNames.size(); ++i)
        userMenu.addItem (SettingsMenuFirstUserPreset + i, userNames[i], true,
                          isCurrentPreset (*processor, false, i, userNames[i]));

    menu.addSubMenu ("User Presets", userMenu);

    menu.addSeparator();
    menu.addItem (SettingsMenuSaveCurrentPresetAs, "Save Current Preset As ...");
    menu.addItem (SettingsMenuRevealUserPresetsFolder, "Reveal User Presets Folder");
    menu.addSeparator();
    menu.addItem (SettingsMenuCopyCurrentPattern, "Copy Current Pattern");
    menu.addItem (SettingsMenuPasteCurrentPattern, "Paste Current Pattern");
    menu.addSeparator();
    menu.addItem (SettingsMenuAutoRunInStopMode, "Auto Run (in Stop Mode)", true, autoRunInStopModeIsActive);
    menu.addSeparator();
    menu.addItem (SettingsMenuShowInfoScreen, "Show Info / Settings Screen");
    menu.addSeparator();
    menu.addItem (SettingsMenuVersionLine, versionText, false);

    return menu;
}

juce::PopupMenu MainEditorComponent::createTransportPopupMenu()
{
    juce::PopupMenu menu;
    applyMenuLookAndFeel (menu);
    menu.addItem (TransportMenuAutoRunInStopMode, "Auto Run (in Stop Mode)", true, autoRunInStopModeIsActive);
    return menu;
}

int MainEditorComponent::getCurrentPresetMenuItemId() const
{
    if (processor->currentPresetWasModified())
        return 0;

    const int id = processor->getCurrentPresetID();

    if (id < 0)
        return 0;

    return (processor->currentPresetIsFactory() ? SettingsMenuFirstFactoryPreset
                                                : SettingsMenuFirstUserPreset) +
           id;
}

void MainEditorComponent::createAndShowSettingsPopupMenu()
{
    auto menu = createSettingsPopupMenu();

    settingsPopupMenuTime = juce::Time::getCurrentTime();
    settingsPopupMenuIsActive = true;
    setNewInfoText ("choose from popup menu ...", false);

    // The current preset is in view when its submenu opens.
    auto options = juce::PopupMenu::Options();

    if (const int currentItem = getCurrentPresetMenuItemId(); currentItem != 0)
        options = options.withItemThatMustBeVisible (currentItem);

    menu.showMenuAsync (options, new PopupCallbackReceiver (this));
}

void MainEditorComponent::createAndShowTransportPopupMenu()
{
    createTransportPopupMenu().showMenuAsync (juce::PopupMenu::Options(), new PopupCallbackReceiver (this));
}

void MainEditorComponent::handlePopupMenuResult (int result)
{
    switch (result)
    {
        case SettingsMenuResizeToDefault:
            resizeToDefault();
            break;
        case SettingsMenuShowInfoScreen:
            showInfoComponent();
            break;
        case SettingsMenuSaveCurrentPresetAs:
            showManagePresetsComponent();
            break;
        case SettingsMenuRevealUserPresetsFolder:
            revealUserPresetsFolder();
            break;
        case SettingsMenuAutoRunInStopMode:
        case TransportMenuAutoRunInStopMode:
            // The menu item and the AUTORUN-INDICATOR follow through the refresh loop.
            toggleAutoRunInStopModeState();
            break;
        case SettingsMenuCopyCurrentPattern:
            copyCurrentPatternIntoClipboard (true, true, true);
            break;
        case SettingsMenuPasteCurrentPattern:
            pasteCurrentPatternFromClipboard (true, true, true);
            break;
        default:
            break;
    }

    if (result >= SettingsMenuFirstFactoryPreset && result < SettingsMenuFirstUserPreset)
        loadFactoryPresetWithID (result - SettingsMenuFirstFactoryPreset);
    else if (result >= SettingsMenuFirstUserPreset)
        loadUserPresetWithID (result - SettingsMenuFirstUserPreset);

    // Every result clears the flag, a dismissal (0) included.
    setSettingsPopupMenuIsActive (false);
}

//==============================================================================
void MainEditorComponent::loadFactoryPresetWithID (int id)
{
    processor->loadFactoryPresetUndoableWithID (id);
    updateAll();
}

void MainEditorComponent::loadUserPresetWithID (int id)
{
    processor->loadUserPresetUndoableWithID (id);
    updateAll();
}

void MainEditorComponent::revealUserPresetsFolder()
{
    processor->revealUserPresetsFolder();
}

//==============================================================================
void MainEditorComponent::mouseDown (const juce::MouseEvent& event)
{
    // The surface listens to its children too (and hears its own clicks twice,
    // which changes nothing here).
    if (event.eventComponent == this && logoArea != nullptr &&
        logoArea->getSmallestIntegerContainer().contains (event.getPosition()))
    {
        // A click on the product lettering opens the info screen.
        infoComponentIsVisible = true;
        updateVisibilityOfAllComponents();
        return;
    }

    if (autoRunIndicatorButton != nullptr && event.eventComponent == autoRunIndicatorButton.get() &&
        event.mods.isRightButtonDown())
        createAndShowTransportPopupMenu();
}
