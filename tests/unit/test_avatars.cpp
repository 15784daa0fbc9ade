// The contestants' avatars: the "animation" control, dressing a character
// from an appearance, and the reactions the round queues on the avatars.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board.h"
#include "control_animation.h"
#include "frame_timer.h"
#include "game_data.h"
#include "profiles.h"
#include "renderer.h"
#include "round_controller.h"
#include "sk_character.h"
#include "texture.h"

namespace {

// A small library in the global one: a two-bone skeleton, every avatar
// animation but "sob" (one second, two keys), a body, and a few skins.
class AvatarTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_skLibrary.Clear();
        Skeleton* s = new Skeleton();
        s->SetName("hi_skeleton");
        Vector3 p[2] = {{0, 0, 0}, {0, 1, 0}};
        Quaternion q[2] = {{0, 0, 0, 1}, {0, 0, 0, 1}};
        uint16_t parent[2] = {kSkNoParent, 0};
        s->SetBones(2, p, q, parent);
        g_skLibrary.Add(s);
        for (int i = 0; i < kAvatarAnimationCount; ++i) {
            if (std::string(kAvatarAnimations[i]) == "sob") continue;
            SkAnimation* a = new SkAnimation();
            a->SetName(kAvatarAnimations[i]);
            uint16_t bones[2] = {0, 1};
            a->Create(2, 2, bones);
            a->duration = 1.0f;
            for (int t = 0; t < 2; ++t)
                for (int k = 0; k < 2; ++k) a->Keys(t)[k] = SkKey{{0, (float)t, 0}, {0, 0, 0, 1}};
            g_skLibrary.Add(a);
        }
        SkCharacter* body = new SkCharacter();
        body->SetName("hi_contestant");
        body->SetSkeleton(s);
        g_skLibrary.Add(body);
        for (const char* name : {"hi_m_hair1", "hi_m_body_head", "hi_m_body_hands", "hi_m_body_torso", "hi_m_facehair1",
                                 "hi_f_hair1", "hi_f_hair2", "hi_f_body_head", "hi_f_body_torso", "hi_f_glasses1"}) {
            Skin* k = new Skin();
            k->SetName(name);
            g_skLibrary.Add(k);
        }
        g_renderer.frameTime = g_renderer.defaultFrameTime = 0.1f;
        g_gameData.charactersLoaded = true;  // this library, not the folder's
    }
    void TearDown() override {
        g_skLibrary.Clear();
        for (auto& g : g_gameData.partTextures)
            for (auto& part : g)
                for (Texture*& t : part) t = nullptr;
    }
    // Plays the character's current animation to its end.
    static void RunToEnd(AnimationControl& a) {
        a.character->Update(100.0f);
        a.character->Update(110.0f);
    }
    static const char* Playing(const AnimationControl& a) {
        return a.character->animation ? a.character->animation->GetName() : "";
    }
    static Skin* SkinNamed(const char* name) { return static_cast<Skin*>(g_skLibrary.Find(SK_SKIN, name)); }
};

TEST_F(AvatarTest, TheAvatarsShareOneClockAndOneCameraWhileTheyLast) {
    g_renderer.viewSize = Vector3{2.6666665f, 2.0f, 100.0f};
    {
        AnimationControl first, second;
        first.Load(nullptr);
        FrameTimer* clock = g_currentTimer;
        FreeCamera* free = g_avatarFreeCamera;
        AvatarCamera* camera = g_avatarCamera;
        ASSERT_NE(nullptr, clock);
        ASSERT_NE(nullptr, free);
        ASSERT_NE(nullptr, camera);
        EXPECT_EQ(free, camera->attached);
        // The renderer's orthographic view.
        EXPECT_FLOAT_EQ(2.0f / 2.6666665f, camera->projection.m[0]);
        EXPECT_FLOAT_EQ(1.0f, camera->projection.m[5]);
        EXPECT_FLOAT_EQ(-0.01f, camera->projection.m[10]);
        EXPECT_FLOAT_EQ(1.0f, camera->projection.m[14]);
        second.Load(nullptr);
        EXPECT_EQ(clock, g_currentTimer) << "shared, not made again";
        EXPECT_EQ(camera, g_avatarCamera);

        // Each drawn frame the camera looks from where the free camera stands:
        // the view undoes its placement.
        free->position = Vector3{1.0f, 2.0f, 3.0f};
        free->orientation = Quaternion{0.0f, std::sin(0.5f), 0.0f, std::cos(0.5f)};  // about y
        first.DrawCharacter();
        Matrix4 placed;
        RigidMatrix(free->position, free->orientation, placed);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                float v = 0.0f;
                for (int k = 0; k < 4; ++k) v += placed.m[r * 4 + k] * camera->view.m[k * 4 + c];
                EXPECT_NEAR(r == c ? 1.0f : 0.0f, v, 1e-5f) << r << "," << c;
            }
    }
    EXPECT_EQ(nullptr, g_currentTimer) << "ended with the avatars";
    EXPECT_EQ(nullptr, g_avatarFreeCamera);
    EXPECT_EQ(nullptr, g_avatarCamera);
    AnimationControl again;
    again.Load(nullptr);
    ASSERT_NE(nullptr, g_avatarCamera) << "the next avatar to load makes them anew";
    EXPECT_EQ(g_avatarFreeCamera, g_avatarCamera->attached);
    EXPECT_NE(nullptr, g_currentTimer);
}

