#include "editor/ZkOstinelAudioProcessorEditor.h"

#include "editor/MainEditorComponent.h"
#include "editor/widgets/CvoZkColours.h"
#include "engine/ZkOstinelAudioProcessor.h"

#include "BinaryData.h"

namespace
{
/** False for a height no window can have [pixels]: none at all, or one from a
    damaged stored value. */
bool isUsableHeight (int height)
{
    return height > 0 && height <= ZkOstinelAudioProcessorEditor::largestUsableHeight;
}

/** The height the window opens with [pixels]: the stored height, within the
    drag limits. Only an unusable one gives way to the default height first,
    or to the smallest allowed one when the default is unusable as well. */
int getOpeningHeight (int storedHeight, int defaultHeight,
                      const ZkOstinelAudioProcessorEditor::SizeLimits& limits)
{
    const int height = isUsableHeight (storedHeight)    ? storedHeight
                       : isUsableHeight (defaultHeight) ? defaultHeight
                                                        : limits.minHeight;
    return ZkOstinelAudioProcessorEditor::limitHeight (height, limits);
}
} // namespace

ZkOstinelAudioProcessorEditor::ZkOstinelAudioProcessorEditor (ZkOstinelAudioProcessor* processorToEdit)
    : juce::AudioProcessorEditor (processorToEdit)
    , processor (processorToEdit)
{
    lookAndFeel = std::make_unique<CvoZkLookAndFeelV1>();
    lookAndFeel->setColour (juce::PopupMenu::highlightedBackgroundColourId,
                            CvoZkColours::zkcomplementColourA);
    setLookAndFeel (lookAndFeel.get());

    const int displayHeight = getMainDisplayHeight();
    layoutManager = std::make_unique<CvoLayoutManager> (displayHeight, 0.5f, aspectRatio);

    editorFont = std::make_unique<juce::Font> (CvoZkLookAndFeelV1::createEmbeddedTypeface());

    // The surface takes the layout manager from this window while it is built.
    mainComponent = std::make_unique<MainEditorComponent> (processor, this);
    addAndMakeVisible (*mainComponent);

    const auto limits = getSizeLimits (displayHeight);
    constrainer = std::make_unique<juce::ComponentBoundsConstrainer>();
    constrainer->setFixedAspectRatio (aspectRatio);
    constrainer->setSizeLimits (limits.minWidth, limits.minHeight, limits.maxWidth, limits.maxHeight);

    resizer = std::make_unique<ResizerForEditor> (this, constrainer.get(), mainComponent.get());
    addAndMakeVisible (*resizer);

    // Seen again: the texts, the step cursor and the transport are brought up
    // to date and everything, waveform and meters included, is drawn anew.
    visibilityWatch = std::make_unique<ZkWindowVisibilityWatch> (*this,
                                                                 [this]
                                                                 {
                                                                     mainComponent->timerCallback();
                                                                     repaint();
                                                                 });

    // A height from a host's chunk or from the properties file may be far
    // outside the limits (a window of 17,780 x 10,000 pixels takes many
    // seconds to draw): it opens within them.
    applyStoredHeight (limits);
}

ZkOstinelAudioProcessorEditor::~ZkOstinelAudioProcessorEditor()
{
    visibilityWatch.reset();

    // The audio thread must let go of the displays before they are deleted; the
    // surface clears these too, first thing in its destructor.
    processor->setWaveDisplay (nullptr);
    processor->setInputVuMeter (nullptr);
    processor->setOutputVuMeter (nullptr);

    mainComponent.reset();

    // The look and feel goes once no component refers to it any more.
    setLookAndFeel (nullptr);
    lookAndFeel.reset();

    resizer.reset();
    constrainer.reset();
    editorFont.reset();
    layoutManager.reset();
}

//==============================================================================
int ZkOstinelAudioProcessorEditor::getMainDisplayHeight()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    const int height = display != nullptr ? display->totalArea.getHeight() : 0;
    return height > 0 ? height : fallbackDisplayHeight;
}

ZkOstinelAudioProcessorEditor::SizeLimits ZkOstinelAudioProcessorEditor::getSizeLimits (int displayHeight)
{
    SizeLimits limits;
    limits.maxHeight = (int)(maximumDisplayShare * (float)displayHeight);
    limits.maxWidth = (int)((float)limits.maxHeight * aspectRatio);
    limits.minHeight = (int)(minimumDisplayShare * (float)displayHeight);
    limits.minWidth = (int)((float)limits.minHeight * aspectRatio);
    return limits;
}

