// The OpenGL device: context and fixed state, the view, texture upload,
// mesh drawing, the global alpha, frames and vertical sync, on a real
// context under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "gl_test_util.h"
#include "model.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_gl.h"
#include "texture.h"

namespace {

const Vector3 kView = kTestView;
const unsigned kClientWidth = 256;
const unsigned kClientHeight = 192;
const char kClass[] = "QvRenderGlTest";

HWND MakeWindow() {
    return CreateWindowExA(0, kClass, "test", WS_POPUP | WS_VISIBLE, 0, 0, kClientWidth, kClientHeight, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// One context for the whole program, on a window of its own.
DeviceTestWindow* const g_context = static_cast<DeviceTestWindow*>(::testing::AddGlobalTestEnvironment(
    new DeviceTestWindow(kClass, kClientWidth, kClientHeight, CS_OWNDC, WS_POPUP | WS_VISIBLE)));

// ---- Pictures ----

using Picture = GLPicture;
Picture Render(const std::function<void()>& draw) { return RenderGL(draw, kClientWidth, kClientHeight); }
bool Close(unsigned got, unsigned want, int tolerance = 6) { return ColoursClose(got, want, tolerance); }

// ---- Textures and meshes made by hand ----

// A texture of an image of iw x ih pixels given by colour(x, y) as
// 0xAARRGGBB, padded to powers of two as the decoder does.
struct TestTexture {
    Texture t;
    std::vector<unsigned char> pixels;

    TestTexture(unsigned iw, unsigned ih, bool alpha, const std::function<unsigned(int, int)>& colour) {
        std::memset(static_cast<void*>(&t), 0, sizeof(t));
        unsigned w = 1, h = 1;
        while (w < iw) w <<= 1;
        while (h < ih) h <<= 1;
        t.width = w;
        t.height = h;
        t.imageWidth = iw;
        t.imageHeight = ih;
        t.uScale = (float)iw / w;
        t.vScale = (float)ih / h;
        t.bytesPerPixel = alpha ? 4 : 3;
        t.pixelFormat = alpha ? kTextureFormatARGB : kTextureFormatXRGB;
        pixels.assign((size_t)w * h * t.bytesPerPixel, 0);
        for (unsigned y = 0; y < ih; ++y)
            for (unsigned x = 0; x < iw; ++x) {
                unsigned c = colour((int)x, (int)y);
                unsigned char* p = &pixels[((size_t)y * w + x) * t.bytesPerPixel];
                p[0] = (c >> 16) & 0xFF;
                p[1] = (c >> 8) & 0xFF;
                p[2] = c & 0xFF;
                if (alpha) p[3] = c >> 24;
            }
        PadTexturePixels(pixels.data(), w, h, iw, ih, t.bytesPerPixel);
        t.pixels = pixels.data();
    }
    ~TestTexture() { DeviceReleaseTexture(&t); }
    bool Upload() { return DeviceCreateTexture(&t); }
};

// Two counter-clockwise triangles over (x0, y0)-(x1, y1) at depth z, the
// image's top-left corner at the top left.
void Square(Mesh& mesh, float x0, float y0, float x1, float y1, float z = 1.0f) {
    const float xyz[] = {x0, y0, z, x1, y0, z, x1, y1, z, x0, y0, z, x1, y1, z, x0, y1, z};
    const float uv[] = {0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0};
    ASSERT_TRUE(mesh.SetPositions(xyz, 6));
    ASSERT_TRUE(mesh.SetTexCoords(uv, 6));
}

unsigned White(int, int) { return 0xFFFFFFFFu; }

class RenderGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GLContextCurrent());
        g_renderer.SetGlobalAlpha(1.0f);
    }
    void TearDown() override {
        EXPECT_EQ(1u, g_renderer.StackDepth()) << "pushes and pops balance";
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    }
};

// ---- Context, state and view ----

