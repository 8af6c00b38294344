#include "CvoZkLookAndFeelV1.h"

#include "CvoZkColours.h"

#include "BinaryData.h"

CvoZkLookAndFeelV1::CvoZkLookAndFeelV1()
    : defaultFont (std::make_unique<juce::Font> (createEmbeddedTypeface()))
{
    defaultFont->setHeight (40.0f);
}

CvoZkLookAndFeelV1::~CvoZkLookAndFeelV1() = default;

juce::Typeface::Ptr CvoZkLookAndFeelV1::createEmbeddedTypeface()
{
    return juce::Typeface::createSystemTypefaceFor (BinaryData::OpenSansCondBold_ttf,
                                                    (size_t)BinaryData::OpenSansCondBold_ttfSize);
}

void CvoZkLookAndFeelV1::setCornerSize (float newCornerSize)
{
    cornerSize = newCornerSize;
}

juce::Font* CvoZkLookAndFeelV1::getDefaultFont() const
{
    return defaultFont.get();
}

void CvoZkLookAndFeelV1::setCurrentLightGrey (const juce::Colour& newLightGrey)
{
    currentLightGrey = newLightGrey;
}

void CvoZkLookAndFeelV1::drawRadioTickBox (juce::Graphics& g, juce::Component&, float x, float y, float w,
                                           float h, bool ticked)
{
    const float diameter = 0.7f * w;
    const auto colour =
        ticked ? CvoZkColours::zkcomplementColourA : CvoZkColours::zkdarkGrey.brighter (0.65f);
    juce::LookAndFeel_V2::drawGlassSphere (g, x, y + (h - diameter) / 2.0f, diameter, colour, 1.1f);
}

void CvoZkLookAndFeelV1::drawButtonShape (juce::Graphics& g, const juce::Path& outline,
                                          juce::Colour baseColour, float height, bool thickOutline)
{
    const float mainBrightness = baseColour.getBrightness();
    const float mainAlpha = baseColour.getFloatAlpha();

    g.setGradientFill (juce::ColourGradient (baseColour.brighter (0.2f), 0.0f, 0.0f,
                                             baseColour.darker (0.25f), 0.0f, height, false));
    g.fillPath (outline);

    // The highlight line just inside the top edge; a shape without height has none
    // (its scale factor would divide by zero).
    if (height > 0.0f)
    {
        g.setColour (juce::Colours::white.withAlpha (0.4f * mainAlpha * mainBrightness * mainBrightness));
        g.strokePath (
            outline, juce::PathStrokeType (1.0f),
            juce::AffineTransform::translation (0.0f, 1.0f).scaled (1.0f, (height - 1.6f) / height));
    }

    g.setColour (juce::Colours::black.withAlpha (0.5f * mainAlpha));
    g.strokePath (outline, juce::PathStrokeType (thickOutline ? 4.0f : 1.0f));
}

void CvoZkLookAndFeelV1::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                               const juce::Colour& backgroundColour, bool, bool isButtonDown)
{
    auto baseColour =
        button.isEnabled() ? backgroundColour : button.findColour (juce::TextButton::buttonColourId);
    if (isButtonDown)
        baseColour = baseColour.darker (0.4f);

    const float width = (float)button.getWidth() - 1.0f;
    const float height = (float)button.getHeight() - 1.0f;
    if (width <= 0.0f || height <= 0.0f)
        return;

    // A corner stays square where the button joins a neighbour on either edge
    // that meets there.
    const bool flatOnLeft = button.isConnectedOnLeft();
    const bool flatOnRight = button.isConnectedOnRight();
    const bool flatOnTop = button.isConnectedOnTop();
    const bool flatOnBottom = button.isConnectedOnBottom();

    juce::Path outline;
    outline.addRoundedRectangle (0.5f, 0.5f, width, height, cornerSize, cornerSize,
                                 !(flatOnLeft || flatOnTop), !(flatOnRight || flatOnTop),
                                 !(flatOnLeft || flatOnBottom), !(flatOnRight || flatOnBottom));

    drawButtonShape (g, outline, baseColour, height, false);
}

juce::Font CvoZkLookAndFeelV1::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return defaultFont->withHeight (0.8f * (float)buttonHeight);
}

CvoFittedText CvoZkLookAndFeelV1::getTextButtonCaption (juce::TextButton& button)
{
    // The framework's caption box: indents that follow the font and the rounded
    // corners (smaller on a connected edge), at most 4 pixels above and below.
    const auto font = getTextButtonFont (button, button.getHeight());
    const int yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const int corner = juce::jmin (button.getHeight(), button.getWidth()) / 2;
    const int fontHeight = juce::roundToInt (font.getHeight() * 0.6f);
    const int leftIndent = juce::jmin (fontHeight, 2 + corner / (button.isConnectedOnLeft() ? 4 : 2));
    const int rightIndent = juce::jmin (fontHeight, 2 + corner / (button.isConnectedOnRight() ? 4 : 2));

    CvoFittedText caption;
    caption.text = button.getButtonText();
    caption.font = font;
    caption.area = juce::Rectangle<int> (leftIndent, yIndent, button.getWidth() - leftIndent - rightIndent,
                                         button.getHeight() - 2 * yIndent)
                       .toFloat();
    caption.maximumLines = 2;
    caption.colour = button
                         .findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                              : juce::TextButton::textColourOffId)
                         .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f);
    return caption;
}

