// An edition as its entry starts it, from the game folder (its manifest and
// archive, fonts and texts, callbacks, "GUI" document, binding and round),
// and what both editions' tests drive through it.
#pragma once
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control_binding.h"
#include "control_wheel.h"
#include "controls_simple.h"
#include "file_system.h"
#include "font_manager.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "gui_test_util.h"
#include "input_state.h"
#include "profiles.h"
#include "renderer.h"
#include "resource_manager.h"
#include "round_controller.h"
#include "screen_ops.h"

// An edition's screen operations, silent: the cues that a sound trigger
// watches come back as an instance the sound system does not hold (one that
// has ended), and nothing is saved.
template <class Ops>
struct Silent : Ops {
    SoundInstance* PlayCue(const char* cue, int, bool) override {
        const bool watched = std::strcmp(cue, "LAND_ON_BANKRUPT") == 0 || std::strncmp(cue, "P_AUD_EXC_", 10) == 0 ||
                             std::strncmp(cue, "P_AUD_CLAP_CHEER_", 17) == 0;
        return watched ? reinterpret_cast<SoundInstance*>(&ended) : nullptr;
    }
    void StopAllSounds() override {}
    void PauseAllSounds() override {}
    void ResumeAllSounds() override {}
    bool SaveGame() override { return true; }
    char ended = 0;
};

// Runs frames of an edition until done() holds, at most MOST of them; says
// whether it came to hold.
using EditionFrames = std::function<bool(const std::function<bool()>&, int most)>;

// What tells one edition from the other at its start.
struct EditionUnderTest {
    const char* manifest;
    const GuiPositions* positions;
    void (*registerCallbacks)(CallbackRegistry&);
    GuiControlFactory factory;
    void (*bindControls)();
    void (*installRound)();  // the edition's reactions, screen sets and operations
    void (*removeRound)();
};

class EditionDocument : public ::testing::Test {
protected:
    explicit EditionDocument(const EditionUnderTest& e) : edition(e) {}
    void SetUp() override {
        std::string game = GameFolder();
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((game + "\\" + edition.manifest).c_str()))
            << "no game folder at " << game;
        GetCurrentDirectoryA(MAX_PATH, previous);
        ASSERT_TRUE(SetCurrentDirectoryA(game.c_str()));
        ASSERT_TRUE(g_fileSystem.Load(edition.manifest)) << g_fileSystem.GetError();
        ASSERT_TRUE(g_resourceManager.Init());
        ASSERT_TRUE(g_fontManager.Load()) << g_fontManager.GetError();
        g_guiManager.Clear();
        g_input.Clear();
        g_renderer.frameTime = g_renderer.defaultFrameTime = 1.0f / 35.0f;
        g_renderer.mouseView = Vector3{5.0f, 5.0f, 0.0f};
        UsePositions(*edition.positions);
        edition.registerCallbacks(g_guiManager.GetCallbacks());
        ASSERT_TRUE(g_guiManager.Load(edition.factory)) << g_guiManager.GetError();
        edition.bindControls();
        if (edition.installRound) edition.installRound();
    }
    void TearDown() override {
        if (edition.removeRound) edition.removeRound();
        for (int i = 0; i < RoundController::kSeats; ++i) g_round.SetContestant(i, nullptr);
        g_round.current = g_round.opener = nullptr;
        g_round.ranking.Clear();
        g_round.SetOps(nullptr);
        g_gameData.currentProfile = nullptr;
        g_guiManager.Clear();
        g_bound.Clear();
        g_round.controls = GameControls();
        UsePositions(FullEditionPositions());
        g_fontManager.FreeAll();
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
        g_input.Clear();
        if (previous[0]) SetCurrentDirectoryA(previous);
    }
    // The game folder the build assembled, as Wine names it.
    static std::string GameFolder() {
        std::string game = std::string("Z:") + QV_GAME_DIR;
        for (char& c : game)
            if (c == '/') c = '\\';
        return game;
    }

    void Frame(int n = 1) { GuiFrames(n); }
    // Frames until the condition holds; false after too many.
    bool FramesUntil(const std::function<bool()>& done, int most) {
        for (int i = 0; i < most && !done(); ++i) Frame();
        return done();
    }
    // The frames of this edition, for the shared races below.
    EditionFrames Frames() {
        return [this](const std::function<bool()>& done, int most) { return FramesUntil(done, most); };
    }
    bool Call(const char* name, const char* argument = nullptr) {
        GuiCallback c = g_guiManager.GetCallbacks().Find(name);
        EXPECT_NE(nullptr, c) << name;
        return c && c(nullptr, argument);
    }
    static bool Named(const GuiScreen* s, const char* name) { return s && s->name && std::strcmp(s->name, name) == 0; }

    EditionUnderTest edition;
    char previous[MAX_PATH] = "";
};

