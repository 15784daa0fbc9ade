// The round controller's working operations on the board, the letters, the
// money and the wheel: laying a puzzle onto the tiles, revealing them,
// counting letters, money and its text, the three wheel tables, leaders and
// ties, the podium displays, and pausing the round.
#include "board.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "controls_button.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"
#include "sound_system.h"

BoardTile* solveCursor = nullptr;
unsigned char pendingChar = 0;
unsigned char solveLocked = 0;

const char* const kAvatarAnimations[kAvatarAnimationCount] = {
    "spin_bonus", "avatar_idle_01", "avatar_idle_02", "avatar_idle_03", "brevanto",
    "butterchurn", "raiseroof", "wave", "handslap", "sob",
    "annoyed", "headslap", "spin", "spin_slow", "spin_fast",
    "clap", "board2wheel", "idle_random_handonhand", "idle_random_movehand"};

// The board tiles' view of the match in play.
namespace {
class RoundBoardView : public BoardRoundView {
public:
    bool Paused() const override { return g_round.paused != 0; }
    void PlaySoundCue(const char* cue) override { g_round.PlayCue(cue, CUE_SOUND); }
    void BoardLit() override { g_round.OnBoardLit(); }
    void OnLetterResult(int count) override { g_round.OnLetterResult(count); }
    bool EndSolutionReveal() override { return g_round.EndSolutionReveal(); }
};
}  // namespace

BoardRoundView& BoardRound() {
    static RoundBoardView view;
    return view;
}

// ---- Money text -------------------------------------------------------------

// A button's look follows its disabled flag; it is set again only when the
// two differ, so that an enabled button under the pointer keeps its light.
static void SetButtonEnabled(ButtonControl* b, bool enabled) {
    bool flagged = (b->stateFlags & GUI_FLAG_DISABLED) != 0;
    int look = b->IsOpen() ? b->state : b->pendingState;
    bool inactive = look == GUI_STATE_INACTIVE;
    if (flagged == !enabled && inactive == !enabled) return;
    b->SetEnabled(enabled);
}

void EnableControl(GuiControl* c) {
    if (ButtonControl* b = dynamic_cast<ButtonControl*>(c)) SetButtonEnabled(b, true);
    else if (c) c->ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
}

void DisableControl(GuiControl* c) {
    if (ButtonControl* b = dynamic_cast<ButtonControl*>(c)) SetButtonEnabled(b, false);
    else if (c) c->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
}