TEST_F(AvatarTest, ReactionsWaitTheirDelayPlayOnceAndReturnToTheIdle) {
    PlayerProfile p;
    p.appearance.SetGender(GENDER_MALE);
    AnimationControl a;
    // Nothing is queued or drawn without a contestant.
    QueueAvatarReaction(&a, "clap", 0.0f, true);
    EXPECT_EQ(a.pending, -1);
    ASSERT_TRUE(a.SetContestant(&p));
    EXPECT_TRUE(a.drawn);
    EXPECT_STREQ(Playing(a), "avatar_idle_01");
    ASSERT_TRUE(a.character->skeleton);

    QueueAvatarReaction(&a, "clap", 0.25f, true);
    a.Update();
    a.Update();
    EXPECT_STREQ(Playing(a), "avatar_idle_01");
    a.Update();  // the delay has run out
    EXPECT_STREQ(Playing(a), "clap");
    EXPECT_EQ(a.character->mode, 0);
    EXPECT_FLOAT_EQ(a.character->blendTime, kAvatarBlend);
    // An unforced request does not cut into a reaction; a forced one waits
    // its delay and then does.
    QueueAvatarReaction(&a, "wave", 0.0f, false);
    a.Update();
    EXPECT_STREQ(Playing(a), "clap");
    RunToEnd(a);
    a.Update();
    EXPECT_STREQ(Playing(a), "avatar_idle_02");
    EXPECT_EQ(a.character->mode, 1);
    EXPECT_EQ(a.pending, -1);

    // Played straight away (the round set-up's clap): back to the idle after it.
    PlayAvatarNow(&a, "clap", false);
    EXPECT_STREQ(Playing(a), "clap");
    EXPECT_FLOAT_EQ(a.character->blendTime, kCharacterBlend);
    RunToEnd(a);
    a.Update();
    EXPECT_STREQ(Playing(a), "avatar_idle_02");

    // An animation the character data lacks shows no reaction.
    QueueAvatarReaction(&a, "sob", 0.0f, true);
    a.Update();
    a.Update();
    EXPECT_STREQ(Playing(a), "avatar_idle_02");
    QueueAvatarReaction(&a, "no such move", 0.0f, true);
    EXPECT_EQ(a.pending, -1);

    BindAvatarContestant(&a, nullptr);
    EXPECT_FALSE(a.drawn);
    // Not an avatar: the operations do nothing.
    GuiControl plain;
    QueueAvatarReaction(&plain, "clap", 0.0f, true);
    PlayAvatarNow(&plain, "clap", true);
}

