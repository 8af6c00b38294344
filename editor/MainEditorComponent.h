#pragma once

#include "editor/widgets/CvoEnvAHDSRComponent.h"
#include "editor/widgets/CvoLayoutManager.h"
#include "editor/widgets/CvoRotarySlider.h"
#include "editor/widgets/CvoSlimBeatCommandsButton.h"
#include "editor/widgets/CvoStepCursorLed.h"
#include "editor/widgets/CvoStepSeqButton.h"
#include "editor/widgets/CvoStepVolumeSlider.h"
#include "editor/widgets/CvoSyncedWaveDisplayComponent.h"
#include "editor/widgets/CvoVerticalStereoVuMeter.h"
#include "editor/widgets/PatternCommandTabContentBackground.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class CvoParameter;
class CvoParameterManager;
class CvoPresetNameLabel;
class CvoVarItemManager;
class CvoZkLookAndFeelV1;
class InfoComponent;
class ManagePresetsComponent;
class ZkOstinelAudioProcessorEditor;

/** The pattern-command tab shown in the tab area. Fixed underlying type, so that
    any integer read back from a setting is a valid value (anything outside 1..4
    shows no tab group). */
enum PatternCommandTabContentType : int
{
    PatternCommandTabNone = 0,
    PatternCommandTabShift = 1,
    PatternCommandTabCopy = 2,
    PatternCommandTabRandom = 3,
    PatternCommandTabInit = 4
};

/** Result ids of the settings menu and the transport menu (0: dismissed). */
enum SettingsMenuItemId : int
{
    SettingsMenuDismissed = 0,
    SettingsMenuResizeToDefault = 1,
    SettingsMenuShowInfoScreen = 2,
    SettingsMenuSaveCurrentPresetAs = 5,
    SettingsMenuRevealUserPresetsFolder = 6,
    SettingsMenuAutoRunInStopMode = 30,
    SettingsMenuCopyCurrentPattern = 40,
    SettingsMenuPasteCurrentPattern = 41,
    TransportMenuAutoRunInStopMode = 70,
    SettingsMenuFirstFactoryPreset = 100, // + factory preset id
    SettingsMenuFirstUserPreset = 200,    // + user preset id
    SettingsMenuVersionLine = -1
};

