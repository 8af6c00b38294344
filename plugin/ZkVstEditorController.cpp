#include "plugin/ZkVstEditorController.h"

#include "plugin/ZkMessageManagerLock.h"
#include "plugin/ZkMessageThread.h"

#include <cstdint>
#include <limits>

namespace juce
{
// One step of JUCE's message loop (juce_events, Linux): dispatches what is
// pending; with returnIfNoPendingMessages it returns false when nothing is.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
VstInt16 toRectCoordinate (int pixels)
{
    return static_cast<VstInt16> (juce::jlimit (0, (int)std::numeric_limits<VstInt16>::max(), pixels));
}
} // namespace

ZkVstEditorController::ZkVstEditorController (juce::AudioProcessor& processorToEdit,
                                              ResizeHostWindow resizeHostWindowToUse)
    : processor (processorToEdit)
    , resizeHostWindow (std::move (resizeHostWindowToUse))
{
}

ZkVstEditorController::~ZkVstEditorController()
{
    close();
}

template <typename Function> bool ZkVstEditorController::onMessageThread (Function&& function)
{
    // An exiting process: JUCE's loop no longer runs (its lock would never come).
    if (ZkMessageThread::isProcessExiting())
        return false;

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        function();
        return true;
    }

    const ZkMessageManagerLock lock;

    if (!lock.lockWasGained())
        return false;

    function();
    return true;
}

//==============================================================================
bool ZkVstEditorController::getRect (ERect** rectToFill)
{
    onMessageThread (
        [this]
        {
            createEditorIfNeeded();
            storeRect();
        });

    *rectToFill = editor != nullptr ? &rect : nullptr;
    return editor != nullptr;
}

bool ZkVstEditorController::open (void* parentWindow)
{
    if (parentWindow == nullptr)
        return false;

    if (!borrowsLoop)
        borrowsLoop = ZkMessageThread::lendToCurrentThread();

    onMessageThread (
        [this, parentWindow]
        {
            createEditorIfNeeded();

            if (editor == nullptr)
                return;

            // A second open moves the editor into the new parent.
            if (editor->isOnDesktop())
                editor->removeFromDesktop();

            editor->setVisible (true);
            editor->addToDesktop (0, parentWindow);
            opened = editor->isOnDesktop();
            storeRect();
        });

    if (!opened)
        close();

    return opened;
}

void ZkVstEditorController::close()
{
    onMessageThread ([this] { deleteEditor(); });

    if (borrowsLoop)
    {
        borrowsLoop = false;
        ZkMessageThread::giveBack();
    }
}

void ZkVstEditorController::idle()
{
    // A host may answer a call that one of these messages makes (display
    // update, resize, automation, its own idle request) by calling idle again
    // at once: that call finds this thread inside JUCE's loop and returns.
    if (ZkMessageThread::isDispatchingOnThisThread() || ZkMessageThread::isProcessExiting() ||
        !juce::MessageManager::existsAndIsCurrentThread())
        return;

    const ZkMessageThread::ScopedDispatch dispatch;
    const auto start = juce::Time::getMillisecondCounter();

    while (juce::Time::getMillisecondCounter() - start < (juce::uint32)idleBudgetMs &&
           juce::dispatchNextMessageOnSystemQueue (true))
    {
    }
}

//==============================================================================
void ZkVstEditorController::createEditorIfNeeded()
{
    if (editor != nullptr || !processor.hasEditor())
        return;

    editor.reset (processor.createEditorIfNeeded());

    if (editor != nullptr)
        editor->addComponentListener (this);
}

void ZkVstEditorController::deleteEditor()
{
    if (editor == nullptr)
        return;

    editor->removeComponentListener (this);
    opened = false;

    // The processor forgets its active editor before the editor goes.
    processor.editorBeingDeleted (editor.get());
    editor.reset();
}

void ZkVstEditorController::storeRect()
{
    rect = {};

    if (editor != nullptr)
    {
        rect.bottom = toRectCoordinate (editor->getHeight());
        rect.right = toRectCoordinate (editor->getWidth());
    }
}

void ZkVstEditorController::componentMovedOrResized (juce::Component& component, bool, bool wasResized)
{
    if (!wasResized || &component != editor.get())
        return;

    storeRect();

    if (!opened || resizingHost || resizeHostWindow == nullptr)
        return;

    resizingHost = true;
    resizeHostWindow (component.getWidth(), component.getHeight());
    resizingHost = false;
}
