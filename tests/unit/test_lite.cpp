// The Lite edition's drawing: the software blitter on plain memory, sprites
// placed 1:1 from meshes, and the DirectDraw device and its frame under
// Wine; the blitter's speed against a plain copy is printed.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <algorithm>
#include <string>
#include <map>
#include <set>
#include <vector>

#include <png.h>
#include <jpeglib.h>

#include "blitter.h"
#include "file_system.h"
#include "gui_group.h"
#include "wedge_control.h"
#include "font_manager.h"
#include "gui_control.h"
#include "gui_manager.h"
#include "model_instance.h"
#include "resource_manager.h"
#include "strings.h"
#include "tinyxml.h"
#include "gui_callbacks.h"
#include "control_factory.h"
#include "lite_factory.h"
#include "lite_kinds.h"
#include "lite_spin_control.h"
#include "sprite_avatar.h"
#include "lite_variants.h"
#include "lite_avatar_callbacks.h"
#include "lite_menu_callbacks.h"
#include "lite_wheel_callbacks.h"
#include "debug_callbacks.h"
#include "game_callbacks.h"
#include "menu_callbacks.h"
#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_ddraw.h"
#include "texture.h"

namespace {

const Vector3 kView = {2.6666665f, 2.0f, 100.0f};

// ---- The blitter on plain memory ----

struct Surface {
    SurfaceInfo info;
    std::vector<unsigned char> bytes;
    Surface(unsigned w, unsigned h, unsigned bpp, int padding = 0) {
        info.width = w;
        info.height = h;
        info.bytesPerPixel = bpp;
        info.pitch = (int)(w * bpp) + padding;
        bytes.assign((size_t)info.pitch * h, 0);
        info.pixels = bytes.data();
    }
    uint32_t At32(int x, int y) const {
        uint32_t v;
        std::memcpy(&v, &bytes[(size_t)y * info.pitch + x * 4], 4);
        return v;
    }
    uint16_t At16(int x, int y) const {
        uint16_t v;
        std::memcpy(&v, &bytes[(size_t)y * info.pitch + x * 2], 2);
        return v;
    }
};

struct Image {
    SpriteImage info;
    std::vector<uint32_t> pixels;
    Image(unsigned w, unsigned h, bool alpha, const std::function<uint32_t(int, int)>& at) {
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) pixels.push_back(at((int)x, (int)y));
        info.width = w;
        info.height = h;
        info.hasAlpha = alpha;
        info.pixels = pixels.data();
    }
};

TEST(Blitter, ClipsToTheSurfaceAndTheImage) {
    Surface s(100, 50, 4);
    // Each pixel names its own column.
    Image img(64, 8, false, [](int x, int) { return 0xFF000000u | (uint32_t)x; });
    BlitRegion(s.info, -10, 0, img.info, 0, 0, 64, 8, false);
    EXPECT_EQ(0xFF00000Au, s.At32(0, 0));
    EXPECT_EQ(0xFF00003Fu, s.At32(53, 7));
    EXPECT_EQ(0u, s.At32(54, 0));
    EXPECT_EQ(0u, s.At32(0, 8));

    Surface t(100, 50, 4);
    BlitRegion(t.info, 100, 0, img.info, 0, 0, 64, 8, false);  // begins at column W
    BlitRegion(t.info, 0, 50, img.info, 0, 0, 64, 8, false);   // below the last row
    BlitRegion(t.info, 90, 46, img.info, 60, 6, 10, 10, false);  // past the image's edge too
    EXPECT_EQ(0xFF00003Cu, t.At32(90, 46));
    EXPECT_EQ(0xFF00003Fu, t.At32(93, 47));
    EXPECT_EQ(0u, t.At32(94, 46));
    EXPECT_EQ(0u, t.At32(90, 48));
    int drawn = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) drawn += t.At32(x, y) != 0;
    EXPECT_EQ(8, drawn);

    // A 24-bit surface is not drawn on.
    Surface deep(8, 8, 3);
    BlitRegion(deep.info, 0, 0, img.info, 0, 0, 8, 8, false);
    for (unsigned char b : deep.bytes) ASSERT_EQ(0, b);
}

TEST(Blitter, AlphaInPairsAndTheOddLastPixel) {
    // Row 0: alphas 0, 255 (a mixed pair), 255, 255 (an opaque pair), 255
    // alone at the end; row 1: half alpha over grey.
    Image img(5, 2, true, [](int x, int y) {
        if (y == 1) return 0x80FFFFFFu;
        return x == 0 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    });
    for (unsigned bpp : {4u, 2u}) {
        SCOPED_TRACE(bpp);
        Surface s(5, 2, bpp, 6);  // rows padded: the pitch is followed
        if (bpp == 4) {
            for (int x = 0; x < 5; ++x) std::memcpy(&s.bytes[(size_t)s.info.pitch + x * 4], "\x40\x40\x40\x11", 4);
        } else {
            for (int x = 0; x < 5; ++x) {
                uint16_t grey = To565(0x404040);
                std::memcpy(&s.bytes[(size_t)s.info.pitch + x * 2], &grey, 2);
            }
        }
        BlitRegion(s.info, 0, 0, img.info, 0, 0, 5, 2, false);
        if (bpp == 4) {
            EXPECT_EQ(0u, s.At32(0, 0)) << "transparent: left alone";
            EXPECT_EQ(0x00FEFEFEu, s.At32(1, 0)) << "mixed pair: blended, fourth byte kept";
            EXPECT_EQ(0xFFFFFFFFu, s.At32(2, 0)) << "opaque pair: copied whole";
            EXPECT_EQ(0xFFFFFFFFu, s.At32(3, 0));
            EXPECT_EQ(0x00FEFEFEu, s.At32(4, 0)) << "odd last pixel: blended";
            // 0x40 + ((0xFF - 0x40) x 0x80 >> 8) = 0x9F; the fourth byte stays.
            EXPECT_EQ(0x119F9F9Fu, s.At32(0, 1));
            EXPECT_EQ(0x119F9F9Fu, s.At32(4, 1));
        } else {
            EXPECT_EQ(0u, s.At16(0, 0));
            EXPECT_EQ(To565(0xFEFEFE), s.At16(1, 0));
            EXPECT_EQ(0xFFFF, s.At16(2, 0));
            EXPECT_EQ(To565(0xFEFEFE), s.At16(4, 0));
            EXPECT_EQ(To565(0x9F9F9F), s.At16(3, 1));
        }
        for (int i = 0; i < 6; ++i) EXPECT_EQ(0, s.bytes[5 * bpp + i]) << "padding untouched";
    }
}

