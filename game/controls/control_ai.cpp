#include "control_ai.h"

#include <cmath>
#include <cstdlib>

#include "board.h"
#include "control_wheel.h"
#include "controls_simple.h"
#include "profiles.h"
#include "renderer.h"
#include "round_controller.h"

AiCandidates g_aiCandidates;

namespace {

const float kTypingDelay = 0.35f;
const float kDecisionDelay = 1.5f;
const float kConsonantDelay = 1.0f;

// 0 common, 1 middle, 2 rare consonant; -1 a vowel or not a letter.
int ConsonantClass(char c) {
    static const char* const classes[3] = {"LMNRST", "BCDFGHJKPWY", "QVXZ"};
    for (int k = 0; k < 3; ++k)
        for (const char* p = classes[k]; *p; ++p)
            if (*p == c) return k;
    return -1;
}

// Board tiles still hidden.
int HiddenTiles() {
    int h = 0;
    for (BoardTile* t : g_round.controls.tiles)
        if (t && t->state == TILE_HIDDEN) ++h;
    return h;
}

// k x h / n, the hidden share of the puzzle scaled by k; 0 for an empty board.
int HiddenShare(int k) {
    int n = g_round.characterCount;
    return n > 0 ? k * HiddenTiles() / n : 0;
}

int Random100() { return std::rand() % 100; }

bool Roll(const AiParams* ai, int chance) { return ai && ai->Roll(chance); }

// A random entry of the first non-empty list among first..first+2; -1 none.
int PickFromClasses(int first) {
    for (int l = first; l < first + 3; ++l)
        if (g_aiCandidates.count[l] > 0) return g_aiCandidates.letters[l][std::rand() % g_aiCandidates.count[l]];
    return -1;
}

int PickFromList(int list) {
    int n = g_aiCandidates.count[list];
    return n > 0 ? g_aiCandidates.letters[list][std::rand() % n] : -1;
}

}  // namespace

void RebuildAiCandidates() {
    AiCandidates& a = g_aiCandidates;
    for (int& c : a.count) c = 0;
    a.inCount = a.outCount = 0;
    for (int i = 0; i < kLetterCount; ++i) {
        const LetterRecord& r = g_round.letters[i];
        if (r.called) continue;
        int list;
        if (r.isVowel) {
            list = r.occurs ? AI_VOWELS_IN : AI_VOWELS_OUT;
        } else {
            int k = ConsonantClass((char)('A' + i));
            if (k < 0) continue;
            list = (r.occurs ? AI_COMMON_IN : AI_COMMON_OUT) + k;
            ++(r.occurs ? a.inCount : a.outCount);
        }
        a.letters[list][a.count[list]++] = i;
    }
}

int PredictAiWedge(float distance, float signedAngle) {
    int degrees = (int)(distance + 720.0f - signedAngle - 2.4f);
    int wedge = (degrees % 360) / 15;
    if (wedge < 0) wedge += 24;  // a wheel turned further than the distance makes up for
    return wedge;
}

bool IsBadAiWedge(int roundType, int wedge) {
    switch (roundType) {
    case ROUND_ONE: return wedge == 18 || wedge == 22;
    case ROUND_JACKPOT: return wedge == 8 || wedge == 18 || wedge == 22;
    case ROUND_MYSTERY: return wedge == 6 || wedge == 18 || wedge == 22;
    default: return true;
    }
}

AiControl::AiControl() { typingDelay = 0.0f; }

void AiControl::ApplyState(int newState) {
    switch (newState) {
    case AI_IDLE: solveLocked = 0; break;
    case AI_OPENING: SetState(AI_IDLE); return;
    case AI_CLOSING: state = AI_CLOSED; return;
    case AI_CHOOSE_MOVE:
    case AI_FREE_SPIN:
    case AI_JACKPOT:
    case AI_MYSTERY: decisionDelay = kDecisionDelay; break;
    case AI_CALL_CONSONANT: consonantDelay = kConsonantDelay; break;
    case AI_TYPE_SOLUTION:
        solveLocked = 1;
        typingDelay = kTypingDelay;
        break;
    default: break;
    }
    state = newState;
}

