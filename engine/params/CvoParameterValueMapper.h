#pragma once

#include <juce_core/juce_core.h>

class CvoParameter;

/**
    Turns a parameter's normalised value into the text the host and the editor
    show, by the parameter's mapping kind, and for four kinds typed text back into
    a normalised value.

    The mapper holds no value: it reads only its kind and, for
    MAPPING_FREQUENCY_TO_NYQUIST, the sample rate of the processor reached through
    its parameter and the parameter's manager.

    Threads: the message thread and host threads, at the same time; never the
    audio thread (texts are allocated).
*/
class CvoParameterValueMapper
{
public:
    /** The display laws. The numbers are part of the interface: they are stored
        nowhere, but the parameter table is written in them. */
    enum CvoMappingENUM
    {
        MAPPING_NONE = 0,
        MAPPING_PERCENT = 1,
        MAPPING_PERCENT_SQUARED = 2,
        MAPPING_PERCENT_CUBED = 3,
        MAPPING_PERCENT_1_TO_100 = 4,
        MAPPING_PERCENT_0_TO_200 = 5,
        MAPPING_PERCENT_0_TO_90 = 6,
        MAPPING_PERCENT_50_TO_100 = 7,
        MAPPING_PERCENT_PLUS_MINUS_50 = 8,
        MAPPING_PERCENT_PLUS_MINUS_75 = 9,
        MAPPING_PERCENT_PLUS_MINUS_100 = 10,
        MAPPING_RAW_VALUE = 11,
        MAPPING_ON_OFF = 12,
        MAPPING_BYPASS = 13,
        MAPPING_MUTE = 14,
        MAPPING_MUTE_ALL = 15,
        MAPPING_MUTE_MID = 16,
        MAPPING_MUTE_SIDE = 17,
        MAPPING_SAFE_BASS = 18,
        MAPPING_SWAP = 19,
        MAPPING_PHASE_FLIP = 20,
        MAPPING_MONO = 21,
        MAPPING_CHANNEL_L_LR_R = 22,
        MAPPING_PAN_99 = 23,
        MAPPING_PAN_100 = 24,
        MAPPING_GAIN_DB_MINUS_INF_TO_PLUS_12 = 25,
        MAPPING_GAIN_DB_0_TO_PLUS_24 = 26,
        MAPPING_GAIN_DB_PLUS_MINUS_12 = 27,
        MAPPING_GAIN_DB_PLUS_MINUS_24_LINEAR = 28,
        MAPPING_GAIN_DB_PLUS_MINUS_24_SQUARED = 29,
        MAPPING_FREQUENCY_10_TO_500_HZ = 30,
        MAPPING_FREQUENCY_TO_NYQUIST = 31,
        MAPPING_CURVE_TYPE = 32,
        MAPPING_PAN_LAW = 33,
        MAPPING_LEVEL_MODE = 34,
        MAPPING_PAN_MODE = 35,
        MAPPING_PHASE_ALIGN = 36,
        MAPPING_NUMBER_1_TO_8 = 37,
        MAPPING_LETTER_A_TO_H = 38,
        MAPPING_NOTE_VALUE = 39,
        MAPPING_BEATS_1_2_4 = 40,
        MAPPING_STEP_TYPE = 41
    };

    /** parameter: the owning parameter (not owned; may be null, then the sample
        rate reads as 0). */
    CvoParameterValueMapper (CvoParameter* parameter, CvoMappingENUM mappingKind);
    ~CvoParameterValueMapper();

    /** Display text of the normalised value v [0..1 by convention, any float]. */
    juce::String normed2RealValueAsString (float v) const;

    /** Normalised value for typed text; kinds 5, 24, 27 and 30 read the text,
        every other kind answers 0.5. The number read is the leading number of the
        text (0 when there is none); NaN reads as 0, +/- infinity as the largest
        finite float of that sign, so the result is always finite. */
    float string2normedValueAsFloat (const juce::String& text) const;

private:
    /** Nearest integer of a single-precision product, halves to the even
        neighbour (juce::roundToInt on the value widened to double). NaN gives 0;
        values beyond the int range give the nearest int limit. */
    static int roundToIntGuarded (float x);

    /** Conversion toward zero with the same guards as roundToIntGuarded. */
    static int truncToIntGuarded (float x);

    /** The leading number of the text as a finite float (see above). */
    static float readNumber (const juce::String& text);

    double getSampleRate() const;

    CvoParameter* parameter;
    CvoMappingENUM mappingKind;

    JUCE_DECLARE_NON_COPYABLE (CvoParameterValueMapper)
};
