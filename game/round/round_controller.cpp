// The round controller's turn state machine: the object, its states and
// input phases, the spin and its wedge, and the turn passing from seat to
// seat. The rules of letters, solving and winning are in round_rules.cpp,
// the host's lines in host_messages.cpp; the avatars react through the
// edition's AvatarReactions and the screen operations are in screen_ops.cpp.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls_simple.h"
#include "controls_text.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"

// ---- Contestants ------------------------------------------------------------

const AiParams* Contestant::Ai() const {
    return profile ? profile->GetAi() : nullptr;
}

bool Contestant::IsComputer() const { return Ai() != nullptr; }

const char* Contestant::Name() const {
    const char* name = profile ? profile->GetName() : nullptr;
    return name ? name : "";
}

RoundController g_round;

// ---- Object --------------------------------------------------------------------

RoundController::RoundController()
    : ops(&DefaultScreenOps()), reactions(&DefaultReactions()), screenSets(&DefaultScreenSets()) {
    std::memset(letters, 0, sizeof(letters));
    std::memset(error, 0, sizeof(error));
    for (int i = 0; i < kSeats; ++i) contestants[i].seat = i + 1;
    roundType = ROUND_ONE;
    turnsPerRound = turnsLeft = 0;
    state = previousState = 0;
}

RoundController::~RoundController() { puzzle.Clear(); }

void RoundController::SetOps(GameScreenOps* screenOps) { ops = screenOps ? screenOps : &DefaultScreenOps(); }

void RoundController::SetReactions(AvatarReactions* avatarReactions) {
    reactions = avatarReactions ? avatarReactions : &DefaultReactions();
}

void RoundController::SetScreenSets(RoundScreenSets* sets) { screenSets = sets ? sets : &DefaultScreenSets(); }

void RoundController::SetContestant(int index, PlayerProfile* profile) {
    if (index < 0 || index >= kSeats) return;
    Contestant& c = contestants[index];
    c = Contestant();
    c.profile = profile;
    c.seat = index + 1;
}

void RoundController::SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof(error), format, args);
    va_end(args);
}

SoundInstance* RoundController::PlayCue(const char* cue, int setting) { return ops->PlayCue(cue, setting, false); }

bool RoundController::OpenWindow(const char* window) { return ops->OpenWindow(window); }

void RoundController::SetAi(int code) { SetControlState(controls.ai, code); }

// ---- States --------------------------------------------------------------------

