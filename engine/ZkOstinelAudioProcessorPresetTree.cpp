// Current-preset tree, undo and host state chunk of ZkOstinelAudioProcessor.
//
// The tree and the undo manager are touched on the message thread (editor,
// presets, undo) and on a host thread (get/setStateInformation, program name);
// every access goes through presetTreeLock. The lock is never held while the
// host is called back (updateHostDisplay, setParameterNotifyingHost), so a host
// that holds its own lock while asking for the state cannot deadlock with us.

#include "engine/ZkHostStateChunk.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUtf8.h"

#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <optional>
#include <sstream>

namespace
{
const juce::Identifier presetTreeType{"ZkAudioPreset"};
const juce::Identifier parameterEntryType{"Parameter"};
const juce::Identifier pluginNameProperty{"ZkPluginName"};
const juce::Identifier presetNameProperty{"PresetName"};
const juce::Identifier presetIdProperty{"PresetID"};
const juce::Identifier presetTypeProperty{"PresetType"};
const juce::Identifier parameterNameProperty{"ParameterName"};
const juce::Identifier valueProperty{"Value"};

const char* const pluginName = "ZkOstinel";
const char* const stateElementTag = "ZkPLUGINSETTINGS";

// [pixels] Editor heights a chunk may carry. 0 is what a machine without a
// display computes; nothing larger than a very large screen is plausible.
constexpr int maxEditorHeight = 16384;

// Settings are bools, small ints, normalised values and a sample offset of at
// most eight characters; this bound keeps every conversion to int defined.
constexpr double maxSettingMagnitude = 1.0e8;

// Settings that the audio thread reports: live state, not preferences.
bool isLiveSetting (const juce::String& name)
{
    return name == "viInputSignalIsMono" || name == "viIsPlayingState" || name == "viIsRunningState";
}

// A property value read as a finite number: numbers as they are, text only
// when it is a well-formed decimal number. Anything else has no value.
std::optional<double> readFiniteNumber (const juce::var& value)
{
    if (value.isString())
        return ZkHostStateChunk::parseFiniteNumber (value.toString());

    if (value.isInt() || value.isInt64() || value.isBool())
        return (double)value;

    if (value.isDouble())
    {
        const auto d = (double)value;
        return std::isfinite (d) ? std::optional<double> (d) : std::nullopt;
    }

    return {};
}

// A finite double as the finite float it rounds to; magnitudes that round
// beyond the float range have none (converting them would be undefined). The
// largest float written with 15 digits reads back a little above it, and
// still rounds to it.
std::optional<float> toFiniteFloat (std::optional<double> value)
{
    constexpr double largest = (double)std::numeric_limits<float>::max();
    constexpr double halfTopStep = 0x1p103; // half the step between floats at the top of the range

    if (!value || !(std::abs (*value) < largest + halfTopStep))
        return {};

    if (std::abs (*value) > largest)
        return *value > 0.0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();

    return (float)*value;
}

int readIntOrZero (const juce::var& value)
{
    if (value.isString())
        return ZkHostStateChunk::parseInteger (value.toString()).value_or (0);

    const auto number = readFiniteNumber (value);

    if (!number || std::abs (*number) > (double)std::numeric_limits<int>::max())
        return 0;

    return (int)*number;
}

// The setting's value as it will be stored: integer text keeps an integer
// (a bool when the setting holds one), decimal text a double. So a setting
// keeps its text form through a restore and a chunk saves back unchanged.
juce::var settingValueFromText (const juce::String& text, double number, const juce::var& current)
{
    if (!ZkHostStateChunk::looksLikeInteger (text))
        return number;

    if (current.isBool() && (number == 0.0 || number == 1.0))
        return number != 0.0;

    return (int)number;
}

// The first child of tree whose "ParameterName" equals name (as getChildWithProperty
// compares), or an invalid tree. The processor's own trees hold one entry per
// parameter, made in index order, and no name twice: the child at the parameter's
// index is checked first, and a hit there is that first child. An entry that was
// removed or re-added elsewhere falls back to the linear search.
juce::ValueTree findParameterEntry (const juce::ValueTree& tree, int index, const juce::var& name)
{
    auto candidate = tree.getChild (index); // invalid for an index out of range
    if (candidate.isValid() && candidate.getProperty (parameterNameProperty) == name)
        return candidate;

    return tree.getChildWithProperty (parameterNameProperty, name);
}

// A copy with storage of its own, made while presetTreeLock is held, for a
// name handed to another thread (the host's, the editor's). A shared
// juce::String would be safe too, its reference count being atomic, but that
// count lives in framework code built without the thread sanitizer, which then
// reports the rewrite of the name on one host thread as a race with its read
// on another; with no storage shared there is nothing left to mistake.
juce::String unsharedCopy (const juce::String& text)
{
    return juce::String (text.getCharPointer());
}

// A program name as it is kept: at most maxProgramNameLength characters, and
// one trailing modified mark "*" when the name had one, so that a marked name
// of the longest length restores as it was saved.
juce::String boundedProgramName (const juce::String& name)
{
    constexpr int maxLength = ZkOstinelAudioProcessor::maxProgramNameLength;

    const bool marked = name.endsWithChar ('*');

    if (name.length() <= maxLength + (marked ? 1 : 0))
        return name;

    return name.substring (0, maxLength) + (marked ? "*" : "");
}

juce::String settingValueAsText (const juce::var& value)
{
    // A double that is not finite has no decimal text; it is stored as 0.
    if (value.isDouble() && !std::isfinite ((double)value))
        return juce::var (0.0).toString();

    const auto text = value.toString();

    // The framework's text has at most 16 significant digits, which not every
    // double needs but some do (a slider's value): those get all 17, so that
    // the restore reads back the same value.
    if (value.isDouble() &&
        ZkHostStateChunk::parseFiniteNumber (text) != std::optional<double> ((double)value))
    {
        std::ostringstream exact;
        exact.imbue (std::locale::classic());
        exact << std::setprecision (17) << (double)value;
        return exact.str();
    }

    return text;
}
} // namespace

