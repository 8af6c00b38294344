// What hostile input and unwritable files cost the host's thread:
//
//   BM_SetStateRealChunk                 a chunk the processor wrote, restored
//   BM_SetStateManyUnknownAttributes     a real chunk with 60,000 unknown attributes added,
//                                        refused (it should cost about what a real one does)
//   BM_CloseWithUnwritablePropertiesFile a processor made and destroyed while its
//                                        properties file cannot be replaced
//   BM_CloseWithWritablePropertiesFile   the same with a writable file, for comparison
//
// The unwritable file is made immutable (root ignores file modes; an immutable
// file cannot be replaced even by root); where the file system has no such
// flag, its mode is made read-only, which holds for other users.

#include "BenchmarkHome.h"

#include <benchmark/benchmark.h>

#include "engine/ZkOstinelAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
juce::MemoryBlock realChunk()
{
    ZkOstinelAudioProcessor processor;
    juce::MemoryBlock chunk;
    processor.getStateInformation (chunk);
    return chunk;
}

/** A real chunk whose element carries count extra attributes that no processor knows. */
juce::MemoryBlock chunkWithUnknownAttributes (int count)
{
    const auto chunk = realChunk();
    auto text =
        juce::String::fromUTF8 (static_cast<const char*> (chunk.getData()) + 8, (int)chunk.getSize() - 9);

    juce::MemoryOutputStream extra;
    for (int i = 0; i < count; ++i)
        extra << " u" << i << "=\"0\"";

    text = text.upToLastOccurrenceOf ("/>", false, false) + extra.toString() + "/>";

    const auto bytes = text.toUTF8();
    const auto length = (uint32_t)text.getNumBytesAsUTF8();
    juce::MemoryOutputStream out;
    out.writeInt ((int)0x21324356);
    out.writeInt ((int)length);
    out.write (bytes.getAddress(), length);
    out.writeByte (0);
    return out.getMemoryBlock();
}

void restore (benchmark::State& state, const juce::MemoryBlock& chunk)
{
    ZkOstinelAudioProcessor processor;

    for (auto _ : state)
        processor.setStateInformation (chunk.getData(), (int)chunk.getSize());

    state.counters["chunk_bytes"] = (double)chunk.getSize();
}

void BM_SetStateRealChunk (benchmark::State& state)
{
    restore (state, realChunk());
}

void BM_SetStateManyUnknownAttributes (benchmark::State& state)
{
    restore (state, chunkWithUnknownAttributes (60000));
}

juce::File propertiesFile()
{
    return juce::File ("~/TELQUARLAB/ZkOstinel.zkproperties");
}

bool makeImmutable (const juce::File& file, bool immutable)
{
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;

    int flags = 0;
    bool ok = ::ioctl (fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl (fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close (fd);
    return ok;
}

void closeInstances (benchmark::State& state, bool writable)
{
    {
        ZkOstinelAudioProcessor first; // writes the file
    }

    const auto file = propertiesFile();
    const bool immutable = !writable && makeImmutable (file, true);

    if (!writable && !immutable)
        file.setReadOnly (true);

    int n = 0;

    for (auto _ : state)
    {
        state.PauseTiming();
        auto processor = std::make_unique<ZkOstinelAudioProcessor>();
        // A value that differs from the file's, so that closing writes it.
        processor->getPropertiesFile()->setValue ("DefaultEditorDesktopHeightRatio", 0.5 + 0.01 * (++n % 10));
        state.ResumeTiming();
        processor.reset(); // saves its properties
    }

    if (immutable)
        makeImmutable (file, false);
    file.setReadOnly (false);
    state.SetLabel (writable ? "writable" : immutable ? "immutable" : "read-only mode");
}

void BM_CloseWithUnwritablePropertiesFile (benchmark::State& state)
{
    closeInstances (state, false);
}

void BM_CloseWithWritablePropertiesFile (benchmark::State& state)
{
    closeInstances (state, true);
}

BENCHMARK (BM_SetStateRealChunk)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_SetStateManyUnknownAttributes)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_CloseWithUnwritablePropertiesFile)->Unit (benchmark::kMillisecond)->Iterations (10);
BENCHMARK (BM_CloseWithWritablePropertiesFile)->Unit (benchmark::kMillisecond)->Iterations (10);

} // namespace

int main (int argc, char** argv)
{
    // Under the working folder rather than /tmp: the immutable flag needs a
    // file system that has it (tmpfs may not).
    return BenchmarkHome::runBenchmarks (argc, argv, std::filesystem::current_path());
}
