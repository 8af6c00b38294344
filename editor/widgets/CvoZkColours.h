#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor's palette: four opaque colours shared by every editor file. */
namespace CvoZkColours
{
/** Orange-red: bypass text, level-meter over strip, resizer under the mouse. */
inline const juce::Colour zkmainColour{(juce::uint8)255, (juce::uint8)53, (juce::uint8)0};

/** Blue: knob value arcs, ticked radio boxes, popup-menu highlight, active icons. */
inline const juce::Colour zkcomplementColourA{(juce::uint8)8, (juce::uint8)111, (juce::uint8)161};

/** Green: step-button LED. */
inline const juce::Colour zkcomplementColourB{(juce::uint8)124, (juce::uint8)231, (juce::uint8)0};

/** Base grey of all surfaces, brightened by the colour-scheme brightness. */
inline const juce::Colour zkdarkGrey{(juce::uint8)51, (juce::uint8)51, (juce::uint8)51};
} // namespace CvoZkColours