const juce::String ZkOstinelAudioProcessor::getProgramName (int)
{
    return getCurrentPresetName();
}

void ZkOstinelAudioProcessor::changeProgramName (int, const juce::String& newName)
{
    {
        const juce::ScopedLock lock (presetTreeLock);

        if (currentPresetTree == nullptr || !currentPresetTree->isValid())
            return;

        currentPresetTree->setProperty (presetNameProperty, boundedProgramName (ZkUtf8::makeValid (newName)),
                                        undoManager.get());
    }

    // Only the program changed: the default flags would also report a latency change.
    updateHostDisplay (juce::AudioProcessor::ChangeDetails().withProgramChanged (true));
}

//==============================================================================
std::unique_ptr<juce::ValueTree> ZkOstinelAudioProcessor::createValueTreeForAllParameters()
{
    auto tree = std::make_unique<juce::ValueTree> (presetTreeType);
    tree->setProperty (pluginNameProperty, pluginName, nullptr);
    tree->setProperty (presetNameProperty, getCurrentPresetName(), nullptr);
    fillValueTreeWithAllParams (tree.get());
    return tree;
}

void ZkOstinelAudioProcessor::fillValueTreeWithAllParams (juce::ValueTree* tree)
{
    if (parameterManager == nullptr)
        return;

    const juce::ScopedLock lock (presetTreeLock);

    // A fresh tree: every lookup would miss (the names are distinct), so the entries
    // are appended in index order straight away.
    if (tree != nullptr && tree->isValid() && tree->getNumChildren() == 0)
    {
        for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
        {
            juce::ValueTree newEntry (parameterEntryType);
            newEntry.setProperty (parameterNameProperty, parameterManager->getParameterName (index), nullptr);
            newEntry.setProperty (valueProperty, (double)parameterManager->getParameterValue (index),
                                  nullptr);
            tree->appendChild (newEntry, nullptr);
        }
        return;
    }

    for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
        setParameterInValueTree (tree, index, parameterManager->getParameterValue (index));
}

void ZkOstinelAudioProcessor::setParameterInValueTree (juce::ValueTree* tree, const juce::String& name,
                                                       float value, juce::UndoManager* undo)
{
    setParameterInValueTreeAt (tree, -1, name, value, undo);
}

void ZkOstinelAudioProcessor::setParameterInValueTreeAt (juce::ValueTree* tree, int index,
                                                         const juce::String& name, float value,
                                                         juce::UndoManager* undo)
{
    if (tree == nullptr || !tree->isValid())
        return;

    const juce::ScopedLock lock (presetTreeLock);
    auto entry = findParameterEntry (*tree, index, name);

    if (entry.isValid())
    {
        entry.setProperty (valueProperty, (double)value, undo);
        return;
    }

    juce::ValueTree newEntry (parameterEntryType);
    newEntry.setProperty (parameterNameProperty, name, nullptr);
    newEntry.setProperty (valueProperty, (double)value, nullptr);
    tree->appendChild (newEntry, nullptr);
}

