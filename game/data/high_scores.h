// Calendar dates and the four high-score tables.
#pragma once

class BinaryFile;
class TiXmlElement;

enum GameMode {
    MODE_QUICK_PLAY = 0,
    MODE_PLAY_ALONE = 1,
    MODE_ROAD_TRIP = 2,
    MODE_GROUP_PLAY = 3,
    MODE_PUZZLE_OF_THE_DAY = 4
};

// Who a profile (or a high-score entry) belongs to.
enum ProfileKind { KIND_NONE = -1, KIND_HUMAN = 0, KIND_COMPUTER = 1 };

struct GameDate {
    int day;   // 1..31
    int month; // 1..12
    int year;  // four digits
};

// Today's date from the local calendar.
void GetToday(GameDate& date);
// "MM/DD/YYYY", numbers below 10 with a leading 0. The text lives in a static
// buffer that the next call overwrites.
const char* FormatDate(const GameDate& date);

// One row of a table, also the record of the ".gam" file.
struct HighScoreEntry {
    int score;
    GameDate date;
    int profileIndex; // in the profile list of its kind, -1 none
    int kind;         // ProfileKind, KIND_NONE for an empty row
};
static_assert(sizeof(HighScoreEntry) == 24, "a high-score entry is six 32-bit words");

const int kHighScoreRows = 10;
const int kHighScoreTables = 4;
// The tables as the ".gam" file stores them: quick play, road trip, group
// play, play alone.
const unsigned kHighScoreBytes = kHighScoreTables * kHighScoreRows * 24;

class HighScoreTables {
public:
    HighScoreTables() { Clear(); }

    // Every entry becomes {0, 0, 0, 0, -1, -1}.
    void Clear();
    // The ten entries of a game mode's table; null for a mode outside 0..3.
    HighScoreEntry* GetTable(int mode);
    const HighScoreEntry* GetTable(int mode) const;
    // Entries after index move up; the last one is emptied (score 0, no
    // profile, kind -1; its date stays). An index outside 0..9 does nothing.
    void RemoveEntry(int index, int mode);
    // The default tables from the root of the "GAME" document.
    void LoadDefaults(const TiXmlElement* root);

    // The 960 bytes of the ".gam" file. Read leaves the tables as they were
    // unless every byte was there and every entry's kind is one we know.
    bool Read(BinaryFile& file);
    bool Write(BinaryFile& file) const;

    bool operator==(const HighScoreTables& other) const;

private:
    HighScoreEntry tables[kHighScoreTables][kHighScoreRows];
};
