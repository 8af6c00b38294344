#include "engine/ZkPropertiesFile.h"

#include "engine/ZkFileLock.h"
#include "engine/ZkHomeFolder.h"
#include "engine/ZkSafeFileWriter.h"
#include "engine/ZkUtf8.h"

#include <utility>
#include <vector>

#if !JUCE_WINDOWS
#include <sys/stat.h>
#endif

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

/** True when file is a regular file, or a link to one. Only the type is
    looked at: nothing is opened (opening a pipe waits for a writer). */
bool isRegularFile (const juce::File& file)
{
#if JUCE_WINDOWS
    return file.existsAsFile();
#else
    struct stat info;
    return ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode);
#endif
}

/** True when an element of the values holds an element that follows text and
    has child elements or more than one attribute. The framework reads a value
    held as an element by writing that element as one line of text, and its
    one-line writer writes a null line break (and crashes) for such an element.
    The plug-in never stores a value as an element. */
bool holdsValueTheFrameworkCannotRead (const juce::XmlElement& document)
{
    // The document nests no deeper than the bounded reader allows.
    std::vector<const juce::XmlElement*> pending;

    for (auto* value : document.getChildIterator())
        pending.push_back (value);

    while (!pending.empty())
    {
        const auto* element = pending.back();
        pending.pop_back();
        bool afterText = false;

        for (auto* child : element->getChildIterator())
        {
            if (child->isTextElement())
            {
                afterText = true;
                continue;
            }

            if (afterText && (child->getFirstChildElement() != nullptr || child->getNumAttributes() > 1))
                return true;

            afterText = false;
            pending.push_back (child);
        }
    }

    return false;
}

FileOnDisk look (const juce::File& file)
{
    using State = FileOnDisk::State;

    if (!file.exists())
        return {};

    // A folder, a pipe, a socket or a device is no properties file: left
    // alone and never opened (the writer never replaces one either).
    if (!isRegularFile (file))
        return {State::unreadable, {}};

    if (file.getSize() == 0)
        return {};

    if (juce::FileInputStream (file).failedToOpen())
        return {State::unreadable, {}};

    auto document = ZkBoundedXmlReader::parse (file, ZkPropertiesFile::fileLimits);

    if (document == nullptr || !ZkPropertiesFile::isPropertiesDocument (*document))
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

ZkPropertiesFile::ZkPropertiesFile (const Options& fileOptions)
    : ZkPropertiesFile (fileOptions, fileToRead (fileOptions))
{
}

ZkPropertiesFile::ZkPropertiesFile (const Options& fileOptions, FileToRead toRead)
    : juce::PropertiesFile (toRead.file, withoutFrameworkSaving (fileOptions))
    , millisecondsBeforeSaving (fileOptions.millisecondsBeforeSaving)
    , valuesAsRead (takeValuesOf (toRead.document.get()))
{
}

const juce::StringPairArray& ZkPropertiesFile::takeValuesOf (const juce::XmlElement* document)
{
    // The framework's parser has read the file as it is. The values are taken
    // as the bounded reader read it instead, as every later merge reads the
    // file: it repairs ill-formed text, such as the reference to a surrogate
    // that earlier versions wrote for a name from a host, and reads every
    // reference alike. What still is not well-formed (from a file that
    // appeared after it was looked at) is repaired here.
    auto& values = getAllProperties();

    if (document != nullptr)
        values = valuesOf (*document);

    const auto keys = values.getAllKeys();

    for (const auto& key : keys)
        if (const auto& text = values[key]; !ZkUtf8::isValid (text.toRawUTF8(), text.getNumBytesAsUTF8()))
            values.set (key, ZkUtf8::makeValid (text));

    return values;
}

ZkPropertiesFile::~ZkPropertiesFile()
{
    saveTimer.stopTimer();
    writeIfNeeded();
}

bool ZkPropertiesFile::isPropertiesDocument (const juce::XmlElement& document)
{
    // The framework's reader takes only this document element (in any letter
    // case, as it does).
    return document.hasTagName (documentTag) && !holdsValueTheFrameworkCannotRead (document);
}

juce::File ZkPropertiesFile::getBackupFile (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + ".damaged");
}

juce::File ZkPropertiesFile::getLockFile (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + ".lock");
}

ZkPropertiesFile::FileToRead ZkPropertiesFile::fileToRead (const Options& fileOptions)
{
    // Resolving the default file expands "~": only with a usable home folder.
    if (ZkHomeFolder::find() == juce::File())
        return {};

    const auto file = fileOptions.getDefaultFile();

    // An unreadable file is left alone: the values live in memory only.
    const auto toRead = [&file] (FileOnDisk onDisk) -> FileToRead
    {
        if (onDisk.state == FileOnDisk::State::unreadable)
            return {};

        return {file, std::move (onDisk.document)};
    };

    if (auto onDisk = look (file); onDisk.state != FileOnDisk::State::damaged)
        return toRead (std::move (onDisk));

    // Looked at again under the lock: another instance may have moved it aside
    // and written a new file meanwhile, which must not become the backup.
    const ZkFileLock writers (getLockFile (file));

    if (!mayWrite (writers, file))
        return {};

    if (auto onDisk = look (file); onDisk.state != FileOnDisk::State::damaged)
        return toRead (std::move (onDisk));

    if (!moveAside (file))
        return {};

    return {file, {}};
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

    // A link is written through only to a properties file or an empty file;
    // any other link is replaced itself. (One to a damaged file was moved
    // aside above.)
    const auto isPropertiesFile = [] (const juce::File& linked)
    { return look (linked).state == FileOnDisk::State::readable || linked.getSize() == 0; };

    if (!holds (target, bytes, size) && !ZkSafeFileWriter::write (target, bytes, size, isPropertiesFile))
        return false;

    {
        const juce::ScopedLock valuesLock (getLock());
        valuesAsRead = values;
        markedKeys.clear();
    }

    setNeedsToBeSaved (false);
    return true;
}
