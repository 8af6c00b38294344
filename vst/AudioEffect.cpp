#include "vst/AudioEffect.h"

#include "vst/VstText.h"

#include <cmath>
#include <cstring>

namespace
{
// "NoEf": the unique ID of a record that no plug-in has claimed yet.
constexpr VstInt32 kUnclaimedUniqueId = 0x4E6F4566;

// float2string writes eight characters counting sign and point, so a
// non-negative value keeps at most seven integer digits and a negative one six.
// Values whose integer part needs more give "Huge!" rather than a text with its
// leading digits cut off.
constexpr double kLargestPositiveForText = 10000000.0; // first value without room
constexpr double kLargestNegativeForText = 1000000.0;  // first magnitude without room
constexpr int kFloatTextWidth = 8;

// int2string's nine divisors give at most nine digits.
constexpr long long kIntTextLimit = 100000000;

AudioEffect* objectOf (AEffect* e) noexcept
{
    return e != nullptr ? static_cast<AudioEffect*> (e->object) : nullptr;
}
} // namespace

AudioEffect::AudioEffect (audioMasterCallback audioMasterToUse, VstInt32 numProgramsToUse,
                          VstInt32 numParamsToUse)
    : audioMaster (audioMasterToUse)
    , numPrograms (numProgramsToUse)
    , numParams (numParamsToUse)
{
    std::memset (&cEffect, 0, sizeof (cEffect));

    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = __processClassDeprecated;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numProgramsToUse;
    cEffect.numParams = numParamsToUse;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = kUnclaimedUniqueId;
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

void AudioEffect::setFlag (VstInt32 flag, bool state) noexcept
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

//==============================================================================
VstIntPtr AudioEffect::dispatcher (VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    auto* text = static_cast<char*> (ptr);

    switch (opcode)
    {
        case effOpen:
            open();
            return 0;

        case effClose:
            close();
            return 0;

        case effSetProgram:
            if (value < numPrograms)
                setProgram (static_cast<VstInt32> (value));
            return 0;

        case effGetProgram:
            return getProgram();

        case effSetProgramName:
            if (text != nullptr)
                setProgramName (text);
            return 0;

        case effGetProgramName:
            if (text != nullptr)
                getProgramName (text);
            return 0;

        case effGetParamLabel:
            if (text != nullptr)
                getParameterLabel (index, text);
            return 0;

        case effGetParamDisplay:
            if (text != nullptr)
                getParameterDisplay (index, text);
            return 0;

        case effGetParamName:
            if (text != nullptr)
                getParameterName (index, text);
            return 0;

        case effSetSampleRate:
            // A rate that is not a positive finite number is no rate: keep the last one.
            if (std::isfinite (opt) && opt > 0.0f)
                setSampleRate (opt);
            return 0;

        case effSetBlockSize:
        {
            const auto size = static_cast<VstInt32> (value);

            if (size > 0)
                setBlockSize (size);
            return 0;
        }

        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;

        case effEditGetRect:
            if (editor != nullptr && ptr != nullptr)
                return editor->getRect (static_cast<ERect**> (ptr)) ? 1 : 0;
            return 0;

        case effEditOpen:
            if (editor != nullptr)
                return editor->open (ptr) ? 1 : 0;
            return 0;

        case effEditClose:
            if (editor != nullptr)
                editor->close();
            return 0;

        case effEditIdle:
            if (editor != nullptr)
                editor->idle();
            return 0;

        case effIdentify:
            return kEffectIdentify;

        case effGetChunk:
            if (ptr == nullptr)
                return 0;
            return getChunk (static_cast<void**> (ptr), index != 0);

        case effSetChunk:
        {
            const auto byteSize = static_cast<VstInt32> (value);

            if (ptr == nullptr || byteSize <= 0)
                return 0;
            return setChunk (ptr, byteSize, index != 0);
        }

        default:
            return 0;
    }
}

//==============================================================================
void AudioEffect::setParameterAutomated (VstInt32 index, float value)
{
    setParameter (index, value);

    if (audioMaster != nullptr)
        audioMaster (&cEffect, audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion()
{
    if (audioMaster == nullptr)
        return 1;

    const auto version =
        static_cast<VstInt32> (audioMaster (&cEffect, audioMasterVersion, 0, 0, nullptr, 0.0f));
    return version != 0 ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId()
{
    if (audioMaster == nullptr)
        return 0;

    return static_cast<VstInt32> (audioMaster (&cEffect, audioMasterCurrentId, 0, 0, nullptr, 0.0f));
}

void AudioEffect::masterIdle()
{
    if (audioMaster != nullptr)
        audioMaster (&cEffect, audioMasterIdle, 0, 0, nullptr, 0.0f);
}

bool AudioEffect::__isInputConnectedDeprecated (VstInt32 input)
{
    if (audioMaster == nullptr)
        return true;

    return static_cast<VstInt32> (audioMaster (&cEffect, audioMasterPinConnected, input, 0, nullptr, 0.0f)) ==
           0;
}

bool AudioEffect::__isOutputConnectedDeprecated (VstInt32 output)
{
    if (audioMaster == nullptr)
        return true;

    return static_cast<VstInt32> (
               audioMaster (&cEffect, audioMasterPinConnected, output, 1, nullptr, 0.0f)) == 0;
}

//==============================================================================
void AudioEffect::dB2string (float value, char* text, VstInt32 maxLen)
{
    if (value <= 0.0f)
        vstCopyText (text, "-oo", maxLen);
    else
        float2string (static_cast<float> (20.0 * std::log10 (static_cast<double> (value))), text, maxLen);
}

void AudioEffect::Hz2string (float samples, char* text, VstInt32 maxLen)
{
    if (samples == 0.0f)
        float2string (0.0f, text, maxLen);
    else
        float2string (getSampleRate() / samples, text, maxLen);
}

void AudioEffect::ms2string (float samples, char* text, VstInt32 maxLen)
{
    const double milliseconds =
        static_cast<double> (samples) * 1000.0 / static_cast<double> (getSampleRate());
    float2string (static_cast<float> (milliseconds), text, maxLen);
}

void AudioEffect::float2string (float value, char* text, VstInt32 maxLen)
{
    double v = value;

    // NaN has no digits; converting it to an integer below would be undefined.
    if (std::isnan (v))
    {
        vstCopyText (text, "NaN", maxLen);
        return;
    }

    const bool negative = v < 0.0;
    int c = 0; // characters used so far, of kFloatTextWidth

    if (negative)
    {
        v = -v;
        c = 1;
    }

    if (v >= (negative ? kLargestNegativeForText : kLargestPositiveForText))
    {
        vstCopyText (text, "Huge!", maxLen);
        return;
    }

    // Integer digits from the right, in reverse, then the sign in front.
    char reversed[kFloatTextWidth + 1];
    int numReversed = 0;
    auto integer = static_cast<long long> (std::floor (v)); // below 10^7, so exact

    ++c; // the point
    reversed[numReversed++] = static_cast<char> ('0' + integer % 10);
    ++c;

    for (integer /= 10; integer >= 1 && c < kFloatTextWidth; integer /= 10)
    {
        reversed[numReversed++] = static_cast<char> ('0' + integer % 10);
        ++c;
    }

    char result[2 * kFloatTextWidth + 1];
    int length = 0;

    if (negative)
        result[length++] = '-';

    while (numReversed > 0)
        result[length++] = reversed[--numReversed];

    result[length++] = '.';

    // Fraction digits, truncated (never rounded), from the right.
    if (c < kFloatTextWidth)
    {
        const int numFractionDigits = kFloatTextWidth - c;
        double number = std::fmod (v, 1.0) * std::pow (10.0, numFractionDigits); // below 10^6

        for (int i = numFractionDigits - 1; i >= 0; --i)
        {
            if (number > 0.0)
            {
                result[length + i] = static_cast<char> ('0' + static_cast<long long> (number) % 10);
                number /= 10.0;
            }
            else
            {
                result[length + i] = '0';
            }
        }

        length += numFractionDigits;
    }

    result[length] = 0;
    vstCopyText (text, result, maxLen);
}

void AudioEffect::int2string (VstInt32 value, char* text, VstInt32 maxLen)
{
    // Widened first: negating the most negative 32-bit value would overflow.
    auto v = static_cast<long long> (value);
    const bool negative = v < 0;

    if (negative)
        v = -v;

    // Nine digits at most, on either side of zero.
    if (v >= kIntTextLimit)
    {
        vstCopyText (text, "Huge!", maxLen);
        return;
    }

    char result[16];
    int length = 0;

    if (negative)
        result[length++] = '-';

    bool started = false;

    for (long long divisor = kIntTextLimit; divisor >= 1; divisor /= 10)
    {
        const auto digit = v / divisor;
        v -= digit * divisor;

        if (digit > 0 || started || divisor == 1)
        {
            result[length++] = static_cast<char> ('0' + digit);
            started = true;
        }
    }

    result[length] = 0;
    vstCopyText (text, result, maxLen);
}

//==============================================================================
// No exception may leave a call from the host: it would unwind into a C caller
// and end the host's process. An operation that fails by exception (an
// allocation the system refuses) answers as a call that did nothing: 0 from the
// dispatcher and parameter reads, silence from the process calls. The objects
// keep their own state consistent on the way out (the wrapper's process gate,
// for one, stays closed and lets later blocks pass through).

namespace
{
template <typename Sample>
void silenceOutputs (const AEffect* e, Sample** outputs, VstInt32 sampleFrames) noexcept
{
    if (outputs == nullptr || sampleFrames <= 0)
        return;

    for (VstInt32 channel = 0; channel < e->numOutputs; ++channel)
        if (outputs[channel] != nullptr)
            std::memset (outputs[channel], 0, static_cast<std::size_t> (sampleFrames) * sizeof (Sample));
}
} // namespace

VstIntPtr AudioEffect::dispatchEffectClass (AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt) noexcept
{
    auto* effect = objectOf (e);

    if (effect == nullptr)
        return 0;

    if (opcode == effClose)
    {
        try
        {
            effect->dispatcher (opcode, index, value, ptr, opt);
        }
        catch (...)
        {
            // Closed all the same: the host lets go of the record now.
        }

        delete effect;
        return 1;
    }

    try
    {
        return effect->dispatcher (opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

float AudioEffect::getParameterClass (AEffect* e, VstInt32 index) noexcept
{
    auto* effect = objectOf (e);

    try
    {
        return effect != nullptr ? effect->getParameter (index) : 0.0f;
    }
    catch (...)
    {
        return 0.0f;
    }
}

void AudioEffect::setParameterClass (AEffect* e, VstInt32 index, float value) noexcept
{
    try
    {
        if (auto* effect = objectOf (e))
            effect->setParameter (index, value);
    }
    catch (...)
    {
        // The write did not happen.
    }
}

// The three process callbacks run on the host's audio thread: the handlers
// allocate nothing, and on the path that throws nothing they cost nothing.
void AudioEffect::__processClassDeprecated (AEffect* e, float** inputs, float** outputs,
                                            VstInt32 sampleFrames) noexcept
{
    try
    {
        if (auto* effect = objectOf (e))
            effect->__processDeprecated (inputs, outputs, sampleFrames);
    }
    catch (...)
    {
        // Accumulating: adding nothing is the silent answer.
    }
}

void AudioEffect::processClassReplacing (AEffect* e, float** inputs, float** outputs,
                                         VstInt32 sampleFrames) noexcept
{
    try
    {
        if (auto* effect = objectOf (e))
            effect->processReplacing (inputs, outputs, sampleFrames);
    }
    catch (...)
    {
        silenceOutputs (e, outputs, sampleFrames);
    }
}

void AudioEffect::processClassDoubleReplacing (AEffect* e, double** inputs, double** outputs,
                                               VstInt32 sampleFrames) noexcept
{
    try
    {
        if (auto* effect = objectOf (e))
            effect->processDoubleReplacing (inputs, outputs, sampleFrames);
    }
    catch (...)
    {
        silenceOutputs (e, outputs, sampleFrames);
    }
}
