// An edition as its entry starts it, from the game folder (its manifest and
// archive, fonts and texts, callbacks, "GUI" document, binding and round),
// and what both editions' tests drive through it.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board.h"
#include "control_binding.h"
#include "control_wheel.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "controls_value.h"
#include "debug_callbacks.h"
#include "developer.h"
#include "file_system.h"
#include "font_manager.h"
#include "game_data.h"
#include "gui_callbacks.h"
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

// ---- The developer gate ------------------------------------------------------------

// Ann (a person) starts quick play from the menu as its button does (the
// caller has loaded the edition's document, its menu showing), and her
// first turn of round one comes; then body runs.
inline void InAnnsFirstTurn(const EditionFrames& framesUntil, const std::function<void()>& body) {
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
    GuiCallback startGame = g_guiManager.GetCallbacks().Find("StartGame");
    GuiCallback changeScreen = g_guiManager.GetCallbacks().Find("ChangeScreen");
    ASSERT_TRUE(startGame && changeScreen);
    ASSERT_TRUE(startGame(nullptr, "QUICK_PLAY"));
    ASSERT_TRUE(changeScreen(nullptr, "ROUND_WND"));
    ASSERT_TRUE(framesUntil(
        [] {
            return g_guiManager.GetCurrentWindow() == g_guiManager.GetCurrentScreen() &&
                   g_round.inputPhase == PHASE_TURN;
        },
        35 * 30))
        << "Ann's first turn";
    ASSERT_EQ(ROUND_ONE, g_round.roundType);
    ASSERT_EQ(&ann, g_round.ContestantAt(0)->profile);
    body();
}

// Everything of the game a debug command could change, each as a named
// fact: the round controller and the game object byte for byte, the players
// at the seats with their trophies, the settings, every control of the
// document (its common fields byte for byte, and the text, edit, list,
// timer and wheel values of its kind), the screen, window, active control,
// queued commands and draw list of the GUI, and the next avatar animation.
inline std::map<std::string, std::string> GameFacts() {
    std::map<std::string, std::string> f;
    auto bytes = [](const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); };
    auto number = [](double v) {
        char b[32];
        std::snprintf(b, sizeof(b), "%g", v);
        return std::string(b);
    };
    RoundController& rc = g_round;
    f["round controller"] = bytes(&rc, sizeof(rc));
    f["round state"] = number(rc.state);
    f["round type"] = number(rc.roundType);
    f["wedge value"] = number(rc.wedgeValue);
    f["turns left"] = number(rc.turnsLeft);
    f["puzzle"] = rc.puzzle.id;
    f["game data"] = bytes(&g_gameData, sizeof(g_gameData));
    for (int i = 0; i < SETTING_COUNT; ++i) f["setting " + number(i)] = number(g_gameData.settings.Get(i));
    for (int s = 0; s < RoundController::kSeats; ++s) {
        const Contestant* c = rc.ContestantAt(s);
        if (!c) continue;
        const std::string seat = "seat " + number(s + 1);
        f[seat + " money"] = number(c->roundMoney) + " " + number(c->matchTotal);
        if (!c->profile) continue;
        f[seat + " player"] = bytes(c->profile, sizeof(*c->profile));
        std::string trophies;
        for (unsigned t = 0; t < c->profile->GetTrophyCount(); ++t)
            trophies += bytes(c->profile->GetTrophy(t), sizeof(TrophyRecord));
        f[seat + " trophies"] = trophies;
        for (int k = 0; k < kStatCount; ++k) f[seat + " statistic " + number(k)] = number(c->profile->GetStat(k));
    }
    for (int i = 0; i < GuiManager::kMaxControls; ++i) {
        const GuiControl* c = g_guiManager.ControlAt(i);
        if (!c) continue;
        const std::string name = std::string("control ") + (c->name ? c->name : "?") + " #" + number(i);
        std::string v = bytes(c, sizeof(GuiControl));
        if (auto* t = dynamic_cast<const TextControl*>(c)) {
            v += "|text:";
            for (unsigned l = 0; t->block && l < t->block->LineCount(); ++l)
                v += std::string(t->block->Line(l) ? t->block->Line(l) : "") + "\n";
        }
        if (auto* e = dynamic_cast<const EditControl*>(c)) v += std::string("|edit:") + e->text;
        if (auto* l = dynamic_cast<const ListControl*>(c))
            v += "|list:" + number(l->selected) + " " + number(l->IsEditing());
        if (auto* t = dynamic_cast<const TimerControl*>(c)) v += "|timer:" + number(t->timeLeft);
        if (auto* w = dynamic_cast<const NewSpinControl*>(c))
            v += "|wheel:" + number(w->velocity) + " " + number(w->acceleration) + " " + number(w->jerk) + " " +
                 number(w->remaining);
        f[name] = v;
    }
    f["screen"] = number((double)(uintptr_t)g_guiManager.GetCurrentScreen());
    f["window"] = number((double)(uintptr_t)g_guiManager.GetCurrentWindow());
    f["active control"] = number((double)(uintptr_t)g_guiManager.GetActiveControl());
    f["queued commands"] = number(g_guiManager.QueuedCommands());
    GuiControl* drawn[GuiManager::kMaxControls];
    const int count = g_guiManager.DrawOrder(drawn, GuiManager::kMaxControls);
    f["draw list"] = bytes(drawn, sizeof(GuiControl*) * (size_t)(count > 0 ? count : 0));
    f["next avatar animation"] = number(DebugAnimationIndex());
    return f;
}