void ZkOstinelAudioProcessor::setParameterInValueTree (juce::ValueTree* tree, int index, float value)
{
    if (parameterManager == nullptr)
        return;

    setParameterInValueTreeAt (tree, index, parameterManager->getParameterName (index), value,
                               undoManager.get());
}

float ZkOstinelAudioProcessor::getParamValueFromValueTree (const juce::ValueTree* tree, int index) const
{
    if (tree == nullptr || !tree->isValid())
        return -1.0f;

    if (parameterManager == nullptr)
        return 0.0f;

    const juce::ScopedLock lock (presetTreeLock);
    const auto entry = findParameterEntry (*tree, index, parameterManager->getParameterName (index));

    if (!entry.isValid())
        return 0.0f;

    const auto number = readFiniteNumber (entry.getProperty (valueProperty));

    if (!number)
        return 0.0f;

    // Beyond the float range: the infinity of that sign, never an undefined conversion.
    if (std::abs (*number) > (double)std::numeric_limits<float>::max())
        return *number > 0.0 ? std::numeric_limits<float>::infinity()
                             : -std::numeric_limits<float>::infinity();

    return (float)*number;
}

void ZkOstinelAudioProcessor::recallAllParamsFromValueTree (const juce::ValueTree* tree)
{
    if (tree == nullptr || !tree->isValid() || parameterManager == nullptr)
        return;

    juce::String name;
    {
        const juce::ScopedLock lock (presetTreeLock);
        name = tree->getProperty (presetNameProperty).toString();
    }

    if (name.isNotEmpty())
        changeProgramName (0, name);

    for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
    {
        std::optional<float> value;
        {
            const juce::ScopedLock lock (presetTreeLock);
            const auto entry = findParameterEntry (*tree, index, parameterManager->getParameterName (index));

            if (entry.isValid())
                value = toFiniteFloat (readFiniteNumber (entry.getProperty (valueProperty)));
        }

        // An entry whose value is not a finite number is treated like a missing one.
        if (value && *value != parameterManager->getParameterValue (index))
            setParam (index, *value, juce::sendNotification, dontStartNewTransaction, false);
    }
}

void ZkOstinelAudioProcessor::copyAllPresetValuesFromValueTree (const juce::ValueTree& source)
{
    const juce::ScopedLock lock (presetTreeLock);

    if (!source.isValid() || currentPresetTree == nullptr || !currentPresetTree->isValid())
        return;

    currentPresetTree->copyPropertiesFrom (source, undoManager.get());

    // Each entry takes the first source child of its name. A source saved by the
    // processor holds the entries in the current tree's order: while every entry so
    // far found its own position holding its name as text, the names before this
    // position are those of the earlier entries (all different), so a hit at this
    // position is the first child of the name. From the first entry that does not,
    // the search is linear.
    bool sourceInOrder = true;
    int position = -1;

    for (auto entry : *currentPresetTree)
    {
        ++position;

        if (!entry.hasProperty (parameterNameProperty))
        {
            sourceInOrder = false;
            continue;
        }

        const auto& name = entry.getProperty (parameterNameProperty);
        juce::ValueTree sourceEntry;

        if (sourceInOrder)
        {
            sourceEntry = source.getChild (position);
            const auto& sourceName = sourceEntry.getProperty (parameterNameProperty);
            sourceInOrder = sourceEntry.isValid() && sourceName.isString() && sourceName == name;
        }

        if (!sourceInOrder)
            sourceEntry = source.getChildWithProperty (parameterNameProperty, name);

        // A source without this parameter, or without a readable value for it,
        // leaves the entry as it is, so the parameter keeps its value.
        if (!sourceEntry.isValid() ||
            !toFiniteFloat (readFiniteNumber (sourceEntry.getProperty (valueProperty))))
            continue;

        entry.copyPropertiesFrom (sourceEntry, undoManager.get());
    }
}

