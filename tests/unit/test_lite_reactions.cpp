// The Lite's sprite avatars and their reactions: the state table behind a
// game animation index, the staggered start, the others' draws, the at-rest
// rule, the bonus round's one avatar, seats with nobody on them, and what a
// pause holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "avatar_sprites.h"
#include "controls_simple.h"
#include "lite_avatar_callbacks.h"
#include "lite_controls.h"
#include "lite_screen_sets.h"
#include "model.h"
#include "model_instance.h"
#include "profiles.h"
#include "round_controller.h"
#include "gui_group.h"
#include "sprite_avatar.h"
#include "sprite_reactions.h"
#include "strings.h"

namespace {

// A set of twelve entries that need no files: each its own model with an
// "idle" clip of ten pictures, so a sprite tells which entry it came from.
class FakeSpriteSet {
public:
    FakeSpriteSet() {
        for (int i = 0; i < kAvatarSpriteCount; ++i) {
            ModelClip* clips = new ModelClip[1];
            SetString(clips[0].name, "idle");
            clips[0].frameCount = 10;
            models[i].clips.items = clips;
            models[i].clips.count = 1;
            ModelInstance* entry = new ModelInstance(nullptr, nullptr, nullptr);
            entry->ownership = OWN_NOTHING;
            entry->model = &models[i];
            set.sprites[i] = entry;
        }
    }
    ~FakeSpriteSet() { FreeAvatarSprites(set); }
    const Model* ModelOf(int gender, int animation) const { return &models[gender * AVATAR_ANIMATION_COUNT + animation]; }

    AvatarSpriteSet set = {};
    Model models[kAvatarSpriteCount];
};

class LiteReactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = g_liteControls;
        RoundController& rc = g_round;
        for (int i = 0; i < 3; ++i) {
            profiles[i].appearance.SetGender(i == 1 ? GENDER_FEMALE : GENDER_MALE);
            rc.SetContestant(i, &profiles[i]);
            avatars[i].set = &sprites.set;
            g_liteControls.avatars[i] = &avatars[i];
            g_liteControls.desyncTimers[i] = &desync[i];
            g_liteControls.reactionTimers[i] = &reaction[i];
            g_liteControls.animationTimers[i] = &animation[i];
        }
        g_liteControls.idleTimer = &idle;
        rc.contestantCount = 3;
        rc.gameMode = MODE_GROUP_PLAY;
        rc.roundType = ROUND_ONE;
        rc.spinRequested = 0;
        rc.current = rc.ContestantAt(0);
        LiteReactions().AssignAvatars(rc);
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) g_round.SetContestant(i, nullptr);
        g_round.current = nullptr;
        g_round.contestantCount = 0;
        g_liteControls = saved;
    }
    // Everybody at rest, no timer running.
    void Rest() {
        for (int i = 0; i < 3; ++i) {
            avatars[i].animationIndex = kAvatarAtRest;
            reaction[i].timeLeft = 0.0f;
            LiteReactions().SetQueued(i, kAvatarAtRest);
        }
    }

    LiteControls saved;
    FakeSpriteSet sprites;
    PlayerProfile profiles[3];
    SpriteAvatarControl avatars[3];
    TimerControl desync[3], reaction[3], animation[3], idle;
};

