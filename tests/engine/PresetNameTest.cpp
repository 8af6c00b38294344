// Preset names become file names: only the allowed characters survive.

#include <gtest/gtest.h>

#include "engine/ZkPresetName.h"

namespace
{
const juce::String allowed ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 _-!+#%&");
}

TEST (PresetNameTest, UnsafeCharactersAreDroppedAndTheRestTrimmedAndBounded)
{
    const std::pair<const char*, const char*> cases[] = {
        {"My Beat", "My Beat"},
        {"My Beat*", "My Beat"},
        {"  100% Gate  ", "100% Gate"},
        {"../../etc/passwd", "etcpasswd"},
        {"/tmp/x", "tmpx"},
        {"C:\\Users\\x", "CUsersx"},
        {"a.b.zkp", "abzkp"},
        {"line\nbreak\ttab", "linebreaktab"},
        {"\xc3\x9c"
         "ber",
         "ber"}, // non-ASCII letters are not allowed
        {"***", ""},
        {"..", ""},
        {"   ", ""},
        {"", ""},
    };

    for (const auto& [input, expected] : cases)
        EXPECT_EQ (ZkPresetName::makeSafe (juce::String::fromUTF8 (input), allowed), juce::String (expected))
            << input;

    const juce::String longName ("abcdefghij abcdefghij abcdefghij abcdefghij");
    EXPECT_EQ (ZkPresetName::makeSafe (longName, allowed), "abcdefghij abcdefghij abcdefghij abcdef");
    EXPECT_EQ (ZkPresetName::makeSafe (longName, allowed).length(), ZkPresetName::maxLength);

    // A cut that ends on a space loses the space too.
    EXPECT_EQ (ZkPresetName::makeSafe ("abcdefghijabcdefghijabcdefghijabcdefgh xyz", allowed),
               "abcdefghijabcdefghijabcdefghijabcdefgh");
}
