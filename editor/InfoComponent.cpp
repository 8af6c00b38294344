#include "editor/InfoComponent.h"

#include "editor/MainEditorComponent.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include "BinaryData.h"

#include <limits>

namespace
{
constexpr float editorAspectRatio = 1.778f; // editor width / height

/** Bounds as fractions of the parent's own width and height, rounded to pixels. */
void placeRelative (juce::Component& child, float width, float height, float x, float y, float w, float h)
{
    child.setBounds (juce::roundToInt (x * width), juce::roundToInt (y * height),
                     juce::roundToInt (w * width), juce::roundToInt (h * height));
}

/** A size as "width,height" [pixels]. */
juce::String sizeText (float height)
{
    return juce::String (juce::roundToInt (editorAspectRatio * height)) + "," +
           juce::String (juce::roundToInt (height));
}

} // namespace

InfoComponent::InfoComponent (ZkOstinelAudioProcessor* processorToUse, MainEditorComponent* mainEditorToUse,
                              juce::Font* font)
    : processor (processorToUse)
    , mainEditor (mainEditorToUse)
    , infoFont (font)
{
    const int wrapperType = processor != nullptr ? (int)processor->wrapperType : 0;
    const auto formatName = getFormatName (wrapperType);

    auto title = juce::String ("ZkOstinel") + " v" + "1.0.0";
    if (formatName.isNotEmpty())
        title += " (" + formatName + ")";
    title += "\n\n";
    title += "tempo-synced step gate\n";
    title += "with envelope, filter, drive and echo\n";
    title += "by TELQUARLAB";
    setUpTextEditor (titleText, title);

    setUpTextEditor (formatText, getFormatAttribution (wrapperType) + "( built on: " + __DATE__ + " )");

    globalSamplesOffsetLabel =
        std::make_unique<CvoPresetNameLabel> (8, "GlobalSamplesOffsetLabel", "0", "+-01234567890");
    globalSamplesOffsetLabel->setEditable (true, true, false);
    globalSamplesOffsetLabel->setJustificationType (juce::Justification::right);
    globalSamplesOffsetLabel->setColour (juce::TextEditor::backgroundColourId, juce::Colours::lightgrey);
    globalSamplesOffsetLabel->setColour (juce::TextEditor::highlightColourId,
                                         CvoZkColours::zkcomplementColourA);
    globalSamplesOffsetLabel->setColour (juce::TextEditor::outlineColourId, juce::Colours::black);
    globalSamplesOffsetLabel->setColour (juce::TextEditor::focusedOutlineColourId, juce::Colours::black);
    globalSamplesOffsetLabel->addListener (this);
    addAndMakeVisible (*globalSamplesOffsetLabel);

    for (auto* button : {&closeButton, &resizeToDefaultButton, &setCurrentAsDefaultButton,
                         &resetDefaultSizeButton, &clearUndoHistoryButton})
        setUpButton (*button, CvoZkColours::zkcomplementColourA);
    setUpButton (dawTimingOffsetButton, CvoZkColours::zkcomplementColourB);
    dawTimingOffsetButton.setClickingTogglesState (true);

    logoDrawable = juce::Drawable::createFromImageData (BinaryData::InfoScreenLogo_svg,
                                                        (size_t)BinaryData::InfoScreenLogo_svgSize);
    updateAllComponents();
}

InfoComponent::~InfoComponent()
{
    globalSamplesOffsetLabel->removeListener (this);
}

void InfoComponent::setUpTextEditor (juce::TextEditor& editor, const juce::String& text)
{
    if (infoFont != nullptr)
        editor.setFont (*infoFont);
    editor.setMultiLine (true, false);
    editor.setCaretVisible (false);
    editor.setColour (juce::TextEditor::backgroundColourId, juce::Colours::white.withAlpha (0.0f));
    editor.setColour (juce::TextEditor::highlightColourId, CvoZkColours::zkcomplementColourA);
    editor.setReadOnly (true);
    editor.setText (text, false);
    addAndMakeVisible (editor);
}

void InfoComponent::setUpButton (juce::TextButton& button, juce::Colour onColour)
{
    button.setColour (juce::TextButton::buttonColourId, CvoZkColours::zkdarkGrey.brighter (0.3f));
    button.setColour (juce::TextButton::buttonOnColourId, onColour);
    button.addListener (this);
    addAndMakeVisible (button);
}

//==============================================================================
juce::String InfoComponent::getFormatName (int wrapperType)
{
    juce::String name;

    switch (wrapperType)
    {
        case juce::AudioProcessor::wrapperType_VST:
        case juce::AudioProcessor::wrapperType_VST3:
            name = "VST";
            break;
        case juce::AudioProcessor::wrapperType_AudioUnit:
            name = "AU";
            break;
        case juce::AudioProcessor::wrapperType_AAX:
            name = "AAX";
            break;
        default:
            break;
    }

    return name.isEmpty() ? name : name + " 64bit";
}

