// The game library's entry: brings the global objects up in order, runs the
// frame loop and shuts everything down again.
#include <windows.h>

#include "autoplay.h"
#include "control_binding.h"
#include "control_factory.h"
#include "debug_callbacks.h"
#include "file_system.h"
#include "font_manager.h"
#include "frame_timer.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "game_window.h"
#include "gui_manager.h"
#include "menu_callbacks.h"
#include "renderer.h"
#include "resource_manager.h"
#include "round_controller.h"
#include "sound_system.h"
#include "strings.h"

static const char kWindowClass[] = "Quorvane Vellumine";
static const char kManifest[] = "Quorvane.xml";

static void ShowError(const char* text) { MessageBoxA(nullptr, text, "Error", MB_OK); }

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool wasActive = g_renderer.active;
    bool handled = g_renderer.HandleMessage(window, message, wParam, lParam);
    if (message == WM_ACTIVATE) {
        bool nowActive = g_renderer.active;
        if (g_currentTimer) {
            if (wasActive && !nowActive) g_currentTimer->Pause();
            else if (!wasActive && nowActive) g_currentTimer->Resume();
        }
        if (g_gameData.settings.Get(SETTING_FULL_SCREEN) != 0.0f) {
            if (nowActive) g_gameData.ApplyDisplayMode(g_gameData.settings);
            else g_gameData.RestoreDisplayMode();
        }
    }
    return handled ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

// Start-up steps that can fail; each reports its subsystem's error text.
static bool StartSubsystems(HWND window) {
    Vector3 view = {2.6666665f, 2.0f, 100.0f};
    bool vsync = g_gameData.settings.Get(SETTING_VERTICAL_SYNC) != 0.0f;
    if (!g_renderer.Init(window, view, vsync, false)) {
        ShowError(g_renderer.GetError());
        return false;
    }
    if (!g_fileSystem.Load(kManifest)) {
        ShowError(g_fileSystem.GetError());
        return false;
    }
    if (!g_resourceManager.Init()) {
        ShowError(g_resourceManager.GetError());
        return false;
    }
    if (!g_fontManager.Load()) {
        ShowError(g_fontManager.GetError());
        return false;
    }
    if (!g_soundSystem.Init(window)) {
        ShowError(g_soundSystem.GetError());
        return false;
    }
    // Names are resolved while the document loads: register them first,
    // the debug table, then the menus, then the game screens.
    RegisterDebugCallbacks(g_guiManager.GetCallbacks());
    RegisterMenuCallbacks(g_guiManager.GetCallbacks());
    RegisterGameScreenCallbacks(g_guiManager.GetCallbacks());
    g_renderer.SetFramePasses(GuiUpdatePass, GuiDrawPass);
    if (!g_guiManager.Load(CreateGuiControl)) {
        ShowError(g_guiManager.GetError());
        return false;
    }
    BindGameControls();
    return true;
}

static void ShutdownSubsystems() {
    g_soundSystem.Shutdown();
    g_guiManager.Clear();
    g_bound.Clear();
    g_round.controls = GameControls();
    g_renderer.SetFramePasses(nullptr, nullptr);
    g_fontManager.FreeAll();
    g_resourceManager.Shutdown();
    g_fileSystem.Shutdown();
    g_renderer.Shutdown();
}

extern "C" int __stdcall RunGame(HINSTANCE instance, HINSTANCE, const char* dataFolder, int) {
    g_gameData.SetSaveDirectory(dataFolder);
    g_gameData.LoadAll();
    g_gameData.icon = LoadIconA(instance, MAKEINTRESOURCEA(101));

    HWND window = CreateGameWindow(instance, GameWindowProc, kWindowClass);
    if (!window) {
        ShowError("Error creating window");
        return 1;
    }
    InstallSkinTextureLoader();

    bool started = StartSubsystems(window);
    if (started) {
        g_renderer.defaultFrameTime = 1.0f / 35.0f;
        if (g_gameData.Start()) {
            AutoplayStart();
            while (g_renderer.RunFrame()) {
                AutoplayFrame();
                g_soundSystem.Update();
                g_gameData.AddPlayTime();
                if (g_gameData.quitRequest) break;
            }
        }
        g_gameData.Shutdown();
    }
    ShutdownSubsystems();
    DestroyWindow(window);
    UnregisterClassA(kWindowClass, instance);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
