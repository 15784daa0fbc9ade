// Writes zip archives of stored (uncompressed) entries: local headers, the
// data, the central directory and the 22-byte end record, with no archive
// comment, which is all the game's archive reader accepts.
#pragma once
#include <string>
#include <vector>

// Standard zip CRC-32 (reflected polynomial 0xEDB88320); pass a previous
// result as crc to continue over more data.
unsigned Crc32(const unsigned char* data, size_t size, unsigned crc = 0);

class ZipWriter {
public:
    // false (with a message) when the entry cannot be stored: the archive
    // would pass the format's 65535 entries or 4 GiB.
    bool AddStored(const std::string& name, const std::vector<unsigned char>& data,
                   std::string& error);
    // The whole archive. dm_signature writes "DM.A" instead of the standard
    // end-record signature "PK\5\6".
    std::vector<unsigned char> Finish(bool dm_signature = false) const;
    size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::string name;
        unsigned crc;
        unsigned size;
        unsigned local_offset;
    };
    std::vector<unsigned char> body_; // local headers and data
    std::vector<Entry> entries_;
    unsigned long long directory_bytes_ = 0;
};
