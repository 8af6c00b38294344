#pragma once

// A processor with its editor window and main surface, in a fresh home folder (so
// the user presets folder starts empty), for the tests of the refresh loop, the
// control handlers and the menus. Handlers are called directly, as the controls
// would call them; the refresh loop is driven by calling timerCallback.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "MainEditorComponentTestProbe.h"
#include "support/HostParameterCall.h"
#include "support/TemporaryHome.h"

#include "editor/MainEditorComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/params/CvoParameterManager.h"
#include "engine/params/CvoVarItemManager.h"

#include <memory>
#include <stdexcept>

/** Records the host-facing events of a processor in order: "change <name>",
    "begin <name>", "end <name>". */
class HostEventRecorder : public juce::AudioProcessorListener
{
public:
    explicit HostEventRecorder (ZkOstinelAudioProcessor& p)
        : processor (p)
    {
        processor.addListener (this);
    }

    ~HostEventRecorder() override { processor.removeListener (this); }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override
    {
        events.add ("change " + nameOf (index));
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        events.add ("begin " + nameOf (index));
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        events.add ("end " + nameOf (index));
    }

    juce::StringArray events;

private:
    juce::String nameOf (int index) const
    {
        return processor.getParameterManager()->getParameterName (index);
    }

    ZkOstinelAudioProcessor& processor;
};

class MainEditorBehaviourTest : public ::testing::Test
{
protected:
    MainEditorBehaviourTest()
        : window (std::make_unique<ZkOstinelAudioProcessorEditor> (&processor))
        , surface (*window->getMainComponent())
        , probe (surface)
    {
        // Nothing pending from construction: the first tick of a test sees only
        // what the test did.
        surface.timerCallback();
    }

    CvoParameterManager& parameters() { return *processor.getParameterManager(); }
    CvoVarItemManager& settings() { return *processor.getVarItemManager(); }

    float parameterValue (const juce::String& name)
    {
        return parameters().getParameterValue (parameters().getParameterIndex (name));
    }

    /** A write as the host's automation makes it (any thread, no undo). */
    void hostWrites (const juce::String& name, float value)
    {
        const int index = parameters().getParameterIndex (name);
        ASSERT_GE (index, 0) << name;
        HostParameterCall::set (processor, index, value);
    }

    /** The knob bound to the parameter of that name. */
    CvoRotarySlider& knobFor (const juce::String& parameterName)
    {
        for (auto* child : surface.getChildren())
            if (auto* knob = dynamic_cast<CvoRotarySlider*> (child))
                if (knob->getParameter() != nullptr && knob->getParameter()->getName() == parameterName)
                    return *knob;

        throw std::runtime_error ("no knob for " + parameterName.toStdString());
    }

    /** A button is clicked: toggle buttons change their state first, as a click
        does, then the surface hears it. */
    void click (juce::Button& button)
    {
        if (button.getClickingTogglesState())
            button.setToggleState (!button.getToggleState(), juce::dontSendNotification);
        surface.buttonClicked (&button);
    }

    /** One drag of a slider through the values, as the mouse makes it. */
    void drag (juce::Slider& slider, std::initializer_list<double> values)
    {
        surface.sliderDragStarted (&slider);
        for (double v : values)
            slider.setValue (v, juce::sendNotificationSync);
        surface.sliderDragEnded (&slider);
    }

    /** A click on the strip's "COPY" or "PASTE" button; its change message is
        delivered to the surface. */
    void pressStripButton (CvoSlimBeatCommandsButton& strip, const juce::String& buttonName)
    {
        for (auto* child : strip.getChildren())
        {
            if (auto* button = dynamic_cast<juce::Button*> (child);
                button != nullptr && button->getName() == buttonName)
            {
                strip.buttonClicked (button);
                EditorTestSupport::deliverPendingMessages();
                return;
            }
        }

        ADD_FAILURE() << "no button " << buttonName;
    }

    TemporaryHome home;
    ZkOstinelAudioProcessor processor;
    std::unique_ptr<ZkOstinelAudioProcessorEditor> window;
    MainEditorComponent& surface;
    MainEditorComponentTestProbe probe;
};
