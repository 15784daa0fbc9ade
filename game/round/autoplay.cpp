#include "autoplay.h"

#include <windows.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game_data.h"
#include "gui_manager.h"
#include "profiles.h"
#include "renderer.h"
#include "round_controller.h"

namespace {

const int kSeatCount = 3;
const int kHumanSeat = -1;  // a level word "PLAYER": the current player plays seat 1
const DWORD kStartDelayMs = 1500;      // the first frames settle before the match
const DWORD kNextMatchDelayMs = 4000;  // the results stay up this long
// A match of three computers takes eight to twelve minutes of game time and
// none of its rounds more than about three: a match past three times the
// longest, or a round past eight minutes, has stopped moving.
const float kMatchLimitSeconds = 36 * 60.0f;
const float kRoundLimitSeconds = 8 * 60.0f;
// Nor does such a match stand still long: a turn, a spin, a reveal, a
// window each change what it shows within seconds. One that has shown no
// change for two minutes of game time has stopped, whatever it waits for.
const float kStillLimitSeconds = 2 * 60.0f;
// A line on the match in play this often (wall time), so that a reader of
// the log can tell, whenever it stops reading, how long the match has stood
// still.
const DWORD kProgressLineMs = 10000;

// What a match shows, as far as it tells whether the match moves: the
// round and its state, whose turn, the computer's control, the window on
// top and the screen changes queued, the tiles shown and typed on the
// board, the money.
struct Progress {
    int roundType = -1, state = -1, previousState = -1, seat = -1, ai = -1, advanced = -1;
    const void* top = nullptr;
    unsigned queued = 0;
    int shown = 0, typed = 0, money = 0, turnsLeft = 0;
    bool operator==(const Progress& o) const {
        return roundType == o.roundType && state == o.state && previousState == o.previousState &&
               seat == o.seat && ai == o.ai && advanced == o.advanced && top == o.top && queued == o.queued &&
               shown == o.shown && typed == o.typed && money == o.money && turnsLeft == o.turnsLeft;
    }
};

struct Autoplay {
    bool on = false;
    int levels[kSeatCount] = {1, 1, 1};
    PlayerProfile* player = nullptr;  // the person in seat 1, if one plays
    FILE* log = nullptr;
    DWORD startTick = 0;
    DWORD matchTick = 0;   // when the current match started, 0 before the first
    DWORD endTick = 0;     // when it ended, 0 while it runs
    float matchSeconds = 0.0f;  // game time of the current match (the pace included)
    float roundSeconds = 0.0f;  // and of its round in play
    int roundType = -1;         // the round in play, as last seen
    bool roundTaken = false;    // its next round has been taken
    Progress progress;          // what it showed when it last changed
    float changeSeconds = 0.0f; // the match's game time then
    float longestStill = 0.0f;  // the longest it has stood still (game time)
    DWORD progressTick = 0;     // the last line on the match in play
    float pace = 1.0f;     // game time runs this many times as fast
    bool playing = false;  // the new match has left the last one's end state
    const GuiScreen* top = nullptr;     // the window on top, as last logged
    const GuiScreen* notice = nullptr;  // a notice on top, waiting for a person
    DWORD noticeTick = 0;
    int matches = 0;
};
Autoplay g_autoplay;

void Log(const char* format, ...) {
    if (!g_autoplay.log) return;
    std::fprintf(g_autoplay.log, "%8.1f ", (GetTickCount() - g_autoplay.startTick) / 1000.0);
    va_list args;
    va_start(args, format);
    std::vfprintf(g_autoplay.log, format, args);
    va_end(args);
    std::fputc('\n', g_autoplay.log);
    std::fflush(g_autoplay.log);
}

// Adds one item to a list line of SIZE bytes, ", " or " " (SEPARATOR)
// before all but the first.
void AddItem(char* line, size_t size, const char* separator, const char* format, ...) {
    size_t at = std::strlen(line);
    if (at + 1 >= size) return;
    if (at) at += std::snprintf(line + at, size - at, "%s", separator);
    if (at + 1 >= size) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + at, size - at, format, args);
    va_end(args);
}