// Runs and pairs give the same picture whatever the clipping, the depth and
// the mirroring.
TEST(Blitter, RunsDrawWhatPairsDraw) {
    unsigned seed = 7;
    auto next = [&] {
        seed = seed * 214013u + 2531011u;
        return (seed >> 16) & 0x7FFF;
    };
    Image img(37, 9, true, [&](int, int) {
        unsigned k = next() % 4;
        uint32_t a = k == 0 ? 0 : k == 1 ? 255 : k == 2 ? 255 : next() % 256;
        return a << 24 | (next() << 9 ^ next());
    });
    std::vector<uint32_t> rowStart, runs;
    MakeSpriteRuns(img.pixels.data(), 37, 9, rowStart, runs);
    for (int round = 0; round < 200; ++round) {
        unsigned bpp = round % 2 ? 4 : 2;
        Surface pairs(40, 12, bpp, 2), withRuns(40, 12, bpp, 2);
        for (size_t i = 0; i < pairs.bytes.size(); ++i) pairs.bytes[i] = withRuns.bytes[i] = (unsigned char)next();
        int dx = (int)(next() % 50) - 20, dy = (int)(next() % 16) - 6, sx = (int)(next() % 30), sy = (int)(next() % 6);
        int w = (int)(next() % 38), h = (int)(next() % 10);
        bool mirror = next() % 2;
        BlitRegion(pairs.info, dx, dy, img.info, sx, sy, w, h, mirror);
        SpriteImage fast = img.info;
        fast.rowStart = rowStart.data();
        fast.runs = runs.data();
        BlitRegion(withRuns.info, dx, dy, fast, sx, sy, w, h, mirror);
        ASSERT_EQ(pairs.bytes, withRuns.bytes) << "round " << round;
    }
}

// Blending onto RGB565 gives exactly the rule: the destination widened to
// 8 bits a channel (low bits zero), each channel d + (((s - d) x a) >> 8),
// narrowed again; checked for every destination value, over rows long
// enough for the four-at-a-time path and with odd ends.
TEST(Blitter, Rgb565BlendIsTheWidenedRuleExactly) {
    auto rule = [](uint32_t s, uint16_t d) {
        const int a = (int)(s >> 24);
        const int dc[3] = {(d & 0x1F) << 3, ((d >> 5) & 0x3F) << 2, (d >> 11) << 3};
        const int sc[3] = {(int)(s & 0xFF), (int)((s >> 8) & 0xFF), (int)((s >> 16) & 0xFF)};
        int out[3];
        for (int c = 0; c < 3; ++c) out[c] = dc[c] + (((sc[c] - dc[c]) * a) >> 8);
        return (uint16_t)((out[2] >> 3) << 11 | (out[1] >> 2) << 5 | out[0] >> 3);
    };
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    const unsigned W = 251;  // odd
    Image img(W, 1, true, [&](int, int) { return (1 + next() % 254) << 24 | (next() & 0xFFFFFF); });
    std::vector<uint32_t> rowStart, runs;
    MakeSpriteRuns(img.pixels.data(), W, 1, rowStart, runs);
    SpriteImage withRuns = img.info;
    withRuns.rowStart = rowStart.data();
    withRuns.runs = runs.data();
    for (uint32_t base = 0; base < 0x10000; base += W) {
        Surface a(W, 1, 2), b(W, 1, 2);
        for (unsigned x = 0; x < W; ++x) {
            uint16_t d = (uint16_t)(base + x);
            std::memcpy(&a.bytes[x * 2], &d, 2);
            std::memcpy(&b.bytes[x * 2], &d, 2);
        }
        BlitRegion(a.info, 0, 0, withRuns, 0, 0, (int)W, 1, false);
        BlitRegion(b.info, 0, 0, img.info, 0, 0, (int)W, 1, false);
        for (unsigned x = 0; x < W; ++x) {
            const uint16_t want = rule(img.pixels[x], (uint16_t)(base + x));
            ASSERT_EQ(want, a.At16((int)x, 0)) << "runs, destination " << base + x;
            ASSERT_EQ(want, b.At16((int)x, 0)) << "pairs, destination " << base + x;
        }
    }
}

TEST(Blitter, MirroredRowsAndRgb565Colours) {
    // Red on top, green in the middle, blue at the bottom.
    Image img(4, 3, false, [](int, int y) { return y == 0 ? 0xFFFF0000u : y == 1 ? 0xFF00FF00u : 0xFF0000FFu; });
    Surface s(4, 3, 4);
    BlitRegion(s.info, 0, 0, img.info, 0, 0, 4, 3, true);
    EXPECT_EQ(0xFF0000FFu, s.At32(0, 0));
    EXPECT_EQ(0xFFFF0000u, s.At32(3, 2));
    // Clipped at the top while mirrored: the rows that stay are the top ones
    // of the upside-down picture, green and red.
    Surface c(4, 3, 4);
    BlitRegion(c.info, 0, -1, img.info, 0, 0, 4, 3, true);
    EXPECT_EQ(0xFF00FF00u, c.At32(0, 0));
    EXPECT_EQ(0xFFFF0000u, c.At32(0, 1));
    EXPECT_EQ(0u, c.At32(0, 2));

    Surface h(4, 3, 2);
    BlitRegion(h.info, 0, 0, img.info, 0, 0, 4, 3, false);
    EXPECT_EQ(0xF800, h.At16(0, 0));
    EXPECT_EQ(0x07E0, h.At16(1, 1));
    EXPECT_EQ(0x001F, h.At16(2, 2));
    EXPECT_EQ(0xF800u, To565(0xFFFF0000u) & 0xF800u);
    EXPECT_EQ(0x00F8FCF8u, From565(0xFFFF));
}

