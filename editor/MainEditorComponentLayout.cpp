// Placement of the controls and painting of the surface. Every position and size
// is a fraction of the editor height h or of the editor width W = 1.778 x h.

#include "MainEditorComponent.h"

#include "editor/InfoComponent.h"
#include "editor/ManagePresetsComponent.h"
#include "editor/widgets/CvoPresetNameLabel.h"
#include "editor/widgets/CvoZkColours.h"

namespace
{
constexpr float aspectRatio = 1.778f;

/** The knob captions under the envelope and timing knobs: x [fraction of W]. */
struct KnobCaption
{
    const char* text;
    float x;
};

constexpr KnobCaption knobCaptions[] = {
    {"Attack", 0.04f},         {"Hold", 0.09625f},        {"Decay", 0.1525f},     {"Sustain", 0.20875f},
    {"Release", 0.265f},       {"MakeUp", 0.6899998f},    {"Swing", 0.74624985f}, {"Time -/+", 0.8024999f},
    {"ShortStep", 0.8587499f}, {"LongStep", 0.91499996f},
};
} // namespace

//==============================================================================
void MainEditorComponent::resized()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    mainDisplayHeight = display != nullptr ? display->totalArea.getHeight() : 0;
    currentHeight = (float)getHeight();
    // Without a display (height 0) the scale has no meaning; 1.0 is the value at
    // the default editor height.
    heightScale = mainDisplayHeight > 0 ? 2.0f * currentHeight / (float)mainDisplayHeight : 1.0f;

    const float h = currentHeight;
    const float editorWidth = h * aspectRatio;

    if (infoComponent != nullptr)
        infoComponent->setBounds (getLocalBounds());

    settingsPopupButton->setBoundsRelative (0.95850396f, 0.017f, 0.031496063f, 0.056f);

    logoArea = std::make_unique<juce::Rectangle<float>> (0.415f * editorWidth, 0.014f * h,
                                                         0.17f * editorWidth, 0.062f * h);

    bottomInfoLabel->setBoundsRelative (0.016f, 0.923f, 0.8f, 0.06f);
    mainFont->setHeight (0.06f * h);

    channelNameLabel->setBoundsRelative (0.73400396f, 0.015f, 0.22f, 0.06f);
    presetNameLabel->setBoundsRelative (0.26749998f, 0.095f, 0.465f, 0.05f);
    positionLabel->setBoundsRelative (0.33f, 0.767f, 0.1f, 0.05f);
    timeLabel->setBoundsRelative (0.33f, 0.859f, 0.1f, 0.04f);

    inputGainSlider->setBoundsRelative (0.2835f, 0.864f, 0.025f, 0.05f);
    mixSlider->setBoundsRelative (0.465f, 0.618f, 0.07f, 0.13f);
    outputGainSlider->setBoundsRelative (0.6915f, 0.864f, 0.025f, 0.05f);

    const std::pair<CvoRotarySlider*, float> bottomRowKnobs[] = {
        {attackSlider.get(), 0.04f},
        {holdSlider.get(), 0.09625f},
        {decaySlider.get(), 0.1525f},
        {sustainSlider.get(), 0.20875f},
        {releaseSlider.get(), 0.265f},
        {makeUpGainSlider.get(), 0.6899998f},
        {swingSlider.get(), 0.74624985f},
        {timeOffsetSlider.get(), 0.8024999f},
        {shortStepLengthSlider.get(), 0.8587499f},
        {longStepLengthSlider.get(), 0.91499996f},
    };
    for (const auto& [knob, x] : bottomRowKnobs)
        knob->setBoundsRelative (x, 0.765f, 0.045f, 0.085f);

    lowpassCutoffSlider->setBoundsRelative (0.331f, 0.535f, 0.045f, 0.085f);
    lowpassResoSlider->setBoundsRelative (0.331f, 0.65f, 0.045f, 0.085f);
    driveInputGainSlider->setBoundsRelative (0.402f, 0.535f, 0.045f, 0.085f);
    driveOutputGainSlider->setBoundsRelative (0.402f, 0.65f, 0.045f, 0.085f);
    echoLevelSlider->setBoundsRelative (0.546f, 0.535f, 0.045f, 0.085f);
    echoFeedbackSlider->setBoundsRelative (0.546f, 0.65f, 0.045f, 0.085f);

    // The pattern length group moves left in expert mode, where the pattern
    // buttons take the right edge.
    tripletButton.setBoundsRelative (expertModeIsActive ? 0.7975f : 0.8825f, 0.333f, 0.085f, 0.0455f);
    patternLengthMinusButton.setBoundsRelative (expertModeIsActive ? 0.7975f : 0.8825f, 0.243f, 0.022f,
                                                0.0455f);
    patternLengthPlusButton.setBoundsRelative (expertModeIsActive ? 0.8605f : 0.94549996f, 0.243f, 0.022f,
                                               0.0455f);
    patternLengthLabel->setBoundsRelative (expertModeIsActive ? 0.7985f : 0.8835f, 0.244f, 0.083f, 0.0435f);

    echoTypeComboBox->setBoundsRelative (0.601f, 0.54975f, 0.0708f, 0.0455f);
    zoomSlider->setBoundsRelative (0.965f, 0.45f, 0.025f, 0.05f);
    rhythmicLinesSlider->setBoundsRelative (0.965f, 0.501f, 0.025f, 0.05f);
    cursorTailSlider->setBoundsRelative (0.965f, 0.552f, 0.025f, 0.05f);

    // The 16-step row: three steps per beat in triplet mode (the fourth of each
    // beat is hidden then), four otherwise.
    const float rowWidth = tripletIsActive ? 0.465f : 0.55f;
    const float beatWidth = rowWidth * (tripletIsActive ? 0.225f : 0.23375f);
    const int stepsPerBeat = tripletIsActive ? 3 : 4;
    const float stepWidth = beatWidth / (float)stepsPerBeat * (tripletIsActive ? 0.9f : 0.91f);
    const float stepPitch =
        (beatWidth - (float)stepsPerBeat * stepWidth) / (float)(stepsPerBeat - 1) + stepWidth;
    const float beatPitch = (rowWidth - 4.0f * beatWidth) / 3.0f + beatWidth;
    const float rowLeft = 0.5f - rowWidth / 2.0f;

    for (int i = 0; i < 16; ++i)
    {
        const float x = rowLeft + (float)(i / 4) * beatPitch + (float)(i % 4) * stepPitch;
        stepSeqButtons[i]->setBoundsRelative (x, 0.305f, stepWidth, 0.08f);
        stepVolumeSliders[i]->setBoundsRelative (x, 0.195f, stepWidth, 0.08f);
        stepCursorLeds[i]->setBoundsRelative (x, 0.275f, stepWidth, 0.03f);
    }

    for (int beat = 0; beat < 4; ++beat)
    {
        const float x = rowLeft + (float)beat * beatPitch;
        lengthBeatStrips[beat]->setBoundsRelative (x, 0.39f, beatWidth, 0.035f);
        volumeBeatStrips[beat]->setBoundsRelative (x, 0.155f, beatWidth, 0.035f);
    }

    for (int i = 0; i < patternSelectButtons.size(); ++i)
        patternSelectButtons[i]->setBoundsRelative (i < 4 ? 0.91f : 0.949f, 0.182f + (float)(i % 4) * 0.058f,
                                                    0.032f, 0.045f);

    envelopeComponent->setBoundsRelative (0.04f, 0.45f, 0.27f, 0.27f);
    if (waveDisplayComponent != nullptr)
        waveDisplayComponent->setBoundsRelative (0.69f, 0.45f, 0.27f, 0.27f);
    if (managePresetsComponent != nullptr)
        managePresetsComponent->setBoundsRelative (0.3f, 0.16f, 0.4f, 0.4f);

    if (layoutManager != nullptr)
        layoutManager->setNewHeightAndUpdateAllComponentBounds (currentHeight);

    inputVuMeter->setBoundsRelative (0.122f, 0.86325f, 0.154f, 0.045f);
    outputVuMeter->setBoundsRelative (0.724f, 0.864f, 0.154f, 0.045f);
}

