// The Lite's screen operations: the game's, except that an avatar is bound
// to its contestant on the Lite's sprite avatar.
#pragma once
#include "screen_ops.h"

class LiteScreenOps : public GameScreenOps {
public:
    void BindAvatar(GuiControl* avatar, PlayerProfile* profile) override;
    // A named animation on a sprite avatar (the menus' figures) shows the
    // state its game index maps to, as the round's reactions do.
    void PlayAvatarAnimation(GuiControl* avatar, const char* animation, bool loop) override;
    // The Lite's wheel turns in its close-up: starting the zoom wheel brings
    // the close-up (its view and its picture) up first.
    void StartWheel(GuiControl* wheel, float power) override;
};

// The Lite's one set, for the round controller once the Lite has set it.
LiteScreenOps& LiteGameScreenOps();
