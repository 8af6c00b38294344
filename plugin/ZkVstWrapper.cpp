#include "plugin/ZkVstWrapper.h"

#include "engine/ZkHostStateReceiver.h"
#include "plugin/ZkMessageManagerLock.h"
#include "plugin/ZkPluginIdentity.h"
#include "vst/VstText.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace
{
int programCount (juce::AudioProcessor& processor)
{
    return juce::jmax (1, processor.getNumPrograms());
}

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
int parameterCount (juce::AudioProcessor& processor)
{
    return processor.getNumParameters();
}
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif

// Longest text read from a host's buffer (a name a host hands over).
constexpr std::size_t kLongestHostText = 256;

// Compares a host's text with a known one without reading past the host's
// terminating zero.
bool textIs (const char* text, const char* known) noexcept
{
    return std::strncmp (text, known, std::strlen (known) + 1) == 0;
}

void fillSpeakers (VstSpeakerArrangement& arrangement, int channels)
{
    arrangement.type = channels == 2 ? kSpeakerArrStereo : kSpeakerArrMono;

    for (int channel = 0; channel < channels; ++channel)
    {
        auto* speaker = speakerOf (&arrangement, channel);
        const bool mono = channels == 1;
        speaker->type = mono ? kSpeakerM : (channel == 0 ? kSpeakerL : kSpeakerR);
        vstCopyTerminated (speaker->name, mono ? "M" : (channel == 0 ? "L" : "R"), kVstMaxNameLen);
    }
}
} // namespace

//==============================================================================
std::unique_ptr<juce::AudioProcessor> ZkVstWrapper::createProcessor (juce::AudioProcessor* (*factory)())
{
    // A processor takes its format from this thread's "next new plug-in" type
    // when it is constructed; the type is reset however the factory ends.
    struct NextPluginType
    {
        NextPluginType()
        {
            juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST);
        }
        ~NextPluginType()
        {
            juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
        }
    };

    juce::PluginHostType::jucePlugInClientCurrentWrapperType = juce::AudioProcessor::wrapperType_VST;
    const NextPluginType type;
    return std::unique_ptr<juce::AudioProcessor> (factory());
}

ZkVstWrapper::ZkVstWrapper (audioMasterCallback audioMasterToUse,
                            ZkMessageThread::Reference messageThreadToKeep,
                            std::unique_ptr<juce::AudioProcessor> processorToWrap)
    : AudioEffectX (audioMasterToUse, programCount (*processorToWrap), parameterCount (*processorToWrap))
    , messageThread (std::move (messageThreadToKeep))
    , processor (std::move (processorToWrap))
    , hostNotifier ([this] { notifyHostOfChanges(); })
{
    setUniqueID (ZkPluginIdentity::uniqueId);
    cEffect.version = ZkPluginIdentity::version;
    setNumInputs (ZkPluginIdentity::numChannels);
    setNumOutputs (ZkPluginIdentity::numChannels);
    canProcessReplacing (true);
    canDoubleReplacing (false);
    programsAreChunks (true);
    isSynth (false);
    noTail (processor->getTailLengthSeconds() <= 0.0);
    if (processor->hasEditor())
        cEffect.flags |= effFlagsHasEditor;
    reportedLatency = processor->getLatencySamples();
    setInitialDelay (reportedLatency.load());

    processor->setPlayHead (&playHead);
    processor->enableAllBuses();
    {
        const ZkProcessGate::ScopedChange change (gate);
        applyChannelCount (ZkPluginIdentity::numChannels);
    }
    processor->addListener (this);

    if (processor->hasEditor())
        editorController = std::make_unique<ZkVstEditorController> (
            *processor, [this] (int width, int height) { return resizeHostWindow (width, height); });
}

