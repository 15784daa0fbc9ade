// The Lite edition's callback tables: the names it registers, in their
// order (27 debug commands, 64 menu callbacks, 83 game-screen callbacks).
// Each name gets the Lite's own handler where its behaviour differs
// (LiteCallbackVariant), else the game's handler of that name. Names the
// Lite does not have are never registered, whatever the full edition
// registers.
#include <memory>
#include <new>

#include "debug_callbacks.h"
#include "game_callbacks.h"
#include "gui_callbacks.h"
#include "lite_factory.h"
#include "lite_variants.h"
#include "menu_callbacks.h"

const char* const kLiteDebugCallbacks[] = {
    "HackRound1", "HackRoundJackpot", "HackRoundMistery", "HackRoundBonus", "HackDecreaseScore",
    "HackIncreaseScore", "HackShowSolution", "HackShowTimers", "HackAddJackpots", "HackAddBonusWin",
    "HackAddSoloWin", "HackAddHoursPlay", "HackAddAllTrophy", "HackDecTurns", "HackAddTurns", "HackFreeSpin",
    "HackJackpot", "HackBankrupt", "HackLooseATurn", "HackAddTotalScore", "HackMysteryBankrupt",
    "HackMysteryWin", "HackPrize10k", "HackStopZoomWheel", "HackRotateWheel", "HackScrollPuzzles",
    "HackPlayAnim",
};

const char* const kLiteMenuCallbacks[] = {
    "InitMenu", "InitNewPlayer", "CreatePlayer", "FinishPlayer", "CancelCreate", "ForceActiveEdit",
    "InitHighscore", "OnPressTrophy", "InitTrophy", "InitOptions", "ModifySoundValue", "ModifyMusicValue",
    "ToggleFullscreenWindowed", "ToggleHighQuality", "ToggleVSync", "ModifyRefreshRate", "ApplyVideo",
    "InitInGameOptions", "ToggleInGameFullscreenWindowed", "SetWindowAfterEdit", "InitProfiles",
    "OpenEditProfile", "OnPressDelete", "DeletePlayer", "PlayerProfileDetails", "PlayerProfileHoverEnd",
    "InitEditProfile", "ChangeGender", "ChangeSkinColor", "ChangeHairColor", "ChangeHairStyle",
    "ChangeClothingStyle", "ToggleGlasses", "ChangeFaceHair", "Randomize", "CancelEditPlayer",
    "FinishEditPlayer", "RotateMouseWheel", "ChangePage", "InstructionInit", "UpdateInstructionsText",
    "CreditsRotateMouseWheel", "ChangeCreditsPage", "CreditsMoreInit", "UpdateCreditsText", "CheckCities",
    "GotoRoadTrip", "OpenCityInfo", "CloseCityInfo", "InitGroupPlay", "InitGroupPlayDropDownYellow",
    "SelectYellowPlayer", "InitGroupPlayDropDownBlue", "SelectBluePlayer", "InitMainMenuWnd", "StartGame",
    "SetCurrentYearMonthToPuzzle", "InitPuzzleMode", "SetMonth", "ChangeYear", "StartPuzzleOfTheDay",
    "ToggleHumanAI", "OpenDebugAI", "EditAIParam",
};

const char* const kLiteGameCallbacks[] = {
    "CloseWindow", "OpenWindow", "ChangeScreen", "ChangeWindow", "StartTimer", "SetActiveControl",
    "PlaySound", "PlayMusic", "StopSounds", "SetPlayerAndReturn", "OpenChooseMode", "OpenAloneOrAI",
    "OpenRoadTrip", "ExitToMainMenu", "ExitGame", "OnTurnSelect", "OnGameStart", "StartGroupPlay",
    "HideMysteryWedge", "HideMysteryBkWedge", "HideMysteryWinWedge", "SelectTrophy", "SetTrohyIdle",
    "OnTossupSolve", "Solve", "Spin", "ShowGauge", "HideGauge", "OnDrawFullPanel", "Round_VerifTimer",
    "OnTimerOpenFreeSpinAsk", "OnTimerFailedSolveSolution", "ShowBonusWinMsg", "EndRotateBonusWheel",
    "EndRotateZoomWheel", "ExitZoomWheel", "OnSolveTimerUp", "OnChooseLetterTimerUp", "LoopSound",
    "OnTossupTimer", "NextMessage", "FreeSpinYes", "FreeSpinNo", "JackpotYes", "JackpotNo", "EndShowSolution",
    "GoToNextRound", "InitPlayerStats", "ShowNextPlayer", "NewGame", "WrapUpStats", "PlayerStatsChangeTrophy",
    "PlayerStatsHoverTrophy", "PlayerStatsEndHoverTrophy", "OnEndTimerShowPodiumsScore", "MisteryRevealYes",
    "PlayMysteryWinAnims", "PlayMysteryBkAnims", "MisteryRevealNo", "ChangeTurn", "PauseGame", "ResumeGame",
    "CheckPuzzleIsSolved", "RevealBonusInitial", "ChooseBonusLetters", "SetBonusMoney",
    "OnOpupOnlyVowelsClose", "OnEndTimerMystery", "OnPressBuyVowel", "ChoseLetter", "OnEndTimerDesyncAnim1",
    "OnEndTimerDesyncAnim2", "OnEndTimerDesyncAnim3", "OnTimerPlayIdleAnims", "OnPlayNextAnim1",
    "OnPlayNextAnim2", "OnPlayNextAnim3", "OnEndAnim1", "OnEndAnim2", "OnEndAnim3", "OnTimerEndWaitForTheme",
    "StartTarrowickLogo", "StartQVXIntro",
};

const unsigned kLiteDebugCallbackCount = sizeof(kLiteDebugCallbacks) / sizeof(kLiteDebugCallbacks[0]);
const unsigned kLiteMenuCallbackCount = sizeof(kLiteMenuCallbacks) / sizeof(kLiteMenuCallbacks[0]);
const unsigned kLiteGameCallbackCount = sizeof(kLiteGameCallbacks) / sizeof(kLiteGameCallbacks[0]);

GuiCallback LiteCallbackHandler(CallbackRegistry& game, const char* name) {
    if (GuiCallback variant = LiteCallbackVariant(name)) return variant;
    return game.Find(name);
}

void RegisterLiteCallbacks(CallbackRegistry& registry) {
    // Everything the game registers, looked up by the Lite's names.
    std::unique_ptr<CallbackRegistry> game(new (std::nothrow) CallbackRegistry());
    if (!game) return;
    RegisterDebugCallbacks(*game);
    RegisterMenuCallbacks(*game);
    RegisterGameScreenCallbacks(*game);
    struct Table {
        const char* const* names;
        unsigned count;
    };
    const Table tables[] = {{kLiteDebugCallbacks, kLiteDebugCallbackCount},
                            {kLiteMenuCallbacks, kLiteMenuCallbackCount},
                            {kLiteGameCallbacks, kLiteGameCallbackCount}};
    for (const Table& t : tables)
        for (unsigned i = 0; i < t.count; ++i)
            if (GuiCallback handler = LiteCallbackHandler(*game, t.names[i])) registry.Register(t.names[i], handler);
}
