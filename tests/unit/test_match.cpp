// Whole matches on the game's real puzzles: the match starts, the order of
// the rounds, who goes on to the bonus round or the tiebreak and who has
// lost, and what the end of a match adds to the statistics and saves.
#include "round_test_util.h"

namespace {

class MatchTest : public RoundTest {
protected:
    void SetUp() override {
        RoundTest::SetUp();
        ASSERT_TRUE(NeedPuzzles());
    }
    void TearDown() override {
        g_gameData.profiles.Clear(LIST_HUMANS);
        g_gameData.currentProfile = nullptr;
        RoundTest::TearDown();
    }
    Contestant& Seat(int seat) { return g_round.contestants[seat - 1]; }
    void Trio(const char* first) {
        g_round.SetContestant(0, Human(first));
        g_round.SetContestant(1, Computer("Bo"));
        g_round.SetContestant(2, Computer("Cy"));
    }
    // The contestant in turn solves the lit puzzle; the round-end timer ends.
    void SolveAndMoveOn() {
        Light();
        ASSERT_TRUE(Solve(true));
        g_round.GoToNextRound();
    }
    // A bonus round on the $25,000: the given letters, three consonants and
    // a vowel that are not in the puzzle, the answer, then the bonus window
    // adds the round to the match and ends it.
    void PlayBonus(bool solve) {
        Light();
        g_round.wedgeValue = 25000;
        RevealGivenLetters();
        g_round.SetState(STATE_PICK_CONSONANT);
        for (int i = 0; i < 3; ++i) Call(ConsonantNotInPuzzle());
        char vowel = 'U';
        for (char v : std::string("OIA"))
            if (!g_round.letters[v - 'A'].occurs) vowel = v;
        Call(vowel);
        ASSERT_EQ(STATE_SOLVE, g_round.state);
        g_round.bonusSolveTimer = solve ? 1 : 2;
        Type(solve);
        if (!solve) FailedSolveTimerEnds();
        g_round.GoToNextRound();
        g_round.ShowEventMessage(HostEvent::RoundWon);
        g_round.current->matchTotal += g_round.current->roundMoney;
        g_round.EndMatch();
    }
    int Windows(const char* name) const { return RecordingOps::Count(ops.windows, name); }
};

TEST_F(MatchTest, QuickPlayEndsAfterFiveTurnsWithoutASolveAndSavesTheStatistics) {
    std::string saves = MakeTempDir("round-save");
    g_gameData.SetSaveDirectory(saves.c_str());
    PlayerProfile* ann = Make(KIND_HUMAN, "Ann");
    g_gameData.profiles.Add(profiles.back().release(), LIST_HUMANS);
    g_gameData.currentProfile = ann;
    ops.saveForReal = true;

    ASSERT_TRUE(g_round.BeginQuickPlayMatch());
    EXPECT_EQ(ann, Seat(1).profile) << "the current profile plays";
    Light();
    for (int turn = 1; turn <= 5; ++turn) {
        ASSERT_EQ(STATE_START_OF_TURN, g_round.state) << "turn " << turn;
        Spin(18);
        g_round.SetState(STATE_CHANGE_TURN);  // the end-of-turn timer ends
    }
    EXPECT_EQ(STATE_ROUND_LOST, g_round.state);
    EXPECT_TRUE(g_round.IsPuzzleSolved()) << "the answer is shown";
    g_round.matchTime = 150.0f;
    g_round.GoToNextRound();
    EXPECT_EQ(OUTCOME_LOST, Seat(1).outcome);
    EXPECT_EQ(STATE_END_OF_MATCH, g_round.state);
    EXPECT_EQ(1, RecordingOps::Count(ops.cues, "GAME_OUTRO_LEADUP"));
    EXPECT_EQ(1, Windows("PLAYER_STATS"));
    g_round.GoToNextRound();  // a late second call
    g_round.EndMatch();
    EXPECT_EQ(1, ops.saves) << "a match ends once";
    EXPECT_EQ(2, ann->GetStat(STAT_MINUTES_PLAYED));

    GameData reloaded;
    reloaded.SetSaveDirectory(saves.c_str());
    reloaded.LoadAll();
    ASSERT_EQ(1, reloaded.profiles.GetCount(LIST_HUMANS));
    EXPECT_EQ(1, reloaded.profiles.Get(0, LIST_HUMANS)->GetStat(STAT_MODES_PLAYED));
    EXPECT_EQ(2, reloaded.profiles.Get(0, LIST_HUMANS)->GetStat(STAT_MINUTES_PLAYED));
    g_gameData.SetSaveDirectory("");
}

TEST_F(MatchTest, QuickPlayWinnerGoesToTheBonusRoundAndFinishes) {
    g_round.SetContestant(0, Human("Ann"));
    ASSERT_TRUE(g_round.BeginQuickPlayMatch());
    Light();
    Spin(0);
    Call(ConsonantInPuzzle());
    EXPECT_EQ(WEDGE_TAKEN, g_round.freeSpinWedge);
    ASSERT_TRUE(Solve(true));
    g_round.GoToNextRound();
    ASSERT_EQ(ROUND_JACKPOT, g_round.roundType);
    g_round.SetJackpotWedgeValue(0);
    EXPECT_EQ(WEDGE_FREE_SPIN, g_round.wedgeValue) << "every round has its free spin";
    SolveAndMoveOn();
    ASSERT_EQ(ROUND_MYSTERY, g_round.roundType);
    SolveAndMoveOn();
    EXPECT_EQ(3000, Seat(1).matchTotal);
    EXPECT_EQ(OUTCOME_BONUS, Seat(1).outcome);
    EXPECT_EQ(1, Windows("PLAYER_STATS"));
    EXPECT_EQ(0, ops.saves) << "the match goes on";

    ASSERT_TRUE(g_round.SetupBonusRound());
    PlayBonus(true);
    EXPECT_EQ(28000, Seat(1).matchTotal) << "3 rounds and the $25,000 prize";
    EXPECT_EQ(OUTCOME_FINISHED, Seat(1).outcome);
    EXPECT_EQ(STATE_END_OF_MATCH, g_round.state);
    PlayerProfile* ann = Seat(1).profile;
    EXPECT_EQ(1, ann->GetStat(STAT_MATCHES_WON));
    EXPECT_EQ(1, ann->GetStat(STAT_SOLO_WINS));
    EXPECT_EQ(1, ann->GetStat(STAT_BONUS_WINS));
    EXPECT_EQ(28000, ann->GetStat(STAT_MONEY_WON));
}

TEST_F(MatchTest, ThreePlayerMatchesRunThroughEveryRound) {
    for (int mode : {MODE_ROAD_TRIP, MODE_GROUP_PLAY}) {
        SCOPED_TRACE(mode);
        ops.Clear();
        Trio("Ann");
        g_round.city = 4;
        ASSERT_TRUE(mode == MODE_ROAD_TRIP ? g_round.BeginRoadTripMatch() : g_round.BeginGroupPlayMatch());
        if (mode == MODE_ROAD_TRIP) {
            EXPECT_EQ(0u, std::string(g_round.puzzle.id).rfind("WASHINGTON_DC_TOSSUP_PUZZLE_", 0)) << g_round.puzzle.id;
        }
        for (int worth : {1000, 2000}) {
            EXPECT_EQ(worth, g_round.wedgeValue);
            Light();
            Buzz(1);
            Type(true);
            g_round.GoToNextRound();
        }
        EXPECT_EQ(3000, Seat(1).matchTotal);
        EXPECT_EQ(&Seat(1), g_round.current) << "round 1 opens with the leader";
        SolveAndMoveOn();
        EXPECT_EQ("$5,000", Text(jackpotDisplay[0]));
        EXPECT_EQ(&Seat(2), g_round.current) << "the next seat opens the jackpot round";
        SolveAndMoveOn();  // Bo's control solves through the same steps
        EXPECT_EQ(&Seat(3), g_round.current);
        SolveAndMoveOn();
        const char* order[] = {"START_TOSSUP1000", "START_TOSSUP2000", "START_ROUND1", "START_JACKPOTROUND",
                               "START_MISTERYROUND", "PLAYER_STATS"};
        ops.windows.erase(std::remove(ops.windows.begin(), ops.windows.end(), "GAME_WIN"), ops.windows.end());
        EXPECT_EQ(std::vector<std::string>(order, order + 6), ops.windows);
        EXPECT_EQ(OUTCOME_BONUS, Seat(1).outcome);
        EXPECT_EQ(OUTCOME_LOST, Seat(2).outcome);
        EXPECT_EQ(0, ops.saves) << "a human winner goes on";

        ASSERT_TRUE(g_round.SetupBonusRound());
        EXPECT_EQ(Seat(1).profile, ops.boundTo[&avatar[0]]);
        EXPECT_EQ(nullptr, ops.boundTo[&avatar[1]]);
        Light();
        RevealGivenLetters();
        for (const FakeTile& t : tiles)
            if (IsPuzzleLetter((char)t.letter)) {
                EXPECT_EQ(std::strchr("RSTLNE", t.letter) ? TILE_SHOWN : TILE_HIDDEN, t.state);
            }
    }
}

TEST_F(MatchTest, TieForTheLeadTakesTheComputerToTheTiebreakAndRanksByMoney) {
    Trio("Zed");
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    ASSERT_TRUE(g_round.SetupMysteryRound());
    Seat(1).matchTotal = 5000;
    Seat(2).matchTotal = 4000;
    Seat(3).matchTotal = 3000;
    g_round.current = &Seat(2);
    SolveAndMoveOn();  // Bo wins $1,000: level with Zed
    EXPECT_EQ(OUTCOME_TIEBREAK, Seat(1).outcome);
    EXPECT_EQ(OUTCOME_TIEBREAK, Seat(2).outcome) << "a computer level with the leader is not out";
    EXPECT_EQ(OUTCOME_LOST, Seat(3).outcome);
    ASSERT_EQ(3u, g_round.ranking.Count());
    EXPECT_EQ(&Seat(2), *g_round.ranking.At(0)) << "highest first, equal totals by name";
    EXPECT_EQ(&Seat(3), *g_round.ranking.At(2));

    ASSERT_TRUE(g_round.SetupTiebreak());
    EXPECT_EQ(nullptr, ops.boundTo[&avatar[2]]) << "the contestant who is out leaves";
    Light();
    EXPECT_TRUE(Seat(1).mayBuzz && Seat(2).mayBuzz && !Seat(3).mayBuzz);
    Buzz(2);
    Type(true);
    g_round.GoToNextRound();
    EXPECT_EQ(OUTCOME_FINISHED, Seat(2).outcome);
    EXPECT_EQ(OUTCOME_LOST, Seat(1).outcome);
    EXPECT_EQ(STATE_END_OF_MATCH, g_round.state) << "a computer winner ends the match at once";
    EXPECT_EQ(1, ops.saves);
    EXPECT_EQ(1, RecordingOps::Count(ops.cues, "GAME_OUTRO_LEADUP"));
    ASSERT_EQ(2u, g_round.ranking.Count()) << "a fresh ranking at each end";
    EXPECT_EQ(&Seat(2), *g_round.ranking.At(0));
}

TEST_F(MatchTest, RoadTripWinRecordsTheCityAndTheTour) {
    Trio("Ann");
    PlayerProfile* ann = Seat(1).profile;
    const int tour[3] = {1, 7, 4};
    ann->SetTour(tour, 3);
    ann->currentLeg = 2;
    ann->SetStat(STAT_TOUR_WINS, 2);
    ann->SetStat(STAT_TOUR_RUNNING, 1);
    g_round.city = 4;
    ASSERT_TRUE(g_round.BeginRoadTripMatch());
    ASSERT_TRUE(g_round.SetupMysteryRound());
    g_round.current = &Seat(1);
    Seat(1).matchTotal = 6000;
    SolveAndMoveOn();
    ASSERT_TRUE(g_round.SetupBonusRound());
    g_round.matchTime = 600.0f;
    PlayBonus(false);

    EXPECT_EQ(OUTCOME_FINISHED, Seat(1).outcome) << "the match is won, the bonus lost";
    EXPECT_EQ(1, ann->GetStat(STAT_MATCHES_WON));
    EXPECT_EQ(0, ann->GetStat(STAT_BONUS_WINS));
    const int expected[5] = {1, 7000, 1, 1, 600};  // plays, money, rounds won, wins, seconds
    for (int i = 0; i < 5; ++i) EXPECT_EQ(expected[i], ann->cityStats[4][i]) << i;
    EXPECT_EQ(1, ann->GetStat(STAT_TOURS_WON)) << "every city of the tour won";
    EXPECT_EQ(0, ann->GetStat(STAT_TOUR_RUNNING));
    EXPECT_EQ(10, ann->GetStat(STAT_MINUTES_PLAYED));
}

TEST_F(MatchTest, PuzzleOfTheDayPlaysItsOwnPuzzleOrReportsIt) {
    PlayerProfile* ann = Human("Ann");
    g_round.SetContestant(0, ann);
    ASSERT_TRUE(g_round.BeginQuickPlayMatch());  // a puzzle on the board
    g_round.potdYear = 1;
    g_round.potdDay = 40;
    ann->SetCalendarTexts(366 + 39, "NO_SUCH_PUZZLE", "");
    ops.Clear();
    EXPECT_FALSE(g_round.BeginPuzzleOfTheDayMatch());
    EXPECT_NE(nullptr, std::strstr(g_round.GetError(), "NO_SUCH_PUZZLE"));
    EXPECT_EQ(0, g_round.characterCount) << "nothing of the last puzzle is played";
    for (const FakeTile& t : tiles) EXPECT_EQ(0, t.letter);
    EXPECT_EQ(0, g_round.CountHiddenConsonants() + g_round.CountHiddenVowels());
    EXPECT_EQ(0, Windows("START_ROUND1"));

    ann->SetCalendarTexts(366 + 39, "MAIN_ROUND_PUZZLE_77", "");
    ann->calendar[366 + 39].result = -1;
    ASSERT_TRUE(g_round.BeginPuzzleOfTheDayMatch());
    EXPECT_STREQ("MAIN_ROUND_PUZZLE_77", g_round.puzzle.id);
    SolveAndMoveOn();
    EXPECT_EQ(OUTCOME_FINISHED, Seat(1).outcome);
    EXPECT_EQ(STATE_END_OF_MATCH, g_round.state);
    EXPECT_EQ(1000, ann->calendar[366 + 39].result);
    EXPECT_NE(0, ann->calendar[366 + 39].date.year);
    EXPECT_EQ(1, ann->GetStat(STAT_PUZZLES_OF_THE_DAY));
}

}  // namespace
