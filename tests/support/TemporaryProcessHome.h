// The home folder of a whole program that makes plug-in instances (test
// binaries, the validation suite, benchmarks, fuzz targets, tools): every
// instance writes its properties file and presets folder under HOME (the
// presets folder under HOME/.config: on Linux the framework ignores the
// XDG_CONFIG_HOME variable and reads only a line of that name in
// ~/.config/user-dirs.dirs, which a new home lacks). HOME, and XDG_CONFIG_HOME
// for the libraries that do read it, point at a new empty folder for the run,
// so the user's own stay untouched. Made before JUCE starts (or, in a host,
// before the plug-in loads).
//
// No JUCE here: the hosts among these programs do not link it. For a second,
// fresh home inside a test, see TemporaryHome.h.
//
// Threads: the environment is the process's; make and use these before other
// threads start.

#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

class TemporaryProcessHome
{
public:
    /** Makes a new empty folder "<prefix>XXXXXX" in the first of parents where
        that works (the system's temporary folder when none is given) and
        points HOME and XDG_CONFIG_HOME at it. The program ends with status 2
        when no folder can be made. */
    explicit TemporaryProcessHome (const char* prefix,
                                   std::initializer_list<std::filesystem::path> parents = {})
        : folder (makeFolder (prefix, parents))
    {
        use();
    }

    /** Removes the folder with everything in it; the environment stays. */
    ~TemporaryProcessHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all (folder, ignored);
    }

    TemporaryProcessHome (const TemporaryProcessHome&) = delete;
    TemporaryProcessHome& operator= (const TemporaryProcessHome&) = delete;

    const std::filesystem::path& getFolder() const noexcept { return folder; }

    /** Points HOME and XDG_CONFIG_HOME (HOME/.config) at this folder again,
        after another home has taken them. */
    void use() const
    {
        setenv ("HOME", folder.c_str(), 1);
        setenv ("XDG_CONFIG_HOME", (folder / ".config").c_str(), 1);
    }

    /** For programs without a scope around the whole run (a fuzz target's
        set-up runs inside its first input): a home made now, kept until the
        process exits and removed then, after the statics made later (the
        instances) have gone. Once per process. */
    static void makeForTheRestOfTheProcess (const char* prefix,
                                            std::initializer_list<std::filesystem::path> parents = {})
    {
        static std::optional<TemporaryProcessHome> home;
        if (!home.has_value())
            home.emplace (prefix, parents);
    }

private:
    static std::filesystem::path makeFolder (const char* prefix,
                                             std::initializer_list<std::filesystem::path> parents)
    {
        std::error_code error;
        const auto temporary = std::filesystem::temp_directory_path (error);
        const std::initializer_list<std::filesystem::path> fallback = {error ? std::filesystem::path ("/tmp")
                                                                             : temporary};

        for (const auto& parent : parents.size() > 0 ? parents : fallback)
        {
            std::string pattern = (parent / (std::string (prefix) + "XXXXXX")).string();
            if (mkdtemp (pattern.data()) != nullptr)
                return pattern;
        }

        std::perror ("no temporary home folder (mkdtemp)");
        std::exit (2);
    }

    const std::filesystem::path folder;
};
