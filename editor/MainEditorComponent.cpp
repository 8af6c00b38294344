#include "MainEditorComponent.h"

#include "BinaryData.h"
#include "editor/InfoComponent.h"
#include "editor/ManagePresetsComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/widgets/CvoPresetNameLabel.h"
#include "editor/widgets/CvoZkColours.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"
#include "engine/params/CvoHelper.h"
#include "engine/params/CvoParameterManager.h"
#include "engine/params/CvoVarItemManager.h"

#include <array>

namespace
{
/** An embedded SVG document as a drawable. */
std::unique_ptr<juce::Drawable> makeImage (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t)size);
}

/** An embedded SVG document whose pure black is replaced by the colour. */
std::unique_ptr<juce::Drawable> makeRecolouredImage (const char* data, int size, juce::Colour colour)
{
    auto image = makeImage (data, size);
    if (image != nullptr)
        image->replaceColour (juce::Colours::black, colour);
    return image;
}

constexpr float tabContentButtonWidth = 0.026996626f;
constexpr float tabContentButtonHeight = 0.048f;
} // namespace

MainEditorComponent::MainEditorComponent (ZkOstinelAudioProcessor* processorToUse,
                                          ZkOstinelAudioProcessorEditor* editorWindowToUse)
    : processor (processorToUse)
    , editorWindow (editorWindowToUse)
{
    jassert (processor != nullptr);

    versionText = juce::String ("ZkOstinel") + " v" + "1.0.0";
    setName ("MainEditorComponent");
    addMouseListener (this, true);

    if (editorWindow != nullptr)
        layoutManager = editorWindow->getLayoutManager();
    parameterManager = processor->getParameterManager();
    varItemManager = processor->getVarItemManager();

    initFonts();
    initSvgElements();

    // The order fixes the stacking of the children: later ones lie above.
    addSettingsPopupButton();
    addMainLabels();
    addAllTextButtons();
    addAllStepSeqButtonsAndSliders();
    addAllSlimBeatCommandsButtons();
    addLevelMeters();
    addAllSliders();
    addAllDrawableButtons();
    addAllPatternSelectButtons();
    addManagePresetsComponent();
    addInfoComponent();
    addAllComboBoxes();
    addAllTabs();

    envelopeComponent = std::make_unique<CvoEnvAHDSRComponent>();
    envelopeComponent->setTooltip ("ENVELOPE: this shows the ENVELOPE of the gate");
    addAndMakeVisible (*envelopeComponent);

    // Registered only once fully made: from here on the audio thread pushes into it.
    waveDisplayComponent = std::make_unique<CvoSyncedWaveDisplayComponent> (13);
    waveDisplayComponent->setTooltip ("WAVEDISPLAY: this shows the OUTPUT signal as waveform");
    addAndMakeVisible (*waveDisplayComponent);
    processor->setWaveDisplay (waveDisplayComponent.get());

    startTimer (70);
    updateAll();
}

MainEditorComponent::~MainEditorComponent()
{
    stopTimer();
    juce::PopupMenu::dismissAllActiveMenus();

    // Once these calls have returned the audio thread no longer touches the
    // widgets, which are deleted with the members below.
    processor->setWaveDisplay (nullptr);
    processor->setInputVuMeter (nullptr);
    processor->setOutputVuMeter (nullptr);
}

//==============================================================================
void MainEditorComponent::initFonts()
{
    mainFont = std::make_unique<juce::Font> (CvoZkLookAndFeelV1::createEmbeddedTypeface());
}

void MainEditorComponent::initSvgElements()
{
    using namespace BinaryData;
    const auto darkGrey = juce::Colours::darkgrey;
    const auto active = CvoZkColours::zkcomplementColourA;

    productLetteringImage = makeImage (ZkOstinel_svg, ZkOstinel_svgSize);
    presentsLetteringImage = makeImage (presents_svg, presents_svgSize);
    undoArrowImage = makeImage (UndoCurvedArrow_svg, UndoCurvedArrow_svgSize);
    redoArrowImage = makeImage (RedoCurvedArrow_svg, RedoCurvedArrow_svgSize);
    dropDownArrowImage = makeImage (DropDownArrow_svg, DropDownArrow_svgSize);
    nextArrowImage = makeImage (PlayButton_svg, PlayButton_svgSize);
    previousArrowImage = makeImage (PlayButtonRotated180_svg, PlayButtonRotated180_svgSize);
    stepLinkArrowImage = makeImage (StepLinkArrow_svg, StepLinkArrow_svgSize);

    playImage = makeImage (PlayIcon_svg, PlayIcon_svgSize);
    playOnImage = makeRecolouredImage (PlayIcon_svg, PlayIcon_svgSize, active);
    playOffImage = makeRecolouredImage (PlayIcon_svg, PlayIcon_svgSize, darkGrey);
    stopOnImage = makeRecolouredImage (StopIcon_svg, StopIcon_svgSize, active);
    stopOffImage = makeRecolouredImage (StopIcon_svg, StopIcon_svgSize, darkGrey);
    autoRunDisabledImage =
        makeRecolouredImage (AutoRunIcon_svg, AutoRunIcon_svgSize, darkGrey.withAlpha (0.5f));
    autoRunOffImage = makeRecolouredImage (AutoRunIcon_svg, AutoRunIcon_svgSize, darkGrey);
    autoRunOnImage = makeRecolouredImage (AutoRunIcon_svg, AutoRunIcon_svgSize, active);

    // Recoloured when the tab buttons are made (addTabContentButton).
    shiftLeftImage = makeImage (ShiftLeftIcon_svg, ShiftLeftIcon_svgSize);
    shiftLeftDownImage = makeImage (ShiftLeftIcon_svg, ShiftLeftIcon_svgSize);
    shiftRightImage = makeImage (ShiftRightIcon_svg, ShiftRightIcon_svgSize);
    shiftRightDownImage = makeImage (ShiftRightIcon_svg, ShiftRightIcon_svgSize);
    copyImage = makeImage (CopyIcon_svg, CopyIcon_svgSize);
    copyDownImage = makeImage (CopyIcon_svg, CopyIcon_svgSize);
    pasteImage = makeImage (PasteIcon_svg, PasteIcon_svgSize);
    pasteDownImage = makeImage (PasteIcon_svg, PasteIcon_svgSize);
    randomImage = makeImage (RandomIcon_svg, RandomIcon_svgSize);
    randomDownImage = makeImage (RandomIcon_svg, RandomIcon_svgSize);
    initImage = makeImage (InitIcon_svg, InitIcon_svgSize);
    initDownImage = makeImage (InitIcon_svg, InitIcon_svgSize);

    tevlinorLogoImage = makeImage (TevlinorLogo_svg, TevlinorLogo_svgSize);
    telquarLogoImage = makeImage (TelquarLogo_svg, TelquarLogo_svgSize);
}

