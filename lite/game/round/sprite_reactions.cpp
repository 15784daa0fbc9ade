#include "sprite_reactions.h"

#include <cstdlib>

#include "controls_simple.h"
#include "lite_controls.h"
#include "model.h"
#include "model_instance.h"
#include "round_controller.h"
#include "sprite_avatar.h"

namespace {

// A row of a reaction column: the animation index while r is below the
// bound (the last row's bound is 100).
struct Row {
    int bound;
    int index;
};

struct Column {
    const Row* rows;
    int count;

    int Pick(int r) const {
        for (int i = 0; i < count; ++i)
            if (r < rows[i].bound) return rows[i].index;
        return rows[count - 1].index;
    }
    // Whether a draw can give anything but `index`.
    bool Offers(int index) const {
        for (int i = 0; i < count; ++i)
            if (rows[i].index != index) return true;
        return false;
    }
};

template <int N>
Column Of(const Row (&rows)[N]) {
    return Column{rows, N};
}

int Draw100() { return std::rand() % 100; }
float RandomDelay() { return 0.1f * (float)(std::rand() % 10) + 0.1f; }

int SeatCount(const RoundController& rc) {
    int n = rc.contestantCount;
    return n < 0 ? 0 : n > SpriteReactions::kSeats ? SpriteReactions::kSeats : n;
}

// The contestant of seat index i who has an avatar to move, or null.
Contestant* Reachable(RoundController& rc, int i) {
    Contestant* c = rc.ContestantAt(i);
    return SpriteAvatarOf(c) ? c : nullptr;
}

bool AtRest(const Contestant* c) { return AvatarAnimationIndexOf(c) == kAvatarAtRest; }

// Every seat in play: the current contestant draws from `mine`, the others
// from `theirs`, never giving two others the same index in a row where the
// column offers another.
void React(SpriteReactions& reactions, RoundController& rc, Column mine, Column theirs, bool atRestOnly) {
    bool otherGiven = false;
    int lastOther = 0;
    for (int i = 0; i < SeatCount(rc); ++i) {
        Contestant* c = Reachable(rc, i);
        if (!c || (atRestOnly && !AtRest(c))) continue;
        int index;
        if (c == rc.current) {
            index = mine.Pick(Draw100());
        } else {
            index = theirs.Pick(Draw100());
            if (otherGiven && theirs.Offers(lastOther))
                while (index == lastOther) index = theirs.Pick(Draw100());
            otherGiven = true;
            lastOther = index;
        }
        reactions.Queue(i, index);
    }
}

// The columns of the reactions.
const Row kTheirsBad[] = {{25, 15}, {85, 9}, {100, 36}};
const Row kTheirsCheer[] = {{50, 36}, {85, 9}, {100, 15}};
const Row kTheirsStill[] = {{50, 9}, {100, 36}};

// Seat index of the current contestant, or -1.
int CurrentIndex(const RoundController& rc) {
    int seat = rc.CurrentSeat();
    return seat >= 1 && seat <= SpriteReactions::kSeats ? seat - 1 : -1;
}

// The gauge's picture as a fraction of its sequence; 0 without one.
float GaugeFraction(const GuiControl* gauge) {
    const ModelInstance* needle = gauge ? gauge->body : nullptr;
    if (!needle || !needle->clip || needle->clip->frameCount == 0) return 0.0f;
    return (float)needle->frame / (float)needle->clip->frameCount;
}

} // namespace

SpriteReactions& LiteReactions() {
    static SpriteReactions reactions;
    return reactions;
}

// ---- Timers -------------------------------------------------------------------------------