// 0..2 for a computer level, kHumanSeat for "PLAYER", -2 for anything else.
int LevelOf(const char* word, size_t length) {
    static const char* const kLevels[] = {"EASY", "MEDIUM", "HARD", "PLAYER"};
    for (int i = 0; i < 4; ++i)
        if (std::strlen(kLevels[i]) == length && _strnicmp(word, kLevels[i], length) == 0)
            return i == 3 ? kHumanSeat : i;
    return -2;
}

// A computer contestant of the level not yet seated; any unseated one when
// nobody of that level is left.
PlayerProfile* DrawSeat(int level, PlayerProfile* const* taken, int takenCount) {
    ProfileManager& profiles = g_gameData.profiles;
    int count = profiles.GetCount(LIST_COMPUTERS);
    PlayerProfile* fallback = nullptr;
    int start = count > 0 ? std::rand() % count : 0;
    for (int i = 0; i < count; ++i) {
        PlayerProfile* p = profiles.Get((start + i) % count, LIST_COMPUTERS);
        bool seated = false;
        for (int t = 0; t < takenCount; ++t) seated |= taken[t] == p;
        if (!p || seated || !p->GetAi()) continue;
        if (p->GetAi()->GetLevel() == level) return p;
        if (!fallback) fallback = p;
    }
    return fallback;
}

bool StartMatch() {
    PlayerProfile* seats[kSeatCount] = {};
    for (int s = 0; s < kSeatCount; ++s) {
        seats[s] = s == 0 && g_autoplay.player ? g_autoplay.player : DrawSeat(g_autoplay.levels[s], seats, s);
        if (!seats[s]) {
            Log("no computer contestant for seat %d", s + 1);
            return false;
        }
    }
    // The first seat plays as the current player, the others as its
    // group-play opponents: the group-play start seats them all.
    for (int slot = 1; slot < kSeatCount; ++slot)
        seats[0]->SetOpponent(slot, seats[slot], g_gameData.profiles.IndexOf(seats[slot]));
    g_gameData.currentProfile = seats[0];
    GuiCallback start = g_guiManager.GetCallbacks().Find("StartGroupPlay");
    if (!start) {
        Log("the group-play start is missing");
        return false;
    }
    // What the last match left sounding or counting stops first.
    if (GuiCallback stop = g_guiManager.GetCallbacks().Find("StopSounds")) stop(nullptr, nullptr);
    start(nullptr, nullptr);
    ++g_autoplay.matches;
    g_autoplay.playing = false;
    g_autoplay.matchTick = GetTickCount();
    g_autoplay.endTick = 0;
    g_autoplay.matchSeconds = 0.0f;
    g_autoplay.roundSeconds = 0.0f;
    g_autoplay.roundType = -1;
    g_autoplay.progress = Progress();
    g_autoplay.changeSeconds = g_autoplay.longestStill = 0.0f;
    g_autoplay.progressTick = g_autoplay.matchTick;
    Log("match %d start %s, %s, %s", g_autoplay.matches, seats[0]->GetName(), seats[1]->GetName(),
        seats[2]->GetName());
    return true;
}

void EndMatch(const char* how) {
    g_autoplay.endTick = GetTickCount();
    int totals[kSeatCount] = {};
    for (int s = 0; s < kSeatCount; ++s)
        if (Contestant* c = g_round.ContestantAt(s)) totals[s] = c->matchTotal;
    Log("match %d %s after %.1f s (%.1f min of game time, at most %.1f s of it unchanged), totals %d %d %d",
        g_autoplay.matches, how, (g_autoplay.endTick - g_autoplay.matchTick) / 1000.0, g_autoplay.matchSeconds / 60.0,
        g_autoplay.longestStill, totals[0], totals[1], totals[2]);
}

