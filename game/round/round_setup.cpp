// The match-level half of the round controller: starting a match in each
// game mode, setting up each round with its puzzle, going from round to
// round, deciding at the end who goes on and who has lost, and adding the
// match to the human contestants' statistics.
#include <cstdlib>
#include <cstring>

#include "controls_text.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"
#include "trophies.h"

// ---- Puzzles -------------------------------------------------------------------

void RoundController::ClearLetters() {
    for (int i = 0; i < kLetterCount; ++i) {
        LetterRecord& r = letters[i];
        r.letter = (unsigned char)('A' + i);
        r.isVowel = IsVowel((char)r.letter) ? 1 : 0;
        r.called = 0;
        r.occurs = 0;
    }
}

void RoundController::StartPuzzle() {
    paused = 0;
    for (GuiControl* c : controls.puzzleControls) HideControl(c);
    screenSets->ShowPuzzleControls(*this);
    FillBoard();
    ClearLetters();
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c) {
            char ch = puzzle.grid[r][c];
            if (IsPuzzleLetter(ch)) letters[ch - 'A'].occurs = 1;
        }
    for (Contestant& c : contestants) {
        c.tenThousandToken = 0;
        c.mysteryToken = 0;
        c.roundMoney = 0;
    }
    roundPaid = 0;
    solveLocked = 0;
    if (firstPuzzle) {
        PlayCue("WHEEL_CHANT", CUE_MUSIC);
        StartTimer(controls.introTimer);
    } else {
        StartRound();
    }
}

void RoundController::StartRound() {
    static const char* const kIntros[] = {"START_TOSSUP1000",   "START_TOSSUP2000",   "START_ROUND1",
                                          "START_JACKPOTROUND", "START_MISTERYROUND", "START_BONUSROUND",
                                          "START_TIEBREAK"};
    if (roundType >= 0 && roundType <= ROUND_TIEBREAK) OpenWindow(kIntros[roundType]);
    PlayRoundIntroCue();
}

// ---- Rounds --------------------------------------------------------------------

