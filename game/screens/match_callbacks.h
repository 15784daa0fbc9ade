// The named callbacks of the match screen, its popup windows, the
// player-statistics window, the trophy window and the intro: the handlers
// that game_callbacks.cpp registers, and the few rules they share with the
// tests. Every handler is a GuiCallback: (sender, argument) -> go on.
#pragma once

class GuiControl;
class PlayerProfile;
class TimerControl;
struct Contestant;

// ---- State kept by the callbacks ----------------------------------------------

struct MatchPause {
    unsigned char paused = 0;
    unsigned char withSounds = 0;  // the pause also holds the sounds and the clock
};
extern MatchPause g_matchPause;

// The won trophy shown on the player-statistics window.
extern int g_statsTrophyIndex;

// ---- Rules the handlers use ------------------------------------------------------

// The bonus wheel's 24 prizes in dollars; index outside 0..23 gives 0.
int BonusPrizeAt(int index);
// The prize of a random draw 0..32767: index (draw mod 120) / 5.
int DrawBonusPrize(int draw);
// How far along its animation the spin gauge is (0..1); 0 without frames.
float GaugeFraction(unsigned frame, unsigned frameCount);
// The distance the wheels travel: full strength at the gauge's middle, plus
// the random term (-50..50).
float SpinPowerFor(float gaugeFraction, int randomTerm);
// The angle from which seat 1, 2 or 3 looks at the wheel (0 for others).
float SeatAngle(int seat);
// ---- Steps of the spin shared by the editions' handlers -------------------------

// Whether a spin press counts: not while a spin is already on its way.
bool SpinPressOpen();
// A counted spin press, less the distance: the idle timer stops, the spin
// is asked for, the input closes, the avatars react and the spin delay
// (checkTimer) starts.
void RequestSpin(TimerControl* idleTimer, TimerControl* checkTimer);
// The spin delay's end: the wheels start with the stored spin power, the
// wheel's sound (kept for StopSpinSound) and the cheer play, and the delay
// timer stops.
void LaunchSpin(TimerControl* checkTimer);
// The kept wheel sound stops at once when it still plays.
void StopSpinSound();
// The landed sector (0..71) of the round's wheel: stored, its wedge's value
// taken by the round type's table, and the crowd reacts to it.
void LandOnSector(int sector);
// The close-up of the wheel gives way to the studio: the hold timer stops,
// the board view, the puzzle's pieces and the avatars come back, the
// close-up's group and the free-spin tokens but the current seat's go, and
// a spin waiting for its wedge goes on to state 1.
void LeaveZoomView();

// A paused match left by a new match or the menu: the round runs again.
void LeavePausedMatch();
// The contestant the player-statistics window shows now, or null.
Contestant* ShownContestant();

namespace MatchCallbacks {

// Navigation and the menu-side entries of this table.
bool SetPlayerAndReturn(void*, const char*);
bool OpenChooseMode(void*, const char*);
bool OpenAloneOrAI(void*, const char*);
bool OpenRoadTrip(void*, const char*);
bool ExitToMainMenu(void*, const char*);
bool OnTurnSelect(void*, const char*);
bool OnGameStart(void*, const char*);
bool StartGroupPlay(void*, const char*);
bool NewGame(void*, const char*);
bool LoadGameData(void*, const char*);
bool StartTarrowickLogo(void*, const char*);
bool StartQVXIntro(void*, const char*);
bool StopSounds(void*, const char*);
bool NextMessage(void*, const char*);

// Pause.
bool PauseGame(void*, const char*);
bool ResumeGame(void*, const char*);

// End of match, statistics and trophies.
bool WrapUpStats(void*, const char*);
bool InitPlayerStats(void*, const char*);
bool ShowNextPlayer(void*, const char*);
bool PlayerStatsChangeTrophy(void*, const char*);
bool PlayerStatsHoverTrophy(void*, const char*);
bool PlayerStatsEndHoverTrophy(void*, const char*);
bool SelectTrophy(void*, const char*);
bool SetTrohyIdle(void*, const char*);

// Round play.
bool Spin(void*, const char*);
bool ShowGauge(void*, const char*);
bool HideGauge(void*, const char*);
bool Round_VerifTimer(void*, const char*);
bool EndRotateWheel(void*, const char*);
bool EndRotateZoomWheel(void*, const char*);
bool ExitZoomWheel(void*, const char*);
bool EndRotateBonusWheel(void*, const char*);
bool OnPressBuyVowel(void*, const char*);
bool ChoseLetter(void*, const char*);
bool ChangeTurn(void*, const char*);
bool CheckPuzzleIsSolved(void*, const char*);
bool OnChooseLetterTimerUp(void*, const char*);
bool LoopSound(void*, const char*);
bool Solve(void*, const char*);
bool OnTossupSolve(void*, const char*);
bool OnTossupTimer(void*, const char*);
bool OnDrawFullPanel(void*, const char*);
bool OnSolveTimerUp(void*, const char*);
bool OnTimerFailedSolveSolution(void*, const char*);
bool EndShowSolution(void*, const char*);
bool GoToNextRound(void*, const char*);
bool OnTimerOpenFreeSpinAsk(void*, const char*);
bool FreeSpinYes(void*, const char*);
bool FreeSpinNo(void*, const char*);
bool JackpotYes(void*, const char*);
bool JackpotNo(void*, const char*);
bool OnOpupOnlyVowelsClose(void*, const char*);
bool MisteryRevealYes(void*, const char*);
bool MisteryRevealNo(void*, const char*);
bool HideMysteryWedge(void*, const char*);
bool HideMysteryBkWedge(void*, const char*);
bool HideMysteryWinWedge(void*, const char*);
bool OnEndTimerMystery(void*, const char*);
bool PlayMysteryWinAnims(void*, const char*);
bool PlayMysteryBkAnims(void*, const char*);
bool PlayBk10kDownAnim(void*, const char*);
bool PlayMystery10kDownAnim(void*, const char*);
bool RevealBonusInitial(void*, const char*);
bool ChooseBonusLetters(void*, const char*);
bool SetBonusMoney(void*, const char*);
bool ShowBonusWinMsg(void*, const char*);
bool OnTimerEndWaitForTheme(void*, const char*);
bool OnTimerPlayIdleAnims(void*, const char*);
bool OnEndTimerShowPodiumsScore(void*, const char*);

}  // namespace MatchCallbacks