// The names of the facts that differ ("-" when none).
inline std::string ChangedFacts(const std::map<std::string, std::string>& before,
                                const std::map<std::string, std::string>& after) {
    std::string changed;
    for (const auto& b : before) {
        auto a = after.find(b.first);
        if (a == after.end() || a->second != b.second) changed += (changed.empty() ? "" : ", ") + b.first;
    }
    for (const auto& a : after)
        if (!before.count(a.first)) changed += (changed.empty() ? "" : ", ") + a.first;
    return changed.empty() ? "-" : changed;
}

// The developer gate of every debug command the edition registers (the
// first COUNT entries of the registry the document was loaded with), in
// Ann's turn of a match: a player's game (the switch off) changes nothing
// at all, nor does a developer's while a name is typed into a field or
// into a list's row, or while a solve is typed; a developer's changes
// something (the match set up so that the command has something to do),
// or the gate would have been tried on a command that does nothing. INERT
// names the commands that do nothing in this edition by design.
inline void ExpectEveryDebugCommandBehindTheGate(unsigned count, std::initializer_list<const char*> inert) {
    CallbackRegistry& registry = g_guiManager.GetCallbacks();
    ASSERT_GE(registry.RegisteredCount(), count);
    ASSERT_TRUE(g_gameData.trophies.Load("TROPHY"));
    const bool wasOn = DeveloperMode();
    // The round each command acts in; round one for the others.
    const std::map<std::string, int> roundOf = {
        {"HackJackpot", ROUND_JACKPOT}, {"HackMysteryBankrupt", ROUND_MYSTERY}, {"HackMysteryWin", ROUND_MYSTERY}};
    for (unsigned i = 0; i < count; ++i) {
        const CallbackEntry* entry = registry.RegisteredAt(i);
        ASSERT_NE(nullptr, entry);
        const std::string name = entry->name;
        ASSERT_EQ(0u, name.rfind("Hack", 0)) << name << ": the debug table is the registry's first " << count;
        ASSERT_NE(nullptr, entry->callback) << name;
        // Ann's turn, with money, turns, open wedges and turning wheels.
        RoundController& rc = g_round;
        rc.StopAllTimers();
        rc.paused = 0;
        auto it = roundOf.find(name);
        rc.roundType = it != roundOf.end() ? it->second : ROUND_ONE;
        rc.current = rc.ContestantAt(0);
        rc.SetStateDirect(STATE_START_OF_TURN);
        rc.wedgeValue = 450;
        rc.turnsLeft = 2;
        rc.current->roundMoney = 1000;
        rc.freeSpinWedge = rc.tenThousandWedge = rc.jackpotState = WEDGE_OPEN;
        rc.mysteryOutcome = MYSTERY_NONE;
        rc.mysteryRevealed = 0;
        for (int k = 0; k < GuiManager::kMaxControls; ++k)
            if (auto* w = dynamic_cast<NewSpinControl*>(g_guiManager.ControlAt(k))) {
                w->remaining = 100.0f;
                w->velocity = 50.0f;
                w->acceleration = w->jerk = 0.0f;
            }
        g_guiManager.SetActiveControl(nullptr);
        auto press = [&] { EXPECT_TRUE(entry->callback(nullptr, "250")) << name << " stopped its list"; };
        auto expectNothing = [&](const char* when) {
            const auto before = GameFacts();
            press();
            EXPECT_EQ("-", ChangedFacts(before, GameFacts())) << name << " acted " << when;
        };

        SetDeveloperMode(false);
        expectNothing("in a player's game");

        SetDeveloperMode(true);
        {
            EditControl field;
            g_guiManager.SetActiveControl(&field);
            expectNothing("while a name was typed into a text field");
            g_guiManager.SetActiveControl(nullptr);
        }
        {
            TextBlock rows;
            rows.AddLine("Ann");
            ListControl list;
            list.rows = &rows;
            list.selected = 0;
            list.SetState(GUI_STATE_INACTIVE);  // the game starts a row's edit so
            ASSERT_TRUE(list.IsEditing());
            g_guiManager.SetActiveControl(&list);
            expectNothing("while a name was typed into a list's row");
            g_guiManager.SetActiveControl(nullptr);
            list.rows = nullptr;
        }
        const int state = rc.state;
        rc.SetStateDirect(STATE_SOLVE);
        expectNothing("while a solve was typed");
        rc.SetStateDirect(state);

        const auto before = GameFacts();
        press();
        const std::string changed = ChangedFacts(before, GameFacts());
        bool isInert = false;
        for (const char* n : inert) isInert |= name == n;
        if (isInert)
            EXPECT_EQ("-", changed) << name << " does nothing in this edition";
        else
            EXPECT_NE("-", changed) << name << " did nothing in a developer's match: set the match up here so "
                                       "that it acts, or the gate is not tried";
    }
    SetDeveloperMode(wasOn);
    g_round.StopAllTimers();
    g_round.SetStateDirect(STATE_START_OF_TURN);
    for (int k = 0; k < GuiManager::kMaxControls; ++k)
        if (auto* w = dynamic_cast<NewSpinControl*>(g_guiManager.ControlAt(k))) w->remaining = w->velocity = 0.0f;
    g_gameData.trophies.Clear();
}