//==============================================================================
CvoRotarySlider* MainEditorComponent::addRotarySlider (const juce::String& parameterName,
                                                       const juce::String& tooltip, bool expertOnly)
{
    CvoParameter* parameter =
        parameterManager != nullptr ? parameterManager->getParameter (parameterName) : nullptr;
    const float value = parameter != nullptr ? parameter->getValue() : 0.0f;
    const float defaultValue = parameter != nullptr ? parameter->getDefaultValue() : 0.0f;

    auto* slider = new CvoRotarySlider (parameter);
    slider->setDoubleClickReturnValue (true, defaultValue);
    slider->setTextBoxStyle (juce::Slider::TextBoxBelow, true, 0, 0);
    slider->setRange (0.0, 1.0, 0.0001);
    slider->setTooltip (tooltip);
    slider->setValue (value, juce::dontSendNotification);
    slider->setColour (juce::Slider::textBoxHighlightColourId, CvoZkColours::zkcomplementColourA);

    slider->addListener (this);
    mainComponentList.add (slider);
    colourComponentList.add (slider);
    if (expertOnly)
        expertComponentList.add (slider);
    addAndMakeVisible (slider);
    return slider;
}

void MainEditorComponent::addButton (juce::Button* button, float x, float y, float w, float h,
                                     bool clickingTogglesState, CvoLayoutManager::Align align,
                                     bool sizeFromReferenceHeight)
{
    addAndMakeVisible (button);
    button->setClickingTogglesState (clickingTogglesState);

    button->setColour (juce::TextButton::buttonColourId,
                       CvoZkColours::zkdarkGrey.brighter (colourSchemeBrightness));
    button->setColour (juce::TextButton::buttonOnColourId, CvoZkColours::zkcomplementColourA);
    button->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);

    mainComponentList.add (button);
    colourComponentList.add (button);
    button->addListener (this);

    if (layoutManager != nullptr)
        layoutManager->addComponent (button, x, y, w, h, align, sizeFromReferenceHeight);
}

juce::DrawableButton*
MainEditorComponent::addTabContentButton (const juce::String& name, juce::Drawable* normalImage,
                                          juce::Drawable* downImage, const juce::String& tooltip,
                                          int connectedEdges, float x, float y, float w, float h,
                                          juce::Array<juce::DrawableButton*>& tabButtons)
{
    // The images are shared by every button of one kind; once recoloured, their
    // black is gone, so recolouring them again changes nothing.
    if (normalImage != nullptr)
        normalImage->replaceColour (juce::Colours::black, tabIconColour);
    if (downImage != nullptr)
        downImage->replaceColour (juce::Colours::black, tabIconDownColour);

    auto* button = new juce::DrawableButton (name, juce::DrawableButton::ImageFitted);
    button->setImages (normalImage, normalImage, downImage); // the button keeps copies
    button->setEdgeIndent (0);
    button->setTooltip (tooltip);
    button->setConnectedEdges (connectedEdges);
    button->setAlpha (tabButtonAlpha);

    tabButtons.add (button);
    addButton (button, x, y, w, h, false, CvoLayoutManager::AlignTopLeft, false);
    return button;
}

//==============================================================================
void MainEditorComponent::addAllStepSeqButtonsAndSliders()
{
    for (int step = 0; step < 16; ++step)
    {
        addStepSeqButton (step);
        addStepVolumeSlider (step);
        addStepCursorLed (step);
    }
}

void MainEditorComponent::addStepSeqButton (int step)
{
    const auto name = CvoHelper::getStringWithLeadingZero (step + 1);

    // No parameter carries this name: the handlers write the shown pattern's
    // step length parameter by name.
    auto* button =
        new CvoStepSeqButton (parameterManager != nullptr ? parameterManager->getParameter (name) : nullptr);
    button->setStepLinkDrawable (stepLinkArrowImage.get());
    button->setName (name);
    button->setTooltip ("STEP LENGTH: NoStep, ShortStep, LongStep or StepLink (leftclick=cycle "
                        "forward,right=backwards)");
    button->addListener (this);
    stepSeqButtons.add (button);
    mainComponentList.add (button);
    addChildAndSetID (button, name);
    button->setVisible (true);
}

