// The match screen's callbacks around the rounds: starting a match in each
// mode, pausing, leaving for the menu, the end of a match with the
// player-statistics window, the trophy window, and the menu-side entries
// that live in the game-screen table.
#include "match_callbacks.h"

#include <cstdlib>
#include <cstring>

#include "control_animation.h"
#include "control_binding.h"
#include "gui_manager.h"  // before the status bar, which keeps its PostMessage
#include "control_statusbar.h"
#include "controls_button.h"
#include "controls_game.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "font_manager.h"
#include "game_callbacks.h"
#include "game_data.h"
#include "gui_group.h"
#include "menu_callbacks.h"
#include "menu_screen.h"
#include "profiles.h"
#include "round_controller.h"
#include "sound_system.h"
#include "strings.h"

MatchPause g_matchPause;
int g_statsTrophyIndex = 0;

namespace {

GuiControl* Stats(int i) { return g_bound.WindowControl(Pos().windowPlayerStats, i); }
TextControl* StatsText(int i) { return g_bound.WindowAs<TextControl>(Pos().windowPlayerStats, i); }
GuiControl* Detail(int i) { return g_bound.GroupControl(Pos().groupTrophyDetail, i); }
TextControl* DetailText(int i) { return g_bound.GroupAs<TextControl>(Pos().groupTrophyDetail, i); }

bool Is(const char* argument, const char* word) { return argument && std::strcmp(argument, word) == 0; }

// Entry 0 is the radio button itself, entry k its k-th fellow member.
void SelectRadioEntry(GuiControl* control, int entry) {
    RadioButtonControl* radio = dynamic_cast<RadioButtonControl*>(control);
    if (!radio) return;
    if (entry == 0) {
        radio->Select(true);
    } else if (entry > 0 && (unsigned)entry <= radio->members.Count()) {
        RadioButtonControl** member = radio->members.At((unsigned)entry - 1);
        if (member && *member) (*member)->Select(true);
    }
}

void SetBlock(TextControl* text, const TextBlock* block) {
    if (text) text->SetTextBlock(const_cast<TextBlock*>(block));
}

void StopEverySound() {
    g_round.Ops().StopAllSounds();
    g_currentMusic = nullptr;
}

// Seats 2 and 3 of a road trip: the computer contestants the profile drew
// for the city, taken modulo the list so that a seat is never empty.
bool SeatRoadTripOpponents(RoundController& rc, PlayerProfile* p) {
    int count = g_gameData.profiles.GetCount(LIST_COMPUTERS);
    if (!p || count <= 0) return false;
    int city = rc.city >= 0 && rc.city < kCityCount ? rc.city : 0;
    int first = ((p->cityPick1[city] % count) + count) % count;
    int second = ((p->cityPick2[city] % count) + count) % count;
    if (second == first && count > 1) second = (first + 1) % count;
    rc.SetContestant(1, g_gameData.profiles.Get(first, LIST_COMPUTERS));
    rc.SetContestant(2, g_gameData.profiles.Get(second, LIST_COMPUTERS));
    return rc.ContestantAt(1)->profile && rc.ContestantAt(2)->profile;
}

PlayerProfile* GroupOpponent(PlayerProfile* p, int slot) {
    OpponentSlot* o = p ? p->GetOpponent(slot) : nullptr;
    return o ? o->profile : nullptr;
}

// The profile whose trophies the trophy window shows.
// Whose trophies the trophy window shows: the one the cabinet was opened for.
PlayerProfile* TrophyWindowProfile() { return g_menu.trophyProfile; }

// Trophy control n of the trophy window, when n is a trophy of the table
// and a bound control with a model holds it; else null.
TrophyControl* TrophyOfWindow(const char* argument) {
    int n = argument ? std::atoi(argument) : 0;
    if (n < 0 || n >= g_gameData.trophies.GetCount()) return nullptr;
    if (Pos().cabinetTrophy0 + n >= Pos().cabinetMarker) return nullptr;
    TrophyControl* t = g_bound.WindowAs<TrophyControl>(Pos().windowTrophyWnd, Pos().cabinetTrophy0 + n);
    return t && t->modelName ? t : nullptr;
}

void ShowTrophyTexts(const TrophyDef* def) {
    SetBlock(DetailText(Pos().trophyDetailName), def ? def->name : nullptr);
    SetBlock(DetailText(Pos().trophyDetailDescription), def ? def->message : nullptr);
}

// The statistics window's trophy detail: the won trophy's name, what it
// was won for and when.
void ShowStatsTrophyDetail(const TrophyRecord* record) {
    HideControl(Detail(Pos().trophyDetailFrameSpecial));
    ShowControl(Detail(Pos().trophyDetailFrame));
    ShowTrophyTexts(g_gameData.trophies.At(record->trophyId));
    TextControl::SetText(DetailText(Pos().trophyDetailDate), "%s", FormatDate(record->date));
    ShowControl(Detail(Pos().trophyDetailDate));
    ShowControl(Detail(Pos().trophyDetailDateLabel));
}

}  // namespace

