// The byte layout of user preset files and the bounds of reading them.

#include <gtest/gtest.h>

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUserPresetFile.h"
#include "support/TemporaryHome.h"

#include <juce_core/juce_core.h>

namespace
{
std::unique_ptr<juce::XmlElement> makePreset()
{
    auto preset = std::make_unique<juce::XmlElement> ("ZkAudioPreset");
    preset->setAttribute ("ZkPluginName", "ZkOstinel");
    preset->setAttribute ("PresetName", "My Beat");
    for (int i = 0; i < 3; ++i)
    {
        auto* entry = preset->createNewChildElement ("Parameter");
        entry->setAttribute ("ParameterName", "P" + juce::String (i));
        entry->setAttribute ("Value", 0.25 * i);
    }
    return preset;
}

juce::MemoryBlock headerBytes (const juce::String& header)
{
    juce::MemoryOutputStream out;
    out.writeString (header); // UTF-8 and its 0 byte
    return out.getMemoryBlock();
}

juce::MemoryBlock deflate (const void* data, size_t size)
{
    juce::MemoryOutputStream out;
    {
        juce::GZIPCompressorOutputStream zip (out, 9);
        zip.write (data, size);
    }
    return out.getMemoryBlock();
}

juce::MemoryBlock inflate (const void* data, size_t size)
{
    juce::MemoryInputStream in (data, size, false);
    juce::GZIPDecompressorInputStream zip (in);
    juce::MemoryOutputStream out;
    out.writeFromInputStream (zip, -1);
    return out.getMemoryBlock();
}

juce::MemoryBlock concat (const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    juce::MemoryBlock result (a);
    result.append (b.getData(), b.getSize());
    return result;
}

juce::MemoryBlock documentBytes (const juce::XmlElement& element, bool withZeroByte = true)
{
    const auto text = ZkUserPresetFile::createDocumentText (element);
    juce::MemoryBlock bytes (text.toRawUTF8(), text.getNumBytesAsUTF8());
    if (withZeroByte)
        bytes.append ("", 1);
    return bytes;
}

bool readsBack (const juce::MemoryBlock& bytes)
{
    juce::MemoryInputStream in (bytes, false);
    return ZkUserPresetFile::readDocument (in) != nullptr;
}

class UserPresetFileTest : public ::testing::Test
{
protected:
    TemporaryHome home;
    juce::File folder = home.getFolder().getChildFile ("presets");

    void SetUp() override { folder.createDirectory(); }

    juce::MemoryBlock bytesOf (const juce::File& file)
    {
        juce::MemoryBlock bytes;
        file.loadFileAsData (bytes);
        return bytes;
    }
};
} // namespace

TEST_F (UserPresetFileTest, PlainFileIsHeaderZeroDocumentZero)
{
    const auto preset = makePreset();
    const auto target = folder.getChildFile ("My Beat.zkp");
    ASSERT_TRUE (ZkUserPresetFile::write (target, *preset, false));

    const auto bytes = bytesOf (target);
    const auto expected = concat (headerBytes ("TELQUARLAB Preset File:::::"), documentBytes (*preset));
    ASSERT_EQ (bytes.getSize(), expected.getSize());
    EXPECT_EQ (bytes, expected);
    EXPECT_EQ (bytes[27], 0);

    const auto text = ZkUserPresetFile::createDocumentText (*preset);
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_FALSE (text.contains ("DOCTYPE"));

    const auto readBack = ZkUserPresetFile::readDocument (target);
    ASSERT_NE (readBack, nullptr);
    EXPECT_TRUE (readBack->isEquivalentTo (preset.get(), false));
}

TEST_F (UserPresetFileTest, CompressedFileHoldsOneZlibStreamOfDocumentAndZero)
{
    const auto preset = makePreset();
    const auto target = folder.getChildFile ("My Beat.zkp");
    ASSERT_TRUE (ZkUserPresetFile::write (target, *preset, true));

    const auto bytes = bytesOf (target);
    ASSERT_GT (bytes.getSize(), 31u);
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()), 28),
               "TELQUARLAB Preset File:::::c");
    EXPECT_EQ (bytes[28], 0);

    // zlib format: CMF 0x78, level 9 sets FLEVEL 3 (0xDA), header checksum.
    EXPECT_EQ ((juce::uint8)bytes[29], 0x78);
    EXPECT_EQ ((juce::uint8)bytes[30], 0xDA);
    EXPECT_EQ (((juce::uint8)bytes[29] * 256 + (juce::uint8)bytes[30]) % 31, 0);

    const auto body = inflate (static_cast<const char*> (bytes.getData()) + 29, bytes.getSize() - 29);
    EXPECT_EQ (body, documentBytes (*preset));

    const auto readBack = ZkUserPresetFile::readDocument (target);
    ASSERT_NE (readBack, nullptr);
    EXPECT_TRUE (readBack->isEquivalentTo (preset.get(), false));
}

