// The game's board tile ("newpanel"), status bar ("statusbar") and message
// text ("msg") controls: the tile sequences and typing cursor driven tile by
// tile against the round controller, the bar's queue, and the kinds loaded
// from a document through the game's control factory.
#include "gui_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board.h"
#include "control_factory.h"
#include "control_panel.h"
#include "control_statusbar.h"
#include "controls_simple.h"
#include "gui_group.h"
#include "controls_text.h"
#include "input_state.h"
#include "round_controller.h"
#include "test_support.h"

#include <windows.h>

namespace {

class CueOps : public GameScreenOps {
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
    int CueCount(const std::string& cue) const {
        int n = 0;
        for (const auto& c : cues) n += c == cue;
        return n;
    }
    std::vector<std::string> messages, cues, windows;
};

class StateLog : public GuiControl {
public:
    void ApplyState(int s) override { states.push_back(state = s); }
    std::vector<int> states;
};

std::string Line(const TextControl& c) {
    const char* line = c.block ? c.block->Line(0) : nullptr;
    return line ? line : "";
}

// The round controller, the shared typing values and the input table start
// clean for every test.
class RoundRig : public ::testing::Test {
protected:
    void SetUp() override {
        g_round.controls = GameControls();
        g_round.SetOps(&ops);
        g_round.paused = 0;
        g_round.roundType = ROUND_ONE;
        g_round.state = STATE_SPIN;
        g_round.current = nullptr;
        g_round.controls.ai = &ai;
        solveCursor = nullptr;
        pendingChar = 0;
        solveLocked = 0;
        g_input.Clear();
    }
    void TearDown() override {
        g_round.controls = GameControls();
        g_round.SetOps(nullptr);
        g_round.paused = 0;
        solveCursor = nullptr;
        pendingChar = 0;
        solveLocked = 0;
        g_input.Clear();
    }
    CueOps ops;
    StateLog ai;
};

// Tiles without visuals: every clip counts as finished at once.
class Tiles : public RoundRig {
protected:
    void SetUp() override {
        RoundRig::SetUp();
        for (NewPanelControl& t : tile) t.stateFlags |= GUI_FLAG_OPEN;
    }
    // The first n tiles hold text[i] and are listed on the board.
    void Board(const char* text) {
        for (int i = 0; text[i]; ++i) {
            tile[i].letter = (unsigned char)text[i];
            tile[i].shownAtOnce = !(text[i] >= 'A' && text[i] <= 'Z');
            g_round.controls.tiles[i] = &tile[i];
        }
    }
    // A solve ring over the first n tiles, in one row.
    void Ring(int n) {
        for (int i = 0; i < n; ++i) {
            tile[i].next = &tile[(i + 1) % n];
            tile[i].back = i ? &tile[i - 1] : nullptr;
        }
    }
    void Key(int code) { g_input.Set(INPUT_LAST_DOWN, code); }
    void Char(char c) { g_input.Set(INPUT_CHAR, (unsigned char)c); }
    // The cursor tile handles this frame's input.
    void Step() {
        ASSERT_NE(nullptr, solveCursor);
        solveCursor->Update();
        g_input.EndFrame();
    }
    int Index(BoardTile* t) const {
        for (int i = 0; i < 8; ++i)
            if (t == &tile[i]) return i;
        return -1;
    }
    NewPanelControl tile[8];
};

}  // namespace

// ---- Factory ------------------------------------------------------------------------------

TEST(GameControlFactory, MakesTheBoardAndMessageKinds) {
    GuiControl* p = CreateGuiControl("newpanel");
    GuiControl* s = CreateGuiControl("statusbar");
    GuiControl* m = CreateGuiControl("msg");
    EXPECT_NE(nullptr, dynamic_cast<NewPanelControl*>(p));
    EXPECT_NE(nullptr, dynamic_cast<BoardTile*>(p));
    EXPECT_NE(nullptr, dynamic_cast<StatusBarControl*>(s));
    EXPECT_NE(nullptr, dynamic_cast<MsgControl*>(m));
    EXPECT_NE(nullptr, dynamic_cast<TextControl*>(m));
    delete p;
    delete s;
    delete m;
    GuiControl* generic = CreateGuiControl("static");
    EXPECT_NE(nullptr, generic);
    delete generic;
    EXPECT_EQ(nullptr, CreateBoardMessageControl(nullptr));
    EXPECT_EQ(nullptr, CreateBoardMessageControl("text"));
}

// ---- Tile states --------------------------------------------------------------------------

