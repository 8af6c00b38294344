#include "editor/widgets/CvoVerticalStereoVuMeter.h"

#include "editor/widgets/CvoScreenVisibilitySource.h"

#include <cmath>
#include <limits>

namespace
{
// Peaks that have decayed below this are set to 0, so that the decay does not
// run on, or stick at, denormal values (about -240 dB: never visible).
constexpr float peakFloor = 1.0e-12f;
} // namespace

CvoVerticalStereoVuMeter::CvoVerticalStereoVuMeter()
{
    startTimer (33);
}

CvoVerticalStereoVuMeter::~CvoVerticalStereoVuMeter()
{
    stopTimer();
}

//==============================================================================
// Audio thread

void CvoVerticalStereoVuMeter::pushLeftSample (float level)
{
    pushSample (left, level);
}

void CvoVerticalStereoVuMeter::pushRightSample (float level)
{
    pushSample (right, level);
}

void CvoVerticalStereoVuMeter::pushSample (Channel& channel, float level) noexcept
{
    // A click's clear runs here, on the ring's only writer: once per click, even
    // while the input is held off.
    const auto request = clearRequest.load (std::memory_order_acquire);
    if (request != channel.clearedRequest)
    {
        for (auto& entry : channel.ring)
            entry.store (0.0f, std::memory_order_relaxed);
        channel.clearedRequest = request;
        channel.clearDone.store (request, std::memory_order_release);
    }

    if (inputHoldOff.load (std::memory_order_acquire))
        return;

    // An infinite level would hold the peak at full scale for good (the peak
    // survives clicks), a NaN would poison the ring's sum.
    if (!(level >= 0.0f && level <= std::numeric_limits<float>::max()))
        level = 0.0f;

    auto p = channel.peakLevel.load (std::memory_order_relaxed);
    if (channel.decayArmed.load (std::memory_order_relaxed) && p > 0.0f)
    {
        // p * (0.999 + 0.001 * average): louder material decays more slowly.
        p = p * (decayWeight * channel.averageLevel.load (std::memory_order_relaxed) + (1.0f - decayWeight));
        if (p < peakFloor)
            p = 0.0f;
        channel.peakLevel.store (p, std::memory_order_relaxed);
    }

    if (level > p)
    {
        // The new peak holds until the next paint arms the decay again.
        channel.peakLevel.store (level, std::memory_order_relaxed);
        channel.decayArmed.store (false, std::memory_order_relaxed);
    }

    channel.ring[(size_t)channel.ringIndex].store (level, std::memory_order_relaxed);
    if (++channel.ringIndex >= ringSize)
        channel.ringIndex = 0;
}

//==============================================================================
// Message thread

void CvoVerticalStereoVuMeter::setLevelOverColour (const juce::Colour& newColour)
{
    levelOverColour = newColour;
}

void CvoVerticalStereoVuMeter::setMonoState (bool newState)
{
    if (newState == monoState)
        return;

    monoState = newState;
    repaint();
}

void CvoVerticalStereoVuMeter::mouseDown (const juce::MouseEvent&)
{
    // Peaks, averages and ring positions stay as they are.
    lastResetTime = juce::Time::getCurrentTime();
    inputHoldOff.store (true, std::memory_order_release);
    clearRequest.store (clearRequest.load (std::memory_order_relaxed) + 1, std::memory_order_release);
}

void CvoVerticalStereoVuMeter::timerCallback()
{
    // Hidden: the rings and peaks go on following the input, the next paint
    // shows them.
    if (CvoScreenVisibilitySource::isOnScreen (*this))
        repaint();

    if (inputHoldOff.load (std::memory_order_relaxed) &&
        juce::Time::getCurrentTime() > lastResetTime + juce::RelativeTime::seconds (0.1))
        inputHoldOff.store (false, std::memory_order_release);
}

void CvoVerticalStereoVuMeter::resized() {}

void CvoVerticalStereoVuMeter::setTooltip (const juce::String& newTooltip)
{
    tooltipText = newTooltip;
}

juce::String CvoVerticalStereoVuMeter::getTooltip()
{
    return tooltipText;
}

float CvoVerticalStereoVuMeter::takeLevel (Channel& channel) noexcept
{
    // Until the audio thread has carried out the last clear, the ring is empty.
    float sum = 0.0f;
    if (channel.clearDone.load (std::memory_order_acquire) == clearRequest.load (std::memory_order_relaxed))
        for (const auto& entry : channel.ring)
            sum += entry.load (std::memory_order_relaxed);

    // The cap applies to the sum, not to the mean: this term stays below
    // (0.95 / 3000)^0.25, about 0.133.
    const auto average = (float)std::pow ((double)juce::jmin (averageCap, sum) / (double)ringSize, 0.25);
    channel.averageLevel.store (average, std::memory_order_relaxed);
    channel.decayArmed.store (true, std::memory_order_relaxed);
    return juce::jmax (average, channel.peakLevel.load (std::memory_order_relaxed));
}

void CvoVerticalStereoVuMeter::paint (juce::Graphics& g)
{
    const auto w = (float)getWidth();
    const auto h = (float)getHeight();
    if (w <= 0.0f || h <= 0.0f)
        return;

    // Margin t and bar height b as fractions of the height.
    const auto t = monoState ? 0.25f : 0.15f;
    const auto b = monoState ? (1.0f - 2.0f * t) * h : (1.0f - 3.0f * t) / 2.0f * h;
    const auto leftRowY = t * h;
    const auto rightRowY = (1.0f - t) * h - b;
    const bool showRight = !monoState;

    g.setColour (juce::Colours::grey.withAlpha (0.2f));
    g.fillRect (0.0f, leftRowY, w, b);
    if (showRight)
        g.fillRect (0.0f, rightRowY, w, b);

    g.setGradientFill ({levelColour.withAlpha (0.2f), 0.0f, 0.0f, levelColour, 0.5f * w, 0.0f, false});

    if (inputHoldOff.load (std::memory_order_relaxed))
        return;

    const auto leftLevel = takeLevel (left);
    g.fillRect (0.0f, leftRowY, juce::jmin (1.0f, leftLevel) * w, b);

    auto rightLevel = 0.0f;
    if (showRight)
    {
        rightLevel = takeLevel (right);
        g.fillRect (0.0f, rightRowY, juce::jmin (1.0f, rightLevel) * w, b);
    }

    g.setGradientFill ({levelColour, 0.95f * w, 0.0f, levelOverColour, w, 0.0f, false});
    if (leftLevel > 1.0f)
        g.fillRect (0.95f * w, leftRowY, 0.05f * w, b);
    if (showRight && rightLevel > 1.0f)
        g.fillRect (0.95f * w, rightRowY, 0.05f * w, b);
}
