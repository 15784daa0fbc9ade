#include "puzzle.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "file_system.h"
#include "game_config.h"
#include "high_scores.h"
#include "strings.h"

// Road trip: 60 puzzles per city; the other modes share the main ranges.
static const int kCityPuzzles = 60;
static const int kMainRoundFirst = 600;
static const int kMainRoundCount = 1995;
static const int kMainBonusFirst = 2595;
static const int kMainBonusCount = 665;
static const int kShownState = 2;

PuzzleRange GetPuzzleRange(int mode, int city, int roundType) {
    if (mode != MODE_ROAD_TRIP) {
        if (roundType == ROUND_BONUS) return {kMainBonusFirst, kMainBonusCount, "MAIN_BONUS_PUZZLE_%i", nullptr};
        return {kMainRoundFirst, kMainRoundCount, "MAIN_ROUND_PUZZLE_%i", nullptr};
    }
    if (city < 0 || city >= kCityCount) city = 0;
    int base = kCityPuzzles * city;
    switch (roundType) {
    case ROUND_TOSSUP_1000:
    case ROUND_TOSSUP_2000:
    case ROUND_TIEBREAK: return {base, 20, "%s_TOSSUP_PUZZLE_%i", kCityNames[city]};
    case ROUND_BONUS: return {base + 50, 10, "%s_BONUS_PUZZLE_%i", kCityNames[city]};
    default: return {base + 20, 30, "%s_ROUND_PUZZLE_%i", kCityNames[city]};
    }
}

Puzzle::Puzzle() {
    ClearBoard();
}

void Puzzle::ClearBoard() {
    std::memset(id, 0, sizeof(id));
    std::memset(grid, '%', sizeof(grid));
    std::memset(kinds, 0, sizeof(kinds));
    std::memset(states, 0, sizeof(states));
}

void Puzzle::Clear() {
    SetString(hint, nullptr);
    SetString(message, nullptr);
    for (char*& row : rows) SetString(row, nullptr);
    std::memset(kinds, 0, sizeof(kinds));
    std::memset(states, 0, sizeof(states));
}

int Puzzle::PickNumber(unsigned char* usedBits, int mode, int city, int roundType) {
    PuzzleRange range = GetPuzzleRange(mode, city, roundType);
    if (!usedBits) return std::rand() % range.count;
    int free[kMainRoundCount];
    int freeCount = 0;
    for (int i = 0; i < range.count; ++i)
        if (!TestBit(usedBits, range.firstBit + i)) free[freeCount++] = i;
    int n;
    if (freeCount > 0) {
        n = free[std::rand() % freeCount];
    } else {
        for (int i = 0; i < range.count; ++i) ClearBit(usedBits, range.firstBit + i);
        n = std::rand() % range.count;
    }
    SetBit(usedBits, range.firstBit + n);
    return n;
}

const char* Puzzle::ChooseNext(unsigned char* usedBits, int mode, int city, int roundType) {
    ClearBoard();
    int n = PickNumber(usedBits, mode, city, roundType) + 1;
    PuzzleRange range = GetPuzzleRange(mode, city, roundType);
    if (range.city)
        std::snprintf(id, sizeof(id), range.labelFormat, range.city, n);
    else
        std::snprintf(id, sizeof(id), range.labelFormat, n);
    return id;
}

static const char* ElementText(const TiXmlElement* parent, const char* name) {
    const TiXmlElement* e = parent->FirstChildElement(name);
    return e ? e->GetText() : nullptr;
}

bool Puzzle::Load(const char* label) {
    int fileId = g_fileSystem.GetFileId(label);
    if (!fileId) return false;
    TiXmlDocument doc;
    if (!g_fileSystem.LoadXml(fileId, &doc)) return false;
    const TiXmlElement* root = doc.FirstChildElement("PUZZLE");
    if (!root) return false;

    // The label may be id itself.
    char newId[kPuzzleIdSize];
    CopyString(newId, sizeof(newId), label);
    ClearBoard();
    std::memcpy(id, newId, sizeof(id));
    SetString(hint, ElementText(root, "HINT"));
    SetString(message, ElementText(root, "MESSAGE"));
    for (char*& row : rows) SetString(row, nullptr);

    // Only the first four lines have a row to go to; missing cells stay empty.
    int k = 0;
    for (const TiXmlElement* line = root->FirstChildElement("LINE"); line && k < kPuzzleRows;
         line = line->NextSiblingElement("LINE"), ++k) {
        SetString(rows[k], line->Attribute("aValue"));
        const char* text = GetRow(k);
        for (int c = 0; c < kPuzzleColumns && text[c]; ++c) grid[k][c] = text[c];
    }
    for (int r = 0; r < kPuzzleRows; ++r)
        for (int c = 0; c < kPuzzleColumns; ++c) {
            char ch = grid[r][c];
            if (ch == '%') continue;
            kinds[r][c] = IsPuzzleLetter(ch) ? CELL_LETTER : CELL_SHOWN;
            states[r][c] = kShownState;
        }
    return true;
}
