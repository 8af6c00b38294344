// libFuzzer target: arbitrary bytes as the properties file, read by one
// long-lived processor's start-up step (see PropertiesFileCheck.h). The
// processor lives in a temporary home folder, made before JUCE starts, so the
// real one is never touched; in memory where there is a tmpfs, since every
// input is also written and synced. Each input is read on a thread with a
// 256 kB stack, smaller than hosts give the threads they make instances on,
// so that a recursion that the input can drive deep fails here.

#include "fuzz/PropertiesFileCheck.h"
#include "tests/support/SmallStackThread.h"
#include "tests/support/TemporaryProcessHome.h"

#include <juce_events/juce_events.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
class Fixture
{
public:
    Fixture()
    {
        TemporaryProcessHome::makeForTheRestOfTheProcess ("zk-fuzz-home-", {"/dev/shm", "/tmp"});

        juceInitialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
        processor = std::make_unique<ZkOstinelAudioProcessor>();
    }

    void run (const uint8_t* data, size_t size)
    {
        static constexpr size_t stackBytes = 256 * 1024;
        juce::String fault;

        if (!runOnThreadWithStack (stackBytes,
                                   [&] { fault = checkPropertiesFileBytes (*processor, data, size); }))
            fault = "no thread could be started";

        if (fault.isNotEmpty())
        {
            std::fprintf (stderr, "properties file check: %s\n", fault.toRawUTF8());
            std::abort();
        }
    }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juceInitialiser;
    std::unique_ptr<ZkOstinelAudioProcessor> processor;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // Made once and kept until the process ends.
    static auto* fixture = new Fixture();
    fixture->run (data, size);
    return 0;
}
