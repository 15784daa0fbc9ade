// The board under the round controller: laying a puzzle out, lighting and
// revealing tiles, the solve links, letter counts, the money text, the three
// wheel tables, leaders and ties, and pausing the round's timers.
#include <climits>

#include "round_test_util.h"

namespace {

class BoardTest : public RoundTest {
protected:
    // Rows of 14 cells ('%' empty) laid onto the board as a new puzzle.
    void Lay(const char* r0, const char* r1 = "") {
        std::memset(g_round.puzzle.grid, '%', sizeof(g_round.puzzle.grid));
        std::memcpy(g_round.puzzle.grid[0], r0, std::strlen(r0));
        std::memcpy(g_round.puzzle.grid[1], r1, std::strlen(r1));
        g_round.StartPuzzle();
    }
    void Seat(int mode, int roundType, bool three = false) {
        g_round.gameMode = mode;
        g_round.roundType = roundType;
        g_round.SetContestant(0, Human("Ann"));
        if (three) {
            g_round.SetContestant(1, Computer("Bo"));
            g_round.SetContestant(2, Computer("Cy"));
        }
        g_round.contestantCount = three ? 3 : 1;
        g_round.current = g_round.ContestantAt(0);
    }
};

TEST(FormatMoney, GroupsDigitsInThrees) {
    EXPECT_STREQ("0", FormatMoney(0));
    EXPECT_STREQ("999", FormatMoney(999));
    EXPECT_STREQ("1,000", FormatMoney(1000));
    EXPECT_STREQ("10,050", FormatMoney(10050));
    EXPECT_STREQ("1,000,000", FormatMoney(1000000));
    EXPECT_STREQ("-1,500", FormatMoney(-1500));
    EXPECT_STREQ("-2,147,483,648", FormatMoney(INT_MIN));
}

TEST_F(BoardTest, RowLaysOutAndLightsWithPunctuationShownAtOnce) {
    Seat(MODE_QUICK_PLAY, ROUND_ONE);
    tiles[0].typedLetter = 'X';  // typed in the last puzzle's solve
    Lay("HELLO,%WORLD%%");
    const char expected[] = "HELLO,\0WORLD\0\0";
    for (int i = 0; i < kBoardColumns; ++i) {
        EXPECT_EQ((unsigned char)expected[i], tiles[i].letter) << "cell " << i + 1;
        EXPECT_EQ(TILE_OFF, tiles[i].state);
    }
    EXPECT_EQ(0, tiles[0].typedLetter) << "nothing typed carries over to a new puzzle";
    EXPECT_EQ(11, g_round.characterCount);
    EXPECT_EQ(3, g_round.CountLetter('L'));
    EXPECT_EQ(5, g_round.CountHiddenConsonants());
    EXPECT_EQ(2, g_round.CountHiddenVowels());

    Light();
    EXPECT_EQ(TILE_SHOWN, tiles[5].state) << "the comma shows at once";
    EXPECT_EQ(10, g_round.CountHiddenTiles());
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_TRUE(Running(g_round.controls.turnTimer));
    EXPECT_FALSE(g_round.IsPuzzleSolved());
    g_round.RevealAllTiles();
    EXPECT_TRUE(g_round.IsPuzzleSolved());
    EXPECT_EQ(std::vector<std::string>{"START_ROUND1"}, ops.windows) << "the question opens nothing";
}

TEST_F(BoardTest, TossupRevealsOneTileAtATimeUntilTheRoundIsLost) {
    Seat(MODE_GROUP_PLAY, ROUND_TOSSUP_1000, true);
    Lay("GOOD%TIMES", "AHEAD");
    Light();
    for (int hidden = 14; hidden > 0; --hidden) {
        ai.states.clear();
        ASSERT_TRUE(g_round.RevealRandomTile());
        RunBoard();
        ASSERT_EQ(hidden - 1, g_round.CountHiddenTiles()) << "a random reveal turns that tile alone";
        if (hidden > 1) {
            EXPECT_EQ(std::vector<int>{AI_TOSSUP_LETTER}, ai.states) << "a computer may buzz";
        }
    }
    EXPECT_EQ(STATE_ROUND_LOST, g_round.state) << "the last letter came up without a solve";
    for (const Contestant& c : g_round.contestants) EXPECT_EQ(0, c.roundMoney);
    ops.cues.clear();
    EXPECT_FALSE(g_round.RevealRandomTile());
    EXPECT_TRUE(ops.cues.empty());
}

TEST_F(BoardTest, SolveLinksARingWithColumnsAndTheCursorOnTheFirstHiddenTile) {
    Seat(MODE_QUICK_PLAY, ROUND_ONE);
    Lay("AB", "C%D");
    Light();
    tiles[0].SetState(TILE_SHOWN);
    tiles[1].SetState(TILE_TURNING);
    ASSERT_TRUE(g_round.PrepareSolve());
    BoardTile *a = &tiles[0], *b = &tiles[1], *c = &tiles[14], *d = &tiles[16];
    EXPECT_EQ(TILE_SHOWN, b->state) << "a tile still turning is shown";
    EXPECT_EQ(c, solveCursor);
    EXPECT_TRUE(a->next == b && b->next == c && c->next == d && d->next == a && !a->back && d->back == c);
    EXPECT_TRUE(a->below == c && c->above == a && !b->below && !d->above);
    g_round.RevealAllTiles();
    g_round.roundType = ROUND_TOSSUP_1000;
    EXPECT_FALSE(g_round.PrepareSolve()) << "nothing hidden: no solve";
    EXPECT_EQ(STATE_ROUND_LOST, g_round.state);
}

TEST_F(BoardTest, RoundOneWheel) {
    Seat(MODE_QUICK_PLAY, ROUND_ONE);
    RoundController& rc = g_round;
    rc.SetRound1WedgeValue(0);
    EXPECT_EQ(WEDGE_FREE_SPIN, rc.wedgeValue);
    rc.SetRound1WedgeValue(0);
    EXPECT_EQ(300, rc.wedgeValue) << "a free spin once per round";
    const int notches[][2] = {{0, WEDGE_BANKRUPT}, {2, WEDGE_BANKRUPT}, {1, 10000}, {1, 800}};
    for (const auto& n : notches) {
        rc.landedSector = 6 * 3 + n[0];
        rc.SetRound1WedgeValue(6);
        EXPECT_EQ(n[1], rc.wedgeValue) << "notch " << n[0];
    }
    rc.current->tenThousandToken = 1;
    rc.SetRound1WedgeValue(22);
    EXPECT_EQ(WEDGE_BANKRUPT, rc.wedgeValue);
    EXPECT_EQ(0, rc.current->tenThousandToken);
    EXPECT_EQ(WEDGE_LOST, rc.tenThousandWedge);
    rc.SetRound1WedgeValue(11);
    EXPECT_EQ(2500, rc.wedgeValue);
    rc.SetRound1WedgeValue(24);
    EXPECT_EQ(2500, rc.wedgeValue) << "no wedge 24: nothing changes";
}

TEST_F(BoardTest, JackpotAndMysteryWheels) {
    Seat(MODE_QUICK_PLAY, ROUND_JACKPOT);
    RoundController& rc = g_round;
    rc.jackpotAmount = kJackpotStart;
    const int spins[][3] = {{9, 600, 5600}, {7, WEDGE_JACKPOT, 6100}, {7, 500, 6600}, {8, WEDGE_BANKRUPT, 6600}};
    for (const auto& s : spins) {
        rc.SetJackpotWedgeValue(s[0]);
        EXPECT_EQ(s[1], rc.wedgeValue) << "wedge " << s[0];
        EXPECT_EQ(s[2], rc.jackpotAmount) << "wedge " << s[0];
    }
    EXPECT_EQ("$6,600", Text(jackpotDisplay[2]));

    int seen[2] = {0, 0};
    for (int seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        rc.mysteryOutcome = MYSTERY_NONE;
        rc.SetMysteryWedgeValue(1);
        bool prize = rc.wedgeValue == WEDGE_MYSTERY_PRIZE;
        ++seen[prize];
        EXPECT_EQ(prize ? MYSTERY_PRIZE : MYSTERY_BANKRUPT, rc.mysteryOutcome);
        rc.SetMysteryWedgeValue(13);
        EXPECT_EQ(prize ? MYSTERY_PRIZE : MYSTERY_BANKRUPT, rc.mysteryOutcome) << "drawn once";
    }
    EXPECT_TRUE(seen[0] && seen[1]);
    rc.mysteryRevealed = 1;
    rc.SetMysteryWedgeValue(13);
    EXPECT_EQ(300, rc.wedgeValue);
    rc.mysteryOutcome = MYSTERY_PRIZE;
    rc.current->mysteryToken = 1;
    rc.SetMysteryWedgeValue(22);
    EXPECT_EQ(WEDGE_BANKRUPT, rc.wedgeValue);
    EXPECT_EQ(0, rc.current->mysteryToken);
    EXPECT_EQ(MYSTERY_SPENT, rc.mysteryOutcome);
}

TEST_F(BoardTest, LeaderAndTieForTheLead) {
    Seat(MODE_GROUP_PLAY, ROUND_MYSTERY, true);
    RoundController& rc = g_round;
    const int cases[][4] = {{5000, 5000, 3000, 3}, {5000, 3000, 5000, 2}, {4000, 4000, 4000, -1},
                            {1000, 2000, 3000, 0}, {3000, 5000, 5000, 1}};
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i) rc.contestants[i].matchTotal = c[i];
        EXPECT_EQ(c[3], rc.FindTieForLead()) << c[0] << " " << c[1] << " " << c[2];
    }
    rc.contestants[0].matchTotal = 0;
    EXPECT_EQ(&rc.contestants[1], rc.FindLeader()) << "the first of equals";
    rc.contestants[1].matchTotal = rc.contestants[2].matchTotal = 0;
    EXPECT_EQ(&rc.contestants[0], rc.FindLeader()) << "nobody above 0: the first";
}

TEST_F(BoardTest, PauseHoldsRunningTimersOnce) {
    Seat(MODE_QUICK_PLAY, ROUND_ONE);
    RoundController& rc = g_round;
    rc.StartTimer(rc.controls.turnTimer);
    rc.StartTimer(rc.controls.solveTimer);
    rc.PauseRoundGui(false);
    rc.PauseRoundGui(false);
    EXPECT_EQ(-5.0f, rc.controls.turnTimer->timeLeft);
    EXPECT_EQ(5.0f, rc.controls.solveTimer->timeLeft) << "the solve timers pause only while solving";
    rc.ResumeRoundGui(false);
    EXPECT_EQ(5.0f, rc.controls.turnTimer->timeLeft);
    EXPECT_EQ(0.0f, rc.controls.endOfTurnTimer->timeLeft) << "a stopped timer stays stopped";
}

}  // namespace