TEST_F(AvatarTest, AppearanceDressesPartsAndTexturesAtOnce) {
    static Texture red, blue;
    g_gameData.partTextures[GENDER_FEMALE][PART_TORSO][3] = &red;
    g_gameData.partTextures[GENDER_MALE][PART_TORSO][3] = &blue;
    AvatarAppearance look;
    look.SetGender(GENDER_FEMALE);
    look.SetCharacter(7);  // out of range: the first body
    look.SetPart(1, PART_HAIR);
    look.SetPart(0, PART_GLASSES);
    look.SetPart(-1, PART_FACE_HAIR);
    look.SetColour(3, PART_TORSO);
    SkCharacter c;
    look.ApplyTo(&c);
    EXPECT_EQ(c.skeleton, g_skLibrary.Find(SK_SKELETON, "hi_skeleton"));
    EXPECT_EQ(c.slots[PART_HAIR].skin, SkinNamed("hi_f_hair2"));
    EXPECT_EQ(c.slots[PART_HEAD].skin, SkinNamed("hi_f_body_head"));
    EXPECT_EQ(c.slots[PART_TORSO].skin, SkinNamed("hi_f_body_torso"));
    EXPECT_EQ(c.slots[PART_GLASSES].skin, SkinNamed("hi_f_glasses1"));
    EXPECT_EQ(c.slots[PART_FACE_HAIR].skin, nullptr);
    EXPECT_EQ(SkinNamed("hi_f_body_torso")->texture, &red);

    // The editor's changes show on the next dressing: another gender, a
    // hair style past the last (none), no glasses.
    look.SetGender(GENDER_MALE);
    look.SetPart(1, PART_HAIR);
    look.SetPart(0, PART_FACE_HAIR);
    look.SetPart(-1, PART_GLASSES);
    look.ApplyTo(&c);
    EXPECT_EQ(c.slots[PART_HAIR].skin, nullptr);  // hi_m_hair2 is not in this library
    EXPECT_EQ(c.slots[PART_FACE_HAIR].skin, SkinNamed("hi_m_facehair1"));
    EXPECT_EQ(c.slots[PART_GLASSES].skin, nullptr);
    EXPECT_EQ(SkinNamed("hi_m_body_torso")->texture, &blue);
    // A colour outside the part's range leaves the texture as it was.
    look.SetColour(10, PART_TORSO);
    look.ApplyTo(&c);
    EXPECT_EQ(SkinNamed("hi_m_body_torso")->texture, &blue);
}

// Watches what the round asks of the avatars.
class ReactionOps : public GameScreenOps {
public:
    struct Request {
        std::string animation;
        float delay;
        bool force;
    };
    void QueueAvatarAnimation(GuiControl* avatar, const char* animation, float delay, bool force) override {
        queued[avatar].push_back({animation, delay, force});
    }
    void PlayAvatarAnimation(GuiControl* avatar, const char* animation, bool loop) override {
        played[avatar].push_back(std::string(animation) + (loop ? " loop" : " once"));
    }
    std::map<GuiControl*, std::vector<Request>> queued;
    std::map<GuiControl*, std::vector<std::string>> played;
};

// The chance that rand() % 10000 falls in [low, high): the generator's
// 0..32767 does not divide evenly, so the low rows come up a little more.
double Share(int low, int high) {
    int n = 0;
    for (int x = 0; x <= 32767; ++x) n += x % 10000 >= low && x % 10000 < high;
    return n / 32768.0;
}

class ReactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = &g_round.Ops();
        g_round.SetOps(&ops);
        for (int i = 0; i < 3; ++i) {
            Contestant& c = g_round.contestants[i];
            c.profile = &profiles[i];
            c.avatar = &avatars[i];
            c.seat = i + 1;
        }
        g_round.current = &g_round.contestants[1];
        g_round.roundType = ROUND_ONE;
        g_round.gameMode = MODE_GROUP_PLAY;
    }
    void TearDown() override {
        g_round.SetOps(saved);
        for (Contestant& c : g_round.contestants) c.profile = nullptr, c.avatar = nullptr;
        g_round.current = nullptr;
    }
    // How often the current contestant got each animation over many runs.
    template <typename F> std::map<std::string, int> Tally(F react, int runs) {
        std::map<std::string, int> seen;
        std::srand(20261208);
        for (int run = 0; run < runs; ++run) {
            ops.queued.clear();
            react();
            const auto& mine = ops.queued[&avatars[1]];
            seen[mine.empty() ? "none" : mine.front().animation]++;
        }
        return seen;
    }

    ReactionOps ops;
    GameScreenOps* saved = nullptr;
    PlayerProfile profiles[3];
    GuiControl avatars[3];
};

