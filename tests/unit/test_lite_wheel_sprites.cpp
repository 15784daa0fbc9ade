// The Lite's wheel sprites, read from the game's own Lite archive: the
// frame sequences of the zoom wheel, its overlays and the bonus wheel, and
// the flapper pictures, as the wheel controls bind them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "file_system.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "renderer_ddraw.h"
#include "resource_manager.h"
#include "texture.h"

namespace {

#ifdef QV_GAME_DIR
class LiteWheelSprites : public ::testing::Test {
protected:
    void SetUp() override {
        std::string game = std::string("Z:") + QV_GAME_DIR;
        for (char& c : game)
            if (c == '/') c = '\\';
        if (GetFileAttributesA((game + "\\Quorvane Lite.xml").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no game folder at " << game;
        GetCurrentDirectoryA(MAX_PATH, previous);
        ASSERT_TRUE(SetCurrentDirectoryA(game.c_str()));
        ASSERT_TRUE(g_resourceManager.Init());
        ASSERT_TRUE(g_fileSystem.Load("Quorvane Lite.xml")) << g_fileSystem.GetError();
    }
    void TearDown() override {
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
        if (previous[0]) SetCurrentDirectoryA(previous);
    }
    char previous[MAX_PATH] = "";
};

unsigned Frames(const ModelInstance& s, const char* clip) {
    ModelClip* c = s.model ? s.model->FindClip(clip) : nullptr;
    return c && c->meshes.count == c->frameCount ? c->frameCount : 0;
}

TEST_F(LiteWheelSprites, TheWheelsAreFrameSequencesOnTheirSheets) {
    // The zoom wheel: a turn in 5-degree frames, opaque (JPEG, 3 bytes a
    // pixel); its overlays turn with it, frame for frame.
    ModelInstance zoom("MDL_ZOOM_WHEEL", "body", "SPR_ZOOM_WHEEL");
    ASSERT_NE(nullptr, zoom.model);
    ASSERT_NE(nullptr, zoom.texture);
    EXPECT_EQ(72u, Frames(zoom, "idle"));
    EXPECT_EQ(kTextureKindColour, zoom.texture->kind);
    EXPECT_LE(zoom.texture->imageWidth, 4096u);
    EXPECT_LE(zoom.texture->imageHeight, 4096u);
    for (const char* face : {"1", "2"}) {
        ModelInstance overlay((std::string("MDL_ZOOM_MYSTERY_") + face).c_str(), "body",
                              (std::string("SPR_ZOOM_MYSTERY_") + face).c_str());
        EXPECT_EQ(Frames(zoom, "idle"), Frames(overlay, "idle")) << face;
        ASSERT_NE(nullptr, overlay.texture);
        EXPECT_EQ(kTextureKindAlpha, overlay.texture->kind);
    }
    // The bonus wheel: 22.5 degrees in 2.5-degree frames, with its hit box
    // (it is pressed to spin).
    ModelInstance bonus("MDL_BONUS_WHEEL", "body", "SPR_BONUS_WHEEL");
    EXPECT_EQ(9u, Frames(bonus, "idle"));
    ASSERT_NE(nullptr, bonus.model);
    ASSERT_NE(nullptr, bonus.model->box);
    EXPECT_GT(bonus.model->box[3] - bonus.model->box[0], bonus.model->box[4] - bonus.model->box[1]);
    // The three flapper pictures: still at rest, swinging while the wheel
    // turns.
    for (const char* seat : {"1", "2", "3"}) {
        SCOPED_TRACE(seat);
        ModelInstance flapper((std::string("MDL_ZOOM_FLAPPER_") + seat).c_str(), "body",
                              (std::string("SPR_ZOOM_FLAPPER_") + seat).c_str());
        ASSERT_NE(nullptr, flapper.texture);
        EXPECT_EQ(1u, Frames(flapper, "idle"));
        EXPECT_EQ(3u, Frames(flapper, "active"));
        EXPECT_EQ(1u, Frames(flapper, "inactive"));
        EXPECT_EQ(1u, Frames(flapper, "hover"));
    }
}

ModelInstance* g_wheel = nullptr;
int g_covered[4];        // left, top, right, bottom (inclusive); left -1 for none
uint32_t g_picture = 0;  // a hash of what was drawn

void DrawTheWheel() {
    RendererDevice* d = GetDDrawState();
    g_covered[0] = -1;
    g_picture = 2166136261u;
    if (!d || !d->surface.pixels) return;
    const SurfaceInfo& s = d->surface;
    for (unsigned y = 0; y < s.height; ++y)
        std::memset(s.pixels + (size_t)y * s.pitch, 0, (size_t)s.width * s.bytesPerPixel);
    g_wheel->Draw();
    for (int y = 0; y < (int)s.height; ++y)
        for (int x = 0; x < (int)s.width; ++x) {
            const unsigned char* p = s.pixels + (size_t)y * s.pitch + (size_t)x * s.bytesPerPixel;
            for (unsigned k = 0; k < s.bytesPerPixel && k < 3; ++k) g_picture = (g_picture ^ p[k]) * 16777619u;
            if (!(p[0] | p[1] | (s.bytesPerPixel == 4 ? p[2] : 0))) continue;
            if (g_covered[0] < 0) {
                g_covered[0] = g_covered[2] = x;
                g_covered[1] = y;
            }
            g_covered[0] = std::min(g_covered[0], x);
            g_covered[2] = std::max(g_covered[2], x);
            g_covered[3] = y;
        }
}

// Every frame of the zoom wheel covers the same rectangle about the hub
// (1:1 on an 800 x 600 screen), and the picture changes from one 5-degree
// frame to the next and comes back with its frame.
TEST_F(LiteWheelSprites, ZoomWheelFramesTurnInPlace) {
    RendererDevice* d = GetDDrawState();
    if (!d || !d->ddraw) GTEST_SKIP() << "DirectDraw is not available here";
    ModelInstance zoom("MDL_ZOOM_WHEEL", "body", "SPR_ZOOM_WHEEL");
    ASSERT_NE(nullptr, zoom.model);
    const unsigned savedW = g_renderer.clientWidth, savedH = g_renderer.clientHeight;
    g_renderer.clientWidth = 800;
    g_renderer.clientHeight = 600;
    g_renderer.SetFramePasses(nullptr, DrawTheWheel);
    g_wheel = &zoom;
    zoom.PlayAnimation("idle", PLAY_STILL, 0.0f);
    zoom.SetPosition(0.0f, -0.4f, 0.0f);  // the hub
    uint32_t pictures[3];
    const unsigned frames[3] = {0, 1, 0};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(frames[i]);
        zoom.frame = frames[i];
        ASSERT_TRUE(g_renderer.RunFrame());
        pictures[i] = g_picture;
        // 0.3333 left to 0.52 right of the hub, 0.1433 to 0.6233 above it.
        EXPECT_EQ(300, g_covered[0]);
        EXPECT_EQ(555, g_covered[2]);
        EXPECT_EQ(233, g_covered[1]);
        EXPECT_EQ(376, g_covered[3]);
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_EQ(pictures[0], pictures[2]);
    g_renderer.SetFramePasses(nullptr, nullptr);
    g_renderer.clientWidth = savedW;
    g_renderer.clientHeight = savedH;
    EXPECT_TRUE(g_renderer.RunFrame());
}
#endif

}  // namespace