// A full-screen redraw at 800 x 600 against a plain copy of the same bytes.
TEST(Blitter, SpeedAgainstACopy) {
    const unsigned W = 800, H = 600;
    Image opaque(W, H, false, [](int x, int y) { return 0xFF000000u | (uint32_t)(x * 7 + y * 13); });
    // A picture on a transparent field with soft edges: mostly whole pairs.
    Image sprite(W, H, true, [](int x, int y) {
        int edge = (x % 100 < 4 || y % 100 < 4) ? 0x80 : ((x / 100 + y / 100) % 2 ? 0xFF : 0x00);
        return ((uint32_t)edge << 24) | (uint32_t)(x * 7 + y * 13) & 0xFFFFFF;
    });
    for (unsigned bpp : {4u, 2u}) {
        Surface s(W, H, bpp);
        std::vector<unsigned char> from((size_t)W * H * bpp, 1);
        std::vector<uint16_t> opaque565(opaque.pixels.size()), sprite565(sprite.pixels.size());
        for (size_t i = 0; i < opaque565.size(); ++i) opaque565[i] = To565(opaque.pixels[i]);
        for (size_t i = 0; i < sprite565.size(); ++i) sprite565[i] = To565(sprite.pixels[i]);
        if (bpp == 2) {
            opaque.info.pixels565 = opaque565.data();
            sprite.info.pixels565 = sprite565.data();
        }
        std::vector<uint32_t> rowStart, runs;
        MakeSpriteRuns(sprite.pixels.data(), W, H, rowStart, runs);
        sprite.info.rowStart = rowStart.data();
        sprite.info.runs = runs.data();
        auto time = [](const std::function<void()>& f) {
            double best = 1e9;
            for (int round = 0; round < 5; ++round) {
                auto t0 = std::chrono::steady_clock::now();
                for (int i = 0; i < 10; ++i) f();
                double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
                if (ms < best) best = ms;
            }
            return best / 10.0;
        };
        double copy = time([&] { std::memcpy(s.bytes.data(), from.data(), from.size()); });
        double plain = time([&] { BlitRegion(s.info, 0, 0, opaque.info, 0, 0, W, H, false); });
        double blended = time([&] { BlitRegion(s.info, 0, 0, sprite.info, 0, 0, W, H, false); });
        // The same opaque picture as the game keeps it: 3 bytes a pixel.
        std::vector<unsigned char> bytes24;
        for (uint32_t p : opaque.pixels)
            bytes24.insert(bytes24.end(), {(unsigned char)p, (unsigned char)(p >> 8), (unsigned char)(p >> 16)});
        SpriteImage image24 = opaque.info;
        image24.pixels = nullptr;
        image24.pixels24 = bytes24.data();
        double plain24 = time([&] { BlitRegion(s.info, 0, 0, image24, 0, 0, W, H, false); });
        std::printf("blitter %u-bit 800x600: copy %.3f ms, opaque %.3f ms (%.2fx), alpha %.3f ms (%.2fx), "
                    "opaque from 3 bytes %.3f ms (%.2fx)\n",
                    bpp * 8, copy, plain, plain / copy, blended, blended / copy, plain24, plain24 / copy);
        opaque.info.pixels565 = sprite.info.pixels565 = nullptr;
        sprite.info.rowStart = sprite.info.runs = nullptr;
    }
}

// ---- The DirectDraw device ----

TEST(DirectDraw, DrawsOnlyOnX8R8G8B8AndRgb565Surfaces) {
    auto format = [](DWORD bits, DWORD r, DWORD g, DWORD b) {
        DDPIXELFORMAT f;
        std::memset(&f, 0, sizeof(f));
        f.dwSize = sizeof(f);
        f.dwFlags = DDPF_RGB;
        f.dwRGBBitCount = bits;
        f.dwRBitMask = r;
        f.dwGBitMask = g;
        f.dwBBitMask = b;
        return f;
    };
    EXPECT_EQ(4u, DrawableBytesPerPixel(format(32, 0xFF0000, 0xFF00, 0xFF)));
    EXPECT_EQ(2u, DrawableBytesPerPixel(format(16, 0xF800, 0x07E0, 0x001F)));
    // 15 bits (X1R5G5B5), other channel orders, 24 and 8 bits: refused
    // rather than drawn in wrong colours.
    EXPECT_EQ(0u, DrawableBytesPerPixel(format(16, 0x7C00, 0x03E0, 0x001F)));
    EXPECT_EQ(0u, DrawableBytesPerPixel(format(32, 0xFF, 0xFF00, 0xFF0000)));
    EXPECT_EQ(0u, DrawableBytesPerPixel(format(24, 0xFF0000, 0xFF00, 0xFF)));
    DDPIXELFORMAT palette = format(8, 0, 0, 0);
    palette.dwFlags = DDPF_PALETTEINDEXED8;
    EXPECT_EQ(0u, DrawableBytesPerPixel(palette));
}

const char kClass[] = "QvLiteTest";
bool g_deviceUp = false;

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SIZE) return 0;  // the client size is set by hand
    // Other test programs' windows come and go: this one stays active.
    if (m == WM_ACTIVATE) return 0;
    return g_renderer.HandleMessage(w, m, wp, lp) ? 0 : DefWindowProcA(w, m, wp, lp);
}

class DeviceEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, kClass, "test", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        if (!window) return;  // the blitter's tests run all the same
        g_renderer.clientWidth = 640;
        g_renderer.clientHeight = 480;
        g_deviceUp = g_renderer.Init(window, kView, false, false);
        if (!g_deviceUp) std::printf("no DirectDraw device: %s\n", g_renderer.GetError());
    }
    void TearDown() override {
        g_renderer.Shutdown();
        if (window) DestroyWindow(window);
    }
    HWND window = nullptr;
};
::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new DeviceEnvironment);

// A Lite texture of iw x ih pixels given by colour(x, y) as 0xAARRGGBB:
// the image's own size, B G R A.
struct TestTexture {
    Texture t;
    std::vector<uint32_t> pixels;
    TestTexture(unsigned iw, unsigned ih, const std::function<unsigned(int, int)>& colour) {
        std::memset(static_cast<void*>(&t), 0, sizeof(t));
        t.width = t.imageWidth = iw;
        t.height = t.imageHeight = ih;
        t.uScale = t.vScale = 1.0f;
        t.bytesPerPixel = 4;
        t.kind = kTextureKindAlpha;
        t.pixelFormat = kTextureFormatARGB;
        for (unsigned y = 0; y < ih; ++y)
            for (unsigned x = 0; x < iw; ++x) pixels.push_back(colour((int)x, (int)y));
        t.pixels = reinterpret_cast<unsigned char*>(pixels.data());
    }
    ~TestTexture() { DeviceReleaseTexture(&t); }
};

// A quad of the image's size in pixels at the current client size,
// centred on the origin.
void PixelQuad(Mesh& mesh, unsigned pw, unsigned ph) {
    float hw = pw * kView.x / g_renderer.clientWidth * 0.5f, hh = ph * kView.y / g_renderer.clientHeight * 0.5f;
    const float xyz[] = {-hw, hh, 0, -hw, -hh, 0, hw, -hh, 0, hw, hh, 0};
    const float uv[] = {0, 0, 0, 1, 1, 1, 1, 0};
    ASSERT_TRUE(mesh.SetPositions(xyz, 4));
    ASSERT_TRUE(mesh.SetTexCoords(uv, 4));
    mesh.primitiveMode = kMeshQuads;
}

bool Frame() { return g_renderer.RunFrame(); }

std::function<void()> g_draw;
std::vector<uint32_t> g_seen;  // the back surface as the last frame left it, 32-bit
void DrawPass() {
    if (g_draw) g_draw();
    RendererDevice* d = GetDDrawState();
    g_seen.clear();
    if (!d || !d->surface.pixels) return;
    for (unsigned y = 0; y < d->surface.height; ++y)
        for (unsigned x = 0; x < d->surface.width; ++x) {
            const unsigned char* p = d->surface.pixels + (size_t)y * d->surface.pitch + x * d->surface.bytesPerPixel;
            uint32_t v = 0;
            if (d->surface.bytesPerPixel == 4) std::memcpy(&v, p, 4);
            else v = From565((uint16_t)(p[0] | p[1] << 8));
            g_seen.push_back(v & 0xFFFFFF);
        }
}

