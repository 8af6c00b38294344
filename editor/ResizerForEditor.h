#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainEditorComponent;

/**
    The editor window's corner resizer. Besides resizing within the constrainer's
    limits it tells the main editor when a drag starts and ends, so that the
    surface can hide its controls while the window changes size.

    Message thread only.
*/
class ResizerForEditor : public juce::ResizableCornerComponent
{
public:
    /** mainComponent may be null: the resizer then resizes without telling anybody. */
    ResizerForEditor (juce::Component* componentToResize, juce::ComponentBoundsConstrainer* constrainerToUse,
                      MainEditorComponent* mainComponent);
    ~ResizerForEditor() override;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    MainEditorComponent* mainComponent; // not owned

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ResizerForEditor)
};
