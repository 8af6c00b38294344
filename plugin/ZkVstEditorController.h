// The plug-in's editor as the VST 2.4 editor opcodes see it: it makes the
// processor's editor, embeds it in the host's window (an X11 window id on
// Linux), reports its size, pumps JUCE's messages on the host's idle calls,
// asks the host to follow the editor's size, and deletes the editor on close.
//
// Threads: the host calls every operation from its GUI thread. Opening lends
// JUCE's message loop to that thread (see ZkMessageThread) until the editor
// closes; whatever runs while the thread is not JUCE's message thread (the
// size asked for before opening, or an editor opened while the loop is lent to
// another thread) runs under JUCE's message manager lock.

#pragma once

#include "vst/AEffect.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

class ZkVstEditorController : private juce::ComponentListener
{
public:
    // Asks the host to resize its editor window to width x height [pixels];
    // true when the host did. Called on the message thread.
    using ResizeHostWindow = std::function<bool (int width, int height)>;

    ZkVstEditorController (juce::AudioProcessor& processor, ResizeHostWindow resizeHostWindow);
    ~ZkVstEditorController() override; // closes the editor

    // effEditGetRect: the editor's size in *rect (the editor is made when needed).
    // False, with *rect null, when the processor makes no editor.
    bool getRect (ERect** rect);

    // effEditOpen: embeds the editor in parentWindow (not null). False when
    // there is no parent or no editor.
    bool open (void* parentWindow);

    // effEditClose: deletes the editor (the processor hears of it first) and
    // gives JUCE's message loop back. Nothing when no editor exists.
    void close();

    // effEditIdle: runs JUCE's pending messages when this thread is JUCE's
    // message thread; otherwise the plug-in's own thread runs them. Nothing
    // when this thread already runs them (a host's call from inside one).
    void idle();

    bool isOpen() const noexcept { return opened; }
    juce::AudioProcessorEditor* getEditor() const noexcept { return editor.get(); }

    // Longest a single idle call dispatches messages [ms]; the host's GUI
    // thread must come back to its own events.
    static constexpr int idleBudgetMs = 20;

private:
    template <typename Function> bool onMessageThread (Function&& function);

    void createEditorIfNeeded(); // message thread
    void deleteEditor();         // message thread
    void storeRect();            // message thread
    void componentMovedOrResized (juce::Component& component, bool wasMoved, bool wasResized) override;

    juce::AudioProcessor& processor;
    ResizeHostWindow resizeHostWindow;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    ERect rect{};              // handed to the host by getRect
    bool opened = false;       // embedded in the host's window
    bool borrowsLoop = false;  // this controller lent JUCE's loop to the host's thread
    bool resizingHost = false; // inside the host's resize (it may resize the editor back)
};
