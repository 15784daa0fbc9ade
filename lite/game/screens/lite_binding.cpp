#include "lite_binding.h"

#include "control_binding.h"
#include "controls_simple.h"
#include "lite_controls.h"
#include "lite_gui_bindings.h"

void FillLiteControls(const BoundGui& b, LiteControls& l) {
    using namespace LiteGui;
    l = LiteControls();
    auto control = [&b](int i) { return b.ScreenControl(kScreenRound, i); };
    auto timer = [&b](int i) { return b.ScreenAs<TimerControl>(kScreenRound, i); };
    l.roundCheckTimer = timer(kMatchSpinDelayTimer);
    l.roundTimer = timer(kMatchZoomHoldTimer);
    for (int seat = 0; seat < LiteControls::kSeats; ++seat) {
        l.desyncTimers[seat] = timer(kLiteDesyncTimer1 + seat);
        l.reactionTimers[seat] = timer(kLiteReactionTimer1 + seat);
        l.animationTimers[seat] = timer(kLiteAnimationTimer1 + seat);
        l.avatars[seat] = control(kMatchAvatar1 + seat);
        l.flappers[seat] = b.GroupControl(kGroupZoomPictures, kZoomPicture1 + seat);
    }
    l.idleTimer = timer(kMatchIdleTimer);
    l.spinGauge = control(kMatchPowerMeter);
    l.zoomWheel = control(kMatchZoomWheel);
    l.bonusGauge = control(kMatchBonusPowerMeter);
    l.bonusWheel = control(kMatchBonusWheel);
}

void BindLiteGameControls() {
    // The game's references that the Lite keeps, by the running (the Lite's) table.
    BindGameControls();
    FillLiteControls(g_bound, g_liteControls);
}