void AiControl::Update() {
    RoundController& rc = g_round;
    if (rc.paused || rc.state == STATE_END_OF_MATCH) return;
    // A decision still pending when the round ended is dropped with it.
    if (rc.RoundOver() && state >= AI_BUZZ_CHECK && state != AI_TYPE_SOLUTION) {
        SetState(AI_IDLE);
        return;
    }
    float dt = g_renderer.GetCappedFrameTime();
    rc.matchTime += dt;
    const AiParams* ai = rc.current ? rc.current->Ai() : nullptr;
    switch (state) {
    case AI_BUZZ_CHECK: BuzzCheck(); break;
    case AI_CHOOSE_MOVE:
        if ((decisionDelay -= dt) <= 0.0f) ChooseMove(ai);
        break;
    case AI_SPIN: Spin(ai); break;
    case AI_CALL_CONSONANT:
        if ((consonantDelay -= dt) <= 0.0f) CallConsonant(ai);
        break;
    case AI_BUY_VOWEL: BuyVowel(ai); break;
    case AI_TYPE_SOLUTION:
        if ((typingDelay -= dt) <= 0.0f) TypeLetter();
        break;
    case AI_FREE_SPIN:
        if ((decisionDelay -= dt) <= 0.0f) FreeSpinQuestion();
        break;
    case AI_JACKPOT:
        if ((decisionDelay -= dt) <= 0.0f) JackpotQuestion(ai);
        break;
    case AI_MYSTERY:
        if ((decisionDelay -= dt) <= 0.0f) MysteryQuestion();
        break;
    default: break;
    }
}

void AiControl::StartSolve() {
    // A solve refused (nothing hidden is left: the board's result has been
    // handled) types nothing: the control must not sit in typing with the
    // solve input locked.
    if (!g_round.SetState(STATE_SOLVE)) {
        SetState(AI_IDLE);
        return;
    }
    g_round.SetInputPhase(PHASE_ALL_OFF);
    SetState(AI_TYPE_SOLUTION);
}

void AiControl::BuzzCheck() {
    RoundController& rc = g_round;
    SetState(AI_IDLE);
    rc.current = nullptr;
    Contestant* chosen = nullptr;
    for (Contestant& c : rc.contestants) {
        if (!c.IsComputer() || !c.mayBuzz) continue;
        if (!chosen || Random100() < 50) chosen = &c;
    }
    if (!chosen) {
        rc.current = &rc.contestants[0];
        return;
    }
    rc.current = chosen;
    int h = HiddenTiles();
    if (h != 1) {
        if (!chosen->Ai()->Roll(AI_CHANCE_SOLVE)) return;
        if (Random100() <= HiddenShare(200)) return;
    }
    chosen->mayBuzz = 0;
    if (!rc.SetState(STATE_SOLVE)) return;
    rc.SetInputPhase(PHASE_ALL_OFF);
    // The seat that buzzed is the one playing: its marker and its score line.
    rc.ShowPlayerScore(chosen->seat);
    rc.ShowSeatMarker(chosen->seat);
    SetState(AI_TYPE_SOLUTION);
}

void AiControl::ChooseMove(const AiParams* ai) {
    RoundController& rc = g_round;
    RebuildAiCandidates();
    const AiCandidates& a = g_aiCandidates;
    int money = rc.current ? rc.current->roundMoney : 0;
    if (money >= kVowelPrice && a.count[AI_VOWELS_IN] > 0 && (a.inCount == 0 || Roll(ai, AI_CHANCE_VOWEL))) {
        SetState(AI_BUY_VOWEL);
        return;
    }
    if (a.inCount != 0) {
        if (Roll(ai, AI_CHANCE_SOLVE) && HiddenShare(150) < Random100()) StartSolve();
        else SetState(AI_SPIN);
        return;
    }
    StartSolve();
}

