// Entry point of the validation suite: HOME (and XDG_CONFIG_HOME) point at a
// fresh temporary folder before any plug-in loads, because every instance
// writes its properties file and presets folder under the home folder. The
// suite is a host: it does not start JUCE; the plug-in runs its own.

#include "support/HeadlessDisplay.h"
#include "support/TemporaryProcessHome.h"
#include "validation/PluginSession.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    const TemporaryProcessHome home ("zk-validation-home-");

    // Nothing here opens a window.
    HeadlessDisplay::use();

#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer names the frames of a report when it prints it, and a
    // shared object unloaded and loaded again in between has lost its names
    // (suppressions match names): under it the plug-in stays mapped for the
    // run. Instances still start and end JUCE with the first and last one.
    dlopen (PluginSession::pluginPath().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
#endif

    return RUN_ALL_TESTS();
}
