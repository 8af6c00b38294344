#pragma once

#include "engine/ZkBoundedXmlReader.h"

#include <juce_data_structures/juce_data_structures.h>

/**
    The framework's properties file, read and written safely:

    - the file is read only when it lies under a usable home folder
      (ZkHomeFolder); otherwise the values live in memory only and nothing is
      ever written;
    - before the framework's parser sees the file, it must pass the bounded XML
      reader (fileLimits). A file that does not counts as damaged: it is
      removed, the values start empty, and the next save writes a new file.
      When it cannot be removed, the values stay in memory only;
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

    /** Writes the file now; true when it now holds the values. False, and the
        file as it was, when the file cannot be written or the values would make
        a file beyond fileLimits. */
    bool write();

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

    static juce::File fileToRead (const Options& fileOptions);
    static Options withoutFrameworkSaving (Options fileOptions);
    static bool holds (const juce::File& file, const char* bytes, size_t size);

    const int millisecondsBeforeSaving;
    SaveTimer saveTimer{*this};

    JUCE_DECLARE_NON_COPYABLE (ZkPropertiesFile)
};
