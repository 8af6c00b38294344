// libFuzzer target: arbitrary bytes as the host state chunk.
//
// Every input is restored into one processor, whose names must then be
// well-formed UTF-8; whatever that processor then saves must restore into a
// second processor and save back byte for byte. The sanitizers catch memory and
// arithmetic faults on the way.

#include "engine/ZkHostStateChunk.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUtf8.h"
#include "fuzz/NestingCheck.h"
#include "fuzz/TextCheck.h"
#include "tests/support/TemporaryProcessHome.h"

#include <juce_events/juce_events.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
ZkOstinelAudioProcessor* restored = nullptr;
ZkOstinelAudioProcessor* checker = nullptr;

bool isWellFormed (const juce::String& text)
{
    return ZkUtf8::isValid (text.toRawUTF8(), std::strlen (text.toRawUTF8()));
}
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

    // What the reader accepts nests no deeper than it allows and holds only
    // well-formed text.
    const auto document = ZkHostStateChunk::read (data, (int)size);
    if (!nestsWithinReaderDepth (document.get()) || !holdsOnlyWellFormedText (document.get()))
        __builtin_trap();

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

    if (!isWellFormed (restored->getProgramName (0)) || !isWellFormed (restored->getChannelName()))
        __builtin_trap();

    return 0;
}