bool RoundController::SetupRound() {
    roundPaid = 0;
    roundAdvanced = 0;
    matchEnded = 0;
    bonusSolveTimer = 0;
    SetStateDirect(STATE_START_OF_TURN);
    turnsLeft = turnsPerRound;
    TextControl::SetText(controls.turnCounter, "%d", turnsLeft);
    ShowControl(controls.turnCounter);
    for (int i = 0; i < kSeats; ++i) {
        HideControl(controls.bankruptOverlays[i]);
        HideControl(controls.loseTurnOverlays[i]);
    }
    // Every round offers its free spin again.
    freeSpinWedge = WEDGE_OPEN;
    spinRequested = 0;
    wheelStopped = 0;

    const char* label = nullptr;
    PlayerProfile* first = contestants[0].profile;
    if (gameMode == MODE_PUZZLE_OF_THE_DAY) {
        int day = potdYear * kCalendarDaysPerYear + potdDay - 1;
        if (first && potdDay >= 1 && potdDay <= kCalendarDaysPerYear && day >= 0 && day < kCalendarDays)
            label = first->calendar[day].text1;
    } else {
        label = puzzle.ChooseNext(first ? first->usedPuzzles : nullptr, gameMode, city, roundType);
    }
    if (!label || !puzzle.Load(label)) {
        // Reported, and the board left empty: the last puzzle must not be
        // played again as if it were this one.
        SetError("Puzzle \"%s\" could not be loaded", label ? label : "");
        puzzle.Clear();
        std::memset(puzzle.grid, '%', sizeof(puzzle.grid));
        StopAllTimers();
        FillBoard();
        ClearLetters();
        SetInputPhase(PHASE_ALL_OFF);
        return false;
    }
    error[0] = '\0';
    StopAllTimers();
    StartPuzzle();

    if (controls.powerMeter) controls.powerMeter->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    if (controls.bonusPowerMeter) controls.bonusPowerMeter->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    powerMeter = roundType == ROUND_BONUS ? controls.bonusPowerMeter : controls.powerMeter;
    reactions->AssignAvatars(*this);
    SetInputPhase(PHASE_ALL_OFF);
    for (int i = 0; i < kSeats; ++i) {
        reactionSeat[i] = -1;
        contestants[i].tenThousandToken = 0;
        contestants[i].mysteryToken = 0;
        contestants[i].mayBuzz = 0;
    }
    StopTimer(controls.tossupRevealTimer);
    HideJackpotDisplays();
    for (int i = 0; i < kSeats; ++i) {
        TextControl::SetText(controls.podiumScores[i], "%s", "");
        if (i == 0 || IsThreePlayerMode())
            ShowControl(controls.podiumScores[i]);
        else
            HideControl(controls.podiumScores[i]);
    }
    for (GuiControl* picture : controls.podiumPictures) ops->SetPictureMode(picture, PICTURE_INACTIVE);
    ShowControl(controls.wheel);
    for (GuiControl* c : controls.wheelControls) ShowControl(c);
    HideControl(controls.bonusWheel);
    for (int i = 0; i < kSeats; ++i) {
        HideControl(controls.tenThousandMarkers[i]);
        HideControl(controls.mysteryMarkers[i]);
        HideControl(controls.freeSpinMarkers[i]);
    }
    for (int i = 0; i < kSeats; ++i) {
        HideControl(controls.tenThousandDown[i]);
        HideControl(controls.mysteryCards[i]);
        HideControl(controls.mysteryWinDown[i]);
        HideControl(controls.mysteryBankruptCards[i]);
    }
    HideControl(controls.bonusPrizeDisplay);
    // The mystery round shows its two wedge faces again; every other round
    // plays the wheel's own values under them.
    for (GuiControl* face : controls.mysteryWedgeFaces) HideControl(face);
    for (GuiControl* ask : controls.jackpotAsk) HideControl(ask);
    TextControl::SetText(controls.category, "%s", "");
    for (int i = 0; i < kSeats; ++i) TextControl::SetText(controls.podiumNames[i], "%s", contestants[i].Name());
    for (GuiControl* c : controls.solveEntry) HideControl(c);
    TextControl::SetText(controls.solveText, "%s", "");
    return true;
}

// The toss-ups and the tiebreak differ only in their worth and line.
static bool SetupTossupKind(RoundController& rc, int type, int worth, const char* line) {
    rc.roundType = type;
    if (!rc.SetupRound()) return false;
    rc.ShowRoundSet(type);
    // Nobody has the turn until a buzz: neither the markers nor the score
    // line name a seat (the one of the last round or match would stand).
    rc.ShowSeatMarker(0);
    rc.ShowPlayerScore(0);
    rc.wedgeValue = worth;
    TextControl::SetText(rc.controls.turnCounter, "%s", "");
    HideControl(rc.controls.turnCounter);
    rc.ShowEventMessage(HostMessage::Prompt(line));
    return true;
}

bool RoundController::SetupTossup1000() {
    if (!SetupTossupKind(*this, ROUND_TOSSUP_1000, 1000, "MSG_PLAY_TOSSUP1000")) return false;
    reactions->RoundStart(*this);
    return true;
}

bool RoundController::SetupTossup2000() {
    if (!SetupTossupKind(*this, ROUND_TOSSUP_2000, 2000, "MSG_PLAY_TOSSUP2000")) return false;
    reactions->RoundStart(*this);
    return true;
}

bool RoundController::SetupTiebreak() {
    if (!SetupTossupKind(*this, ROUND_TIEBREAK, 1000, "MSG_PLAY_TIEBREAK")) return false;
    for (Contestant& c : contestants)
        if (c.IsPresent() && c.outcome == OUTCOME_LOST) {
            ops->BindAvatar(c.avatar, nullptr);
            c.avatar = nullptr;
        }
    reactions->RoundStart(*this);
    return true;
}

