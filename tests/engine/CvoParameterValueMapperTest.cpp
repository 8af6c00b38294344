#include "engine/params/CvoDecimalText.h"
#include "engine/params/CvoHelper.h"
#include "engine/params/CvoParameter.h"
#include "engine/params/CvoParameterManager.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <cmath>
#include <limits>

namespace
{
using Kind = CvoParameterValueMapper::CvoMappingENUM;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// The processor only reports the sample rate here; any concrete one will do.
juce::String textFor (int kind, float v, double sampleRate = 44100.0)
{
    juce::AudioProcessorGraph processor;
    processor.setRateAndBufferSizeDetails (sampleRate, 512);
    CvoParameterManager manager (&processor);
    CvoParameter parameter (&manager, static_cast<Kind> (kind));
    return CvoParameterValueMapper (&parameter, static_cast<Kind> (kind)).normed2RealValueAsString (v);
}

struct DisplayCase
{
    int kind;
    float v;
    double sampleRate;
    const char* text;
};

class MapperDisplayText : public ::testing::TestWithParam<DisplayCase>
{
};

TEST_P (MapperDisplayText, GivesTheTextOfItsKind)
{
    const auto& c = GetParam();
    EXPECT_EQ (textFor (c.kind, c.v, c.sampleRate), juce::String (c.text))
        << "kind " << c.kind << " v " << c.v;
}

INSTANTIATE_TEST_SUITE_P (
    EveryKindOfTheTableAndItsEdges, MapperDisplayText,
    ::testing::Values (
        // Gain, squared law (InputGain and its sisters); just below the centre the
        // rounded decibels are zero and show without a sign.
        DisplayCase{29, 0.5f, 0, "+/-0dB"}, DisplayCase{29, 0.75f, 0, "+6.0dB"},
        DisplayCase{29, 0.25f, 0, "-6.0dB"}, DisplayCase{29, 1.0f, 0, "+24.0dB"},
        DisplayCase{29, 0.0f, 0, "-24.0dB"}, DisplayCase{29, 0.49f, 0, "0.0dB"},
        DisplayCase{28, 0.25f, 0, "-12.0dB"}, DisplayCase{28, 0.5f, 0, "+/-0dB"},
        DisplayCase{26, 0.5f, 0, "+12.0dB"}, DisplayCase{26, 0.0f, 0, "0.0dB"},
        DisplayCase{27, 0.5f, 0, "0.0dB"}, DisplayCase{27, 0.75f, 0, "6.0dB"},
        DisplayCase{27, 0.499f, 0, "-0.0dB"}, DisplayCase{25, 1.0f, 0, "+12.0"},
        DisplayCase{25, 0.0f, 0, "-INF"}, DisplayCase{25, 0.25118864f, 0, "0.0"},
        // Percent kinds; halves go to the even neighbour.
        DisplayCase{8, 0.5f, 0, "+/-0 %"}, DisplayCase{8, 1.0f, 0, "+50 %"}, DisplayCase{8, 0.0f, 0, "-50 %"},
        DisplayCase{8, 0.22f, 0, "-28 %"}, DisplayCase{1, 0.125f, 0, "12 %"},
        DisplayCase{5, 0.1875f, 0, "38 %"}, DisplayCase{4, 0.9f, 0, "90 %"}, DisplayCase{7, 0.9f, 0, "95 %"},
        DisplayCase{2, 0.22f, 0, "5 %"}, DisplayCase{6, 0.4f, 0, "36 %"}, DisplayCase{3, 0.5f, 0, "12 %"},
        DisplayCase{5, 0.5f, 0, "100 %"}, DisplayCase{9, 0.0f, 0, "-75 %"}, DisplayCase{10, 1.0f, 0, "100 %"},
        // Switches: on only above the centre.
        DisplayCase{12, 0.5f, 0, "OFF"}, DisplayCase{12, 0.51f, 0, "ON"},
        DisplayCase{13, 0.0f, 0, "BYPASS OFF"}, DisplayCase{15, 1.0f, 0, "MUTE-ALL ACTIVE"},
        DisplayCase{36, 0.6f, 0, "ALIGN PHASE ACTIVE"},
        // Channel and pan; NaN meets none of their conditions.
        DisplayCase{22, 0.3f, 0, "L+R"}, DisplayCase{22, 0.71f, 0, "R"}, DisplayCase{22, nan, 0, "0.00"},
        DisplayCase{23, 0.0f, 0, "L99"}, DisplayCase{23, 0.5f, 0, "C"}, DisplayCase{24, 1.0f, 0, "R100"},
        DisplayCase{24, nan, 0, "0.00"},
        // Frequencies: whole hertz up to 9999, then kHz with one decimal of a
        // single-precision quotient (22.05 lies just below, so 22.0).
        DisplayCase{31, 1.0f, 44100, "22.0kHz"}, DisplayCase{31, 1.0f, 48000, "24.0kHz"},
        DisplayCase{31, 0.4f, 48000, "9600Hz"}, DisplayCase{31, 1.0f, 0, "0Hz"},
        DisplayCase{30, 0.0f, 0, "OFF"}, DisplayCase{30, 1.0f, 0, "500Hz"},
        // Choices by thresholds.
        DisplayCase{39, 0.4f, 0, "3/16"}, DisplayCase{39, 0.5f, 0, "3/16"}, DisplayCase{39, 0.9f, 0, "2/8T"},
        DisplayCase{39, 0.8333334f, 0, "1/8T"}, DisplayCase{39, std::nextafter (0.8333334f, 1.0f), 0, "2/8T"},
        DisplayCase{38, 0.0f, 0, "A"}, DisplayCase{38, 1.0f, 0, "H"}, DisplayCase{38, 3.0f / 7.0f, 0, "D"},
        DisplayCase{38, 2.0f, 0, ""}, DisplayCase{37, 1.0f, 0, "#8"}, DisplayCase{40, 0.24f, 0, "1 Beat"},
        DisplayCase{40, 0.5f, 0, "2 Beats"}, DisplayCase{40, 0.75f, 0, "4 Beats"},
        DisplayCase{41, 0.125f, 0, "NoStep"}, DisplayCase{41, 0.375f, 0, "ShortStep"},
        DisplayCase{41, 0.625f, 0, "LongStep"}, DisplayCase{41, 0.875f, 0, "StepLink"},
        DisplayCase{32, 0.15f, 0, "logarithmic"}, DisplayCase{33, 0.05f, 0, "-0dB"},
        DisplayCase{34, 0.1f, 0, "bind levels"},
        // Raw text: kind 11, and numbers outside the enumeration.
        DisplayCase{11, 0.125f, 0, "0.13"}, DisplayCase{11, -0.25f, 0, "-0.25"},
        DisplayCase{42, 0.5f, 0, "0.50"},
        // Values far outside 0..1 saturate instead of overflowing.
        DisplayCase{4, 1.0e30f, 0, "2147483648 %"}, DisplayCase{9, -1.0e30f, 0, "-2147483723 %"},
        DisplayCase{38, nan, 0, "A"}));

struct ParseCase
{
    int kind;
    const char* text;
    float expected;
};

class MapperParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P (MapperParse, ReadsTypedText)
{
    const auto& c = GetParam();
    CvoParameterValueMapper mapper (nullptr, static_cast<Kind> (c.kind));
    EXPECT_FLOAT_EQ (mapper.string2normedValueAsFloat (c.text), c.expected)
        << "kind " << c.kind << " text " << c.text;
}

INSTANTIATE_TEST_SUITE_P (
    FourKindsAndTheRest, MapperParse,
    ::testing::Values (ParseCase{24, "L20", 0.4f}, ParseCase{24, "r100", 1.0f}, ParseCase{24, "c", 0.5f},
                       ParseCase{24, "left 20", 0.5f}, ParseCase{24, " R50 ", 0.75f},
                       ParseCase{24, "L300", 0.0f}, ParseCase{24, "++10", 0.55f}, ParseCase{30, "OFF", 0.0f},
                       ParseCase{30, "off", 0.0f}, ParseCase{30, "500", 1.0f}, ParseCase{30, "1000", 1.0f},
                       ParseCase{30, "255", 0.5f}, ParseCase{30, "9.9", 0.0f}, ParseCase{5, "100", 0.5f},
                       ParseCase{5, "300", 1.0f}, ParseCase{5, "-5", 0.0f}, ParseCase{5, "inf", 1.0f},
                       ParseCase{5, "nan", 0.0f}, ParseCase{27, "12", 1.0f}, ParseCase{27, "-24", -0.5f},
                       ParseCase{27, "nan", 0.5f}, ParseCase{1, "50", 0.5f}, ParseCase{41, "LongStep", 0.5f},
                       ParseCase{27, "1e999", std::numeric_limits<float>::max() / 24.0f + 0.5f},
                       ParseCase{27, "-inf", -std::numeric_limits<float>::max() / 24.0f + 0.5f}));

struct DecimalCase
{
    float x;
    int decimals;
    const char* text;
};

class DecimalText : public ::testing::TestWithParam<DecimalCase>
{
};

TEST_P (DecimalText, RoundsHalvesAwayFromZeroWithTheSignOfX)
{
    const auto& c = GetParam();
    EXPECT_EQ (CvoDecimalText::fromFloat (c.x, c.decimals), juce::String (c.text));
}

INSTANTIATE_TEST_SUITE_P (SignsTiesAndNonFinite, DecimalText,
                          ::testing::Values (DecimalCase{22050.0f / 1000.0f, 1, "22.0"},
                                             DecimalCase{0.125f, 2, "0.13"}, DecimalCase{2.5f, 0, "3"},
                                             DecimalCase{-0.04f, 1, "-0.0"}, DecimalCase{-0.0f, 1, "0.0"},
                                             DecimalCase{0.05f, 2, "0.05"}, DecimalCase{-12.0f, 1, "-12.0"},
                                             DecimalCase{1.0e10f, 2, "10000000000.00"},
                                             DecimalCase{std::numeric_limits<float>::max(), 1,
                                                         "340282346638528859811704183484516925440.0"},
                                             DecimalCase{nan, 2, "0.00"}, DecimalCase{inf, 1, "INF"},
                                             DecimalCase{-inf, 1, "-INF"}));

TEST (CvoHelper, TextUtilities)
{
    juce::String texts;

    for (int n : {0, 7, 16})
        texts << CvoHelper::getStringWithLeadingZero (n) << " ";
    for (int n : {-1, 0, 1, 8, 9})
        texts << "[" << CvoHelper::digitFrom1To8ToACharAsString (n) << "]";
    for (int code : {0, 128, -191, 65})
        texts << "[" << CvoHelper::asciiCodeToString (code) << "]";

    EXPECT_EQ (texts, "00 07 16 [][@][A][H][][][][][A]");
    EXPECT_EQ (CvoHelper::stringFromAToHToInt (""), 0);
    EXPECT_EQ (CvoHelper::stringFromAToHToInt ("H"), 7);
}
} // namespace
