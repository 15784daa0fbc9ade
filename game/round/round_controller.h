// The round controller: the one object that runs a match. It holds who
// plays, which round is on, what the wheel gave, which letters were called
// and what everybody has won, and moves through the 15 states of a turn.
// It never draws and never polls: the game-screen callbacks, the computer
// contestant and the board tiles drive it, and it acts on the game screen
// through the controls of GameControls and the operations of GameScreenOps.
//
// The operations are spread along their seams: round_controller.cpp
// (states, input phases, the spin, turns), round_rules.cpp (letters called,
// solving, winning), host_messages.cpp (the host's lines and the crowd),
// avatar_reactions.cpp (the 3D characters' reactions), board.cpp (board,
// letter counts, money, wheel tables, podiums, and the studio's pause and
// show/hide sets), round_setup.cpp (round set-ups, match starts, the end of
// a match), and at the top of game/ the seams: screen_ops.h and .cpp (the
// screen and its default operations), avatar_reactions.h (the avatars) and
// round_screen_sets.h (pausing and the sets each edition lays out itself). The callbacks that drive
// it are in screens/ (match_callbacks.cpp, round_play_callbacks.cpp);
// control_binding.cpp there fills GameControls.
#pragma once
#include "board.h"
#include "host_messages.h"
#include "high_scores.h"
#include "indexed_list.h"
#include "avatar_reactions.h"
#include "puzzle.h"
#include "round_screen_sets.h"
#include "screen_ops.h"

class AiParams;
class PlayerProfile;
class SoundInstance;
class TextControl;
class TimerControl;
class GuiGroup;

// A contestant's place in the match being played.
struct Contestant {
    PlayerProfile* profile = nullptr;  // null: the seat is empty
    int seat = 0;                      // 1..3
    int roundMoney = 0;
    int matchTotal = 0;
    int roundsWon = 0;
    int outcome = 0;                   // MatchOutcome
    unsigned char freeSpinToken = 0;
    unsigned char tenThousandToken = 0;
    unsigned char mysteryToken = 0;
    unsigned char mayBuzz = 0;
    GuiControl* avatar = nullptr;      // the avatar control it is bound to
    char lastLetter = 0;

    bool IsPresent() const { return profile != nullptr; }
    // The rules the seat plays by: a computer contestant's own, null for a person.
    const AiParams* Ai() const;
    bool IsComputer() const;
    const char* Name() const;          // never null
};

enum MatchOutcome {
    OUTCOME_PLAYING = 0,
    OUTCOME_LOST = 1,
    OUTCOME_TIEBREAK = 2,
    OUTCOME_BONUS = 3,
    OUTCOME_FINISHED = 4
};

// Round states.
enum RoundState {
    STATE_SPIN = 0,
    STATE_WHEEL_STOPPED = 1,
    STATE_PICK_CONSONANT = 2,
    STATE_PICK_VOWEL = 3,
    STATE_BUY_VOWEL = 4,
    STATE_REVEAL_BONUS_LETTER = 5,
    STATE_END_OF_TURN = 6,
    STATE_CHANGE_TURN = 7,
    STATE_SOLVE = 8,
    STATE_LOSE_A_TURN = 9,
    STATE_BANKRUPT = 10,
    STATE_ROUND_LOST = 11,
    STATE_ROUND_WON = 12,
    STATE_END_OF_MATCH = 13,
    STATE_START_OF_TURN = 14
};

enum InputPhase {
    PHASE_ALL_OFF = 0,
    PHASE_TURN = 1,
    PHASE_CONSONANT = 2,
    PHASE_VOWEL = 3,
    PHASE_BONUS_LETTER = 4,
    PHASE_LETTER_CHOSEN = 5,
    PHASE_SOLVING = 6
};

enum LetterKeyMode { KEYS_NONE = 0, KEYS_CONSONANTS = 2, KEYS_VOWELS = 3, KEYS_SOLVING = 4 };

// States of the computer contestant's control that the controller sets.
enum AiCode {
    AI_TOSSUP_WATCH = 0,
    AI_TOSSUP_LETTER = 4,
    AI_TAKE_TURN = 5,
    AI_PICK_CONSONANT = 7,
    AI_FREE_SPIN_QUESTION = 10,
    AI_JACKPOT_QUESTION = 11,
    AI_MYSTERY_QUESTION = 12
};

