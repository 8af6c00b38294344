#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <map>
#include <mutex>
#include <unordered_map>

/**
    Lists the user presets of a presets folder: the names (ZkUserPresetFileName)
    of the plain files directly inside it whose content is a valid preset, in
    the order the folder lists them.

    Checking a file means reading and parsing it; with thousands of presets
    that takes seconds, and the list is rebuilt on every menu, load, save and
    step. So each file's verdict is remembered with the file's size,
    modification time and file number, and a rescan checks only files that are
    new or whose size, time or number changed since they were last checked in
    this process (a save replaces the file, so it gets a new number). Files
    changed in the last two seconds are checked by every scan: file times are
    only as fine as the system's clock tick. Verdicts of files gone from the
    folder are dropped by the rescan that misses them.

    The shared cache serves all processors of the process. Message and host
    threads only (it reads files and takes a lock); never the audio thread.
    Concurrent scans are safe: the lock guards the remembered verdicts only,
    files are checked outside it.
*/
class ZkUserPresetScanCache
{
public:
    /** True when the file holds a valid preset (reads and parses it). */
    using Checker = std::function<bool (const juce::File&)>;

    explicit ZkUserPresetScanCache (Checker isValidPresetFile);

    /** The cache of this process, checking files with ZkUserPresetFile. */
    static ZkUserPresetScanCache& getShared();

    /** The names of the valid user presets in folder, in listing order. Empty
        when folder cannot be listed. A file name whose bytes are not
        well-formed UTF-8 but pass the framework's test (ZkUtf8::isReadable)
        lists its repair, which need not find the file: presetFiles, when
        given, gets the file of each name, in the same order. */
    juce::StringArray scan (const juce::File& folder, juce::Array<juce::File>* presetFiles = nullptr);

private:
    struct FileStamp
    {
        juce::int64 size = 0, modifiedSeconds = 0, modifiedNanoseconds = 0;
        juce::uint64 fileNumber = 0;

        bool operator== (const FileStamp& other) const
        {
            return size == other.size && modifiedSeconds == other.modifiedSeconds &&
                   modifiedNanoseconds == other.modifiedNanoseconds && fileNumber == other.fileNumber;
        }
    };

    struct Verdict
    {
        FileStamp stamp;
        bool isValid = false;
    };

    // File name -> verdict, per folder path.
    using FolderVerdicts = std::unordered_map<std::string, Verdict>;

    Checker isValidPresetFile;
    std::mutex lock;
    std::map<juce::String, FolderVerdicts> verdictsOfFolder;

    JUCE_DECLARE_NON_COPYABLE (ZkUserPresetScanCache)
};
