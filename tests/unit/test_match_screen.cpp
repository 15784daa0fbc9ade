// The match screen's callbacks and the binding by position: a quick-play
// round played through the registered names on a loaded document, buzzing,
// pausing, the spin's power, the wedge read for each seat, the bonus prize
// table, the statistics window's order and the menu-side entries.
#include <cmath>
#include <cstring>
#include <memory>
#include <set>

#include "control_ai.h"
#include "control_binding.h"
#include "controls_game.h"
#include "controls_value.h"
#include "control_factory.h"
#include "control_wheel.h"
#include "controls_value.h"
#include "game_callbacks.h"
#include "gui_bindings.h"
#include "profiles.h"
#include "debug_callbacks.h"
#include "device_test_util.h"
#include "edition_test_util.h"
#include "game_test_util.h"
#include "input_state.h"
#include "gui_test_util.h"
#include "match_callbacks.h"
#include "menu_callbacks.h"
#include "settings.h"
#include "sound_system.h"
#include "menu_rules.h"
#include "menu_screen.h"
#include "model.h"
#include "model_instance.h"
#include "round_test_util.h"
#include "tinyxml.h"

namespace {

// The named callbacks as the document would reach them.
CallbackRegistry& Registry() {
    static CallbackRegistry registry;
    static bool filled = false;
    if (!filled) RegisterGameScreenCallbacks(registry), filled = true;
    return registry;
}

bool Fire(const char* name, const char* argument = nullptr, void* sender = nullptr) {
    GuiCallback callback = Registry().Find(name);
    EXPECT_NE(nullptr, callback) << name;
    return callback ? callback(sender, argument) : false;
}

// ---- The rig of fake controls ---------------------------------------------------------

class MatchScreenTest : public RoundTest {
protected:
    void SetUp() override {
        RoundTest::SetUp();
        g_matchPause = MatchPause();
        GameControls& c = g_round.controls;
        c.pauseButton = &pauseButton;
        c.idleTimer = &idle;
        c.spinCheckTimer = &spinCheck;
        c.powerMeter = &gauge;
        spinCheck.startTime = idle.startTime = 5.0f;
    }
    void TearDown() override {
        g_matchPause = MatchPause();
        g_round.paused = 0;
        RoundTest::TearDown();
    }
    FakeControl pauseButton, gauge;
    TimerControl idle, spinCheck;
};

TEST_F(MatchScreenTest, RegistersTheSeventyEightNamesInTheirOrderEachWithItsOwnHandler) {
    using namespace MatchCallbacks;
    // The match handlers go by the names they are registered under; the
    // table's generic ones (window, timer and sound steps: null here) are
    // its own, each distinct from every other.
#define H(n) {#n, &MatchCallbacks::n}
    const struct {
        const char* name;
        GuiCallback handler;
    } kExpected[] = {
        {"CloseWindow", nullptr}, {"OpenWindow", nullptr}, {"ChangeScreen", nullptr}, {"ChangeWindow", nullptr},
        {"StartTimer", nullptr}, {"SetActiveControl", nullptr}, {"PlaySound", nullptr}, {"PlayMusic", nullptr},
        H(StopSounds), H(SetPlayerAndReturn), H(OpenChooseMode), H(OpenAloneOrAI), H(OpenRoadTrip),
        H(ExitToMainMenu), {"ExitGame", nullptr}, H(OnTurnSelect), H(OnGameStart), H(StartGroupPlay),
        H(HideMysteryWedge), H(HideMysteryBkWedge), H(HideMysteryWinWedge), H(SelectTrophy), H(SetTrohyIdle),
        H(OnTossupSolve), H(Solve), H(Spin), H(ShowGauge), H(HideGauge), H(OnDrawFullPanel), H(Round_VerifTimer),
        H(OnTimerOpenFreeSpinAsk), H(OnTimerFailedSolveSolution), H(ShowBonusWinMsg), H(EndRotateWheel),
        H(EndRotateBonusWheel), H(EndRotateZoomWheel), H(ExitZoomWheel), H(OnSolveTimerUp),
        H(OnChooseLetterTimerUp), H(LoopSound), H(OnTossupTimer), H(NextMessage), H(FreeSpinYes), H(FreeSpinNo),
        H(JackpotYes), H(JackpotNo), H(EndShowSolution), H(GoToNextRound), H(InitPlayerStats), H(ShowNextPlayer),
        H(NewGame), H(WrapUpStats), H(PlayerStatsChangeTrophy), H(PlayerStatsHoverTrophy),
        H(PlayerStatsEndHoverTrophy), H(OnEndTimerShowPodiumsScore), H(MisteryRevealYes), H(PlayMysteryWinAnims),
        H(PlayMysteryBkAnims), H(MisteryRevealNo), H(ChangeTurn), H(PauseGame), H(ResumeGame),
        H(CheckPuzzleIsSolved), H(RevealBonusInitial), H(ChooseBonusLetters), H(SetBonusMoney),
        H(OnOpupOnlyVowelsClose), H(OnEndTimerMystery), H(OnPressBuyVowel), H(ChoseLetter),
        H(OnTimerPlayIdleAnims), H(OnTimerEndWaitForTheme), H(StartTarrowickLogo), H(LoadGameData),
        H(StartQVXIntro), H(PlayBk10kDownAnim), H(PlayMystery10kDownAnim),
    };
#undef H
    static_assert(sizeof(kExpected) / sizeof(kExpected[0]) == kGameScreenCallbackCount, "the whole table");
    CallbackRegistry r;
    RegisterGameScreenCallbacks(r);
    ASSERT_EQ((unsigned)kGameScreenCallbackCount, r.RegisteredCount());
    std::set<GuiCallback> handlers;
    for (unsigned i = 0; i < r.RegisteredCount(); ++i) {
        const CallbackEntry* e = r.RegisteredAt(i);
        ASSERT_NE(nullptr, e);
        EXPECT_STREQ(kExpected[i].name, e->name) << "entry " << i;
        if (kExpected[i].handler) {
            EXPECT_EQ(kExpected[i].handler, e->callback) << e->name;
        }
        EXPECT_NE(nullptr, e->callback) << e->name;
        EXPECT_TRUE(handlers.insert(e->callback).second) << e->name << " shares its handler";
        EXPECT_EQ(e->callback, r.Find(e->name)) << e->name;
    }
    EXPECT_EQ(nullptr, r.Find("StartGame")) << "the menus' own";
}

TEST_F(MatchScreenTest, ASecondBuzzOfTheSameSeatDoesNothing) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Human("Bea"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    Light();
    ASSERT_EQ(STATE_START_OF_TURN, g_round.state);

    EXPECT_FALSE(Fire("OnTossupSolve", nullptr)) << "no seat";
    EXPECT_FALSE(Fire("OnTossupSolve", "4"));
    EXPECT_FALSE(Fire("OnTossupSolve", "0"));
    EXPECT_FALSE(Fire("OnTossupSolve", "3")) << "a computer buzzes by its own control";
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);

    ASSERT_TRUE(Fire("OnTossupSolve", "2"));
    EXPECT_EQ(STATE_SOLVE, g_round.state);
    EXPECT_EQ(g_round.ContestantOnSeat(2), g_round.current);
    EXPECT_FALSE(Fire("OnTossupSolve", "1")) << "not while a solve is on";
    Type(false);
    Fire("OnTimerFailedSolveSolution");
    ASSERT_EQ(STATE_START_OF_TURN, g_round.state) << "the others may still buzz";

    EXPECT_FALSE(Fire("OnTossupSolve", "2"));
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_TRUE(Fire("Solve")) << "seat 1 buzzes by the button";
    EXPECT_EQ(g_round.ContestantOnSeat(1), g_round.current);
}

TEST_F(MatchScreenTest, PausingTwiceChangesNothingAndLeavingAPausedMatchRunsTheRoundAgain) {
    ASSERT_TRUE(NeedPuzzles());
    g_gameData.currentProfile = Human("Ann");
    g_round.gameMode = MODE_QUICK_PLAY;
    ASSERT_TRUE(Fire("OnGameStart"));
    g_round.StartTimer(g_round.controls.turnTimer);
    g_round.controls.turnTimer->timeLeft = 3.0f;

    EXPECT_TRUE(Fire("PauseGame", "WITH_SOUNDS"));
    EXPECT_EQ(1, g_round.paused);
    EXPECT_TRUE(pauseButton.Disabled());
    EXPECT_FLOAT_EQ(-3.0f, g_round.controls.turnTimer->timeLeft);
    EXPECT_FALSE(Fire("PauseGame", "WITH_SOUNDS"));
    EXPECT_FLOAT_EQ(-3.0f, g_round.controls.turnTimer->timeLeft) << "held once, not released again";
    EXPECT_TRUE(Fire("ResumeGame", "WITH_SOUNDS"));
    EXPECT_FALSE(Fire("ResumeGame", "WITH_SOUNDS"));
    EXPECT_FLOAT_EQ(3.0f, g_round.controls.turnTimer->timeLeft);
    EXPECT_FALSE(pauseButton.Disabled());

    // Left for a new match or the menu, the pause does not outlive the match.
    for (const char* leave : {"OnGameStart", "NewGame", "ExitToMainMenu"}) {
        ASSERT_TRUE(Fire("PauseGame", "WITH_SOUNDS")) << leave;
        Fire(leave);
        EXPECT_EQ(0, g_matchPause.paused) << leave;
        EXPECT_EQ(0, g_round.paused) << leave;
        EXPECT_FALSE(pauseButton.Disabled()) << leave;
        EXPECT_TRUE(Fire("PauseGame", "WITH_SOUNDS")) << leave << ": the next pause is taken";
        Fire("ResumeGame", "WITH_SOUNDS");
    }
    g_gameData.currentProfile = nullptr;
}

TEST_F(MatchScreenTest, SpinPowerFollowsTheGaugeAndTheBonusPrizeTable) {
    EXPECT_FLOAT_EQ(1080.0f, SpinPowerFor(0.5f, 0));
    EXPECT_FLOAT_EQ(432.0f, SpinPowerFor(0.0f, 0));
    EXPECT_FLOAT_EQ(432.0f, SpinPowerFor(1.0f, 0));
    EXPECT_FLOAT_EQ(1130.0f, SpinPowerFor(0.5f, 50));
    EXPECT_FLOAT_EQ(0.5f, GaugeFraction(30, 60)) << "a fraction, not a whole-number quotient";
    EXPECT_FLOAT_EQ(0.0f, GaugeFraction(30, 0));

    // Through the callback: the needle halfway along its clip, then a clip of no frames.
    ModelClip clip;
    clip.frameCount = 60;
    gauge.body = new ModelInstance(nullptr, nullptr, nullptr);
    gauge.body->clip = &clip;
    gauge.body->frame = 30;
    g_round.roundType = ROUND_ONE;
    g_round.state = STATE_START_OF_TURN;
    g_round.spinRequested = 0;
    ASSERT_TRUE(Fire("Spin"));
    EXPECT_GE(g_round.spinPower, 1030.0f);
    EXPECT_LE(g_round.spinPower, 1130.0f);
    EXPECT_TRUE(Running(&spinCheck));
    float first = g_round.spinPower;
    Fire("Spin");
    EXPECT_EQ(first, g_round.spinPower) << "one spin at a time";
    g_round.spinRequested = 0;
    clip.frameCount = 0;
    Fire("Spin");
    EXPECT_GE(g_round.spinPower, 382.0f);
    EXPECT_LE(g_round.spinPower, 482.0f);
    gauge.body->clip = nullptr;
    GuiControl::FreeVisual(gauge.body);

    for (int draw = 0; draw < 60; ++draw) EXPECT_EQ(25000, DrawBonusPrize(draw)) << draw;  // indexes 0..11
    for (int draw = 115; draw < 120; ++draw) EXPECT_EQ(100000, DrawBonusPrize(draw)) << draw;  // index 23
    EXPECT_EQ(75000, BonusPrizeAt(22));
    EXPECT_EQ(25000, DrawBonusPrize(120)) << "draws wrap every 120";
    EXPECT_EQ(0, BonusPrizeAt(24));
}

