// The host's status-bar lines for the game events and the crowd and jingle
// cues: which texts, in which order and for whom.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls_simple.h"
#include "controls_text.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"
#include "font_manager.h"
#include "strings.h"

// ---- Texts and crowd cues ---------------------------------------------------------

const char* HostText(const char* key, unsigned line) {
    if (!key) return "";
    const TextBlock* block = FindTextByName(key);
    if (!block) return "";
    const char* text = block->Line(line);
    return text ? text : "";
}

static SoundInstance* PlayNumbered(const char* family, int number) {
    char cue[64];
    std::snprintf(cue, sizeof(cue), "%s%d", family, number);
    return g_round.PlayCue(cue, CUE_SOUND);
}

void PlaySmallDisappointment() { PlayNumbered("P_AUD_SM_DIS_", std::rand() % 100 / 20 + 1); }
void PlayLargeDisappointment() { PlayNumbered("P_AUD_LG_DIS_", std::rand() % 100 / 25 + 1); }
void PlayClap() { PlayNumbered("P_AUD_CLAP_", std::rand() % 100 / 10 + 1); }

void PlayClapCheer() { PlayClapCheerCue(); }

SoundInstance* PlayClapCheerCue() {
    int r = std::rand() % 100 / 33;
    return PlayNumbered("P_AUD_CLAP_CHEER_", r >= 2 ? 3 : r + 1);
}

void PlayExcitement() { PlayExcitementCue(); }

SoundInstance* PlayExcitementCue() {
    int r = std::rand() % 100 / 12;
    return PlayNumbered("P_AUD_EXC_", r >= 7 ? 8 : r + 1);
}

void PlayDisappointedClap() {
    int r = std::rand() % 100 / 33;
    PlayNumbered("P_AUD_DIS_CLAP_", r >= 2 ? 3 : r + 1);
}

void PlayBonusWinCrowd() {
    int r = std::rand() % 100;
    if (g_round.wedgeValue > 40000)
        r >= 40 ? PlayExcitement() : PlayClap();
    else
        r >= 80 ? PlayExcitement() : PlayClap();
}

void PlayBonusLossCrowd() {
    int r = std::rand() % 100;
    if (g_round.wedgeValue > 40000)
        r >= 20 ? PlayLargeDisappointment() : PlayDisappointedClap();
    else
        r >= 80 ? PlaySmallDisappointment() : PlayDisappointedClap();
}

void PlayPreChantCue() { g_round.PlayCue("GAME_INTRO_PRE_CHANT", CUE_MUSIC); }
void PlayWheelChantCue() { g_round.PlayCue("WHEEL_CHANT", CUE_MUSIC); }

// ---- Host lines ---------------------------------------------------------------------------------