TEST(DirectDraw, FramesDrawSpritesOneToOneAndFollowTheClientSize) {
    if (!g_deviceUp) GTEST_SKIP() << "DirectDraw is not available here";
    EXPECT_STREQ("DDRAW", g_renderer.DeviceName());
    EXPECT_EQ(0, std::strncmp(g_renderer.FrameRateFormat(), "DDRAW FPS: %.0f,", 16));
    RendererDevice* d = GetDDrawState();
    ASSERT_NE(nullptr, d);
    ASSERT_TRUE(d->bytesPerPixel == 4 || d->bytesPerPixel == 2);

    // At 16 bits the colours come back with their low bits dropped.
    auto shown = [&](uint32_t c) { return d->bytesPerPixel == 2 ? From565(To565(c)) : c; };
    const uint32_t white = shown(0xFFFFFF), green = shown(0x00FF00);
    TestTexture tex(16, 8, [](int x, int) { return x < 8 ? 0xFFFFFFFFu : 0xFF00FF00u; });
    ASSERT_TRUE(DeviceCreateTexture(&tex.t));
    g_renderer.SetFramePasses(nullptr, DrawPass);
    for (unsigned size : {640u, 800u}) {
        SCOPED_TRACE(size);
        g_renderer.clientWidth = size;
        g_renderer.clientHeight = size * 3 / 4;
        Mesh quad;
        PixelQuad(quad, 16, 8);
        quad.defaultTexture = &tex.t;
        g_draw = [&] { quad.Draw(nullptr); };
        ASSERT_TRUE(Frame());
        ASSERT_EQ((size_t)size * size * 3 / 4, g_seen.size()) << "surfaces made again for the new size";
        const unsigned W = size, cx = size / 2, cy = size * 3 / 8;
        auto at = [&](unsigned x, unsigned y) { return g_seen[(size_t)y * W + x]; };
        // Exactly 16 x 8 pixels, white then green, centred.
        EXPECT_EQ(white, at(cx - 8, cy - 4));
        EXPECT_EQ(white, at(cx - 1, cy + 3));
        EXPECT_EQ(green, at(cx, cy));
        EXPECT_EQ(green, at(cx + 7, cy + 3));
        EXPECT_EQ(0u, at(cx - 9, cy));
        EXPECT_EQ(0u, at(cx + 8, cy));
        EXPECT_EQ(0u, at(cx, cy - 5));
        EXPECT_EQ(0u, at(cx, cy + 4));
        // Upside down through a matrix that turns y over.
        g_draw = [&] {
            g_renderer.PushMatrix();
            g_renderer.Scale(1.0f, -1.0f, 1.0f);
            quad.Draw(nullptr);
            g_renderer.PopMatrix();
        };
        ASSERT_TRUE(Frame());
        EXPECT_EQ(green, at(cx, cy));
    }
    // No client area: no surfaces, frames draw nothing and nothing breaks.
    g_renderer.clientWidth = 0;
    g_renderer.clientHeight = 0;
    g_seen.assign(1, 1);
    bool drawn = false;
    g_draw = [&] { drawn = true; };
    EXPECT_TRUE(Frame());
    EXPECT_FALSE(drawn);
    EXPECT_EQ(nullptr, d->back);
    g_renderer.clientWidth = 640;
    g_renderer.clientHeight = 480;
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(drawn);
    EXPECT_NE(nullptr, d->back);
    g_renderer.SetFramePasses(nullptr, nullptr);
    g_draw = nullptr;
}

// ---- Controls, fonts and the frame's messages in 2D ----

// Glyphs advance by their own pixels across and a line is as high as its
// strip, whatever the client's shape; at 4:3 both give the same numbers.
TEST(LiteText, FontsMeasureInWholePixelsOnAnyClientShape) {
    const unsigned savedW = g_renderer.clientWidth, savedH = g_renderer.clientHeight;
    const Vector3 savedView = g_renderer.viewSize;
    g_renderer.viewSize = kView;
    for (unsigned w : {640u, 1280u}) {
        SCOPED_TRACE(w);
        g_renderer.clientWidth = w;
        g_renderer.clientHeight = w == 640 ? 480 : 1024;
        Font font;
        const int widths[] = {10, 6};
        char error[256] = "";
        ASSERT_TRUE(font.BuildGlyphs("AB", widths, 2, -4, 16, 32, error, sizeof(error))) << error;
        FitFontToPixels(font, 32);
        const float across = kView.x / (float)w, down = kView.y / (float)g_renderer.clientHeight;
        EXPECT_NEAR(10 * across, font.widths['A'] * font.size, 1e-6f);
        EXPECT_NEAR(6 * across, font.widths['B'] * font.size, 1e-6f);
        EXPECT_NEAR(-4 * across, font.spacing * font.size, 1e-6f);
        EXPECT_NEAR(32 * down, TextBlockStep(&font, nullptr), 1e-6f);
        EXPECT_NEAR((10 - 4 + 6) * across, TextWidth("AB", &font) * font.size, 1e-6f);
    }
    g_renderer.clientWidth = savedW;
    g_renderer.clientHeight = savedH;
    g_renderer.viewSize = savedView;
}