TEST_F(ReactionTest, SpinsAndTheThresholdTables) {
    const std::pair<float, const char*> spins[] = {{648.0f, "spin_slow"}, {648.5f, "spin"}, {864.0f, "spin"},
                                                   {864.5f, "spin_fast"}};
    for (const auto& s : spins) {
        ops.queued.clear();
        g_round.spinPower = s.first;
        g_round.Reactions().Spin(g_round);
        ASSERT_EQ(ops.queued[&avatars[1]].size(), 1u);
        EXPECT_EQ(ops.queued[&avatars[1]][0].animation, s.second) << s.first;
        EXPECT_FLOAT_EQ(ops.queued[&avatars[1]][0].delay, 0.1f);
        for (int other : {0, 2}) {
            ASSERT_EQ(ops.queued[&avatars[other]].size(), 1u);
            const ReactionOps::Request& r = ops.queued[&avatars[other]][0];
            EXPECT_EQ(r.animation, "clap");
            EXPECT_TRUE(r.force);
            EXPECT_GE(r.delay, 0.1f - 1e-5f);
            EXPECT_LE(r.delay, 1.0f + 1e-5f);
        }
    }
    // The bonus wheel: only the spinner, at once.
    ops.queued.clear();
    g_round.roundType = ROUND_BONUS;
    g_round.Reactions().Spin(g_round);
    EXPECT_EQ(ops.queued.size(), 1u);
    EXPECT_EQ(ops.queued[&avatars[1]][0].animation, "spin_bonus");
    g_round.roundType = ROUND_ONE;

    // A bankrupt: the current contestant's gesture follows the table's shares.
    const int runs = 4000;
    std::map<std::string, int> bad = Tally([] { g_round.Reactions().BadWedge(g_round); }, runs);
    const double slack = runs * 0.025;
    EXPECT_NEAR(bad["annoyed"], runs * Share(0, 8500), slack);
    EXPECT_NEAR(bad["handslap"], runs * Share(8500, 9000), slack);
    EXPECT_NEAR(bad["headslap"], runs * Share(9000, 9500), slack);
    EXPECT_NEAR(bad["sob"], runs * Share(9500, 10000), slack);
    EXPECT_EQ(bad["none"], 0);
    std::map<std::string, int> wrong = Tally([] { g_round.Reactions().LetterMissing(g_round, false); }, runs);
    EXPECT_NEAR(wrong["annoyed"], runs * Share(0, 6000), slack);
    EXPECT_NEAR(wrong["sob"], runs * Share(7000, 7500), slack);
    EXPECT_NEAR(wrong["none"], runs * Share(9200, 10000), slack);
    std::map<std::string, int> won = Tally([] { g_round.Reactions().RoundWon(g_round); }, runs);
    EXPECT_NEAR(won["brevanto"], runs * Share(0, 4500), slack);
    EXPECT_NEAR(won["wave"], runs * Share(8000, 10000), slack);
}

TEST_F(ReactionTest, StaggeredClapAndFidgets) {
    g_round.roundType = ROUND_TOSSUP_1000;
    for (int seed = 1; seed <= 50; ++seed) {
        std::srand(seed);
        ops.queued.clear();
        ops.played.clear();
        g_round.Reactions().RoundStart(g_round);
        std::set<float> delays;
        for (GuiControl& a : avatars) {
            ASSERT_EQ(ops.played[&a], std::vector<std::string>{"avatar_idle_02 loop"});
            ASSERT_EQ(ops.queued[&a].size(), 1u);
            EXPECT_EQ(ops.queued[&a][0].animation, "clap");
            delays.insert(ops.queued[&a][0].delay);
        }
        EXPECT_EQ(delays.size(), 3u) << "seed " << seed;
    }
    // Quick play, round 1: the one contestant claps at once (and the avatar
    // returns to its idle afterwards, see the control's test).
    g_round.gameMode = MODE_QUICK_PLAY;
    g_round.roundType = ROUND_ONE;
    ops.played.clear();
    g_round.Reactions().RoundStart(g_round);
    EXPECT_EQ(ops.played[&avatars[1]], std::vector<std::string>{"clap once"});

    // Fidgets only at the start of a turn before the wheel is spun, and never forced.
    g_round.state = STATE_START_OF_TURN;
    g_round.spinRequested = 0;
    int fidgets = 0;
    for (int seed = 1; seed <= 300; ++seed) {
        std::srand(seed);
        ops.queued.clear();
        g_round.Reactions().Idle(g_round);
        for (auto& q : ops.queued)
            for (auto& r : q.second) {
                EXPECT_FALSE(r.force);
                ++fidgets;
            }
    }
    EXPECT_GT(fidgets, 0);
    g_round.spinRequested = 1;
    ops.queued.clear();
    for (int i = 0; i < 100; ++i) g_round.Reactions().Idle(g_round);
    EXPECT_TRUE(ops.queued.empty());
    g_round.spinRequested = 0;
}

} // namespace
