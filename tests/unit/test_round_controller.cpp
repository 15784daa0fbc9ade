// Turns of a round on the game's real puzzles, driven the way the wheel,
// the letter keys, the timers, the tiles and the computer contestant drive
// the round controller: money, turns, messages, tokens and solving.
#include <functional>

#include "round_test_util.h"

namespace {

class RoundFlowTest : public RoundTest {
protected:
    // Ann's quick play on the first puzzle (by seed) that suits the test, in
    // the given kind of round, lit and at the start of her turn.
    bool QuickPlayWhere(const std::function<bool()>& suits, int roundType = ROUND_ONE) {
        if (!NeedPuzzles()) return false;
        PlayerProfile* ann = Human("Ann");
        for (int seed = 1; seed < 300; ++seed) {
            std::srand(seed);
            g_round.SetContestant(0, ann);
            if (!g_round.BeginQuickPlayMatch()) return false;
            if (roundType == ROUND_JACKPOT) g_round.SetupJackpotRound();
            if (roundType == ROUND_MYSTERY) g_round.SetupMysteryRound();
            if (suits()) {
                ops.Clear();
                Light();
                return true;
            }
        }
        ADD_FAILURE() << "no puzzle suits the test";
        return false;
    }
    Contestant& Ann() { return g_round.contestants[0]; }
};

TEST_F(RoundFlowTest, ConsonantPaysTheWedgeForEachTimeItIsFoundAndAMissLosesTheTurn) {
    ASSERT_TRUE(QuickPlayWhere([&] { return ConsonantInPuzzle(3) != 0; }));
    char c = ConsonantInPuzzle(3);
    Spin(9);
    EXPECT_EQ("The wheel landed on $600. Pick a consonant.", ops.LastMessage());
    EXPECT_EQ(0, keys[c - 'A'].state);
    EXPECT_EQ(6, keys[0].state) << "no vowel while picking a consonant";
    Call(c);
    EXPECT_EQ(1800, Ann().roundMoney);
    EXPECT_EQ("$1,800", Text(podiumScore[0]));
    EXPECT_TRUE(ops.Said(std::string("There are 3 ") + c + "'s for $1,800."));
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_EQ(5, keys[c - 'A'].state) << "a called letter cannot be called again";

    char x = ConsonantNotInPuzzle();
    Spin(9);
    Call(x);
    EXPECT_EQ(std::string("Sorry, there is no ") + x + " in the puzzle. You've lost your turn.", ops.LastMessage());
    EXPECT_EQ(1800, Ann().roundMoney);
    EXPECT_EQ(STATE_END_OF_TURN, g_round.state);
    EXPECT_TRUE(Running(g_round.controls.endOfTurnTimer));
    g_round.SetState(STATE_CHANGE_TURN);  // the end-of-turn timer ends
    EXPECT_EQ("4", Text(turnCounter));
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
}

TEST_F(RoundFlowTest, HostLinesReadTheTextsAndAMissingTextIsEmpty) {
    ASSERT_TRUE(NeedPuzzles());
    EXPECT_STREQ("The wheel landed on", HostText("MSG_LANDED_ON"));
    EXPECT_STREQ(" in the puzzle.", HostText("MSG_WRONG_LETTER", 1));
    EXPECT_STREQ("", HostText("MSG_LANDED_ON", 1));
    EXPECT_STREQ("", HostText("MSG_NOT_IN_THE_DOCUMENT"));
    EXPECT_STREQ("", HostText(nullptr));
    PlayerProfile* ann = Human("Ann");
    g_round.SetContestant(0, ann);
    g_round.current = &g_round.contestants[0];
    ops.Clear();
    g_round.ShowEventMessage(HostMessage::Prompt("MSG_NOT_IN_THE_DOCUMENT"));
    ASSERT_EQ(1u, ops.messages.size());
    EXPECT_EQ("", ops.messages[0]) << "a text the document lacks is never shown by its key";
}

TEST_F(RoundFlowTest, AVowelCostsTwoHundredFifty) {
    char v = 0;
    ASSERT_TRUE(QuickPlayWhere([&] {
        v = 0;
        for (char c : std::string("AEIOU"))
            if (g_round.CountLetter(c) >= 2) v = c;
        return v && ConsonantInPuzzle();
    }));
    g_round.ChangeMoney(249, '=');
    g_round.SetInputPhase(PHASE_TURN);
    EXPECT_TRUE(buyButton.Disabled());
    EXPECT_EQ("Spin the wheel or solve the puzzle.", ops.LastMessage());
    g_round.ChangeMoney(250, '=');
    g_round.SetInputPhase(PHASE_TURN);
    EXPECT_FALSE(buyButton.Disabled());
    EXPECT_EQ("Spin, buy a vowel or solve the puzzle.", ops.LastMessage());
    BuyVowel(v);
    EXPECT_EQ(0, Ann().roundMoney);
    EXPECT_TRUE(ops.Said("There are " + std::to_string(g_round.CountLetter(v)) + " " + v + "'s for $250."))
        << "the price of the vowel, not a multiple of it";
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
}

TEST_F(RoundFlowTest, ALettersLeftNoticeClosesBeforeTheSolvedFlashOpens) {
    // A computer buys the last vowel and solves while the notice is still up:
    // left open, the notice's own timer would close the window opened over
    // it at the round's end, and the match would never move on.
    char v = 0;
    ASSERT_TRUE(QuickPlayWhere([&] {
        int kinds = 0;
        for (char c : std::string("AEIOU"))
            if (g_round.CountLetter(c) > 0) ++kinds, v = c;
        return kinds == 1 && ConsonantInPuzzle();
    }));
    g_round.ChangeMoney(250, '=');
    g_round.SetInputPhase(PHASE_TURN);
    ops.Clear();
    BuyVowel(v);
    ASSERT_EQ(std::vector<std::string>{"POPUP_ONLY_CONSONANTS"}, ops.windows);
    ASSERT_TRUE(Solve(true));
    ASSERT_EQ(STATE_ROUND_WON, g_round.state);
    EXPECT_EQ((std::vector<std::string>{"POPUP_ONLY_CONSONANTS", "GAME_WIN"}), ops.windows);
    EXPECT_EQ(1, RecordingOps::Count(ops.closes, "POPUP_ONLY_CONSONANTS after 1")) << "closed before the flash opens";
}

TEST_F(RoundFlowTest, BankruptLostTurnsAndTheFreeSpinToken) {
    ASSERT_TRUE(QuickPlayWhere([&] { return ConsonantInPuzzle() != 0; }));
    Spin(0);
    EXPECT_EQ("The wheel landed on Free Spin. Pick a consonant.", ops.LastMessage());
    Call(ConsonantInPuzzle());
    EXPECT_EQ(0, Ann().roundMoney) << "the free-spin wedge is worth nothing per letter";
    EXPECT_EQ(1, Ann().freeSpinToken);
    EXPECT_FALSE(freeSpinMarker[0].Hidden());

    Ann().matchTotal = 3000;
    g_round.ChangeMoney(1500, '=');
    Spin(22);
    EXPECT_EQ(0, Ann().roundMoney);
    EXPECT_EQ(3000, Ann().matchTotal) << "bankrupt takes the round's money only";
    EXPECT_TRUE(ops.Said("The wheel landed on Bankrupt. You've lost your turn."));
    EXPECT_FALSE(bankruptOverlay[0].Hidden());
    EXPECT_EQ(STATE_BANKRUPT, g_round.state) << "a human with the token is asked after the prompt timer";
    EXPECT_TRUE(Running(g_round.controls.freeSpinPromptTimer));
    EXPECT_FALSE(Running(g_round.controls.endOfTurnTimer));

    Ann().profile = Computer("Cora");  // the same seat played by the computer
    Spin(18);
    EXPECT_EQ(AI_FREE_SPIN_QUESTION, ai.states.back());
    EXPECT_EQ("The wheel landed on Lose a Turn. Cora has lost the turn.", ops.LastMessage());
}

TEST_F(RoundFlowTest, AWonRoundPaysAtLeastAThousandOnceAndNamesBothAmounts) {
    ASSERT_TRUE(QuickPlayWhere([&] { return ConsonantInPuzzle(1) != 0; }));
    Spin(4);
    Call(ConsonantInPuzzle(1));
    ASSERT_EQ(400, Ann().roundMoney);
    ASSERT_TRUE(Solve(true));
    EXPECT_EQ(1000, Ann().matchTotal);
    EXPECT_EQ(1, Ann().roundsWon);
    EXPECT_TRUE(ops.Said("Ann wins the round with $1,000"));
    EXPECT_EQ("Ann: $1,000", Text(scoreLine));
    // A second answer, a second state change: the round is won already.
    g_round.SetState(STATE_ROUND_WON);
    g_round.WinRound();
    EXPECT_EQ(1000, Ann().matchTotal);
    EXPECT_EQ(1, RecordingOps::Count(ops.windows, "GAME_WIN"));

    g_round.GoToNextRound();
    g_round.GoToNextRound();  // the round-end timer and the win window both move on
    EXPECT_EQ(ROUND_JACKPOT, g_round.roundType);
    EXPECT_EQ(0, RecordingOps::Count(ops.windows, "START_MISTERYROUND"));
    Light();
    g_round.ChangeMoney(3000, '=');
    ASSERT_TRUE(Solve(true));
    EXPECT_EQ(4000, Ann().matchTotal);
    EXPECT_TRUE(ops.Said("Ann wins $3,000 this round, for a match total of $4,000"));
}

TEST_F(RoundFlowTest, WrongSolveTakesTheTypingBackAndLosesTheTurn) {
    ASSERT_TRUE(QuickPlayWhere([] { return true; }));
    ASSERT_TRUE(g_round.SetState(STATE_SOLVE));
    EXPECT_EQ("Type in your answer.", ops.LastMessage());
    EXPECT_TRUE(Running(g_round.controls.solveTimer));
    Type(false);
    EXPECT_EQ("Sorry, that's not the answer. You've lost your turn.", ops.LastMessage());
    EXPECT_EQ(1, solveLocked);
    EXPECT_FALSE(Running(g_round.controls.solveTimer));
    FailedSolveTimerEnds();
    for (const FakeTile& t : tiles) {
        EXPECT_EQ(0, t.typedLetter);
        EXPECT_TRUE(t.state == TILE_OFF || t.state == TILE_HIDDEN || t.state == TILE_SHOWN);
    }
    EXPECT_EQ(0, solveLocked);
    EXPECT_EQ(STATE_END_OF_TURN, g_round.state);
    g_round.SetState(STATE_CHANGE_TURN);
    ASSERT_TRUE(Solve(true));
    EXPECT_EQ(STATE_ROUND_WON, g_round.state);
}

TEST_F(RoundFlowTest, TossupBuzzWrongThenAComputerSolvesIt) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Computer("Bo"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    Light();
    EXPECT_TRUE(Running(g_round.controls.tossupRevealTimer));
    EXPECT_EQ(AI_TOSSUP_WATCH, ai.states.back());
    EXPECT_FALSE(solveButton.Disabled()) << "the one human buzzes by button against computers";
    EXPECT_EQ("Know it? Press Space or click Solve to buzz in!", ops.LastMessage());
    Buzz(1);
    EXPECT_FALSE(Running(g_round.controls.tossupRevealTimer));
    Type(false);
    EXPECT_EQ("Sorry, that's not the answer.", ops.LastMessage());
    FailedSolveTimerEnds();
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state) << "the others may still buzz";
    EXPECT_TRUE(solveButton.Disabled()) << "Ann has had her try";
    Buzz(2);  // Bo's control buzzes in and types the answer
    EXPECT_TRUE(ops.Said("Bo would like to solve the puzzle."));
    Type(true);
    EXPECT_EQ(1000, g_round.contestants[1].matchTotal);
    EXPECT_EQ(0, Ann().matchTotal);
    EXPECT_TRUE(ops.Said("Bo wins the round with $1,000"));
}

