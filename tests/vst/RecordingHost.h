// A host callback for the base-class tests: it records every call and answers
// from a table that a test fills in.

#pragma once

#include "vst/AEffect.h"

#include <functional>
#include <map>
#include <vector>

struct HostCall
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class RecordingHost
{
public:
    RecordingHost() { current() = this; }
    ~RecordingHost() { current() = nullptr; }

    RecordingHost (const RecordingHost&) = delete;
    RecordingHost& operator= (const RecordingHost&) = delete;

    static VstIntPtr callback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
    {
        auto* host = current();

        if (host == nullptr)
            return 0;

        if (host->recording)
            host->calls.push_back ({effect, opcode, index, value, ptr, opt});
        if (host->onCall)
            host->onCall ({effect, opcode, index, value, ptr, opt});
        const auto answer = host->answers.find (opcode);
        return answer != host->answers.end() ? answer->second : 0;
    }

    std::vector<HostCall> calls;
    std::map<VstInt32, VstIntPtr> answers;        // opcode -> answer; 0 when missing
    bool recording = true;                        // false: answers without keeping the call (no allocation)
    std::function<void (const HostCall&)> onCall; // a host that acts on a call before it answers

private:
    static RecordingHost*& current()
    {
        static RecordingHost* host = nullptr;
        return host;
    }
};