TEST_F(LiteReactionTest, AnIndexShowsTheSpriteOfItsState) {
    EXPECT_EQ(AvatarStateForAnimation(3), AVATAR_STATE_CLAP_END);
    EXPECT_EQ(AvatarStateForAnimation(2), AVATAR_STATE_CLAP_LOOP);
    for (int cheer : {0, 13, 14, 18, 19, 24, 31, 32, 33, 36}) EXPECT_EQ(AvatarStateForAnimation(cheer), AVATAR_STATE_CLAP);
    for (int still : {1, 4, 5, 9, 37, 44, 45, -1}) EXPECT_EQ(AvatarStateForAnimation(still), AVATAR_STATE_STILL);

    Contestant* woman = g_round.ContestantAt(1);
    PlayAvatarAnimation(3, woman);
    SpriteAvatarControl& a = avatars[1];
    EXPECT_EQ(a.animationIndex, 3);
    ASSERT_NE(a.sprite, nullptr);
    EXPECT_EQ(a.sprite->model, sprites.ModelOf(GENDER_FEMALE, AVATAR_CLAP_END));
    EXPECT_EQ(a.sprite->playMode, PLAY_ONCE);
    EXPECT_FALSE(a.sprite->finished);

    // 37 and 44: the clap's first picture, held.
    for (int still : {37, 44}) {
        PlayAvatarAnimation(still, woman);
        ASSERT_NE(a.sprite, nullptr);
        EXPECT_EQ(a.state, AVATAR_STATE_STILL);
        EXPECT_EQ(a.sprite->model, sprites.ModelOf(GENDER_FEMALE, AVATAR_CLAP));
        EXPECT_EQ(a.sprite->frame, 0u);
        EXPECT_TRUE(a.sprite->finished);
    }

    // A pause holds the clap; the resume plays it on once.
    PlayAvatarAnimation(36, woman);
    a.Pause();
    EXPECT_EQ(a.sprite->playMode, PLAY_STILL);
    a.Resume();
    EXPECT_EQ(a.sprite->playMode, PLAY_ONCE);
    EXPECT_EQ(a.sprite->endFrame, 9u);
    // Closing keeps the picture; the resume after it leaves the mode alone.
    ModelInstance* kept = a.sprite;
    a.Pause();
    GuiGroup screen;
    GuiGroup* home = a.owner;
    a.owner = &screen;
    screen.MarkClosing(true);
    a.SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(a.sprite, kept);
    EXPECT_EQ(a.state, GUI_STATE_CLOSED);
    a.Resume();
    EXPECT_EQ(a.sprite->playMode, PLAY_STILL);
    // Closed by its screen, no reaction opens it again until the screen does.
    PlayAvatarAnimation(0, woman);
    EXPECT_EQ(a.state, GUI_STATE_CLOSED);
    EXPECT_EQ(a.sprite, kept);
    screen.MarkClosing(false);
    a.owner = home;
    a.SetState(GUI_STATE_OPENING);

    // A state outside the table draws nothing; unbound, nothing changes;
    // an entry the set lacks gives no sprite and no fault.
    a.SetState(3);
    EXPECT_EQ(a.sprite, nullptr);
    a.SetContestant(nullptr);
    a.SetState(AVATAR_STATE_IDLE);
    EXPECT_EQ(a.sprite, nullptr);
    a.Pause();
    a.Resume();
    a.SetContestant(&profiles[1]);
    delete sprites.set.sprites[GENDER_FEMALE * AVATAR_ANIMATION_COUNT + AVATAR_IDLE];
    sprites.set.sprites[GENDER_FEMALE * AVATAR_ANIMATION_COUNT + AVATAR_IDLE] = nullptr;
    a.SetState(AVATAR_STATE_IDLE);
    EXPECT_EQ(a.sprite, nullptr);
    EXPECT_EQ(a.state, AVATAR_STATE_IDLE);
}

TEST_F(LiteReactionTest, TheDesyncDelaysAreAlwaysThreeDifferentOnes) {
    for (int seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        LiteReactions().DesyncStart(g_round);
        std::multiset<float> delays;
        for (TimerControl& t : desync) delays.insert(t.startTime);
        EXPECT_EQ(delays, (std::multiset<float>{0.2f, 0.6f, 1.0f})) << "seed " << seed;
    }
    // The first toss-up of a three-player match starts with it.
    g_round.roundType = ROUND_TOSSUP_1000;
    for (TimerControl& t : desync) t.startTime = 0.0f;
    LiteReactions().RoundStart(g_round);
    float sum = 0.0f;
    for (TimerControl& t : desync) sum += t.startTime;
    EXPECT_FLOAT_EQ(sum, 1.8f);
}

