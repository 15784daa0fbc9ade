// Choosing and loading puzzles, and the trophy table and checks.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "game_data.h"
#include "game_test_util.h"
#include "puzzle.h"
#include "strings.h"
#include "trophies.h"

namespace {

int CountBits(const unsigned char* bits, int first, int count) {
    int n = 0;
    for (int i = first; i < first + count; ++i) n += TestBit(bits, i);
    return n;
}

// The number at the end of a label, or -1 when the label has another start.
int LabelNumber(const char* label, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (std::strncmp(label, prefix, n) != 0) return -1;
    return std::atoi(label + n);
}

TEST(PuzzleChoice, NoRepeatsUntilEveryPuzzleOfTheRangeWasPlayed) {
    unsigned char bits[kUsedPuzzleBytes] = {};
    Puzzle puzzle;
    std::set<int> seen;
    for (int i = 0; i < 20; ++i) seen.insert(puzzle.PickNumber(bits, MODE_ROAD_TRIP, 3, ROUND_TOSSUP_1000));
    EXPECT_EQ(20u, seen.size());
    EXPECT_EQ(0, *seen.begin());
    EXPECT_EQ(19, *seen.rbegin());
    EXPECT_EQ(20, CountBits(bits, 180, 20));
    EXPECT_EQ(20, CountBits(bits, 0, kPuzzleBits)) << "no bit outside the city's toss-ups";

    // All 20 played: the range starts again with one puzzle of the 20.
    int n = puzzle.PickNumber(bits, MODE_ROAD_TRIP, 3, ROUND_TIEBREAK);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, 20);
    EXPECT_EQ(1, CountBits(bits, 180, 20));
    EXPECT_TRUE(TestBit(bits, 180 + n));

    for (int i = 0; i < 10; ++i) puzzle.PickNumber(bits, MODE_ROAD_TRIP, 9, ROUND_BONUS);
    EXPECT_EQ(10, CountBits(bits, 590, 10));
    for (int i = 0; i < 30; ++i) puzzle.PickNumber(bits, MODE_ROAD_TRIP, 0, ROUND_MYSTERY);
    EXPECT_EQ(30, CountBits(bits, 20, 30));
    EXPECT_EQ(41, CountBits(bits, 0, kPuzzleBits));

    int free = puzzle.PickNumber(nullptr, MODE_QUICK_PLAY, 0, ROUND_BONUS);
    EXPECT_GE(free, 0);
    EXPECT_LT(free, 665);
}

TEST(PuzzleChoice, LabelsByModeAndRound) {
    unsigned char bits[kUsedPuzzleBytes] = {};
    Puzzle puzzle;
    puzzle.kinds[1][1] = CELL_LETTER;
    puzzle.states[1][1] = 2;
    for (int i = 0; i < 50; ++i) {
        int n = LabelNumber(puzzle.ChooseNext(bits, MODE_QUICK_PLAY, 0, ROUND_BONUS), "MAIN_BONUS_PUZZLE_");
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 665);
        EXPECT_TRUE(TestBit(bits, 2595 + n - 1));
        n = LabelNumber(puzzle.ChooseNext(bits, MODE_GROUP_PLAY, 4, ROUND_TOSSUP_2000), "MAIN_ROUND_PUZZLE_");
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 1995);
        EXPECT_TRUE(TestBit(bits, 600 + n - 1));
    }
    EXPECT_EQ(0, puzzle.kinds[1][1]) << "choosing clears the board";
    EXPECT_EQ(0, puzzle.states[1][1]);
    EXPECT_GE(LabelNumber(puzzle.ChooseNext(bits, MODE_PUZZLE_OF_THE_DAY, 0, ROUND_ONE), "MAIN_ROUND_PUZZLE_"), 1);

    struct {
        int city, round;
        const char* prefix;
        int count;
    } road[] = {{8, ROUND_TIEBREAK, "SEATTLE_TOSSUP_PUZZLE_", 20},
                {8, ROUND_TOSSUP_1000, "SEATTLE_TOSSUP_PUZZLE_", 20},
                {4, ROUND_JACKPOT, "WASHINGTON_DC_ROUND_PUZZLE_", 30},
                {9, ROUND_ONE, "SAN_FRANCISCO_ROUND_PUZZLE_", 30},
                {2, ROUND_BONUS, "NEW_ORLEANS_BONUS_PUZZLE_", 10},
                {12, ROUND_BONUS, "LAS_VEGAS_BONUS_PUZZLE_", 10}};
    for (const auto& r : road) {
        int n = LabelNumber(puzzle.ChooseNext(bits, MODE_ROAD_TRIP, r.city, r.round), r.prefix);
        EXPECT_GE(n, 1) << r.prefix << " from " << puzzle.id;
        EXPECT_LE(n, r.count) << r.prefix;
    }
}