// In a three-player match the main rounds open in turn, seat after seat.
static void NextOpener(RoundController& rc) {
    int start = rc.opener ? rc.opener->seat % RoundController::kSeats : 0;
    for (int k = 0; k < RoundController::kSeats; ++k) {
        Contestant* c = rc.ContestantAt((start + k) % RoundController::kSeats);
        if (c->IsPresent()) {
            rc.opener = rc.current = c;
            return;
        }
    }
}

static void HideTurnCounter(RoundController& rc) {
    TextControl::SetText(rc.controls.turnCounter, "%s", "");
    HideControl(rc.controls.turnCounter);
}

bool RoundController::SetupRound1() {
    roundType = ROUND_ONE;
    if (!SetupRound()) return false;
    tenThousandWedge = WEDGE_OPEN;
    jackpotState = WEDGE_OPEN;
    if (IsThreePlayerMode()) {
        current = FindLeader();
        HideTurnCounter(*this);
        opener = current;
    }
    ShowPlayerScore(CurrentSeat());
    ShowSeatMarker(CurrentSeat());
    ShowRoundSet(ROUND_ONE);
    ShowEventMessage(HostMessage::Prompt("MSG_PLAY_ROUND_1"));
    reactions->RoundStart(*this);
    return true;
}

bool RoundController::SetupJackpotRound() {
    roundType = ROUND_JACKPOT;
    if (!SetupRound()) return false;
    jackpotState = WEDGE_OPEN;
    tenThousandWedge = WEDGE_OPEN;
    if (IsThreePlayerMode()) {
        NextOpener(*this);
        HideTurnCounter(*this);
    }
    if (current && current->freeSpinToken && CurrentSeat() >= 1)
        ShowControl(controls.freeSpinMarkers[CurrentSeat() - 1]);
    jackpotAmount = kJackpotStart;
    ShowJackpotAmount();
    for (TextControl* display : controls.jackpotDisplays) ShowControl(display);
    ShowPlayerScore(CurrentSeat());
    ShowSeatMarker(CurrentSeat());
    ShowRoundSet(ROUND_JACKPOT);
    ShowEventMessage(HostMessage::Prompt("MSG_PLAY_JACKPOT"));
    reactions->RoundStart(*this);
    return true;
}

bool RoundController::SetupMysteryRound() {
    roundType = ROUND_MYSTERY;
    if (!SetupRound()) return false;
    mysteryRevealed = 0;
    mysteryOutcome = MYSTERY_NONE;
    jackpotState = WEDGE_OPEN;
    for (GuiControl* c : controls.mysteryWedgeFaces) ShowControl(c);
    if (IsThreePlayerMode()) {
        NextOpener(*this);
        HideTurnCounter(*this);
    }
    if (current && current->freeSpinToken && CurrentSeat() >= 1)
        ShowControl(controls.freeSpinMarkers[CurrentSeat() - 1]);
    ShowPlayerScore(CurrentSeat());
    ShowSeatMarker(CurrentSeat());
    ShowRoundSet(ROUND_MYSTERY);
    ShowEventMessage(HostMessage::Prompt("MSG_PLAY_MYSTERY"));
    reactions->RoundStart(*this);
    return true;
}

bool RoundController::SetupBonusRound() {
    roundType = ROUND_BONUS;
    // The contestant who goes on to it, else the leader on match total.
    current = nullptr;
    for (Contestant& c : contestants)
        if (c.IsPresent() && c.outcome == OUTCOME_BONUS && !current) current = &c;
    if (!current) current = FindLeader();
    if (!SetupRound()) return false;
    freeSpinWedge = WEDGE_OPEN;
    bonusCount = 3;
    std::memset(bonusQueue, 0, sizeof(bonusQueue));
    for (TextControl* score : controls.podiumScores) HideControl(score);
    HideControl(controls.wheelControls[0]);
    if (current) current->freeSpinToken = 0;
    HideTurnCounter(*this);
    HideControl(controls.wheel);
    for (GuiControl* c : controls.wheelControls) HideControl(c);
    ShowControl(controls.bonusWheel);
    DisableControl(controls.bonusWheel);
    ShowPlayerScore(CurrentSeat());
    ShowEventMessage(HostMessage::Prompt("MSG_PLAY_BONUSROUND"));
    reactions->RoundStart(*this);
    return true;
}

