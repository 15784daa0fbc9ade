// The computer contestant (control kind "ai") on the game's real puzzles:
// its states, the letters it calls and buys, when it spins, solves and
// buzzes, and the match clock it keeps.
#include <cmath>
#include <set>

#include "control_ai.h"
#include "control_factory.h"
#include "control_wheel.h"
#include "renderer.h"
#include "round_test_util.h"

namespace {

class AiTest : public RoundTest {
protected:
    void SetUp() override {
        RoundTest::SetUp();
        g_round.controls.ai = &aiControl;
        g_round.paused = 0;
        solveLocked = 0;
        pendingChar = 0;
        // Every delay runs out in one frame.
        g_renderer.frameTime = 2.0f;
        g_renderer.defaultFrameTime = 2.0f;
    }
    void TearDown() override {
        solveCursor = nullptr;
        solveLocked = 0;
        pendingChar = 0;
        RoundTest::TearDown();
    }
    PlayerProfile* Bot(const char* name, float solve, float right, float vowel, float respin) {
        PlayerProfile* p = Computer(name);
        AiParams* ai = p->GetAi();
        ai->SetChance(AI_CHANCE_SOLVE, solve);
        ai->SetChance(AI_CHANCE_RIGHT, right);
        ai->SetChance(AI_CHANCE_VOWEL, vowel);
        ai->SetChance(AI_CHANCE_RESPIN, respin);
        return p;
    }
    // A quick-play round 1 of the computer contestant on the puzzle of a
    // seed, lit and at the start of its turn.
    bool Start(PlayerProfile* bot, int seed = 1) {
        if (!NeedPuzzles()) return false;
        std::srand(seed);
        g_round.SetContestant(0, bot);
        if (!g_round.BeginQuickPlayMatch()) return false;
        Light();
        g_round.current = &g_round.contestants[0];
        g_round.SetStateDirect(STATE_START_OF_TURN);
        return true;
    }
    // The control decides in state s (one frame, every delay run out).
    int Decide(int s) {
        aiControl.SetState(s);
        aiControl.Update();
        return aiControl.state;
    }
    void CallAllConsonants() {
        for (int i = 0; i < kLetterCount; ++i)
            if (!IsVowel((char)('A' + i))) g_round.letters[i].called = 1;
    }
    void HideAllBut(int keep) {
        int kept = 0;
        for (FakeTile& t : tiles)
            if (t.HoldsCharacter() && !t.shownAtOnce) t.state = kept++ < keep ? TILE_HIDDEN : TILE_SHOWN;
    }

    AiControl aiControl;
};

TEST_F(AiTest, TheFactoryMakesTheKindAi) {
    std::unique_ptr<GuiControl> c(CreateGuiControl("ai"));
    EXPECT_NE(nullptr, dynamic_cast<AiControl*>(c.get()));
    std::unique_ptr<GuiControl> upper(CreateGuiControl("AI"));
    EXPECT_EQ(nullptr, dynamic_cast<AiControl*>(upper.get()));
}

TEST_F(AiTest, EnteringAStateArmsItsDelay) {
    AiControl c;
    EXPECT_EQ(0.0f, c.typingDelay);
    c.SetState(AI_OPENING);
    EXPECT_EQ(AI_IDLE, c.state);
    c.SetState(AI_CLOSING);
    EXPECT_EQ(AI_CLOSED, c.state);
    c.SetState(AI_TYPE_SOLUTION);
    EXPECT_EQ(1, solveLocked);
    EXPECT_FLOAT_EQ(0.35f, c.typingDelay);
    c.SetState(AI_IDLE);
    EXPECT_EQ(0, solveLocked);
    for (int s : {AI_CHOOSE_MOVE, AI_FREE_SPIN, AI_JACKPOT, AI_MYSTERY}) {
        c.decisionDelay = 0.0f;
        c.SetState(s);
        EXPECT_FLOAT_EQ(1.5f, c.decisionDelay);
        EXPECT_EQ(s, c.state);
    }
    c.SetState(AI_CALL_CONSONANT);
    EXPECT_FLOAT_EQ(1.0f, c.consonantDelay);
}

TEST_F(AiTest, TheMatchClockRunsUnlessPausedOrEnded) {
    g_renderer.frameTime = 0.5f;
    g_renderer.defaultFrameTime = 0.03f;
    g_round.matchTime = 0.0f;
    g_round.SetStateDirect(STATE_START_OF_TURN);
    aiControl.Update();
    EXPECT_FLOAT_EQ(0.03f, g_round.matchTime) << "the capped frame time";
    g_round.paused = 1;
    aiControl.Update();
    g_round.paused = 0;
    g_round.SetStateDirect(STATE_END_OF_MATCH);
    aiControl.Update();
    EXPECT_FLOAT_EQ(0.03f, g_round.matchTime);
}

TEST_F(AiTest, ADecisionWaitsForItsDelay) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 100, 0, 0)));
    g_renderer.frameTime = g_renderer.defaultFrameTime = 0.5f;
    aiControl.SetState(AI_CALL_CONSONANT);
    aiControl.Update();
    EXPECT_EQ(AI_CALL_CONSONANT, aiControl.state);
    aiControl.Update();
    EXPECT_EQ(AI_IDLE, aiControl.state);
}

