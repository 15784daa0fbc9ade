// "newpanel": one tile of the puzzle board. It shows the panel model, draws
// its character as one glyph, runs the lighting, highlight and turning
// sequences along the links the round controller sets, and handles the
// typing cursor of a solve attempt.
//   font_reveal  font of a shown character
//   font_typing  font of a letter typed during a solve attempt
#pragma once
#include "board.h"

struct Font;

// Input codes of the cursor keys.
enum TileKey {
    TILE_KEY_LEFT = 331,
    TILE_KEY_RIGHT = 333,
    TILE_KEY_UP = 328,
    TILE_KEY_DOWN = 336,
    TILE_KEY_BACKSPACE = 14
};

class NewPanelControl : public BoardTile {
public:
    NewPanelControl();
    ~NewPanelControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    void Draw() override;

    // The state drawn: closedState while the tile closes, else the state.
    int DrawnState() const { return closedState ? closedState : state; }

    int closedState;   // the state the tile had when it began to close
    Font* revealFont;  // not owned
    Font* typingFont;  // not owned

private:
    void RunCursorOnShown();
    void RunCursorOnHidden();

protected:
    void ApplyState(int newState) override;
};

// Puts the typing cursor on tile t: 11 on a shown tile, 12 on any other.
void MoveTileCursor(BoardTile* t);
// Takes the cursor off a hidden tile: 6 with nothing typed, 13 when the
// typed letter matches, 14 when it does not.
void LeaveHiddenTile(BoardTile* t);
