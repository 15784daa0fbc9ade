// The "animation" control kind: a contestant's 3D avatar, a skeletal
// character dressed from the bound contestant's appearance, playing its
// idles and the reactions the round queues on it.
//
// In a GUI document: "pos" is where the character's feet stand (view
// units; z its depth among the controls), "scale" the view units per metre
// of character (a contestant is about 1.85 m tall, so 0.6 shows one a
// little over half the screen's height), "rot" turns it (it faces the
// viewer unturned). "model" and "texture" add a body drawn with it (a
// pedestal, say), which "hide_pos", "hide_scale" and "hide_rot" move,
// scale and turn; "OnAnimEnd" is kept. Nothing is drawn until a
// contestant is bound.
#pragma once
#include "gui_control.h"

class GuiHandlerList;
class PlayerProfile;
class SkCharacter;

// The avatars' studio camera: a free camera that can be moved and turned,
// and the camera attached to it, which looks from the free camera's place
// through the renderer's orthographic view. The avatars share one of each,
// made with the shared clock by the first avatar to load and ended with it;
// the cameras follow the free camera at every drawn frame. The avatars
// themselves draw in the renderer's view, which the camera reproduces from
// where it stands.
struct FreeCamera {
    Vector3 position = {0.0f, 0.0f, 0.0f};
    Quaternion orientation = {0.0f, 0.0f, 0.0f, 1.0f};
};

struct AvatarCamera {
    const FreeCamera* attached = nullptr;
    Matrix4 view = Matrix4::Identity();        // the inverse of the free camera's placement
    Matrix4 projection = Matrix4::Identity();  // the renderer's orthographic view

    // The renderer's view of width x height x depth units (none while any is 0).
    void UpdateProjection(const Vector3& viewSize);
    // The view from where the attached free camera stands now.
    void Update();
};

extern FreeCamera* g_avatarFreeCamera;
extern AvatarCamera* g_avatarCamera;

// Seconds over which a contestant's avatar fades into a new animation.
const float kAvatarBlend = 0.5f;
// The cross-fade of a character playing straight away.
const float kCharacterBlend = 0.2f;

// The index of an avatar animation name (kAvatarAnimations), or -1.
int AvatarAnimationIndex(const char* name);

class AnimationControl : public GuiControl {
public:
    AnimationControl();
    ~AnimationControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    // Binds a contestant (null unbinds); true when one is bound.
    bool SetContestant(PlayerProfile* profile);
    PlayerProfile* Contestant() const { return contestant; }
    // A reaction to play once after delay seconds. Only with a contestant;
    // one pending or playing is replaced only when force is set.
    void SetPendingAnimation(int index, float delay, bool force);
    // Plays avatar animation index at once, looped or once, fading over
    // blend seconds. A once-played animation goes back to the idle when it
    // ends.
    void PlayAnimation(int index, bool loop, float blend);
    // Dresses, advances and draws the character at the current matrix.
    void DrawCharacter();

    PlayerProfile* contestant;  // not owned
    SkCharacter* character;     // owned
    bool drawn;
    Vector3 hideOffset;
    Vector3 hideScale;
    Rotation hideRotation;
    GuiHandlerList* onAnimEnd;
    int pending;  // animation index; -1 none, -2 playing one
    float delay;
    bool force;
};

// The avatar operations of the round, for any control (nothing unless it
// is an "animation" control).
void QueueAvatarReaction(GuiControl* avatar, const char* animation, float delay, bool force);
void PlayAvatarNow(GuiControl* avatar, const char* animation, bool loop);
void BindAvatarContestant(GuiControl* avatar, PlayerProfile* profile);
