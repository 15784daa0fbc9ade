// The game object's ties outside its files: the clock that seeds the random
// numbers, the renderer's frame time, the text table behind the trophies,
// and the display mode and window. The loading and saving of the files is
// in game_data.cpp, which makes no system calls of its own.
#include "game_data.h"
#include "game_window.h"

#include <cstdlib>

#include <cstring>
#include <string>

#include "font_manager.h"
#include "renderer.h"
#include "resource_manager.h"
#include "sk_character.h"
#include "texture.h"
#include "strings.h"

bool GameData::Start() {
    srand(GetTickCount());
    LoadConfig();
    playTime = 0.0f;
    return true;
}

void GameData::Shutdown() {
    if (settings.Get(SETTING_FULL_SCREEN) != 0.0f) RestoreDisplayMode();
    Save();
    ReleaseCharacterParts();
    SetString(saveDirectory, nullptr);
}

static const TextBlock* TrophyText(const char* name) { return g_fontManager.GetText("%s", name); }

void GameData::LoadCharacters() {
    LoadCharacterParts();
    trophies.Load("TROPHY", TrophyText);
}

const char kCharacterFolder[] = "./data/Characters";

void GameData::LoadCharacterParts() {
    // Once: the avatars hold on to what the library loaded, so it is never
    // loaded over.
    if (charactersLoaded) return;
    charactersLoaded = true;
    g_skLibrary.LoadFolder(kCharacterFolder);
    for (int g = 0; g < 2; ++g)
        for (int part = 0; part < PART_COUNT; ++part) {
            for (int c = 0; c < kPartColourCount[part] && c < kMaxPartColours; ++c)
                if (const char* label = PartTextureName(g, part, c))
                    partTextures[g][part][c] = g_resourceManager.GetTexture(label);
            // The styles on offer: the library's skins of this part.
            std::string prefix = PartModelName(g, part, 0);
            if (part == PART_HAIR || part == PART_FACE_HAIR || part == PART_GLASSES) prefix.pop_back();
            int count = 0;
            for (unsigned i = 0; i < g_skLibrary.GetCount(SK_SKIN); ++i) {
                const char* name = g_skLibrary.Get(SK_SKIN, i)->GetName();
                if (name && std::strncmp(name, prefix.c_str(), prefix.size()) == 0) ++count;
            }
            partStyleCounts[g][part] = count;
        }
}

void GameData::ReleaseCharacterParts() {
    for (auto& gender : partTextures)
        for (auto& part : gender)
            for (Texture*& t : part)
                if (t) {
                    g_resourceManager.Release(t);
                    t = nullptr;
                }
}

namespace {
class GameSkinTextureLoader : public SkinTextureLoader {
public:
    void* Load(const char*) override { return nullptr; }
    void Release(void*) override {}
};
}  // namespace

void InstallSkinTextureLoader() {
    static GameSkinTextureLoader loader;
    g_skinTextureLoader = &loader;
}


void GameData::AddPlayTime() { playTime += g_renderer.GetCappedFrameTime(); }

void BusyWait(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
    }
}

// The frame's share of the window's size, as measured; the window is moved
// to give a client area of width x height only where the frame was
// reckoned wrong.
static void FitClientArea(HWND window, int width, int height, int* extraWidth, int* extraHeight) {
    RECT client, frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    *extraWidth = (frame.right - frame.left) - (client.right - client.left);
    *extraHeight = (frame.bottom - frame.top) - (client.bottom - client.top);
    if (client.right - client.left != width || client.bottom - client.top != height)
        SetWindowPos(window, nullptr, 0, 0, width + *extraWidth, height + *extraHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateGameWindow(HINSTANCE instance, WNDPROC windowProc, const char* className) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = g_gameData.icon;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = className;
    RegisterClassA(&wc);

    int width = (int)g_gameData.settings.Get(SETTING_WIDTH);
    int height = (int)g_gameData.settings.Get(SETTING_HEIGHT);
    DWORD exStyle, style;
    if (g_gameData.settings.Get(SETTING_FULL_SCREEN) != 0.0f) {
        BusyWait(100);
        exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
        style = WS_POPUP | WS_VISIBLE;
    } else {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    }
    // Made at its final outer size at once, so that neither a player nor a
    // check ever sees it grow by its frame.
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    HWND window = CreateWindowExA(exStyle, className, className, style, 0, 0, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    UpdateWindow(window);
    FitClientArea(window, width, height, &g_gameData.frameExtraWidth, &g_gameData.frameExtraHeight);
    return window;
}

bool GameData::ApplyDisplayMode(const Settings& wanted) {
    HWND window = g_renderer.window;
    int width = (int)wanted.Get(SETTING_WIDTH);
    int height = (int)wanted.Get(SETTING_HEIGHT);
    if (wanted.Get(SETTING_FULL_SCREEN) != 0.0f) {
        DEVMODEA mode;
        ZeroMemory(&mode, sizeof(mode));
        mode.dmSize = sizeof(mode);
        mode.dmBitsPerPel = (DWORD)wanted.Get(SETTING_BITS_PER_PIXEL);
        mode.dmPelsWidth = (DWORD)width;
        mode.dmPelsHeight = (DWORD)height;
        mode.dmDisplayFrequency = (DWORD)wanted.Get(SETTING_REFRESH_RATE);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
        if (ChangeDisplaySettingsA(&mode, CDS_TEST) != DISP_CHANGE_SUCCESSFUL) return false;
        BusyWait(50);
        // The test can pass and the change still fail: only a mode really
        // in force counts.
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
        SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, width, height, SWP_FRAMECHANGED);
        return true;
    }
    DEVMODEA desktop;
    ZeroMemory(&desktop, sizeof(desktop));
    desktop.dmSize = sizeof(desktop);
    bool leavingFullScreen = settings.Get(SETTING_FULL_SCREEN) != 0.0f;
    EnumDisplaySettingsA(nullptr, leavingFullScreen ? ENUM_REGISTRY_SETTINGS : ENUM_CURRENT_SETTINGS, &desktop);
    if (width >= (int)desktop.dmPelsWidth || height >= (int)desktop.dmPelsHeight) return false;
    if (leavingFullScreen) {
        BusyWait(50);
        ChangeDisplaySettingsA(nullptr, 0);
        SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    }
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, (DWORD)GetWindowLongPtrA(window, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrA(window, GWL_EXSTYLE));
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_FRAMECHANGED);
    FitClientArea(window, width, height, &frameExtraWidth, &frameExtraHeight);
    SetClassLongPtrA(window, GCLP_HICON, (LONG_PTR)icon);
    return true;
}

void GameData::RestoreDisplayMode() {
    HWND window = g_renderer.window;
    DEVMODEA desktop;
    ZeroMemory(&desktop, sizeof(desktop));
    desktop.dmSize = sizeof(desktop);
    EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop);
    if (window) {
        SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_MINIMIZE | WS_VISIBLE | WS_SYSMENU);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, desktop.dmPelsWidth, desktop.dmPelsHeight, SWP_FRAMECHANGED);
    }
    BusyWait(50);
    ChangeDisplaySettingsA(nullptr, 0);
}
