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
// Times are wall-clock per operation [ms]. The files are dated an hour back:
// verdicts on files changed in the last seconds are not kept, and a real
// presets folder is older than that.

#include "BenchmarkHome.h"

#include <benchmark/benchmark.h>

#include "engine/ZkOstinelAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{
/** A temporary home folder whose presets folder holds numPresets files. */
class PresetHome
{
public:
    explicit PresetHome (int numPresets)
        : home (std::make_unique<TemporaryProcessHome> ("zk-preset-bench-"))
    {
        // One instance saves a preset; its bytes are copied under every name.
        ZkOstinelAudioProcessor processor;
        folder = processor.getUserPresetsFolder();
        processor.saveCurrentPresetToDisk ("Template", true);

        const auto templateFile = folder.getChildFile ("Template.zkp");
        juce::MemoryBlock bytes;
        templateFile.loadFileAsData (bytes);
        templateFile.deleteFile();

        const auto anHourAgo = juce::Time::getCurrentTime() - juce::RelativeTime::hours (1);
        for (int i = 0; i < numPresets; ++i)
        {
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

PresetHome& presetHome (int numPresets)
{
    static std::map<int, std::unique_ptr<PresetHome>> homes;
    auto& home = homes[numPresets];
    if (home == nullptr)
        home = std::make_unique<PresetHome> (numPresets);
    home->use();
    return *home;
}

void BM_FirstInstance (benchmark::State& state)
{
    auto& home = presetHome ((int)state.range (0));

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
