// Helpers for the game-data tests: little-endian byte strings, a manifest of
// test documents, the folder of the real content and a working folder that
// is put back afterwards.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "file_system.h"
#include "test_support.h"

inline std::string Le32(int v) {
    unsigned u = (unsigned)v;
    return std::string{(char)(u & 0xFF), (char)((u >> 8) & 0xFF), (char)((u >> 16) & 0xFF), (char)(u >> 24)};
}

inline std::string LeFloat(float f) {
    int bits;
    std::memcpy(&bits, &f, 4);
    return Le32(bits);
}

inline int ReadLe32(const std::string& bytes, size_t at) {
    unsigned char b[4];
    std::memcpy(b, bytes.data() + at, 4);
    return (int)(b[0] | (unsigned)b[1] << 8 | (unsigned)b[2] << 16 | (unsigned)b[3] << 24);
}

// Writes each (label, text) as a file of dir and loads a manifest of them.
inline bool LoadTestManifest(const std::string& dir, const std::vector<std::pair<std::string, std::string>>& docs) {
    std::string xml = "<manifest res_path=\"" + dir + "\"><group path=\"\">";
    int n = 0;
    for (const auto& d : docs) {
        std::string file = "doc" + std::to_string(++n) + ".xml";
        if (!WriteWholeFile(dir + file, d.second)) return false;
        xml += "<file label=\"" + d.first + "\" path=\"" + file + "\"/>";
    }
    xml += "</group></manifest>";
    return WriteWholeFile(dir + "manifest.xml", xml) && g_fileSystem.Load((dir + "manifest.xml").c_str());
}

// The content folder of the sources, as a Windows path (call it while the
// working folder is still the one the tests started in).
inline std::string ContentDir() {
    std::string source = __FILE__;
    size_t at = source.rfind("tests");
    std::string unixPath = source.substr(0, at) + "content/";
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(unixPath.c_str(), sizeof(full), full, nullptr);
    return n && n < sizeof(full) ? std::string(full) : unixPath;
}

// Makes dir the working folder ("Quorvane.ai" is read from there) until the
// end of the scope.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& dir) {
        GetCurrentDirectoryA(sizeof(saved), saved);
        SetCurrentDirectoryA(dir.c_str());
    }
    ~WorkingFolder() { SetCurrentDirectoryA(saved); }

private:
    char saved[MAX_PATH];
};
