// The data archive: any bytes as the archive of a manifest naming a few
// entries; its directory is read, then every entry through the file system
// (whole, by seeks from each end, and in small pieces).
#include <cstring>

#include "file_system.h"
#include <cstdlib>

#include "fuzz_support.h"
#include "zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::pair<std::string, std::string>> kFiles = {
        {"GUI", "gui/gui.xml"}, {"TEXT", "text/text.xml"}, {"A", "a"}, {"PNG", "images/button.png"},
        {"MODEL", "models/button.mdl"}, {"OGG", "audio/p_aud_clap_6.ogg"}};
    // No loose file has these paths, so each is looked for in the archive.
    std::string archive = WriteFuzzFile("Quorvane.dat", data, size);
    LoadFuzzManifest(kFiles, archive);
    for (int id = 1; id <= g_fileSystem.GetFileCount(); ++id) {
        unsigned n = 0;
        unsigned char* all = g_fileSystem.ReadAll(id, nullptr, &n);
        if (all) {
            TouchBytes(all, n + 1);
            std::free(all);
        }
        FileHandle* h = g_fileSystem.Open(id);
        if (!h) continue;
        unsigned char piece[7];
        g_fileSystem.Seek(-3, 2, h);
        g_fileSystem.Read(piece, sizeof(piece), h);
        g_fileSystem.Seek(5, 0, h);
        while (g_fileSystem.Read(piece, sizeof(piece), h) == sizeof(piece)) g_fileSystem.Tell(h);
        g_fileSystem.Seek(-100, 1, h);
        g_fileSystem.Close(h);
    }
    g_fileSystem.Shutdown();
    return 0;
}
