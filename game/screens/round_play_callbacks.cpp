// The match screen's callbacks of round play: the spin and the wheels'
// stops, letters, solving and buzzing in, the popups of the special wedges,
// the bonus round and the timers of the round flow. They turn presses and
// timer ends into calls on the round controller.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "autoplay.h"
#include "control_binding.h"
#include "control_wheel.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "input_state.h"
#include "match_callbacks.h"
#include "model.h"
#include "model_instance.h"
#include "round_controller.h"
#include "sound_system.h"

namespace {

// Thousands of dollars, drawn by (rand() mod 120) / 5.
const int kBonusPrizes[24] = {25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25,
                              30, 30, 35, 35, 40, 40, 45, 45, 50, 50, 75, 100};

// What one spin keeps between its callbacks.
struct SpinInProgress {
    SoundInstance* wheelSound = nullptr;  // "WHEEL_SPIN", faded out when the wheel stops
    bool zoomEnded = false;               // the zoomed wheel stopped before the main one
    bool resolved = false;                // the wedge of this spin has been read
    bool bonusStopped = false;
};
SpinInProgress g_spin;

RoundController& Rc() { return g_round; }
GameControls& Ctl() { return g_round.controls; }

int SeatIndex() {
    int seat = g_round.CurrentSeat();
    return seat >= 1 && seat <= RoundController::kSeats ? seat - 1 : -1;
}

// The control of the current seat in a per-seat triple, or null.
GuiControl* OfSeat(GuiControl* const (&triple)[3]) {
    int i = SeatIndex();
    return i >= 0 ? triple[i] : nullptr;
}

void ShowCard(GuiControl* card, int state) {
    ShowControl(card);
    SetControlState(card, state);
}

void HideGroup(GuiGroup* group) {
    if (group) group->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
}
void ShowGroup(GuiGroup* group) {
    if (group) group->ClearFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
}

void SetMysteryFaces(bool shown) {
    for (GuiControl* f : Ctl().mysteryWedgeFaces) shown ? ShowControl(f) : HideControl(f);
}

int SeatFromArgument(const char* argument) {
    if (!argument || !*argument) return 0;
    int seat = std::atoi(argument);
    return seat >= 1 && seat <= RoundController::kSeats ? seat : 0;
}

// A 0-based seat index given by a callback argument, or -1.
int SeatIndexFromArgument(const char* argument) {
    if (!argument || !*argument) return -1;
    int i = std::atoi(argument);
    return i >= 0 && i < RoundController::kSeats ? i : -1;
}

// A buzz of a seat in a toss-up or the tiebreak: only a human who may still
// buzz, never while a solve is on or the round is over. A refused solve
// (nothing hidden is left) leaves everything as it was.
bool Buzz(int seat) {
    RoundController& rc = Rc();
    Contestant* who = seat ? rc.ContestantOnSeat(seat) : nullptr;
    if (!who || !who->IsPresent() || who->IsComputer() || !who->mayBuzz) return false;
    if (!rc.IsTossupType()) return false;
    if (rc.state == STATE_SOLVE || rc.state == STATE_ROUND_LOST || rc.state == STATE_ROUND_WON) return false;
    Contestant* before = rc.current;
    who->mayBuzz = 0;
    rc.current = who;
    if (!rc.SetState(STATE_SOLVE)) {
        if (rc.state == STATE_SOLVE) {  // nothing was handled: as it was
            who->mayBuzz = 1;
            rc.current = before;
        }
        return false;
    }
    rc.ShowPlayerScore(seat);
    rc.ShowSeatMarker(seat);
    return true;
}

// The wedge read off the zoomed wheel at rest; the main wheel is brought to
// rest in the same picture, turned back by the seat's angle.
void ResolveZoomedWheel() {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    if (g_spin.resolved) return;
    g_spin.resolved = true;
    NewSpinControl* zoom = dynamic_cast<NewSpinControl*>(c.zoomWheel);
    NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(c.wheel);
    float seatAngle = SeatAngle(rc.CurrentSeat());
    float angle;
    if (zoom) {
        zoom->remaining = 0.0f;
        angle = zoom->SignedAngle();
    } else {
        angle = (wheel ? wheel->SignedAngle() : 0.0f) + seatAngle;
    }
    if (wheel) {
        wheel->remaining = 0.0f;
        wheel->TurnBy(angle - seatAngle - wheel->SignedAngle());
    }
    LandOnSector(WheelNotchAt(angle));
    rc.StartTimer(c.zoomHoldTimer);
}

}  // namespace