bool RoundController::SetState(int newState) {
    // Once won or lost, a round stays over until the next one is set up:
    // a late answer, timer or computer decision cannot put it back in play.
    if (RoundOver() && newState != STATE_ROUND_WON && newState != STATE_ROUND_LOST &&
        newState != STATE_END_OF_MATCH)
        return false;
    // A turn's timers belong to the state that started them: a buzz while a
    // turn was ending (state 6) had its attempt cut short by that turn's end,
    // its cursor left on a tile neither hidden nor shown, and the toss-up
    // could then neither reveal nor be solved.
    StopTimer(controls.turnTimer);
    StopTimer(controls.endOfTurnTimer);
    previousState = state;
    state = newState;
    if (newState < 0 || newState > STATE_START_OF_TURN) return true;

    switch (newState) {
    case STATE_SPIN: StartSpin(); break;
    case STATE_WHEEL_STOPPED: ResolveWedge(); break;
    case STATE_PICK_CONSONANT:
        if (CurrentIsComputer())
            SetAi(AI_PICK_CONSONANT);
        else
            SetInputPhase(PHASE_CONSONANT);
        break;
    case STATE_PICK_VOWEL: SetInputPhase(PHASE_VOWEL); break;
    case STATE_BUY_VOWEL:
        // A computer contestant's control picks the vowel itself.
        if (!CurrentIsComputer()) SetInputPhase(PHASE_VOWEL);
        break;
    case STATE_REVEAL_BONUS_LETTER:
        if (bonusCount >= 0 && bonusCount < 4) {
            char letter = bonusQueue[bonusCount];
            --bonusCount;
            RevealLetter(letter);
        }
        break;
    case STATE_END_OF_TURN:
        SetInputPhase(PHASE_ALL_OFF);
        StartTimer(controls.endOfTurnTimer);
        break;
    case STATE_CHANGE_TURN:
        ShowEventMessage(HostEvent::CloseBar);
        if (IsThreePlayerMode()) {
            NextSeat();
            UpdateTokenMarkers();
            ShowSeatMarker(CurrentSeat());
        } else {
            SetTurnsLeft();
            UpdateTokenMarkers();
            if (turnsLeft == 0) {
                SetState(STATE_ROUND_LOST);
                return true;
            }
        }
        SetState(STATE_START_OF_TURN);
        break;
    case STATE_SOLVE: {
        if (!PrepareSolve()) return false;
        if (IsTossupType()) reactions->SolveAttempt(*this);
        if (CurrentIsComputer()) {
            ShowEventMessage(HostEvent::ComputerSolving);
        } else {
            solveLocked = 0;
            ShowEventMessage(HostMessage::Prompt("MSGH_ON_SOLVE"));
        }
        SetInputPhase(PHASE_SOLVING);
        if (roundType != ROUND_BONUS) {
            PlayCue("WHEEL_THINK");
            StartTimer(controls.solveTimer);
            StartTimer(controls.thinkingTimer);
            StopTimer(controls.tossupRevealTimer);
        } else if (bonusSolveTimer == 0) {
            // The bonus round's clock runs once, over every attempt.
            StartTimer(controls.solveTimer);
            StopTimer(controls.tossupRevealTimer);
            PlayCue("WHEEL_THINK");
            StartTimer(controls.thinkingTimer);
            bonusSolveTimer = 1;
        }
        break;
    }
    case STATE_LOSE_A_TURN: FreeSpinCheck(); break;
    case STATE_BANKRUPT:
        ResetPodiumOverlays();
        if (CurrentSeat() >= 1) {
            ShowControl(controls.bankruptOverlays[CurrentSeat() - 1]);
            HideControl(controls.podiumScores[CurrentSeat() - 1]);
        }
        StartTimer(controls.bankruptTimer);
        ChangeMoney(0, '=');
        FreeSpinCheck();
        break;
    case STATE_ROUND_LOST:
        StopTurnTimers();
        RevealAllTiles();
        StartTimer(controls.roundEndTimer);
        SetInputPhase(PHASE_ALL_OFF);
        break;
    case STATE_ROUND_WON:
        // Entered again (a second answer to the same question): the round
        // is already won and its end already under way.
        if (previousState == STATE_ROUND_WON) break;
        StopTurnTimers();
        WinRound();
        RevealAllTiles();
        StartTimer(controls.roundEndTimer);
        SetInputPhase(PHASE_ALL_OFF);
        break;
    case STATE_END_OF_MATCH: ops->SaveGame(); break;
    case STATE_START_OF_TURN:
        StartTimer(controls.turnTimer);
        StartTurnInput();
        break;
    default: break;
    }
    return true;
}

void RoundController::StartTurnInput() {
    // A spin stopped the fidgets: every turn starts them again.
    StartTimer(controls.idleTimer);
    if (IsTossupType()) {
        // A toss-up has no turn to run out: its letters keep coming until a
        // buzz. Its end would lose a turn nobody had and hand the next seat
        // one, naming it in the panel while the board still waits for a buzz.
        StopTimer(controls.turnTimer);
        StartTimer(controls.tossupRevealTimer);
        SetAi(AI_TOSSUP_WATCH);
        SetInputPhase(PHASE_TURN);
    } else if (CurrentIsComputer()) {
        SetInputPhase(PHASE_ALL_OFF);
        SetAi(AI_TAKE_TURN);
    } else {
        SetInputPhase(PHASE_TURN);
    }
}

void RoundController::FreeSpinCheck() {
    if (!current || !current->freeSpinToken)
        SetState(STATE_END_OF_TURN);
    else if (current->IsComputer())
        SetAi(AI_FREE_SPIN_QUESTION);
    else
        StartTimer(controls.freeSpinPromptTimer);
}

// Left running past the round's end, their ends would start a turn over a
// round already won: a toss-up solved while the turn of the seat that had
// just answered wrong was still ending put the won round back to a turn, and
// the match never moved on.
void RoundController::StopTurnTimers() {
    StopTimer(controls.turnTimer);
    StopTimer(controls.endOfTurnTimer);
    StopTimer(controls.failedSolveTimer);
    StopTimer(controls.tossupRevealTimer);
}

void RoundController::EndRoundShown(int endState) {
    // A round ends once: a last tile turning after a win does not make it lost.
    if (RoundOver()) return;
    // A notice about the letters left goes with the round. Left up, its own
    // timer would close whatever opened over it at the round's end (the
    // solved flash or the winner's window), and the match would never move
    // on to its next round.
    ops->CloseWindowOnTop("POPUP_ONLY_VOWELS");
    ops->CloseWindowOnTop("POPUP_ONLY_CONSONANTS");
    StopTurnTimers();
    SetStateDirect(endState);
    if (endState == STATE_ROUND_WON) WinRound();
    RevealAllTiles();
    StartTimer(controls.roundEndTimer);
    SetInputPhase(PHASE_ALL_OFF);
}

