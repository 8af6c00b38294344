#include "editor/widgets/CvoSyncedWaveDisplayComponent.h"

#include "editor/widgets/CvoScreenVisibilitySource.h"
#include "editor/widgets/CvoZkColours.h"

#include <cstring>

namespace
{
std::uint64_t packColumn (std::uint32_t generation, float value) noexcept
{
    std::uint32_t bits;
    std::memcpy (&bits, &value, sizeof (bits));
    return (std::uint64_t{generation} << 32) | bits;
}

/** Corner radius of the panels: 1 % of the surrounding surface's height. */
float cornerRadiusFor (const juce::Component& component)
{
    const auto* parent = component.getParentComponent();
    return 0.01f * (float)(parent != nullptr ? parent->getHeight() : component.getHeight());
}
} // namespace

CvoSyncedWaveDisplayComponent::CvoSyncedWaveDisplayComponent (int timerIntervalMs)
    : waveBuffer (std::make_unique<std::atomic<std::uint64_t>[]> (maxColumns))
{
    for (int i = 0; i < maxColumns; ++i)
        waveBuffer[(size_t)i].store (packColumn (0, 0.0f), std::memory_order_relaxed);

    startTimer (timerIntervalMs);
}

CvoSyncedWaveDisplayComponent::~CvoSyncedWaveDisplayComponent()
{
    stopTimer();
}

//==============================================================================
// Audio thread

void CvoSyncedWaveDisplayComponent::setSamplesPerBeat (float newSamplesPerBeat)
{
    if (newSamplesPerBeat == samplesPerBeat.load (std::memory_order_relaxed))
        return;

    samplesPerBeat.store (newSamplesPerBeat, std::memory_order_relaxed);

    const auto currentDrawWidth = drawWidth.load (std::memory_order_relaxed);
    if (currentDrawWidth != 0.0f)
    {
        const auto newSamplesPerPixel = newSamplesPerBeat / currentDrawWidth;
        if (newSamplesPerPixel != samplesPerPixel.load (std::memory_order_relaxed))
            samplesPerPixel.store (newSamplesPerPixel, std::memory_order_relaxed);
    }
}

void CvoSyncedWaveDisplayComponent::setIsRunningState (bool isRunning)
{
    if (isRunning != isRunningState.load (std::memory_order_relaxed))
        isRunningState.store (isRunning, std::memory_order_relaxed);
}

void CvoSyncedWaveDisplayComponent::restart()
{
    // The open column's sum and countdown carry on.
    writeIndex.store (0, std::memory_order_relaxed);
}

void CvoSyncedWaveDisplayComponent::pushSample (float level)
{
    if (!bufferReady.load (std::memory_order_acquire))
        return;

    // The acquire pairs with the rebuild's release: the length read below is at
    // least as new as the generation.
    const auto generation = bufferGeneration.load (std::memory_order_acquire);
    const auto length = juce::jmin (waveBufferLength.load (std::memory_order_relaxed), maxColumns);

    if (generation != audioGeneration)
    {
        // First push after a rebuild: the sweep starts empty at column 0.
        audioGeneration = generation;
        columnSum = 0.0f;
        sampleCountdown = 0;
        writeIndex.store (0, std::memory_order_relaxed);
    }

    const auto spp = samplesPerPixel.load (std::memory_order_relaxed);
    if (length <= 0 || !(spp > 0.0f && spp <= maxSamplesPerPixel))
        return;

    columnSum += level;

    if (sampleCountdown != 0)
    {
        --sampleCountdown;
        return;
    }

    // The column closes: it holds (truncated spp) + 1 samples divided by spp.
    sampleCountdown = (int)spp;

    auto index = writeIndex.load (std::memory_order_relaxed);
    if (index < 0 || index >= length) // a rebuild shortened the buffer meanwhile
        index = 0;

    waveBuffer[(size_t)index].store (packColumn (generation, columnSum / spp), std::memory_order_relaxed);

    if (++index >= length)
        index = 0;
    writeIndex.store (index, std::memory_order_relaxed);
    columnSum = 0.0f;
}

//==============================================================================
// Message thread

void CvoSyncedWaveDisplayComponent::setZoomFactorY (float newZoomFactorY)
{
    if (newZoomFactorY != zoomFactorY)
        zoomFactorY = newZoomFactorY;
}

