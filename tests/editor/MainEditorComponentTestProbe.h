#pragma once

#include "editor/InfoComponent.h"
#include "editor/MainEditorComponent.h"
#include "editor/ManagePresetsComponent.h"
#include "editor/widgets/CvoPresetNameLabel.h"

/**
    Test access to the main editor surface's controls, component lists and state
    flags (the surface declares this struct a friend). The flags that only the
    refresh loop sets from the processor (expert mode, mono input, the
    input/output check) can be prepared here.
*/
struct MainEditorComponentTestProbe
{
    explicit MainEditorComponentTestProbe (MainEditorComponent& s)
        : surface (s)
    {
    }

    const juce::Array<juce::Component*>& mainList() const { return surface.mainComponentList; }
    const juce::Array<juce::Component*>& colourList() const { return surface.colourComponentList; }
    const juce::Array<juce::Component*>& expertList() const { return surface.expertComponentList; }

    juce::TextButton& muteAll() { return surface.muteAllButton; }
    juce::TextButton& bypass() { return surface.bypassButton; }
    juce::TextButton& triplet() { return surface.tripletButton; }
    juce::TextButton& expertMode() { return surface.expertModeButton; }
    juce::TextButton& lowpass() { return surface.lowpassButton; }
    juce::TextButton& drive() { return surface.driveButton; }
    juce::TextButton& echo() { return surface.echoButton; }
    juce::TextButton& pingPong() { return surface.pingPongButton; }
    juce::TextButton& globalFxOff() { return surface.globalFxOffButton; }
    juce::TextButton& save() { return surface.saveButton; }
    juce::TextButton& patternLengthMinus() { return surface.patternLengthMinusButton; }
    juce::TextButton& patternLengthPlus() { return surface.patternLengthPlusButton; }
    juce::TextButton& shiftTab() { return surface.shiftTabButton; }
    juce::TextButton& copyTab() { return surface.copyTabButton; }
    juce::TextButton& randomTab() { return surface.randomTabButton; }
    juce::TextButton& initTab() { return surface.initTabButton; }

    juce::DrawableButton& undo() { return *surface.undoButton; }
    juce::DrawableButton& redo() { return *surface.redoButton; }
    juce::DrawableButton& run() { return *surface.runButton; }
    juce::DrawableButton& runIndicator() { return *surface.runIndicatorButton; }
    juce::DrawableButton& stopIndicator() { return *surface.stopIndicatorButton; }
    juce::DrawableButton& autoRunIndicator() { return *surface.autoRunIndicatorButton; }
    juce::DrawableButton& settingsPopup() { return *surface.settingsPopupButton; }

    CvoRotarySlider& inputGain() { return *surface.inputGainSlider; }
    CvoRotarySlider& outputGain() { return *surface.outputGainSlider; }
    CvoRotarySlider& lowpassCutoff() { return *surface.lowpassCutoffSlider; }
    CvoRotarySlider& lowpassReso() { return *surface.lowpassResoSlider; }
    CvoRotarySlider& driveInputGain() { return *surface.driveInputGainSlider; }
    CvoRotarySlider& driveOutputGain() { return *surface.driveOutputGainSlider; }
    CvoRotarySlider& echoLevel() { return *surface.echoLevelSlider; }
    CvoRotarySlider& echoFeedback() { return *surface.echoFeedbackSlider; }
    CvoRotarySlider& zoom() { return *surface.zoomSlider; }
    CvoRotarySlider& cursorTail() { return *surface.cursorTailSlider; }
    CvoRotarySlider& rhythmicLines() { return *surface.rhythmicLinesSlider; }
    juce::ComboBox& echoType() { return *surface.echoTypeComboBox; }

    juce::Label& bottomInfo() { return *surface.bottomInfoLabel; }
    juce::Label& channelName() { return *surface.channelNameLabel; }
    juce::Label& patternLengthLabel() { return *surface.patternLengthLabel; }

