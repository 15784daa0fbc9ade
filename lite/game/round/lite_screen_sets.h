// The Lite's game screen as a pause and the show/hide sets see it: one
// podium highlight a seat, the zoom wheel's flapper pictures, the sprite
// avatars held with the sounds, the avatars' reaction timers held and
// stopped with the round's, and no frame clock to stop.
#pragma once
#include "round_screen_sets.h"

class LiteScreenSets : public RoundScreenSets {
public:
    void PauseRoundGui(RoundController& rc, bool withSoundAndClock) override;
    void ResumeRoundGui(RoundController& rc, bool withSoundAndClock) override;
    void StopAllTimers(RoundController& rc) override;
    // Only the avatars come back with a puzzle.
    void ShowPuzzleControls(RoundController& rc) override;
    // The podium overlays go; the current seat's markers show the tokens
    // its contestant holds.
    void ShowTokensAfterZoom(RoundController& rc) override;
};

// The Lite's one set, for the round controller once the Lite has set it.
LiteScreenSets& LiteRoundScreenSets();