TEST_F(AiTest, ConsonantsCalledAreNeverCalledTwiceAndTheCallsEnd) {
    for (int seed = 1; seed <= 5; ++seed) {
        ASSERT_TRUE(Start(Bot("Cy", 0, 50, 0, 0), seed));
        std::set<char> called;
        int calls = 0;
        for (; calls < 40; ++calls) {
            RebuildAiCandidates();
            if (g_aiCandidates.inCount + g_aiCandidates.outCount == 0) break;
            bool before[kLetterCount];
            for (int i = 0; i < kLetterCount; ++i) before[i] = g_round.letters[i].called;
            Decide(AI_CALL_CONSONANT);
            char c = g_round.chosenLetter;
            ASSERT_TRUE(c >= 'A' && c <= 'Z');
            EXPECT_FALSE(IsVowel(c)) << c;
            EXPECT_FALSE(before[c - 'A']) << c << " was called already";
            EXPECT_TRUE(g_round.letters[c - 'A'].called);
            EXPECT_TRUE(called.insert(c).second);
            RunBoard();
        }
        EXPECT_EQ(21, calls) << "every consonant once";
        // None left: the contestant solves instead of calling.
        Decide(AI_CALL_CONSONANT);
        EXPECT_EQ(AI_TYPE_SOLUTION, aiControl.state);
        EXPECT_EQ(STATE_SOLVE, g_round.state);
    }
}

TEST_F(AiTest, ASureCallerCallsOnlyLettersOfThePuzzle) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 100, 0, 0)));
    for (int i = 0; i < 5; ++i) {
        if (!ConsonantInPuzzle()) break;
        Decide(AI_CALL_CONSONANT);
        EXPECT_TRUE(g_round.letters[g_round.chosenLetter - 'A'].occurs) << g_round.chosenLetter;
        EXPECT_EQ(PHASE_LETTER_CHOSEN, g_round.inputPhase);
        RunBoard();
    }
    ASSERT_TRUE(Start(Bot("Dee", 0, 0, 0, 0)));
    Decide(AI_CALL_CONSONANT);
    EXPECT_FALSE(g_round.letters[g_round.chosenLetter - 'A'].occurs) << "a contestant that never knows misses";
}

TEST_F(AiTest, NoVowelIsBoughtWithLessThan250) {
    for (int seed = 1; seed <= 30; ++seed) {
        ASSERT_TRUE(Start(Bot("Cy", 0, 100, 100, 0), seed));
        g_round.contestants[0].roundMoney = 249;
        EXPECT_NE(AI_BUY_VOWEL, Decide(AI_CHOOSE_MOVE));
        // Even with every consonant called it solves rather than buy.
        CallAllConsonants();
        EXPECT_EQ(AI_TYPE_SOLUTION, Decide(AI_CHOOSE_MOVE));
        EXPECT_EQ(249, g_round.contestants[0].roundMoney);
    }
}

