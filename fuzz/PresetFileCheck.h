#pragma once

// The check that the preset file fuzz target runs on every input and the
// engine tests run on every file of its corpus: the bytes are read in memory
// by the file format reader, then written as the preset "Fuzz" into the
// processor's presets folder, listed and loaded by name.

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUserPresetFile.h"
#include "engine/ZkUtf8.h"
#include "fuzz/NestingCheck.h"
#include "fuzz/TextCheck.h"

#include <juce_core/juce_core.h>

#include <cstring>
#include <vector>

struct PresetFileCheckResult
{
    bool invariantsHold = false; // false: a fault was found
    bool loaded = false;         // the bytes loaded as a preset
};

/** Message thread. Listing and loading must agree, only a readable file may
    load, a refused file leaves the preset's name and values unchanged, and a
    readable one nests no deeper than the reader allows and holds only
    well-formed text. */
inline PresetFileCheckResult checkPresetFileBytes (ZkOstinelAudioProcessor& processor, const void* data,
                                                   size_t size)
{
    PresetFileCheckResult result;

    juce::MemoryInputStream memory (data, size, false);
    const auto document = ZkUserPresetFile::readDocument (memory);
    const bool readable = document != nullptr;

    const auto file = processor.getUserPresetsFolder().getChildFile ("Fuzz.zkp");
    if (!file.replaceWithData (data, size))
        return result;

    auto* parameters = processor.getParameterManager();
    std::vector<float> valuesBefore;
    for (int i = 0; i < parameters->getNumberOfParameters(); ++i)
        valuesBefore.push_back (parameters->getParameterValue (i));
    const auto nameBefore = processor.getCurrentPresetName();

    const bool listed = processor.getAllUserPresetNames().contains ("Fuzz");
    result.loaded = processor.loadUserPresetUndoableWithName ("Fuzz");

    bool unchanged = processor.getCurrentPresetName() == nameBefore;
    for (int i = 0; i < parameters->getNumberOfParameters(); ++i)
        unchanged = unchanged && parameters->getParameterValue (i) == valuesBefore[(size_t)i];

    result.invariantsHold = listed == result.loaded && (readable || !result.loaded) &&
                            (result.loaded || unchanged) && nestsWithinReaderDepth (document.get()) &&
                            holdsOnlyWellFormedText (document.get());

    // Keeps the undo history from growing over many inputs.
    processor.clearUndoHistory();

    // Whatever the file held, the name is well-formed UTF-8.
    const auto name = processor.getCurrentPresetName();
    result.invariantsHold =
        result.invariantsHold && ZkUtf8::isValid (name.toRawUTF8(), std::strlen (name.toRawUTF8()));
    return result;
}