    CvoStepSeqButton& stepButton (int i) { return *surface.stepSeqButtons.getUnchecked (i); }
    CvoStepVolumeSlider& stepVolume (int i) { return *surface.stepVolumeSliders.getUnchecked (i); }
    CvoStepCursorLed& stepLed (int i) { return *surface.stepCursorLeds.getUnchecked (i); }
    CvoSlimBeatCommandsButton& lengthStrip (int beat)
    {
        return *surface.lengthBeatStrips.getUnchecked (beat);
    }
    CvoSlimBeatCommandsButton& volumeStrip (int beat)
    {
        return *surface.volumeBeatStrips.getUnchecked (beat);
    }
    juce::TextButton& patternButton (int i) { return *surface.patternSelectButtons.getUnchecked (i); }
    PatternCommandTabContentBackground& tabBackground() { return surface.patternCommandTabBackground; }
    const juce::Array<juce::DrawableButton*>& shiftGroup() const { return surface.shiftTabButtons; }
    const juce::Array<juce::DrawableButton*>& copyGroup() const { return surface.copyTabButtons; }
    const juce::Array<juce::DrawableButton*>& randomGroup() const { return surface.randomTabButtons; }
    const juce::Array<juce::DrawableButton*>& initGroup() const { return surface.initTabButtons; }

    CvoEnvAHDSRComponent& envelope() { return *surface.envelopeComponent; }
    CvoSyncedWaveDisplayComponent* waveDisplay() { return surface.waveDisplayComponent.get(); }
    CvoVerticalStereoVuMeter* inputMeter() { return surface.inputVuMeter.get(); }
    CvoVerticalStereoVuMeter* outputMeter() { return surface.outputVuMeter.get(); }
    juce::Component& infoScreen() { return *surface.infoComponent; }
    juce::Component& savePanel() { return *surface.managePresetsComponent; }

    const juce::String& versionText() const { return surface.versionText; }
    PatternCommandTabContentType tabContent() const { return surface.patternCommandTabContent; }
    juce::Rectangle<float> logoArea() const
    {
        return surface.logoArea != nullptr ? *surface.logoArea : juce::Rectangle<float>();
    }

    void setExpertMode (bool on)
    {
        surface.expertModeIsActive = on;
        surface.updateVisibilityOfAllComponents();
        surface.resized();
    }
    void setInputSignalIsMono (bool on) { surface.inputSignalIsMono = on; }
    void setIoConfigIsOK (bool ok)
    {
        surface.ioConfigIsOK = ok;
        surface.updateVisibilityOfAllComponents();
    }
    void setColourSchemeBrightness (float b)
    {
        surface.colourSchemeBrightness = b;
        surface.updateColourSchemeBrightness();
    }
    void setAutoRunInStopMode (bool on) { surface.autoRunInStopModeIsActive = on; }

    // Refresh loop, handlers and menus: the read-out labels, the drag and menu
    // flags, and the time stamps of the info line, the changed-entity labels and
    // the open settings menu, moved into the past instead of waiting.
    juce::Label& presetName() { return *surface.presetNameLabel; }
    juce::Label& changedEntityName() { return *surface.changedEntityNameLabel; }
    juce::Label& changedEntityValue() { return *surface.changedEntityValueLabel; }
    juce::Label& positionLabel() { return *surface.positionLabel; }
    juce::Label& timeLabel() { return *surface.timeLabel; }
    juce::Label& bpmLabel() { return *surface.bpmLabel; }
    bool sliderIsBeingDragged() const { return surface.sliderIsCurrentlyBeingDragged; }
    bool settingsMenuIsActive() const { return surface.settingsPopupMenuIsActive; }
    void ageInfoLine (juce::RelativeTime age)
    {
        surface.lastInfoTextTime -= age;
        surface.lastPriorityInfoTextTime -= age;
    }
    void ageChangedEntity (juce::RelativeTime age) { surface.lastChangedEntityTime -= age; }
    void setSettingsMenuOpenedAgo (juce::RelativeTime age)
    {
        surface.settingsPopupMenuTime = juce::Time::getCurrentTime() - age;
    }

    MainEditorComponent& surface;
};
