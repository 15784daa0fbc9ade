// Puzzle text rules and the board layout used by qvpuzzles: which characters
// a phrase may hold, which categories exist, and how a phrase is laid out on
// the 4 x 14 board.
#pragma once
#include <array>
#include <string>

constexpr int kBoardRows = 4;
constexpr int kBoardCols = 14;
// The corner tiles of the top and bottom rows are left empty when the phrase
// fits without them, as on a studio board; these rows then hold 12 letters.
constexpr int kOuterRowCols = 12;
constexpr char kEmptyCell = '%';

using BoardRows = std::array<std::string, kBoardRows>;

// True for the characters a phrase may hold: A-Z, space and ' - & . , ? !
bool IsPhraseChar(char c);

// True when the category is one of the categories the game shows.
bool IsKnownCategory(const std::string& category);

// The host's line for a puzzle of this category (the MESSAGE element).
std::string HostLineFor(const std::string& category);

// The letters of the phrase only: two phrases with the same key are the same
// puzzle to a player, whatever their spaces and punctuation.
std::string DuplicateKey(const std::string& phrase);

// Checks the phrase's own text: characters, spaces, word lengths. Returns an
// empty text when it is fine, else the reason.
std::string CheckPhraseText(const std::string& phrase);

// Lays the phrase out: each of the four rows is exactly kBoardCols characters,
// kEmptyCell where there is no character. Words are never split across rows.
// Returns false with the reason when the phrase does not fit.
bool LayoutPhrase(const std::string& phrase, BoardRows& rows, std::string& why);

// The host-side checks of the layout rules; prints each failure, returns the
// number of failures.
int RunLayoutSelfTest();