void LandOnSector(int sector) {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    rc.landedSector = sector;
    int wedge = sector / 3;
    const bool heldTenThousand = rc.current && rc.current->tenThousandToken;
    const bool heldMysteryWin = rc.current && rc.current->mysteryToken;
    switch (rc.roundType) {
    case ROUND_ONE: rc.SetRound1WedgeValue(wedge); break;
    case ROUND_JACKPOT: rc.SetJackpotWedgeValue(wedge); break;
    case ROUND_MYSTERY: rc.SetMysteryWedgeValue(wedge); break;
    default: break;
    }
    // A $10,000 card lost to the bankrupt stays up until its sound has
    // played, then drops into the podium.
    GuiControl* lostCard = nullptr;
    GuiControl* lostCue = nullptr;
    const int seat = SeatIndex();
    if (seat >= 0 && rc.current) {
        if (heldTenThousand && !rc.current->tenThousandToken) {
            lostCard = c.tenThousandMarkers[seat];
            lostCue = c.tenThousandDownCues[seat];
        } else if (heldMysteryWin && !rc.current->mysteryToken) {
            lostCard = c.mysteryMarkers[seat];
            lostCue = c.mysteryWinDownCues[seat];
        }
    }
    switch (rc.wedgeValue) {
    case WEDGE_MYSTERY_PRIZE:
    case WEDGE_MYSTERY_BANKRUPT:
        // The seat's mystery card comes up with the cheer and goes when the
        // cheer and its display time are over.
        ShowCard(OfSeat(c.mysteryCards), 1);
        rc.Ops().WatchSound(c.mysteryOpenCue, PlayClapCheerCue());
        break;
    case WEDGE_JACKPOT: PlayClapCheer(); break;
    case WEDGE_FREE_SPIN: break;
    case WEDGE_LOSE_A_TURN: PlaySmallDisappointment(); break;
    case WEDGE_BANKRUPT: {
        SoundInstance* bankrupt = rc.PlayCue("LAND_ON_BANKRUPT");
        if (lostCard && lostCue) {
            ShowControl(lostCard);
            rc.Ops().WatchSound(lostCue, bankrupt);
        }
        int money = rc.current ? rc.current->roundMoney : 0;
        if (money <= 5000 || std::rand() % 100 < 50)
            PlaySmallDisappointment();
        else
            PlayLargeDisappointment();
        break;
    }
    default: rc.PlayCrowdForValue(); break;
    }
}

bool SpinPressOpen() { return !(g_round.spinRequested || g_round.state == STATE_SPIN); }

void RequestSpin(TimerControl* idleTimer, TimerControl* checkTimer) {
    RoundController& rc = Rc();
    rc.StopTimer(idleTimer);
    rc.spinRequested = 1;
    rc.SetInputPhase(PHASE_ALL_OFF);
    rc.Reactions().Spin(rc);
    rc.StartTimer(checkTimer);
}

void LaunchSpin(TimerControl* checkTimer) {
    RoundController& rc = Rc();
    g_spin = SpinInProgress();
    rc.SetState(STATE_SPIN);
    g_spin.wheelSound = rc.Ops().PlayCue("WHEEL_SPIN", CUE_SOUND, false);
    rc.PlayCue("AUD_HAPPY_4");
    rc.StopTimer(checkTimer);
}

