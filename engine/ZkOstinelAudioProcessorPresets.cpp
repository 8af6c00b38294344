// Factory presets, the lists of factory and user presets, loading by id and
// by name, stepping through both lists, and the user preset files with their
// folder. Everything here runs on the message thread.
//
// The current preset tree and the preset bookkeeping (current id, kind,
// modified mark, name lists) are also read by the host's state calls on a host
// thread, so they are touched under presetTreeLock; the lock is never held
// while parameters are written or the host is called (recall, program name).

#include "engine/ZkOstinelAudioProcessor.h"

#include "engine/ZkFactoryPresets.h"
#include "engine/ZkHomeFolder.h"
#include "engine/ZkPresetName.h"
#include "engine/ZkUserPresetFile.h"

#include <cmath>
#include <vector>

namespace
{
const juce::Identifier presetTreeType ("ZkAudioPreset");
const juce::Identifier presetNameId ("PresetName");
const juce::Identifier presetIdId ("PresetID");
const juce::Identifier presetTypeId ("PresetType");
const juce::Identifier parameterNameId ("ParameterName");
const juce::Identifier valueId ("Value");
const juce::String presetsFolderKey ("Presets Folder");
const juce::String presetFileExtension (".zkp");

/** True when v is a number given as text (or a number) whose value is finite. */
bool isFiniteNumber (const juce::var& v)
{
    if (v.isDouble() || v.isInt() || v.isInt64())
        return std::isfinite ((double)v);

    const auto text = v.toString().trim();
    return text.isNotEmpty() && text.containsOnly ("0123456789+-.eE") &&
           std::isfinite (text.getDoubleValue());
}

/** The user presets folder when path names a folder that exists or could be
    made; an empty file otherwise. Relative paths are refused: they would
    depend on the host's working folder. */
juce::File usableFolder (const juce::String& path)
{
    if (path.isEmpty() || !juce::File::isAbsolutePath (path))
        return {};

    const juce::File folder (path);

    if (!folder.isDirectory() && (folder.exists() || folder.createDirectory().failed()))
        return {};

    return folder;
}
} // namespace

//==============================================================================
// Factory presets

void ZkOstinelAudioProcessor::initFactoryPresets()
{
    for (int id = 0; id < ZkFactoryPresets::numPresets; ++id)
        addFactoryPreset (ZkFactoryPresets::getName (id), ZkFactoryPresets::getPairs (id));

    loadFactoryPresetUndoableWithID (0);
}

void ZkOstinelAudioProcessor::addFactoryPreset (const juce::String& name, juce::StringPairArray pairs)
{
    if (parameterManager == nullptr)
        return;

    const int id = factoryPresetTrees.size();
    auto tree = createValueTreeForAllParameters();

    if (tree == nullptr)
        return;

    tree->setProperty (presetNameId, name, nullptr);
    tree->setProperty (presetIdId, id, nullptr);

    const auto& keys = pairs.getAllKeys();
    const auto& values = pairs.getAllValues();

    // The position of each key's first occurrence (as keys.indexOf finds it), hashed:
    // most of the 300 names are no key, and a linear search would compare them all.
    juce::HashMap<juce::String, int> pairOfKey (juce::jmax (1, 2 * keys.size()));

    for (int pair = keys.size(); --pair >= 0;)
        pairOfKey.set (keys[pair], pair);

    for (int index = 0; index < parameterManager->getNumberOfParameters(); ++index)
    {
        const auto parameterName = parameterManager->getParameterName (index);
        const int pair = pairOfKey.contains (parameterName) ? pairOfKey[parameterName] : -1;

        if (pair < 0)
            continue;

        const float value = values[pair].getFloatValue();

        if (std::isfinite (value))
            setParameterInValueTreeAt (tree.get(), index, parameterName, value, nullptr);
    }

    const juce::ScopedLock lock (presetTreeLock);
    factoryPresetTrees.add (tree.release());
    factoryPresetNames.add (name);
}

juce::StringArray ZkOstinelAudioProcessor::getAllFactoryPresetNames() const
{
    return factoryPresetNames;
}

