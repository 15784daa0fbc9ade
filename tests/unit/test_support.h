// Small helpers shared by the unit tests.
#pragma once
#include <string>

// A fresh, empty folder for one test, ending in a backslash.
std::string MakeTempDir(const char* tag);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// The file's bytes; an empty string when it cannot be read (see FileExists).
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

// A hidden window whose procedure hands every message to the renderer's
// handler, as the game's window procedure does; messages posted to it reach
// the input table on Pump, through the same translation as the game loop.
class RendererWindow {
public:
    RendererWindow();
    ~RendererWindow();
    bool Ok() const { return window != nullptr; }
    void Post(unsigned message, unsigned wParam, long lParam);
    // A key as the keyboard reports it: virtual key, scan code (0x100 for
    // the extended bit), down or up.
    void Key(unsigned virtualKey, unsigned scanCode, bool down);
    void Pump();

private:
    void* window;
};
