// A plug-in's shared object, opened with dlopen and closed when this object
// goes; it finds the VST 2.4 entry (VSTPluginMain, or the older name main).

#pragma once

#include "vst/AEffect.h"

#include <string>

using VstPluginEntry = AEffect* (*)(audioMasterCallback);

class PluginLibrary
{
public:
    PluginLibrary() = default;
    ~PluginLibrary();

    PluginLibrary (const PluginLibrary&) = delete;
    PluginLibrary& operator= (const PluginLibrary&) = delete;

    bool open (const std::string& path, std::string& error);
    void close();

    VstPluginEntry getEntry() const noexcept { return entry; }
    const std::string& getEntryName() const noexcept { return entryName; }

private:
    void* handle = nullptr;
    VstPluginEntry entry = nullptr;
    std::string entryName;
};
