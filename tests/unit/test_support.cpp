#include "test_support.h"

#include <windows.h>

#include <cstdio>

std::string MakeTempDir(const char* tag) {
    static unsigned serial = 0;
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(base), base);
    if (n == 0 || n >= sizeof(base)) lstrcpyA(base, ".\\");
    char path[MAX_PATH * 2];
    for (;;) {
        wsprintfA(path, "%sqv-%s-%lu-%u", base, tag, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(path, nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return ".\\";
    }
    return std::string(path) + "\\";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadWholeFile(const std::string& path) {
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
