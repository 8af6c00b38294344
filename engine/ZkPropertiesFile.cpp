#include "engine/ZkPropertiesFile.h"

#include "engine/ZkFileLock.h"
#include "engine/ZkHomeFolder.h"
#include "engine/ZkSafeFileWriter.h"
#include "engine/ZkUtf8.h"

#include <algorithm>

namespace
{
const juce::String documentTag ("PROPERTIES"), valueTag ("VALUE"), nameAttribute ("name"),
    valueAttribute ("val");

/** What lies at the file's place on disk. */
struct FileOnDisk
{
    enum class State
    {
        absent,     // no file, or an empty one: no values
        readable,   // document holds it
        unreadable, // to be left alone
        damaged     // refused: to be moved aside
    };

    State state = State::absent;
    std::unique_ptr<juce::XmlElement> document;
};

FileOnDisk look (const juce::File& file)
{
    using State = FileOnDisk::State;

    if (!file.exists())
        return {};

    // A folder is no properties file. (A pipe or a device reads as empty, and
    // the writer never replaces one.)
    if (!file.existsAsFile())
        return {State::unreadable, {}};

    if (file.getSize() == 0)
        return {};

    if (juce::FileInputStream (file).failedToOpen())
        return {State::unreadable, {}};

    auto document = ZkBoundedXmlReader::parse (file, ZkPropertiesFile::fileLimits);

    // The framework's reader takes only this document element (in any letter
    // case, as it does).
    if (document == nullptr || !document->hasTagName (documentTag))
        return {State::damaged, {}};

    return {State::readable, std::move (document)};
}

/** The values of a document as the framework's reader takes them: the last
    element of a key wins, and a value held as an element is its text. */
juce::StringPairArray valuesOf (const juce::XmlElement& document)
{
    juce::StringPairArray values (false);

    for (auto* element : document.getChildWithTagNameIterator (valueTag))
    {
        const auto name = element->getStringAttribute (nameAttribute);

        if (name.isNotEmpty())
            values.set (name, element->getFirstChildElement() != nullptr
                                  ? element->getFirstChildElement()->toString (
                                        juce::XmlElement::TextFormat().singleLine().withoutHeader())
                                  : element->getStringAttribute (valueAttribute));
    }

    return values;
}

bool sameValue (const juce::StringPairArray& a, const juce::StringPairArray& b, const juce::String& key)
{
    return a.containsKey (key) == b.containsKey (key) && a[key] == b[key];
}

/** Renames a damaged file to its backup, replacing an earlier one. */
bool moveAside (const juce::File& file)
{
    const auto target = ZkSafeFileWriter::resolveLinks (file);
    return target != juce::File() && target.moveFileTo (ZkPropertiesFile::getBackupFile (file));
}
} // namespace

ZkPropertiesFile::ZkPropertiesFile (const Options& fileOptions)
    : juce::PropertiesFile (fileToRead (fileOptions), withoutFrameworkSaving (fileOptions))
    , millisecondsBeforeSaving (fileOptions.millisecondsBeforeSaving)
    , valuesAsRead (makeValuesWellFormed())
{
}

const juce::StringPairArray& ZkPropertiesFile::makeValuesWellFormed()
{
    // The framework's parser read the file as it is: a reference to a
    // surrogate, which earlier versions wrote for a name from a host, comes
    // out as ill-formed text. Such a file is read again as the bounded reader
    // repairs it (a file changed since is read as it now is); what still is
    // not well-formed is repaired here.
    auto& values = getAllProperties();
    const auto isWellFormed = [] (const juce::String& text)
    { return ZkUtf8::isValid (text.toRawUTF8(), text.getNumBytesAsUTF8()); };

    if (std::all_of (values.getAllValues().begin(), values.getAllValues().end(), isWellFormed))
        return values;

    if (const auto onDisk = look (getFile()); onDisk.state == FileOnDisk::State::readable)
        values = valuesOf (*onDisk.document);

    const auto keys = values.getAllKeys();

    for (const auto& key : keys)
        if (!isWellFormed (values[key]))
            values.set (key, ZkUtf8::makeValid (values[key]));

    return values;
}

ZkPropertiesFile::~ZkPropertiesFile()
{
    saveTimer.stopTimer();
    writeIfNeeded();
}

juce::File ZkPropertiesFile::getBackupFile (const juce::File& file)
{
    const auto target = ZkSafeFileWriter::resolveLinks (file);
    const auto& beside = target != juce::File() ? target : file;
    return beside.getSiblingFile (beside.getFileName() + ".damaged");
}

juce::File ZkPropertiesFile::getLockFile (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + ".lock");
}

juce::File ZkPropertiesFile::fileToRead (const Options& fileOptions)
{
    // Resolving the default file expands "~": only with a usable home folder.
    if (ZkHomeFolder::find() == juce::File())
        return {};

    const auto file = fileOptions.getDefaultFile();

    // An unreadable file is left alone: the values live in memory only.
    const auto toRead = [&file] (FileOnDisk::State state)
    { return state == FileOnDisk::State::unreadable ? juce::File() : file; };

    if (const auto state = look (file).state; state != FileOnDisk::State::damaged)
        return toRead (state);

    // Looked at again under the lock: another instance may have moved it aside
    // and written a new file meanwhile, which must not become the backup.
    const ZkFileLock writers (getLockFile (file));

    if (!writers.isLocked())
        return {};

    if (const auto state = look (file).state; state != FileOnDisk::State::damaged)
        return toRead (state);

    return moveAside (file) ? file : juce::File();
}

juce::PropertiesFile::Options ZkPropertiesFile::withoutFrameworkSaving (Options fileOptions)
{
    // The framework's own saving neither notices every failed write nor gives
    // up at once on a file it cannot replace, and it writes every value; this
    // class saves instead.
    fileOptions.doNotSave = true;
    fileOptions.millisecondsBeforeSaving = -1;
    return fileOptions;
}