// A control element in 2D: nothing turns, scales or pivots; "fps" sets the
// rate of a text control's own clips; the hit box keeps the drawn size and
// never drifts, however often the control is placed or swells.
TEST(LiteControls, TakeTheirRateKeepTheirSizeAndIgnoreTurnsAndScales) {
    g_resourceManager.Init();
    Model* m = static_cast<Model*>(g_resourceManager.CreateEntry("lite_test.mdl|body", RESOURCE_MODEL));
    ASSERT_NE(nullptr, m);
    m->box = new float[6]{-0.1f, -0.05f, -0.1f, 0.1f, 0.05f, 0.1f};
    m->clips.count = 3;
    m->clips.items = new ModelClip[3];
    const char* names[] = {"open", "idle", "close"};
    for (int i = 0; i < 3; ++i) {
        SetString(m->clips.items[i].name, names[i]);
        m->clips.items[i].frameCount = 4;
    }
    ASSERT_NE(nullptr, g_resourceManager.CreateEntry("lite_test.png", RESOURCE_TEXTURE));
    g_renderer.defaultFrameTime = 1.0f / 35.0f;

    for (const char* fps : {(const char*)"12", (const char*)nullptr}) {
        SCOPED_TRACE(fps ? fps : "no fps");
        TiXmlElement e("text");
        e.SetAttribute("pos", "0.5,0.25,3");
        e.SetAttribute("rot", "30z");
        e.SetAttribute("pivot", "1,1,1");
        e.SetAttribute("scale", "2");
        e.SetAttribute("aspect", "3");
        e.SetAttribute("model", "lite_test.mdl");
        e.SetAttribute("texture", "lite_test.png");
        if (fps) e.SetAttribute("fps", fps);
        GuiControl* c = CreateLiteGuiControl("text");
        ASSERT_NE(nullptr, c);
        c->LoadCommon(&e);
        EXPECT_EQ(0.0f, c->rotation.angle);
        EXPECT_EQ(1.0f, c->scale);
        EXPECT_EQ(1.0f, c->aspect);
        EXPECT_EQ(0.5f, c->pivot.x);
        EXPECT_EQ(0.25f, c->pivot.y);
        EXPECT_EQ(fps ? 12.0f : 0.0f, c->fps);
        c->BuildVisuals();
        ASSERT_NE(nullptr, c->body);
        for (int state : {GUI_STATE_OPENING, GUI_STATE_IDLE, GUI_STATE_CLOSING}) {
            c->SetState(state);
            EXPECT_NEAR(fps ? 1.0f / 12.0f : 1.0f / 35.0f, c->body->frameDuration, 1e-6f) << state;
        }
        // The client size the pictures are made for: boxes as the model's.
        const unsigned savedW = g_renderer.clientWidth, savedH = g_renderer.clientHeight;
        const Vector3 savedView = g_renderer.viewSize;
        g_renderer.viewSize = Vector3{8.0f / 3.0f, 2.0f, 100.0f};
        g_renderer.clientWidth = 800;
        g_renderer.clientHeight = 600;
        for (int i = 0; i < 3; ++i) {
            c->body->SetScale(1.1f, 1.1f, 1.0f);
            c->body->SetPosition(0.5f, 0.25f, 3.0f);
        }
        EXPECT_NEAR(0.4f, c->body->worldBox[0], 1e-6f);
        EXPECT_NEAR(0.6f, c->body->worldBox[3], 1e-6f);
        EXPECT_NEAR(0.2f, c->body->worldBox[1], 1e-6f);
        EXPECT_NEAR(0.3f, c->body->worldBox[4], 1e-6f);
        EXPECT_FALSE(c->body->HitTest(0.61f, 0.25f, 0.0f, nullptr)) << "outside the drawn picture";
        EXPECT_TRUE(c->body->HitTest(0.59f, 0.25f, 0.0f, nullptr));
        // On a larger client the picture covers fewer view units (it is
        // drawn 1:1): the box follows, and a minimised window divides by
        // nothing.
        g_renderer.clientWidth = 1600;
        g_renderer.clientHeight = 1200;
        EXPECT_TRUE(c->body->HitTest(0.54f, 0.25f, 0.0f, nullptr));
        EXPECT_FALSE(c->body->HitTest(0.56f, 0.25f, 0.0f, nullptr)) << "outside the picture at 1600 x 1200";
        EXPECT_FALSE(c->body->HitTest(0.5f, 0.28f, 0.0f, nullptr));
        g_renderer.clientWidth = 0;
        g_renderer.clientHeight = 0;
        EXPECT_TRUE(c->body->HitTest(0.59f, 0.25f, 0.0f, nullptr));
        g_renderer.clientWidth = savedW;
        g_renderer.clientHeight = savedH;
        g_renderer.viewSize = savedView;
        c->ReleaseVisuals();
        delete c;
    }
    g_resourceManager.Shutdown();
}

// The frame takes the game window's messages only: a message for the
// thread stays queued; a quit message posted to the window ends the loop.
TEST(DirectDraw, FramesPumpOnlyTheGameWindowsMessages) {
    if (!g_deviceUp) GTEST_SKIP() << "DirectDraw is not available here";
    const UINT kThreadOnly = WM_APP + 7;
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), kThreadOnly, 0, 0));
    EXPECT_TRUE(Frame());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, (HWND)-1, kThreadOnly, kThreadOnly, PM_REMOVE)) << "the pump took it";
    ASSERT_TRUE(PostMessageA(g_renderer.window, WM_QUIT, 0, 0));
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(Frame());
}

// ---- Textures as the Lite keeps them ----

std::string EncodePng(unsigned w, unsigned h, png_uint_32 format, const std::vector<unsigned char>& samples) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = format;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, samples.data(), 0, nullptr)) return "";
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&image, &out[0], &size, 0, samples.data(), 0, nullptr)) return "";
    out.resize(size);
    return out;
}

