#include "editor/widgets/PatternCommandTabContentBackground.h"

#include "editor/widgets/CvoZkLookAndFeelV1.h"

#include <array>

PatternCommandTabContentBackground::~PatternCommandTabContentBackground() = default;

void PatternCommandTabContentBackground::setColours (juce::Colour idle, juce::Colour over, juce::Colour dim)
{
    idleColour = idle;
    overColour = over;
    dimColour = dim;
}

void PatternCommandTabContentBackground::setIsOverState (
    PatternCommandTypeContentBackgroundIsOverState newState)
{
    isOverState = newState;
    repaint();
}

void PatternCommandTabContentBackground::setDoubleSpacingState (bool newState)
{
    doubleSpacingState = newState;
    repaint();
}

void PatternCommandTabContentBackground::enablementChanged()
{
    repaint();
}

void PatternCommandTabContentBackground::updateFont()
{
    if (auto* zkLookAndFeel = dynamic_cast<CvoZkLookAndFeelV1*> (&getLookAndFeel()))
        captionFont = zkLookAndFeel->getDefaultFont();
}

void PatternCommandTabContentBackground::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
}

void PatternCommandTabContentBackground::paint (juce::Graphics& g)
{
    if (isEnabled())
        paintCaption (g);
    else
        paintConnectors (g);
}

void PatternCommandTabContentBackground::paintCaption (juce::Graphics& g)
{
    if (captionFont == nullptr)
        updateFont();

    for (const auto& text : getPaintedTexts())
        text.draw (g);
}

juce::Array<CvoFittedText> PatternCommandTabContentBackground::getPaintedTexts() const
{
    if (!isEnabled())
        return {};

    // Without a font of the editor's own, the framework's default typeface. On
    // two lines, squeezed where a line is too wide (the box is narrower than
    // "COMMANDS" at this height).
    CvoFittedText caption;
    caption.text = "PATTERN COMMANDS";
    caption.font = (captionFont != nullptr ? *captionFont : juce::Font()).withHeight (0.3f * height);
    caption.area = getLocalBounds().toFloat();
    caption.maximumLines = 2;
    caption.colour = juce::Colours::black.withAlpha (0.1f);
    return {caption};
}

void PatternCommandTabContentBackground::paintConnectors (juce::Graphics& g) const
{
    const auto w = width;
    const auto h = height;
    const auto gap = 0.13f * h * (doubleSpacingState ? 1.75f : 1.0f); // half the gap around 0.63 w
    const auto k = 0.08f * h;                                         // corner radius
    const auto upperY = 0.26f * h;                                    // volume row
    const auto lowerY = 0.74f * h;                                    // length row

    // Parts: 0 upper left, 1 upper right, 2 lower left, 3 lower right.
    std::array<juce::Colour, 4> colours;
    switch (isOverState)
    {
        case IsOverVolume:
            colours = {dimColour, overColour, dimColour, dimColour};
            break;
        case IsOverAll:
            colours = {overColour, overColour, overColour, overColour};
            break;
        case IsOverLength:
            colours = {dimColour, dimColour, dimColour, overColour};
            break;
        case IsOverNone:
        default:
            colours = {idleColour, idleColour, idleColour, idleColour};
            break;
    }

    std::array<juce::Path, 4> parts;
    const auto pi = juce::MathConstants<float>::pi;

    parts[0].startNewSubPath (0.25f * w, 0.37f * h);
    parts[0].lineTo (0.25f * w, 0.34f * h);
    parts[0].addArc (0.25f * w, upperY, 2.0f * k, 2.0f * k, 1.5f * pi, 2.0f * pi);
    parts[0].lineTo (0.63f * w - gap, upperY);

    parts[1].startNewSubPath (0.63f * w + gap, upperY);
    parts[1].lineTo (w, upperY);

    parts[2].startNewSubPath (0.25f * w, 0.63f * h);
    parts[2].lineTo (0.25f * w, 0.66f * h);
    parts[2].addArc (0.25f * w, 0.58f * h, 2.0f * k, 2.0f * k, 1.5f * pi, pi);
    parts[2].lineTo (0.63f * w - gap, lowerY);

    parts[3].startNewSubPath (0.63f * w + gap, lowerY);
    parts[3].lineTo (w, lowerY);

    const juce::PathStrokeType stroke{0.1f * h, juce::PathStrokeType::mitered, juce::PathStrokeType::butt};
    for (size_t i = 0; i < parts.size(); ++i)
    {
        g.setColour (colours[i]);
        g.strokePath (parts[i], stroke);
    }
}
