// The Lite's own variants of the game's small control kinds: what the 2D
// screen cannot do (turn, scale, fade the whole picture) they do their own
// way; everything else is the game's kind as it is.
#pragma once
#include "controls_game.h"

// A "picture" whose clips play at its "anim_speed" (0 when absent: the
// renderer's default rate).
class LitePictureControl : public PictureControl {
public:
    void Load(TiXmlElement* element) override;
};

// A "clone" draws its source at the clone's place (moved, never turned or
// scaled) and upside down: the reflection under a picture.
class LiteCloneControl : public CloneControl {
public:
    void Draw() override;
};

// A "fade" counts its progress down over "time" seconds while its state is
// its trigger, then ends as the game's fade does; the 2D screen has no
// global alpha, so nothing is faded and no "OnEnd" runs.
class LiteFadeControl : public FadeControl {
public:
    void Load(TiXmlElement* element) override;
    void Draw() override;
};
