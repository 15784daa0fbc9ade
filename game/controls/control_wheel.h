// The prize wheel of the game screen (control kind "newspin"). A spin
// travels a given distance in degrees at a speed that starts in proportion
// to the distance and changes by an acceleration and a jerk; a click sounds
// at each 5-degree notch that passes the pointer, the pointer flappers swing
// as the pegs pass, and "OnEnd" runs once when the distance left falls to
// "min_degree". The control knows nothing of wedge values: it only turns.
//
// Geometry shared with the end-of-spin callbacks: 24 wedges of 15 degrees,
// three notches of 5 degrees each (72 notches), notch boundaries at a phase
// of 2.4 degrees. See WheelNotchAt and WheelWedgeAt.
#pragma once
#include "gui_control.h"

class GuiGroup;
class GuiHandlerList;

// Notch under the pointer (0..71) for a signed wheel angle in degrees.
int WheelNotchAt(float signedAngle);
// Wedge under the pointer (0..23).
inline int WheelWedgeAt(float signedAngle) { return WheelNotchAt(signedAngle) / 3; }

class NewSpinControl : public GuiControl {
public:
    static const int kMaxArrows = 3;
    static const float kArrowOffsets[kMaxArrows];  // 0.5, 2.4, -1.1

    NewSpinControl();
    ~NewSpinControl() override;

    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    // Starts a spin of that many degrees. A distance that is not positive
    // (or not finite) leaves the wheel at rest.
    virtual void StartSpin(float distance);
    // One frame of turning.
    virtual void Rotate();
    // Turns the wheel at once by angle degrees about (0, 0, 1): the rotation,
    // the body and the controls of the child group. Nothing else changes.
    void TurnBy(float angleDegrees);

    // axis z x angle.
    float SignedAngle() const { return rotation.axis.z * rotation.angle; }
    bool IsSpinning() const { return remaining > 0.0f; }

    // ---- Fields (after the base's) ------------------------------------------
    // The wheel's own turn (it hides the base's "rot", which the body starts
    // from and which stays reachable as GuiControl::rotation): angle 0 about
    // (0, 0, 1) at first, accumulating every turn.
    Rotation rotation;
    float velocity;          // degrees per second
    float acceleration;      // degrees per second squared
    float jerk;              // degrees per second cubed
    float remaining;         // degrees still to travel
    GuiGroup* arrows;        // not owned
    unsigned char endFired;
    float minDegree;
    float nextClick;
    unsigned char rodSound;
    float speedFactor;
    float accelFactor;
    float speedAccelFactor;
    GuiHandlerList* onPress;
    GuiHandlerList* onEnd;

protected:
    // The end of a frame of turning: a spin that has lost its speed for good
    // short of its distance ends where it stands, and "OnEnd" runs once
    // when the distance left is down to "min_degree" (or to nothing).
    void EndWhenDue();
    // This frame's turn in degrees (never below 0); moves the speed, its
    // change and the change of that on by the frame.
    float MotionStep();

private:
    // Turns the rotation, the body and the child group's controls.
    void TurnAll(float angleDegrees);
    void SwingArrows();

protected:
    void ApplyState(int newState) override;
};
