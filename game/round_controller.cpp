// The round controller's turn state machine: states and input phases, the
// spin and its wedge, letters called and their results, solving, winning a
// round, the host's status-bar lines, crowd cues and avatar reactions.
#include "round_controller.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "control_animation.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "font_manager.h"
#include "frame_timer.h"
#include "game_data.h"
#include "gui_manager.h"
#include "profiles.h"
#include "sound_system.h"
#include "strings.h"

// ---- Contestants ------------------------------------------------------------

bool Contestant::IsComputer() const { return profile && profile->GetAi() != nullptr; }

const char* Contestant::Name() const {
    const char* name = profile ? profile->GetName() : nullptr;
    return name ? name : "";
}

// ---- Default screen operations -------------------------------------------------

void GameScreenOps::PostStatusMessage(GuiControl*, const char*) {}
void GameScreenOps::StartWheel(GuiControl*, float) {}
void GameScreenOps::TurnPointer(GuiControl*, float) {}
void GameScreenOps::SetPictureMode(GuiControl*, int) {}
void GameScreenOps::QueueAvatarAnimation(GuiControl* avatar, const char* animation, float delay, bool force) {
    QueueAvatarReaction(avatar, animation, delay, force);
}
void GameScreenOps::PlayAvatarAnimation(GuiControl* avatar, const char* animation, bool loop) {
    PlayAvatarNow(avatar, animation, loop);
}
void GameScreenOps::BindAvatar(GuiControl* avatar, PlayerProfile* profile) { BindAvatarContestant(avatar, profile); }
void GameScreenOps::FreezeAnimation(GuiControl*, bool) {}
void GameScreenOps::WatchSound(GuiControl*, SoundInstance*) {}

SoundInstance* GameScreenOps::PlayCue(const char* cue, int setting, bool loop) {
    return g_soundSystem.Play(cue, g_gameData.settings.Get(setting), loop ? 1 : 0);
}
void GameScreenOps::StopAllSounds() { g_soundSystem.StopAll(); }
void GameScreenOps::PauseAllSounds() { g_soundSystem.PauseAll(); }
void GameScreenOps::ResumeAllSounds() { g_soundSystem.ResumeAll(); }
void GameScreenOps::PauseClock() {
    if (g_currentTimer) g_currentTimer->Pause();
}
void GameScreenOps::ResumeClock() {
    if (g_currentTimer) g_currentTimer->Resume();
}
bool GameScreenOps::OpenWindow(const char* window) { return g_guiManager.OpenWindow(window); }
bool GameScreenOps::SaveGame() { return g_gameData.Save(); }

static GameScreenOps g_defaultOps;
RoundController g_round;

// ---- Texts and crowd cues ---------------------------------------------------------

const char* HostText(const char* key, unsigned line) {
    if (!key) return "";
    const TextBlock* block = FindTextByName(key);
    if (!block) return line == 0 ? key : "";
    const char* text = block->Line(line);
    return text ? text : "";
}

static void PlayNumbered(const char* family, int number) {
    char cue[64];
    std::snprintf(cue, sizeof(cue), "%s%d", family, number);
    g_round.PlayCue(cue, CUE_SOUND);
}

void PlaySmallDisappointment() { PlayNumbered("P_AUD_SM_DIS_", std::rand() % 100 / 20 + 1); }
void PlayLargeDisappointment() { PlayNumbered("P_AUD_LG_DIS_", std::rand() % 100 / 25 + 1); }
void PlayClap() { PlayNumbered("P_AUD_CLAP_", std::rand() % 100 / 10 + 1); }

void PlayClapCheer() {
    int r = std::rand() % 100 / 33;
    PlayNumbered("P_AUD_CLAP_CHEER_", r >= 2 ? 3 : r + 1);
}

void PlayExcitement() {
    int r = std::rand() % 100 / 12;
    PlayNumbered("P_AUD_EXC_", r >= 7 ? 8 : r + 1);
}

void PlayDisappointedClap() {
    int r = std::rand() % 100 / 33;
    PlayNumbered("P_AUD_DIS_CLAP_", r >= 2 ? 3 : r + 1);
}