// ---- Input phases -------------------------------------------------------------------

// Called letters show as chosen; the others take the state of their kind.
static void SetLetterKeys(RoundController& rc, int uncalledConsonant, int uncalledVowel) {
    for (int i = 0; i < kLetterCount; ++i) {
        const LetterRecord& r = rc.letters[i];
        int s = r.called ? 5 : (IsVowel((char)('A' + i)) ? uncalledVowel : uncalledConsonant);
        SetControlState(rc.controls.letterKeys[i], s);
    }
}

static void DisableWheelAndButtons(GameControls& c) {
    DisableControl(c.wheel);
    DisableControl(c.bonusWheel);
    DisableControl(c.spinButton);
    DisableControl(c.buyVowelButton);
    DisableControl(c.solveButton);
}

void RoundController::SetInputPhase(int phase) {
    inputPhase = phase;
    switch (phase) {
    case PHASE_ALL_OFF:
        SetLetterKeys(*this, 6, 6);
        DisableWheelAndButtons(controls);
        letterKeyMode = KEYS_NONE;
        break;
    case PHASE_TURN:
        SetLetterKeys(*this, 6, 6);
        letterKeyMode = KEYS_NONE;
        if (IsTossupType()) {
            DisableWheelAndButtons(controls);
            // With only computer opponents the first contestant buzzes by button.
            if (AreOpponentsComputer() && contestants[0].mayBuzz) EnableControl(controls.solveButton);
            ShowEventMessage(HostMessage::Prompt(HasSingleHuman() ? "MSGH_TOSSUP_SOLVE" : "MSGH_TOSSUP_PRESSKEY"));
        } else if (roundType == ROUND_BONUS) {
            DisableWheelAndButtons(controls);
            EnableControl(controls.bonusWheel);
            EnableControl(controls.spinButton);
            ShowEventMessage(HostMessage::Prompt("MSGH_SPIN"));
        } else {
            bool consonantHidden = CountHiddenConsonants() > 0;
            bool canBuy = current && current->roundMoney >= kVowelPrice && CountHiddenVowels() > 0;
            DisableControl(controls.bonusWheel);
            if (consonantHidden) {
                EnableControl(controls.wheel);
                EnableControl(controls.spinButton);
            } else {
                DisableControl(controls.wheel);
                DisableControl(controls.spinButton);
            }
            EnableControl(controls.solveButton);
            if (canBuy)
                EnableControl(controls.buyVowelButton);
            else
                DisableControl(controls.buyVowelButton);
            bool group = IsThreePlayerMode();
            const char* key;
            if (!consonantHidden)
                key = group ? "MSGC_GROUP_VOWEL_SOLVE" : "MSGH_VOWEL_OR_SOLVE";
            else if (canBuy)
                key = group ? "MSGC_GROUP_SPIN_VOWEL_OR_SOLVE" : "MSGH_SPIN_VOWEL_OR_SOLVE";
            else
                key = group ? "MSGC_GROUP_SPIN_OR_SOLVE" : "MSGH_SPIN_OR_SOLVE";
            ShowEventMessage(group ? HostMessage::NamedPrompt(key) : HostMessage::Prompt(key));
        }
        break;
    case PHASE_CONSONANT:
        SetLetterKeys(*this, 0, 6);
        DisableWheelAndButtons(controls);
        letterKeyMode = KEYS_CONSONANTS;
        break;
    case PHASE_VOWEL:
        SetLetterKeys(*this, 6, 0);
        DisableWheelAndButtons(controls);
        letterKeyMode = KEYS_VOWELS;
        break;
    case PHASE_BONUS_LETTER:
        if (state == STATE_PICK_CONSONANT) {
            SetInputPhase(PHASE_CONSONANT);
            if (bonusCount < 1 || bonusCount > 3) return;
            bonusQueue[bonusCount] = chosenLetter;
            --bonusCount;
            if (bonusCount > 0) return;
            ShowEventMessage(HostMessage::Prompt("MSGH_BONUS_PICK_VOWEL"));
            StopTimer(controls.turnTimer);
            SetStateDirect(STATE_PICK_VOWEL);
            SetInputPhase(PHASE_VOWEL);
        } else if (state == STATE_PICK_VOWEL) {
            // Consonants in the order chosen, then the vowel.
            bonusQueue[0] = chosenLetter;
            bonusCount = 3;
            SetLetterKeys(*this, 6, 6);
            StopTimer(controls.turnTimer);
            SetStateDirect(STATE_REVEAL_BONUS_LETTER);
            char letter = bonusQueue[3];
            bonusCount = 2;
            RevealLetter(letter);
        }
        break;
    case PHASE_LETTER_CHOSEN:
        SetLetterKeys(*this, 6, 6);
        DisableWheelAndButtons(controls);
        letterKeyMode = KEYS_NONE;
        RevealLetter(chosenLetter);
        break;
    case PHASE_SOLVING:
        SetLetterKeys(*this, 0, 0);
        DisableWheelAndButtons(controls);
        letterKeyMode = KEYS_SOLVING;
        break;
    default: break;
    }
}

