// Cross-check of the effect record header with plug-ins that no one here wrote:
// the test host loads them, reads their records, names and parameters, and
// processes audio through them. A layout mistake shared by our plug-in and our
// host would cancel out; these binaries were built against other headers.

#include "ThirdPartyPlugins.h"
#include "host/HostedPlugin.h"
#include "host/PluginRenderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct ThirdPartyCase
{
    const std::string* path;
    const char* entry;
    const char* effectName;
    int numInputs;
    int numOutputs;
    int firstParameters; // named parameters to check
};

std::ostream& operator<< (std::ostream& os, const ThirdPartyCase& c)
{
    return os << *c.path;
}

class ThirdPartyPlugin : public ::testing::TestWithParam<ThirdPartyCase>
{
};

double rms (const std::vector<float>& samples, std::size_t from)
{
    double sum = 0.0;
    for (std::size_t i = from; i < samples.size(); ++i)
        sum += static_cast<double> (samples[i]) * static_cast<double> (samples[i]);
    return samples.size() > from ? std::sqrt (sum / static_cast<double> (samples.size() - from)) : 0.0;
}
} // namespace

TEST_P (ThirdPartyPlugin, RecordNamesParametersAndAudioReadAsExpected)
{
    const auto& c = GetParam();
    ZK_SKIP_UNLESS_INSTALLED (*c.path);

    std::string error;
    auto plugin = HostedPlugin::load (*c.path, error);
    ASSERT_NE (plugin, nullptr) << error;
    const AEffect& record = *plugin->getEffect();

    EXPECT_EQ (plugin->getEntryName(), c.entry);
    EXPECT_EQ (record.magic, kEffectMagic);
    EXPECT_NE (record.dispatcher, nullptr);
    EXPECT_NE (record.setParameter, nullptr);
    EXPECT_NE (record.getParameter, nullptr);
    EXPECT_NE (record.processReplacing, nullptr);
    EXPECT_NE (record.flags & effFlagsCanReplacing, 0);
    EXPECT_EQ (record.numInputs, c.numInputs);
    EXPECT_EQ (record.numOutputs, c.numOutputs);
    EXPECT_GE (record.numParams, c.firstParameters);
    EXPECT_NE (record.uniqueID, 0);
    EXPECT_EQ (record.user, plugin.get()); // the host's field stays the host's
    EXPECT_EQ (plugin->dispatch (effGetVstVersion), 2400);
    EXPECT_EQ (plugin->getEffectName(), c.effectName);
    EXPECT_FALSE (plugin->getVendorString().empty());

    for (int index = 0; index < c.firstParameters; ++index)
    {
        EXPECT_FALSE (plugin->getParameterName (index).empty()) << index;
        EXPECT_FALSE (plugin->getParameterDisplay (index).empty()) << index;
        const float value = plugin->getParameter (index);
        EXPECT_TRUE (value >= 0.0f && value <= 1.0f) << index << ": " << value;
    }

    // A parameter written through the record reads back through the record.
    plugin->setParameter (0, 0.25f);
    EXPECT_NEAR (plugin->getParameter (0), 0.25f, 0.02f);
    plugin->setParameter (0, 0.0f);

    // Processing: the test signal goes in, finite audio of a sane level comes out.
    RenderSettings settings;
    settings.sampleRate = 48000.0;
    settings.blockSize = 256;
    settings.numFrames = 48000;
    const WavAudio output = PluginRenderer::renderToMemory (*plugin, nullptr, settings);
    ASSERT_EQ (output.getNumChannels(), c.numOutputs);
    ASSERT_EQ (output.getNumFrames(), 48000u);
    for (const auto& channel : output.channels)
    {
        for (float sample : channel)
            ASSERT_TRUE (std::isfinite (sample));
        const double level = rms (channel, 24000);
        EXPECT_GT (level, 0.01) << *c.path;
        EXPECT_LT (level, 2.0) << *c.path;
    }
}

INSTANTIATE_TEST_SUITE_P (
    Debian, ThirdPartyPlugin,
    ::testing::Values (ThirdPartyCase{&thirdparty::pingPongPan, "main", "Ping Pong Pan", 2, 2, 2},
                       ThirdPartyCase{&thirdparty::zamGateX2, "main", "ZamGateX2", 3, 2, 6},
                       ThirdPartyCase{&thirdparty::lspCompDelay, "VSTPluginMain", "Delay Compensator Stereo",
                                      2, 2, 6}));

TEST (ThirdPartyPluginHosting, TimeInformationIsAskedForAndAnsweredEveryBlock)
{
    ZK_SKIP_UNLESS_INSTALLED (thirdparty::lspCompDelay);

    std::string error;
    auto plugin = HostedPlugin::load (thirdparty::lspCompDelay, error);
    ASSERT_NE (plugin, nullptr) << error;

    RenderSettings settings;
    settings.blockSize = 500;
    settings.numFrames = 10000; // 20 blocks
    settings.sendTimeInfo = true;
    PluginRenderer::renderToMemory (*plugin, nullptr, settings);
    EXPECT_GE (plugin->getTimeRequestCount(), 20);
}

TEST (ThirdPartyPluginHosting, ChunksTravelBetweenInstances)
{
    ZK_SKIP_UNLESS_INSTALLED (thirdparty::lspCompDelay);

    std::string error;
    auto first = HostedPlugin::load (thirdparty::lspCompDelay, error);
    auto second = HostedPlugin::load (thirdparty::lspCompDelay, error);
    ASSERT_NE (first, nullptr) << error;
    ASSERT_NE (second, nullptr) << error;
    ASSERT_NE (first->getEffect()->flags & effFlagsProgramChunks, 0);

    const int index = 3; // "samp": a plain number
    first->setParameter (index, 0.5f);
    const auto chunk = first->getChunk();
    ASSERT_FALSE (chunk.empty());
    second->setChunk (chunk);
    EXPECT_EQ (second->getParameterDisplay (index), first->getParameterDisplay (index));
}
