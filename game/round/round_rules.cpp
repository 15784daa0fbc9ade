// The rules of a turn's outcome: letters called and their results, solving,
// winning a round, the podium flash and the crowd for a wedge value.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls_simple.h"
#include "controls_text.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"

// ---- Letters ------------------------------------------------------------------------------

void RoundController::RevealLetter(char letterToReveal) {
    if (current) current->lastLetter = letterToReveal;
    BoardTile* first = nullptr;
    BoardTile* last = nullptr;
    if (IsPuzzleLetter(letterToReveal)) {
        for (BoardTile* tile : controls.tiles) {
            if (!tile || tile->letter != (unsigned char)letterToReveal) continue;
            if (!first) first = tile;
            if (last) last->next = tile;
            tile->next = nullptr;
            tile->back = first;
            last = tile;
        }
    }
    if (!first) {
        OnLetterResult(0);
        return;
    }
    if (roundType != ROUND_BONUS) {
        ShowEventMessage(HostMessage::Letter(HostEvent::LetterRevealed, letterToReveal));
        if (freeSpinWedge == WEDGE_WAITING || tenThousandWedge == WEDGE_WAITING)
            reactions->GoodLetter(*this);
        else
            reactions->LetterFound(*this);
    }
    first->SetState(TILE_HIGHLIGHTING);
}

void RoundController::OnLetterResult(int count) {
    bool found = count != 0;

    if (IsTossupType()) {
        if (IsPuzzleSolved()) {
            // The last letter came up before anybody solved: nobody wins.
            SetControlState(controls.boardFrame, 1);
            EndRoundShown(STATE_ROUND_LOST);
        } else {
            SetAi(AI_TOSSUP_LETTER);
        }
        return;
    }

    if (roundType == ROUND_BONUS) {
        if (IsPuzzleSolved()) {
            SetControlState(controls.boardFrame, 1);
            EndRoundShown(STATE_ROUND_WON);
        } else if (state != STATE_REVEAL_BONUS_LETTER) {
            OpenWindow("BONUS_CHOOSE_LETTERS");
        } else {
            StopTimer(controls.turnTimer);
            if (bonusCount >= 0) {
                SetStateDirect(STATE_REVEAL_BONUS_LETTER);
                char letter = bonusCount < 4 ? bonusQueue[bonusCount] : 0;
                --bonusCount;
                RevealLetter(letter);
            } else {
                SetState(STATE_SOLVE);
            }
        }
        return;
    }

    if (found && (state == STATE_BUY_VOWEL || state == STATE_PICK_CONSONANT)) reactions->LetterResult(*this);

    if (roundType == ROUND_JACKPOT && jackpotState == WEDGE_WAITING) {
        for (GuiControl* ask : controls.jackpotAsk) HideControl(ask);
        if (found) {
            ChangeMoney(CountLetter(chosenLetter) * kJackpotWedgeBonus, '+');
            SetControlState(controls.boardFrame, 1);
            if (IsPuzzleSolved()) {
                HideJackpotDisplays();
                jackpotState = WEDGE_TAKEN;
                EndRoundShown(STATE_ROUND_WON);
            } else if (CountHiddenConsonants() == 0) {
                PlayCue("VOWELS_LEFT");
                OpenWindow("POPUP_ONLY_VOWELS");
            } else if (CurrentIsComputer()) {
                SetAi(AI_JACKPOT_QUESTION);
            } else {
                OpenWindow("JACKPOT_ASK");
            }
            return;
        }
        // Not found: the waiting jackpot is lost below with the turn.
    }

    if (state == STATE_BUY_VOWEL) {
        if (found) {
            SetControlState(controls.boardFrame, 1);
            if (IsPuzzleSolved()) {
                EndRoundShown(STATE_ROUND_WON);
                return;
            }
            if (CountHiddenVowels() == 0) {
                PlayCue("VOWELS_LEFT");
                OpenWindow("POPUP_ONLY_CONSONANTS");
            }
            StopTimer(controls.turnTimer);
            SetStateDirect(STATE_START_OF_TURN);
            StartTimer(controls.turnTimer);
            StartTurnInput();
        } else {
            reactions->LetterMissing(*this, false);
            ShowEventMessage(HostMessage::Letter(HostEvent::WrongLetter, chosenLetter));
            StopTimer(controls.turnTimer);
            SetStateDirect(STATE_LOSE_A_TURN);
            FreeSpinCheck();
        }
        return;
    }

    if (state != STATE_PICK_CONSONANT) {
        // A solve asked for on a board with nothing hidden left.
        if (state == STATE_SOLVE && IsPuzzleSolved()) EndRoundShown(STATE_ROUND_WON);
        return;
    }

    if (found) {
        SetControlState(controls.boardFrame, 1);
        bool mysteryPending = roundType == ROUND_MYSTERY && !mysteryRevealed &&
                              (mysteryOutcome == MYSTERY_PRIZE || mysteryOutcome == MYSTERY_BANKRUPT);
        if (mysteryPending) {
            // The question comes first, even when the letter completed the
            // puzzle; its answer wins the round (the win window opens then).
            if (CountHiddenConsonants() > 0 || IsPuzzleSolved()) {
                if (CurrentIsComputer())
                    SetAi(AI_MYSTERY_QUESTION);
                else
                    OpenWindow("MISTERY_ASK");
            } else {
                PlayCue("VOWELS_LEFT");
                OpenWindow("POPUP_ONLY_VOWELS");
            }
            return;
        }
        if (wedgeValue > 0) ChangeMoney(CountLetter(chosenLetter) * wedgeValue, '+');
        int seatIndex = CurrentSeat() - 1;
        if (tenThousandWedge == WEDGE_WAITING && current) {
            tenThousandWedge = WEDGE_TAKEN;
            current->tenThousandToken = 1;
            if (seatIndex >= 0) {
                ShowControl(controls.tenThousandMarkers[seatIndex]);
                SetControlState(controls.tenThousandMarkers[seatIndex], 1);
            }
        }
        if (freeSpinWedge == WEDGE_WAITING && current) {
            freeSpinWedge = WEDGE_TAKEN;
            current->freeSpinToken = 1;
            if (seatIndex >= 0) {
                ShowControl(controls.freeSpinMarkers[seatIndex]);
                SetControlState(controls.freeSpinMarkers[seatIndex], 1);
            }
        }
        if (IsPuzzleSolved()) {
            EndRoundShown(STATE_ROUND_WON);
            return;
        }
        if (CountHiddenConsonants() == 0) {
            PlayCue("VOWELS_LEFT");
            OpenWindow("POPUP_ONLY_VOWELS");
        }
        StopTimer(controls.turnTimer);
        SetStateDirect(STATE_START_OF_TURN);
        StartTimer(controls.turnTimer);
        StartTurnInput();
        return;
    }

    ShowEventMessage(HostMessage::Letter(HostEvent::WrongLetter, chosenLetter));
    if (mysteryOutcome == MYSTERY_PRIZE || mysteryOutcome == MYSTERY_BANKRUPT)
        if (!mysteryRevealed) mysteryOutcome = MYSTERY_NONE;
    bool chanceLost = false;
    if (freeSpinWedge == WEDGE_WAITING) {
        freeSpinWedge = WEDGE_OPEN;
        chanceLost = true;
    }
    if (tenThousandWedge == WEDGE_WAITING) {
        tenThousandWedge = WEDGE_OPEN;
        chanceLost = true;
    }
    if (jackpotState == WEDGE_WAITING) {
        jackpotState = WEDGE_LOST;
        HideJackpotDisplays();
        chanceLost = true;
    }
    reactions->LetterMissing(*this, chanceLost);
    StopTimer(controls.turnTimer);
    SetStateDirect(STATE_LOSE_A_TURN);
    FreeSpinCheck();
}