std::string EncodeJpeg(unsigned w, unsigned h, const std::vector<unsigned char>& rgb) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    for (unsigned y = 0; y < h; ++y) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[(size_t)y * w * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// Files in a folder of their own, listed by a manifest the file system loads.
void LoadFiles(const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string dir = "lite_textures\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string xml = "<manifest res_path=\"" + dir + "\"><group path=\"\">";
    for (const auto& f : files) {
        FILE* out = std::fopen((dir + f.first).c_str(), "wb");
        ASSERT_NE(nullptr, out) << f.first;
        ASSERT_EQ(f.second.size(), std::fwrite(f.second.data(), 1, f.second.size(), out));
        std::fclose(out);
        xml += "<file label=\"" + f.first + "\" path=\"" + f.first + "\"/>";
    }
    FILE* out = std::fopen((dir + "m.xml").c_str(), "wb");
    ASSERT_NE(nullptr, out);
    xml += "</group></manifest>";
    std::fwrite(xml.data(), 1, xml.size(), out);
    std::fclose(out);
    ASSERT_TRUE(g_fileSystem.Load((dir + "m.xml").c_str()));
}

// Every image at its own size, 3 bytes (no alpha) or 4, blue first, the
// pixels kept for the blitter to draw from as they stand.
TEST(LiteTextures, TheRecordIsTheImageAtItsOwnSizeBlueFirst) {
    const unsigned W = 21, H = 3;  // odd, and past one 16-pixel stretch
    auto colour = [](unsigned x, unsigned y) { return (uint32_t)(0x102030 + x * 0x010305 + y * 0x203010); };
    std::vector<unsigned char> rgb, rgba, greyAlpha;
    for (unsigned y = 0; y < H; ++y)
        for (unsigned x = 0; x < W; ++x) {
            uint32_t c = colour(x, y);
            unsigned char r = (unsigned char)(c >> 16), g = (unsigned char)(c >> 8), b = (unsigned char)c;
            rgb.insert(rgb.end(), {r, g, b});
            rgba.insert(rgba.end(), {r, g, b, (unsigned char)(x * 12)});
            greyAlpha.insert(greyAlpha.end(), {(unsigned char)(x * 10), (unsigned char)(255 - x)});
        }
    std::vector<unsigned char> red;
    for (int i = 0; i < 16 * 8; ++i) red.insert(red.end(), {250, 0, 0});
    const std::string rgbPng = EncodePng(W, H, PNG_FORMAT_RGB, rgb);
    LoadFiles({{"rgb.png", rgbPng},
               {"rgba.png", EncodePng(W, H, PNG_FORMAT_RGBA, rgba)},
               {"greyalpha.png", EncodePng(W, H, PNG_FORMAT_GA, greyAlpha)},
               {"red.jpg", EncodeJpeg(16, 8, red)},
               {"damaged.png", rgbPng.substr(0, rgbPng.size() - 20)}});
    g_resourceManager.Init();

    Texture* t = g_resourceManager.GetTexture("rgb.png");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kTextureKindColour, t->kind);
    EXPECT_EQ(3u, t->bytesPerPixel);
    EXPECT_EQ(W, t->width);
    EXPECT_EQ(H, t->height);
    EXPECT_EQ(1.0f, t->uScale);
    EXPECT_EQ(1.0f, t->vScale);
    ASSERT_NE(nullptr, t->pixels) << "kept for the blitter";
    for (unsigned i : {0u, W * H - 1}) {
        uint32_t c = colour(i % W, i / W);
        const unsigned char* p = t->pixels + i * 3;
        EXPECT_EQ(c, (uint32_t)p[0] | p[1] << 8 | p[2] << 16) << "pixel " << i;
    }
    // Drawn straight from those bytes: widened on 32 bits, narrowed on 16.
    const SpriteImage& image = static_cast<LiteImage*>(t->deviceTexture)->image;
    EXPECT_EQ(nullptr, image.pixels) << "no second copy of the picture";
    for (unsigned bpp : {4u, 2u}) {
        Surface s(W + 2, H, bpp);
        BlitRegion(s.info, 1, 0, image, 0, 0, (int)W, (int)H, false);
        for (unsigned y = 0; y < H; ++y)
            for (unsigned x = 0; x < W; ++x) {
                uint32_t want = 0xFF000000u | colour(x, y);
                if (bpp == 4) ASSERT_EQ(want, s.At32((int)x + 1, (int)y)) << x << "," << y;
                else ASSERT_EQ(To565(want), s.At16((int)x + 1, (int)y)) << x << "," << y;
            }
        EXPECT_EQ(0u, bpp == 4 ? s.At32(0, 0) : s.At16(0, 0));
        EXPECT_EQ(0u, bpp == 4 ? s.At32((int)W + 1, 0) : s.At16((int)W + 1, 0));
    }

    t = g_resourceManager.GetTexture("rgba.png");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kTextureKindAlpha, t->kind);
    EXPECT_EQ(4u, t->bytesPerPixel);
    EXPECT_EQ(W, t->width);
    EXPECT_EQ(H, t->height);
    ASSERT_NE(nullptr, t->pixels);
    uint32_t word;
    std::memcpy(&word, t->pixels + (W + 5) * 4, 4);
    EXPECT_EQ((uint32_t)(5 * 12) << 24 | colour(5, 1), word);
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(t->pixels), static_cast<LiteImage*>(t->deviceTexture)->image.pixels)
        << "the blitter reads the record's own words";

    // Other colour types become colour and alpha as before.
    t = g_resourceManager.GetTexture("greyalpha.png");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kTextureKindAlpha, t->kind);
    std::memcpy(&word, t->pixels + 3 * 4, 4);
    EXPECT_EQ(0xFC1E1E1Eu, word);

    t = g_resourceManager.GetTexture("red.jpg");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kTextureKindColour, t->kind);
    EXPECT_EQ(3u, t->bytesPerPixel);
    EXPECT_EQ(16u, t->width);
    EXPECT_EQ(8u, t->height);
    EXPECT_LE(t->pixels[0], 8);   // blue
    EXPECT_GE(t->pixels[2], 242); // red

    const unsigned before = g_resourceManager.Count(RESOURCE_TEXTURE);
    EXPECT_EQ(nullptr, g_resourceManager.GetTexture("damaged.png"));
    EXPECT_EQ(before, g_resourceManager.Count(RESOURCE_TEXTURE)) << "no entry left behind";
    EXPECT_EQ(nullptr, g_resourceManager.Find("damaged.png", RESOURCE_TEXTURE));
    g_resourceManager.Shutdown();
    g_fileSystem.Shutdown();
}

// A wedge shows the first picture of its "idle" clip, still, at the default
// frame time, on opening and idle; closing leaves whatever plays playing;
// it keeps no state and never holds up its group's closing.
TEST(LiteWedge, IdleShowsTheFirstPictureOtherStatesLeaveTheClip) {
    g_resourceManager.Init();
    Model* m = static_cast<Model*>(g_resourceManager.CreateEntry("wedge_test.mdl|body", RESOURCE_MODEL));
    ASSERT_NE(nullptr, m);
    m->clips.count = 2;
    m->clips.items = new ModelClip[2];
    const char* names[] = {"idle", "turn"};
    for (int i = 0; i < 2; ++i) {
        SetString(m->clips.items[i].name, names[i]);
        m->clips.items[i].frameCount = 8;
    }
    ASSERT_NE(nullptr, g_resourceManager.CreateEntry("wedge_test.png", RESOURCE_TEXTURE));
    g_renderer.defaultFrameTime = 1.0f / 35.0f;
    const float savedFrameTime = g_renderer.frameTime;
    g_renderer.frameTime = 0.5f;
    auto step = [] (ModelInstance* body) {
        ++g_renderer.frameCounter;
        body->Advance();
    };

    TiXmlElement e("wedge");
    e.SetAttribute("model", "wedge_test.mdl");
    e.SetAttribute("texture", "wedge_test.png");
    GuiControl* wedge = CreateLiteGuiControl("wedge");
    ASSERT_NE(nullptr, dynamic_cast<WedgeControl*>(wedge));
    wedge->LoadCommon(&e);
    wedge->Load(&e);
    GuiGroup group;
    ASSERT_TRUE(group.AddControl(wedge));
    const int kept = wedge->state;
    group.Open(0);
    ModelInstance* body = wedge->body;
    ASSERT_NE(nullptr, body);
    for (int state : {GUI_STATE_OPENING, GUI_STATE_IDLE}) {
        SCOPED_TRACE(state);
        body->PlayAnimation("turn", PLAY_LOOP, 2.0f);
        step(body);
        step(body);
        ASSERT_NE(0u, body->frame);
        wedge->SetState(state);
        ASSERT_NE(nullptr, body->clip);
        EXPECT_STREQ("idle", body->clip->name);
        EXPECT_EQ(0u, body->frame);
        EXPECT_EQ(PLAY_STILL, body->playMode);
        EXPECT_NEAR(1.0f / 35.0f, body->frameDuration, 1e-7f);
        EXPECT_EQ(kept, wedge->state);
    }
    body->PlayAnimation("turn", PLAY_LOOP, 2.0f);
    step(body);
    for (int state : {GUI_STATE_CLOSING, GUI_STATE_CLOSED, GUI_STATE_HOVER, GUI_STATE_SELECTED}) {
        SCOPED_TRACE(state);
        const unsigned frame = body->frame;
        wedge->SetState(state);
        step(body);
        EXPECT_STREQ("turn", body->clip->name);
        EXPECT_EQ((frame + 1) % 8, body->frame) << "still playing";
        EXPECT_EQ(kept, wedge->state);
    }
    group.Close();
    EXPECT_TRUE(group.IsClosed()) << "a wedge never holds its group open";
    group.Drop();
    delete wedge;
    group.controlCount = 0;
    g_renderer.frameTime = savedFrameTime;
    g_resourceManager.Shutdown();
}

