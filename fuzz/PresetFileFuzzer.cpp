// libFuzzer target: arbitrary bytes as a user preset file.
//
// Each input is read twice: in memory by the file format reader, and as a
// file in the presets folder of one long-lived processor, which lists it and
// loads it by name. Listing and loading must agree, and a refused file must
// leave the processor's preset unchanged. The processor lives in a temporary
// home folder, made before JUCE starts, so the real one is never touched.

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUserPresetFile.h"

#include <juce_events/juce_events.h>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace
{
class Fixture
{
public:
    Fixture()
    {
        char pattern[] = "/tmp/zk-fuzz-home-XXXXXX";
        if (mkdtemp (pattern) == nullptr)
            std::abort();
        setenv ("HOME", pattern, 1);
        setenv ("XDG_CONFIG_HOME", (juce::String (pattern) + "/.config").toRawUTF8(), 1);

        juceInitialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
        processor = std::make_unique<ZkOstinelAudioProcessor>();
        presetFile = processor->getUserPresetsFolder().getChildFile ("Fuzz.zkp");
    }

    void run (const uint8_t* data, size_t size)
    {
        juce::MemoryInputStream memory (data, size, false);
        const bool readable = ZkUserPresetFile::readDocument (memory) != nullptr;

        if (!presetFile.replaceWithData (data, size))
            std::abort();

        const bool listed = processor->getAllUserPresetNames().contains ("Fuzz");
        const auto nameBefore = processor->getCurrentPresetName();

        const bool loaded = processor->loadUserPresetUndoableWithName ("Fuzz");

        if (listed != loaded || (loaded && !readable))
            std::abort();

        if (!loaded && processor->getCurrentPresetName() != nameBefore)
            std::abort();

        // Keep the undo history from growing across millions of inputs.
        processor->clearUndoHistory();
    }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juceInitialiser;
    std::unique_ptr<ZkOstinelAudioProcessor> processor;
    juce::File presetFile;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // Made once and kept until the process ends.
    static auto* fixture = new Fixture();
    fixture->run (data, size);
    return 0;
}