// The board still lights when the toss-up is won: nothing that outlives the
// win (the chain's end, a late answer, a last tile turning) puts the round
// back to a turn, and the round's end moves the match on.
TEST_F(RoundFlowTest, AWonTossupStaysWonWhateverOutlivesTheWin) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Computer("Ann"));
    g_round.SetContestant(1, Computer("Bo"));
    g_round.SetContestant(2, Computer("Cy"));
    ASSERT_TRUE(g_round.BeginGroupPlayMatch());
    ASSERT_EQ(ROUND_TOSSUP_1000, g_round.roundType);
    g_round.LinkBoardTiles();
    for (int step = 0; step < 2; ++step)
        for (FakeTile& t : tiles)
            if (t.state == TILE_LIGHTING) {
                t.Step();
                break;
            }
    ASSERT_TRUE(std::any_of(std::begin(tiles), std::end(tiles),
                            [](const FakeTile& t) { return t.state == TILE_LIGHTING; }))
        << "the chain is still running";
    g_round.current = &g_round.contestants[1];
    g_round.EndRoundShown(STATE_ROUND_WON);
    ASSERT_EQ(STATE_ROUND_WON, g_round.state);
    RunBoard();  // the chain's last tile reports the board lit
    EXPECT_EQ(STATE_ROUND_WON, g_round.state);
    EXPECT_FALSE(Running(g_round.controls.turnTimer));
    g_round.OnBoardLit();
    g_round.StartTossupTurn();
    EXPECT_FALSE(g_round.SetState(STATE_START_OF_TURN)) << "a late answer";
    g_round.OnLetterResult(1);  // a last revealed tile turning
    EXPECT_EQ(STATE_ROUND_WON, g_round.state);
    EXPECT_EQ(1000, g_round.contestants[1].matchTotal) << "paid once";
    g_round.GoToNextRound();
    EXPECT_EQ(ROUND_TOSSUP_2000, g_round.roundType) << "the match moves on";
    Light();
    EXPECT_EQ(STATE_START_OF_TURN, g_round.state);
    EXPECT_TRUE(Running(g_round.controls.tossupRevealTimer));
}

