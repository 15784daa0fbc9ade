// OpenGL 1.2 state of the renderer (through WGL), for the code that draws
// through the context directly (meshes, characters, depth-switching scene
// controls).
#pragma once
#include <windows.h>

#include <GL/gl.h>

// Not in the OpenGL 1.1 header that Windows ships.
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

struct RendererDevice {
    HDC dc = nullptr;          // the window's device context, taken at Init
    HWND dcWindow = nullptr;   // the window it belongs to
    HGLRC context = nullptr;   // our rendering context, current on the game thread
};

// The swap-interval entry points of the WGL extension; each is null when
// the driver does not offer it.
typedef BOOL(WINAPI* SwapIntervalSetter)(int interval);
typedef int(WINAPI* SwapIntervalGetter)(void);
extern SwapIntervalSetter g_wglSwapIntervalEXT;
extern SwapIntervalGetter g_wglGetSwapIntervalEXT;

// Looks the two entry points up in the current context's driver; true.
bool LoadSwapIntervalExtension();

// True while our rendering context exists and is current on this thread:
// every GL call outside of that would go nowhere.
bool GLContextCurrent();
