#pragma once

// The text invariant that the fuzz targets check on what the bounded reader
// accepted: every tag, attribute and text of the parsed tree is well-formed
// UTF-8. The reader takes what earlier versions took (overlong forms, encoded
// surrogates, references to no character) but repairs it before the parser
// builds any text.

#include "engine/ZkUtf8.h"

#include <juce_core/juce_core.h>

#include <cstring>
#include <vector>

/** True for no element, or one whose tree holds only well-formed UTF-8. */
inline bool holdsOnlyWellFormedText (const juce::XmlElement* root)
{
    const auto isWellFormed = [] (const juce::String& text)
    { return ZkUtf8::isValid (text.toRawUTF8(), std::strlen (text.toRawUTF8())); };

    std::vector<const juce::XmlElement*> pending;
    if (root != nullptr)
        pending.push_back (root);

    while (!pending.empty())
    {
        const auto* element = pending.back();
        pending.pop_back();

        if (element->isTextElement() ? !isWellFormed (element->getText())
                                     : !isWellFormed (element->getTagName()))
            return false;

        for (int i = 0; i < element->getNumAttributes(); ++i)
            if (!isWellFormed (element->getAttributeName (i)) ||
                !isWellFormed (element->getAttributeValue (i)))
                return false;

        for (auto* child : element->getChildIterator())
            pending.push_back (child);
    }

    return true;
}
