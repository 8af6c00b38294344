// The binary block of the host state: layout as written, what reading accepts
// and refuses, and the strict number readers.

#include "PresetTreeTestSupport.h"
#include "engine/ZkHostStateChunk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
juce::MemoryBlock bytesOf (std::initializer_list<uint8_t> header, const std::string& tail = {})
{
    juce::MemoryBlock block;
    block.append (header.begin(), header.size());
    block.append (tail.data(), tail.size());
    return block;
}

std::unique_ptr<juce::XmlElement> readBlock (const juce::MemoryBlock& block)
{
    return ZkHostStateChunk::read (block.getData(), (int)block.getSize());
}
} // namespace

TEST (HostStateChunkFormat, WritesMagicLengthOneLineTextWithoutDeclarationAndTerminator)
{
    juce::XmlElement xml ("ZkPLUGINSETTINGS");
    xml.setAttribute ("pluginName", "ZkOstinel");
    xml.setAttribute ("channelName", "a<b & \"c\"");
    xml.setAttribute ("Mix", 0.25);

    juce::MemoryBlock block;
    block.append ("stale contents", 14);
    ZkHostStateChunk::write (xml, block);

    const auto* bytes = static_cast<const uint8_t*> (block.getData());
    const std::string expected =
        "<ZkPLUGINSETTINGS pluginName=\"ZkOstinel\" channelName=\"a&lt;b &amp; &quot;c&quot;\" "
        "Mix=\"0.25\"/>";

    ASSERT_EQ (block.getSize(), 8 + expected.size() + 1);
    EXPECT_EQ (bytes[0], 0x56);
    EXPECT_EQ (bytes[1], 0x43);
    EXPECT_EQ (bytes[2], 0x32);
    EXPECT_EQ (bytes[3], 0x21);
    EXPECT_EQ (bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24, (int)expected.size());
    EXPECT_EQ (std::string (reinterpret_cast<const char*> (bytes + 8), expected.size()), expected);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    const auto back = readBlock (block);
    ASSERT_NE (back, nullptr);
    EXPECT_EQ (back->getStringAttribute ("channelName"), "a<b & \"c\"");
}

TEST (HostStateChunkFormat, ReadsBlocksOfTheFrameworkIncludingADeclaration)
{
    juce::XmlElement xml ("ZkPLUGINSETTINGS");
    xml.setAttribute ("pluginName", "ZkOstinel");
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (xml, block);

    const auto back = readBlock (block);
    ASSERT_NE (back, nullptr);
    EXPECT_EQ (back->getTagName(), "ZkPLUGINSETTINGS");
}

TEST (HostStateChunkFormat, TextEndsAtTheShorterOfDeclaredLengthBlockSizeAndFirstZero)
{
    const std::string text = "<A x=\"1\"/>";

    // Declared longer than the block: the block's end counts.
    auto longer = zktest::chunkAround (text);
    static_cast<uint8_t*> (longer.getData())[4] = 200;
    longer.setSize (longer.getSize() - 1); // no terminator either
    ASSERT_NE (readBlock (longer), nullptr);

    // Declared shorter than the text: the element is cut and does not parse.
    auto shorter = zktest::chunkAround (text);
    static_cast<uint8_t*> (shorter.getData())[4] = 5;
    EXPECT_EQ (readBlock (shorter), nullptr);

    // A zero byte inside the text ends it.
    auto withZero = zktest::chunkAround ("<A x=\"1\"/>garbage");
    static_cast<char*> (withZero.getData())[8 + text.size()] = 0;
    EXPECT_NE (readBlock (withZero), nullptr);
}

TEST (HostStateChunkFormat, RefusesBlocksThatAreNotSafeToRead)
{
    const auto valid = zktest::chunkAround ("<ZkPLUGINSETTINGS pluginName=\"ZkOstinel\"/>");
    ASSERT_NE (readBlock (valid), nullptr);

    EXPECT_EQ (ZkHostStateChunk::read (nullptr, 100), nullptr);
    EXPECT_EQ (ZkHostStateChunk::read (valid.getData(), 0), nullptr);
    EXPECT_EQ (ZkHostStateChunk::read (valid.getData(), -5), nullptr);
    EXPECT_EQ (ZkHostStateChunk::read (valid.getData(), 8), nullptr);
    EXPECT_EQ (readBlock (bytesOf ({0x56, 0x43, 0x32, 0x22, 5, 0, 0, 0}, "<A/>")), nullptr); // magic
    EXPECT_EQ (readBlock (bytesOf ({0x56, 0x43, 0x32, 0x21, 0, 0, 0, 0}, "<A/>")), nullptr); // n = 0
    EXPECT_EQ (readBlock (bytesOf ({0x56, 0x43, 0x32, 0x21, 0xff, 0xff, 0xff, 0xff}, "<A/>")),
               nullptr); // n < 0
    EXPECT_EQ (readBlock (zktest::chunkAround ("not xml at all")), nullptr);
    EXPECT_EQ (readBlock (zktest::chunkAround ("<A x=\"1\"")), nullptr); // cut between attributes
    EXPECT_EQ (readBlock (zktest::chunkAround ("<A x=\"1")), nullptr);
    EXPECT_EQ (readBlock (zktest::chunkAround ("<A x=\"1\"><B/>")), nullptr);

    // Invalid UTF-8: a lead byte followed by no continuation byte.
    auto broken = zktest::chunkAround ("<A x=\"1\"/>");
    static_cast<uint8_t*> (broken.getData())[8 + 7] = 0xe2;
    EXPECT_EQ (readBlock (broken), nullptr);

    // Entities that refer to themselves or multiply: refused before parsing.
    EXPECT_EQ (readBlock (zktest::chunkAround ("<!DOCTYPE A [<!ENTITY a \"&a;\">]><A x=\"&a;\"/>")), nullptr);
    EXPECT_EQ (readBlock (zktest::chunkAround (
                   "<!DOCTYPE A [<!ENTITY a \"xx\"><!ENTITY b \"&a;&a;\">]><A x=\"&b;\"/>")),
               nullptr);

    // Deep nesting: the parser recurses once per tag and overflows the stack.
    const auto nested =
        juce::String::repeatedString ("<A>", 100000) + juce::String::repeatedString ("</A>", 100000);
    EXPECT_EQ (readBlock (zktest::chunkAround (nested)), nullptr);

    // A text larger than any real state.
    const auto huge =
        "<A x=\"" + juce::String::repeatedString ("y", ZkHostStateChunk::maxTextLength) + "\"/>";
    EXPECT_EQ (readBlock (zktest::chunkAround (huge)), nullptr);
}