TEST_F(Tiles, NewTileHasNoLinksAndNoCharacter) {
    NewPanelControl t;
    EXPECT_EQ(nullptr, t.next);
    EXPECT_EQ(nullptr, t.back);
    EXPECT_EQ(nullptr, t.above);
    EXPECT_EQ(nullptr, t.below);
    EXPECT_EQ(0, t.letter);
    EXPECT_EQ(0, t.typedLetter);
    EXPECT_EQ(0, t.shownAtOnce);
    EXPECT_EQ(0, t.closedState);
}

TEST_F(Tiles, ClosedTileOnlyRemembersToReopenDark) {
    NewPanelControl t;
    t.state = 3;
    t.SetState(TILE_SHOWN);
    EXPECT_EQ(3, t.state);
    EXPECT_EQ(TILE_OFF, t.pendingState);
    t.stateFlags |= GUI_FLAG_OPEN;
    t.SetState(GUI_STATE_OPENING);
    EXPECT_EQ(TILE_OFF, t.state);
}

TEST_F(Tiles, DroppedTileReopensDarkAndLetsGoOfTheCursor) {
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    tile[0].pendingState = GUI_STATE_IDLE;
    tile[0].ReleaseVisuals();
    EXPECT_EQ(nullptr, solveCursor);
    EXPECT_EQ(TILE_OFF, tile[0].pendingState);
    tile[0].SetState(GUI_STATE_OPENING);
    EXPECT_EQ(TILE_OFF, tile[0].state);
    {
        NewPanelControl gone;
        gone.stateFlags |= GUI_FLAG_OPEN;
        gone.SetState(TILE_CURSOR_SHOWN);
        EXPECT_EQ(&gone, solveCursor);
    }
    EXPECT_EQ(nullptr, solveCursor);
}

TEST_F(Tiles, OpeningIntoOpeningDoesNotLoop) {
    tile[0].pendingState = GUI_STATE_OPENING;
    tile[0].SetState(GUI_STATE_OPENING);
    EXPECT_EQ(TILE_OFF, tile[0].state);
    tile[1].pendingState = GUI_STATE_CLOSING;
    tile[1].SetState(GUI_STATE_OPENING);
    EXPECT_EQ(TILE_OFF, tile[1].state);
}

TEST_F(Tiles, ClosingKeepsTheLookItHad) {
    tile[0].SetState(TILE_SHOWN);
    tile[0].SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(GUI_STATE_CLOSED, tile[0].state);
    EXPECT_EQ(TILE_SHOWN, tile[0].closedState);
    EXPECT_EQ(TILE_SHOWN, tile[0].DrawnState());
    tile[0].SetState(GUI_STATE_CLOSING);  // a second close keeps it
    EXPECT_EQ(TILE_SHOWN, tile[0].closedState);
}

TEST_F(Tiles, HighlightPlaysTheChimeAndOtherStatesAreStored) {
    tile[0].SetState(TILE_HIGHLIGHTED);
    EXPECT_EQ(1, ops.CueCount("CORRECT_LETTER"));
    tile[0].SetState(0);
    EXPECT_EQ(0, tile[0].state);
    tile[0].SetState(42);
    EXPECT_EQ(42, tile[0].state);
    EXPECT_EQ(1, ops.CueCount("CORRECT_LETTER"));
}

TEST_F(Tiles, CursorStatesHoldTheCursorUntilTheNextChange) {
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    EXPECT_EQ(&tile[0], solveCursor);
    tile[1].SetState(TILE_CURSOR_SHOWN);
    EXPECT_EQ(&tile[1], solveCursor);
    tile[1].SetState(TILE_SHOWN);
    EXPECT_EQ(nullptr, solveCursor);
}

// ---- Sequences ----------------------------------------------------------------------------

TEST_F(Tiles, LightingRunsDownTheChainThenStartsTheTurn) {
    Board("A,B");
    g_round.LinkBoardTiles();  // chains the tiles and lights the first
    EXPECT_EQ(TILE_LIGHTING, tile[0].state);
    tile[0].Update();
    EXPECT_EQ(TILE_HIDDEN, tile[0].state);
    EXPECT_EQ(TILE_LIGHTING, tile[1].state);
    EXPECT_NE(STATE_START_OF_TURN, g_round.state);
    tile[1].Update();
    EXPECT_EQ(TILE_SHOWN, tile[1].state);  // punctuation shows at once
    tile[2].Update();
    EXPECT_EQ(TILE_HIDDEN, tile[2].state);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
}

TEST_F(Tiles, ChainOfOneStartsTheTurnInTheSameFrame) {
    Board("Q");
    g_round.LinkBoardTiles();
    tile[0].Update();
    EXPECT_EQ(TILE_HIDDEN, tile[0].state);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
}