// Ann (a person) and two computers sit down to group play, as the group-play
// window starts it (the caller has loaded the edition's document, its menu
// showing), and the first toss-up's board lights; then race(framesUntil)
// runs. framesUntil(done, most) runs frames of the edition until done()
// holds.
inline void InTheFirstTossup(const EditionFrames& framesUntil, const std::function<void()>& race) {
    RoundController& rc = g_round;
    PlayerProfile ann(KIND_HUMAN), bo(KIND_COMPUTER), cy(KIND_COMPUTER);
    ann.appearance.SetName("Ann");
    bo.appearance.SetName("Bo");
    cy.appearance.SetName("Cy");
    ann.SetOpponent(1, &bo, 0);
    ann.SetOpponent(2, &cy, 1);
    struct Seats {
        ~Seats() {
            for (int i = 0; i < RoundController::kSeats; ++i) g_round.SetContestant(i, nullptr);
            g_round.current = g_round.opener = nullptr;
            g_gameData.currentProfile = nullptr;
        }
    } leaveTheSeats;
    g_gameData.currentProfile = &ann;
    rc.gameMode = MODE_GROUP_PLAY;
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));  // its opening begins the match
    ASSERT_TRUE(framesUntil([&] { return rc.roundType == ROUND_TOSSUP_1000 && rc.boardLighting; }, 35 * 20))
        << "the first toss-up's board lights";
    ASSERT_TRUE(framesUntil([&] { return rc.state == STATE_START_OF_TURN && !rc.boardLighting; }, 35 * 40))
        << "the toss-up's first turn starts";
    race();
}

// Seat 1 answers wrong (its turn's end is pending: 1.5 s) and seat 2 buzzes
// and solves at once. The round must stay won, nothing may start a turn
// over it, and the match must move on to the second toss-up by itself.
inline void ExpectATossupWonWhileATurnEndsMovesOn(const EditionFrames& framesUntil) {
    InTheFirstTossup(framesUntil, [&] {
        RoundController& rc = g_round;
        rc.current = rc.ContestantOnSeat(1);
        ASSERT_TRUE(rc.SetState(STATE_END_OF_TURN));  // seat 1's wrong answer
        TimerControl* turnEnds = rc.controls.endOfTurnTimer;
        ASSERT_TRUE(turnEnds && turnEnds->timeLeft > 0.0f) << "its turn ends when the timer does";
        rc.current = rc.ContestantOnSeat(2);
        rc.EndRoundShown(STATE_ROUND_WON);  // seat 2 solves
        ASSERT_EQ(STATE_ROUND_WON, rc.state);

        bool putBack = false;
        bool movedOn = framesUntil(
            [&] {
                if (rc.roundType == ROUND_TOSSUP_1000 && rc.state != STATE_ROUND_WON) putBack = true;
                return rc.roundType != ROUND_TOSSUP_1000;
            },
            35 * 60);
        EXPECT_FALSE(putBack) << "the won toss-up was put back in play (state " << rc.state << ")";
        EXPECT_TRUE(movedOn) << "the match never left the won toss-up";
        EXPECT_EQ(ROUND_TOSSUP_2000, rc.roundType);
        EXPECT_EQ(1000, rc.ContestantOnSeat(2)->matchTotal) << "the toss-up is paid once, to its winner";
    });
}

