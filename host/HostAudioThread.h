// A host's audio thread for one plug-in: stereo blocks of 256 frames at 48 kHz
// with a playing transport at 128 BPM, processed in place on a thread of its
// own from construction to destruction (stream set-up and resume included,
// suspend at the end). The input is a square wave at half of full scale.
//
// Pace::fast leaves 1 ms between blocks (several times real time, for tests
// that only need blocks to arrive); Pace::realTime processes each block when
// its audio is due, as a sound card would ask for it.
//
// Threads: made and destroyed on the host's thread; getBlocks on any thread.

#pragma once

#include "host/HostTransport.h"
#include "host/HostedPlugin.h"

#include <atomic>
#include <thread>

class HostAudioThread
{
public:
    enum class Pace
    {
        fast,
        realTime
    };

    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 256;

    explicit HostAudioThread (HostedPlugin& plugin, Pace pace = Pace::fast);
    ~HostAudioThread();

    HostAudioThread (const HostAudioThread&) = delete;
    HostAudioThread& operator= (const HostAudioThread&) = delete;

    int getBlocks() const { return blocks.load(); }

private:
    void run();

    HostedPlugin& plugin;
    const Pace pace;
    HostTransport transport{sampleRate, 128.0};
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread thread;
};
