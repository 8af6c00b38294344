#include "editor/widgets/CvoEnvAHDSRComponent.h"

#include "editor/widgets/CvoZkColours.h"

namespace
{
/** Corner radius of the panels: 1 % of the surrounding surface's height. */
float cornerRadiusFor (const juce::Component& component)
{
    const auto* parent = component.getParentComponent();
    return 0.01f * (float)(parent != nullptr ? parent->getHeight() : component.getHeight());
}
} // namespace

CvoEnvAHDSRComponent::~CvoEnvAHDSRComponent() = default;

void CvoEnvAHDSRComponent::setAttack (float v)
{
    attackShape = v * v;
    repaint();
}

void CvoEnvAHDSRComponent::setHold (float v)
{
    holdShape = v * v;
    repaint();
}

void CvoEnvAHDSRComponent::setDecay (float v)
{
    decayShape = v * v;
    repaint();
}

void CvoEnvAHDSRComponent::setSustain (float v)
{
    sustainLevel = v;
    repaint();
}

void CvoEnvAHDSRComponent::setRelease (float v)
{
    releaseShape = v * v;
    repaint();
}

void CvoEnvAHDSRComponent::setCurrentlyChangingState (CurrentlyChangingState newState)
{
    currentlyChangingState = newState;
    repaint();
}

void CvoEnvAHDSRComponent::setMuteAllState (bool newState)
{
    muteAllState = newState;
    repaint();
}

void CvoEnvAHDSRComponent::setBypassState (bool newState)
{
    bypassState = newState;
    repaint();
}

void CvoEnvAHDSRComponent::setFont (juce::Font* newFont)
{
    envelopeFont = newFont;
    repaint();
}

void CvoEnvAHDSRComponent::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
}

void CvoEnvAHDSRComponent::setTooltip (const juce::String& newTooltip)
{
    tooltipText = newTooltip;
}

juce::String CvoEnvAHDSRComponent::getTooltip()
{
    return tooltipText;
}

void CvoEnvAHDSRComponent::paint (juce::Graphics& g)
{
    const auto r = cornerRadiusFor (*this);
    const auto e = 0.05f * height;

    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (0.0f, 0.0f, width, height, r);
    g.setColour (juce::Colours::white.withAlpha (0.1f));
    g.fillRoundedRectangle (e, e, juce::jmax (0.0f, width - 2.0f * e), juce::jmax (0.0f, height - 2.0f * e),
                            r);

    if (muteAllState || bypassState)
    {
        for (const auto& text : getPaintedTexts())
            text.draw (g);
        return;
    }

    // Keep the shape out of the inner panel's right-hand margin.
    const auto m = juce::roundToInt (e);
    g.excludeClipRegion ({(int)width - m, 0, m, (int)height});
    drawShape (g);
}

juce::Array<CvoFittedText> CvoEnvAHDSRComponent::getPaintedTexts() const
{
    if (envelopeFont == nullptr || !(muteAllState || bypassState))
        return {};

    // Inside the inner panel (inset by e on every side), not squeezed: a
    // caption too wide for it is drawn smaller.
    const auto e = 0.05f * height;
    CvoFittedText caption;
    caption.text = muteAllState ? "MUTE ALL" : "BYPASS";
    caption.font = envelopeFont->withHeight (0.5f * height);
    caption.area = {e, e, juce::jmax (0.0f, width - 2.0f * e), juce::jmax (0.0f, height - 2.0f * e)};
    caption.minimumHorizontalScale = 1.0f;
    caption.colour = muteAllState ? CvoZkColours::zkcomplementColourA : CvoZkColours::zkmainColour;
    return {caption};
}