TEST_F(Tiles, LetterOfOneTileHighlightsTurnsAndReports) {
    Board("AB");
    g_round.roundType = ROUND_TOSSUP_1000;
    tile[1].state = TILE_HIDDEN;
    tile[0].back = &tile[0];
    tile[0].SetState(TILE_HIGHLIGHTING);
    tile[0].Update();
    // 8 is passed straight through to 9 on the same tile (its back).
    EXPECT_EQ(TILE_TURNING, tile[0].state);
    EXPECT_EQ(1, ops.CueCount("CORRECT_LETTER"));
    ai.states.clear();
    tile[0].Update();
    EXPECT_EQ(TILE_SHOWN, tile[0].state);
    ASSERT_FALSE(ai.states.empty());  // a toss-up's letter result hands on to the computer
    EXPECT_EQ(AI_TOSSUP_LETTER, ai.states.back());
}

TEST_F(Tiles, LetterChainHighlightsAllBeforeAnyTurns) {
    Board("AXA");
    for (int i : {0, 2}) tile[i].back = &tile[0];
    tile[0].next = &tile[2];
    tile[0].SetState(TILE_HIGHLIGHTING);
    tile[0].Update();
    EXPECT_EQ(TILE_HIGHLIGHTED, tile[0].state);
    EXPECT_EQ(TILE_HIGHLIGHTING, tile[2].state);
    tile[2].Update();
    EXPECT_EQ(TILE_TURNING, tile[0].state);
    EXPECT_EQ(TILE_HIGHLIGHTED, tile[2].state);
    EXPECT_EQ(2, ops.CueCount("CORRECT_LETTER"));
    tile[0].Update();
    EXPECT_EQ(TILE_SHOWN, tile[0].state);
    EXPECT_EQ(TILE_TURNING, tile[2].state);
}

TEST_F(Tiles, HighlightChainWithoutAHeadTurnsItself) {
    Board("A");
    tile[0].SetState(TILE_HIGHLIGHTING);  // no back link set
    tile[0].Update();
    EXPECT_EQ(TILE_TURNING, tile[0].state);
}

TEST_F(Tiles, PausedRoundHoldsEveryTile) {
    Board("A");
    tile[0].SetState(TILE_LIGHTING);
    g_round.paused = 1;
    tile[0].Update();
    EXPECT_EQ(TILE_LIGHTING, tile[0].state);
    EXPECT_TRUE(tile[0].MouseOver());
    EXPECT_EQ(TILE_LIGHTING, tile[0].state);
}

// ---- Typing cursor --------------------------------------------------------------------------

TEST_F(Tiles, ArrowsMoveTheCursorAndRightWraps) {
    Board("ABC");
    Ring(3);
    tile[0].state = TILE_SHOWN;
    tile[1].state = tile[2].state = TILE_HIDDEN;
    tile[1].SetState(TILE_CURSOR_HIDDEN);
    Key(TILE_KEY_RIGHT);
    Step();
    EXPECT_EQ(&tile[2], solveCursor);
    EXPECT_EQ(TILE_HIDDEN, tile[1].state);
    EXPECT_EQ(TILE_CURSOR_HIDDEN, tile[2].state);
    Key(TILE_KEY_RIGHT);
    Step();
    EXPECT_EQ(&tile[0], solveCursor);  // the last wraps to the first
    EXPECT_EQ(TILE_CURSOR_SHOWN, tile[0].state);
    Key(TILE_KEY_RIGHT);
    Step();
    EXPECT_EQ(TILE_SHOWN, tile[0].state);
    EXPECT_EQ(&tile[1], solveCursor);
    Key(TILE_KEY_LEFT);
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
    EXPECT_EQ(4, ops.CueCount("UI_MENU_TYPING"));
    EXPECT_EQ(0, g_input.Get(INPUT_LAST_DOWN));
}

TEST_F(Tiles, UpAndDownFollowTheColumnLinks) {
    Board("AB");
    tile[0].state = tile[1].state = TILE_HIDDEN;
    tile[0].below = &tile[1];
    tile[1].above = &tile[0];
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    Key(TILE_KEY_UP);  // nothing above
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
    Key(TILE_KEY_DOWN);
    Step();
    EXPECT_EQ(&tile[1], solveCursor);
    Key(TILE_KEY_UP);
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
}

