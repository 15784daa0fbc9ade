#include "edition_entry.h"

#include "control_binding.h"
#include "developer.h"
#include "file_system.h"
#include "font_manager.h"
#include "frame_timer.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "game_window.h"
#include "renderer.h"
#include "resource_manager.h"
#include "round_controller.h"
#include "sound_system.h"

namespace {

const char kWindowClass[] = "Quorvane Vellumine";

void ShowError(const char* text) { MessageBoxA(nullptr, text, "Error", MB_OK); }

LRESULT CALLBACK EditionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
bool StartSubsystems(HWND window, const Edition& edition) {
    Vector3 view = {2.6666665f, 2.0f, 100.0f};
    bool vsync = edition.passVerticalSync && g_gameData.settings.Get(SETTING_VERTICAL_SYNC) != 0.0f;
    if (!g_renderer.Init(window, view, vsync, false)) {
        ShowError(g_renderer.GetError());
        return false;
    }
    if (!g_fileSystem.Load(edition.manifest)) {
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
    // Names are resolved while the document loads: register them first.
    if (edition.registerCallbacks) edition.registerCallbacks(g_guiManager.GetCallbacks());
    g_renderer.SetFramePasses(GuiUpdatePass, GuiDrawPass);
    if (!g_guiManager.Load(edition.factory)) {
        ShowError(g_guiManager.GetError());
        return false;
    }
    if (edition.bindControls) edition.bindControls();
    return true;
}

void ShutdownSubsystems() {
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

} // namespace

int RunEdition(HINSTANCE instance, const char* dataFolder, const Edition& edition) {
    ReadDeveloperSwitch();
    // The shared code reads every position from the edition's own table.
    UsePositions(edition.positions ? *edition.positions : FullEditionPositions());
    if (edition.settingsFile) g_gameData.settingsFile = edition.settingsFile;
    if (edition.gameFile) g_gameData.gameFile = edition.gameFile;
    if (edition.computerFile) g_gameData.computerFile = edition.computerFile;
    g_gameData.SetSaveDirectory(dataFolder);
    g_gameData.LoadAll();
    g_gameData.icon = LoadIconA(instance, MAKEINTRESOURCEA(101));

    HWND window = CreateGameWindow(instance, EditionWindowProc, kWindowClass);
    if (!window) {
        ShowError("Error creating window");
        return 1;
    }
    if (edition.prepare) edition.prepare();

    if (StartSubsystems(window, edition)) {
        g_renderer.defaultFrameTime = 1.0f / 35.0f;
        if (!edition.start || edition.start()) {
            if (edition.beforeLoop) edition.beforeLoop();
            while (g_renderer.RunFrame()) {
                if (edition.eachFrame) edition.eachFrame();
                g_soundSystem.Update();
                g_gameData.AddPlayTime();
                if (g_gameData.quitRequest) break;
            }
        }
        if (edition.shutdown) edition.shutdown();
    }
    ShutdownSubsystems();
    DestroyWindow(window);
    UnregisterClassA(kWindowClass, instance);
    return 0;
}
