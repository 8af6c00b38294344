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
#include "engine/ZkUserPresetFileName.h"
#include "engine/ZkUserPresetScanCache.h"

#include <cmath>

namespace
{
const juce::Identifier presetNameId ("PresetName");
const juce::Identifier presetIdId ("PresetID");
const juce::Identifier presetTypeId ("PresetType");
const juce::String presetsFolderKey ("Presets Folder");

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
    recordLoadedPreset (id, true);
    beginNewTransaction();
}

void ZkOstinelAudioProcessor::recordLoadedPreset (int id, bool isFactory)
{
    const juce::ScopedLock lock (presetTreeLock);
    currentPresetId = id;
    presetIsFactory = isFactory;
    presetWasModified = false;
    recordCurrentPresetKind();
}

void ZkOstinelAudioProcessor::recordCurrentPresetKind()
{
    const juce::ScopedLock lock (presetTreeLock);

    // Recorded with the load or restore, so that undo and redo report the list
    // and id of the preset whose values they bring back.
    if (currentPresetTree != nullptr && currentPresetTree->isValid())
    {
        currentPresetTree->setProperty (presetIdId, currentPresetId, undoManager.get());
        currentPresetTree->setProperty (presetTypeId, presetIsFactory ? "Factory" : "User",
                                        undoManager.get());
    }
}

//==============================================================================
// Loading by id and stepping through both lists

void ZkOstinelAudioProcessor::loadUserPresetUndoableWithID (int id)
{
    updateAllUserPresetNames();
    loadListedUserPreset (id);
}

bool ZkOstinelAudioProcessor::loadListedUserPreset (int id)
{
    juce::String name;
    juce::File file;
    {
        const juce::ScopedLock lock (presetTreeLock);

        if (!juce::isPositiveAndBelow (id, userPresetNames.size()))
            return false;

        name = userPresetNames[id];
        file = userPresetFiles[id];
    }

    beginNewTransaction();

    // A file that vanished or broke since the scan loads nothing and is not
    // recorded as the current preset.
    if (!applyUserPresetFile (file))
        return false;

    changeProgramName (0, name);
    recordLoadedPreset (id, false);
    beginNewTransaction();
    return true;
}

ZkOstinelAudioProcessor::PresetRingPosition ZkOstinelAudioProcessor::getPresetRingPosition() const
{
    const juce::ScopedLock lock (presetTreeLock);
    return {factoryPresetNames.size(), userPresetNames.size(), currentPresetId, presetIsFactory};
}

void ZkOstinelAudioProcessor::loadPrevPreset()
{
    stepThroughPresetRing (-1);
}

void ZkOstinelAudioProcessor::loadNextPreset()
{
    stepThroughPresetRing (1);
}

