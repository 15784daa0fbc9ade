// The game events the host speaks about in the status bar, with what each
// line needs: a text key for the prompts, the amount the wheel landed on, or
// the letter called.
#pragma once

enum class HostEvent {
    CloseBar = 0,               // new round states, the bonus wheel's stop
    Prompt = 1,                 // a prompt: the text of a key
    NamedPrompt = 2,            // the contestant's name, then the text of a key
    RoundWon = 3,
    LandedOnValue = 4,
    LandedOnFreeSpin = 5,
    LandedOnJackpot = 6,
    LandedOnMystery = 7,
    LandedOnBankrupt = 8,
    LandedOnLoseTurn = 9,
    WrongLetter = 10,
    LetterRevealed = 11,
    ComputerSolving = 12,
    SolveTimeOut = 13,
    WrongSolve = 14,
    ComputerUsesFreeSpin = 15,
    ComputerKeepsMystery = 16,
    ComputerTurnsMystery = 17,
    ComputerPassesJackpot = 18
};

struct HostMessage {
    HostEvent event;
    const char* key = nullptr;  // Prompt, NamedPrompt
    int value = 0;              // LandedOnValue
    char letter = 0;            // WrongLetter, LetterRevealed

    // An event that needs nothing more.
    HostMessage(HostEvent e) : event(e) {}

    static HostMessage Prompt(const char* textKey) {
        HostMessage m(HostEvent::Prompt);
        m.key = textKey;
        return m;
    }
    static HostMessage NamedPrompt(const char* textKey) {
        HostMessage m(HostEvent::NamedPrompt);
        m.key = textKey;
        return m;
    }
    static HostMessage Landed(int amount) {
        HostMessage m(HostEvent::LandedOnValue);
        m.value = amount;
        return m;
    }
    static HostMessage Letter(HostEvent e, char c) {
        HostMessage m(e);
        m.letter = c;
        return m;
    }
};
