// Shared rig of the round tests: the game's real puzzle documents, stand-in
// controls that record what they are told, screen operations that record
// messages, cues and windows, and the steps by which the game-screen
// callbacks, the timers and the tiles drive the round controller.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "file_system.h"
#include "font_manager.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"
#include "test_support.h"

// The game folder of this build: QUORVANE_GAME_DIR in the CMake cache of the
// build folder above the test program.
inline std::string GameDir() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    std::string build = exe;
    for (int i = 0; i < 2; ++i) build = build.substr(0, build.find_last_of("\\/"));
    std::string cache = ReadWholeFile(build + "\\CMakeCache.txt"), key = "QUORVANE_GAME_DIR:PATH=";
    size_t at = cache.find(key);
    if (at == std::string::npos) return build + "-game";
    std::string path = cache.substr(at + key.size(), cache.find_first_of("\r\n", at) - at - key.size());
    if (path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The game's manifest, once per program; the game folder stays the working
// folder, where the archive is read.
inline bool LoadGameManifest() {
    static int loaded = 0;
    if (!loaded) {
        std::string dir = GameDir();
        bool ok = FileExists(dir + "\\Quorvane.xml") && SetCurrentDirectoryA(dir.c_str()) &&
                  g_fileSystem.Load("Quorvane.xml");
        loaded = ok ? 1 : -1;
    }
    return loaded == 1;
}

class FakeControl : public GuiControl {
public:
    void ApplyState(int s) override { states.push_back(state = s); }
    bool Hidden() const { return HasFlags(GUI_FLAG_HIDDEN); }
    bool Disabled() const { return HasFlags(GUI_FLAG_DISABLED); }
    std::vector<int> states;
};

// A board tile that plays its lighting and reveal sequences one finished
// clip per Step, handing on along its links as the tile control does.
class FakeTile : public BoardTile {
public:
    void ApplyState(int s) override {
        if (solveCursor == this) solveCursor = nullptr;
        if (s == TILE_CURSOR_SHOWN || s == TILE_CURSOR_HIDDEN) solveCursor = this;
        if (s == TILE_HIGHLIGHTING && (revealLog.empty() || revealLog.back() != (char)letter))
            revealLog.push_back((char)letter);
        state = s;
    }
    bool Step() {
        int s = state;
        if (s == TILE_LIGHTING) SetState(shownAtOnce ? TILE_SHOWN : TILE_HIDDEN);
        else if (s == TILE_HIGHLIGHTING) SetState(TILE_HIGHLIGHTED);
        else if (s == TILE_TURNING) SetState(TILE_SHOWN);
        else return false;
        if (next) next->SetState(s);
        else if (s == TILE_LIGHTING) BoardRound().BoardLit();
        else if (s == TILE_HIGHLIGHTING) back->SetState(TILE_TURNING);
        else g_round.OnLetterResult(1);
        return true;
    }
    static std::string revealLog;  // the letter of each reveal chain, in order
};
inline std::string FakeTile::revealLog;

class RecordingOps : public GameScreenOps {
public:
    void PostStatusMessage(GuiControl*, const char* text) override { messages.push_back(text ? text : "<close>"); }
    SoundInstance* PlayCue(const char* cue, int, bool) override {
        cues.push_back(cue);
        return nullptr;
    }
    void StopAllSounds() override {}
    bool OpenWindow(const char* window) override {
        windows.push_back(window);
        return true;
    }
    bool CloseWindowOnTop(const char* window) override {
        // with how many windows had opened by then
        closes.push_back(std::string(window) + " after " + std::to_string(windows.size()));
        return true;
    }
    bool SaveGame() override { return ++saves, saveForReal ? g_gameData.Save() : true; }
    void BindAvatar(GuiControl* avatar, PlayerProfile* profile) override { boundTo[avatar] = profile; }
    static int Count(const std::vector<std::string>& v, const std::string& s) {
        return (int)std::count(v.begin(), v.end(), s);
    }
    bool Said(const std::string& s) const { return Count(messages, s) > 0; }
    std::string LastMessage() const { return messages.empty() ? "" : messages.back(); }
    void Clear() { messages.clear(), cues.clear(), windows.clear(), closes.clear(); }

    std::vector<std::string> messages, cues, windows, closes;
    std::map<GuiControl*, PlayerProfile*> boundTo;
    int saves = 0;
    bool saveForReal = false;
};

inline bool Running(const TimerControl* t) { return t && t->timeLeft > 0.0f; }
inline std::string Text(const TextControl& c) {
    const char* line = c.block ? c.block->Line(0) : nullptr;
    return line ? line : "";
}

class RoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeTile::revealLog.clear();
        RoundController& rc = g_round;
        Empty();
        rc.firstPuzzle = 0;
        rc.city = 0;
        rc.matchTime = 0.0f;
        GameControls& c = rc.controls;
        for (int i = 0; i < kBoardTiles; ++i) c.tiles[i] = &tiles[i];
        for (int i = 0; i < kLetterCount; ++i) c.letterKeys[i] = &keys[i];
        c.ai = &ai;
        c.wheel = &wheel;
        c.bonusWheel = &bonusWheel;
        c.solveButton = &solveButton;
        c.buyVowelButton = &buyButton;
        TimerControl** timers[] = {&c.turnTimer,     &c.endOfTurnTimer,      &c.tossupRevealTimer, &c.solveTimer,
                                   &c.thinkingTimer, &c.roundEndTimer,       &c.bankruptTimer,     &c.introTimer,
                                   &c.freeSpinPromptTimer, &c.failedSolveTimer};
        for (int i = 0; i < 10; ++i) {
            timer[i].startTime = 5.0f;
            *timers[i] = &timer[i];
        }
        for (int i = 0; i < 3; ++i) {
            c.podiumScores[i] = &podiumScore[i];
            c.bankruptOverlays[i] = &bankruptOverlay[i];
            c.freeSpinMarkers[i] = &freeSpinMarker[i];
            c.tenThousandMarkers[i] = &tenThousandMarker[i];
            c.jackpotDisplays[i] = &jackpotDisplay[i];
            c.avatars[i] = &avatar[i];
        }
        c.scoreLine = &scoreLine;
        c.turnCounter = &turnCounter;
        rc.SetOps(&ops);
        std::srand(1);
    }
    void TearDown() override {
        Empty();
        g_round.SetOps(nullptr);
    }
    static void Empty() {
        for (int i = 0; i < RoundController::kSeats; ++i) g_round.SetContestant(i, nullptr);
        g_round.current = g_round.opener = nullptr;
        g_round.ranking.Clear();
        g_round.controls = GameControls();
    }

    PlayerProfile* Make(int kind, const char* name) {
        profiles.emplace_back(new PlayerProfile(kind));
        profiles.back()->appearance.SetName(name);
        return profiles.back().get();
    }
    PlayerProfile* Human(const char* name) { return Make(KIND_HUMAN, name); }
    PlayerProfile* Computer(const char* name) { return Make(KIND_COMPUTER, name); }
    bool NeedPuzzles() {
        // The host's lines read the game's own texts.
        if (LoadGameManifest() && (FindTextByName("MSG_LANDED_ON") || g_fontManager.LoadTextTable())) return true;
        ADD_FAILURE() << "no puzzle documents in " << GameDir() << " (build the game folder first)";
        return false;
    }

    // ---- What the callers of the controller do ---------------------------

    // The tiles play every running sequence to its end.
    void RunBoard() {
        for (int guard = 0; guard < 10000; ++guard) {
            bool moved = false;
            for (FakeTile& t : tiles) moved |= t.Step();
            if (!moved) return;
        }
        ADD_FAILURE() << "the board never came to rest";
    }
    // The board has appeared: it lights up and the first turn starts.
    void Light() {
        g_round.LinkBoardTiles();
        RunBoard();
    }
    // A spin that stops on notch 0..2 of a wedge; then the zoomed wheel closes.
    void Spin(int wedge, int notch = 1) {
        g_round.SetState(STATE_SPIN);
        g_round.landedSector = wedge * 3 + notch;
        if (g_round.roundType == ROUND_ONE) g_round.SetRound1WedgeValue(wedge);
        if (g_round.roundType == ROUND_JACKPOT) g_round.SetJackpotWedgeValue(wedge);
        if (g_round.roundType == ROUND_MYSTERY) g_round.SetMysteryWedgeValue(wedge);
        g_round.SetState(STATE_WHEEL_STOPPED);
    }
    // A letter key pressed (or the computer contestant's choice).
    void Call(char letter) {
        RoundController& rc = g_round;
        rc.chosenLetter = letter;
        rc.letters[letter - 'A'].called = 1;
        if (rc.roundType == ROUND_BONUS) {
            rc.SetInputPhase(PHASE_BONUS_LETTER);
        } else {
            if (rc.letterKeyMode == KEYS_VOWELS) rc.ChangeMoney(kVowelPrice, '-');
            rc.SetInputPhase(PHASE_LETTER_CHOSEN);
        }
        RunBoard();
    }
    void BuyVowel(char vowel) {
        g_round.SetState(STATE_BUY_VOWEL);
        Call(vowel);
    }
    // Types the right letter, or a wrong one, on every hidden tile.
    void Type(bool right) {
        while (BoardTile* t = solveCursor) {
            t->typedLetter = right ? t->letter : (t->letter == 'Q' ? 'Z' : 'Q');
            t->SetState(right ? TILE_TYPED_RIGHT : TILE_TYPED_WRONG);
            if (g_round.EndSolutionReveal()) return;
            for (FakeTile& other : tiles)
                if (other.HoldsCharacter() && other.state == TILE_HIDDEN) {
                    other.SetState(TILE_CURSOR_HIDDEN);
                    break;
                }
        }
    }
    bool Solve(bool right) {
        if (!g_round.SetState(STATE_SOLVE)) return false;
        Type(right);
        return true;
    }
    void FailedSolveTimerEnds() {
        g_round.ResumeRoundGui(false);
        g_round.SetInputPhase(PHASE_ALL_OFF);
        g_round.OnWrongSolve();
    }
    // A contestant buzzes in during a toss-up.
    void Buzz(int seat) {
        Contestant* c = g_round.ContestantOnSeat(seat);
        c->mayBuzz = 0;
        g_round.current = c;
        g_round.SetState(STATE_SOLVE);
    }
    // The bonus round shows its given letters R, S, T, L, N and E.
    void RevealGivenLetters() {
        BoardTile *first = nullptr, *last = nullptr;
        for (FakeTile& t : tiles) {
            t.next = nullptr;
            if (!t.letter || !std::strchr("RSTLNE", t.letter)) continue;
            if (!first) first = &t;
            if (last) last->next = &t;
            t.back = first;
            last = &t;
        }
        for (char c : std::string("RSTLNE")) g_round.letters[c - 'A'].called = 1;
        if (first) first->SetState(TILE_HIGHLIGHTING);
        else g_round.OnLetterResult(0);
        RunBoard();
    }

    // ---- The puzzle ------------------------------------------------------

    // An uncalled consonant of the puzzle found `times` times (any with 0).
    char ConsonantInPuzzle(int times = 0) const {
        for (char c = 'B'; c <= 'Z'; ++c) {
            const LetterRecord& r = g_round.letters[c - 'A'];
            if (r.occurs && !r.called && !r.isVowel && (times == 0 || g_round.CountLetter(c) == times)) return c;
        }
        return 0;
    }
    char ConsonantNotInPuzzle() const {
        for (char c = 'B'; c <= 'Z'; ++c)
            if (!IsVowel(c) && !g_round.letters[c - 'A'].occurs && !g_round.letters[c - 'A'].called) return c;
        return 0;
    }

    FakeTile tiles[kBoardTiles];
    FakeControl keys[kLetterCount];
    FakeControl ai, wheel, bonusWheel, solveButton, buyButton;
    FakeControl bankruptOverlay[3], freeSpinMarker[3], tenThousandMarker[3], avatar[3];
    TimerControl timer[10];
    TextControl podiumScore[3], jackpotDisplay[3], scoreLine, turnCounter;
    RecordingOps ops;
    std::vector<std::unique_ptr<PlayerProfile>> profiles;
};
