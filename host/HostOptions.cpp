#include "host/HostOptions.h"

#include <cmath>
#include <cstdlib>

namespace
{
bool toNumber (const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod (text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite (value);
}

// "a:b" into two numbers.
bool toPair (const std::string& text, double& a, double& b)
{
    const auto colon = text.find (':');
    return colon != std::string::npos && toNumber (text.substr (0, colon), a) &&
           toNumber (text.substr (colon + 1), b);
}

bool toFormat (const std::string& text, WavSampleFormat& format)
{
    if (text == "16")
        format = WavSampleFormat::pcm16;
    else if (text == "24")
        format = WavSampleFormat::pcm24;
    else if (text == "32")
        format = WavSampleFormat::pcm32;
    else if (text == "float")
        format = WavSampleFormat::float32;
    else
        return false;
    return true;
}
} // namespace

const char* HostOptions::usage()
{
    return "usage:\n"
           "  zkhost info <plugin.so> [--calls-back]\n"
           "  zkhost render <plugin.so> --out out.wav [--in in.wav] [--bpm 120] [--rate 48000] [--block "
           "512]\n"
           "         [--seconds N] [--set Name=value]... [--chunk state.bin] [--bits 16|24|32|float]\n"
           "         [--no-time | --no-ppq] [--stopped] [--play-at S] [--stop-at S] [--tempo-at S:BPM]...\n"
           "         [--loop A:B] [--in-place] [--calls-back]\n"
           "  zkhost save-chunk <plugin.so> --out state.bin [--chunk in.bin] [--set Name=value]...\n"
           "  zkhost load-chunk <plugin.so> --chunk state.bin [--out state-again.bin]\n"
           "Values of --set are normalised (0..1); a name may also be a parameter index.\n"
           "--loop takes quarter notes; --play-at, --stop-at and --tempo-at take seconds from the start.\n"
           "--no-time: no time information; --no-ppq: tempo and play state without a musical position.\n"
           "--calls-back: the host answers the plug-in's calls by calling straight back into it.\n";
}

bool HostOptions::parse (const std::vector<std::string>& args, HostOptions& options, std::string& error)
{
    options = {};

    if (args.size() < 2)
    {
        error = "a command and a plug-in are needed";
        return false;
    }

    options.command = args[0];
    options.pluginPath = args[1];

    if (options.command != "info" && options.command != "render" && options.command != "save-chunk" &&
        options.command != "load-chunk")
    {
        error = "unknown command " + options.command;
        return false;
    }

    for (std::size_t i = 2; i < args.size(); ++i)
    {
        const std::string& flag = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        double number = 0.0, second = 0.0;

        auto fail = [&] (const std::string& what)
        {
            error = flag + ": " + what;
            return false;
        };

        if (flag == "--no-time")
            options.sendTimeInfo = false;
        else if (flag == "--no-ppq")
            options.sendPpq = false;
        else if (flag == "--calls-back")
            options.callsBack = true;
        else if (flag == "--stopped")
            options.startPlaying = false;
        else if (flag == "--in-place")
            options.inPlace = true;
        else if (!hasValue)
            return fail (flag.rfind ("--", 0) == 0 ? "a value is missing" : "unknown argument");
        else
        {
            ++i;

            if (flag == "--in")
                options.inPath = value;
            else if (flag == "--out")
                options.outPath = value;
            else if (flag == "--chunk")
                options.chunkPath = value;
            else if (flag == "--bpm")
            {
                if (!toNumber (value, number) || number <= 0.0 || number > 1000.0)
                    return fail ("a tempo above 0 and up to 1000 BPM is needed");
                options.bpm = number;
            }
            else if (flag == "--rate")
            {
                if (!toNumber (value, number) || number < 1000.0 || number > 768000.0)
                    return fail ("a sample rate from 1000 to 768000 Hz is needed");
                options.sampleRate = number;
            }
            else if (flag == "--block")
            {
                if (!toNumber (value, number) || number < 1.0 || number > 65536.0 ||
                    number != std::floor (number))
                    return fail ("a block size from 1 to 65536 samples is needed");
                options.blockSize = static_cast<int> (number);
            }
            else if (flag == "--seconds")
            {
                if (!toNumber (value, number) || number <= 0.0 || number > 86400.0)
                    return fail ("a length above 0 and up to 86400 seconds is needed");
                options.seconds = number;
            }
            else if (flag == "--set")
            {
                const auto equals = value.rfind ('=');
                if (equals == std::string::npos || equals == 0 ||
                    !toNumber (value.substr (equals + 1), number))
                    return fail ("Name=value is needed");
                options.settings.emplace_back (value.substr (0, equals), static_cast<float> (number));
            }
            else if (flag == "--bits")
            {
                if (!toFormat (value, options.format))
                    return fail ("16, 24, 32 or float is needed");
            }
            else if (flag == "--play-at" || flag == "--stop-at")
            {
                if (!toNumber (value, number) || number < 0.0)
                    return fail ("a time in seconds is needed");
                TransportChange change;
                change.atSeconds = number;
                change.kind = flag == "--play-at" ? TransportChange::Kind::play : TransportChange::Kind::stop;
                options.changes.push_back (change);
            }
            else if (flag == "--tempo-at")
            {
                if (!toPair (value, number, second) || number < 0.0 || second <= 0.0 || second > 1000.0)
                    return fail ("SECONDS:BPM is needed");
                TransportChange change;
                change.atSeconds = number;
                change.kind = TransportChange::Kind::tempo;
                change.bpm = second;
                options.changes.push_back (change);
            }
            else if (flag == "--loop")
            {
                if (!toPair (value, number, second) || number < 0.0 || second <= number)
                    return fail ("START:END in quarter notes with END after START is needed");
                options.loops.assign (1, {number, second});
            }
            else
                return fail ("unknown option");
        }
    }

    // Without time information there is no musical position to leave out.
    if (!options.sendTimeInfo && !options.sendPpq)
    {
        error = "--no-time and --no-ppq: one or the other (--no-time sends no time information at all)";
        return false;
    }
    if (options.command == "render" && options.outPath.empty())
    {
        error = "render needs --out";
        return false;
    }
    if (options.command == "save-chunk" && options.outPath.empty())
    {
        error = "save-chunk needs --out";
        return false;
    }
    if (options.command == "load-chunk" && options.chunkPath.empty())
    {
        error = "load-chunk needs --chunk";
        return false;
    }
    return true;
}