TEST_F(Tiles, BackspaceOnTheFirstTileDoesNothing) {
    Board("AB");
    Ring(2);
    tile[0].state = TILE_HIDDEN;
    tile[0].typedLetter = 'A';
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    Key(TILE_KEY_BACKSPACE);
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
    EXPECT_EQ('A', tile[0].typedLetter);
    tile[0].state = TILE_SHOWN;
    tile[0].SetState(TILE_CURSOR_SHOWN);
    Key(TILE_KEY_BACKSPACE);
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
    EXPECT_EQ(TILE_CURSOR_SHOWN, tile[0].state);
}

TEST_F(Tiles, BackspaceClearsTheTypedLetterAndStepsBack) {
    Board("ABC");
    Ring(3);
    for (int i = 0; i < 3; ++i) tile[i].state = TILE_HIDDEN;
    tile[1].typedLetter = 'Z';
    tile[1].SetState(TILE_CURSOR_HIDDEN);
    Key(TILE_KEY_BACKSPACE);
    Step();
    EXPECT_EQ(0, tile[1].typedLetter);
    EXPECT_EQ(TILE_HIDDEN, tile[1].state);
    EXPECT_EQ(&tile[0], solveCursor);
    // On a shown tile Backspace steps back without a cue.
    ops.cues.clear();
    tile[2].state = TILE_SHOWN;
    tile[2].SetState(TILE_CURSOR_SHOWN);
    Key(TILE_KEY_BACKSPACE);
    Step();
    EXPECT_EQ(&tile[1], solveCursor);
    EXPECT_EQ(TILE_SHOWN, tile[2].state);
    EXPECT_EQ(0, ops.CueCount("UI_MENU_TYPING"));
}

TEST_F(Tiles, LeavingAHiddenTileShowsWhatWasTyped) {
    Board("ABC");
    Ring(3);
    for (int i = 0; i < 3; ++i) tile[i].state = TILE_HIDDEN;
    tile[0].typedLetter = 'A';
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    Key(TILE_KEY_RIGHT);
    Step();
    EXPECT_EQ(TILE_TYPED_RIGHT, tile[0].state);
    tile[1].typedLetter = 'Q';
    Key(TILE_KEY_RIGHT);
    Step();
    EXPECT_EQ(TILE_TYPED_WRONG, tile[1].state);
}

TEST_F(Tiles, TypedLetterIsStoredUpperCaseAndTheCursorMovesOn) {
    Board("ABC");
    Ring(3);
    for (int i = 0; i < 3; ++i) tile[i].state = TILE_HIDDEN;
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    Char('a');
    Step();
    EXPECT_EQ('A', tile[0].typedLetter);
    EXPECT_EQ(TILE_TYPED_RIGHT, tile[0].state);
    EXPECT_EQ(&tile[1], solveCursor);
    EXPECT_EQ(0, pendingChar);
    EXPECT_EQ(0, g_input.Get(INPUT_CHAR));
    Char('x');
    Step();
    EXPECT_EQ('X', tile[1].typedLetter);
    EXPECT_EQ(TILE_TYPED_WRONG, tile[1].state);
    EXPECT_EQ(&tile[2], solveCursor);
    EXPECT_EQ(0, solveLocked);
}

TEST_F(Tiles, LetterOnTheLastHiddenTileJudgesAndTheCursorStays) {
    Board("AB");
    Ring(2);
    tile[0].state = TILE_TYPED_WRONG;
    tile[0].typedLetter = 'Z';
    tile[1].state = TILE_HIDDEN;
    tile[1].SetState(TILE_CURSOR_HIDDEN);
    Char('b');
    Step();
    EXPECT_EQ(TILE_TYPED_RIGHT, tile[1].state);
    EXPECT_EQ(nullptr, solveCursor);  // not moved on to the first tile
    EXPECT_EQ(TILE_TYPED_WRONG, tile[0].state);
    EXPECT_EQ(1, solveLocked);        // the wrong attempt locks the typing
}

TEST_F(Tiles, DigitIsIgnoredOnHiddenAndStepsOverShown) {
    Board("AB");
    Ring(2);
    tile[0].state = TILE_HIDDEN;
    tile[1].state = TILE_SHOWN;
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    Char('7');
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
    EXPECT_EQ(0, tile[0].typedLetter);
    EXPECT_EQ(TILE_CURSOR_HIDDEN, tile[0].state);
    EXPECT_EQ(0, pendingChar);
    tile[1].SetState(TILE_CURSOR_SHOWN);
    Char('7');
    Step();
    EXPECT_EQ(TILE_SHOWN, tile[1].state);
    EXPECT_EQ(&tile[0], solveCursor);
}

