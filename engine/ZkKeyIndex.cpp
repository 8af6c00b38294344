#include "engine/ZkKeyIndex.h"

#include <functional>
#include <string_view>

ZkKeyIndex::ZkKeyIndex (const juce::StringArray& keys)
{
    places.reserve ((size_t)keys.size());

    for (int i = 0; i < keys.size(); ++i)
        add (keys[i], i);
}

int ZkKeyIndex::indexOf (const juce::String& key) const
{
    const auto found = places.find (key);
    return found != places.end() ? found->second : -1;
}

void ZkKeyIndex::add (const juce::String& key, int index)
{
    places.emplace (key, index);
}

void ZkKeyIndex::remove (const juce::String& key)
{
    places.erase (key);
}

size_t ZkKeyIndex::WholeKeyHash::operator() (const juce::String& key) const noexcept
{
    // The library's hash of the bytes mixes them far better than the
    // framework's polynomial string hash, whose collisions are easily made.
    return std::hash<std::string_view>{}(std::string_view (key.toRawUTF8(), key.getNumBytesAsUTF8()));
}
