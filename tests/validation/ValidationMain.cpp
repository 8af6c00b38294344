// Entry point of the validation suite: HOME (and XDG_CONFIG_HOME) point at a
// fresh temporary folder before any plug-in loads, because every instance
// writes its properties file and presets folder under the home folder. The
// suite is a host: it does not start JUCE; the plug-in runs its own.

#include "validation/PluginSession.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unistd.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    std::string home = (std::filesystem::temp_directory_path() / "zk-validation-home-XXXXXX").string();
    if (mkdtemp (home.data()) == nullptr)
    {
        std::perror ("mkdtemp");
        return 2;
    }

    setenv ("HOME", home.c_str(), 1);
    setenv ("XDG_CONFIG_HOME", (std::filesystem::path (home) / ".config").c_str(), 1);

    // The plug-in's JUCE connects to the X server of DISPLAY (":0.0" when unset)
    // as it starts; a server that goes away ends the process. Nothing here opens
    // a window: a display name that cannot open keeps JUCE headless.
    setenv ("DISPLAY", "zk-headless", 1);

#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer names the frames of a report when it prints it, and a
    // shared object unloaded and loaded again in between has lost its names
    // (suppressions match names): under it the plug-in stays mapped for the
    // run. Instances still start and end JUCE with the first and last one.
    dlopen (PluginSession::pluginPath().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
#endif

    const int result = RUN_ALL_TESTS();

    std::error_code ignored;
    std::filesystem::remove_all (home, ignored);
    return result;
}