void CvoSyncedWaveDisplayComponent::setCursorTailBrightness (float newBrightness)
{
    if (newBrightness != cursorTailBrightness)
        cursorTailBrightness = newBrightness;
}

void CvoSyncedWaveDisplayComponent::setRhythmicLinesBrightness (float newBrightness)
{
    if (newBrightness != rhythmicLinesBrightness)
        rhythmicLinesBrightness = newBrightness;
}

void CvoSyncedWaveDisplayComponent::setTripletState (bool newState)
{
    tripletState = newState;
    repaint();
}

void CvoSyncedWaveDisplayComponent::setMuteAllState (bool newState)
{
    muteAllState = newState;
    repaint();
}

void CvoSyncedWaveDisplayComponent::setBypassState (bool newState)
{
    bypassState = newState;
    repaint();
}

void CvoSyncedWaveDisplayComponent::resizingStarted()
{
    rebuildOnResize = false;
    bufferReady.store (false, std::memory_order_release);
}

void CvoSyncedWaveDisplayComponent::resizingStopped()
{
    updateAfterResizing();
}

void CvoSyncedWaveDisplayComponent::updateAfterResizing()
{
    const auto currentDrawWidth = drawWidth.load (std::memory_order_relaxed);
    if (currentDrawWidth != 0.0f)
        samplesPerPixel.store (samplesPerBeat.load (std::memory_order_relaxed) / currentDrawWidth,
                               std::memory_order_relaxed);

    initWaveDisplayArray();
}

void CvoSyncedWaveDisplayComponent::initWaveDisplayArray()
{
    const auto currentDrawWidth = drawWidth.load (std::memory_order_relaxed);
    if (currentDrawWidth == 0.0f)
    {
        bufferReady.store (false, std::memory_order_release);
        waveBufferLength.store (0, std::memory_order_relaxed);
        return;
    }

    // drawWidth is 0.9 times a component width: finite and not negative. A
    // width below one column leaves a ready display without columns.
    const auto length = juce::jmin ((int)currentDrawWidth, maxColumns);

    // Length first, then the new generation with release, so that an audio
    // thread that sees the generation also sees this length.
    waveBufferLength.store (length, std::memory_order_relaxed);
    bufferGeneration.store (bufferGeneration.load (std::memory_order_relaxed) + 1, std::memory_order_release);
    writeIndex.store (0, std::memory_order_relaxed);
    bufferReady.store (true, std::memory_order_release);
}

void CvoSyncedWaveDisplayComponent::resized()
{
    width = (float)getWidth();
    height = (float)getHeight();
    const auto newDrawWidth = 0.9f * width;
    drawWidth.store (newDrawWidth, std::memory_order_relaxed);
    drawHeight = 0.9f * height;
    marginX = (width - newDrawWidth) * 0.5f;
    marginY = (height - drawHeight) * 0.5f;

    if (rebuildOnResize)
        updateAfterResizing();
}

void CvoSyncedWaveDisplayComponent::setTooltip (const juce::String& newTooltip)
{
    tooltipText = newTooltip;
}

juce::String CvoSyncedWaveDisplayComponent::getTooltip()
{
    return tooltipText;
}

void CvoSyncedWaveDisplayComponent::timerCallback()
{
    // Hidden: the pushes go on filling the columns, the next paint shows them.
    if (CvoScreenVisibilitySource::isOnScreen (*this))
        repaint();
}

