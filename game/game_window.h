// The game window shared by every edition's entry.
#pragma once
#include <windows.h>

// Registers the window class (icon 101 of the game data, arrow cursor, black
// background) and opens the window at the settings' size: a topmost pop-up
// in full screen, else a captioned window whose client area has that size
// (the frame's extra width and height are kept in the game data). Null when
// the window could not be created; the class stays registered.
HWND CreateGameWindow(HINSTANCE instance, WNDPROC windowProc, const char* className);