TEST_F(Tiles, LockedTypingMovesOnlyForTheComputersCharacter) {
    Board("ABC");
    Ring(3);
    for (int i = 0; i < 3; ++i) tile[i].state = TILE_HIDDEN;
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    solveLocked = 1;
    Key(TILE_KEY_RIGHT);
    Char('a');
    Step();
    EXPECT_EQ(&tile[0], solveCursor);
    EXPECT_EQ(0, tile[0].typedLetter);
    EXPECT_EQ(0, g_input.Get(INPUT_LAST_DOWN));
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    tile[1].MouseOver();
    EXPECT_EQ(&tile[0], solveCursor);
    g_input.Clear();
    pendingChar = 'A';
    Step();
    EXPECT_EQ('A', tile[0].typedLetter);
    EXPECT_EQ(&tile[1], solveCursor);
}

TEST_F(Tiles, ClickMovesTheCursorButNotOntoAnUnusedTile) {
    Board("AB");
    Ring(2);
    tile[0].state = TILE_SHOWN;
    tile[1].state = TILE_HIDDEN;
    tile[2].state = TILE_OFF;
    tile[0].SetState(TILE_CURSOR_SHOWN);
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    EXPECT_TRUE(tile[2].MouseOver());
    EXPECT_EQ(&tile[0], solveCursor);
    EXPECT_TRUE(tile[1].MouseOver());
    EXPECT_EQ(&tile[1], solveCursor);
    EXPECT_EQ(TILE_SHOWN, tile[0].state);
    EXPECT_EQ(TILE_CURSOR_HIDDEN, tile[1].state);
    // Without a press nothing moves.
    g_input.Clear();
    EXPECT_TRUE(tile[0].MouseOver());
    EXPECT_EQ(&tile[1], solveCursor);
}

TEST_F(Tiles, CursorWithoutLinksStaysPut) {
    Board("AB");
    tile[0].state = TILE_HIDDEN;
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    for (int k : {TILE_KEY_LEFT, TILE_KEY_RIGHT, TILE_KEY_UP, TILE_KEY_DOWN, TILE_KEY_BACKSPACE}) {
        Key(k);
        Step();
        EXPECT_EQ(&tile[0], solveCursor) << k;
    }
    tile[1].state = TILE_SHOWN;
    tile[1].SetState(TILE_CURSOR_SHOWN);
    Key(TILE_KEY_RIGHT);
    Step();
    Char('x');
    Step();
    EXPECT_EQ(&tile[1], solveCursor);
    EXPECT_EQ(0, pendingChar);
}

// The keyboard's own messages, through the renderer's handler and the
// input table, move the cursor: arrows (extended keys), typed letters and
// Backspace, each pressed and released within one frame.
TEST_F(Tiles, KeyboardMessagesDriveTheCursor) {
    RendererWindow w;
    ASSERT_TRUE(w.Ok());
    Board("ABC");
    Ring(3);
    for (int i = 0; i < 3; ++i) tile[i].state = TILE_HIDDEN;
    tile[0].SetState(TILE_CURSOR_HIDDEN);
    auto tap = [&](unsigned vk, unsigned scan) {
        w.Key(vk, scan, true);
        w.Key(vk, scan, false);
        w.Pump();
        Step();
    };
    tap(VK_RIGHT, 0x14D);
    EXPECT_EQ(&tile[1], solveCursor);
    tap('B', 0x30);  // the character comes from the key's translation
    EXPECT_EQ('B', tile[1].typedLetter);
    EXPECT_EQ(TILE_TYPED_RIGHT, tile[1].state);
    EXPECT_EQ(&tile[2], solveCursor);
    tap(VK_LEFT, 0x14B);
    EXPECT_EQ(&tile[1], solveCursor);
    tap(VK_BACK, 0x0E);
    EXPECT_EQ(0, tile[1].typedLetter);
    EXPECT_EQ(TILE_HIDDEN, tile[1].state);
    EXPECT_EQ(&tile[0], solveCursor);
    // Two arrows within one frame move the cursor twice, a frame apart.
    w.Key(VK_RIGHT, 0x14D, true);
    w.Key(VK_RIGHT, 0x14D, false);
    w.Key(VK_DOWN, 0x150, true);  // no row below: stays
    w.Key(VK_RIGHT, 0x14D, true);
    w.Pump();
    Step();
    EXPECT_EQ(&tile[1], solveCursor);
    Step();
    Step();
    EXPECT_EQ(&tile[2], solveCursor);
}

// ---- Status bar ---------------------------------------------------------------------------

namespace {
class Bar : public RoundRig {
protected:
    void SetUp() override {
        RoundRig::SetUp();
        bar.messageText = &text;
        bar.messageTimer = &timer;
        timer.startTime = 4.0f;
        bar.state = BAR_CLOSED;
    }
    // The bar's clip ends (it has no visual) and the bar steps.
    void Finish() { bar.Update(); }
    StatusBarControl bar;
    TextControl text;
    TimerControl timer;
};
}  // namespace