TEST_F(LiteReactionTest, TwoOthersNeverGetTheSameIndexInARow) {
    SpriteReactions& r = LiteReactions();
    void (SpriteReactions::*drawn[])(RoundController&) = {
        &SpriteReactions::BadWedge, &SpriteReactions::WedgeLanded, &SpriteReactions::LetterFound,
        &SpriteReactions::LetterResult, &SpriteReactions::WrongSolve, &SpriteReactions::BadOutcome,
        &SpriteReactions::SolveAttempt};
    for (auto react : drawn)
        for (int seed = 1; seed <= 100; ++seed) {
            std::srand(seed);
            Rest();
            (r.*react)(g_round);
            EXPECT_NE(r.Queued(1), r.Queued(2)) << "seed " << seed;
            EXPECT_GT(reaction[1].timeLeft, 0.0f);
            EXPECT_GT(reaction[2].timeLeft, 0.0f);
        }
    // A column with one outcome gives it to both, and the call ends.
    Rest();
    r.RoundWon(g_round);
    EXPECT_EQ(r.Queued(1), 36);
    EXPECT_EQ(r.Queued(2), 36);
    r.TossupTurn(g_round);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r.Queued(i), 5);
    // The spinner's gesture waits 0.1 s; the others clap.
    Rest();
    r.Spin(g_round);
    EXPECT_EQ(r.Queued(0), 31);  // no gauge: the softest swing
    EXPECT_FLOAT_EQ(reaction[0].startTime, 0.1f);
    EXPECT_EQ(r.Queued(1), 36);
    EXPECT_EQ(r.Queued(2), 36);
}

TEST_F(LiteReactionTest, AContestantStillReactingIsLeftToItsReaction) {
    SpriteReactions& r = LiteReactions();
    for (int seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        Rest();
        avatars[2].animationIndex = 15;
        r.BadWedge(g_round);
        EXPECT_EQ(r.Queued(2), kAvatarAtRest);
        EXPECT_EQ(reaction[2].timeLeft, 0.0f);
        EXPECT_GT(reaction[1].timeLeft, 0.0f);
        // Not every reaction waits for rest.
        r.BadOutcome(g_round);
        EXPECT_GT(reaction[2].timeLeft, 0.0f);
    }
    // The fidgets: only for one at rest, never once the spin was asked for.
    g_round.gameMode = MODE_QUICK_PLAY;
    int fidgets = 0;
    for (int seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        Rest();
        avatars[2].animationIndex = 15;
        r.PlayIdleAnimations(g_round);
        EXPECT_EQ(reaction[2].timeLeft, 0.0f);
        fidgets += reaction[0].timeLeft > 0.0f;
    }
    EXPECT_GT(fidgets, 0);
    Rest();
    g_round.spinRequested = 1;
    for (int i = 0; i < 100; ++i) r.PlayIdleAnimations(g_round);
    for (TimerControl& t : reaction) EXPECT_EQ(t.timeLeft, 0.0f);

    // The end of a reaction: back to rest, or in a toss-up to the waiting pose.
    using namespace LiteAvatarCallbacks;
    avatars[0].animationIndex = 36;
    OnEndAnim1(nullptr, nullptr);
    EXPECT_EQ(avatars[0].animationIndex, kAvatarAtRest);
    g_round.ContestantAt(0)->mayBuzz = 1;
    avatars[0].animationIndex = 15;
    OnEndAnim1(nullptr, nullptr);
    EXPECT_EQ(avatars[0].animationIndex, 5);
    OnEndAnim1(nullptr, nullptr);
    EXPECT_EQ(avatars[0].animationIndex, 4);
}

