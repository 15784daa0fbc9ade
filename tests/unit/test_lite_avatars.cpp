// The Lite's avatar sprites, made from the game's own Lite archive: the
// whole set, its release, a set with pieces missing, and the contestant's
// stored gender that picks an entry.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "avatar_sprites.h"
#include "binary_file.h"
#include "file_system.h"
#include "model.h"
#include "model_instance.h"
#include "profiles.h"
#include "record_io.h"
#include "renderer.h"
#include "renderer_ddraw.h"
#include "resource_manager.h"
#include "texture.h"

namespace {

#ifdef QV_GAME_DIR
// Runs inside the game folder with the Lite's manifest (or another one)
// loaded and an empty resource cache, and puts everything back after.
class LiteArchive : public ::testing::Test {
protected:
    void SetUp() override {
        game = std::string("Z:") + QV_GAME_DIR;
        for (char& c : game)
            if (c == '/') c = '\\';
        if (GetFileAttributesA((game + "\\Quorvane Lite.xml").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no game folder at " << game;
        GetCurrentDirectoryA(MAX_PATH, previous);
        ASSERT_TRUE(SetCurrentDirectoryA(game.c_str()));
        ASSERT_TRUE(g_resourceManager.Init());
    }
    void TearDown() override {
        FreeAvatarSprites(set);
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
        if (previous[0]) SetCurrentDirectoryA(previous);
        if (!edited.empty()) DeleteFileA(edited.c_str());
    }
    unsigned Cached() const {
        return g_resourceManager.Count(RESOURCE_TEXTURE) + g_resourceManager.Count(RESOURCE_MODEL);
    }

    std::string game, edited;
    char previous[MAX_PATH] = "";
    AvatarSpriteSet set = {};
};

TEST_F(LiteArchive, TheWholeSetIsMadeQuicklyAndGivesEverythingBack) {
    ASSERT_TRUE(g_fileSystem.Load("Quorvane Lite.xml")) << g_fileSystem.GetError();
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    BuildAvatarSprites(set);
    QueryPerformanceCounter(&t1);
    const double ms = 1000.0 * (double)(t1.QuadPart - t0.QuadPart) / (double)f.QuadPart;
    std::printf("the Lite's avatar sprite set: %.1f ms\n", ms);
    EXPECT_LT(ms, 1000.0);  // about a tenth of that on a quiet machine

    for (int g = 0; g < 2; ++g)
        for (int a = 0; a < AVATAR_ANIMATION_COUNT; ++a) {
            SCOPED_TRACE(AvatarSpriteModelLabel(g, a));
            ModelInstance* s = set.sprites[g * AVATAR_ANIMATION_COUNT + a];
            ASSERT_NE(nullptr, s);
            ModelClip* clip = s->model->FindClip("idle");
            ASSERT_NE(nullptr, clip);
            // One picture a frame, each with its rectangle of the sheet: the
            // idles loop for 3.2, 2.4 and 2 s at 10 frames a second, the clap
            // takes 1.6 s, the loop four claps, the end 0.6 s.
            const unsigned frames[AVATAR_ANIMATION_COUNT] = {32, 24, 20, 16, 12, 6};
            EXPECT_EQ(frames[a], clip->frameCount);
            EXPECT_EQ(clip->frameCount, clip->meshes.count);
            for (unsigned i = 0; i < clip->meshes.count; ++i) EXPECT_EQ(6u, clip->meshes.items[i].vertexCount) << i;
            // A hit box that stands behind a podium: 120 to 180 screen pixels
            // high at 800 x 600 (300 pixels a view unit), narrower than high.
            ASSERT_NE(nullptr, s->model->box);
            const float high = (s->model->box[4] - s->model->box[1]) * 300.0f;
            const float wide = (s->model->box[3] - s->model->box[0]) * 300.0f;
            EXPECT_GE(high, 120.0f);
            EXPECT_LE(high, 180.0f);
            EXPECT_LT(wide, high);
        }
    // Each gender's three clap sequences are drawn from its one clap sheet,
    // its idles each from their own.
    for (int g = 0; g < 2; ++g) {
        ModelInstance* const* s = &set.sprites[g * AVATAR_ANIMATION_COUNT];
        EXPECT_EQ(s[AVATAR_CLAP]->texture, s[AVATAR_CLAP_LOOP]->texture);
        EXPECT_EQ(s[AVATAR_CLAP]->texture, s[AVATAR_CLAP_END]->texture);
        EXPECT_EQ(3u, s[AVATAR_CLAP]->texture->refCount);
        EXPECT_NE(s[AVATAR_IDLE]->texture, s[AVATAR_IDLE_SMALL]->texture);
        EXPECT_NE(s[AVATAR_IDLE]->texture, s[AVATAR_CLAP]->texture);
        EXPECT_NE(s[AVATAR_IDLE]->texture, set.sprites[(1 - g) * AVATAR_ANIMATION_COUNT]->texture);
    }
    EXPECT_EQ(12u + 8u, Cached());

    // Made again over a made set: nothing held twice.
    BuildAvatarSprites(set);
    EXPECT_EQ(12u + 8u, Cached());
    EXPECT_EQ(3u, set.sprites[AVATAR_CLAP]->texture->refCount);

    FreeAvatarSprites(set);
    for (ModelInstance* s : set.sprites) EXPECT_EQ(nullptr, s);
    EXPECT_EQ(0u, Cached()) << "a model or sheet still held";
    FreeAvatarSprites(set);  // twice is harmless
}

ModelInstance* g_drawn = nullptr;
int g_rect[4];  // the drawn picture on the screen: left, top, right, bottom (inclusive); left -1 for none

// Clears the back surface, draws the sprite and finds what it covered.
void DrawOneSprite() {
    RendererDevice* d = GetDDrawState();
    g_rect[0] = -1;
    if (!d || !d->surface.pixels) return;
    const SurfaceInfo& s = d->surface;
    for (unsigned y = 0; y < s.height; ++y)
        std::memset(s.pixels + (size_t)y * s.pitch, 0, (size_t)s.width * s.bytesPerPixel);
    g_drawn->Draw();
    for (int y = 0; y < (int)s.height; ++y)
        for (int x = 0; x < (int)s.width; ++x) {
            const unsigned char* p = s.pixels + (size_t)y * s.pitch + (size_t)x * s.bytesPerPixel;
            if (!(p[0] | p[1] | (s.bytesPerPixel == 4 ? p[2] : 0))) continue;
            if (g_rect[0] < 0) {
                g_rect[0] = g_rect[2] = x;
                g_rect[1] = g_rect[3] = y;
            }
            g_rect[0] = std::min(g_rect[0], x);
            g_rect[2] = std::max(g_rect[2], x);
            g_rect[3] = y;
        }
}

// On an 800 x 600 screen each entry's still picture is drawn 1:1 where its
// hit box says: feet on the box's floor, crown at its top, within its sides.
TEST_F(LiteArchive, StillPicturesDrawOneToOneInsideTheirHitBoxes) {
    RendererDevice* d = GetDDrawState();
    if (!d || !d->ddraw) GTEST_SKIP() << "DirectDraw is not available here";
    ASSERT_TRUE(g_fileSystem.Load("Quorvane Lite.xml")) << g_fileSystem.GetError();
    BuildAvatarSprites(set);
    const unsigned savedW = g_renderer.clientWidth, savedH = g_renderer.clientHeight;
    g_renderer.clientWidth = 800;
    g_renderer.clientHeight = 600;
    g_renderer.SetFramePasses(nullptr, DrawOneSprite);
    for (int i = 0; i < kAvatarSpriteCount; ++i) {
        SCOPED_TRACE(i);
        g_drawn = set.sprites[i];
        ASSERT_NE(nullptr, g_drawn);
        g_drawn->PlayAnimation("idle", PLAY_STILL, 10.0f);
        g_drawn->SetPosition(-0.5f + 0.1f * i, -0.25f, 0.0f);
        ASSERT_TRUE(g_renderer.RunFrame());
        ASSERT_GE(g_rect[0], 0) << "nothing drawn";
        const float* box = g_drawn->worldBox;
        const float left = 400 + box[0] * 300, right = 400 + box[3] * 300;
        const float top = 300 - box[4] * 300, bottom = 300 - box[1] * 300;
        EXPECT_GE(g_rect[0], left - 1);
        EXPECT_LE(g_rect[2] + 1, right + 1);
        EXPECT_NEAR(bottom, g_rect[3] + 1, 2.0f) << "feet on the floor";
        EXPECT_NEAR(top, g_rect[1], 4.0f) << "crown at the top";
        EXPECT_GE(g_rect[3] - g_rect[1] + 1, 120);
        EXPECT_LE(g_rect[3] - g_rect[1] + 1, 180);
    }
    g_renderer.SetFramePasses(nullptr, nullptr);
    g_renderer.clientWidth = savedW;
    g_renderer.clientHeight = savedH;
    EXPECT_TRUE(g_renderer.RunFrame());
}

// A pack or a sheet missing from the manifest leaves its own entries empty;
// every other entry is made, and what the half-made ones took goes back.
TEST_F(LiteArchive, MissingPiecesLeaveOnlyTheirOwnEntriesEmpty) {
    std::ifstream in("Quorvane Lite.xml", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::ostringstream kept;
    std::string line;
    int dropped = 0;
    while (std::getline(in, line)) {
        if (line.find("\"MDL_FEMALE_CLAP_LOOP\"") != std::string::npos ||
            line.find("\"TEX_MALE_IDLE_SMALL\"") != std::string::npos) {
            ++dropped;
            continue;
        }
        kept << line << "\n";
    }
    ASSERT_EQ(2, dropped);
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    edited = std::string(temp) + "qv_lite_avatars_test.xml";
    {
        std::ofstream out(edited, std::ios::binary);
        out << kept.str();
    }
    ASSERT_TRUE(g_fileSystem.Load(edited.c_str())) << g_fileSystem.GetError();
    BuildAvatarSprites(set);
    for (int i = 0; i < kAvatarSpriteCount; ++i) {
        const bool missing = i == AVATAR_IDLE_SMALL || i == AVATAR_ANIMATION_COUNT + AVATAR_CLAP_LOOP;
        EXPECT_EQ(missing, set.sprites[i] == nullptr) << i;
    }
    EXPECT_EQ(2u, set.sprites[AVATAR_ANIMATION_COUNT + AVATAR_CLAP]->texture->refCount);
    FreeAvatarSprites(set);
    EXPECT_EQ(0u, Cached());
}
#endif

// Whatever number a save holds for a contestant's gender, the entry picked
// lies in the set: clamped to male below 0 and to female above 1.
TEST(LiteAvatarSprites, AnyStoredGenderPicksAnEntryOfTheSet) {
    AvatarSpriteSet set = {};
    for (int i = 0; i < kAvatarSpriteCount; ++i)
        set.sprites[i] = reinterpret_cast<ModelInstance*>(static_cast<uintptr_t>(0x1000 + 16 * i));
    for (int a = 0; a < AVATAR_ANIMATION_COUNT; ++a) {
        EXPECT_EQ(set.sprites[a], AvatarSpriteFor(0, a, set));
        EXPECT_EQ(set.sprites[AVATAR_ANIMATION_COUNT + a], AvatarSpriteFor(1, a, set));
        for (int low : {-1, (int)0x80000000}) EXPECT_EQ(set.sprites[a], AvatarSpriteFor(low, a, set));
        for (int high : {2, 7, 0x7FFFFFFF}) EXPECT_EQ(set.sprites[AVATAR_ANIMATION_COUNT + a], AvatarSpriteFor(high, a, set));
    }
    EXPECT_EQ(nullptr, AvatarSpriteFor(1, AVATAR_ANIMATION_COUNT, set));
    EXPECT_EQ(nullptr, AvatarSpriteFor(0, -1, set));
    EXPECT_EQ(nullptr, AvatarSpriteFor(static_cast<const PlayerProfile*>(nullptr), 0, set));

    // A contestant read back from a record that holds gender 7.
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    const std::string path = std::string(temp) + "qv_lite_gender_test.bin";
    {
        BinaryFile out(path.c_str(), BinaryFile::Writing);
        RecordWriter w(out);
        w.Int(7);
        w.UInt(0);
        w.Int(-1);
        for (int i = 0; i < 2 * PART_COUNT; ++i) w.Int(0);
        ASSERT_TRUE(w.Ok());
    }
    PlayerProfile p(KIND_HUMAN);
    {
        BinaryFile in(path.c_str(), BinaryFile::Reading);
        RecordReader r(in);
        ASSERT_TRUE(p.appearance.Read(r));
    }
    DeleteFileA(path.c_str());
    ASSERT_EQ(7, p.appearance.GetGender());
    EXPECT_EQ(set.sprites[AVATAR_ANIMATION_COUNT + AVATAR_CLAP_END], AvatarSpriteFor(&p, AVATAR_CLAP_END, set));
    p.appearance.SetGender(GENDER_MALE);
    EXPECT_EQ(set.sprites[AVATAR_IDLE], AvatarSpriteFor(&p, AVATAR_IDLE, set));
}

} // namespace