TEST_F(RenderGl, InitMakesTheContextAndTheFixedState) {
    EXPECT_STREQ("", g_renderer.GetError());
    EXPECT_NE(nullptr, g_renderer.device);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint v = 0;
    glGetIntegerv(GL_BLEND_SRC, &v);
    EXPECT_EQ(GL_SRC_ALPHA, v);
    glGetIntegerv(GL_BLEND_DST, &v);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, v);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &v);
    EXPECT_EQ(GL_NOTEQUAL, v);
    GLfloat ref = -1.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_EQ(0.0f, ref);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_CULL_FACE_MODE, &v);
    EXPECT_EQ(GL_BACK, v);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ((GLint)kClientWidth, viewport[2]);
    EXPECT_EQ((GLint)kClientHeight, viewport[3]);
    glGetIntegerv(GL_MATRIX_MODE, &v);
    EXPECT_EQ(GL_MODELVIEW, v);
    EXPECT_EQ(1u, g_renderer.StackDepth());
}

TEST_F(RenderGl, ProjectionIsTheOrthographicView) {
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_FLOAT_EQ(2.0f / kView.x, p[0]);
    EXPECT_FLOAT_EQ(2.0f / kView.y, p[5]);
    EXPECT_FLOAT_EQ(-2.0f / kView.z, p[10]);
    EXPECT_FLOAT_EQ(0.0f, p[12]);
    EXPECT_FLOAT_EQ(0.0f, p[13]);
    EXPECT_FLOAT_EQ(1.0f, p[14]);
    EXPECT_FLOAT_EQ(1.0f, p[15]);
}

TEST_F(RenderGl, OnlyDepthsFromZeroToTheViewDepthShow) {
    TestTexture tex(4, 4, false, White);
    ASSERT_TRUE(tex.Upload());
    Mesh mesh;
    Square(mesh, -0.5f, -0.5f, 0.5f, 0.5f, 0.0f);
    mesh.defaultTexture = &tex.t;
    for (float z : {0.5f, 50.0f, 99.5f, -0.5f, 100.5f}) {
        g_renderer.PushMatrix();
        g_renderer.Translate(0.0f, 0.0f, z);
        Picture pic = Render([&] { mesh.Draw(nullptr); });
        g_renderer.PopMatrix();
        bool inside = z >= 0.0f && z <= kView.z;
        EXPECT_EQ(inside ? 0xFFFFFFu : 0u, pic.At(0.0f, 0.0f)) << "z " << z;
    }
}

// ---- Textures ----

TEST_F(RenderGl, TexturesUploadInTheirOwnByteOrder) {
    TestTexture rgba(2, 2, true, [](int x, int y) { return y ? (x ? 0x80112233u : 0xFF445566u) : (x ? 0x10778899u : 0xFFAABBCCu); });
    ASSERT_TRUE(rgba.Upload());
    ASSERT_NE(nullptr, rgba.t.deviceTexture);
    GLuint name = (GLuint)(uintptr_t)rgba.t.deviceTexture;
    EXPECT_TRUE(glIsTexture(name));
    glBindTexture(GL_TEXTURE_2D, name);
    unsigned char got[16];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got);
    EXPECT_EQ(0, std::memcmp(got, rgba.pixels.data(), 16));
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v);
    EXPECT_EQ(GL_LINEAR, v);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &v);
    EXPECT_EQ(GL_LINEAR, v);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &v);
    EXPECT_EQ(GL_CLAMP_TO_EDGE, v);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &v);
    EXPECT_EQ(GL_CLAMP_TO_EDGE, v);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &v);
    EXPECT_EQ(2, v);
}

