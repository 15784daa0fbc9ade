// The plain disk access of the skeletal files, which are read by path from
// a loose folder rather than through the game's file system.
#pragma once

#ifdef _WIN32
const char kSkPathSeparator = '\\';
#else
const char kSkPathSeparator = '/';
#endif

// true with the size of an existing regular file.
bool SkDiskFileSize(const char* path, long& size);
// Calls visit with the name (not the path) of every regular file in folder
// whose name ends in extension (".ske"; compared without case), in the
// order the system lists them.
void SkDiskForEach(const char* folder, const char* extension, void (*visit)(const char* fileName, void* context),
                   void* context);