void AiControl::Spin(const AiParams* ai) {
    RoundController& rc = g_round;
    SetState(AI_IDLE);
    NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(rc.controls.wheel);
    // The wedge that comes to rest under this contestant's own pointer: the
    // seats look at the wheel from 0, 30 and 60 degrees. Turned frame by
    // frame, the wheel comes to rest a little past the distance it is given
    // (under a degree), so a draw that ends that close before a bad wedge
    // counts as bad too.
    const int seat = rc.CurrentSeat();
    const float angle = (wheel ? wheel->SignedAngle() : 0.0f) + (seat >= 1 && seat <= 3 ? 30.0f * (seat - 1) : 0.0f);
    const float kRestPast = 1.0f;
    float distance = 0.0f;
    for (int draw = 0; draw < kMaxAiSpinDraws; ++draw) {
        distance = (float)std::fmod((double)std::rand(), 648.0) + 432.0f;
        if (!IsBadAiWedge(rc.roundType, PredictAiWedge(distance, angle)) &&
            !IsBadAiWedge(rc.roundType, PredictAiWedge(distance + kRestPast, angle)))
            break;
        if (!Roll(ai, AI_CHANCE_RESPIN)) break;
    }
    rc.spinPower = distance;
    rc.spinRequested = 1;
    rc.Reactions().Spin(rc);
    rc.StartTimer(rc.controls.spinCheckTimer);
    rc.SetInputPhase(PHASE_ALL_OFF);
}

void AiControl::TakeLetter(int index) {
    RoundController& rc = g_round;
    rc.chosenLetter = (char)('A' + index);
    rc.letters[index].called = 1;
    rc.SetInputPhase(rc.roundType == ROUND_BONUS ? PHASE_BONUS_LETTER : PHASE_LETTER_CHOSEN);
}

void AiControl::CallConsonant(const AiParams* ai) {
    SetState(AI_IDLE);
    // The lists are read as the letter records stand now, so that a letter
    // called since the last choice is never called again.
    RebuildAiCandidates();
    const AiCandidates& a = g_aiCandidates;
    if (a.inCount == 0 && a.outCount == 0) {
        // No consonant is left to call: the only move left is to solve.
        StartSolve();
        return;
    }
    int letter;
    if (a.outCount == 0 || (a.inCount != 0 && Roll(ai, AI_CHANCE_RIGHT))) letter = PickFromClasses(AI_COMMON_IN);
    else letter = PickFromClasses(AI_COMMON_OUT);
    TakeLetter(letter);
}

void AiControl::BuyVowel(const AiParams* ai) {
    RoundController& rc = g_round;
    SetState(AI_IDLE);
    RebuildAiCandidates();
    const AiCandidates& a = g_aiCandidates;
    int money = rc.current ? rc.current->roundMoney : 0;
    if (a.count[AI_VOWELS_IN] + a.count[AI_VOWELS_OUT] == 0 || money < kVowelPrice) {
        // No vowel is left to buy, or it cannot be paid for: go on as a
        // contestant who chose not to buy.
        if (a.inCount + a.outCount > 0) SetState(AI_SPIN);
        else StartSolve();
        return;
    }
    rc.SetState(STATE_BUY_VOWEL);
    rc.ChangeMoney(kVowelPrice, '-');
    int letter;
    if (a.count[AI_VOWELS_OUT] == 0 || (a.count[AI_VOWELS_IN] > 0 && Roll(ai, AI_CHANCE_RIGHT)))
        letter = PickFromList(AI_VOWELS_IN);
    else
        letter = PickFromList(AI_VOWELS_OUT);
    TakeLetter(letter);
}

void AiControl::TypeLetter() {
    // The tile under the cursor takes the letter in its own update; with no
    // cursor tile nothing is typed and the control waits for the judgement.
    if (solveCursor) pendingChar = solveCursor->letter;
    SetState(AI_TYPE_SOLUTION);
}

