// Names from outside (the host's program name, the channel name, names in a state
// chunk or a preset file, preset file names) are well-formed UTF-8 once taken, and
// then come back from a save and restore byte for byte.

#include "PresetTestFixture.h"
#include "PresetTreeTestSupport.h"

#include "engine/ZkUtf8.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

using namespace zktest;

namespace
{
const std::string fffd = "\xef\xbf\xbd";

std::string bytesOf (const juce::String& text)
{
    return text.toStdString();
}

bool isWellFormed (const juce::String& text)
{
    return ZkUtf8::isValid (text.toRawUTF8(), std::strlen (text.toRawUTF8()));
}

/** A chunk as the processor writes it, around raw bytes of text. */
juce::MemoryBlock chunkOfBytes (const std::string& text)
{
    juce::MemoryBlock block (8 + text.size() + 1, true);
    auto* bytes = static_cast<uint8_t*> (block.getData());
    const uint32_t magic = 0x21324356, length = (uint32_t)text.size();

    for (int i = 0; i < 4; ++i)
    {
        bytes[i] = (uint8_t)(magic >> (8 * i));
        bytes[4 + i] = (uint8_t)(length >> (8 * i));
    }

    std::memcpy (bytes + 8, text.data(), text.size());
    return block;
}

/** The processor's own chunk text with the value of one attribute replaced by raw bytes. */
std::string chunkTextWith (ZkOstinelAudioProcessor& p, const std::string& attribute,
                           const std::string& rawValue)
{
    auto text = bytesOf (chunkText (stateOf (p)));
    const auto start = text.find (" " + attribute + "=\"");
    EXPECT_NE (start, std::string::npos) << attribute;
    if (start == std::string::npos)
        return text;

    const auto valueStart = start + attribute.size() + 3;
    const auto valueEnd = text.find ('"', valueStart);
    return text.replace (valueStart, valueEnd - valueStart, rawValue);
}

struct NameCase
{
    const char* what;
    std::string bytes; // as they come in
    std::string kept;  // as the processor keeps them
};

class NameEncoding : public ::testing::TestWithParam<NameCase>
{
};
} // namespace

