// One VST 2.4 plug-in instance in the test host: it opens the shared object,
// calls the entry with the host's callback, opens the effect and offers the
// dispatcher calls that the host's commands need. The host's callback answers
// the plug-in (version, time information from the attached transport, sample
// rate, block size, process level, canDo) and logs automation, gestures and
// display updates.
//
// By default the host only logs what the plug-in tells it. In the call-back
// mode it answers as real hosts are known to, calling straight back into the
// plug-in from inside the callback on the same thread: an idle request with the
// editor's idle (Ardour 7), a display update by reading the program names and
// every parameter's name and text, a size request by resizing at once (it asks
// the editor's size and resizes the window through the window resizer, when one
// is set), automation and gestures by reading the parameter and its text. The
// environment variable ZK_HOST_CALLS_BACK=1 selects it for every instance.
//
// Threads: load, the dispatcher calls and process on the caller's thread; the
// callback may arrive on any thread of the plug-in (only the event log is
// shared with such threads).

#pragma once

#include "host/HostEventLog.h"
#include "host/HostTransport.h"
#include "host/PluginLibrary.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class HostedPlugin
{
public:
    ~HostedPlugin();

    HostedPlugin (const HostedPlugin&) = delete;
    HostedPlugin& operator= (const HostedPlugin&) = delete;

    // Loads and opens the plug-in; null with a reason on failure.
    static std::unique_ptr<HostedPlugin> load (const std::string& path, std::string& error);

    AEffect* getEffect() const noexcept { return effect; }
    const std::string& getEntryName() const noexcept { return library.getEntryName(); }
    HostEventLog& getEvents() noexcept { return events; }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                        float opt = 0.0f);

    std::string getEffectName();
    std::string getVendorString();
    std::string getProductString();
    std::string getProgramName();
    std::string getParameterName (int index);
    std::string getParameterDisplay (int index);
    std::string getParameterLabel (int index);
    float getParameter (int index);
    void setParameter (int index, float value);
    int findParameter (const std::string& name); // -1 when no parameter has that name
    VstIntPtr canDo (const std::string& text);

    std::vector<unsigned char> getChunk (bool program = false);
    bool setChunk (const std::vector<unsigned char>& chunk, bool program = false); // false: refused (0)

    // Stream set-up: rate and block size first, then resume.
    void setSampleRate (double rate);
    void setBlockSize (int size);
    void resume();
    void suspend();

    // inputs and outputs hold numInputs and numOutputs channel pointers.
    void process (float** inputs, float** outputs, int numFrames);

    // Time information: with a transport the host answers opcode 7 with its
    // position; without one (the default) it answers null.
    void setTransport (HostTransport* transportToUse) noexcept { transport = transportToUse; }

    // The process level the host reports (opcode 23).
    void setProcessLevel (VstInt32 level) noexcept { processLevel = level; }

    // Whether the host follows the editor's size: it then answers canDo
    // "sizeWindow" with 1 and logs each resize request (opcode 15). Off by default.
    void setCanSizeWindow (bool canSize) noexcept { canSizeWindow = canSize; }

    // How often the plug-in asked for time information (opcode 7).
    int getTimeRequestCount() const noexcept { return timeRequests.load(); }

    // The call-back mode (see above); on when ZK_HOST_CALLS_BACK is 1 at load.
    void setCallsBack (bool callBack) noexcept { callsBack = callBack; }
    bool getCallsBack() const noexcept { return callsBack.load(); }

    // In the call-back mode, resizes the host's editor window to width x height
    // [pixels] from inside the plug-in's size request. Set before the editor opens.
    using WindowResizer = std::function<void (int width, int height)>;
    void setWindowResizer (WindowResizer resizer) { windowResizer = std::move (resizer); }

    // The deepest the plug-in's callbacks have nested on one thread: 1 when no
    // callback came while another one of this instance ran on the same thread.
    int getDeepestCallbackNesting() const noexcept { return deepestNesting.load(); }

    static constexpr int textBufferSize = 256;   // bytes offered for every text
    static constexpr int maxChannels = 64;       // records with more inputs or outputs are refused
    static constexpr int maxParameters = 100000; // records with more parameters are refused

private:
    HostedPlugin() = default;

    static VstIntPtr callback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);
    VstIntPtr answer (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void callBack (VstInt32 opcode, VstInt32 index, VstIntPtr value); // the call-back mode's answers
    std::string readText (VstInt32 opcode, VstInt32 index);

    PluginLibrary library; // first in, last out: the code lives here
    AEffect* effect = nullptr;
    bool resumed = false;
    HostEventLog events;
    HostTransport* transport = nullptr;
    std::atomic<double> sampleRate{44100.0};
    std::atomic<int> blockSize{512};
    std::atomic<VstInt32> processLevel{kVstProcessLevelRealtime};
    std::atomic<int> timeRequests{0};
    std::atomic<bool> canSizeWindow{false};
    std::atomic<bool> callsBack{false};
    std::atomic<int> deepestNesting{0};
    WindowResizer windowResizer;
};
