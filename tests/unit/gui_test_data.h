// Data folders for the GUI tests: a manifest with the files a test needs,
// model packs with clips but no geometry (they load without a device), and
// frames stepped by hand.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "file_system.h"
#include "input_state.h"
#include "renderer.h"
#include "resource_manager.h"
#include "test_support.h"

namespace guitest {

inline std::string U32(unsigned v) {
    return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF), (char)((v >> 16) & 0xFF), (char)(v >> 24)};
}

inline std::string F32(float f) {
    unsigned bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
}

inline std::string Name64(const std::string& name, bool boxMark = false) {
    std::string s = name.substr(0, 63);
    s.resize(64, '\0');
    if (boxMark) s[63] = '#';
    return s;
}

struct PackClip {
    std::string name;
    unsigned frames;
};

struct PackPart {
    std::string name;
    std::vector<PackClip> clips;
    bool hasBox = false;
    float box[6] = {0, 0, 0, 0, 0, 0};
};

// A model pack whose clips have frames but no meshes and no keys.
inline std::string BuildModelPack(const std::vector<PackPart>& parts) {
    std::string data;
    std::vector<unsigned> offsets;
    for (const PackPart& p : parts) {
        offsets.push_back((unsigned)data.size());
        if (p.hasBox)
            for (float f : p.box) data += F32(f);
        data += U32((unsigned)p.clips.size());
        for (const PackClip& c : p.clips) data += Name64(c.name) + U32(c.frames) + U32(0) + U32(0) + U32(0) + U32(0);
    }
    unsigned directory = (unsigned)data.size();
    data += U32((unsigned)parts.size());
    for (size_t i = 0; i < parts.size(); ++i) data += Name64(parts[i].name, parts[i].hasBox) + U32(offsets[i]);
    return data + U32(directory);
}

// A part with the usual control clips: "idle", "open", "close" and "hover"
// of the given length; a unit box centred on the origin when boxed.
inline PackPart ControlPart(const std::string& name, unsigned frames, bool boxed, float halfWidth = 0.5f,
                            float halfHeight = 0.5f) {
    PackPart p;
    p.name = name;
    p.clips = {{"idle", frames}, {"open", frames}, {"close", frames}, {"hover", frames}};
    p.hasBox = boxed;
    float b[6] = {-halfWidth, -halfHeight, 0.0f, halfWidth, halfHeight, 0.0f};
    std::memcpy(p.box, b, sizeof(b));
    return p;
}

// A temporary game data folder: files by label, then the file system loaded
// on a manifest of them.
class DataFolder {
public:
    explicit DataFolder(const char* tag) : dir(MakeTempDir(tag)) {}

    void Add(const std::string& label, const std::string& file, const std::string& bytes) {
        ASSERT_TRUE(WriteWholeFile(dir + file, bytes));
        entries.push_back({label, file});
    }
    // Listed in the manifest without a file on the disk.
    void AddMissing(const std::string& label, const std::string& file) { entries.push_back({label, file}); }

    bool Mount() {
        std::string xml = "<manifest res_path=\"" + dir + "\">\n<group path=\"\">\n";
        for (const auto& e : entries) xml += "<file label=\"" + e.first + "\" path=\"" + e.second + "\"/>\n";
        xml += "</group>\n</manifest>\n";
        std::string manifest = dir + "Quorvane.xml";
        return WriteWholeFile(manifest, xml) && g_fileSystem.Load(manifest.c_str());
    }

    std::string dir;

private:
    std::vector<std::pair<std::string, std::string>> entries;
};

// One frame of the clock the model instances step by.
inline void NextFrame() {
    g_renderer.frameCounter++;
    g_renderer.frameTime = 0.02f;
    g_input.EndFrame();
}

// The renderer's matrix stack with its base node, as Init leaves it.
inline void EnsureMatrixStack() {
    while (g_renderer.StackDepth() > 1) g_renderer.PopMatrix();
    if (g_renderer.StackDepth() == 0) g_renderer.PushMatrix();
}

}  // namespace guitest
