// A thin binary file for the save files.
//
// Writing never destroys the old file before the new one is complete: mode 2
// writes into "<path>.tmp", and Close() replaces the old file with it only
// when every write succeeded and the data reached the disk. A failed or
// abandoned write leaves the old file untouched.
#pragma once
#include <cstdio>

class BinaryFile {
public:
    enum Mode { Closed = 0, Reading = 1, Writing = 2 };

    BinaryFile() = default;
    BinaryFile(const char* path, int mode) { Open(path, mode); }
    ~BinaryFile() { Close(); }
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    void Open(const char* path, int mode);
    bool Read(void* data, unsigned size, unsigned count);
    bool Write(const void* data, unsigned size, unsigned count);
    void Flush();
    // Closes the file; for a written file, commits it (0 on success, else
    // non-zero and the old file is kept).
    int Close();
    // Abandons a file being written: the old file stays as it was.
    void Discard();

    // Called after every write and after each step of committing a written
    // file (data flushed, file closed, file in place), with the final path:
    // lets a test look at the disk as a crash at that moment would leave it.
    typedef void (*StepObserver)(const char* path);
    static StepObserver stepObserver;

    int GetMode() const { return mode; }
    bool IsOpen() const { return mode != Closed; }
    FILE* GetFile() const { return file; }

private:
    void Step() const {
        if (stepObserver && path) stepObserver(path);
    }

    int mode = Closed;
    FILE* file = nullptr;
    bool failed = false;
    char* path = nullptr;      // final path while writing
    char* temp_path = nullptr; // where the data goes until it is complete
};

// Replaces target by source in one step where the system allows it.
bool ReplaceFileWith(const char* source, const char* target);
// Copies source over target (a copy kept aside); false when it cannot.
bool CopyWholeFile(const char* source, const char* target);