TEST_F (UserPresetFileTest, WritesReplaceTheTargetOnlyWhenComplete)
{
    const auto existing = folder.getChildFile ("My Beat.zkp");
    ASSERT_TRUE (existing.replaceWithText ("old contents"));
    ASSERT_TRUE (ZkUserPresetFile::write (existing, *makePreset(), true));
    EXPECT_NE (ZkUserPresetFile::readDocument (existing), nullptr);

    // The folder does not exist: nothing can be opened.
    EXPECT_FALSE (
        ZkUserPresetFile::write (folder.getChildFile ("missing/My Beat.zkp"), *makePreset(), false));
    EXPECT_FALSE (folder.getChildFile ("missing").exists());

    // The target is a folder with contents: it cannot be replaced.
    const auto target = folder.getChildFile ("Taken.zkp");
    ASSERT_TRUE (target.getChildFile ("inside.txt").create().wasOk());
    EXPECT_FALSE (ZkUserPresetFile::write (target, *makePreset(), true));
    EXPECT_TRUE (target.getChildFile ("inside.txt").existsAsFile());
    // No temporary file is left behind, hidden or not.
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 2);
}

TEST_F (UserPresetFileTest, HeaderTextDecidesValidityAndCompression)
{
    const auto preset = makePreset();
    const auto plain = documentBytes (*preset);
    const auto compressed = deflate (plain.getData(), plain.getSize());

    EXPECT_TRUE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::"), plain)));
    EXPECT_TRUE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::c"), compressed)));
    // More text after the colons: compressed exactly when the last character is "c".
    EXPECT_TRUE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::v2"), plain)));
    EXPECT_TRUE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::abc"), compressed)));
    EXPECT_FALSE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::abc"), plain)));
    EXPECT_FALSE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::"), compressed)));
    // Letter case counts.
    EXPECT_FALSE (readsBack (concat (headerBytes ("telquarlab Preset File:::::"), plain)));
    EXPECT_FALSE (readsBack (concat (headerBytes ("TELQUARLAB preset file:::::"), plain)));
    EXPECT_FALSE (readsBack (concat (headerBytes ("TELQUARLAB Preset File::::"), plain)));
}

TEST_F (UserPresetFileTest, BrokenOrTruncatedContentsAreRefused)
{
    const auto preset = makePreset();
    const auto header = headerBytes ("TELQUARLAB Preset File:::::");
    const auto headerC = headerBytes ("TELQUARLAB Preset File:::::c");
    const auto plain = documentBytes (*preset);
    const auto compressed = deflate (plain.getData(), plain.getSize());

    auto cut = [] (const juce::MemoryBlock& b, size_t n) { return juce::MemoryBlock (b.getData(), n); };

    EXPECT_FALSE (readsBack ({}));
    EXPECT_FALSE (readsBack (header));
    EXPECT_FALSE (readsBack (cut (header, 27)));                                  // header without its 0
    EXPECT_FALSE (readsBack (concat (header, cut (plain, plain.getSize() / 2)))); // truncated text
    EXPECT_FALSE (readsBack (concat (headerC, cut (compressed, compressed.getSize() / 2))));
    EXPECT_FALSE (readsBack (concat (headerC, juce::MemoryBlock ("not zlib at all", 15))));
    EXPECT_FALSE (readsBack (concat (header, juce::MemoryBlock ("<a><b>", 7)))); // unmatched tags
    EXPECT_FALSE (readsBack (concat (header, juce::MemoryBlock ("plain words", 12))));
    EXPECT_FALSE (readsBack (concat (header, juce::MemoryBlock ("\0", 1)))); // empty text

    const char badUtf8[] = "<a b=\"\xC3\x28\"/>";
    EXPECT_FALSE (readsBack (concat (header, juce::MemoryBlock (badUtf8, sizeof (badUtf8)))));

    const char withDoctype[] = "<!DOCTYPE a [<!ENTITY x \"y\">]><a b=\"&x;\"/>";
    EXPECT_FALSE (readsBack (concat (header, juce::MemoryBlock (withDoctype, sizeof (withDoctype)))));

    // Any tag is read; a body may end without its 0 byte, plain or compressed.
    const char otherRoot[] = "<Other/>";
    EXPECT_TRUE (readsBack (concat (header, juce::MemoryBlock (otherRoot, sizeof (otherRoot)))));

    const auto withoutZero = cut (plain, plain.getSize() - 1);
    EXPECT_TRUE (readsBack (concat (header, withoutZero)));
    EXPECT_TRUE (readsBack (concat (headerC, deflate (withoutZero.getData(), withoutZero.getSize()))));
}