//==============================================================================
void MainEditorComponent::paint (juce::Graphics& g)
{
    const juce::Colour black = juce::Colours::black;

    g.setFont (*mainFont);

    if (!isResizing)
    {
        drawBackground (g);
        drawLabelBackground (g, 0.01f, 0.923f, 0.817f, 0.061f, currentLightGrey, true, false, false);
        drawLabelBackground (g, 0.831f, 0.923f, 0.121f, 0.061f, currentLightGrey, true, false, false);
        drawLabelBackground (g, 0.956f, 0.923f, 0.034308214f, 0.061f, currentLightGrey, true, false, false);
    }

    drawUpperBar (g);
    drawTevlinorLogo (g);
    drawThePresentsText (g);
    if (productLetteringImage != nullptr && logoArea != nullptr)
        productLetteringImage->drawWithin (g, *logoArea,
                                           juce::RectanglePlacement (juce::RectanglePlacement::xMid), 1.0f);
    drawTelquarLogoAndText (g);

    const bool viewShown = !isResizing && !managePresetsComponentIsVisible && ioConfigIsOK;

    const bool sectionsShown = viewShown && !bypassIsActive && !muteAllIsActive && layoutManager != nullptr;
    if (sectionsShown)
    {
        drawLabelBackground (g, 0.26749998f, 0.095f, 0.465f, 0.05f, black, false, false, false);
        layoutManager->drawSectionBackground (g, 0.143f, 0.09f, 0.714f, 0.06f, false);

        drawLabelBackground (g, 0.0f, 0.435f, 0.316f, 0.415f, currentLightGrey, true, true, false);
        drawLabelBackground (g, 0.684f, 0.435f, 0.316f, 0.415f, currentLightGrey, true, true, true);

        const float patternLengthX = expertModeIsActive ? 0.785f : 0.87f;
        layoutManager->drawSectionBackground (g, patternLengthX, 0.169f, 0.11f, 0.245f, false);

        drawLabelBackground (g, expertModeIsActive ? 0.7985f : 0.8835f, 0.244f, 0.083f, 0.0435f, black, false,
                             false, false);

        if (expertModeIsActive)
        {
            layoutManager->drawSectionBackground (g, 0.065f, 0.169f, 0.151f, 0.245f, false);
            layoutManager->drawSectionBackground (g, 0.903f, 0.169f, 0.085f, 0.245f, false);
            layoutManager->drawSectionBackground (g, 0.32f, 0.435f, 0.067f, 0.3f, false);
            layoutManager->drawSectionBackground (g, 0.391f, 0.435f, 0.067f, 0.3f, false);
            layoutManager->drawSectionBackground (g, 0.542f, 0.435f, 0.138f, 0.3f, false);
        }
    }

    // The captions, over their panels.
    for (const auto& text : getPaintedTexts())
        text.draw (g);

    if (layoutManager != nullptr)
    {
        // The output meter goes with mute-all, the input meter with bypass.
        if (viewShown && !muteAllIsActive && !bypassIsActive)
            layoutManager->drawSectionBackground (g, 0.685f, 0.857f, 0.199f, 0.0575f, false);
        if (viewShown && !bypassIsActive)
            layoutManager->drawSectionBackground (g, 0.116f, 0.857f, 0.199f, 0.0575f, false);
    }

    if (viewShown)
        drawLabelBackground (g, 0.32f, 0.76f, 0.36f, 0.15f, black, false, false, false);

    if (!isResizing && ioConfigIsOK)
        drawChannelNameBorderAndBg (g);

    drawPluginBorder (g);
}

