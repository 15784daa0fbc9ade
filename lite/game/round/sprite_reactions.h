// The Lite's avatar reactions: the sprite avatars react through a small
// chain of timers per seat. A reaction routine queues a game animation index
// for a seat and arms the seat's reaction-delay timer; its end plays the
// queued index ("OnPlayNextAnim1".."3") and arms the seat's animation timer,
// whose end brings the avatar back to rest or to its toss-up pose
// ("OnEndAnim1".."3"). The timers are the Lite's own references
// (g_liteControls); a missing one leaves that step out.
//
// Draws: r = rand() % 100, once per seat reached. A routine marked "at rest"
// passes over a contestant whose avatar is still reacting (its index is not
// 9). The others' draw is made again while it gives the index the previous
// other contestant got in the same call, wherever the column offers another.
#pragma once
#include "avatar_reactions.h"

struct Contestant;
class TimerControl;

class SpriteReactions : public AvatarReactions {
public:
    static const int kSeats = 3;

    void AssignAvatars(RoundController& rc) override;
    // Round 1 of a one-contestant match keeps the pose its avatar was
    // given; every other set-up runs ReactRoundStart.
    void RoundStart(RoundController& rc) override;
    void DesyncStart(RoundController& rc) override;
    void Spin(RoundController& rc) override;
    void BadWedge(RoundController& rc) override;
    void WedgeLanded(RoundController& rc) override;
    void BadOutcome(RoundController& rc) override;
    void LetterMissing(RoundController& rc, bool chanceLost) override;
    void LetterFound(RoundController& rc) override;
    void GoodLetter(RoundController& rc) override;
    void LetterResult(RoundController& rc) override;
    void MysteryWin(RoundController& rc) override;
    // The sprites cheer once, with the round.
    void TossupWon(RoundController&) override {}
    void RoundWon(RoundController& rc) override;
    void WrongSolve(RoundController& rc) override;
    void TossupTurn(RoundController& rc) override;
    void SolveAttempt(RoundController& rc) override;
    void Idle(RoundController& rc) override { PlayIdleAnimations(rc); }

    // The greeting of a round: the first toss-up of a three-player match
    // starts out of step; the other rounds of those matches queue a clap
    // for most seats; a one-contestant match's avatar claps or stands at
    // once.
    void ReactRoundStart(RoundController& rc);
    // Now and then a fidget for a contestant at rest (in a toss-up, the
    // pose of a contestant waiting to buzz), never after the spin was asked
    // for.
    void PlayIdleAnimations(RoundController& rc);
    // The contestant's avatar and starting pose on a seat (1..3).
    void AssignAvatar(RoundController& rc, Contestant* contestant, int seat);

    // The queued animation index of seat index 0..2 (9 when out of range).
    int Queued(int seatIndex) const;
    void SetQueued(int seatIndex, int index);
    // Queues index for a seat and arms its reaction-delay timer with a
    // random delay of 0.1 to 1.0 s.
    void Queue(int seatIndex, int index);

private:
    int queued[kSeats] = {kQueuedAtRest, kQueuedAtRest, kQueuedAtRest};
    static const int kQueuedAtRest = 9;
};

// The Lite's one set of reactions: the round controller's, once the Lite
// has set it, and the avatar callbacks'.
SpriteReactions& LiteReactions();

// The Lite's timers: armed with a number of seconds (which becomes its
// "value"), re-armed with its "value", or stopped; each also set not drawn.
void ArmLiteTimer(TimerControl* timer, float seconds);
void RearmLiteTimer(TimerControl* timer);
void StopLiteTimer(TimerControl* timer);
