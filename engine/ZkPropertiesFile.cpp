#include "engine/ZkPropertiesFile.h"

#include "engine/ZkFileLock.h"
#include "engine/ZkHomeFolder.h"
#include "engine/ZkKeyIndex.h"
#include "engine/ZkRegularFileReader.h"
#include "engine/ZkSafeFileWriter.h"

#include <optional>
#include <utility>
#include <vector>

#if !JUCE_WINDOWS
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
const juce::String documentTag ("PROPERTIES"), valueTag ("VALUE"), nameAttribute ("name"),
    valueAttribute ("val");

/** What lies at the file's place on disk, read once. */
struct FileOnDisk
{
    enum class State
    {
        absent,     // no file, an empty one, or a link that is not followed: no values
        readable,   // document holds it
        unreadable, // to be left alone
        damaged     // refused: to be moved aside
    };

    State state = State::absent;
    std::unique_ptr<juce::XmlElement> document;
    juce::MemoryBlock bytes;                // what document was read from
    std::optional<ZkFileIdentity> identity; // of the file read, with readable and an empty file
};

/** The file's bytes, read once and parsed once by the bounded reader: no other
    reader ever sees them. A link is followed only to this plug-in's own file. */
FileOnDisk look (const juce::File& file)
{
    using State = FileOnDisk::State;
    using Outcome = ZkRegularFileReader::Outcome;

    auto read = ZkRegularFileReader::read (file, ZkPropertiesFile::fileLimits.maxBytes);

    switch (read.outcome)
    {
        case Outcome::absent:
            return {};
        case Outcome::empty:
            // A file read, without values: only it is replaced. A link to one
            // is not followed.
            if (file.isSymbolicLink())
                return {};
            return {State::absent, {}, {}, std::move (read.identity)};
        case Outcome::unreadable:
            return {State::unreadable, {}, {}, {}};
        case Outcome::tooLarge:
            return {State::damaged, {}, {}, {}};
        case Outcome::read:
            break;
    }

    auto document = ZkBoundedXmlReader::parse (static_cast<const char*> (read.bytes.getData()),
                                               read.bytes.getSize(), ZkPropertiesFile::fileLimits);

    if (document == nullptr || !ZkPropertiesFile::isPropertiesDocument (*document))
        return {State::damaged, {}, {}, {}};

    // Another program's settings, or anything else of the user's that a link
    // leads to, is neither taken as this file nor written: the link is
    // replaced by the next write.
    if (file.isSymbolicLink() && !ZkPropertiesFile::isOwnDocument (*document))
        return {};

    return {State::readable, std::move (document), std::move (read.bytes), std::move (read.identity)};
}

/** An element's value by the rules of the framework's format: its "val"
    attribute, or its text as the framework writes it out; none when it holds
    elements (which the plug-in never writes). */
std::optional<juce::String> valueOf (const juce::XmlElement& element)
{
    const auto* content = element.getFirstChildElement();

    if (content == nullptr)
        return element.getStringAttribute (valueAttribute);

    if (content->isTextElement())
        return content->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());

    return std::nullopt;
}

/** Appends key, which values does not hold yet, without StringPairArray::set's
    search through every key. The lists that getAllKeys() and getAllValues()
    return are the array's own, and both grow by one here. */
void append (juce::StringPairArray& values, const juce::String& key, const juce::String& value)
{
    const_cast<juce::StringArray&> (values.getAllKeys()).add (key);
    const_cast<juce::StringArray&> (values.getAllValues()).add (value);
}

/** The values of a document by the rules of the framework's format, as
    earlier versions read them: the last element of a key wins, and a value
    held as text is that text as the framework writes it out. A value that
    holds elements (which the plug-in never writes) is not read. Key names are
    compared with their letter case. The keys keep the order in which
    StringPairArray::set and remove, element by element, would leave them: a
    key stands where it was first read after its last element that was not. */
juce::StringPairArray valuesOf (const juce::XmlElement& document)
{
    struct Entry
    {
        juce::String key, value;
        bool read;
    };

    std::vector<Entry> entries;
    ZkKeyIndex readEntries; // the entry of each key read so far

    for (auto* element : document.getChildWithTagNameIterator (valueTag))
    {
        const auto name = element->getStringAttribute (nameAttribute);

        if (name.isEmpty())
            continue;

        const auto value = valueOf (*element);
        const int entry = readEntries.indexOf (name);

        if (!value.has_value())
        {
            if (entry >= 0)
                entries[(size_t)entry].read = false;
            readEntries.remove (name);
        }
        else if (entry >= 0)
        {
            entries[(size_t)entry].value = *value;
        }
        else
        {
            readEntries.add (name, (int)entries.size());
            entries.push_back ({name, *value, true});
        }
    }

    juce::StringPairArray values (false);

    for (const auto& entry : entries)
        if (entry.read)
            append (values, entry.key, entry.value);

    return values;
}

/** Values with the place of each key, found by its hash: a lookup costs the
    key's length, not a comparison with every key. Refers to values. */