void MainEditorComponent::addStepVolumeSlider (int step)
{
    const auto name = CvoHelper::getStringWithLeadingZero (step + 1);

    auto* slider = new CvoStepVolumeSlider (
        parameterManager != nullptr ? parameterManager->getParameter (name) : nullptr);
    slider->setName (name);
    slider->setTooltip ("STEP VOLUME: this controls the VOLUME for that step");
    slider->addListener (this);
    slider->setStepSeqButton (stepSeqButtons[step]);
    stepVolumeSliders.add (slider);
    mainComponentList.add (slider);
    addAndMakeVisible (slider);
}

void MainEditorComponent::addStepCursorLed (int step)
{
    auto* led = new CvoStepCursorLed();
    led->setName ("StepCursor-" + CvoHelper::getStringWithLeadingZero (step));
    stepCursorLeds.add (led);
    mainComponentList.add (led);
    addAndMakeVisible (led);
}

//==============================================================================
void MainEditorComponent::addSettingsPopupButton()
{
    settingsPopupButton = std::make_unique<juce::DrawableButton> (
        "SettingsPopupButton", juce::DrawableButton::ImageOnButtonBackground);
    settingsPopupButton->setImages (dropDownArrowImage.get());
    addAndMakeVisible (*settingsPopupButton);
    settingsPopupButton->setColour (juce::TextButton::buttonColourId,
                                    CvoZkColours::zkdarkGrey.brighter (0.3f));
    settingsPopupButton->addListener (this);
    settingsPopupButton->setTooltip ("click to open the popup menu !");
}

void MainEditorComponent::addMainLabels()
{
    const auto setEditorColours = [] (juce::Label& label)
    {
        label.setColour (juce::TextEditor::backgroundColourId, juce::Colours::white);
        label.setColour (juce::TextEditor::highlightColourId, CvoZkColours::zkcomplementColourA);
        label.setColour (juce::TextEditor::outlineColourId, juce::Colours::black);
        label.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colours::black);
    };

    bottomInfoLabel = std::make_unique<juce::Label> ("Bottom Info Label", versionText);
    bottomInfoLabel->setJustificationType (juce::Justification::bottomLeft);
    bottomInfoLabel->setEditable (false, false, false);
    addAndMakeVisible (*bottomInfoLabel);

    channelNameLabel = std::make_unique<juce::Label> ("Channel Name Label", "");
    channelNameLabel->setTooltip ("CHANNEL NAME: this can be used to set a name for this plugin channel");
    channelNameLabel->setJustificationType (juce::Justification::centred);
    channelNameLabel->setEditable (true, true, true);
    setEditorColours (*channelNameLabel);
    channelNameLabel->addListener (this);
    addAndMakeVisible (*channelNameLabel);

    presetNameLabel = std::make_unique<CvoPresetNameLabel> (
        39, "Preset Name Label", "insert your preset name here", processor->getAllowedCharsForPresetNames());
    updatePresetNameFromPluginProcessor();
    presetNameLabel->setTooltip ("PRESET NAME: name of the current preset, double-click to edit");
    presetNameLabel->setJustificationType (juce::Justification::centred);
    presetNameLabel->setEditable (false, true, true);
    presetNameLabel->setColour (juce::Label::textColourId, juce::Colours::darkgrey);
    setEditorColours (*presetNameLabel);
    mainComponentList.add (presetNameLabel.get());
    presetNameLabel->addListener (this);
    addAndMakeVisible (*presetNameLabel);

    const auto makeReadOut = [this] (std::unique_ptr<juce::Label>& label, const juce::String& name,
                                     const juce::String& text, const juce::String& tooltip,
                                     juce::Justification justification, juce::Colour textColour)
    {
        label = std::make_unique<juce::Label> (name, text);
        label->setTooltip (tooltip);
        label->setJustificationType (justification);
        label->setEditable (false, false, false);
        label->setColour (juce::Label::textColourId, textColour);
        addAndMakeVisible (*label);
    };

    makeReadOut (positionLabel, "Position Label", "001.1.000",
                 "POSITION LABEL: this shows the current POSITION in bars.beats.ppq",
                 juce::Justification::left, juce::Colours::darkgrey);
    makeReadOut (timeLabel, "Time Label", "00:00:00", "TIME LABEL: this shows the current TIME in min:sec",
                 juce::Justification::left, juce::Colours::darkgrey);
    makeReadOut (bpmLabel, "BPM Label", "000.00 BPM", "BPM LABEL: this shows the current TEMPO in BPM",
                 juce::Justification::right, juce::Colours::darkgrey);
    if (layoutManager != nullptr)
        layoutManager->addComponent (bpmLabel.get(), 0.57f, 0.767f, 0.1f, 0.05f,
                                     CvoLayoutManager::AlignTopLeft, false);

    makeReadOut (changedEntityNameLabel, "Changed Entity Name Label", "", "", juce::Justification::centred,
                 juce::Colours::white);
    mainComponentList.add (changedEntityNameLabel.get());
    if (layoutManager != nullptr)
        layoutManager->addComponent (changedEntityNameLabel.get(), 0.4f, 0.859f, 0.2f, 0.04f,
                                     CvoLayoutManager::AlignTopLeft, false);

    makeReadOut (changedEntityValueLabel, "Changed Entity Value Label", "", "", juce::Justification::centred,
                 juce::Colours::white);
    mainComponentList.add (changedEntityValueLabel.get());
    if (layoutManager != nullptr)
        layoutManager->addComponent (changedEntityValueLabel.get(), 0.45f, 0.767f, 0.1f, 0.05f,
                                     CvoLayoutManager::AlignTopLeft, false);

    makeReadOut (patternLengthLabel, "Pattern Length Label", "0", "", juce::Justification::centred,
                 juce::Colours::darkgrey);
    mainComponentList.add (patternLengthLabel.get());
}

