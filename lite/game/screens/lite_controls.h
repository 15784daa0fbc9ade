// The Lite's own references into its game screen, beside the game's
// (GameControls): the timers that stagger the sprite avatars' reactions,
// the spin check, and the wheel's flapper pictures. Filled by the Lite's
// binding right after its document loads; a reference the document lacks
// stays null and every user tests it.
#pragma once

class GuiControl;
class TimerControl;

struct LiteControls {
    static const int kSeats = 3;
    TimerControl* roundCheckTimer = nullptr;          // "Spin" arms it; its end is "Round_VerifTimer"
    TimerControl* roundTimer = nullptr;               // re-armed when the zoom wheel stops
    TimerControl* desyncTimers[kSeats] = {};          // seats 1-3
    TimerControl* reactionTimers[kSeats] = {};        // the delay before a queued reaction plays
    TimerControl* animationTimers[kSeats] = {};       // how long a reaction plays
    TimerControl* idleTimer = nullptr;                // repeats: the idle fidgets
    GuiControl* avatars[kSeats] = {};                 // the sprite avatars of seats 1-3
    GuiControl* spinGauge = nullptr;
    GuiControl* zoomWheel = nullptr;
    GuiControl* bonusGauge = nullptr;
    GuiControl* bonusWheel = nullptr;
    GuiControl* flappers[kSeats] = {};                // the zoom wheel's three flapper pictures
};

extern LiteControls g_liteControls;

// The gauge of the round in play, the one a spin reads and a wheel under the
// pointer shows: the bonus gauge in the bonus round, else the spin gauge (the
// game's own binding of it where the Lite has none).
GuiControl* LiteRoundGauge();