TEST_F(MatchScreenTest, TheWedgeAnnouncedIsUnderTheSeatsPointerInTheRestingPicture) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Computer("Bo"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    ASSERT_TRUE(g_round.SetupRound1());
    Light();
    NewSpinControl wheel, zoom;
    g_round.controls.wheel = &wheel;
    g_round.controls.zoomWheel = &zoom;

    const float resting = -2000.0f;  // where both wheels stop
    for (int seat = 1; seat <= 3; ++seat) {
        for (bool zoomFirst : {false, true}) {
            wheel.TurnBy(resting - wheel.SignedAngle());
            zoom.TurnBy(resting - zoom.SignedAngle());
            g_round.current = g_round.ContestantOnSeat(seat);
            g_round.wheelStopped = 0;
            g_round.freeSpinWedge = g_round.tenThousandWedge = WEDGE_TAKEN;
            Fire("Round_VerifTimer");
            ASSERT_EQ(STATE_SPIN, g_round.state);
            wheel.remaining = 40.0f;  // still turning past its "OnEnd"
            if (zoomFirst) Fire("EndRotateZoomWheel");
            Fire("EndRotateWheel");
            if (!zoomFirst) Fire("EndRotateZoomWheel");

            int expected = WheelNotchAt(resting + 30.0f * (seat - 1));
            EXPECT_EQ(expected, g_round.landedSector) << seat << zoomFirst;
            EXPECT_FALSE(wheel.IsSpinning());
            EXPECT_FALSE(zoom.IsSpinning());
            EXPECT_EQ(expected / 3, WheelWedgeAt(wheel.SignedAngle() + 30.0f * (seat - 1)))
                << "the main wheel rests showing the same wedge under the seat's pointer";
            Fire("ExitZoomWheel");
            EXPECT_NE(STATE_SPIN, g_round.state);
        }
    }
    // The edges of the notch count.
    EXPECT_EQ(71, WheelNotchAt(358.1f));
    EXPECT_EQ(0, WheelNotchAt(357.6f - 0.01f));
}

TEST_F(MatchScreenTest, TheFreeSpinJackpotAndMysteryQuestionsTakeTheirAnswers) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Computer("Bo"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    ASSERT_TRUE(g_round.SetupRound1());
    Light();
    Contestant* ann = g_round.ContestantOnSeat(1);
    auto turnOf = [&](int state) {
        g_round.current = ann;
        g_round.SetStateDirect(state);
    };

    // The free spin: used, the turn goes on and the token is gone; kept,
    // the turn ends and the token stays.
    ann->freeSpinToken = 1;
    turnOf(STATE_LOSE_A_TURN);
    EXPECT_TRUE(Fire("FreeSpinYes"));
    EXPECT_EQ(0, ann->freeSpinToken);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_EQ(ann, g_round.current);
    ann->freeSpinToken = 1;
    turnOf(STATE_LOSE_A_TURN);
    EXPECT_TRUE(Fire("FreeSpinNo"));
    EXPECT_EQ(1, ann->freeSpinToken);
    EXPECT_EQ(STATE_END_OF_TURN, g_round.state);

    // The jackpot: going for it takes the wedge and solves; declining loses
    // the chance and the turn goes on.
    g_round.roundType = ROUND_JACKPOT;
    g_round.jackpotState = WEDGE_WAITING;
    turnOf(STATE_PICK_CONSONANT);
    EXPECT_TRUE(Fire("JackpotYes"));
    EXPECT_EQ(WEDGE_TAKEN, g_round.jackpotState);
    EXPECT_EQ(STATE_SOLVE, g_round.state);
    g_round.jackpotState = WEDGE_WAITING;
    turnOf(STATE_PICK_CONSONANT);
    EXPECT_TRUE(Fire("JackpotNo"));
    EXPECT_EQ(WEDGE_LOST, g_round.jackpotState);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    for (TextControl& d : jackpotDisplay) EXPECT_TRUE(d.HasFlags(GUI_FLAG_HIDDEN));

    // The mystery: declined, $1,000 a letter found and nothing behind the
    // wedge; turned over, the prize is the contestant's, or the bankrupt
    // ends the turn.
    g_round.roundType = ROUND_MYSTERY;
    char letter = ConsonantInPuzzle();
    ASSERT_NE(0, letter);
    g_round.chosenLetter = letter;
    ann->roundMoney = 500;
    g_round.mysteryOutcome = MYSTERY_PRIZE;
    g_round.mysteryRevealed = 0;
    turnOf(STATE_PICK_CONSONANT);
    EXPECT_TRUE(Fire("MisteryRevealNo"));
    EXPECT_EQ(500 + 1000 * g_round.CountLetter(letter), ann->roundMoney);
    EXPECT_EQ(MYSTERY_NONE, g_round.mysteryOutcome);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_EQ(0, ann->mysteryToken);

    g_round.mysteryOutcome = MYSTERY_PRIZE;
    turnOf(STATE_PICK_CONSONANT);
    EXPECT_TRUE(Fire("MisteryRevealYes"));
    EXPECT_EQ(1, g_round.mysteryRevealed);
    EXPECT_EQ(1, ann->mysteryToken);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);

    ann->mysteryToken = 0;
    g_round.mysteryOutcome = MYSTERY_BANKRUPT;
    g_round.mysteryRevealed = 0;
    turnOf(STATE_PICK_CONSONANT);
    EXPECT_TRUE(Fire("MisteryRevealYes"));
    EXPECT_EQ(MYSTERY_SPENT, g_round.mysteryOutcome);
    EXPECT_EQ(STATE_BANKRUPT, g_round.state);
    EXPECT_EQ(0, ann->mysteryToken);
}

TEST_F(MatchScreenTest, TheRoundsEndShowsTheWindowOfWhoWonIt) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Computer("Bo"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    ASSERT_TRUE(g_round.SetupRound1());
    Light();
    auto wonBy = [&](int seat) {
        ops.windows.clear();
        g_round.current = g_round.ContestantOnSeat(seat);
        g_round.SetStateDirect(STATE_ROUND_WON);
        Fire("EndShowSolution");
        return ops.windows.empty() ? std::string() : ops.windows.back();
    };
    EXPECT_EQ("YELLOW_WIN_ROUND", wonBy(2));
    EXPECT_EQ("BLUE_WIN_ROUND", wonBy(3));
    EXPECT_EQ("WIN_ROUND", wonBy(1)) << "a human against the computer";
    g_round.roundType = ROUND_JACKPOT;
    g_round.jackpotState = WEDGE_TAKEN;
    EXPECT_EQ("WIN_ROUND_JACKPOT", wonBy(1));
    g_round.jackpotState = WEDGE_LOST;
    EXPECT_EQ("WIN_ROUND", wonBy(1)) << "without the jackpot";

    // Humans against each other: the winner's own colour.
    g_round.roundType = ROUND_ONE;
    g_round.SetContestant(1, Human("Bea"));
    EXPECT_EQ("RED_WIN_ROUND", wonBy(1));
    EXPECT_EQ("YELLOW_WIN_ROUND", wonBy(2));

    // A round not won opens no winner's window: the match goes on.
    ops.windows.clear();
    g_round.SetStateDirect(STATE_ROUND_LOST);
    int type = g_round.roundType;
    Fire("EndShowSolution");
    for (const std::string& w : ops.windows) EXPECT_EQ(std::string::npos, w.find("WIN_ROUND")) << w;
    EXPECT_NE(type, g_round.roundType) << "the next round was set up";
}

TEST_F(MatchScreenTest, ALetterKeyWhileSolvingTypesTheLetterAndCallsNothing) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    ASSERT_TRUE(g_round.BeginQuickPlayMatch());
    Light();
    Contestant* ann = g_round.ContestantAt(0);
    g_round.current = ann;
    ann->roundMoney = 1000;
    g_round.SetStateDirect(STATE_SOLVE);
    g_round.letterKeyMode = KEYS_VOWELS;
    int phase = g_round.inputPhase;
    EXPECT_TRUE(Fire("ChoseLetter", "e"));
    EXPECT_EQ('E', g_input.Get(INPUT_CHAR)) << "typed on the board";
    EXPECT_EQ(0, g_round.letters['E' - 'A'].called);
    EXPECT_EQ(1000, ann->roundMoney) << "no vowel is bought";
    EXPECT_EQ(phase, g_round.inputPhase);
    EXPECT_EQ(STATE_SOLVE, g_round.state);
    g_input.Set(INPUT_CHAR, 0);
    // Outside a solve the same key buys the vowel; no letter, no change.
    g_round.SetStateDirect(STATE_BUY_VOWEL);
    EXPECT_TRUE(Fire("ChoseLetter", "e"));
    EXPECT_EQ(1, g_round.letters['E' - 'A'].called);
    EXPECT_EQ(1000 - kVowelPrice, ann->roundMoney);
    EXPECT_TRUE(Fire("ChoseLetter", "7"));
    EXPECT_TRUE(Fire("ChoseLetter", nullptr));
    EXPECT_EQ(1000 - kVowelPrice, ann->roundMoney);
    EXPECT_EQ(0, g_input.Get(INPUT_CHAR));
}

bool g_ended = false;
bool RecordEnd(void*, const char*) { return g_ended = true; }

TEST_F(MatchScreenTest, AWheelThatCannotTurnEndsItsSpinAtOnce) {
    NewSpinControl wheel;
    wheel.onEnd = new GuiHandlerList();
    wheel.onEnd->Add(RecordEnd, nullptr);
    g_ended = false;
    DefaultScreenOps().StartWheel(&wheel, 500.0f);  // no "speed"
    EXPECT_TRUE(g_ended);
    EXPECT_FALSE(wheel.IsSpinning());
}

TEST_F(MatchScreenTest, AComputerWhoseSolveIsRefusedStopsTyping) {
    ASSERT_TRUE(NeedPuzzles());
    AiControl ai;
    g_round.controls.ai = &ai;
    g_round.SetContestant(0, Computer("Bo"));
    ASSERT_TRUE(g_round.BeginQuickPlayMatch());
    Light();
    g_round.current = g_round.ContestantAt(0);
    for (LetterRecord& r : g_round.letters) r.called = 1;
    g_round.RevealAllTiles();  // nothing hidden: the solve is refused
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_renderer.frameTime = g_renderer.defaultFrameTime = 2.0f;
    ai.SetState(AI_CHOOSE_MOVE);
    ai.Update();
    EXPECT_EQ(AI_IDLE, ai.state);
    EXPECT_EQ(0, solveLocked);
    g_renderer.frameTime = g_renderer.defaultFrameTime = 0.02f;
}

TEST_F(MatchScreenTest, StatisticsShowEachRankedPlayerOnceAfterEveryEndOfMatch) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Computer("Bo"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    g_round.roundType = ROUND_MYSTERY;
    g_round.contestants[0].matchTotal = 5000;
    g_round.contestants[1].matchTotal = 5000;
    g_round.contestants[2].matchTotal = 1000;
    Fire("WrapUpStats");
    ASSERT_EQ(3u, g_round.ranking.Count());
    std::vector<Contestant*> shown;
    for (int i = 0; i < 4; ++i) {
        Fire("InitPlayerStats");
        shown.push_back(ShownContestant());
    }
    EXPECT_EQ(&g_round.contestants[0], shown[0]);
    EXPECT_EQ(&g_round.contestants[1], shown[1]);
    EXPECT_EQ(&g_round.contestants[2], shown[2]);
    EXPECT_EQ(shown[2], shown[3]) << "never past the end of the list";
    ASSERT_EQ(OUTCOME_LOST, g_round.contestants[2].outcome);

    // The tiebreak ends the match again: the window starts from the top.
    ASSERT_TRUE(g_round.SetupTiebreak());
    g_round.contestants[0].matchTotal = 6000;
    Fire("WrapUpStats");
    Fire("InitPlayerStats");
    EXPECT_EQ(&g_round.contestants[0], ShownContestant());
}