void PlayBonusWinCrowd() {
    int r = std::rand() % 100;
    if (g_round.wedgeValue > 40000)
        r >= 40 ? PlayExcitement() : PlayClap();
    else
        r >= 80 ? PlayExcitement() : PlayClap();
}

void PlayBonusLossCrowd() {
    int r = std::rand() % 100;
    if (g_round.wedgeValue > 40000)
        r >= 20 ? PlayLargeDisappointment() : PlayDisappointedClap();
    else
        r >= 80 ? PlaySmallDisappointment() : PlayDisappointedClap();
}

void PlayPreChantCue() { g_round.PlayCue("GAME_INTRO_PRE_CHANT", CUE_MUSIC); }
void PlayWheelChantCue() { g_round.PlayCue("WHEEL_CHANT", CUE_MUSIC); }

// ---- Object --------------------------------------------------------------------

RoundController::RoundController() : ops(&g_defaultOps) {
    std::memset(letters, 0, sizeof(letters));
    std::memset(error, 0, sizeof(error));
    for (int i = 0; i < kSeats; ++i) contestants[i].seat = i + 1;
    roundType = ROUND_ONE;
    turnsPerRound = turnsLeft = 0;
    state = previousState = 0;
}

RoundController::~RoundController() { puzzle.Clear(); }

void RoundController::SetOps(GameScreenOps* screenOps) { ops = screenOps ? screenOps : &g_defaultOps; }

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

void RoundController::PlayCue(const char* cue, int setting) { ops->PlayCue(cue, setting, false); }

bool RoundController::OpenWindow(const char* window) { return ops->OpenWindow(window); }

void RoundController::SetAi(int code) { SetControlState(controls.ai, code); }

// ---- States --------------------------------------------------------------------