void CvoEnvAHDSRComponent::drawShape (juce::Graphics& g) const
{
    if (width <= 0.0f || height <= 0.0f)
        return;

    const auto r = cornerRadiusFor (*this);
    const auto top = 0.1f * height;
    const auto a = 0.8f * height;
    const auto bottom = top + a;
    const auto left = 0.05f * width;
    const auto u = 0.45f * width; // [pixels per time unit]
    const auto x = [left, u] (float t) { return left + u * t; };

    // Segment ends [time units]. Hold, decay and release keep a minimum length.
    const auto holdTerm = 1.99f * holdShape + 0.01f;
    const auto decayTerm = 1.98f * decayShape + 0.02f;
    const auto t1 = 2.0f * attackShape;
    const auto t2 = t1 + holdTerm;
    const auto t3 = t2 + decayTerm;
    const auto t4 = juce::jmax (t3, 1.0f); // the sustain lasts at least until time 1
    const auto rl = 1.96f * releaseShape + 0.04f;
    const auto t5 = t4 + rl;
    const auto sy = top + (1.0f - sustainLevel) * a;

    const juce::Point<float> releaseControl{x (t4 + 0.25f * rl), top + a * (1.0f - 0.25f * sustainLevel)};
    const juce::Point<float> releaseEnd{x (t5), bottom};

    juce::Path envelope;
    envelope.startNewSubPath (left, bottom);
    envelope.lineTo (x (t1), top);
    envelope.lineTo (x (t2), top);
    envelope.lineTo (x (t3), sy);
    envelope.lineTo (x (t4), sy);
    envelope.quadraticTo (releaseControl, releaseEnd);
    envelope.lineTo (left, bottom);

    const auto shapeColour = juce::Colours::grey.brighter (0.2f);
    g.setGradientFill ({shapeColour, 0.0f, top, juce::Colours::grey.darker (0.3f), 0.0f, bottom, false});
    g.fillPath (envelope);

    if (currentlyChangingState != ChangingNone)
    {
        juce::Path highlight;
        auto highlightTop = top;

        switch (currentlyChangingState)
        {
            case ChangingAttack:
                highlight.addTriangle (left, bottom, x (t1), top, x (t1), bottom);
                break;
            case ChangingHold:
                highlight.addQuadrilateral (x (t1), bottom, x (t1), top, x (t2), top, x (t2), bottom);
                break;
            case ChangingDecay:
                highlight.addQuadrilateral (x (t2), bottom, x (t2), top, x (t3), sy, x (t3), bottom);
                break;
            case ChangingSustain:
                highlight.addQuadrilateral (x (t3), bottom, x (t3), sy, x (t4), sy, x (t4), bottom);
                highlightTop = sy;
                break;
            case ChangingRelease:
                highlight.startNewSubPath (x (t4), bottom);
                highlight.lineTo (x (t4), sy);
                highlight.quadraticTo (releaseControl, releaseEnd);
                highlight.closeSubPath();
                highlightTop = sy;
                break;
            case ChangingNone:
                break;
        }

        // A segment of zero height (sustain 0) shows nothing; a gradient
        // between two equal points would be degenerate.
        if (highlightTop < bottom)
        {
            const auto accent = CvoZkColours::zkcomplementColourA.withAlpha (0.8f);
            g.setGradientFill ({accent, 0.0f, highlightTop, accent.darker (0.2f), 0.0f, bottom, false});
            g.fillPath (highlight);
        }
    }

    // Segment marks, dashed from the bottom upwards.
    const float dashes[] = {0.1f * height, 0.05f * height};
    const auto markThickness = 0.01f * height;
    g.setColour (juce::Colours::grey.brighter (0.5f));
    const auto drawMark = [&] (float t, float upTo) {
        g.drawDashedLine ({x (t), bottom, x (t), upTo}, dashes, 2, markThickness);
    };

    if (t1 > 0.0f)
        drawMark (t1, top);
    if (holdTerm > 0.01f)
        drawMark (t2, top);
    if (decayTerm > 0.02f)
        drawMark (t3, sy);
    drawMark (t4, sy);

    g.setColour (juce::Colours::white);
    g.strokePath (envelope,
                  juce::PathStrokeType (0.5f * r, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}