void MainEditorComponent::addAllTextButtons()
{
    using Layout = CvoLayoutManager;

    // Buttons that resized places: the colours of addButton, the lists and the
    // listener, without a layout-manager entry.
    const auto addManualButton = [this] (juce::TextButton& button, bool togglesState)
    {
        addAndMakeVisible (button);
        button.setClickingTogglesState (togglesState);
        button.setColour (juce::TextButton::buttonColourId,
                          CvoZkColours::zkdarkGrey.brighter (colourSchemeBrightness));
        button.setColour (juce::TextButton::buttonOnColourId, CvoZkColours::zkcomplementColourA);
        button.setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
        mainComponentList.add (&button);
        colourComponentList.add (&button);
        button.addListener (this);
    };

    muteAllButton.setButtonText ("MUTE ALL");
    muteAllButton.setTooltip ("MUTE ALL: mute the input signal");
    addButton (&muteAllButton, 0.01f, 0.855f, 0.09f, 0.03f, true, Layout::AlignTopLeft, true);
    mainComponentList.removeFirstMatchingValue (&muteAllButton);

    bypassButton.setButtonText ("BYPASS");
    bypassButton.setTooltip ("BYPASS: bypass the whole plugin");
    addButton (&bypassButton, 0.111f, 0.855f, 0.09f, 0.03f, true, Layout::AlignTopRight, true);
    mainComponentList.removeFirstMatchingValue (&bypassButton);

    tripletButton.setButtonText ("TRIPLET");
    tripletButton.setTooltip ("TRIPLET: turn 'TRIPLET MODE' for current pattern ON/OFF");
    addManualButton (tripletButton, true);

    expertModeButton.setButtonText ("EXPERT MODE");
    expertModeButton.setTooltip ("EXPERT MODE: show/hide all EXPERT options");
    addButton (&expertModeButton, 0.009f, 0.097f, 0.128f, 0.0455f, true, Layout::AlignTopLeft, false);

    lowpassButton.setButtonText ("LOWPASS");
    lowpassButton.setTooltip ("LOWPASS FILTER ACTIVE: turn the LOWPASS FILTER on/off");
    addButton (&lowpassButton, 0.324f, 0.445f, 0.059f, 0.0455f, true, Layout::AlignTopLeft, false);
    expertComponentList.add (&lowpassButton);

    driveButton.setButtonText ("DRIVE");
    driveButton.setTooltip ("DRIVE ACTIVE: turn the DRIVE (DISTORTION) on/off");
    addButton (&driveButton, 0.395f, 0.445f, 0.059f, 0.0455f, true, Layout::AlignTopLeft, false);
    expertComponentList.add (&driveButton);

    echoButton.setButtonText ("ECHO / DELAY");
    echoButton.setTooltip ("ECHO/DELAY ACTIVE: turn the ECHO/DELAY on/off");
    addButton (&echoButton, 0.546f, 0.445f, 0.13f, 0.0455f, true, Layout::AlignTopLeft, false);
    expertComponentList.add (&echoButton);

    pingPongButton.setButtonText ("PINGPONG");
    pingPongButton.setTooltip ("PING PONG: turn the PING PING mode in ECHO/DELAY on/off");
    addButton (&pingPongButton, 0.601f, 0.66475f, 0.0708f, 0.0455f, true, Layout::AlignTopLeft, false);
    expertComponentList.add (&pingPongButton);

    globalFxOffButton.setButtonText ("GLOBAL FX OFF");
    globalFxOffButton.setTooltip (
        "GLOBAL FX OFF: de-activate ALL FX (Filter,Drive,Echo) temporarily for ALL PRESETS & PATTERNS");
    addButton (&globalFxOffButton, 0.863f, 0.097f, 0.126f, 0.0455f, true, Layout::AlignTopLeft, false);

    saveButton.setButtonText ("SAVE");
    saveButton.setTooltip ("SAVE: click to save the current preset as USER preset");
    addButton (&saveButton, 0.15f, 0.097f, 0.055f, 0.02275f, false, Layout::AlignTopLeft, true);

    patternLengthMinusButton.setButtonText ("-");
    patternLengthMinusButton.setTooltip ("PATTERN LENGTH (-): click to shorten the pattern length");
    addManualButton (patternLengthMinusButton, false);

    patternLengthPlusButton.setButtonText ("+");
    patternLengthPlusButton.setTooltip ("PATTERN LENGTH (+): click to extend the pattern length");
    addManualButton (patternLengthPlusButton, false);
}

