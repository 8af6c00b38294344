// Reading documents from outside at their size limit (1 MiB) whose values are
// one character or reference repeated: the time must grow with the size
// alone, whatever the values hold.
//
//   BM_ReadChunk/<fill>             a real state chunk whose program name is one long
//                                   value, restored into a processor
//   BM_ReadPresetFile/<fill>        a user preset file whose one parameter value is one
//                                   long value (an attribute, or element text: _text)
//   BM_ReadPropertiesFile/<fill>    the properties file with one more key whose value is
//                                   one long value (attribute "val", or element text: _text),
//                                   read by a new properties object
//   BM_ReadPropertiesFileKeys/<keys>
//   BM_WritePropertiesFileKeys/<keys>
//                                   the properties file with 1,000 more keys of 1 MB in all,
//                                   read by a new properties object, or written by one that
//                                   changed one key: keys of a 1,000-character shared prefix
//                                   and a number (sharedPrefix), or short keys whose values
//                                   have that length (short)
//   BM_ReadPresetFileManyValues     a preset file whose one element holds as many
//                                   attributes as the reader takes, each one <fill>
//                                   (of as many different names as it takes, repeated)
//   BM_ReadPresetFileValuesAtTheLimit
//                                   a preset file of 1 MB whose one element holds values of
//                                   "&#233;" just short of (/0) or just past (/1) the length
//                                   from which the reader decodes them itself
//                                   (ZkXmlAttributeValues), after plain ones (/<plain>)
//
// <fill>: plain ('x'), e233 ("&#233;"), x1F600 ("&#x1F600;"), lt ("&lt;"),
// amp ("&amp;"). A benchmark fails when the document is refused.

#include "BenchmarkHome.h"

#include <benchmark/benchmark.h>

#include "engine/ZkHostStateChunk.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkPropertiesFile.h"
#include "engine/ZkUserPresetFile.h"

#include <juce_events/juce_events.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace
{
constexpr size_t documentBytes = 1 << 20; // [bytes] the limit of all three
constexpr size_t headroom = 4096;         // [bytes] for the rest of the document

/** fill repeated to about documentBytes - headroom - surroundings bytes. */
std::string longValue (const std::string& fill, size_t surroundings)
{
    std::string value;
    while (value.size() + fill.size() + surroundings + headroom <= documentBytes)
        value += fill;
    return value;
}

std::string repeated (const std::string& fill, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += fill;
    return text;
}

/** The name of an element's attribute at index: as many different names as
    a preset file may hold, repeated. */
std::string attributeName (int index)
{
    return "a" + std::to_string (index % ZkUserPresetFile::maxAttributeNames);
}

juce::MemoryBlock chunkWithProgramName (const std::string& fill)
{
    ZkOstinelAudioProcessor processor;
    juce::MemoryBlock real;
    processor.getStateInformation (real);
    std::string text (static_cast<const char*> (real.getData()) + ZkHostStateChunk::headerSize,
                      real.getSize() - ZkHostStateChunk::headerSize - 1);

    const std::string attribute = "programName=\"";
    const auto start = text.find (attribute) + attribute.size();
    const auto end = text.find ('"', start);
    text.replace (start, end - start, longValue (fill, text.size()));

    juce::MemoryOutputStream out;
    out.writeInt ((int)ZkHostStateChunk::magic);
    out.writeInt ((int)text.size());
    out.write (text.data(), text.size());
    out.writeByte (0);
    return out.getMemoryBlock();
}

void BM_ReadChunk (benchmark::State& state, const std::string& fill)
{
    const auto chunk = chunkWithProgramName (fill);
    ZkOstinelAudioProcessor processor;

    for (auto _ : state)
    {
        if (!processor.restoreHostState (chunk.getData(), (int)chunk.getSize()))
        {
            state.SkipWithError ("the chunk was refused");
            break;
        }
    }

    state.counters["bytes"] = (double)chunk.getSize();
}

/** Reads a preset file whose document is document. */
void readPresetFile (benchmark::State& state, const std::string& document)
{
    juce::MemoryOutputStream file;
    file.write (ZkUserPresetFile::headerText, ZkUserPresetFile::headerTextLength);
    file.writeByte (0);
    file.write (document.data(), document.size() + 1);

    for (auto _ : state)
    {
        juce::MemoryInputStream stream (file.getData(), file.getDataSize(), false);
        if (ZkUserPresetFile::readDocument (stream) == nullptr)
        {
            state.SkipWithError ("the preset file was refused");
            break;
        }
    }

    state.counters["bytes"] = (double)document.size();
}

void BM_ReadPresetFile (benchmark::State& state, const std::string& fill, bool asText)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZkPreset>\n  <PARAM id=\"Mix\"";
    const std::string tail = asText ? "</PARAM>\n</ZkPreset>\n" : "/>\n</ZkPreset>\n";
    readPresetFile (state, head + (asText ? ">" : " value=\"") + longValue (fill, head.size() + tail.size()) +
                               (asText ? "" : "\"") + tail);
}

void BM_ReadPresetFileManyValues (benchmark::State& state, const std::string& fill)
{
    std::string document = "<ZkPreset><PARAM";
    for (int i = 1; i < ZkUserPresetFile::maxAttributes; ++i)
        document += " " + attributeName (i) + "=\"" + fill + "\"";
    readPresetFile (state, document + "/></ZkPreset>");
}

