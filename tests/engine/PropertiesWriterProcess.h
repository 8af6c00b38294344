#pragma once

// A plug-in instance in a second process (tests/helpers/ZkPropertiesWriterMain.cpp),
// for the tests of the properties file that every instance of every host shares.

#include <gtest/gtest.h>

#include <juce_core/juce_core.h>

#ifndef ZK_PROPERTIES_WRITER_PATH
#error "ZK_PROPERTIES_WRITER_PATH: the path of zk_properties_writer"
#endif

class PropertiesWriterProcess
{
public:
    static constexpr int skipped = 77; // the helper's status when it cannot drop its rights

    /** Starts the helper on home with the given command and arguments. */
    PropertiesWriterProcess (const juce::File& home, const juce::StringArray& command, bool asNobody = false)
    {
        juce::StringArray args (ZK_PROPERTIES_WRITER_PATH);
        if (asNobody)
            args.add ("--as-nobody");
        args.add (home.getFullPathName());
        args.addArray (command);
        started = process.start (args, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr);
    }

    ~PropertiesWriterProcess()
    {
        if (started && process.isRunning())
            process.kill();
    }

    /** Waits (generously) for the end; the exit status, or -1 when it did not
        start or end. Output is what it printed. */
    int finish()
    {
        if (!started)
            return -1;

        output = process.readAllProcessOutput(); // until it closes its output
        return process.waitForProcessToFinish (120000) ? (int)process.getExitCode() : -1;
    }

    const juce::String& getOutput() const { return output; }

    /** Waits (generously) until file exists. */
    static bool waitFor (const juce::File& file)
    {
        for (int i = 0; i < 12000 && !file.exists(); ++i)
            juce::Thread::sleep (10);
        return file.exists();
    }

private:
    juce::ChildProcess process;
    bool started = false;
    juce::String output;
};