Progress ProgressNow() {
    RoundController& rc = g_round;
    Progress p;
    p.roundType = rc.roundType;
    p.state = rc.state;
    p.previousState = rc.previousState;
    p.seat = rc.CurrentSeat();
    p.ai = rc.controls.ai ? rc.controls.ai->state : -1;
    p.advanced = rc.roundAdvanced;
    p.top = g_guiManager.GetCurrentWindow();
    p.queued = g_guiManager.QueuedCommands();
    p.turnsLeft = rc.turnsLeft;
    for (BoardTile* t : rc.controls.tiles) {
        if (!t || !t->HoldsCharacter()) continue;
        if (t->state == TILE_SHOWN) ++p.shown;
        if (t->typedLetter) ++p.typed;
    }
    for (int s = 0; s < kSeatCount; ++s)
        if (Contestant* c = rc.ContestantAt(s)) p.money += c->roundMoney * 7 + c->matchTotal * (s + 2);
    return p;
}

// Where a match waits: the window on top, the round and its state, whose
// turn it is, the computer's control and the round's timers that run.
void LogWhereItWaits() {
    RoundController& rc = g_round;
    const GuiScreen* top = g_guiManager.GetCurrentWindow();
    const GameControls& c = rc.controls;
    struct Named {
        const char* name;
        const TimerControl* timer;
    } timers[] = {{"spin check", c.spinCheckTimer}, {"turn", c.turnTimer}, {"thinking", c.thinkingTimer},
                  {"solve", c.solveTimer}, {"zoom hold", c.zoomHoldTimer}, {"toss-up reveal", c.tossupRevealTimer},
                  {"end of turn", c.endOfTurnTimer}, {"round end", c.roundEndTimer}, {"bankrupt", c.bankruptTimer},
                  {"mystery", c.mysteryTimer}, {"free spin", c.freeSpinPromptTimer},
                  {"failed solve", c.failedSolveTimer}, {"intro", c.introTimer}};
    char running[256] = "";
    for (const Named& t : timers)
        if (rc.TimerRunning(t.timer)) AddItem(running, sizeof(running), ", ", "%s", t.name);
    // The puzzle's tiles by state (hidden 0, shown 1, ...), to tell a board
    // that can no longer end its round.
    int byState[16] = {};
    for (BoardTile* t : c.tiles)
        if (t && t->HoldsCharacter() && t->state >= 0 && t->state < 16) ++byState[t->state];
    char tiles[128] = "";
    for (int i = 0; i < 16; ++i)
        if (byState[i]) AddItem(tiles, sizeof(tiles), " ", "%d:%d", i, byState[i]);
    // A screen change waits for every control of the screen and the window
    // on top to have closed: those that have not.
    if (g_guiManager.QueuedCommands() != 0) {
        char open[256] = "";
        const GuiGroup* groups[2] = {g_guiManager.GetCurrentScreen(), top};
        for (int g = 0; g < 2; ++g) {
            if (!groups[g] || (g == 1 && groups[1] == groups[0])) continue;
            for (int i = 0; i < groups[g]->controlCount; ++i) {
                const GuiControl* k = groups[g]->controls[i];
                if (k->HasFlags(kGuiCountsClosed) || k->state == GUI_STATE_CLOSED) continue;
                AddItem(open, sizeof(open), " ", "%s:%d", k->name ? k->name : "?", k->state);
            }
        }
        Log("its screen change waits on %u commands; not closed: %s", g_guiManager.QueuedCommands(),
            open[0] ? open : "-");
    }
    Log("its puzzle's tiles by state %s, solved %d; may buzz %d %d %d", tiles[0] ? tiles : "-", (int)rc.IsPuzzleSolved(),
        rc.contestants[0].mayBuzz, rc.contestants[1].mayBuzz, rc.contestants[2].mayBuzz);
    Log("waits in window %s, round type %d, state %d (before it %d), turn of seat %d%s%s, computer control %d, "
        "paused %d, board lighting %d, timers running: %s",
        top && top->name ? top->name : "-", rc.roundType, rc.state, rc.previousState, rc.CurrentSeat(),
        rc.current && rc.current->profile ? " " : "", rc.current && rc.current->profile ? rc.current->profile->GetName() : "",
        c.ai ? c.ai->state : -1, (int)rc.paused, (int)rc.boardLighting, running[0] ? running : "none");
}

