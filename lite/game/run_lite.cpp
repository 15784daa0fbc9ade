// The Lite edition's entry: the same start-up and shutdown as the full
// edition, with the Lite's own manifest and save files and the DirectDraw
// renderer (no vertical sync), opening on the Lite's own 2D menu.
#include <windows.h>

#include "file_system.h"
#include "font_manager.h"
#include "frame_timer.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "game_window.h"
#include "gui_manager.h"
#include "lite_factory.h"
#include "lite_game_data.h"
#include "renderer.h"
#include "resource_manager.h"
#include "sound_system.h"

static const char kWindowClass[] = "Quorvane Vellumine";
static const char kManifest[] = "Quorvane Lite.xml";
const char kLiteSettingsFile[] = "Quorvane Lite.set";
const char kLiteGameFile[] = "Quorvane Lite.gam";
const char kLiteComputerFile[] = "Quorvane Lite.ai";

static void ShowError(const char* text) { MessageBoxA(nullptr, text, "Error", MB_OK); }

static LRESULT CALLBACK LiteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

static bool StartSubsystems(HWND window) {
    Vector3 view = {2.6666665f, 2.0f, 100.0f};
    if (!g_renderer.Init(window, view, false, false)) {
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
    RegisterLiteCallbacks(g_guiManager.GetCallbacks());
    g_renderer.SetFramePasses(GuiUpdatePass, GuiDrawPass);
    if (!g_guiManager.Load(CreateLiteGuiControl)) {
        ShowError(g_guiManager.GetError());
        return false;
    }
    return true;
}

static void ShutdownSubsystems() {
    g_soundSystem.Shutdown();
    g_guiManager.Clear();
    g_renderer.SetFramePasses(nullptr, nullptr);
    g_fontManager.FreeAll();
    g_resourceManager.Shutdown();
    g_fileSystem.Shutdown();
    g_renderer.Shutdown();
}

extern "C" int __stdcall RunGame(HINSTANCE instance, HINSTANCE, const char* dataFolder, int) {
    g_gameData.settingsFile = kLiteSettingsFile;
    g_gameData.gameFile = kLiteGameFile;
    g_gameData.computerFile = kLiteComputerFile;
    g_gameData.SetSaveDirectory(dataFolder);
    g_gameData.LoadAll();
    g_gameData.icon = LoadIconA(instance, MAKEINTRESOURCEA(101));

    HWND window = CreateGameWindow(instance, LiteWindowProc, kWindowClass);
    if (!window) {
        ShowError("Error creating window");
        return 1;
    }

    bool started = StartSubsystems(window);
    if (started) {
        g_renderer.defaultFrameTime = 1.0f / 35.0f;
        if (StartLiteGameData()) {
            while (g_renderer.RunFrame()) {
                g_soundSystem.Update();
                g_gameData.AddPlayTime();
                if (g_gameData.quitRequest) break;
            }
        }
        ShutdownLiteGameData();
    }
    ShutdownSubsystems();
    DestroyWindow(window);
    UnregisterClassA(kWindowClass, instance);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