TEST(LiteFactory, MakesItsThirtyKindsInOrderWithTheTwoDimensionalVariants) {
    const char* expected[] = {"static", "button", "edit", "text", "slider", "scroll", "check", "link",
                              "key", "fps", "timer", "list", "group", "clone", "radiobut", "wedge",
                              "sound_trigger", "power_meter", "gui_letter", "picture", "animation", "trophy",
                              "multielems", "newspin", "statusbar", "ai", "newpanel", "fade", "bkwheel", "msg"};
    ASSERT_EQ(30u, kLiteKindCount);
    for (unsigned i = 0; i < kLiteKindCount; ++i) {
        EXPECT_STREQ(expected[i], LiteKindName(i));
        GuiControl* c = CreateLiteGuiControl(expected[i]);
        EXPECT_NE(nullptr, c) << expected[i];
        delete c;
    }
    EXPECT_EQ(nullptr, LiteKindName(30));
    EXPECT_EQ(nullptr, CreateLiteGuiControl("nothing"));
    EXPECT_EQ(nullptr, CreateLiteGuiControl(nullptr));
    EXPECT_EQ(nullptr, CreateGuiControl("wedge")) << "the full edition has no wedge kind";
    std::unique_ptr<GuiControl> picture(CreateLiteGuiControl("picture"));
    std::unique_ptr<GuiControl> clone(CreateLiteGuiControl("clone"));
    std::unique_ptr<GuiControl> fade(CreateLiteGuiControl("fade"));
    std::unique_ptr<GuiControl> wheel(CreateLiteGuiControl("newspin"));
    EXPECT_NE(nullptr, dynamic_cast<LiteSpinControl*>(wheel.get()));
    std::unique_ptr<GuiControl> avatar(CreateLiteGuiControl("animation"));
    EXPECT_NE(nullptr, dynamic_cast<SpriteAvatarControl*>(avatar.get()));
    EXPECT_NE(nullptr, dynamic_cast<LitePictureControl*>(picture.get()));
    EXPECT_NE(nullptr, dynamic_cast<LiteCloneControl*>(clone.get()));
    EXPECT_NE(nullptr, dynamic_cast<LiteFadeControl*>(fade.get()));
}

TEST(LiteKinds, PictureSpeedAndAFadeThatEndsWithoutAlpha) {
    TiXmlDocument doc;
    doc.Parse("<picture anim_speed=\"12.5\"/>");
    LitePictureControl picture;
    picture.Load(doc.RootElement());
    EXPECT_FLOAT_EQ(12.5f, picture.clipSpeed);
    TiXmlDocument plainDoc;
    plainDoc.Parse("<picture/>");
    LitePictureControl plain;
    plain.Load(plainDoc.RootElement());
    EXPECT_FLOAT_EQ(0.0f, plain.clipSpeed);

    // Trigger "open", one second: state 0 after a second's frames, whatever
    // start and end say, and no handler runs.
    TiXmlDocument fadeDoc;
    fadeDoc.Parse("<fade start=\"0.7\" end=\"0.2\" time=\"1\" trigger=\"open\" OnEnd=\"ExitGame()\"/>");
    LiteFadeControl fade;
    fade.Load(fadeDoc.RootElement());
    EXPECT_EQ(nullptr, fade.onEnd);
    fade.BuildVisuals();
    fade.SetState(GUI_STATE_OPENING);
    ASSERT_EQ(FADE_ON_OPEN, fade.state);
    const float savedFrameTime = g_renderer.frameTime;
    g_renderer.frameTime = 0.02f;
    int frames = 0;
    while (fade.state == FADE_ON_OPEN && frames < 1000) {
        fade.Draw();
        ++frames;
    }
    g_renderer.frameTime = savedFrameTime;
    EXPECT_EQ(GUI_STATE_IDLE, fade.state);
    EXPECT_NEAR(50, frames, 1);
}

