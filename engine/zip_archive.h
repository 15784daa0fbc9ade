// The game's data archive: a zip file of stored (uncompressed) entries,
// opened once and kept open for the whole run. Entries are looked up by the
// file IDs of the manifest, whose full paths are the entry names.
#pragma once
#include <cstdio>

// The lock around each read: a critical section on Windows; the parsing
// itself makes no system calls besides the C library's file functions.
#ifdef _WIN32
#include <windows.h>
typedef CRITICAL_SECTION ArchiveLock;
#else
struct ArchiveLock {};
#endif

// Where one file ID's data lies in the archive. size 0 and offset 0 means the
// archive has no usable entry for that ID. The read position is not kept here:
// it belongs to each open handle, so one file can be open twice.
struct ZipEntry {
    unsigned offset;
    unsigned size;
};

class ZipArchive {
public:
    // End-record signatures: the standard "PK\5\6" and the "DM.A" that
    // marks an archive the game has already run from.
    static const unsigned kStandardSignature = 0x06054b50;
    static const unsigned kDmSignature = 0x412e4d44;

    // paths[i] is the full path of file ID i (paths[0] is unused);
    // id_count is the number of IDs including 0.
    ZipArchive(const char* path, const char* const* paths, unsigned id_count);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // id when the archive holds a usable entry for it, else 0.
    unsigned OpenEntry(unsigned id);
    // Moves position (a handle's read position within entry id): whence 0
    // from the start, 1 from position, 2 from the end. 0, or -1 when the new
    // position would lie outside 0..size (position then stays).
    int Seek(unsigned id, unsigned& position, long offset, int whence);
    // Reads at most the rest of the entry from position on and advances it.
    unsigned Read(unsigned id, unsigned& position, void* buffer, unsigned n);
    // Entry size in bytes; 0 for an ID without an entry.
    unsigned GetSize(unsigned id) const;

    bool IsOpen() const { return file != nullptr; }
    const char* GetError() const { return error; }
    unsigned GetSignature() const { return signature; }

private:
    void SetError(const char* format, const char* arg);
    void BuildEntries(const unsigned char* dir, unsigned dir_size, unsigned long file_size,
                      const char* const* paths);
    bool ReadAt(unsigned long offset, void* buffer, unsigned n);

    char* path; // owned
    FILE* file;
    // End of central directory record.
    unsigned signature;
    unsigned short disk_number;
    unsigned short directory_disk;
    unsigned short disk_entries;
    unsigned short total_entries;
    unsigned directory_size;
    unsigned directory_offset;
    // Where the FILE* stands, so consecutive reads need no seek. -1: unknown.
    long file_position;
    ZipEntry* entries;
    unsigned entry_count;
    ArchiveLock lock;
    char error[1024];
};
