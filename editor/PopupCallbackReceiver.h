#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainEditorComponent;

/**
    Receives the result of one popup menu of the main editor surface and hands it
    to the surface. A new receiver is made for every menu shown; the framework owns
    it and deletes it after its callback.

    The surface is held weakly: a menu dismissed by the surface's destructor can
    report after the surface is gone, and then nothing happens.

    Message thread only.
*/
class PopupCallbackReceiver : public juce::ModalComponentManager::Callback
{
public:
    explicit PopupCallbackReceiver (MainEditorComponent* surface);
    ~PopupCallbackReceiver() override;

    /** result: the chosen item id, 0 when the menu was dismissed. */
    void modalStateFinished (int result) override;

private:
    juce::Component::SafePointer<MainEditorComponent> surface;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PopupCallbackReceiver)
};
