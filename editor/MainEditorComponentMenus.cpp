// PENDING: placeholder bodies of the menus and mouse clicks.

#include "MainEditorComponent.h"

void MainEditorComponent::mouseDown (const juce::MouseEvent&) {}

void MainEditorComponent::createAndShowSettingsPopupMenu() {}

void MainEditorComponent::createAndShowTransportPopupMenu() {}

void MainEditorComponent::loadFactoryPresetWithID (int) {}

void MainEditorComponent::loadUserPresetWithID (int) {}

void MainEditorComponent::revealUserPresetsFolder() {}
