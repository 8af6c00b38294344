// One VST 2.4 plug-in instance in the test host: it opens the shared object,
// calls the entry with the host's callback, opens the effect and offers the
// dispatcher calls that the host's commands need. The host's callback answers
// the plug-in (version, time information from the attached transport, sample
// rate, block size, process level, canDo) and logs automation, gestures and
// display updates.
//
// Threads: load, the dispatcher calls and process on the caller's thread; the
// callback may arrive on any thread of the plug-in (only the event log is
// shared with such threads).

#pragma once

#include "host/HostEventLog.h"
#include "host/HostTransport.h"
#include "host/PluginLibrary.h"

#include <atomic>
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
    bool setChunk (const std::vector<unsigned char>& chunk, bool program = false);

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

    // How often the plug-in asked for time information (opcode 7).
    int getTimeRequestCount() const noexcept { return timeRequests.load(); }

    static constexpr int textBufferSize = 256;   // bytes offered for every text
    static constexpr int maxChannels = 64;       // records with more inputs or outputs are refused
    static constexpr int maxParameters = 100000; // records with more parameters are refused

private:
    HostedPlugin() = default;

    static VstIntPtr callback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);
    VstIntPtr answer (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
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
};
