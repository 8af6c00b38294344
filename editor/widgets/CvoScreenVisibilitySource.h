#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Implemented by a window that knows whether it can be seen on screen. The
    widgets' refresh timers ask it first and do no drawing work (no repaint, no
    hover polling) while it cannot; the window repaints everything once it is
    seen again.

    Message thread only.
*/
class CvoScreenVisibilitySource
{
public:
    virtual ~CvoScreenVisibilitySource() = default;

    /** False while the window cannot be seen (hidden or minimised). */
    virtual bool isWindowOnScreen() const = 0;

    /** The answer of the nearest parent of `component` that is a source; true
        when none is (a widget on its own draws as it always did). */
    static bool isOnScreen (const juce::Component& component)
    {
        const auto* source = component.findParentComponentOfClass<CvoScreenVisibilitySource>();
        return source == nullptr || source->isWindowOnScreen();
    }
};
