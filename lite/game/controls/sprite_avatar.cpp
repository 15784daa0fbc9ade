#include "sprite_avatar.h"

#include <new>

#include "avatar_sprites.h"
#include "model.h"
#include "model_instance.h"
#include "profiles.h"
#include "round_controller.h"
#include "tinyxml.h"

namespace {

// The sprite of each state of the table: the set's animation and how it
// plays.
struct StateSprite {
    int state;
    int animation;
    int mode;
};

const StateSprite kStateSprites[] = {
    {AVATAR_STATE_IDLE, AVATAR_IDLE, PLAY_LOOP},
    {AVATAR_STATE_IDLE_SMALL, AVATAR_IDLE_SMALL, PLAY_LOOP},
    {AVATAR_STATE_IDLE_VERYSMALL, AVATAR_IDLE_VERYSMALL, PLAY_LOOP},
    {AVATAR_STATE_STILL, AVATAR_CLAP, PLAY_STILL},
    {AVATAR_STATE_CLAP, AVATAR_CLAP, PLAY_ONCE},
    {AVATAR_STATE_CLAP_LOOP, AVATAR_CLAP_LOOP, PLAY_LOOP},
    {AVATAR_STATE_CLAP_END, AVATAR_CLAP_END, PLAY_ONCE},
};

const StateSprite* SpriteForState(int state) {
    for (const StateSprite& s : kStateSprites)
        if (s.state == state) return &s;
    return nullptr;
}

// The avatar sprites play at ten pictures a second.
const float kAvatarSpriteSpeed = 10.0f;

// A copy of a set entry that shares its model and sheet and gives nothing
// back to the cache when it goes; it is started with PlayAnimation before
// it is drawn. A null entry gives no copy.
ModelInstance* CopySprite(const ModelInstance* source) {
    if (!source) return nullptr;
    ModelInstance* copy = new (std::nothrow) ModelInstance(nullptr, nullptr, nullptr);
    if (copy) copy->CopyFrom(source);
    return copy;
}

} // namespace

SpriteAvatarControl::SpriteAvatarControl()
    : sprite(nullptr), contestant(nullptr), animationIndex(kAvatarAtRest), home{0.0f, 0.0f, 0.0f},
      second{0.0f, 0.0f, 0.0f}, set(&g_avatarSprites) {}

SpriteAvatarControl::~SpriteAvatarControl() { FreeVisual(sprite); }

void SpriteAvatarControl::Load(TiXmlElement* element) {
    GuiControl::Load(element);
    home = position;
    if (element)
        if (const char* p = element->Attribute("pos2")) second.Parse(p);
}

void SpriteAvatarControl::ReleaseVisuals() { FreeVisual(sprite); }

void SpriteAvatarControl::ApplyState(int newState) {
    if (newState == GUI_STATE_OPENING) return;
    if (newState == GUI_STATE_CLOSING) {
        state = GUI_STATE_CLOSED;
        return;
    }
    if (!contestant) return;
    FreeVisual(sprite);
    if (const StateSprite* row = SpriteForState(newState)) {
        sprite = CopySprite(set ? AvatarSpriteFor(contestant, row->animation, *set) : nullptr);
        if (sprite) {
            sprite->PlayAnimation(kClipIdle, row->mode, kAvatarSpriteSpeed);
            Vector3 p = PlacedPosition();
            sprite->SetPosition(p.x, p.y, p.z);
        }
    }
    state = newState;
}

void SpriteAvatarControl::Draw() {
    if (sprite) sprite->Draw();
}

void SpriteAvatarControl::SetContestant(PlayerProfile* profile) {
    contestant = profile;
    if (!profile) FreeVisual(sprite);
}

void SpriteAvatarControl::Pause() {
    if (sprite) sprite->SetPlayMode(PLAY_STILL);
}

void SpriteAvatarControl::Resume() {
    if (!sprite) return;
    switch (state) {
    case AVATAR_STATE_IDLE:
    case AVATAR_STATE_IDLE_SMALL:
    case AVATAR_STATE_IDLE_VERYSMALL:
    case AVATAR_STATE_CLAP_LOOP: sprite->SetPlayMode(PLAY_LOOP); break;
    case AVATAR_STATE_STILL: sprite->SetPlayMode(PLAY_STILL); break;
    case AVATAR_STATE_CLAP:
    case AVATAR_STATE_CLAP_END: sprite->SetPlayMode(PLAY_ONCE); break;
    default: break;
    }
}

// ---- Animation indices --------------------------------------------------------------------

int AvatarStateForAnimation(int index) {
    switch (index) {
    case 0:
    case 13:
    case 14:
    case 18:
    case 19:
    case 24:
    case 31:
    case 32:
    case 33:
    case 36: return AVATAR_STATE_CLAP;
    case 2: return AVATAR_STATE_CLAP_LOOP;
    case 3: return AVATAR_STATE_CLAP_END;
    default: return AVATAR_STATE_STILL;
    }
}

SpriteAvatarControl* SpriteAvatarOf(const Contestant* contestant) {
    return contestant && contestant->IsPresent() ? dynamic_cast<SpriteAvatarControl*>(contestant->avatar) : nullptr;
}

void PlayAvatarAnimation(int index, Contestant* contestant) {
    SpriteAvatarControl* avatar = SpriteAvatarOf(contestant);
    if (!avatar) return;
    avatar->SetState(AvatarStateForAnimation(index));
    avatar->animationIndex = index;
}

int AvatarAnimationIndexOf(const Contestant* contestant) {
    const SpriteAvatarControl* avatar = SpriteAvatarOf(contestant);
    return avatar ? avatar->animationIndex : kAvatarAtRest;
}
