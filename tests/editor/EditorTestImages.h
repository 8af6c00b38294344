#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

/** Headless drawing helpers for the editor tests: a component painted into an
    image over a chosen background, and pixel comparisons with a tolerance. */
namespace EditorTestImages
{
inline juce::Image render (juce::Component& component, juce::Colour background = juce::Colours::black)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()),
                       juce::jmax (1, component.getHeight()), true);
    juce::Graphics g (image);
    g.fillAll (background);
    component.paintEntireComponent (g, false);
    return image;
}

/** True when every channel of the pixel is within the tolerance of the colour
    (the colour taken as opaque). */
inline bool isNear (juce::Colour pixel, juce::Colour expected, int tolerance = 6)
{
    return std::abs (pixel.getRed() - expected.getRed()) <= tolerance &&
           std::abs (pixel.getGreen() - expected.getGreen()) <= tolerance &&
           std::abs (pixel.getBlue() - expected.getBlue()) <= tolerance;
}

/** The brightest of the pixels in row y from x - 1 to x + 1 (a one-pixel line at
    a fractional position spreads over two pixels). */
inline int brightestAround (const juce::Image& image, int x, int y)
{
    int brightest = 0;
    for (int dx = -1; dx <= 1; ++dx)
    {
        const auto p = image.getPixelAt (x + dx, y);
        brightest = juce::jmax (brightest, (int)p.getRed(), (int)p.getGreen(), (int)p.getBlue());
    }
    return brightest;
}

/** Pixels of the image within the tolerance of the colour. */
inline int countNear (const juce::Image& image, juce::Colour expected, int tolerance)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (isNear (image.getPixelAt (x, y), expected, tolerance))
                ++count;
    return count;
}
} // namespace EditorTestImages