//==============================================================================
void MainEditorComponent::drawBackground (juce::Graphics& g)
{
    const float h = (float)getHeight();
    const float editorWidth = h * aspectRatio;
    const juce::Colour base = CvoZkColours::zkdarkGrey.brighter (colourSchemeBrightness);
    g.fillAll (base);

    // A fixed seed: the brushed texture is the same at every paint. The calls
    // to the generator come in a fixed order, which fixes the pattern.
    juce::Random random (4);
    int rowStart = 0;
    for (int y = 0; (float)y < h; ++y)
    {
        int x = rowStart;
        while ((float)x < editorWidth)
        {
            const int start = x + random.nextInt (juce::Range<int> (5, 80));
            const int end = start + random.nextInt (juce::Range<int> (5, 80));
            const float amount = random.nextFloat();
            const bool bright = random.nextBool();
            g.setColour (bright ? base.brighter (0.03f * amount) : base.darker (0.03f * amount));
            g.drawHorizontalLine (y, (float)start, (float)end);
            x = end;
        }
        rowStart = random.nextInt (juce::Range<int> (0, 5));
    }

    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.05f), 0.0f, 0.0f,
                                             juce::Colours::black.withAlpha (0.05f), editorWidth, h, false));
    g.fillRect (getLocalBounds());
}

