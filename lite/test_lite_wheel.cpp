// The Lite's wheel sprites, read from the game's own Lite archive: the
// frame sequences of the zoom wheel, its overlays and the bonus wheel, and
// the flapper pictures, as the wheel controls bind them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "file_system.h"
#include "model.h"
#include "model_instance.h"
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
#endif

}  // namespace
