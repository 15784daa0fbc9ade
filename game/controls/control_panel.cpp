#include "control_panel.h"

#include "font_manager.h"
#include "input_state.h"
#include "model_instance.h"
#include "board.h"
#include "tinyxml.h"

namespace {

struct TileClip {
    const char* clip;
    int mode;
    float fps;
};

// Clips of states 4 to 14.
const TileClip kTileClips[] = {
    {"off", 1, 0.0f},    // 4
    {"on", 1, 20.0f},    // 5
    {"on", 1, 20.0f},    // 6
    {"on", 1, 2.0f},     // 7
    {"guess", 1, 0.0f},  // 8
    {"guess", 1, 2.0f},  // 9
    {"on", 1, 20.0f},    // 10
    {"solve", 4, 2.0f},  // 11
    {"solve", 4, 2.0f},  // 12
    {"on", 1, 20.0f},    // 13
    {"on", 1, 20.0f},    // 14
};

bool IsTypedLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? (unsigned char)(c - 'a' + 'A') : c; }

void TypingCue() { BoardRound().PlaySoundCue("UI_MENU_TYPING"); }

int LastKey() { return g_input.Get(INPUT_LAST_DOWN); }
void ClearLastKey() { g_input.Set(INPUT_LAST_DOWN, 0); }

// The character input moves into pendingChar.
void TakeCharacter() {
    pendingChar = (unsigned char)g_input.Get(INPUT_CHAR);
    g_input.Set(INPUT_CHAR, 0);
}

}  // namespace

void MoveTileCursor(BoardTile* t) {
    if (!t) return;
    t->SetState(t->state == TILE_SHOWN ? TILE_CURSOR_SHOWN : TILE_CURSOR_HIDDEN);
}

void LeaveHiddenTile(BoardTile* t) {
    if (!t) return;
    if (t->typedLetter == 0) t->SetState(TILE_HIDDEN);
    else t->SetState(t->typedLetter == t->letter ? TILE_TYPED_RIGHT : TILE_TYPED_WRONG);
}

NewPanelControl::NewPanelControl() : closedState(0), revealFont(nullptr), typingFont(nullptr) {
    DropLinks();
    letter = typedLetter = shownAtOnce = 0;
}

// The shared cursor never points at a tile that is gone.
NewPanelControl::~NewPanelControl() {
    if (solveCursor == this) solveCursor = nullptr;
}

void NewPanelControl::Load(TiXmlElement* element) {
    if (!element) return;
    revealFont = g_fontManager.GetFont(element->Attribute("font_reveal"));
    typingFont = g_fontManager.GetFont(element->Attribute("font_typing"));
}

void NewPanelControl::BuildVisuals() {
    next = nullptr;
    FreeVisual(body);
    body = CreateVisual("body", scale * aspect, scale, scale, false);
    Place();
    closedState = 0;
}

void NewPanelControl::ReleaseVisuals() {
    if (solveCursor == this) solveCursor = nullptr;
    // Reopened without a word from the round controller, the tile is dark.
    pendingState = TILE_OFF;
    FreeVisual(body);
}

void NewPanelControl::ApplyState(int s) {
    // A closed board always reopens dark.
    if (!IsOpen()) {
        pendingState = TILE_OFF;
        return;
    }
    if (solveCursor == this) solveCursor = nullptr;
    if (s == GUI_STATE_OPENING) {
        // The state taken on opening is never opening or closing itself,
        // which would only call back here.
        int target = pendingState;
        if (target == GUI_STATE_OPENING || target == GUI_STATE_CLOSING) target = TILE_OFF;
        SetState(target);
        return;
    }
    if (s == GUI_STATE_CLOSING) {
        // A second close keeps the look the tile had before the first.
        if (state != GUI_STATE_CLOSED) closedState = state;
        state = GUI_STATE_CLOSED;
        return;
    }
    if (s == TILE_HIGHLIGHTED) BoardRound().PlaySoundCue("CORRECT_LETTER");
    if (s == TILE_CURSOR_SHOWN || s == TILE_CURSOR_HIDDEN) solveCursor = this;
    if (s >= TILE_OFF && s <= TILE_TYPED_WRONG) {
        const TileClip& c = kTileClips[s - TILE_OFF];
        PlayClip(body, c.clip, c.mode, c.fps);
    }
    state = s;
}