class PuzzleFileTest : public ::testing::Test {
protected:
    void SetUp() override { dir = MakeTempDir("pz"); }
    void TearDown() override { g_fileSystem.Shutdown(); }
    static std::string Doc(const char* body) { return std::string("<PUZZLE>") + body + "</PUZZLE>"; }
    std::string Row(int r) { return std::string(puzzle.grid[r], kPuzzleColumns); }

    std::string dir;
    Puzzle puzzle;
};

TEST_F(PuzzleFileTest, RowsAreLaidOutOnTheFourByFourteenGrid) {
    ASSERT_TRUE(LoadTestManifest(
        dir, {{"MAIN_ROUND_PUZZLE_1",
               Doc("<HINT>PHRASE</HINT><MESSAGE>Well done</MESSAGE>"
                   "<LINE aValue=\"A%B%C%D%E%F%G%\"/><LINE aValue=\"DON'T%STOP-NOW\"/>"
                   "<LINE aValue=\"%%%%%%%%%%%%%%\"/><LINE aValue=\"SHORT\"/>")},
              {"FIVE", Doc("<LINE aValue=\"ONE\"/><LINE aValue=\"TWO\"/><LINE aValue=\"THREE\"/>"
                           "<LINE aValue=\"FOUR%%%%%%%%%%EXTRA\"/><LINE aValue=\"FIVE\"/>")},
              {"TWO", Doc("<MESSAGE></MESSAGE><LINE aValue=\"HI\"/><LINE/>")},
              {"BROKEN", "<PUZZLE><HINT>X</HINT>"},
              {"OTHER_ROOT", "<RIDDLE><LINE aValue=\"NO\"/></RIDDLE>"}}));

    ASSERT_TRUE(puzzle.Load("MAIN_ROUND_PUZZLE_1"));
    EXPECT_STREQ("PHRASE", puzzle.GetHint());
    EXPECT_STREQ("Well done", puzzle.GetMessage());
    EXPECT_STREQ("MAIN_ROUND_PUZZLE_1", puzzle.id);
    EXPECT_STREQ("DON'T%STOP-NOW", puzzle.GetRow(1));
    for (int c = 0; c < kPuzzleColumns; ++c) {
        EXPECT_EQ(c % 2 == 0 ? CELL_LETTER : CELL_EMPTY, puzzle.kinds[0][c]) << "cell " << c;
        EXPECT_EQ(c % 2 == 0 ? 2 : 0, puzzle.states[0][c]) << "cell " << c;
    }
    EXPECT_EQ(CELL_SHOWN, puzzle.kinds[1][3]) << "apostrophe";
    EXPECT_EQ(CELL_EMPTY, puzzle.kinds[1][5]);
    EXPECT_EQ(CELL_SHOWN, puzzle.kinds[1][10]) << "hyphen";
    EXPECT_EQ(CELL_LETTER, puzzle.kinds[1][13]);
    EXPECT_EQ(std::string(14, '%'), Row(2));
    EXPECT_EQ(0, puzzle.kinds[2][7]);
    EXPECT_EQ("SHORT%%%%%%%%%", Row(3)) << "a short row ends in empty cells";
    EXPECT_EQ(CELL_LETTER, puzzle.kinds[3][4]);
    EXPECT_EQ(CELL_EMPTY, puzzle.kinds[3][5]);

    // A fifth line has no row; a long one is cut at 14 cells.
    ASSERT_TRUE(puzzle.Load("FIVE"));
    EXPECT_STREQ("", puzzle.GetHint());
    EXPECT_EQ("FOUR%%%%%%%%%%", Row(3));
    EXPECT_STREQ("FOUR%%%%%%%%%%EXTRA", puzzle.GetRow(3));
    EXPECT_EQ(CELL_EMPTY, puzzle.kinds[0][3]) << "nothing left from the puzzle before";

    // Fewer lines leave the other rows empty, also after another puzzle.
    ASSERT_TRUE(puzzle.Load("TWO"));
    EXPECT_EQ("HI%%%%%%%%%%%%", Row(0));
    EXPECT_EQ(std::string(14, '%'), Row(1));
    EXPECT_EQ(std::string(14, '%'), Row(3));
    EXPECT_EQ(CELL_EMPTY, puzzle.kinds[3][0]);
    EXPECT_STREQ("", puzzle.GetMessage());
    EXPECT_STREQ("", puzzle.GetRow(2));

    // Failures leave the puzzle as it was.
    for (const char* label : {"BROKEN", "OTHER_ROOT", "NO_SUCH_PUZZLE", (const char*)nullptr}) {
        EXPECT_FALSE(puzzle.Load(label)) << (label ? label : "null");
        EXPECT_STREQ("TWO", puzzle.id);
        EXPECT_EQ(CELL_LETTER, puzzle.kinds[0][1]);
    }
    puzzle.Clear();
    EXPECT_EQ(nullptr, puzzle.hint);
    EXPECT_EQ(CELL_EMPTY, puzzle.kinds[0][1]);
    EXPECT_EQ(0, puzzle.states[0][1]);
}

