#include "control_wheel.h"

#include <cmath>
#include <cstring>

#include "game_data.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "model_instance.h"
#include "renderer.h"
#include "round_controller.h"
#include "sound_system.h"
#include "tinyxml.h"

const float NewSpinControl::kArrowOffsets[NewSpinControl::kMaxArrows] = {0.5f, 2.4f, -1.1f};

static const float kNotchDegrees = 5.0f;
static const float kNotchPhase = 2.4f;
static const int kNotchCount = 72;

int WheelNotchAt(float signedAngle) {
    double a = std::fmod(720.0 - (double)signedAngle - kNotchPhase, 360.0);
    if (a < 0.0) a += 360.0;
    int notch = (int)a / (int)kNotchDegrees;
    if (notch < 0) notch = 0;
    if (notch >= kNotchCount) notch = kNotchCount - 1;
    return notch;
}

NewSpinControl::NewSpinControl()
    : rotation{0.0f, {0.0f, 0.0f, 1.0f}},
      velocity(0.0f),
      acceleration(0.0f),
      jerk(0.0f),
      remaining(0.0f),
      arrows(nullptr),
      endFired(0),
      minDegree(0.0f),
      nextClick(0.0f),
      rodSound(0),
      speedFactor(0.0f),
      accelFactor(0.0f),
      speedAccelFactor(0.0f),
      onPress(nullptr),
      onEnd(nullptr) {}

NewSpinControl::~NewSpinControl() {
    delete onPress;
    onPress = nullptr;
    delete onEnd;
    onEnd = nullptr;
}

void NewSpinControl::Load(TiXmlElement* element) {
    if (!element) return;
    ReadFloatAttribute(element, "min_degree", &minDegree);
    arrows = g_guiManager.FindGroup(element->Attribute("arrows"));
    const char* rod = element->Attribute("rod_snd");
    rodSound = (rod && std::strcmp(rod, "TRUE") == 0) ? 1 : 0;
    ReadFloatAttribute(element, "speed", &speedFactor);
    ReadFloatAttribute(element, "accel", &accelFactor);
    ReadFloatAttribute(element, "speed_accel", &speedAccelFactor);
    ReplaceHandlers(onEnd, element, "OnEnd");
    ReplaceHandlers(onPress, element, "OnPress");
}

void NewSpinControl::BuildVisuals() {
    // Body of part "body" with the texture, scaled, at position + offset,
    // turned by the control's "rot".
    SetUpBody(true);
    rotation = Rotation{0.0f, {0.0f, 0.0f, 1.0f}};
    remaining = 0.0f;
}

void NewSpinControl::ReleaseVisuals() {
    FreeVisual(body);
    endFired = 0;
}

void NewSpinControl::ApplyState(int newState) {
    switch (newState) {
    case GUI_STATE_IDLE:
        PlayClip(body, kClipIdle, 1);
        state = GUI_STATE_IDLE;
        break;
    case GUI_STATE_OPENING: SetState(GUI_STATE_IDLE); break;
    case GUI_STATE_CLOSING:
        // A closing screen's wheel stops where it is, without its end.
        remaining = 0.0f;
        endFired = 1;
        state = GUI_STATE_CLOSED;
        break;
    default: state = newState; break;
    }
}

void NewSpinControl::Update() {
    if (g_round.paused) return;
    Rotate();
}

bool NewSpinControl::MouseOver() {
    if (g_round.paused) return true;
    Update();
    if (GuiLeftPressed()) InvokeHandlers(onPress, this);
    return true;
}

