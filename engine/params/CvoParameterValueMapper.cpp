#include "CvoParameterValueMapper.h"

#include "CvoDecimalText.h"
#include "CvoHelper.h"
#include "CvoParameter.h"
#include "CvoParameterManager.h"
#include "engine/ZkSaturatedInt.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <cmath>
#include <limits>

namespace
{
juce::String percentText (juce::int64 percent)
{
    return juce::String (percent) + " %";
}

juce::String switchText (float v, const char* onText, const char* offText)
{
    return v > 0.5f ? onText : offText;
}
} // namespace

CvoParameterValueMapper::CvoParameterValueMapper (CvoParameter* parameterToUse, CvoMappingENUM kind)
    : parameter (parameterToUse)
    , mappingKind (kind)
{
}

CvoParameterValueMapper::~CvoParameterValueMapper() = default;

int CvoParameterValueMapper::roundToIntGuarded (float x)
{
    return ZkSaturatedInt::round (static_cast<double> (x));
}

int CvoParameterValueMapper::truncToIntGuarded (float x)
{
    return ZkSaturatedInt::truncate (static_cast<double> (x));
}

float CvoParameterValueMapper::readNumber (const juce::String& text)
{
    const double number = text.getDoubleValue();
    constexpr double largest = static_cast<double> (std::numeric_limits<float>::max());

    if (std::isnan (number))
        return 0.0f;

    return static_cast<float> (juce::jlimit (-largest, largest, number));
}

double CvoParameterValueMapper::getSampleRate() const
{
    if (parameter == nullptr)
        return 0.0;

    auto* manager = parameter->getParameterManager();

    if (manager == nullptr || manager->getAudioProcessor() == nullptr)
        return 0.0;

    return manager->getAudioProcessor()->getSampleRate();
}