juce::String InfoComponent::getFormatAttribution (int wrapperType)
{
    switch (wrapperType)
    {
        case juce::AudioProcessor::wrapperType_VST:
        case juce::AudioProcessor::wrapperType_VST3:
            return "VST Plugin Technology\n";
        case juce::AudioProcessor::wrapperType_AudioUnit:
            return "Audio Unit Plugin\n";
        case juce::AudioProcessor::wrapperType_AAX:
            return "AAX Plugin for Pro Tools\n";
        default:
            return {};
    }
}

int InfoComponent::parseOffsetText (const juce::String& text)
{
    auto p = text.getCharPointer();
    const bool negative = *p == '-';

    if (*p == '-' || *p == '+')
        ++p;

    // Accumulated as a negative number, which reaches the int's whole range.
    constexpr int lowest = std::numeric_limits<int>::min();
    int value = 0;

    for (; *p >= '0' && *p <= '9'; ++p)
    {
        const int digit = (int)(*p - '0');
        value = value < (lowest + digit) / 10 ? lowest : value * 10 - digit;
    }

    if (negative)
        return value;
    return value == lowest ? std::numeric_limits<int>::max() : -value;
}

//==============================================================================
int InfoComponent::getShownEditorHeight() const
{
    // The main editor covers the whole window, which may be lower than the
    // stored height: the screen limits it, and the stored height stays for a
    // larger screen.
    if (mainEditor != nullptr)
        return mainEditor->getHeight();
    return processor != nullptr ? processor->getEditorHeight() : 0;
}

void InfoComponent::updateAllComponents()
{
    if (processor != nullptr)
    {
        const int defaultHeight = processor->getDefaultEditorHeight();
        clearUndoHistoryButton.setEnabled (processor->canUndoOrRedo());
        resizeToDefaultButton.setEnabled (processor->getEditorHeight() != defaultHeight);
        setCurrentAsDefaultButton.setEnabled (getShownEditorHeight() != defaultHeight);
        resetDefaultSizeButton.setEnabled (processor->getDefaultEditorDesktopHeightRatio() != 0.5f);
    }

    globalSamplesOffsetLabel->setVisible (dawTimingOffsetState);
    repaint();
}

void InfoComponent::setDawTimingOffsetState (bool isOn)
{
    dawTimingOffsetState = isOn;
    dawTimingOffsetButton.setToggleState (isOn, juce::dontSendNotification);
    updateAllComponents();
}

void InfoComponent::setDawTimingOffsetInSamples (int samples)
{
    globalSamplesOffsetLabel->setText (juce::String (samples), juce::dontSendNotification);
}

void InfoComponent::buttonClicked (juce::Button* button)
{
    if (button == &closeButton)
    {
        if (mainEditor != nullptr)
            mainEditor->hideInfoComponent();
    }
    else if (button == &resizeToDefaultButton)
    {
        if (mainEditor != nullptr)
            mainEditor->resizeToDefault();
    }
    else if (processor != nullptr)
    {
        if (button == &setCurrentAsDefaultButton)
            processor->setCurrentAsDefaultEditorDesktopHeightRatio (getShownEditorHeight());
        else if (button == &resetDefaultSizeButton)
            processor->resetDefaultEditorDesktopHeightRatio();
        else if (button == &clearUndoHistoryButton)
            processor->clearUndoHistory();
        else if (button == &dawTimingOffsetButton)
        {
            dawTimingOffsetState = dawTimingOffsetButton.getToggleState();
            processor->setVarItemValue ("viDawTimingOffsetState",
                                        juce::var (dawTimingOffsetState ? 1.0 : 0.0));
        }
    }

    updateAllComponents();
}

void InfoComponent::labelTextChanged (juce::Label* label)
{
    if (label != globalSamplesOffsetLabel.get())
        return;

    const int samples = parseOffsetText (label->getText());

    if (processor != nullptr)
        processor->setVarItemValue ("viDawTimingOffsetInSamples", juce::var (samples));

    label->setText (juce::String (samples), juce::dontSendNotification);
}