// ---- Rules ----------------------------------------------------------------------

void LeavePausedMatch() {
    if (!g_matchPause.paused) return;
    g_matchPause.paused = 0;
    g_round.ResumeRoundGui(g_matchPause.withSounds != 0);
    g_matchPause.withSounds = 0;
}

Contestant* ShownContestant() {
    RoundController& rc = g_round;
    int shown = rc.statsShown - 1;
    if (shown < 0 || shown >= (int)rc.ranking.Count()) return nullptr;
    Contestant** slot = rc.ranking.At((unsigned)shown);
    return slot ? *slot : nullptr;
}

namespace MatchCallbacks {

// ---- Menu-side entries --------------------------------------------------------------

bool SetPlayerAndReturn(void*, const char*) {
    // The chosen entry's avatar holds the profile it shows, whichever list
    // (players or computers) the window shows; only a player can become the
    // current one, a computer entry changes nothing. Without a choice the
    // first player is taken.
    RadioButtonControl* list = g_bound.WindowAs<RadioButtonControl>(Pos().windowPlayerProfilesPopup, Pos().listEntry1);
    int selected = list ? list->GetSelected() : -1;
    PlayerProfile* chosen;
    if (selected < 0) {
        chosen = g_gameData.profiles.Get(0, LIST_HUMANS);
    } else {
        AnimationControl* avatar = dynamic_cast<AnimationControl*>(MenuGroupControl(Pos().groupProfileAvatars, selected));
        chosen = avatar && avatar->Contestant() ? avatar->Contestant() : ProfileListEntry(selected);
    }
    if (chosen && chosen->GetKind() == KIND_HUMAN && !chosen->GetAi()) g_gameData.currentProfile = chosen;
    return g_guiManager.ChangeWindow("MAIN_MENU");
}

bool OpenChooseMode(void*, const char*) {
    if (PlayerProfile* p = g_gameData.currentProfile) p->SetStat(STAT_TOUR_RUNNING, 0);
    return true;
}

bool OpenRoadTrip(void*, const char*) {
    PlayerProfile* p = g_gameData.currentProfile;
    if (!p || p->GetStat(STAT_TOUR_RUNNING) == 0) {
        SelectRadioEntry(g_bound.WindowControl(Pos().windowChooseModeWnd, Pos().chooseModeTour3), 1);
        return g_guiManager.ChangeWindow("CHOOSE_MODE_WND");
    }
    return g_guiManager.ChangeWindow("CHOOSE_ROADTRIP_WND");
}

bool OpenAloneOrAI(void*, const char*) {
    g_round.turnsPerRound = 3;
    SelectRadioEntry(g_bound.WindowControl(Pos().windowChooseTurnsWnd, Pos().chooseTurns2), 1);
    return true;
}

bool OnTurnSelect(void*, const char* argument) {
    int turns = argument ? std::atoi(argument) : 0;
    // -1 (any count below 0) is no limit; no turn at all would end every
    // round before it starts, so 0 or no number changes nothing.
    if (turns != 0) g_round.turnsPerRound = turns < 0 ? -1 : turns;
    return true;
}

bool StartGroupPlay(void*, const char*) {
    PlayerProfile* p = g_gameData.currentProfile;
    PlayerProfile* yellow = GroupOpponent(p, 1);
    PlayerProfile* blue = GroupOpponent(p, 2);
    if (!yellow || !blue) return g_guiManager.OpenWindow("PLAYERS_ERROR");
    if (yellow->GetAi() && blue->GetAi()) {
        StartGame(nullptr, "GROUP_PLAY");
        return g_guiManager.OpenScreen("ROUND_WND");
    }
    return g_guiManager.ChangeWindow("TOSSUP_INSTRUCTIONS");
}

bool OnGameStart(void*, const char*) {
    LeavePausedMatch();
    RoundController& rc = g_round;
    PlayerProfile* player = g_gameData.currentProfile;
    rc.firstPuzzle = 1;
    rc.freeSpinWedge = WEDGE_OPEN;
    if (player) rc.SetContestant(0, player);
    switch (rc.gameMode) {
    case MODE_QUICK_PLAY: rc.BeginQuickPlayMatch(); break;
    case MODE_PLAY_ALONE: rc.BeginPlayAloneMatch(); break;
    case MODE_ROAD_TRIP:
        SeatRoadTripOpponents(rc, player);
        rc.BeginRoadTripMatch();
        break;
    case MODE_GROUP_PLAY:
        rc.SetContestant(1, GroupOpponent(player, 1));
        rc.SetContestant(2, GroupOpponent(player, 2));
        rc.BeginGroupPlayMatch();
        break;
    case MODE_PUZZLE_OF_THE_DAY: rc.BeginPuzzleOfTheDayMatch(); break;
    default: break;
    }
    for (Contestant& c : rc.contestants) c.outcome = OUTCOME_PLAYING;
    rc.firstPuzzle = 0;
    rc.jackpotWinnerSeat = 0;
    rc.matchTime = 0.0f;
    return true;
}

bool NewGame(void*, const char*) {
    LeavePausedMatch();
    switch (g_round.gameMode) {
    case MODE_ROAD_TRIP:
        g_guiManager.OpenScreen("MENU");
        SelectRadioEntry(g_bound.WindowControl(Pos().windowChooseModeWnd, Pos().chooseModeTour3), 1);
        g_guiManager.OpenWindow("CHOOSE_MODE_WND");
        return false;
    case MODE_PUZZLE_OF_THE_DAY:
        g_guiManager.OpenScreen("MENU");
        g_guiManager.OpenWindow("PUZZLE_OF_THE_DAY");
        return true;
    default: return OnGameStart(nullptr, nullptr);
    }
}

bool ExitToMainMenu(void*, const char*) {
    // Whatever moment the match is left at (a wheel still turning, a letter
    // being revealed, a pop-up on its timer), nothing of it moves again:
    // stopped first, before the pause lets go of the sounds and the clock.
    g_round.StopMatch();
    LeavePausedMatch();
    g_round.paused = 1;  // held until the screen has gone
    StopEverySound();
    g_guiManager.OpenScreen("MENU");
    return true;
}

bool LoadGameData(void*, const char*) {
    g_gameData.LoadCharacters();
    return true;
}

bool StartTarrowickLogo(void*, const char*) {
    PlayPreChantCue();
    return true;
}

bool StartQVXIntro(void*, const char*) {
    PlayWheelChantCue();
    return true;
}

bool StopSounds(void*, const char*) {
    g_round.StopTimer(g_round.controls.introTimer);
    g_round.StopAllTimers();
    StopEverySound();
    return true;
}

bool NextMessage(void*, const char*) {
    if (StatusBarControl* bar = dynamic_cast<StatusBarControl*>(g_round.controls.statusBar))
        bar->NextMessage();
    else if (g_gameStatusBar)
        g_gameStatusBar->NextMessage();
    return true;
}

// ---- Pause -------------------------------------------------------------------------------

bool PauseGame(void*, const char* argument) {
    if (g_matchPause.paused) return false;
    bool withSounds = Is(argument, "WITH_SOUNDS");
    g_matchPause.paused = 1;
    g_matchPause.withSounds = withSounds ? 1 : 0;
    g_round.PauseRoundGui(withSounds);
    return true;
}

bool ResumeGame(void*, const char* argument) {
    if (!g_matchPause.paused) return false;
    // What the pause held is let go, whatever the resume asks for: sounds
    // and clock paused with the match must not stay paused after it.
    bool withSounds = Is(argument, "WITH_SOUNDS") || g_matchPause.withSounds;
    g_matchPause.paused = 0;
    g_matchPause.withSounds = 0;
    g_round.ResumeRoundGui(withSounds);
    return true;
}

// ---- End of match and statistics ------------------------------------------------------------

bool WrapUpStats(void*, const char*) {
    g_round.EndMatch();
    return true;
}

bool InitPlayerStats(void*, const char*) {
    RoundController& rc = g_round;
    if (rc.statsShown < (int)rc.ranking.Count()) ++rc.statsShown;
    Contestant* who = ShownContestant();
    if (!who) return true;
    PlayerProfile* p = who->profile;
    bool human = !who->IsComputer();

    if (GuiControl* avatar = Stats(Pos().statsAvatar)) {
        rc.Ops().BindAvatar(avatar, p);
        rc.Ops().PlayAvatarAnimation(avatar, kAvatarAnimations[1], true);
    }
    TextControl::SetText(StatsText(Pos().statsName), "%s", who->Name());
    TextControl::SetText(StatsText(Pos().statsMoney), "$%s", FormatMoney(who->matchTotal));
    int seconds = (int)rc.matchTime;
    TextControl::SetText(StatsText(Pos().statsTime), "%02i:%02i", seconds / 60, seconds % 60);
    TextControl::SetText(StatsText(Pos().statsRounds), "%i", who->roundsWon);
    ShowControl(Stats(Pos().statsRoundsFrame));
    TextControl::SetText(StatsText(Pos().statsRoadTrip), "%s", "");
    HideControl(Stats(Pos().statsRoadTripFrame));
    HideControl(Stats(Pos().statsRoadTrip));
    TextControl::SetText(StatsText(Pos().statsWinnings), "%s", "");
    HideControl(Stats(Pos().statsWinningsFrame));
    HideControl(Stats(Pos().statsWinnings));

    if (rc.gameMode == MODE_ROAD_TRIP && human && p) {
        TextControl::SetText(StatsText(Pos().statsRoadTrip), "%i %s %i", p->currentLeg, HostText("OF"),
                             p->GetTourLength());
        ShowControl(Stats(Pos().statsRoadTripFrame));
        ShowControl(Stats(Pos().statsRoadTrip));
    }
    if (rc.gameMode == MODE_PUZZLE_OF_THE_DAY) {
        TextControl::SetText(StatsText(Pos().statsRounds), "%s", "");
        HideControl(Stats(Pos().statsRoundsFrame));
    }
    if (human && p && rc.gameMode != MODE_PUZZLE_OF_THE_DAY) {
        int winnings = p->GetStat(STAT_MONEY_WON);
        if (who->outcome == OUTCOME_TIEBREAK || who->outcome == OUTCOME_BONUS) winnings += who->matchTotal;
        TextControl::SetText(StatsText(Pos().statsWinnings), "$%s", FormatMoney(winnings));
        ShowControl(Stats(Pos().statsWinningsFrame));
        ShowControl(Stats(Pos().statsWinnings));
    }
    static const char* const kOutcomes[] = {"", "LOST_THE_GAME", "ADVANCE_TO_TIEBREAK", "ADVANCE_TO_BONUS",
                                            "WON_THE_GAME"};
    int outcome = who->outcome >= OUTCOME_PLAYING && who->outcome <= OUTCOME_FINISHED ? who->outcome : 0;
    TextControl::SetText(StatsText(Pos().statsOutcome), "%s", outcome ? HostText(kOutcomes[outcome]) : "");

    for (int i = 0; i < 3; ++i) HideControl(Stats(Pos().statsSeatBanner1 + i));
    if (who->seat >= 1 && who->seat <= 3) ShowControl(Stats(Pos().statsAvatar + who->seat));
    HideControl(Stats(Pos().statsNewGame));
    HideControl(Stats(Pos().statsMainMenu));
    ShowControl(Stats(Pos().statsContinue));
    bool last = rc.statsShown >= (int)rc.ranking.Count();
    bool tourGoesOn = rc.gameMode == MODE_ROAD_TRIP && g_gameData.currentProfile &&
                      g_gameData.currentProfile->GetStat(STAT_TOUR_RUNNING) != 0;
    if (last && rc.state == STATE_END_OF_MATCH && !tourGoesOn) {
        ShowControl(Stats(Pos().statsNewGame));
        ShowControl(Stats(Pos().statsMainMenu));
        HideControl(Stats(Pos().statsContinue));
    }

    // The trophy controls, "previous" up to the marker: the trophies this
    // match won (its end listed them), not every trophy the player holds.
    const int firstTrophyControl = Pos().statsPrevious < 0 ? Pos().statsMarker + 1 : Pos().statsPrevious;
    if (!p || !human || p->GetNewAwardCount() == 0) {
        for (int i = firstTrophyControl; i <= Pos().statsMarker; ++i) HideControl(Stats(i));
    } else {
        for (int i = firstTrophyControl; i <= Pos().statsMarker; ++i) ShowControl(Stats(i));
        GuiControl* marker = Stats(Pos().statsMarker);
        GuiControl* trophy = Stats(Pos().statsTrophy);
        if (marker && trophy) marker->SetPosition(trophy->position.x, trophy->position.y, trophy->position.z);
        PlayerStatsChangeTrophy(nullptr, "0");
        HideControl(marker);
    }
    return true;
}

bool PlayerStatsChangeTrophy(void* sender, const char* argument) {
    Contestant* who = ShownContestant();
    PlayerProfile* p = who ? who->profile : nullptr;
    if (!p) return true;
    int n = argument ? std::atoi(argument) : 0;
    int index = sender ? g_statsTrophyIndex - n : n;
    int count = (int)p->GetNewAwardCount();
    // Only a trophy this match won, with a definition, can be shown.
    TrophyRecord* record = index >= 0 && index < count ? p->GetNewAward((unsigned)index) : nullptr;
    const TrophyDef* def = record ? g_gameData.trophies.At(record->trophyId) : nullptr;
    if (!def) return true;
    g_statsTrophyIndex = index;
    if (TrophyControl* model = g_bound.WindowAs<TrophyControl>(Pos().windowPlayerStats, Pos().statsTrophy)) {
        // The window's trophy has no model until one is chosen here: build
        // it now (a model shown before is given back first).
        model->ReleaseVisuals();
        SetString(model->modelName, def->modelId);
        model->BuildVisuals();
        // A trophy of the results is won: its won look, never the cabinet's
        // "not won" one (which shows nothing).
        model->mode = 0;
        model->SetState(GUI_STATE_IDLE);
    }
    ShowStatsTrophyDetail(record);
    if (index > 0)
        ShowControl(Stats(Pos().statsPrevious));
    else
        HideControl(Stats(Pos().statsPrevious));
    if (index >= count - 1)
        HideControl(Stats(Pos().statsNext));
    else
        ShowControl(Stats(Pos().statsNext));
    return true;
}

bool PlayerStatsHoverTrophy(void*, const char*) {
    Contestant* who = ShownContestant();
    PlayerProfile* p = who ? who->profile : nullptr;
    TrophyRecord* record = p && g_statsTrophyIndex >= 0 ? p->GetNewAward((unsigned)g_statsTrophyIndex) : nullptr;
    if (!record || g_statsTrophyIndex < 0) return true;
    ShowControl(Stats(Pos().statsMarker));
    ShowStatsTrophyDetail(record);
    return true;
}

bool PlayerStatsEndHoverTrophy(void*, const char*) {
    HideControl(Stats(Pos().statsMarker));
    return true;
}

bool ShowNextPlayer(void*, const char*) {
    RoundController& rc = g_round;
    if (rc.statsShown < (int)rc.ranking.Count()) return g_guiManager.OpenWindow("PLAYER_STATS");
    bool matchOver = rc.state == STATE_END_OF_MATCH;
    PlayerProfile* p = g_gameData.currentProfile;
    if (matchOver && rc.gameMode == MODE_ROAD_TRIP && p && p->GetStat(STAT_TOUR_RUNNING) != 0) {
        StopEverySound();
        g_guiManager.OpenScreen("MENU");
        GotoRoadTrip(nullptr, nullptr);
        return g_guiManager.OpenWindow("ROAD_TRIP_WND");
    }
    // The match is over: there is no further round to set up. Only the
    // Enter key of the last statistics gets here (their Continue is not
    // offered): they stay open until New Game or Main Menu is chosen,
    // rather than leave the player on a finished match.
    if (matchOver) return g_guiManager.OpenWindow("PLAYER_STATS");
    if (rc.FindTieForLead() != 0)
        rc.SetupTiebreak();
    else
        rc.SetupBonusRound();
    return true;
}

// ---- Trophy window -------------------------------------------------------------------------------

bool SelectTrophy(void*, const char* argument) {
    TrophyControl* trophy = TrophyOfWindow(argument);
    if (!trophy) return true;
    int n = argument ? std::atoi(argument) : 0;
    bool low = n < 30;
    ShowControl(Detail(low ? Pos().trophyDetailFrame : Pos().trophyDetailFrameSpecial));
    HideControl(Detail(low ? Pos().trophyDetailFrameSpecial : Pos().trophyDetailFrame));
    GuiControl* marker = g_bound.WindowControl(Pos().windowTrophyWnd, Pos().cabinetMarker);
    if (marker) {
        Vector3 at = trophy->PlacedPosition();
        marker->SetPosition(at.x - marker->offset.x, at.y - marker->offset.y, at.z - marker->offset.z);
    }
    ShowTrophyTexts(g_gameData.trophies.At(n));
    PlayerProfile* p = TrophyWindowProfile();
    TrophyRecord* won = p ? p->FindTrophy(n) : nullptr;
    if (won) {
        g_round.PlayCue("UI_MENU_TRPHY_WON_ON");
        TextControl::SetText(DetailText(Pos().trophyDetailDate), "%s", FormatDate(won->date));
        ShowControl(Detail(Pos().trophyDetailDate));
        ShowControl(Detail(Pos().trophyDetailDateLabel));
    } else {
        g_round.PlayCue("UI_MENU_TRPHY_UNWON_ON");
        HideControl(Detail(Pos().trophyDetailDate));
        HideControl(Detail(Pos().trophyDetailDateLabel));
    }
    ShowControl(marker);
    return true;
}

bool SetTrohyIdle(void*, const char* argument) {
    if (TrophyOfWindow(argument)) HideControl(g_bound.WindowControl(Pos().windowTrophyWnd, Pos().cabinetMarker));
    return true;
}

}  // namespace MatchCallbacks
