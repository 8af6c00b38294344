#pragma once

#include "engine/ZkBoundedXmlReader.h"

#include <juce_data_structures/juce_data_structures.h>

#include <memory>

/**
    The per-user properties file, shared by every instance of the plug-in in
    every host, read and written so that no instance undoes what another
    instance or the user wrote. It keeps the framework's XML form (a
    "PROPERTIES" element holding one "VALUE" element per key with the
    attributes "name" and "val"), but the framework never reads it: its bytes
    are read by ZkRegularFileReader alone, once at start (a damaged one twice,
    below) and once at each write, each reading parsed once by the bounded XML
    reader (fileLimits), and the values are taken from that document.
    Keys are found by a hash of the whole key (ZkKeyIndex), never by comparing
    each with every other: reading and writing take time in proportion to the
    file's size, also when its keys share a long prefix.

    - the file is read only when there is a usable home folder (ZkHomeFolder,
      Options::from), under which the plug-in's options place it; otherwise
      the values live in memory only and nothing is ever written;
    - a file that cannot be read (no permission, not a regular file: a folder,
      a pipe, a device, also at the end of a link, such as one to /dev/null)
      is left alone: the values start empty and live in memory only, and
      nothing is written there;
    - a file that the reader refuses, or that holds no "PROPERTIES" document,
      counts as damaged: it is moved aside to one backup beside it
      (getBackupFile, replacing an earlier backup), the values start empty,
      and the next write makes a new file. At start, such a file is read a
      second time under the writers' lock before it is moved (another instance
      may have replaced it meanwhile); what that reading finds is used. When
      it cannot be moved, the values stay in memory only. A value that holds
      elements instead of a "val" attribute (the plug-in never writes one) is
      not read, and costs no other value: its element stays in the file until
      this instance stores that key (a key the plug-in must have, such as the
      presets folder or the editor ratio, then gets its default in place);
    - a symbolic link at the file's place is followed, for reading and
      writing, only when it ends at an existing regular file that holds this
      plug-in's properties (isOwnDocument), and a write replaces only that very
      file (ZkSafeFileWriter, by its identity). A write reads the file again
      first; when the file it read is gone from the place by the time it is
      replaced (a link re-pointed, an editor's save that renames another file
      over it), nothing is written and the next write judges the file anew.
      Where that reading found no file, none that appears meanwhile is
      replaced. A link to a regular file of anything else
      (another program's settings, an empty file), or one that leads nowhere,
      loops or passes more links than the system follows, is replaced itself
      by the next write (one to a damaged file is first moved aside as the
      backup), and nothing is created or changed where it points. A link to
      anything but a regular file is left alone, as such a file is (above);
    - a write stores only the keys that this instance changed (set to another
      text than it read, added, removed, or marked with markAsChanged), merged
      into the file as it stands at that moment: the file is read again, and
      every other key, and every element the file holds that is not a value,
      keeps its text. An unmarked change is dropped when the file no longer
      holds the value it was made on (someone else's change is newer); a
      marked one, the user's choice, is always written. A missing or empty
      file gets every value of the instance. Writers serialise on a lock file
      beside the file (getLockFile); a write that does not get the lock within
      ZkFileLock::defaultTimeoutMs is not done. A lock file that cannot be
      opened or locked at all does not stop it: the write goes ahead without
      the lock and says so in the log. An instance that changed nothing
      writes nothing;
    - writes go through ZkSafeFileWriter, on this object's schedule (the
      options' delay after a change, and when the object is destroyed): a
      write that fails is tried once, not again until the next change or the
      end of the object's life. It leaves the file as it was, except a file
      found damaged at that write: that one was moved aside first, so the
      place then holds no file and the backup holds it.

    Message thread (its write timer runs there).
*/
class ZkPropertiesFile : public juce::PropertySet
{
public:
    /** All that this class takes of the framework's options. */
    struct Options
    {
        juce::File file;                     // none: the values live in memory only
        int millisecondsBeforeSaving = 3000; // [ms] after a change; 0: at once, below 0: only when destroyed