// ---- Match starts ----------------------------------------------------------------

void RoundController::BindAvatar(int avatarIndex, Contestant* who) {
    GuiControl* avatar = controls.avatars[avatarIndex];
    ops->BindAvatar(avatar, who ? who->profile : nullptr);
    if (who) who->avatar = avatar;
}

// A fresh match for every contestant on its seat.
static void ResetForMatch(RoundController& rc) {
    for (int i = 0; i < RoundController::kSeats; ++i) {
        Contestant* c = rc.ContestantAt(i);
        PlayerProfile* profile = c->profile;
        rc.SetContestant(i, profile);
    }
    rc.ranking.Clear();
    rc.freeSpinWedge = WEDGE_OPEN;
    rc.tenThousandWedge = WEDGE_OPEN;
    rc.jackpotState = WEDGE_OPEN;
    rc.mysteryOutcome = MYSTERY_NONE;
    rc.mysteryRevealed = 0;
    rc.jackpotWinnerSeat = 0;
    rc.matchEnded = 0;
}

static bool BeginSolo(RoundController& rc, int mode) {
    rc.gameMode = mode;
    if (!rc.ContestantAt(0)->profile) rc.SetContestant(0, g_gameData.currentProfile);
    if (!rc.ContestantAt(0)->profile) {
        rc.SetError("No contestant to play");
        return false;
    }
    rc.SetContestant(1, nullptr);
    rc.SetContestant(2, nullptr);
    ResetForMatch(rc);
    rc.contestantCount = 1;
    rc.current = rc.opener = rc.ContestantAt(0);
    rc.BindAvatar(0, rc.current);
    rc.BindAvatar(1, nullptr);
    rc.BindAvatar(2, nullptr);
    return true;
}

bool RoundController::BeginQuickPlayMatch() {
    if (!BeginSolo(*this, MODE_QUICK_PLAY)) return false;
    turnsPerRound = 5;
    return SetupRound1();
}

bool RoundController::BeginPlayAloneMatch() {
    if (!BeginSolo(*this, MODE_PLAY_ALONE)) return false;
    return SetupRound1();
}

bool RoundController::BeginPuzzleOfTheDayMatch() {
    if (!BeginSolo(*this, MODE_PUZZLE_OF_THE_DAY)) return false;
    turnsPerRound = 5;
    return SetupRound1();
}

static bool BeginTrio(RoundController& rc, int mode) {
    rc.gameMode = mode;
    if (!rc.ContestantAt(0)->profile) rc.SetContestant(0, g_gameData.currentProfile);
    for (int i = 0; i < RoundController::kSeats; ++i)
        if (!rc.ContestantAt(i)->profile) {
            rc.SetError("Seat %d has no contestant", i + 1);
            return false;
        }
    ResetForMatch(rc);
    rc.contestantCount = 3;
    rc.current = rc.opener = rc.ContestantAt(0);
    rc.turnsPerRound = -1;
    for (int i = 0; i < RoundController::kSeats; ++i) rc.BindAvatar(i, rc.ContestantAt(i));
    return rc.SetupTossup1000();
}

bool RoundController::BeginRoadTripMatch() { return BeginTrio(*this, MODE_ROAD_TRIP); }
bool RoundController::BeginGroupPlayMatch() { return BeginTrio(*this, MODE_GROUP_PLAY); }

// ---- From round to round -----------------------------------------------------------

