// Whole-file reads and writes of raw bytes for the test host.

#pragma once

#include <string>
#include <vector>

class FileBytes
{
public:
    static bool read (const std::string& path, std::vector<unsigned char>& bytes);
    static bool write (const std::string& path, const std::vector<unsigned char>& bytes);
};