// Picture modes of the podium pictures.
enum { PICTURE_IDLE = 0, PICTURE_ACTIVE = 1, PICTURE_INACTIVE = 2 };

// Volume settings that cues play at.
enum { CUE_SOUND = 0, CUE_MUSIC = 1 };

// The show/hide family of one kind of round.
struct RoundControlSet {
    GuiControl* show[3] = {};
    GuiControl* hide[6] = {};
    GuiControl* freeSpinPopup = nullptr;  // shown only while no free spin was landed
    GuiControl* prizePopup = nullptr;     // round 1: the $10,000 pop-up, same rule
};

// The game-screen controls the controller and the callbacks act on, filled
// by BindGameControls from their positions in the GUI document. Every one may
// be null: the code then leaves that part of the screen alone. Per-seat
// arrays are indexed by seat - 1.
struct GameControls {
    // ---- The board -----------------------------------------------------------
    BoardTile* tiles[kBoardTiles] = {};  // row by row
    GuiControl* boardFrame = nullptr;    // the board lights: state 1 on a right letter or a win
    GuiControl* boardView[3] = {};       // hidden while the zoomed wheel is shown
    TextControl* category = nullptr;
    GuiControl* solveEntry[3] = {};
    TextControl* solveText = nullptr;
    TextControl* winnerLine = nullptr;

    // ---- Status bar and the computer contestant -----------------------------------
    GuiControl* statusBar = nullptr;
    TextControl* message = nullptr;           // the bar's message text
    TimerControl* messageTimer = nullptr;
    GuiControl* ai = nullptr;

    // ---- Wheels and gauges --------------------------------------------------------
    GuiControl* wheel = nullptr;
    GuiControl* zoomWheel = nullptr;
    GuiControl* bonusWheel = nullptr;
    GuiControl* pointer = nullptr;            // the pointer display shown after a spin
    GuiControl* wheelControls[4] = {};        // shown with the main wheel, hidden in the bonus round
    GuiGroup* wheelDecor = nullptr;           // wheel-side decorations, hidden when the wheel stops
    GuiControl* wheelDecorParts[3] = {};
    GuiGroup* zoomView = nullptr;             // the zoomed wheel's surroundings
    GuiControl* powerMeter = nullptr;
    GuiControl* bonusPowerMeter = nullptr;

    // ---- Keys and buttons ---------------------------------------------------------------
    GuiControl* letterKeys[kLetterCount] = {};
    GuiControl* spinButton = nullptr;
    GuiControl* buyVowelButton = nullptr;
    GuiControl* solveButton = nullptr;
    GuiControl* pauseButton = nullptr;   // disabled while the round is paused

    // ---- Timers -------------------------------------------------------------------------
    TimerControl* spinCheckTimer = nullptr;   // the spin delay
    TimerControl* turnTimer = nullptr;
    TimerControl* thinkingTimer = nullptr;    // the second solve timer: the thinking music
    TimerControl* solveTimer = nullptr;       // the solve time limit
    TimerControl* zoomHoldTimer = nullptr;
    TimerControl* tossupRevealTimer = nullptr;
    TimerControl* endOfTurnTimer = nullptr;
    TimerControl* roundEndTimer = nullptr;
    TimerControl* bankruptTimer = nullptr;
    TimerControl* mysteryTimer = nullptr;
    TimerControl* idleTimer = nullptr;
    TimerControl* freeSpinPromptTimer = nullptr;
    TimerControl* failedSolveTimer = nullptr;
    TimerControl* introTimer = nullptr;       // the theme of the first puzzle

    // ---- Podiums ------------------------------------------------------------------------
    TextControl* podiumScores[3] = {};
    TextControl* podiumNames[3] = {};
    GuiControl* bankruptOverlays[3] = {};
    GuiControl* loseTurnOverlays[3] = {};
    GuiControl* podiumHighlights[3][2] = {};  // the two podium parts of each seat
    GuiControl* podiumPictures[3] = {};       // the zoomed view's three pictures
    GuiControl* seatMarkers[3] = {};
    GuiControl* avatars[3] = {};
    TextControl* scoreLine = nullptr;         // "name: $total" of the current contestant
    GuiControl* scoreIndicators[3] = {};
    TextControl* turnCounter = nullptr;
    GuiControl* outroTrigger = nullptr;

