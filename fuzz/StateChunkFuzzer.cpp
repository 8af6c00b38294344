// libFuzzer target: arbitrary bytes as the host state chunk.
//
// Every input is restored into one processor; whatever that processor then
// saves must restore into a second processor and save back byte for byte. The
// sanitizers catch memory and arithmetic faults on the way.

#include "engine/ZkOstinelAudioProcessor.h"
#include "tests/support/TemporaryProcessHome.h"

#include <juce_events/juce_events.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
ZkOstinelAudioProcessor* restored = nullptr;
ZkOstinelAudioProcessor* checker = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // The processor writes a properties file and a presets folder under the
    // home folder: never the real one.
    TemporaryProcessHome::makeForTheRestOfTheProcess ("zk-fuzz-home-");

    juce::initialiseJuce_GUI();
    restored = new ZkOstinelAudioProcessor();
    checker = new ZkOstinelAudioProcessor();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t)INT_MAX)
        return 0;

    restored->setStateInformation (data, (int)size);
    restored->beginNewTransaction(); // keeps the undo history bounded over a long run

    juce::MemoryBlock saved;
    restored->getStateInformation (saved);

    checker->setStateInformation (saved.getData(), (int)saved.getSize());
    checker->beginNewTransaction();

    juce::MemoryBlock again;
    checker->getStateInformation (again);

    if (again != saved)
        __builtin_trap();

    return 0;
}