TEST_P (NameEncoding, NamesAreRepairedWhereTheyComeInAndSurviveSaveAndRestore)
{
    const auto& c = GetParam();
    const auto unchecked = juce::String::fromUTF8 (c.bytes.data(), (int)c.bytes.size());

    ZkOstinelAudioProcessor original;
    original.changeProgramName (0, unchecked);
    original.setChannelName (unchecked);
    EXPECT_EQ (bytesOf (original.getProgramName (0)), c.kept) << c.what;
    EXPECT_EQ (bytesOf (original.getChannelName()), c.kept) << c.what;

    // Restored twice: the names stay as they were taken.
    ZkOstinelAudioProcessor restored, again;
    ASSERT_TRUE (restored.restoreHostState (stateOf (original).getData(), (int)stateOf (original).getSize()));
    ASSERT_TRUE (again.restoreHostState (stateOf (restored).getData(), (int)stateOf (restored).getSize()));

    for (auto* p : {&restored, &again})
    {
        EXPECT_EQ (bytesOf (p->getProgramName (0)), c.kept) << c.what;
        EXPECT_EQ (bytesOf (p->getChannelName()), c.kept) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P (
    Names, NameEncoding,
    ::testing::Values (NameCase{"bytes ff fe fd", "\xff\xfe\xfd", fffd + fffd + fffd},
                       NameCase{"an overlong slash c0 af",
                                "a\xc0\xaf"
                                "b",
                                "a" + fffd + fffd + "b"},
                       NameCase{"an encoded surrogate", "\xed\xa0\x80", fffd + fffd + fffd},
                       NameCase{"a sequence cut short", "Bass \xe2\x82", "Bass " + fffd},
                       NameCase{"every length and the replacement character",
                                "Dr\xc3\xbcms \xe2\x80\x94 \xf0\x9f\x8e\xb9 \xef\xbf\xbd \xf4\x8f\xbf\xbf",
                                "Dr\xc3\xbcms \xe2\x80\x94 \xf0\x9f\x8e\xb9 \xef\xbf\xbd \xf4\x8f\xbf\xbf"},
                       NameCase{"control characters", "a\x01\tb", "a\x01\tb"}),
    [] (const ::testing::TestParamInfo<NameCase>& param) { return "case" + std::to_string (param.index); });

TEST (NameEncoding, ChunksWithIllFormedTextOrReferencesAreRefusedWhole)
{
    ZkOstinelAudioProcessor p;
    p.changeProgramName (0, "Kept");
    p.setChannelName ("Kept Channel");
    const auto before = allParameterValues (p);

    const char* badValues[] = {
        "\xff\xfe\xfd", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "&#x110000;",
        "&#xD800;",     "&#xdfff;", "&#55296;",     "&#1114112;",   "&#99999999999;",   "&#xFFFFFFFF;",
        "&#x;",         "&#;",      "&#12a;",       "&#x12"};

    for (const char* bad : badValues)
        for (const char* attribute : {"programName", "channelName"})
        {
            const auto chunk = chunkOfBytes (chunkTextWith (p, attribute, bad));
            EXPECT_FALSE (p.restoreHostState (chunk.getData(), (int)chunk.getSize()))
                << attribute << " " << bad;
            EXPECT_EQ (p.getProgramName (0), "Kept");
            EXPECT_EQ (p.getChannelName(), "Kept Channel");
            EXPECT_EQ (allParameterValues (p), before);
        }
}

TEST (NameEncoding, ReferencesToEveryCharacterUtf8CarriesAreTaken)
{
    ZkOstinelAudioProcessor p;

    const auto chunk =
        chunkOfBytes (chunkTextWith (p, "programName", "&#x10FFFF;&#xFFFD;&#55295;&#xE000;&#1;"));
    ASSERT_TRUE (p.restoreHostState (chunk.getData(), (int)chunk.getSize()));
    EXPECT_EQ (bytesOf (p.getProgramName (0)), "\xf4\x8f\xbf\xbf\xef\xbf\xbd\xed\x9f\xbf\xee\x80\x80\x01");

    ZkOstinelAudioProcessor restored;
    ASSERT_TRUE (restored.restoreHostState (stateOf (p).getData(), (int)stateOf (p).getSize()));
    EXPECT_EQ (restored.getProgramName (0), p.getProgramName (0));
    EXPECT_TRUE (isWellFormed (restored.getProgramName (0)));
}

namespace
{
using NameEncodingPresets = PresetTestFixture;
} // namespace

TEST_F (NameEncodingPresets, APresetFileWithABadReferenceInItsNameIsRefused)
{
    edit ("Mix", 0.3f);
    const PresetState before (*processor);

    const auto name = processor->getCurrentPresetTree().getProperty ("PresetName").toString();
    const auto text = presetText().replace ("PresetName=\"" + name + "\"", "PresetName=\"&#xD800;\"");
    ASSERT_TRUE (text.contains ("&#xD800;"));
    writePlain ("Surrogate.zkp", text);

    EXPECT_FALSE (processor->loadUserPresetUndoableWithName ("Surrogate"));
    EXPECT_TRUE (PresetState (*processor) == before);
}

TEST_F (NameEncodingPresets, PresetFilesWhoseNamesAreNotUtf8AreNotListed)
{
    ASSERT_TRUE (processor->saveCurrentPresetToDisk ("Good", true));
    const auto good = presetsFolder().getChildFile ("Good.zkp");

    for (const std::string name : {"\xc0\xaf.zkp", "\xed\xa0\x80.zkp", "\xff.zkp"})
    {
        const auto path = presetsFolder().getFullPathName().toStdString() + "/" + name;
        const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE (fd, 0) << path;
        juce::MemoryBlock bytes;
        EXPECT_TRUE (good.loadFileAsData (bytes));
        EXPECT_EQ (::write (fd, bytes.getData(), bytes.getSize()), (ssize_t)bytes.getSize());
        ::close (fd);
    }

    processor->updateAllUserPresetNames();
    EXPECT_EQ (processor->getAllUserPresetNames(), juce::StringArray ("Good"));
}
