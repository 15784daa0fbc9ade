#include "lite_screen_ops.h"

#include "control_animation.h"
#include "gui_group.h"
#include "lite_controls.h"
#include "round_controller.h"
#include "sprite_avatar.h"

void LiteScreenOps::BindAvatar(GuiControl* avatar, PlayerProfile* profile) {
    if (SpriteAvatarControl* sprite = dynamic_cast<SpriteAvatarControl*>(avatar))
        sprite->SetContestant(profile);
    else
        GameScreenOps::BindAvatar(avatar, profile);
}

void LiteScreenOps::PlayAvatarAnimation(GuiControl* avatar, const char* animation, bool loop) {
    SpriteAvatarControl* sprite = dynamic_cast<SpriteAvatarControl*>(avatar);
    if (!sprite) {
        GameScreenOps::PlayAvatarAnimation(avatar, animation, loop);
        return;
    }
    const int index = AvatarAnimationIndex(animation);
    if (index < 0 || !sprite->contestant) return;
    sprite->SetState(AvatarStateForAnimation(index));
    sprite->animationIndex = index;
}

void LiteScreenOps::StartWheel(GuiControl* wheel, float power) {
    if (wheel && wheel == g_liteControls.zoomWheel) {
        if (GuiGroup* view = g_round.controls.zoomView) view->ClearFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
        wheel->ClearFlags(GUI_FLAG_NOT_DRAWN | GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    }
    GameScreenOps::StartWheel(wheel, power);
}

LiteScreenOps& LiteGameScreenOps() {
    static LiteScreenOps ops;
    return ops;
}