const TextBlock* FakeText(const char* name) {
    static const char marker = 0;
    return std::strcmp(name, "T0_NAME") == 0 ? reinterpret_cast<const TextBlock*>(&marker) : nullptr;
}

TEST_F(PuzzleFileTest, TrophyTableReadsTheFirstGroupOnly) {
    ASSERT_TRUE(LoadTestManifest(
        dir, {{"TROPHY", "<trophies><trophy_group>"
                         "<trophy name=\"T0_NAME\" message=\"T0_MSG\" value=\"12\" tex_id=\"TEX_A\" model_id=\"cup\"/>"
                         "<trophy name=\"T1_NAME\"/>"
                         "<trophy value=\"x\"/>"
                         "</trophy_group><trophy_group><trophy value=\"1\"/><trophy value=\"2\"/></trophy_group>"
                         "</trophies>"},
              {"BROKEN", "<trophies><trophy_group>"}}));
    TrophyTable table;
    ASSERT_TRUE(table.Load("TROPHY", FakeText));
    ASSERT_EQ(3, table.GetCount());
    const TrophyDef* t0 = table.At(0);
    EXPECT_TRUE(t0->hasValue);
    EXPECT_EQ(12, t0->value);
    EXPECT_STREQ("TEX_A", t0->textureId);
    EXPECT_STREQ("cup", t0->modelId);
    EXPECT_NE(nullptr, t0->name);
    EXPECT_EQ(nullptr, t0->message) << "a name the text table lacks";
    EXPECT_FALSE(table.At(1)->hasValue);
    EXPECT_FALSE(table.At(2)->hasValue);
    EXPECT_EQ(2, table.At(2)->index);
    EXPECT_EQ(nullptr, table.At(3));
    EXPECT_EQ(nullptr, table.At(-1));

    EXPECT_FALSE(table.Load("BROKEN"));
    EXPECT_FALSE(table.Load("MISSING"));
    EXPECT_EQ(3, table.GetCount()) << "a failed load keeps the table";
    table.Clear();
    EXPECT_EQ(0, table.GetCount());
}

