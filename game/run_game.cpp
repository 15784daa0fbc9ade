// The full edition's entry: the 3D game with its skinned characters, the
// autoplay stand-in for measuring runs, and the three callback tables.
#include <windows.h>

#include "autoplay.h"
#include "control_binding.h"
#include "control_factory.h"
#include "debug_callbacks.h"
#include "edition_entry.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "gui_bindings.h"
#include "menu_callbacks.h"

namespace {

// The debug table, then the menus, then the game screens.
void RegisterCallbacks(CallbackRegistry& registry) {
    RegisterDebugCallbacks(registry);
    RegisterMenuCallbacks(registry);
    RegisterGameScreenCallbacks(registry);
}

bool StartGameData() { return g_gameData.Start(); }
void StartAutoplay() { AutoplayStart(); }
void ShutdownGameData() { g_gameData.Shutdown(); }

} // namespace

extern "C" int __stdcall RunGame(HINSTANCE instance, HINSTANCE, const char* dataFolder, int) {
    Edition full;
    full.manifest = "Quorvane.xml";
    full.registerCallbacks = RegisterCallbacks;
    full.factory = CreateGuiControl;
    full.positions = &kFullGuiPositions;
    full.bindControls = BindGameControls;
    full.prepare = InstallSkinTextureLoader;
    full.start = StartGameData;
    full.shutdown = ShutdownGameData;
    full.beforeLoop = StartAutoplay;
    full.eachFrame = AutoplayFrame;
    return RunEdition(instance, dataFolder, full);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
