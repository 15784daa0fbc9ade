#include "lite_screen_sets.h"

#include <initializer_list>

#include "lite_spin_control.h"

#include "control_wheel.h"
#include "controls_simple.h"
#include "gui_group.h"
#include "lite_controls.h"
#include "round_controller.h"
#include "sprite_avatar.h"

namespace {

// The Lite's own timers that a pause holds beside the round's: the spin
// check, the zoom wheel's round timer, the idle timer and each seat's
// reaction and animation timers.
void ForLiteTimers(void (*step)(TimerControl*)) {
    LiteControls& lite = g_liteControls;
    step(lite.roundCheckTimer);
    step(lite.roundTimer);
    step(lite.idleTimer);
    for (int i = 0; i < LiteControls::kSeats; ++i) {
        step(lite.reactionTimers[i]);
        step(lite.animationTimers[i]);
    }
}

// The current seat's one podium highlight, or null.
GuiControl* CurrentHighlight(RoundController& rc) {
    int seat = rc.CurrentSeat();
    return seat >= 1 && seat <= RoundController::kSeats ? rc.controls.podiumHighlights[seat - 1][0] : nullptr;
}

void ForAvatars(void (SpriteAvatarControl::*step)()) {
    for (GuiControl* control : g_liteControls.avatars)
        if (SpriteAvatarControl* avatar = dynamic_cast<SpriteAvatarControl*>(control)) (avatar->*step)();
}

} // namespace

LiteScreenSets& LiteRoundScreenSets() {
    static LiteScreenSets sets;
    return sets;
}

void LiteScreenSets::PauseRoundGui(RoundController& rc, bool withSoundAndClock) {
    GameScreenOps& ops = rc.Ops();
    rc.paused = 1;
    DisableControl(rc.controls.pauseButton);
    ops.FreezeAnimation(rc.controls.bonusPrizeDisplay, true);
    HideControl(CurrentHighlight(rc));
    for (GuiControl* wheel : {g_liteControls.zoomWheel, g_liteControls.bonusWheel})
        if (LiteSpinControl* w = dynamic_cast<LiteSpinControl*>(wheel)) w->Pause();
    rc.ForPausableTimers(RoundController::HoldTimer);
    ForLiteTimers(RoundController::HoldTimer);
    if (withSoundAndClock) {
        ops.PauseAllSounds();
        ForAvatars(&SpriteAvatarControl::Pause);
    }
}

void LiteScreenSets::ResumeRoundGui(RoundController& rc, bool withSoundAndClock) {
    GameScreenOps& ops = rc.Ops();
    rc.paused = 0;
    EnableControl(rc.controls.pauseButton);
    ops.FreezeAnimation(rc.controls.bonusPrizeDisplay, false);
    if (rc.IsWheelRound()) ShowControl(CurrentHighlight(rc));
    for (GuiControl* wheel : {g_liteControls.zoomWheel, g_liteControls.bonusWheel})
        if (LiteSpinControl* w = dynamic_cast<LiteSpinControl*>(wheel)) w->Resume();
    rc.ForPausableTimers(RoundController::ReleaseTimer);
    ForLiteTimers(RoundController::ReleaseTimer);
    if (withSoundAndClock) {
        ops.ResumeAllSounds();
        ForAvatars(&SpriteAvatarControl::Resume);
    }
}

void LiteScreenSets::StopAllTimers(RoundController& rc) {
    DefaultScreenSets().StopAllTimers(rc);
    ForLiteTimers(RoundController::StopTimer);
    for (TimerControl* t : g_liteControls.desyncTimers) RoundController::StopTimer(t);
}

void LiteScreenSets::ShowPuzzleControls(RoundController& rc) {
    for (GuiControl* avatar : g_liteControls.avatars) ShowControl(avatar);
    // A new puzzle stops every timer, the close-up's too: it goes here, or it
    // would stand over the new puzzle until the next spin.
    if (GuiControl* zoom = g_liteControls.zoomWheel) zoom->SetFlags(GUI_FLAG_NOT_DRAWN | GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    if (GuiGroup* view = rc.controls.zoomView) view->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
}

void LiteScreenSets::ShowTokensAfterZoom(RoundController& rc) {
    GameControls& c = rc.controls;
    for (int i = 0; i < RoundController::kSeats; ++i) {
        HideControl(c.bankruptOverlays[i]);
        HideControl(c.loseTurnOverlays[i]);
    }
    int seat = rc.CurrentSeat();
    if (seat < 1 || seat > RoundController::kSeats) return;
    GuiControl* markers[3] = {c.freeSpinMarkers[seat - 1], c.tenThousandMarkers[seat - 1], c.mysteryMarkers[seat - 1]};
    for (GuiControl* marker : markers) HideControl(marker);
    const Contestant* who = rc.current;
    if (!who) return;
    if (who->freeSpinToken) ShowControl(markers[0]);
    if (who->tenThousandToken) ShowControl(markers[1]);
    if (who->mysteryToken) ShowControl(markers[2]);
}
