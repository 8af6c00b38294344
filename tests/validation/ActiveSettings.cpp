#include "validation/ActiveSettings.h"

#include "validation/PluginSession.h"

#include <string>
#include <utility>

void ActiveSettings::apply (PluginSession& session)
{
    // Normalised values [0..1].
    const std::pair<const char*, float> values[] = {
        {"LowpassActive", 1.0f},  {"LowpassCutoff", 0.6f}, {"LowpassReso", 0.7f}, {"DriveActive", 1.0f},
        {"DriveInputGain", 0.4f}, {"EchoActive", 1.0f},    {"EchoLevel", 0.5f},   {"EchoFeedback", 0.8f},
        {"EchoPingPong", 1.0f},   {"Swing", 0.5f},         {"Mix", 0.8f},         {"Attack", 0.2f},
        {"Hold", 0.3f},           {"Decay", 0.3f},         {"Sustain", 0.6f},     {"Release", 0.4f},
    };
    for (const auto& [name, value] : values)
        session.setParameter (name, value);

    // NoStep, ShortStep, LongStep, StepLink in turn, one class more than fits a
    // beat so that each step of the bar sees a different neighbour.
    const float classes[] = {0.375f, 0.625f, 0.875f, 0.125f, 0.375f};
    for (int step = 1; step <= 16; ++step)
    {
        const std::string number = (step < 10 ? "0" : "") + std::to_string (step);
        session.setParameter ("StepLength-" + number + "-A", classes[(step - 1) % 5]);
    }
}
