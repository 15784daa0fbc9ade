#include "lite_avatar_callbacks.h"

#include "controls_simple.h"
#include "lite_controls.h"
#include "round_controller.h"
#include "sprite_avatar.h"
#include "sprite_reactions.h"

namespace {

// The contestant of seat 1..3 who has an avatar to move, or null.
Contestant* OnSeat(int seat) {
    Contestant* c = g_round.ContestantOnSeat(seat);
    return SpriteAvatarOf(c) ? c : nullptr;
}

bool EndDesync(int seat) {
    if (Contestant* c = OnSeat(seat)) PlayAvatarAnimation(36, c);
    return true;
}

bool PlayNext(int seat) {
    Contestant* c = OnSeat(seat);
    if (!c) return true;
    PlayAvatarAnimation(LiteReactions().Queued(seat - 1), c);
    RearmLiteTimer(g_liteControls.animationTimers[seat - 1]);
    return true;
}

bool EndAnimation(int seat) {
    Contestant* c = OnSeat(seat);
    if (!c) return true;
    int index;
    if (!c->mayBuzz)
        index = kAvatarAtRest;
    else
        index = AvatarAnimationIndexOf(c) == 15 ? 5 : 4;
    PlayAvatarAnimation(index, c);
    return true;
}

} // namespace

namespace LiteAvatarCallbacks {

bool OnEndTimerDesyncAnim1(void*, const char*) { return EndDesync(1); }
bool OnEndTimerDesyncAnim2(void*, const char*) { return EndDesync(2); }
bool OnEndTimerDesyncAnim3(void*, const char*) { return EndDesync(3); }
bool OnPlayNextAnim1(void*, const char*) { return PlayNext(1); }
bool OnPlayNextAnim2(void*, const char*) { return PlayNext(2); }
bool OnPlayNextAnim3(void*, const char*) { return PlayNext(3); }
bool OnEndAnim1(void*, const char*) { return EndAnimation(1); }
bool OnEndAnim2(void*, const char*) { return EndAnimation(2); }
bool OnEndAnim3(void*, const char*) { return EndAnimation(3); }

bool OnTimerPlayIdleAnims(void*, const char*) {
    LiteReactions().PlayIdleAnimations(g_round);
    RearmLiteTimer(g_liteControls.idleTimer);
    return true;
}

bool OnTimerEndWaitForTheme(void*, const char*) {
    RoundController& rc = g_round;
    if (!rc.IsThreePlayerMode()) {
        PlayAvatarAnimation(3, rc.current);
        RearmLiteTimer(g_liteControls.animationTimers[0]);
    }
    rc.StartRound();
    return true;
}

}  // namespace LiteAvatarCallbacks
