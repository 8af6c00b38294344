// The commands of zkhost: print a plug-in's identity and parameters, render
// audio through it, save and load its state chunk.

#pragma once

#include "host/HostOptions.h"

#include <ostream>

class HostedPlugin;

class HostCommands
{
public:
    // Runs the command; the exit code is 0 on success. Results go to out,
    // progress and errors to err.
    static int run (const HostOptions& options, std::ostream& out, std::ostream& err);

    // Prints the record, names and parameters of a loaded plug-in.
    static void printInfo (HostedPlugin& plugin, std::ostream& out);

private:
    static int info (const HostOptions& options, std::ostream& out, std::ostream& err);
    static int render (const HostOptions& options, std::ostream& out, std::ostream& err);
    static int saveChunk (const HostOptions& options, std::ostream& out, std::ostream& err);
    static int loadChunk (const HostOptions& options, std::ostream& out, std::ostream& err);
};