ZkVstWrapper::~ZkVstWrapper()
{
    deallocateArrangement (&inputArrangement);
    deallocateArrangement (&outputArrangement);

    // Closed while the process exits (from a host's static destructor, say):
    // JUCE's loop no longer runs, so the editor and the processor, which need
    // it to go, stay as they are until the process ends.
    if (ZkMessageThread::isProcessExiting())
    {
        [[maybe_unused]] auto* leftEditor = editorController.release();
        [[maybe_unused]] auto* leftProcessor = processor.release();
        return;
    }

    // A host that closes the effect with its editor open: the editor goes first.
    editorController.reset();

    processor->removeListener (this);
    hostNotifier.cancelPendingUpdate();

    {
        // The processor was built with the message thread held; it goes the same way.
        const ZkMessageManagerLock lock;
        processor.reset();
    }
}

//==============================================================================
VstIntPtr ZkVstWrapper::dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (editorController != nullptr)
    {
        switch (opcode)
        {
            case effEditGetRect:
                return ptr != nullptr && editorController->getRect (static_cast<ERect**> (ptr)) ? 1 : 0;
            case effEditOpen:
                return editorController->open (ptr) ? 1 : 0;
            case effEditClose:
                editorController->close();
                return 0;
            case effEditIdle:
                // The host gave the idle time; asking it for idle in return
                // (audioMasterIdle) only brings its next effEditIdle back here.
                editorController->idle();
                return 0;
            default:
                break;
        }
    }

    return AudioEffectX::dispatcher (opcode, index, value, ptr, opt);
}

void ZkVstWrapper::close()
{
    if (editorController != nullptr)
        editorController->close();
}

bool ZkVstWrapper::resizeHostWindow (int width, int height)
{
    char sizeWindowText[] = "sizeWindow";
    return canHostDo (sizeWindowText) != 0 && sizeWindow (width, height);
}

//==============================================================================
void ZkVstWrapper::resume()
{
    // Prepared for at most maxPreparedBlockSize whatever the host announced;
    // longer blocks are processed in parts (processInParts).
    const int maxBlock = juce::jlimit (1, maxPreparedBlockSize, blockSize);
    const double rate = static_cast<double> (sampleRate);
    const bool nowOffline = getCurrentProcessLevel() == kVstProcessLevelOffline;

    // Made before the gate closes, so that an allocation that fails throws
    // while the old buffer is still whole; processing never allocates.
    juce::AudioBuffer<float> preparedScratch (ZkPluginIdentity::numChannels, maxBlock);

    {
        // An exception from here on leaves the gate closed with the processor
        // not ready: blocks pass through until a resume gets all the way.
        ZkProcessGate::ScopedChange change (gate);
        change.setReadyAfter (false); // until all of it is done

        std::swap (scratch, preparedScratch);
        offline = nowOffline;
        processor->setNonRealtime (nowOffline);
        processor->setRateAndBufferSizeDetails (rate, maxBlock);
        processor->prepareToPlay (rate, maxBlock);
        preparedBlockSize = maxBlock;
        preparedRate = rate;

        change.setReadyAfter (true);
    }

    // A latency that prepareToPlay changed reaches the record on the message thread.
    if (processor->getLatencySamples() != reportedLatency.load())
        hostNotifier.triggerAsyncUpdate();

    AudioEffectX::resume();
}

void ZkVstWrapper::suspend()
{
    ZkProcessGate::ScopedChange change (gate);
    change.setReadyAfter (false);
    processor->releaseResources();
}

void ZkVstWrapper::passThrough (float** inputs, float** outputs, int numFrames) const noexcept
{
    const auto bytes = static_cast<std::size_t> (numFrames) * sizeof (float);
    const int channels = numChannels.load();

    for (int channel = 0; channel < channels; ++channel)
    {
        float* out = outputs[channel];
        const float* in = inputs != nullptr ? inputs[channel] : nullptr;

        if (out == nullptr || out == in)
            continue;
        if (in != nullptr)
            std::memmove (out, in, bytes);
        else
            std::memset (out, 0, bytes);
    }
}