void BM_ReadPresetFileValuesAtTheLimit (benchmark::State& state)
{
    const std::string fill = "&#233;";
    const auto plain = (int)state.range (0);
    const int pastTheLimit = state.range (1) != 0 ? 2 : -2; // [references]

    std::string document = "<ZkPreset><PARAM";
    int index = 0;

    for (; index < plain; ++index)
        document += " " + attributeName (index) + "=\"x\"";

    // ZkXmlAttributeValues decodes a value itself from references times
    // length = 512 times its place among the element's attributes.
    for (; index + 1 < ZkUserPresetFile::maxAttributes; ++index)
    {
        const auto references = (int)std::sqrt (512.0 * (index + 1) / (double)fill.size()) + pastTheLimit;
        const auto attribute = " " + attributeName (index) + "=\"" + repeated (fill, references) + "\"";
        if (document.size() + attribute.size() + headroom > documentBytes)
            break;
        document += attribute;
    }

    readPresetFile (state, document + "/></ZkPreset>");
    state.counters["attributes"] = index;
}

/** The processor's properties file options, with text put where they place the file. */
juce::PropertiesFile::Options placePropertiesFile (const std::string& text)
{
    const auto options = ZkOstinelAudioProcessor::getPropertiesFileOptions();
    const auto file = options.getDefaultFile();
    file.getParentDirectory().createDirectory();
    file.replaceWithData (text.data(), text.size());
    return options;
}

void BM_ReadPropertiesFile (benchmark::State& state, const std::string& fill, bool asText)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n"
                             "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n  <VALUE name=\"Long\"";
    const std::string tail = asText ? "</VALUE>\n</PROPERTIES>\n" : "/>\n</PROPERTIES>\n";
    const auto text = head + (asText ? ">" : " val=\"") + longValue (fill, head.size() + tail.size()) +
                      (asText ? "" : "\"") + tail;
    const auto options = placePropertiesFile (text);

    for (auto _ : state)
    {
        ZkPropertiesFile properties (ZkPropertiesFile::Options::from (options));
        if (!properties.containsKey ("Long"))
        {
            state.SkipWithError ("the properties file was refused");
            break;
        }
    }

    state.counters["bytes"] = (double)text.size();
}

constexpr int manyKeys = 1000;

/** A current properties file with manyKeys more keys of about 1,000 characters
    each: a shared prefix and a number, or a short key with a value of that length. */
std::string propertiesFileOfKeys (bool sharedPrefix)
{
    const std::string prefix (1000, 'k');
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n"
                       "  <VALUE name=\"PropertiesFileVersion\" val=\"101\"/>\n";

    for (int i = 0; i < manyKeys; ++i)
    {
        const auto number = std::to_string (i);
        text += sharedPrefix ? "  <VALUE name=\"" + prefix + number + "\" val=\"v\"/>\n"
                             : "  <VALUE name=\"k" + number + "\" val=\"" + prefix + "\"/>\n";
    }

    return text + "</PROPERTIES>\n";
}

void BM_ReadPropertiesFileKeys (benchmark::State& state, bool sharedPrefix)
{
    const auto text = propertiesFileOfKeys (sharedPrefix);
    const auto options = placePropertiesFile (text);

    for (auto _ : state)
    {
        ZkPropertiesFile properties (ZkPropertiesFile::Options::from (options));
        if (properties.getAllProperties().size() != manyKeys + 1)
        {
            state.SkipWithError ("the properties file was not read whole");
            break;
        }
    }

    state.counters["bytes"] = (double)text.size();
}

/** Each write reads the file again, merges the one change into it and replaces it. */
void BM_WritePropertiesFileKeys (benchmark::State& state, bool sharedPrefix)
{
    const auto text = propertiesFileOfKeys (sharedPrefix);
    auto fileOptions = ZkPropertiesFile::Options::from (placePropertiesFile (text));
    fileOptions.millisecondsBeforeSaving = -1; // only by write() below
    ZkPropertiesFile properties (fileOptions);
    int changes = 0;

    for (auto _ : state)
    {
        properties.setValue ("Changed", ++changes);
        if (!properties.write())
        {
            state.SkipWithError ("the properties file was not written");
            break;
        }
    }

    state.counters["bytes"] = (double)text.size();
}

const std::string plain = "x", e233 = "&#233;", x1F600 = "&#x1F600;", lt = "&lt;", amp = "&amp;";

BENCHMARK_CAPTURE (BM_ReadChunk, plain, plain)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadChunk, e233, e233)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadChunk, x1F600, x1F600)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadChunk, lt, lt)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadChunk, amp, amp)->Unit (benchmark::kMillisecond);

BENCHMARK_CAPTURE (BM_ReadPresetFile, plain, plain, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, e233, e233, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, x1F600, x1F600, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, lt, lt, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, amp, amp, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, plain_text, plain, true)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, e233_text, e233, true)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFile, amp_text, amp, true)->Unit (benchmark::kMillisecond);

BENCHMARK_CAPTURE (BM_ReadPresetFileManyValues, plain, plain)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPresetFileManyValues, lt, lt)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_ReadPresetFileValuesAtTheLimit)
    ->Unit (benchmark::kMillisecond)
    ->ArgsProduct ({{0, 7000}, {0, 1}});

BENCHMARK_CAPTURE (BM_ReadPropertiesFile, plain, plain, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, e233, e233, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, x1F600, x1F600, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, lt, lt, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, amp, amp, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, plain_text, plain, true)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, e233_text, e233, true)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFile, amp_text, amp, true)->Unit (benchmark::kMillisecond);

BENCHMARK_CAPTURE (BM_ReadPropertiesFileKeys, sharedPrefix, true)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_ReadPropertiesFileKeys, short, false)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_WritePropertiesFileKeys, sharedPrefix, true)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_WritePropertiesFileKeys, short, false)->Unit (benchmark::kMillisecond);
} // namespace

int main (int argc, char** argv)
{
    return BenchmarkHome::runBenchmarks (argc, argv, std::filesystem::temp_directory_path());
}