TEST_F(RoundFlowTest, MysteryLetterThatCompletesThePuzzleAsksBeforeTheWin) {
    ASSERT_TRUE(QuickPlayWhere([&] { return ConsonantInPuzzle() != 0; }, ROUND_MYSTERY));
    char last = ConsonantInPuzzle();
    for (char c = 'A'; c <= 'Z'; ++c) {
        if (c == last || !g_round.letters[c - 'A'].occurs) continue;
        if (IsVowel(c)) {
            BuyVowel(c);
        } else {
            Spin(9);
            Call(c);
        }
        ASSERT_EQ(STATE_START_OF_TURN, g_round.state) << c;
    }
    int before = Ann().roundMoney;
    Spin(1);
    EXPECT_EQ("The wheel landed on Mystery. Pick a consonant.", ops.LastMessage());
    ops.windows.clear();
    Call(last);
    EXPECT_TRUE(g_round.IsPuzzleSolved());
    EXPECT_EQ(std::vector<std::string>{"MISTERY_ASK"}, ops.windows) << "one window: the question";
    // "Leave it": $1,000 a letter, then the solved puzzle wins, once.
    g_round.ChangeMoney(1000 * g_round.CountLetter(last), '+');
    g_round.mysteryOutcome = MYSTERY_NONE;
    g_round.SetState(STATE_ROUND_WON);
    g_round.SetState(STATE_ROUND_WON);
    EXPECT_EQ(std::max(before + 1000 * g_round.CountLetter(last), 1000), Ann().matchTotal);
    EXPECT_EQ((std::vector<std::string>{"MISTERY_ASK", "GAME_WIN"}), ops.windows);
}