TEST_F(AiTest, WithEveryConsonantCalledItBuysAVowelOfThePuzzleThenSolves) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 100, 0, 0)));
    CallAllConsonants();
    g_round.contestants[0].roundMoney = 1000;
    EXPECT_EQ(AI_BUY_VOWEL, Decide(AI_CHOOSE_MOVE)) << "chance 4 of 0 still buys when no consonant is left";
    aiControl.Update();
    char v = g_round.chosenLetter;
    EXPECT_TRUE(IsVowel(v));
    EXPECT_TRUE(g_round.letters[v - 'A'].occurs);
    EXPECT_EQ(750, g_round.contestants[0].roundMoney);
    RunBoard();
    for (char c : std::string("AEIOU"))
        if (g_round.letters[c - 'A'].occurs) g_round.letters[c - 'A'].called = 1;
    g_round.contestants[0].roundMoney = 1000;
    EXPECT_EQ(AI_TYPE_SOLUTION, Decide(AI_CHOOSE_MOVE)) << "no useful vowel and no consonant: solve";
    EXPECT_EQ(STATE_SOLVE, g_round.state);
}

TEST_F(AiTest, AFullyHiddenPuzzleIsNeverSolvedAndAnAlmostKnownOneIsByAKeenLevel) {
    ASSERT_TRUE(Start(Bot("Cy", 100, 100, 0, 0)));
    HideAllBut(1000);  // 150 x h / n = 150
    for (int i = 0; i < 200; ++i) EXPECT_EQ(AI_SPIN, Decide(AI_CHOOSE_MOVE)) << "spins";
    HideAllBut(1);
    int solves = 0;
    for (int i = 0; i < 100; ++i) {
        g_round.SetStateDirect(STATE_START_OF_TURN);
        aiControl.SetState(AI_CHOOSE_MOVE);
        aiControl.Update();
        if (aiControl.state == AI_TYPE_SOLUTION) ++solves;
        aiControl.SetState(AI_IDLE);
    }
    EXPECT_GT(solves, 80);
    ASSERT_TRUE(Start(Bot("Dee", 0, 100, 0, 0)));
    HideAllBut(1);
    for (int i = 0; i < 100; ++i) EXPECT_NE(AI_TYPE_SOLUTION, Decide(AI_CHOOSE_MOVE)) << "chance 2 of 0";
}

// The match wheel as the game's document makes it (speeds and the end of
// its spin), turned frame by frame until it rests.
struct MatchWheel : NewSpinControl {
    MatchWheel() {
        speedFactor = 0.4f;
        accelFactor = -0.2f;
        speedAccelFactor = 0.0f;
        minDegree = 25.0f;
    }
    // The signed angle where a spin of that distance comes to rest, at the
    // longest frame the game allows.
    float RestAfter(float distance) {
        const float frame = g_renderer.frameTime, cap = g_renderer.defaultFrameTime;
        g_renderer.frameTime = g_renderer.defaultFrameTime = 1.0f / 35.0f;
        StartSpin(distance);
        for (int i = 0; i < 100000 && IsSpinning(); ++i) Rotate();
        g_renderer.frameTime = frame;
        g_renderer.defaultFrameTime = cap;
        return SignedAngle();
    }
};

