// Skinned characters through the Direct3D 9 device: depth within a
// character scene, vertex colours over the texture, and the state handed
// back to the flat GUI (the same expectations as the OpenGL device's test).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "d3d_test_util.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_d3d9.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

namespace {

const unsigned kWidth = 128, kHeight = 96;
::testing::Environment* const g_device =
    ::testing::AddGlobalTestEnvironment(new DeviceTestWindow("QvSkinD3dTest", kWidth, kHeight));

using Picture = D3DPicture;
Picture Render(const std::function<void()>& draw, bool clearDepth = true) { return RenderD3D(draw, clearDepth); }
bool Close(unsigned got, unsigned want, int tolerance = 8) { return ColoursClose(got, want, tolerance); }

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

TEST(SkinD3d9, EachAvatarSceneStartsWithAClearDepthBuffer) {
    SquareSkin nearRed(-0.5f, -0.5f, 0.5f, 0.5f, 80.0f, 1.0f, 0.0f, 0.0f);
    SquareSkin farBlue(-0.5f, -0.5f, 0.5f, 0.5f, 20.0f, 0.0f, 0.0f, 1.0f);
    // Two avatars in one frame: the second stands in a depth of its own,
    // not behind what the first one left in the buffer.
    Picture pic = Render([&] {
        DeviceBeginDepthScene();
        DeviceDrawSkin(&nearRed.skin, nullptr);
        DeviceEndDepthScene();
        DeviceBeginDepthScene();
        DeviceDrawSkin(&farBlue.skin, nullptr);
        DeviceEndDepthScene();
    });
    EXPECT_TRUE(Close(pic.At(0.0f, 0.0f), 0x0000FF)) << std::hex << pic.At(0.0f, 0.0f);
    // Nor does the next frame meet this one's depths, even when the frame
    // itself leaves the depth buffer alone.
    pic = Render(
        [&] {
            DeviceBeginDepthScene();
            DeviceDrawSkin(&farBlue.skin, nullptr);
            DeviceEndDepthScene();
        },
        false);
    EXPECT_TRUE(Close(pic.At(0.0f, 0.0f), 0x0000FF)) << std::hex << pic.At(0.0f, 0.0f);
}

int g_drawn = 0;
void CountDraw() { ++g_drawn; }

// Frames handed over one after the other: each waits for the one before
// (asleep) and none is lost; a device reset gives the frame marker back and
// the next frame makes it anew.
TEST(SkinD3d9, FramesFollowOneAnotherThroughAReset) {
    RendererDevice* d = GetD3DState();
    ASSERT_NE(nullptr, d);
    g_drawn = 0;
    g_renderer.SetFramePasses(nullptr, CountDraw);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(g_renderer.RunFrame());
    EXPECT_NE(nullptr, d->frameDone);
    g_renderer.ResetDevice();
    EXPECT_EQ(nullptr, d->frameDone);
    const DWORD start = GetTickCount();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(g_renderer.RunFrame());
    EXPECT_LT(GetTickCount() - start, 2000u) << "no frame waits for ever";
    EXPECT_NE(nullptr, d->frameDone);
    g_renderer.SetFramePasses(nullptr, nullptr);
    EXPECT_EQ(6, g_drawn);
}

} // namespace
