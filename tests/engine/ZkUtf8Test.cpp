// Well-formed UTF-8 and the repair of text that is not: which byte sequences pass,
// and what each ill-formed one becomes.

#include "engine/ZkUtf8.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const std::string fffd = "\xef\xbf\xbd";

struct EncodingCase
{
    const char* what;
    std::string bytes;
    bool wellFormed;
    bool readable;        // by the framework's test, as earlier versions read text
    std::string repaired; // what toValidString gives
};

class Utf8Encoding : public ::testing::TestWithParam<EncodingCase>
{
};

std::string bytesOf (const juce::String& text)
{
    return text.toStdString();
}
} // namespace

TEST_P (Utf8Encoding, CheckAndRepairAgree)
{
    const auto& c = GetParam();

    EXPECT_EQ (ZkUtf8::isValid (c.bytes.data(), c.bytes.size()), c.wellFormed) << c.what;
    EXPECT_EQ (ZkUtf8::isReadable (c.bytes.data(), c.bytes.size()), c.readable) << c.what;

    const auto repaired = ZkUtf8::toValidString (c.bytes.data(), c.bytes.size());
    EXPECT_EQ (bytesOf (repaired), c.repaired) << c.what;
    EXPECT_TRUE (ZkUtf8::isValid (repaired.toRawUTF8(), repaired.getNumBytesAsUTF8())) << c.what;

    // The same repair for a string that came in with the bytes unchecked.
    const auto unchecked = juce::String::fromUTF8 (c.bytes.data(), (int)c.bytes.size());
    EXPECT_EQ (bytesOf (ZkUtf8::makeValid (unchecked)), c.repaired) << c.what;
}

INSTANTIATE_TEST_SUITE_P (
    Sequences, Utf8Encoding,
    ::testing::Values (
        EncodingCase{"ASCII", "Drums 1", true, true, "Drums 1"},
        EncodingCase{"two, three and four bytes", "\xc3\xbc \xe2\x80\x94 \xf0\x9f\x8e\xb9", true, true,
                     "\xc3\xbc \xe2\x80\x94 \xf0\x9f\x8e\xb9"},
        EncodingCase{"the smallest and largest of each length",
                     "\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf"
                     "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
                     true, true, "\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
        EncodingCase{"around the surrogates", "\xed\x9f\xbf\xee\x80\x80", true, true,
                     "\xed\x9f\xbf\xee\x80\x80"},
        EncodingCase{"the replacement character itself", fffd, true, true, fffd},
        EncodingCase{"bytes that start nothing: ff fe fd",
                     "a\xff\xfe\xfd"
                     "b",
                     false, false, "a" + fffd + fffd + fffd + "b"},
        EncodingCase{"overlong slash: c0 af", "\xc0\xaf", false, true, fffd + fffd},
        EncodingCase{"overlong in three bytes", "\xe0\x80\xaf", false, true, fffd + fffd + fffd},
        EncodingCase{"overlong in four bytes", "\xf0\x80\x80\xaf", false, true, fffd + fffd + fffd + fffd},
        EncodingCase{"an encoded surrogate", "\xed\xa0\x80", false, true, fffd + fffd + fffd},
        EncodingCase{"above U+10FFFF", "\xf4\x90\x80\x80", false, false, fffd + fffd + fffd + fffd},
        EncodingCase{"f5 and beyond", "\xf5\x80\x80\x80", false, false, fffd + fffd + fffd + fffd},
        EncodingCase{"a lone continuation byte",
                     "a\x80"
                     "b",
                     false, false, "a" + fffd + "b"},
        EncodingCase{"a sequence cut short before text",
                     "\xe2\x82"
                     "A",
                     false, false, fffd + "A"},
        EncodingCase{"a sequence cut short at the end", "ok\xf0\x9f\x8e", false, false, "ok" + fffd}),
    [] (const ::testing::TestParamInfo<EncodingCase>& param)
    { return "case" + std::to_string (param.index); });

TEST (Utf8Encoding, TheRepairEndsAtTheFirstZeroByte)
{
    const char bytes[] = {'a', '\xff', 0, '\xff', 'b'};
    EXPECT_EQ (bytesOf (ZkUtf8::toValidString (bytes, sizeof (bytes))), "a" + fffd);
    EXPECT_EQ (ZkUtf8::toValidString (nullptr, 5), juce::String());
}

TEST (Utf8Encoding, ScalarValues)
{
    for (juce::uint32 valid : {0u, 0x7fu, 0xd7ffu, 0xe000u, 0xfffdu, 0xffffu, 0x10ffffu})
        EXPECT_TRUE (ZkUtf8::isScalarValue (valid)) << valid;

    for (juce::uint32 invalid : {0xd800u, 0xdbffu, 0xdc00u, 0xdfffu, 0x110000u, 0xffffffffu})
        EXPECT_FALSE (ZkUtf8::isScalarValue (invalid)) << invalid;
}
