#include "input_state.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstring>

InputState g_input;

InputState::InputState() {
    Clear();
#ifdef _WIN32
    // Start from where the cursor is, so the first relative move is small.
    POINT p;
    if (GetCursorPos(&p)) {
        value[INPUT_MOUSE_X] = value[INPUT_MOUSE_PREV_X] = p.x;
        value[INPUT_MOUSE_Y] = value[INPUT_MOUSE_PREV_Y] = p.y;
    }
#endif
}

void InputState::Clear() {
    std::memset(value, 0, sizeof(value));
    changedCount = 0;
    deferredCount = 0;
}

int InputState::Set(int code, int v) {
    if (code < 0 || code >= INPUT_TABLE_SIZE) return v;
    switch (code) {
    case INPUT_MOUSE_DX:
        value[INPUT_MOUSE_PREV_X] = value[INPUT_MOUSE_X];
        value[INPUT_MOUSE_X] += v;
        break;
    case INPUT_MOUSE_DY:
        value[INPUT_MOUSE_PREV_Y] = value[INPUT_MOUSE_Y];
        value[INPUT_MOUSE_Y] += v;
        break;
    case INPUT_MOUSE_X:
        value[INPUT_MOUSE_PREV_X] = value[INPUT_MOUSE_X];
        value[INPUT_MOUSE_DX] = v - value[INPUT_MOUSE_X];
        break;
    case INPUT_MOUSE_Y:
        value[INPUT_MOUSE_PREV_Y] = value[INPUT_MOUSE_Y];
        value[INPUT_MOUSE_DY] = v - value[INPUT_MOUSE_Y];
        break;
    case INPUT_CHAR:
    case INPUT_LAST_DOWN:
        break;
    default:
        // A change beyond the table's room is stored but not aged.
        if (changedCount < kMaxChanges) changed[changedCount++] = &value[code];
        break;
    }
    if (v == KEY_WENT_DOWN) value[INPUT_LAST_DOWN] = code;
    if (v == KEY_WENT_UP) value[INPUT_LAST_UP] = code;
    value[code] = v;
    return v;
}

void InputState::EndFrame() {
    value[INPUT_MOUSE_DX] = 0;
    value[INPUT_MOUSE_DY] = 0;
    value[INPUT_WHEEL] = 0;
    value[INPUT_CHAR] = 0;
    value[INPUT_LAST_DOWN] = 0;
    value[INPUT_LAST_UP] = 0;
    for (int i = 0; i < changedCount; ++i) {
        int& v = *changed[i];
        if (v == KEY_WENT_DOWN || v == KEY_DOUBLE_CLICK) v = KEY_HELD;
        else if (v == KEY_WENT_UP) v = KEY_UP;
    }
    changedCount = 0;
    // What had to wait comes now, in the order it arrived; a second edge of
    // the same code waits again for the frame after.
    Deferred waiting[kMaxDeferred];
    const int n = deferredCount;
    std::memcpy(waiting, deferred, sizeof(Deferred) * (size_t)n);
    deferredCount = 0;
    for (int i = 0; i < n; ++i) Post(waiting[i].code, waiting[i].value);
}

static bool IsEdge(int v) { return v == KEY_WENT_DOWN || v == KEY_WENT_UP || v == KEY_DOUBLE_CLICK; }

bool InputState::MustWait(int code, int v) const {
    // Whatever follows a waiting event of the same code waits behind it.
    for (int i = 0; i < deferredCount; ++i)
        if (deferred[i].code == code) return true;
    if (code == INPUT_CHAR) return v != 0 && value[INPUT_CHAR] != 0;
    // The axes and the frame's bookkeeping are plain values.
    if ((code >= INPUT_MOUSE_DX && code <= INPUT_WHEEL) || code == INPUT_LAST_DOWN || code == INPUT_LAST_UP)
        return false;
    // The last pressed code is one value too: a second key pressed within
    // the frame waits, so a reader of that code sees both.
    if (v == KEY_WENT_DOWN && value[INPUT_LAST_DOWN] != 0 && value[INPUT_LAST_DOWN] != code) return true;
    return IsEdge(v) && IsEdge(value[code]) && value[code] != v;
}

int InputState::Post(int code, int v) {
    if (code < 0 || code >= INPUT_TABLE_SIZE) return v;
    if (MustWait(code, v) && deferredCount < kMaxDeferred) {
        deferred[deferredCount].code = code;
        deferred[deferredCount].value = v;
        ++deferredCount;
        return v;
    }
    return Set(code, v);
}