TEST_F(RenderGl, NarrowRgbTexturesKeepTheirRows) {
    // Rows of 3 and 6 bytes: read with a 4-byte row alignment they would
    // come out skewed and run past the pixels.
    for (unsigned w : {1u, 2u}) {
        TestTexture rgb(w, 4, false, [](int x, int y) { return 0xFF000000u | (unsigned)(y * 0x400000 + x * 0x40 + 0x1020); });
        ASSERT_TRUE(rgb.Upload()) << w;
        glBindTexture(GL_TEXTURE_2D, (GLuint)(uintptr_t)rgb.t.deviceTexture);
        std::vector<unsigned char> got(w * 4 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
        for (unsigned y = 0; y < 4; ++y)
            for (unsigned x = 0; x < w; ++x) {
                const unsigned char* p = &got[(y * w + x) * 4];
                const unsigned char* want = &rgb.pixels[(y * w + x) * 3];
                EXPECT_EQ(want[0], p[0]) << w << " " << x << "," << y;
                EXPECT_EQ(want[1], p[1]) << w << " " << x << "," << y;
                EXPECT_EQ(want[2], p[2]) << w << " " << x << "," << y;
                EXPECT_EQ(255, p[3]) << "an image without alpha is opaque";
            }
    }
}

TEST_F(RenderGl, TexturesTheDeviceCannotTakeAreRefused) {
    TestTexture odd(3, 3, true, White);
    odd.t.width = 3;  // not a power of two
    EXPECT_FALSE(odd.Upload());
    EXPECT_EQ(nullptr, odd.t.deviceTexture);

    TestTexture mismatch(4, 4, true, White);
    mismatch.t.bytesPerPixel = 3;  // says RGB, format says RGBA
    EXPECT_FALSE(mismatch.Upload());
    EXPECT_EQ(nullptr, mismatch.t.deviceTexture);

    TestTexture noPixels(4, 4, true, White);
    noPixels.t.pixels = nullptr;
    EXPECT_FALSE(noPixels.Upload());

    TestTexture huge(4, 4, true, White);
    huge.t.width = 1u << 20;  // beyond any driver's largest texture
    EXPECT_FALSE(huge.Upload());
    EXPECT_EQ(nullptr, huge.t.deviceTexture);

    EXPECT_FALSE(DeviceCreateTexture(nullptr));
}

TEST_F(RenderGl, ReleasingATextureDeletesItsName) {
    TestTexture tex(4, 4, true, White);
    ASSERT_TRUE(tex.Upload());
    GLuint name = (GLuint)(uintptr_t)tex.t.deviceTexture;
    DeviceReleaseTexture(&tex.t);
    EXPECT_EQ(nullptr, tex.t.deviceTexture);
    EXPECT_FALSE(glIsTexture(name));
    DeviceReleaseTexture(&tex.t);  // again: nothing
    DeviceReleaseTexture(nullptr);
}

// ---- Vertex arrays ----

TEST_F(RenderGl, VertexArraysCopyTheirData) {
    EXPECT_EQ(nullptr, DeviceCreateVertexBuffer(nullptr, 3));
    float xyz[3] = {1, 2, 3};
    EXPECT_EQ(nullptr, DeviceCreateVertexBuffer(xyz, 0));
    EXPECT_EQ(nullptr, DeviceCreateVertexBuffer(xyz, 0x40000000u));
    void* buffer = DeviceCreateVertexBuffer(xyz, 3);
    ASSERT_NE(nullptr, buffer);
    DeviceReleaseVertexBuffer(buffer);
    DeviceReleaseVertexBuffer(nullptr);
}

// ---- Drawing ----

TEST_F(RenderGl, MeshesDrawTexturedOnTheTopMatrix) {
    // A 48 x 40 image (a 64 x 64 texture) of four quadrants.
    TestTexture tex(48, 40, true, [](int x, int y) {
        return y < 20 ? (x < 24 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 24 ? 0xFF0000FFu : 0xFFFFFFFFu);
    });
    ASSERT_TRUE(tex.Upload());
    Mesh mesh;
    Square(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
    g_renderer.PushMatrix();
    g_renderer.Translate(0.5f, 0.25f, 0.0f);  // covers x 0..1, y -0.25..0.75
    Picture pic = Render([&] { mesh.Draw(&tex.t); });
    g_renderer.PopMatrix();
    EXPECT_TRUE(Close(pic.At(0.2f, 0.6f), 0xFF0000)) << std::hex << pic.At(0.2f, 0.6f);
    EXPECT_TRUE(Close(pic.At(0.8f, 0.6f), 0x00FF00)) << std::hex << pic.At(0.8f, 0.6f);
    EXPECT_TRUE(Close(pic.At(0.2f, -0.1f), 0x0000FF)) << std::hex << pic.At(0.2f, -0.1f);
    EXPECT_TRUE(Close(pic.At(0.8f, -0.1f), 0xFFFFFF)) << std::hex << pic.At(0.8f, -0.1f);
    EXPECT_EQ(0u, pic.At(-0.2f, 0.2f)) << "nothing outside the square";
    EXPECT_EQ(0u, pic.At(0.5f, 0.85f));

    // The texture matrix is back to the identity, the matrix mode to the
    // modelview, and no colour or normal array stays switched on.
    GLfloat m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(i % 5 == 0 ? 1.0f : 0.0f, m[i]) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));

    // Rotated a quarter turn and scaled: the red quadrant moves to the top right.
    g_renderer.PushMatrix();
    g_renderer.Rotate(-90.0f, 0.0f, 0.0f, 1.0f);
    g_renderer.Scale(2.0f, 2.0f, 1.0f);
    pic = Render([&] { mesh.Draw(&tex.t); });
    g_renderer.PopMatrix();
    EXPECT_TRUE(Close(pic.At(0.5f, 0.5f), 0xFF0000)) << std::hex << pic.At(0.5f, 0.5f);
    EXPECT_TRUE(Close(pic.At(-0.5f, -0.5f), 0xFFFFFF)) << std::hex << pic.At(-0.5f, -0.5f);
}