TEST_F(PuzzleFileTest, TheTrophyDocumentDefinesThirtySixWithTexts) {
    std::string content = ContentDir();
    std::string xml = "<manifest res_path=\"" + content + "\"><group path=\"game/\">"
                      "<file label=\"TROPHY\" path=\"trophies.xml\"/></group></manifest>";
    ASSERT_TRUE(WriteWholeFile(dir + "m.xml", xml));
    ASSERT_TRUE(g_fileSystem.Load((dir + "m.xml").c_str()));
    TrophyTable table;
    ASSERT_TRUE(table.Load("TROPHY"));
    ASSERT_EQ(TROPHY_COUNT, table.GetCount());

    // Every trophy's name and message stand in the text table's source.
    std::set<std::string> names;
    for (const char* file : {"text/texts.xml"}) {
        TiXmlDocument texts;
        if (!texts.LoadFile((content + file).c_str())) continue;
        for (const TiXmlElement* e = texts.FirstChildElement("text"); e; e = e->NextSiblingElement("text"))
            if (e->Attribute("name") && e->Attribute("value") && *e->Attribute("value"))
                names.insert(e->Attribute("name"));
    }
    for (int i = 0; i < table.GetCount(); ++i) {
        const TrophyDef* d = table.At(i);
        SCOPED_TRACE(i);
        EXPECT_TRUE(d->hasValue);
        EXPECT_GT(d->value, 0);
        ASSERT_NE(nullptr, d->nameKey);
        ASSERT_NE(nullptr, d->messageKey);
        EXPECT_TRUE(names.count(d->nameKey));
        EXPECT_TRUE(names.count(d->messageKey));
        EXPECT_NE(nullptr, d->textureId);
        EXPECT_NE(nullptr, d->modelId);
    }
    EXPECT_LE(table.At(TROPHY_COLLECTOR)->value, TROPHY_COUNT - 1) << "the collector can be earned";
}

class TrophyCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir("tr");
        player = new PlayerProfile();
        player->appearance.SetName("Ada");
        gd.profiles.Add(player, LIST_HUMANS);
    }
    void TearDown() override { g_fileSystem.Shutdown(); }
    // count trophies; tiers ask for 1, 5, 10 and 20, the collector for 10.
    void LoadTrophies(int count) {
        static const int values[TROPHY_COUNT] = {3, 5, 7, 2, 1, 7, 1, 1, 5, 10, 1, 5, 10, 1, 5, 10, 1, 5,
                                                 10, 1, 5, 10, 20, 1, 5, 10, 1, 5, 10, 1, 5, 10, 1, 5, 10, 10};
        std::string xml = "<trophies><trophy_group>";
        for (int i = 0; i < count; ++i) xml += "<trophy value=\"" + std::to_string(values[i]) + "\"/>";
        xml += "</trophy_group></trophies>";
        ASSERT_TRUE(LoadTestManifest(dir, {{"TROPHY", xml}}));
        ASSERT_TRUE(gd.trophies.Load("TROPHY"));
    }
    std::set<int> Held() {
        std::set<int> ids;
        for (unsigned i = 0; i < player->GetTrophyCount(); ++i) ids.insert(player->GetTrophy(i)->trophyId);
        return ids;
    }

    std::string dir;
    GameData gd;
    PlayerProfile* player;
};