class KeyedValues
{
public:
    explicit KeyedValues (const juce::StringPairArray& v)
        : values (v)
        , keys (v.getAllKeys())
    {
    }

    /** key's value; null when values hold no such key. */
    const juce::String* find (const juce::String& key) const
    {
        const int index = keys.indexOf (key);
        return index >= 0 ? &values.getAllValues()[index] : nullptr;
    }

    bool contains (const juce::String& key) const { return keys.contains (key); }

private:
    const juce::StringPairArray& values;
    const ZkKeyIndex keys;
};

bool sameValue (const KeyedValues& a, const KeyedValues& b, const juce::String& key)
{
    const auto *inA = a.find (key), *inB = b.find (key);
    return inA == nullptr || inB == nullptr ? inA == inB : *inA == *inB;
}

/** Renames a damaged file to its backup, replacing an earlier one. A link is
    moved itself: what it leads to is no properties file, perhaps none of the
    plug-in's at all (see write()). */
bool moveAside (const juce::File& file)
{
    return file.moveFileTo (ZkPropertiesFile::getBackupFile (file));
}

/** Whether the writers of file may go on: with its lock, or without one when
    the lock file cannot be used at all (as if there were none), but not while
    another writer holds it. Message thread. */
bool mayWrite (const ZkFileLock& writers, const juce::File& file)
{
    if (writers.isLocked())
        return true;

    if (writers.isHeldElsewhere())
        return false;

    juce::Logger::writeToLog ("ZkOstinel: cannot lock " +
                              ZkPropertiesFile::getLockFile (file).getFullPathName() + "; changing " +
                              file.getFullPathName() + " without it");
    return true;
}
} // namespace

const juce::String ZkPropertiesFile::versionKey ("PropertiesFileVersion");
const juce::String ZkPropertiesFile::productKey ("Product");
const juce::String ZkPropertiesFile::productName ("ZkOstinel");

ZkPropertiesFile::Options ZkPropertiesFile::Options::from (const juce::PropertiesFile::Options& options)
{
    // Resolving the default file expands "~": only with a usable home folder.
    const bool hasHome = ZkHomeFolder::find() != juce::File();
    return {hasHome ? options.getDefaultFile() : juce::File(), options.millisecondsBeforeSaving};
}

ZkPropertiesFile::ZkPropertiesFile (const Options& fileOptions)
    : ZkPropertiesFile (fileOptions, fileToRead (fileOptions.file))
{
}

ZkPropertiesFile::ZkPropertiesFile (const Options& fileOptions, FileToRead toRead)
    : juce::PropertySet (false)
    , file (std::move (toRead.file))
    , millisecondsBeforeSaving (fileOptions.millisecondsBeforeSaving)
    , valuesAsRead (toRead.document != nullptr ? valuesOf (*toRead.document) : juce::StringPairArray (false))
{
    // The values are what the file holds: nothing counts as changed.
    getAllProperties() = valuesAsRead;
}

ZkPropertiesFile::~ZkPropertiesFile()
{
    saveTimer.stopTimer();
    writeIfNeeded();
}

bool ZkPropertiesFile::isPropertiesDocument (const juce::XmlElement& document)
{
    return document.hasTagName (documentTag);
}

bool ZkPropertiesFile::isOwnDocument (const juce::XmlElement& document)
{
    if (!isPropertiesDocument (document))
        return false;

    // Programs of the same maker, built on the same framework, may keep a
    // version value too; the product they name tells them apart. A product
    // named in any form (also as elements, which are read as no value) but as
    // this plug-in's name in text is another one.
    bool hasVersion = false, namesAnotherProduct = false;

    for (auto* element : document.getChildWithTagNameIterator (valueTag))
    {
        const auto name = element->getStringAttribute (nameAttribute);

        if (name == versionKey)
            hasVersion = valueOf (*element).has_value(); // the last element of a key wins
        else if (name == productKey && valueOf (*element) != productName)
            namesAnotherProduct = true;
    }

    return hasVersion && !namesAnotherProduct;
}

juce::File ZkPropertiesFile::getBackupFile (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + ".damaged");
}

juce::File ZkPropertiesFile::getLockFile (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + ".lock");
}

ZkPropertiesFile::FileToRead ZkPropertiesFile::fileToRead (const juce::File& file)
{
    if (file == juce::File())
        return {};

    // An unreadable file is left alone: the values live in memory only.
    const auto toRead = [&file] (FileOnDisk onDisk) -> FileToRead
    {
        if (onDisk.state == FileOnDisk::State::unreadable)
            return {};

        return {file, std::move (onDisk.document)};
    };

    if (auto onDisk = look (file); onDisk.state != FileOnDisk::State::damaged)
        return toRead (std::move (onDisk));

    // Read a second time, under the lock: another instance may have moved it
    // aside and written a new file meanwhile, which must not become the
    // backup. What this second reading finds is what is used.
    const ZkFileLock writers (getLockFile (file));

    if (!mayWrite (writers, file))
        return {};

    if (auto onDisk = look (file); onDisk.state != FileOnDisk::State::damaged)
        return toRead (std::move (onDisk));

    if (!moveAside (file))
        return {};

    return {file, {}};
}