void ZkOstinelAudioProcessor::loadFactoryPresetUndoableWithID (int id)
{
    if (!juce::isPositiveAndBelow (id, factoryPresetTrees.size()))
        return;

    beginNewTransaction();
    recallAllParamsFromValueTree (factoryPresetTrees[id]);
    recordLoadedPreset (id, "Factory");

    const juce::ScopedLock lock (presetTreeLock);
    presetIsFactory = true;
    currentPresetId = id;
}

void ZkOstinelAudioProcessor::recordLoadedPreset (int id, const char* type)
{
    {
        const juce::ScopedLock lock (presetTreeLock);

        // Recorded with the load, so that undo and redo report the list and id
        // of the preset whose values they bring back.
        if (currentPresetTree != nullptr && currentPresetTree->isValid())
        {
            currentPresetTree->setProperty (presetIdId, id, undoManager.get());
            currentPresetTree->setProperty (presetTypeId, type, undoManager.get());
        }

        presetWasModified = false;
    }

    beginNewTransaction();
}

//==============================================================================
// Loading by id and stepping through both lists

void ZkOstinelAudioProcessor::loadUserPresetUndoableWithID (int id)
{
    updateAllUserPresetNames();

    juce::String name;
    {
        const juce::ScopedLock lock (presetTreeLock);

        if (!juce::isPositiveAndBelow (id, userPresetNames.size()))
            return;

        name = userPresetNames[id];
    }

    beginNewTransaction();

    // A file that vanished or broke since the scan loads nothing and is not
    // recorded as the current preset.
    if (!loadUserPresetUndoableWithName (name))
        return;

    changeProgramName (0, name);
    recordLoadedPreset (id, "User");
}

ZkOstinelAudioProcessor::PresetRingPosition ZkOstinelAudioProcessor::getPresetRingPosition() const
{
    const juce::ScopedLock lock (presetTreeLock);
    return {factoryPresetNames.size(), userPresetNames.size(), currentPresetId, presetIsFactory};
}

// The ring: factory 0 .. F-1, user 0 .. U-1, factory 0 again. The kind of the
// current preset changes only with a load that succeeds. The current id is
// widened because it may come from a preset tree (any int).
void ZkOstinelAudioProcessor::loadPrevPreset()
{
    updateAllUserPresetNames();

    const auto [numFactory, numUser, currentId, isFactory] = getPresetRingPosition();
    const auto previous = (juce::int64)currentId - 1;

    if (!isFactory && previous >= numUser)
        loadFactoryPresetUndoableWithID (0);
    else if (previous < 0 && isFactory && numUser > 0)
        loadUserPresetUndoableWithID (numUser - 1);
    else if (previous < 0)
        loadFactoryPresetUndoableWithID (numFactory - 1);
    else if (isFactory)
        loadFactoryPresetUndoableWithID ((int)previous);
    else
        loadUserPresetUndoableWithID ((int)previous);
}

void ZkOstinelAudioProcessor::loadNextPreset()
{
    updateAllUserPresetNames();

    const auto [numFactory, numUser, currentId, isFactory] = getPresetRingPosition();
    const auto next = (juce::int64)currentId + 1;

    if (isFactory && next >= numFactory)
    {
        if (numUser > 0)
            loadUserPresetUndoableWithID (0);
        else
            loadFactoryPresetUndoableWithID (0);
    }
    else if (!isFactory && next >= numUser)
    {
        loadFactoryPresetUndoableWithID (0);
    }
    else if (next < 0)
    {
        // Only an id from a damaged tree gets here; it names no preset.
    }
    else if (isFactory)
    {
        loadFactoryPresetUndoableWithID ((int)next);
    }
    else
    {
        loadUserPresetUndoableWithID ((int)next);
    }
}

//==============================================================================
// User presets folder and list

void ZkOstinelAudioProcessor::initUserPresets()
{
    userPresetsFolder = getPresetsFolderFromPropertiesFile();
    updateAllUserPresetNames();
}

