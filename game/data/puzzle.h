// One puzzle: which comes next without repeats, its document, and its text
// laid out on the 4 x 14 board.
#pragma once

const int kPuzzleRows = 4;
const int kPuzzleColumns = 14;
const int kPuzzleIdSize = 50;
const int kPuzzleBits = 3260;

enum RoundType {
    ROUND_TOSSUP_1000 = 0,
    ROUND_TOSSUP_2000 = 1,
    ROUND_ONE = 2,
    ROUND_JACKPOT = 3,
    ROUND_MYSTERY = 4,
    ROUND_BONUS = 5,
    ROUND_TIEBREAK = 6
};

enum CellKind { CELL_EMPTY = 0, CELL_LETTER = 1, CELL_SHOWN = 2 };

// The used-puzzle bits and label of the puzzles of one mode and round.
struct PuzzleRange {
    int firstBit;
    int count;
    const char* labelFormat; // "%s_..._%i" with the city name, or "..._%i"
    const char* city;        // null outside road trip
};

// A city outside 0..9 counts as city 0.
PuzzleRange GetPuzzleRange(int mode, int city, int roundType);

inline bool IsPuzzleLetter(char c) { return c >= 'A' && c <= 'Z'; }

class Puzzle {
public:
    Puzzle();
    ~Puzzle() { Clear(); }
    Puzzle(const Puzzle&) = delete;
    Puzzle& operator=(const Puzzle&) = delete;

    // A number of the range (from 0) whose bit in usedBits (the first
    // contestant's 408 bytes) is clear, marked as used; when all are used
    // they are cleared first. Without bits any number of the range.
    int PickNumber(unsigned char* usedBits, int mode, int city, int roundType);
    // Clears the board and returns the label of the next puzzle (in id).
    const char* ChooseNext(unsigned char* usedBits, int mode, int city, int roundType);
    // Reads the puzzle document and lays it out; false, with the puzzle as
    // it was, when the label names no document, it does not parse or it has
    // no "PUZZLE" root.
    bool Load(const char* label);
    void Clear();

    const char* GetHint() const { return hint ? hint : ""; }
    const char* GetMessage() const { return message ? message : ""; }
    const char* GetRow(int k) const { return k >= 0 && k < kPuzzleRows && rows[k] ? rows[k] : ""; }

    char* hint = nullptr;
    char* message = nullptr;
    char id[kPuzzleIdSize];
    char* rows[kPuzzleRows] = {};
    char grid[kPuzzleRows][kPuzzleColumns];
    int kinds[kPuzzleRows][kPuzzleColumns];
    int states[kPuzzleRows][kPuzzleColumns];

private:
    void ClearBoard();
};
