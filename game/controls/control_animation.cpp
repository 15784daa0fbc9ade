#include "control_animation.h"

#include <cmath>
#include <cstring>

#include "board.h"
#include "frame_timer.h"
#include "game_data.h"
#include "gui_callbacks.h"
#include "model_instance.h"
#include "profiles.h"
#include "renderer.h"
#include "sk_character.h"
#include "skin_device.h"
#include "strings.h"
#include "tinyxml.h"

FreeCamera* g_avatarFreeCamera = nullptr;
AvatarCamera* g_avatarCamera = nullptr;

void AvatarCamera::UpdateProjection(const Vector3& v) {
    projection = Matrix4::Identity();
    if (v.x == 0.0f || v.y == 0.0f || v.z == 0.0f) return;
    float* m = projection.m;
    m[0] = 2.0f / v.x;
    m[5] = 2.0f / v.y;
    m[10] = -1.0f / v.z;
    m[14] = 1.0f;
}

void AvatarCamera::Update() {
    view = Matrix4::Identity();
    if (!attached) return;
    Matrix4 placed;
    RigidMatrix(attached->position, attached->orientation, placed);
    // A rigid placement turns back by its transpose, then moves back.
    float* m = view.m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r * 4 + c] = placed.m[c * 4 + r];
    for (int c = 0; c < 3; ++c)
        m[12 + c] = -(placed.m[12] * m[c] + placed.m[13] * m[4 + c] + placed.m[14] * m[8 + c]);
}

int AvatarAnimationIndex(const char* name) {
    for (int i = 0; i < kAvatarAnimationCount; ++i)
        if (StringEquals(name, kAvatarAnimations[i])) return i;
    return -1;
}

namespace {

const int kIdleAfterReaction = 2;  // "avatar_idle_02"
const int kIdleOnBinding = 1;      // "avatar_idle_01"

SkAnimation* AvatarAnimation(int index) {
    if (index < 0 || index >= kAvatarAnimationCount) return nullptr;
    return static_cast<SkAnimation*>(g_skLibrary.Find(SK_ANIMATION, kAvatarAnimations[index]));
}

float FrameStep() {
    float dt = g_renderer.GetCappedFrameTime();
    return (dt > 0.0f && std::isfinite(dt)) ? dt : 0.0f;
}

// The clock and the cameras the avatars share, made when missing.
void MakeSharedScene() {
    if (!g_currentTimer) g_currentTimer = new FrameTimer();
    if (!g_avatarFreeCamera) g_avatarFreeCamera = new FreeCamera();
    if (!g_avatarCamera) {
        g_avatarCamera = new AvatarCamera();
        g_avatarCamera->attached = g_avatarFreeCamera;
        g_avatarCamera->UpdateProjection(g_renderer.viewSize);
        g_avatarCamera->Update();
    }
}

// Slots drawn face first, then hands, body, hair and what sits on the face.
const int kDrawOrder[kSkSlotCount] = {1, 2, 3, 0, 4, 5};

} // namespace

AnimationControl::AnimationControl()
    : contestant(nullptr), character(new SkCharacter()), drawn(false), hideOffset{0, 0, 0}, hideScale{1, 1, 1},
      hideRotation{0, {0, 0, 0}}, onAnimEnd(nullptr), pending(-1), delay(0.0f), force(false) {}

AnimationControl::~AnimationControl() {
    delete character;
    delete onAnimEnd;
    // The shared clock and cameras go with the avatars; the next one to
    // load makes them anew.
    delete g_avatarCamera;
    g_avatarCamera = nullptr;
    delete g_avatarFreeCamera;
    g_avatarFreeCamera = nullptr;
    delete g_currentTimer;
    g_currentTimer = nullptr;
}

void AnimationControl::Load(TiXmlElement* element) {
    MakeSharedScene();
    if (!element) return;
    if (const char* p = element->Attribute("hide_pos")) hideOffset.Parse(p);
    if (const char* s = element->Attribute("hide_scale")) hideScale.Parse(s);
    if (const char* r = element->Attribute("hide_rot")) hideRotation.Parse(r);
    ReplaceHandlers(onAnimEnd, element, "OnAnimEnd");
}

void AnimationControl::BuildVisuals() {
    FreeVisual(body);
    if (modelName) {
        body = CreateVisual("body", hideScale.x, hideScale.y, hideScale.z, false);
        Vector3 p = PlacedPosition();
        PlaceVisual(body, p.x + hideOffset.x, p.y + hideOffset.y, p.z + hideOffset.z);
        Rotation r = rotation;
        if (hideRotation.angle != 0.0f)
            r.Rotate(hideRotation.angle, hideRotation.axis.x, hideRotation.axis.y, hideRotation.axis.z);
        body->rotation = r;
        PlayClip(body, kClipIdle, PLAY_LOOP);
    }
    pending = -1;
    delay = 0.0f;
    force = false;
}