void MainEditorComponent::addAllSlimBeatCommandsButtons()
{
    for (int beat = 0; beat < 4; ++beat)
    {
        for (auto* strips : {&lengthBeatStrips, &volumeBeatStrips})
        {
            auto* strip = new CvoSlimBeatCommandsButton (this);
            strip->addChangeListener (this);
            addAndMakeVisible (strip);
            strips->add (strip);
            mainComponentList.add (strip);
            colourComponentList.add (strip);
        }
    }
}

void MainEditorComponent::addLevelMeters()
{
    // Each meter is complete before its registration: from then on the audio
    // thread pushes into it.
    inputVuMeter = std::make_unique<CvoVerticalStereoVuMeter>();
    inputVuMeter->setLevelOverColour (CvoZkColours::zkmainColour);
    inputVuMeter->setTooltip ("INPUT VU METER: this show the level of the INPUT SIGNAL (click to reset)");
    addAndMakeVisible (*inputVuMeter);
    processor->setInputVuMeter (inputVuMeter.get());

    outputVuMeter = std::make_unique<CvoVerticalStereoVuMeter>();
    outputVuMeter->setLevelOverColour (CvoZkColours::zkmainColour);
    outputVuMeter->setTooltip ("OUTPUT VU METER: this show the level of the OUTPUT SIGNAL (click to reset)");
    addAndMakeVisible (*outputVuMeter);
    processor->setOutputVuMeter (outputVuMeter.get());
}

void MainEditorComponent::addAllSliders()
{
    const auto add = [this] (std::unique_ptr<CvoRotarySlider>& slider, const char* parameterName,
                             const char* tooltip, bool expertOnly)
    { slider.reset (addRotarySlider (parameterName, tooltip, expertOnly)); };

    add (inputGainSlider, "InputGain", "INPUT GAIN: control the level of the INPUT signal of the plugin",
         false);
    add (mixSlider, "Mix", "MIX: control the mix amount of the GATED signal", false);
    add (outputGainSlider, "OutputGain", "OUTPUT GAIN: control the level of the OUTPUT signal", false);
    add (attackSlider, "Attack", "ATTACK: control the ATTACK TIME of the gate envelope", false);
    add (holdSlider, "Hold", "HOLD: control the HOLD TIME of the gate envelope", false);
    add (decaySlider, "Decay", "DECAY: control the DECAY TIME of the gate envelope", false);
    add (sustainSlider, "Sustain", "SUSTAIN: control the SUSTAIN LEVEL of the gate envelope", false);
    add (releaseSlider, "Release", "RELEASE: control the RELEASE TIME of the gate envelope", false);
    add (swingSlider, "Swing", "SWING: control the amount of SWING in timing for the whole gate pattern",
         false);
    add (makeUpGainSlider, "MakeUpGain",
         "MAKE UP GAIN: control the additional gain of the GATED signal (ONLY THE GATED)", false);
    add (timeOffsetSlider, "TimeOffset",
         "TIME OFFSET: control the TIME OFFSET (-/+) of the whole gate pattern", false);
    add (shortStepLengthSlider, "ShortStepLength",
         "SHORT STEP LENGTH: control the sustain length of a SHORT STEP", false);
    add (longStepLengthSlider, "LongStepLength",
         "LONG STEP LENGTH: control the sustain length of a LONG STEP", false);
    add (lowpassCutoffSlider, "LowpassCutoff",
         "LOWPASS CUTOFF: control the CUTOFF FREQUENCY of the lowpass filter", true);
    add (lowpassResoSlider, "LowpassReso", "LOWPASS RESONANCE: control the RESONANCE of the lowpass filter",
         true);
    add (driveInputGainSlider, "DriveInputGain", "DRIVE INPUT GAIN: control the INPUT GAIN of the DRIVE",
         true);
    add (driveOutputGainSlider, "DriveOutputGain", "DRIVE OUTPUT GAIN: control the OUTPUT GAIN of the DRIVE",
         true);
    add (echoLevelSlider, "EchoLevel", "ECHO LEVEL: control the LEVEL/VOLUME of the ECHO (DELAY FX)", true);
    add (echoFeedbackSlider, "EchoFeedback",
         "FEEDBACK: control the amount of FEEDBACK of the ECHO (DELAY FX)", true);

    // The input and output gain stay visible in some reduced views (visibility rules).
    mainComponentList.removeFirstMatchingValue (inputGainSlider.get());
    mainComponentList.removeFirstMatchingValue (outputGainSlider.get());

    // The three waveform display knobs carry no parameter; they write settings.
    add (zoomSlider, "", "ZOOM: control the vertical zoom of the WaveDisplay", true);
    add (cursorTailSlider, "",
         "CURSOR TAIL BRIGHTNESS: control the brightness of the cursor tail in WaveDisplay", true);
    add (rhythmicLinesSlider, "",
         "RHYTHMIC LINES BRIGHTNESS: control the brightness of the vertical rhythmic lines in WaveDisplay",
         true);

    zoomSlider->setRange (-1.0, 1.0, 0.0);
    zoomSlider->setDoubleClickReturnValue (true, 0.0);
    zoomSlider->setValue (0.0, juce::dontSendNotification);

    for (auto* brightnessSlider : {cursorTailSlider.get(), rhythmicLinesSlider.get()})
    {
        brightnessSlider->setDoubleClickReturnValue (true, 0.5);
        brightnessSlider->setValue (0.5, juce::dontSendNotification);
    }
}

