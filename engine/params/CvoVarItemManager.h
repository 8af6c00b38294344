#pragma once

#include "CvoVarItem.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>

/**
    Owns the settings (id = position) and the list of settings modified since the
    editor last pulled them.

    The modified list is kept without a lock or an allocation: every setting has a
    queued flag and the stamp of the moment it was put on the list (from this
    manager's counter). A write raises the flag, taking a new stamp only when the
    setting is not already queued, so a setting is on the list at most once and
    keeps its place. pullNextModifiedVarItem takes the queued setting with the
    highest stamp (the one queued most recently) and clears its flag with one
    exchange. Each write's raise is consumed by at most one pull, and the pull that
    consumes it sees that write's value (or a later one); under concurrent writes
    the newest-first order is as good as the writers' timing allows.

    Threads: the settings are added on the message thread before other threads see
    the manager. Writes come from the audio thread (mono input, play and run state;
    use the id overload there, which needs no string compare), from host threads
    and from the message thread; the message thread reads and drains the list. No
    operation used after construction allocates or locks, apart from the texts
    returned by getVarItemName.
*/
class CvoVarItemManager
{
public:
    CvoVarItemManager();
    ~CvoVarItemManager();

    /** Appends a setting with that name and value and gives it its position as id.
        No check for an existing name; the new setting is not queued. Message
        thread, while building. */
    void addVarItem (const juce::String& name, const juce::var& value);

    int getNumberOfVarItems() const { return varItems.size(); }

    /** The first setting, in id order, with exactly this name (case-sensitive);
        null when none. */
    CvoVarItem* getVarItem (const juce::String& name) const;

    /** The setting with this id; null when none. */
    CvoVarItem* getVarItem (int id) const;

    /** A copy of the setting's value; a void var for a name or id not in the list. */
    juce::var getVar (const juce::String& name) const;
    juce::var getVar (int id) const;

    /** Name of the setting at that position; empty text outside the list. */
    juce::String getVarItemName (int index) const;

    /** Stores the value (always, even when equal to the old one; see
        CvoVarItem::setVar for the conversions) and queues the setting unless it
        is already queued. A name or id not in the list, or a refused (non-finite)
        value, changes nothing and queues nothing. Returns true when the value was
        stored. Any thread; the id form is the one for the audio thread. */
    bool setVarItemValue (const juce::String& name, const juce::var& value);
    bool setVarItemValue (int id, const juce::var& value);

    /** True when some setting waits to be pulled. Any thread. */
    bool hasModifiedVarItems() const;

    /** Takes the setting queued most recently off the list and returns it; null
        when none is queued. Message thread (one consumer). */
    CvoVarItem* pullNextModifiedVarItem();

private:
    bool storeAndQueue (CvoVarItem* item, const juce::var& value);

    juce::OwnedArray<CvoVarItem> varItems;
    std::atomic<std::uint64_t> lastQueueStamp{0};

    JUCE_DECLARE_NON_COPYABLE (CvoVarItemManager)
};
