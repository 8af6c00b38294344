#pragma once

// The nesting invariant that every fuzz target checks on what the bounded
// reader accepted: the parsed tree is no deeper than the reader's limit, so
// the parser's recursion (and anything that walks the tree) stays shallow. A
// deeper tree means the reader's scan and the parser read the markup apart.

#include "engine/ZkBoundedXmlReader.h"

#include <juce_core/juce_core.h>

#include <utility>
#include <vector>

/** True for no element, or one nesting at most ZkBoundedXmlReader::maxDepth deep. */
inline bool nestsWithinReaderDepth (const juce::XmlElement* root)
{
    if (root == nullptr)
        return true;

    std::vector<std::pair<const juce::XmlElement*, int>> pending{{root, 1}};

    while (!pending.empty())
    {
        const auto [element, depth] = pending.back();
        pending.pop_back();

        if (depth > ZkBoundedXmlReader::maxDepth)
            return false;

        for (auto* child : element->getChildIterator())
            if (!child->isTextElement())
                pending.emplace_back (child, depth + 1);
    }

    return true;
}
