// Skinned characters through the Direct3D 9 device: depth within a
// character scene, vertex colours over the texture, and the state handed
// back to the flat GUI (the same expectations as the OpenGL device's test).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "render_device.h"
#include "renderer.h"
#include "renderer_d3d9.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

namespace {

const Vector3 kView = {2.6666665f, 2.0f, 100.0f};
const unsigned kWidth = 128, kHeight = 96;

class DeviceEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QvSkinD3dTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "test", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window);
        g_renderer.clientWidth = kWidth;
        g_renderer.clientHeight = kHeight;
        ASSERT_TRUE(g_renderer.Init(window, kView, false, false)) << g_renderer.GetError();
    }
    void TearDown() override {
        g_renderer.Shutdown();
        if (window) DestroyWindow(window);
    }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_SIZE) return 0;
        return g_renderer.HandleMessage(w, m, wp, lp) ? 0 : DefWindowProcA(w, m, wp, lp);
    }
    HWND window = nullptr;
};
::testing::Environment* const g_device = ::testing::AddGlobalTestEnvironment(new DeviceEnvironment);

struct Picture {
    std::vector<unsigned> pixels;
    unsigned w = 0, h = 0;
    unsigned At(float x, float y) const {
        if (pixels.empty()) return 0xDEAD;
        int px = (int)((x / kView.x + 0.5f) * w), py = (int)((0.5f - y / kView.y) * h);
        return pixels[(size_t)py * w + px] & 0xFFFFFF;
    }
};

Picture Render(const std::function<void()>& draw, bool clearDepth = true) {
    Picture pic;
    IDirect3DDevice9* dev = GetD3DDevice();
    if (!dev) return pic;
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | (clearDepth ? D3DCLEAR_ZBUFFER : 0), 0xFF000000, 1.0f, 0);
    if (SUCCEEDED(dev->BeginScene())) {
        draw();
        dev->EndScene();
    }
    IDirect3DSurface9 *target = nullptr, *copy = nullptr;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(dev->GetRenderTarget(0, &target)) && SUCCEEDED(target->GetDesc(&desc)) &&
        SUCCEEDED(dev->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                   nullptr)) &&
        SUCCEEDED(dev->GetRenderTargetData(target, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pic.w = desc.Width;
        pic.h = desc.Height;
        for (unsigned y = 0; y < pic.h; ++y) {
            const unsigned* row = reinterpret_cast<const unsigned*>((const char*)locked.pBits + y * locked.Pitch);
            pic.pixels.insert(pic.pixels.end(), row, row + pic.w);
        }
        copy->UnlockRect();
    }
    if (copy) copy->Release();
    if (target) target->Release();
    return pic;
}

bool Close(unsigned got, unsigned want, int tolerance = 8) {
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
            float c[4] = {r, g, b, 1.0f};
            std::memcpy(skin.colours + i * 4, c, sizeof(c));
        }
        skin.indices = new uint32_t[6]{0, 1, 2, 0, 2, 3};
    }
};

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

DWORD State(D3DRENDERSTATETYPE s) {
    DWORD v = 0;
    GetD3DDevice()->GetRenderState(s, &v);
    return v;
}

TEST(SkinD3d9, NearerWinsInASceneAndTheGuiStateComesBack) {
    ASSERT_TRUE(GetD3DDevice());
    WhiteTexture white;
    ASSERT_TRUE(DeviceCreateTexture(&white.t));
    SquareSkin nearRed(-0.5f, -0.5f, 0.2f, 0.5f, 60.0f, 1.0f, 0.0f, 0.0f);
    SquareSkin farGreen(-0.2f, -0.5f, 0.5f, 0.5f, 40.0f, 0.0f, 0.5f, 0.0f);
    Picture pic = Render([&] {
        DeviceBeginDepthScene();
        DeviceDrawSkin(&nearRed.skin, &white.t);
        DeviceDrawSkin(&farGreen.skin, nullptr);
        DeviceEndDepthScene();
    });
    EXPECT_TRUE(Close(pic.At(0.0f, 0.0f), 0xFF0000)) << std::hex << pic.At(0.0f, 0.0f);
    EXPECT_TRUE(Close(pic.At(0.35f, 0.0f), 0x008000)) << std::hex << pic.At(0.35f, 0.0f);
    EXPECT_EQ((DWORD)D3DZB_FALSE, State(D3DRS_ZENABLE));
    EXPECT_EQ((DWORD)FALSE, State(D3DRS_ZWRITEENABLE));
    EXPECT_EQ((DWORD)TRUE, State(D3DRS_ALPHATESTENABLE));
    EXPECT_EQ((DWORD)D3DSHADE_FLAT, State(D3DRS_SHADEMODE));
    DWORD op = 0;
    GetD3DDevice()->GetTextureStageState(0, D3DTSS_COLOROP, &op);
    EXPECT_EQ((DWORD)D3DTOP_SELECTARG1, op);
    IDirect3DVertexDeclaration9* declaration = nullptr;
    GetD3DDevice()->GetVertexDeclaration(&declaration);
    EXPECT_EQ(g_renderer.device->declaration, declaration) << "meshes draw with the renderer's declaration again";
    if (declaration) declaration->Release();
}

TEST(SkinD3d9, EachFrameStartsWithAClearDepthBuffer) {
    SquareSkin nearRed(-0.5f, -0.5f, 0.5f, 0.5f, 80.0f, 1.0f, 0.0f, 0.0f);
    SquareSkin farBlue(-0.5f, -0.5f, 0.5f, 0.5f, 20.0f, 0.0f, 0.0f, 1.0f);
    Render([&] {
        DeviceBeginDepthScene();
        DeviceDrawSkin(&nearRed.skin, nullptr);
        DeviceEndDepthScene();
    });
    ++g_renderer.frameCounter;
    Picture pic = Render(
        [&] {
            DeviceBeginDepthScene();
            DeviceDrawSkin(&farBlue.skin, nullptr);
            DeviceEndDepthScene();
        },
        false);
    EXPECT_TRUE(Close(pic.At(0.0f, 0.0f), 0x0000FF)) << std::hex << pic.At(0.0f, 0.0f);
}

} // namespace