void ZkVstWrapper::processReplacing (float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (outputs == nullptr || sampleFrames <= 0)
        return;

    const juce::ScopedNoDenormals noDenormals;

    // Once per host block and before the gate: both are calls into the host,
    // whose answer might need a host thread that would wait at the gate for
    // this block.
    const VstTimeInfo* timeInfo = getTimeInfo (ZkVstPlayHead::wantedTimeInfo);
    const bool nowOffline = getCurrentProcessLevel() == kVstProcessLevelOffline;

    // Not prepared, or a host thread prepares, releases or reshapes it right
    // now: the audio goes out as it came in, and this thread does not wait.
    const ZkProcessGate::ScopedBlock block (gate);

    if (!block.holdsProcessor())
    {
        passThrough (inputs, outputs, sampleFrames);
        return;
    }

    if (offline != nowOffline)
    {
        offline = nowOffline;
        processor->setNonRealtime (nowOffline);
    }

    playHead.setTimeInfo (timeInfo, preparedRate);
    processInParts (inputs, outputs, sampleFrames);
}

void ZkVstWrapper::processInParts (float** inputs, float** outputs, int numFrames)
{
    // The host's block goes through the scratch buffer: every input is read
    // before any output is written, so in-place and crossed buffers work alike,
    // and a block longer than announced is processed in parts.
    const int channels = numChannels.load();

    for (int done = 0; done < numFrames;)
    {
        const int n = juce::jmin (numFrames - done, preparedBlockSize);

        for (int channel = 0; channel < channels; ++channel)
        {
            const float* in = inputs != nullptr ? inputs[channel] : nullptr;
            if (in != nullptr)
                scratch.copyFrom (channel, 0, in + done, n);
            else
                scratch.clear (channel, 0, n);
        }

        juce::AudioBuffer<float> part (scratch.getArrayOfWritePointers(), channels, n);

        // A processor that suspends itself gets silence from its next block on
        // (nothing in this plug-in does; with no callback lock taken here,
        // suspendProcessing does not wait for a block that runs).
        if (processor->isSuspended())
            part.clear();
        else if (bypassed.load (std::memory_order_relaxed))
            processor->processBlockBypassed (part, midi);
        else
            processor->processBlock (part, midi);

        midi.clear();

        for (int channel = 0; channel < channels; ++channel)
            if (float* out = outputs[channel])
                std::memcpy (out + done, part.getReadPointer (channel),
                             static_cast<std::size_t> (n) * sizeof (float));

        done += n;
        playHead.advance (n);
    }
}

//==============================================================================
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void ZkVstWrapper::setParameter (VstInt32 index, float value)
{
    // An index outside the table or a value that is no number is no write.
    if (isValidParameter (index) && std::isfinite (value))
        processor->setParameter (index, value);
}

float ZkVstWrapper::getParameter (VstInt32 index)
{
    return isValidParameter (index) ? processor->getParameter (index) : 0.0f;
}

void ZkVstWrapper::getParameterLabel (VstInt32 index, char* label)
{
    const auto text = isValidParameter (index) ? processor->getParameterLabel (index) : juce::String();
    vstCopyTerminated (label, text.toRawUTF8(), parameterLabelBytes);
}

void ZkVstWrapper::getParameterDisplay (VstInt32 index, char* text)
{
    const auto display = isValidParameter (index) ? processor->getParameterText (index) : juce::String();
    vstCopyTerminated (text, display.toRawUTF8(), parameterTextBytes);
}

void ZkVstWrapper::getParameterName (VstInt32 index, char* text)
{
    const auto name = isValidParameter (index) ? processor->getParameterName (index) : juce::String();
    vstCopyTerminated (text, name.toRawUTF8(), parameterNameBytes);
}

bool ZkVstWrapper::canParameterBeAutomated (VstInt32 index)
{
    return isValidParameter (index) && processor->isParameterAutomatable (index);
}

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif

//==============================================================================
VstInt32 ZkVstWrapper::getProgram()
{
    return processor->getCurrentProgram();
}

void ZkVstWrapper::setProgram (VstInt32 program)
{
    if (program >= 0 && program < numPrograms)
    {
        curProgram = program;
        processor->setCurrentProgram (program);
    }
}