// ---- Solving ------------------------------------------------------------------------------

bool RoundController::EndSolutionReveal() {
    for (BoardTile* tile : controls.tiles)
        if (tile && tile->HoldsCharacter() && tile->state == TILE_HIDDEN) return false;
    if (roundType != ROUND_BONUS && bonusSolveTimer != 1) {
        StopTimer(controls.solveTimer);
        StopTimer(controls.thinkingTimer);
    }
    SetAi(AI_TOSSUP_WATCH);
    if (!IsPuzzleSolved()) {
        ShowEventMessage(HostEvent::WrongSolve);
        StartTimer(controls.failedSolveTimer);
        solveLocked = 1;
        return true;
    }
    EndRoundShown(STATE_ROUND_WON);
    return true;
}

void RoundController::OnWrongSolve() {
    int r = std::rand() % 100;
    for (BoardTile* tile : controls.tiles) {
        if (!tile) continue;
        tile->DropLinks();
        // What was typed is taken back with the attempt.
        tile->typedLetter = 0;
        if (!tile->HoldsCharacter()) continue;
        if (tile->state == TILE_CURSOR_SHOWN)
            tile->SetState(TILE_SHOWN);
        else if (tile->state != TILE_SHOWN)
            tile->SetState(TILE_HIDDEN);
    }
    solveCursor = nullptr;
    TextControl::SetText(controls.solveText, "%s", "");

    if (roundType == ROUND_JACKPOT && jackpotState == WEDGE_TAKEN) {
        jackpotState = WEDGE_LOST;
        HideJackpotDisplays();
    }

    if (IsTossupType()) {
        StopTimer(controls.thinkingTimer);
        // The thinking music stands still with the attempt.
        ops->PauseAllSounds();
        r < 20 ? PlaySmallDisappointment() : PlayDisappointedClap();
        reactions->WrongSolve(*this);
        for (GuiControl* entry : controls.solveEntry) HideControl(entry);
        TextControl::SetText(controls.winnerLine, "%s", "");
        // The board is open to every buzz again: no seat is named.
        ShowSeatMarker(0);
        ShowPlayerScore(0);
        bool someoneMayBuzz = false;
        for (Contestant& c : contestants) someoneMayBuzz |= c.IsPresent() && c.mayBuzz;
        SetState(someoneMayBuzz ? STATE_START_OF_TURN : STATE_ROUND_LOST);
    } else if (roundType == ROUND_BONUS) {
        reactions->WrongSolve(*this);
        StopTimer(controls.turnTimer);
        if (bonusSolveTimer != 2) {
            solveLocked = 0;
            SetState(STATE_SOLVE);
        } else {
            bonusSolveTimer = 0;
            SetStateDirect(STATE_ROUND_LOST);
            RevealAllTiles();
            StartTimer(controls.roundEndTimer);
            SetInputPhase(PHASE_ALL_OFF);
        }
    } else {
        StopTimer(controls.thinkingTimer);
        ops->PauseAllSounds();
        r < 20 ? PlaySmallDisappointment() : PlayDisappointedClap();
        reactions->WrongSolve(*this);
        StopTimer(controls.turnTimer);
        SetStateDirect(STATE_LOSE_A_TURN);
        FreeSpinCheck();
    }
    solveLocked = 0;
}

