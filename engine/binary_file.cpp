#include "binary_file.h"

#include <cstdlib>

#include "strings.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

BinaryFile::StepObserver BinaryFile::stepObserver = nullptr;

bool ReplaceFileWith(const char* source, const char* target) {
#ifdef _WIN32
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(source, target) == 0;
#endif
}

bool CopyWholeFile(const char* source, const char* target) {
#ifdef _WIN32
    return CopyFileA(source, target, FALSE) != 0;
#else
    FILE* in = std::fopen(source, "rb");
    if (!in) return false;
    FILE* out = std::fopen(target, "wb");
    bool ok = out != nullptr;
    char buffer[4096];
    size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof(buffer), in)) > 0) ok = std::fwrite(buffer, 1, n, out) == n;
    if (out && std::fclose(out) != 0) ok = false;
    std::fclose(in);
    return ok;
#endif
}

void BinaryFile::Open(const char* p, int m) {
    if (!p || !*p || file) return;
    if (m == Reading) {
        file = std::fopen(p, "rb");
    } else if (m == Writing) {
        SetString(path, p);
        // From the own copy: p may be JoinStrings' shared buffer itself.
        if (path) SetString(temp_path, JoinStrings(path, ".tmp"));
        if (path && temp_path) file = std::fopen(temp_path, "wb");
        if (!file) {
            SetString(path, nullptr);
            SetString(temp_path, nullptr);
        }
    }
    mode = file ? m : Closed;
    failed = false;
}

bool BinaryFile::Read(void* data, unsigned size, unsigned count) {
    if (mode != Reading) return false;
    return std::fread(data, size, count, file) == count;
}

bool BinaryFile::Write(const void* data, unsigned size, unsigned count) {
    if (mode != Writing) return false;
    bool ok = std::fwrite(data, size, count, file) == count;
    if (!ok) failed = true;
    Step();
    return ok;
}

void BinaryFile::Flush() {
    if (file && std::fflush(file) != 0 && mode == Writing) failed = true;
}

int BinaryFile::Close() {
    if (!file) {
        mode = Closed;
        return 0;
    }
    int result = 0;
    if (mode == Writing) {
        bool ok = !failed && std::fflush(file) == 0;
#ifdef _WIN32
        if (ok) ok = _commit(_fileno(file)) == 0;
#else
        if (ok) ok = fsync(fileno(file)) == 0;
#endif
        Step();
        if (std::fclose(file) != 0) ok = false;
        file = nullptr;
        Step();
        if (ok) ok = ReplaceFileWith(temp_path, path);
        Step();
        if (!ok) {
            std::remove(temp_path);
            result = -1;
        }
        SetString(path, nullptr);
        SetString(temp_path, nullptr);
    } else {
        result = std::fclose(file);
    }
    file = nullptr;
    mode = Closed;
    return result;
}

void BinaryFile::Discard() {
    if (mode == Writing) failed = true;
    Close();
}
