#pragma once

#include <atomic>

/**
    One step of a gate pattern: its length class as a normalised value and its
    volume [nominally 0..1, stored unchanged].

    Threads: the audio thread reads both fields per sample while host threads and
    the message thread write them; each field is a relaxed atomic float, read and
    written whole, without allocation or lock.
*/
class ZkStep
{
public:
    // A fresh step reads 0.0 for both until a pattern writes it.
    ZkStep() = default;

    float getLength() const { return length.load (std::memory_order_relaxed); }
    float getVolume() const { return volume.load (std::memory_order_relaxed); }

    void setLength (float newLength) { length.store (newLength, std::memory_order_relaxed); }
    void setVolume (float newVolume) { volume.store (newVolume, std::memory_order_relaxed); }

private:
    std::atomic<float> length{0.0f};
    std::atomic<float> volume{0.0f};
};