// Notices that wait for a person's OK even on a computer's turn, and what
// their OK runs after closing them.
struct Notice {
    const char* window;
    const char* onClose;
};
const Notice kNotices[] = {
    {"POPUP_ONLY_VOWELS", "OnOpupOnlyVowelsClose"},
    {"POPUP_ONLY_CONSONANTS", "OnOpupOnlyVowelsClose"},
};
const DWORD kNoticeReadMs = 1500;

// Presses OK on such a notice once it has been read for a moment.
void AnswerNotices(DWORD now) {
    const GuiScreen* top = g_guiManager.GetCurrentWindow();
    const Notice* notice = nullptr;
    if (top && top != g_guiManager.GetCurrentScreen() && top->name)
        for (const Notice& n : kNotices)
            if (std::strcmp(top->name, n.window) == 0) notice = &n;
    if (!notice) {
        g_autoplay.notice = nullptr;
        return;
    }
    if (g_autoplay.notice != top) {
        g_autoplay.notice = top;
        g_autoplay.noticeTick = now;
        return;
    }
    if (now - g_autoplay.noticeTick < kNoticeReadMs || g_guiManager.QueuedCommands() != 0) return;
    g_guiManager.CloseWindow();
    if (GuiCallback onClose = g_guiManager.GetCallbacks().Find(notice->onClose)) onClose(nullptr, nullptr);
    g_autoplay.notice = nullptr;
}

// The game's own update pass, with the frame's time stretched by the pace.
void PacedUpdatePass() {
    g_renderer.frameTime *= g_autoplay.pace;
    GuiUpdatePass();
}

}  // namespace

bool AutoplayStart() {
    const char* value = std::getenv("QUORVANE_AUTOPLAY");
    if (!value || !*value) return false;
    Autoplay& a = g_autoplay;
    a.on = true;
    int given = 0;
    for (const char* p = value; *p && given < kSeatCount;) {
        size_t length = std::strcspn(p, ",");
        int level = LevelOf(p, length);
        // Only seat 1 can be the player's.
        if (level >= 0 || (level == kHumanSeat && given == 0)) a.levels[given++] = level;
        p += length;
        if (*p == ',') ++p;
    }
    for (int s = given; s < kSeatCount; ++s) a.levels[s] = given && a.levels[given - 1] >= 0 ? a.levels[given - 1] : 1;
    if (a.levels[0] == kHumanSeat) {
        // A person plays seat 1 against two computers: the current player,
        // when there is one, else a computer takes the seat after all.
        PlayerProfile* p = g_gameData.currentProfile;
        a.player = p && p->GetKind() == KIND_HUMAN && !p->GetAi() ? p : nullptr;
        if (!a.player) a.levels[0] = 1;
    }
    if (const char* path = std::getenv("QUORVANE_AUTOPLAY_LOG")) a.log = std::fopen(path, "w");
    if (const char* pace = std::getenv("QUORVANE_AUTOPLAY_PACE")) {
        float p = (float)std::atof(pace);
        if (p > 1.0f && p <= 8.0f) {
            a.pace = p;
            g_renderer.defaultFrameTime *= p;
            g_renderer.SetFramePasses(PacedUpdatePass, GuiDrawPass);
        }
    }
    a.startTick = GetTickCount();
    Log("autoplay levels %d %d %d, pace %.1f", a.levels[0], a.levels[1], a.levels[2], a.pace);
    return true;
}

