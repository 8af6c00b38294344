#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>

/**
    One named setting that the host does not automate (editor preferences,
    processing switches, states that the audio processing reports to the editor).

    The value is a bool, an int or a double, kept as one 64-bit atomic word so that
    it is always read and written whole: a double as its own bits, an int or a bool
    packed into a NaN pattern (a stored double is always finite, so no double has
    those bits). getVar builds a juce::var from it; bool, int and double vars never
    allocate.

    Threads: getVar and setVar run on any thread, the audio thread included, and
    neither allocate nor lock. id and name are set before other threads see the
    item.
*/
class CvoVarItem
{
public:
    /** A value that setVar refuses (not finite) starts the item as double 0.0. */
    CvoVarItem (const juce::String& name, const juce::var& value);
    ~CvoVarItem();

    int getId() const { return id; }
    void setId (int newId) { id = newId; }

    juce::String getName() const { return name; }

    /** A copy of the value: a bool, int or double var. */
    juce::var getVar() const;

    /** Stores the value, keeping its type:
        - bool, int and double as they are; a 64-bit int becomes an int, bounded to
          the int range;
        - any other var (text, void, ...) becomes a double through the var's own
          numeric conversion (text "1.5" reads 1.5, void 0.0);
        - a double that is not finite (NaN, infinity) is refused: nothing is stored
          and false is returned;
        - on an item made with an int value (an integral setting such as a sample
          offset or a tab number) a double is bounded to the int range, so that
          reading it back as an int is always defined.
        Returns true when the value was stored. */
    bool setVar (const juce::var& newValue);

private:
    static bool encode (const juce::var& value, bool boundToIntRange, std::uint64_t& bits);
    static juce::var decode (std::uint64_t bits);

    int id = -1;
    const juce::String name;
    const bool holdsIntegers;
    std::atomic<std::uint64_t> value{0};

    // Modified-list bookkeeping of the owning CvoVarItemManager: whether the item
    // waits to be pulled, and the order in which it was queued.
    std::atomic<bool> queued{false};
    std::atomic<std::uint64_t> queueStamp{0};
    friend class CvoVarItemManager;

    JUCE_DECLARE_NON_COPYABLE (CvoVarItem)
};
