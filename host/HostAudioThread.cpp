#include "host/HostAudioThread.h"

#include <chrono>
#include <vector>

HostAudioThread::HostAudioThread (HostedPlugin& pluginToRun, Pace paceToKeep)
    : plugin (pluginToRun)
    , pace (paceToKeep)
{
    plugin.setSampleRate (sampleRate);
    plugin.setBlockSize (blockSize);
    plugin.setTransport (&transport);
    plugin.resume();
    thread = std::thread ([this] { run(); });
}

HostAudioThread::~HostAudioThread()
{
    running = false;
    thread.join();
    plugin.suspend();
    plugin.setTransport (nullptr);
}

void HostAudioThread::run()
{
    std::vector<float> left (blockSize), right (blockSize);
    float* channels[] = {left.data(), right.data()};

    const auto blockDuration = std::chrono::duration<double> (blockSize / sampleRate);
    const auto start = std::chrono::steady_clock::now();

    for (long block = 1; running; ++block)
    {
        for (std::size_t i = 0; i < left.size(); ++i)
            left[i] = right[i] = (i % 64) < 32 ? 0.5f : -0.5f;
        plugin.process (channels, channels, blockSize);
        transport.advance (blockSize);
        ++blocks;

        if (pace == Pace::realTime)
            std::this_thread::sleep_until (
                start +
                std::chrono::duration_cast<std::chrono::steady_clock::duration> (blockDuration * block));
        else
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
}