juce::String CvoParameterValueMapper::normed2RealValueAsString (float v) const
{
    const juce::String rawText = CvoDecimalText::fromFloat (v, 2);

    // The percent kinds add in 64 bits: a guarded rounding may give an int limit.
    switch (mappingKind)
    {
        case MAPPING_PERCENT:
            return percentText (roundToIntGuarded (v * 100.0f));
        case MAPPING_PERCENT_SQUARED:
            return percentText (roundToIntGuarded (v * v * 100.0f));
        case MAPPING_PERCENT_CUBED:
            return percentText (roundToIntGuarded (v * v * v * 100.0f));
        case MAPPING_PERCENT_1_TO_100:
            return percentText (juce::int64 (roundToIntGuarded (v * 99.0f)) + 1);
        case MAPPING_PERCENT_0_TO_200:
            return percentText (roundToIntGuarded (v * 200.0f));
        case MAPPING_PERCENT_0_TO_90:
            return percentText (roundToIntGuarded (v * 90.0f));
        case MAPPING_PERCENT_50_TO_100:
            return percentText (juce::int64 (roundToIntGuarded (v * 50.0f)) + 50);

        case MAPPING_PERCENT_PLUS_MINUS_50:
        {
            const int n = roundToIntGuarded (v * 100.0f - 50.0f);

            if (n == 0)
                return "+/-0 %";

            return (n > 0 ? "+" : "") + percentText (n);
        }

        case MAPPING_PERCENT_PLUS_MINUS_75:
            return percentText (juce::int64 (roundToIntGuarded (v * 150.0f)) - 75);
        case MAPPING_PERCENT_PLUS_MINUS_100:
            return percentText (juce::int64 (roundToIntGuarded (v * 200.0f)) - 100);

        case MAPPING_ON_OFF:
            return switchText (v, "ON", "OFF");
        case MAPPING_BYPASS:
            return switchText (v, "BYPASS ACTIVE", "BYPASS OFF");
        case MAPPING_MUTE:
            return switchText (v, "MUTE ACTIVE", "UN-MUTE");
        case MAPPING_MUTE_ALL:
            return switchText (v, "MUTE-ALL ACTIVE", "NO MUTE-ALL");
        case MAPPING_MUTE_MID:
            return switchText (v, "MUTE-MID ACTIVE", "NO MUTE-MID");
        case MAPPING_MUTE_SIDE:
            return switchText (v, "MUTE-SIDE ACTIVE", "NO MUTE-SIDE");
        case MAPPING_SAFE_BASS:
            return switchText (v, "SAFE BASS ON", "SAFE BASS OFF");
        case MAPPING_SWAP:
            return switchText (v, "SWAP ACTIVE", "NO SWAP");
        case MAPPING_PHASE_FLIP:
            return switchText (v, "PHASE FLIPPED", "PHASE NORMAL");
        case MAPPING_MONO:
            return switchText (v, "MONO ACTIVE", "MONO OFF");
        case MAPPING_PHASE_ALIGN:
            return switchText (v, "ALIGN PHASE ACTIVE", "NO PHASE ALIGN");

        // In the three channel and pan kinds NaN meets no condition and keeps the
        // raw text.
        case MAPPING_CHANNEL_L_LR_R:
            if (v < 0.3f)
                return "L";
            if (v >= 0.3f && v <= 0.7f)
                return "L+R";
            if (v > 0.7f)
                return "R";
            return rawText;

        case MAPPING_PAN_99:
        case MAPPING_PAN_100:
        {
            const float width = mappingKind == MAPPING_PAN_99 ? 198.0f : 200.0f;

            if (v < 0.5f)
                return "L" + juce::String (roundToIntGuarded ((0.5f - v) * width));
            if (v == 0.5f)
                return "C";
            if (v > 0.5f)
                return "R" + juce::String (roundToIntGuarded ((v - 0.5f) * width));
            return rawText;
        }

        case MAPPING_GAIN_DB_MINUS_INF_TO_PLUS_12:
        {
            if (v == 0.0f)
                return "-INF";

            // 3.9810717 = 10^(12/20): 1.0 shows +12 dB. The product in single
            // precision, the logarithm in double, the decibels kept in single.
            const float product = v * 3.9810717f;
            const auto decibels = static_cast<float> (20.0 * std::log10 (static_cast<double> (product)));
            const float x = static_cast<float> (roundToIntGuarded (decibels * 10.0f)) / 10.0f;
            return (x > 0.0f ? "+" : "") + CvoDecimalText::fromFloat (x, 1);
        }

        case MAPPING_GAIN_DB_0_TO_PLUS_24:
            if (v == 0.0f)
                return "0.0dB";
            return "+" + CvoDecimalText::fromFloat (v * 24.0f, 1) + "dB";

        case MAPPING_GAIN_DB_PLUS_MINUS_12:
            if (v == 0.5f)
                return "0.0dB";
            return CvoDecimalText::fromFloat ((v - 0.5f) * 24.0f, 1) + "dB";

        case MAPPING_GAIN_DB_PLUS_MINUS_24_LINEAR:
        {
            if (v == 0.5f)
                return "+/-0dB";

            const float x = static_cast<float> (roundToIntGuarded ((48.0f * v - 24.0f) * 10.0f)) / 10.0f;

            if (v < 0.5f)
                return CvoDecimalText::fromFloat (x, 1) + "dB";
            if (v > 0.5f)
                return "+" + CvoDecimalText::fromFloat (x, 1) + "dB";
            return rawText;
        }

        case MAPPING_GAIN_DB_PLUS_MINUS_24_SQUARED:
        {
            if (v == 0.5f)
                return "+/-0dB";

            // The same squared law as the gain: +/-24 dB at the ends, 6 dB at 0.25
            // from the centre.
            const float t = (v - 0.5f) + (v - 0.5f);
            const float x = static_cast<float> (roundToIntGuarded (t * t * 24.0f * 10.0f)) / 10.0f;

            if (v < 0.5f)
                return CvoDecimalText::fromFloat (-x, 1) + "dB";
            if (v > 0.5f)
                return "+" + CvoDecimalText::fromFloat (x, 1) + "dB";
            return rawText;
        }

        case MAPPING_FREQUENCY_10_TO_500_HZ:
            if (v == 0.0f)
                return "OFF";
            return juce::String (roundToIntGuarded (v * 490.0f + 10.0f)) + "Hz";

        case MAPPING_FREQUENCY_TO_NYQUIST:
        {
            // [Hz] in double; bounded so that neither the integer text nor the
            // float division below meets a value it cannot hold.
            double hz = std::trunc (static_cast<double> (v) * getSampleRate() * 0.5);
            constexpr double largest = static_cast<double> (std::numeric_limits<float>::max());
            hz = std::isnan (hz) ? 0.0 : juce::jlimit (-largest, largest, hz);

            if (hz > 9999.0)
                return CvoDecimalText::fromFloat (static_cast<float> (hz) / 1000.0f, 1) + "kHz";

            return juce::String (static_cast<juce::int64> (juce::jmax (hz, -9.0e18))) + "Hz";
        }

        case MAPPING_CURVE_TYPE:
            if (v < 0.1f)
                return "linear";
            if (v < 0.2f)
                return "logarithmic";
            return "sin/cos";

        case MAPPING_PAN_LAW:
            if (v < 0.1f)
                return "-0dB";
            if (v < 0.2f)
                return "-3dB";
            return "-6dB";

        case MAPPING_LEVEL_MODE:
            return v < 0.1f ? "fix mid" : "bind levels";

        case MAPPING_PAN_MODE:
            return v < 0.1f ? "dual pan" : "balance";

        case MAPPING_NUMBER_1_TO_8:
            return "#" + juce::String (juce::int64 (truncToIntGuarded (v * 7.0f)) + 1);

        case MAPPING_LETTER_A_TO_H:
        {
            const juce::int64 n = juce::int64 (truncToIntGuarded (v * 7.0f)) + 1;
            return (n >= 0 && n <= 8) ? CvoHelper::digitFrom1To8ToACharAsString (static_cast<int> (n))
                                      : juce::String();
        }

        case MAPPING_NOTE_VALUE:
            if (v <= 0.16666667f)
                return "1/16";
            if (v <= 0.33333334f)
                return "1/8";
            if (v <= 0.5f)
                return "3/16";
            if (v <= 0.6666667f)
                return "1/4";
            if (v <= 0.8333334f) // the float just above 5/6
                return "1/8T";
            return "2/8T";

        case MAPPING_BEATS_1_2_4:
            if (v < 0.25f)
                return "1 Beat";
            if (v < 0.75f)
                return "2 Beats";
            return "4 Beats";

        case MAPPING_STEP_TYPE:
            if (v < 0.25f)
                return "NoStep";
            if (v < 0.5f)
                return "ShortStep";
            if (v < 0.75f)
                return "LongStep";
            return "StepLink";

        case MAPPING_NONE:
        case MAPPING_RAW_VALUE:
        default:
            return rawText;
    }
}

