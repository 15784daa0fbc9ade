// Every data file of the game is reached here, by file ID or by label. The
// manifest gives each file an ID, a label and a full path; a file is read
// loose from that path when it exists on disk, otherwise from the same-named
// entry of the data archive.
#pragma once
#include <cstdio>

class TiXmlDocument;
class ZipArchive;

// One open file. loose is set for a file read from disk, entry (the file ID)
// for one read from the archive; both zero means the file was not found.
// Each handle has its own read position, so a file can be open twice.
struct FileHandle {
    FILE* loose;
    unsigned entry;
    unsigned position; // read position within an archive entry
};

class FileSystem {
public:
    static const int kMaxFiles = 9999;

    // Reads the manifest (and opens the archive it names). false on a parse
    // error, whose message is then in GetError(). A missing or unusable
    // archive is not a failure: files are then only found loose.
    bool Load(const char* manifest_path);
    void Shutdown();

    // First ID with exactly this label; 0 when there is none.
    int GetFileId(const char* label);
    // Always returns a handle (null only when out of memory) that becomes the
    // current one; test its members to see whether the file was found, and
    // Close it either way.
    FileHandle* Open(int id);
    // A null handle means the current one.
    unsigned Read(void* buffer, unsigned n, FileHandle* handle = nullptr);
    // whence: 0 from the start, 1 from the current position, 2 from the end.
    int Seek(long offset, int whence, FileHandle* handle = nullptr);
    long Tell(FileHandle* handle = nullptr);
    void Close(FileHandle* handle = nullptr);
    // The whole file. Without a buffer one is allocated (malloc; the caller
    // frees it) with a few zero bytes after the data, so it can be parsed as
    // text; a given buffer must hold the whole file and gets no NUL. null
    // when not found.
    unsigned char* ReadAll(int id, unsigned char* buffer = nullptr, unsigned* size_out = nullptr);
    bool LoadXml(int id, TiXmlDocument* document);

    const char* GetError() const { return error; }
    const char* GetPath(int id) const;
    const char* GetLabel(int id) const;
    int GetFileCount() const { return file_count; }
    ZipArchive* GetArchive() const { return archive; }

private:
    // No constructor: the one global instance is zero-initialised before any
    // code runs, so it can be used from anywhere during start-up.
    char* path[kMaxFiles + 1];
    char* label[kMaxFiles + 1];
    FileHandle* current;
    ZipArchive* archive;
    int file_count;
    char error[1024];

    void SetError(const char* format, ...);
    FileHandle* Resolve(FileHandle* handle);
};

extern FileSystem g_fileSystem;
