// File helpers shared by the host tools.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& out);
// The whole file as text, bytes as they are.
bool ReadFileText(const std::string& path, std::string& out);
// Writes through a temporary file so a failed run never leaves half a file.
bool WriteFileBytes(const std::string& path, const void* data, size_t size);
// Writes as WriteFileBytes unless the file already holds exactly these
// bytes, so unchanged outputs keep their times and nothing that depends on
// them is rebuilt for nothing. *written, when given, says whether it wrote.
bool WriteFileIfChanged(const std::string& path, const void* data, size_t size, bool* written = nullptr);
inline bool WriteFileIfChanged(const std::string& path, const std::string& text, bool* written = nullptr) {
    return WriteFileIfChanged(path, text.data(), text.size(), written);
}
bool MakeDirs(const std::string& path);
// dir and rest joined by one '/'; rest alone when dir is empty.
std::string JoinPath(const std::string& dir, const std::string& rest);
// The lines of a text, split at '\n' (which they leave out); what follows
// the last '\n' is the last line, empty when the text ends in one.
std::vector<std::string> SplitLines(const std::string& text);
