#include "validation/PluginSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#ifndef ZK_PLUGIN_PATH
#error "ZK_PLUGIN_PATH: the path of the built plug-in"
#endif

std::string PluginSession::pluginPath()
{
    const char* fromEnvironment = std::getenv ("ZK_PLUGIN");
    return fromEnvironment != nullptr && *fromEnvironment != 0 ? fromEnvironment : ZK_PLUGIN_PATH;
}

std::unique_ptr<PluginSession> PluginSession::open (const Setup& setup)
{
    std::string error;
    auto plugin = HostedPlugin::load (pluginPath(), error);
    if (plugin == nullptr)
    {
        ADD_FAILURE() << "cannot load " << pluginPath() << ": " << error;
        return nullptr;
    }

    return std::unique_ptr<PluginSession> (new PluginSession (std::move (plugin), setup));
}

PluginSession::PluginSession (std::unique_ptr<HostedPlugin> pluginToUse, const Setup& setupToUse)
    : plugin (std::move (pluginToUse))
    , setup (setupToUse)
    , transport (setupToUse.sampleRate, setupToUse.bpm)
{
    EXPECT_EQ (plugin->getEffect()->numInputs, 2);
    EXPECT_EQ (plugin->getEffect()->numOutputs, 2);

    reserve (setup.blockSize);
    plugin->setProcessLevel (kVstProcessLevelRealtime);
    plugin->setTransport (setup.sendTimeInfo ? &transport : nullptr);
    plugin->setSampleRate (setup.sampleRate);
    plugin->setBlockSize (setup.blockSize);
    plugin->resume();
}

PluginSession::~PluginSession()
{
    plugin->setTransport (nullptr);
}

void PluginSession::reserve (int numFrames)
{
    const auto size = static_cast<std::size_t> (std::max (1, numFrames));
    for (auto* channels : {inputs, outputs})
        for (int channel = 0; channel < 2; ++channel)
            if (channels[channel].size() < size)
                channels[channel].resize (size);
}

void PluginSession::process (const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                             int numFrames)
{
    // Non-const input pointers, as the interface has them; the plug-in only reads.
    float* in[2] = {const_cast<float*> (inLeft), const_cast<float*> (inRight)};
    float* out[2] = {outLeft, outRight};

    plugin->process (in, out, numFrames);
    transport.advance (numFrames);
}

void PluginSession::processConstant (float value, int numFrames)
{
    reserve (numFrames);
    std::fill (inputs[0].begin(), inputs[0].begin() + numFrames, value);
    std::fill (inputs[1].begin(), inputs[1].begin() + numFrames, value);
    process (inputs[0].data(), inputs[1].data(), outputs[0].data(), outputs[1].data(), numFrames);
}

void PluginSession::restart()
{
    plugin->suspend();
    plugin->resume();
}

void PluginSession::resetTransport (double bpm)
{
    transport = HostTransport (setup.sampleRate, bpm);
}

int PluginSession::parameterIndex (const std::string& name)
{
    const int index = plugin->findParameter (name);
    EXPECT_GE (index, 0) << "no parameter named " << name;
    return index;
}

void PluginSession::setParameter (const std::string& name, float value)
{
    const int index = parameterIndex (name);
    if (index >= 0)
        plugin->setParameter (index, value);
}
