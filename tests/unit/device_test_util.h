// Helpers of the tests that draw through a real device (Direct3D 9 or
// OpenGL under Wine): one window and renderer for the whole program, colour
// comparisons, and hand-made skins and textures.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "render_device.h"
#include "renderer.h"
#include "sk_resource.h"
#include "texture.h"

const Vector3 kTestView = {2.6666665f, 2.0f, 100.0f};

// One renderer on a window of width x height client pixels, made before the
// first test and shut down after the last. The client size is set by hand
// (WM_SIZE is swallowed) so every run sees the same one.
class DeviceTestWindow : public ::testing::Environment {
public:
    DeviceTestWindow(const char* className, unsigned width, unsigned height, DWORD classStyle = 0,
                     DWORD windowStyle = WS_POPUP)
        : className_(className), width_(width), height_(height), classStyle_(classStyle), windowStyle_(windowStyle) {}
    void SetUp() override {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.style = classStyle_;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className_;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, className_, "test", windowStyle_, 0, 0, width_, height_, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window);
        g_renderer.clientWidth = width_;
        g_renderer.clientHeight = height_;
        ASSERT_TRUE(g_renderer.Init(window, kTestView, false, false)) << g_renderer.GetError();
    }
    void TearDown() override {
        g_renderer.Shutdown();
        if (window) DestroyWindow(window);
    }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_SIZE) return 0;
        // Other test programs' windows come and go: this one stays active.
        if (m == WM_ACTIVATE) return 0;
        return g_renderer.HandleMessage(w, m, wp, lp) ? 0 : DefWindowProcA(w, m, wp, lp);
    }
    HWND window = nullptr;

private:
    const char* className_;
    unsigned width_, height_;
    DWORD classStyle_, windowStyle_;
};

// Two 0xRRGGBB colours agree within tolerance on every channel.
inline bool ColoursClose(unsigned got, unsigned want, int tolerance) {
    for (int s = 0; s < 24; s += 8)
        if (std::abs((int)((got >> s) & 0xFF) - (int)((want >> s) & 0xFF)) > tolerance) return false;
    return true;
}

// A square skin (x0, y0)-(x1, y1) at depth z, counter-clockwise, every
// vertex coloured (r, g, b).
struct SquareSkin {
    Skin skin;
    SquareSkin(float x0, float y0, float x1, float y1, float z, float r, float g, float b) {
        skin.vertexCount = 4;
        skin.indexCount = 6;
        skin.workPositions = new float[12]{x0, y0, z, x1, y0, z, x1, y1, z, x0, y1, z};
        skin.texCoords = new float[8]{0, 1, 1, 1, 1, 0, 0, 0};
        skin.colours = new float[16];
        for (int i = 0; i < 4; ++i) {
            const float c[4] = {r, g, b, 1.0f};
            std::memcpy(skin.colours + i * 4, c, sizeof(c));
        }
        skin.indices = new uint32_t[6]{0, 1, 2, 0, 2, 3};
    }
};

// A white 2 x 2 texture; the test hands it to the device.
struct WhiteTexture {
    Texture t;
    unsigned char pixels[2 * 2 * 3];
    WhiteTexture() {
        std::memset(static_cast<void*>(&t), 0, sizeof(t));
        std::memset(pixels, 0xFF, sizeof(pixels));
        t.width = t.height = t.imageWidth = t.imageHeight = 2;
        t.uScale = t.vScale = 1.0f;
        t.bytesPerPixel = 3;
        t.pixelFormat = kTextureFormatXRGB;
        t.pixels = pixels;
    }
    ~WhiteTexture() { DeviceReleaseTexture(&t); }
};