TEST_F(MatchScreenTest, MenuSideEntriesTakeOnlyWhatFits) {
    ASSERT_TRUE(NeedPuzzles());
    PlayerProfile* ann = Human("Ann");
    g_gameData.profiles.Add(profiles.back().release(), LIST_HUMANS);
    PlayerProfile* bot = Computer("Bo");
    g_gameData.profiles.Add(profiles.back().release(), LIST_COMPUTERS);
    PlayerProfile* cy = Computer("Cy");
    g_gameData.profiles.Add(profiles.back().release(), LIST_COMPUTERS);

    g_gameData.currentProfile = bot;
    Fire("SetPlayerAndReturn");
    EXPECT_EQ(ann, g_gameData.currentProfile) << "a computer contestant never becomes the player";

    g_round.turnsPerRound = 5;
    Fire("OnTurnSelect", nullptr);
    Fire("OnTurnSelect", "0");
    EXPECT_EQ(5, g_round.turnsPerRound);
    Fire("OnTurnSelect", "7");
    EXPECT_EQ(7, g_round.turnsPerRound);
    Fire("OnTurnSelect", "-1");
    EXPECT_EQ(-1, g_round.turnsPerRound) << "no limit";
    Fire("OnTurnSelect", "-3");
    EXPECT_EQ(-1, g_round.turnsPerRound);

    // Road-trip opponents drawn far beyond the list still fill both seats.
    int tour[3] = {4, 1, 2};
    ann->SetTour(tour, 3);
    ann->cityPick1[4] = 7;
    ann->cityPick2[4] = -3;
    StartGame(nullptr, "ROAD_TRIP");
    EXPECT_EQ(MODE_ROAD_TRIP, g_round.gameMode);
    EXPECT_EQ(4, g_round.city);
    Fire("OnGameStart");
    Contestant* second = g_round.ContestantOnSeat(2);
    Contestant* third = g_round.ContestantOnSeat(3);
    EXPECT_TRUE(second->profile == bot || second->profile == cy);
    EXPECT_TRUE(third->profile == bot || third->profile == cy);
    EXPECT_NE(second->profile, third->profile);
    EXPECT_EQ(ROUND_TOSSUP_1000, g_round.roundType);

    // Trophy numbers outside the table or the window's controls change
    // nothing: no cue, no window, the same trophy shown, the same player.
    ops.Clear();
    g_statsTrophyIndex = 0;
    PlayerProfile* player = g_gameData.currentProfile;
    for (const char* n : {"-1", "36", "500", "74"}) {
        EXPECT_TRUE(Fire("SelectTrophy", n));
        EXPECT_TRUE(Fire("SetTrohyIdle", n));
        EXPECT_TRUE(Fire("PlayerStatsChangeTrophy", n));
        int sender = 0;
        EXPECT_TRUE(Registry().Find("PlayerStatsChangeTrophy")(&sender, n));
        EXPECT_TRUE(ops.cues.empty()) << n;
        EXPECT_TRUE(ops.windows.empty()) << n;
        EXPECT_EQ(0, g_statsTrophyIndex) << n;
        EXPECT_EQ(player, g_gameData.currentProfile) << n;
    }
    g_gameData.currentProfile = nullptr;
    g_gameData.profiles.Clear(LIST_HUMANS);
    g_gameData.profiles.Clear(LIST_COMPUTERS);
}

// ---- A document loaded into the GUI manager ---------------------------------------------

// A GUI document laid out as the table of bound positions says, with the
// kinds' attributes a match needs (or, with `complete` false, only its
// first two screens).
std::string MatchDocument(bool complete) {
    TiXmlDocument table;
    std::string path = ContentDir() + "gui\\bindings.xml";
    if (!table.LoadFile(path.c_str())) return "";
    std::string xml = "<gui start_screen=\"MENU\">";
    for (TiXmlElement* e = table.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
        std::string kind = e->Value();
        int index = 0, count = 0;
        e->QueryIntAttribute("index", &index);
        e->QueryIntAttribute("controls", &count);
        if (!complete && (kind != "screen" || index > 1)) continue;
        if (kind == "group" && index > 9) continue;
        std::string name = e->Attribute("name");
        xml += "<" + kind + " name=\"" + name + "\">";
        for (int i = 0; i < count; ++i) {
            std::string cKind = "static", cName = name + "_" + std::to_string(i), extra;
            for (TiXmlElement* k = e->FirstChildElement("control"); k; k = k->NextSiblingElement("control")) {
                int at = -1;
                k->QueryIntAttribute("index", &at);
                if (at == i) cKind = k->Attribute("kind"), cName = k->Attribute("name");
            }
            if (cKind == "timer") extra = " value=\"100\" auto=\"false\"";
            if (cName == "MESSAGE_TIMER") extra = " value=\"0.04\" auto=\"false\" OnEnd=\"NextMessage()\"";
            if (cKind == "gui_letter") extra = std::string(" letter=\"") + cName.back() + "\"";
            if (cName == "WHEEL") extra = " speed=\"2\" OnEnd=\"EndRotateWheel()\"";
            if (cName == "ZOOM_WHEEL") extra = " speed=\"2\" OnEnd=\"EndRotateZoomWheel()\"";
            if (cName == "BONUS_WHEEL") extra = " speed=\"2\" OnEnd=\"EndRotateBonusWheel()\"";
            if (name == "TROPHY_WND" && i >= 2 && i < 74) cKind = "trophy", extra = " model=\"m\" texture=\"t\"";
            if (name == "PLAYER_STATS" && i == 19) cKind = "trophy", extra = " model=\"m\" texture=\"t\"";
            // The mystery cards' follow-ups, as the game's document has them.
            if (cName == "MYSTERY_TIMER") extra = " value=\"2\" auto=\"false\" OnEnd=\"OnEndTimerMystery()\"";
            if (cName.compare(0, 19, "PRIZE_10K_DOWN_CUE_") == 0)
                extra = " OnEnd=\"PlayBk10kDownAnim(" + std::to_string(cName.back() - '1') + ")\"";
            if (cName == "MYSTERY_BANKRUPT_CUE") extra = " OnEnd=\"HideMysteryBkWedge()\"";
            if (cName == "MYSTERY_OPEN_CUE") extra = " OnEnd=\"HideMysteryWedge(OPEN)\"";
            if (cName == "MYSTERY_WIN_CUE") extra = " OnEnd=\"HideMysteryWinWedge();PlayMysteryWinAnims()\"";
            if (cName.compare(0, 17, "MYSTERY_BANKRUPT_") == 0 && cKind == "static") extra = " OnOpenEnd=\"PlayMysteryBkAnims()\"";
            xml += "<" + cKind + " name=\"" + cName + "\"" + extra + "/>";
        }
        // The seat cards open and update with the match screen.
        if (name == "ROUND_WND") xml += "<group name=\"SEAT_CARDS_HOLDER\" group=\"SEAT_CARDS\"/>";
        xml += "</" + kind + ">";
    }
    return xml + "</gui>";
}

class MatchDocumentTest : public GuiTest {
protected:
    void SetUp() override {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof(cwd), cwd);
        startDir = cwd;
        GuiTest::SetUp();
        RegisterGameScreenCallbacks(g_guiManager.GetCallbacks());
        g_round.SetOps(&ops);
        g_matchPause = MatchPause();
    }
    void TearDown() override {
        g_round.SetOps(nullptr);
        g_round.controls = GameControls();
        g_bound.Clear();
        for (int i = 0; i < RoundController::kSeats; ++i) g_round.SetContestant(i, nullptr);
        g_round.current = g_round.opener = nullptr;
        g_round.ranking.Clear();
        g_gameData.currentProfile = nullptr;
        GuiTest::TearDown();
        SetCurrentDirectoryA(startDir.c_str());
    }
    bool LoadMatch(bool complete) {
        std::string doc = MatchDocument(complete);
        if (doc.empty()) return false;
        if (!Load(doc, CreateGuiControl)) return false;
        BindGameControls();
        return true;
    }
    // The game's puzzles, after the document (its manifest is replaced).
    bool LoadPuzzles() {
        std::string game = GameDir();
        return SetCurrentDirectoryA(game.c_str()) && g_fileSystem.Load("Quorvane.xml");
    }
    GuiCallback Find(const char* name) { return g_guiManager.GetCallbacks().Find(name); }
    bool Call(const char* name, const char* argument = nullptr) {
        GuiCallback c = Find(name);
        EXPECT_NE(nullptr, c) << name;
        return c && c(nullptr, argument);
    }
    // Frames until the condition holds (false after too many).
    template <class F>
    bool FramesUntil(F done, int most = 2000) {
        for (int i = 0; i < most; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }

    // Cues and windows are recorded; everything else acts on the controls.
    struct Ops : GameScreenOps {
        // The cues a sound trigger watches come back as an instance the
        // sound system does not hold: one that has already ended.
        SoundInstance* PlayCue(const char* cue, int, bool) override {
            cues.push_back(cue);
            bool watched = std::strcmp(cue, "LAND_ON_BANKRUPT") == 0 || std::strncmp(cue, "P_AUD_EXC_", 10) == 0 ||
                           std::strncmp(cue, "P_AUD_CLAP_CHEER_", 17) == 0;
            return watched ? reinterpret_cast<SoundInstance*>(&ended) : nullptr;
        }
        int Count(const char* prefix, size_t from) const {
            int n = 0;
            for (size_t i = from; i < cues.size(); ++i) n += cues[i].compare(0, std::strlen(prefix), prefix) == 0;
            return n;
        }
        char ended = 0;
        void StopAllSounds() override {}
        bool OpenWindow(const char* window) override {
            windows.push_back(window);
            return true;
        }
        bool SaveGame() override { return true; }
        std::vector<std::string> cues, windows;
    } ops;
    std::string startDir;
};

TEST_F(MatchDocumentTest, AQuickPlayRoundThroughTheNamedCallbacks) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    GameControls& c = g_round.controls;
    ASSERT_NE(nullptr, c.tiles[kBoardTiles - 1]);
    ASSERT_NE(nullptr, c.letterKeys[25]);
    ASSERT_NE(nullptr, c.tenThousandMarkers[2]);
    ASSERT_NE(nullptr, c.mysteryWedgeFaces[3]);
    ASSERT_NE(nullptr, c.mysterySet.prizePopup);
    ASSERT_NE(nullptr, c.messageTimer);
    ASSERT_TRUE(LoadPuzzles());
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->appearance.SetName("Ann");
    g_gameData.currentProfile = ann.get();
    std::srand(7);

    StartGame(nullptr, "QUICK_PLAY");
    g_guiManager.OpenScreen("ROUND_WND");
    Frame(2);
    ASSERT_TRUE(Call("OnGameStart"));
    EXPECT_EQ(ROUND_ONE, g_round.roundType);
    EXPECT_TRUE(Running(c.introTimer)) << "the first puzzle waits for its theme";
    Call("OnTimerEndWaitForTheme");
    EXPECT_EQ("START_ROUND1", ops.windows.back());
    Call("OnDrawFullPanel");
    ASSERT_TRUE(FramesUntil([] { return g_round.inputPhase == PHASE_TURN; })) << "the board lights up";
    EXPECT_FALSE(c.spinButton->HasFlags(GUI_FLAG_DISABLED));

    // One spin; whatever the wheel gives, the turn comes back.
    ASSERT_TRUE(Call("Spin"));
    EXPECT_FALSE(Running(c.idleTimer)) << "the contestants keep still while the wheel turns";
    ASSERT_TRUE(Call("Round_VerifTimer"));
    EXPECT_EQ(STATE_SPIN, g_round.state);
    ASSERT_TRUE(FramesUntil([&] { return Running(c.zoomHoldTimer); })) << "both wheels stopped";
    Call("ExitZoomWheel");
    if (g_round.state == STATE_PICK_CONSONANT) {
        char consonant = 0;
        for (char l = 'B'; l <= 'Z' && !consonant; ++l)
            if (!IsVowel(l) && g_round.letters[l - 'A'].occurs) consonant = l;
        char key[2] = {consonant, 0};
        Call("ChoseLetter", key);
        FramesUntil([] { return g_round.state != STATE_PICK_CONSONANT; });
    }
    if (g_round.state == STATE_END_OF_TURN) Call("ChangeTurn");
    ASSERT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_TRUE(Running(c.idleTimer)) << "the next turn after a spin fidgets again";

    // Solve by typing every letter on the board.
    ASSERT_TRUE(Call("Solve"));
    ASSERT_EQ(STATE_SOLVE, g_round.state);
    for (int i = 0; i < 200 && g_round.state == STATE_SOLVE && solveCursor; ++i) {
        char key[2] = {(char)solveCursor->letter, 0};
        Call("ChoseLetter", key);
        Frame();
    }
    ASSERT_EQ(STATE_ROUND_WON, g_round.state);
    EXPECT_GE(g_round.current->matchTotal, 1000);
    EXPECT_TRUE(Running(c.roundEndTimer));
    FramesUntil([&] { return Text(*c.message).find("Ann") != std::string::npos; }, 400);
    EXPECT_NE(std::string::npos, Text(*c.message).find("Ann")) << "the win reached the status bar";

    Call("EndShowSolution");
    EXPECT_EQ("WIN_ROUND", ops.windows.back());
    Call("GoToNextRound");
    EXPECT_EQ(ROUND_JACKPOT, g_round.roundType);
}

