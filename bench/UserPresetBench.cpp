// User presets with full presets folders: 0, 1,000 and 5,000 preset files
// (compressed, as the save panel writes them, each with its own name).
//   - first instance: the constructor's scan with nothing remembered in the
//     process yet (every file read and parsed);
//   - second instance: the constructor while another instance of the process
//     has scanned the same folder;
//   - rescan with nothing changed (what the preset menu, every load, save and
//     step start with);
//   - a NEXT click from one user preset to the next (one rescan, one file
//     read, every parameter written and recorded for undo).
//   - first instance with 100 hand-made preset files whose one element holds
//     8,000 empty attributes of the given number of different names (8,000:
//     past the reader's bound; 256: at it), names either new in each file or
//     shared by all: the time must not depend on which.
// Times are wall-clock per operation [ms]. The files are dated an hour back:
// verdicts on files changed in the last seconds are not kept, and a real
// presets folder is older than that.

#include "BenchmarkHome.h"

#include <benchmark/benchmark.h>

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUserPresetFile.h"

#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace
{
/** The attributes of a hand-made preset file's one element. */
struct AttributeNames
{
    static constexpr int numAttributes = 8000;
    int numNames = 0;          // different ones in a file
    bool newInEachFile = true; // or shared by every file

    bool operator<(const AttributeNames& other) const
    {
        return std::tie (numNames, newInEachFile) < std::tie (other.numNames, other.newInEachFile);
    }
};

/** The plain preset file numbered index whose document is one element with
    the attributes names describes, all empty. */
juce::MemoryBlock presetOfAttributes (const AttributeNames& names, int index)
{
    const auto prefix = names.newInEachFile ? "f" + std::to_string (index) : std::string ("shared");
    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZkOstinelPreset";
    for (int i = 0; i < AttributeNames::numAttributes; ++i)
        document += " " + prefix + "_" + std::to_string (i % names.numNames) + "=\"\"";
    document += "/>\n";

    juce::MemoryOutputStream file;
    file.write (ZkUserPresetFile::headerText, ZkUserPresetFile::headerTextLength);
    file.writeByte (0);
    file.write (document.data(), document.size() + 1);
    return file.getMemoryBlock();
}

/** A temporary home folder whose presets folder holds numPresets files:
    copies of a preset that an instance saves, or hand-made ones of names. */
class PresetHome
{
public:
    explicit PresetHome (int numPresets, std::optional<AttributeNames> names = {})
        : home (std::make_unique<TemporaryProcessHome> ("zk-preset-bench-"))
    {
        ZkOstinelAudioProcessor processor;
        folder = processor.getUserPresetsFolder();
        juce::MemoryBlock bytes;

        if (!names)
        {
            processor.saveCurrentPresetToDisk ("Template", true);
            const auto templateFile = folder.getChildFile ("Template.zkp");
            templateFile.loadFileAsData (bytes);
            templateFile.deleteFile();
        }

        folder.createDirectory();
        const auto anHourAgo = juce::Time::getCurrentTime() - juce::RelativeTime::hours (1);
        for (int i = 0; i < numPresets; ++i)
        {
            if (names)
                bytes = presetOfAttributes (*names, i);

            const auto file =
                folder.getChildFile ("User Preset " + juce::String (i).paddedLeft ('0', 5) + ".zkp");
            file.replaceWithData (bytes.getData(), bytes.getSize());
            file.setLastModificationTime (anHourAgo);
        }
    }

    /** Moves the presets folder into a new home folder and points HOME there:
        a folder path that this process has not scanned yet. */
    void moveToNewHome()
    {
        auto newHome = std::make_unique<TemporaryProcessHome> ("zk-preset-bench-");
        const auto newFolder =
            juce::File (newHome->getFolder().string()).getChildFile (".config/TELQUARLAB/ZkOstinel Presets");
        newFolder.getParentDirectory().createDirectory();
        folder.moveFileTo (newFolder);
        folder = newFolder;
        home = std::move (newHome); // the old folder goes
    }

    void use() const { home->use(); }

private:
    std::unique_ptr<TemporaryProcessHome> home;
    juce::File folder;
};

PresetHome& presetHome (int numPresets, std::optional<AttributeNames> names = {})
{
    static std::map<std::pair<int, std::optional<AttributeNames>>, std::unique_ptr<PresetHome>> homes;
    auto& home = homes[{numPresets, names}];
    if (home == nullptr)
        home = std::make_unique<PresetHome> (numPresets, names);
    home->use();
    return *home;
}

/** Creates instances, each the first to scan its folder. */
void createFirstInstances (benchmark::State& state, PresetHome& home)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        home.moveToNewHome();
        state.ResumeTiming();

        auto processor = std::make_unique<ZkOstinelAudioProcessor>();

        state.PauseTiming();
        processor.reset();
        state.ResumeTiming();
    }
}

void BM_FirstInstance (benchmark::State& state)
{
    createFirstInstances (state, presetHome ((int)state.range (0)));
}

void BM_FirstInstanceAttributeNames (benchmark::State& state)
{
    const AttributeNames names{(int)state.range (0), state.range (1) != 0};
    createFirstInstances (state, presetHome (100, names));
}

void BM_SecondInstance (benchmark::State& state)
{
    presetHome ((int)state.range (0));
    const auto first = std::make_unique<ZkOstinelAudioProcessor>();

    for (auto _ : state)
    {
        auto processor = std::make_unique<ZkOstinelAudioProcessor>();

        state.PauseTiming();
        processor.reset();
        state.ResumeTiming();
    }
}

void BM_RescanNothingChanged (benchmark::State& state)
{
    presetHome ((int)state.range (0));
    ZkOstinelAudioProcessor processor;

    for (auto _ : state)
        benchmark::DoNotOptimize (processor.getAllUserPresetNames().size());
}

void BM_NextClick (benchmark::State& state)
{
    presetHome ((int)state.range (0));
    ZkOstinelAudioProcessor processor;
    processor.loadUserPresetUndoableWithID (0);

    for (auto _ : state)
        processor.loadNextPreset();

    state.counters["user_preset_shown"] = processor.currentPresetIsFactory() ? 0 : 1;
}

BENCHMARK (BM_FirstInstance)->Arg (0)->Arg (1000)->Arg (5000)->Unit (benchmark::kMillisecond)->Iterations (3);
BENCHMARK (BM_FirstInstanceAttributeNames)
    ->ArgsProduct ({{AttributeNames::numAttributes, ZkUserPresetFile::maxAttributeNames}, {1, 0}})
    ->ArgNames ({"names", "new"})
    ->Unit (benchmark::kMillisecond)
    ->Iterations (3);
BENCHMARK (BM_SecondInstance)->Arg (0)->Arg (1000)->Arg (5000)->Unit (benchmark::kMillisecond)->MinTime (1.0);
BENCHMARK (BM_RescanNothingChanged)
    ->Arg (0)
    ->Arg (1000)
    ->Arg (5000)
    ->Unit (benchmark::kMillisecond)
    ->MinTime (1.0);
BENCHMARK (BM_NextClick)->Arg (1000)->Arg (5000)->Unit (benchmark::kMillisecond)->MinTime (1.0);
} // namespace

int main (int argc, char** argv)
{
    return BenchmarkHome::runBenchmarks (argc, argv, std::filesystem::temp_directory_path());
}
