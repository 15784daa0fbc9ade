#include "sk_disk.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

bool SkDiskFileSize(const char* path, long& size) {
    struct stat st;
    if (!path || stat(path, &st) != 0 || !(st.st_mode & S_IFREG)) return false;
    size = (long)st.st_size;
    return true;
}

static bool EndsWith(const char* name, const char* extension) {
    size_t n = std::strlen(name), e = std::strlen(extension);
    if (n <= e) return false;
    for (size_t i = 0; i < e; ++i)
        if (std::tolower((unsigned char)name[n - e + i]) != std::tolower((unsigned char)extension[i])) return false;
    return true;
}

void SkDiskForEach(const char* folder, const char* extension, void (*visit)(const char*, void*), void* context) {
    if (!folder || !extension || !visit) return;
#ifdef _WIN32
    char pattern[2048];
    std::snprintf(pattern, sizeof(pattern), "%s\\*%s", folder, extension);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern, &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWith(found.cFileName, extension))
            visit(found.cFileName, context);
    } while (FindNextFileA(h, &found));
    FindClose(h);
#else
    DIR* dir = opendir(folder);
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        if (!EndsWith(entry->d_name, extension)) continue;
        char path[2048];
        std::snprintf(path, sizeof(path), "%s/%s", folder, entry->d_name);
        long size;
        if (SkDiskFileSize(path, size)) visit(entry->d_name, context);
    }
    closedir(dir);
#endif
}