//==============================================================================
void InfoComponent::resized()
{
    const auto w = (float)getWidth();
    const auto h = (float)getHeight();
    currentHeight = h;

    placeRelative (resizeToDefaultButton, w, h, 0.013f, 0.03f, 0.168f, 0.07f);
    placeRelative (setCurrentAsDefaultButton, w, h, 0.013f, 0.26f, 0.168f, 0.14f);
    placeRelative (resetDefaultSizeButton, w, h, 0.013f, 0.56f, 0.168f, 0.14f);
    placeRelative (clearUndoHistoryButton, w, h, 0.817f, 0.76f, 0.168f, 0.14f);
    placeRelative (dawTimingOffsetButton, w, h, 0.013f, 0.77f, 0.168f, 0.07f);
    placeRelative (closeButton, w, h, 0.416f, 0.92f, 0.168f, 0.07f);

    placeRelative (titleText, w, h, 0.22f, 0.05f, 0.6f, 0.7f);
    titleText.applyFontToAllText (titleText.getFont().withHeight (0.07f * currentHeight));
    placeRelative (formatText, w, h, 0.22f, 0.7f, 0.6f, 0.26f);
    formatText.applyFontToAllText (formatText.getFont().withHeight (0.055f * currentHeight));

    placeRelative (*globalSamplesOffsetLabel, w, h, 0.013f, 0.855f, 0.085f, 0.05f);
    updateAllComponents();
}

void InfoComponent::paint (juce::Graphics& g)
{
    const float h = currentHeight;
    const float width = editorAspectRatio * h; // the editor's width

    if (infoFont != nullptr)
        g.setFont (infoFont->withHeight (0.055f * h));

    g.fillAll (CvoZkColours::zkcomplementColourA);

    const juce::Rectangle<float> panel (0.2f * width, 0.03f * h, 0.6f * width, 0.87f * h);
    g.setColour (juce::Colours::lightgrey);
    g.fillRoundedRectangle (panel, 0.05f * h);
    g.setColour (juce::Colours::black.brighter (0.5f));
    g.drawRoundedRectangle (panel, 0.05f * h, 0.015f * h);

    if (logoDrawable != nullptr)
        logoDrawable->drawWithin (g, {0.64f * width, 0.06f * h, 0.15f * width, 0.2f * h},
                                  juce::RectanglePlacement::centred, 1.0f);

    if (dawTimingOffsetState)
    {
        g.setColour (juce::Colours::lightgrey);
        g.fillRoundedRectangle (0.013f * width, 0.855f * h, 0.09f * width, 0.05f * h, 0.005f * h);
    }

    for (const auto& text : getPaintedTexts())
        text.draw (g);
}

juce::Array<CvoFittedText> InfoComponent::getPaintedTexts() const
{
    juce::Array<CvoFittedText> texts;
    const float h = currentHeight;
    const float width = editorAspectRatio * h; // the editor's width

    // One line each, in integer boxes; without a font the framework's default
    // typeface.
    const auto font = (infoFont != nullptr ? *infoFont : juce::Font()).withHeight (0.055f * h);
    const auto line = [&] (const juce::String& text, float x, float y, float w, float lineHeight,
                           juce::Justification justification)
    {
        CvoFittedText fitted;
        fitted.text = text;
        fitted.font = font;
        fitted.area = juce::Rectangle<int> (juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w),
                                            juce::roundToInt (lineHeight))
                          .toFloat();
        fitted.justification = justification;
        texts.add (fitted);
    };

    // Left column: current and default size.
    const int defaultHeight = processor != nullptr ? processor->getDefaultEditorHeight() : 0;
    const auto leftLine = [&] (const juce::String& text, float y)
    { line (text, 0.035f * width, y * h, 0.13f * width, 0.05f * h, juce::Justification::centred); };
    leftLine ("CURRENT SIZE:", 0.13f);
    leftLine (sizeText (h), 0.18f);
    leftLine ("DEFAULT SIZE:", 0.43f);
    leftLine (sizeText ((float)defaultHeight), 0.48f);

    // Right column: sample rate, system, host, channels.
    const auto rightLine = [&] (const juce::String& text, float y)
    { line (text, 0.82f * width, y * h, 0.18f * width, 0.02f * h, juce::Justification::left); };
    rightLine ("SAMPLERATE:", 0.03f);
    if (processor != nullptr)
        rightLine (processor->getLastSampleRateString(), 0.08f);
    rightLine (juce::SystemStats::getOperatingSystemName(), 0.18f);
    rightLine (juce::SystemStats::isOperatingSystem64Bit() ? "64 bit" : "32 bit", 0.23f);
    rightLine ("Host / DAW :", 0.33f);
    rightLine (juce::PluginHostType().getHostDescription(), 0.38f);
    rightLine ("In / Out :", 0.48f);
    if (processor != nullptr)
        rightLine (juce::String (processor->getTotalNumInputChannels()) + " / " +
                       juce::String (processor->getTotalNumOutputChannels()),
                   0.53f);

    if (dawTimingOffsetState)
        line ("Samples", 0.06f * width, 0.855f * h, 0.168f * width, 0.05f * h, juce::Justification::centred);

    return texts;
}
