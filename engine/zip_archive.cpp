#include "zip_archive.h"

#include "strings.h"

#include <cstdlib>
#include <cstring>

namespace {

const unsigned kEndRecordSize = 22;
const unsigned kDirRecordSize = 46;
const unsigned kLocalHeaderSize = 30;
const unsigned kDirSignature = 0x02014b50;
const unsigned kLocalSignature = 0x04034b50;

#ifdef _WIN32
void InitLock(ArchiveLock& l) { InitializeCriticalSection(&l); }
void DeleteLock(ArchiveLock& l) { DeleteCriticalSection(&l); }
void Lock(ArchiveLock& l) { EnterCriticalSection(&l); }
void Unlock(ArchiveLock& l) { LeaveCriticalSection(&l); }
#else
void InitLock(ArchiveLock&) {}
void DeleteLock(ArchiveLock&) {}
void Lock(ArchiveLock&) {}
void Unlock(ArchiveLock&) {}
#endif

unsigned U16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned U32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((unsigned)p[3] << 24);
}

} // namespace

ZipArchive::ZipArchive(const char* archive_path, const char* const* paths, unsigned id_count)
    : path(nullptr), file(nullptr), signature(0), disk_number(0), directory_disk(0),
      disk_entries(0), total_entries(0), directory_size(0), directory_offset(0),
      file_position(-1), entries(nullptr), entry_count(0) {
    error[0] = 0;
    InitLock(lock);
    SetString(path, archive_path);
    if (!path || !(file = std::fopen(path, "rb"))) {
        SetError("File <%s> not found.", archive_path);
        return;
    }

    // The end record is exactly the last 22 bytes (no archive comment).
    unsigned char rec[kEndRecordSize];
    long file_size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) file_size = std::ftell(file);
    bool read_end = file_size >= (long)kEndRecordSize &&
                    std::fseek(file, -(long)kEndRecordSize, SEEK_END) == 0 &&
                    std::fread(rec, 1, kEndRecordSize, file) == kEndRecordSize;
    if (read_end) signature = U32(rec);
    if (!read_end || (signature != kStandardSignature && signature != kDmSignature)) {
        std::fclose(file);
        file = nullptr;
        signature = 0;
        SetError("File <%s> is an unrecognized zip.", path);
        return;
    }
    disk_number = (unsigned short)U16(rec + 4);
    directory_disk = (unsigned short)U16(rec + 6);
    disk_entries = (unsigned short)U16(rec + 8);
    total_entries = (unsigned short)U16(rec + 10);
    directory_size = U32(rec + 12);
    directory_offset = U32(rec + 16);

    entries = static_cast<ZipEntry*>(std::calloc(id_count ? id_count : 1, sizeof(ZipEntry)));
    entry_count = entries ? id_count : 0;

    // Only the part of the central directory that lies inside the file
    // (before the end record) is read; a damaged archive simply yields
    // fewer entries.
    unsigned long dir_end = (unsigned long)file_size - kEndRecordSize;
    if (entries && paths && directory_offset < dir_end && directory_size > 0) {
        unsigned long available = dir_end - directory_offset;
        unsigned want = directory_size < available ? directory_size : (unsigned)available;
        unsigned char* dir = static_cast<unsigned char*>(std::malloc(want));
        if (dir) {
            unsigned got = 0;
            if (std::fseek(file, (long)directory_offset, SEEK_SET) == 0)
                got = (unsigned)std::fread(dir, 1, want, file);
            BuildEntries(dir, got, (unsigned long)file_size, paths);
            std::free(dir);
        }
    }
    std::clearerr(file);
    file_position = std::ftell(file);
}

ZipArchive::~ZipArchive() {
    if (file) {
        std::free(entries);
        std::fclose(file);
        file = nullptr;
        // Mark the archive as used. Only the standard signature we read is
        // replaced: if the file was swapped meanwhile it is left alone.
        if (signature == kStandardSignature) {
            FILE* f = std::fopen(path, "r+b");
            if (f) {
                unsigned char sig[4];
                if (std::fseek(f, -(long)kEndRecordSize, SEEK_END) == 0 &&
                    std::fread(sig, 1, 4, f) == 4 && U32(sig) == kStandardSignature &&
                    std::fseek(f, -(long)kEndRecordSize, SEEK_END) == 0)
                    std::fwrite("DM.A", 1, 4, f);
                std::fclose(f);
            }
        }
    }
    DeleteLock(lock);
    std::free(path);
}

void ZipArchive::SetError(const char* format, const char* arg) {
    std::snprintf(error, sizeof(error), format, arg ? arg : "");
    error[sizeof(error) - 1] = 0;
}