int ZkOstinelAudioProcessorEditor::limitHeight (int height, const SizeLimits& limits)
{
    return juce::jlimit (limits.minHeight, juce::jmax (limits.minHeight, limits.maxHeight), height);
}

int ZkOstinelAudioProcessorEditor::getWidthForHeight (int height)
{
    return juce::roundToInt ((float)height * aspectRatio);
}

//==============================================================================
void ZkOstinelAudioProcessorEditor::resized()
{
    currentHeight = getHeight();
    if (!applyingStoredHeight)
        processor->setEditorHeight (currentHeight);

    lookAndFeel->setCornerSize ((float)currentHeight * 0.0074074073f); // height / 135

    const auto w = (float)getWidth();
    const auto h = (float)getHeight();

    if (mainComponent != nullptr)
        mainComponent->setBounds (getLocalBounds());

    if (resizer != nullptr)
        resizer->setBounds (juce::roundToInt (0.9488189f * w), juce::roundToInt (0.909f * h),
                            juce::roundToInt (0.04218223f * w), juce::roundToInt (0.075f * h));
}

void ZkOstinelAudioProcessorEditor::updateEditorSize()
{
    // The height re-read (the default one, derived from the stored ratio) goes
    // through the drag limits like the one the window opened with.
    applyStoredHeight (getSizeLimits (getMainDisplayHeight()));
    repaint();
}

void ZkOstinelAudioProcessorEditor::applyStoredHeight (const SizeLimits& limits)
{
    // A stored height that this screen cannot show (one saved on a larger
    // screen) stays stored for the next screen; only an unusable one is
    // replaced, by the height the window opens with.
    const int stored = processor->getEditorHeight();
    currentHeight = getOpeningHeight (stored, processor->getDefaultEditorHeight(), limits);

    applyingStoredHeight = true;
    setBounds (0, 0, getWidthForHeight (currentHeight), currentHeight);
    applyingStoredHeight = false;

    if (!isUsableHeight (stored))
        processor->setEditorHeight (currentHeight);
}

void ZkOstinelAudioProcessorEditor::paint (juce::Graphics& g)
{
    // Seen only where the surface draws nothing: while a corner drag hides it.
    const auto w = (float)getWidthForHeight (currentHeight);
    const auto h = (float)currentHeight;

    g.fillAll (CvoZkColours::zkdarkGrey.brighter (processor->getCurrentColourSchemeBrightness()));

    const float thickness = 0.1f * h, headWidth = 0.2f * h, headLength = 0.2f * h;
    juce::Path arrows;
    arrows.addArrow ({0.4f * w, 0.4f * h, 0.2f * w, 0.2f * h}, thickness, headWidth, headLength);
    arrows.addArrow ({0.6f * w, 0.4f * h, 0.8f * w, 0.2f * h}, thickness, headWidth, headLength);
    arrows.addArrow ({0.4f * w, 0.6f * h, 0.2f * w, 0.8f * h}, thickness, headWidth, headLength);
    arrows.addArrow ({0.6f * w, 0.6f * h, 0.8f * w, 0.8f * h}, thickness, headWidth, headLength);
    g.setColour (juce::Colours::black);
    g.fillPath (arrows);

    for (const auto& text : getPaintedTexts())
        text.draw (g);
}

void ZkOstinelAudioProcessorEditor::paintOverChildren (juce::Graphics&)
{
    // A window shown again is exposed and painted before the next check.
    if (visibilityWatch != nullptr)
        visibilityWatch->windowPainted();
}

bool ZkOstinelAudioProcessorEditor::isWindowOnScreen() const
{
    return visibilityWatch == nullptr || visibilityWatch->isShown();
}

juce::Array<CvoFittedText> ZkOstinelAudioProcessorEditor::getPaintedTexts() const
{
    const auto w = (float)getWidthForHeight (currentHeight);
    const auto h = (float)currentHeight;

    CvoFittedText caption;
    caption.text = "RESIZING";
    caption.font = editorFont->withHeight (0.2f * h * 0.5f);
    caption.area =
        juce::Rectangle<int> ((int)(0.4f * w), (int)(0.4f * h), (int)(0.2f * w), (int)(0.2f * h)).toFloat();
    return {caption};
}
