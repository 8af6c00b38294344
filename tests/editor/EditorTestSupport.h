#pragma once

// Helpers shared by the editor tests: rendering components into images,
// comparing colours with a tolerance, and synthetic mouse events.

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

namespace juce
{
// The message loop's single step, defined in juce_events: dispatches one queued
// message; with returnIfNoPendingMessages it returns false when there is none.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace EditorTestSupport
{
/** An opaque image of the given size filled with the background. */
inline juce::Image makeCanvas (int width, int height, juce::Colour background)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics (image).fillAll (background);
    return image;
}

/** The component painted with its children and effects over the background. */
inline juce::Image render (juce::Component& component, juce::Colour background = juce::Colours::white)
{
    auto image = makeCanvas (component.getWidth(), component.getHeight(), background);
    juce::Graphics g (image);
    component.paintEntireComponent (g, false);
    return image;
}

/** Each channel (alpha included) within the tolerance [0..255]. */
inline ::testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 3)
{
    const int differences[] = {actual.getRed() - expected.getRed(), actual.getGreen() - expected.getGreen(),
                               actual.getBlue() - expected.getBlue(),
                               actual.getAlpha() - expected.getAlpha()};
    for (int d : differences)
        if (std::abs (d) > tolerance)
            return ::testing::AssertionFailure() << "colour " << actual.toDisplayString (true)
                                                 << " is not near " << expected.toDisplayString (true);
    return ::testing::AssertionSuccess();
}

/** The smallest rectangle holding every pixel that differs from the background
    (empty when there is none). */
inline juce::Rectangle<int> inkBounds (const juce::Image& image, juce::Colour background)
{
    juce::Rectangle<int> bounds;
    bool found = false;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (!coloursNear (image.getPixelAt (x, y), background, 8))
            {
                const juce::Rectangle<int> pixel (x, y, 1, 1);
                bounds = found ? bounds.getUnion (pixel) : pixel;
                found = true;
            }
    return bounds;
}

/** A mouse event on the component at a local position, as from the main mouse. */
inline juce::MouseEvent mouseEventAt (juce::Component& component, juce::Point<float> position,
                                      juce::ModifierKeys modifiers, bool wasDragged = false)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (
        juce::Desktop::getInstance().getMainMouseSource(), position, modifiers,
        juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
        juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
        juce::MouseInputSource::defaultTiltY, &component, &component, now, position, now, 1, wasDragged);
}

/** Delivers every message already posted to the message queue (this build has
    no modal loops, so JUCE's own runDispatchLoopUntil is not available). */
inline void deliverPendingMessages()
{
    while (juce::dispatchNextMessageOnSystemQueue (true))
    {
    }
}
} // namespace EditorTestSupport
