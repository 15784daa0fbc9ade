// The entry every edition's RunGame goes through: the window, the
// subsystems in order (renderer, files, resources, fonts, sound, callbacks,
// the GUI document), the game data, the frame loop and the shutdown chain.
// An edition names only what it does its own way.
#pragma once
#include <windows.h>

#include "gui_manager.h"

struct GuiPositions;

struct Edition {
    const char* manifest;                          // the file manifest
    const char* settingsFile = nullptr;            // save files; null keeps the full edition's
    const char* gameFile = nullptr;
    const char* computerFile = nullptr;
    bool passVerticalSync = true;                  // hand the setting to the renderer
    void (*registerCallbacks)(CallbackRegistry&) = nullptr;  // before the document loads
    GuiControlFactory factory = nullptr;
    const GuiPositions* positions = nullptr;       // its document's table; null keeps the full edition's
    void (*bindControls)() = nullptr;              // right after the document loaded
    void (*prepare)() = nullptr;                   // after the window, before the subsystems
    bool (*start)() = nullptr;                     // the last start-up step
    void (*shutdown)() = nullptr;                  // the first shutdown step
    void (*beforeLoop)() = nullptr;
    void (*eachFrame)() = nullptr;
};

// 0 after an orderly end, 1 when the window could not be created.
int RunEdition(HINSTANCE instance, const char* dataFolder, const Edition& edition);