const char* FormatMoney(int value) {
    static char text[128];
    // Built from the right: groups of three digits, then what is left.
    char* p = text + sizeof(text) - 1;
    *p = '\0';
    bool negative = value < 0;
    unsigned long long v = negative ? 0ull - (unsigned long long)(long long)value : (unsigned long long)value;
    while (v / 1000 != 0) {
        unsigned group = (unsigned)(v % 1000);
        for (int i = 0; i < 3; ++i) {
            *--p = (char)('0' + group % 10);
            group /= 10;
        }
        *--p = ',';
        v /= 1000;
    }
    do {
        *--p = (char)('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative) *--p = '-';
    return p;
}

// ---- Laying out and revealing -------------------------------------------------

void RoundController::FillBoard() {
    characterCount = 0;
    for (int i = 0; i < kBoardTiles; ++i) {
        char c = puzzle.grid[i / kBoardColumns][i % kBoardColumns];
        unsigned char letter = (c == '%' || c == '\0') ? 0 : (unsigned char)c;
        if (letter) ++characterCount;
        BoardTile* tile = controls.tiles[i];
        if (!tile) continue;
        tile->SetState(TILE_OFF);
        tile->letter = letter;
        // Nothing typed for the last puzzle may carry over to this one.
        tile->typedLetter = 0;
        tile->shownAtOnce = 0;
        tile->DropLinks();
    }
    solveCursor = nullptr;
    pendingChar = 0;
    boardLighting = 0;  // a chain still running on the last puzzle's board starts no turn
}

void RoundController::LinkBoardTiles() {
    BoardTile* first = nullptr;
    BoardTile* last = nullptr;
    for (BoardTile* tile : controls.tiles) {
        if (!tile) continue;
        tile->DropLinks();
        if (!tile->HoldsCharacter()) continue;
        tile->shownAtOnce = IsPuzzleLetter((char)tile->letter) ? 0 : 1;
        if (!first) first = tile;
        if (last) last->next = tile;
        tile->back = first;
        last = tile;
    }
    // The chain's last tile reports the board lit; a chain that outlives its
    // round (or a second report) finds the flag down and changes nothing.
    boardLighting = first ? 1 : 0;
    if (first)
        first->SetState(TILE_LIGHTING);
    else
        StartTossupTurn();  // nothing to light: the turn starts at once
}

bool RoundController::RevealRandomTile() {
    BoardTile* hidden[kBoardTiles];
    int count = 0;
    for (BoardTile* tile : controls.tiles)
        if (tile && tile->HoldsCharacter() && tile->state == TILE_HIDDEN) hidden[count++] = tile;
    if (count == 0) return false;
    BoardTile* tile = hidden[std::rand() % count];
    PlayCue("CORRECT_LETTER");
    // The tile still carries its link from the lighting chain; turned on its
    // own it must hand on to nobody, or the rest of the chain would turn too.
    tile->next = nullptr;
    tile->back = tile;
    tile->SetState(TILE_TURNING);
    return true;
}

bool RoundController::PrepareSolve() {
    BoardTile* cell[kBoardRows][kBoardColumns];
    for (int i = 0; i < kBoardTiles; ++i) {
        BoardTile* tile = controls.tiles[i];
        cell[i / kBoardColumns][i % kBoardColumns] = tile && tile->HoldsCharacter() ? tile : nullptr;
        if (!tile) continue;
        tile->DropLinks();
        if (!tile->HoldsCharacter()) continue;
        if ((tile->state >= TILE_HIGHLIGHTING && tile->state <= TILE_TURNING) || tile->state == TILE_CURSOR_SHOWN) {
            tile->SetState(TILE_SHOWN);
        } else if (tile->state == TILE_CURSOR_HIDDEN || tile->state == TILE_TYPED_RIGHT ||
                   tile->state == TILE_TYPED_WRONG) {
            // Left from an attempt that was never judged: a new attempt
            // starts on the hidden letters again.
            tile->typedLetter = 0;
            tile->SetState(TILE_HIDDEN);
        }
    }
    BoardTile* first = nullptr;
    BoardTile* previous = nullptr;
    BoardTile* cursor = nullptr;
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c) {
            BoardTile* tile = cell[r][c];
            if (!tile) continue;
            if (!first) first = tile;
            tile->back = previous;
            if (previous) previous->next = tile;
            previous = tile;
            if (r > 0) tile->above = cell[r - 1][c];
            if (r < kBoardRows - 1) tile->below = cell[r + 1][c];
            if (!cursor && tile->state == TILE_HIDDEN) cursor = tile;
        }
    if (previous) previous->next = first;  // a ring to the right
    if (!cursor) {
        OnLetterResult(1);
        return false;
    }
    cursor->SetState(TILE_CURSOR_HIDDEN);
    solveCursor = cursor;
    return true;
}

void RoundController::RevealAllTiles() {
    for (BoardTile* tile : controls.tiles)
        if (tile && tile->HoldsCharacter()) tile->SetState(TILE_SHOWN);
}

bool RoundController::IsPuzzleSolved() const {
    for (const BoardTile* tile : controls.tiles)
        if (tile && tile->HoldsCharacter() && tile->state != TILE_SHOWN && tile->state != TILE_TYPED_RIGHT)
            return false;
    return true;
}

// ---- Counts -----------------------------------------------------------------

int RoundController::CountHiddenConsonants() const {
    int n = 0;
    for (const LetterRecord& r : letters) n += r.occurs && !r.called && !r.isVowel;
    return n;
}

int RoundController::CountHiddenVowels() const {
    int n = 0;
    for (const LetterRecord& r : letters) n += r.occurs && !r.called && r.isVowel;
    return n;
}

int RoundController::CountLetter(char c) const {
    if (!c) return 0;
    int n = 0;
    for (int r = 0; r < kBoardRows; ++r)
        for (int k = 0; k < kBoardColumns; ++k) n += puzzle.grid[r][k] == c;
    return n;
}

int RoundController::CountHiddenTiles() const {
    int n = 0;
    for (const BoardTile* tile : controls.tiles) n += tile && tile->HoldsCharacter() && tile->state == TILE_HIDDEN;
    return n;
}

// ---- Money --------------------------------------------------------------------

void RoundController::ChangeMoney(int amount, char operation) {
    if (!current) return;
    switch (operation) {
    case '+': current->roundMoney += amount; break;
    case '-': current->roundMoney -= amount; break;
    case '=': current->roundMoney = amount; break;
    default: break;
    }
    if (current->seat < 1 || current->seat > kSeats) return;
    TextControl* score = controls.podiumScores[current->seat - 1];
    if (current->roundMoney == 0)
        TextControl::SetText(score, "%s", "");
    else
        TextControl::SetText(score, "$%s", FormatMoney(current->roundMoney));
}

// ---- The wheel tables -----------------------------------------------------------

static const int kRound1Values[24] = {0,   500, 900, 300, 400, 550, 0,   500, 300, 600, 300, 2500,
                                      600, 300, 700, 450, 350, 800, -2,  300, 400, 600, -1,  900};

// Index 0 of every table: a free spin the first time in the round.
static int FreeSpinOrValue(int& freeSpinWedge) {
    if (freeSpinWedge == WEDGE_OPEN) {
        freeSpinWedge = WEDGE_WAITING;
        return WEDGE_FREE_SPIN;
    }
    return 300;
}

void RoundController::SetRound1WedgeValue(int wedge) {
    if (wedge < 0 || wedge > 23) return;
    switch (wedge) {
    case 0: wedgeValue = FreeSpinOrValue(freeSpinWedge); break;
    case 6:
        // Three notches: the middle one holds the $10,000, the outer two are
        // bankrupt, until the wedge has been landed once.
        if (tenThousandWedge != WEDGE_OPEN) {
            wedgeValue = 800;
        } else if (landedSector % 3 == 1) {
            wedgeValue = kTenThousandPrize;
            tenThousandWedge = WEDGE_WAITING;
        } else {
            wedgeValue = WEDGE_BANKRUPT;
        }
        break;
    case 22:
        wedgeValue = WEDGE_BANKRUPT;
        if (current && current->tenThousandToken) {
            current->tenThousandToken = 0;
            tenThousandWedge = WEDGE_LOST;
            if (current->seat >= 1 && current->seat <= kSeats) HideControl(controls.tenThousandMarkers[current->seat - 1]);
        }
        break;
    default: wedgeValue = kRound1Values[wedge]; break;
    }
}

void RoundController::SetMysteryWedgeValue(int wedge) {
    if (wedge < 0 || wedge > 23) return;
    switch (wedge) {
    case 0: wedgeValue = FreeSpinOrValue(freeSpinWedge); break;
    case 1:
    case 13:
        if (mysteryRevealed) {
            wedgeValue = wedge == 1 ? 500 : 300;
        } else if (mysteryOutcome == MYSTERY_NONE) {
            if (std::rand() % 100 >= 50) {
                wedgeValue = WEDGE_MYSTERY_BANKRUPT;
                mysteryOutcome = MYSTERY_BANKRUPT;
            } else {
                wedgeValue = WEDGE_MYSTERY_PRIZE;
                mysteryOutcome = MYSTERY_PRIZE;
            }
        }
        // A drawn outcome not yet revealed keeps the value it gave.
        break;
    case 6:
    case 22:
        wedgeValue = WEDGE_BANKRUPT;
        if (mysteryOutcome == MYSTERY_PRIZE && current && current->mysteryToken) {
            current->mysteryToken = 0;
            mysteryOutcome = MYSTERY_SPENT;
            if (current->seat >= 1 && current->seat <= kSeats) HideControl(controls.mysteryMarkers[current->seat - 1]);
        }
        break;
    case 11: wedgeValue = 3500; break;
    default: wedgeValue = kRound1Values[wedge]; break;
    }
}

void RoundController::SetJackpotWedgeValue(int wedge) {
    if (wedge < 0 || wedge > 23) return;
    switch (wedge) {
    case 0: wedgeValue = FreeSpinOrValue(freeSpinWedge); break;
    case 6: wedgeValue = 800; break;
    case 7:
        if (jackpotState == WEDGE_OPEN) {
            jackpotAmount += kJackpotWedgeBonus;
            wedgeValue = WEDGE_JACKPOT;
            jackpotState = WEDGE_WAITING;
        } else {
            wedgeValue = 500;
        }
        break;
    case 8:
    case 22: wedgeValue = WEDGE_BANKRUPT; break;
    case 11: wedgeValue = 3500; break;
    default: wedgeValue = kRound1Values[wedge]; break;
    }
    if (wedgeValue > 0) jackpotAmount += wedgeValue;
    ShowJackpotAmount();
}

void RoundController::ShowJackpotAmount() {
    for (TextControl* display : controls.jackpotDisplays) TextControl::SetText(display, "$%s", FormatMoney(jackpotAmount));
}

void RoundController::HideJackpotDisplays() {
    for (TextControl* display : controls.jackpotDisplays) HideControl(display);
}

void RoundController::AwardPrizeTokens() {
    if (!current) return;
    switch (roundType) {
    case ROUND_ONE:
        if (tenThousandWedge == WEDGE_TAKEN && current->tenThousandToken) ChangeMoney(kTenThousandPrize, '+');
        break;
    case ROUND_JACKPOT:
        if (jackpotState == WEDGE_TAKEN) ChangeMoney(jackpotAmount, '+');
        break;
    case ROUND_MYSTERY:
        if (mysteryOutcome == MYSTERY_PRIZE && current->mysteryToken) ChangeMoney(kTenThousandPrize, '+');
        break;
    default: break;
    }
}

// ---- Turns, leaders and ties -------------------------------------------------

void RoundController::SetTurnsLeft() {
    // -1 means no limit and stays so.
    if (turnsLeft > 0) --turnsLeft;
    TextControl::SetText(controls.turnCounter, "%d", turnsLeft);
}

Contestant* RoundController::FindLeader() {
    Contestant* leader = nullptr;
    for (Contestant& c : contestants) {
        if (!c.IsPresent()) continue;
        if (!leader) leader = &c;
        if (c.matchTotal > 0 && (leader->matchTotal <= 0 || c.matchTotal > leader->matchTotal)) leader = &c;
    }
    return leader;
}

int RoundController::FindTieForLead() {
    if (gameMode != MODE_ROAD_TRIP && gameMode != MODE_GROUP_PLAY) return 0;
    Contestant* leader = FindLeader();
    if (!leader) return 0;
    int l = leader->matchTotal;
    int a = contestants[0].matchTotal, b = contestants[1].matchTotal, c = contestants[2].matchTotal;
    if (a == b && b == c) return -1;
    if (a == b && b == l) return 3;
    if (a == c && c == l) return 2;
    if (b == c && c == l) return 1;
    return 0;
}

bool RoundController::AreOpponentsComputer() const {
    if (contestantCount < 2) return true;
    for (int i = 1; i < kSeats; ++i)
        if (contestants[i].IsPresent() && !contestants[i].IsComputer()) return false;
    return true;
}

bool RoundController::HasSingleHuman() const {
    int humans = 0;
    for (const Contestant& c : contestants) humans += c.IsPresent() && !c.IsComputer();
    return humans == 1;
}

// ---- Podiums and markers ------------------------------------------------------------

void RoundController::ShowPlayerScore(int seat) {
    if (seat < 1 || seat > kSeats) {
        for (GuiControl* indicator : controls.scoreIndicators) HideControl(indicator);
        TextControl::SetText(controls.scoreLine, "%s", "");
        return;
    }
    for (int i = 0; i < kSeats; ++i) {
        if (i == seat - 1)
            ShowControl(controls.scoreIndicators[i]);
        else
            HideControl(controls.scoreIndicators[i]);
    }
    Contestant& c = contestants[seat - 1];
    if (c.matchTotal < 1)
        TextControl::SetText(controls.scoreLine, "%s:", c.Name());
    else
        TextControl::SetText(controls.scoreLine, "%s: $%s", c.Name(), FormatMoney(c.matchTotal));
}

void RoundController::ShowSeatMarker(int seat) {
    for (GuiControl* marker : controls.seatMarkers) HideControl(marker);
    if (seat >= 1 && seat <= kSeats) ShowControl(controls.seatMarkers[seat - 1]);
}

void RoundController::ResetPodiumOverlays() {
    for (int i = 0; i < kSeats; ++i) {
        HideControl(controls.bankruptOverlays[i]);
        HideControl(controls.loseTurnOverlays[i]);
        ShowControl(controls.podiumScores[i]);
    }
}

void RoundController::UpdateTokenMarkers() {
    HideControl(controls.currentTokenGroup);
    for (GuiControl* marker : controls.freeSpinMarkers) HideControl(marker);
    if (current && current->freeSpinToken && current->seat >= 1 && current->seat <= kSeats)
        ShowControl(controls.freeSpinMarkers[current->seat - 1]);
}

void RoundController::ShowTokenView(int seatDifference) {
    if (!current || current->seat < 1) return;
    int seat = (current->seat - 1 + seatDifference + kSeats) % kSeats + 1;
    Contestant& c = contestants[seat - 1];
    if (!c.IsPresent()) return;
    if (c.tenThousandToken) ShowControl(controls.tenThousandMarkers[seat - 1]);
    if (c.mysteryToken) ShowControl(controls.mysteryMarkers[seat - 1]);
    if (seatDifference == 0 && c.freeSpinToken) ShowControl(controls.freeSpinMarkers[seat - 1]);
}

// ---- Timers, pausing ----------------------------------------------------------------

void RoundController::StopMatch() {
    StopAllTimers();
    for (GuiControl* wheel : {controls.wheel, controls.zoomWheel, controls.bonusWheel}) ops->StopWheel(wheel);
    ops->WatchSound(controls.outroTrigger, nullptr);
    ops->WatchSound(controls.mysteryOpenCue, nullptr);
    ops->WatchSound(controls.mysteryBankruptCue, nullptr);
    ops->WatchSound(controls.mysteryWinCue, nullptr);
    for (int i = 0; i < kSeats; ++i) {
        ops->WatchSound(controls.tenThousandDownCues[i], nullptr);
        ops->WatchSound(controls.mysteryWinDownCues[i], nullptr);
    }
    SetAi(AI_TOSSUP_WATCH);  // at rest
    paused = 1;
}

void RoundController::StartTimer(TimerControl* timer) {
    if (!timer) return;
    timer->timeLeft = timer->startTime;
    timer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

void RoundController::StopTimer(TimerControl* timer) {
    if (!timer) return;
    timer->timeLeft = 0.0f;
    timer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

bool RoundController::TimerRunning(const TimerControl* timer) const { return timer && timer->timeLeft > 0.0f; }

void RoundController::HoldTimer(TimerControl* timer) {
    if (timer && timer->timeLeft > 0.0f) timer->timeLeft = -timer->timeLeft;
}
void RoundController::ReleaseTimer(TimerControl* timer) {
    if (timer && timer->timeLeft < 0.0f) timer->timeLeft = -timer->timeLeft;
}

void RoundController::ForPausableTimers(void (*step)(TimerControl*)) {
    TimerControl* timers[] = {controls.spinCheckTimer, controls.zoomHoldTimer, controls.mysteryTimer,
                              controls.tossupRevealTimer, controls.roundEndTimer, controls.bankruptTimer,
                              controls.introTimer, controls.endOfTurnTimer, controls.turnTimer,
                              controls.freeSpinPromptTimer, controls.failedSolveTimer, controls.idleTimer};
    for (TimerControl* t : timers) step(t);
    if (state == STATE_SOLVE) {
        step(controls.solveTimer);
        step(controls.thinkingTimer);
    }
}

// ---- The studio's pause and show/hide sets ------------------------------------------------

namespace {

class StudioScreenSets : public RoundScreenSets {
public:
    void PauseRoundGui(RoundController& rc, bool withSoundAndClock) override;
    void ResumeRoundGui(RoundController& rc, bool withSoundAndClock) override;
    void StopAllTimers(RoundController& rc) override;
    void ShowPuzzleControls(RoundController& rc) override;
    void ShowTokensAfterZoom(RoundController& rc) override;
};

}  // namespace

RoundScreenSets& DefaultScreenSets() {
    static StudioScreenSets sets;
    return sets;
}

void StudioScreenSets::PauseRoundGui(RoundController& rc, bool withSoundAndClock) {
    GameControls& controls = rc.controls;
    Contestant* current = rc.current;
    GameScreenOps* ops = &rc.Ops();
    rc.paused = 1;
    DisableControl(controls.pauseButton);
    ops->FreezeAnimation(controls.bonusPrizeDisplay, true);
    if (current && current->seat >= 1 && current->seat <= RoundController::kSeats) {
        HideControl(controls.podiumHighlights[current->seat - 1][0]);
        HideControl(controls.podiumHighlights[current->seat - 1][1]);
    }
    for (GuiControl* picture : controls.podiumPictures) ops->SetPictureMode(picture, PICTURE_INACTIVE);
    rc.ForPausableTimers(RoundController::HoldTimer);
    if (withSoundAndClock) {
        ops->PauseAllSounds();
        ops->PauseClock();
    }
}

void StudioScreenSets::ResumeRoundGui(RoundController& rc, bool withSoundAndClock) {
    GameControls& controls = rc.controls;
    Contestant* current = rc.current;
    GameScreenOps* ops = &rc.Ops();
    rc.paused = 0;
    EnableControl(controls.pauseButton);
    ops->FreezeAnimation(controls.bonusPrizeDisplay, false);
    if (rc.IsWheelRound() && current && current->seat >= 1 && current->seat <= RoundController::kSeats) {
        ShowControl(controls.podiumHighlights[current->seat - 1][0]);
        if (rc.wheelStopped) ShowControl(controls.podiumHighlights[current->seat - 1][1]);
    }
    if (rc.state == STATE_SPIN)
        for (GuiControl* picture : controls.podiumPictures) ops->SetPictureMode(picture, PICTURE_ACTIVE);
    rc.ForPausableTimers(RoundController::ReleaseTimer);
    if (withSoundAndClock) {
        ops->ResumeAllSounds();
        ops->ResumeClock();
    }
}

void StudioScreenSets::StopAllTimers(RoundController& rc) {
    GameControls& controls = rc.controls;
    TimerControl* timers[] = {controls.spinCheckTimer,   controls.zoomHoldTimer,     controls.mysteryTimer,
                              controls.tossupRevealTimer, controls.roundEndTimer,     controls.bankruptTimer,
                              controls.introTimer,        controls.solveTimer,        controls.thinkingTimer,
                              controls.endOfTurnTimer,    controls.turnTimer,         controls.idleTimer,
                              controls.failedSolveTimer,  controls.freeSpinPromptTimer};
    for (TimerControl* t : timers) rc.StopTimer(t);
}

void StudioScreenSets::ShowPuzzleControls(RoundController& rc) {
    GameControls& controls = rc.controls;
    for (GuiControl* avatar : controls.avatars) ShowControl(avatar);
    HideControl(controls.puzzleStartMarker);
    if (controls.zoomWheel) controls.zoomWheel->SetFlags(GUI_FLAG_DISABLED | GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    for (auto& pair : controls.podiumHighlights) {
        HideControl(pair[0]);
        HideControl(pair[1]);
    }
    HideControl(controls.puzzleStartGroup);
}

// Only the free-spin token stands on the podium once the close-up is gone.
void StudioScreenSets::ShowTokensAfterZoom(RoundController& rc) {
    GameControls& controls = rc.controls;
    for (GuiControl* token : controls.freeSpinMarkers) HideControl(token);
    int seat = rc.CurrentSeat();
    if (rc.current && rc.current->freeSpinToken && seat >= 1 && seat <= RoundController::kSeats)
        ShowControl(controls.freeSpinMarkers[seat - 1]);
}

// ---- Sound and avatars ------------------------------------------------------------------

void RoundController::PlayVoice(const char* cue, bool loop) {
    StopVoice();
    g_gameData.voiceClip = ops->PlayCue(cue, CUE_MUSIC, loop);
}

void RoundController::StopVoice() {
    if (g_soundSystem.IsPlaying(g_gameData.voiceClip)) g_gameData.voiceClip->Stop();
    g_gameData.voiceClip = nullptr;
}

void RoundController::PlayAvatar(GuiControl* avatar, int animation) {
    if (avatar && animation >= 0 && animation < kAvatarAnimationCount)
        ops->PlayAvatarAnimation(avatar, kAvatarAnimations[animation], false);
}

void RoundController::PlayContestantAvatar(Contestant* who, int animation) {
    if (who) PlayAvatar(who->avatar, animation);
}

// ---- Control sets --------------------------------------------------------------------------

static void ApplySet(const RoundControlSet& set, int freeSpinWedge) {
    for (GuiControl* c : set.show) ShowControl(c);
    for (GuiControl* c : set.hide) HideControl(c);
    // The pop-ups that explain a special wedge only until it has been landed.
    if (freeSpinWedge == WEDGE_OPEN) {
        ShowControl(set.freeSpinPopup);
        ShowControl(set.prizePopup);
    } else {
        HideControl(set.freeSpinPopup);
        HideControl(set.prizePopup);
    }
}

void RoundController::ShowRoundSet(int type) {
    ApplySet(controls.tossupSet, freeSpinWedge);
    switch (type) {
    case ROUND_ONE: ApplySet(controls.round1Set, freeSpinWedge); break;
    case ROUND_JACKPOT: ApplySet(controls.jackpotSet, freeSpinWedge); break;
    case ROUND_MYSTERY: ApplySet(controls.mysterySet, freeSpinWedge); break;
    default: break;
    }
}
