#include "lite_controls.h"

#include "round_controller.h"

LiteControls g_liteControls;

GuiControl* LiteRoundGauge() {
    const GameControls& c = g_round.controls;
    if (g_round.roundType == ROUND_BONUS) return g_liteControls.bonusGauge ? g_liteControls.bonusGauge : c.bonusPowerMeter;
    return g_liteControls.spinGauge ? g_liteControls.spinGauge : c.powerMeter;
}