void ArmLiteTimer(TimerControl* timer, float seconds) {
    if (!timer) return;
    timer->startTime = seconds;
    timer->timeLeft = seconds;
    timer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

void RearmLiteTimer(TimerControl* timer) {
    if (timer) ArmLiteTimer(timer, timer->startTime);
}

void StopLiteTimer(TimerControl* timer) {
    if (!timer) return;
    timer->timeLeft = 0.0f;
    timer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

// ---- The queue ----------------------------------------------------------------------------

int SpriteReactions::Queued(int seatIndex) const {
    return seatIndex >= 0 && seatIndex < kSeats ? queued[seatIndex] : kQueuedAtRest;
}

void SpriteReactions::SetQueued(int seatIndex, int index) {
    if (seatIndex >= 0 && seatIndex < kSeats) queued[seatIndex] = index;
}

void SpriteReactions::Queue(int seatIndex, int index) {
    if (seatIndex < 0 || seatIndex >= kSeats) return;
    queued[seatIndex] = index;
    ArmLiteTimer(g_liteControls.reactionTimers[seatIndex], RandomDelay());
}

// ---- Round set-up -----------------------------------------------------------------------------

void SpriteReactions::AssignAvatar(RoundController& rc, Contestant* contestant, int seat) {
    if (!contestant || !contestant->IsPresent() || seat < 1 || seat > kSeats) return;
    GuiControl* control = g_liteControls.avatars[seat - 1];
    contestant->avatar = control;
    if (SpriteAvatarControl* avatar = dynamic_cast<SpriteAvatarControl*>(control))
        avatar->SetContestant(contestant->profile);
    int pose = kAvatarAtRest;
    if (rc.roundType == ROUND_ONE && !rc.IsThreePlayerMode()) pose = 2;  // clapping through the theme
    PlayAvatarAnimation(pose, contestant);
}

void SpriteReactions::AssignAvatars(RoundController& rc) {
    if (rc.roundType == ROUND_BONUS) {
        // One contestant, on the first avatar: nobody else may still
        // drive it, and the other two show nobody.
        for (Contestant& c : rc.contestants) c.avatar = nullptr;
        for (int i = 1; i < kSeats; ++i)
            if (SpriteAvatarControl* other = dynamic_cast<SpriteAvatarControl*>(g_liteControls.avatars[i]))
                other->SetContestant(nullptr);
        if (rc.current) {
            AssignAvatar(rc, rc.current, 1);
            PlayAvatarAnimation(36, rc.current);
        }
    } else {
        for (int i = 0; i < kSeats; ++i) {
            Contestant* c = rc.ContestantAt(i);
            if (c && c->IsPresent()) {
                AssignAvatar(rc, c, i + 1);
            } else if (SpriteAvatarControl* empty = dynamic_cast<SpriteAvatarControl*>(g_liteControls.avatars[i])) {
                // An empty seat shows nobody, not the last match's contestant.
                empty->SetContestant(nullptr);
            }
        }
    }
    for (int& q : queued) q = kQueuedAtRest;
}

void SpriteReactions::RoundStart(RoundController& rc) {
    if (rc.IsThreePlayerMode() || rc.roundType != ROUND_ONE) ReactRoundStart(rc);
}

void SpriteReactions::ReactRoundStart(RoundController& rc) {
    if (rc.IsThreePlayerMode()) {
        if (rc.roundType == ROUND_TOSSUP_1000) {
            DesyncStart(rc);
            return;
        }
        for (int i = 0; i < SeatCount(rc); ++i) {
            if (!Reachable(rc, i)) continue;
            if (Draw100() < 75) {
                Queue(i, 36);
            } else {
                queued[i] = kQueuedAtRest;
                RearmLiteTimer(g_liteControls.reactionTimers[i]);
            }
        }
        return;
    }
    if (!SpriteAvatarOf(rc.current)) return;
    if (rc.roundType == ROUND_ONE)
        PlayAvatarAnimation(36, rc.current);
    else
        PlayAvatarAnimation(Draw100() >= 75 ? kAvatarAtRest : 36, rc.current);
}

void SpriteReactions::DesyncStart(RoundController& rc) {
    static const float kDelays[kSeats] = {0.2f, 0.6f, 1.0f};
    int order[kSeats];
    order[0] = std::rand() % 3;
    do order[1] = std::rand() % 3;
    while (order[1] == order[0]);
    do order[2] = std::rand() % 3;
    while (order[2] == order[0] || order[2] == order[1]);
    for (int i = 0; i < kSeats; ++i)
        if (TimerControl* t = g_liteControls.desyncTimers[i]) t->startTime = kDelays[order[i]];
    // Three seats whatever the count: a seat with nobody to move is passed.
    for (int i = 0; i < kSeats; ++i) {
        bool late = Draw100() < 95;
        Contestant* c = Reachable(rc, i);
        if (!c) continue;
        if (late)
            RearmLiteTimer(g_liteControls.desyncTimers[i]);
        else
            PlayAvatarAnimation(19, c);
    }
}

// ---- The turn ---------------------------------------------------------------------------------

void SpriteReactions::Spin(RoundController& rc) {
    int spinner = CurrentIndex(rc);
    for (int i = 0; i < SeatCount(rc); ++i)
        if (i != spinner && Reachable(rc, i)) Queue(i, 36);
    if (spinner < 0) return;
    StopLiteTimer(g_liteControls.animationTimers[spinner]);
    StopLiteTimer(g_liteControls.reactionTimers[spinner]);
    if (rc.roundType == ROUND_BONUS) {
        PlayAvatarAnimation(0, rc.current);
        return;
    }
    // The harder the swing on the gauge, the bigger the gesture.
    GuiControl* gauge = g_liteControls.spinGauge ? g_liteControls.spinGauge : rc.controls.powerMeter;
    int f = (int)(GaugeFraction(gauge) * 10.0f);
    queued[spinner] = f > 7 ? 32 : f >= 4 ? 33 : 31;
    ArmLiteTimer(g_liteControls.reactionTimers[spinner], 0.1f);
}

void SpriteReactions::BadWedge(RoundController& rc) {
    static const Row mine[] = {{75, 15}, {85, 12}, {100, 14}};
    React(*this, rc, Of(mine), Of(kTheirsBad), true);
}

void SpriteReactions::WedgeLanded(RoundController& rc) {
    static const Row mine[] = {{100, 9}};
    static const Row theirs[] = {{50, 37}, {100, 9}};
    React(*this, rc, Of(mine), Of(theirs), true);
}

void SpriteReactions::BadOutcome(RoundController& rc) {
    static const Row mine[] = {{75, 15}, {100, 12}};
    React(*this, rc, Of(mine), Of(kTheirsBad), false);
}

// The crowd is disappointed, whatever went with the letter.
void SpriteReactions::LetterMissing(RoundController& rc, bool) {
    Draw100() >= 90 ? PlayLargeDisappointment() : PlaySmallDisappointment();
    static const Row mine[] = {{50, 23}, {75, 12}, {100, 9}};
    React(*this, rc, Of(mine), Of(kTheirsStill), true);
}

void SpriteReactions::LetterFound(RoundController& rc) {
    static const Row mine[] = {{50, 36}, {75, 24}, {100, 13}};
    React(*this, rc, Of(mine), Of(kTheirsCheer), true);
}

void SpriteReactions::GoodLetter(RoundController& rc) {
    static const Row mine[] = {{50, 24}, {75, 14}, {100, 9}};
    React(*this, rc, Of(mine), Of(kTheirsCheer), true);
}

void SpriteReactions::LetterResult(RoundController& rc) {
    static const Row mine[] = {{60, 26}, {75, 12}, {100, 9}};
    React(*this, rc, Of(mine), Of(kTheirsStill), true);
}

void SpriteReactions::MysteryWin(RoundController& rc) {
    static const Row mine[] = {{50, 24}, {100, 14}};
    React(*this, rc, Of(mine), Of(kTheirsCheer), true);
}

void SpriteReactions::RoundWon(RoundController& rc) {
    static const Row mine[] = {{25, 36}, {50, 24}, {75, 19}, {100, 14}};
    static const Row theirs[] = {{100, 36}};
    React(*this, rc, Of(mine), Of(theirs), false);
}

void SpriteReactions::WrongSolve(RoundController& rc) {
    static const Row mine[] = {{50, 12}, {75, 15}, {100, 9}};
    React(*this, rc, Of(mine), Of(kTheirsStill), true);
}

void SpriteReactions::TossupTurn(RoundController& rc) {
    static const Row ready[] = {{100, 5}};
    React(*this, rc, Of(ready), Of(ready), false);
}

void SpriteReactions::SolveAttempt(RoundController& rc) {
    static const Row mine[] = {{100, 6}};
    static const Row theirs[] = {{75, 15}, {100, 5}};
    React(*this, rc, Of(mine), Of(theirs), false);
}

// ---- Idle -----------------------------------------------------------------------------------------

void SpriteReactions::PlayIdleAnimations(RoundController& rc) {
    if (rc.spinRequested) return;
    static const int kFidgets[] = {37, 15, 25, 40, 43, 44};
    const int chance = rc.IsThreePlayerMode() ? 10 : 25;
    bool given = false;
    int lastGiven = 0;
    for (int i = 0; i < SeatCount(rc); ++i) {
        Contestant* c = Reachable(rc, i);
        if (!c || Draw100() >= chance) continue;
        if (rc.IsTossupType()) {
            // Only a contestant waiting to buzz shifts its pose.
            if (AvatarAnimationIndexOf(c) != 4 || !c->mayBuzz) continue;
            queued[i] = 7;
        } else {
            if (!AtRest(c)) continue;
            int index;
            do {
                int d = Draw100() / 16;
                index = d < 6 ? kFidgets[d] : -1;
            } while (index < 0 || (given && index == lastGiven));
            given = true;
            lastGiven = index;
            queued[i] = index;
        }
        RearmLiteTimer(g_liteControls.reactionTimers[i]);
    }
}
