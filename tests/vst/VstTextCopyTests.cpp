// The bounded copies into a host's buffers: at every buffer size a UTF-8 text is
// cut only between characters, and nothing past the limit is written.

#include "vst/VstText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// One character of each length: 'a', U+00FC, U+2014, U+1F3B9, and again.
const std::string mixed = "a\xc3\xbc\xe2\x80\x94\xf0\x9f\x8e\xb9"
                          "a\xc3\xbc\xe2\x80\x94\xf0\x9f\x8e\xb9";

// The byte offsets at which a character starts, and the end.
std::vector<size_t> characterBoundaries (const std::string& text)
{
    std::vector<size_t> boundaries;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char> (text[i]) & 0xc0) != 0x80)
            boundaries.push_back (i);
    boundaries.push_back (text.size());
    return boundaries;
}

// The longest whole-character prefix of text within maxBytes.
std::string expectedCopy (const std::string& text, size_t maxBytes)
{
    size_t end = 0;
    for (size_t boundary : characterBoundaries (text))
        if (boundary <= maxBytes)
            end = boundary;
    return text.substr (0, end);
}
} // namespace

TEST (VstTextCopy, TerminatedCopiesCutOnlyBetweenCharacters)
{
    for (int bufferSize = 1; bufferSize <= (int)mixed.size() + 2; ++bufferSize)
    {
        char buffer[64];
        std::memset (buffer, 'Q', sizeof (buffer));
        vstCopyTerminated (buffer, mixed.c_str(), bufferSize);

        const auto expected = expectedCopy (mixed, (size_t)bufferSize - 1);
        EXPECT_EQ (std::string (buffer), expected) << "buffer of " << bufferSize;

        // Nothing past the terminating zero.
        for (size_t i = expected.size() + 1; i < sizeof (buffer); ++i)
            ASSERT_EQ (buffer[i], 'Q') << "buffer of " << bufferSize << ", byte " << i;
    }
}

TEST (VstTextCopy, FixedLengthCopiesCutOnlyBetweenCharactersAndFillWithZeros)
{
    for (int maxLen = 0; maxLen <= (int)mixed.size() + 2; ++maxLen)
    {
        char buffer[64];
        std::memset (buffer, 'Q', sizeof (buffer));
        vstCopyText (buffer, mixed.c_str(), maxLen);

        EXPECT_EQ (std::string (buffer), expectedCopy (mixed, (size_t)maxLen)) << "maxLen " << maxLen;

        for (int i = (int)std::strlen (buffer); i <= maxLen; ++i)
            ASSERT_EQ (buffer[i], 0) << "maxLen " << maxLen << ", byte " << i;
        EXPECT_EQ (buffer[maxLen + 1], 'Q') << "maxLen " << maxLen;
    }
}

TEST (VstTextCopy, TextThatIsNotUtf8IsCutAtTheLimit)
{
    // Continuation bytes without a lead byte: nothing to keep whole, so the limit holds.
    const std::string stray = "\x80\x80\x80\x80\x80";
    char buffer[8];
    vstCopyTerminated (buffer, stray.c_str(), 4);
    EXPECT_EQ (std::string (buffer), stray.substr (0, 3));

    vstCopyTerminated (buffer, nullptr, 4);
    EXPECT_EQ (buffer[0], 0);
}