void MainEditorComponent::addAllDrawableButtons()
{
    using Layout = CvoLayoutManager;
    const auto make = [] (const char* name, juce::DrawableButton::ButtonStyle style, const char* tooltip)
    {
        auto button = std::make_unique<juce::DrawableButton> (name, style);
        button->setTooltip (tooltip);
        return button;
    };

    undoButton = make ("UNDO", juce::DrawableButton::ImageOnButtonBackground,
                       "UNDO: take back the latest parameter change");
    undoButton->setImages (undoArrowImage.get());
    addButton (undoButton.get(), 0.662f, 0.017f, 0.028f, 0.028f, false, Layout::AlignTopLeft, true);
    mainComponentList.removeFirstMatchingValue (undoButton.get());

    redoButton = make ("REDO", juce::DrawableButton::ImageOnButtonBackground,
                       "REDO: take back the latest UNDO command");
    redoButton->setImages (redoArrowImage.get());
    addButton (redoButton.get(), 0.697f, 0.017f, 0.028f, 0.028f, false, Layout::AlignTopLeft, true);
    mainComponentList.removeFirstMatchingValue (redoButton.get());

    nextButton =
        make ("NEXT", juce::DrawableButton::ImageOnButtonBackground, "NEXT PRESET: load the next preset");
    nextButton->setImages (nextArrowImage.get());
    addButton (nextButton.get(), 0.797f, 0.097f, 0.045f, 0.02275f, false, Layout::AlignTopLeft, true);

    prevButton =
        make ("PREV", juce::DrawableButton::ImageOnButtonBackground, "PREV PRESET: load the previous preset");
    prevButton->setImages (previousArrowImage.get());
    addButton (prevButton.get(), 0.742f, 0.097f, 0.045f, 0.02275f, false, Layout::AlignTopLeft, true);

    runButton = make ("RUN", juce::DrawableButton::ImageOnButtonBackground,
                      "RUN: manually switch between RUN-/STOP-STATE");
    runButton->setImages (playImage.get());
    addButton (runButton.get(), 0.4705f, 0.491f, 0.059f, 0.0455f, true, Layout::AlignTopLeft, false);

    // Display only: disabled, showing the disabled images (off, or on when toggled).
    runIndicatorButton = make ("RUN-INDICATOR", juce::DrawableButton::ImageFitted,
                               "RUN-INDICATOR: this shows the current RUN-/STOP-STATE");
    runIndicatorButton->setImages (playOffImage.get(), nullptr, nullptr, playOffImage.get(),
                                   playOnImage.get(), nullptr, nullptr, playOnImage.get());
    addButton (runIndicatorButton.get(), 0.628f, 0.812f, 0.02f, 0.043f, true, Layout::AlignTopLeft, false);
    runIndicatorButton->setEnabled (false);

    stopIndicatorButton = make ("STOP-INDICATOR", juce::DrawableButton::ImageFitted,
                                "STOP-INDICATOR: this shows the current RUN-/STOP-STATE");
    stopIndicatorButton->setImages (stopOffImage.get(), nullptr, nullptr, stopOffImage.get(),
                                    stopOnImage.get(), nullptr, nullptr, stopOnImage.get());
    addButton (stopIndicatorButton.get(), 0.652f, 0.812f, 0.02f, 0.043f, true, Layout::AlignTopLeft, false);
    stopIndicatorButton->setEnabled (false);

    autoRunIndicatorButton =
        make ("AUTORUN-INDICATOR", juce::DrawableButton::ImageFitted,
              "AUTORUN-INDICATOR: this shows current AUTORUN-STATE,if gate runs automatically in StopMode");
    autoRunIndicatorButton->setImages (autoRunOffImage.get(), nullptr, nullptr, autoRunDisabledImage.get(),
                                       autoRunOnImage.get(), nullptr, nullptr, autoRunDisabledImage.get());
    addButton (autoRunIndicatorButton.get(), 0.627f, 0.853f, 0.045454547f, 0.05f, false, Layout::AlignTopLeft,
               false);
}

void MainEditorComponent::addAllPatternSelectButtons()
{
    for (int i = 0; i < 8; ++i)
    {
        const auto letter = CvoHelper::digitFrom1To8ToACharAsString (i + 1);
        auto* button = new juce::TextButton (letter);
        button->setTooltip ("PATTERN-SELECT: switch to pattern " + letter);
        button->setClickingTogglesState (true);
        button->setRadioGroupId (1, juce::dontSendNotification);
        button->addListener (this);
        button->setColour (juce::TextButton::buttonOnColourId, CvoZkColours::zkcomplementColourA);
        patternSelectButtons.add (button);
        mainComponentList.add (button);
        colourComponentList.add (button);
        addAndMakeVisible (button);
        expertComponentList.add (button);
    }

    patternSelectButtons[0]->setToggleState (true, juce::dontSendNotification);
}

void MainEditorComponent::addManagePresetsComponent()
{
    managePresetsComponent = std::make_unique<ManagePresetsComponent> (processor, this, mainFont.get());
    addAndMakeVisible (*managePresetsComponent);
    managePresetsComponent->setVisible (false);
}

void MainEditorComponent::addInfoComponent()
{
    infoComponent = std::make_unique<InfoComponent> (processor, this, mainFont.get());
    addAndMakeVisible (*infoComponent);
    infoComponent->setVisible (false);
}