TEST_F(Bar, FirstMessageOpensAndTheSecondWaits) {
    bar.PostMessage("one");
    bar.PostMessage("two");
    EXPECT_EQ(BAR_OPENING, bar.state);
    EXPECT_EQ(GUI_STATE_OPENING, text.state);
    EXPECT_EQ("one", Line(text));
    ASSERT_EQ(1u, bar.QueuedCount());
    EXPECT_STREQ("two", bar.QueuedAt(0));
    Finish();  // opened: idle, and the timer starts
    EXPECT_EQ(BAR_IDLE, bar.state);
    EXPECT_FLOAT_EQ(4.0f, timer.timeLeft);
    EXPECT_TRUE(timer.HasFlags(GUI_FLAG_NOT_DRAWN));
    bar.PostMessage("three");  // the timer runs: queued
    EXPECT_EQ(2u, bar.QueuedCount());
    EXPECT_TRUE(bar.NextMessage());
    EXPECT_EQ("two", Line(text));
    EXPECT_EQ(BAR_OPENING, bar.state);
    EXPECT_EQ(1u, bar.QueuedCount());
}

TEST_F(Bar, EmptyTextOpensAnEmptyLineOrQueuesAClose) {
    bar.PostMessage("");
    EXPECT_EQ(BAR_OPENING, bar.state);
    EXPECT_EQ("", Line(text));
    bar.PostMessage("");
    bar.PostMessage(nullptr);
    ASSERT_EQ(2u, bar.QueuedCount());
    EXPECT_EQ(nullptr, bar.QueuedAt(0));
    EXPECT_EQ(nullptr, bar.QueuedAt(1));
}

TEST_F(Bar, NullTextClosesAtOnce) {
    bar.PostMessage(nullptr);
    EXPECT_EQ(BAR_CLOSING, bar.state);
    EXPECT_EQ(GUI_STATE_CLOSING, text.state);
}

TEST_F(Bar, NextMessageWithAnEmptyQueueKeepsTheLine) {
    bar.PostMessage("last");
    Finish();
    EXPECT_TRUE(bar.NextMessage());
    EXPECT_EQ(BAR_IDLE, bar.state);
    EXPECT_EQ("last", Line(text));
    EXPECT_TRUE(StatusBarNextMessage(nullptr, nullptr));
}

TEST_F(Bar, CloseRequestClosesThenHandsOnByItself) {
    bar.PostMessage("a");
    bar.PostMessage(nullptr);
    bar.PostMessage("b");
    Finish();
    bar.NextMessage();  // the close request
    EXPECT_EQ(BAR_CLOSING, bar.state);
    EXPECT_EQ(GUI_STATE_CLOSING, text.state);
    timer.timeLeft = 0.0f;
    Finish();  // closed: the next entry opens, and the bar stays in 6
    EXPECT_EQ(BAR_HANDED_ON, bar.state);
    EXPECT_EQ("b", Line(text));
    EXPECT_EQ(GUI_STATE_OPENING, text.state);
    EXPECT_EQ(0u, bar.QueuedCount());
    // The next post is shown at once.
    bar.PostMessage("c");
    EXPECT_EQ("c", Line(text));
    EXPECT_EQ(BAR_OPENING, bar.state);
}

// Lines posted around a close request come out in the order they were
// posted: none overtakes the queue while the bar closes or after it has
// handed on.
TEST_F(Bar, LinesKeepTheirOrderAroundACloseRequest) {
    bar.PostMessage("a");
    bar.PostMessage(nullptr);
    bar.PostMessage("b");
    Finish();
    bar.NextMessage();  // the close request
    timer.timeLeft = 0.0f;
    bar.PostMessage("c");  // while closing: behind "b"
    EXPECT_EQ(BAR_CLOSING, bar.state);
    ASSERT_EQ(2u, bar.QueuedCount());
    EXPECT_STREQ("b", bar.QueuedAt(0));
    EXPECT_STREQ("c", bar.QueuedAt(1));
    Finish();  // closed: "b" comes next
    EXPECT_EQ("b", Line(text));
    bar.PostMessage("d");  // "c" still waits: it goes first
    EXPECT_EQ("c", Line(text));
    ASSERT_EQ(1u, bar.QueuedCount());
    EXPECT_STREQ("d", bar.QueuedAt(0));
    Finish();  // opened: the timer runs
    bar.NextMessage();
    EXPECT_EQ("d", Line(text));
    EXPECT_EQ(0u, bar.QueuedCount());
}

