#include "host/HostedPlugin.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace
{
// The instance whose entry call is running on this thread: a plug-in may call
// back before its record is known to the host.
thread_local HostedPlugin* loadingPlugin = nullptr;

// Callbacks of the plug-ins running on this thread now, one inside the other.
thread_local int callbackNesting = 0;

bool callBackFromEnvironment()
{
    const char* value = std::getenv ("ZK_HOST_CALLS_BACK");
    return value != nullptr && std::strcmp (value, "1") == 0;
}

constexpr VstInt32 kHostVstVersion = 2400;

// Some plug-ins switch the floating-point unit to flush-to-zero when they are
// created and leave it so; the host keeps its own mode across the entry call.
class FloatingPointModeGuard
{
public:
#if defined(__SSE__)
    FloatingPointModeGuard()
        : saved (_mm_getcsr())
    {
    }
    ~FloatingPointModeGuard()
    {
        _mm_setcsr (saved);
    }

private:
    unsigned int saved;
#endif
};

void copyText (void* ptr, const char* text, std::size_t bufferSize)
{
    if (ptr == nullptr || bufferSize == 0)
        return;
    auto* out = static_cast<char*> (ptr);
    const std::size_t length = std::min (std::strlen (text), bufferSize - 1);
    std::memcpy (out, text, length);
    out[length] = 0;
}
} // namespace

std::unique_ptr<HostedPlugin> HostedPlugin::load (const std::string& path, std::string& error)
{
    std::unique_ptr<HostedPlugin> plugin (new HostedPlugin());
    plugin->callsBack = callBackFromEnvironment();

    if (!plugin->library.open (path, error))
        return nullptr;

    const FloatingPointModeGuard floatingPointMode;

    loadingPlugin = plugin.get();
    AEffect* effect = plugin->library.getEntry() (callback);
    loadingPlugin = nullptr;

    if (effect == nullptr)
    {
        error = path + ": the entry returned no effect";
        return nullptr;
    }

    if (effect->magic != kEffectMagic)
    {
        error = path + ": the entry returned no VST 2.4 effect record";
        return nullptr;
    }

    // The host sizes its buffers and loops from these counts.
    if (effect->numInputs < 0 || effect->numInputs > maxChannels || effect->numOutputs < 0 ||
        effect->numOutputs > maxChannels || effect->numParams < 0 || effect->numParams > maxParameters)
    {
        error = path + ": the effect record gives " + std::to_string (effect->numInputs) + " inputs, " +
                std::to_string (effect->numOutputs) + " outputs and " + std::to_string (effect->numParams) +
                " parameters";
        return nullptr;
    }

    effect->user = plugin.get();
    plugin->effect = effect;
    plugin->dispatch (effOpen);
    return plugin;
}

HostedPlugin::~HostedPlugin()
{
    if (effect != nullptr)
    {
        if (resumed)
            suspend();
        dispatch (effClose);
        effect = nullptr;
    }
}

VstIntPtr HostedPlugin::dispatch (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect != nullptr ? effect->dispatcher (effect, opcode, index, value, ptr, opt) : 0;
}

//==============================================================================
std::string HostedPlugin::readText (VstInt32 opcode, VstInt32 index)
{
    char buffer[textBufferSize] = {};
    dispatch (opcode, index, 0, buffer);
    buffer[textBufferSize - 1] = 0;
    return buffer;
}

std::string HostedPlugin::getEffectName()
{
    return readText (effGetEffectName, 0);
}

std::string HostedPlugin::getVendorString()
{
    return readText (effGetVendorString, 0);
}

std::string HostedPlugin::getProductString()
{
    return readText (effGetProductString, 0);
}

std::string HostedPlugin::getProgramName()
{
    return readText (effGetProgramName, 0);
}

std::string HostedPlugin::getParameterName (int index)
{
    return readText (effGetParamName, index);
}

std::string HostedPlugin::getParameterDisplay (int index)
{
    return readText (effGetParamDisplay, index);
}

std::string HostedPlugin::getParameterLabel (int index)
{
    return readText (effGetParamLabel, index);
}

float HostedPlugin::getParameter (int index)
{
    return effect->getParameter (effect, index);
}

void HostedPlugin::setParameter (int index, float value)
{
    effect->setParameter (effect, index, value);
}

int HostedPlugin::findParameter (const std::string& name)
{
    for (int index = 0; index < effect->numParams; ++index)
        if (getParameterName (index) == name)
            return index;
    return -1;
}

VstIntPtr HostedPlugin::canDo (const std::string& text)
{
    std::vector<char> buffer (text.begin(), text.end());
    buffer.push_back (0);
    return dispatch (effCanDo, 0, 0, buffer.data());
}

std::vector<unsigned char> HostedPlugin::getChunk (bool program)
{
    void* data = nullptr;
    const VstIntPtr size = dispatch (effGetChunk, program ? 1 : 0, 0, &data);

    if (data == nullptr || size <= 0)
        return {};

    const auto* bytes = static_cast<const unsigned char*> (data);
    return {bytes, bytes + size};
}

bool HostedPlugin::setChunk (const std::vector<unsigned char>& chunk, bool program)
{
    // The plug-in reads the chunk; it gets a copy of its own to read.
    std::vector<unsigned char> copy (chunk);
    return dispatch (effSetChunk, program ? 1 : 0, static_cast<VstIntPtr> (copy.size()),
                     copy.empty() ? nullptr : copy.data()) != 0;
}

