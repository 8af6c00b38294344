// The command line of zkhost, parsed and checked.

#pragma once

#include "host/PluginRenderer.h"
#include "host/WavAudio.h"

#include <string>
#include <utility>
#include <vector>

struct HostOptions
{
    std::string command;     // info, render, save-chunk, load-chunk
    std::string pluginPath;  //
    std::string inPath;      // render: input WAV (empty: test signal)
    std::string outPath;     // render: output WAV; save-chunk, load-chunk: chunk file
    std::string chunkPath;   // state chunk to load first
    double bpm = 120.0;      // [BPM]
    double sampleRate = 0.0; // [Hz]; 0: the input file's rate, else 48000
    int blockSize = 512;     // [samples]
    double seconds = 0.0;    // 0: the input file's length, else 8 s
    std::vector<std::pair<std::string, float>> settings; // parameter name (or index) and normalised value
    bool sendTimeInfo = true;
    bool sendPpq = true;    // false: tempo without a musical position (--no-ppq)
    bool callsBack = false; // the host calls back into the plug-in as real hosts do (--calls-back)
    bool startPlaying = true;
    bool inPlace = false;
    std::vector<std::pair<double, double>> loops; // at most one
    std::vector<TransportChange> changes;
    WavSampleFormat format = WavSampleFormat::float32;

    // False with a reason when the command line is not understood.
    static bool parse (const std::vector<std::string>& args, HostOptions& options, std::string& error);
    static const char* usage();
};