TEST_F (UserPresetFileTest, ReadingIsBounded)
{
    // A header without its 0 within the bound.
    juce::MemoryBlock longHeader (ZkUserPresetFile::maxHeaderBytes + 100, false);
    longHeader.fillWith ('x');
    longHeader.copyFrom ("TELQUARLAB Preset File:::::", 0, 27);
    EXPECT_FALSE (readsBack (concat (longHeader, documentBytes (*makePreset()))));

    // Deeply nested markup would make the parser recurse once per level.
    juce::String nested;
    for (int i = 0; i < ZkUserPresetFile::maxMarkupOpenings + 1; ++i)
        nested << "<a>";
    juce::MemoryBlock nestedBytes (nested.toRawUTF8(), nested.getNumBytesAsUTF8() + 1);
    EXPECT_FALSE (readsBack (concat (headerBytes ("TELQUARLAB Preset File:::::"), nestedBytes)));

    // A compressed body that inflates far beyond the bound, without a 0 byte:
    // refused after the bound, not inflated whole.
    juce::MemoryOutputStream bomb;
    bomb.writeString ("TELQUARLAB Preset File:::::c");
    {
        juce::GZIPCompressorOutputStream zip (bomb, 9);
        juce::MemoryBlock chunk (1 << 20, false);
        chunk.fillWith ('a');
        for (int i = 0; i < 64; ++i) // 64 MiB of text, about 64 KiB compressed
            zip.write (chunk.getData(), chunk.getSize());
    }
    juce::MemoryInputStream bombIn (bomb.getData(), bomb.getDataSize(), false);
    EXPECT_EQ (ZkUserPresetFile::readDocument (bombIn), nullptr);
    EXPECT_LT (bombIn.getPosition(), (juce::int64)bomb.getDataSize());

    // Files beyond the size bound are not opened; neither are tiny ones.
    const auto big = folder.getChildFile ("big.zkp");
    {
        juce::FileOutputStream out (big);
        out.writeString ("TELQUARLAB Preset File:::::");
        out.writeRepeatedByte (' ', (size_t)ZkUserPresetFile::maxFileBytes);
        out.write ("<a/>", 5);
    }
    EXPECT_EQ (ZkUserPresetFile::readDocument (big), nullptr);

    const auto tiny = folder.getChildFile ("tiny.zkp");
    ASSERT_TRUE (tiny.replaceWithText ("TELQUARLAB"));
    EXPECT_EQ (ZkUserPresetFile::readDocument (tiny), nullptr);

    EXPECT_EQ (ZkUserPresetFile::readDocument (folder), nullptr);
    EXPECT_EQ (ZkUserPresetFile::readDocument (folder.getChildFile ("absent.zkp")), nullptr);
}

TEST (VoReadStringTest, ReadsUpToTheZeroByteOrTheEndAsUtf8)
{
    const char bytes[] = "Gr\xc3\xbc\xc3\x9f"
                         "e\0rest";
    juce::MemoryInputStream in (bytes, sizeof (bytes) - 1, false);
    EXPECT_EQ (ZkOstinelAudioProcessor::voReadString (in), juce::String::fromUTF8 ("Gr\xc3\xbc\xc3\x9f"
                                                                                   "e"));
    EXPECT_EQ (ZkOstinelAudioProcessor::voReadString (in), "rest"); // the end reads as 0
    EXPECT_EQ (ZkOstinelAudioProcessor::voReadString (in), "");
}
