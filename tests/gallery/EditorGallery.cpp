// Pictures of the editor for people to look at: the window painted headless at
// several sizes and in every view (normal and expert mode with each pattern
// command tab, playing with moving waveform and meters, bypass, mute-all, the
// info screen, the save panel, both colour schemes, a corner drag), each
// written as a PNG file named after what it shows.
//
// Usage: zk_editor_gallery [output folder]   (default: <build>/gallery)

#include "editor/MainEditorComponentTestProbe.h"
#include "engine/ProcessorTestRig.h"
#include "support/HeadlessDisplay.h"
#include "support/TemporaryProcessHome.h"

#include "editor/MainEditorComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>

namespace juce
{
// The message loop's single step, defined in juce_events (this build has no
// modal loops, so runDispatchLoopUntil is not available).
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
/** The longest help text, to see the info line at its fullest. */
const char* const longestHelpText =
    "RHYTHMIC LINES BRIGHTNESS: control the brightness of the vertical rhythmic lines in WaveDisplay";

void deliverPendingMessages()
{
    while (juce::dispatchNextMessageOnSystemQueue (true))
    {
    }
}

/** A processor fed by a playing host, with the editor window open. */
struct Scene
{
    explicit Scene (int height)
        : rig (makeAsVst())
        , window (std::make_unique<ZkOstinelAudioProcessorEditor> (&rig.processor))
        , surface (*window->getMainComponent())
        , probe (surface)
    {
        window->setSize (ZkOstinelAudioProcessorEditor::getWidthForHeight (height), height);
        surface.timerCallback();
    }

    /** Plays for a while [seconds of real time]: a test signal through the
        plug-in at 120 BPM while the editor's timers run, so that the waveform,
        the meters, the step LED and the transport move. */
    void play (double seconds)
    {
        rig.setEverythingActive();
        rig.setSteps (
            [] (int step)
            {
                const float classes[] = {zktest::longStepValue, zktest::shortStepValue, zktest::stepLinkValue,
                                         zktest::noStepValue};
                return classes[step % 4];
            },
            0.8f);
        surface.timerCallback();

        const auto input = [] (int channel, int64_t i)
        {
            const double t = (double)i / 48000.0;
            const double tone =
                std::sin (2.0 * juce::MathConstants<double>::pi * (channel == 0 ? 110.0 : 165.0) * t);
            return (float)(0.7 * tone *
                           (0.6 + 0.4 * std::sin (2.0 * juce::MathConstants<double>::pi * 0.5 * t)));
        };

        const auto end = juce::Time::getMillisecondCounterHiRes() + seconds * 1000.0;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            rig.run (512, input);
            deliverPendingMessages();
            juce::Thread::sleep (10);
        }
        deliverPendingMessages();
    }

    juce::Image picture() { return window->createComponentSnapshot (window->getLocalBounds(), true, 1.0f); }

    /** Processors made from here on are made as the VST 2.4 entry makes them
        (the info screen shows the format); returns the rig's sample rate. */
    static double makeAsVst()
    {
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST);
        return 48000.0;
    }

    zktest::ProcessorRig rig;
    std::unique_ptr<ZkOstinelAudioProcessorEditor> window;
    MainEditorComponent& surface;
    MainEditorComponentTestProbe probe;
};

struct Shot
{
    const char* name;
    int height;
    std::function<void (Scene&)> prepare;
};

void expert (Scene& scene, PatternCommandTabContentType tab)
{
    scene.probe.setExpertMode (true);
    scene.surface.setVisiblePatternCommandTabContent (tab);
    scene.surface.setNewInfoText (longestHelpText, true);
}
} // namespace

int main (int argc, char** argv)
{
    // Processors read and write a properties file under the home folder: a
    // temporary one keeps the user's own untouched.
    const TemporaryProcessHome home ("zk-gallery-home-");
    HeadlessDisplay::useWhenNoneIsSet();

    const juce::File folder (argc > 1 ? juce::File::getCurrentWorkingDirectory().getChildFile (argv[1])
                                      : juce::File (ZK_GALLERY_DIR));
    folder.createDirectory();

    const Shot shots[] = {
        {"540-default", 540, [] (Scene&) {}},
        {"300-default", 300, [] (Scene& s) { s.surface.setNewInfoText (longestHelpText, true); }},
        {"860-default", 860, [] (Scene&) {}},
        {"2160-default", 2160, [] (Scene& s) { s.surface.setNewInfoText (longestHelpText, true); }},
        {"540-expert-shift", 540, [] (Scene& s) { expert (s, PatternCommandTabShift); }},
        {"540-expert-copy", 540, [] (Scene& s) { expert (s, PatternCommandTabCopy); }},
        {"540-expert-rand", 540, [] (Scene& s) { expert (s, PatternCommandTabRandom); }},
        {"540-expert-init", 540, [] (Scene& s) { expert (s, PatternCommandTabInit); }},
        {"540-expert-no-tab", 540, [] (Scene& s) { expert (s, PatternCommandTabNone); }},
        {"300-expert-copy", 300, [] (Scene& s) { expert (s, PatternCommandTabCopy); }},
        {"2160-expert-rand", 2160, [] (Scene& s) { expert (s, PatternCommandTabRandom); }},
        {"540-playing", 540, [] (Scene& s) { s.play (1.5); }},
        {"540-expert-playing", 540,
         [] (Scene& s)
         {
             s.probe.setExpertMode (true);
             s.play (1.5);
             s.surface.setParam ("DriveOutputGain", 0.62f, juce::dontSendNotification,
                                 dontStartNewTransaction, false);
         }},
        {"540-bypass", 540,
         [] (Scene& s)
         {
             s.rig.setParam (zktest::pBypass, 1.0f);
             s.surface.timerCallback();
         }},
        {"540-mute-all", 540,
         [] (Scene& s)
         {
             s.rig.setParam (zktest::pMuteAll, 1.0f);
             s.surface.timerCallback();
         }},
        {"300-mute-all", 300,
         [] (Scene& s)
         {
             s.rig.setParam (zktest::pMuteAll, 1.0f);
             s.surface.timerCallback();
         }},
        {"540-info", 540, [] (Scene& s) { s.surface.showInfoComponent(); }},
        {"300-info", 300, [] (Scene& s) { s.surface.showInfoComponent(); }},
        {"540-save-panel", 540, [] (Scene& s) { s.surface.showManagePresetsComponent(); }},
        {"540-scheme-dark-expert", 540,
         [] (Scene& s)
         {
             s.probe.setColourSchemeBrightness (0.0f);
             expert (s, PatternCommandTabShift);
         }},
        {"540-scheme-bright-expert", 540,
         [] (Scene& s)
         {
             s.probe.setColourSchemeBrightness (0.3f);
             expert (s, PatternCommandTabShift);
         }},
        {"540-resizing", 540, [] (Scene& s) { s.surface.resizingStarted(); }},
    };

    int written = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        for (const auto& shot : shots)
        {
            Scene scene (shot.height);
            shot.prepare (scene);
            deliverPendingMessages();

            const auto file = folder.getChildFile (juce::String (shot.name) + ".png");
            file.deleteFile();
            juce::FileOutputStream stream (file);
            juce::PNGImageFormat png;
            if (stream.openedOk() && png.writeImageToStream (scene.picture(), stream))
            {
                ++written;
                std::cout << file.getFullPathName() << "\n";
            }
            else
            {
                std::cerr << "could not write " << file.getFullPathName() << "\n";
            }
        }
    }

    return written == (int)std::size (shots) ? 0 : 1;
}