void RoundController::ShowEventMessage(const HostMessage& message) {
    const HostEvent event = message.event;
    if (event == HostEvent::CloseBar) {
        ops->PostStatusMessage(controls.statusBar, nullptr);
        return;
    }
    char line[128];
    line[0] = '\0';
    const int size = (int)sizeof(line);
    bool computer = CurrentIsComputer();
    const char* n = current ? current->Name() : "";
    // FormatMoney shares one buffer: every amount of a line is copied out.
    char money1[32], money2[32];

    switch (event) {
    case HostEvent::Prompt: std::snprintf(line, size, "%s", HostText(message.key)); break;
    case HostEvent::NamedPrompt: std::snprintf(line, size, "%s %s", n, HostText(message.key)); break;
    case HostEvent::RoundWon: {
        int r = current ? current->roundMoney : 0;
        // Raised as the round is won, before its money joins the match
        // total: the total shown is the one it makes.
        int m = current ? current->matchTotal : 0;
        CopyString(money1, sizeof(money1), FormatMoney(r));
        CopyString(money2, sizeof(money2), FormatMoney(m + r));
        if (roundType == ROUND_BONUS)
            std::snprintf(line, size, "%s %s $%s %s $%s %s", n, HostText("MSG_WON"), money1,
                          HostText("MSG_WIN_BONUS_SCORE_1"), money2, HostText("MSG_WIN_BONUS_SCORE_2"));
        else if (m < 1)
            std::snprintf(line, size, "%s %s $%s", n, HostText("MSG_WIN_ROUND_1_SCORE"), money1);
        else
            std::snprintf(line, size, "%s %s $%s %s $%s", n, HostText("MSG_WON"), money1,
                          HostText("MSG_WIN_ROUND_SCORE"), money2);
        break;
    }
    case HostEvent::LandedOnValue: {
        int value = message.value;
        CopyString(money1, sizeof(money1), FormatMoney(value));
        if (computer)
            std::snprintf(line, size, "%s $%s. %s %s", HostText("MSG_LANDED_ON"), money1, n,
                          HostText("MSGC_SHOULD_PICK_CONSONANT"));
        else
            std::snprintf(line, size, "%s $%s. %s", HostText("MSG_LANDED_ON"), money1, HostText("MSGH_PICK_CONSONANT"));
        break;
    }
    case HostEvent::LandedOnFreeSpin:
    case HostEvent::LandedOnJackpot:
    case HostEvent::LandedOnMystery: {
        const char* what = event == HostEvent::LandedOnFreeSpin ? "MSG_FREESPIN" : event == HostEvent::LandedOnJackpot ? "MSG_JACKPOT" : "MSG_MYSTERY";
        if (computer)
            std::snprintf(line, size, "%s %s. %s %s", HostText("MSG_LANDED_ON"), HostText(what), n,
                          HostText("MSGC_SHOULD_PICK_CONSONANT"));
        else
            std::snprintf(line, size, "%s %s. %s", HostText("MSG_LANDED_ON"), HostText(what),
                          HostText("MSGH_PICK_CONSONANT"));
        break;
    }
    case HostEvent::LandedOnBankrupt:
    case HostEvent::LandedOnLoseTurn: {
        const char* what = event == HostEvent::LandedOnBankrupt ? "MSG_BANKRUPT" : "MSG_LOSE_A_TURN";
        if (computer)
            std::snprintf(line, size, "%s %s. %s %s", HostText("MSG_LANDED_ON"), HostText(what), n,
                          HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s %s. %s", HostText("MSG_LANDED_ON"), HostText(what),
                          HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    }
    case HostEvent::WrongLetter: {
        char c = message.letter ? message.letter : chosenLetter;
        PlayCue("WHEEL_WRONG");
        if (computer)
            std::snprintf(line, size, "%s%c%s %s %s", HostText("MSG_WRONG_LETTER"), c, HostText("MSG_WRONG_LETTER", 1), n,
                          HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s%c%s %s", HostText("MSG_WRONG_LETTER"), c, HostText("MSG_WRONG_LETTER", 1),
                          HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    }
    case HostEvent::LetterRevealed: {
        char c = message.letter ? message.letter : chosenLetter;
        int k = CountLetter(c);
        int v = wedgeValue;
        if (k >= 3 || tenThousandWedge == WEDGE_WAITING)
            PlayClapCheer();
        else
            PlayClap();
        bool vowel = IsVowel(c);
        if (vowel)
            CopyString(money1, sizeof(money1), FormatMoney(kVowelPrice));
        else
            CopyString(money1, sizeof(money1), FormatMoney(k > 1 ? k * v : v));
        if (k > 1) {
            if (vowel || v > 0)
                std::snprintf(line, size, "%s%i %c%s for $%s.", HostText("MSG_CORECT_LETTERS"), k, c,
                              HostText("MSG_CORECT_LETTERS", 1), money1);
            else
                std::snprintf(line, size, "%s%i %c%s.", HostText("MSG_CORECT_LETTERS"), k, c,
                              HostText("MSG_CORECT_LETTERS", 1));
        } else {
            if (vowel || v > 0)
                std::snprintf(line, size, "%s%c for $%s.", HostText("MSG_CORECT_LETTER"), c, money1);
            else
                std::snprintf(line, size, "%s%c.", HostText("MSG_CORECT_LETTER"), c);
        }
        break;
    }
    case HostEvent::ComputerSolving: std::snprintf(line, size, "%s %s", n, HostText("MSGC_SOLVING")); break;
    case HostEvent::SolveTimeOut:
        PlayCue("TIMES_UP");
        if (roundType == ROUND_BONUS)
            std::snprintf(line, size, "%s", HostText("MSG_SOLVE_TIME_OUT"));
        else if (computer)
            std::snprintf(line, size, "%s %s %s", HostText("MSG_SOLVE_TIME_OUT"), n, HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s %s", HostText("MSG_SOLVE_TIME_OUT"), HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    case HostEvent::WrongSolve:
        if (roundType != ROUND_BONUS) PlayCue("WHEEL_WRONG");
        if (IsTossupType() || roundType == ROUND_BONUS)
            std::snprintf(line, size, "%s", HostText("MSG_SOLVE_WRONG"));
        else if (computer)
            std::snprintf(line, size, "%s %s %s", HostText("MSG_SOLVE_WRONG"), n, HostText("MSGC_HAVE_LOST_TURN"));
        else
            std::snprintf(line, size, "%s %s", HostText("MSG_SOLVE_WRONG"), HostText("MSGH_YOUVE_LOST_TURN"));
        break;
    case HostEvent::ComputerUsesFreeSpin: std::snprintf(line, size, "%s %s", n, HostText("MSGC_USE_FREE_SPIN")); break;
    case HostEvent::ComputerKeepsMystery: std::snprintf(line, size, "%s %s", n, HostText("MSGC_MYSTERY_NOT_REVEAL")); break;
    case HostEvent::ComputerTurnsMystery: std::snprintf(line, size, "%s %s", n, HostText("MSGC_MYSTERY_REVEAL")); break;
    case HostEvent::ComputerPassesJackpot: std::snprintf(line, size, "%s %s", n, HostText("MSGC_LOSE_JACKPOT")); break;
    default: return;
    }
    ops->PostStatusMessage(controls.statusBar, line);
}

