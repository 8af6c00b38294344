#include "host/PluginLibrary.h"

#include <dlfcn.h>

PluginLibrary::~PluginLibrary()
{
    close();
}

bool PluginLibrary::open (const std::string& path, std::string& error)
{
    close();

    // A path without a slash would make dlopen search the library path instead.
    const std::string target = path.find ('/') == std::string::npos ? "./" + path : path;
    handle = dlopen (target.c_str(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
    {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "cannot open " + path;
        return false;
    }

    for (const char* name : {"VSTPluginMain", "main"})
    {
        if (void* symbol = dlsym (handle, name))
        {
            entry = reinterpret_cast<VstPluginEntry> (symbol);
            entryName = name;
            return true;
        }
    }

    error = path + " exports neither VSTPluginMain nor main";
    close();
    return false;
}

void PluginLibrary::close()
{
    if (handle != nullptr)
        dlclose (handle);

    handle = nullptr;
    entry = nullptr;
    entryName.clear();
}
