#pragma once

// Helpers shared by the tests of the current-preset tree, the undo history,
// the host state chunk and the pattern commands.

#include "engine/ZkOstinelAudioProcessor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace zktest
{
inline int indexOf (ZkOstinelAudioProcessor& p, const juce::String& name)
{
    const auto index = p.getParameterManager()->getParameterIndex (name);
    EXPECT_GE (index, 0) << name;
    return index;
}

inline float valueOf (ZkOstinelAudioProcessor& p, const juce::String& name)
{
    return p.getParameterManager()->getParameterValue (indexOf (p, name));
}

inline std::vector<float> allParameterValues (ZkOstinelAudioProcessor& p)
{
    std::vector<float> values;
    auto* manager = p.getParameterManager();

    for (int i = 0; i < manager->getNumberOfParameters(); ++i)
        values.push_back (manager->getParameterValue (i));

    return values;
}

inline juce::MemoryBlock stateOf (ZkOstinelAudioProcessor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}

inline void restore (ZkOstinelAudioProcessor& p, const juce::MemoryBlock& block)
{
    p.setStateInformation (block.getData(), (int)block.getSize());
}

/** The XML text of a chunk written by the processor (between header and terminator). */
inline juce::String chunkText (const juce::MemoryBlock& block)
{
    if (block.getSize() < 9)
        return {};

    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int)block.getSize() - 9);
}

/** A chunk around any text, with the header as the processor writes it. */
inline juce::MemoryBlock chunkAround (const juce::String& text)
{
    const auto utf8 = text.toStdString();
    juce::MemoryBlock block (8 + utf8.size() + 1, true);
    auto* bytes = static_cast<uint8_t*> (block.getData());
    const uint32_t magic = 0x21324356, length = (uint32_t)utf8.size();

    for (int i = 0; i < 4; ++i)
    {
        bytes[i] = (uint8_t)(magic >> (8 * i));
        bytes[4 + i] = (uint8_t)(length >> (8 * i));
    }

    std::memcpy (bytes + 8, utf8.data(), utf8.size());
    return block;
}

/** The processor's own chunk with one attribute changed (or removed when value is null). */
inline juce::MemoryBlock chunkWithAttribute (ZkOstinelAudioProcessor& p, const juce::String& name,
                                             const juce::String* value)
{
    auto xml = juce::parseXML (chunkText (stateOf (p)));

    if (value == nullptr)
        xml->removeAttribute (name);
    else
        xml->setAttribute (name, *value);

    return chunkAround (xml->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()));
}

/** Counts the host notifications of parameter changes. */
struct ParameterChangeCounter : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override
    {
        ++count;
        lastIndex = index;
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    int count = 0;
    int lastIndex = -1;
};
} // namespace zktest
