// File helpers shared by the host tools.
#pragma once
#include <string>
#include <vector>

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& out);
// Writes through a temporary file so a failed run never leaves half a file.
bool WriteFileBytes(const std::string& path, const void* data, size_t size);
bool MakeDirs(const std::string& path);
