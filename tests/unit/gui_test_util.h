// Helpers for the GUI tests: a "GUI" document loaded through a temporary
// manifest, stand-in models entered straight into the resource cache (hit
// box and named clips of a given length, no meshes), and one frame of the
// game loop driven by hand.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "developer.h"
#include "file_system.h"
#include "gui_callbacks.h"
#include "gui_control.h"
#include "gui_factory.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "input_state.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "resource_manager.h"
#include "strings.h"
#include "test_support.h"
#include "texture.h"

// A model part in the cache under "file|part", with a box of the given half
// size around the origin and clips of (name, frame count).
inline Model* SeedModel(const char* file, const char* part, float half,
                        const std::vector<std::pair<const char*, unsigned>>& clips) {
    std::string key = std::string(file) + "|" + part;
    Model* m = static_cast<Model*>(g_resourceManager.CreateEntry(key.c_str(), RESOURCE_MODEL));
    if (!m) return nullptr;
    m->box = new float[6]{-half, -half, -half, half, half, half};
    m->clips.count = (unsigned)clips.size();
    m->clips.items = clips.empty() ? nullptr : new ModelClip[clips.size()];
    for (size_t i = 0; i < clips.size(); ++i) {
        SetString(m->clips.items[i].name, clips[i].first);
        m->clips.items[i].frameCount = clips[i].second;
    }
    return m;
}

inline void SeedTexture(const char* name) { g_resourceManager.CreateEntry(name, RESOURCE_TEXTURE); }

// Every clip a control kind plays, each `frames` long.
inline std::vector<std::pair<const char*, unsigned>> AllClips(unsigned frames) {
    std::vector<std::pair<const char*, unsigned>> v;
    for (const char* c : {"idle", "open", "close", "inactive", "hover_start", "hover", "hover_end", "select", "check"})
        v.push_back({c, frames});
    return v;
}

// Frames of the game loop: update, draw (which runs the queue), then the
// input table ages and the frame counter moves on.
inline void GuiFrames(int n) {
    for (int i = 0; i < n; ++i) {
        g_guiManager.Update();
        g_guiManager.Draw();
        g_input.EndFrame();
        ++g_renderer.frameCounter;
    }
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir("gui");
        g_guiManager.Clear();
        g_resourceManager.Init();
        g_input.Clear();
        g_renderer.frameTime = 0.02f;
        g_renderer.defaultFrameTime = 0.02f;
        g_renderer.mouseView = Vector3{5.0f, 5.0f, 0.0f};  // far from everything
        SeedTexture("t");
        // "m": every clip 3 frames; "bare": a box and no clips at all.
        for (const char* part : {"body", "highlight", "extra", "mark", "element_1", "element_2"})
            SeedModel("m", part, 0.1f, AllClips(3));
        SeedModel("bare", "body", 0.1f, {});
    }
    void TearDown() override {
        g_guiManager.Clear();
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
        g_input.Clear();
        SetDeveloperMode(false);
    }

    // Writes the document and a manifest naming it "GUI", then loads it.
    bool Load(const std::string& xml, GuiControlFactory factory = CreateGenericGuiControl) {
        std::string manifest = "<manifest res_path=\"" + dir + "\"><group path=\"\">"
                               "<file label=\"GUI\" path=\"gui.xml\"/></group></manifest>";
        EXPECT_TRUE(WriteWholeFile(dir + "gui.xml", xml));
        EXPECT_TRUE(WriteWholeFile(dir + "manifest.xml", manifest));
        EXPECT_TRUE(g_fileSystem.Load((dir + "manifest.xml").c_str()));
        return g_guiManager.Load(factory);
    }

    void Frame(int n = 1) { GuiFrames(n); }
    void MouseAt(float x, float y) { g_renderer.mouseView = Vector3{x, y, 0.0f}; }
    void Press() { g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN); }
    void Release() { g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_UP); }

    std::string Error() { return g_guiManager.GetError(); }
    GuiControl* Control(const char* path) { return g_guiManager.FindControl(path); }
    std::string CurrentWindowName() {
        GuiScreen* w = g_guiManager.GetCurrentWindow();
        return w && w->name ? w->name : "";
    }

    std::string dir;
};

// Records what the callbacks saw, in order.
struct CallLog {
    std::vector<std::string> entries;
    void Add(const std::string& s) { entries.push_back(s); }
    std::string Joined() const {
        std::string out;
        for (const auto& e : entries) out += (out.empty() ? "" : " ") + e;
        return out;
    }
    void Clear() { entries.clear(); }
};