TEST_F(AiTest, ASpinIsNeverRedrawnOnAGoodWedgeAndASureRespinnerNeverLandsOnABadOne) {
    PlayerProfile* bot = Bot("Cy", 0, 100, 0, 100);
    ASSERT_TRUE(Start(bot));
    MatchWheel wheel;
    g_round.controls.wheel = &wheel;
    // Judged where the real wheel comes to rest, under the pointer of the
    // seat that spins, from wherever the last spin left the wheel.
    for (int seat = 1; seat <= 3; ++seat) {
        g_round.SetContestant(0, seat == 1 ? bot : Computer("Ann"));
        g_round.SetContestant(seat - 1, bot);
        g_round.current = g_round.ContestantOnSeat(seat);
        ASSERT_EQ(bot, g_round.current->profile);
        for (int type : {ROUND_ONE, ROUND_JACKPOT, ROUND_MYSTERY}) {
            g_round.roundType = type;
            for (int i = 0; i < 150; ++i) {
                Decide(AI_SPIN);
                float d = g_round.spinPower;
                EXPECT_GE(d, 432.0f);
                EXPECT_LT(d, 1080.0f);
                int wedge = WheelWedgeAt(wheel.RestAfter(d) + 30.0f * (seat - 1));
                EXPECT_FALSE(IsBadAiWedge(type, wedge)) << "seat " << seat << " type " << type << " distance " << d;
                EXPECT_EQ(1, g_round.spinRequested);
                EXPECT_EQ(PHASE_ALL_OFF, g_round.inputPhase);
            }
        }
    }
    g_round.controls.wheel = nullptr;
    // The first draw stands when good: the same seed draws once either way.
    g_round.SetContestant(0, bot);
    g_round.current = g_round.ContestantAt(0);
    g_round.roundType = ROUND_ONE;
    for (int seed = 1; seed < 50; ++seed) {
        std::srand(seed);
        float first = (float)std::fmod((double)std::rand(), 648.0) + 432.0f;
        // (A draw that ends within a degree before a bad wedge counts as bad.)
        if (IsBadAiWedge(ROUND_ONE, PredictAiWedge(first, 0.0f)) ||
            IsBadAiWedge(ROUND_ONE, PredictAiWedge(first + 1.0f, 0.0f)))
            continue;
        std::srand(seed);
        Decide(AI_SPIN);
        EXPECT_EQ(first, g_round.spinPower);
    }
}

TEST_F(AiTest, ASureRespinnerStillStopsDrawingWhereEveryWedgeCountsAsBad) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 100, 0, 100)));
    g_round.roundType = ROUND_BONUS;
    EXPECT_EQ(AI_IDLE, Decide(AI_SPIN));
    EXPECT_EQ(1, g_round.spinRequested);
}

TEST_F(AiTest, WithOneHiddenTileInATossupTheComputerAlwaysBuzzes) {
    for (int seed = 1; seed <= 20; ++seed) {
        ASSERT_TRUE(Start(Bot("Cy", 0, 0, 0, 0), seed));
        HideAllBut(1);
        g_round.contestants[0].mayBuzz = 1;
        EXPECT_EQ(AI_TYPE_SOLUTION, Decide(AI_BUZZ_CHECK));
        EXPECT_EQ(STATE_SOLVE, g_round.state);
        EXPECT_EQ(0, g_round.contestants[0].mayBuzz);
        EXPECT_EQ(&g_round.contestants[0], g_round.current);
    }
}

TEST_F(AiTest, TheSecondComputerIsAskedHalfTheTime) {
    ASSERT_TRUE(NeedPuzzles());
    g_round.SetContestant(0, Human("Ann"));
    g_round.SetContestant(1, Bot("Cy", 0, 0, 0, 0));
    g_round.SetContestant(2, Bot("Dee", 0, 0, 0, 0));
    g_round.characterCount = 10;
    HideAllBut(0);
    int second = 0;
    for (int i = 0; i < 400; ++i) {
        for (Contestant& c : g_round.contestants) c.mayBuzz = 1;
        EXPECT_EQ(AI_IDLE, Decide(AI_BUZZ_CHECK)) << "chance 2 of 0 does not buzz";
        ASSERT_NE(nullptr, g_round.current);
        EXPECT_NE(1, g_round.current->seat) << "the human is never chosen";
        if (g_round.current->seat == 3) ++second;
    }
    EXPECT_GT(second, 150);
    EXPECT_LT(second, 250);
    // Nobody may buzz: the first contestant becomes current.
    for (Contestant& c : g_round.contestants) c.mayBuzz = 0;
    Decide(AI_BUZZ_CHECK);
    EXPECT_EQ(&g_round.contestants[0], g_round.current);
}

TEST_F(AiTest, TypingPutsTheCursorTilesLetterEveryFewTenthsOfASecond) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 0, 0, 0)));
    FakeTile* t = nullptr;
    for (FakeTile& tile : tiles)
        if (tile.HoldsCharacter() && !t) t = &tile;
    ASSERT_NE(nullptr, t);
    solveCursor = t;
    g_renderer.frameTime = g_renderer.defaultFrameTime = 0.2f;
    aiControl.SetState(AI_TYPE_SOLUTION);
    aiControl.Update();
    EXPECT_EQ(0, pendingChar);
    aiControl.Update();
    EXPECT_EQ(t->letter, pendingChar);
    EXPECT_EQ(AI_TYPE_SOLUTION, aiControl.state);
    EXPECT_FLOAT_EQ(0.35f, aiControl.typingDelay);
    // No cursor tile: nothing is typed and nothing breaks.
    solveCursor = nullptr;
    pendingChar = 0;
    aiControl.Update();
    aiControl.Update();
    EXPECT_EQ(0, pendingChar);
}