void MainEditorComponent::addAllComboBoxes()
{
    echoTypeItems = juce::StringArray ({"1/16", "1/8", "3/16", "1/4", "1/8T", "2/8T"});

    echoTypeComboBox = std::make_unique<juce::ComboBox> ("");
    echoTypeComboBox->addItemList (echoTypeItems, 1);
    echoTypeComboBox->setEditableText (false);
    echoTypeComboBox->setSelectedItemIndex (2, juce::dontSendNotification);
    mainComponentList.add (echoTypeComboBox.get());
    colourComponentList.add (echoTypeComboBox.get());
    expertComponentList.add (echoTypeComboBox.get());
    echoTypeComboBox->addListener (this);
    addAndMakeVisible (*echoTypeComboBox);
}

void MainEditorComponent::addAllTabs()
{
    tabButtonAlpha = 0.6f;
    tabButtonHoverAlpha = 1.0f;
    tabButtonDimAlpha = 0.2f;
    tabIconColour = CvoZkColours::zkdarkGrey.darker (0.2f);
    patternCommandTabBackground.setColours (tabIconColour.withAlpha (0.6f), tabIconColour.withAlpha (1.0f),
                                            tabIconColour.withAlpha (0.2f));
    tabIconDownColour = juce::Colours::lightgrey;

    addAndMakeVisible (patternCommandTabBackground);
    if (layoutManager != nullptr)
        layoutManager->addComponent (&patternCommandTabBackground, 0.065f, 0.169f, 0.151f, 0.245f,
                                     CvoLayoutManager::AlignTopLeft, false);
    mainComponentList.add (&patternCommandTabBackground);
    expertComponentList.add (&patternCommandTabBackground);

    // The tab buttons stacked at the left edge, one row each: the button, its
    // caption and help text, its top [fraction of the height] and the edges it
    // shares with the rows above and below.
    struct TabButtonRow
    {
        juce::TextButton* button;
        const char* caption;
        const char* tooltip;
        float y;
        int connectedEdges;
    };
    const TabButtonRow tabs[] = {
        {&shiftTabButton, "SHIFT", "SHIFT: show all SHIFT pattern command buttons", 0.1935f,
         juce::Button::ConnectedOnBottom},
        {&copyTabButton, "COPY", "COPY: show all COPY pattern command buttons", 0.2425f,
         juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom},
        {&randomTabButton, "RAND", "RANDOM: show all RANDOM pattern command buttons", 0.2915f,
         juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom},
        {&initTabButton, "INIT", "INIT: show all INIT pattern command buttons", 0.3405f,
         juce::Button::ConnectedOnTop},
    };
    for (const auto& tab : tabs)
    {
        tab.button->setButtonText (tab.caption);
        tab.button->setTooltip (tab.tooltip);
        tab.button->setRadioGroupId (2, juce::sendNotification);
        tab.button->setConnectedEdges (tab.connectedEdges);
        addButton (tab.button, 0.01f, tab.y, 0.0469f, 0.049f, true, CvoLayoutManager::AlignTopLeft, false);
        expertComponentList.add (tab.button);
    }

    constexpr int left = juce::Button::ConnectedOnLeft;
    constexpr int right = juce::Button::ConnectedOnRight;
    constexpr float w = tabContentButtonWidth;
    constexpr float h = tabContentButtonHeight;
    const auto addToExpertList = [this] (const juce::Array<juce::DrawableButton*>& buttons)
    {
        for (auto* button : buttons)
            expertComponentList.add (button);
    };

    // Each tab holds the rows ALL, VOLUME and LENGTH, made in that order. The ALL
    // row (y 0.266) lies between the VOLUME row (0.211) and the LENGTH row (0.321),
    // as the background's connector lines show.
    struct TabContentButtonText
    {
        std::unique_ptr<juce::DrawableButton>* button;
        const char* name;
        const char* tooltip;
    };
    using TabRows = std::array<TabContentButtonText, 3>;
    static constexpr float rowY[] = {0.266f, 0.211f, 0.321f};

    // SHIFT and COPY: two buttons a row, joined in the middle.
    const auto addPairedRows = [&] (juce::Drawable* firstImage, juce::Drawable* firstDownImage,
                                    const TabRows& firstButtons, juce::Drawable* secondImage,
                                    juce::Drawable* secondDownImage, const TabRows& secondButtons,
                                    juce::Array<juce::DrawableButton*>& tabButtons)
    {
        static constexpr float firstX[] = {0.07425337f, 0.13163337f, 0.13163337f};
        static constexpr float secondX[] = {0.10425f, 0.16163f, 0.16163f};

        for (size_t row = 0; row < 3; ++row)
        {
            const auto& first = firstButtons[row];
            first.button->reset (addTabContentButton (first.name, firstImage, firstDownImage, first.tooltip,
                                                      right, firstX[row], rowY[row], w, h, tabButtons));
            const auto& second = secondButtons[row];
            second.button->reset (addTabContentButton (second.name, secondImage, secondDownImage,
                                                       second.tooltip, left, secondX[row], rowY[row], w, h,
                                                       tabButtons));
        }

        addToExpertList (tabButtons);
    };

    // RANDOM and INIT: one button a row.
    const auto addSingleRows = [&] (juce::Drawable* image, juce::Drawable* downImage, const TabRows& buttons,
                                    juce::Array<juce::DrawableButton*>& tabButtons)
    {
        static constexpr float rowX[] = {0.08925168f, 0.14663169f, 0.14663169f};

        for (size_t row = 0; row < 3; ++row)
            buttons[row].button->reset (addTabContentButton (buttons[row].name, image, downImage,
                                                             buttons[row].tooltip, 0, rowX[row], rowY[row], w,
                                                             h, tabButtons));

        addToExpertList (tabButtons);
    };

    addPairedRows (shiftLeftImage.get(), shiftLeftDownImage.get(),
                   TabRows{{{&shiftAllLeftButton, "SHIFT ALL LEFT",
                             "SHIFT ALL LEFT: shift all VOLUME and LENGTH values one step LEFT"},
                            {&shiftVolumeLeftButton, "SHIFT VOLUME LEFT",
                             "SHIFT VOLUME LEFT: shift all VOLUME values one step LEFT"},
                            {&shiftLengthLeftButton, "SHIFT LENGTH LEFT",
                             "SHIFT LENGTH LEFT: shift all LENGTH values one step LEFT"}}},
                   shiftRightImage.get(), shiftRightDownImage.get(),
                   TabRows{{{&shiftAllRightButton, "SHIFT ALL RIGHT",
                             "SHIFT ALL RIGHT: shift all VOLUME and LENGTH values one step RIGHT"},
                            {&shiftVolumeRightButton, "SHIFT VOLUME RIGHT",
                             "SHIFT VOLUME RIGHT: shift all VOLUME values one step RIGHT"},
                            {&shiftLengthRightButton, "SHIFT LENGTH RIGHT",
                             "SHIFT LENGTH RIGHT: shift all LENGTH values one step RIGHT"}}},
                   shiftTabButtons);

    addPairedRows (
        copyImage.get(), copyDownImage.get(),
        TabRows{{{&copyPatternButton, "COPY PATTERN",
                  "COPY PATTERN: copy current gate PATTERN into clipboard (incl PATTERN LENGTH & TRIPLET)"},
                 {&copyVolumeButton, "COPY VOLUME",
                  "COPY VOLUME: copy all current STEP VOLUME values into clipboard"},
                 {&copyLengthButton, "COPY LENGTH",
                  "COPY LENGTH: copy all current STEP LENGTH values into clipboard"}}},
        pasteImage.get(), pasteDownImage.get(),
        TabRows{
            {{&pastePatternButton, "PASTE PATTERN",
              "PASTE PATTERN: paste the whole gate PATTERN from clipboard (incl PATTERN LENGTH & TRIPLET)"},
             {&pasteVolumeButton, "PASTE VOLUME",
              "PASTE VOLUME: paste all current STEP VOLUME values from clipboard"},
             {&pasteLengthButton, "PASTE LENGTH",
              "PASTE LENGTH: paste all current STEP LENGTH values from clipboard"}}},
        copyTabButtons);

    addSingleRows (randomImage.get(), randomDownImage.get(),
                   TabRows{{{&randomAllButton, "RANDOM ALL",
                             "RANDOM ALL: create all random STEP VOLUME and LENGTH values in this pattern"},
                            {&randomVolumeButton, "RANDOM VOLUME",
                             "RANDOM VOLUME: create random STEP VOLUME values in this pattern"},
                            {&randomLengthButton, "RANDOM LENGTH",
                             "RANDOM LENGTH: create random STEP LENGTH values in this pattern"}}},
                   randomTabButtons);

    addSingleRows (initImage.get(), initDownImage.get(),
                   TabRows{{{&initAllButton, "INIT ALL",
                             "INIT ALL: initialize all STEP VOLUME and LENGTH values in this pattern"},
                            {&initVolumeButton, "INIT VOLUME",
                             "INIT VOLUME: initialize all STEP VOLUME values in this pattern"},
                            {&initLengthButton, "INIT LENGTH",
                             "INIT LENGTH: initialize all STEP LENGTH values in this pattern"}}},
                   initTabButtons);

    patternCommandTabContent = PatternCommandTabShift;
}