// The mystery wedge's answers: the win card leaves by itself once the cheer
// and its display time are over, the bankrupt card when it has landed; a
// bankrupt brings one disappointed crowd, and on a puzzle its letter
// completed the won round keeps its money. A lost $10,000 card drops into
// the podium when the sound handed to its trigger ends.
TEST_F(MatchDocumentTest, MysteryCardsLeaveByThemselvesAndAWonRoundKeepsItsMoney) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    GameControls& c = g_round.controls;
    ASSERT_NE(nullptr, c.mysteryWinCue);
    ASSERT_NE(nullptr, c.mysteryBankruptCue);
    ASSERT_NE(nullptr, c.tenThousandDownCues[2]);
    ASSERT_TRUE(LoadPuzzles());
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->appearance.SetName("Ann");
    g_gameData.currentProfile = ann.get();
    std::srand(11);
    StartGame(nullptr, "QUICK_PLAY");
    g_guiManager.OpenScreen("ROUND_WND");
    Frame(2);
    ASSERT_TRUE(Call("OnGameStart"));
    Call("OnTimerEndWaitForTheme");
    Call("OnDrawFullPanel");
    ASSERT_TRUE(FramesUntil([] { return g_round.inputPhase == PHASE_TURN; }));
    const int seat = g_round.CurrentSeat() - 1;
    ASSERT_GE(seat, 0);

    // Landing on the mystery wedge: its card comes up with the cheer, and
    // goes by itself.
    g_round.roundType = ROUND_MYSTERY;
    Call("ExitZoomWheel");  // no spin waits: only the last spin's reading is forgotten
    NewSpinControl* zoom = dynamic_cast<NewSpinControl*>(c.zoomWheel);
    ASSERT_NE(nullptr, zoom);
    zoom->TurnBy(340.1f - zoom->SignedAngle());  // notch 4: the mystery wedge
    g_round.wheelStopped = 1;
    Call("EndRotateZoomWheel");
    ASSERT_TRUE(g_round.wedgeValue == WEDGE_MYSTERY_PRIZE || g_round.wedgeValue == WEDGE_MYSTERY_BANKRUPT);
    GuiControl* card = c.mysteryCards[seat];
    EXPECT_FALSE(card->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_TRUE(FramesUntil([&] { return card->HasFlags(GUI_FLAG_HIDDEN); }, 400)) << "the mystery card stays up";
    Call("ExitZoomWheel");
    g_round.SetStateDirect(STATE_START_OF_TURN);

    // The prize: the card comes, the crowd cheers, the card goes.
    g_round.mysteryOutcome = MYSTERY_PRIZE;
    ASSERT_TRUE(Call("MisteryRevealYes"));
    GuiControl* win = c.mysteryMarkers[seat];
    EXPECT_FALSE(win->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_EQ(1, g_round.current->mysteryToken);
    EXPECT_TRUE(FramesUntil([&] { return Running(c.mysteryTimer); }, 50)) << "the cheer's end starts the display time";
    EXPECT_TRUE(FramesUntil([&] { return win->HasFlags(GUI_FLAG_HIDDEN); }, 400)) << "the mystery win card stays up";

    // The bankrupt on a puzzle the letter completed: the round is won with
    // its money, one disappointment, and the bankrupt card clears itself.
    g_round.mysteryOutcome = MYSTERY_BANKRUPT;
    g_round.mysteryRevealed = 0;
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.current->roundMoney = 2500;
    for (BoardTile* tile : c.tiles)
        if (tile && tile->HoldsCharacter()) tile->state = TILE_SHOWN;
    size_t before = ops.cues.size();
    ASSERT_TRUE(Call("MisteryRevealYes"));
    EXPECT_EQ(STATE_ROUND_WON, g_round.state);
    EXPECT_EQ(2500, g_round.current->roundMoney) << "the won round reads its money, not $0";
    EXPECT_GE(g_round.current->matchTotal, 2500);
    EXPECT_EQ(1, ops.Count("P_AUD_SM_DIS_", before) + ops.Count("P_AUD_LG_DIS_", before)) << "one crowd sound";
    GuiControl* bankrupt = c.mysteryBankruptCards[seat];
    EXPECT_FALSE(bankrupt->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_TRUE(FramesUntil([&] { return Running(c.mysteryTimer); }, 50)) << "the bankrupt's sound ends the mystery";
    EXPECT_TRUE(FramesUntil([&] { return bankrupt->HasFlags(GUI_FLAG_HIDDEN); }, 400));
    EXPECT_EQ(2500, g_round.current->roundMoney);

    // A lost $10,000 card: the sound handed to its trigger ends, it drops.
    ShowControl(c.tenThousandMarkers[2]);
    g_round.Ops().WatchSound(c.tenThousandDownCues[2], reinterpret_cast<SoundInstance*>(&ops.ended));
    Frame(2);
    EXPECT_TRUE(c.tenThousandMarkers[2]->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_FALSE(c.tenThousandDown[2]->HasFlags(GUI_FLAG_HIDDEN));
}

// Continue pressed as the round-win window's own timer ends: the window
// closes once, and the intro of the next round, opened meanwhile, stays.
TEST_F(MatchDocumentTest, AClosingWindowClosesNothingMore) {
    ASSERT_TRUE(Load("<gui start_screen=\"ROUND_WND\"><screen name=\"ROUND_WND\"/>"
                     "<window name=\"WIN_ROUND\"><button name=\"CONTINUE\"/>"
                     "<timer name=\"WAIT\" value=\"100\" auto=\"false\"/></window>"
                     "<window name=\"START_JACKPOTROUND\"><static name=\"CARD\"/></window></gui>",
                     CreateGuiControl))
        << Error();
    g_guiManager.OpenScreen("ROUND_WND");
    Frame(2);
    g_guiManager.OpenWindow("WIN_ROUND");
    Frame(30);
    GuiControl* next = g_guiManager.FindControl("WIN_ROUND.CONTINUE");
    GuiControl* wait = g_guiManager.FindControl("WIN_ROUND.WAIT");
    ASSERT_NE(nullptr, next);
    ASSERT_NE(nullptr, wait);
    GuiCallback close = Find("CloseWindow");
    ASSERT_NE(nullptr, close);
    EXPECT_TRUE(close(next, nullptr));
    g_guiManager.OpenWindow("START_JACKPOTROUND");
    Frame();
    EXPECT_FALSE(close(wait, nullptr)) << "the timer of a closing window";
    Frame(60);
    ASSERT_NE(nullptr, g_guiManager.GetCurrentWindow());
    EXPECT_STREQ("START_JACKPOTROUND", g_guiManager.GetCurrentWindow()->name);
}

// Enter on the last statistics of a finished match, where only New Game and
// Main Menu are offered: the statistics stay, the player is not left on a
// match that is over.
TEST_F(MatchDocumentTest, EnterOnTheLastStatisticsKeepsThemOpen) {
    ASSERT_TRUE(Load("<gui start_screen=\"ROUND_WND\"><screen name=\"ROUND_WND\"/>"
                     "<window name=\"PLAYER_STATS\"><key name=\"ENTER\" value=\"28\"/></window></gui>",
                     CreateGuiControl))
        << Error();
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->appearance.SetName("Ann");
    g_round.SetContestant(0, ann.get());
    g_round.gameMode = MODE_PLAY_ALONE;
    g_round.ranking.Clear();
    g_round.ranking.Append(&g_round.contestants[0]);
    g_round.statsShown = 1;
    g_round.SetStateDirect(STATE_END_OF_MATCH);
    g_guiManager.OpenScreen("ROUND_WND");
    Frame(2);
    g_guiManager.OpenWindow("PLAYER_STATS");
    Frame(30);
    GuiControl* enter = g_guiManager.FindControl("PLAYER_STATS.ENTER");
    ASSERT_NE(nullptr, enter);
    Find("CloseWindow")(enter, nullptr);
    Call("ShowNextPlayer");
    Frame(60);
    ASSERT_NE(nullptr, g_guiManager.GetCurrentWindow());
    EXPECT_STREQ("PLAYER_STATS", g_guiManager.GetCurrentWindow()->name);
    EXPECT_EQ(STATE_END_OF_MATCH, g_round.state) << "no round was set up after the match";
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.gameMode = MODE_QUICK_PLAY;
    g_round.statsShown = 0;
}

TEST_F(MatchDocumentTest, TrophyNumbersOutsideTheTableOrTheWindowAreIgnored) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    ASSERT_TRUE(LoadPuzzles());
    ASSERT_TRUE(g_gameData.trophies.Load("TROPHY"));
    ASSERT_EQ(TROPHY_COUNT, g_gameData.trophies.GetCount());
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->AwardTrophy(5);
    ann->AwardTrophy(9);
    // The cabinet shows Ann's trophies while Bob plays: hers are the ones told.
    std::unique_ptr<PlayerProfile> bob(new PlayerProfile(KIND_HUMAN));
    bob->AwardTrophy(6);
    g_gameData.currentProfile = bob.get();
    g_menu.trophyProfile = ann.get();
    GuiControl* marker = g_bound.WindowControl(kWindowTrophyWnd, 74);
    GuiControl* trophy5 = g_bound.WindowControl(kWindowTrophyWnd, 2 + 5);
    ASSERT_NE(nullptr, marker);
    trophy5->SetPosition(0.5f, 0.25f, 3.0f);

    Call("SelectTrophy", "5");
    EXPECT_EQ("UI_MENU_TRPHY_WON_ON", ops.cues.back());
    EXPECT_FALSE(marker->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_FLOAT_EQ(0.5f, marker->position.x);
    Call("SelectTrophy", "6");
    EXPECT_EQ("UI_MENU_TRPHY_UNWON_ON", ops.cues.back());
    size_t cues = ops.cues.size();
    for (const char* n : {"-1", "36", "72", "500"}) {
        Call("SelectTrophy", n);
        Call("SetTrohyIdle", n);
        EXPECT_EQ(cues, ops.cues.size()) << n;
        EXPECT_FALSE(marker->HasFlags(GUI_FLAG_HIDDEN)) << n;
    }
    Call("SetTrohyIdle", "5");
    EXPECT_TRUE(marker->HasFlags(GUI_FLAG_HIDDEN));

    // The statistics window steps through the won trophies only.
    g_round.SetContestant(0, ann.get());
    g_round.contestantCount = 1;
    g_round.ranking.Clear();
    g_round.ranking.Append(g_round.ContestantAt(0));
    g_round.statsShown = 0;
    Call("InitPlayerStats");
    ASSERT_EQ(g_round.ContestantAt(0), ShownContestant());
    EXPECT_EQ(0, g_statsTrophyIndex);
    GuiCallback change = Find("PlayerStatsChangeTrophy");
    int sender = 0;
    change(&sender, "-1");  // "next"
    EXPECT_EQ(1, g_statsTrophyIndex);
    change(&sender, "-1");
    EXPECT_EQ(1, g_statsTrophyIndex) << "no third trophy was won";
    change(&sender, "2");
    EXPECT_EQ(1, g_statsTrophyIndex);
    TrophyControl* model = g_bound.WindowAs<TrophyControl>(kWindowPlayerStats, 19);
    ASSERT_NE(nullptr, model);
    EXPECT_STREQ(g_gameData.trophies.At(9)->modelId, model->modelName);
    // The trophy is drawn, and the detail beside it tells which it is.
    EXPECT_NE(nullptr, model->body) << "the statistics window's trophy has no picture";
    TextControl* name = g_bound.GroupAs<TextControl>(kGroupTrophyDetail, kTrophyDetailName);
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(g_gameData.trophies.At(9)->name, name->block);
    g_gameData.trophies.Clear();
    g_menu.trophyProfile = nullptr;
}

TEST_F(MatchDocumentTest, TheTablesOwnStepsDoWhatTheyAreNamed) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    ASSERT_TRUE(Call("ChangeScreen", "ROUND_WND"));
    Frame(3);
    EXPECT_EQ(g_bound.Screen(kScreenRound), g_guiManager.GetCurrentScreen());
    ASSERT_TRUE(Call("OpenWindow", "PAUSE"));
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowPause), g_guiManager.GetCurrentWindow());
    ASSERT_TRUE(Call("ChangeWindow", "FREE_SPIN_ASK"));
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowFreeSpinAsk), g_guiManager.GetCurrentWindow()) << "in place of the pause";
    Call("CloseWindow");
    Frame(3);
    EXPECT_NE(g_bound.Window(kWindowFreeSpinAsk), g_guiManager.GetCurrentWindow());
    TimerControl* timer = g_round.controls.turnTimer;
    ASSERT_NE(nullptr, timer);
    timer->timeLeft = 0.0f;
    std::string path = std::string("ROUND_WND.") + timer->name;
    Call("StartTimer", path.c_str());
    EXPECT_FLOAT_EQ(timer->startTime, timer->timeLeft);
    Call("SetActiveControl", path.c_str());
    EXPECT_EQ(timer, g_guiManager.GetActiveControl());
    g_gameData.quitRequest = 0;
    Call("ExitGame");
    EXPECT_EQ(1, g_gameData.quitRequest);
    g_gameData.quitRequest = 0;

    // The sound steps, with the game's catalogue: an effect plays once at
    // the sound volume; music loops at the music volume, in place of the
    // music before it.
    ASSERT_TRUE(LoadPuzzles());
    HWND window = CreateWindowA("STATIC", "sounds", WS_OVERLAPPED, 0, 0, 64, 64, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(g_soundSystem.Init(window)) << g_soundSystem.GetError();
    const float volumes[2] = {g_gameData.settings.Get(SETTING_SOUND_VOLUME),
                              g_gameData.settings.Get(SETTING_MUSIC_VOLUME)};
    g_gameData.settings.Set(SETTING_SOUND_VOLUME, 0.25f);
    g_gameData.settings.Set(SETTING_MUSIC_VOLUME, 0.75f);
    g_currentMusic = nullptr;
    Call("PlaySound", "UI_MENU_SLD_UP");
    EXPECT_EQ(nullptr, g_currentMusic);
    ASSERT_EQ(1u, g_soundSystem.GetInstanceCount());
    SoundInstance* effect = g_soundSystem.GetInstance(0);
    EXPECT_STREQ("UI_MENU_SLD_UP", effect->GetSource()->name);
    EXPECT_EQ(SOUND_PLAYING_ONCE, effect->GetState());
    EXPECT_FLOAT_EQ(0.25f, effect->GetVolume());
    Call("PlayMusic", "UI_MENU_BG_LOOP_8BAR");
    SoundInstance* music = g_currentMusic;
    ASSERT_TRUE(g_soundSystem.IsPlaying(music));
    EXPECT_STREQ("UI_MENU_BG_LOOP_8BAR", music->GetSource()->name);
    EXPECT_EQ(SOUND_PLAYING_LOOPED, music->GetState());
    EXPECT_FLOAT_EQ(0.75f, music->GetVolume());
    Call("PlayMusic", "UI_MENU_BG_LOOP_8BAR");
    EXPECT_NE(music, g_currentMusic);
    EXPECT_EQ(SOUND_FINISHED, music->GetState()) << "the music before is stopped";
    g_soundSystem.Shutdown();
    g_currentMusic = nullptr;
    DestroyWindow(window);
    g_gameData.settings.Set(SETTING_SOUND_VOLUME, volumes[0]);
    g_gameData.settings.Set(SETTING_MUSIC_VOLUME, volumes[1]);
}