    // ---- Seat cards ---------------------------------------------------------------------
    GuiControl* tenThousandMarkers[3] = {};   // the $10,000 prize card
    GuiControl* tenThousandDown[3] = {};      // its going-down animation
    GuiControl* mysteryCards[3] = {};         // the mystery wedge card
    GuiControl* mysteryMarkers[3] = {};       // the mystery $10,000 win card
    GuiControl* mysteryWinDown[3] = {};       // its going-down animation
    GuiControl* mysteryBankruptCards[3] = {};
    GuiControl* freeSpinMarkers[3] = {};      // the free-spin token
    GuiControl* bonusPrizeDisplay = nullptr;  // the bonus prize card
    // Sound triggers: each is handed the cue played with a card's animation
    // and, when that cue ends, runs the card's next step.
    GuiControl* tenThousandDownCues[3] = {};  // the $10,000 card goes down
    GuiControl* mysteryWinDownCues[3] = {};   // the mystery $10,000 card goes down
    GuiControl* mysteryOpenCue = nullptr;     // the mystery wedge card has opened
    GuiControl* mysteryBankruptCue = nullptr; // the mystery bankrupt has been told
    GuiControl* mysteryWinCue = nullptr;      // the mystery win has been cheered
    GuiControl* mysteryWedgeFaces[4] = {};    // two on the wheel, two on the zoomed wheel

    // ---- Jackpot --------------------------------------------------------------------------
    TextControl* jackpotDisplays[3] = {};
    GuiControl* jackpotAsk[2] = {};

    // ---- Per-round pieces -------------------------------------------------------------------
    GuiControl* puzzleControls[4] = {};       // hidden while a puzzle starts
    GuiControl* puzzleStartMarker = nullptr;
    GuiControl* puzzleStartGroup = nullptr;
    GuiControl* currentTokenGroup = nullptr;
    RoundControlSet tossupSet;
    RoundControlSet round1Set;
    RoundControlSet jackpotSet;
    RoundControlSet mysterySet;
};

class RoundController {
public:
    static const int kSeats = 3;
    static const int kErrorSize = 256;

    RoundController();
    ~RoundController();
    RoundController(const RoundController&) = delete;
    RoundController& operator=(const RoundController&) = delete;

    // Null restores the default operations.
    void SetOps(GameScreenOps* screenOps);
    GameScreenOps& Ops() { return *ops; }
    // The edition's avatars and screen sets; null restores the defaults.
    void SetReactions(AvatarReactions* avatarReactions);
    AvatarReactions& Reactions() { return *reactions; }
    void SetScreenSets(RoundScreenSets* sets);
    RoundScreenSets& ScreenSets() { return *screenSets; }
    // Places a profile on seat index 0..2 (null empties it).
    void SetContestant(int index, PlayerProfile* profile);
    Contestant* ContestantAt(int index) { return index >= 0 && index < kSeats ? &contestants[index] : nullptr; }
    Contestant* ContestantOnSeat(int seat) { return ContestantAt(seat - 1); }
    const char* GetError() const { return error; }

    // ---- Turn state machine (round_controller.cpp) -----------------------
    // false only when a solve cannot start because no letter is hidden.
    bool SetState(int newState);
    void SetInputPhase(int phase);
    void StartSpin();
    void ResolveWedge();
    void NextSeat();
    void WinRound();
    void StartTossupTurn();
    // The lighting chain's last tile: starts the turn once, while the round
    // still waits for its lit board.
    void OnBoardLit();
    void RevealLetter(char letterToReveal);
    void OnLetterResult(int count);
    bool EndSolutionReveal();
    void OnWrongSolve();
    void FlashPodium(int code);
    void PlayCrowdForValue();

    // Composes the status-bar line of a game event and posts it.
    void ShowEventMessage(const HostMessage& message);
    void PlayRoundIntroCue();

