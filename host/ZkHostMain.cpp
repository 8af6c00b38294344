// zkhost: the project's own VST 2.4 host for checks and renders.

#include "host/HostCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main (int argc, char** argv)
{
    const std::vector<std::string> args (argv + 1, argv + argc);

    if (args.empty() || args[0] == "--help" || args[0] == "-h")
    {
        std::cout << HostOptions::usage();
        return args.empty() ? 2 : 0;
    }

    HostOptions options;
    std::string error;
    if (!HostOptions::parse (args, options, error))
    {
        std::cerr << "zkhost: " << error << "\n" << HostOptions::usage();
        return 2;
    }

    return HostCommands::run (options, std::cout, std::cerr);
}