void HostedPlugin::setSampleRate (double rate)
{
    sampleRate = rate;
    dispatch (effSetSampleRate, 0, 0, nullptr, static_cast<float> (rate));
}

void HostedPlugin::setBlockSize (int size)
{
    blockSize = size;
    dispatch (effSetBlockSize, 0, size);
}

void HostedPlugin::resume()
{
    dispatch (effMainsChanged, 0, 1);
    dispatch (effStartProcess);
    resumed = true;
}

void HostedPlugin::suspend()
{
    dispatch (effStopProcess);
    dispatch (effMainsChanged, 0, 0);
    resumed = false;
}

void HostedPlugin::process (float** inputs, float** outputs, int numFrames)
{
    if (effect->processReplacing != nullptr && (effect->flags & effFlagsCanReplacing) != 0)
    {
        effect->processReplacing (effect, inputs, outputs, numFrames);
        return;
    }

    // An accumulating plug-in adds to the outputs.
    for (int channel = 0; channel < effect->numOutputs; ++channel)
        std::fill (outputs[channel], outputs[channel] + numFrames, 0.0f);
    if (effect->process != nullptr)
        effect->process (effect, inputs, outputs, numFrames);
}

//==============================================================================
VstIntPtr HostedPlugin::callback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt)
{
    auto* host = effect != nullptr && effect->user != nullptr ? static_cast<HostedPlugin*> (effect->user)
                                                              : loadingPlugin;
    if (host == nullptr)
        return opcode == audioMasterVersion ? kHostVstVersion : 0;

    struct Nesting
    {
        explicit Nesting (std::atomic<int>& deepest)
        {
            const int depth = ++callbackNesting;
            for (int seen = deepest.load(); depth > seen && !deepest.compare_exchange_weak (seen, depth);)
            {
            }
        }
        ~Nesting() { --callbackNesting; }
    } nesting (host->deepestNesting);

    const VstIntPtr result = host->answer (opcode, index, value, ptr, opt);

    if (host->callsBack && host->effect != nullptr)
        host->callBack (opcode, index, value);

    return result;
}

void HostedPlugin::callBack (VstInt32 opcode, VstInt32 index, VstIntPtr value)
{
    switch (opcode)
    {
        case audioMasterIdle:
            dispatch (effEditIdle);
            break;

        case audioMasterUpdateDisplay:
            for (int program = 0; program < effect->numPrograms; ++program)
            {
                char name[textBufferSize] = {};
                dispatch (effGetProgramNameIndexed, program, 0, name);
            }
            getProgramName();
            for (int parameter = 0; parameter < effect->numParams; ++parameter)
            {
                getParameterName (parameter);
                getParameterDisplay (parameter);
            }
            break;

        case audioMasterSizeWindow:
            if (canSizeWindow)
            {
                ERect* rect = nullptr;
                dispatch (effEditGetRect, 0, 0, &rect);
                if (windowResizer)
                    windowResizer (index, static_cast<int> (value));
            }
            break;

        case audioMasterAutomate:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            if (index >= 0 && index < effect->numParams)
            {
                getParameter (index);
                getParameterDisplay (index);
            }
            break;

        default:
            break;
    }
}

VstIntPtr HostedPlugin::answer (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        case audioMasterVersion:
            return kHostVstVersion;
        case audioMasterAutomate:
            events.add ({HostEvent::Kind::automate, index, opt});
            return 0;
        case audioMasterBeginEdit:
            events.add ({HostEvent::Kind::beginEdit, index, 0.0f});
            return 1;
        case audioMasterEndEdit:
            events.add ({HostEvent::Kind::endEdit, index, 0.0f});
            return 1;
        case audioMasterUpdateDisplay:
            events.add ({HostEvent::Kind::updateDisplay, 0, 0.0f});
            return 1;
        case audioMasterIOChanged:
            events.add ({HostEvent::Kind::ioChanged, 0, 0.0f});
            return 1;
        case audioMasterSizeWindow:
            if (!canSizeWindow)
                return 0;
            events.add ({HostEvent::Kind::sizeWindow, index, 0.0f, static_cast<int> (value)});
            return 1;

        case audioMasterGetTime:
            ++timeRequests;
            return transport != nullptr ? reinterpret_cast<VstIntPtr> (&transport->timeInfo()) : 0;

        case audioMasterGetSampleRate:
            return static_cast<VstIntPtr> (sampleRate.load());
        case audioMasterGetBlockSize:
            return blockSize.load();
        case audioMasterGetCurrentProcessLevel:
            return processLevel.load();
        case audioMasterGetAutomationState:
            return 1; // automation off
        case audioMasterGetLanguage:
            return 1; // English

        case audioMasterGetVendorString:
            copyText (ptr, "ZkOstinel project", kVstMaxVendorStrLen);
            return 1;
        case audioMasterGetProductString:
            copyText (ptr, "zkhost", kVstMaxProductStrLen);
            return 1;
        case audioMasterGetVendorVersion:
            return 1;

        case audioMasterCanDo:
        {
            const char* text = static_cast<const char*> (ptr);
            if (text == nullptr)
                return 0;
            if (std::strcmp (text, "sizeWindow") == 0)
                return canSizeWindow ? 1 : 0;
            return std::strcmp (text, "sendVstTimeInfo") == 0 ? 1 : 0;
        }

        default:
            return 0;
    }
}
