#include "CvoLayoutManager.h"

#include <cmath>

CvoLayoutManager::CvoLayoutManager (int referenceHeightToUse, float heightRatioToUse, float aspectRatioToUse)
    : currentHeight (heightRatioToUse * (float)referenceHeightToUse)
    , referenceHeight ((float)referenceHeightToUse)
    , heightRatio (heightRatioToUse)
    , aspectRatio (aspectRatioToUse)
{
}

CvoLayoutManager::~CvoLayoutManager() = default;

void CvoLayoutManager::addComponent (juce::Component* component, float x, float y, float w, float h,
                                     Align align, bool sizeRule)
{
    components.add (component);
    relativeBounds.add ({x, y, w, h});
    alignments.add (align);
    sizeFromReferenceHeight.add (sizeRule);
}

void CvoLayoutManager::setNewHeightAndUpdateAllComponentBounds (float newHeight)
{
    if (!std::isfinite (newHeight) || newHeight < 0.0f)
        return;

    currentHeight = newHeight;

    // Without a known display height (0, as on a machine without a display) the
    // scale has no meaning; sizes then follow currentHeight / heightRatio.
    if (referenceHeight > 0.0f && heightRatio > 0.0f)
        scale = newHeight / referenceHeight / heightRatio;

    for (int i = 0; i < components.size(); ++i)
        setNewBoundsForComponent (i);
}

void CvoLayoutManager::setNewBoundsForComponent (int index)
{
    if (!juce::isPositiveAndBelow (index, components.size()))
        return;

    auto* component = components.getUnchecked (index);
    if (component == nullptr)
        return;

    const auto bounds = relativeBounds.getUnchecked (index);
    const int align = alignments.getUnchecked (index);
    float x = bounds.getX();
    float y = bounds.getY();
    const float w = bounds.getWidth();
    const float h = bounds.getHeight();

    if ((align & AlignHorizontallyCentred) == AlignHorizontallyCentred)
        x = 0.5f - w / 2.0f;
    else if ((align & AlignRight) != 0)
        x = 1.0f - x;

    if ((align & AlignVerticallyCentred) == AlignVerticallyCentred)
        y = 0.5f - h / 2.0f;
    else if ((align & AlignBottom) != 0)
        y = 1.0f - y;

    const auto pixels = toPixels (x, y, w, h, sizeFromReferenceHeight.getUnchecked (index));
    component->setBounds (juce::roundToInt (pixels.getX()), juce::roundToInt (pixels.getY()),
                          juce::roundToInt (pixels.getWidth()), juce::roundToInt (pixels.getHeight()));
}

void CvoLayoutManager::drawText (juce::Graphics& g, const juce::String& text, float x, float y, float w,
                                 float h, juce::Justification justification, bool sizeRule,
                                 juce::Colour colour) const
{
    const auto fitted = getText (g.getCurrentFont(), text, x, y, w, h, justification, sizeRule, colour);
    g.setFont (fitted.font);
    fitted.draw (g);
}

CvoFittedText CvoLayoutManager::getText (const juce::Font& typeface, const juce::String& text, float x,
                                         float y, float w, float h, juce::Justification justification,
                                         bool sizeRule, juce::Colour colour) const
{
    CvoFittedText fitted;
    fitted.text = text;
    fitted.area = toPixels (x, y, w, h, sizeRule);
    fitted.font = typeface.withHeight (fitted.area.getHeight());
    fitted.justification = justification;
    fitted.colour = colour;
    return fitted;
}

void CvoLayoutManager::drawSectionBackground (juce::Graphics& g, float x, float y, float w, float h,
                                              bool sizeRule) const
{
    const auto area = toPixels (x, y, w, h, sizeRule);
    const float radius = cornerRatio * currentHeight;
    g.setColour (sectionFillColour);
    g.fillRoundedRectangle (area, radius);
    g.setColour (sectionOutlineColour);
    g.drawRoundedRectangle (area, radius, 1.0f);
}

float CvoLayoutManager::getSizeRuleUnit() const
{
    if (referenceHeight > 0.0f)
        return referenceHeight * scale;

    return heightRatio > 0.0f ? currentHeight / heightRatio : currentHeight;
}

juce::Rectangle<float> CvoLayoutManager::toPixels (float x, float y, float w, float h, bool sizeRule) const
{
    const float editorWidth = aspectRatio * currentHeight;
    const float widthUnit = sizeRule ? getSizeRuleUnit() : editorWidth;
    const float heightUnit = sizeRule ? getSizeRuleUnit() : currentHeight;
    return {x * editorWidth, y * currentHeight, w * widthUnit, h * heightUnit};
}
