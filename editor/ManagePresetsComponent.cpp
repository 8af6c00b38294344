#include "editor/ManagePresetsComponent.h"

#include "editor/MainEditorComponent.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"

namespace
{
/** Bounds as fractions of the parent's own width and height, rounded to pixels. */
void placeRelative (juce::Component& child, float width, float height, float x, float y, float w, float h)
{
    child.setBounds (juce::roundToInt (x * width), juce::roundToInt (y * height),
                     juce::roundToInt (w * width), juce::roundToInt (h * height));
}
} // namespace

ManagePresetsComponent::ManagePresetsComponent (ZkOstinelAudioProcessor* processorToUse,
                                                MainEditorComponent* mainEditorToUse, juce::Font* font)
    : processor (processorToUse)
    , mainEditor (mainEditorToUse)
    , panelFont (font)
{
    initPresetName();

    if (panelFont != nullptr)
        presetNameEditor.setFont (*panelFont);
    presetNameEditor.setEscapeAndReturnKeysConsumed (false);
    presetNameEditor.setMultiLine (false, false);
    presetNameEditor.setPopupMenuEnabled (false);
    presetNameEditor.setSelectAllWhenFocused (true);
    presetNameEditor.setColour (juce::TextEditor::outlineColourId, juce::Colours::darkgrey);
    presetNameEditor.setColour (juce::TextEditor::focusedOutlineColourId, CvoZkColours::zkcomplementColourA);
    presetNameEditor.setColour (juce::TextEditor::highlightColourId, CvoZkColours::zkcomplementColourA);
    presetNameEditor.setInputRestrictions (maxPresetNameLength,
                                           processor != nullptr ? processor->getAllowedCharsForPresetNames()
                                                                : juce::String());
    presetNameEditor.addListener (this);
    addAndMakeVisible (presetNameEditor);

    saveButton.setTooltip ("SAVE: click to save this as a user preset");
    cancelButton.setTooltip ("CANCEL: DO NOT SAVE this preset and close dialog");
    for (auto* button : {&saveButton, &cancelButton})
    {
        button->setColour (juce::TextButton::buttonColourId, CvoZkColours::zkdarkGrey.brighter (0.3f));
        button->addListener (this);
        addAndMakeVisible (*button);
    }

    if (panelFont != nullptr)
        presetNameEditor.applyFontToAllText (*panelFont);
}

ManagePresetsComponent::~ManagePresetsComponent()
{
    presetNameEditor.removeListener (this);
}

//==============================================================================
void ManagePresetsComponent::show()
{
    initPresetName();
    setVisible (true);
    presetNameEditor.grabKeyboardFocus();
}

void ManagePresetsComponent::hide()
{
    setVisible (false);
}

void ManagePresetsComponent::initPresetName()
{
    presetName =
        processor != nullptr ? processor->getProgramName (processor->getCurrentProgram()) : juce::String();
    presetNameEditor.setText (presetName.removeCharacters ("*"), false);
    presetNameEditor.selectAll();
}

juce::String ManagePresetsComponent::getPresetName()
{
    if (presetNameEditor.getText().isNotEmpty())
        presetName = presetNameEditor.getText();
    return presetName;
}

juce::String ManagePresetsComponent::getSaveReport (bool presetWasSaved)
{
    return presetWasSaved ? "SAVE: OK, user preset was saved !"
                          : "SAVE: ERROR, user preset was NOT saved !!!";
}

void ManagePresetsComponent::textEditorReturnKeyPressed (juce::TextEditor&)
{
    if (mainEditor != nullptr)
        mainEditor->saveUserPreset();
}

void ManagePresetsComponent::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    initPresetName();
    presetNameEditor.grabKeyboardFocus();
}

void ManagePresetsComponent::buttonClicked (juce::Button* button)
{
    if (mainEditor == nullptr)
        return;

    if (button == &saveButton)
        mainEditor->saveUserPreset();
    else if (button == &cancelButton)
        mainEditor->cancelUserPresetSaving();
}

//==============================================================================
void ManagePresetsComponent::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();

    if (panelFont != nullptr)
    {
        panelFont->setHeight (0.2f * 0.7f * height);
        presetNameEditor.setFont (*panelFont);
        presetNameEditor.applyFontToAllText (*panelFont);
    }

    placeRelative (presetNameEditor, width, height, 0.05f, 0.25f, 0.9f, 0.22f);
    placeRelative (saveButton, width, height, 0.05f, 0.7f, 0.425f, 0.2f);
    placeRelative (cancelButton, width, height, 0.525f, 0.7f, 0.425f, 0.2f);
}

void ManagePresetsComponent::paint (juce::Graphics& g)
{
    if (panelFont != nullptr)
        g.setFont (*panelFont);

    const auto* parent = getParentComponent();
    const float corner = 0.01f * (float)(parent != nullptr ? parent->getHeight() : getHeight());
    const auto bounds = getLocalBounds().toFloat();

    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (bounds, corner);

    const float inset = 0.05f * height;
    g.setColour (juce::Colours::white.withAlpha (0.1f));
    g.fillRoundedRectangle (bounds.getX() + inset, bounds.getY() + inset,
                            juce::jmax (0.0f, bounds.getWidth() - 2.0f * inset),
                            juce::jmax (0.0f, bounds.getHeight() - 2.0f * inset), corner);

    for (const auto& text : getPaintedTexts())
        text.draw (g);
}

juce::Array<CvoFittedText> ManagePresetsComponent::getPaintedTexts() const
{
    // The box comes from the panel's width alone; not squeezed.
    CvoFittedText caption;
    caption.text = "Preset Name:";
    caption.font = panelFont != nullptr ? *panelFont : juce::Font (0.14f * height);
    caption.area = juce::Rectangle<int> (juce::roundToInt (0.05f * width), juce::roundToInt (0.04f * width),
                                         juce::roundToInt (0.9f * width), juce::roundToInt (0.2f * width))
                       .toFloat();
    caption.justification = juce::Justification::topLeft;
    caption.minimumHorizontalScale = 1.0f;
    caption.colour = juce::Colours::darkgrey;
    return {caption};
}
