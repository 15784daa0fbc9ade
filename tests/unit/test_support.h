// Small helpers shared by the unit tests.
#pragma once
#include <string>

// A fresh, empty folder for one test, ending in a backslash.
std::string MakeTempDir(const char* tag);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// The file's bytes; an empty string when it cannot be read (see FileExists).
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
