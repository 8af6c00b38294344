#pragma once

// The check that the properties file fuzz target runs on every input and the
// engine tests run on every file of its corpus: the bytes are put where the
// processor's properties file lies and read by the processor's own start-up
// step, then written and read back.

#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkPropertiesFile.h"
#include "fuzz/NestingCheck.h"

#include <juce_core/juce_core.h>

#include <cmath>

/** Message thread; the home folder must be usable. True when the invariants
    hold: a file that the bounded reader refuses, or that holds another
    document than the properties, is taken for damaged (moved to the backup
    unchanged, the values start over with a current header), a readable one
    is left as it is until saved, the editor ratio read from it is usable,
    what is written reads back as the same values (or nothing is written and
    the file stays), and what the reader accepts nests no deeper than it
    allows. */
inline bool checkPropertiesFileBytes (ZkOstinelAudioProcessor& processor, const void* data, size_t size)
{
    const auto file = processor.getPropertiesFile()->getFile();
    const auto document =
        ZkBoundedXmlReader::parse (static_cast<const char*> (data), size, ZkPropertiesFile::fileLimits);
    const bool empty = size == 0;
    const bool readable = document != nullptr && document->hasTagName ("PROPERTIES");
    const auto backup = ZkPropertiesFile::getBackupFile (file);
    backup.deleteFile();

    // The instance's earlier file object must not write over the bytes when it goes.
    processor.getPropertiesFile()->setNeedsToBeSaved (false);

    if (!file.replaceWithData (data, size))
        return false;

    processor.initPropertiesFile();
    auto* properties = dynamic_cast<ZkPropertiesFile*> (processor.getPropertiesFile());

    if (properties == nullptr || properties->getFile() != file)
        return false;

    juce::MemoryBlock onDisk, movedAside;
    file.loadFileAsData (onDisk);
    const bool keptAsBackup = backup.loadFileAsData (movedAside) && movedAside.matches (data, size);
    const bool fileAsExpected = readable || empty ? onDisk.matches (data, size) && !backup.exists()
                                                  : onDisk.isEmpty() && keptAsBackup;

    const float ratio = processor.getDefaultEditorDesktopHeightRatioFromPropertiesFile();
    const bool headerCurrent = properties->getIntValue ("PropertiesFileVersion") >= 101;

    bool readsBack = false;

    if (properties->write())
    {
        ZkPropertiesFile readBack (ZkOstinelAudioProcessor::getPropertiesFileOptions());
        readsBack = readBack.getAllProperties() == properties->getAllProperties();
        readBack.setNeedsToBeSaved (false);
    }
    else
    {
        juce::MemoryBlock after;
        readsBack = file.loadFileAsData (after) && after == onDisk;
    }

    properties->setNeedsToBeSaved (false);
    return fileAsExpected && headerCurrent && std::isfinite (ratio) && ratio > 0.0f && readsBack &&
           nestsWithinReaderDepth (document.get());
}