float CvoParameterValueMapper::string2normedValueAsFloat (const juce::String& text) const
{
    switch (mappingKind)
    {
        case MAPPING_PERCENT_0_TO_200:
            return juce::jlimit (0.0f, 1.0f, readNumber (text) / 200.0f);

        case MAPPING_PAN_100:
        {
            // "L20" -> "-20", "R20" -> "20", "C" -> "0"; the sign is the side.
            auto cleaned = text.trim().toLowerCase().replace ("l", "-").replace ("r", "+");

            if (cleaned.startsWith ("c"))
                cleaned = "0";

            while (cleaned.startsWithChar ('+'))
                cleaned = cleaned.substring (1);

            cleaned = cleaned.initialSectionContainingOnly ("0123456789-");
            return juce::jlimit (0.0f, 1.0f, readNumber (cleaned) / 200.0f + 0.5f);
        }

        case MAPPING_GAIN_DB_PLUS_MINUS_12:
            return readNumber (text) / 24.0f + 0.5f;

        case MAPPING_FREQUENCY_10_TO_500_HZ:
        {
            if (text == "OFF")
                return 0.0f;

            const float hz = readNumber (text);

            if (hz < 10.0f)
                return 0.0f;

            return juce::jmin (1.0f, (hz - 10.0f) / 490.0f);
        }

        default:
            return 0.5f;
    }
}