void NewPanelControl::Update() {
    if (BoardRound().Paused()) return;
    switch (state) {
    case TILE_LIGHTING:
        if (!IsFinished(body)) return;
        SetState(shownAtOnce ? TILE_SHOWN : TILE_HIDDEN);
        if (next) next->SetState(TILE_LIGHTING);
        else BoardRound().BoardLit();
        return;
    case TILE_HIGHLIGHTING:
        if (!IsFinished(body)) return;
        SetState(TILE_HIGHLIGHTED);
        if (next) next->SetState(TILE_HIGHLIGHTING);
        else (back ? back : static_cast<BoardTile*>(this))->SetState(TILE_TURNING);  // a chain without a head turns itself
        return;
    case TILE_TURNING:
        if (!IsFinished(body)) return;
        SetState(TILE_SHOWN);
        if (next) next->SetState(TILE_TURNING);
        else BoardRound().OnLetterResult(1);
        return;
    case TILE_CURSOR_SHOWN: RunCursorOnShown(); return;
    case TILE_CURSOR_HIDDEN: RunCursorOnHidden(); return;
    default: return;
    }
}

// The cursor on a shown tile: arrows move it; any typed character steps on.
void NewPanelControl::RunCursorOnShown() {
    if (!solveLocked) {
        BoardTile* to = nullptr;
        bool move = false;
        switch (LastKey()) {
        case TILE_KEY_LEFT: TypingCue(); to = back; move = back != nullptr; break;
        case TILE_KEY_BACKSPACE: to = back; move = back != nullptr; break;
        case TILE_KEY_UP: TypingCue(); to = above; move = above != nullptr; break;
        case TILE_KEY_RIGHT: TypingCue(); to = next; move = next != nullptr; break;
        case TILE_KEY_DOWN: TypingCue(); to = below; move = below != nullptr; break;
        default: TakeCharacter(); break;
        }
        ClearLastKey();
        if (move) {
            SetState(TILE_SHOWN);
            MoveTileCursor(to);
        }
    }
    if (pendingChar != 0 && state == TILE_CURSOR_SHOWN) {
        pendingChar = 0;
        // Without a successor the cursor stays where it is.
        if (next) {
            SetState(TILE_SHOWN);
            MoveTileCursor(next);
        }
    }
}

// The cursor on a hidden tile: arrows move it, Backspace clears the tile
// and steps back, a letter is typed onto it.
void NewPanelControl::RunCursorOnHidden() {
    if (!solveLocked) {
        switch (LastKey()) {
        case TILE_KEY_LEFT:
            TypingCue();
            if (back) LeaveHiddenTile(this), MoveTileCursor(back);
            break;
        case TILE_KEY_BACKSPACE:
            TypingCue();
            if (back) {
                typedLetter = 0;
                SetState(TILE_HIDDEN);
                MoveTileCursor(back);
            }
            break;
        case TILE_KEY_UP:
            TypingCue();
            if (above) LeaveHiddenTile(this), MoveTileCursor(above);
            break;
        case TILE_KEY_RIGHT:
            TypingCue();
            if (next) LeaveHiddenTile(this), MoveTileCursor(next);
            break;
        case TILE_KEY_DOWN:
            TypingCue();
            if (below) LeaveHiddenTile(this), MoveTileCursor(below);
            break;
        default: TakeCharacter(); break;
        }
    }
    ClearLastKey();
    // A key above may have moved the cursor away: a character is typed only
    // on the tile that still holds it.
    if (state != TILE_CURSOR_HIDDEN) return;
    if (!IsTypedLetter(pendingChar)) {
        pendingChar = 0;  // digits and symbols are ignored
        return;
    }
    TypingCue();
    typedLetter = Upper(pendingChar);
    pendingChar = 0;
    SetState(typedLetter == letter ? TILE_TYPED_RIGHT : TILE_TYPED_WRONG);
    if (!BoardRound().EndSolutionReveal() && next) MoveTileCursor(next);
}

bool NewPanelControl::MouseOver() {
    if (BoardRound().Paused()) return true;
    Update();
    if (solveCursor && !solveLocked && state != TILE_OFF && GuiLeftPressed()) {
        BoardTile* cursor = solveCursor;
        if (cursor->state == TILE_CURSOR_SHOWN) cursor->SetState(TILE_SHOWN);
        else LeaveHiddenTile(cursor);
        MoveTileCursor(this);
    }
    return true;
}

void NewPanelControl::Draw() {
    DrawVisual(body);
    if (!body) return;
    int drawn = DrawnState();
    const Vector3& at = body->position;
    if ((drawn == TILE_SHOWN || drawn == TILE_CURSOR_SHOWN) && letter && revealFont)
        DrawGlyph(letter, at.x, at.y, at.z, revealFont);
    else if (drawn >= TILE_CURSOR_HIDDEN && drawn <= TILE_TYPED_WRONG && typedLetter && typingFont)
        DrawGlyph(typedLetter, at.x, at.y, at.z, typingFont);
}
