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
    // The codes a "key" control may name: keys, buttons, axes and the above.
    INPUT_CODE_COUNT = 153,
    // A key whose message carries the extended-key bit (the arrows, the
    // keypad's Enter, Insert, Delete, Home, End ...) has its scan code plus
    // this: the left arrow is 75 + 256 = 331.
    INPUT_EXTENDED_KEY = 256,
    // Room for every scan code with or without the extended bit.
    INPUT_TABLE_SIZE = 512
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
    static constexpr int kMaxChanges = 512;
    static constexpr int kMaxDeferred = 64;

    InputState();

    // Stores a value at once (the game's own injections use this).
    int Set(int code, int value);
    // What the window messages deliver: like Set, except that an edge the
    // readers have not yet seen is never overwritten within a frame. A
    // press and its release arriving together show as the press in one
    // frame and the release in the next; two characters typed within one
    // frame arrive one frame apart.
    int Post(int code, int value);
    void EndFrame();
    int Get(int code) const { return code >= 0 && code < INPUT_TABLE_SIZE ? value[code] : 0; }
    // Zeroes the table (tests and a fresh start).
    void Clear();
    int DeferredCount() const { return deferredCount; }

private:
    struct Deferred {
        int code;
        int value;
    };
    bool MustWait(int code, int value) const;

    int* changed[kMaxChanges];
    int changedCount;
    Deferred deferred[kMaxDeferred];
    int deferredCount;
    int value[INPUT_TABLE_SIZE];
};

extern InputState g_input;