void RoundController::GoToNextRound() {
    // The round-end timer and the end of the solution both lead here: a
    // round moves on once, and only once it is over (a late second call
    // must not skip the round that the first one set up).
    if (roundAdvanced || (state != STATE_ROUND_LOST && state != STATE_ROUND_WON)) return;
    roundAdvanced = 1;
    if (turnsLeft == 0 || gameMode == MODE_PUZZLE_OF_THE_DAY) {
        EndMatch();
        return;
    }
    switch (roundType) {
    case ROUND_TOSSUP_1000: SetupTossup2000(); break;
    case ROUND_TOSSUP_2000: SetupRound1(); break;
    case ROUND_ONE: SetupJackpotRound(); break;
    case ROUND_JACKPOT: SetupMysteryRound(); break;
    case ROUND_MYSTERY: EndMatch(); break;
    case ROUND_BONUS:
        if (state == STATE_ROUND_LOST)
            ShowEventMessage(HostMessage::Prompt("MSG_LOST_ROUND_BONUS"));
        else if (state == STATE_ROUND_WON)
            ChangeMoney(wedgeValue, '+');
        OpenWindow("BONUS_SHOW_MONEY");
        break;
    case ROUND_TIEBREAK:
        if (FindTieForLead() != 0)
            SetupTiebreak();
        else
            EndMatch();
        break;
    default: break;
    }
}

// ---- The end of a match ---------------------------------------------------------------

// Highest total first; equal totals by name.
static bool RanksBefore(const Contestant* a, const Contestant* b) {
    if (a->matchTotal != b->matchTotal) return a->matchTotal > b->matchTotal;
    return std::strcmp(a->Name(), b->Name()) < 0;
}

void RoundController::EndMatch() {
    if (matchEnded) return;
    matchEnded = 1;

    // A new list each time, shown from its first player again: a tiebreak
    // or bonus round ends the match again.
    ranking.Clear();
    statsShown = 0;
    Contestant* ranked[kSeats];
    int count = 0;
    for (Contestant& c : contestants) {
        if (!c.IsPresent() || c.outcome == OUTCOME_LOST) continue;
        int at = count++;
        while (at > 0 && RanksBefore(&c, ranked[at - 1])) {
            ranked[at] = ranked[at - 1];
            --at;
        }
        ranked[at] = &c;
    }
    for (int i = 0; i < count; ++i) ranking.Append(ranked[i]);

    Contestant* leader = FindLeader();
    int leaderTotal = leader ? leader->matchTotal : 0;
    bool matchDecided = roundType == ROUND_BONUS || gameMode == MODE_PUZZLE_OF_THE_DAY;
    int tie = FindTieForLead();
    auto isWinner = [&](const Contestant* c) { return turnsLeft != 0 && c->matchTotal >= leaderTotal; };
    bool humanGoesOn = false;
    if (!matchDecided)
        for (int i = 0; i < count; ++i) humanGoesOn |= isWinner(ranked[i]) && !ranked[i]->IsComputer();

    for (int i = count - 1; i >= 0; --i) {
        Contestant* c = ranked[i];
        if (!isWinner(c))
            c->outcome = OUTCOME_LOST;
        else if (matchDecided)
            c->outcome = OUTCOME_FINISHED;
        else if (!c->IsComputer())
            c->outcome = tie ? OUTCOME_TIEBREAK : OUTCOME_BONUS;
        else
            // A computer level with a human leader plays the tiebreak too;
            // a computer that leads with no human beside it has won.
            c->outcome = tie && humanGoesOn ? OUTCOME_TIEBREAK : OUTCOME_FINISHED;
        UpdateProfileStats(c);
    }

    if (humanGoesOn) {
        OpenWindow("PLAYER_STATS");
        return;
    }
    StopTimer(controls.turnTimer);
    SetStateDirect(STATE_END_OF_MATCH);
    ops->SaveGame();
    SoundInstance* outro = ops->PlayCue("GAME_OUTRO_LEADUP", CUE_SOUND, false);
    ops->WatchSound(controls.outroTrigger, outro);
    OpenWindow("PLAYER_STATS");
}