void CvoZkLookAndFeelV1::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    getTextButtonCaption (button).draw (g);
}

void CvoZkLookAndFeelV1::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool, bool)
{
    const float h = (float)button.getHeight();
    drawRadioTickBox (g, button, 0.0f, 0.1f * h, 0.8f * h, 0.8f * h, button.getToggleState());

    const int textX = (int)(0.8f * h);
    CvoFittedText caption;
    caption.text = button.getButtonText();
    caption.font = defaultFont->withHeight (h);
    caption.area =
        juce::Rectangle<int> (textX, 0, juce::jmax (0, button.getWidth() - 2 - textX), (int)h).toFloat();
    caption.justification = juce::Justification::centredLeft;
    caption.minimumHorizontalScale = 1.0f;
    caption.draw (g);
}

float CvoZkLookAndFeelV1::getMenuFontHeight()
{
    // Without a display (headless) the main display height reads as 0.
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    const int displayHeight = display != nullptr ? display->totalArea.getHeight() : 0;
    return (float)juce::jmax (27, juce::roundToInt (0.025 * displayHeight));
}

juce::Font CvoZkLookAndFeelV1::getPopupMenuFont()
{
    return defaultFont->withHeight (getMenuFontHeight());
}

void CvoZkLookAndFeelV1::drawComboBox (juce::Graphics& g, int width, int height, bool, int buttonX,
                                       int buttonY, int buttonW, int buttonH, juce::ComboBox& box)
{
    const bool enabled = box.isEnabled();

    // Stored into the box, so that its text label follows the enabled state.
    box.setColour (juce::ComboBox::textColourId, juce::Colours::black.withAlpha (enabled ? 1.0f : 0.2f));

    const juce::Rectangle<float> area (0.0f, 0.0f, (float)width, (float)height);
    g.setColour (box.findColour (juce::ComboBox::backgroundColourId));
    g.fillRoundedRectangle (area, cornerSize);
    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRoundedRectangle (area, cornerSize, 0.3f * cornerSize);

    const float bx = (float)buttonX;
    const float by = (float)buttonY;
    const float bw = (float)buttonW;
    const float bh = (float)buttonH;

    juce::Path arrows;
    arrows.addTriangle (bx + 0.5f * bw, by + 0.25f * bh, bx + 0.7f * bw, by + 0.45f * bh, bx + 0.3f * bw,
                        by + 0.45f * bh);
    arrows.addTriangle (bx + 0.5f * bw, by + 0.75f * bh, bx + 0.7f * bw, by + 0.55f * bh, bx + 0.3f * bw,
                        by + 0.55f * bh);

    g.setColour (box.findColour (juce::ComboBox::arrowColourId).withAlpha (enabled ? 1.0f : 0.2f));
    g.fillPath (arrows);
}

juce::Font CvoZkLookAndFeelV1::getComboBoxFont (juce::ComboBox&)
{
    return defaultFont->withHeight (getMenuFontHeight());
}

void CvoZkLookAndFeelV1::drawLabel (juce::Graphics& g, juce::Label& label)
{
    if (label.getHeight() > 0)
        getLabelText (label).draw (g);
}

CvoFittedText CvoZkLookAndFeelV1::getLabelText (juce::Label& label)
{
    // As tall as the label, although getLabelFont reports 0.9 x its height (the
    // text editor of an edited label uses the smaller size); one line.
    CvoFittedText text;
    text.text = label.getText (false);
    text.font = getLabelFont (label).withHeight ((float)label.getHeight());
    text.area = label.getLocalBounds().toFloat();
    text.justification = label.getJustificationType();
    text.minimumHorizontalScale = label.getMinimumHorizontalScale();
    text.colour = label.findColour (juce::Label::textColourId);
    return text;
}

juce::Font CvoZkLookAndFeelV1::getLabelFont (juce::Label& label)
{
    return defaultFont->withHeight (0.9f * (float)label.getHeight());
}

