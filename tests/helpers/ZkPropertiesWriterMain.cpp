// zk_properties_writer: a plug-in instance in a process of its own, for the
// engine tests of the properties file that all instances of all hosts share.
//
//   zk_properties_writer [--as-nobody] <home folder> <command> [arguments]
//
// Commands:
//   hold <ready file> <release file>  an instance that changes nothing: made,
//                                      then the ready file is created, and it
//                                      closes once the release file exists
//   set-ratio <editor height>          an instance whose user stores the
//                                      editor's height as the default
//   report                             an instance that prints the ratio and
//                                      the file it started with, then stores a
//                                      ratio of its own
//   write-keys <prefix> <count>        count properties files opened, changed
//                                      (one key each) and written one by one
//
// --as-nobody drops a root process to the user "nobody" first (status 77
// where that is not possible). Status 0 when the command did what it should.

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkPropertiesFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <grp.h>
#include <iostream>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace
{
constexpr int kSkipped = 77;

bool dropToNobody()
{
    const auto* nobody = ::getpwnam ("nobody");

    if (nobody == nullptr || ::setgroups (0, nullptr) != 0 || ::setgid (nobody->pw_gid) != 0 ||
        ::setuid (nobody->pw_uid) != 0)
        return false;

    // Changing the user makes the process undumpable, which the leak
    // sanitizer's final check needs to be.
    ::prctl (PR_SET_DUMPABLE, 1);
    return true;
}

/** Waits for file to exist; false after a generous time. */
bool waitFor (const juce::File& file)
{
    for (int i = 0; i < 12000; ++i) // 120 s
    {
        if (file.exists())
            return true;
        juce::Thread::sleep (10);
    }
    return false;
}

int run (const juce::StringArray& args)
{
    const auto& command = args[0];

    if (command == "hold" && args.size() == 3)
    {
        ZkOstinelAudioProcessor processor;
        return juce::File (args[1]).create().wasOk() && waitFor (juce::File (args[2])) ? 0 : 1;
    }

    if (command == "set-ratio" && args.size() == 2)
    {
        ZkOstinelAudioProcessor processor;
        processor.setCurrentAsDefaultEditorDesktopHeightRatio (args[1].getIntValue());
        return 0;
    }

    if (command == "report" && args.size() == 1)
    {
        ZkOstinelAudioProcessor processor;
        std::cout << "ratio " << processor.getDefaultEditorDesktopHeightRatio() << "\n"
                  << "file " << processor.getPropertiesFile()->getFile().getFullPathName() << std::endl;
        processor.setCurrentAsDefaultEditorDesktopHeightRatio (processor.getEditorHeight() + 100);
        return 0;
    }

    if (command == "write-keys" && args.size() == 3)
    {
        for (int i = 0; i < args[2].getIntValue(); ++i)
        {
            ZkPropertiesFile file (
                ZkPropertiesFile::Options::from (ZkOstinelAudioProcessor::getPropertiesFileOptions()));
            file.setValue (args[1] + juce::String (i), i);

            // A write that found the lock taken for too long (a loaded
            // machine) is tried again, as the plug-in does at its next change.
            int tries = 0;
            while (!file.write())
                if (++tries == 100)
                    return 1;
        }
        return 0;
    }

    std::cerr << "zk_properties_writer: unknown command\n";
    return 2;
}
} // namespace

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    if (args[0] == "--as-nobody")
    {
        args.remove (0);
        if (!dropToNobody())
            return kSkipped;
    }

    if (args.size() < 2)
        return 2;

    const juce::File home (args[0]);
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    setenv ("XDG_CONFIG_HOME", home.getChildFile (".config").getFullPathName().toRawUTF8(), 1);
    args.remove (0);

    const juce::ScopedJuceInitialiser_GUI juce;
    return run (args);
}