// "NewGame" by mode: another match of the same kind at once, or back to the
// menu's choice for a road trip and the puzzle of the day; "StartGroupPlay"
// needs both opponents and starts at once only against two computers.
TEST_F(MatchDocumentTest, NewGameAndStartGroupPlayByMode) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    ASSERT_TRUE(LoadPuzzles());
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN)), bea(new PlayerProfile(KIND_HUMAN));
    std::unique_ptr<PlayerProfile> bo(new PlayerProfile(KIND_COMPUTER)), cy(new PlayerProfile(KIND_COMPUTER));
    ann->appearance.SetName("Ann");
    bea->appearance.SetName("Bea");
    bo->appearance.SetName("Bo");
    cy->appearance.SetName("Cy");
    g_gameData.currentProfile = ann.get();
    auto screen = [] { return g_guiManager.GetCurrentScreen(); };
    auto window = [] { return g_guiManager.GetCurrentWindow(); };

    for (int mode : {MODE_QUICK_PLAY, MODE_PLAY_ALONE}) {
        g_round.gameMode = mode;
        g_round.roundType = ROUND_BONUS;
        EXPECT_TRUE(Call("NewGame")) << mode;
        EXPECT_EQ(ann.get(), g_round.ContestantOnSeat(1)->profile) << mode;
        EXPECT_EQ(ROUND_ONE, g_round.roundType) << mode << ": a new match from its round";
    }
    g_round.gameMode = MODE_ROAD_TRIP;
    EXPECT_FALSE(Call("NewGame")) << "the tour is chosen again";
    Frame(3);
    EXPECT_EQ(g_bound.Screen(kScreenMenu), screen());
    EXPECT_EQ(g_bound.Window(kWindowChooseModeWnd), window());
    g_round.gameMode = MODE_PUZZLE_OF_THE_DAY;
    EXPECT_TRUE(Call("NewGame"));
    Frame(3);
    EXPECT_EQ(g_bound.Screen(kScreenMenu), screen());
    EXPECT_EQ(g_bound.Window(kWindowPuzzleOfTheDay), window());

    // Group play, from its window.
    g_guiManager.OpenScreen("MENU");
    Frame(3);
    Call("OpenWindow", "GROUP_PLAY_WND");
    Frame(3);
    ann->SetOpponent(1, bo.get(), 0);
    Call("StartGroupPlay");
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowPlayersError), window()) << "one opponent is not enough";
    Call("CloseWindow");
    Frame(3);
    ASSERT_EQ(g_bound.Window(kWindowGroupPlayWnd), window());
    ann->SetOpponent(2, bea.get(), 0);
    Call("StartGroupPlay");
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowTossupInstructions), window()) << "humans first learn to buzz";
    Call("ChangeWindow", "GROUP_PLAY_WND");
    Frame(3);
    ann->SetOpponent(2, cy.get(), 1);
    Call("StartGroupPlay");
    Frame(3);
    EXPECT_EQ(MODE_GROUP_PLAY, g_round.gameMode);
    EXPECT_EQ(g_bound.Screen(kScreenRound), screen()) << "two computers: straight to the match";
}

// The avatar editor's sliders: a part that a man may go without (his hair,
// his beard) has "none" at the slider's left end and the styles after it; a
// woman's hair runs over the whole slider from the first style.
TEST_F(MatchDocumentTest, TheAvatarEditorsSlidersFollowTheirRules) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    RegisterMenuCallbacks(g_guiManager.GetCallbacks());
    int counts[2][PART_COUNT];
    std::memcpy(counts, g_gameData.partStyleCounts, sizeof(counts));
    g_gameData.partStyleCounts[GENDER_MALE][PART_HAIR] = 4;
    g_gameData.partStyleCounts[GENDER_MALE][PART_FACE_HAIR] = 3;
    g_gameData.partStyleCounts[GENDER_FEMALE][PART_HAIR] = 4;
    g_gameData.partStyleCounts[GENDER_MALE][PART_GLASSES] = 1;
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->appearance.SetName("Ann");
    ann->appearance.SetGender(GENDER_MALE);
    g_gameData.currentProfile = ann.get();
    Call("OpenWindow", "MAIN_MENU");
    Frame(3);
    Call("OpenEditProfile");
    Frame(3);
    ASSERT_EQ(g_bound.Window(kWindowEditProfile), g_guiManager.GetCurrentWindow());
    GuiControl* hair = g_bound.WindowControl(kWindowEditProfile, kEditHairStyle);
    GuiControl* beard = g_bound.WindowControl(kWindowEditProfile, kEditFaceHair);
    GuiControl* clothing = g_bound.WindowControl(kWindowEditProfile, kEditClothing);
    GuiControl* glasses = g_bound.WindowControl(kWindowEditProfile, kEditGlasses);
    auto part = [](int which) { return g_gameData.profiles.GetScratch(g_menu.editedGender)->appearance.GetPart(which); };
    auto slide = [&](GuiControl* slider, float value, const char* callback) {
        SetSliderOf(slider, value);
        Call(callback);
    };

    const struct {
        float slider;
        int style;
    } kMale[] = {{0.0f, 4}, {0.19f, 4}, {0.25f, 0}, {0.5f, 1}, {1.0f, 3}};
    for (const auto& k : kMale) {
        slide(hair, k.slider, "ChangeHairStyle");
        EXPECT_EQ(k.style, part(PART_HAIR)) << "male hair at " << k.slider;
    }
    slide(beard, 0.0f, "ChangeFaceHair");
    EXPECT_EQ(3, part(PART_FACE_HAIR)) << "no beard at the left end";
    slide(beard, 1.0f, "ChangeFaceHair");
    EXPECT_EQ(2, part(PART_FACE_HAIR));
    // Shown again, the slider stands where the style is: none at the left.
    slide(hair, 0.0f, "ChangeHairStyle");
    SetSliderOf(hair, 0.7f);
    Call("InitEditProfile");
    EXPECT_FLOAT_EQ(0.0f, SliderOf(hair));
    slide(hair, 0.25f, "ChangeHairStyle");
    Call("InitEditProfile");
    EXPECT_FLOAT_EQ(0.2f, SliderOf(hair));
    slide(clothing, 0.5f, "ChangeClothingStyle");
    EXPECT_EQ(4, g_gameData.profiles.GetScratch(g_menu.editedGender)->appearance.GetColour(PART_TORSO));
    SetCheckOf(glasses, true);
    Call("ToggleGlasses");
    EXPECT_EQ(0, part(PART_GLASSES));
    SetCheckOf(glasses, false);
    Call("ToggleGlasses");
    EXPECT_EQ(1, part(PART_GLASSES)) << "none";

    Call("ChangeGender", "FEMALE");
    EXPECT_TRUE(beard->HasFlags(GUI_FLAG_HIDDEN));
    slide(hair, 0.0f, "ChangeHairStyle");
    EXPECT_EQ(0, part(PART_HAIR)) << "a woman's first style at the left end";
    slide(hair, 1.0f, "ChangeHairStyle");
    EXPECT_EQ(3, part(PART_HAIR));
    std::memcpy(g_gameData.partStyleCounts, counts, sizeof(counts));
    g_gameData.profiles.ReleaseEditedProfiles(2);
}