bool RoundController::SetState(int newState) {
    StopTimer(controls.turnTimer);
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
        ShowEventMessage(0);
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
        if (CurrentIsComputer()) {
            ShowEventMessage(12);
        } else {
            solveLocked = 0;
            ShowEventMessage(1, "MSGH_ON_SOLVE");
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
        RevealAllTiles();
        StartTimer(controls.roundEndTimer);
        SetInputPhase(PHASE_ALL_OFF);
        break;
    case STATE_ROUND_WON:
        // Entered again (a second answer to the same question): the round
        // is already won and its end already under way.
        if (previousState == STATE_ROUND_WON) break;
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
    if (IsTossupType()) {
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

void RoundController::EndRoundShown(int endState) {
    StopTimer(controls.turnTimer);
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
            ShowEventMessage(1, HasSingleHuman() ? "MSGH_TOSSUP_SOLVE" : "MSGH_TOSSUP_PRESSKEY");
        } else if (roundType == ROUND_BONUS) {
            DisableWheelAndButtons(controls);
            EnableControl(controls.bonusWheel);
            EnableControl(controls.spinButton);
            ShowEventMessage(1, "MSGH_SPIN");
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
            ShowEventMessage(group ? 2 : 1, key);
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
            ShowEventMessage(1, "MSGH_BONUS_PICK_VOWEL");
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
    ShowEventMessage(1, "MSG_WHEEL_SPINS");
}

void RoundController::ResolveWedge() {
    int seat = CurrentSeat();
    ops->TurnPointer(controls.wheel, seat >= 1 ? -30.0f * (seat - 1) : 0.0f);
    switch (wedgeValue) {
    case WEDGE_MYSTERY_BANKRUPT:
    case WEDGE_MYSTERY_PRIZE:
        ReactWedgeLanded();
        ShowEventMessage(7);
        SetState(STATE_PICK_CONSONANT);
        break;
    case WEDGE_JACKPOT:
        ReactWedgeLanded();
        ShowEventMessage(6);
        SetState(STATE_PICK_CONSONANT);
        break;
    case WEDGE_FREE_SPIN:
        ReactWedgeLanded();
        ShowEventMessage(5);
        SetState(STATE_PICK_CONSONANT);
        wedgeValue = 0;
        break;
    case WEDGE_LOSE_A_TURN:
        ReactBadWedge();
        ShowEventMessage(9);
        FlashPodium(WEDGE_LOSE_A_TURN);
        SetState(STATE_LOSE_A_TURN);
        break;
    case WEDGE_BANKRUPT:
        ReactBadWedge();
        ShowEventMessage(8);
        SetState(STATE_BANKRUPT);
        break;
    default:
        ReactWedgeLanded();
        ShowEventMessage(4, &wedgeValue);
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
}

void RoundController::StartTossupTurn() {
    if (IsTossupType()) {
        for (Contestant& c : contestants)
            if (c.IsPresent()) c.mayBuzz = roundType == ROUND_TIEBREAK ? c.outcome != OUTCOME_LOST : 1;
        ReactShuffle();
    }
    StopTimer(controls.turnTimer);
    SetStateDirect(STATE_START_OF_TURN);
    StartTimer(controls.turnTimer);
    StartTurnInput();
    TextControl::SetText(controls.category, "%s", puzzle.GetHint());
}

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
        ShowEventMessage(11, &letterToReveal);
        if (freeSpinWedge == WEDGE_WAITING || tenThousandWedge == WEDGE_WAITING)
            ReactMysteryWin();
        else
            ReactCorrectLetter();
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
            ReactWrongLetter();
            ShowEventMessage(10, &chosenLetter);
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

    ShowEventMessage(10, &chosenLetter);
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
    if (chanceLost)
        ReactBadOutcome();
    else
        ReactWrongLetter();
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
        ShowEventMessage(14);
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
        // The thinking music ends with the attempt; a paused instance would
        // never be resumed.
        ops->StopAllSounds();
        r < 20 ? PlaySmallDisappointment() : PlayDisappointedClap();
        ReactWrongSolve();
        for (GuiControl* entry : controls.solveEntry) HideControl(entry);
        TextControl::SetText(controls.winnerLine, "%s", "");
        ShowSeatMarker(0);
        bool someoneMayBuzz = false;
        for (Contestant& c : contestants) someoneMayBuzz |= c.IsPresent() && c.mayBuzz;
        SetState(someoneMayBuzz ? STATE_START_OF_TURN : STATE_ROUND_LOST);
    } else if (roundType == ROUND_BONUS) {
        ReactWrongSolve();
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
        ops->StopAllSounds();
        r < 20 ? PlaySmallDisappointment() : PlayDisappointedClap();
        ReactWrongSolve();
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
        ReactShuffle();
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
    ReactRoundWon();
    if (roundType != ROUND_BONUS) {
        ShowEventMessage(3);
        current->matchTotal += current->roundMoney;
    } else {
        ShowEventMessage(0);
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

// ---- Host lines ---------------------------------------------------------------------------------

void RoundController::ShowEventMessage(int event, const void* argument) {
    if (event == 0) {
        ops->PostStatusMessage(controls.statusBar, nullptr);
        return;
    }
    char line[128];
    line[0] = '\0';
    const int size = (int)sizeof(line);
    bool computer = CurrentIsComputer();
    const char* n = current ? current->Name() : "";
    // FormatMoney shares one buffer: every amount of a line is copied out.
    char money1[32], money2[32];

    switch (event) {
    case 1: std::snprintf(line, size, "%s", HostText((const char*)argument)); break;
    case 2: std::snprintf(line, size, "%s %s", n, HostText((const char*)argument)); break;
    case 3: {
        int r = current ? current->roundMoney : 0;
        // Raised as the round is won, before its money joins the match
        // total: the total shown is the one it makes.
        int m = current ? current->matchTotal : 0;
        CopyString(money1, sizeof(money1), FormatMoney(r));
        CopyString(money2, sizeof(money2), FormatMoney(m + r));
        if (roundType == ROUND_BONUS)
            std::snprintf(line, size, "%s %s $%s %s $%s %s", n, HostText("MSG_WON"), money1,
                          HostText("MSG_WIN_BONUS_SCORE_1"), money2, HostText("MSG_WIN_BONUS_SCORE_2"));
        else if (m < 1)
            std::snprintf(line, size, "%s %s $%s", n, HostText("MSG_WIN_ROUND_1_SCORE"), money1);
        else
            std::snprintf(line, size, "%s %s $%s %s $%s", n, HostText("MSG_WON"), money1,
                          HostText("MSG_WIN_ROUND_SCORE"), money2);
        break;
    }
    case 4: {
        int value = argument ? *(const int*)argument : wedgeValue;
        CopyString(money1, sizeof(money1), FormatMoney(value));
        if (computer)
            std::snprintf(line, size, "%s $%s. %s %s", HostText("MSG_LANDED_ON"), money1, n,
                          HostText("MSGC_SHOULD_PICK_CONSONANT"));
        else
            std::snprintf(line, size, "%s $%s. %s", HostText("MSG_LANDED_ON"), money1, HostText("MSGH_PICK_CONSONANT"));
        break;
    }
    case 5:
    case 6:
    case 7: {
        const char* what = event == 5 ? "MSG_FREESPIN" : event == 6 ? "MSG_JACKPOT" : "MSG_MYSTERY";
        if (computer)
            std::snprintf(line, size, "%s %s. %s %s", HostText("MSG_LANDED_ON"), HostText(what), n,
                          HostText("MSGC_SHOULD_PICK_CONSONANT"));
        else
            std::snprintf(line, size, "%s %s. %s", HostText("MSG_LANDED_ON"), HostText(what),
                          HostText("MSGH_PICK_CONSONANT"));
        break;
    }
    case 8:
    case 9: {
        const char* what = event == 8 ? "MSG_BANKRUPT" : "MSG_LOSE_A_TURN";
        if (computer)
            std::snprintf(line, size, "%s %s. %s %s", HostText("MSG_LANDED_ON"), HostText(what), n,
                          HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s %s. %s", HostText("MSG_LANDED_ON"), HostText(what),
                          HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    }
    case 10: {
        char c = argument ? *(const char*)argument : chosenLetter;
        PlayCue("WHEEL_WRONG");
        if (computer)
            std::snprintf(line, size, "%s%c%s %s %s", HostText("MSG_WRONG_LETTER"), c, HostText("MSG_WRONG_LETTER", 1), n,
                          HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s%c%s %s", HostText("MSG_WRONG_LETTER"), c, HostText("MSG_WRONG_LETTER", 1),
                          HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    }
    case 11: {
        char c = argument ? *(const char*)argument : chosenLetter;
        int k = CountLetter(c);
        int v = wedgeValue;
        if (k >= 3 || tenThousandWedge == WEDGE_WAITING)
            PlayClapCheer();
        else
            PlayClap();
        bool vowel = IsVowel(c);
        if (vowel)
            CopyString(money1, sizeof(money1), FormatMoney(kVowelPrice));
        else
            CopyString(money1, sizeof(money1), FormatMoney(k > 1 ? k * v : v));
        if (k > 1) {
            if (vowel || v > 0)
                std::snprintf(line, size, "%s%i %c%s for $%s.", HostText("MSG_CORECT_LETTERS"), k, c,
                              HostText("MSG_CORECT_LETTERS", 1), money1);
            else
                std::snprintf(line, size, "%s%i %c%s.", HostText("MSG_CORECT_LETTERS"), k, c,
                              HostText("MSG_CORECT_LETTERS", 1));
        } else {
            if (vowel || v > 0)
                std::snprintf(line, size, "%s%c for $%s.", HostText("MSG_CORECT_LETTER"), c, money1);
            else
                std::snprintf(line, size, "%s%c.", HostText("MSG_CORECT_LETTER"), c);
        }
        break;
    }
    case 12: std::snprintf(line, size, "%s %s", n, HostText("MSGC_SOLVING")); break;
    case 13:
        PlayCue("TIMES_UP");
        if (roundType == ROUND_BONUS)
            std::snprintf(line, size, "%s", HostText("MSG_SOLVE_TIME_OUT"));
        else if (computer)
            std::snprintf(line, size, "%s %s %s", HostText("MSG_SOLVE_TIME_OUT"), n, HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s %s", HostText("MSG_SOLVE_TIME_OUT"), HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    case 14:
        if (roundType != ROUND_BONUS) PlayCue("WHEEL_WRONG");
        if (IsTossupType() || roundType == ROUND_BONUS)
            std::snprintf(line, size, "%s", HostText("MSG_SOLVE_WRONG"));
        else if (computer)
            std::snprintf(line, size, "%s %s %s", HostText("MSG_SOLVE_WRONG"), n, HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s %s", HostText("MSG_SOLVE_WRONG"), HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    case 15: std::snprintf(line, size, "%s %s", n, HostText("MSGC_USE_FREE_SPIN")); break;
    case 16: std::snprintf(line, size, "%s %s", n, HostText("MSGC_MYSTERY_NOT_REVEAL")); break;
    case 17: std::snprintf(line, size, "%s %s", n, HostText("MSGC_MYSTERY_REVEAL")); break;
    case 18: std::snprintf(line, size, "%s %s", n, HostText("MSGC_LOSE_JACKPOT")); break;
    default: return;
    }
    ops->PostStatusMessage(controls.statusBar, line);
}

// ---- Reactions ------------------------------------------------------------------------------------

namespace {

float RandomDelay() { return 0.1f * (float)(std::rand() % 10) + 0.1f; }

// A row of a reaction table: the animation while r is below the bound.
struct Choice {
    int bound;
    const char* animation;  // null: no reaction
};

template <size_t N>
const char* Pick(const Choice (&table)[N]) {
    int r = std::rand() % 10000;
    for (const Choice& c : table)
        if (r < c.bound) return c.animation;
    return nullptr;
}

}  // namespace

// Each contestant in seat order: the current one from `mine`, the others from
// `theirs`, every reaction after a random delay.
template <size_t A, size_t B>
static void ReactAll(RoundController& rc, const Choice (&mine)[A], const Choice (&theirs)[B], float currentDelay = -1.0f) {
    for (Contestant& c : rc.contestants) {
        if (!c.IsPresent()) continue;
        bool isCurrent = &c == rc.current;
        const char* animation = isCurrent ? Pick(mine) : Pick(theirs);
        float delay = isCurrent && currentDelay >= 0.0f ? currentDelay : RandomDelay();
        if (animation && c.avatar) rc.Ops().QueueAvatarAnimation(c.avatar, animation, delay, true);
    }
}

static const Choice kBystanders[] = {
    {2000, "board2wheel"}, {4700, "idle_random_handonhand"}, {7400, "idle_random_movehand"}, {10000, nullptr}};
static const Choice kCheeringBystanders[] = {{5000, "clap"},
                                             {6500, "board2wheel"},
                                             {7700, "idle_random_handonhand"},
                                             {8900, "idle_random_movehand"},
                                             {10000, nullptr}};
static const Choice kClapping[] = {{10000, "clap"}};

void RoundController::ReactSpin() {
    if (roundType == ROUND_BONUS) {
        if (current && current->avatar) ops->QueueAvatarAnimation(current->avatar, "spin_bonus", 0.0f, true);
        return;
    }
    const char* swing = spinPower > 864.0f ? "spin_fast" : spinPower > 648.0f ? "spin" : "spin_slow";
    const Choice mine[] = {{10000, swing}};
    ReactAll(*this, mine, kClapping, 0.1f);
}

void RoundController::ReactBadWedge() {
    static const Choice mine[] = {{8500, "annoyed"}, {9000, "handslap"}, {9500, "headslap"}, {10000, "sob"}};
    ReactAll(*this, mine, kBystanders, 0.0f);
}

void RoundController::ReactWedgeLanded() {
    static const Choice mine[] = {{10000, "board2wheel"}};
    ReactAll(*this, mine, kBystanders, 0.0f);
}

void RoundController::ReactCorrectLetter() {
    static const Choice mine[] = {{3000, "clap"}, {8500, "brevanto"}, {9300, "raiseroof"}, {10000, "butterchurn"}};
    ReactAll(*this, mine, kCheeringBystanders);
}

void RoundController::ReactMysteryWin() {
    static const Choice mine[] = {{3000, "brevanto"}, {4500, "clap"}, {7300, "raiseroof"}, {10000, "butterchurn"}};
    ReactAll(*this, mine, kCheeringBystanders);
}

void RoundController::ReactWrongLetter() {
    static const Choice mine[] = {{6000, "annoyed"}, {6500, "handslap"}, {7000, "headslap"}, {7500, "sob"},
                                  {8300, "idle_random_handonhand"}, {9200, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {
        {1500, "board2wheel"}, {4300, "idle_random_handonhand"}, {7200, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(*this, mine, theirs);
}

void RoundController::ReactRoundWon() {
    static const Choice mine[] = {{4500, "brevanto"}, {6300, "raiseroof"}, {8000, "butterchurn"}, {10000, "wave"}};
    ReactAll(*this, mine, kClapping);
}

void RoundController::ReactWrongSolve() {
    static const Choice mine[] = {{2500, "annoyed"}, {4100, "handslap"}, {5800, "sob"}, {7500, "headslap"},
                                  {8300, "idle_random_handonhand"}, {9200, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {{8000, "clap"}, {10000, "board2wheel"}};
    ReactAll(*this, mine, theirs);
}

void RoundController::ReactIdleFidget() {
    if (spinRequested || state != STATE_START_OF_TURN) return;
    static const Choice fidget[] = {
        {3000, "idle_random_handonhand"}, {6000, "idle_random_movehand"}, {7000, "board2wheel"}, {10000, nullptr}};
    for (Contestant& c : contestants) {
        if (!c.IsPresent()) continue;
        if (std::rand() % 10000 >= 1000) continue;
        const char* animation = Pick(fidget);
        if (animation && c.avatar) ops->QueueAvatarAnimation(c.avatar, animation, RandomDelay(), false);
    }
}

void RoundController::ReactShuffle() {
    static const Choice shuffle[] = {
        {2500, "board2wheel"}, {5000, "idle_random_handonhand"}, {7500, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(*this, shuffle, shuffle);
}

void RoundController::ReactRoundSetup() {
    if (gameMode == MODE_QUICK_PLAY || gameMode == MODE_PLAY_ALONE || gameMode == MODE_PUZZLE_OF_THE_DAY) {
        if (!current || !current->avatar) return;
        if (roundType == ROUND_ONE)
            ops->PlayAvatarAnimation(current->avatar, "clap", false);
        else
            ops->QueueAvatarAnimation(current->avatar, "clap", 0.0f, true);
    } else if (IsThreePlayerMode()) {
        if (roundType != ROUND_TOSSUP_1000) {
            ReactAll(*this, kClapping, kClapping);
            return;
        }
        // A staggered clap: three different slots.
        static const float kSlots[5] = {0.2f, 0.5f, 0.8f, 1.2f, 1.5f};
        int slot[3];
        slot[0] = std::rand() % 50 / 10;
        do slot[1] = std::rand() % 50 / 10;
        while (slot[1] == slot[0]);
        do slot[2] = std::rand() % 50 / 10;
        while (slot[2] == slot[0] || slot[2] == slot[1]);
        for (int i = 0; i < kSeats; ++i) {
            Contestant& c = contestants[i];
            if (!c.IsPresent() || !c.avatar) continue;
            ops->PlayAvatarAnimation(c.avatar, "avatar_idle_02", true);
            ops->QueueAvatarAnimation(c.avatar, "clap", kSlots[slot[i]], true);
        }
    }
}

void RoundController::ReactBadOutcome() {
    std::rand() % 10000 >= 9000 ? PlayLargeDisappointment() : PlaySmallDisappointment();
    static const Choice mine[] = {{5000, "annoyed"}, {6000, "handslap"}, {7000, "headslap"}, {8000, "sob"},
                                  {8700, "idle_random_handonhand"}, {9400, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {
        {1500, "clap"}, {4300, "idle_random_handonhand"}, {7200, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(*this, mine, theirs);
}
