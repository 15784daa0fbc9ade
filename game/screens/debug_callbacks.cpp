// Developer shortcuts through a match: keys of the match screen jump to a
// round, force a wedge, change money, reveal the puzzle, grant statistics and
// trophies, drive the wheels and step through puzzles and avatar animations.
// Each does nothing unless a match is being played, and none is reached
// unless DeveloperKeysAct (the gate every registration goes through).
#include "debug_callbacks.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "board.h"
#include "control_wheel.h"
#include "control_binding.h"
#include "controls_text.h"
#include "controls_value.h"
#include "developer.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "gui_manager.h"
#include "profiles.h"
#include "round_controller.h"
#include "trophies.h"

namespace {

int s_animation = 0;  // the next avatar animation HackPlayAnim plays

GuiControl* MatchControl(int index) {
    GuiScreen* screen = g_guiManager.ScreenAt(Pos().screenRound);
    return screen && index >= 0 && index < screen->controlCount ? screen->controls[index] : nullptr;
}

// A match is on: its screen is shown and somebody has the turn.
bool InMatch() {
    GuiScreen* screen = g_guiManager.ScreenAt(Pos().screenRound);
    return screen && g_guiManager.GetCurrentScreen() == screen && g_round.current && g_round.current->profile;
}

PlayerProfile* SeatOnePlayer() {
    Contestant* c = g_round.ContestantAt(0);
    return c ? c->profile : nullptr;
}

void EndRoundAs(int roundType) {
    g_round.StopAllTimers();
    g_round.roundType = roundType;
    // A toss-up pays its worth, not whatever the wheel last gave (a
    // bankrupt would be paid as -$1).
    if (roundType == ROUND_TOSSUP_2000) g_round.wedgeValue = 2000;
    if (roundType == ROUND_TIEBREAK) g_round.wedgeValue = 1000;
    g_round.SetState(STATE_ROUND_WON);
}

bool HackShowHideChars(void*, const char*) {
    if (!InMatch()) return true;
    for (int i = 0; i < 3; ++i) {
        GuiControl* avatar = MatchControl(Pos().matchAvatar1 + i);
        if (!avatar) continue;
        if (avatar->stateFlags & GUI_FLAG_NOT_DRAWN) avatar->ClearFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
        else avatar->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    }
    return true;
}

bool HackShowHideReflexions(void*, const char*) {
    if (!InMatch()) return true;
    GuiControl* reflection = MatchControl(Pos().matchReflection);
    GuiControl* glow = MatchControl(Pos().matchReflectionGlow);
    if (!reflection) return true;
    if (!reflection->HasFlags(GUI_FLAG_HIDDEN)) {
        HideControl(reflection);
        HideControl(glow);
    } else {
        ShowControl(reflection);
        ShowControl(glow);
    }
    return true;
}

bool HackRound1(void*, const char*) {
    if (InMatch()) EndRoundAs(ROUND_TOSSUP_2000);
    return true;
}

bool HackRoundJackpot(void*, const char*) {
    if (!InMatch()) return true;
    g_round.opener = g_round.ContestantAt(0);
    EndRoundAs(ROUND_ONE);
    return true;
}

bool HackRoundMistery(void*, const char*) {
    if (!InMatch()) return true;
    g_round.opener = g_round.ContestantAt(0);
    EndRoundAs(ROUND_JACKPOT);
    return true;
}

bool HackRoundBonus(void*, const char*) {
    if (InMatch()) EndRoundAs(ROUND_TIEBREAK);
    return true;
}

// The turn's buttons follow the new money at once (buying a vowel needs $250).
void ChangeScore(const char* amount, char operation) {
    if (!InMatch()) return;
    g_round.ChangeMoney(amount ? std::atoi(amount) : 0, operation);
    if (g_round.inputPhase == PHASE_TURN && g_round.IsWheelRound() && !g_round.CurrentIsComputer())
        g_round.SetInputPhase(PHASE_TURN);
}

bool HackDecreaseScore(void*, const char* amount) {
    ChangeScore(amount, '-');
    return true;
}

bool HackIncreaseScore(void*, const char* amount) {
    ChangeScore(amount, '+');
    return true;
}

bool HackShowSolution(void*, const char*) {
    if (!InMatch()) return true;
    if (GuiControl* ai = MatchControl(Pos().matchAi)) ai->SetState(0);
    g_round.SetState(STATE_ROUND_WON);
    return true;
}

bool HackShowTimers(void*, const char*) { return true; }

bool AddStat(int stat, int amount) {
    PlayerProfile* p = InMatch() ? SeatOnePlayer() : nullptr;
    if (p) p->AddStat(stat, amount);
    return true;
}

bool HackAddJackpots(void*, const char*) { return AddStat(STAT_JACKPOTS_WON, 1); }
bool HackAddBonusWin(void*, const char*) { return AddStat(STAT_BONUS_WINS, 1); }
bool HackAddSoloWin(void*, const char*) { return AddStat(STAT_SOLO_WINS, 1); }
bool HackAddHoursPlay(void*, const char*) { return AddStat(STAT_MINUTES_PLAYED, 60); }

bool HackAddAllTrophy(void*, const char*) {
    PlayerProfile* p = InMatch() ? SeatOnePlayer() : nullptr;
    if (p && p->GetTrophyCount() < (unsigned)g_gameData.trophies.GetCount()) AwardAllTrophies(g_gameData.trophies, p);
    return true;
}

bool HackDecTurns(void*, const char*) {
    if (InMatch() && g_round.turnsLeft != 0) g_round.SetTurnsLeft();
    return true;
}

bool HackAddTurns(void*, const char*) {
    if (!InMatch()) return true;
    g_round.turnsLeft += 1;
    TextControl::SetText(dynamic_cast<TextControl*>(MatchControl(Pos().matchTurnsLeft)), "%i", g_round.turnsLeft);
    return true;
}

bool HackFreeSpin(void*, const char*) {
    if (!InMatch()) return true;
    g_round.wedgeValue = 300;
    if (g_round.freeSpinWedge == WEDGE_OPEN) {
        g_round.wedgeValue = WEDGE_FREE_SPIN;
        g_round.freeSpinWedge = WEDGE_WAITING;
        g_round.SetState(STATE_PICK_CONSONANT);
    }
    return true;
}

bool HackJackpot(void*, const char*) {
    if (!InMatch() || g_round.roundType != ROUND_JACKPOT || g_round.jackpotState != WEDGE_OPEN) return true;
    g_round.SetJackpotWedgeValue(7);
    g_round.SetState(STATE_PICK_CONSONANT);
    return true;
}

bool HackBankrupt(void*, const char*) {
    if (!InMatch()) return true;
    g_round.FlashPodium(WEDGE_BANKRUPT);
    if (g_round.mysteryOutcome == MYSTERY_PRIZE) g_round.mysteryOutcome = MYSTERY_SPENT;
    g_round.wedgeValue = WEDGE_BANKRUPT;
    g_round.SetState(STATE_BANKRUPT);
    return true;
}

bool HackLooseATurn(void*, const char*) {
    if (!InMatch()) return true;
    g_round.wedgeValue = WEDGE_LOSE_A_TURN;
    g_round.FlashPodium(WEDGE_LOSE_A_TURN);
    g_round.SetState(STATE_LOSE_A_TURN);
    return true;
}

bool HackAddTotalScore(void*, const char* amount) {
    if (!InMatch()) return true;
    Contestant* c = g_round.current;
    c->matchTotal += amount ? std::atoi(amount) : 0;
    TextControl* line = dynamic_cast<TextControl*>(MatchControl(Pos().matchScoreLine));
    if (c->matchTotal >= 1) {
        char money[32];
        std::snprintf(money, sizeof(money), "%s", FormatMoney(c->matchTotal));
        TextControl::SetText(line, "%s: $%s", c->Name(), money);
    } else {
        TextControl::SetText(line, "%s:", c->Name());
    }
    return true;
}

void ForceMystery(int outcome, int revealedValue) {
    if (!InMatch() || g_round.roundType != ROUND_MYSTERY) return;
    if (!g_round.mysteryRevealed) {
        g_round.wedgeValue = WEDGE_MYSTERY_PRIZE;
        if (g_round.mysteryOutcome == MYSTERY_NONE) g_round.mysteryOutcome = outcome;
    } else {
        g_round.wedgeValue = revealedValue;
    }
    g_round.SetState(STATE_PICK_CONSONANT);
}

bool HackMysteryBankrupt(void*, const char*) {
    ForceMystery(MYSTERY_BANKRUPT, 500);
    return true;
}

bool HackMysteryWin(void*, const char*) {
    ForceMystery(MYSTERY_PRIZE, 800);
    return true;
}

bool HackPrize10k(void*, const char*) {
    if (!InMatch() || g_round.roundType != ROUND_ONE) return true;
    g_round.wedgeValue = 800;
    if (g_round.tenThousandWedge == WEDGE_OPEN) {
        g_round.tenThousandWedge = WEDGE_WAITING;
        g_round.SetState(STATE_PICK_CONSONANT);
    }
    return true;
}

bool HackStopZoomWheel(void*, const char*) {
    if (!InMatch()) return true;
    for (int index : {Pos().matchWheel, Pos().matchZoomWheel})
        if (NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(MatchControl(index))) wheel->remaining = 0.001f;
    return true;
}

bool HackRotateWheel(void*, const char*) {
    if (!InMatch()) return true;
    for (int index : {Pos().matchWheel, Pos().matchZoomWheel})
        if (NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(MatchControl(index))) wheel->Rotate();
    return true;
}

bool HackScrollPuzzles(void*, const char*) {
    if (!InMatch()) return true;
    RoundController& rc = g_round;
    rc.ResetPodiumOverlays();
    PlayerProfile* first = SeatOnePlayer();
    const char* label = rc.puzzle.ChooseNext(first ? first->usedPuzzles : nullptr, rc.gameMode, rc.city, rc.roundType);
    char id[kPuzzleIdSize];
    std::snprintf(id, sizeof(id), "%s", label ? label : "");
    if (!rc.puzzle.Load(id)) return true;
    rc.StopAllTimers();
    rc.paused = 0;
    for (GuiControl* c : rc.controls.puzzleControls) ShowControl(c);
    rc.FillBoard();
    for (LetterRecord& r : rc.letters) r.called = r.occurs = 0;
    for (int row = 0; row < kPuzzleRows; ++row)
        for (int col = 0; col < kPuzzleColumns; ++col) {
            char ch = rc.puzzle.grid[row][col];
            if (IsPuzzleLetter(ch)) rc.letters[ch - 'A'].occurs = 1;
        }
    if (GuiControl* ai = MatchControl(Pos().matchAi)) ai->SetState(0);
    rc.RevealAllTiles();
    TextControl::SetText(dynamic_cast<TextControl*>(MatchControl(Pos().matchPuzzleText)), "%s", rc.puzzle.GetHint());
    return true;
}

bool HackPlayAnim(void*, const char*) {
    if (!InMatch()) return true;
    const char* name = kAvatarAnimations[s_animation];
    TextControl::SetText(dynamic_cast<TextControl*>(MatchControl(Pos().matchScoreLine)), "%s", name);
    Contestant* seatOne = g_round.ContestantAt(0);
    GuiControl* avatar = seatOne && seatOne->avatar ? seatOne->avatar : MatchControl(Pos().matchAvatar1);
    if (avatar) g_round.Ops().PlayAvatarAnimation(avatar, name, false);
    s_animation = (s_animation + 1) % kAvatarAnimationCount;
    return true;
}

}  // namespace

