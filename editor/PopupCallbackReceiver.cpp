#include "PopupCallbackReceiver.h"

#include "MainEditorComponent.h"

PopupCallbackReceiver::PopupCallbackReceiver (MainEditorComponent* surfaceToNotify)
    : surface (surfaceToNotify)
{
}

PopupCallbackReceiver::~PopupCallbackReceiver() = default;

void PopupCallbackReceiver::modalStateFinished (int result)
{
    if (auto* target = surface.getComponent())
        target->handlePopupMenuResult (result);
}