void MainEditorComponent::drawLabelBackground (juce::Graphics& g, float x, float y, float w, float h,
                                               juce::Colour colour, bool useGradient, bool horizontal,
                                               bool reversed)
{
    const float height = (float)getHeight();
    const float editorWidth = height * aspectRatio;
    const juce::Rectangle<float> area (x * editorWidth, y * height, w * editorWidth, h * height);

    if (!useGradient)
    {
        g.setColour (colour);
    }
    else
    {
        const auto transparent = colour.withAlpha (0.0f);
        if (!horizontal)
            g.setGradientFill (
                juce::ColourGradient::vertical (colour, area.getY(), transparent, area.getBottom()));
        else if (reversed)
            g.setGradientFill (
                juce::ColourGradient::horizontal (colour, area.getX(), transparent, area.getRight()));
        else
            g.setGradientFill (
                juce::ColourGradient::horizontal (transparent, area.getX(), colour, area.getRight()));
    }

    g.fillRoundedRectangle (area, 0.01f * height);
    g.setColour (juce::Colours::black);
}

void MainEditorComponent::drawUpperBar (juce::Graphics& g)
{
    // mainDisplayHeight x 0.04 x heightScale, which is 0.08 x h; written with h so
    // that it holds without a display too.
    const float h = (float)getHeight();
    g.setColour (CvoZkColours::zkmainColour);
    g.fillRect (0.0f, 0.0f, h * aspectRatio, 0.08f * h);
}

void MainEditorComponent::drawPluginBorder (juce::Graphics& g)
{
    const float h = (float)getHeight();
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (0.0f, 0.0f, h * aspectRatio, h, 0.02f * h, 0.02f * h);
}

void MainEditorComponent::drawChannelNameBorderAndBg (juce::Graphics& g)
{
    const float h = (float)getHeight();
    const float editorWidth = h * aspectRatio;
    g.setColour (channelNameIsSet ? juce::Colours::black : CvoZkColours::zkmainColour.darker (0.2f));
    g.drawRoundedRectangle (0.73400396f * editorWidth, 0.015f * h, 0.22f * editorWidth, 0.06f * h, 0.01f * h,
                            0.005f * h);
}

void MainEditorComponent::drawThePresentsText (juce::Graphics& g)
{
    if (presentsLetteringImage == nullptr)
        return;

    const float h = (float)getHeight();
    presentsLetteringImage->drawWithin (g, {0.652f * h, 0.013f * h, 0.095f * h, 0.04f * h},
                                        juce::RectanglePlacement (juce::RectanglePlacement::xLeft), 1.0f);
}

void MainEditorComponent::drawTevlinorLogo (juce::Graphics& g)
{
    if (tevlinorLogoImage == nullptr)
        return;

    // Natural size scaled by mainDisplayHeight x 0.00026 x heightScale, which is
    // 0.00052 x h (written with h so that it holds without a display too).
    const float h = (float)getHeight();
    const float scale = 0.00026f * 2.0f * h;
    tevlinorLogoImage->draw (
        g, 1.0f, juce::AffineTransform::scale (scale).translated (0.01f * h * aspectRatio, 0.019f * h));
}

