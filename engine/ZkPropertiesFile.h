#pragma once

#include "engine/ZkBoundedXmlReader.h"

#include <juce_data_structures/juce_data_structures.h>

#include <memory>

/**
    The framework's properties file, shared by every instance of the plug-in
    in every host, read and written so that no instance undoes what another
    instance or the user wrote:

    - the file is read only when it lies under a usable home folder
      (ZkHomeFolder); otherwise the values live in memory only and nothing is
      ever written;
    - a file that cannot be read (no permission, not a regular file) is left
      alone: the values start empty and live in memory only;
    - before the framework's parser sees the file, it must pass the bounded XML
      reader (fileLimits) and hold a "PROPERTIES" document. A file that does
      not counts as damaged: it is moved aside to one backup beside it
      (getBackupFile, replacing an earlier backup), the values start empty,
      and the next save writes a new file. When it cannot be moved, the values
      stay in memory only;
    - a save writes only the keys that this instance changed (set to another
      text than it read, added, removed, or marked with markAsChanged), merged
      into the file as it stands at that moment: the file is read again, and
      every other key, and every element the file holds that is not a value,
      keeps its text. An unmarked change is dropped when the file no longer
      holds the value it was made on (someone else's change is newer); a
      marked one, the user's choice, is always written. A missing or empty
      file gets every value of the instance. Writers serialise on a lock file beside the file
      (getLockFile); a save that does not get the lock within
      ZkFileLock::defaultTimeoutMs is not done. A lock file that cannot be
      opened or locked at all does not stop it: the save goes ahead without
      the lock and says so in the log. An instance that changed
      nothing writes nothing;
    - a symbolic link is written through only to a properties file or an
      empty file (ZkSafeFileWriter); any other link is replaced with a file;
    - saving, on the same schedule as the framework's (the options' delay after
      a change, and when the object is destroyed), goes through ZkSafeFileWriter:
      a save that fails leaves the file as it was and is tried once, not again
      until the next change or the end of the object's life. The framework's
      own save() and saveIfNeeded() write nothing here and answer false: use
      write() and writeIfNeeded().

    The file keeps the framework's XML form: a "PROPERTIES" element holding one
    "VALUE" element per key with the attributes "name" and "val".

    Message thread, like the framework's class (its save timer runs there).
*/
class ZkPropertiesFile : public juce::PropertiesFile
{
public:
    static constexpr ZkBoundedXmlReader::Limits fileLimits{1 << 20, 1024, 2048};

    explicit ZkPropertiesFile (const Options& fileOptions);
    ~ZkPropertiesFile() override;

    /** Writes the file when a value changed since the last successful write.
        True when the file now holds the values. Always false without a file. */
    bool writeIfNeeded();

    /** Writes this instance's changes now; true when the file now holds them
        (also when there are none). False, and the file as it was, when the
        file cannot be read or written, is not locked in time, or would grow
        beyond fileLimits. */
    bool write();

    /** The next write stores key's value also when it is the text that was
        read (a user's explicit choice, which must win over another
        instance's). */
    void markAsChanged (const juce::String& key);

    /** True when document, read through the bounded reader with fileLimits,
        is one this class reads: a "PROPERTIES" document whose values the
        framework's reader can take. Any other counts as damaged. */
    static bool isPropertiesDocument (const juce::XmlElement& document);

    /** Where a damaged file is moved: its name plus ".damaged", beside the
        file. A symbolic link is moved itself, and the next save replaces it
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

    static FileToRead fileToRead (const Options& fileOptions);
    static Options withoutFrameworkSaving (Options fileOptions);
    static bool holds (const juce::File& file, const char* bytes, size_t size);
    static void apply (juce::XmlElement& document, const juce::StringPairArray& values,
                       const Changes& changes);

    /** Replaces the values that the framework's parser read by those of
        document (when there is one), all well-formed UTF-8, and returns them
        (construction only). */
    const juce::StringPairArray& takeValuesOf (const juce::XmlElement* document);

    /** Under getLock(). */
    Changes changesSinceRead (const juce::StringPairArray& values) const;
    void keepNewerValues (Changes& changes, const juce::StringPairArray& valuesOnDisk) const;

    const int millisecondsBeforeSaving;
    SaveTimer saveTimer{*this};

    // The values as read from the file or as last written to it: what the file
    // held as far as this instance knows. Differences are its own changes.
    juce::StringPairArray valuesAsRead;
    juce::StringArray markedKeys;

    JUCE_DECLARE_NON_COPYABLE (ZkPropertiesFile)
};
