// The Lite's "animation" control: a contestant's avatar as a flat sprite,
// one of the avatar sprite set's sequences chosen by a small state table,
// and the game's animation indices that the reactions ask for mapped onto
// those states.
//
// In a GUI document: "pos" is where the sprite stands, "pos2" a second
// place that is kept (nothing moves the avatar there). Nothing is drawn
// until a contestant is bound and a state of the table is set.
#pragma once
#include "gui_control.h"

class ModelInstance;
class PlayerProfile;
struct AvatarSpriteSet;
struct Contestant;

// Avatar states that have a sprite.
enum SpriteAvatarState {
    AVATAR_STATE_IDLE = 0,            // the idle, looped
    AVATAR_STATE_IDLE_SMALL = 4,
    AVATAR_STATE_IDLE_VERYSMALL = 5,
    AVATAR_STATE_STILL = 6,           // the clap's first picture, held
    AVATAR_STATE_CLAP = 7,            // one clap
    AVATAR_STATE_CLAP_LOOP = 8,
    AVATAR_STATE_CLAP_END = 9
};

// The game's animation index that means "at rest".
const int kAvatarAtRest = 9;

class SpriteAvatarControl : public GuiControl {
public:
    SpriteAvatarControl();
    ~SpriteAvatarControl() override;
    void Load(TiXmlElement* element) override;
    void ReleaseVisuals() override;
    void Update() override {}
    bool MouseOver() override { return true; }
    bool CapturedInput() override { return true; }
    void Draw() override;

    // Binds a contestant (null also drops the sprite: nothing is drawn).
    void SetContestant(PlayerProfile* profile);
    PlayerProfile* BoundContestant() const { return contestant; }
    // Holds the sprite where it stands; Resume plays it on as its state
    // plays. Both do nothing without a sprite.
    void Pause();
    void Resume();

    ModelInstance* sprite;        // owned: a copy of a set entry, or null
    PlayerProfile* contestant;    // not owned
    int animationIndex;           // the game index last played; 9 at rest
    Vector3 home;                 // where it was loaded
    Vector3 second;               // "pos2"
    const AvatarSpriteSet* set;   // the set its sprites are copied from

protected:
    // 1: nothing; 2: counts as closed and keeps its picture; any other
    // state with a contestant bound makes a fresh sprite for the states of
    // the table (none for the others) and is stored.
    void ApplyState(int newState) override;
};

// The avatar state that shows a game animation index: one clap for the
// cheers (0, 13, 14, 18, 19, 24, 31, 32, 33, 36), the clap loop for 2, its
// end for 3, the still pose for every other index.
int AvatarStateForAnimation(int index);

// The sprite avatar a contestant drives, or null (no contestant, no avatar,
// or an avatar of another kind).
SpriteAvatarControl* SpriteAvatarOf(const Contestant* contestant);

// Plays a game animation index on the contestant's avatar: its state by
// the mapping, then the index is kept for the at-rest test.
void PlayAvatarAnimation(int index, Contestant* contestant);

// The animation index the contestant's avatar last played; at rest when it
// has no sprite avatar.
int AvatarAnimationIndexOf(const Contestant* contestant);