void ZkVstWrapper::setProgramName (char* name)
{
    const auto length = strnlen (name, kLongestHostText);
    processor->changeProgramName (processor->getCurrentProgram(),
                                  juce::String::fromUTF8 (name, static_cast<int> (length)));
}

void ZkVstWrapper::getProgramName (char* name)
{
    vstCopyTerminated (name, processor->getProgramName (processor->getCurrentProgram()).toRawUTF8(),
                       kVstMaxProgNameLen);
}

bool ZkVstWrapper::getProgramNameIndexed (VstInt32 /*category*/, VstInt32 index, char* text)
{
    if (index < 0 || index >= numPrograms)
        return false;

    vstCopyTerminated (text, processor->getProgramName (index).toRawUTF8(), kVstMaxProgNameLen);
    return true;
}

//==============================================================================
VstInt32 ZkVstWrapper::getChunk (void** data, bool isPreset)
{
    // Made in a block of this call's own: another host thread may be asking
    // for the state at the same time, or still reading the chunk it was given.
    juce::MemoryBlock state;

    if (isPreset)
        processor->getCurrentProgramStateInformation (state);
    else
        processor->getStateInformation (state);

    if (state.getSize() == 0 ||
        state.getSize() > static_cast<std::size_t> (std::numeric_limits<VstInt32>::max()))
    {
        *data = nullptr;
        return 0;
    }

    const auto size = static_cast<VstInt32> (state.getSize());
    *data = chunks.keep (std::move (state));
    return size;
}

VstInt32 ZkVstWrapper::setChunk (void* data, VstInt32 byteSize, bool isPreset)
{
    // The dispatcher lets only a pointer and a positive size through; what the
    // bytes hold is checked by the processor, which keeps its state on garbage.
    // One program is the whole state, so both kinds of chunk restore the same;
    // a processor that says whether it took the chunk lets the host hear of a
    // refused one (0).
    if (auto* receiver = dynamic_cast<ZkHostStateReceiver*> (processor.get()))
        return receiver->restoreHostState (data, byteSize) ? 1 : 0;

    if (isPreset)
        processor->setCurrentProgramStateInformation (data, byteSize);
    else
        processor->setStateInformation (data, byteSize);
    return 1;
}

//==============================================================================
bool ZkVstWrapper::applyChannelCount (int channels)
{
    const int before = processor->getTotalNumInputChannels();
    processor->setPlayConfigDetails (channels, channels, static_cast<double> (sampleRate),
                                     juce::jmax (1, blockSize));

    if (processor->getTotalNumInputChannels() != channels ||
        processor->getTotalNumOutputChannels() != channels)
    {
        // The processor refused the layout: keep the one it had.
        processor->setPlayConfigDetails (before, before, static_cast<double> (sampleRate),
                                         juce::jmax (1, blockSize));
        return false;
    }

    numChannels = channels;
    setNumInputs (channels);
    setNumOutputs (channels);
    return true;
}

bool ZkVstWrapper::setSpeakerArrangement (VstSpeakerArrangement* pluginInput,
                                          VstSpeakerArrangement* pluginOutput)
{
    const int inputs = pluginInput->numChannels;
    const int outputs = pluginOutput->numChannels;

    // {1 in, 1 out} and {2 in, 2 out} only; any other count is refused unread.
    if (inputs != outputs || (inputs != 1 && inputs != 2))
        return false;

    const ZkProcessGate::ScopedChange change (gate);
    return inputs == numChannels.load() || applyChannelCount (inputs);
}

bool ZkVstWrapper::getSpeakerArrangement (VstSpeakerArrangement** pluginInput,
                                          VstSpeakerArrangement** pluginOutput)
{
    const int channels = numChannels.load();

    for (auto* arrangement : {&inputArrangement, &outputArrangement})
    {
        if (*arrangement == nullptr || (*arrangement)->numChannels != channels)
            if (!allocateArrangement (arrangement, channels))
                return false;

        fillSpeakers (**arrangement, channels);
    }

    *pluginInput = inputArrangement;
    *pluginOutput = outputArrangement;
    return true;
}

