// The entry that a VST 2.4 host calls after loading the shared object:
// VSTPluginMain, also exported under the older Linux name main. Only these two
// symbols leave the shared object (see ZkOstinelVst.map).

#include "plugin/ZkMessageManagerLock.h"
#include "plugin/ZkMessageThread.h"
#include "plugin/ZkVstWrapper.h"

#include <juce_audio_processors/juce_audio_processors.h>

#if ZK_WITH_EDITOR
#include "editor/ZkOstinelAudioProcessorEditorFactory.h"
#endif

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

namespace
{
// Host thread (usually the host's GUI thread).
AEffect* createEffect (audioMasterCallback audioMaster)
{
    // A host that tells no VST version gets no effect.
    if (audioMaster == nullptr || audioMaster (nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;

    // A process that has begun to exit runs no JUCE code of the plug-in's.
    if (ZkMessageThread::isProcessExiting())
        return nullptr;

    try
    {
        // Starts JUCE and its message loop with the first instance.
        ZkMessageThread::Reference messageThread;

        // The processor and the wrapper are built as on the message thread.
        const ZkMessageManagerLock lock;

        // Before the processor exists: it reads whether it has an editor when
        // it is made and wrapped, and takes its format (shown by the editor).
#if ZK_WITH_EDITOR
        ZkOstinelAudioProcessorEditorFactory::install();
#endif
        auto processor = ZkVstWrapper::createProcessor (createPluginFilter);

        if (processor == nullptr)
            return nullptr;

        auto* wrapper = new ZkVstWrapper (audioMaster, std::move (messageThread), std::move (processor));
        return wrapper->getAeffect();
    }
    catch (...)
    {
        // Nothing may leave the entry as an exception: the host gets no effect.
        return nullptr;
    }
}
} // namespace

extern "C"
{
    __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback audioMaster)
    {
        return createEffect (audioMaster);
    }

    // C++ reserves the name main for the program's entry, so the symbol gets it
    // through an assembler label.
    __attribute__ ((visibility ("default"))) AEffect*
    zkVstMainEntry (audioMasterCallback audioMaster) __asm__("main");

    AEffect* zkVstMainEntry (audioMasterCallback audioMaster)
    {
        return createEffect (audioMaster);
    }
}