        /** The framework's default file for options when there is a usable
            home folder (none otherwise: it would be resolved through "~"),
            and its delay. The plug-in's options place it under that folder;
            where other options place it (for all users, or a folder name that
            is an absolute path) is not checked. Key names are always compared
            with their letter case. */
        static Options from (const juce::PropertiesFile::Options& options);
    };

    static constexpr ZkBoundedXmlReader::Limits fileLimits{1 << 20, 1024, 2048, 64};

    /** The key that every properties file of the plug-in holds (in its header). */
    static const juce::String versionKey;

    /** The header's key that names the product, and this plug-in's name there. */
    static const juce::String productKey, productName;

    explicit ZkPropertiesFile (const Options& fileOptions);
    ~ZkPropertiesFile() override;

    /** The file's place; none when the values live in memory only. */
    const juce::File& getFile() const noexcept { return file; }

    /** True when a value changed since the last successful write. */
    bool needsToBeSaved() const;
    void setNeedsToBeSaved (bool needed);

    /** Writes the file when a value changed since the last successful write.
        True when the file now holds the values. Always false without a file. */
    bool writeIfNeeded();

    /** Writes this instance's changes now; true when the file now holds them
        (also when there are none). False when the file cannot be read or
        written, is not locked in time, would grow beyond fileLimits, or was
        replaced by another file while this one was written. The file is then
        as it was, but for one found damaged: that one was already moved aside
        to the backup, and no file is left in its place. */
    bool write();

    /** The next write stores key's value also when it is the text that was
        read (a user's explicit choice, which must win over another
        instance's). */
    void markAsChanged (const juce::String& key);

    /** Makes the file's folder and, when nothing at all lies at the file's
        place (not even a link), an empty file there. */
    void createIfAbsent() const;

    /** True when document, read through the bounded reader with fileLimits,
        is one this class reads: a "PROPERTIES" document (in any letter case,
        as the framework's reader takes it). Any other counts as damaged. */
    static bool isPropertiesDocument (const juce::XmlElement& document);

    /** True when document is a properties document of this plug-in: one that
        holds versionKey as a value and names no other product than this one:
        every productKey element there holds productName as its value (one
        that holds elements names another product). */
    static bool isOwnDocument (const juce::XmlElement& document);

    /** Where a damaged file is moved: its name plus ".damaged", beside the
        file. A symbolic link is moved itself, and the next write replaces it
        with a file. */
    static juce::File getBackupFile (const juce::File& file);

    /** The lock file of the writers of file: its name plus ".lock", beside it. */
    static juce::File getLockFile (const juce::File& file);

protected:
    void propertyChanged() override;

private:
    class SaveTimer : public juce::Timer
    {
    public:
        explicit SaveTimer (ZkPropertiesFile& o)
            : owner (o)
        {
        }

        void timerCallback() override
        {
            stopTimer();
            owner.writeIfNeeded();
        }

    private:
        ZkPropertiesFile& owner;
    };

    struct Changes
    {
        juce::StringArray set, removed;
    };

    struct FileToRead
    {
        juce::File file;                            // none: the values live in memory only
        std::unique_ptr<juce::XmlElement> document; // as the bounded reader read it; none for no values
    };

    ZkPropertiesFile (const Options& fileOptions, FileToRead toRead);

    static FileToRead fileToRead (const juce::File& file);
    static void apply (juce::XmlElement& document, const juce::StringPairArray& values,
                       const Changes& changes);

    /** Under getLock(). */
    Changes changesSinceRead (const juce::StringPairArray& values) const;
    void keepNewerValues (Changes& changes, const juce::StringPairArray& valuesOnDisk) const;

    const juce::File file;
    const int millisecondsBeforeSaving; // [ms] after a change; 0: at once, below 0: only when destroyed
    SaveTimer saveTimer{*this};
    bool needsWriting = false; // under getLock()

    // The values as read from the file or as last written to it: what the file
    // held as far as this instance knows. Differences are its own changes.
    juce::StringPairArray valuesAsRead;
    juce::StringArray markedKeys;

    JUCE_DECLARE_NON_COPYABLE (ZkPropertiesFile)
};
