// The high-score tables: insertion rule, removal, defaults and dates.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

#include "game_data.h"

namespace {

class HighScoreTest : public ::testing::Test {
protected:
    PlayerProfile* AddPlayer(const char* name, int kind = KIND_HUMAN) {
        PlayerProfile* p = new PlayerProfile(kind);
        p->appearance.SetName(name);
        gd.profiles.Add(p, kind == KIND_COMPUTER ? LIST_COMPUTERS : LIST_HUMANS);
        return p;
    }
    const HighScoreEntry* Table(int mode) { return gd.highScores.GetTable(mode); }
    void LoadDefaults(const char* xml) {
        TiXmlDocument doc;
        doc.Parse(xml);
        ASSERT_FALSE(doc.Error());
        gd.defaultHighScores.LoadDefaults(doc.RootElement());
    }

    GameData gd;
};

TEST_F(HighScoreTest, EqualScoresAreOrderedByNameAndLowScoresStayOut) {
    PlayerProfile* bea = AddPlayer("Bea");
    PlayerProfile* ada = AddPlayer("Ada");
    PlayerProfile* cy = AddPlayer("Cy");
    PlayerProfile* nameless = AddPlayer(nullptr);
    ASSERT_TRUE(gd.AddHighScore(bea, 5000, MODE_QUICK_PLAY));
    ASSERT_TRUE(gd.AddHighScore(ada, 5000, MODE_QUICK_PLAY)) << "sorts before Bea: above her";
    ASSERT_TRUE(gd.AddHighScore(cy, 5000, MODE_QUICK_PLAY)) << "sorts after both: below them";
    ASSERT_TRUE(gd.AddHighScore(nameless, 5000, MODE_QUICK_PLAY)) << "no name sorts first";
    const HighScoreEntry* t = Table(MODE_QUICK_PLAY);
    EXPECT_EQ(3, t[0].profileIndex);
    EXPECT_EQ(1, t[1].profileIndex);
    EXPECT_EQ(0, t[2].profileIndex);
    EXPECT_EQ(2, t[3].profileIndex);
    EXPECT_EQ(KIND_HUMAN, t[0].kind);
    GameDate today;
    GetToday(today);
    EXPECT_EQ(today.year, t[0].date.year);
    EXPECT_EQ(today.month, t[0].date.month);
    EXPECT_EQ(today.day, t[0].date.day);
    EXPECT_EQ(KIND_NONE, t[4].kind);
    EXPECT_EQ(0, Table(MODE_ROAD_TRIP)[0].score) << "other tables untouched";

    // Fill the table; a score below all ten is not entered, the tenth drops.
    for (int s = 9000; s >= 4000; s -= 1000) ASSERT_TRUE(gd.AddHighScore(bea, s, MODE_QUICK_PLAY));
    EXPECT_EQ(4000, t[9].score);
    EXPECT_FALSE(gd.AddHighScore(ada, 3999, MODE_QUICK_PLAY));
    EXPECT_FALSE(gd.AddHighScore(cy, 4000, MODE_QUICK_PLAY)) << "sorts after Bea's tenth 4000";
    ASSERT_TRUE(gd.AddHighScore(cy, 9500, MODE_QUICK_PLAY));
    EXPECT_EQ(9500, t[0].score);
    EXPECT_EQ(5000, t[9].score);

    // Nothing that is no score, no table or no listed profile gets in.
    EXPECT_FALSE(gd.AddHighScore(ada, 0, MODE_PLAY_ALONE));
    EXPECT_FALSE(gd.AddHighScore(ada, -50, MODE_PLAY_ALONE));
    EXPECT_FALSE(gd.AddHighScore(ada, 100, MODE_PUZZLE_OF_THE_DAY));
    EXPECT_FALSE(gd.AddHighScore(nullptr, 100, MODE_PLAY_ALONE));
    PlayerProfile stray;
    EXPECT_FALSE(gd.AddHighScore(&stray, 100, MODE_PLAY_ALONE));
    EXPECT_EQ(KIND_NONE, Table(MODE_PLAY_ALONE)[0].kind);
    EXPECT_EQ(nullptr, gd.highScores.GetTable(4));
    EXPECT_EQ(nullptr, gd.highScores.GetTable(-1));
}

TEST_F(HighScoreTest, ComputerScoresAreNotEnteredTwice) {
    PlayerProfile* c0 = AddPlayer("Cal", KIND_COMPUTER);
    PlayerProfile* c1 = AddPlayer("Dot", KIND_COMPUTER);
    PlayerProfile* ada = AddPlayer("Ada");
    ASSERT_TRUE(gd.AddHighScore(c0, 7000, MODE_GROUP_PLAY));
    EXPECT_FALSE(gd.AddHighScore(c1, 7000, MODE_GROUP_PLAY));
    EXPECT_TRUE(gd.AddHighScore(ada, 7000, MODE_GROUP_PLAY)) << "a human may tie a computer contestant";
    EXPECT_TRUE(gd.AddHighScore(c1, 6999, MODE_GROUP_PLAY));
    const HighScoreEntry* t = Table(MODE_GROUP_PLAY);
    EXPECT_EQ(KIND_HUMAN, t[0].kind) << "Ada sorts before Cal";
    EXPECT_EQ(KIND_COMPUTER, t[1].kind);
    EXPECT_EQ(0, t[1].profileIndex);
    EXPECT_EQ(1, t[2].profileIndex);
}

TEST_F(HighScoreTest, RemoveEntryMovesUpAndEmptiesTheLast) {
    PlayerProfile* ada = AddPlayer("Ada");
    for (int s = 10; s >= 1; --s) gd.AddHighScore(ada, s * 100, MODE_ROAD_TRIP);
    HighScoreEntry* t = gd.highScores.GetTable(MODE_ROAD_TRIP);
    t[9].date = {7, 3, 2005};
    gd.highScores.RemoveEntry(9, MODE_ROAD_TRIP);
    EXPECT_EQ(0, t[9].score);
    EXPECT_EQ(-1, t[9].profileIndex);
    EXPECT_EQ(KIND_NONE, t[9].kind);
    EXPECT_EQ(2005, t[9].date.year) << "the date stays";
    EXPECT_EQ(200, t[8].score);

    gd.highScores.RemoveEntry(0, MODE_ROAD_TRIP);
    EXPECT_EQ(900, t[0].score);
    EXPECT_EQ(200, t[7].score);
    EXPECT_EQ(KIND_NONE, t[8].kind);
    EXPECT_EQ(KIND_NONE, t[9].kind);

    gd.highScores.RemoveEntry(10, MODE_ROAD_TRIP);
    gd.highScores.RemoveEntry(-1, MODE_ROAD_TRIP);
    gd.highScores.RemoveEntry(0, 5);
    EXPECT_EQ(900, t[0].score);
    EXPECT_EQ(200, t[7].score);
}

TEST(FormatDate, MonthDayYearWithLeadingZeros) {
    EXPECT_STREQ("03/07/2005", FormatDate({7, 3, 2005}));
    EXPECT_STREQ("12/25/2004", FormatDate({25, 12, 2004}));
    EXPECT_STREQ("10/01/2026", FormatDate({1, 10, 2026}));
}

TEST_F(HighScoreTest, DefaultsOfMissingContestantsOrNoScoreAreLeftOut) {
    for (int i = 0; i < 3; ++i) AddPlayer(("C" + std::to_string(i)).c_str(), KIND_COMPUTER);
    LoadDefaults("<game>"
                 "<hiquickplay>"
                 "<highscore ai_id=\"2\" score=\"900\" month=\"1\" day=\"2\" year=\"2025\"/>"
                 "<highscore ai_id=\"7\" score=\"800\"/>"
                 "<highscore ai_id=\"1\" score=\"0\"/>"
                 "<highscore ai_id=\"0\" score=\"700\"/>"
                 "<highscore ai_id=\"-1\" score=\"650\"/>"
                 "<highscore ai_id=\"1\" score=\"700\"/>"
                 "</hiquickplay>"
                 "<hialoneplay><highscore ai_id=\"1\" score=\"300\"/></hialoneplay>"
                 "</game>");
    const HighScoreEntry* d = gd.defaultHighScores.GetTable(MODE_QUICK_PLAY);
    EXPECT_EQ(KIND_COMPUTER, d[1].kind);
    EXPECT_EQ(2025, d[0].date.year);
    EXPECT_EQ(KIND_NONE, d[6].kind) << "rows without an element stay empty";
    EXPECT_EQ(300, gd.defaultHighScores.GetTable(MODE_PLAY_ALONE)[0].score);

    gd.InsertDefaultHighScores();
    gd.InsertDefaultHighScores();
    const HighScoreEntry* t = Table(MODE_QUICK_PLAY);
    EXPECT_EQ(900, t[0].score);
    EXPECT_EQ(2, t[0].profileIndex);
    EXPECT_EQ(700, t[1].score);
    EXPECT_EQ(0, t[1].profileIndex) << "the second 700 of a computer contestant is not entered";
    EXPECT_EQ(KIND_NONE, t[2].kind);
    EXPECT_EQ(300, Table(MODE_PLAY_ALONE)[0].score);
    EXPECT_EQ(KIND_NONE, Table(MODE_PLAY_ALONE)[1].kind) << "inserted once";
    EXPECT_EQ(KIND_NONE, Table(MODE_ROAD_TRIP)[0].kind);
}

TEST_F(HighScoreTest, DeletingAPlayerTakesItsScoresAndRenumbersTheRest) {
    AddPlayer("Cal", KIND_COMPUTER);
    PlayerProfile* ada = AddPlayer("Ada");
    PlayerProfile* bea = AddPlayer("Bea");
    PlayerProfile* cy = AddPlayer("Cy");
    LoadDefaults("<g><hiquickplay><highscore ai_id=\"0\" score=\"50\"/></hiquickplay>"
                 "<hiroadtrip><highscore ai_id=\"0\" score=\"60\"/></hiroadtrip></g>");
    gd.AddHighScore(bea, 500, MODE_QUICK_PLAY);
    gd.AddHighScore(ada, 400, MODE_QUICK_PLAY);
    gd.AddHighScore(bea, 300, MODE_QUICK_PLAY);
    gd.AddHighScore(cy, 200, MODE_QUICK_PLAY);
    gd.AddHighScore(cy, 900, MODE_ROAD_TRIP);
    gd.currentProfile = cy;

    ASSERT_TRUE(gd.DeleteHumanProfile(1));
    const HighScoreEntry* quick = Table(MODE_QUICK_PLAY);
    EXPECT_EQ(400, quick[0].score);
    EXPECT_EQ(0, quick[0].profileIndex);
    EXPECT_EQ(200, quick[1].score);
    EXPECT_EQ(1, quick[1].profileIndex) << "Cy moved from 2 to 1";
    EXPECT_EQ(50, quick[2].score) << "the table that lost entries gets its defaults again";
    EXPECT_EQ(KIND_COMPUTER, quick[2].kind);
    const HighScoreEntry* road = Table(MODE_ROAD_TRIP);
    EXPECT_EQ(1, road[0].profileIndex) << "renumbered although the table lost nothing";
    EXPECT_EQ(KIND_NONE, road[1].kind) << "and it gets no defaults";
    EXPECT_EQ(ada, gd.currentProfile) << "the profile before the deleted one";
    EXPECT_EQ(gd.profiles.Get(1, LIST_HUMANS), gd.FindProfile(quick[1].kind, quick[1].profileIndex));

    ASSERT_TRUE(gd.DeleteHumanProfile(0));
    EXPECT_EQ(cy, gd.currentProfile) << "the first when the first was deleted";
    EXPECT_FALSE(gd.DeleteHumanProfile(5));
    ASSERT_TRUE(gd.DeleteHumanProfile(0));
    EXPECT_EQ(nullptr, gd.currentProfile);
    for (int mode = 0; mode < 4; ++mode)
        for (int i = 0; i < kHighScoreRows; ++i) EXPECT_NE(KIND_HUMAN, Table(mode)[i].kind);
}

}  // namespace