// The gauge shown is the round's, the one the spin reads: the bonus wheel
// shows the bonus gauge.
void NewSpinControl::MouseEnter() {
    if (GuiControl* gauge = g_round.GaugeInUse()) gauge->ClearFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

void NewSpinControl::MouseLeave() {
    if (GuiControl* gauge = g_round.GaugeInUse()) gauge->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

void NewSpinControl::Draw() {
    if (!body) return;
    // The wheel's own geometry needs depth testing; the rest of the GUI
    // draws without it.
    g_renderer.BeginDepthPass();
    DrawVisual(body);
    g_renderer.EndDepthPass();
}

void NewSpinControl::StartSpin(float distance) {
    endFired = 0;
    // A distance that is not a finite number would leave the wheel spinning
    // without end (or its sums undefined): such a spin is no spin.
    if (!std::isfinite(distance)) distance = 0.0f;
    remaining = distance;
    nextClick = distance - (float)std::fmod((double)SignedAngle() + 360.0 + kNotchPhase, (double)kNotchDegrees);
    velocity = distance * speedFactor;
    acceleration = velocity * accelFactor;
    jerk = acceleration * speedAccelFactor;
}

void NewSpinControl::TurnAll(float angleDegrees) {
    rotation.Rotate(angleDegrees, 0.0f, 0.0f, 1.0f);
    if (body) body->rotation.Rotate(angleDegrees, 0.0f, 0.0f, 1.0f);
    if (!childGroup) return;
    for (int i = 0; i < childGroup->controlCount; ++i) {
        GuiControl* c = childGroup->controls[i];
        if (!c) continue;
        c->rotation.Rotate(angleDegrees, 0.0f, 0.0f, 1.0f);
        if (c->body) c->body->rotation.Rotate(angleDegrees, 0.0f, 0.0f, 1.0f);
    }
}

void NewSpinControl::TurnBy(float angleDegrees) {
    if (!std::isfinite(angleDegrees)) return;
    TurnAll(angleDegrees);
}

void NewSpinControl::SwingArrows() {
    if (!arrows) return;
    const float angle = SignedAngle();
    for (int i = 0; i < arrows->controlCount && i < kMaxArrows; ++i) {
        GuiControl* flapper = arrows->controls[i];
        if (!flapper || !flapper->body) continue;
        float flap = (float)std::fmod(720.0 - (double)angle - (double)kArrowOffsets[i], (double)kNotchDegrees) * 12.0f;
        Rotation r{flap, {0.0f, 0.0f, 1.0f}};
        r.Rotate(flapper->rotation.angle, flapper->rotation.axis.x, flapper->rotation.axis.y,
                 flapper->rotation.axis.z);
        flapper->body->rotation = r;
    }
}

void NewSpinControl::Rotate() {
    if (!(remaining > 0.0f)) return;

    // One click a frame at most; nextClick catches up 5 degrees a frame.
    if (remaining < nextClick) {
        if (rodSound) g_soundSystem.Play("WHEEL_CLICK", g_gameData.settings.Get(CUE_SOUND), 0);
        nextClick -= kNotchDegrees;
    }

    const float step = MotionStep();

    if (step > 0.0f) {
        TurnAll(-step);
        SwingArrows();
        remaining -= step;
    }
    EndWhenDue();
}

float NewSpinControl::MotionStep() {
    // A frame time of zero, below zero or not a number moves nothing; a long
    // frame moves by one capped step only.
    float dt = g_renderer.GetCappedFrameTime();
    if (!(dt > 0.0f)) dt = 0.0f;
    float step = dt * velocity;
    velocity += dt * acceleration;
    acceleration += dt * jerk;
    // The wheel never turns backwards (remaining would only grow): a speed
    // that has decayed below zero has brought it to a stop, and no negative
    // rate reaches a picture.
    if (!(step > 0.0f)) step = 0.0f;
    if (!(velocity > 0.0f)) velocity = 0.0f;
    return step;
}

void NewSpinControl::EndWhenDue() {
    // Stopped for good short of the distance (no speed left and nothing to
    // raise it again) while having had speed: the spin ends here, so the
    // round is not left waiting for a wheel that never arrives.
    if (remaining > 0.0f && velocity <= 0.0f && acceleration < 0.0f && jerk <= 0.0f) remaining = 0.0f;

    // "OnEnd" also fires when the spin ends above a negative "min_degree".
    if (!endFired && (remaining <= minDegree || remaining <= 0.0f)) {
        endFired = 1;
        InvokeHandlers(onEnd, this);
    }
}
