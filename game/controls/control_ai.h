// The computer contestant (control kind "ai"): an invisible control of the
// game screen that plays the turns of computer contestants. The round
// controller sets its state when a computer contestant has something to
// decide; the control waits a short delay, decides by the contestant's
// AiParams and by what it knows of the puzzle, and acts through the round
// controller as the buttons and keys of a human would. Its update also
// advances the match clock.
#pragma once
#include "gui_control.h"

class AiParams;

// States of the control.
enum AiControlState {
    AI_IDLE = 0,
    AI_OPENING = 1,
    AI_CLOSING = 2,
    AI_CLOSED = 3,
    AI_BUZZ_CHECK = 4,
    AI_CHOOSE_MOVE = 5,
    AI_SPIN = 6,
    AI_CALL_CONSONANT = 7,
    AI_BUY_VOWEL = 8,
    AI_TYPE_SOLUTION = 9,
    AI_FREE_SPIN = 10,
    AI_JACKPOT = 11,
    AI_MYSTERY = 12
};

// Chances of AiParams that the control rolls.
enum AiChance {
    AI_CHANCE_SOLVE = 2,      // go for the solution
    AI_CHANCE_RIGHT = 3,      // call a letter that is in the puzzle
    AI_CHANCE_VOWEL = 4,      // buy a vowel when affordable and useful
    AI_CHANCE_RESPIN = 5      // draw the spin again when it would land on a bad wedge
};

// The letters not yet called, in alphabetical order, by class and by
// whether they occur in the puzzle.
enum AiLetterList {
    AI_COMMON_IN = 0,
    AI_MIDDLE_IN = 1,
    AI_RARE_IN = 2,
    AI_COMMON_OUT = 3,
    AI_MIDDLE_OUT = 4,
    AI_RARE_OUT = 5,
    AI_VOWELS_IN = 6,
    AI_VOWELS_OUT = 7,
    AI_LIST_COUNT = 8
};

struct AiCandidates {
    int letters[AI_LIST_COUNT][26];
    int count[AI_LIST_COUNT];
    int inCount;   // uncalled consonants that occur
    int outCount;  // uncalled consonants that do not occur
};

// Shared by the whole game library: rebuilt from the round controller's
// letter records.
extern AiCandidates g_aiCandidates;
void RebuildAiCandidates();

// Draws of one computer spin at most: a contestant whose chance 5 is 100
// would otherwise draw for ever where every wedge counts as bad.
const int kMaxAiSpinDraws = 100;

// The wedge (0..23) that a spin of that many degrees stops on, for a wheel
// at the given signed angle.
int PredictAiWedge(float distance, float signedAngle);
// Whether a wedge is one to avoid in a round type; every wedge is in round
// types without a money wheel.
bool IsBadAiWedge(int roundType, int wedge);

class AiControl : public GuiControl {
public:
    AiControl();

    void BuildVisuals() override {}
    void ReleaseVisuals() override {}
    void Update() override;

    float typingDelay = 0.0f;
    float decisionDelay = 0.0f;
    float consonantDelay = 0.0f;

private:
    void BuzzCheck();
    void ChooseMove(const AiParams* ai);
    void Spin(const AiParams* ai);
    void CallConsonant(const AiParams* ai);
    void BuyVowel(const AiParams* ai);
    void TypeLetter();
    void FreeSpinQuestion();
    void JackpotQuestion(const AiParams* ai);
    void MysteryQuestion();
    void StartSolve();
    void TakeLetter(int index);

protected:
    void ApplyState(int newState) override;
};