bool ZkVstWrapper::fillPinProperties (VstInt32 index, VstPinProperties* properties, bool isInput)
{
    const int channels = numChannels.load();

    if (index < 0 || index >= channels)
        return false;

#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const auto name =
        isInput ? processor->getInputChannelName (index) : processor->getOutputChannelName (index);
    const bool stereoPair =
        isInput ? processor->isInputChannelStereoPair (index) : processor->isOutputChannelStereoPair (index);
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif

    std::memset (properties, 0, sizeof (VstPinProperties));
    vstCopyTerminated (properties->label, name.toRawUTF8(), kVstMaxLabelLen);
    vstCopyTerminated (properties->shortLabel, name.toRawUTF8(), kVstMaxShortLabelLen);
    properties->flags = kVstPinIsActive;
    properties->arrangementType = channels == 2 ? kSpeakerArrStereo : kSpeakerArrMono;

    // The first pin of a stereo pair carries the stereo flag.
    if (channels == 2 && index == 0 && stereoPair)
        properties->flags |= kVstPinIsStereo;

    return true;
}

bool ZkVstWrapper::getInputProperties (VstInt32 index, VstPinProperties* properties)
{
    return fillPinProperties (index, properties, true);
}

bool ZkVstWrapper::getOutputProperties (VstInt32 index, VstPinProperties* properties)
{
    return fillPinProperties (index, properties, false);
}

bool ZkVstWrapper::setBypass (bool onOff)
{
    bypassed.store (onOff, std::memory_order_relaxed);
    return true;
}

//==============================================================================
bool ZkVstWrapper::getEffectName (char* name)
{
    vstCopyTerminated (name, processor->getName().toRawUTF8(), kVstMaxEffectNameLen);
    return true;
}

bool ZkVstWrapper::getVendorString (char* text)
{
    vstCopyTerminated (text, ZkPluginIdentity::vendorName, kVstMaxVendorStrLen);
    return true;
}

bool ZkVstWrapper::getProductString (char* text)
{
    vstCopyTerminated (text, ZkPluginIdentity::productName, kVstMaxProductStrLen);
    return true;
}

VstInt32 ZkVstWrapper::getVendorVersion()
{
    return ZkPluginIdentity::version;
}

VstPlugCategory ZkVstWrapper::getPlugCategory()
{
    return kPlugCategEffect;
}

VstInt32 ZkVstWrapper::canDo (char* text)
{
    for (const char* yes : {"receiveVstTimeInfo", "conformsToWindowRules", "bypass"})
        if (textIs (text, yes))
            return 1;

    for (const char* no : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents", "sendVstEvents",
                           "sendVstMidiEvent", "sendVstMidiEvents", "openCloseAnyThread"})
        if (textIs (text, no))
            return -1;

    if (textIs (text, "hasCockosViewAsConfig"))
    {
        configViewWanted = true;
        return static_cast<VstInt32> (0xbeef0000u);
    }

    return 0;
}

//==============================================================================
void ZkVstWrapper::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float newValue)
{
    // Straight to the host: setParameterAutomated would write the value back
    // into the processor that just reported it.
    if (audioMaster != nullptr && isValidParameter (index))
        audioMaster (&cEffect, audioMasterAutomate, index, 0, nullptr, newValue);
}

void ZkVstWrapper::audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&)
{
    // Any thread; the host hears of it on the message thread.
    hostNotifier.triggerAsyncUpdate();
}

void ZkVstWrapper::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index)
{
    if (isValidParameter (index))
        beginEdit (index);
}

void ZkVstWrapper::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index)
{
    if (isValidParameter (index))
        endEdit (index);
}

void ZkVstWrapper::notifyHostOfChanges()
{
    // Once the host has the record, this is the only place that writes its
    // initialDelay, so the field has one writer; the host hears of a new
    // latency through ioChanged, after the field holds it.
    const int latency = processor->getLatencySamples();

    if (latency != cEffect.initialDelay)
    {
        setInitialDelay (latency);
        reportedLatency = latency;
        ioChanged();
    }

    updateDisplay();
}
