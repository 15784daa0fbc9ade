#include "zip_writer.h"

namespace {

// 1980-01-01 00:00, the earliest DOS date: fixed so equal inputs give
// byte-identical archives.
const unsigned kDosTime = 0;
const unsigned kDosDate = (0 << 9) | (1 << 5) | 1;

void Put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back((unsigned char)(v & 0xFF));
    out.push_back((unsigned char)((v >> 8) & 0xFF));
}

void Put32(std::vector<unsigned char>& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Bit 11: the name is UTF-8. Set only when it is not plain ASCII.
unsigned NameFlags(const std::string& name) {
    for (unsigned char c : name)
        if (c >= 0x80) return 1u << 11;
    return 0;
}

} // namespace

unsigned Crc32(const unsigned char* data, size_t size, unsigned crc) {
    static unsigned table[256];
    static bool ready = false;
    if (!ready) {
        for (unsigned i = 0; i < 256; ++i) {
            unsigned c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool ZipWriter::AddStored(const std::string& name, const std::vector<unsigned char>& data,
                          std::string& error) {
    if (entries_.size() >= 0xFFFF) {
        error = "too many entries for a zip archive (at most 65535)";
        return false;
    }
    if (name.empty() || name.size() > 0xFFFF) {
        error = "entry name \"" + name.substr(0, 64) + "\" has an unusable length";
        return false;
    }
    // Everything, central directory included, must stay addressable by 32-bit offsets.
    unsigned long long after = (unsigned long long)body_.size() + 30 + name.size() + data.size();
    unsigned long long directory = directory_bytes_ + 46 + name.size() + 22;
    if (after + directory > 0xFFFFFFFFull) {
        error = "the archive would pass 4 GiB at \"" + name + "\"";
        return false;
    }

    Entry e;
    e.name = name;
    e.crc = Crc32(data.data(), data.size());
    e.size = (unsigned)data.size();
    e.local_offset = (unsigned)body_.size();

    Put32(body_, 0x04034b50);
    Put16(body_, 10); // version needed: 1.0, stored
    Put16(body_, NameFlags(name));
    Put16(body_, 0); // stored
    Put16(body_, kDosTime);
    Put16(body_, kDosDate);
    Put32(body_, e.crc);
    Put32(body_, e.size);
    Put32(body_, e.size);
    Put16(body_, (unsigned)name.size());
    Put16(body_, 0); // extra field
    body_.insert(body_.end(), name.begin(), name.end());
    body_.insert(body_.end(), data.begin(), data.end());
    entries_.push_back(e);
    directory_bytes_ += 46 + name.size();
    return true;
}

std::vector<unsigned char> ZipWriter::Finish(bool dm_signature) const {
    std::vector<unsigned char> out(body_);
    unsigned directory_offset = (unsigned)out.size();
    for (const Entry& e : entries_) {
        Put32(out, 0x02014b50);
        Put16(out, 20); // made by: MS-DOS attributes, version 2.0
        Put16(out, 10);
        Put16(out, NameFlags(e.name));
        Put16(out, 0);
        Put16(out, kDosTime);
        Put16(out, kDosDate);
        Put32(out, e.crc);
        Put32(out, e.size);
        Put32(out, e.size);
        Put16(out, (unsigned)e.name.size());
        Put16(out, 0); // extra field
        Put16(out, 0); // comment
        Put16(out, 0); // disk start
        Put16(out, 0); // internal attributes
        Put32(out, 0); // external attributes
        Put32(out, e.local_offset);
        out.insert(out.end(), e.name.begin(), e.name.end());
    }
    unsigned directory_size = (unsigned)out.size() - directory_offset;
    if (dm_signature) {
        const char* sig = "DM.A";
        out.insert(out.end(), sig, sig + 4);
    } else {
        Put32(out, 0x06054b50);
    }
    Put16(out, 0); // this disk
    Put16(out, 0); // disk of the central directory
    Put16(out, (unsigned)entries_.size());
    Put16(out, (unsigned)entries_.size());
    Put32(out, directory_size);
    Put32(out, directory_offset);
    Put16(out, 0); // no comment: the end record is the last 22 bytes
    return out;
}
