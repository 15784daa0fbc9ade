#include "lite_screen_ops.h"

#include "sprite_avatar.h"

void LiteScreenOps::BindAvatar(GuiControl* avatar, PlayerProfile* profile) {
    if (SpriteAvatarControl* sprite = dynamic_cast<SpriteAvatarControl*>(avatar))
        sprite->SetContestant(profile);
    else
        GameScreenOps::BindAvatar(avatar, profile);
}

LiteScreenOps& LiteGameScreenOps() {
    static LiteScreenOps ops;
    return ops;
}
