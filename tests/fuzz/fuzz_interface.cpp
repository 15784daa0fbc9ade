// The interface documents: any bytes as the "TEXT" document (fonts and the
// text table), then as the "GUI" document built with the generic control
// kinds and run for a few frames with clicks, keys and typing, its windows
// opened and closed by the callbacks the document names.
#include <cstring>

#include "font_manager.h"
#include "fuzz_support.h"
#include "gui_factory.h"
#include "gui_manager.h"
#include "input_state.h"
#include "renderer.h"
#include "resource_manager.h"

namespace {
bool OpenWindow(void*, const char* name) { return g_guiManager.OpenWindow(name); }
bool OpenScreen(void*, const char* name) { return g_guiManager.OpenScreen(name); }
bool CloseWindow(void*, const char*) { return g_guiManager.CloseWindow(); }
bool Nothing(void*, const char* argument) { return !argument || *argument != 'x'; }

void RegisterCallbacks() {
    g_guiManager.RegisterCallback("OpenWindow", OpenWindow);
    g_guiManager.RegisterCallback("OpenScreen", OpenScreen);
    g_guiManager.RegisterCallback("ChangeScreen", OpenScreen);
    g_guiManager.RegisterCallback("CloseWindow", CloseWindow);
    for (const char* name : {"PlaySound", "PlayMusic", "Rec", "ExitGame"}) g_guiManager.RegisterCallback(name, Nothing);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        std::vector<std::pair<std::string, std::string>> files = {{"TEXT", "document"}, {"GUI", "document"}};
        for (const char* font : {"FONT_UI", "FONT_SMALL", "FONT_UI_BOLD", "FONT_TITLE", "FONT_TILE", "T"})
            files.push_back({font, "strip.png"});
        WriteFuzzPng("strip.png", 2048, 64);
        LoadFuzzManifest(files);
        g_resourceManager.Init();
        // Held for the whole run: the strip is decoded once.
        g_resourceManager.GetTexture("FONT_UI");
        g_renderer.viewSize = {2.6666665f, 2.0f, 100.0f};
        g_renderer.frameTime = g_renderer.defaultFrameTime = 1.0f / 35.0f;
        ready = true;
    }
    WriteFuzzFile("document", data, size);
    g_fontManager.Load();
    RegisterCallbacks();
    if (g_guiManager.Load(CreateGenericGuiControl)) {
        const float spots[][2] = {{0.0f, 0.0f}, {0.5f, -0.3f}, {-0.9f, 0.6f}, {0.1f, 0.8f}};
        for (int frame = 0; frame < 12; ++frame) {
            g_renderer.mouseView = Vector3{spots[frame % 4][0], spots[frame % 4][1], 0.0f};
            if (frame % 3 == 0) g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
            if (frame % 3 == 1) g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_UP);
            if (frame == 5) g_input.Set(INPUT_CHAR, 'a' + (int)(size % 26));
            if (frame == 7) g_input.Set(INPUT_KEY_BACKSPACE, KEY_WENT_DOWN);
            if (frame == 8) g_input.Set(INPUT_KEY_ENTER, KEY_WENT_DOWN);
            g_guiManager.Update();
            g_guiManager.Draw();
            g_input.EndFrame();
            ++g_renderer.frameCounter;
        }
    }
    g_guiManager.Clear();
    g_fontManager.FreeAll();
    g_input.Clear();
    return 0;
}