std::unique_ptr<juce::File> ZkOstinelAudioProcessor::getPresetsFolderFromPropertiesFile()
{
    // Without a usable home folder there is no place for presets (and the
    // default one would resolve "~"): no folder, an empty list, saving fails.
    if (ZkHomeFolder::find() == juce::File())
        return {};

    const auto separator = juce::File::getSeparatorString();
    const auto defaultPath =
        juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getFullPathName() +
        separator + "TELQUARLAB" + separator + "ZkOstinel" + " Presets" + separator;

    auto path = propertiesFile != nullptr ? propertiesFile->getValue (presetsFolderKey) : juce::String();

    if (path.isEmpty())
    {
        path = defaultPath;

        if (propertiesFile != nullptr)
        {
            propertiesFile->setValue (presetsFolderKey, path);
            propertiesFile->setNeedsToBeSaved (true);
        }
    }

    // A stored folder that is relative, not a folder, or cannot be made is not
    // used by this instance; the stored text stays as the user set it (the
    // folder may only be absent for now, like an unmounted drive).
    auto folder = usableFolder (path);

    if (folder == juce::File())
    {
        folder = juce::File (defaultPath);
        folder.createDirectory(); // a failure leaves the list empty
    }

    return std::make_unique<juce::File> (folder);
}

juce::File ZkOstinelAudioProcessor::getUserPresetsFolder() const
{
    return userPresetsFolder != nullptr ? *userPresetsFolder : juce::File();
}

void ZkOstinelAudioProcessor::updateAllUserPresetNames()
{
    juce::StringArray names;

    if (userPresetsFolder != nullptr && userPresetsFolder->isDirectory())
    {
        const auto allowed = getAllowedCharsForPresetNames();

        for (const auto& entry : juce::RangedDirectoryIterator (
                 *userPresetsFolder, false, "*" + presetFileExtension, juce::File::findFiles))
        {
            const auto file = entry.getFile();
            const auto name = file.getFileNameWithoutExtension();

            // Only names that a load by name accepts are listed, so every listed
            // preset can be loaded; this also leaves out ".zkp" and hidden files.
            if (ZkPresetName::isSafe (name, allowed) && checkUserPreset (file))
                names.add (name);
        }
    }

    const juce::ScopedLock lock (presetTreeLock);
    userPresetNames.swapWith (names);
}

juce::StringArray ZkOstinelAudioProcessor::getAllUserPresetNames()
{
    updateAllUserPresetNames();

    const juce::ScopedLock lock (presetTreeLock);
    return userPresetNames;
}

//==============================================================================
// User preset files

juce::String ZkOstinelAudioProcessor::voReadString (juce::InputStream& stream)
{
    juce::MemoryOutputStream bytes (256);

    for (;;)
    {
        char c = 0;
        if (stream.read (&c, 1) != 1 || c == 0)
            break;

        bytes.writeByte (c);
    }

    return bytes.toUTF8();
}

bool ZkOstinelAudioProcessor::checkUserPreset (const juce::File& file) const
{
    return loadUserPresetAsValueTree (file).isValid();
}

// A preset is accepted when it is a "ZkAudioPreset" tree that gives every
// parameter of the manager a finite value. Anything less would load only in
// part and leave the current preset a mixture; it is refused as a whole.
juce::ValueTree ZkOstinelAudioProcessor::loadUserPresetAsValueTree (const juce::File& file) const
{
    if (parameterManager == nullptr)
        return {};

    const auto element = ZkUserPresetFile::readDocument (file);

    if (element == nullptr || !element->hasTagName (presetTreeType.toString()))
        return {};

    auto tree = juce::ValueTree::fromXml (*element);

    const int numParameters = parameterManager->getNumberOfParameters();
    juce::HashMap<juce::String, int> indexOfName (numParameters * 2);

    for (int index = 0; index < numParameters; ++index)
        indexOfName.set (parameterManager->getParameterName (index), index);

    // The current tree's lookups take the first entry of a name; so does this test.
    std::vector<bool> seen ((size_t)numParameters, false);
    int numValid = 0;

    for (const auto& child : tree)
    {
        const auto name = child[parameterNameId].toString();

        if (!indexOfName.contains (name))
            continue;

        const auto index = (size_t)indexOfName[name];

        if (seen[index])
            continue;

        seen[index] = true;

        if (!child.hasProperty (valueId) || !isFiniteNumber (child[valueId]))
            return {};

        ++numValid;
    }

    return numValid == numParameters ? tree : juce::ValueTree();
}