void MainEditorComponent::drawTelquarLogoAndText (juce::Graphics& g)
{
    const float h = (float)getHeight();
    const float editorWidth = h * aspectRatio;

    if (telquarLogoImage != nullptr)
        telquarLogoImage->drawWithin (g, {0.814f * editorWidth, 0.928f * h, 0.08f * editorWidth, 0.05f * h},
                                      juce::RectanglePlacement::centred, 1.0f);
}

//==============================================================================
juce::Array<CvoFittedText> MainEditorComponent::getPaintedTexts() const
{
    juce::Array<CvoFittedText> texts;
    const float h = (float)getHeight();
    const float editorWidth = h * aspectRatio;
    const juce::Colour black = juce::Colours::black;

    const auto add = [&texts, this] (const juce::String& text, juce::Rectangle<float> area, float fontHeight,
                                     juce::Colour colour)
    {
        CvoFittedText fitted;
        fitted.text = text;
        fitted.font = mainFont->withHeight (fontHeight);
        fitted.area = area;
        fitted.colour = colour;
        texts.add (fitted);
    };

    // The maker's short name, in the right bottom bars between the logo on its
    // left and the corner resizer on its right.
    add ("TQLAB",
         juce::Rectangle<float> (0.852f * editorWidth, 0.923f * h, 0.12f * editorWidth, 0.061f * h)
             .getSmallestIntegerContainer()
             .toFloat(),
         0.061f * h, black);

    const bool viewShown = !isResizing && !managePresetsComponentIsVisible && ioConfigIsOK;
    if (!viewShown || bypassIsActive || muteAllIsActive || layoutManager == nullptr)
        return texts;

    const auto caption =
        [&] (const char* text, float x, float y, float w, float height, bool sizeRule, juce::Colour colour)
    {
        texts.add (layoutManager->getText (*mainFont, text, x, y, w, height, juce::Justification::centred,
                                           sizeRule, colour));
    };
    caption ("PRESET:", 0.216f, 0.101f, 0.04f, 0.0195f, true, black);

    // The pattern length and knob captions are as tall as "PRESET:" (0.0195 of
    // the size-rule unit, twice the editor height), in slim boxes that they
    // overhang above and below.
    const float captionHeight = 0.039f * h;
    add ("Pattern Length",
         juce::Rectangle<float> ((expertModeIsActive ? 0.80175f : 0.88675f) * editorWidth, 0.205f * h,
                                 0.0765f * editorWidth, 0.022f * h)
             .getSmallestIntegerContainer()
             .toFloat(),
         captionHeight, black);

    for (const auto& knob : knobCaptions)
        add (knob.text,
             juce::Rectangle<int> (juce::roundToInt (knob.x * editorWidth), juce::roundToInt (0.74f * h),
                                   juce::roundToInt (0.045f * editorWidth), juce::roundToInt (0.01f * h))
                 .toFloat(),
             captionHeight, black);

    caption ("RUN", 0.4705f, 0.44099998f, 0.059f, 0.05f, false, black);
    caption ("MIX", 0.465f, 0.56799996f, 0.07f, 0.05f, false, black);

    if (expertModeIsActive)
    {
        // An effect's captions are dimmed while it is off or GLOBAL FX OFF is on.
        const auto effectColour = [this, black] (bool isActive)
        { return isActive && !globalFxOffIsActive ? black : black.withAlpha (0.2f); };
        const struct
        {
            const char* text;
            float x, y;
            bool isActive;
        } effectCaptions[] = {
            {"Cutoff", 0.331f, 0.496f, lowpassIsActive}, {"Reso", 0.331f, 0.611f, lowpassIsActive},
            {"InGain", 0.402f, 0.496f, driveIsActive},   {"OutGain", 0.402f, 0.611f, driveIsActive},
            {"Level", 0.546f, 0.496f, echoIsActive},     {"Feed", 0.546f, 0.611f, echoIsActive},
        };
        for (const auto& entry : effectCaptions)
            caption (entry.text, entry.x, entry.y, 0.045f, 0.04f, false, effectColour (entry.isActive));
    }

    return texts;
}
