#pragma once

// A processor made in a fresh temporary home folder, with helpers to read and
// write parameters by name and to capture what a failed operation must leave
// unchanged.

#include <gtest/gtest.h>

#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/ZkUserPresetFile.h"
#include "support/TemporaryHome.h"

#include <memory>
#include <vector>

/** Everything a refused preset operation must leave as it was. */
struct PresetState
{
    std::vector<float> values;
    juce::String name;
    int id = 0;
    bool isFactory = true;
    bool wasModified = false;
    bool canUndo = false;

    explicit PresetState (ZkOstinelAudioProcessor& p)
        : name (p.getCurrentPresetName())
        , id (p.getCurrentPresetID())
        , isFactory (p.currentPresetIsFactory())
        , wasModified (p.currentPresetWasModified())
        , canUndo (p.canUndo())
    {
        auto* manager = p.getParameterManager();
        for (int i = 0; i < manager->getNumberOfParameters(); ++i)
            values.push_back (manager->getParameterValue (i));
    }

    bool operator== (const PresetState& other) const
    {
        return values == other.values && name == other.name && id == other.id &&
               isFactory == other.isFactory && wasModified == other.wasModified && canUndo == other.canUndo;
    }
};

class PresetTestFixture : public ::testing::Test
{
protected:
    TemporaryHome home;
    std::unique_ptr<ZkOstinelAudioProcessor> processor = std::make_unique<ZkOstinelAudioProcessor>();

    juce::File presetsFolder() const { return processor->getUserPresetsFolder(); }

    int indexOf (const juce::String& name) const
    {
        return processor->getParameterManager()->getParameterIndex (name);
    }

    float value (const juce::String& name) const
    {
        const int index = indexOf (name);
        EXPECT_GE (index, 0) << name;
        return processor->getParameterManager()->getParameterValue (index);
    }

    float defaultValue (int index) const
    {
        return processor->getParameterManager()->getParameter (index)->getDefaultValue();
    }

    /** An editor write: one undo step, marks the preset as modified. */
    void edit (const juce::String& name, float v)
    {
        processor->setParam (name, v, juce::dontSendNotification, startNewTransaction, true);
    }

    /** The text of a complete preset as the processor saves it. */
    juce::String presetText() const
    {
        const auto element = processor->getCurrentPresetTree().createXml();
        return ZkUserPresetFile::createDocumentText (*element);
    }

    /** Writes a plain preset file into the presets folder as a user's editor
        would: header, text and (unless left out) the closing 0 byte. */
    void writePlain (const juce::String& fileName, const juce::String& text, bool withClosingZero = true)
    {
        juce::MemoryOutputStream out;
        out.writeString (ZkUserPresetFile::headerText);
        if (withClosingZero)
            out.writeString (text);
        else
            out.writeText (text, false, false, nullptr);
        ASSERT_TRUE (
            presetsFolder().getChildFile (fileName).replaceWithData (out.getData(), out.getDataSize()));
    }

    /** Saves the current preset under each name (all different values). */
    void saveUserPresets (std::initializer_list<const char*> names)
    {
        float mix = 0.1f;
        for (const auto* name : names)
        {
            edit ("Mix", mix);
            mix += 0.05f;
            ASSERT_TRUE (processor->saveCurrentPresetToDisk (name, true)) << name;
        }
    }
};
