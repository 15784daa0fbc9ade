// The trophy definitions of the "TROPHY" document and the checks that award
// them at the end of a match.
#pragma once

class GameData;
class PlayerProfile;
struct TextBlock;

// Finds a text of the text table by name (null when there is none).
typedef const TextBlock* (*TextLookup)(const char* name);

// The 36 trophies, by their position in the document.
enum TrophyId {
    TROPHY_TOUR_3 = 0,
    TROPHY_TOUR_5 = 1,
    TROPHY_TOUR_7 = 2,
    TROPHY_TOURS_WON = 3,
    TROPHY_MATCH_PLAYED = 4,
    TROPHY_ALL_MODES = 5,
    TROPHY_HIGH_SCORE = 6,
    TROPHY_MATCHES_WON = 7,         // 7..9
    TROPHY_SOLO_WINS = 10,          // 10..12
    TROPHY_COMPUTER_WINS = 13,      // 13..15
    TROPHY_BONUS_WINS = 16,         // 16..18
    TROPHY_MATCH_TOTAL = 19,        // 19..22
    TROPHY_JACKPOTS = 23,           // 23..25
    TROPHY_MONEY = 26,              // 26..28
    TROPHY_HOURS = 29,              // 29..31
    TROPHY_PUZZLES_OF_THE_DAY = 32, // 32..34
    TROPHY_COLLECTOR = 35,
    TROPHY_COUNT = 36
};

// The profile statistics the checks read.
enum ProfileStat {
    STAT_MONEY_WON = 1,
    STAT_JACKPOTS_WON = 2,
    STAT_MINUTES_PLAYED = 3,
    STAT_MATCHES_WON = 4,
    STAT_SOLO_WINS = 5,
    STAT_COMPUTER_WINS = 6,
    STAT_BONUS_WINS = 7,
    STAT_LAST_MATCH_TOTAL = 8,
    STAT_PUZZLES_OF_THE_DAY = 9,
    STAT_TOUR_WINS = 10,
    STAT_TOURS_WON = 11,
    STAT_MODES_PLAYED = 12,
    STAT_TOUR_RUNNING = 13
};

struct TrophyDef {
    const TextBlock* message;
    const TextBlock* name;
    char* messageKey; // the text-table names, kept to look the texts up again
    char* nameKey;
    int value;        // the threshold that earns it
    bool hasValue;    // without a value no threshold is reached
    char* textureId;
    char* modelId;
    int index;
};

class TrophyTable {
public:
    TrophyTable() = default;
    ~TrophyTable() { Clear(); }
    TrophyTable(const TrophyTable&) = delete;
    TrophyTable& operator=(const TrophyTable&) = delete;

    // The trophies of the document's first "trophy_group"; false, with the
    // table as it was, when the label names no document or it does not parse.
    bool Load(const char* label, TextLookup lookup = nullptr);
    // Looks the name and message texts up again.
    void ResolveTexts(TextLookup lookup);
    const TrophyDef* At(int index) const { return index >= 0 && index < count ? &defs[index] : nullptr; }
    int GetCount() const { return count; }
    void Clear();

private:
    TrophyDef* defs = nullptr;
    int count = 0;
};

// The end-of-match checks for a human contestant: awards what the profile
// has earned and enters the match total into the mode's high-score table.
void CheckTrophies(GameData& data, PlayerProfile* profile, int mode, int matchTotal);
// Every trophy of the table, when the profile holds fewer than that.
void AwardAllTrophies(const TrophyTable& table, PlayerProfile* profile);
