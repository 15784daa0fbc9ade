#include "test_support.h"

#include <windows.h>

#include <cstdio>

std::string MakeTempDir(const char* tag) {
    static unsigned serial = 0;
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(base), base);
    if (n == 0 || n >= sizeof(base)) lstrcpyA(base, ".\\");
    char path[MAX_PATH * 2];
    for (;;) {
        wsprintfA(path, "%sqv-%s-%lu-%u", base, tag, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(path, nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return ".\\";
    }
    return std::string(path) + "\\";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadWholeFile(const std::string& path) {
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

#include "renderer.h"

namespace {
LRESULT CALLBACK RendererWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return g_renderer.HandleMessage(w, m, wp, lp) ? 0 : DefWindowProcA(w, m, wp, lp);
}
}  // namespace

RendererWindow::RendererWindow() {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = RendererWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QvRendererWindow";
    RegisterClassA(&wc);  // a second registration fails harmlessly
    window = CreateWindowExA(0, wc.lpszClassName, "input", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                             wc.hInstance, nullptr);
}

RendererWindow::~RendererWindow() {
    Pump();
    if (window) DestroyWindow(static_cast<HWND>(window));
}

void RendererWindow::Post(unsigned message, unsigned wParam, long lParam) {
    PostMessageA(static_cast<HWND>(window), message, wParam, lParam);
}

void RendererWindow::Key(unsigned virtualKey, unsigned scanCode, bool down) {
    // Repeat count 1, the scan code with its extended bit; a release also
    // carries the previous-state and transition bits.
    unsigned long lParam = 1 | ((scanCode & 0x1FF) << 16);
    if (!down) lParam |= 0xC0000000ul;
    Post(down ? WM_KEYDOWN : WM_KEYUP, virtualKey, (long)lParam);
}

void RendererWindow::Pump() { PumpMessages(); }
