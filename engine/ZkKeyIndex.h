#pragma once

#include <juce_core/juce_core.h>

#include <unordered_map>

/**
    Where each key of a list stands, found by a hash of the whole key (its UTF-8
    bytes): a lookup costs about the key's length, whatever the list holds, so
    that keys sharing a long prefix cost no more than short ones (a linear
    search such as StringArray::indexOf compares the prefix with every key).

    Key names are compared with their letter case. Of equal keys, the first
    added counts, as StringArray::indexOf finds it. Holds no reference to the
    list it was made from.

    No locking: one thread at a time.
*/
class ZkKeyIndex
{
public:
    ZkKeyIndex() = default;

    /** The place of each key of keys there (the first of equal keys). */
    explicit ZkKeyIndex (const juce::StringArray& keys);

    /** key's place; -1 when it has none. */
    int indexOf (const juce::String& key) const;

    bool contains (const juce::String& key) const { return indexOf (key) >= 0; }

    /** Gives key the place index, unless it has one already. */
    void add (const juce::String& key, int index);

    /** key has no place any more. */
    void remove (const juce::String& key);

private:
    struct WholeKeyHash
    {
        size_t operator() (const juce::String& key) const noexcept;
    };

    std::unordered_map<juce::String, int, WholeKeyHash> places;
};