void AutoplayFrame() {
    Autoplay& a = g_autoplay;
    if (!a.on) return;
    DWORD now = GetTickCount();
    // The log follows the windows, to tell where a match that stalls waits.
    const GuiScreen* top = g_guiManager.GetCurrentWindow();
    if (top != a.top) {
        a.top = top;
        Log("window %s, state %d", top && top->name ? top->name : "-", (int)g_round.state);
    }
    if (a.matchTick == 0) {
        if (now - a.startTick >= kStartDelayMs && !StartMatch()) a.on = false;
        return;
    }
    if (a.endTick == 0) {
        if (!a.player) AnswerNotices(now);  // a person answers them
        // The screen change is deferred: the last match's end state holds
        // until the new match has begun.
        if (g_round.state != STATE_END_OF_MATCH) a.playing = true;
        else if (a.playing) EndMatch("end");
        if (a.endTick) return;
        float dt = g_renderer.GetCappedFrameTime();
        a.matchSeconds += dt;
        // A new round: another kind, or the next one set up after the last
        // was taken.
        bool taken = g_round.roundAdvanced != 0;
        if (g_round.roundType != a.roundType || (a.roundTaken && !taken)) {
            a.roundType = g_round.roundType;
            a.roundSeconds = 0.0f;
        }
        a.roundTaken = taken;
        a.roundSeconds += dt;
        Progress seen = ProgressNow();
        if (!(seen == a.progress)) {
            a.progress = seen;
            a.changeSeconds = a.matchSeconds;
        }
        float still = a.matchSeconds - a.changeSeconds;
        if (still > a.longestStill) a.longestStill = still;
        if (now - a.progressTick >= kProgressLineMs) {
            a.progressTick = now;
            Log("match %d at %.1f s of game time, unchanged for %.1f s (round type %d, state %d)", a.matches,
                a.matchSeconds, still, seen.roundType, seen.state);
        }
        // A person at seat 1 may take as long as they like.
        if (a.player) return;
        if (a.matchSeconds >= kMatchLimitSeconds || a.roundSeconds >= kRoundLimitSeconds ||
            still >= kStillLimitSeconds) {
            EndMatch("stalled");
            Log("its round (type %d) had run %.1f min of game time, the last %.1f min of it unchanged", a.roundType,
                a.roundSeconds / 60.0f, still / 60.0f);
            LogWhereItWaits();
        }
        return;
    }
    // The next match waits for the GUI's queued changes (the end's windows
    // opening) to be done, so that none of them lands on top of it; a queue
    // that never empties holds it back four times the pause at most.
    DWORD since = now - a.endTick;
    if (since < kNextMatchDelayMs) return;
    if (g_guiManager.QueuedCommands() != 0 && since < 4 * kNextMatchDelayMs) return;
    if (!StartMatch()) a.on = false;
}

bool NextTestWedge(int* wedge) {
    static bool read = false;
    static int wedges[16];
    static int count = 0, next = 0;
    if (!read) {
        read = true;
        const char* list = std::getenv("QUORVANE_TEST_WEDGES");
        while (list && *list && count < 16) {
            char* end = nullptr;
            long w = std::strtol(list, &end, 10);
            if (end == list) break;
            if (w >= 0 && w < 24) wedges[count++] = (int)w;
            list = *end == ',' ? end + 1 : end;
        }
    }
    if (next >= count) return false;
    *wedge = wedges[next++];
    return true;
}

float DistanceToWedge(float distance, float signedAngle, int wedge) {
    // The wheel turns its signed angle down by the distance; the pointer
    // reads (720 - angle - 2.4) degrees round, 15 to a wedge.
    double now = std::fmod(720.0 - (double)signedAngle + (double)distance - 2.4, 360.0);
    if (now < 0.0) now += 360.0;
    double extra = std::fmod(wedge * 15.0 + 7.5 - now + 720.0, 360.0);
    return distance + (float)extra;
}

