#include "host/FileBytes.h"

#include <cstdio>

bool FileBytes::read (const std::string& path, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen (path.c_str(), "rb");
    if (file == nullptr)
        return false;

    unsigned char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread (buffer, 1, sizeof (buffer), file)) > 0)
        bytes.insert (bytes.end(), buffer, buffer + got);

    const bool ok = std::ferror (file) == 0;
    std::fclose (file);
    return ok;
}

bool FileBytes::write (const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* file = std::fopen (path.c_str(), "wb");
    if (file == nullptr)
        return false;

    bool ok = bytes.empty() || std::fwrite (bytes.data(), bytes.size(), 1, file) == 1;
    ok = std::fclose (file) == 0 && ok;
    return ok;
}
