// Skinned characters through the OpenGL device: depth within a character
// scene, vertex colours over the texture, and the state handed back to the
// flat GUI, on a real context under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "render_device.h"
#include "renderer.h"
#include "renderer_gl.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

namespace {

const Vector3 kView = {2.6666665f, 2.0f, 100.0f};
const unsigned kWidth = 128, kHeight = 96;
const char kClass[] = "QvSkinGlTest";

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SIZE) return 0;
    return g_renderer.HandleMessage(w, m, wp, lp) ? 0 : DefWindowProcA(w, m, wp, lp);
}

class ContextEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, kClass, "test", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
        g_renderer.clientWidth = kWidth;
        g_renderer.clientHeight = kHeight;
        ASSERT_TRUE(g_renderer.Init(window, kView, false, false)) << g_renderer.GetError();
    }
    void TearDown() override {
        g_renderer.Shutdown();
        if (window) DestroyWindow(window);
    }
    HWND window = nullptr;
};
::testing::Environment* const g_context = ::testing::AddGlobalTestEnvironment(new ContextEnvironment);

// The colour (0xRRGGBB) at a point in view units of what draw() made.
struct Picture {
    std::vector<unsigned char> rgba;
    unsigned At(float x, float y) const {
        int px = (int)((x / kView.x + 0.5f) * kWidth), py = (int)((0.5f - y / kView.y) * kHeight);
        const unsigned char* p = &rgba[((size_t)(kHeight - 1 - py) * kWidth + px) * 4];
        return ((unsigned)p[0] << 16) | ((unsigned)p[1] << 8) | p[2];
    }
};

Picture Render(const std::function<void()>& draw, bool clearDepth = true) {
    glViewport(0, 0, kWidth, kHeight);
    glClear(GL_COLOR_BUFFER_BIT | (clearDepth ? GL_DEPTH_BUFFER_BIT : 0));
    draw();
    glFinish();
    Picture pic;
    pic.rgba.resize((size_t)kWidth * kHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pic.rgba.data());
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
            skin.colours[i * 4] = r;
            skin.colours[i * 4 + 1] = g;
            skin.colours[i * 4 + 2] = b;
            skin.colours[i * 4 + 3] = 1.0f;
        }
        skin.indices = new uint32_t[6]{0, 1, 2, 0, 2, 3};
    }
};

// A white 2 x 2 texture.
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

TEST(SkinGl, NearerWinsInASceneAndTheGuiStateComesBack) {
    ASSERT_TRUE(GLContextCurrent());
    WhiteTexture white;
    ASSERT_TRUE(DeviceCreateTexture(&white.t));
    SquareSkin nearRed(-0.5f, -0.5f, 0.2f, 0.5f, 60.0f, 1.0f, 0.0f, 0.0f);
    SquareSkin farGreen(-0.2f, -0.5f, 0.5f, 0.5f, 40.0f, 0.0f, 0.5f, 0.0f);
    g_renderer.SetGlobalAlpha(0.75f);
    GLfloat before[4];
    glGetFloatv(GL_CURRENT_COLOR, before);
    Picture pic = Render([&] {
        DeviceBeginDepthScene();
        // The nearer square first: the farther one drawn after stays behind it.
        DeviceDrawSkin(&nearRed.skin, &white.t);
        DeviceDrawSkin(&farGreen.skin, nullptr);
        DeviceEndDepthScene();
    });
    EXPECT_TRUE(Close(pic.At(0.0f, 0.0f), 0xFF0000)) << std::hex << pic.At(0.0f, 0.0f);
    // Where only the green one lies: its colour alone, no texture.
    EXPECT_TRUE(Close(pic.At(0.35f, 0.0f), 0x008000)) << std::hex << pic.At(0.35f, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    GLfloat after[4];
    glGetFloatv(GL_CURRENT_COLOR, after);
    EXPECT_FLOAT_EQ(after[3], before[3]) << "the global alpha survives the character";
    g_renderer.SetGlobalAlpha(1.0f);
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
}

TEST(SkinGl, EachFrameStartsWithAClearDepthBuffer) {
    SquareSkin nearRed(-0.5f, -0.5f, 0.5f, 0.5f, 80.0f, 1.0f, 0.0f, 0.0f);
    SquareSkin farBlue(-0.5f, -0.5f, 0.5f, 0.5f, 20.0f, 0.0f, 0.0f, 1.0f);
    Render([&] {
        DeviceBeginDepthScene();
        DeviceDrawSkin(&nearRed.skin, nullptr);
        DeviceEndDepthScene();
    });
    // The next frame: its first scene must not meet the last frame's depths,
    // even when the frame itself left the depth buffer alone.
    ++g_renderer.frameCounter;
    Picture pic = Render(
        [&] {
            DeviceBeginDepthScene();
            DeviceDrawSkin(&farBlue.skin, nullptr);
            DeviceEndDepthScene();
        },
        false);
    EXPECT_TRUE(Close(pic.At(0.0f, 0.0f), 0x0000FF)) << std::hex << pic.At(0.0f, 0.0f);
    // And the frame's own clear reaches the depth buffer after a scene.
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
}

} // namespace
