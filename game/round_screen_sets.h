// The round controller's seam to the parts of the game screen that each
// edition lays out its own way: what a pause holds and lets go, which
// timers a stop reaches, and the sets of controls shown when a puzzle
// starts and when the zoomed wheel gives the screen back.
#pragma once

class RoundController;

class RoundScreenSets {
public:
    virtual ~RoundScreenSets() {}

    // Pausing the round: the paused flag, the pause button, the podium,
    // the round's timers held where they stand, and with sound and clock
    // whatever plays. Resume lets go of all of it.
    virtual void PauseRoundGui(RoundController& rc, bool withSoundAndClock) = 0;
    virtual void ResumeRoundGui(RoundController& rc, bool withSoundAndClock) = 0;
    // Stops the round's timers (time left 0, no "OnEnd").
    virtual void StopAllTimers(RoundController& rc) = 0;
    // The controls shown and hidden when a puzzle starts.
    virtual void ShowPuzzleControls(RoundController& rc) = 0;
    // The podium's token markers once the zoomed wheel has gone.
    virtual void ShowTokensAfterZoom(RoundController& rc) = 0;
};

// The sets the controller uses when the edition set none: the 3D studio's
// (round/board.cpp).
RoundScreenSets& DefaultScreenSets();
