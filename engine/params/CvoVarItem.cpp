#include "CvoVarItem.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace
{
// Exponent all ones with a non-zero mantissa: NaN patterns, which a finite double
// never has. The low 32 bits carry the int or the bool.
constexpr std::uint64_t tagMask = 0xffff000000000000ull;
constexpr std::uint64_t intTag = 0x7ff1000000000000ull;
constexpr std::uint64_t boolTag = 0x7ff2000000000000ull;

constexpr double intMin = static_cast<double> (std::numeric_limits<int>::min());
constexpr double intMax = static_cast<double> (std::numeric_limits<int>::max());

std::uint64_t bitsOfDouble (double d)
{
    std::uint64_t bits = 0;
    std::memcpy (&bits, &d, sizeof (bits));
    return bits;
}

double doubleOfBits (std::uint64_t bits)
{
    double d = 0.0;
    std::memcpy (&d, &bits, sizeof (d));
    return d;
}

std::uint64_t bitsOfInt (int i)
{
    return intTag | static_cast<std::uint32_t> (i);
}
} // namespace

CvoVarItem::CvoVarItem (const juce::String& itemName, const juce::var& initialValue)
    : name (itemName)
    , holdsIntegers (initialValue.isInt() || initialValue.isInt64())
{
    if (!setVar (initialValue))
        value.store (bitsOfDouble (0.0), std::memory_order_relaxed);
}

CvoVarItem::~CvoVarItem() = default;

juce::var CvoVarItem::getVar() const
{
    return decode (value.load (std::memory_order_acquire));
}

bool CvoVarItem::setVar (const juce::var& newValue)
{
    std::uint64_t bits = 0;

    if (!encode (newValue, holdsIntegers, bits))
        return false;

    value.store (bits, std::memory_order_release);
    return true;
}

bool CvoVarItem::encode (const juce::var& v, bool boundToIntRange, std::uint64_t& bits)
{
    if (v.isBool())
    {
        bits = boolTag | (static_cast<bool> (v) ? 1u : 0u);
        return true;
    }

    if (v.isInt())
    {
        bits = bitsOfInt (static_cast<int> (v));
        return true;
    }

    if (v.isInt64())
    {
        const auto wide = static_cast<juce::int64> (v);
        bits = bitsOfInt (static_cast<int> (juce::jlimit<juce::int64> (
            std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), wide)));
        return true;
    }

    // A double, or any other type through the var's numeric conversion.
    double d = static_cast<double> (v);

    if (!std::isfinite (d))
        return false;

    if (boundToIntRange)
        d = juce::jlimit (intMin, intMax, d);

    bits = bitsOfDouble (d);
    return true;
}

juce::var CvoVarItem::decode (std::uint64_t bits)
{
    const auto tag = bits & tagMask;

    if (tag == intTag)
        return static_cast<int> (static_cast<std::uint32_t> (bits));

    if (tag == boolTag)
        return (bits & 1u) != 0;

    return doubleOfBits (bits);
}