/**
    The surface that fills the editor window and carries every control: knobs,
    the 16-step row with its LEDs and beat strips, pattern selectors, the
    pattern-command tabs, effect switches, transport read-out, level meters,
    waveform display, envelope view, preset navigation, the info line, the save
    panel and the info screen.

    It never listens to the processor: a 70 ms timer polls it (refresh loop).
    Everything the user does arrives at the listener callbacks and goes to the
    processor through setParam, its commands and its settings.

    The waveform display and both level meters are fed by the audio thread
    through the processor's registrations; they are registered only once fully
    made and unregistered first thing in the destructor.

    Split over several files by concern:
    MainEditorComponent.cpp (construction and controls, destruction),
    MainEditorComponentLayout.cpp (resized and painting),
    MainEditorComponentRefresh.cpp (refresh loop, info line),
    MainEditorComponentHandlers.cpp (control handlers and commands),
    MainEditorComponentMenus.cpp (menus and mouse clicks),
    MainEditorComponentState.cpp (state flags, visibility, colour scheme).

    Message thread only.
*/
class MainEditorComponent : public juce::Component,
                            public juce::Slider::Listener,
                            public juce::Button::Listener,
                            public juce::Label::Listener,
                            public juce::ComboBox::Listener,
                            public juce::ChangeListener,
                            public juce::Timer,
                            public CvoPaintedTextSource
{
public:
    /** processor: the owning processor; editorWindow: the window that owns this
        surface and its layout manager and look and feel (both not owned; the
        window may be null, then nothing is registered with a layout manager). */
    MainEditorComponent (ZkOstinelAudioProcessor* processor, ZkOstinelAudioProcessorEditor* editorWindow);

    /** Stops the timer, closes open menus and clears the processor's three widget
        registrations before any control is deleted. */
    ~MainEditorComponent() override;

    //==============================================================================
    // juce::Component, listeners and timer
    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void sliderValueChanged (juce::Slider* slider) override;
    void sliderDragStarted (juce::Slider* slider) override;
    void sliderDragEnded (juce::Slider* slider) override;
    void buttonClicked (juce::Button* button) override;
    void labelTextChanged (juce::Label* label) override;
    void comboBoxChanged (juce::ComboBox* comboBox) override;
    void editorShown (juce::Label* label, juce::TextEditor& textEditor) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void timerCallback() override;

    /** The captions paint() draws in the current view and size: "PRESET:", the
        pattern length and knob captions, RUN, MIX, the effect captions and the
        maker's name. */
    juce::Array<CvoFittedText> getPaintedTexts() const override;

    //==============================================================================
    // Construction and controls
    CvoRotarySlider* addRotarySlider (const juce::String& parameterName, const juce::String& tooltip,
                                      bool expertOnly);
    void addButton (juce::Button* button, float x, float y, float w, float h, bool clickingTogglesState,
                    CvoLayoutManager::Align align, bool sizeFromReferenceHeight);
    juce::DrawableButton* addTabContentButton (const juce::String& name, juce::Drawable* normalImage,
                                               juce::Drawable* downImage, const juce::String& tooltip,
                                               int connectedEdges, float x, float y, float w, float h,
                                               juce::Array<juce::DrawableButton*>& tabButtons);
    void addStepSeqButton (int step);
    void addStepVolumeSlider (int step);
    void addStepCursorLed (int step);
    void addAllStepSeqButtonsAndSliders();
    void initFonts();
    void initSvgElements();
    void addSettingsPopupButton();
    void addMainLabels();
    void addAllTextButtons();
    void addAllSlimBeatCommandsButtons();
    void addLevelMeters();
    void addAllSliders();
    void addAllDrawableButtons();
    void addAllPatternSelectButtons();
    void addManagePresetsComponent();
    void addInfoComponent();
    void addAllComboBoxes();
    void addAllTabs();

    void setSettingsPopupMenuIsActive (bool isActive);
    void setVisibilityOfTabContentComponents (juce::Array<juce::DrawableButton*>& tabButtons,
                                              bool shouldBeVisible);
    void toggleAutoRunInStopModeState();
    /** Null components are ignored. */
    void changeComponentNormalColour (juce::Component* component, juce::Colour colour);

    //==============================================================================
    // Painting utilities (called by paint only)
    void drawBackground (juce::Graphics& g);
    void drawLabelBackground (juce::Graphics& g, float x, float y, float w, float h, juce::Colour colour,
                              bool useGradient, bool horizontal, bool reversed);
    void drawUpperBar (juce::Graphics& g);
    void drawPluginBorder (juce::Graphics& g);
    void drawChannelNameBorderAndBg (juce::Graphics& g);
    void drawThePresentsText (juce::Graphics& g);
    void drawTevlinorLogo (juce::Graphics& g);
    void drawTelquarLogoAndText (juce::Graphics& g);

    //==============================================================================
    // Refresh loop
    void updateAll();
    void updateAllParameters();
    void setEditorParameterValue (int index, float value);
    void updateAllGuiElementsRelatedToVarItems();
    void checkAndUpdateVarItemChanges();
    void updateGuiElementRelatedToVarItem (const juce::String& name);
    void setNewInfoText (const juce::String& text, bool hasPriority);
    /** Null clears the changed-entity labels. */
    void setChangedEntity (CvoParameter* parameter);
    void updateUndoButtons();
    void updatePresetNameFromPluginProcessor();
    void checkAndUpdateParameterChanges();
    void checkAndUpdateInfoText();
    void checkAndUpdateSettingsPopupMenu();
    bool componentUnderMouseIsOK();
    void checkAndUpdateCurrentStep();
    void checkAndUpdateTransportSection();
    void checkAndUpdateComponentUnderMouse();
    /** The hover help and the pattern-command highlight for the component under
        the mouse (null: none). */
    void updateForComponentUnderMouse (juce::Component* componentUnderMouse);
    void checkAndUpdateEnvelopeComponentFont();

    //==============================================================================
    // Control handlers and commands
    void setParam (const juce::String& name, float value, juce::NotificationType notification,
                   TransactionFlag transaction, bool markPresetAsModified);
    void copyCurrentPatternIntoClipboard (bool lengths, bool volumes, bool patternLength);
    void pasteCurrentPatternFromClipboard (bool lengths, bool volumes, bool patternLength);
    void startSlimBcButtonsFlash (bool lengths, bool volumes);
    void setSliderCurrentlyBeingDragged (bool dragging);

    //==============================================================================
    // Menus
    void createAndShowSettingsPopupMenu();
    void createAndShowTransportPopupMenu();
    /** The menus as shown, built without showing them. */
    juce::PopupMenu createSettingsPopupMenu();
    juce::PopupMenu createTransportPopupMenu();
    /** The menu item of the current preset when it is unmodified (100 + factory id
        or 200 + user id), else 0. */
    int getCurrentPresetMenuItemId() const;
    /** Acts on a menu result (a SettingsMenuItemId; 0: dismissed) and clears the
        settings-menu flag. */
    void handlePopupMenuResult (int result);
    void loadFactoryPresetWithID (int id);
    void loadUserPresetWithID (int id);
    void revealUserPresetsFolder();

    //==============================================================================
    // State, visibility and colour scheme
    void setBypassState (bool isActive);
    void setMuteAllState (bool isActive);
    void setTripletState (bool isActive);
    void setLowpassActiveState (bool isActive);
    void setDriveActiveState (bool isActive);
    void setEchoActiveState (bool isActive);
    void setGlobalFxOffState (bool isActive);
    void setIsRunningState (bool running);
    void updateAutoRunIndicatorState();
    /** Enables the steps and beat strips of a pattern of `beats` beats [1, 2 or 4];
        does not store the length. */
    void setPatternLengthInBeats (int beats);
    void setChannelName (juce::String name);
    void setVisiblePatternCommandTabContent (PatternCommandTabContentType type);
    void updateVisibilityOfPatternCommandTabContent();
    void updateVisibilityOfAllComponents();
    void updateColourSchemeBrightness();
    void showInfoComponent();
    void hideInfoComponent();
    void showManagePresetsComponent();
    void saveUserPreset();
    void cancelUserPresetSaving();
    void resizingStarted();
    void resizingStopped();
    void resizeToDefault();

private:
    /** The editor window's own look and feel, or null when there is no window or
        it carries another one. */
    CvoZkLookAndFeelV1* getEditorLookAndFeel() const;
    /** Runs the pattern command of one of the 18 command buttons; false for any
        other button. */
    bool runPatternCommandOfButton (juce::Button* button);
    void applyMenuLookAndFeel (juce::PopupMenu& menu);

    //==============================================================================
    // References (not owned)
    ZkOstinelAudioProcessor* processor = nullptr;
    ZkOstinelAudioProcessorEditor* editorWindow = nullptr;
    CvoLayoutManager* layoutManager = nullptr;
    CvoParameterManager* parameterManager = nullptr;
    CvoVarItemManager* varItemManager = nullptr;

    //==============================================================================
    // Text, font and layout values
    juce::String versionText;
    std::unique_ptr<juce::Font> mainFont; // height 0.06 x editor height
    float currentHeight = 0.0f;           // [pixels]
    int mainDisplayHeight = 0;            // [pixels]
    float heightScale = 1.0f;             // 2 x currentHeight / mainDisplayHeight
    std::unique_ptr<juce::Rectangle<float>>
        logoArea; // [pixels] product lettering; a click opens the info screen

    //==============================================================================
    // Images. Declared before the controls: the step buttons keep a pointer to the
    // step-link arrow, so the images must outlive them.
    std::unique_ptr<juce::Drawable> productLetteringImage;
    std::unique_ptr<juce::Drawable> presentsLetteringImage;
    std::unique_ptr<juce::Drawable> undoArrowImage;
    std::unique_ptr<juce::Drawable> redoArrowImage;
    std::unique_ptr<juce::Drawable> dropDownArrowImage;
    std::unique_ptr<juce::Drawable> nextArrowImage;
    std::unique_ptr<juce::Drawable> previousArrowImage;
    std::unique_ptr<juce::Drawable> stepLinkArrowImage;
    std::unique_ptr<juce::Drawable> playImage;
    std::unique_ptr<juce::Drawable> playOnImage;
    std::unique_ptr<juce::Drawable> playOffImage;
    std::unique_ptr<juce::Drawable> stopOnImage;
    std::unique_ptr<juce::Drawable> stopOffImage;
    std::unique_ptr<juce::Drawable> autoRunDisabledImage;
    std::unique_ptr<juce::Drawable> autoRunOffImage;
    std::unique_ptr<juce::Drawable> autoRunOnImage;
    std::unique_ptr<juce::Drawable> shiftLeftImage, shiftLeftDownImage;
    std::unique_ptr<juce::Drawable> shiftRightImage, shiftRightDownImage;
    std::unique_ptr<juce::Drawable> copyImage, copyDownImage;
    std::unique_ptr<juce::Drawable> pasteImage, pasteDownImage;
    std::unique_ptr<juce::Drawable> randomImage, randomDownImage;
    std::unique_ptr<juce::Drawable> initImage, initDownImage;
    std::unique_ptr<juce::Drawable> tevlinorLogoImage;
    std::unique_ptr<juce::Drawable> telquarLogoImage;

    //==============================================================================
    // Component lists (not owning)
    juce::Array<juce::Component*> mainComponentList;   // hidden together when the main view is not shown
    juce::Array<juce::Component*> colourComponentList; // recoloured by the colour scheme
    juce::Array<juce::Component*> expertComponentList; // shown only in expert mode

    //==============================================================================
    // Controls
    std::unique_ptr<juce::DrawableButton> settingsPopupButton;

    std::unique_ptr<juce::Label> bottomInfoLabel;
    std::unique_ptr<juce::Label> channelNameLabel;
    std::unique_ptr<CvoPresetNameLabel> presetNameLabel;
    std::unique_ptr<juce::Label> positionLabel;
    std::unique_ptr<juce::Label> timeLabel;
    std::unique_ptr<juce::Label> bpmLabel;
    std::unique_ptr<juce::Label> changedEntityNameLabel;
    std::unique_ptr<juce::Label> changedEntityValueLabel;
    std::unique_ptr<juce::Label> patternLengthLabel;

    juce::TextButton muteAllButton;
    juce::TextButton bypassButton;
    juce::TextButton tripletButton;
    juce::TextButton expertModeButton;
    juce::TextButton lowpassButton;
    juce::TextButton driveButton;
    juce::TextButton echoButton;
    juce::TextButton pingPongButton;
    juce::TextButton globalFxOffButton;
    juce::TextButton saveButton;
    juce::TextButton patternLengthMinusButton;
    juce::TextButton patternLengthPlusButton;

    juce::OwnedArray<CvoStepSeqButton> stepSeqButtons;            // index = step 0..15
    juce::OwnedArray<CvoStepVolumeSlider> stepVolumeSliders;      // index = step 0..15
    juce::OwnedArray<CvoStepCursorLed> stepCursorLeds;            // index = step 0..15
    juce::OwnedArray<CvoSlimBeatCommandsButton> lengthBeatStrips; // index = beat 0..3
    juce::OwnedArray<CvoSlimBeatCommandsButton> volumeBeatStrips; // index = beat 0..3

    std::unique_ptr<CvoRotarySlider> inputGainSlider;
    std::unique_ptr<CvoRotarySlider> mixSlider;
    std::unique_ptr<CvoRotarySlider> outputGainSlider;
    std::unique_ptr<CvoRotarySlider> attackSlider;
    std::unique_ptr<CvoRotarySlider> holdSlider;
    std::unique_ptr<CvoRotarySlider> decaySlider;
    std::unique_ptr<CvoRotarySlider> sustainSlider;
    std::unique_ptr<CvoRotarySlider> releaseSlider;
    std::unique_ptr<CvoRotarySlider> swingSlider;
    std::unique_ptr<CvoRotarySlider> makeUpGainSlider;
    std::unique_ptr<CvoRotarySlider> timeOffsetSlider;
    std::unique_ptr<CvoRotarySlider> shortStepLengthSlider;
    std::unique_ptr<CvoRotarySlider> longStepLengthSlider;
    std::unique_ptr<CvoRotarySlider> lowpassCutoffSlider;
    std::unique_ptr<CvoRotarySlider> lowpassResoSlider;
    std::unique_ptr<CvoRotarySlider> driveInputGainSlider;
    std::unique_ptr<CvoRotarySlider> driveOutputGainSlider;
    std::unique_ptr<CvoRotarySlider> echoLevelSlider;
    std::unique_ptr<CvoRotarySlider> echoFeedbackSlider;
    std::unique_ptr<CvoRotarySlider> zoomSlider;
    std::unique_ptr<CvoRotarySlider> cursorTailSlider;
    std::unique_ptr<CvoRotarySlider> rhythmicLinesSlider;

    std::unique_ptr<juce::DrawableButton> undoButton;
    std::unique_ptr<juce::DrawableButton> redoButton;
    std::unique_ptr<juce::DrawableButton> nextButton;
    std::unique_ptr<juce::DrawableButton> prevButton;
    std::unique_ptr<juce::DrawableButton> runButton;
    std::unique_ptr<juce::DrawableButton> runIndicatorButton;
    std::unique_ptr<juce::DrawableButton> stopIndicatorButton;
    std::unique_ptr<juce::DrawableButton> autoRunIndicatorButton;

    juce::OwnedArray<juce::TextButton> patternSelectButtons; // index = pattern 0..7 (A..H)

    std::unique_ptr<ManagePresetsComponent> managePresetsComponent;
    std::unique_ptr<InfoComponent> infoComponent;

    juce::StringArray echoTypeItems;
    std::unique_ptr<juce::ComboBox> echoTypeComboBox;

    // Pattern-command tabs
    PatternCommandTabContentBackground patternCommandTabBackground;
    juce::TextButton shiftTabButton;
    juce::TextButton copyTabButton;
    juce::TextButton randomTabButton;
    juce::TextButton initTabButton;
    std::unique_ptr<juce::DrawableButton> shiftAllLeftButton, shiftAllRightButton;
    std::unique_ptr<juce::DrawableButton> shiftVolumeLeftButton, shiftVolumeRightButton;
    std::unique_ptr<juce::DrawableButton> shiftLengthLeftButton, shiftLengthRightButton;
    std::unique_ptr<juce::DrawableButton> copyPatternButton, pastePatternButton;
    std::unique_ptr<juce::DrawableButton> copyVolumeButton, pasteVolumeButton;
    std::unique_ptr<juce::DrawableButton> copyLengthButton, pasteLengthButton;
    std::unique_ptr<juce::DrawableButton> randomAllButton, randomVolumeButton, randomLengthButton;
    std::unique_ptr<juce::DrawableButton> initAllButton, initVolumeButton, initLengthButton;
    juce::Array<juce::DrawableButton*> shiftTabButtons;  // six buttons
    juce::Array<juce::DrawableButton*> copyTabButtons;   // six buttons
    juce::Array<juce::DrawableButton*> randomTabButtons; // three buttons
    juce::Array<juce::DrawableButton*> initTabButtons;   // three buttons
    juce::Colour tabIconColour;
    juce::Colour tabIconDownColour;
    float tabButtonAlpha = 0.6f;      // idle command button
    float tabButtonHoverAlpha = 1.0f; // hovered command button
    float tabButtonDimAlpha = 0.2f;   // the other buttons of a hovered group
    PatternCommandTabContentType patternCommandTabContent = PatternCommandTabShift;

    std::unique_ptr<CvoEnvAHDSRComponent> envelopeComponent;
    std::unique_ptr<CvoSyncedWaveDisplayComponent> waveDisplayComponent;

    //==============================================================================
    // Refresh loop state
    bool infoTextHasPriority = false;
    juce::Time lastInfoTextTime{0};
    juce::Time lastPriorityInfoTextTime{0};
    juce::Time lastChangedEntityTime{0};
    double currentPositionInQuarters = 0.0; // [quarter notes]
    double currentBpm = 0.0;                // [BPM]
    int lastStepIndex = -1;                 // step 0..15 lit by the cursor LEDs
    bool settingsPopupMenuIsActive = false;
    juce::Time settingsPopupMenuTime{0};
    bool sliderIsCurrentlyBeingDragged = false;

    //==============================================================================
    // State flags (mirrors of the processor and the surface's own modes)
    bool ioConfigIsOK = false;
    bool isResizing = false;
    bool infoComponentIsVisible = false;
    bool managePresetsComponentIsVisible = false;
    bool expertModeIsActive = false;
    bool bypassIsActive = false;
    bool muteAllIsActive = false;
    bool tripletIsActive = false;
    bool lowpassIsActive = false;
    bool driveIsActive = false;
    bool echoIsActive = false;
    bool globalFxOffIsActive = false;
    bool inputSignalIsMono = false;
    bool isRunning = false;
    bool autoRunInStopModeIsActive = false;
    int currentPatternLengthInBeats = 1; // [beats] 1, 2 or 4
    float colourSchemeBrightness = 0.0f; // 0.0 dark .. 0.3 bright
    juce::Colour currentLightGrey{juce::Colours::transparentBlack};
    bool channelNameIsSet = false;

    //==============================================================================
    // The level meters come last, so that they are deleted first (after the
    // destructor has unregistered them from the audio thread).
    std::unique_ptr<CvoVerticalStereoVuMeter> inputVuMeter;
    std::unique_ptr<CvoVerticalStereoVuMeter> outputVuMeter;

    friend struct MainEditorComponentTestProbe; // tests read the controls and state flags

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainEditorComponent)
};