// The ring: factory 0 .. F-1, user 0 .. U-1, factory 0 again; position p < F
// is factory preset p, position F + u user preset u. The first preset tried is
// the neighbour of the current one (a current id beyond the shrunk user list
// leads to factory 0). A user preset that does not load (its file vanished or
// broke after the scan) is passed over in the same direction; every position
// is tried at most once, and factory presets always load.
void ZkOstinelAudioProcessor::stepThroughPresetRing (int direction)
{
    updateAllUserPresetNames();

    const auto [numFactory, numUser, currentId, isFactory] = getPresetRingPosition();
    const juce::int64 ringSize = (juce::int64)numFactory + numUser;

    if (ringSize == 0)
        return;

    // Widened: the current id may come from a preset tree (any int).
    const auto neighbour = (juce::int64)currentId + direction;
    const juce::int64 listSize = isFactory ? numFactory : numUser;
    const juce::int64 listStart = isFactory ? 0 : numFactory;
    juce::int64 position = 0;

    if (neighbour >= listSize)
        position = isFactory && direction > 0 ? numFactory % ringSize : 0;
    else if (neighbour < 0 && direction < 0)
        position = isFactory ? ringSize - 1 : numFactory - 1;
    else
        position = listStart + juce::jmax ((juce::int64)0, neighbour);

    position = (position % ringSize + ringSize) % ringSize;

    for (juce::int64 attempt = 0; attempt < ringSize; ++attempt)
    {
        if (position < numFactory)
        {
            loadFactoryPresetUndoableWithID ((int)position);
            return;
        }

        if (loadListedUserPreset ((int)(position - numFactory)))
            return;

        position = (position + direction + ringSize) % ringSize;
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
    juce::Array<juce::File> files;
    auto names = userPresetsFolder != nullptr
                     ? ZkUserPresetScanCache::getShared().scan (*userPresetsFolder, &files)
                     : juce::StringArray();

    const juce::ScopedLock lock (presetTreeLock);
    userPresetNames.swapWith (names);
    userPresetFiles.swapWith (files);
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

// A file is a valid preset when its header is right and its text parses
// within the reading bounds; neither the root's tag nor any entry is tested.
// Entries without a match leave their parameters as they are when it loads,
// and values that are not finite numbers are skipped.
bool ZkOstinelAudioProcessor::checkUserPreset (const juce::File& file) const
{
    return ZkUserPresetFile::readDocument (file) != nullptr;
}

juce::ValueTree ZkOstinelAudioProcessor::loadUserPresetAsValueTree (const juce::File& file) const
{
    const auto element = ZkUserPresetFile::readDocument (file);
    return element != nullptr ? juce::ValueTree::fromXml (*element) : juce::ValueTree();
}

bool ZkOstinelAudioProcessor::applyUserPresetFile (const juce::File& file)
{
    if (!file.existsAsFile())
        return false;

    const auto tree = loadUserPresetAsValueTree (file);
    if (!tree.isValid())
        return false;

    copyAllPresetValuesFromValueTree (tree);
    recallAllParamsFromValueTree (currentPresetTree.get());
    return true;
}

bool ZkOstinelAudioProcessor::loadUserPresetUndoableWithName (const juce::String& name)
{
    // The file is the one listed under the name: a file name that is not
    // well-formed UTF-8 is listed under its repair.
    updateAllUserPresetNames();
    juce::File file;
    {
        const juce::ScopedLock lock (presetTreeLock);
        const auto id = userPresetNames.indexOf (name, !juce::File::areFileNamesCaseSensitive());

        if (id < 0)
            return false;

        file = userPresetFiles[id];
    }

    if (!applyUserPresetFile (file))
        return false;

    recordLoadedUserPresetNamed (name);
    return true;
}

void ZkOstinelAudioProcessor::recordLoadedUserPresetNamed (const juce::String& name)
{
    int id = -1;
    {
        const juce::ScopedLock lock (presetTreeLock);
        id = userPresetNames.indexOf (name, false);
    }

    recordLoadedPreset (id, false);
}

bool ZkOstinelAudioProcessor::saveCurrentPresetToDisk (const juce::String& name, bool compressed)
{
    // New names keep to the characters the save panel admits; "*" is the mark
    // of a modified preset.
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
            // The file says "User"; the current tree takes that kind from the load
            // below, through the undo manager, so that undoing it brings back the
            // kind of the preset before.
            const bool hadKind = currentPresetTree->hasProperty (presetTypeId);
            const auto kind = currentPresetTree->getProperty (presetTypeId);

            addAdditionalInfosToValueTree (currentPresetTree.get());
            element = currentPresetTree->createXml();

            if (hadKind)
                currentPresetTree->setProperty (presetTypeId, kind, nullptr);
            else
                currentPresetTree->removeProperty (presetTypeId, nullptr);
        }
    }

    const auto target = ZkUserPresetFileName::fileOf (getUserPresetsFolder(), cleanName);
    const bool written = element != nullptr && target != juce::File() &&
                         ZkUserPresetFile::write (target, *element, compressed);

    updateAllUserPresetNames();

    // After a failed write the current values stay: loading an earlier file of
    // that name would replace the very values the user tried to keep.
    if (!written || !applyUserPresetFile (target))
        return false;

    recordLoadedUserPresetNamed (cleanName);
    return true;
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
