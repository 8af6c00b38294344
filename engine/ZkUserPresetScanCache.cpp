#include "engine/ZkUserPresetScanCache.h"

#include "engine/ZkUserPresetFile.h"
#include "engine/ZkUserPresetFileName.h"
#include "engine/ZkUtf8.h"

#include <cstring>
#include <optional>
#include <vector>

// The folder is read with the POSIX calls (Linux and macOS): juce's directory
// iterator gives modification times in whole seconds only and matches
// wildcards ignoring case on every platform.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace
{
constexpr juce::int64 minAgeOfKeptVerdict = 2; // [s]

struct ListedFile
{
    std::string fileName; // as the folder gives it
    juce::String presetName;
};

/** The file of a name as the folder gives it, byte for byte: a name with
    overlong forms or surrogates is no text that would find the file again. */
juce::File fileNamed (const juce::String& folderPath, const std::string& fileName)
{
    return juce::File (folderPath + juce::File::getSeparatorString() +
                       juce::String::fromUTF8 (fileName.data(), (int)fileName.size()));
}
} // namespace

ZkUserPresetScanCache::ZkUserPresetScanCache (Checker checker)
    : isValidPresetFile (std::move (checker))
{
}

ZkUserPresetScanCache& ZkUserPresetScanCache::getShared()
{
    static ZkUserPresetScanCache shared ([] (const juce::File& file)
                                         { return ZkUserPresetFile::readDocument (file) != nullptr; });
    return shared;
}

juce::StringArray ZkUserPresetScanCache::scan (const juce::File& folder, juce::Array<juce::File>* presetFiles)
{
    const auto folderPath = folder.getFullPathName();

    // File times are only as fine as the system's clock tick: a file written
    // twice within one tick, at the same size, would keep its stamp. Verdicts of
    // files changed in the last seconds are therefore not kept; such files are
    // checked again by every scan until they are older.
    const auto youngestKeptSeconds = juce::Time::currentTimeMillis() / 1000 - minAgeOfKeptVerdict;
    std::vector<ListedFile> files;
    std::vector<FileStamp> stamps;

    if (auto* dir = folderPath.isNotEmpty() ? opendir (folderPath.toRawUTF8()) : nullptr)
    {
        const int dirFd = dirfd (dir);

        while (const auto* entry = readdir (dir))
        {
            const auto length = (int)std::strlen (entry->d_name);

            // A name that earlier versions listed is listed with its ill-formed
            // parts repaired (it loads through presetFiles); one that they did
            // not is not: stray bytes, or an overlong form that the framework
            // reads as a '/' or a control character (its paths would lose it).
            if (!ZkUtf8::isReadable (entry->d_name, (size_t)length) ||
                ZkUserPresetFileName::presetNameOf (juce::String::fromUTF8 (entry->d_name, length)).isEmpty())
                continue;

            auto presetName =
                ZkUserPresetFileName::presetNameOf (ZkUtf8::toValidString (entry->d_name, (size_t)length));
            struct stat info;

            if (presetName.isEmpty() || fstatat (dirFd, entry->d_name, &info, 0) != 0 ||
                !S_ISREG (info.st_mode))
                continue;

#if JUCE_MAC || JUCE_IOS
            const auto& modified = info.st_mtimespec;
#else
            const auto& modified = info.st_mtim;
#endif
            files.push_back ({entry->d_name, std::move (presetName)});
            stamps.push_back ({(juce::int64)info.st_size, (juce::int64)modified.tv_sec,
                               (juce::int64)modified.tv_nsec, (juce::uint64)info.st_ino});
        }

        closedir (dir);
    }
    else
    {
        const std::lock_guard<std::mutex> guard (lock);
        verdictsOfFolder.erase (folderPath);
        return {};
    }

    std::vector<std::optional<bool>> isValid (files.size());
    {
        const std::lock_guard<std::mutex> guard (lock);
        const auto& known = verdictsOfFolder[folderPath];

        for (size_t i = 0; i < files.size(); ++i)
        {
            const auto verdict = known.find (files[i].fileName);
            if (verdict != known.end() && verdict->second.stamp == stamps[i])
                isValid[i] = verdict->second.isValid;
        }
    }

    // Files are read without the lock. A file that changes after its stamp was
    // taken is checked again by the next scan, which sees a new stamp.
    for (size_t i = 0; i < files.size(); ++i)
        if (!isValid[i])
            isValid[i] = isValidPresetFile (fileNamed (folderPath, files[i].fileName));

    FolderVerdicts verdicts;
    verdicts.reserve (files.size());
    juce::StringArray names;

    for (size_t i = 0; i < files.size(); ++i)
    {
        if (stamps[i].modifiedSeconds < youngestKeptSeconds)
            verdicts[files[i].fileName] = {stamps[i], *isValid[i]};

        if (*isValid[i])
        {
            names.add (files[i].presetName);

            if (presetFiles != nullptr)
                presetFiles->add (fileNamed (folderPath, files[i].fileName));
        }
    }

    const std::lock_guard<std::mutex> guard (lock);
    verdictsOfFolder[folderPath] = std::move (verdicts);
    return names;
}
