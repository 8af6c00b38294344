// Entry point of the validation suite: HOME (and XDG_CONFIG_HOME) point at a
// fresh temporary folder before any plug-in loads, because every instance
// writes its properties file and presets folder under the home folder. The
// suite is a host: it does not start JUCE; the plug-in runs its own.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

    const int result = RUN_ALL_TESTS();

    std::error_code ignored;
    std::filesystem::remove_all (home, ignored);
    return result;
}
