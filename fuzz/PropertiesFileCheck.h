#pragma once

// The check that the properties file fuzz target runs on every input and the
// engine tests run on every file of its corpus: the bytes are put where the
// processor's properties file lies and read by the processor's own start-up
// step, then written and read back.

#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkPropertiesFile.h"
#include "fuzz/NestingCheck.h"
#include "fuzz/TextCheck.h"

#include <juce_core/juce_core.h>

#include <cmath>

/** One thread at a time: the message thread, or one that stands in for it
    (the fuzz target's small-stack thread); the home folder must be usable. Empty when the invariants
    hold, else the one that does not: a file that the bounded reader refuses,
    or that holds another document than the properties, is taken for damaged
    (moved to the backup unchanged, the values start over with a current
    header), a readable one is left as it is until saved, the editor ratio
    read from it is usable, every value read and every text the reader
    accepts is well-formed UTF-8, what is written reads back as the same
    values (or nothing is written and the file stays), and what the reader
    accepts nests no deeper than it allows. */
inline juce::String checkPropertiesFileBytes (ZkOstinelAudioProcessor& processor, const void* data,
                                              size_t size)
{
    const auto file = processor.getPropertiesFile()->getFile();
    const auto document =
        ZkBoundedXmlReader::parse (static_cast<const char*> (data), size, ZkPropertiesFile::fileLimits);
    const bool empty = size == 0;
    const bool readable = document != nullptr && ZkPropertiesFile::isPropertiesDocument (*document);
    const auto backup = ZkPropertiesFile::getBackupFile (file);
    backup.deleteFile();

    // The instance's earlier file object must not write over the bytes when it goes.
    processor.getPropertiesFile()->setNeedsToBeSaved (false);

    if (!file.replaceWithData (data, size))
        return "the bytes could not be put in place";

    processor.initPropertiesFile();
    auto* properties = processor.getPropertiesFile();

    if (properties == nullptr || properties->getFile() != file)
        return "the instance does not use the file";

    juce::MemoryBlock onDisk, movedAside;
    file.loadFileAsData (onDisk);
    const bool keptAsBackup = backup.loadFileAsData (movedAside) && movedAside.matches (data, size);

    if (readable || empty ? !onDisk.matches (data, size) || backup.exists()
                          : !onDisk.isEmpty() || !keptAsBackup)
        return readable || empty ? "a readable file was not left as it is"
                                 : "a refused file was not moved aside";

    const float ratio = processor.getDefaultEditorDesktopHeightRatioFromPropertiesFile();

    if (properties->getIntValue ("PropertiesFileVersion") < 101)
        return "the header is not current";

    if (!std::isfinite (ratio) || ratio <= 0.0f)
        return "the editor ratio is not usable";

    if (!nestsWithinReaderDepth (document.get()))
        return "the reader took a document nested deeper than it allows";

    if (!holdsOnlyWellFormedText (document.get()))
        return "the reader took text that is not well-formed";

    for (const auto& value : properties->getAllProperties().getAllValues())
        if (!ZkUtf8::isValid (value.toRawUTF8(), value.getNumBytesAsUTF8()))
            return "a value read is not well-formed";

    juce::String result;

    if (properties->write())
    {
        ZkPropertiesFile readBack (
            ZkPropertiesFile::Options::from (ZkOstinelAudioProcessor::getPropertiesFileOptions()));

        if (readBack.getAllProperties() != properties->getAllProperties())
            result = "the written file reads back as other values";

        readBack.setNeedsToBeSaved (false);
    }
    else
    {
        juce::MemoryBlock after;

        if (!file.loadFileAsData (after) || after != onDisk)
            result = "a write that failed changed the file";
    }

    properties->setNeedsToBeSaved (false);
    return result;
}
