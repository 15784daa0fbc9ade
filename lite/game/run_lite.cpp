// The Lite edition's entry: the same start-up and shutdown as the full
// edition, with the Lite's own manifest and save files and the DirectDraw
// renderer (no vertical sync), opening on the Lite's own 2D menu.
#include <windows.h>

#include "autoplay.h"
#include "edition_entry.h"
#include "lite_binding.h"
#include "lite_factory.h"
#include "lite_game_data.h"
#include "lite_gui_bindings.h"

const char kLiteSettingsFile[] = "Quorvane Lite.set";
const char kLiteGameFile[] = "Quorvane Lite.gam";
const char kLiteComputerFile[] = "Quorvane Lite.ai";

namespace {
void StartAutoplay() { AutoplayStart(); }
}  // namespace

extern "C" int __stdcall RunGame(HINSTANCE instance, HINSTANCE, const char* dataFolder, int) {
    Edition lite;
    lite.manifest = "Quorvane Lite.xml";
    lite.settingsFile = kLiteSettingsFile;
    lite.gameFile = kLiteGameFile;
    lite.computerFile = kLiteComputerFile;
    lite.passVerticalSync = false;
    lite.registerCallbacks = RegisterLiteCallbacks;
    lite.factory = CreateLiteGuiControl;
    lite.positions = &LiteGui::kLiteGuiPositions;
    lite.bindControls = BindLiteGameControls;
    lite.start = StartLiteGameData;
    lite.shutdown = ShutdownLiteGameData;
    lite.beforeLoop = StartAutoplay;
    lite.eachFrame = AutoplayFrame;
    return RunEdition(instance, dataFolder, lite);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