// ---- Winning --------------------------------------------------------------------------------

void RoundController::WinRound() {
    // However the win is reached again (a second state change, a second
    // answer), a round pays once.
    if (roundPaid || !current) return;
    roundPaid = 1;
    SetControlState(controls.boardFrame, 1);
    switch (roundType) {
    case ROUND_TOSSUP_1000:
    case ROUND_TOSSUP_2000:
    case ROUND_TIEBREAK:
        reactions->TossupWon(*this);
        ChangeMoney(wedgeValue, '+');
        break;
    case ROUND_ONE:
    case ROUND_MYSTERY:
        AwardPrizeTokens();
        if (current->roundMoney < kMinimumRoundWin) ChangeMoney(kMinimumRoundWin, '=');
        break;
    case ROUND_JACKPOT:
        if (jackpotState == WEDGE_TAKEN) jackpotWinnerSeat = current->seat;
        AwardPrizeTokens();
        if (current->roundMoney < kMinimumRoundWin) ChangeMoney(kMinimumRoundWin, '=');
        break;
    default: break;
    }
    StopTimer(controls.solveTimer);
    StopTimer(controls.thinkingTimer);
    ops->StopAllSounds();
    if (roundType == ROUND_JACKPOT && jackpotState == WEDGE_TAKEN)
        PlayExcitement();
    else if (current->roundMoney < 4000)
        PlayClap();
    else
        std::rand() % 100 >= 80 ? PlayExcitement() : PlayClap();
    PlayCue("PUZZLE_WIN", CUE_MUSIC);
    reactions->RoundWon(*this);
    if (roundType != ROUND_BONUS) {
        ShowEventMessage(HostEvent::RoundWon);
        current->matchTotal += current->roundMoney;
    } else {
        ShowEventMessage(HostEvent::CloseBar);
    }
    ++current->roundsWon;
    ShowPlayerScore(current->seat);
    OpenWindow("GAME_WIN");
}

// ---- Podium and crowd -------------------------------------------------------------------------

void RoundController::FlashPodium(int code) {
    ResetPodiumOverlays();
    int seat = CurrentSeat();
    if (seat >= 1 && seat <= kSeats) {
        if (code == WEDGE_LOSE_A_TURN) ShowControl(controls.loseTurnOverlays[seat - 1]);
        if (code == WEDGE_BANKRUPT) ShowControl(controls.bankruptOverlays[seat - 1]);
        HideControl(controls.podiumScores[seat - 1]);
    }
    StartTimer(controls.bankruptTimer);
}

void RoundController::PlayCrowdForValue() {
    if (wedgeValue < 2000)
        PlayClap();
    else if (wedgeValue == 2500 || wedgeValue == 3500 || wedgeValue == kTenThousandPrize)
        PlayClapCheer();
}

void RoundController::PlayRoundIntroCue() {
    switch (roundType) {
    case ROUND_TOSSUP_1000:
    case ROUND_TOSSUP_2000:
    case ROUND_TIEBREAK: PlayCue("GAME_TOSSUP_POPUP", CUE_MUSIC); break;
    case ROUND_JACKPOT: PlayCue("GAME_JACKPOTR_INTRO", CUE_MUSIC); break;
    case ROUND_MYSTERY: PlayCue("GAME_MYSTERY_INTRO", CUE_MUSIC); break;
    default: break;
    }
}

