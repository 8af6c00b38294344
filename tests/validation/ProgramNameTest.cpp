// The program name as a host sets and reads it through the built plug-in: bytes
// that are not UTF-8 are taken as U+FFFD and the name then survives the state
// chunk; a host's buffer never ends inside a character; a chunk of the previous
// version, whose name may refer to no character, loads with the name repaired.

#include "validation/ChunkMutator.h"
#include "validation/PluginSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const std::string fffd = "\xef\xbf\xbd";

std::unique_ptr<PluginSession> openInstance()
{
    return PluginSession::open();
}

void setProgramName (HostedPlugin& plugin, std::string name)
{
    plugin.dispatch (effSetProgramName, 0, 0, name.data());
}

} // namespace

TEST (ProgramName, BytesThatAreNotUtf8AreTakenAsReplacementsAndSurviveTheChunk)
{
    const std::pair<std::string, std::string> names[] = {
        {"\xff\xfe\xfd", fffd + fffd + fffd},
        {"a\xc0\xaf", "a" + fffd + fffd},
        {"Dr\xc3\xbcms", "Dr\xc3\xbcms"},
    };

    for (const auto& [set, expected] : names)
    {
        auto first = openInstance();
        ASSERT_NE (first, nullptr);
        setProgramName (first->getPlugin(), set);
        EXPECT_EQ (first->getPlugin().getProgramName(), expected);

        auto second = openInstance();
        ASSERT_NE (second, nullptr);
        ASSERT_TRUE (second->getPlugin().setChunk (first->getPlugin().getChunk()));
        EXPECT_EQ (second->getPlugin().getProgramName(), expected);
        EXPECT_EQ (second->getPlugin().getChunk(), first->getPlugin().getChunk());
    }
}

TEST (ProgramName, TheHostsBufferNeverEndsInsideACharacter)
{
    auto instance = openInstance();
    ASSERT_NE (instance, nullptr);
    const std::string umlaut = "\xc3\xbc", keys = "\xf0\x9f\x8e\xb9";

    // 23 bytes fit before the terminating zero: 11 two-byte characters, or one
    // byte and five four-byte ones.
    std::string name;
    for (int i = 0; i < 20; ++i)
        name += umlaut;
    setProgramName (instance->getPlugin(), name);
    EXPECT_EQ (instance->getPlugin().getProgramName(), name.substr (0, 22));

    setProgramName (instance->getPlugin(), "a" + keys + keys + keys + keys + keys + keys);
    EXPECT_EQ (instance->getPlugin().getProgramName(), "a" + keys + keys + keys + keys + keys);
}

TEST (ProgramName, AChunkOfThePreviousVersionLoadsWithItsValuesAndARepairedName)
{
    auto instance = openInstance();
    ASSERT_NE (instance, nullptr);
    instance->getPlugin().setParameter (1, 0.37f);
    const float value = instance->getPlugin().getParameter (1);
    const ChunkMutator chunks (instance->getPlugin().getChunk(), 0);

    // The previous version kept a name as the host passed it: an emoji in
    // CESU-8 became references to its two surrogates. It also read raw
    // overlong forms and surrogates.
    const std::pair<std::string, std::string> names[] = {{"A&#55357;&#56832;B", "A" + fffd + fffd + "B"},
                                                         {"&#x110000;", fffd},
                                                         {"\xc0\xaf", fffd + fffd},
                                                         {"\xed\xa0\x80", fffd + fffd + fffd}};

    for (const auto& [name, repaired] : names)
    {
        auto restored = openInstance();
        ASSERT_NE (restored, nullptr);
        EXPECT_TRUE (restored->getPlugin().setChunk (chunks.withAttribute ("programName", name))) << name;
        EXPECT_EQ (restored->getPlugin().getProgramName(), repaired) << name;
        EXPECT_EQ (restored->getPlugin().getParameter (1), value) << name;
    }
}