void StopSpinSound() {
    if (g_spin.wheelSound && g_soundSystem.IsPlaying(g_spin.wheelSound)) g_spin.wheelSound->Stop();
    g_spin.wheelSound = nullptr;
}

void LeaveZoomView() {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    rc.StopTimer(c.zoomHoldTimer);
    // The studio comes back whatever happened meanwhile: the close-up never
    // stays over the screen.
    rc.wheelStopped = 0;
    for (GuiControl* v : c.boardView) ShowControl(v);
    for (GuiControl* piece : c.puzzleControls) ShowControl(piece);
    // The contestants left the stage to the close-up only.
    for (GuiControl* a : c.avatars) ShowControl(a);
    HideGroup(c.zoomView);
    rc.ScreenSets().ShowTokensAfterZoom(rc);
    g_spin = SpinInProgress();
    if (rc.state != STATE_SPIN) return;  // no spin waits for its wedge
    rc.SetState(STATE_WHEEL_STOPPED);
}

// ---- Rules ----------------------------------------------------------------------------

int BonusPrizeAt(int index) { return index >= 0 && index < 24 ? 1000 * kBonusPrizes[index] : 0; }

int DrawBonusPrize(int draw) {
    int r = draw % 120;
    if (r < 0) r += 120;
    return BonusPrizeAt(r / 5);
}

float GaugeFraction(unsigned frame, unsigned frameCount) {
    return frameCount == 0 ? 0.0f : (float)frame / (float)frameCount;
}

float SpinPowerFor(float p, int randomTerm) {
    float s = p < 0.5f ? 2.0f * p : 2.0f * (1.0f - p);
    return (float)randomTerm + (0.6f * s + 0.4f) * 1080.0f;
}

float SeatAngle(int seat) { return seat >= 1 && seat <= 3 ? 30.0f * (float)(seat - 1) : 0.0f; }

