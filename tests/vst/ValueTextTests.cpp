// The five value-to-text conversions: their texts, and that no byte past
// text[maxLen] is ever written, whatever the buffer held before.

#include "vst/AudioEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
class TextEffect : public AudioEffect
{
public:
    TextEffect()
        : AudioEffect (nullptr, 1, 1)
    {
    }
    void processReplacing (float**, float**, VstInt32) override {}
};

enum class Conversion
{
    dB,
    Hz,
    ms,
    floating,
    integer
};

struct TextCase
{
    Conversion conversion;
    double input;
    int maxLen;
    const char* expected;
};

std::ostream& operator<< (std::ostream& os, const TextCase& c)
{
    return os << "input " << c.input << " maxLen " << c.maxLen << " -> \"" << c.expected << "\"";
}

constexpr char kCanary = '\x5a';
constexpr int kBufferSize = 64;

void convert (TextEffect& effect, const TextCase& c, char* text)
{
    switch (c.conversion)
    {
        case Conversion::dB:
            effect.dB2string (static_cast<float> (c.input), text, c.maxLen);
            break;
        case Conversion::Hz:
            effect.Hz2string (static_cast<float> (c.input), text, c.maxLen);
            break;
        case Conversion::ms:
            effect.ms2string (static_cast<float> (c.input), text, c.maxLen);
            break;
        case Conversion::floating:
            effect.float2string (static_cast<float> (c.input), text, c.maxLen);
            break;
        case Conversion::integer:
            effect.int2string (static_cast<VstInt32> (c.input), text, c.maxLen);
            break;
    }
}

class ValueText : public ::testing::TestWithParam<TextCase>
{
};
} // namespace

TEST_P (ValueText, GivesTheTextAndStaysInsideMaxLenPlusOne)
{
    const auto& c = GetParam();

    // Twice: once over a clean buffer and once over one full of text without a
    // terminator, which must make no difference.
    for (const char fill : {'\0', 'Q'})
    {
        TextEffect effect;
        char buffer[kBufferSize];
        std::memset (buffer, kCanary, sizeof (buffer));
        std::memset (buffer, fill, static_cast<std::size_t> (c.maxLen) + 1);

        convert (effect, c, buffer);

        EXPECT_STREQ (buffer, c.expected);
        EXPECT_EQ (buffer[c.maxLen], 0);
        for (int i = c.maxLen + 1; i < kBufferSize; ++i)
            ASSERT_EQ (buffer[i], kCanary) << "byte " << i << " written";
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P (Float, ValueText,
                          ::testing::Values (TextCase{Conversion::floating, 0.0, 24, "0.000000"},
                                             TextCase{Conversion::floating, 1.5, 24, "1.500000"},
                                             TextCase{Conversion::floating, -2.25, 24, "-2.25000"},
                                             TextCase{Conversion::floating, 1000.0, 24, "1000.000"},
                                             TextCase{Conversion::floating, 0.99999994, 24,
                                                      "0.999999"}, // truncated, not rounded
                                             TextCase{Conversion::floating, 9999999.0, 24, "9999999."},
                                             TextCase{Conversion::floating, -999999.0, 24, "-999999."},
                                             TextCase{Conversion::floating, 10000000.0, 24, "Huge!"},
                                             TextCase{Conversion::floating, 100000000.0, 24, "Huge!"},
                                             TextCase{Conversion::floating, -1000000.0, 24, "Huge!"},
                                             TextCase{Conversion::floating, -10000000.0, 24, "Huge!"},
                                             TextCase{Conversion::floating, kInf, 24, "Huge!"},
                                             TextCase{Conversion::floating, -kInf, 24, "Huge!"},
                                             TextCase{Conversion::floating, kNaN, 24, "NaN"},
                                             TextCase{Conversion::floating, 1.5, 3, "1.5"},
                                             TextCase{Conversion::floating, -2.25, 1, "-"},
                                             TextCase{Conversion::floating, 1.5, 0, ""},
                                             TextCase{Conversion::floating, 100000000.0, 2, "Hu"}));

INSTANTIATE_TEST_SUITE_P (Int, ValueText,
                          ::testing::Values (TextCase{Conversion::integer, 0, 24, "0"},
                                             TextCase{Conversion::integer, -5, 24, "-5"},
                                             TextCase{Conversion::integer, 1200, 24, "1200"},
                                             TextCase{Conversion::integer, 99999999, 24, "99999999"},
                                             TextCase{Conversion::integer, -99999999, 24, "-99999999"},
                                             TextCase{Conversion::integer, 100000000, 24, "Huge!"},
                                             TextCase{Conversion::integer, -100000000, 24, "Huge!"},
                                             TextCase{Conversion::integer, -2147483648.0, 24, "Huge!"},
                                             TextCase{Conversion::integer, 2147483647.0, 24, "Huge!"},
                                             TextCase{Conversion::integer, -1234, 3, "-12"},
                                             TextCase{Conversion::integer, 7, 0, ""}));

INSTANTIATE_TEST_SUITE_P (
    Units, ValueText,
    ::testing::Values (
        TextCase{Conversion::dB, 0.0, 24, "-oo"}, TextCase{Conversion::dB, -1.0, 24, "-oo"},
        TextCase{Conversion::dB, 1.0, 24, "0.000000"}, TextCase{Conversion::dB, 10.0, 24, "20.00000"},
        TextCase{Conversion::dB, 0.1, 24, "-20.0000"}, // -19.99999987, narrowed to float
        TextCase{Conversion::dB, kNaN, 24, "NaN"}, TextCase{Conversion::dB, 0.0, 2, "-o"},
        TextCase{Conversion::Hz, 0.0, 24, "0.000000"}, TextCase{Conversion::Hz, 441.0, 24, "100.0000"},
        TextCase{Conversion::ms, 44100.0, 24, "1000.000"}, TextCase{Conversion::ms, 2205.0, 24, "50.00000"}));

TEST (ValueTextNull, ANullTextOrNegativeMaxLenWritesNothing)
{
    TextEffect effect;
    effect.float2string (1.0f, nullptr, 8);
    effect.int2string (1, nullptr, 8);
    effect.dB2string (0.0f, nullptr, 8);

    char buffer[4] = {kCanary, kCanary, kCanary, kCanary};
    effect.float2string (1.0f, buffer, -1);
    effect.int2string (-7, buffer, -2);
    for (char c : buffer)
        EXPECT_EQ (c, kCanary);
}