// The options' video mode: a window mode that fits the desktop is taken
// and kept in the settings; a mode the display refuses opens the error
// window and changes no setting.
TEST_F(MatchDocumentTest, AVideoModeAppliedAndRefused) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    RegisterMenuCallbacks(g_guiManager.GetCallbacks());
    Settings saved;
    saved.CopyFrom(g_gameData.settings);
    g_gameData.settings.SetDefaults();
    g_gameData.settings.Set(SETTING_FULL_SCREEN, 0.0f);
    g_gameData.settings.Set(SETTING_WIDTH, 800.0f);
    g_gameData.settings.Set(SETTING_HEIGHT, 600.0f);
    Call("OpenWindow", "OPTIONS");
    Frame(3);
    GuiControl* resolution = g_bound.WindowControl(kWindowOptions, kOptionsResolution);
    GuiControl* fullScreen = g_bound.WindowControl(kWindowOptions, kOptionsFullScreen);
    GuiControl* apply = g_bound.WindowControl(kWindowOptions, kOptionsApply);
    ASSERT_NE(nullptr, apply);

    // Windowed at the smallest size.
    SetCheckOf(fullScreen, false);
    SetSliderOf(resolution, 0.0f);
    ShowControl(apply);
    int width = 0, height = 0;
    ResolutionAt(ResolutionIndex(0.0f), &width, &height);
    EXPECT_TRUE(Call("ApplyVideo"));
    EXPECT_EQ((float)width, g_gameData.settings.Get(SETTING_WIDTH));
    EXPECT_EQ((float)height, g_gameData.settings.Get(SETTING_HEIGHT));
    EXPECT_EQ(0.0f, g_gameData.settings.Get(SETTING_VIDEO_OPTION_1));
    EXPECT_TRUE(apply->HasFlags(GUI_FLAG_HIDDEN)) << "nothing left to apply";

    // Full screen in a mode the display does not have (a single-mode
    // display, as the test's is, refuses any other size).
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof(mode));
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    ResolutionAt(ResolutionIndex(0.0f), &width, &height);
    if ((int)mode.dmPelsWidth == width && (int)mode.dmPelsHeight == height) {
        g_gameData.settings.CopyFrom(saved);
        GTEST_SKIP() << "the display is in the mode the test would ask for";
    }
    Frame(3);
    SetCheckOf(fullScreen, true);
    SetSliderOf(resolution, 0.0f);
    g_gameData.settings.Set(SETTING_WIDTH, 800.0f);
    Settings before;
    before.CopyFrom(g_gameData.settings);
    DEVMODEA test = mode;
    test.dmPelsWidth = width;
    test.dmPelsHeight = height;
    test.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&test, CDS_TEST) == DISP_CHANGE_SUCCESSFUL) {
        g_gameData.settings.CopyFrom(saved);
        GTEST_SKIP() << "the display would take " << width << "x" << height;
    }
    EXPECT_FALSE(Call("ApplyVideo"));
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowVideoError), g_guiManager.GetCurrentWindow());
    for (int i = 0; i < SETTING_COUNT; ++i) EXPECT_EQ(before.Get(i), g_gameData.settings.Get(i)) << "setting " << i;
    EXPECT_FALSE(CheckOf(fullScreen)) << "the options show the settings again";
    g_gameData.settings.CopyFrom(saved);
}

// The menu table's steps that no other test calls by name, each called by
// its name on the game's windows and doing what only it does: the entry and
// the new player's window, a profile's details, the trophy cabinet, the
// options' volumes and switches, the in-game options, and the paging of the
// instructions and of the credits, each on its own text.
TEST_F(MatchDocumentTest, TheMenusOtherStepsDoWhatTheyAreNamed) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    ASSERT_TRUE(LoadPuzzles());
    ASSERT_TRUE(g_gameData.trophies.Load("TROPHY"));
    RegisterMenuCallbacks(g_guiManager.GetCallbacks());
    Settings saved;
    saved.CopyFrom(g_gameData.settings);
    g_gameData.settings.SetDefaults();
    g_gameData.settings.Set(SETTING_FULL_SCREEN, 0.0f);
    g_gameData.settings.Set(SETTING_WIDTH, 800.0f);
    g_gameData.settings.Set(SETTING_HEIGHT, 600.0f);
    auto window = [] { return g_guiManager.GetCurrentWindow(); };
    auto open = [&](const char* name) {
        Call("OpenWindow", name);
        Frame(3);
    };
    g_guiManager.OpenScreen("MENU");
    Frame(3);

    // No player yet: the name window, emptied, its field active, no Cancel;
    // Cancel goes back to the main menu.
    g_gameData.currentProfile = nullptr;
    Call("InitMenu");
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowEnterName), window());
    EditControl* field = g_bound.WindowAs<EditControl>(kWindowEnterName, kEnterNameField);
    ASSERT_NE(nullptr, field);
    EditControl::SetText(field, "Zed");
    g_guiManager.SetActiveControl(nullptr);
    Call("InitNewPlayer");
    EXPECT_STREQ("", field->text);
    EXPECT_EQ(field, g_guiManager.GetActiveControl());
    EXPECT_TRUE(g_bound.WindowControl(kWindowEnterName, kEnterNameCancel)->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_FALSE(Call("ForceActiveEdit"));
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowEnterName), window());
    Call("CancelCreate");
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowMainMenu), window());

    // A profile's details: the one named, then the one chosen in the list.
    PlayerProfile* ann = new PlayerProfile(KIND_HUMAN);
    PlayerProfile* bea = new PlayerProfile(KIND_HUMAN);
    ann->appearance.SetName("Ann");
    bea->appearance.SetName("Bea");
    ann->AddStat(STAT_MONEY_WON, 1234);
    bea->AddStat(STAT_MONEY_WON, 5678);
    ann->AwardTrophy(5);
    g_gameData.profiles.Add(ann, LIST_HUMANS);
    g_gameData.profiles.Add(bea, LIST_HUMANS);
    g_gameData.currentProfile = ann;
    open("PLAYER_PROFILES_POPUP");
    Call("InitProfiles");
    TextControl* winnings = g_bound.WindowAs<TextControl>(kWindowPlayerProfilesPopup, kListWinnings);
    ASSERT_NE(nullptr, winnings);
    Call("PlayerProfileDetails", "1");
    EXPECT_EQ("$5,678", Text(*winnings));
    Call("PlayerProfileHoverEnd");
    EXPECT_EQ("$1,234", Text(*winnings)) << "back to the chosen entry";

    // The cabinet: filled where it is asked for, opened by the trophies button.
    g_menu.trophyProfile = ann;
    open("HIGH_SCORES");
    TrophyControl* won = g_bound.WindowAs<TrophyControl>(kWindowTrophyWnd, kCabinetTrophy0 + 5);
    TrophyControl* other = g_bound.WindowAs<TrophyControl>(kWindowTrophyWnd, kCabinetTrophy0 + 6);
    ASSERT_NE(nullptr, won);
    ASSERT_NE(nullptr, other);
    won->mode = other->mode = 7;
    Call("InitTrophy");
    EXPECT_EQ(0, won->mode);
    EXPECT_EQ(1, other->mode);
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowHighScores), window());
    won->mode = other->mode = 7;
    Call("OnPressTrophy");
    EXPECT_EQ(0, won->mode);
    EXPECT_EQ(1, other->mode);
    Frame(3);
    EXPECT_EQ(g_bound.Window(kWindowTrophyWnd), window());

    // The options: each volume slider its own setting; the high quality
    // only weighs on Apply, the full screen also shows its own controls.
    open("OPTIONS");
    Call("InitOptions");
    SliderControl* sound = g_bound.WindowAs<SliderControl>(kWindowOptions, kOptionsSound);
    SliderControl* music = g_bound.WindowAs<SliderControl>(kWindowOptions, kOptionsMusic);
    ASSERT_NE(nullptr, sound);
    ASSERT_NE(nullptr, music);
    sound->SetValue(0.25f);
    music->SetValue(0.75f);
    const float musicBefore = g_gameData.settings.Get(SETTING_MUSIC_VOLUME);
    Find("ModifySoundValue")(sound, nullptr);
    EXPECT_FLOAT_EQ(0.25f, g_gameData.settings.Get(SETTING_SOUND_VOLUME));
    EXPECT_FLOAT_EQ(musicBefore, g_gameData.settings.Get(SETTING_MUSIC_VOLUME));
    Find("ModifyMusicValue")(music, nullptr);
    EXPECT_FLOAT_EQ(0.75f, g_gameData.settings.Get(SETTING_MUSIC_VOLUME));
    EXPECT_FLOAT_EQ(0.25f, g_gameData.settings.Get(SETTING_SOUND_VOLUME));
    GuiControl* apply = g_bound.WindowControl(kWindowOptions, kOptionsApply);
    GuiControl* refresh = g_bound.WindowControl(kWindowOptions, kOptionsRefresh);
    ASSERT_TRUE(apply->HasFlags(GUI_FLAG_HIDDEN));
    ASSERT_TRUE(refresh->HasFlags(GUI_FLAG_HIDDEN));
    SetCheckOf(g_bound.WindowControl(kWindowOptions, kOptionsFullScreen), true);
    Call("ToggleHighQuality");
    EXPECT_FALSE(apply->HasFlags(GUI_FLAG_HIDDEN)) << "full screen is not what the settings say";
    EXPECT_TRUE(refresh->HasFlags(GUI_FLAG_HIDDEN));
    Call("ToggleFullscreenWindowed");
    EXPECT_FALSE(refresh->HasFlags(GUI_FLAG_HIDDEN));

    // The in-game options show the settings; their full-screen box leaves
    // full screen for a window.
    GuiControl* inGameFull = g_bound.WindowControl(kWindowIngameOptions, kIngameFullScreen);
    SetCheckOf(inGameFull, true);
    Call("InitInGameOptions");
    EXPECT_FLOAT_EQ(0.75f, SliderOf(g_bound.WindowControl(kWindowIngameOptions, kIngameMusic)));
    EXPECT_FLOAT_EQ(0.25f, SliderOf(g_bound.WindowControl(kWindowIngameOptions, kIngameSound)));
    EXPECT_FALSE(CheckOf(inGameFull));
    DEVMODEA desktop;
    ZeroMemory(&desktop, sizeof(desktop));
    desktop.dmSize = sizeof(desktop);
    EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop);
    ASSERT_GT(desktop.dmPelsWidth, 800u) << "the window would not fit: a message box would wait";
    ASSERT_GT(desktop.dmPelsHeight, 600u);
    g_gameData.settings.Set(SETTING_FULL_SCREEN, 1.0f);
    EXPECT_TRUE(Call("ToggleInGameFullscreenWindowed"));
    EXPECT_EQ(0.0f, g_gameData.settings.Get(SETTING_FULL_SCREEN));

    // The instructions and the credits: set back to the top, paged down,
    // turned by the mouse wheel, and the text following its scroll bar;
    // each name moves its own text only.
    static TextBlock lines;
    lines.ClearLines();
    for (int i = 0; i < 40; ++i) lines.AddLine("line");
    struct Pages {
        int window, text, scroll;
        const char *init, *page, *wheel, *update;
    } const kPages[] = {
        {kWindowInstructions, kInstructionsText, kInstructionsScroll, "InstructionInit", "ChangePage",
         "RotateMouseWheel", "UpdateInstructionsText"},
        {kWindowCredits, kCreditsText, kCreditsScroll, "CreditsMoreInit", "ChangeCreditsPage",
         "CreditsRotateMouseWheel", "UpdateCreditsText"},
    };
    auto text = [](const Pages& p) { return g_bound.WindowAs<TextControl>(p.window, p.text); };
    auto scroll = [](const Pages& p) { return g_bound.WindowAs<ScrollControl>(p.window, p.scroll); };
    for (const Pages& p : kPages) {
        ASSERT_NE(nullptr, text(p));
        ASSERT_NE(nullptr, scroll(p));
        text(p)->SetTextBlock(&lines);
        text(p)->layout.linesShown = 10;
        scroll(p)->jump = 0.1f;
    }
    for (const Pages& p : kPages) {
        const Pages& q = &p == &kPages[0] ? kPages[1] : kPages[0];
        scroll(q)->SetValue(0.3f);
        text(q)->layout.firstLine = 2;
        scroll(p)->SetValue(0.5f);
        text(p)->layout.firstLine = 0;
        Call(p.update);
        EXPECT_EQ(15, text(p)->layout.firstLine) << p.update;
        EXPECT_FLOAT_EQ(0.5f, scroll(p)->value) << p.update;
        Call(p.page, "DOWN");
        EXPECT_NEAR(0.6f, scroll(p)->value, 1e-5f) << p.page;
        EXPECT_EQ(18, text(p)->layout.firstLine) << p.page;
        g_input.Set(INPUT_WHEEL, 2);
        Call(p.wheel);
        g_input.Set(INPUT_WHEEL, 0);
        EXPECT_NEAR(0.4f, scroll(p)->value, 1e-5f) << p.wheel;
        EXPECT_EQ(12, text(p)->layout.firstLine) << p.wheel;
        Call(p.init);
        EXPECT_EQ(0.0f, scroll(p)->value) << p.init;
        EXPECT_EQ(0, text(p)->layout.firstLine) << p.init;
        EXPECT_FLOAT_EQ(0.3f, scroll(q)->value) << p.init << ": not the other text's";
        EXPECT_EQ(2, text(q)->layout.firstLine) << p.init << ": not the other text's";
    }
    for (const Pages& p : kPages) text(p)->block = nullptr;

    g_gameData.settings.CopyFrom(saved);
    g_gameData.trophies.Clear();
    g_gameData.currentProfile = nullptr;
    g_gameData.profiles.Clear(LIST_HUMANS);
    g_menu = MenuState();
}