namespace MatchCallbacks {

// ---- Wheel and spin --------------------------------------------------------------------

bool ShowGauge(void*, const char*) {
    if (GuiControl* gauge = Rc().GaugeInUse()) gauge->ClearFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    return true;
}

bool HideGauge(void*, const char*) {
    if (GuiControl* gauge = Rc().GaugeInUse()) gauge->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    return true;
}

bool Spin(void*, const char*) {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    // One spin at a time: a second press while the first is on its way
    // (the wheel and the button in one frame) changes nothing.
    if (!SpinPressOpen()) return true;
    // The round's gauge, the one a wheel's hover shows: the bonus gauge in
    // the bonus round.
    GuiControl* gauge = rc.GaugeInUse();
    ModelInstance* needle = gauge ? gauge->body : nullptr;
    float p = needle && needle->clip ? GaugeFraction(needle->frame, needle->clip->frameCount) : 0.0f;
    rc.spinPower = SpinPowerFor(p, std::rand() % 101 - 50);
    int wedge;
    if (rc.IsWheelRound() && NextTestWedge(&wedge)) {
        // A check asked where this spin stops: the zoomed wheel is the one read.
        NewSpinControl* zoom = dynamic_cast<NewSpinControl*>(c.zoomWheel);
        NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(c.wheel);
        float angle = zoom ? zoom->SignedAngle() : (wheel ? wheel->SignedAngle() : 0.0f) + SeatAngle(rc.CurrentSeat());
        rc.spinPower = DistanceToWedge(rc.spinPower, angle, wedge);
    }
    RequestSpin(c.idleTimer, c.spinCheckTimer);
    return true;
}

bool Round_VerifTimer(void*, const char*) {
    LaunchSpin(Ctl().spinCheckTimer);
    return true;
}

bool EndRotateWheel(void*, const char*) {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    if (rc.wheelStopped) return true;  // once a spin
    rc.wheelStopped = 1;
    if (g_spin.wheelSound && g_soundSystem.IsPlaying(g_spin.wheelSound)) g_spin.wheelSound->FadeOut();
    g_spin.wheelSound = nullptr;

    if (NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(c.wheel)) wheel->rodSound = 1;
    for (GuiControl* a : c.avatars) HideControl(a);
    for (GuiControl* v : c.boardView) HideControl(v);
    HideGroup(c.wheelDecor);

    int seat = rc.CurrentSeat();
    for (int i = 0; i < RoundController::kSeats; ++i) {
        bool mine = i == seat - 1;
        for (GuiControl* part : c.podiumHighlights[i]) mine ? ShowControl(part) : HideControl(part);
    }
    if (seat == 1) HideControl(c.wheelDecorParts[0]);
    if (seat == 3) HideControl(c.wheelDecorParts[2]);

    ShowGroup(c.zoomView);
    if (c.zoomWheel) c.zoomWheel->ClearFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    ShowControl(c.pointer);
    if (rc.current && rc.current->freeSpinToken) ShowControl(OfSeat(c.freeSpinMarkers));

    if (NewSpinControl* zoom = dynamic_cast<NewSpinControl*>(c.zoomWheel)) zoom->TurnBy(SeatAngle(seat));
    // The zoomed wheel came to its end first: its wedge is read now, from
    // the seat's side of the wheel.
    if (g_spin.zoomEnded || !dynamic_cast<NewSpinControl*>(c.zoomWheel)) ResolveZoomedWheel();
    return true;
}

bool EndRotateZoomWheel(void*, const char*) {
    if (!Rc().wheelStopped) {
        // Read once the main wheel's end has turned it to the seat.
        g_spin.zoomEnded = true;
        return true;
    }
    ResolveZoomedWheel();
    return true;
}

bool ExitZoomWheel(void*, const char*) {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    for (GuiControl* picture : c.podiumPictures) rc.Ops().SetPictureMode(picture, PICTURE_INACTIVE);
    ShowGroup(c.wheelDecor);
    if (c.zoomWheel) c.zoomWheel->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    LeaveZoomView();
    return true;
}

bool EndRotateBonusWheel(void*, const char*) {
    RoundController& rc = Rc();
    if (rc.roundType != ROUND_BONUS || g_spin.bonusStopped) return true;
    g_spin.bonusStopped = true;
    rc.wedgeValue = DrawBonusPrize(std::rand());
    rc.PlayCue("BONUS_QUESTION");
    ShowCard(Ctl().bonusPrizeDisplay, 1);
    rc.ShowEventMessage(HostEvent::CloseBar);
    return true;
}

// ---- Turn choices and letters -------------------------------------------------------------

bool OnPressBuyVowel(void*, const char*) {
    Rc().SetState(STATE_BUY_VOWEL);
    Rc().ShowEventMessage(HostMessage::Prompt("MSG_VOWEL_PICK"));
    return true;
}

bool ChoseLetter(void*, const char* argument) {
    RoundController& rc = Rc();
    char letter = argument ? (char)std::toupper((unsigned char)argument[0]) : 0;
    if (letter < 'A' || letter > 'Z') return true;
    rc.chosenLetter = letter;
    if (rc.roundType == ROUND_BONUS) rc.PlayCue(IsVowel(letter) ? "GAME_VWL_LET_SEL" : "GAME_CONS_LET_SEL");
    if (rc.state == STATE_SOLVE) {
        g_input.Set(INPUT_CHAR, letter);
        return true;
    }
    rc.letters[letter - 'A'].called = 1;
    if (rc.roundType == ROUND_BONUS) {
        rc.SetInputPhase(PHASE_BONUS_LETTER);
        return true;
    }
    if (rc.letterKeyMode == KEYS_VOWELS) rc.ChangeMoney(kVowelPrice, '-');
    rc.SetInputPhase(PHASE_LETTER_CHOSEN);
    return true;
}

// The end of a turn waits for the host: its last lines are about the turn
// that ends ("... has lost the turn") and would otherwise be read out over
// the next seat's turn. It looks again every kTurnEndLook seconds, and waits
// at most kTurnEndMostWait in all (a bar that never falls silent does not
// hold the match).
namespace {
const float kTurnEndLook = 0.1f;
const float kTurnEndMostWait = 10.0f;
float g_turnEndWaited = 0.0f;
}  // namespace

bool ChangeTurn(void*, const char*) {
    RoundController& rc = Rc();
    TimerControl* turnEnd = Ctl().endOfTurnTimer;
    if (rc.state == STATE_END_OF_TURN && turnEnd && g_turnEndWaited < kTurnEndMostWait &&
        rc.Ops().StatusBarSpeaking(Ctl().statusBar)) {
        g_turnEndWaited += kTurnEndLook;
        turnEnd->timeLeft = kTurnEndLook;
        return true;
    }
    g_turnEndWaited = 0.0f;
    rc.SetState(STATE_CHANGE_TURN);
    return true;
}

bool CheckPuzzleIsSolved(void*, const char*) {
    if (Rc().turnsLeft != 0 && Rc().IsPuzzleSolved()) Rc().SetState(STATE_ROUND_WON);
    return true;
}

bool OnChooseLetterTimerUp(void*, const char*) {
    Rc().PlayCue("TIMES_UP");
    Rc().SetState(STATE_LOSE_A_TURN);
    Rc().StopTimer(Ctl().thinkingTimer);
    return true;
}

bool LoopSound(void*, const char*) {
    Rc().PlayCue("WHEEL_THINK");
    Rc().StartTimer(Ctl().thinkingTimer);
    return true;
}

// ---- Solving and toss-ups -----------------------------------------------------------------

bool Solve(void*, const char*) {
    RoundController& rc = Rc();
    if (rc.IsTossupType()) return Buzz(1);
    if (rc.state == STATE_SOLVE || rc.state == STATE_ROUND_LOST || rc.state == STATE_ROUND_WON ||
        rc.state == STATE_END_OF_MATCH)
        return true;
    rc.SetState(STATE_SOLVE);
    return true;
}

bool OnTossupSolve(void*, const char* argument) { return Buzz(SeatFromArgument(argument)); }

bool OnTossupTimer(void*, const char*) {
    if (!Rc().RevealRandomTile()) return false;
    Rc().StartTimer(Ctl().tossupRevealTimer);
    return true;
}

bool OnDrawFullPanel(void*, const char*) {
    RoundController& rc = Rc();
    rc.PlayCue("AUD_HAPPY_4");
    rc.PlayCue("BEGIN_PUZZLE");
    rc.StartTimer(Ctl().idleTimer);
    rc.LinkBoardTiles();
    return true;
}

bool OnSolveTimerUp(void*, const char*) {
    RoundController& rc = Rc();
    if (rc.IsPuzzleSolved()) return true;
    if (rc.roundType == ROUND_BONUS) rc.bonusSolveTimer = 2;
    rc.ShowEventMessage(HostEvent::SolveTimeOut);
    rc.StopTimer(Ctl().thinkingTimer);
    rc.StartTimer(Ctl().failedSolveTimer);
    solveLocked = 1;
    return true;
}

bool OnTimerFailedSolveSolution(void*, const char*) {
    RoundController& rc = Rc();
    if (rc.state != STATE_SOLVE) return true;  // the attempt was judged already
    rc.ResumeRoundGui(false);
    rc.SetInputPhase(PHASE_ALL_OFF);
    // A computer still typing when its time ran out stops with the attempt.
    rc.SetAi(AI_TOSSUP_WATCH);
    rc.OnWrongSolve();
    return true;
}

bool EndShowSolution(void*, const char*) {
    RoundController& rc = Rc();
    if (rc.state != STATE_ROUND_WON || !rc.current) {
        rc.GoToNextRound();
        return true;
    }
    int seat = rc.CurrentSeat();
    if (rc.current->IsComputer()) {
        if (seat == 2) rc.OpenWindow("YELLOW_WIN_ROUND");
        else if (seat == 3) rc.OpenWindow("BLUE_WIN_ROUND");
        else rc.GoToNextRound();  // no window to close would move the match on
        return true;
    }
    if (rc.roundType == ROUND_JACKPOT && rc.jackpotState == WEDGE_TAKEN) {
        char amount[32];
        std::snprintf(amount, sizeof(amount), "%s", FormatMoney(rc.jackpotAmount));
        TextControl::SetText(g_bound.WindowAs<TextControl>(Pos().windowWinRoundJackpot, Pos().jackpotWinAmount), "$%s",
                             amount);
        TextControl::SetText(g_bound.WindowAs<TextControl>(Pos().windowWinRoundJackpot, Pos().jackpotWinTotal), "$%s",
                             FormatMoney(rc.current->matchTotal));
        rc.OpenWindow("WIN_ROUND_JACKPOT");
    } else if (rc.AreOpponentsComputer()) {
        rc.OpenWindow("WIN_ROUND");
    } else {
        static const char* const kSeatWindows[3] = {"RED_WIN_ROUND", "YELLOW_WIN_ROUND", "BLUE_WIN_ROUND"};
        if (seat >= 1 && seat <= 3) rc.OpenWindow(kSeatWindows[seat - 1]);
    }
    return true;
}

bool GoToNextRound(void*, const char*) {
    Rc().GoToNextRound();
    return true;
}

// ---- Free spin, jackpot and mystery popups -------------------------------------------------

// The question is asked only while the turn still waits for it: a human
// whose turn was lost still holding a free spin, the round in play.
bool OnTimerOpenFreeSpinAsk(void*, const char*) {
    RoundController& rc = Rc();
    const Contestant* who = rc.current;
    if (!who || who->IsComputer() || !who->freeSpinToken || rc.RoundOver() || rc.state == STATE_END_OF_MATCH)
        return true;
    return g_guiManager.OpenWindow("FREE_SPIN_ASK");
}

bool FreeSpinYes(void*, const char*) {
    g_guiManager.CloseWindow();
    HideControl(OfSeat(Ctl().freeSpinMarkers));
    if (Rc().current) Rc().current->freeSpinToken = 0;
    Rc().SetState(STATE_START_OF_TURN);
    return true;
}

bool FreeSpinNo(void*, const char*) {
    g_guiManager.CloseWindow();
    Rc().SetState(STATE_END_OF_TURN);
    return true;
}

bool JackpotYes(void*, const char*) {
    Rc().jackpotState = WEDGE_TAKEN;
    g_guiManager.CloseWindow();
    Rc().SetState(STATE_SOLVE);
    return true;
}

bool JackpotNo(void*, const char*) {
    Rc().HideJackpotDisplays();
    Rc().jackpotState = WEDGE_LOST;
    g_guiManager.CloseWindow();
    Rc().SetState(STATE_START_OF_TURN);
    return true;
}

bool OnOpupOnlyVowelsClose(void*, const char*) {
    RoundController& rc = Rc();
    if (rc.roundType == ROUND_JACKPOT && rc.jackpotState == WEDGE_WAITING) {
        if (rc.CurrentIsComputer())
            rc.SetAi(AI_JACKPOT_QUESTION);
        else
            rc.OpenWindow("JACKPOT_ASK");
    } else if (rc.roundType == ROUND_MYSTERY && !rc.mysteryRevealed &&
               (rc.mysteryOutcome == MYSTERY_PRIZE || rc.mysteryOutcome == MYSTERY_BANKRUPT)) {
        if (rc.CurrentIsComputer())
            rc.SetAi(AI_MYSTERY_QUESTION);
        else
            rc.OpenWindow("MISTERY_ASK");
    }
    return true;
}

bool MisteryRevealYes(void*, const char*) {
    RoundController& rc = Rc();
    GameControls& c = Ctl();
    g_guiManager.CloseWindow();
    rc.mysteryRevealed = 1;
    bool solved = rc.IsPuzzleSolved();
    if (rc.mysteryOutcome != MYSTERY_BANKRUPT) {
        if (rc.mysteryOutcome == MYSTERY_PRIZE) {
            // The card stays while the crowd cheers, then for the display time.
            rc.Ops().WatchSound(c.mysteryWinCue, PlayExcitementCue());
            if (rc.current) rc.current->mysteryToken = 1;
            ShowCard(OfSeat(c.mysteryMarkers), 1);
        }
        SetMysteryFaces(false);
        // The letter that asked the question may have completed the puzzle:
        // then the answer wins the round.
        rc.SetState(solved ? STATE_ROUND_WON : STATE_START_OF_TURN);
        return true;
    }
    // A puzzle the letter completed is won with its money: the bankrupt
    // behind the wedge comes too late to take it.
    if (solved) rc.SetState(STATE_ROUND_WON);
    rc.mysteryOutcome = MYSTERY_SPENT;
    rc.Reactions().BadOutcome(rc);  // the crowd's one disappointment comes with it
    rc.Ops().WatchSound(c.mysteryBankruptCue, rc.PlayCue("LAND_ON_BANKRUPT"));
    if (rc.turnsLeft != 0) {
        if (!solved) rc.SetState(STATE_BANKRUPT);
        ShowCard(OfSeat(c.mysteryBankruptCards), 1);
        SetMysteryFaces(false);
    }
    return true;
}

bool MisteryRevealNo(void*, const char*) {
    RoundController& rc = Rc();
    g_guiManager.CloseWindow();
    rc.ShowEventMessage(HostMessage::NamedPrompt("MSG_MYSTER_NO"));
    rc.ChangeMoney(1000 * rc.CountLetter(rc.chosenLetter), '+');
    rc.mysteryOutcome = MYSTERY_NONE;
    ShowCard(OfSeat(Ctl().mysteryCards), 2);
    SetMysteryFaces(true);
    rc.SetState(rc.IsPuzzleSolved() ? STATE_ROUND_WON : STATE_START_OF_TURN);
    return true;
}

bool HideMysteryWedge(void*, const char* argument) {
    if (argument && std::strcmp(argument, "OPEN") == 0)
        Rc().StartTimer(Ctl().mysteryTimer);
    else
        HideControl(OfSeat(Ctl().mysteryCards));
    return true;
}

bool HideMysteryBkWedge(void*, const char*) {
    RoundController& rc = Rc();
    rc.StartTimer(Ctl().mysteryTimer);
    // The bankrupt behind the wedge is charged once: the answer that
    // revealed it may have done so already.
    if (rc.mysteryOutcome == MYSTERY_SPENT) return true;
    rc.mysteryOutcome = MYSTERY_SPENT;
    rc.PlayCue("LAND_ON_BANKRUPT");
    // A won round keeps its money.
    if (!rc.IsPuzzleSolved()) rc.SetState(STATE_BANKRUPT);
    return true;
}

bool HideMysteryWinWedge(void*, const char*) {
    Rc().StartTimer(Ctl().mysteryTimer);
    return true;
}

bool OnEndTimerMystery(void*, const char*) {
    // One mystery is told at a time, and the turn may have passed on while
    // its card was shown: every seat's mystery cards go.
    GameControls& c = Ctl();
    for (int i = 0; i < RoundController::kSeats; ++i) {
        HideControl(c.mysteryCards[i]);
        HideControl(c.mysteryMarkers[i]);
        HideControl(c.mysteryWinDown[i]);
    }
    return true;
}

bool PlayMysteryWinAnims(void*, const char*) {
    Rc().Reactions().MysteryWin(Rc());
    return true;
}

bool PlayMysteryBkAnims(void*, const char*) {
    for (GuiControl* card : Ctl().mysteryBankruptCards) HideControl(card);
    return true;
}

bool PlayBk10kDownAnim(void*, const char* argument) {
    int i = SeatIndexFromArgument(argument);
    if (i < 0) return true;
    HideControl(Ctl().tenThousandMarkers[i]);
    ShowCard(Ctl().tenThousandDown[i], 1);
    return true;
}

bool PlayMystery10kDownAnim(void*, const char* argument) {
    int i = SeatIndexFromArgument(argument);
    if (i < 0) return true;
    HideControl(Ctl().mysteryMarkers[i]);
    ShowCard(Ctl().mysteryWinDown[i], 1);
    return true;
}

// ---- Bonus round -----------------------------------------------------------------------------

bool RevealBonusInitial(void*, const char*) {
    RoundController& rc = Rc();
    BoardTile* first = nullptr;
    BoardTile* last = nullptr;
    for (BoardTile* tile : Ctl().tiles) {
        if (!tile) continue;
        tile->DropLinks();
        tile->shownAtOnce = 0;
        if (!tile->letter || !std::strchr("RSTLNE", tile->letter)) continue;
        if (!first) first = tile;
        if (last) last->next = tile;
        tile->back = first;
        last = tile;
    }
    for (char c : {'R', 'S', 'T', 'L', 'N', 'E'}) rc.letters[c - 'A'].called = 1;
    if (!first)
        rc.OnLetterResult(0);
    else
        first->SetState(TILE_HIGHLIGHTING);
    return true;
}

bool ChooseBonusLetters(void*, const char*) {
    Rc().ShowEventMessage(HostMessage::Prompt("MSGH_BONUS_PICK_3CONSONTANTS"));
    Rc().SetState(STATE_PICK_CONSONANT);
    return true;
}

bool SetBonusMoney(void*, const char*) {
    RoundController& rc = Rc();
    HideControl(Ctl().bonusPrizeDisplay);
    if (rc.current && rc.current->roundMoney >= 1)
        PlayBonusWinCrowd();
    else
        PlayBonusLossCrowd();
    TextControl::SetText(g_bound.WindowAs<TextControl>(Pos().windowBonusShowMoney, Pos().bonusWinAmount), "$%s",
                         FormatMoney(rc.wedgeValue));
    return true;
}

bool ShowBonusWinMsg(void*, const char*) {
    RoundController& rc = Rc();
    // The round joins the match once; the match may already be wrapped up.
    if (!rc.current || rc.matchEnded) return true;
    rc.ShowEventMessage(HostEvent::RoundWon);
    rc.current->matchTotal += rc.current->roundMoney;
    if (rc.current->matchTotal >= 1)
        TextControl::SetText(Ctl().scoreLine, "%s: $%s", rc.current->Name(), FormatMoney(rc.current->matchTotal));
    return true;
}

// ---- Round flow timers -------------------------------------------------------------------------

bool OnTimerEndWaitForTheme(void*, const char*) {
    Rc().StartRound();
    return true;
}

bool OnTimerPlayIdleAnims(void*, const char*) {
    Rc().Reactions().Idle(Rc());
    Rc().StartTimer(Ctl().idleTimer);
    return true;
}

bool OnEndTimerShowPodiumsScore(void*, const char*) {
    RoundController& rc = Rc();
    rc.ResetPodiumOverlays();
    int seats = rc.IsThreePlayerMode() ? RoundController::kSeats : 1;
    for (int i = 0; i < seats; ++i) {
        const Contestant* c = rc.ContestantAt(i);
        int money = c ? c->roundMoney : 0;
        if (money == 0)
            TextControl::SetText(Ctl().podiumScores[i], "%s", "");
        else
            TextControl::SetText(Ctl().podiumScores[i], "$%s", FormatMoney(money));
    }
    return true;
}

}  // namespace MatchCallbacks