// ---- The spin -------------------------------------------------------------------------

void RoundController::StartSpin() {
    spinRequested = 0;
    if (IsWheelRound()) {
        ops->StartWheel(controls.wheel, spinPower);
        ops->StartWheel(controls.zoomWheel, spinPower);
        for (GuiControl* picture : controls.podiumPictures) ops->SetPictureMode(picture, PICTURE_ACTIVE);
    } else if (roundType == ROUND_BONUS) {
        ops->StartWheel(controls.bonusWheel, spinPower);
    }
    ShowEventMessage(HostMessage::Prompt("MSG_WHEEL_SPINS"));
}

void RoundController::ResolveWedge() {
    int seat = CurrentSeat();
    ops->TurnPointer(controls.pointer, seat >= 1 ? -30.0f * (seat - 1) : 0.0f);
    switch (wedgeValue) {
    case WEDGE_MYSTERY_BANKRUPT:
    case WEDGE_MYSTERY_PRIZE:
        reactions->WedgeLanded(*this);
        ShowEventMessage(HostEvent::LandedOnMystery);
        SetState(STATE_PICK_CONSONANT);
        break;
    case WEDGE_JACKPOT:
        reactions->WedgeLanded(*this);
        ShowEventMessage(HostEvent::LandedOnJackpot);
        SetState(STATE_PICK_CONSONANT);
        break;
    case WEDGE_FREE_SPIN:
        reactions->WedgeLanded(*this);
        ShowEventMessage(HostEvent::LandedOnFreeSpin);
        SetState(STATE_PICK_CONSONANT);
        wedgeValue = 0;
        break;
    case WEDGE_LOSE_A_TURN:
        reactions->BadWedge(*this);
        ShowEventMessage(HostEvent::LandedOnLoseTurn);
        FlashPodium(WEDGE_LOSE_A_TURN);
        SetState(STATE_LOSE_A_TURN);
        break;
    case WEDGE_BANKRUPT:
        reactions->BadWedge(*this);
        ShowEventMessage(HostEvent::LandedOnBankrupt);
        SetState(STATE_BANKRUPT);
        break;
    default:
        reactions->WedgeLanded(*this);
        ShowEventMessage(HostMessage::Landed(wedgeValue));
        // The $10,000 is a token to win with the round, not a letter value.
        if (wedgeValue == kTenThousandPrize) wedgeValue = 0;
        SetState(STATE_PICK_CONSONANT);
        break;
    }
}

// ---- Turns ------------------------------------------------------------------------------

void RoundController::NextSeat() {
    int start = current ? (int)(current - contestants) : kSeats - 1;
    for (int k = 1; k <= kSeats; ++k) {
        Contestant& c = contestants[(start + k) % kSeats];
        if (c.IsPresent()) {
            current = &c;
            break;
        }
    }
    ShowPlayerScore(CurrentSeat());
    // The lit podium goes with the turn: the seat whose wheel stopped last
    // would stay lit through the next seat's turn. Its glow is the stopped
    // wheel's and goes out; the light is the turn's, as a resume shows it.
    int seat = CurrentSeat();
    for (int i = 0; i < kSeats; ++i) {
        HideControl(controls.podiumHighlights[i][1]);
        if (i == seat - 1 && IsWheelRound())
            ShowControl(controls.podiumHighlights[i][0]);
        else
            HideControl(controls.podiumHighlights[i][0]);
    }
}

void RoundController::OnBoardLit() {
    if (!boardLighting) return;
    boardLighting = 0;
    StartTossupTurn();
}

void RoundController::StartTossupTurn() {
    // A round that has ended waits for its end to be shown: no turn starts
    // over it (the round-end timer moves the match on only from a won or
    // lost round).
    if (RoundOver()) return;
    if (IsTossupType()) {
        for (Contestant& c : contestants)
            if (c.IsPresent()) c.mayBuzz = roundType == ROUND_TIEBREAK ? c.outcome != OUTCOME_LOST : 1;
        reactions->TossupTurn(*this);
    }
    StopTimer(controls.turnTimer);
    SetStateDirect(STATE_START_OF_TURN);
    StartTimer(controls.turnTimer);
    StartTurnInput();
    TextControl::SetText(controls.category, "%s", puzzle.GetHint());
}