// Group play's drop-downs: each colour offers the other humans in list
// order (never the player, never the other colour's choice); a line or a
// computer level chooses, a line or level that is not there changes nothing.
TEST_F(MatchDocumentTest, TheGroupPlayDropDownsOfferAndChoose) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    RegisterMenuCallbacks(g_guiManager.GetCallbacks());
    auto make = [](int kind, const char* name, int level = 0) {
        PlayerProfile* p = new PlayerProfile(kind);
        p->appearance.SetName(name);
        if (p->GetAi()) p->GetAi()->SetLevel(level);
        g_gameData.profiles.Add(p, kind == KIND_HUMAN ? LIST_HUMANS : LIST_COMPUTERS);
        return p;
    };
    PlayerProfile* ann = make(KIND_HUMAN, "Ann");
    PlayerProfile* bea = make(KIND_HUMAN, "Bea");
    PlayerProfile* cid = make(KIND_HUMAN, "Cid");
    PlayerProfile* dot = make(KIND_HUMAN, "Dot");
    PlayerProfile* bo = make(KIND_COMPUTER, "Bo", AI_EASY);
    PlayerProfile* cy = make(KIND_COMPUTER, "Cy", AI_HARD);
    g_gameData.currentProfile = ann;
    Call("OpenWindow", "GROUP_PLAY_WND");
    Frame(3);
    auto offered = [&]() {
        std::vector<std::string> names;
        TextControl* list = g_bound.WindowAs<TextControl>(kWindowGroupPlayDropdown, kDropList);
        for (unsigned i = 0; list && list->block && i < list->block->LineCount(); ++i)
            names.push_back(list->block->Line(i));
        int shown = 0;
        for (int k = 0; k < 9; ++k) {
            GuiControl* entry = g_bound.WindowControl(kWindowGroupPlayDropdown, kDropEntry1 + k);
            if (entry && !entry->HasFlags(GUI_FLAG_HIDDEN)) ++shown;
        }
        EXPECT_EQ((int)names.size(), shown) << "one entry a name";
        return names;
    };
    auto text = [](int control) {
        TextControl* t = g_bound.WindowAs<TextControl>(kWindowGroupPlayWnd, control);
        return t ? Text(*t) : std::string("?");
    };

    Call("InitGroupPlayDropDownYellow");
    EXPECT_EQ((std::vector<std::string>{"Bea", "Cid", "Dot"}), offered());
    Call("SelectYellowPlayer", "2");
    EXPECT_EQ(cid, ann->GetOpponent(1)->profile);
    EXPECT_EQ("Cid", text(kGroupPlayRedName + 1));
    EXPECT_FALSE(g_bound.WindowControl(kWindowGroupPlayWnd, kGroupPlayYellowChosen)->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_TRUE(g_bound.WindowControl(kWindowGroupPlayWnd, kGroupPlayYellowEmpty)->HasFlags(GUI_FLAG_HIDDEN));

    Call("InitGroupPlayDropDownBlue");
    EXPECT_EQ((std::vector<std::string>{"Bea", "Dot"}), offered()) << "not the yellow one's";
    Call("SelectBluePlayer", "2");
    EXPECT_EQ(dot, ann->GetOpponent(2)->profile);
    Call("SelectBluePlayer", "3");
    Call("SelectBluePlayer", "0");
    Call("SelectBluePlayer", "MEDIUM");
    EXPECT_EQ(dot, ann->GetOpponent(2)->profile) << "no such line, no such level";
    Call("SelectBluePlayer", "EASY");
    EXPECT_EQ(bo, ann->GetOpponent(2)->profile);
    Call("SelectYellowPlayer", "HARD");
    EXPECT_EQ(cy, ann->GetOpponent(1)->profile);
    EXPECT_EQ("Cy", text(kGroupPlayRedName + 1));
    Call("SelectYellowPlayer", "EASY");
    EXPECT_EQ(cy, ann->GetOpponent(1)->profile) << "the one easy computer plays blue already";
    (void)bea;
    g_gameData.currentProfile = nullptr;
    g_gameData.profiles.Clear(LIST_HUMANS);
    g_gameData.profiles.Clear(LIST_COMPUTERS);
}

// The statistics window, one ranked contestant after the other: the texts
// of each, what only a human's page shows, and the buttons of the last page.
TEST_F(MatchDocumentTest, PlayerStatisticsTextsAndButtons) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN)), bo(new PlayerProfile(KIND_COMPUTER));
    ann->appearance.SetName("Ann");
    bo->appearance.SetName("Bo");
    ann->AddStat(STAT_MONEY_WON, 1000);
    g_round.SetContestant(0, ann.get());
    g_round.SetContestant(1, bo.get());
    Contestant* a = g_round.ContestantOnSeat(1);
    Contestant* b = g_round.ContestantOnSeat(2);
    a->matchTotal = 5000;
    a->roundsWon = 2;
    a->outcome = OUTCOME_BONUS;
    b->matchTotal = 1200;
    b->roundsWon = 1;
    b->outcome = OUTCOME_LOST;
    g_round.ranking.Clear();
    g_round.ranking.Append(a);
    g_round.ranking.Append(b);
    g_round.statsShown = 0;
    g_round.matchTime = 65.0f;
    g_round.gameMode = MODE_GROUP_PLAY;
    g_round.SetStateDirect(STATE_END_OF_MATCH);
    auto text = [](int i) {
        TextControl* t = g_bound.WindowAs<TextControl>(kWindowPlayerStats, i);
        return t ? Text(*t) : std::string("?");
    };
    auto shown = [](int i) {
        GuiControl* c = g_bound.WindowControl(kWindowPlayerStats, i);
        return c && !c->HasFlags(GUI_FLAG_HIDDEN);
    };

    Call("InitPlayerStats");
    EXPECT_EQ("Ann", text(kStatsName));
    EXPECT_EQ("$5,000", text(kStatsMoney));
    EXPECT_EQ("01:05", text(kStatsTime));
    EXPECT_EQ("2", text(kStatsRounds));
    EXPECT_EQ("$6,000", text(kStatsWinnings)) << "what she won before and this match's money, on to the bonus";
    EXPECT_TRUE(shown(kStatsWinnings));
    EXPECT_FALSE(shown(kStatsRoadTrip));
    EXPECT_TRUE(shown(kStatsContinue)) << "another page follows";
    EXPECT_FALSE(shown(kStatsNewGame));
    EXPECT_FALSE(shown(kStatsMainMenu));
    EXPECT_FALSE(shown(kStatsTrophy)) << "no trophy won";

    Call("InitPlayerStats");
    EXPECT_EQ("Bo", text(kStatsName));
    EXPECT_EQ("$1,200", text(kStatsMoney));
    EXPECT_EQ("1", text(kStatsRounds));
    EXPECT_FALSE(shown(kStatsWinnings)) << "a computer has no winnings";
    EXPECT_EQ("", text(kStatsWinnings));
    EXPECT_FALSE(shown(kStatsContinue)) << "the last page of a finished match";
    EXPECT_TRUE(shown(kStatsNewGame));
    EXPECT_TRUE(shown(kStatsMainMenu));

    // The puzzle of the day counts no rounds; its page shows no winnings.
    g_round.gameMode = MODE_PUZZLE_OF_THE_DAY;
    g_round.statsShown = 0;
    Call("InitPlayerStats");
    EXPECT_EQ("", text(kStatsRounds));
    EXPECT_FALSE(shown(kStatsRoundsFrame));
    EXPECT_FALSE(shown(kStatsWinnings));
    // A road trip that goes on continues from its last page.
    g_round.gameMode = MODE_ROAD_TRIP;
    g_gameData.currentProfile = ann.get();
    ann->SetStat(STAT_TOUR_RUNNING, 3);
    g_round.statsShown = 1;
    Call("InitPlayerStats");
    EXPECT_TRUE(shown(kStatsContinue));
    EXPECT_FALSE(shown(kStatsNewGame));
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.gameMode = MODE_QUICK_PLAY;
    g_round.statsShown = 0;
}