TEST_F(Bar, OpeningAndClosingOfTheScreenMapToIdleAndClosed) {
    timer.timeLeft = 0.0f;
    bar.SetState(GUI_STATE_OPENING);
    EXPECT_EQ(BAR_IDLE, bar.state);
    EXPECT_FLOAT_EQ(0.0f, timer.timeLeft);  // no timer restart
    bar.SetState(GUI_STATE_CLOSING);
    EXPECT_EQ(BAR_CLOSED, bar.state);
    bar.SetState(9);
    EXPECT_EQ(9, bar.state);
}

// Main Menu on the last statistics closes the match screen while a line
// waits for the message timer: the screen can only go once every control
// has closed, so neither that line nor the timer's end opens the bar again.
TEST_F(Bar, ABarItsScreenClosedStaysClosedUntilTheScreenOpensIt) {
    GuiGroup screen;
    screen.AddControl(&bar);
    bar.PostMessage("a");
    Finish();
    bar.PostMessage("waits for the timer");
    screen.Close();
    timer.timeLeft = 0.0f;
    EXPECT_TRUE(bar.NextMessage());  // the timer's end
    bar.PostMessage("posted while the screen closes");
    bar.Update();
    EXPECT_EQ(BAR_CLOSED, bar.state);
    EXPECT_EQ("a", Line(text));
    EXPECT_EQ(2u, bar.QueuedCount());
    bar.ReleaseVisuals();  // the screen goes, and its lines with it
    screen.Drop();
    EXPECT_EQ(0u, bar.QueuedCount());
    // It opens again with nothing said: not the last line, nor the time
    // that line had left (the next match's first line would wait for it).
    timer.timeLeft = 1.5f;
    bar.SetState(GUI_STATE_OPENING);
    EXPECT_EQ("", Line(text));
    EXPECT_FLOAT_EQ(0.0f, timer.timeLeft);
    bar.PostMessage("the next match");
    EXPECT_EQ(BAR_OPENING, bar.state);
    EXPECT_EQ("the next match", Line(text));
}

// What the end of a turn waits for: the bar speaks while it opens or
// closes and while its line has its time, the queued lines after it.
TEST_F(Bar, SpeaksUntilItsLastLineHasHadItsTime) {
    EXPECT_FALSE(bar.Speaking());
    bar.PostMessage("a");
    bar.PostMessage("b");
    EXPECT_TRUE(bar.Speaking());  // opening
    Finish();
    EXPECT_TRUE(bar.Speaking());  // "a" has its time, "b" waits
    timer.timeLeft = 0.0f;
    bar.NextMessage();  // the timer's end: "b"
    Finish();
    EXPECT_TRUE(bar.Speaking());
    timer.timeLeft = 0.0f;
    bar.NextMessage();  // nothing more queued
    EXPECT_FALSE(bar.Speaking()) << "\"b\" stands, said";
    EXPECT_EQ("b", Line(text));
    bar.PostMessage(nullptr);
    EXPECT_TRUE(bar.Speaking());  // closing
    Finish();
    EXPECT_FALSE(bar.Speaking());

    bar.PostMessage("c");
    Finish();
    ASSERT_TRUE(bar.Speaking());
    GuiGroup screen;
    screen.AddControl(&bar);
    screen.AddControl(&timer);
    screen.Close();
    EXPECT_FALSE(bar.Speaking()) << "its screen has closed it";
    screen.Drop();
    StatusBarControl lone;
    lone.PostMessage("d");
    lone.Update();
    EXPECT_FALSE(lone.Speaking()) << "no timer gives its line a time";
}

TEST_F(Bar, TextIsShownAsItStands) {
    bar.PostMessage("100% of %s and %n");
    EXPECT_EQ("100% of %s and %n", Line(text));
}

TEST_F(Bar, ReleasingTheVisualsEmptiesTheQueue) {
    bar.PostMessage("a");
    bar.PostMessage("b");
    bar.PostMessage(nullptr);
    EXPECT_EQ(2u, bar.QueuedCount());
    bar.ReleaseVisuals();
    EXPECT_EQ(0u, bar.QueuedCount());
}

TEST_F(Bar, UnboundBarStillWorks) {
    StatusBarControl lone;
    lone.PostMessage("a");
    EXPECT_EQ(BAR_OPENING, lone.state);
    lone.PostMessage("b");  // opening: queued
    lone.Update();
    EXPECT_EQ(BAR_IDLE, lone.state);
    lone.PostMessage("c");  // no timer to wait for: shown at once
    EXPECT_EQ(BAR_OPENING, lone.state);
    EXPECT_EQ(1u, lone.QueuedCount());
    lone.NextMessage();
    EXPECT_EQ(0u, lone.QueuedCount());
}

