#include "host/HostCommands.h"

#include "host/FileBytes.h"
#include "host/HostedPlugin.h"
#include "host/PluginRenderer.h"
#include "host/WavReader.h"
#include "host/WavWriter.h"

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <memory>
#include <sstream>

namespace
{
std::string fourCharacters (VstInt32 id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = static_cast<char> ((static_cast<std::uint32_t> (id) >> shift) & 0xff);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

std::string hex (std::uint32_t value)
{
    std::ostringstream stream;
    stream << "0x" << std::hex << std::uppercase << value;
    return stream.str();
}

std::string flagNames (VstInt32 flags)
{
    static const std::pair<VstInt32, const char*> names[] = {
        {effFlagsHasEditor, "HasEditor"},
        {effFlagsHasClip, "HasClip"},
        {effFlagsHasVu, "HasVu"},
        {effFlagsCanMono, "CanMono"},
        {effFlagsCanReplacing, "CanReplacing"},
        {effFlagsProgramChunks, "ProgramChunks"},
        {effFlagsIsSynth, "IsSynth"},
        {effFlagsNoSoundInStop, "NoSoundInStop"},
        {effFlagsExtIsAsync, "ExtIsAsync"},
        {effFlagsExtHasBuffer, "ExtHasBuffer"},
        {effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
    };
    std::string text;
    for (const auto& [bit, name] : names)
        if ((flags & bit) != 0)
            text += (text.empty() ? "" : " ") + std::string (name);
    return text;
}

std::unique_ptr<HostedPlugin> loadPlugin (const HostOptions& options, std::ostream& err)
{
    std::string error;
    auto plugin = HostedPlugin::load (options.pluginPath, error);
    if (plugin == nullptr)
        err << "zkhost: " << error << "\n";
    else if (options.callsBack)
        plugin->setCallsBack (true);
    return plugin;
}

// Loads the chunk file (if any), then applies the --set values; false (with
// a message) when the file cannot be read or the plug-in refuses its chunk.
bool prepareState (HostedPlugin& plugin, const HostOptions& options, std::ostream& err)
{
    if (!options.chunkPath.empty())
    {
        std::vector<unsigned char> chunk;
        if (!FileBytes::read (options.chunkPath, chunk) || chunk.empty())
        {
            err << "zkhost: cannot read a chunk from " << options.chunkPath << "\n";
            return false;
        }
        if (!plugin.setChunk (chunk))
        {
            err << "zkhost: the plug-in refused the chunk in " << options.chunkPath << "\n";
            return false;
        }
    }

    for (const auto& [name, value] : options.settings)
    {
        int index = plugin.findParameter (name);

        if (index < 0)
        {
            char* end = nullptr;
            const long number = std::strtol (name.c_str(), &end, 10);
            if (end == name.c_str() + name.size() && number >= 0 && number < plugin.getEffect()->numParams)
                index = static_cast<int> (number);
        }

        if (index < 0)
        {
            err << "zkhost: the plug-in has no parameter " << name << "\n";
            return false;
        }
        plugin.setParameter (index, value);
    }
    return true;
}

void printParameters (HostedPlugin& plugin, std::ostream& out)
{
    for (int index = 0; index < plugin.getEffect()->numParams; ++index)
    {
        out << std::setw (4) << index << "  " << std::left << std::setw (20)
            << plugin.getParameterName (index) << std::right << std::fixed << std::setprecision (6)
            << plugin.getParameter (index) << "  \"" << plugin.getParameterDisplay (index) << "\"";
        const auto label = plugin.getParameterLabel (index);
        if (!label.empty())
            out << " " << label;
        out << "\n";
    }
}
} // namespace

int HostCommands::run (const HostOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.command == "info")
        return info (options, out, err);
    if (options.command == "render")
        return render (options, out, err);
    if (options.command == "save-chunk")
        return saveChunk (options, out, err);
    if (options.command == "load-chunk")
        return loadChunk (options, out, err);

    err << HostOptions::usage();
    return 2;
}

void HostCommands::printInfo (HostedPlugin& plugin, std::ostream& out)
{
    const AEffect& e = *plugin.getEffect();

    out << "entry:          " << plugin.getEntryName() << "\n"
        << "effect name:    " << plugin.getEffectName() << "\n"
        << "vendor:         " << plugin.getVendorString() << "\n"
        << "product:        " << plugin.getProductString() << "\n"
        << "vendor version: " << plugin.dispatch (effGetVendorVersion) << "\n"
        << "unique ID:      '" << fourCharacters (e.uniqueID) << "' ("
        << hex (static_cast<std::uint32_t> (e.uniqueID)) << ")\n"
        << "version:        " << e.version << "\n"
        << "VST version:    " << plugin.dispatch (effGetVstVersion) << "\n"
        << "category:       " << plugin.dispatch (effGetPlugCategory) << "\n"
        << "flags:          " << hex (static_cast<std::uint32_t> (e.flags)) << " (" << flagNames (e.flags)
        << ")\n"
        << "inputs:         " << e.numInputs << "\n"
        << "outputs:        " << e.numOutputs << "\n"
        << "initial delay:  " << e.initialDelay << "\n"
        << "programs:       " << e.numPrograms << " (current: \"" << plugin.getProgramName() << "\")\n"
        << "parameters:     " << e.numParams << "\n"
        << "can do:        ";

    for (const char* text :
         {"receiveVstTimeInfo", "bypass", "receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
          "sendVstMidiEvent", "openCloseAnyThread", "conformsToWindowRules"})
        out << " " << text << "=" << plugin.canDo (text);
    out << "\n\n";

    printParameters (plugin, out);
}

int HostCommands::info (const HostOptions& options, std::ostream& out, std::ostream& err)
{
    auto plugin = loadPlugin (options, err);
    if (plugin == nullptr)
        return 1;

    out << "file:           " << options.pluginPath << "\n";
    printInfo (*plugin, out);
    return 0;
}

int HostCommands::render (const HostOptions& options, std::ostream& out, std::ostream& err)
{
    WavAudio input;
    std::string error;

    if (!options.inPath.empty() && !WavReader::read (options.inPath, input, error))
    {
        err << "zkhost: " << error << "\n";
        return 1;
    }

    const bool hasInput = !options.inPath.empty();
    double sampleRate = options.sampleRate > 0.0 ? options.sampleRate : 48000.0;

    if (hasInput)
    {
        if (options.sampleRate > 0.0 && options.sampleRate != input.sampleRate)
        {
            err << "zkhost: " << options.inPath << " runs at " << input.sampleRate
                << " Hz; zkhost does not resample\n";
            return 1;
        }
        sampleRate = input.sampleRate;
    }

    RenderSettings settings;
    settings.sampleRate = sampleRate;
    settings.blockSize = options.blockSize;
    settings.bpm = options.bpm;
    settings.sendTimeInfo = options.sendTimeInfo;
    settings.sendPpq = options.sendPpq;
    settings.startPlaying = options.startPlaying;
    settings.inPlace = options.inPlace;
    settings.changes = options.changes;
    if (!options.loops.empty())
        settings.loop = options.loops.front();
    settings.numFrames = options.seconds > 0.0
                             ? static_cast<std::size_t> (std::llround (options.seconds * sampleRate))
                         : hasInput ? input.getNumFrames()
                                    : static_cast<std::size_t> (std::llround (8.0 * sampleRate));

    auto plugin = loadPlugin (options, err);
    if (plugin == nullptr || !prepareState (*plugin, options, err))
        return 1;

    if (plugin->getEffect()->numOutputs < 1)
    {
        err << "zkhost: the plug-in has no audio outputs\n";
        return 1;
    }

    WavWriter writer;
    if (!writer.open (options.outPath, plugin->getEffect()->numOutputs, sampleRate, options.format, error))
    {
        err << "zkhost: " << error << "\n";
        return 1;
    }

    const PluginRenderer::Sink sink = [&writer] (const float* const* channels, int, std::size_t numFrames)
    { return writer.write (channels, numFrames); };

    // Long renders report every tenth.
    const bool showProgress = static_cast<double> (settings.numFrames) / sampleRate >= 30.0;
    const PluginRenderer::Progress progress = [&err, showProgress] (double done)
    {
        if (showProgress)
            err << "rendering: " << static_cast<int> (std::lround (done * 100.0)) << "%" << std::endl;
    };

    RenderResult result;
    const bool rendered =
        PluginRenderer::render (*plugin, hasInput ? &input : nullptr, settings, sink, progress, result);

    if (!rendered || !writer.close())
    {
        err << "zkhost: cannot write " << options.outPath << "\n";
        return 1;
    }

    out << "rendered " << result.numFrames << " frames (" << std::fixed << std::setprecision (3)
        << result.audioSeconds << " s at " << std::setprecision (0) << sampleRate << " Hz, block "
        << settings.blockSize << ") to " << options.outPath << "\n"
        << "real-time factor: " << std::setprecision (1) << result.realTimeFactor() << "x ("
        << std::setprecision (3) << result.wallSeconds << " s)\n";
    return 0;
}

int HostCommands::saveChunk (const HostOptions& options, std::ostream& out, std::ostream& err)
{
    auto plugin = loadPlugin (options, err);
    if (plugin == nullptr || !prepareState (*plugin, options, err))
        return 1;

    const auto chunk = plugin->getChunk();
    if (chunk.empty())
    {
        err << "zkhost: the plug-in gave no chunk\n";
        return 1;
    }
    if (!FileBytes::write (options.outPath, chunk))
    {
        err << "zkhost: cannot write " << options.outPath << "\n";
        return 1;
    }

    out << "saved " << chunk.size() << " bytes to " << options.outPath << "\n";
    return 0;
}

int HostCommands::loadChunk (const HostOptions& options, std::ostream& out, std::ostream& err)
{
    auto plugin = loadPlugin (options, err);
    if (plugin == nullptr || !prepareState (*plugin, options, err))
        return 1;

    out << "loaded " << options.chunkPath << "; program \"" << plugin->getProgramName() << "\"\n";
    printParameters (*plugin, out);

    if (!options.outPath.empty())
    {
        const auto chunk = plugin->getChunk();
        if (chunk.empty() || !FileBytes::write (options.outPath, chunk))
        {
            err << "zkhost: cannot write the chunk to " << options.outPath << "\n";
            return 1;
        }
        out << "saved " << chunk.size() << " bytes to " << options.outPath << "\n";
    }
    return 0;
}
