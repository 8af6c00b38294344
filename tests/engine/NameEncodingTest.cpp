// Names from outside (the host's program name, the channel name, names in a state
// chunk or a preset file, preset file names) are well-formed UTF-8 once taken, and
// then come back from a save and restore byte for byte.

#include "PresetTestFixture.h"
#include "PresetTreeTestSupport.h"

#include "engine/ZkUtf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The previous version kept a name from a host as it came and wrote what it
// could not encode as references (an emoji in CESU-8, "A\xed\xa0\xbd\xed\xb8\x80B",
// as "A&#55357;&#56832;B"); it also read raw overlong forms and surrogates.
TEST (NameEncoding, ChunksThePreviousVersionReadLoadWithTheirValuesAndRepairedNames)
{
    ZkOstinelAudioProcessor p;
    p.setParam ("Mix", 0.3f, juce::dontSendNotification, startNewTransaction, false);
    const auto values = allParameterValues (p);

    const std::pair<const char*, std::string> previous[] = {
        {"A&#55357;&#56832;B", "A" + fffd + fffd + "B"},
        {"&#55296;", fffd},
        {"&#1114112;", fffd},
        {"&#xFFFFFFFF;&#x;&#12a;", fffd + fffd + fffd},
        {"\xc0\xaf\xed\xa0\x80", fffd + fffd + fffd + fffd + fffd}};

    for (const auto& [value, repaired] : previous)
        for (const char* attribute : {"programName", "channelName"})
        {
            ZkOstinelAudioProcessor q;
            const auto chunk = chunkOfBytes (chunkTextWith (p, attribute, value));
            ASSERT_TRUE (q.restoreHostState (chunk.getData(), (int)chunk.getSize()))
                << attribute << " " << value;
            EXPECT_EQ (allParameterValues (q), values);
            EXPECT_EQ (bytesOf (attribute == std::string ("programName") ? q.getProgramName (0)
                                                                         : q.getChannelName()),
                       repaired);
        }

    // What the previous version refused stays refused.
    p.changeProgramName (0, "Kept");
    for (const char* bad : {"\xff\xfe\xfd", "\xf4\x90\x80\x80", "&#;", "&#x12"})
    {
        const auto chunk = chunkOfBytes (chunkTextWith (p, "programName", bad));
        EXPECT_FALSE (p.restoreHostState (chunk.getData(), (int)chunk.getSize())) << bad;
        EXPECT_EQ (p.getProgramName (0), "Kept");
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

TEST_F (NameEncodingPresets, PresetsThePreviousVersionWroteOrListedLoadUnderTheRepairedName)
{
    // A preset name from a host, as the previous version wrote it.
    edit ("Mix", 0.3f);
    const auto name = processor->getCurrentPresetTree().getProperty ("PresetName").toString();
    writePlain ("Emoji.zkp",
                presetText().replace ("PresetName=\"" + name + "\"", "PresetName=\"A&#55357;&#56832;B\""));
    edit ("Mix", 0.6f);

    ASSERT_TRUE (processor->loadUserPresetUndoableWithName ("Emoji"));
    EXPECT_EQ (value ("Mix"), 0.3f);
    EXPECT_EQ (bytesOf (processor->getCurrentPresetTree().getProperty ("PresetName")),
               "A" + fffd + fffd + "B");

    // File names the previous version listed: listed repaired, loaded by id
    // and name, left as they are. One that it did not list stays hidden.
    juce::MemoryBlock bytes;
    ASSERT_TRUE (presetsFolder().getChildFile ("Emoji.zkp").loadFileAsData (bytes));
    ASSERT_TRUE (presetsFolder().getChildFile ("Emoji.zkp").deleteFile());
    std::vector<juce::File> files;

    for (const std::string fileName : {"A\xed\xa0\xbd\xed\xb8\x80.zkp", "\xe0\x81\x81.zkp", "\xff.zkp"})
    {
        const auto path = presetsFolder().getFullPathName().toStdString() + "/" + fileName;
        files.emplace_back (juce::String::fromUTF8 (path.data(), (int)path.size())); // byte for byte
        ASSERT_TRUE (files.back().replaceWithData (bytes.getData(), bytes.getSize()));
    }

    const auto listed = processor->getAllUserPresetNames();
    auto sorted = listed;
    sorted.sort (false);
    EXPECT_EQ (sorted, juce::StringArray (
                           juce::String::fromUTF8 (("A" + fffd + fffd + fffd + fffd + fffd + fffd).c_str()),
                           juce::String::fromUTF8 ((fffd + fffd + fffd).c_str())));

    for (int id = 0; id < listed.size(); ++id)
    {
        edit ("Mix", 0.6f);
        processor->loadUserPresetUndoableWithID (id);
        EXPECT_EQ (value ("Mix"), 0.3f) << id;
        EXPECT_EQ (processor->getProgramName (0), listed[id]);

        edit ("Mix", 0.6f);
        EXPECT_TRUE (processor->loadUserPresetUndoableWithName (listed[id]));
        EXPECT_EQ (value ("Mix"), 0.3f) << id;
    }

    for (const auto& file : files)
    {
        juce::MemoryBlock now;
        EXPECT_TRUE (file.loadFileAsData (now) && now == bytes) << file.getFullPathName();
    }
    EXPECT_EQ (presetsFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 3);
}
