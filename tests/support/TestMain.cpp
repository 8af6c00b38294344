// Entry point of every test binary: HOME points at a fresh temporary folder
// (processors write a properties file and a presets folder under the home
// folder, and tests must never touch the real one), JUCE's message manager and
// GUI support exist for the whole run, then GoogleTest runs the cases.

#include "support/HeadlessDisplay.h"
#include "support/TemporaryProcessHome.h"

#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    const TemporaryProcessHome home ("zk-test-home-");

    // Tests that need a display run under one (with-display.sh).
    HeadlessDisplay::useWhenNoneIsSet();

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }
    return result;
}