// The Lite's three tables written out: the names in their order (none of
// the full edition's that the Lite has no use for), and for each name the
// Lite's own handler or, where it has none, the game's handler of that name
// (which the game's tests call by name). A handler swapped between two names
// of a table, or a name moved, is caught here.
TEST(LiteCallbacks, EveryNameIsBoundInItsTableToTheGamesHandlerOrTheLitesOwn) {
    const std::vector<std::string> debug = {
        "HackRound1", "HackRoundJackpot", "HackRoundMistery", "HackRoundBonus", "HackDecreaseScore",
        "HackIncreaseScore", "HackShowSolution", "HackShowTimers", "HackAddJackpots", "HackAddBonusWin",
        "HackAddSoloWin", "HackAddHoursPlay", "HackAddAllTrophy", "HackDecTurns", "HackAddTurns",
        "HackFreeSpin", "HackJackpot", "HackBankrupt", "HackLooseATurn", "HackAddTotalScore",
        "HackMysteryBankrupt", "HackMysteryWin", "HackPrize10k", "HackStopZoomWheel", "HackRotateWheel",
        "HackScrollPuzzles", "HackPlayAnim"};
    const std::vector<std::string> menu = {
        "InitMenu", "InitNewPlayer", "CreatePlayer", "FinishPlayer", "CancelCreate", "ForceActiveEdit",
        "InitHighscore", "OnPressTrophy", "InitTrophy", "InitOptions", "ModifySoundValue", "ModifyMusicValue",
        "ToggleFullscreenWindowed", "ToggleHighQuality", "ToggleVSync", "ModifyRefreshRate", "ApplyVideo",
        "InitInGameOptions", "ToggleInGameFullscreenWindowed", "SetWindowAfterEdit", "InitProfiles",
        "OpenEditProfile", "OnPressDelete", "DeletePlayer", "PlayerProfileDetails", "PlayerProfileHoverEnd",
        "InitEditProfile", "ChangeGender", "ChangeSkinColor", "ChangeHairColor", "ChangeHairStyle",
        "ChangeClothingStyle", "ToggleGlasses", "ChangeFaceHair", "Randomize", "CancelEditPlayer",
        "FinishEditPlayer", "RotateMouseWheel", "ChangePage", "InstructionInit", "UpdateInstructionsText",
        "CreditsRotateMouseWheel", "ChangeCreditsPage", "CreditsMoreInit", "UpdateCreditsText", "CheckCities",
        "GotoRoadTrip", "OpenCityInfo", "CloseCityInfo", "InitGroupPlay", "InitGroupPlayDropDownYellow",
        "SelectYellowPlayer", "InitGroupPlayDropDownBlue", "SelectBluePlayer", "InitMainMenuWnd", "StartGame",
        "SetCurrentYearMonthToPuzzle", "InitPuzzleMode", "SetMonth", "ChangeYear", "StartPuzzleOfTheDay",
        "ToggleHumanAI", "OpenDebugAI", "EditAIParam"};
    const std::vector<std::string> screens = {
        "CloseWindow", "OpenWindow", "ChangeScreen", "ChangeWindow", "StartTimer", "SetActiveControl",
        "PlaySound", "PlayMusic", "StopSounds", "SetPlayerAndReturn", "OpenChooseMode", "OpenAloneOrAI",
        "OpenRoadTrip", "ExitToMainMenu", "ExitGame", "OnTurnSelect", "OnGameStart", "StartGroupPlay",
        "HideMysteryWedge", "HideMysteryBkWedge", "HideMysteryWinWedge", "SelectTrophy", "SetTrohyIdle",
        "OnTossupSolve", "Solve", "Spin", "ShowGauge", "HideGauge", "OnDrawFullPanel", "Round_VerifTimer",
        "OnTimerOpenFreeSpinAsk", "OnTimerFailedSolveSolution", "ShowBonusWinMsg", "EndRotateBonusWheel",
        "EndRotateZoomWheel", "ExitZoomWheel", "OnSolveTimerUp", "OnChooseLetterTimerUp", "LoopSound",
        "OnTossupTimer", "NextMessage", "FreeSpinYes", "FreeSpinNo", "JackpotYes", "JackpotNo",
        "EndShowSolution", "GoToNextRound", "InitPlayerStats", "ShowNextPlayer", "NewGame", "WrapUpStats",
        "PlayerStatsChangeTrophy", "PlayerStatsHoverTrophy", "PlayerStatsEndHoverTrophy",
        "OnEndTimerShowPodiumsScore", "MisteryRevealYes", "PlayMysteryWinAnims", "PlayMysteryBkAnims",
        "MisteryRevealNo", "ChangeTurn", "PauseGame", "ResumeGame", "CheckPuzzleIsSolved", "RevealBonusInitial",
        "ChooseBonusLetters", "SetBonusMoney", "OnOpupOnlyVowelsClose", "OnEndTimerMystery", "OnPressBuyVowel",
        "ChoseLetter", "OnEndTimerDesyncAnim1", "OnEndTimerDesyncAnim2", "OnEndTimerDesyncAnim3",
        "OnTimerPlayIdleAnims", "OnPlayNextAnim1", "OnPlayNextAnim2", "OnPlayNextAnim3", "OnEndAnim1",
        "OnEndAnim2", "OnEndAnim3", "OnTimerEndWaitForTheme", "StartTarrowickLogo", "StartQVXIntro"};
    ASSERT_EQ(27u, debug.size());
    ASSERT_EQ(64u, menu.size());
    ASSERT_EQ(83u, screens.size());
    EXPECT_EQ(debug.size(), kLiteDebugCallbackCount);
    EXPECT_EQ(menu.size(), kLiteMenuCallbackCount);
    EXPECT_EQ(screens.size(), kLiteGameCallbackCount);
    // The Lite's own handlers (its debug commands behind the developer gate);
    // "HackPlayAnim" is its own too, and does nothing.
    const std::map<std::string, GuiCallback> own = {
        {"HackStopZoomWheel", DeveloperCommand<LiteCallbacks::HackStopZoomWheel>},
        {"HackRotateWheel", DeveloperCommand<LiteCallbacks::HackRotateWheel>},
        {"Spin", LiteCallbacks::Spin},
        {"Round_VerifTimer", LiteCallbacks::Round_VerifTimer},
        {"EndRotateZoomWheel", LiteCallbacks::EndRotateZoomWheel},
        {"ExitZoomWheel", LiteCallbacks::ExitZoomWheel},
        {"OnEndTimerDesyncAnim1", LiteAvatarCallbacks::OnEndTimerDesyncAnim1},
        {"OnEndTimerDesyncAnim2", LiteAvatarCallbacks::OnEndTimerDesyncAnim2},
        {"OnEndTimerDesyncAnim3", LiteAvatarCallbacks::OnEndTimerDesyncAnim3},
        {"OnTimerPlayIdleAnims", LiteAvatarCallbacks::OnTimerPlayIdleAnims},
        {"OnPlayNextAnim1", LiteAvatarCallbacks::OnPlayNextAnim1},
        {"OnPlayNextAnim2", LiteAvatarCallbacks::OnPlayNextAnim2},
        {"OnPlayNextAnim3", LiteAvatarCallbacks::OnPlayNextAnim3},
        {"OnEndAnim1", LiteAvatarCallbacks::OnEndAnim1},
        {"OnEndAnim2", LiteAvatarCallbacks::OnEndAnim2},
        {"OnEndAnim3", LiteAvatarCallbacks::OnEndAnim3},
        {"OnTimerEndWaitForTheme", LiteAvatarCallbacks::OnTimerEndWaitForTheme},
        {"FinishPlayer", LiteFinishPlayer},
        {"InitOptions", LiteInitOptions},
        {"ToggleFullscreenWindowed", LiteToggleFullscreenWindowed},
        {"ToggleHighQuality", LiteToggleHighQuality},
        {"ToggleVSync", LiteToggleVSync},
        {"ModifyRefreshRate", LiteModifyRefreshRate},
        {"ApplyVideo", LiteApplyVideo},
        {"ChangeGender", LiteChangeGender},
        {"Randomize", LiteRandomize},
    };

    CallbackRegistry lite;
    RegisterLiteCallbacks(lite);
    CallbackRegistry game;
    RegisterDebugCallbacks(game);
    RegisterMenuCallbacks(game);
    RegisterGameScreenCallbacks(game);
    std::vector<std::string> all = debug;
    all.insert(all.end(), menu.begin(), menu.end());
    all.insert(all.end(), screens.begin(), screens.end());
    ASSERT_EQ(all.size(), lite.RegisteredCount());
    std::set<GuiCallback> handlers;
    for (unsigned i = 0; i < lite.RegisteredCount(); ++i) {
        const CallbackEntry* entry = lite.RegisteredAt(i);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(all[i], entry->name) << i;
        EXPECT_EQ(entry->callback, lite.Find(entry->name)) << entry->name << " twice";
        EXPECT_TRUE(handlers.insert(entry->callback).second) << entry->name << " shares its handler";
        auto mine = own.find(entry->name);
        if (mine != own.end()) {
            EXPECT_EQ(mine->second, entry->callback) << entry->name << ": not the Lite's own";
        } else if (all[i] != "HackPlayAnim") {
            EXPECT_NE(nullptr, entry->callback) << entry->name;
            EXPECT_EQ(game.Find(entry->name), entry->callback) << entry->name << ": not the game's";
        }
    }
    for (const char* name : {"EndRotateWheel", "LoadGameData", "PlayBk10kDownAnim", "PlayMystery10kDownAnim",
                             "ModifyResolution", "HackShowHideChars", "HackShowHideReflexions"}) {
        EXPECT_NE(nullptr, game.Find(name)) << name;
        EXPECT_EQ(nullptr, lite.Find(name)) << name;
    }
    // The 2D avatars have no animation list: the command is there and does nothing.
    GuiCallback playAnim = lite.Find("HackPlayAnim");
    ASSERT_NE(nullptr, playAnim);
    EXPECT_NE(game.Find("HackPlayAnim"), playAnim);
    EXPECT_TRUE(playAnim(nullptr, nullptr));
}

} // namespace
