// A helper the end-to-end tests run under Wine beside the game, to look at
// and poke its windows the way Windows sees them.
//
//   wintool find TITLE            prints "found <client w> <client h> <style hex> <exstyle hex>"
//   wintool close TITLE           posts WM_CLOSE to the top-level window
//   wintool box CAPTION           prints the text of an open message box and presses OK
// Each exits 0 on success, 1 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <cstring>

struct Search {
    const char* title;
    HWND found;
};

static BOOL CALLBACK FindTop(HWND w, LPARAM p) {
    Search* s = reinterpret_cast<Search*>(p);
    WCHAR wide[256];
    char text[256];
    if (!IsWindowVisible(w)) return TRUE;
    // Reads the title without sending a message: a busy window must not
    // hang the search.
    int n = InternalGetWindowText(w, wide, 256);
    WideCharToMultiByte(CP_ACP, 0, wide, n + 1, text, sizeof(text), nullptr, nullptr);
    text[sizeof(text) - 1] = 0;
    if (std::strcmp(text, s->title) == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

static HWND FindTopWindow(const char* title) {
    Search s = {title, nullptr};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: wintool find|close|box TITLE\n");
        return 2;
    }
    HWND w = FindTopWindow(argv[2]);
    if (!w) return 1;
    if (std::strcmp(argv[1], "find") == 0) {
        RECT r;
        GetClientRect(w, &r);
        std::printf("found %ld %ld %08lx %08lx\n", r.right - r.left, r.bottom - r.top,
                    (unsigned long)GetWindowLongA(w, GWL_STYLE), (unsigned long)GetWindowLongA(w, GWL_EXSTYLE));
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        return PostMessageA(w, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "box") == 0) {
        char text[1024] = "";
        GetDlgItemTextA(w, 0xFFFF, text, sizeof(text));  // the message text of a box
        std::printf("%s\n", text);
        std::fflush(stdout);
        PostMessageA(w, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 2;
}