bool DeveloperKeysAct() {
    if (!DeveloperMode()) return false;
    // While a solve or a name is typed, its keys are the typing's ("'" in
    // a solution, "=" in a name).
    if (g_round.state == STATE_SOLVE) return false;
    GuiControl* focus = g_guiManager.GetActiveControl();
    if (dynamic_cast<EditControl*>(focus)) return false;
    ListControl* list = dynamic_cast<ListControl*>(focus);
    return !(list && list->IsEditing());
}

int DebugAnimationIndex() { return s_animation; }

void RegisterDebugCallbacks(CallbackRegistry& registry) {
    registry.Register("HackShowHideChars", DeveloperCommand<HackShowHideChars>);
    registry.Register("HackShowHideReflexions", DeveloperCommand<HackShowHideReflexions>);
    registry.Register("HackRound1", DeveloperCommand<HackRound1>);
    registry.Register("HackRoundJackpot", DeveloperCommand<HackRoundJackpot>);
    registry.Register("HackRoundMistery", DeveloperCommand<HackRoundMistery>);
    registry.Register("HackRoundBonus", DeveloperCommand<HackRoundBonus>);
    registry.Register("HackDecreaseScore", DeveloperCommand<HackDecreaseScore>);
    registry.Register("HackIncreaseScore", DeveloperCommand<HackIncreaseScore>);
    registry.Register("HackShowSolution", DeveloperCommand<HackShowSolution>);
    registry.Register("HackShowTimers", DeveloperCommand<HackShowTimers>);
    registry.Register("HackAddJackpots", DeveloperCommand<HackAddJackpots>);
    registry.Register("HackAddBonusWin", DeveloperCommand<HackAddBonusWin>);
    registry.Register("HackAddSoloWin", DeveloperCommand<HackAddSoloWin>);
    registry.Register("HackAddHoursPlay", DeveloperCommand<HackAddHoursPlay>);
    registry.Register("HackAddAllTrophy", DeveloperCommand<HackAddAllTrophy>);
    registry.Register("HackDecTurns", DeveloperCommand<HackDecTurns>);
    registry.Register("HackAddTurns", DeveloperCommand<HackAddTurns>);
    registry.Register("HackFreeSpin", DeveloperCommand<HackFreeSpin>);
    registry.Register("HackJackpot", DeveloperCommand<HackJackpot>);
    registry.Register("HackBankrupt", DeveloperCommand<HackBankrupt>);
    registry.Register("HackLooseATurn", DeveloperCommand<HackLooseATurn>);
    registry.Register("HackAddTotalScore", DeveloperCommand<HackAddTotalScore>);
    registry.Register("HackMysteryBankrupt", DeveloperCommand<HackMysteryBankrupt>);
    registry.Register("HackMysteryWin", DeveloperCommand<HackMysteryWin>);
    registry.Register("HackPrize10k", DeveloperCommand<HackPrize10k>);
    registry.Register("HackStopZoomWheel", DeveloperCommand<HackStopZoomWheel>);
    registry.Register("HackRotateWheel", DeveloperCommand<HackRotateWheel>);
    registry.Register("HackScrollPuzzles", DeveloperCommand<HackScrollPuzzles>);
    registry.Register("HackPlayAnim", DeveloperCommand<HackPlayAnim>);
}