float CvoSyncedWaveDisplayComponent::readColumn (int index, std::uint32_t generation) const noexcept
{
    const auto slot = waveBuffer[(size_t)index].load (std::memory_order_relaxed);
    if ((std::uint32_t) (slot >> 32) != generation)
        return 0.0f;

    const auto bits = (std::uint32_t)slot;
    float value;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

void CvoSyncedWaveDisplayComponent::paint (juce::Graphics& g)
{
    const auto r = cornerRadiusFor (*this);
    const auto inset = 0.05f * height;

    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (0.0f, 0.0f, width, height, r);
    g.setColour (juce::Colours::white.withAlpha (0.1f));
    g.fillRoundedRectangle (inset, inset, juce::jmax (0.0f, width - 2.0f * inset),
                            juce::jmax (0.0f, height - 2.0f * inset), r);

    if (muteAllState && !bypassState)
        return;

    if (!bufferReady.load (std::memory_order_acquire))
        return;

    const auto currentDrawWidth = drawWidth.load (std::memory_order_relaxed);
    const auto centreY = 0.5f * height;
    const auto halfH = 0.5f * drawHeight;
    const auto left = marginX;
    const auto right = marginX + currentDrawWidth;
    const auto top = marginY;
    const auto bottom = marginY + drawHeight;

    if (rhythmicLinesBrightness > 0.0f && !bypassState)
    {
        g.setColour (juce::Colours::grey.withAlpha (juce::jmin (1.0f, rhythmicLinesBrightness)));
        const int n = tripletState ? 3 : 4;
        for (int i = 0; i <= n; ++i)
        {
            const auto x = left + (float)i * currentDrawWidth / (float)n;
            g.drawLine (x, top, x, bottom);
        }
    }

    if (zoomFactorY < 1.0f && !bypassState)
    {
        g.setColour (juce::Colours::lightgrey);
        const float dashes[] = {currentDrawWidth / 21.0f, currentDrawWidth / 21.0f};
        for (const auto y : {centreY - zoomFactorY * halfH, centreY + zoomFactorY * halfH})
            g.drawDashedLine ({left, y, right, y}, dashes, 2, 1.0f);
    }

    g.setColour (juce::Colours::lightgrey);
    g.drawLine (left, centreY, right, centreY);

    const auto generation = bufferGeneration.load (std::memory_order_acquire);
    const auto length = juce::jmin (waveBufferLength.load (std::memory_order_relaxed), maxColumns);
    juce::RectangleList<float> columns;

    for (int i = 0; i < length; ++i)
    {
        // Not a positive number (silence, NaN, a negative zoom): no bar. Above
        // the drawing area's height: clipped to it.
        const auto a = zoomFactorY * readColumn (i, generation) * halfH;
        if (a > 0.0f)
        {
            const auto clipped = juce::jmin (halfH, a);
            columns.addWithoutMerging ({(float)i + left, centreY - clipped, 1.0f, 2.0f * clipped});
        }
    }

    if (!columns.isEmpty())
    {
        if (bypassState)
        {
            const auto grey = juce::Colours::lightgrey;
            juce::ColourGradient gradient{
                grey.withAlpha (0.2f), 0.0f, top, grey.withAlpha (0.2f), 0.0f, bottom, false};
            gradient.addColour (0.35, grey.withAlpha (0.9f));
            gradient.addColour (0.5, grey.withAlpha (0.7f));
            gradient.addColour (0.65, grey.withAlpha (0.9f));
            g.setGradientFill (gradient);
        }
        else
        {
            const auto blue = CvoZkColours::zkcomplementColourA;
            const auto ends = blue.overlaidWith (juce::Colours::lightgrey.withAlpha (0.5f));
            juce::ColourGradient gradient{ends, 0.0f, top, ends, 0.0f, bottom, false};
            gradient.addColour (0.35, blue);
            gradient.addColour (0.5, blue.darker (0.2f));
            gradient.addColour (0.65, blue);
            g.setGradientFill (gradient);
        }
        g.fillRectList (columns);
    }

    if (bypassState || !isRunningState.load (std::memory_order_relaxed))
        return;

    const auto cursorX = (float)writeIndex.load (std::memory_order_relaxed) + left;

    if (cursorTailBrightness > 0.0f)
    {
        // The tail never reaches into the left margin (nor does the cursor).
        g.excludeClipRegion ({0, 0, (int)marginX, (int)height});
        const auto t = 0.2f * currentDrawWidth;
        const auto x0 = cursorX - t;
        const auto grey = juce::Colours::lightgrey;
        g.setGradientFill ({grey.withAlpha (0.0f), x0, top,
                            grey.withAlpha (0.5f * juce::jmin (1.0f, cursorTailBrightness)), x0 + t, top,
                            false});
        g.fillRect (x0, top, t, drawHeight);
    }

    g.setColour (juce::Colours::lightgrey);
    g.drawLine (cursorX, top, cursorX, bottom);
}