    // ---- Board, letters, money and wheel (board.cpp) ---------------------
    void FillBoard();
    void LinkBoardTiles();
    bool RevealRandomTile();
    bool PrepareSolve();
    void RevealAllTiles();
    // Asks only: every character tile shown (or typed right).
    bool IsPuzzleSolved() const;
    int CountHiddenConsonants() const;
    int CountHiddenVowels() const;
    int CountLetter(char c) const;
    int CountHiddenTiles() const;
    void ChangeMoney(int amount, char operation);
    void SetRound1WedgeValue(int wedge);
    void SetMysteryWedgeValue(int wedge);
    void SetJackpotWedgeValue(int wedge);
    void AwardPrizeTokens();
    void SetTurnsLeft();
    Contestant* FindLeader();
    int FindTieForLead();
    bool AreOpponentsComputer() const;
    bool HasSingleHuman() const;
    void ShowPlayerScore(int seat);
    void ShowSeatMarker(int seat);
    void ResetPodiumOverlays();
    void UpdateTokenMarkers();
    void ShowTokenView(int seatDifference);
    // Calls step on each timer a pause holds: the round's clocks, and the
    // solve and thinking clocks while a solve is on.
    void ForPausableTimers(void (*step)(TimerControl*));
    // A held timer keeps its time as a negative number, which its update
    // leaves alone; releasing it makes the time positive again.
    static void HoldTimer(TimerControl* timer);
    static void ReleaseTimer(TimerControl* timer);
    // The edition's screen sets (round_screen_sets.h).
    void PauseRoundGui(bool withSoundAndClock) { screenSets->PauseRoundGui(*this, withSoundAndClock); }
    void ResumeRoundGui(bool withSoundAndClock) { screenSets->ResumeRoundGui(*this, withSoundAndClock); }
    void StopAllTimers() { screenSets->StopAllTimers(*this); }
    // The match is left at this moment: every timer stopped without its
    // end, the wheels stopped where they stand without theirs, no sound
    // trigger waiting, the computer contestant idle, and the round held
    // (paused) through the frames its screen takes to close. The next
    // match's puzzle lets it go.
    void StopMatch();
    void PlayVoice(const char* cue, bool loop);
    void StopVoice();
    void PlayAvatar(GuiControl* avatar, int animation);
    void PlayContestantAvatar(Contestant* who, int animation);
    void ShowRoundSet(int type);

    // ---- Rounds and matches (round_setup.cpp) ----------------------------
    void StartPuzzle();
    void StartRound();
    // The set-ups and match starts give false, with the reason in
    // GetError(), when the round's puzzle could not be loaded (or a match
    // lacks its contestants); the board is then left empty, and nothing of
    // the previous puzzle is played.
    bool SetupRound();
    bool SetupTossup1000();
    bool SetupTossup2000();
    bool SetupRound1();
    bool SetupJackpotRound();
    bool SetupMysteryRound();
    bool SetupBonusRound();
    bool SetupTiebreak();
    bool BeginQuickPlayMatch();
    bool BeginPlayAloneMatch();
    bool BeginRoadTripMatch();
    bool BeginGroupPlayMatch();
    bool BeginPuzzleOfTheDayMatch();
    void GoToNextRound();
    void EndMatch();
    void UpdateProfileStats(Contestant* who);

    // ---- Helpers shared by the three files --------------------------------
    bool IsTossupType() const {
        return roundType == ROUND_TOSSUP_1000 || roundType == ROUND_TOSSUP_2000 || roundType == ROUND_TIEBREAK;
    }
    bool RoundOver() const { return state == STATE_ROUND_WON || state == STATE_ROUND_LOST; }
    bool IsWheelRound() const { return roundType >= ROUND_ONE && roundType <= ROUND_MYSTERY; }
    bool IsThreePlayerMode() const { return gameMode == MODE_ROAD_TRIP || gameMode == MODE_GROUP_PLAY; }
    bool CurrentIsComputer() const { return current && current->IsComputer(); }
    int CurrentSeat() const { return current ? current->seat : 0; }
    // The state set without its entry action.
    void SetStateDirect(int newState) {
        previousState = state;
        state = newState;
    }
    void StartTurnInput();   // the input choice of a start of turn
    void FreeSpinCheck();    // after a lost turn or a bankrupt
    void EndRoundShown(int endState);  // state 11 or 12 set directly, board shown
    // The timers of a turn in play stop with the round: the turn's own, a
    // turn's end, a failed solve's pause, the toss-up's next letter.
    void StopTurnTimers();
    void SetAi(int code);
    void StartTimer(TimerControl* timer);
    static void StopTimer(TimerControl* timer);
    bool TimerRunning(const TimerControl* timer) const;
    // The instance is the sound system's: for a sound trigger to watch, never kept.
    SoundInstance* PlayCue(const char* cue, int setting = CUE_SOUND);
    bool OpenWindow(const char* window);
    void HideJackpotDisplays();
    void ShowJackpotAmount();
    void ClearLetters();
    void BindAvatar(int avatarIndex, Contestant* who);
    void SetError(const char* format, ...);