TEST (HostStateChunkFormat, IntegerReaderAcceptsOnlyPlainDecimalIntegersAndSaturates)
{
    EXPECT_EQ (ZkHostStateChunk::parseInteger ("540"), 540);
    EXPECT_EQ (ZkHostStateChunk::parseInteger (" -1 "), -1);
    EXPECT_EQ (ZkHostStateChunk::parseInteger ("99999999999999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ (ZkHostStateChunk::parseInteger ("-99999999999999999999"), std::numeric_limits<int>::min());
    EXPECT_EQ (ZkHostStateChunk::parseInteger ("-2147483648"), std::numeric_limits<int>::min());

    for (const char* text : {"", "-", "+5", "5.0", "1e3", "abc", "12abc", "nan", "0x10"})
        EXPECT_FALSE (ZkHostStateChunk::parseInteger (text).has_value()) << text;
}

TEST (HostStateChunkFormat, NumberReaderAcceptsOnlyFiniteDecimalNumbers)
{
    EXPECT_EQ (ZkHostStateChunk::parseFiniteNumber ("0.25"), 0.25);
    EXPECT_EQ (ZkHostStateChunk::parseFiniteNumber ("-3"), -3.0);
    EXPECT_EQ (ZkHostStateChunk::parseFiniteNumber ("1e-07"), 1e-07);
    EXPECT_EQ (ZkHostStateChunk::parseFiniteNumber (".5"), 0.5);
    EXPECT_EQ (ZkHostStateChunk::parseFiniteNumber ("0.30000001192092896"), (double)0.3f);

    for (const char* text : {"", ".", "-", "nan", "NaN", "inf", "-inf", "1e999", "1e", "0.5x", "abc", "1,5"})
        EXPECT_FALSE (ZkHostStateChunk::parseFiniteNumber (text).has_value()) << text;

    // The framework's text of a float reads back as that float; the text of a
    // double reads back as a double that writes the same text again.
    juce::Random random (42);
    for (int i = 0; i < 20000; ++i)
    {
        const auto asFloat = random.nextFloat();
        const auto floatBack = ZkHostStateChunk::parseFiniteNumber (juce::var ((double)asFloat).toString());
        ASSERT_TRUE (floatBack.has_value());
        ASSERT_EQ ((float)*floatBack, asFloat);

        const auto text =
            juce::var (random.nextDouble() * std::pow (10.0, random.nextInt (12) - 8)).toString();
        const auto back = ZkHostStateChunk::parseFiniteNumber (text);
        ASSERT_TRUE (back.has_value()) << text;
        ASSERT_EQ (juce::var (*back).toString(), text);
    }
}

TEST (HostStateChunkFormat, AttributeLookupAnswersAsTheElementDoes)
{
    // In order, out of order, repeated (the first counts), missing, unknown; and the
    // same element with an attribute that a copy would turn into binary data.
    const juce::StringArray names{"Bypass", "Mix", "Hold", "Swing", "Decay", "viIsRunningState"};
    for (const char* text :
         {"<S pluginName=\"x\" Bypass=\"0\" Mix=\"0.5\" Hold=\"0.1\" Swing=\"0.2\" Decay=\"0.3\"/>",
          "<S Decay=\"0.3\" Mix=\"0.5\" Bypass=\"1\" Mix=\"0.9\" other=\"7\" Hold=\"\" Hold=\"2\"/>",
          "<S Mix=\"0.5\" Swing=\"a\" Bypass=\"1\" Mix=\"0.9\" Bypass=\"0\" viIsRunningState=\"1\"/>",
          "<S base64:Mix=\"AAAA\" Mix=\"0.25\" Hold=\"0.1\" Mix=\"0.5\"/>", "<S/>"})
    {
        const auto xml = juce::parseXML (text);
        ASSERT_NE (xml, nullptr) << text;
        const auto found = ZkHostStateChunk::findAttributes (*xml, names);
        ASSERT_EQ (found.size(), (size_t)names.size());

        for (int k = 0; k < names.size(); ++k)
        {
            ASSERT_EQ (found[(size_t)k].has_value(), xml->hasAttribute (names[k])) << text << " " << names[k];
            if (found[(size_t)k])
            {
                EXPECT_EQ (*found[(size_t)k], xml->getStringAttribute (names[k])) << text << " " << names[k];
            }
        }
    }
}