// The developer keys inside a match: each of the 29 commands, called by its
// name, changes what its name says, and only that (the debug table's
// handlers each in their place).
TEST_F(MatchDocumentTest, DebugCommandsInsideAMatch) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    ASSERT_TRUE(LoadPuzzles());
    ASSERT_TRUE(g_gameData.trophies.Load("TROPHY"));
    RegisterDebugCallbacks(g_guiManager.GetCallbacks());
    SetDeveloperMode(true);
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->appearance.SetName("Ann");
    g_round.SetContestant(0, ann.get());
    g_round.current = g_round.ContestantAt(0);
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    Frame(3);
    Contestant* c = g_round.current;

    // The timers' view: this build has none, and nothing changes.
    g_round.roundType = ROUND_ONE;
    g_round.SetStateDirect(STATE_START_OF_TURN);
    c->roundMoney = 700;
    g_round.turnsLeft = 2;
    g_round.wedgeValue = 450;
    EXPECT_TRUE(Call("HackShowTimers"));
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_EQ(ROUND_ONE, g_round.roundType);
    EXPECT_EQ(450, g_round.wedgeValue);
    EXPECT_EQ(700, c->roundMoney);
    EXPECT_EQ(2, g_round.turnsLeft);

    // Statistics of the seat-1 player, one command each.
    const struct {
        const char* command;
        int stat, by;
    } kStats[] = {{"HackAddJackpots", STAT_JACKPOTS_WON, 1},
                  {"HackAddBonusWin", STAT_BONUS_WINS, 1},
                  {"HackAddSoloWin", STAT_SOLO_WINS, 1},
                  {"HackAddHoursPlay", STAT_MINUTES_PLAYED, 60}};
    for (const auto& k : kStats) {
        int before[kStatCount];
        for (int i = 0; i < kStatCount; ++i) before[i] = ann->GetStat(i);
        EXPECT_TRUE(Call(k.command));
        for (int i = 0; i < kStatCount; ++i)
            EXPECT_EQ(before[i] + (i == k.stat ? k.by : 0), ann->GetStat(i)) << k.command << " statistic " << i;
    }

    // Money and turns.
    g_round.roundType = ROUND_ONE;
    c->roundMoney = 1000;
    Call("HackIncreaseScore", "500");
    EXPECT_EQ(1500, c->roundMoney);
    Call("HackDecreaseScore", "200");
    EXPECT_EQ(1300, c->roundMoney);
    Call("HackAddTotalScore", "2500");
    EXPECT_EQ(2500, c->matchTotal);
    g_round.turnsLeft = 3;
    Call("HackAddTurns");
    EXPECT_EQ(4, g_round.turnsLeft);
    Call("HackDecTurns");
    EXPECT_EQ(3, g_round.turnsLeft);

    // Wedges forced on the wheel.
    g_round.SetStateDirect(STATE_START_OF_TURN);
    Call("HackLooseATurn");
    EXPECT_EQ(WEDGE_LOSE_A_TURN, g_round.wedgeValue);
    g_round.SetStateDirect(STATE_START_OF_TURN);
    Call("HackBankrupt");
    EXPECT_EQ(WEDGE_BANKRUPT, g_round.wedgeValue);
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.freeSpinWedge = WEDGE_OPEN;
    Call("HackFreeSpin");
    EXPECT_EQ(WEDGE_FREE_SPIN, g_round.wedgeValue);
    EXPECT_EQ(WEDGE_WAITING, g_round.freeSpinWedge);
    g_round.SetStateDirect(STATE_START_OF_TURN);
    Call("HackFreeSpin");
    EXPECT_EQ(300, g_round.wedgeValue) << "the second time only the value";
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.wedgeValue = 0;
    Call("HackMysteryBankrupt");
    Call("HackMysteryWin");
    EXPECT_EQ(0, g_round.wedgeValue) << "outside the mystery round nothing changes";
    g_round.roundType = ROUND_MYSTERY;
    g_round.mysteryOutcome = MYSTERY_NONE;
    g_round.mysteryRevealed = 0;
    Call("HackMysteryWin");
    EXPECT_EQ(MYSTERY_PRIZE, g_round.mysteryOutcome);
    EXPECT_EQ(WEDGE_MYSTERY_PRIZE, g_round.wedgeValue);
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.mysteryOutcome = MYSTERY_NONE;
    Call("HackMysteryBankrupt");
    EXPECT_EQ(MYSTERY_BANKRUPT, g_round.mysteryOutcome);

    // Rounds skipped to: the round ends as the one before the named round.
    const struct {
        const char* command;
        int type;
    } kRounds[] = {{"HackRound1", ROUND_TOSSUP_2000},
                   {"HackRoundJackpot", ROUND_ONE},
                   {"HackRoundMistery", ROUND_JACKPOT},
                   {"HackRoundBonus", ROUND_TIEBREAK}};
    for (const auto& k : kRounds) {
        g_round.SetStateDirect(STATE_START_OF_TURN);
        g_round.roundType = ROUND_MYSTERY;
        Call(k.command);
        EXPECT_EQ(k.type, g_round.roundType) << k.command;
        EXPECT_EQ(STATE_ROUND_WON, g_round.state) << k.command;
    }

    // The jackpot and $10,000 wedges, each in its own round only.
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.roundType = ROUND_JACKPOT;
    g_round.jackpotState = WEDGE_OPEN;
    g_round.tenThousandWedge = WEDGE_OPEN;
    g_round.wedgeValue = 0;
    Call("HackPrize10k");
    EXPECT_EQ(0, g_round.wedgeValue) << "no $10,000 wedge in the jackpot round";
    Call("HackJackpot");
    EXPECT_EQ(WEDGE_JACKPOT, g_round.wedgeValue);
    EXPECT_EQ(WEDGE_WAITING, g_round.jackpotState);
    EXPECT_EQ(STATE_PICK_CONSONANT, g_round.state);
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.roundType = ROUND_ONE;
    g_round.wedgeValue = 0;
    Call("HackJackpot");
    EXPECT_EQ(0, g_round.wedgeValue) << "no jackpot wedge in round one";
    Call("HackPrize10k");
    EXPECT_EQ(800, g_round.wedgeValue);
    EXPECT_EQ(WEDGE_WAITING, g_round.tenThousandWedge);
    EXPECT_EQ(STATE_PICK_CONSONANT, g_round.state);

    // The solution shown: the round is won as it is, no other round set up.
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.roundType = ROUND_MYSTERY;
    Call("HackShowSolution");
    EXPECT_EQ(STATE_ROUND_WON, g_round.state);
    EXPECT_EQ(ROUND_MYSTERY, g_round.roundType);

    // The next puzzle, shown whole.
    g_round.StopAllTimers();
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.gameMode = MODE_QUICK_PLAY;
    g_round.roundType = ROUND_ONE;
    std::string before = g_round.puzzle.id;
    Call("HackScrollPuzzles");
    EXPECT_NE(before, g_round.puzzle.id);
    EXPECT_NE('\0', g_round.puzzle.id[0]);
    EXPECT_TRUE(g_round.IsPuzzleSolved()) << "every tile of the new puzzle shown";
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);

    // Every trophy for the player of seat 1.
    ASSERT_EQ(0u, ann->GetTrophyCount());
    Call("HackAddAllTrophy");
    EXPECT_EQ((unsigned)TROPHY_COUNT, ann->GetTrophyCount());

    // The avatars, and the board's and floor's reflections, shown or hidden
    // in turn; each key leaves the other's controls alone.
    GuiControl* avatar = g_bound.ScreenControl(kScreenRound, kMatchAvatar1 + 2);
    GuiControl* reflection = g_bound.ScreenControl(kScreenRound, kMatchReflection);
    GuiControl* glow = g_bound.ScreenControl(kScreenRound, kMatchReflectionGlow);
    ASSERT_NE(nullptr, avatar);
    ASSERT_NE(nullptr, reflection);
    ASSERT_NE(nullptr, glow);
    const bool drawn = !avatar->HasFlags(GUI_FLAG_NOT_DRAWN), shown = !reflection->HasFlags(GUI_FLAG_HIDDEN);
    Call("HackShowHideChars");
    EXPECT_EQ(drawn, avatar->HasFlags(GUI_FLAG_NOT_DRAWN));
    EXPECT_EQ(shown, !reflection->HasFlags(GUI_FLAG_HIDDEN));
    Call("HackShowHideReflexions");
    EXPECT_EQ(shown, reflection->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_EQ(shown, glow->HasFlags(GUI_FLAG_HIDDEN));
    EXPECT_EQ(drawn, avatar->HasFlags(GUI_FLAG_NOT_DRAWN));
    Call("HackShowHideChars");
    Call("HackShowHideReflexions");
    EXPECT_EQ(drawn, !avatar->HasFlags(GUI_FLAG_NOT_DRAWN));
    EXPECT_EQ(shown, !reflection->HasFlags(GUI_FLAG_HIDDEN));

    // The wheels: one step more of both, then both stopped at their next step.
    NewSpinControl* wheels[] = {g_bound.ScreenAs<NewSpinControl>(kScreenRound, kMatchWheel),
                                g_bound.ScreenAs<NewSpinControl>(kScreenRound, kMatchZoomWheel)};
    for (NewSpinControl* w : wheels) {
        ASSERT_NE(nullptr, w);
        w->remaining = 100.0f;
        w->velocity = 50.0f;
        w->acceleration = w->jerk = 0.0f;
    }
    Call("HackRotateWheel");
    for (NewSpinControl* w : wheels) EXPECT_FLOAT_EQ(100.0f - 50.0f * g_renderer.frameTime, w->remaining);
    Call("HackStopZoomWheel");
    for (NewSpinControl* w : wheels) EXPECT_FLOAT_EQ(0.001f, w->remaining);
    for (NewSpinControl* w : wheels) w->remaining = w->velocity = 0.0f;

    // The animations: one step each, round all of them and back.
    int first = DebugAnimationIndex();
    Call("HackPlayAnim");
    EXPECT_EQ((first + 1) % kAvatarAnimationCount, DebugAnimationIndex());
    for (int i = 1; i < kAvatarAnimationCount; ++i) Call("HackPlayAnim");
    EXPECT_EQ(first, DebugAnimationIndex());
    g_round.StopAllTimers();
    g_round.SetStateDirect(STATE_START_OF_TURN);
    g_round.SetContestant(0, nullptr);
    g_gameData.trophies.Clear();
}

// A developer key reaches its command only in a game started as a
// developer's, and never while a solve or a name is typed: "=" and "'" are
// keys of a solution (Y'ALL COME BACK NOW) and of a name as well.
TEST_F(MatchDocumentTest, DeveloperKeysActOnlyForADeveloperAndNeverWhileTyping) {
    ASSERT_TRUE(LoadMatch(true)) << Error();
    RegisterDebugCallbacks(g_guiManager.GetCallbacks());
    std::unique_ptr<PlayerProfile> ann(new PlayerProfile(KIND_HUMAN));
    ann->appearance.SetName("Ann");
    g_round.SetContestant(0, ann.get());
    g_round.current = g_round.ContestantAt(0);
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    Frame(3);
    g_round.SetStateDirect(STATE_START_OF_TURN);
    Contestant* c = g_round.current;
    // The keys "=" and "'": the match total +$1,000, an hour played more.
    auto press = [&]() {
        Call("HackAddTotalScore", "1000");
        Call("HackAddHoursPlay");
    };
    auto expectUnchanged = [&](int total, int minutes, const char* when) {
        EXPECT_EQ(total, c->matchTotal) << when;
        EXPECT_EQ(minutes, ann->GetStat(STAT_MINUTES_PLAYED)) << when;
    };

    SetDeveloperMode(false);
    press();
    expectUnchanged(0, 0, "a player's game");

    SetDeveloperMode(true);
    press();
    expectUnchanged(1000, 60, "a developer's game");

    g_round.SetStateDirect(STATE_SOLVE);
    press();
    expectUnchanged(1000, 60, "while a solve is typed");
    g_round.SetStateDirect(STATE_START_OF_TURN);

    EditControl field;
    g_guiManager.SetActiveControl(&field);
    press();
    expectUnchanged(1000, 60, "while a text field has the keyboard");
    g_guiManager.SetActiveControl(nullptr);

    press();
    expectUnchanged(2000, 120, "once the typing is over");
    g_round.SetContestant(0, nullptr);
}

TEST_F(MatchDocumentTest, ADocumentWithoutTheMatchContainersBindsNullsAndNothingBreaks) {
    ASSERT_TRUE(LoadMatch(false)) << Error();
    GameControls& c = g_round.controls;
    EXPECT_EQ(nullptr, c.tiles[0]);
    EXPECT_EQ(nullptr, c.statusBar);
    EXPECT_EQ(nullptr, c.bonusPrizeDisplay);
    EXPECT_EQ(nullptr, g_bound.Screen(kScreenRound));
    EXPECT_EQ(nullptr, g_bound.ScreenControl(kScreenRound, 0));
    EXPECT_NE(nullptr, g_bound.Screen(kScreenMenu));
    EXPECT_EQ(nullptr, g_bound.ScreenControl(kScreenMenu, 500)) << "past the bound ones";
    for (const char* name : {"Spin", "Round_VerifTimer", "EndRotateWheel", "EndRotateZoomWheel", "ExitZoomWheel",
                             "NextMessage", "InitPlayerStats", "PlayerStatsHoverTrophy", "OnEndTimerMystery",
                             "SetBonusMoney", "ShowNextPlayer", "OnEndTimerShowPodiumsScore", "RevealBonusInitial"})
        Call(name);
    for (const char* name : {"SelectTrophy", "SetTrohyIdle", "PlayBk10kDownAnim", "PlayMystery10kDownAnim"})
        Call(name, "1");
    EXPECT_TRUE(Call("PauseGame", "WITH_SOUNDS"));
    EXPECT_TRUE(Call("ResumeGame"));
}

// ---- The full edition's own document ---------------------------------------------

void RegisterFullEditionCallbacks(CallbackRegistry& registry) {
    RegisterDebugCallbacks(registry);
    RegisterMenuCallbacks(registry);
    RegisterGameScreenCallbacks(registry);
}

const EditionUnderTest kFullEdition = {"Quorvane.xml",   &kFullGuiPositions, RegisterFullEditionCallbacks,
                                       CreateGuiControl, BindGameControls,   nullptr, nullptr};

// Its pictures are the Direct3D device's: a renderer on a window of its own.
class FullDocument : public EditionDocument {
protected:
    FullDocument() : EditionDocument(kFullEdition) {}
    void SetUp() override {
        device.SetUp();
        if (HasFatalFailure()) return;
        EditionDocument::SetUp();
        if (HasFatalFailure()) return;
        g_round.SetOps(&ops);
        std::srand(5);
    }
    void TearDown() override {
        EditionDocument::TearDown();
        device.TearDown();
    }
    DeviceTestWindow device{"QvFullDocument", 800, 600};
    Silent<GameScreenOps> ops;
};

// The races that stalled a match for good. A toss-up solved while the seat
// before had just answered wrong and its turn was still ending:
TEST_F(FullDocument, ATossupWonWhileATurnEndsStaysWonAndTheMatchMovesOn) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectATossupWonWhileATurnEndsMovesOn(Frames());
}

// And its twin: a buzz while a turn ends, cut short by that turn's end.
TEST_F(FullDocument, ABuzzWhileATurnEndsKeepsItsAttempt) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectABuzzWhileATurnEndsKeepsItsAttempt(Frames());
}

// The developer gate of every debug command the full edition registers, in a
// quick-play match started from the menu: a player's game never reaches one,
// nor does a developer's while a name or a solve is typed. Only the timers'
// view does nothing even for a developer.
TEST_F(FullDocument, EveryDebugCommandActsOnlyForADeveloperWhoIsNotTyping) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    CallbackRegistry debug;
    RegisterDebugCallbacks(debug);
    ASSERT_EQ(29u, debug.RegisteredCount());
    InAnnsFirstTurn(Frames(), [&] {
        ExpectEveryDebugCommandBehindTheGate(debug.RegisteredCount(), {"HackShowTimers"});
    });
}

}  // namespace