TEST_F(AiTest, AComputerTurnPlaysItsLettersThroughTheRoundController) {
    // Spin and letter decisions in turn until the turn ends: it never loops.
    ASSERT_TRUE(Start(Bot("Cy", 50, 70, 50, 50)));
    int moves = 0;
    for (; moves < 200 && g_round.state == STATE_START_OF_TURN; ++moves) {
        int s = Decide(AI_CHOOSE_MOVE);
        if (s == AI_TYPE_SOLUTION) break;
        if (s == AI_SPIN) aiControl.Update();
        if (g_round.spinRequested) {
            g_round.spinRequested = 0;
            Spin(9);  // lands on a $600 wedge
            ASSERT_EQ(AI_CALL_CONSONANT, aiControl.state) << "the round controller asks for a consonant";
            aiControl.Update();
        } else if (s == AI_BUY_VOWEL) {
            aiControl.Update();
        }
        RunBoard();
    }
    EXPECT_LT(moves, 200);
}

TEST_F(AiTest, AFreeSpinTokenIsKeptWhileThePuzzleIsAllHidden) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 0, 0, 0)));
    HideAllBut(1000);  // 100 x h / n = 100: never below a random number
    for (int i = 0; i < 50; ++i) {
        g_round.contestants[0].freeSpinToken = 1;
        Decide(AI_FREE_SPIN);
        EXPECT_EQ(1, g_round.contestants[0].freeSpinToken);
    }
    HideAllBut(0);  // 0: used unless the draw is 0
    int used = 0;
    for (int i = 0; i < 50; ++i) {
        g_round.contestants[0].freeSpinToken = 1;
        Decide(AI_FREE_SPIN);
        if (!g_round.contestants[0].freeSpinToken) ++used;
    }
    EXPECT_GT(used, 40);
}

TEST_F(AiTest, AJackpotIsNotGoneForWithoutTheChanceToSolve) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 0, 0, 0)));
    HideAllBut(1);
    g_round.jackpotState = WEDGE_WAITING;
    EXPECT_EQ(AI_CHOOSE_MOVE, Decide(AI_JACKPOT)) << "declined: the turn goes on";
    EXPECT_EQ(WEDGE_LOST, g_round.jackpotState);
    ASSERT_TRUE(Start(Bot("Dee", 100, 0, 0, 0)));
    HideAllBut(1000);  // 150 x h / n = 150: never solves
    g_round.jackpotState = WEDGE_WAITING;
    EXPECT_EQ(AI_CHOOSE_MOVE, Decide(AI_JACKPOT)) << "declined: the turn goes on";
    EXPECT_EQ(WEDGE_LOST, g_round.jackpotState);
}

TEST_F(AiTest, AMysteryDeclinedPaysAThousandPerLetter) {
    ASSERT_TRUE(Start(Bot("Cy", 0, 0, 0, 0)));
    char c = ConsonantInPuzzle();
    ASSERT_NE(0, c);
    int declined = 0;
    for (int seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        g_round.chosenLetter = c;
        g_round.mysteryOutcome = MYSTERY_PRIZE;
        g_round.mysteryRevealed = 0;
        int before = g_round.contestants[0].roundMoney;
        Decide(AI_MYSTERY);
        if (g_round.mysteryRevealed) {
            EXPECT_EQ(1, g_round.contestants[0].mysteryToken);
            g_round.contestants[0].mysteryToken = 0;
        } else {
            ++declined;
            EXPECT_EQ(before + 1000 * g_round.CountLetter(c), g_round.contestants[0].roundMoney);
            EXPECT_EQ(MYSTERY_NONE, g_round.mysteryOutcome);
        }
    }
    EXPECT_GT(declined, 0);
    EXPECT_LT(declined, 20);
}

}  // namespace
