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
#include "controls_game.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "controls_value.h"
#include "debug_callbacks.h"
#include "developer.h"
#include "file_system.h"
#include "font_manager.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"  // before the status bar, which keeps its PostMessage
#include "control_statusbar.h"
#include "gui_test_util.h"
#include "input_state.h"
#include "profiles.h"
#include "renderer.h"
#include "resource_manager.h"
#include "round_controller.h"
#include "screen_ops.h"
#include "trophies.h"

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

// At the end of a test whose players are its own locals: the seats, the
// current and opening contestants, the ranking and the current profile are
// left empty, so that nothing points at players gone out of scope.
struct LeaveTheSeats {
    ~LeaveTheSeats() {
        for (int i = 0; i < RoundController::kSeats; ++i) g_round.SetContestant(i, nullptr);
        g_round.current = g_round.opener = nullptr;
        g_round.ranking.Clear();
        g_gameData.currentProfile = nullptr;
    }
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
    LeaveTheSeats leaveTheSeats;
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
    LeaveTheSeats leaveTheSeats;
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

// ---- What names a seat -----------------------------------------------------------------------

// What the match screen shows of the seats: the host's line on the bar, the
// score line, the lit podiums.
struct SeatDisplay {
    // Its lines (a long one wraps, or is cut where the Lite draws it), as one.
    static std::string Line(const TextControl* t) {
        std::string text;
        for (unsigned i = 0; t && t->block && i < t->block->LineCount(); ++i) {
            const char* line = t->block->Line(i);
            if (i) text += ' ';
            text += line ? line : "";
        }
        return text;
    }
    // The host's line while the bar shows it (not while it closes or is closed).
    static std::string HostLine() {
        const TextControl* m = g_round.controls.message;
        if (!m || m->state == GUI_STATE_CLOSING || m->state == GUI_STATE_CLOSED || m->HasFlags(GUI_FLAG_HIDDEN))
            return "";
        return Line(m);
    }
    static std::string ScoreLine() { return Line(g_round.controls.scoreLine); }
    // The seats whose podium part k (0 the spotlight, 1 the glow) is lit.
    static std::string Lit(int k) {
        std::string seats;
        for (int i = 0; i < RoundController::kSeats; ++i) {
            const GuiControl* part = g_round.controls.podiumHighlights[i][k];
            if (part && !part->HasFlags(GUI_FLAG_HIDDEN)) seats += (char)('1' + i);
        }
        return seats;
    }
    // The bar's line still has its time, or the bar is opening to show one.
    static bool Speaking() {
        const StatusBarControl* bar = dynamic_cast<const StatusBarControl*>(g_round.controls.statusBar);
        return bar && (bar->state == BAR_OPENING || (bar->messageTimer && bar->messageTimer->timeLeft > 0.0f));
    }
};

// Round one of group play (Ann, a person, and the computers Bo and Cy): Bo's
// wheel stops on $300 and lights his podium, and a second later he calls a
// letter the puzzle lacks. The host says so while his turn ends; from the
// frame the turn is Cy's nothing names Bo or lights his podium: the host's
// line (it waited behind the one before and was read out over Cy's spin),
// the score line, his podium's spotlight (lit until Cy's wheel stopped).
inline void ExpectTheTurnsNamesAndLightsFollowTheTurn(const EditionFrames& framesUntil) {
    InTheFirstTossup(framesUntil, [&] {
        RoundController& rc = g_round;
        GameControls& c = rc.controls;
        ASSERT_NE(nullptr, c.message);
        ASSERT_NE(nullptr, c.scoreLine);
        rc.StopAllTimers();
        ASSERT_TRUE(rc.SetupRound1());
        ASSERT_TRUE(framesUntil(
            [&] {
                return g_guiManager.GetCurrentWindow() == g_guiManager.GetCurrentScreen() &&
                       rc.inputPhase == PHASE_TURN && rc.roundType == ROUND_ONE;
            },
            35 * 30))
            << "round one's first turn";
        ASSERT_EQ(rc.ContestantOnSeat(1), rc.current);

        // Bo's turn, his wheel at rest on $300 (his control is kept from
        // choosing: the letter is chosen here).
        rc.SetAi(AI_TOSSUP_WATCH);
        rc.current = rc.ContestantOnSeat(2);
        rc.ShowPlayerScore(2);
        rc.ShowSeatMarker(2);
        rc.wedgeValue = 300;
        rc.SetStateDirect(STATE_SPIN);
        for (GuiControl* part : c.podiumHighlights[1]) ShowControl(part);  // as his wheel's stop lights them
        ASSERT_TRUE(rc.SetState(STATE_WHEEL_STOPPED));
        rc.SetAi(AI_TOSSUP_WATCH);
        ASSERT_EQ(STATE_PICK_CONSONANT, rc.state);
        framesUntil([] { return false; }, 35);
        char missing = 0;
        for (char l = 'B'; l <= 'Z' && !missing; ++l)
            if (!IsVowel(l) && !rc.letters[l - 'A'].occurs && !rc.letters[l - 'A'].called) missing = l;
        ASSERT_NE(0, missing);
        const char key[2] = {missing, 0};
        GuiCallback chose = g_guiManager.GetCallbacks().Find("ChoseLetter");
        ASSERT_NE(nullptr, chose);
        chose(nullptr, key);
        ASSERT_EQ(STATE_END_OF_TURN, rc.state) << "Bo's turn ends on the letter";

        Contestant* cy = rc.ContestantOnSeat(3);
        const std::string wrong = std::string(HostText("MSG_WRONG_LETTER")) + missing;
        bool toldWhileHis = false;
        ASSERT_TRUE(framesUntil(
            [&] {
                if (rc.current != cy && SeatDisplay::HostLine().find(wrong) != std::string::npos)
                    toldWhileHis = true;
                return rc.current == cy;
            },
            35 * 12))
            << "the turn never went on to Cy";
        EXPECT_TRUE(toldWhileHis) << "the host never said, while his turn ended, that Bo had lost it";
        for (int f = 0; f < 35 * 6 && rc.current == cy; ++f) {
            std::string line = SeatDisplay::HostLine();
            EXPECT_EQ(std::string::npos, line.find("Bo ")) << "Cy's turn (state " << rc.state << "): \"" << line << "\"";
            EXPECT_EQ(0u, SeatDisplay::ScoreLine().rfind("Cy:", 0)) << SeatDisplay::ScoreLine();
            EXPECT_EQ(std::string::npos, SeatDisplay::Lit(0).find('2')) << "Bo's podium is still lit";
            EXPECT_EQ(std::string::npos, SeatDisplay::Lit(1).find('2')) << "Bo's podium still glows";
            if (::testing::Test::HasFailure()) break;
            framesUntil([] { return false; }, 1);
        }
        if (c.podiumHighlights[2][0]) {
            EXPECT_EQ("3", SeatDisplay::Lit(0)) << "the spotlight is on the seat whose turn it is";
        }
    });
}

// A match begun after another names nobody of the one before: Ann's group
// play ends while Bo, who had won a toss-up, is named on the score line and
// by the host; then Dee's group play (without Bo) opens on its first toss-up
// with an empty score line and its own first line, and her quick play, begun
// while her last line still had its time on the bar, opens on its own.
inline void ExpectANewMatchNamesNobodyOfTheLastOne(const EditionFrames& framesUntil) {
    RoundController& rc = g_round;
    PlayerProfile ann(KIND_HUMAN), bo(KIND_COMPUTER), cy(KIND_COMPUTER), dee(KIND_HUMAN), eve(KIND_COMPUTER);
    ann.appearance.SetName("Ann");
    bo.appearance.SetName("Bo");
    cy.appearance.SetName("Cy");
    dee.appearance.SetName("Dee");
    eve.appearance.SetName("Eve");
    ann.SetOpponent(1, &bo, 0);
    ann.SetOpponent(2, &cy, 1);
    dee.SetOpponent(1, &cy, 1);
    dee.SetOpponent(2, &eve, 2);
    LeaveTheSeats leaveTheSeats;
    auto matchShown = [] {
        const GuiScreen* s = g_guiManager.GetCurrentScreen();
        return s && s->name && std::strcmp(s->name, "ROUND_WND") == 0;
    };
    auto menuShown = [] {
        const GuiScreen* s = g_guiManager.GetCurrentScreen();
        return s && s->name && std::strcmp(s->name, "MENU") == 0;
    };
    GuiCallback exitToMenu = g_guiManager.GetCallbacks().Find("ExitToMainMenu");
    ASSERT_NE(nullptr, exitToMenu);

    g_gameData.currentProfile = &ann;
    rc.gameMode = MODE_GROUP_PLAY;
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    ASSERT_TRUE(framesUntil([&] { return matchShown() && rc.roundType == ROUND_TOSSUP_1000; }, 35 * 10));
    ASSERT_TRUE(framesUntil([] { return !SeatDisplay::Speaking(); }, 35 * 10));
    rc.current = rc.ContestantOnSeat(2);
    rc.current->matchTotal = 1000;
    rc.ShowPlayerScore(2);
    rc.ShowEventMessage(HostMessage::NamedPrompt("MSGC_GROUP_SPIN_OR_SOLVE"));
    framesUntil([] { return false; }, 10);
    ASSERT_EQ("Bo: $1,000", SeatDisplay::ScoreLine());
    ASSERT_EQ(0u, SeatDisplay::HostLine().rfind("Bo ", 0)) << SeatDisplay::HostLine();
    exitToMenu(nullptr, nullptr);
    ASSERT_TRUE(framesUntil(menuShown, 35 * 10));

    g_gameData.currentProfile = &dee;
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    ASSERT_TRUE(framesUntil(matchShown, 35 * 10));
    EXPECT_EQ(&dee, rc.ContestantAt(0)->profile);
    EXPECT_EQ("", SeatDisplay::ScoreLine()) << "the toss-up names nobody";
    EXPECT_EQ(HostText("MSG_PLAY_TOSSUP1000"), SeatDisplay::HostLine()) << "the match's first line, at once";

    rc.current = rc.ContestantAt(0);
    rc.ShowEventMessage(HostMessage::NamedPrompt("MSGC_GROUP_SPIN_OR_SOLVE"));
    framesUntil([] { return false; }, 10);
    ASSERT_TRUE(SeatDisplay::Speaking());
    exitToMenu(nullptr, nullptr);
    ASSERT_TRUE(framesUntil(menuShown, 35 * 10));
    rc.gameMode = MODE_QUICK_PLAY;
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    ASSERT_TRUE(framesUntil(matchShown, 35 * 10));
    EXPECT_EQ("Dee:", SeatDisplay::ScoreLine());
    EXPECT_EQ(HostText("MSG_PLAY_ROUND_1"), SeatDisplay::HostLine()) << "the match's first line, at once";
}

// The results of a match list the trophies that match won, and the label
// "Trophies won" only over some. Ann's first quick play: after round three
// she goes on to the bonus round with nothing won yet (no trophy, no label);
// the bonus round won, her first trophies ("Welcome to the Show" first).
// Then a match lost: the trophies it earns again she holds already, and her
// results list none of them.
inline void ExpectTheResultsListWhatTheMatchWon(const EditionFrames& framesUntil) {
    RoundController& rc = g_round;
    PlayerProfile ann(KIND_HUMAN);
    ann.appearance.SetName("Ann");
    LeaveTheSeats leaveTheSeats;
    // The table as the edition's start loads it (the Lite's fixture starts
    // without it), given back as it was found.
    struct Table {
        bool loaded = false;
        ~Table() {
            if (loaded) g_gameData.trophies.Clear();
        }
    } table;
    if (g_gameData.trophies.GetCount() == 0)
        table.loaded = g_gameData.trophies.Load("TROPHY", [](const char* key) -> const TextBlock* {
            return g_fontManager.GetText("%s", key);
        });
    ASSERT_GT(g_gameData.trophies.GetCount(), (int)TROPHY_MATCHES_WON) << "the trophy table";
    g_gameData.currentProfile = &ann;
    rc.gameMode = MODE_QUICK_PLAY;
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    ASSERT_TRUE(framesUntil(
        [&] {
            const GuiScreen* s = g_guiManager.GetCurrentScreen();
            return s && s->name && std::strcmp(s->name, "ROUND_WND") == 0 && rc.roundType == ROUND_ONE;
        },
        35 * 10));
    rc.StopAllTimers();  // the rounds are not played: the match ends as told below

    GuiControl* trophy = g_bound.WindowControl(Pos().windowPlayerStats, Pos().statsTrophy);
    ASSERT_NE(nullptr, trophy);
    ASSERT_TRUE(trophy->childGroup && trophy->childGroup->controlCount > 0) << "the label hangs from the trophy";
    const TextControl* label = dynamic_cast<const TextControl*>(trophy->childGroup->controls[0]);
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(HostText("MATCH_STATS_TROPHIES"), SeatDisplay::Line(label));
    const TextControl* name = g_bound.GroupAs<TextControl>(Pos().groupTrophyDetail, Pos().trophyDetailName);
    auto shown = [](const GuiControl* c) { return c && !c->HasFlags(GUI_FLAG_HIDDEN); };
    auto results = [&](const char* what) {
        ASSERT_TRUE(framesUntil(
            [] {
                const GuiScreen* w = g_guiManager.GetCurrentWindow();
                return w && w->name && std::strcmp(w->name, "PLAYER_STATS") == 0 && g_round.statsShown == 1;
            },
            35 * 5))
            << what;
    };
    auto close = [&] {
        g_guiManager.CloseWindow();
        ASSERT_TRUE(framesUntil([] { return g_guiManager.GetCurrentWindow() == g_guiManager.GetCurrentScreen(); },
                                35 * 5));
    };

    rc.EndMatch();
    results("the results after round three");
    EXPECT_EQ(OUTCOME_BONUS, rc.ContestantAt(0)->outcome);
    EXPECT_EQ(0u, ann.GetNewAwardCount());
    EXPECT_FALSE(shown(trophy)) << "a trophy shown with none won";
    EXPECT_FALSE(shown(label)) << "\"Trophies won\" over no trophy";
    close();

    rc.roundType = ROUND_BONUS;
    rc.matchEnded = 0;
    rc.SetStateDirect(STATE_ROUND_WON);
    rc.EndMatch();
    results("the results after the bonus round");
    EXPECT_EQ(OUTCOME_FINISHED, rc.ContestantAt(0)->outcome);
    ASSERT_NE(nullptr, ann.FindTrophy(TROPHY_MATCH_PLAYED));
    ASSERT_NE(nullptr, ann.FindTrophy(TROPHY_MATCHES_WON));
    EXPECT_EQ(ann.GetTrophyCount(), ann.GetNewAwardCount()) << "all of them new";
    EXPECT_TRUE(shown(trophy));
    EXPECT_TRUE(shown(label));
    const TrophyControl* won = dynamic_cast<const TrophyControl*>(trophy);
    ASSERT_NE(nullptr, won);
    EXPECT_EQ(0, won->mode) << "the trophy won wears the cabinet's \"not won\" look, which shows nothing";
    const TrophyDef* first = g_gameData.trophies.At(TROPHY_MATCH_PLAYED);
    ASSERT_TRUE(name && first && first->name);
    EXPECT_EQ(std::string(first->name->Line(0)), SeatDisplay::Line(name)) << "the first trophy won";
    close();

    for (Contestant& c : rc.contestants) c.outcome = OUTCOME_PLAYING;
    rc.roundType = ROUND_ONE;
    rc.turnsLeft = 0;
    rc.matchEnded = 0;
    rc.SetStateDirect(STATE_ROUND_LOST);
    rc.EndMatch();
    results("the results of the lost match");
    EXPECT_EQ(OUTCOME_LOST, rc.ContestantAt(0)->outcome);
    EXPECT_EQ(1.0f, ann.FindTrophy(TROPHY_MATCH_PLAYED)->timesWon) << "earned again";
    EXPECT_EQ(0u, ann.GetNewAwardCount()) << "but not won by this match";
    EXPECT_FALSE(shown(trophy)) << "trophies won before are shown as won";
    EXPECT_FALSE(shown(label));
    close();
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
    LeaveTheSeats leaveTheSeats;
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

// The first toss-up played out by the two computers, Ann never buzzing:
// the turn panel names a seat only while that seat solves (a toss-up has
// no turn, and a wrong answer hands no turn on), from the first frame to
// the round's end.
inline void ExpectATossupNamesOnlyTheSeatSolving(const EditionFrames& framesUntil) {
    std::srand(1);  // a toss-up long enough for the turn timer of a turn nobody has to run out
    InTheFirstTossup(framesUntil, [&] {
        RoundController& rc = g_round;
        ASSERT_NE(nullptr, rc.controls.scoreLine);
        std::string seen;
        bool over = false;
        for (int f = 0; f < 35 * 90 && !over && !::testing::Test::HasFailure(); ++f) {
            framesUntil([] { return false; }, 1);
            over = rc.roundType != ROUND_TOSSUP_1000 || rc.RoundOver();
            const std::string named = SeatDisplay::ScoreLine();
            if (named.empty() || over) continue;
            const bool solving = rc.state == STATE_SOLVE && rc.current;
            const std::string who = solving ? std::string(rc.current->Name()) + ":" : std::string();
            EXPECT_TRUE(solving && named.rfind(who, 0) == 0)
                << "frame " << f << ": the panel names \"" << named << "\" in state " << rc.state
                << (rc.current ? std::string(", current ") + rc.current->Name() : std::string());
            seen = named;
        }
        EXPECT_TRUE(over) << "the toss-up never ended";
        EXPECT_FALSE(seen.empty()) << "no computer ever buzzed in";
    });
}