void AnimationControl::ReleaseVisuals() { FreeVisual(body); }

bool AnimationControl::SetContestant(PlayerProfile* profile) {
    contestant = profile;
    pending = -1;
    delay = 0.0f;
    force = false;
    drawn = profile != nullptr;
    if (profile) {
        g_gameData.EnsureCharacters();
        profile->appearance.ApplyTo(character);
        if (!character->animation) PlayAnimation(kIdleOnBinding, true, 0.0f);
    }
    return drawn;
}

void AnimationControl::SetPendingAnimation(int index, float seconds, bool forced) {
    if (!contestant || index < 0 || index >= kAvatarAnimationCount) return;
    if (pending != -1 && !forced) return;
    pending = index;
    delay = seconds;
    force = forced;
}

void AnimationControl::PlayAnimation(int index, bool loop, float blend) {
    SkAnimation* a = AvatarAnimation(index);
    // A character without this animation shows no reaction.
    if (!a || character->Play(a, loop ? 1 : 0, -1.0f, blend) != 0) return;
    pending = loop ? -1 : -2;
}

void AnimationControl::Update() {
    if (pending == -2) {
        if (character->finished || !character->animation) {
            PlayAnimation(kIdleAfterReaction, true, kAvatarBlend);
            // Without an idle to go back to, the last pose stands; the
            // avatar is free for the next reaction all the same.
            pending = -1;
        }
    } else if (pending >= 0) {
        delay -= FrameStep();
        if (delay < 0.0f && (force || character->mode == 1 || character->finished)) {
            int index = pending;
            pending = -1;
            PlayAnimation(index, false, kAvatarBlend);
        }
    }
}

void AnimationControl::Draw() {
    if (!drawn) return;
    DeviceBeginDepthScene();
    DrawVisual(body);
    DeviceRestoreAlphaTest();
    g_renderer.PushMatrix();
    Vector3 p = PlacedPosition();
    g_renderer.Translate(p.x, p.y, p.z);
    if (rotation.angle != 0.0f) g_renderer.Rotate(rotation.angle, rotation.axis.x, rotation.axis.y, rotation.axis.z);
    g_renderer.Scale(scale, scale, scale);
    DrawCharacter();
    g_renderer.PopMatrix();
    DeviceEndDepthScene();
}

void AnimationControl::DrawCharacter() {
    MakeSharedScene();
    g_currentTimer->Tick();
    g_avatarCamera->Update();
    if (!character) {
        g_renderer.SetGlobalAlpha(1.0f);
        return;
    }
    if (contestant) contestant->appearance.ApplyTo(character);
    const bool measuring = g_renderer.Measuring();
    const int64_t start = measuring ? g_renderer.Counter() : 0;
    character->Update(g_currentTimer->Elapsed());
    if (!character->skeleton) return;
    const int64_t skinned = measuring ? g_renderer.Counter() : 0;
    g_renderer.PushMatrix();
    g_renderer.Rotate(180.0f, 0.0f, 1.0f, 0.0f);
    for (int slot : kDrawOrder) {
        Skin* skin = character->slots[slot].skin;
        if (skin) DeviceDrawSkin(skin, static_cast<Texture*>(skin->texture));
    }
    g_renderer.PopMatrix();
    if (measuring) g_renderer.NoteAvatar(skinned - start, g_renderer.Counter() - skinned);
}

// ---- the round's avatar operations -------------------------------------------

void QueueAvatarReaction(GuiControl* avatar, const char* animation, float seconds, bool forced) {
    if (AnimationControl* a = dynamic_cast<AnimationControl*>(avatar))
        a->SetPendingAnimation(AvatarAnimationIndex(animation), seconds, forced);
}

void PlayAvatarNow(GuiControl* avatar, const char* animation, bool loop) {
    AnimationControl* a = dynamic_cast<AnimationControl*>(avatar);
    if (!a || !a->contestant) return;
    a->PlayAnimation(AvatarAnimationIndex(animation), loop, loop ? kAvatarBlend : kCharacterBlend);
}

void BindAvatarContestant(GuiControl* avatar, PlayerProfile* profile) {
    if (AnimationControl* a = dynamic_cast<AnimationControl*>(avatar)) a->SetContestant(profile);
}