TEST_F(RoundFlowTest, JackpotAndTenThousandGoToTheContestantWhoSolves) {
    ASSERT_TRUE(QuickPlayWhere([&] { return ConsonantInPuzzle(1) && ConsonantInPuzzle(2); }, ROUND_JACKPOT));
    EXPECT_EQ("$5,000", Text(jackpotDisplay[0]));
    Spin(7);
    EXPECT_EQ(5500, g_round.jackpotAmount);
    Call(ConsonantInPuzzle(2));
    EXPECT_EQ(1000, Ann().roundMoney) << "$500 a letter";
    EXPECT_EQ(1, RecordingOps::Count(ops.windows, "JACKPOT_ASK"));
    g_round.jackpotState = WEDGE_TAKEN;  // "yes": solve for it
    ASSERT_TRUE(Solve(true));
    EXPECT_EQ(6500, Ann().roundMoney);
    EXPECT_EQ(1, g_round.jackpotWinnerSeat);

    // Round 1's $10,000: lost with a miss, won with the round.
    ASSERT_TRUE(QuickPlayWhere([&] { return ConsonantInPuzzle() && ConsonantNotInPuzzle(); }));
    Spin(6, 1);
    EXPECT_EQ("The wheel landed on $10,000. Pick a consonant.", ops.LastMessage());
    Call(ConsonantNotInPuzzle());
    EXPECT_EQ(WEDGE_OPEN, g_round.tenThousandWedge) << "the chance is gone, the wedge is back";
    g_round.SetState(STATE_CHANGE_TURN);
    Spin(6, 1);
    Call(ConsonantInPuzzle());
    EXPECT_EQ(1, Ann().tenThousandToken);
    ASSERT_TRUE(Solve(true));
    EXPECT_EQ(10000, Ann().matchTotal);
}

