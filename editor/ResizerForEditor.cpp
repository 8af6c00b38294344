#include "editor/ResizerForEditor.h"

#include "editor/MainEditorComponent.h"

ResizerForEditor::ResizerForEditor (juce::Component* componentToResize,
                                    juce::ComponentBoundsConstrainer* constrainerToUse,
                                    MainEditorComponent* mainComponentToTell)
    : juce::ResizableCornerComponent (componentToResize, constrainerToUse)
    , mainComponent (mainComponentToTell)
{
}

ResizerForEditor::~ResizerForEditor() = default;

void ResizerForEditor::mouseDown (const juce::MouseEvent& e)
{
    juce::ResizableCornerComponent::mouseDown (e);

    if (mainComponent != nullptr)
        mainComponent->resizingStarted();
}

void ResizerForEditor::mouseUp (const juce::MouseEvent& e)
{
    juce::ResizableCornerComponent::mouseUp (e);

    if (mainComponent != nullptr)
        mainComponent->resizingStopped();
}