bool ZipArchive::ReadAt(unsigned long offset, void* buffer, unsigned n) {
    return std::fseek(file, (long)offset, SEEK_SET) == 0 && std::fread(buffer, 1, n, file) == n;
}

void ZipArchive::BuildEntries(const unsigned char* dir, unsigned dir_size,
                              unsigned long file_size, const char* const* paths) {
    // Name lengths once, so the per-record scan compares only likely matches.
    unsigned* lengths = static_cast<unsigned*>(std::calloc(entry_count ? entry_count : 1, sizeof(unsigned)));
    if (!lengths) return;
    for (unsigned id = 1; id < entry_count; ++id) lengths[id] = StringLength(paths[id]);

    unsigned pos = 0;
    for (unsigned k = 0; k < total_entries; ++k) {
        if (dir_size - pos < kDirRecordSize) break;
        const unsigned char* p = dir + pos;
        // Without a valid signature the lengths are noise: nothing after it can be trusted.
        if (U32(p) != kDirSignature) break;
        unsigned method = U16(p + 10);
        unsigned crc = U32(p + 16);
        unsigned packed_size = U32(p + 20);
        unsigned size = U32(p + 24);
        unsigned name_length = U16(p + 28);
        unsigned record = kDirRecordSize + name_length + U16(p + 30) + U16(p + 32);
        unsigned local = U32(p + 42);
        if (record > dir_size - pos) break;
        const char* name = reinterpret_cast<const char*>(p + kDirRecordSize);
        pos += record;

        // Only stored entries are served; a CRC of 0 marks directories and
        // empty files.
        if (method != 0 || packed_size != size || crc == 0) continue;

        unsigned long data = 0;
        bool located = false;
        for (unsigned id = 1; id < entry_count; ++id) {
            if (lengths[id] != name_length || std::memcmp(paths[id], name, name_length) != 0)
                continue;
            if (!located) {
                // The local header's own name and extra lengths place the data.
                unsigned char header[kLocalHeaderSize];
                if (local > file_size || file_size - local < kLocalHeaderSize) break;
                if (!ReadAt(local, header, kLocalHeaderSize) || U32(header) != kLocalSignature) break;
                data = (unsigned long)local + kLocalHeaderSize + U16(header + 26) + U16(header + 28);
                if (data > file_size || size > file_size - data) break;
                located = true;
            }
            entries[id].offset = (unsigned)data;
            entries[id].size = size;
        }
    }
    std::free(lengths);
}

unsigned ZipArchive::OpenEntry(unsigned id) {
    if (!file || id == 0 || id >= entry_count) return 0;
    const ZipEntry& e = entries[id];
    return (e.size == 0 && e.offset == 0) ? 0 : id;
}

unsigned ZipArchive::GetSize(unsigned id) const {
    return (file && id > 0 && id < entry_count) ? entries[id].size : 0;
}

int ZipArchive::Seek(unsigned id, unsigned& position, long offset, int whence) {
    if (!OpenEntry(id)) return -1;
    const ZipEntry& e = entries[id];
    long long base;
    switch (whence) {
    case 0: base = 0; break;
    case 1: base = position; break;
    case 2: base = e.size; break;
    default: return -1;
    }
    long long target = base + offset;
    if (target < 0 || target > (long long)e.size) return -1;
    position = (unsigned)target;
    return 0;
}

unsigned ZipArchive::Read(unsigned id, unsigned& position, void* buffer, unsigned n) {
    if (!buffer || !OpenEntry(id)) return 0;
    const ZipEntry& e = entries[id];
    if (position >= e.size) return 0;
    unsigned rest = e.size - position;
    if (n > rest) n = rest;
    if (n == 0) return 0;

    Lock(lock);
    // The seek and the read on the shared FILE* form one step.
    long target = (long)(e.offset + position);
    bool ok = true;
    if (file_position != target) {
        long distance = target - file_position;
        if (distance < 0) distance = -distance;
        if (file_position < 0 || distance >= target)
            ok = std::fseek(file, target, SEEK_SET) == 0;
        else
            ok = std::fseek(file, target - file_position, SEEK_CUR) == 0;
        file_position = ok ? target : -1;
    }
    unsigned got = ok ? (unsigned)std::fread(buffer, 1, n, file) : 0;
    if (ok && got == n) {
        file_position += (long)got;
    } else {
        // The file changed under us or a read failed: find the place anew next time.
        std::clearerr(file);
        file_position = -1;
    }
    position += got;
    Unlock(lock);
    return got;
}
