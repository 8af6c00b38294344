// Entry point of every test binary: HOME points at a fresh temporary folder
// (processors write a properties file and a presets folder under the home
// folder, and tests must never touch the real one), JUCE's message manager and
// GUI support exist for the whole run, then GoogleTest runs the cases.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <juce_events/juce_events.h>

namespace
{
std::filesystem::path makeTemporaryHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zk-test-home-XXXXXX").string();
    if (mkdtemp (pattern.data()) == nullptr)
    {
        std::perror ("mkdtemp");
        std::exit (2);
    }
    return pattern;
}
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    const auto home = makeTemporaryHome();
    setenv ("HOME", home.c_str(), 1);
    setenv ("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);

    // Without DISPLAY, JUCE would try ":0.0" and die with an X I/O error when
    // some other X server there goes away; a name that cannot open keeps it
    // headless. Tests that need a display run under one (with-display.sh).
    if (std::getenv ("DISPLAY") == nullptr)
        setenv ("DISPLAY", ":zk-headless", 1);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    std::error_code ignored;
    std::filesystem::remove_all (home, ignored);
    return result;
}