void ZkPropertiesFile::propertyChanged()
{
    setNeedsToBeSaved (true);

    if (millisecondsBeforeSaving > 0)
        saveTimer.startTimer (millisecondsBeforeSaving);
    else if (millisecondsBeforeSaving == 0)
        writeIfNeeded();
}

bool ZkPropertiesFile::needsToBeSaved() const
{
    const juce::ScopedLock valuesLock (getLock());
    return needsWriting;
}

void ZkPropertiesFile::setNeedsToBeSaved (bool needed)
{
    const juce::ScopedLock valuesLock (getLock());
    needsWriting = needed;
}

void ZkPropertiesFile::createIfAbsent() const
{
    if (file == juce::File() || file.getParentDirectory().createDirectory().failed())
        return;

#if JUCE_WINDOWS
    file.create();
#else
    // Exclusive: nothing is created through a link (also one that leads
    // nowhere), nor over a file that another instance has just written.
    const int fd =
        ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);

    if (fd >= 0)
        ::close (fd);
#endif
}

void ZkPropertiesFile::markAsChanged (const juce::String& key)
{
    {
        const juce::ScopedLock valuesLock (getLock());
        markedKeys.addIfNotAlreadyThere (key);
    }
    propertyChanged();
}

ZkPropertiesFile::Changes ZkPropertiesFile::changesSinceRead (const juce::StringPairArray& values) const
{
    Changes changes;
    const KeyedValues current (values), read (valuesAsRead);
    const ZkKeyIndex marked (markedKeys);
    const auto& keys = values.getAllKeys();

    for (int i = 0; i < keys.size(); ++i)
    {
        const auto* valueRead = read.find (keys[i]);

        if (marked.contains (keys[i]) || valueRead == nullptr || *valueRead != values.getAllValues()[i])
            changes.set.add (keys[i]);
    }

    for (const auto& key : valuesAsRead.getAllKeys())
        if (!current.contains (key))
            changes.removed.add (key);

    return changes;
}

void ZkPropertiesFile::apply (juce::XmlElement& document, const juce::StringPairArray& values,
                              const Changes& changes)
{
    const KeyedValues current (values);
    const auto valueToStore = [&current] (const juce::String& key)
    {
        const auto* value = current.find (key);
        return value != nullptr ? *value : juce::String();
    };
    const ZkKeyIndex set (changes.set), removedKeys (changes.removed);
    std::vector<bool> found ((size_t)changes.set.size(), false);
    juce::Array<juce::XmlElement*> removed;

    // Every element of a key is changed: the last one is the value read.
    for (auto* element : document.getChildWithTagNameIterator (valueTag))
    {
        const auto name = element->getStringAttribute (nameAttribute);

        if (removedKeys.contains (name))
        {
            removed.add (element);
        }
        else if (const int index = set.indexOf (name); index >= 0)
        {
            element->deleteAllChildElements(); // with them the value would not be read
            element->setAttribute (valueAttribute, valueToStore (name));
            found[(size_t)index] = true;
        }
    }

    for (auto* element : removed)
        document.removeChildElement (element, true);

    for (int i = 0; i < changes.set.size(); ++i)
    {
        if (!found[(size_t)i])
        {
            auto* element = document.createNewChildElement (valueTag);
            element->setAttribute (nameAttribute, changes.set[i]);
            element->setAttribute (valueAttribute, valueToStore (changes.set[i]));
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
    const KeyedValues onDisk (valuesOnDisk), read (valuesAsRead);
    const ZkKeyIndex marked (markedKeys);

    for (auto* keys : {&changes.set, &changes.removed})
    {
        juce::StringArray kept;

        for (const auto& key : *keys)
            if (marked.contains (key) || sameValue (onDisk, read, key))
                kept.add (key);

        *keys = std::move (kept);
    }
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

    // Copied, not assigned: an assignment would not take over the letter case
    // rule of the keys, and a key that differs from another only in case
    // would then count as that one.
    auto [values, changes] = [this]
    {
        const juce::ScopedLock valuesLock (getLock());
        juce::StringPairArray all (getAllProperties());
        auto changed = changesSinceRead (all);
        return std::pair (std::move (all), std::move (changed));
    }();

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

    if (!mayWrite (writers, target))
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

    // Only the very file read above is replaced, also at the end of a link:
    // look() reads through no link but to this plug-in's own file, and one to
    // a damaged file was moved aside. Any other link is replaced itself. When
    // the file read is no longer there (a link re-pointed, a file put in its
    // place), nothing is written: the next write judges the file again. Where
    // no file was read, none that appeared meanwhile is replaced.
    if (!onDisk.bytes.matches (bytes, size) &&
        !ZkSafeFileWriter::write (target, bytes, size, onDisk.identity))
        return false;

    {
        const juce::ScopedLock valuesLock (getLock());
        valuesAsRead = values;
        markedKeys.clear();
    }

    setNeedsToBeSaved (false);
    return true;
}
