#include "game_callbacks.h"

#include "match_callbacks.h"

#include "controls_simple.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "sound_system.h"

SoundInstance* g_currentMusic = nullptr;

namespace {

bool ChangeScreen(void*, const char* name) { return g_guiManager.OpenScreen(name); }
bool ChangeWindow(void*, const char* name) { return g_guiManager.ChangeWindow(name); }
bool OpenWindow(void*, const char* name) { return g_guiManager.OpenWindow(name); }
bool IsWindow(const void* p) {
    for (int i = 0; i < GuiManager::kMaxWindows; ++i)
        if (p && p == g_guiManager.WindowAt(i)) return true;
    return false;
}

bool IsContainer(const void* sender) {
    for (int i = 0; i < GuiManager::kMaxScreens; ++i)
        if (sender && sender == g_guiManager.ScreenAt(i)) return true;
    return IsWindow(sender);
}

// A control closes its own window once: a timer, key or button of a window
// that is already closing (or no longer on top) closes nothing more, and
// the rest of its handler list does not run. Two ways out of one window
// (Continue pressed as its timer ends) would otherwise close the window
// opened after it and run its follow-up twice.
bool CloseWindow(void* sender, const char*) {
    if (sender && !IsContainer(sender)) {
        const GuiControl* control = static_cast<const GuiControl*>(sender);
        if (control->state == GUI_STATE_CLOSING || control->state == GUI_STATE_CLOSED) return false;
        if (IsWindow(control->owner)) {
            if (control->owner != g_guiManager.GetCurrentWindow()) return false;
            // A window opened over it in this frame (two timers ending
            // together) is not the one this control closes.
            return g_guiManager.CloseWindow(static_cast<GuiScreen*>(control->owner));
        }
    }
    return g_guiManager.CloseWindow();
}

// "container.control": restarts that timer from its full period.
bool StartTimer(void*, const char* path) {
    TimerControl* timer = dynamic_cast<TimerControl*>(g_guiManager.FindControl(path));
    if (!timer) return true;
    timer->timeLeft = timer->startTime;
    timer->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    return true;
}

bool SetActiveControl(void*, const char* path) {
    g_guiManager.SetActiveControl(g_guiManager.FindControl(path));
    return true;
}

bool PlaySound(void*, const char* cue) {
    g_soundSystem.Play(cue, g_gameData.settings.Get(SETTING_SOUND_VOLUME), 0);
    return true;
}

bool PlayMusic(void*, const char* cue) {
    PlayMusicLoop(cue);
    return true;
}

bool ExitGame(void*, const char*) {
    g_gameData.quitRequest = 1;
    return true;
}

}  // namespace

void PlayMusicLoop(const char* cue) {
    if (g_soundSystem.IsPlaying(g_currentMusic)) g_currentMusic->Stop();
    g_currentMusic = g_soundSystem.Play(cue, g_gameData.settings.Get(SETTING_MUSIC_VOLUME), 1);
}