TEST_F(TrophyCheckTest, ThresholdsTourAndHighScore) {
    LoadTrophies(TROPHY_COUNT);
    const int tour[5] = {0, 1, 2, 3, 4};
    player->SetTour(tour, 5);
    player->SetStat(STAT_TOUR_WINS, 5);
    player->SetStat(STAT_MATCHES_WON, 5);
    player->SetStat(STAT_MODES_PLAYED, 3);
    player->SetStat(STAT_MINUTES_PLAYED, 299);
    player->SetStat(STAT_LAST_MATCH_TOTAL, 12);
    CheckTrophies(gd, player, MODE_QUICK_PLAY, 12000);
    EXPECT_EQ((std::set<int>{TROPHY_TOUR_5, TROPHY_MATCH_PLAYED, TROPHY_HIGH_SCORE, 7, 8, 19, 20, 21, 29}), Held());
    EXPECT_EQ(12000, gd.highScores.GetTable(MODE_QUICK_PLAY)[0].score);
    EXPECT_EQ(9u, player->GetNewAwardCount());

    // Again: the same trophies count once more, but only the two won for the
    // first time are this match's awards: the modes are complete, which
    // makes ten and earns the collector; a match total of 0 enters no table.
    player->ClearNewAwards();
    player->SetStat(STAT_MODES_PLAYED, 7);
    CheckTrophies(gd, player, MODE_QUICK_PLAY, 0);
    EXPECT_TRUE(Held().count(TROPHY_ALL_MODES));
    EXPECT_TRUE(Held().count(TROPHY_COLLECTOR));
    EXPECT_EQ(1.0f, player->FindTrophy(TROPHY_MATCH_PLAYED)->timesWon);
    EXPECT_EQ(0.0f, player->FindTrophy(TROPHY_ALL_MODES)->timesWon);
    EXPECT_EQ(0.0f, player->FindTrophy(TROPHY_HIGH_SCORE)->timesWon) << "no high score this time";
    EXPECT_EQ(KIND_NONE, gd.highScores.GetTable(MODE_QUICK_PLAY)[1].kind);
    ASSERT_EQ(2u, player->GetNewAwardCount());
    EXPECT_EQ(TROPHY_ALL_MODES, player->GetNewAward(0)->trophyId);
    EXPECT_EQ(TROPHY_COLLECTOR, player->GetNewAward(1)->trophyId);

    // A computer contestant earns nothing here.
    PlayerProfile* cpu = new PlayerProfile(KIND_COMPUTER);
    gd.profiles.Add(cpu, LIST_COMPUTERS);
    cpu->SetStat(STAT_MATCHES_WON, 50);
    CheckTrophies(gd, cpu, MODE_QUICK_PLAY, 90000);
    EXPECT_EQ(0u, cpu->GetTrophyCount());
}

TEST_F(TrophyCheckTest, MissingTrophiesAreSkippedAndTheScoreStillCounts) {
    player->SetStat(STAT_MATCHES_WON, 50);
    CheckTrophies(gd, player, MODE_ROAD_TRIP, 3000);
    EXPECT_EQ(0u, player->GetTrophyCount()) << "no table, no trophies";
    EXPECT_EQ(3000, gd.highScores.GetTable(MODE_ROAD_TRIP)[0].score) << "but the high score is entered";

    LoadTrophies(8);
    CheckTrophies(gd, player, MODE_ROAD_TRIP, 2000);
    EXPECT_EQ((std::set<int>{TROPHY_MATCH_PLAYED, TROPHY_HIGH_SCORE, 7}), Held());
}

TEST_F(TrophyCheckTest, AwardAllCountsHeldTrophiesOnceMore) {
    LoadTrophies(TROPHY_COUNT);
    player->AwardTrophy(3);
    AwardAllTrophies(gd.trophies, player);
    EXPECT_EQ((unsigned)TROPHY_COUNT, player->GetTrophyCount());
    EXPECT_EQ(1.0f, player->FindTrophy(3)->timesWon);
    EXPECT_EQ(0.0f, player->FindTrophy(35)->timesWon);
    GameDate today;
    GetToday(today);
    EXPECT_EQ(today.year, player->FindTrophy(35)->date.year);
    AwardAllTrophies(gd.trophies, player);
    EXPECT_EQ(1.0f, player->FindTrophy(3)->timesWon) << "all are held: nothing more";
}

}  // namespace
