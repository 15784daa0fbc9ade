// The puzzle board as the rules see it: the 26 letter records, the tiles of
// the 4 x 14 board (their character, links and state), money text and the
// wedge codes. The round controller's board, money and wheel operations
// themselves are in board.cpp; their declarations are in round_controller.h.
#pragma once
#include "gui_control.h"

const int kBoardRows = 4;
const int kBoardColumns = 14;
const int kBoardTiles = kBoardRows * kBoardColumns;
const int kLetterCount = 26;

const int kVowelPrice = 250;
const int kJackpotStart = 5000;
const int kJackpotWedgeBonus = 500;
const int kTenThousandPrize = 10000;
const int kMinimumRoundWin = 1000;

// One per letter A to Z, in letter order.
struct LetterRecord {
    unsigned char called;  // called in this puzzle
    unsigned char occurs;  // in the puzzle
    unsigned char isVowel; // A, E, I, O, U
    unsigned char letter;  // 'A'..'Z'
};
static_assert(sizeof(LetterRecord) == 4, "a letter record is four bytes");

// Tile states (the GuiControl state of a board tile); 1 to 3 keep their
// usual meaning of opening, closing and closed.
enum TileState {
    TILE_OFF = 4,             // position not used, or board not lit
    TILE_LIGHTING = 5,        // part of the lighting sequence
    TILE_HIDDEN = 6,          // lit, character hidden
    TILE_HIGHLIGHTING = 7,    // called letter being highlighted
    TILE_HIGHLIGHTED = 8,
    TILE_TURNING = 9,         // turning to show its character
    TILE_SHOWN = 10,
    TILE_CURSOR_SHOWN = 11,   // typing cursor on a shown tile
    TILE_CURSOR_HIDDEN = 12,  // typing cursor on a hidden tile
    TILE_TYPED_RIGHT = 13,    // hidden tile with a matching typed letter
    TILE_TYPED_WRONG = 14
};

// What the rules read and write of a board tile. The tile control of the
// game screen derives from it and runs the lighting, reveal and typing
// sequences along the links that the round controller sets here.
class BoardTile : public GuiControl {
public:
    unsigned char letter = 0;       // the puzzle character; 0 for an empty cell
    unsigned char typedLetter = 0;  // typed during a solve attempt; 0 none
    unsigned char shownAtOnce = 0;  // a character other than A-Z (punctuation)
    // Lighting and letter reveals: next in the chain, back = first of it.
    // Solving: next/back are the right/left neighbours (a ring to the
    // right), above/below the character tiles of the same column.
    BoardTile* next = nullptr;
    BoardTile* back = nullptr;
    BoardTile* above = nullptr;
    BoardTile* below = nullptr;

    void DropLinks() { next = back = above = below = nullptr; }
    bool HoldsCharacter() const { return letter != 0; }
};

// Typing state shared by the board tiles and the computer contestant.
extern BoardTile* solveCursor;     // the tile that holds the typing cursor
extern unsigned char pendingChar;  // the character typed in this frame
extern unsigned char solveLocked;  // the solve input is closed

// Wedge values below zero are special wedges.
enum WedgeCode {
    WEDGE_BANKRUPT = -1,
    WEDGE_LOSE_A_TURN = -2,
    WEDGE_FREE_SPIN = -3,
    WEDGE_JACKPOT = -4,
    WEDGE_MYSTERY_BANKRUPT = -5,  // the mystery wedge hides a bankrupt
    WEDGE_MYSTERY_PRIZE = -6      // the mystery wedge hides $10,000
};

// Mystery outcomes.
enum MysteryOutcome {
    MYSTERY_NONE = 0,
    MYSTERY_PRIZE = 10000,
    MYSTERY_BANKRUPT = 10001,
    MYSTERY_SPENT = 10002
};

// States of the free-spin wedge, the $10,000 wedge and the jackpot.
enum WedgeWaitState {
    WEDGE_OPEN = 0,     // not landed (this round)
    WEDGE_WAITING = 1,  // landed, waiting for a right letter
    WEDGE_TAKEN = 2,
    WEDGE_LOST = 3      // $10,000: lost to a bankrupt; jackpot: missed or declined
};

// Money as text with a comma between groups of three digits ("12,500"), in
// one shared buffer that the next call overwrites: use it at once. A
// negative amount gets a leading minus sign.
const char* FormatMoney(int value);

// 'A', 'E', 'I', 'O' and 'U'.
inline bool IsVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

// Showing and hiding a game control is its hidden flag in the state word,
// so that its child group follows; disabling is the disabled flag. A null
// control is left alone.
inline void ShowControl(GuiControl* c) {
    if (c) c->ClearFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
}
inline void HideControl(GuiControl* c) {
    if (c) c->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
}
// A button also shows it: disabled, it takes its inactive look.
void EnableControl(GuiControl* c);
void DisableControl(GuiControl* c);
inline void SetControlState(GuiControl* c, int s) {
    if (c) c->SetState(s);
}

// Names of the avatar animations, by their index in the game's list.
const int kAvatarAnimationCount = 19;
extern const char* const kAvatarAnimations[kAvatarAnimationCount];

// What a board tile asks of the round it belongs to, and no more: the tiles
// run their sequences and hand the round its next step when one ends.
class BoardRoundView {
public:
    virtual ~BoardRoundView() {}
    virtual bool Paused() const = 0;
    virtual void PlaySoundCue(const char* cue) = 0;
    // The board's lighting has ended: the first turn begins, if the round
    // still waits for it.
    virtual void BoardLit() = 0;
    // A called letter's highlighting has ended.
    virtual void OnLetterResult(int count) = 0;
    // A solution tile has turned; false while more tiles are to come.
    virtual bool EndSolutionReveal() = 0;
};

// The match in play as the board tiles see it.
BoardRoundView& BoardRound();