void RegisterGameScreenCallbacks(CallbackRegistry& registry) {
    using namespace MatchCallbacks;
    struct Entry {
        const char* name;
        GuiCallback callback;
    };
    // The fixed order of the game-screen table.
    static const Entry kTable[] = {
        {"CloseWindow", CloseWindow},
        {"OpenWindow", OpenWindow},
        {"ChangeScreen", ChangeScreen},
        {"ChangeWindow", ChangeWindow},
        {"StartTimer", StartTimer},
        {"SetActiveControl", SetActiveControl},
        {"PlaySound", PlaySound},
        {"PlayMusic", PlayMusic},
        {"StopSounds", MatchCallbacks::StopSounds},
        {"SetPlayerAndReturn", SetPlayerAndReturn},
        {"OpenChooseMode", OpenChooseMode},
        {"OpenAloneOrAI", OpenAloneOrAI},
        {"OpenRoadTrip", OpenRoadTrip},
        {"ExitToMainMenu", ExitToMainMenu},
        {"ExitGame", ExitGame},
        {"OnTurnSelect", OnTurnSelect},
        {"OnGameStart", OnGameStart},
        {"StartGroupPlay", StartGroupPlay},
        {"HideMysteryWedge", HideMysteryWedge},
        {"HideMysteryBkWedge", HideMysteryBkWedge},
        {"HideMysteryWinWedge", HideMysteryWinWedge},
        {"SelectTrophy", SelectTrophy},
        {"SetTrohyIdle", SetTrohyIdle},
        {"OnTossupSolve", OnTossupSolve},
        {"Solve", Solve},
        {"Spin", Spin},
        {"ShowGauge", ShowGauge},
        {"HideGauge", HideGauge},
        {"OnDrawFullPanel", OnDrawFullPanel},
        {"Round_VerifTimer", Round_VerifTimer},
        {"OnTimerOpenFreeSpinAsk", OnTimerOpenFreeSpinAsk},
        {"OnTimerFailedSolveSolution", OnTimerFailedSolveSolution},
        {"ShowBonusWinMsg", ShowBonusWinMsg},
        {"EndRotateWheel", EndRotateWheel},
        {"EndRotateBonusWheel", EndRotateBonusWheel},
        {"EndRotateZoomWheel", EndRotateZoomWheel},
        {"ExitZoomWheel", ExitZoomWheel},
        {"OnSolveTimerUp", OnSolveTimerUp},
        {"OnChooseLetterTimerUp", OnChooseLetterTimerUp},
        {"LoopSound", LoopSound},
        {"OnTossupTimer", OnTossupTimer},
        {"NextMessage", NextMessage},
        {"FreeSpinYes", FreeSpinYes},
        {"FreeSpinNo", FreeSpinNo},
        {"JackpotYes", JackpotYes},
        {"JackpotNo", JackpotNo},
        {"EndShowSolution", EndShowSolution},
        {"GoToNextRound", GoToNextRound},
        {"InitPlayerStats", InitPlayerStats},
        {"ShowNextPlayer", ShowNextPlayer},
        {"NewGame", NewGame},
        {"WrapUpStats", WrapUpStats},
        {"PlayerStatsChangeTrophy", PlayerStatsChangeTrophy},
        {"PlayerStatsHoverTrophy", PlayerStatsHoverTrophy},
        {"PlayerStatsEndHoverTrophy", PlayerStatsEndHoverTrophy},
        {"OnEndTimerShowPodiumsScore", OnEndTimerShowPodiumsScore},
        {"MisteryRevealYes", MisteryRevealYes},
        {"PlayMysteryWinAnims", PlayMysteryWinAnims},
        {"PlayMysteryBkAnims", PlayMysteryBkAnims},
        {"MisteryRevealNo", MisteryRevealNo},
        {"ChangeTurn", ChangeTurn},
        {"PauseGame", PauseGame},
        {"ResumeGame", ResumeGame},
        {"CheckPuzzleIsSolved", CheckPuzzleIsSolved},
        {"RevealBonusInitial", RevealBonusInitial},
        {"ChooseBonusLetters", ChooseBonusLetters},
        {"SetBonusMoney", SetBonusMoney},
        {"OnOpupOnlyVowelsClose", OnOpupOnlyVowelsClose},
        {"OnEndTimerMystery", OnEndTimerMystery},
        {"OnPressBuyVowel", OnPressBuyVowel},
        {"ChoseLetter", ChoseLetter},
        {"OnTimerPlayIdleAnims", OnTimerPlayIdleAnims},
        {"OnTimerEndWaitForTheme", OnTimerEndWaitForTheme},
        {"StartTarrowickLogo", StartTarrowickLogo},
        {"LoadGameData", LoadGameData},
        {"StartQVXIntro", StartQVXIntro},
        {"PlayBk10kDownAnim", PlayBk10kDownAnim},
        {"PlayMystery10kDownAnim", PlayMystery10kDownAnim},
    };
    static_assert(sizeof(kTable) / sizeof(kTable[0]) == kGameScreenCallbackCount, "the game-screen table");
    for (const Entry& e : kTable) registry.Register(e.name, e.callback);
}
