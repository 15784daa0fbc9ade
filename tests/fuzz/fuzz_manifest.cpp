// The manifest: any bytes as "Quorvane.xml", then every file it names
// looked up by ID and by label.
#include <cstring>

#include "file_system.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = WriteFuzzFile("Quorvane.xml", data, size);
    if (g_fileSystem.Load(path.c_str())) {
        for (int id = 0; id <= g_fileSystem.GetFileCount() + 1; ++id) {
            const char* label = g_fileSystem.GetLabel(id);
            if (label) g_fileSystem.GetFileId(label);
            const char* p = g_fileSystem.GetPath(id);
            if (p) TouchBytes(p, std::strlen(p));
        }
        g_fileSystem.GetFileId("GUI");
    } else {
        TouchBytes(g_fileSystem.GetError(), std::strlen(g_fileSystem.GetError()));
    }
    g_fileSystem.Shutdown();
    return 0;
}
