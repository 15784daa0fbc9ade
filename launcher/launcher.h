// The launcher: picks the renderer the machine can run, lets a word in
// "Quorvane.txt" or on the command line override the pick, prepares the
// shared data folder and hands over to the chosen game library.
//
// Only kernel32, user32 and gdi32 are linked; every other system library is
// loaded at run time so that a machine without one still starts.
#pragma once
#include <windows.h>

#include <cstddef>

// The one export of every game library, looked up by the name "RunGame".
typedef int(__stdcall* RunGameProc)(HINSTANCE instance, HINSTANCE prevInstance, const char* dataFolder,
                                    int showCmd);

// Game libraries, without ".dll".
extern const char kLibraryOpenGL[];      // "Quorvane-GL"
extern const char kLibraryDirect3D[];    // "Quorvane-D3D"
extern const char kLibraryDirectDraw[];  // "Quorvane-DDRAW"

// Sizes of the library name and data folder buffers.
constexpr size_t kLibraryNameSize = 256;
constexpr size_t kDataFolderSize = MAX_PATH;

struct VersionTriple {
    int major;
    int minor;
    int release;

    // "major.minor.release" and anything after; missing parts count 0, and a
    // null text is 0.0.0. Only the first 127 characters are looked at.
    void Parse(const char* text);
    // Lexicographic on (major, minor, release).
    static bool IsLess(const VersionTriple& a, const VersionTriple& b);
};

// True when the text of GL_VERSION names 1.2 or later.
bool IsGlVersionSupported(const char* versionText);

bool IsVistaOrLater();

// Makes <common application data>\publisher\product, open to every user,
// and writes its path with a trailing backslash into out (kDataFolderSize
// bytes). On failure out is "" and the result false.
bool CreateSharedDataFolder(const char* publisher, const char* product, char* out);
// The same under base instead of the common application data folder.
bool CreateSharedDataFolderIn(const char* base, const char* publisher, const char* product, char* out);

// The library an override word asks for ("-opengl", "-direct3d",
// "-directdraw"; exact and whole), or null.
const char* LibraryForOverrideWord(const char* word);
// The library asked for by the first word of the file at path, or null when
// the file is missing or its word is no override word.
const char* ReadOverrideFile(const char* path);
// The library asked for when the whole command line is one override word.
const char* LibraryForCommandLine(const char* commandLine);
// Replaces name (size bytes) with the file's choice, then the command line's,
// so the command line wins. overrideFile may be null.
void ApplyOverrides(char* name, size_t size, const char* overrideFile, const char* commandLine);

// The hidden window the renderer probes draw into; its class is registered
// with it and unregistered by DestroyProbeWindow.
HWND CreateProbeWindow(HINSTANCE instance);
void DestroyProbeWindow(HWND window, HINSTANCE instance);

// Each probe returns the library to load, or null when the machine cannot
// run it; everything it loads or creates is released before it returns.
const char* ProbeOpenGL(HWND window);
const char* ProbeDirect3D9(HWND window);
const char* ProbeDirectDraw();
// OpenGL 1.2, then Direct3D 9, then DirectDraw; null when none works.
const char* ProbeRenderer(HWND window);

// The whole launch; the process exit code.
int RunLauncher(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine, int showCmd);