void ZkPropertiesFile::propertyChanged()
{
    juce::PropertiesFile::propertyChanged(); // tells listeners, marks the file as needing to be saved

    if (millisecondsBeforeSaving > 0)
        saveTimer.startTimer (millisecondsBeforeSaving);
    else if (millisecondsBeforeSaving == 0)
        writeIfNeeded();
}

void ZkPropertiesFile::markAsChanged (const juce::String& key)
{
    {
        const juce::ScopedLock valuesLock (getLock());
        markedKeys.addIfNotAlreadyThere (key);
    }
    propertyChanged();
}

bool ZkPropertiesFile::holds (const juce::File& file, const char* bytes, size_t size)
{
    if (file.getSize() != (juce::int64)size)
        return false;

    juce::MemoryBlock contents;
    return file.loadFileAsData (contents) && contents.matches (bytes, size);
}

ZkPropertiesFile::Changes ZkPropertiesFile::changesSinceRead (const juce::StringPairArray& values) const
{
    Changes changes;
    const auto& keys = values.getAllKeys();

    for (int i = 0; i < keys.size(); ++i)
        if (markedKeys.contains (keys[i]) || !valuesAsRead.containsKey (keys[i]) ||
            valuesAsRead[keys[i]] != values.getAllValues()[i])
            changes.set.add (keys[i]);

    for (const auto& key : valuesAsRead.getAllKeys())
        if (!values.containsKey (key))
            changes.removed.add (key);

    return changes;
}

void ZkPropertiesFile::apply (juce::XmlElement& document, const juce::StringPairArray& values,
                              const Changes& changes)
{
    // Every element of a key is changed: the framework's reader takes the last.
    juce::Array<juce::XmlElement*> removed;

    for (auto* element : document.getChildWithTagNameIterator (valueTag))
        if (changes.removed.contains (element->getStringAttribute (nameAttribute)))
            removed.add (element);

    for (auto* element : removed)
        document.removeChildElement (element, true);

    for (const auto& key : changes.set)
    {
        bool found = false;

        for (auto* element : document.getChildWithTagNameIterator (valueTag))
        {
            if (element->getStringAttribute (nameAttribute) == key)
            {
                element->deleteAllChildElements(); // a value held as an element would win over the text
                element->setAttribute (valueAttribute, values[key]);
                found = true;
            }
        }

        if (!found)
        {
            auto* element = document.createNewChildElement (valueTag);
            element->setAttribute (nameAttribute, key);
            element->setAttribute (valueAttribute, values[key]);
        }
    }
}

void ZkPropertiesFile::keepNewerValues (Changes& changes, const juce::StringPairArray& valuesOnDisk) const
{
    // A change that the instance made by itself (a header for a file that was
    // missing or old, a default filled in, a damaged ratio put right) stands
    // on the value it read: when another instance or the user has changed
    // that value since, theirs is newer and stays. A user's choice (marked)
    // is written whatever the file holds.
    const juce::ScopedLock valuesLock (getLock());

    for (auto* keys : {&changes.set, &changes.removed})
        for (int i = keys->size(); --i >= 0;)
            if (!markedKeys.contains ((*keys)[i]) && !sameValue (valuesOnDisk, valuesAsRead, (*keys)[i]))
                keys->remove (i);
}

bool ZkPropertiesFile::writeIfNeeded()
{
    return !needsToBeSaved() || write();
}

bool ZkPropertiesFile::write()
{
    const auto& target = getFile();

    if (target == juce::File() || target.isDirectory())
        return false;

    juce::StringPairArray values;
    Changes changes;
    {
        const juce::ScopedLock valuesLock (getLock());
        values = getAllProperties();
        changes = changesSinceRead (values);
    }

    if (changes.set.isEmpty() && changes.removed.isEmpty())
    {
        setNeedsToBeSaved (false);
        return true;
    }

    if (target.getParentDirectory().createDirectory().failed())
        return false;

    // Held from reading the file to replacing it, so that no other writer's
    // change falls in between. Never across a call to the host.
    const ZkFileLock writers (getLockFile (target));

    if (!writers.isLocked())
        return false;

    auto onDisk = look (target);

    switch (onDisk.state)
    {
        case FileOnDisk::State::unreadable:
            return false;
        case FileOnDisk::State::damaged:
            if (!moveAside (target))
                return false;
            onDisk.document.reset();
            break;
        case FileOnDisk::State::absent:
        case FileOnDisk::State::readable:
            break;
    }

    // A file without values gets all of them: one with only this instance's
    // changes would lack the rest of what makes a current file.
    if (onDisk.document == nullptr)
    {
        onDisk.document = std::make_unique<juce::XmlElement> (documentTag);
        changes.set = values.getAllKeys();
        changes.removed.clear();
    }
    else
    {
        keepNewerValues (changes, valuesOf (*onDisk.document));
    }

    apply (*onDisk.document, values, changes);

    const auto text = onDisk.document->toString();
    const auto* bytes = text.toRawUTF8();
    const auto size = text.getNumBytesAsUTF8();

    // A file that the bounded reader would refuse is not written: the next
    // instance would take it for a damaged one. (Only a file that was read with
    // a thousand keys or so comes near the bounds.)
    if (!ZkBoundedXmlReader::isWithinLimits (bytes, size, fileLimits))
        return false;

    if (!holds (target, bytes, size) && !ZkSafeFileWriter::write (target, bytes, size))
        return false;

    {
        const juce::ScopedLock valuesLock (getLock());
        valuesAsRead = values;
        markedKeys.clear();
    }

    setNeedsToBeSaved (false);
    return true;
}