// A turn is ending (the reveal's turn ran out: 1.5 s) when Ann buzzes in.
// Her attempt is hers until it is judged: the end of the turn before it
// neither cuts it short nor leaves its cursor on the board (the cursor's
// tile, neither hidden nor shown, left the toss-up with nothing to reveal
// and nothing to solve, for good).
inline void ExpectABuzzWhileATurnEndsKeepsItsAttempt(const EditionFrames& framesUntil) {
    InTheFirstTossup(framesUntil, [&] {
        RoundController& rc = g_round;
        rc.current = rc.ContestantOnSeat(2);
        ASSERT_TRUE(rc.SetState(STATE_END_OF_TURN));
        GuiCallback buzz = g_guiManager.GetCallbacks().Find("OnTossupSolve");
        ASSERT_NE(nullptr, buzz);
        ASSERT_TRUE(buzz(nullptr, "1"));
        ASSERT_EQ(STATE_SOLVE, rc.state);
        ASSERT_EQ(rc.ContestantOnSeat(1), rc.current);
        bool cut = false;
        framesUntil([&] { return (cut = rc.state != STATE_SOLVE); }, 35 * 3);
        EXPECT_FALSE(cut) << "the attempt ended in state " << rc.state << " before Ann typed a letter";
        EXPECT_EQ(rc.ContestantOnSeat(1), rc.current);
    });
}

// What a match may change of the match screen's controls (and of their
// child groups'): both flag words (the open bit aside) and the position.
struct ControlLook {
    const GuiControl* control;
    unsigned flags;
    Vector3 position;
};

inline void AddLooks(const GuiGroup* group, std::vector<ControlLook>& out, int depth = 0) {
    if (!group || depth > 8) return;
    for (int i = 0; i < group->controlCount; ++i) {
        const GuiControl* c = group->controls[i];
        out.push_back({c, c->Flags() & ~(unsigned)GUI_FLAG_OPEN, c->position});
        AddLooks(c->childGroup, out, depth + 1);
    }
}

inline std::vector<ControlLook> MatchScreenLook() {
    std::vector<ControlLook> look;
    AddLooks(g_bound.Screen(Pos().screenRound), look);
    return look;
}

inline bool WheelTurning(const GuiControl* control) {
    const NewSpinControl* wheel = dynamic_cast<const NewSpinControl*>(control);
    return wheel && wheel->IsSpinning();
}

