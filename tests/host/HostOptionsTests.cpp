// zkhost's command line: what it accepts and what it refuses.

#include "host/HostOptions.h"

#include <gtest/gtest.h>

TEST (HostOptions, ReadsARenderCommandLine)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE (HostOptions::parse (
        {"render",    "p.so",     "--in",     "a.wav",      "--out",      "b.wav",       "--bpm",
         "98.5",      "--rate",   "44100",    "--block",    "64",         "--seconds",   "2.5",
         "--set",     "Mix=0.25", "--set",    "Odd=Name=1", "--chunk",    "s.bin",       "--bits",
         "24",        "--loop",   "4:8",      "--tempo-at", "1.5:140",    "--stop-at",   "2",
         "--play-at", "2.2",      "--no-ppq", "--stopped",  "--in-place", "--calls-back"},
        options, error))
        << error;

    EXPECT_EQ (options.inPath, "a.wav");
    EXPECT_EQ (options.outPath, "b.wav");
    EXPECT_EQ (options.bpm, 98.5);
    EXPECT_EQ (options.sampleRate, 44100.0);
    EXPECT_EQ (options.blockSize, 64);
    EXPECT_EQ (options.seconds, 2.5);
    ASSERT_EQ (options.settings.size(), 2u);
    EXPECT_EQ (options.settings[1].first, "Odd=Name"); // the value follows the last '='
    EXPECT_EQ (options.settings[1].second, 1.0f);
    EXPECT_EQ (options.format, WavSampleFormat::pcm24);
    ASSERT_EQ (options.loops.size(), 1u);
    EXPECT_EQ (options.loops[0], std::make_pair (4.0, 8.0));
    ASSERT_EQ (options.changes.size(), 3u);
    EXPECT_EQ (options.changes[0].bpm, 140.0);
    EXPECT_TRUE (options.sendTimeInfo);
    EXPECT_FALSE (options.sendPpq);
    EXPECT_FALSE (options.startPlaying);
    EXPECT_TRUE (options.inPlace);
    EXPECT_TRUE (options.callsBack);
}

TEST (HostOptions, RefusesBadValues)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"render"},
        {"play", "p.so"},
        {"render", "p.so"}, // no --out
        {"render", "p.so", "--out"},
        {"render", "p.so", "--out", "o.wav", "--bpm", "0"},
        {"render", "p.so", "--out", "o.wav", "--bpm", "nan"},
        {"render", "p.so", "--out", "o.wav", "--rate", "-48000"},
        {"render", "p.so", "--out", "o.wav", "--block", "0"},
        {"render", "p.so", "--out", "o.wav", "--block", "12.5"},
        {"render", "p.so", "--out", "o.wav", "--seconds", "inf"},
        {"render", "p.so", "--out", "o.wav", "--set", "Mix"},
        {"render", "p.so", "--out", "o.wav", "--set", "=0.5"},
        {"render", "p.so", "--out", "o.wav", "--bits", "8"},
        {"render", "p.so", "--out", "o.wav", "--loop", "8:4"},
        {"render", "p.so", "--out", "o.wav", "--tempo-at", "1"},
        {"render", "p.so", "--out", "o.wav", "--frobnicate", "1"},
        {"render", "p.so", "--out", "o.wav", "--no-time", "--no-ppq"}, // one or the other
        {"render", "p.so", "--no-ppq", "--out", "o.wav", "--no-time"},
        {"save-chunk", "p.so"},
        {"load-chunk", "p.so"},
    };
    for (const auto& args : bad)
    {
        HostOptions options;
        std::string error;
        EXPECT_FALSE (HostOptions::parse (args, options, error)) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE (error.empty());
    }
}
