// Field-by-field reading and writing of the save-file records. Every value is
// little-endian; a reader or writer remembers its first failure, so a record
// is read or written whole and checked once at the end.
#pragma once
#include <cstring>

#include "binary_file.h"

class RecordReader {
public:
    explicit RecordReader(BinaryFile& file) : file(file), ok(file.GetMode() == BinaryFile::Reading) {}

    bool Ok() const { return ok; }
    // Marks the data as unusable (a length or value out of its bounds).
    void Fail() { ok = false; }

    bool Bytes(void* data, unsigned size) {
        if (ok && size && !file.Read(data, 1, size)) ok = false;
        if (!ok && data && size) std::memset(data, 0, size);
        return ok;
    }
    unsigned UInt() {
        unsigned char b[4];
        if (!Bytes(b, 4)) return 0;
        return b[0] | (unsigned)b[1] << 8 | (unsigned)b[2] << 16 | (unsigned)b[3] << 24;
    }
    int Int() { return (int)UInt(); }
    float Float() {
        unsigned bits = UInt();
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    unsigned char Byte() {
        unsigned char b = 0;
        Bytes(&b, 1);
        return b;
    }

private:
    BinaryFile& file;
    bool ok;
};

class RecordWriter {
public:
    explicit RecordWriter(BinaryFile& file) : file(file), ok(file.GetMode() == BinaryFile::Writing) {}

    bool Ok() const { return ok; }

    bool Bytes(const void* data, unsigned size) {
        if (ok && size && !file.Write(data, 1, size)) ok = false;
        return ok;
    }
    bool UInt(unsigned v) {
        unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                              (unsigned char)(v >> 24)};
        return Bytes(b, 4);
    }
    bool Int(int v) { return UInt((unsigned)v); }
    bool Float(float v) {
        unsigned bits;
        std::memcpy(&bits, &v, 4);
        return UInt(bits);
    }
    bool Byte(unsigned char v) { return Bytes(&v, 1); }

private:
    BinaryFile& file;
    bool ok;
};