void RoundController::UpdateProfileStats(Contestant* who) {
    if (!who || !who->profile || who->IsComputer()) return;
    PlayerProfile* p = who->profile;
    p->ClearNewAwards();
    if (who->outcome == OUTCOME_TIEBREAK || who->outcome == OUTCOME_BONUS) return;

    int day = potdYear * kCalendarDaysPerYear + potdDay - 1;
    CalendarDay* calendarDay = potdDay >= 1 && potdDay <= kCalendarDaysPerYear && day >= 0 && day < kCalendarDays
                                   ? &p->calendar[day]
                                   : nullptr;
    int cityIndex = city >= 0 && city < kCityCount ? city : -1;

    if (who->outcome == OUTCOME_FINISHED) {
        p->AddStat(STAT_MATCHES_WON, 1);
        switch (gameMode) {
        case MODE_QUICK_PLAY:
        case MODE_PLAY_ALONE: p->AddStat(STAT_SOLO_WINS, 1); break;
        case MODE_ROAD_TRIP:
            p->AddStat(STAT_COMPUTER_WINS, 1);
            p->AddStat(STAT_TOUR_WINS, 1);
            if (cityIndex >= 0) p->cityStats[cityIndex][3] += 1;
            break;
        case MODE_GROUP_PLAY: {
            bool againstComputer = false;
            for (Contestant& c : contestants) againstComputer |= c.IsPresent() && c.IsComputer();
            if (againstComputer) p->AddStat(STAT_COMPUTER_WINS, 1);
            break;
        }
        case MODE_PUZZLE_OF_THE_DAY:
            p->AddStat(STAT_PUZZLES_OF_THE_DAY, 1);
            if (calendarDay) calendarDay->result = who->matchTotal;
            break;
        default: break;
        }
        if (roundType == ROUND_BONUS && state == STATE_ROUND_WON) p->AddStat(STAT_BONUS_WINS, 1);
    }

    switch (gameMode) {
    case MODE_QUICK_PLAY:
    case MODE_PLAY_ALONE: p->SetStat(STAT_MODES_PLAYED, p->GetStat(STAT_MODES_PLAYED) | 1); break;
    case MODE_ROAD_TRIP:
        p->SetStat(STAT_MODES_PLAYED, p->GetStat(STAT_MODES_PLAYED) | 4);
        if (cityIndex >= 0) {
            int* record = p->cityStats[cityIndex];
            record[0] += 1;
            record[1] += who->matchTotal;
            record[2] += who->roundsWon;
            record[4] += (int)matchTime;
        }
        ++p->currentLeg;
        if (p->GetTourLength() > 0 && p->currentLeg >= p->GetTourLength()) {
            if (p->GetStat(STAT_TOUR_WINS) == p->GetTourLength()) p->AddStat(STAT_TOURS_WON, 1);
            p->SetStat(STAT_TOUR_RUNNING, 0);
        }
        break;
    case MODE_GROUP_PLAY: p->SetStat(STAT_MODES_PLAYED, p->GetStat(STAT_MODES_PLAYED) | 2); break;
    case MODE_PUZZLE_OF_THE_DAY:
        if (calendarDay) {
            if (calendarDay->result < 0) calendarDay->result = 0;
            GetToday(calendarDay->date);
        }
        break;
    default: break;
    }

    if (jackpotWinnerSeat != 0 && who->seat == jackpotWinnerSeat) p->AddStat(STAT_JACKPOTS_WON, 1);
    p->SetStat(STAT_LAST_MATCH_TOTAL, who->matchTotal);
    p->AddStat(STAT_MONEY_WON, who->matchTotal);
    p->AddStat(STAT_MINUTES_PLAYED, (int)(matchTime / 60.0f));
    CheckTrophies(g_gameData, p, gameMode, who->matchTotal);
}