// Ann alone leaves a quick play through Pause and Main Menu at each moment
// of a spin: while the spin waits for its delay, while the wheel turns,
// while the close-up turns (where the edition turns the wheel first), and
// with both at rest before the wedge is taken. Each time the menu comes,
// nothing of the match moves again (no window over the menu, no timer of
// the round running, the round as it was left), and the next match looks
// as the first did at the same moment: the same controls shown, hidden and
// placed (the close-up had hidden the board's frame, the category bar and
// the keys' backing for good).
inline void ExpectLeavingDuringASpinLeavesNothingBehind(const EditionFrames& framesUntil) {
    RoundController& rc = g_round;
    GameControls& c = rc.controls;
    PlayerProfile ann(KIND_HUMAN);
    ann.appearance.SetName("Ann");
    struct Seats {
        ~Seats() {
            for (int i = 0; i < RoundController::kSeats; ++i) g_round.SetContestant(i, nullptr);
            g_round.current = g_round.opener = nullptr;
            g_gameData.currentProfile = nullptr;
        }
    } leaveTheSeats;
    g_gameData.currentProfile = &ann;
    CallbackRegistry& calls = g_guiManager.GetCallbacks();
    auto call = [&](const char* name, const char* argument) {
        GuiCallback f = calls.Find(name);
        EXPECT_NE(nullptr, f) << name;
        if (f) f(nullptr, argument);
    };
    auto on = [](const char* name) {
        const GuiScreen* w = g_guiManager.GetCurrentWindow();
        return w && w->name && std::strcmp(w->name, name) == 0;
    };
    auto screenIs = [](const char* name) {
        const GuiScreen* s = g_guiManager.GetCurrentScreen();
        return s && s->name && std::strcmp(s->name, name) == 0;
    };
    auto turnReady = [&] {
        return screenIs("ROUND_WND") && g_guiManager.GetCurrentWindow() == g_guiManager.GetCurrentScreen() &&
               rc.roundType == ROUND_ONE && rc.state == STATE_START_OF_TURN && rc.inputPhase == PHASE_TURN &&
               !rc.boardLighting && g_guiManager.QueuedCommands() == 0;
    };
    // The theme and the round's title card are hurried (a player may skip
    // the card too); the rest of the start is the match's own.
    TimerControl* titleCard = dynamic_cast<TimerControl*>(g_guiManager.FindControl("START_ROUND1.INTRO_TIMER"));
    auto startMatch = [&] {
        call("StartGame", "QUICK_PLAY");
        ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
        ASSERT_TRUE(framesUntil([&] { return c.introTimer && c.introTimer->timeLeft > 0.0f; }, 35 * 10));
        c.introTimer->timeLeft = 0.05f;
        framesUntil([&] { return on("START_ROUND1") && titleCard && titleCard->timeLeft > 0.0f; }, 35 * 5);
        if (titleCard && titleCard->timeLeft > 0.1f) titleCard->timeLeft = 0.1f;
        ASSERT_TRUE(framesUntil(turnReady, 35 * 30)) << "the first turn of the match comes (state " << rc.state << ")";
    };
    struct Moment {
        const char* name;
        std::function<bool()> now;
    } moments[] = {
        {"the spin waits for its delay", [&] { return rc.spinRequested && rc.state != STATE_SPIN; }},
        {"the wheel turns", [&] { return rc.state == STATE_SPIN && !rc.wheelStopped && (WheelTurning(c.wheel) || WheelTurning(c.zoomWheel)); }},
        {"the close-up turns", [&] { return rc.state == STATE_SPIN && rc.wheelStopped && WheelTurning(c.zoomWheel); }},
        {"the wheels rest", [&] { return rc.state == STATE_SPIN && !WheelTurning(c.wheel) && !WheelTurning(c.zoomWheel); }},
    };

    startMatch();
    if (::testing::Test::HasFatalFailure()) return;
    const std::vector<ControlLook> first = MatchScreenLook();
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.name);
        call("Spin", nullptr);
        if (!framesUntil(m.now, 35 * 30)) {
            // This edition has no such moment (the Lite turns only the close-up).
            ASSERT_TRUE(framesUntil([&] { return rc.state != STATE_SPIN; }, 35 * 60));
            call("ExitToMainMenu", nullptr);
        } else {
            framesUntil([] { return false; }, 2);
            call("PauseGame", "WITH_SOUNDS");
            ASSERT_TRUE(g_guiManager.OpenWindow("PAUSE"));
            ASSERT_TRUE(framesUntil([&] { return on("PAUSE"); }, 35 * 3)) << "the pause window comes";
            framesUntil([] { return false; }, 10);
            call("ExitToMainMenu", nullptr);
        }
        ASSERT_TRUE(framesUntil([&] { return screenIs("MENU") && g_guiManager.QueuedCommands() == 0; }, 35 * 10))
            << "the menu comes";
        const GuiScreen* menuTop = g_guiManager.GetCurrentWindow();
        const int state = rc.state;
        framesUntil([] { return false; }, 35 * 3);  // longer than any pop-up's or turn's timer
        EXPECT_EQ(menuTop, g_guiManager.GetCurrentWindow()) << "a window of the match opened over the menu: "
                                                            << g_guiManager.GetCurrentWindow()->name;
        EXPECT_EQ(state, rc.state) << "the round went on after the match was left";
        for (TimerControl* t : {c.spinCheckTimer, c.turnTimer, c.thinkingTimer, c.solveTimer, c.zoomHoldTimer,
                                c.tossupRevealTimer, c.endOfTurnTimer, c.roundEndTimer, c.bankruptTimer,
                                c.mysteryTimer, c.idleTimer, c.freeSpinPromptTimer, c.failedSolveTimer, c.introTimer})
            EXPECT_FALSE(t && t->timeLeft != 0.0f) << "a timer of the round still runs: " << t->name;
        EXPECT_FALSE(WheelTurning(c.wheel) || WheelTurning(c.zoomWheel) || WheelTurning(c.bonusWheel));

        startMatch();
        if (::testing::Test::HasFatalFailure()) return;
        const std::vector<ControlLook> next = MatchScreenLook();
        ASSERT_EQ(first.size(), next.size());
        for (size_t i = 0; i < first.size(); ++i) {
            const ControlLook& a = first[i];
            const ControlLook& b = next[i];
            EXPECT_EQ(a.flags, b.flags) << (a.control->name ? a.control->name : "?") << "'s flags";
            EXPECT_TRUE(a.position.x == b.position.x && a.position.y == b.position.y && a.position.z == b.position.z)
                << (a.control->name ? a.control->name : "?") << " moved";
        }
    }
}
