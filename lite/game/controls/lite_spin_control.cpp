#include "lite_spin_control.h"

#include <cmath>

#include "gui_group.h"
#include "lite_controls.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "round_controller.h"

namespace {

const float kNotchDegrees = 5.0f;
const float kBonusIdleRate = 20.0f;

// The picture shown and the length of its sequence; false without one.
bool PictureOf(const ModelInstance* sprite, unsigned* frame, unsigned* frameCount) {
    if (!sprite || !sprite->clip || sprite->clip->frameCount == 0) return false;
    *frame = sprite->frame;
    *frameCount = sprite->clip->frameCount;
    return true;
}

}  // namespace

float LiteWheelStartAngle(unsigned frame, unsigned frameCount) {
    if (frameCount == 0) return 0.0f;
    return (float)frame / (float)frameCount * kLiteWheelSequenceDegrees;
}

LiteSpinControl::LiteSpinControl() : spinDistance(0.0f) {}

bool LiteSpinControl::IsBonusWheel() const { return g_liteControls.bonusWheel == this; }
bool LiteSpinControl::IsZoomWheel() const { return g_liteControls.zoomWheel == this; }

void LiteSpinControl::ApplyState(int newState) {
    switch (newState) {
    case GUI_STATE_IDLE:
        PlayClip(body, kClipIdle, PLAY_STILL, IsBonusWheel() ? kBonusIdleRate : 0.0f);
        state = GUI_STATE_IDLE;
        break;
    case GUI_STATE_OPENING: SetState(GUI_STATE_IDLE); break;
    case GUI_STATE_CLOSING:
        // A closing screen's wheel stops at the picture it shows, without its end.
        remaining = 0.0f;
        endFired = 1;
        state = GUI_STATE_CLOSED;
        break;
    default: state = newState; break;
    }
}

void LiteSpinControl::StartSpin(float distance) {
    if (!std::isfinite(distance)) distance = 0.0f;
    nextClick = distance - kNotchDegrees;
    spinDistance = distance;
    endFired = 0;
    remaining = distance;
    velocity = distance * speedFactor;
    acceleration = velocity * accelFactor;
    jerk = acceleration * speedAccelFactor;
    float angle = 0.0f;
    unsigned frame = 0, frameCount = 0;
    if (PictureOf(body, &frame, &frameCount)) {
        // The bonus wheel's pictures repeat every 22.5 degrees: its angle
        // within one sequence is the picture's share of that.
        angle = IsBonusWheel() ? (float)frame / (float)frameCount * kBonusPeriod
                               : LiteWheelStartAngle(frame, frameCount);
    }
    rotation = Rotation{angle, {0.0f, 0.0f, 1.0f}};
}

void LiteSpinControl::Rotate() {
    if (!(remaining > 0.0f)) return;

    // One mark a frame; the wheel is heard only near its end.
    if (remaining < nextClick) {
        if (rodSound && remaining < kClickZone) g_round.PlayCue("WHEEL_CLICK", CUE_SOUND);
        nextClick -= kNotchDegrees;
    }

    float step = MotionStep();
    const float before = remaining;
    remaining -= step;
    if (remaining < 0.0f) step = before;  // the spin ends on its distance

    float angle = (float)std::fmod((double)rotation.angle + (double)step, 360.0);
    if (angle < 0.0f) angle += 360.0f;
    rotation = Rotation{angle, {0.0f, 0.0f, 1.0f}};
    ShowAngle();
    EndWhenDue();
}

void LiteSpinControl::ShowAngle() {
    if (!body) return;
    const float angle = rotation.angle;
    if (IsBonusWheel()) {
        body->SetFrameFraction((float)std::fmod((double)angle, (double)kBonusPeriod) / kBonusPeriod);
        return;
    }
    body->SetFrameFraction(angle / 360.0f);
    unsigned frame = 0, frameCount = 0;
    if (childGroup && PictureOf(body, &frame, &frameCount)) {
        // The overlays ride on the wheel: the same share of their own pictures.
        const float share = (float)frame / (float)frameCount;
        for (int i = 0; i < childGroup->controlCount; ++i) {
            GuiControl* overlay = childGroup->controls[i];
            if (overlay && overlay->body) overlay->body->SetFrameFraction(share);
        }
    }
    if (velocity > 0.0f) {
        for (GuiControl* flapper : g_liteControls.flappers)
            if (flapper && flapper->body) flapper->body->SetSpeed(velocity * kFlapperRate);
    }
}

void LiteSpinControl::MouseEnter() {
    if (GuiControl* gauge = LiteRoundGauge()) gauge->ClearFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

void LiteSpinControl::MouseLeave() {
    if (GuiControl* gauge = LiteRoundGauge()) gauge->SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
}

void LiteSpinControl::Pause() {
    if (!IsZoomWheel()) return;
    for (GuiControl* flapper : g_liteControls.flappers) g_round.Ops().SetPictureMode(flapper, PICTURE_INACTIVE);
}

void LiteSpinControl::Resume() {
    if (!IsZoomWheel() || !(remaining > 0.0f)) return;
    for (GuiControl* flapper : g_liteControls.flappers) g_round.Ops().SetPictureMode(flapper, PICTURE_ACTIVE);
}