// ---- Documents ----------------------------------------------------------------------------

namespace {
class GameDoc : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_round.controls = GameControls();
        g_round.SetOps(&ops);
        g_round.paused = 0;
        g_round.roundType = ROUND_ONE;
        g_round.state = STATE_SPIN;
        solveCursor = nullptr;
        pendingChar = 0;
        solveLocked = 0;
        SeedModel("panel", "body", 0.1f, {{"off", 3}, {"on", 3}, {"guess", 3}, {"solve", 3}});
        SeedModel("bar", "body", 0.1f, AllClips(3));
    }
    void TearDown() override {
        GuiTest::TearDown();
        g_round.controls = GameControls();
        g_round.SetOps(nullptr);
        g_round.roundType = ROUND_ONE;
        g_round.state = STATE_SPIN;
        solveCursor = nullptr;
    }
    CueOps ops;
};
}  // namespace

TEST_F(GameDoc, KindsLoadThroughTheGameFactory) {
    ASSERT_TRUE(Load("<gui start_screen='a'><screen name='a'>"
                     "<newpanel name='t' model='panel' texture='t' font_reveal='none' font_typing='none'/>"
                     "<statusbar name='b' model='bar' texture='t'/>"
                     "<msg name='m' pos='0.1,0.2,0.3' pos2='0.5,0.6,0.7'/>"
                     "<msg name='n' pos='0.1,0.2,0.3'/>"
                     "</screen></gui>",
                     CreateGuiControl))
        << Error();
    Frame(2);
    NewPanelControl* t = dynamic_cast<NewPanelControl*>(Control("a.t"));
    StatusBarControl* b = dynamic_cast<StatusBarControl*>(Control("a.b"));
    MsgControl* m = dynamic_cast<MsgControl*>(Control("a.m"));
    MsgControl* n = dynamic_cast<MsgControl*>(Control("a.n"));
    ASSERT_TRUE(t && b && m && n);
    EXPECT_EQ(nullptr, t->revealFont);
    EXPECT_EQ(nullptr, t->typingFont);
    EXPECT_TRUE(t->IsOpen());
    EXPECT_EQ(b, g_gameStatusBar);

    // The lighting clip plays on the real body and ends on a later frame.
    t->letter = 'A';
    t->SetState(TILE_LIGHTING);
    g_round.boardLighting = 1;  // as a board whose chain has just started
    g_round.state = STATE_SPIN;
    int frames = 0;
    while (t->state == TILE_LIGHTING && frames < 200) Frame(), ++frames;
    EXPECT_EQ(TILE_HIDDEN, t->state);
    EXPECT_GT(frames, 1);
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);

    // The bar opens on its clip and idles.
    b->PostMessage("hello");
    EXPECT_EQ(BAR_OPENING, b->state);
    frames = 0;
    while (b->state == BAR_OPENING && frames < 200) Frame(), ++frames;
    EXPECT_EQ(BAR_IDLE, b->state);

    // The message text: "pos2" in toss-ups, centred; home otherwise.
    EXPECT_FLOAT_EQ(0.5f, m->altPos.x);
    EXPECT_FLOAT_EQ(0.1f, m->homePos.x);
    EXPECT_FLOAT_EQ(0.0f, n->altPos.x);
    g_round.roundType = ROUND_TOSSUP_2000;
    g_round.state = STATE_SPIN;
    Frame();
    EXPECT_FLOAT_EQ(0.5f, m->position.x);
    EXPECT_FLOAT_EQ(0.7f, m->position.z);
    EXPECT_EQ(TEXT_ALIGN_CENTER, m->layout.horizontal);
    g_round.state = STATE_SOLVE;
    Frame();
    EXPECT_FLOAT_EQ(0.1f, m->position.x);
    EXPECT_EQ(TEXT_ALIGN_LEFT, m->layout.horizontal);
    g_round.roundType = ROUND_TIEBREAK;
    g_round.state = STATE_ROUND_WON;
    Frame();
    EXPECT_FLOAT_EQ(0.1f, m->position.x);
    g_round.state = STATE_START_OF_TURN;
    Frame();
    EXPECT_FLOAT_EQ(0.5f, m->position.x);
    g_round.roundType = ROUND_ONE;
    Frame();
    EXPECT_FLOAT_EQ(0.1f, m->position.x);
    EXPECT_EQ(TEXT_ALIGN_LEFT, m->layout.horizontal);
}
