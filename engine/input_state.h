// The table of every key, mouse button and mouse axis, written from the
// window messages and read by the GUI and the game once a frame.
#pragma once

enum InputCode {
    INPUT_KEY_BACKSPACE = 14,
    INPUT_KEY_ENTER = 28,
    INPUT_MOUSE_LEFT = 128,
    INPUT_MOUSE_RIGHT = 129,
    INPUT_MOUSE_MIDDLE = 130,
    INPUT_MOUSE_DX = 131,
    INPUT_MOUSE_DY = 132,
    INPUT_MOUSE_X = 133,
    INPUT_MOUSE_Y = 134,
    INPUT_MOUSE_PREV_X = 135,
    INPUT_MOUSE_PREV_Y = 136,
    INPUT_WHEEL = 137,
    INPUT_CHAR = 150,
    INPUT_LAST_DOWN = 151,
    INPUT_LAST_UP = 152,
    INPUT_CODE_COUNT = 153
};

enum KeyState {
    KEY_UP = 0,
    KEY_WENT_DOWN = 1,
    KEY_HELD = 2,
    KEY_WENT_UP = 3,
    KEY_DOUBLE_CLICK = 4
};

class InputState {
public:
    static const int kMaxChanges = 512;

    InputState();

    int Set(int code, int value);
    void EndFrame();
    int Get(int code) const { return code >= 0 && code < INPUT_CODE_COUNT ? value[code] : 0; }
    // Zeroes the table (tests and a fresh start).
    void Clear();

private:
    int* changed[kMaxChanges];
    int changedCount;
    int value[INPUT_CODE_COUNT];
};

extern InputState g_input;