    // ---- Fields -------------------------------------------------------------
    unsigned char paused = 0;
    unsigned char boardLighting = 0;  // the board's lighting chain runs; its end starts the turn
    int wedgeValue = 0;          // dollars per letter, a WedgeCode, a puzzle's worth or the bonus prize
    int characterCount = 0;      // board cells that hold a character
    unsigned char firstPuzzle = 0;
    float spinPower = 0.0f;
    float matchTime = 0.0f;      // seconds
    int jackpotWinnerSeat = 0;
    LetterRecord letters[kLetterCount];
    char chosenLetter = 0;
    int letterKeyMode = KEYS_NONE;
    int inputPhase = PHASE_ALL_OFF;
    IndexedList<Contestant*> ranking;  // the end-of-match order, highest total first
    Contestant contestants[kSeats];
    Contestant* current = nullptr;
    Contestant* opener = nullptr;      // opened the last main round of a three-player match
    GameControls controls;
    int contestantCount = 0;           // 1 or 3
    Puzzle puzzle;
    GuiControl* powerMeter = nullptr;  // the spin gauge of the round
    // The gauge in use while it is one of the bound gauges: controls bound
    // anew (another document) leave no gauge behind to be read.
    GuiControl* GaugeInUse() const {
        return powerMeter && (powerMeter == controls.powerMeter || powerMeter == controls.bonusPowerMeter) ? powerMeter
                                                                                                        : nullptr;
    }
    int landedSector = 0;              // 0..71
    int roundType = ROUND_ONE;
    int gameMode = 0;
    int city = 0;                      // road trip
    int turnsPerRound = 5;             // -1: no limit
    int turnsLeft = 5;                 // -1: no limit; 0 ends the round lost
    int bonusCount = 0;
    char bonusQueue[4] = {};
    int bonusSolveTimer = 0;           // 0 not started, 1 running, 2 time up
    int freeSpinWedge = WEDGE_OPEN;
    int mysteryOutcome = MYSTERY_NONE;
    int tenThousandWedge = WEDGE_OPEN;
    int state = STATE_START_OF_TURN;
    int previousState = STATE_START_OF_TURN;
    int jackpotAmount = 0;
    int jackpotState = WEDGE_OPEN;
    unsigned char mysteryRevealed = 0;
    int potdDay = 1;                   // 1-based
    int potdYear = 0;                  // index into the calendar years
    unsigned char spinRequested = 0;
    unsigned char wheelStopped = 0;
    int reactionSeat[kSeats] = {-1, -1, -1};

    // Once-per-round guards: a round is paid, its win shown, its next round
    // taken and the match ended only once, however often a state is entered.
    unsigned char roundPaid = 0;
    unsigned char roundAdvanced = 0;
    unsigned char matchEnded = 0;
    // Players of the ranking the statistics window has shown since the
    // match (or its tiebreak or bonus round) ended.
    int statsShown = 0;

private:
    GameScreenOps* ops;
    AvatarReactions* reactions;
    RoundScreenSets* screenSets;
    char error[kErrorSize];
};

extern RoundController g_round;

// Crowd and jingle cues: one of several numbered cues drawn at random.
void PlaySmallDisappointment();
void PlayLargeDisappointment();
void PlayClap();
void PlayClapCheer();
void PlayExcitement();
// The same two, giving the cue played (for a sound trigger to watch).
SoundInstance* PlayClapCheerCue();
SoundInstance* PlayExcitementCue();
void PlayDisappointedClap();
void PlayBonusWinCrowd();
void PlayBonusLossCrowd();
void PlayPreChantCue();
void PlayWheelChantCue();

// The text of line 0 (or 1) of a "TEXT" key; a missing key or line reads as
// an empty text, never null.
const char* HostText(const char* key, unsigned line = 0);
