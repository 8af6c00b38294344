// Entry point of every test binary: JUCE's message manager and GUI support exist
// for the whole run (timers, value trees with listeners, properties files), then
// GoogleTest runs the cases.

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