TEST_F(RoundFlowTest, BonusRoundRevealsTheChosenLettersInOrderAndSolvesOnOneClock) {
    ASSERT_TRUE(QuickPlayWhere([&] {
        Ann().outcome = OUTCOME_BONUS;
        int others = 0;
        if (g_round.SetupBonusRound())
            for (char c = 'A'; c <= 'Z'; ++c) others += g_round.letters[c - 'A'].occurs && !std::strchr("RSTLNE", c);
        return others >= 3;
    }));
    EXPECT_TRUE(wheel.Hidden() && !bonusWheel.Disabled());
    RevealGivenLetters();
    EXPECT_EQ(1, RecordingOps::Count(ops.windows, "BONUS_CHOOSE_LETTERS"));
    g_round.SetState(STATE_PICK_CONSONANT);
    char in1 = ConsonantInPuzzle();
    g_round.letters[in1 - 'A'].called = 1;
    char in2 = ConsonantInPuzzle(), out = ConsonantNotInPuzzle(), vowel = 'U';
    for (char v : std::string("OIA"))
        if (!g_round.letters[v - 'A'].occurs) vowel = v;
    ASSERT_TRUE(in2 && out && !g_round.letters[vowel - 'A'].occurs);
    Call(in1);
    Call(out);
    Call(in2);
    EXPECT_EQ("Now pick a vowel.", ops.LastMessage());
    EXPECT_TRUE(FakeTile::revealLog.find(in1) == std::string::npos) << "nothing shows before the vowel";
    Call(vowel);
    EXPECT_EQ(std::string() + in1 + in2, FakeTile::revealLog.substr(FakeTile::revealLog.size() - 2));
    ASSERT_EQ(STATE_SOLVE, g_round.state);
    EXPECT_EQ(1, g_round.bonusSolveTimer);

    g_round.controls.solveTimer->timeLeft = 2.0f;
    Type(false);
    FailedSolveTimerEnds();
    EXPECT_EQ(STATE_SOLVE, g_round.state) << "solve again before the time is up";
    EXPECT_EQ(2.0f, g_round.controls.solveTimer->timeLeft) << "on the same clock";
    g_round.bonusSolveTimer = 2;  // the time is up
    FailedSolveTimerEnds();
    EXPECT_EQ(STATE_ROUND_LOST, g_round.state);
    g_round.GoToNextRound();
    EXPECT_EQ("So close! The bonus prize stays in the envelope.", ops.LastMessage());
}

}  // namespace
