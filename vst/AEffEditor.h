// The editor interface that the plug-in base drives on behalf of the host.
// The base only calls the seven operations below; a plug-in's editor derives
// from this class and answers them (message thread, or whichever thread the
// host uses for its editor opcodes).

#pragma once

#include "vst/AEffect.h"

class AudioEffect;

class AEffEditor
{
public:
    explicit AEffEditor (AudioEffect* effectToEdit = nullptr) noexcept
        : effect (effectToEdit)
    {
    }
    virtual ~AEffEditor() = default;

    AEffEditor (const AEffEditor&) = delete;
    AEffEditor& operator= (const AEffEditor&) = delete;

    // Hands out the editor's size; rect is never null.
    virtual bool getRect (ERect** rect)
    {
        *rect = nullptr;
        return false;
    }

    // Opens the editor inside the host's parent window.
    virtual bool open (void* parentWindow)
    {
        systemWindow = parentWindow;
        return false;
    }

    virtual void close() { systemWindow = nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown (VstKeyCode&) { return false; }
    virtual bool onKeyUp (VstKeyCode&) { return false; }
    virtual bool setKnobMode (VstInt32) { return false; }

    AudioEffect* getEffect() const noexcept { return effect; }
    void* getSystemWindow() const noexcept { return systemWindow; }

protected:
    AudioEffect* effect = nullptr;
    void* systemWindow = nullptr;
};