//==============================================================================
void MainEditorComponent::setSettingsPopupMenuIsActive (bool isActive)
{
    settingsPopupMenuIsActive = isActive;
}

void MainEditorComponent::setVisibilityOfTabContentComponents (juce::Array<juce::DrawableButton*>& tabButtons,
                                                               bool shouldBeVisible)
{
    for (auto* button : tabButtons)
        button->setVisible (shouldBeVisible);
}

void MainEditorComponent::toggleAutoRunInStopModeState()
{
    autoRunInStopModeIsActive = !autoRunInStopModeIsActive;
    processor->setVarItemValue ("viAutoRunInStopMode", juce::var (autoRunInStopModeIsActive));
}

void MainEditorComponent::changeComponentNormalColour (juce::Component* component, juce::Colour colour)
{
    if (component == nullptr)
        return;

    component->setColour (juce::TextButton::buttonColourId, colour);
    component->setColour (juce::Slider::backgroundColourId, colour);
    component->setColour (juce::ComboBox::backgroundColourId, colour);

    // Setting the look and feel again makes the component draw the new colours.
    if (auto* editorLookAndFeel = getEditorLookAndFeel())
        component->setLookAndFeel (editorLookAndFeel);
}

CvoZkLookAndFeelV1* MainEditorComponent::getEditorLookAndFeel() const
{
    return editorWindow != nullptr ? editorWindow->getLookAndFeel() : nullptr;
}
