#include "file_util.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& out) {
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool ReadFileText(const std::string& path, std::string& out) {
    std::vector<unsigned char> bytes;
    bool ok = ReadFileBytes(path, bytes);
    out.assign(bytes.begin(), bytes.end());
    return ok;
}

bool WriteFileBytes(const std::string& path, const void* data, size_t size) {
    std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(tmp.c_str());
    return ok;
}

bool WriteFileIfChanged(const std::string& path, const void* data, size_t size, bool* written) {
    if (written) *written = false;
    struct stat st;
    std::vector<unsigned char> old;
    // The size first: most changed files show it without being read.
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (size_t)st.st_size == size &&
        ReadFileBytes(path, old) && old.size() == size && (size == 0 || std::memcmp(old.data(), data, size) == 0))
        return true;
    if (!WriteFileBytes(path, data, size)) return false;
    if (written) *written = true;
    return true;
}

bool MakeDirs(const std::string& path) {
    std::string cur;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (!cur.empty() && mkdir(cur.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
        if (i < path.size()) cur += path[i];
    }
    return true;
}

std::string JoinPath(const std::string& dir, const std::string& rest) {
    if (dir.empty()) return rest;
    return dir.back() == '/' ? dir + rest : dir + "/" + rest;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}