TEST_F(RenderGl, MeshesWithoutTextureOrBuffersDrawNothing) {
    TestTexture tex(4, 4, true, White);
    ASSERT_TRUE(tex.Upload());
    Mesh mesh;
    Square(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
    EXPECT_EQ(0u, Render([&] { mesh.Draw(nullptr); }).At(0, 0)) << "no texture, no default";
    mesh.defaultTexture = &tex.t;
    EXPECT_EQ(0xFFFFFFu, Render([&] { mesh.Draw(nullptr); }).At(0, 0)) << "the default texture";
    Texture gone = tex.t;
    gone.deviceTexture = nullptr;
    EXPECT_EQ(0u, Render([&] { mesh.Draw(&gone); }).At(0, 0)) << "a texture without its device half";
    mesh.ReleaseBuffers();
    EXPECT_EQ(0u, Render([&] { mesh.Draw(nullptr); }).At(0, 0));
}

TEST_F(RenderGl, BackFacesAreCulled) {
    TestTexture tex(4, 4, true, White);
    ASSERT_TRUE(tex.Upload());
    Mesh mesh;
    const float xyz[] = {-0.5f, -0.5f, 1, -0.5f, 0.5f, 1, 0.5f, 0.5f, 1};  // clockwise on screen
    const float uv[] = {0, 1, 0, 0, 1, 0};
    ASSERT_TRUE(mesh.SetPositions(xyz, 3));
    ASSERT_TRUE(mesh.SetTexCoords(uv, 3));
    EXPECT_EQ(0u, Render([&] { mesh.Draw(&tex.t); }).At(-0.3f, 0.3f));
}

TEST_F(RenderGl, DepthPassesAndCullModesReachTheContext) {
    TestTexture red(4, 4, false, [](int, int) { return 0xFFFF0000u; });
    TestTexture green(4, 4, false, [](int, int) { return 0xFF00FF00u; });
    ASSERT_TRUE(red.Upload() && green.Upload());
    Mesh nearSquare, farSquare;
    Square(nearSquare, -0.5f, -0.5f, 0.5f, 0.5f, 2.0f);
    Square(farSquare, -0.2f, -0.5f, 0.8f, 0.5f, 1.0f);
    auto both = [&] {
        nearSquare.Draw(&red.t);
        farSquare.Draw(&green.t);
    };
    EXPECT_TRUE(Close(Render(both).At(0.1f, 0.0f), 0x00FF00));
    Picture pic = Render([&] {
        g_renderer.BeginDepthPass();
        both();
        g_renderer.EndDepthPass();
    });
    EXPECT_TRUE(Close(pic.At(0.1f, 0.0f), 0xFF0000)) << std::hex << pic.At(0.1f, 0.0f);
    EXPECT_TRUE(Close(pic.At(0.7f, 0.0f), 0x00FF00)) << std::hex << pic.At(0.7f, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    Mesh mirrored;
    const float xyz[] = {-0.5f, -0.5f, 1, -0.5f, 0.5f, 1, 0.5f, 0.5f, 1};  // clockwise on screen
    const float uv[] = {0, 1, 0, 0, 1, 0};
    ASSERT_TRUE(mirrored.SetPositions(xyz, 3));
    ASSERT_TRUE(mirrored.SetTexCoords(uv, 3));
    GLboolean culling = GL_TRUE;
    GLint modes[2] = {0, 0};
    pic = Render([&] {
        g_renderer.SetCullMode(kCullCounterClockwise);
        mirrored.Draw(&red.t);
        g_renderer.ResetDevice();  // the mode outlives a reset
        farSquare.Draw(&green.t);
        culling = glIsEnabled(GL_CULL_FACE);
        glGetIntegerv(GL_POLYGON_MODE, modes);
        g_renderer.SetCullMode(kCullClockwise);
    });
    EXPECT_TRUE(Close(pic.At(-0.3f, 0.3f), 0xFF0000)) << std::hex << pic.At(-0.3f, 0.3f);
    EXPECT_TRUE(Close(pic.At(0.6f, 0.0f), 0x00FF00)) << "a mirrored copy shows both faces";
    EXPECT_FALSE(culling);
    EXPECT_EQ(GL_FILL, modes[0]);
    EXPECT_EQ(GL_FILL, modes[1]);
    EXPECT_EQ(0u, Render([&] { mirrored.Draw(&red.t); }).At(-0.3f, 0.3f)) << "back faces are culled again after";
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(RenderGl, NeverMoreVerticesThanEitherArrayHolds) {
    TestTexture tex(4, 4, true, White);
    ASSERT_TRUE(tex.Upload());
    Mesh mesh;
    Square(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
    // Texture coordinates for the first triangle only, yet the mesh claims six.
    const float uv[] = {0, 1, 1, 1, 1, 0};
    ASSERT_TRUE(mesh.SetTexCoords(uv, 3));
    mesh.vertexCount = 6;
    Picture pic = Render([&] { mesh.Draw(&tex.t); });
    EXPECT_EQ(0xFFFFFFu, pic.At(0.3f, -0.3f)) << "the first triangle";
    EXPECT_EQ(0u, pic.At(-0.3f, 0.3f)) << "the second has no coordinates";
    // A count that is no whole number of triangles draws the whole ones.
    const float all[] = {0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0};
    ASSERT_TRUE(mesh.SetTexCoords(all, 6));
    mesh.vertexCount = 5;
    pic = Render([&] { mesh.Draw(&tex.t); });
    EXPECT_EQ(0xFFFFFFu, pic.At(0.3f, -0.3f));
    EXPECT_EQ(0u, pic.At(-0.3f, 0.3f));
}

TEST_F(RenderGl, QuadMeshesDrawEachFourVerticesAsAFan) {
    TestTexture tex(4, 4, true, White);
    ASSERT_TRUE(tex.Upload());
    // Two quads, as glyphs lie: counter-clockwise from the bottom left.
    const float xyz[] = {-1.0f, -0.5f, 1, -0.2f, -0.5f, 1, -0.2f, 0.5f, 1, -1.0f, 0.5f, 1,
                         0.2f,  -0.5f, 1, 1.0f,  -0.5f, 1, 1.0f,  0.5f, 1, 0.2f,  0.5f, 1};
    const float uv[] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0};
    Mesh mesh;
    ASSERT_TRUE(mesh.SetPositions(xyz, 8));
    ASSERT_TRUE(mesh.SetTexCoords(uv, 8));
    mesh.primitiveMode = kMeshQuads;
    Picture pic = Render([&] { mesh.Draw(&tex.t); });
    for (float x : {-0.9f, -0.3f}) {
        EXPECT_EQ(0xFFFFFFu, pic.At(x, 0.4f)) << x;
        EXPECT_EQ(0xFFFFFFu, pic.At(x, -0.4f)) << x;
    }
    EXPECT_EQ(0xFFFFFFu, pic.At(0.6f, 0.0f));
    EXPECT_EQ(0u, pic.At(0.0f, 0.0f)) << "nothing between the quads";
    // Six vertices: only the first whole quad.
    mesh.vertexCount = 6;
    pic = Render([&] { mesh.Draw(&tex.t); });
    EXPECT_EQ(0xFFFFFFu, pic.At(-0.6f, 0.0f));
    EXPECT_EQ(0u, pic.At(0.6f, 0.0f));
    // A mode the device does not know draws nothing.
    mesh.vertexCount = 8;
    mesh.primitiveMode = 7;
    EXPECT_EQ(0u, Render([&] { mesh.Draw(&tex.t); }).At(-0.6f, 0.0f));
}

TEST_F(RenderGl, GlobalAlphaFadesColourAndOpacity) {
    TestTexture tex(4, 4, false, White);
    ASSERT_TRUE(tex.Upload());
    Mesh mesh;
    Square(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
    GLfloat colour[4];
    g_renderer.SetGlobalAlpha(0.5f);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float c : colour) EXPECT_FLOAT_EQ(0.5f, c);
    // Half the colour at half opacity over black: a quarter of white.
    unsigned got = Render([&] { mesh.Draw(&tex.t); }).At(0, 0);
    EXPECT_TRUE(Close(got, 0x404040, 3)) << std::hex << got;
    // Transparent: the alpha test drops it all.
    g_renderer.SetGlobalAlpha(0.0f);
    EXPECT_EQ(0u, Render([&] { mesh.Draw(&tex.t); }).At(0, 0));
    // Out of range and not a number are held to 0..1.
    g_renderer.SetGlobalAlpha(std::numeric_limits<float>::quiet_NaN());
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(0.0f, colour[3]);
    g_renderer.SetGlobalAlpha(3.0f);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(1.0f, colour[3]);
    EXPECT_EQ(0xFFFFFFu, Render([&] { mesh.Draw(&tex.t); }).At(0, 0));
}

// ---- Frames ----

int g_passes = 0;
int g_updateAt = 0, g_drawAt = 0;
void UpdatePass() { g_updateAt = ++g_passes; }
void DrawPass() { g_drawAt = ++g_passes; }

TEST_F(RenderGl, AFrameUpdatesDrawsAndFollowsTheClientSize) {
    g_passes = g_updateAt = g_drawAt = 0;
    g_renderer.SetFramePasses(UpdatePass, DrawPass);
    unsigned frames = g_renderer.frameCounter;
    // A new client size stretches the view over it at once, before any frame.
    EXPECT_TRUE(g_renderer.HandleMessage(g_context->window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(128, 96)));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ(128, viewport[2]);
    EXPECT_EQ(96, viewport[3]);
    EXPECT_EQ(128u, g_renderer.clientWidth);
    EXPECT_EQ(96u, g_renderer.clientHeight);
    ASSERT_TRUE(g_renderer.RunFrame());
    g_renderer.SetFramePasses(nullptr, nullptr);
    EXPECT_EQ(1, g_updateAt);
    EXPECT_EQ(2, g_drawAt);
    EXPECT_EQ(frames + 1, g_renderer.frameCounter);
    g_renderer.Resize(kClientWidth, kClientHeight);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((GLint)kClientWidth, viewport[2]);

    // Inactive: nothing is drawn and the counter stays.
    g_renderer.active = false;
    g_renderer.SetFramePasses(UpdatePass, DrawPass);
    ASSERT_TRUE(g_renderer.RunFrame());
    g_renderer.SetFramePasses(nullptr, nullptr);
    g_renderer.active = true;
    EXPECT_EQ(2, g_passes);
    EXPECT_EQ(frames + 1, g_renderer.frameCounter);
}

TEST_F(RenderGl, EraseBackgroundNeedsACurrentContext) {
    HWND w = g_context->window;
    EXPECT_TRUE(g_renderer.HandleMessage(w, WM_ERASEBKGND, 0, 0));
    g_renderer.active = false;
    EXPECT_TRUE(g_renderer.HandleMessage(w, WM_ERASEBKGND, 0, 0)) << "shows the last frame again";
    g_renderer.active = true;
    HDC dc = wglGetCurrentDC();
    HGLRC rc = wglGetCurrentContext();
    wglMakeCurrent(nullptr, nullptr);
    EXPECT_FALSE(g_renderer.HandleMessage(w, WM_ERASEBKGND, 0, 0));
    wglMakeCurrent(dc, rc);
}

TEST_F(RenderGl, ResetSetsTheFixedStateAgain) {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    g_renderer.ResetDevice();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(RenderGl, VerticalSyncGoesThroughTheSwapInterval) {
    EXPECT_TRUE(LoadSwapIntervalExtension());
    if (!g_wglSwapIntervalEXT) GTEST_SKIP() << "the driver has no swap-interval extension";
    ASSERT_NE(nullptr, g_wglGetSwapIntervalEXT);
    g_renderer.SetVerticalSync(true);
    EXPECT_EQ(1, g_wglGetSwapIntervalEXT());
    g_renderer.SetVerticalSync(false);
    EXPECT_EQ(0, g_wglGetSwapIntervalEXT());
}

// ---- Start and end ----

TEST_F(RenderGl, NoDeviceContextIsReportedAndShutdownForgetsTheContext) {
    HWND w = g_context->window;
    g_renderer.Shutdown();
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    EXPECT_EQ(nullptr, g_renderer.device);
    EXPECT_FALSE(g_renderer.HandleMessage(w, WM_ERASEBKGND, 0, 0)) << "no context: not handled";
    g_renderer.Shutdown();  // twice: nothing more

    // No window: the screen's device context must not be taken instead.
    EXPECT_FALSE(g_renderer.Init(nullptr, kView, false, false));
    EXPECT_STREQ("Cannot access device context.", g_renderer.GetError());
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    g_renderer.Shutdown();

    HWND dead = MakeWindow();
    ASSERT_NE(nullptr, dead);
    DestroyWindow(dead);
    EXPECT_FALSE(g_renderer.Init(dead, kView, false, false));
    EXPECT_STREQ("Cannot access device context.", g_renderer.GetError());
    g_renderer.Shutdown();

    // The same window again: its pixel format stays, a new context is made.
    ASSERT_TRUE(g_renderer.Init(w, kView, false, false)) << g_renderer.GetError();
    EXPECT_TRUE(GLContextCurrent());
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(RenderGl, WithoutAContextNothingReachesTheDevice) {
    HDC dc = wglGetCurrentDC();
    HGLRC rc = wglGetCurrentContext();
    wglMakeCurrent(nullptr, nullptr);
    TestTexture tex(4, 4, true, White);
    EXPECT_FALSE(tex.Upload());
    Mesh mesh;
    Square(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
    mesh.Draw(&tex.t);  // nothing, and no crash
    g_renderer.SetGlobalAlpha(0.5f);
    wglMakeCurrent(dc, rc);
}

} // namespace
