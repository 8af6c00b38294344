// The program name as a host sets and reads it through the built plug-in: bytes
// that are not UTF-8 are taken as U+FFFD and the name then survives the state
// chunk; a host's buffer never ends inside a character; a chunk whose name
// refers to no character is refused.

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

// The chunk with its program name replaced by raw bytes (the header's length follows).
std::vector<unsigned char> withProgramName (const std::vector<unsigned char>& chunk, const std::string& name)
{
    std::string xml (chunk.begin() + 8, chunk.end() - 1);
    const std::string key = " programName=\"";
    const auto start = xml.find (key);
    EXPECT_NE (start, std::string::npos);
    if (start == std::string::npos)
        return chunk;

    const auto valueStart = start + key.size();
    xml.replace (valueStart, xml.find ('"', valueStart) - valueStart, name);

    std::vector<unsigned char> result (chunk.begin(), chunk.begin() + 8);
    const auto length = static_cast<std::uint32_t> (xml.size());
    for (int i = 0; i < 4; ++i)
        result[4 + static_cast<std::size_t> (i)] = static_cast<unsigned char> (length >> (8 * i));
    result.insert (result.end(), xml.begin(), xml.end());
    result.push_back (0);
    return result;
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

TEST (ProgramName, AChunkWhoseNameRefersToNoCharacterIsRefused)
{
    auto instance = openInstance();
    ASSERT_NE (instance, nullptr);
    auto& plugin = instance->getPlugin();
    setProgramName (plugin, "Kept");
    const auto before = plugin.getChunk();

    for (const char* name : {"&#x110000;", "&#xD800;", "\xc0\xaf", "\xed\xa0\x80"})
    {
        EXPECT_FALSE (plugin.setChunk (withProgramName (before, name))) << name;
        EXPECT_EQ (plugin.getProgramName(), "Kept") << name;
        EXPECT_EQ (plugin.getChunk(), before) << name;
    }
}