void ZkOstinelAudioProcessor::restorePresetAfterUndoOrRedo()
{
    if (currentPresetTree == nullptr)
        return;

    recallAllParamsFromValueTree (currentPresetTree.get());

    const juce::ScopedLock lock (presetTreeLock);
    currentPresetId = readIntOrZero (currentPresetTree->getProperty (presetIdProperty));

    // Loads record their kind with their id, so the flag follows the tree both
    // ways; a tree without a kind leaves it.
    const auto kind = currentPresetTree->getProperty (presetTypeProperty).toString();

    if (kind == "Factory")
        presetIsFactory = true;
    else if (kind == "User")
        presetIsFactory = false;
}

//==============================================================================
void ZkOstinelAudioProcessor::undoLastParameterChange()
{
    if (undoManager == nullptr)
        return;

    {
        const juce::ScopedLock lock (presetTreeLock);
        undoManager->undo();
    }

    restorePresetAfterUndoOrRedo();
}

void ZkOstinelAudioProcessor::redoLastParameterChange()
{
    if (undoManager == nullptr)
        return;

    {
        const juce::ScopedLock lock (presetTreeLock);
        undoManager->redo();
    }

    restorePresetAfterUndoOrRedo();
}

void ZkOstinelAudioProcessor::beginNewTransaction()
{
    const juce::ScopedLock lock (presetTreeLock);

    if (undoManager != nullptr)
        undoManager->beginNewTransaction();
}

void ZkOstinelAudioProcessor::setCurrentPresetNameUndoable (const juce::String& name)
{
    changeProgramName (0, name);
    beginNewTransaction();
}

void ZkOstinelAudioProcessor::clearUndoHistory()
{
    const juce::ScopedLock lock (presetTreeLock);

    if (undoManager != nullptr)
        undoManager->clearUndoHistory();
}

bool ZkOstinelAudioProcessor::canUndo() const
{
    const juce::ScopedLock lock (presetTreeLock);
    return undoManager != nullptr && undoManager->canUndo();
}

bool ZkOstinelAudioProcessor::canRedo() const
{
    const juce::ScopedLock lock (presetTreeLock);
    return undoManager != nullptr && undoManager->canRedo();
}

bool ZkOstinelAudioProcessor::canUndoOrRedo() const
{
    return canUndo() || canRedo();
}

juce::String ZkOstinelAudioProcessor::getCurrentPresetName() const
{
    const juce::ScopedLock lock (presetTreeLock);

    if (currentPresetTree == nullptr || !currentPresetTree->isValid())
        return "Init";

    auto name = currentPresetTree->hasProperty (presetNameProperty)
                    ? currentPresetTree->getProperty (presetNameProperty).toString()
                    : juce::String ("Init");

    // The modified mark: exactly one "*", at the end.
    if (presetWasModified)
        name = name.removeCharacters ("*") + "*";

    return unsharedCopy (name);
}

void ZkOstinelAudioProcessor::updateCurrentPresetID()
{
    const juce::ScopedLock lock (presetTreeLock);
    const auto name = getCurrentPresetName();
    const auto index = (presetIsFactory ? factoryPresetNames : userPresetNames).indexOf (name);

    if (index >= 0)
        currentPresetId = index;
}

void ZkOstinelAudioProcessor::revealUserPresetsFolder() const
{
    if (userPresetsFolder != nullptr)
        userPresetsFolder->revealToUser();
}

const juce::ValueTree& ZkOstinelAudioProcessor::getCurrentPresetTree() const
{
    static const juce::ValueTree none;
    return currentPresetTree != nullptr ? *currentPresetTree : none;
}

//==============================================================================
// Host state chunk (host thread)

void ZkOstinelAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement xml (stateElementTag);
    xml.setAttribute ("pluginName", pluginName);

    {
        const juce::ScopedLock lock (presetTreeLock);
        const auto brightness = (double)colourSchemeBrightness;
        xml.setAttribute ("defaultEditorHeight", defaultEditorHeight);
        xml.setAttribute ("lastEditorHeight", editorHeight);
        xml.setAttribute ("colourSchemeBrightnessAsDouble", std::isfinite (brightness) ? brightness : 0.3);
        xml.setAttribute ("programName", getCurrentPresetName());
        xml.setAttribute ("channelName", channelName);
        xml.setAttribute ("currentPresetIsFactory", presetIsFactory ? 1 : 0);
    }

    if (parameterManager != nullptr)
    {
        for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
        {
            auto value = (double)parameterManager->getParameterValue (index);

            // A value that is not finite has no decimal text; the default stands in for it.
            if (!std::isfinite (value))
                value = (double)parameterManager->getParameter (index)->getDefaultValue();

            xml.setAttribute (parameterManager->getParameterName (index), value);
        }
    }

    if (varItemManager != nullptr)
    {
        for (int id = 0; id < varItemManager->getNumberOfVarItems(); ++id)
            xml.setAttribute (varItemManager->getVarItemName (id),
                              settingValueAsText (varItemManager->getVar (id)));
    }

    ZkHostStateChunk::write (xml, destData);
}

void ZkOstinelAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    restoreHostState (data, sizeInBytes);
}

bool ZkOstinelAudioProcessor::restoreHostState (const void* data, int sizeInBytes)
{
    const auto xml = ZkHostStateChunk::read (data, sizeInBytes);

    if (xml == nullptr || xml->getTagName() != stateElementTag || !xml->hasAttribute ("pluginName") ||
        xml->getStringAttribute ("pluginName") != pluginName)
        return false;

    // An attribute that is present but unreadable, not finite or out of bounds
    // counts as missing for the editor sizes and settings; for a parameter it
    // leaves the current value (a missing parameter still becomes 0.0). A
    // parameter takes every value that setParameter takes from the host: any
    // finite float, also outside 0..1 (an automation overshoot is restored as
    // it sounded).
    const auto readEditorHeight = [&xml] (const char* name) -> std::optional<int>
    {
        const auto height = ZkHostStateChunk::parseInteger (xml->getStringAttribute (name));

        if (height && juce::isPositiveAndNotGreaterThan (*height, maxEditorHeight))
            return height;

        return {};
    };

    {
        const juce::ScopedLock lock (presetTreeLock);
        defaultEditorHeight = readEditorHeight ("defaultEditorHeight").value_or (defaultEditorHeight);
        editorHeight = readEditorHeight ("lastEditorHeight").value_or (defaultEditorHeight);
        colourSchemeBrightness = 0.3f;
    }

    changeProgramName (0, xml->getStringAttribute ("programName", "(NO NAME)"));

    {
        const juce::ScopedLock lock (presetTreeLock);

        if (xml->hasAttribute ("channelName"))
            channelName = ZkUtf8::makeValid (xml->getStringAttribute ("channelName"))
                              .substring (0, maxChannelNameLength);

        const auto isFactory =
            xml->hasAttribute ("currentPresetIsFactory")
                ? ZkHostStateChunk::parseInteger (xml->getStringAttribute ("currentPresetIsFactory"))
                : std::optional<int> (-1);
        presetIsFactory = isFactory == 1;

        if (isFactory && *isFactory != -1)
            updateCurrentPresetID();
    }

    if (parameterManager != nullptr)
    {
        juce::StringArray names;

        for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
            names.add (parameterManager->getParameterName (index));

        const auto texts = ZkHostStateChunk::findAttributes (*xml, names);

        for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
        {
            const auto& text = texts[(size_t)index];
            const auto value = toFiniteFloat (text ? ZkHostStateChunk::parseFiniteNumber (*text)
                                                   : std::optional<double> (0.0));

            if (!value)
                continue;

            parameterManager->setParameterValue (index, *value);
            calculateProcessingValueFromParam (index, *value);
        }
    }

    if (varItemManager != nullptr)
    {
        juce::StringArray names;

        for (int id = 0; id < varItemManager->getNumberOfVarItems(); ++id)
            names.add (varItemManager->getVarItemName (id));

        const auto texts = ZkHostStateChunk::findAttributes (*xml, names);

        for (int id = 0; id < varItemManager->getNumberOfVarItems(); ++id)
        {
            const auto name = varItemManager->getVarItemName (id);
            const auto text = texts[(size_t)id].value_or ("0.0");
            const auto number = ZkHostStateChunk::parseFiniteNumber (text);

            if (!number || std::abs (*number) > maxSettingMagnitude)
                continue;

            const auto value = settingValueFromText (text, *number, varItemManager->getVar (id));

            // The play, run and mono states belong to the audio thread: they are
            // stored for the editor but not applied, so a restore never stops a
            // running gate. The forced update below lets the next block report
            // the real states again.
            if (isLiveSetting (name))
                varItemManager->setVarItemValue (name, value);
            else
                setVarItemValue (name, value);
        }
    }

    forceStateUpdate = true;

    const juce::ScopedLock lock (presetTreeLock);
    fillValueTreeWithAllParams (currentPresetTree.get());
    recordCurrentPresetKind();
    return true;
}