bool ZkOstinelAudioProcessor::loadUserPresetUndoableWithName (const juce::String& name)
{
    if (userPresetsFolder == nullptr || !ZkPresetName::isSafe (name, getAllowedCharsForPresetNames()))
        return false;

    const auto file = userPresetsFolder->getChildFile (name + presetFileExtension);
    if (!file.existsAsFile())
        return false;

    const auto tree = loadUserPresetAsValueTree (file);
    if (!tree.isValid())
        return false;

    copyAllPresetValuesFromValueTree (tree);
    recallAllParamsFromValueTree (currentPresetTree.get());

    updateAllUserPresetNames();

    const juce::ScopedLock lock (presetTreeLock);
    currentPresetId = userPresetNames.indexOf (name, false);
    presetWasModified = false;
    presetIsFactory = false;
    return true;
}

bool ZkOstinelAudioProcessor::saveCurrentPresetToDisk (const juce::String& name, bool compressed)
{
    // "*" is the mark of a modified preset; no other character that is not
    // allowed can reach the file name either.
    const auto cleanName =
        ZkPresetName::makeSafe (name.removeCharacters ("*"), getAllowedCharsForPresetNames());

    if (cleanName.isEmpty())
        return false;

    changeProgramName (0, cleanName);

    std::unique_ptr<juce::XmlElement> element;
    {
        const juce::ScopedLock lock (presetTreeLock);

        if (currentPresetTree != nullptr && currentPresetTree->isValid())
        {
            addAdditionalInfosToValueTree (currentPresetTree.get());
            element = currentPresetTree->createXml();
        }
    }

    const bool written =
        element != nullptr && userPresetsFolder != nullptr &&
        ZkUserPresetFile::write (userPresetsFolder->getChildFile (cleanName + presetFileExtension), *element,
                                 compressed);

    updateAllUserPresetNames();

    // After a failed write the current values stay: loading an earlier file of
    // that name would replace the very values the user tried to keep.
    return written && loadUserPresetUndoableWithName (cleanName);
}

void ZkOstinelAudioProcessor::addAdditionalInfosToValueTree (juce::ValueTree* tree)
{
    const juce::ScopedLock lock (presetTreeLock);

    if (tree == nullptr || !tree->isValid())
        return;

    using juce::SystemStats;

    tree->setProperty ("PluginVersion", "1.0.0", nullptr);
    tree->setProperty (presetTypeId, "User", nullptr);
    tree->setProperty ("LastSaved", juce::Time::getCurrentTime().toString (true, true, true, false), nullptr);
    tree->setProperty ("Host", juce::PluginHostType().getHostDescription(), nullptr);
    tree->setProperty ("InOutChannelConfig",
                       juce::String (getTotalNumInputChannels()) + " / " +
                           juce::String (getTotalNumOutputChannels()),
                       nullptr);
    tree->setProperty ("SampleRate", juce::String (lastSampleRate.load()) + " Hz", nullptr);
    tree->setProperty ("OS",
                       SystemStats::getOperatingSystemName() + " / " +
                           (SystemStats::isOperatingSystem64Bit() ? "64bit" : "32bit"),
                       nullptr);
    tree->setProperty ("Language", SystemStats::getUserLanguage() + " / " + SystemStats::getDisplayLanguage(),
                       nullptr);
    tree->setProperty ("Region", SystemStats::getUserRegion(), nullptr);
    tree->setProperty ("User", SystemStats::getFullUserName() + " / " + SystemStats::getLogonName(), nullptr);

    // "Device" carries the processor and memory text (the device description
    // is empty on most desktop systems).
    tree->setProperty ("Device",
                       SystemStats::getCpuVendor() + " " +
                           juce::String (SystemStats::getCpuSpeedInMegahertz()) + "MHz" + " " +
                           juce::String (SystemStats::getNumCpus()) + " CPU cores" + " / " +
                           juce::String (SystemStats::getMemorySizeInMegabytes()) + "MB Memory",
                       nullptr);
}
