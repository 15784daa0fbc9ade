// The round controller's seam to the contestants' avatars: which avatar a
// contestant gets when a round is set up, and how the avatars react to what
// happens in the round. The round controller, the game-screen callbacks and
// the computer contestant name the event; the edition's reactions decide
// who plays what, and when.
//
// Every operation reads what it needs from the controller (round type, game
// mode, contestants, the current one, the spin); none may assume a seat
// holds a contestant or a contestant an avatar.
#pragma once

class RoundController;

class AvatarReactions {
public:
    virtual ~AvatarReactions() {}

    // A round is being set up: each contestant in play gets its seat's
    // avatar (the bonus round: only the one who plays it).
    virtual void AssignAvatars(RoundController& rc) = 0;
    // The round has been set up and is about to start.
    virtual void RoundStart(RoundController& rc) = 0;
    // The first toss-up of a three-player match: the contestants start
    // their greeting out of step with each other.
    virtual void DesyncStart(RoundController& rc) = 0;

    // The current contestant spins (the wheel, or the bonus wheel).
    virtual void Spin(RoundController& rc) = 0;
    // The wheel stopped on bankrupt or lose a turn.
    virtual void BadWedge(RoundController& rc) = 0;
    // The wheel stopped on any other wedge.
    virtual void WedgeLanded(RoundController& rc) = 0;
    // A chance the contestant held went wrong (a mystery that proved a
    // bankrupt, a waiting prize lost).
    virtual void BadOutcome(RoundController& rc) = 0;
    // A called letter is not in the puzzle; chanceLost: a waiting free
    // spin, $10,000 or jackpot went with it.
    virtual void LetterMissing(RoundController& rc, bool chanceLost) = 0;
    // A called letter is in the puzzle and its tiles start to light: the
    // ordinary case, and the case where a free spin or the $10,000 waits
    // for it.
    virtual void LetterFound(RoundController& rc) = 0;
    virtual void GoodLetter(RoundController& rc) = 0;
    // Every tile of a called letter that is in the puzzle has lit.
    virtual void LetterResult(RoundController& rc) = 0;
    // The mystery wedge proved the prize.
    virtual void MysteryWin(RoundController& rc) = 0;
    // A toss-up or the tiebreak was won, before its worth is paid.
    virtual void TossupWon(RoundController& rc) = 0;
    // A round was won (after the crowd and the jingle).
    virtual void RoundWon(RoundController& rc) = 0;
    // A solution proved wrong.
    virtual void WrongSolve(RoundController& rc) = 0;
    // A toss-up or tiebreak turn starts: everybody may buzz.
    virtual void TossupTurn(RoundController& rc) = 0;
    // The current contestant buzzed in (or took the board) to solve a
    // toss-up or the tiebreak.
    virtual void SolveAttempt(RoundController& rc) = 0;
    // The game screen's idle timer ended: the contestants fidget.
    virtual void Idle(RoundController& rc) = 0;
};

// The reactions the controller uses when the edition set none: the 3D
// characters' (round/avatar_reactions.cpp).
AvatarReactions& DefaultReactions();