void CvoZkLookAndFeelV1::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                                           juce::Slider& slider)
{
    // The knob is a circle as wide as the slider area; the height only sets the
    // pointer's thickness.
    const float fx = (float)x;
    const float fy = (float)y;
    const float size = (float)width;
    const float r = size / 2.0f;
    const bool enabled = slider.isEnabled();
    const auto knobColour = slider.findColour (juce::Slider::backgroundColourId).darker (0.5f);

    const float bodySize = juce::jmax (0.0f, size - 0.4f * r);
    juce::Path body;
    body.addEllipse (fx + 0.2f * r, fy + 0.2f * r, bodySize, bodySize);

    if (enabled)
    {
        const int shadowOffset = (int)(0.13f * r);
        juce::DropShadow (juce::Colours::black, (int)(0.2f * r), {shadowOffset, shadowOffset})
            .drawForPath (g, body);
    }

    juce::Path track;
    track.addPieSegment (fx, fy, size, size, rotaryStartAngle, rotaryEndAngle, 0.7f);
    g.setColour (juce::Colours::black.overlaidWith (CvoZkColours::zkcomplementColourA.withAlpha (0.05f)));
    g.fillPath (track);

    const float angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);

    if (enabled)
    {
        const float inset = 0.03f * r;
        juce::Path valueArc;
        valueArc.addPieSegment (fx + inset, fy + inset, size - 2.0f * inset, size - 2.0f * inset,
                                rotaryStartAngle, angle, 0.7f);
        g.setColour (CvoZkColours::zkcomplementColourA);
        g.fillPath (valueArc);
    }

    g.setGradientFill (juce::ColourGradient (knobColour.brighter (1.0f), fx, fy, knobColour.darker (1.0f),
                                             fx + size, fy + size, false));
    g.fillPath (body);

    const float rimSize = juce::jmax (0.0f, size - 0.5f * r);
    g.setColour (knobColour.brighter (0.4f).withAlpha (1.0f));
    g.drawEllipse (fx + 0.25f * r, fy + 0.25f * r, rimSize, rimSize, 0.05f * r);

    if (enabled)
    {
        juce::Path pointer;
        pointer.startNewSubPath (0.0f, -0.15f * r);
        pointer.lineTo (0.0f, -0.6f * r);
        g.setColour (juce::Colours::white);
        g.strokePath (pointer,
                      juce::PathStrokeType ((float)height / 25.0f, juce::PathStrokeType::curved,
                                            juce::PathStrokeType::rounded),
                      juce::AffineTransform::rotation (angle).translated (fx + r, fy + r));
    }
}

juce::Button* CvoZkLookAndFeelV1::createSliderButton (juce::Slider& slider, bool isIncrement)
{
    auto* button = new juce::TextButton (isIncrement ? "+" : "-");
    button->setColour (juce::TextButton::buttonColourId,
                       slider.findColour (juce::TextButton::buttonColourId));
    return button;
}

juce::Label* CvoZkLookAndFeelV1::createSliderTextBox (juce::Slider& slider)
{
    auto* label = new juce::Label();
    label->setJustificationType (juce::Justification::centred);
    label->setEditable (false, true, true);

    const auto textColour = slider.findColour (juce::Slider::textBoxTextColourId);
    const auto outlineColour = slider.findColour (juce::Slider::textBoxOutlineColourId);
    label->setColour (juce::Label::textColourId, textColour);
    label->setColour (juce::TextEditor::textColourId, textColour);
    label->setColour (juce::TextEditor::backgroundColourId,
                      slider.findColour (juce::Slider::textBoxBackgroundColourId));
    label->setColour (juce::Label::outlineColourId, outlineColour);
    label->setColour (juce::Label::outlineWhenEditingColourId, outlineColour);
    label->setColour (juce::TextEditor::outlineColourId, outlineColour);
    label->setColour (juce::TextEditor::highlightColourId,
                      slider.findColour (juce::Slider::textBoxHighlightColourId));
    return label;
}

void CvoZkLookAndFeelV1::drawCornerResizer (juce::Graphics& g, int w, int h, bool isMouseOver,
                                            bool isMouseDragging)
{
    auto colour = currentLightGrey.darker (0.4f);
    if (isMouseOver)
        colour = CvoZkColours::zkmainColour;
    if (isMouseDragging)
        colour = juce::Colours::black;

    const float fw = (float)w;
    const float fh = (float)h;
    const float thickness = 0.24f * fw;
    const float head = 0.44f * fw;

    g.setColour (colour);
    g.drawArrow ({0.585f * fw, 0.585f * fh, fw - 0.1f * fw, fh - 0.1f * fw}, thickness, head, head);
    g.drawArrow ({0.59f * fw, 0.59f * fh, 0.1f * fw + 0.2f * fh, 0.1f * fw + 0.2f * fh}, thickness, head,
                 head);
}

void CvoZkLookAndFeelV1::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool, bool)
{
    g.setColour (juce::Colours::lightgrey.withAlpha (button.getToggleState() ? 1.0f : 0.2f));
    g.fillRect (button.getActiveArea());

    CvoFittedText caption;
    caption.text = button.getButtonText();
    caption.font = defaultFont->withHeight ((float)button.getHeight());
    caption.area = button.getTextArea().toFloat();
    caption.draw (g);
}