void AiControl::FreeSpinQuestion() {
    RoundController& rc = g_round;
    SetState(AI_IDLE);
    if (HiddenShare(100) < Random100()) {
        rc.ShowEventMessage(HostEvent::ComputerUsesFreeSpin);
        int seat = rc.CurrentSeat();
        if (seat >= 1 && seat <= RoundController::kSeats) HideControl(rc.controls.freeSpinMarkers[seat - 1]);
        if (rc.current) rc.current->freeSpinToken = 0;
        rc.SetState(STATE_START_OF_TURN);
    } else {
        rc.SetState(STATE_END_OF_TURN);
    }
}

void AiControl::JackpotQuestion(const AiParams* ai) {
    RoundController& rc = g_round;
    SetState(AI_IDLE);
    if (Roll(ai, AI_CHANCE_SOLVE) && HiddenShare(150) < Random100()) {
        for (GuiControl* c : rc.controls.jackpotAsk) HideControl(c);
        rc.jackpotState = WEDGE_TAKEN;
        StartSolve();
    } else {
        rc.ShowEventMessage(HostEvent::ComputerPassesJackpot);
        for (GuiControl* c : rc.controls.jackpotAsk) HideControl(c);
        rc.HideJackpotDisplays();
        rc.jackpotState = WEDGE_LOST;
        rc.SetState(STATE_START_OF_TURN);
    }
}

void AiControl::MysteryQuestion() {
    RoundController& rc = g_round;
    GameControls& c = rc.controls;
    SetState(AI_IDLE);
    int seat = rc.CurrentSeat();
    bool seatOk = seat >= 1 && seat <= RoundController::kSeats;
    if (Random100() < 50) {
        rc.ShowEventMessage(HostEvent::ComputerTurnsMystery);
        rc.mysteryRevealed = 1;
        if (rc.mysteryOutcome == MYSTERY_BANKRUPT) {
            rc.Reactions().BadWedge(rc);
            // A puzzle the letter completed is won with its money.
            bool solved = rc.IsPuzzleSolved();
            if (solved) rc.SetState(STATE_ROUND_WON);
            rc.mysteryOutcome = MYSTERY_SPENT;
            rc.Reactions().BadOutcome(rc);  // the crowd's one disappointment comes with it
            rc.Ops().WatchSound(c.mysteryBankruptCue, rc.PlayCue("LAND_ON_BANKRUPT", CUE_SOUND));
            if (rc.turnsLeft != 0) {
                if (!solved) rc.SetState(STATE_BANKRUPT);
                if (seatOk) {
                    ShowControl(c.mysteryBankruptCards[seat - 1]);
                    SetControlState(c.mysteryBankruptCards[seat - 1], 1);
                }
                for (GuiControl* f : c.mysteryWedgeFaces) HideControl(f);
            }
        } else if (rc.mysteryOutcome == MYSTERY_PRIZE) {
            // The letter that asked may have completed the puzzle: then the
            // answer wins the round.
            rc.Reactions().MysteryWin(rc);
            if (rc.current) rc.current->mysteryToken = 1;
            if (seatOk) {
                ShowControl(c.mysteryMarkers[seat - 1]);
                SetControlState(c.mysteryMarkers[seat - 1], 1);
            }
            rc.StartTimer(c.mysteryTimer);  // the card is shown for its time
            rc.SetState(rc.IsPuzzleSolved() ? STATE_ROUND_WON : STATE_START_OF_TURN);
            for (GuiControl* f : c.mysteryWedgeFaces) HideControl(f);
        } else {
            for (GuiControl* f : c.mysteryWedgeFaces) HideControl(f);
            rc.SetState(rc.IsPuzzleSolved() ? STATE_ROUND_WON : STATE_START_OF_TURN);
        }
        return;
    }
    rc.ShowEventMessage(HostEvent::ComputerKeepsMystery);
    rc.ShowEventMessage(HostMessage::NamedPrompt("MSG_MYSTER_NO"));
    rc.ChangeMoney(1000 * rc.CountLetter(rc.chosenLetter), '+');
    rc.mysteryOutcome = MYSTERY_NONE;
    for (GuiControl* f : c.mysteryWedgeFaces) ShowControl(f);
    rc.SetState(rc.IsPuzzleSolved() ? STATE_ROUND_WON : STATE_START_OF_TURN);
}