TEST_F(LiteReactionTest, EmptySeatsAndTheBonusRoundsOneAvatar) {
    using namespace LiteAvatarCallbacks;
    // One contestant: the other seats are passed by the desync start and
    // by every callback of theirs.
    g_round.SetContestant(1, nullptr);
    g_round.SetContestant(2, nullptr);
    g_round.contestantCount = 1;
    LiteReactions().AssignAvatars(g_round);
    EXPECT_EQ(avatars[1].contestant, nullptr);  // nobody from before stands there
    EXPECT_EQ(avatars[2].contestant, nullptr);
    g_round.ContestantAt(0)->avatar = nullptr;  // and the one there has no avatar
    for (int seed = 1; seed <= 50; ++seed) {
        std::srand(seed);
        Rest();
        for (TimerControl& t : desync) t.timeLeft = 0.0f;
        LiteReactions().DesyncStart(g_round);
        for (TimerControl& t : desync) EXPECT_EQ(t.timeLeft, 0.0f);
    }
    for (auto callback : {OnEndTimerDesyncAnim1, OnEndTimerDesyncAnim2, OnEndTimerDesyncAnim3, OnPlayNextAnim1,
                          OnPlayNextAnim2, OnPlayNextAnim3, OnEndAnim1, OnEndAnim2, OnEndAnim3, OnTimerPlayIdleAnims})
        EXPECT_TRUE(callback(nullptr, nullptr));
    for (TimerControl& t : animation) EXPECT_EQ(t.timeLeft, 0.0f);
    for (SpriteAvatarControl& a : avatars) EXPECT_EQ(a.animationIndex, kAvatarAtRest);

    // The bonus round: the one who plays it on the first avatar, nobody
    // else driving any.
    for (int i = 0; i < 3; ++i) g_round.SetContestant(i, &profiles[i]);
    g_round.contestantCount = 3;
    g_round.roundType = ROUND_ONE;
    LiteReactions().AssignAvatars(g_round);
    g_round.roundType = ROUND_BONUS;
    g_round.current = g_round.ContestantAt(2);
    LiteReactions().AssignAvatars(g_round);
    EXPECT_EQ(g_round.ContestantAt(0)->avatar, nullptr);
    EXPECT_EQ(g_round.ContestantAt(1)->avatar, nullptr);
    EXPECT_EQ(g_round.ContestantAt(2)->avatar, &avatars[0]);
    EXPECT_EQ(avatars[0].contestant, &profiles[2]);
    EXPECT_EQ(avatars[0].animationIndex, 36);
    EXPECT_EQ(avatars[1].contestant, nullptr);
    EXPECT_EQ(avatars[2].contestant, nullptr);
    EXPECT_EQ(avatars[1].sprite, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(LiteReactions().Queued(i), kAvatarAtRest);
}

TEST_F(LiteReactionTest, APauseHoldsTheAvatarsAndTheirTimersAndAStopEndsThem) {
    LiteScreenSets& sets = LiteRoundScreenSets();
    PlayAvatarAnimation(36, g_round.ContestantAt(0));
    ArmLiteTimer(&reaction[0], 0.5f);
    ArmLiteTimer(&animation[2], 0.3f);
    // Without the sounds the avatars play on.
    sets.PauseRoundGui(g_round, false);
    EXPECT_EQ(avatars[0].sprite->playMode, PLAY_ONCE);
    sets.ResumeRoundGui(g_round, false);
    sets.PauseRoundGui(g_round, true);
    EXPECT_EQ(g_round.paused, 1);
    EXPECT_LT(reaction[0].timeLeft, 0.0f);
    EXPECT_LT(animation[2].timeLeft, 0.0f);
    EXPECT_EQ(avatars[0].sprite->playMode, PLAY_STILL);
    EXPECT_EQ(avatars[1].sprite->playMode, PLAY_STILL);
    sets.ResumeRoundGui(g_round, true);
    EXPECT_EQ(g_round.paused, 0);
    EXPECT_FLOAT_EQ(reaction[0].timeLeft, 0.5f);
    EXPECT_FLOAT_EQ(animation[2].timeLeft, 0.3f);
    EXPECT_EQ(avatars[0].sprite->playMode, PLAY_ONCE);
    EXPECT_EQ(avatars[1].sprite->playMode, PLAY_STILL);  // the still pose stays still
    sets.StopAllTimers(g_round);
    EXPECT_EQ(reaction[0].timeLeft, 0.0f);
    EXPECT_EQ(animation[2].timeLeft, 0.0f);
}

} // namespace
