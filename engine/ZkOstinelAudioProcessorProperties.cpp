// The per-user properties file and the editor size values derived from it.
// Everything here runs on the message thread; the editor sizes are also read
// and written by the host's state calls, so they change under presetTreeLock.
//
// The file is read and written by ZkPropertiesFile (bounded reading, writes
// that never leave it part written, a place under the home folder, links there
// written through only to the plug-in's own file, wherever that lies, each
// instance writing only what it changed).
// On Linux the framework puts the file at ~/TELQUARLAB/ZkOstinel.zkproperties
// (the macOS library sub-folder does not apply there); on macOS it lies in
// ~/Library/Application Support/TELQUARLAB/.

#include "engine/ZkOstinelAudioProcessor.h"

#include <cmath>

namespace
{
const juce::String ratioKey ("DefaultEditorDesktopHeightRatio");
constexpr int currentPropertiesFileVersion = 101;
constexpr float defaultRatio = 0.5f; // editor height / main display height

// [px] Used in place of the main display's height when there is none (a
// headless machine reports a height of 0), so that sizes stay sane and no
// ratio is ever divided by zero.
constexpr float fallbackDisplayHeight = 1080.0f;

// [px] A default editor height beyond this only comes from a damaged ratio;
// the bound keeps the conversion to an integer defined.
constexpr float maxEditorHeight = 1.0e6f;

/** [px] Height of the whole main display, read anew at each use. */
float mainDisplayHeight()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    const int height = display != nullptr ? display->totalArea.getHeight() : 0;
    return height > 0 ? (float)height : fallbackDisplayHeight;
}

bool isUsableRatio (float ratio)
{
    return std::isfinite (ratio) && ratio > 0.0f;
}
} // namespace

juce::PropertiesFile::Options ZkOstinelAudioProcessor::getPropertiesFileOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "ZkOstinel";
    options.filenameSuffix = "zkproperties";
    options.folderName = "TELQUARLAB";
    options.osxLibrarySubFolder = "Application Support";
    options.commonToAllUsers = false;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    return options;
}

void ZkOstinelAudioProcessor::initPropertiesFile()
{
    propertiesFileOptions = getPropertiesFileOptions();

    // Reads the file only when its place lies under the user's home folder
    // (a link there may lead to the plug-in's own file elsewhere) and it
    // passes the bounded reader; a damaged file is moved aside to its backup
    // and a new one written by the next write, an unreadable one is left alone.
    propertiesFile =
        std::make_unique<ZkPropertiesFile> (ZkPropertiesFile::Options::from (propertiesFileOptions));

    const auto file = propertiesFile->getFile();

    if (file.exists())
    {
        // Files of older versions (or without a version) start over.
        if (propertiesFile->getIntValue (ZkPropertiesFile::versionKey, 0) < currentPropertiesFileVersion)
        {
            propertiesFile->clear();
            setPropertiesHeaderValues();
        }
    }
    else
    {
        // With its folders; a failure leaves the values in memory. Without a
        // usable home folder there is no file, and nothing is created.
        propertiesFile->createIfAbsent();

        setPropertiesHeaderValues();
    }
}

void ZkOstinelAudioProcessor::setPropertiesHeaderValues()
{
    if (propertiesFile == nullptr)
        return;

    propertiesFile->setValue ("Creator", "Tevlinor");
    propertiesFile->setValue ("Company", "TELQUARLAB");
    propertiesFile->setValue (ZkPropertiesFile::productKey, ZkPropertiesFile::productName);
    propertiesFile->setValue (ZkPropertiesFile::versionKey, currentPropertiesFileVersion);
    propertiesFile->setValue (ratioKey, (double)defaultRatio);
    propertiesFile->setValue ("InstallationDate", juce::Time::getCurrentTime().toString (true, false));
    propertiesFile->setValue ("InstallationTime",
                              juce::Time::getCurrentTime().toString (false, true, true, true));
    propertiesFile->setNeedsToBeSaved (true);
}

float ZkOstinelAudioProcessor::getDefaultEditorDesktopHeightRatioFromPropertiesFile()
{
    if (propertiesFile == nullptr)
        return defaultRatio;

    // Text that is not a number reads 0; infinities and NaN are refused too.
    const float ratio = propertiesFile->getValue (ratioKey, {}).getFloatValue();
    return isUsableRatio (ratio) ? ratio : defaultRatio;
}

void ZkOstinelAudioProcessor::updateDefaultEditorSizes()
{
    const float displayHeight = mainDisplayHeight();
    float ratio = defaultRatio;
    {
        const juce::ScopedLock lock (presetTreeLock);

        if (!isUsableRatio (defaultEditorDesktopHeightRatio))
            defaultEditorDesktopHeightRatio = defaultRatio;

        ratio = defaultEditorDesktopHeightRatio;
        defaultEditorHeight = juce::roundToInt (juce::jmin (displayHeight * ratio, maxEditorHeight));
    }

    if (propertiesFile != nullptr)
    {
        // Stored only when the text there does not read as the ratio in use:
        // a ratio read from the file is no change of this instance's, and its
        // text ("0.7") stays as it is.
        if (propertiesFile->getValue (ratioKey).getFloatValue() != ratio)
            propertiesFile->setValue (ratioKey, (double)ratio);

        propertiesFile->setNeedsToBeSaved (true);
    }
}

void ZkOstinelAudioProcessor::markDefaultEditorRatioAsChosen()
{
    // The user's choice is stored even when this instance read the same
    // ratio: another instance may have stored a different one since.
    if (propertiesFile != nullptr)
        propertiesFile->markAsChanged (ratioKey);
}

void ZkOstinelAudioProcessor::resetDefaultEditorDesktopHeightRatio()
{
    {
        const juce::ScopedLock lock (presetTreeLock);
        defaultEditorDesktopHeightRatio = defaultRatio;
    }
    updateDefaultEditorSizes();
    markDefaultEditorRatioAsChosen();
}

void ZkOstinelAudioProcessor::setCurrentAsDefaultEditorDesktopHeightRatio (int shownEditorHeight)
{
    // An editor height of 0 or below gives no usable ratio: nothing is chosen,
    // and a newer ratio that another instance stored stays.
    const float ratio = (float)shownEditorHeight / mainDisplayHeight();

    if (!isUsableRatio (ratio))
        return;

    {
        const juce::ScopedLock lock (presetTreeLock);
        defaultEditorDesktopHeightRatio = ratio;
    }
    updateDefaultEditorSizes();
    markDefaultEditorRatioAsChosen();
}

ZkPropertiesFile* ZkOstinelAudioProcessor::getPropertiesFile() const
{
    return propertiesFile.get();
}
