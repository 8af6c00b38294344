// zk_ardour_export_check: compares two exports of the same Ardour session, one
// without the plug-in (the control: the steady noise of Ardour's dummy
// backend) and one with the
// plug-in on the track at its default settings, and tells whether the second is
// gated in time with the session tempo.
//
//   zk_ardour_export_check <control.wav> <plugin.wav> <bpm>
//
// The export with the plug-in is cut into windows of 5 ms. A window is open
// above half the control's level (over the whole control) and closed below a
// tenth (in between on a ramp). The export is gated when it differs from the
// control, has open and closed windows (each at least a tenth of them), and
// repeats itself one bar later (four beats at the tempo; the default pattern
// fits in a bar): no window that is clearly open or closed is the other a bar
// later. That holds from the first window on: the host starts its transport at
// the start of the export, and the gate plays from there as from the first
// block, so the song's first sixteenth (a step of the default pattern) is open
// too, not silent. Prints the envelope one beat a line ('x' open, '.' closed,
// '~' in between) and the verdict; exits 0 when gated, 1 when not, 2 when the
// files cannot be compared.

#include "host/WavReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
enum class WindowState
{
    open,
    closed,
    between
};

// Root mean square over [begin, end) of all channels together.
double levelOf (const WavAudio& audio, std::size_t begin, std::size_t end)
{
    double sum = 0.0;
    std::size_t count = 0;
    for (const auto& channel : audio.channels)
    {
        for (std::size_t i = begin; i < end; ++i)
        {
            const auto sample = static_cast<double> (channel[i]);
            sum += sample * sample;
        }
        count += end - begin;
    }
    return count > 0 ? std::sqrt (sum / static_cast<double> (count)) : 0.0;
}

bool sameSamples (const WavAudio& a, const WavAudio& b)
{
    return a.channels == b.channels;
}

char symbolOf (WindowState state)
{
    return state == WindowState::open ? 'x' : state == WindowState::closed ? '.' : '~';
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf (stderr, "usage: %s <control.wav> <plugin.wav> <bpm>\n", argv[0]);
        return 2;
    }

    WavAudio control, gated;
    std::string error;
    if (!WavReader::read (argv[1], control, error) || !WavReader::read (argv[2], gated, error))
    {
        std::fprintf (stderr, "cannot read the exports: %s\n", error.c_str());
        return 2;
    }

    const double bpm = std::atof (argv[3]);
    if (!(bpm >= 20.0 && bpm <= 400.0) || control.sampleRate != gated.sampleRate ||
        control.sampleRate <= 0.0 || control.getNumChannels() != gated.getNumChannels())
    {
        std::fprintf (stderr,
                      "the exports differ in sample rate or channels, or the tempo is out of range\n");
        return 2;
    }

    const auto window = static_cast<std::size_t> (control.sampleRate * 0.005); // [samples]
    const double beat = control.sampleRate * 60.0 / bpm;                       // [samples]
    const auto windowsPerBar =
        static_cast<std::size_t> (std::lround (4.0 * beat / static_cast<double> (window)));
    const auto windowsPerSixteenth =
        static_cast<std::size_t> (std::lround (beat / 4.0 / static_cast<double> (window)));
    const std::size_t windows = std::min (control.getNumFrames(), gated.getNumFrames()) / window;
    if (window == 0 || windowsPerSixteenth == 0 || windows < windowsPerBar + windowsPerBar / 2)
    {
        std::fprintf (stderr, "the exports are too short: at least one and a half bars are needed\n");
        return 2;
    }

    const double controlLevel = levelOf (control, 0, windows * window);
    if (controlLevel < 0.01)
    {
        std::fprintf (
            stderr,
            "the control export is silent (level %.5f): Ardour's test signal did not reach the export\n",
            controlLevel);
        return 2;
    }

    if (sameSamples (control, gated))
    {
        std::printf ("NOT GATED: the export with the plug-in is identical to the control\n");
        return 1;
    }

    std::vector<WindowState> states;
    for (std::size_t w = 0; w < windows; ++w)
    {
        const double ratio = levelOf (gated, w * window, (w + 1) * window) / controlLevel;
        states.push_back (ratio > 0.5   ? WindowState::open
                          : ratio < 0.1 ? WindowState::closed
                                        : WindowState::between);
    }

    const auto windowsPerBeat = static_cast<std::size_t> (std::lround (beat / static_cast<double> (window)));
    for (std::size_t w = 0; w < windows; w += windowsPerBeat)
    {
        std::string line;
        for (std::size_t i = w; i < std::min (windows, w + windowsPerBeat); ++i)
            line += symbolOf (states[i]);
        std::printf ("%6.3f s  %s\n", static_cast<double> (w * window) / control.sampleRate, line.c_str());
    }

    std::size_t open = 0, closed = 0, compared = 0, mismatches = 0;
    for (std::size_t w = 0; w < windows; ++w)
    {
        open += states[w] == WindowState::open ? 1 : 0;
        closed += states[w] == WindowState::closed ? 1 : 0;
        if (w + windowsPerBar < windows && states[w] != WindowState::between &&
            states[w + windowsPerBar] != WindowState::between)
        {
            ++compared;
            mismatches += states[w] != states[w + windowsPerBar] ? 1 : 0;
        }
    }

    // The gate of the song's first sixteenth is open for a good part of it: at
    // least a quarter of its windows.
    const auto openAtStart = static_cast<std::size_t> (
        std::count (states.begin(), states.begin() + static_cast<std::ptrdiff_t> (windowsPerSixteenth),
                    WindowState::open));
    const bool firstSixteenthOpen = openAtStart * 4 >= windowsPerSixteenth;

    const bool gatedInTime = open * 10 >= windows && closed * 10 >= windows &&
                             compared * 2 >= windowsPerBar && mismatches == 0 && firstSixteenthOpen;
    std::printf ("%s: %zu open and %zu closed of %zu windows of 5 ms at %.1f BPM; "
                 "%zu of %zu differ from the window a bar later; %zu of the first sixteenth's %zu are open\n",
                 gatedInTime ? "GATED" : "NOT GATED", open, closed, windows, bpm, mismatches, compared,
                 openAtStart, windowsPerSixteenth);
    return gatedInTime ? 0 : 1;
}
