#include "engine/ZkPropertiesFile.h"

#include "engine/ZkHomeFolder.h"
#include "engine/ZkSafeFileWriter.h"

ZkPropertiesFile::ZkPropertiesFile (const Options& fileOptions)
    : juce::PropertiesFile (fileToRead (fileOptions), withoutFrameworkSaving (fileOptions))
    , millisecondsBeforeSaving (fileOptions.millisecondsBeforeSaving)
{
}

ZkPropertiesFile::~ZkPropertiesFile()
{
    saveTimer.stopTimer();
    writeIfNeeded();
}

juce::File ZkPropertiesFile::fileToRead (const Options& fileOptions)
{
    // Resolving the default file expands "~": only with a usable home folder.
    if (ZkHomeFolder::find() == juce::File())
        return {};

    const auto defaultFile = fileOptions.getDefaultFile();

    if (defaultFile.existsAsFile() && ZkBoundedXmlReader::parse (defaultFile, fileLimits) == nullptr &&
        !defaultFile.deleteFile())
        return {};

    return defaultFile;
}

juce::PropertiesFile::Options ZkPropertiesFile::withoutFrameworkSaving (Options fileOptions)
{
    // The framework's own saving neither notices every failed write nor gives
    // up at once on a file it cannot replace; this class saves instead.
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

bool ZkPropertiesFile::holds (const juce::File& file, const char* bytes, size_t size)
{
    if (file.getSize() != (juce::int64)size)
        return false;

    juce::MemoryBlock contents;
    return file.loadFileAsData (contents) && contents.matches (bytes, size);
}

bool ZkPropertiesFile::writeIfNeeded()
{
    return !needsToBeSaved() || write();
}

bool ZkPropertiesFile::write()
{
    const auto& target = getFile();

    if (target == juce::File() || target.isDirectory() ||
        target.getParentDirectory().createDirectory().failed())
        return false;

    juce::XmlElement document ("PROPERTIES");
    {
        const juce::ScopedLock valuesLock (getLock());
        const auto& values = getAllProperties();

        for (int i = 0; i < values.size(); ++i)
        {
            auto* value = document.createNewChildElement ("VALUE");
            value->setAttribute ("name", values.getAllKeys()[i]);
            value->setAttribute ("val", values.getAllValues()[i]);
        }
    }

    const auto text = document.toString();
    const auto* bytes = text.toRawUTF8();
    const auto size = text.getNumBytesAsUTF8();

    // A file that the bounded reader would refuse is not written: the next
    // instance would take it for a damaged one. (Only a file that was read with
    // a thousand keys or so comes near the bounds.)
    if (!ZkBoundedXmlReader::isWithinLimits (bytes, size, fileLimits))
        return false;

    // Most saves (every instance writes its editor ratio back) find the file as
    // it is; it is then left alone rather than written and synced again.
    if (!holds (target, bytes, size) && !ZkSafeFileWriter::write (target, bytes, size))
        return false;

    setNeedsToBeSaved (false);
    return true;
}
