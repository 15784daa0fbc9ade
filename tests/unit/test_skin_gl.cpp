// Skinned characters through the OpenGL device: depth within a character
// scene, vertex colours over the texture, and the state handed back to the
// flat GUI, on a real context under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "gl_test_util.h"
#include "render_device.h"
#include "renderer.h"
#include "renderer_gl.h"
#include "sk_resource.h"
#include "skin_device.h"
#include "texture.h"

namespace {

const unsigned kWidth = 128, kHeight = 96;
::testing::Environment* const g_context = ::testing::AddGlobalTestEnvironment(
    new DeviceTestWindow("QvSkinGlTest", kWidth, kHeight, CS_OWNDC, WS_POPUP | WS_VISIBLE));

using Picture = GLPicture;
Picture Render(const std::function<void()>& draw, bool clearDepth = true) {
    return RenderGL(draw, kWidth, kHeight, clearDepth);
}
bool Close(unsigned got, unsigned want, int tolerance = 8) { return ColoursClose(got, want, tolerance); }

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

TEST(SkinGl, EachAvatarSceneStartsWithAClearDepthBuffer) {
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
    // And the frame's own clear reaches the depth buffer after a scene.
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
}

TEST(SkinGl, OnlyTheFacesTheDeviceWouldShowAreHandedToIt) {
    // Two triangles side by side: the left turns counter-clockwise on screen
    // (a front face), the right clockwise (a back face); a third names a
    // vertex the skin does not have.
    Skin skin;
    skin.vertexCount = 6;
    skin.indexCount = 9;
    skin.workPositions = new float[18]{-0.8f, -0.5f, 50, -0.2f, -0.5f, 50, -0.5f, 0.5f, 50,
                                        0.2f,  -0.5f, 50, 0.5f,  0.5f,  50, 0.8f,  -0.5f, 50};
    skin.colours = new float[24];
    for (int i = 0; i < 24; ++i) skin.colours[i] = i % 4 == 0 || i % 4 == 3 ? 1.0f : 0.0f;  // red
    skin.indices = new uint32_t[9]{0, 1, 2, 3, 4, 5, 0, 1, 6};
    auto draw = [&] {
        DeviceBeginDepthScene();
        DeviceDrawSkin(&skin, nullptr);
        DeviceEndDepthScene();
    };
    Picture pic = Render(draw);
    EXPECT_TRUE(Close(pic.At(-0.5f, -0.2f), 0xFF0000)) << std::hex << pic.At(-0.5f, -0.2f);
    EXPECT_EQ(0u, pic.At(0.5f, -0.2f)) << "the back face is culled";
    // A mirrored copy shows both.
    g_renderer.SetCullMode(kCullCounterClockwise);
    pic = Render(draw);
    g_renderer.SetCullMode(kCullClockwise);
    EXPECT_TRUE(Close(pic.At(-0.5f, -0.2f), 0xFF0000)) << std::hex << pic.At(-0.5f, -0.2f);
    EXPECT_TRUE(Close(pic.At(0.5f, -0.2f), 0xFF0000)) << std::hex << pic.At(0.5f, -0.2f);
    // Mirrored by the world matrix, the faces swap.
    g_renderer.PushMatrix();
    g_renderer.Scale(-1.0f, 1.0f, 1.0f);
    pic = Render(draw);
    g_renderer.PopMatrix();
    EXPECT_TRUE(Close(pic.At(-0.5f, -0.2f), 0xFF0000)) << "the right one, now on the left and turned over";
    EXPECT_EQ(0u, pic.At(0.5f, -0.2f));
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
}

} // namespace
