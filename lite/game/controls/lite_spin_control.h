// The Lite's prize wheel (control kind "newspin"): the motion of the full
// wheel (distance, speed, acceleration, jerk, the clicks, "OnEnd" at
// "min_degree") shown as pictures of a sprite instead of a turning model.
//
// The zoom wheel's pictures cover one whole turn (72 of them, or a
// multiple, so that a picture is a notch); the bonus wheel's cover 22.5
// degrees, repeated 16 times a turn. Which of the two a wheel is, it learns
// by comparing itself with the Lite's bound references (g_liteControls).
// The angle lives only in the picture between spins: each spin starts from
// the angle of the picture shown.
#pragma once
#include "control_wheel.h"

// Degrees of the start angle per whole picture sequence: a spin starts at
// frame / frameCount x this.
const float kLiteWheelSequenceDegrees = 355.0001f;
// The angle a spin of a wheel showing that picture starts from; 0 for a
// sprite of no frames.
float LiteWheelStartAngle(unsigned frame, unsigned frameCount);

class LiteSpinControl : public NewSpinControl {
public:
    static const int kFlappers = 3;
    static constexpr float kBonusPeriod = 22.5f;    // degrees a bonus sequence covers
    static constexpr float kClickZone = 90.0f;      // the clicks sound only this close to the end
    static constexpr float kFlapperRate = 0.3f;     // flapper pictures a second per degree a second

    LiteSpinControl();

    // From the angle of the picture shown. A distance that is not finite
    // is no spin.
    void StartSpin(float distance) override;
    // One frame: the click (only in the last 90 degrees), the step (cut to
    // the distance left, never backwards), the pictures, the end.
    void Rotate() override;

    // The mouse over the wheel shows the round's gauge, the one the spin
    // reads (LiteRoundGauge): the bonus wheel the bonus gauge.
    void MouseEnter() override;
    void MouseLeave() override;

    // The zoom wheel's flapper pictures stop (mode 2) while the round is
    // paused, and take up again (mode 1) on resume while the wheel still
    // has a way to go; the bonus wheel has none.
    void Pause();
    void Resume();

    bool IsBonusWheel() const;
    bool IsZoomWheel() const;

    float spinDistance;  // of the last spin

private:
    // The pictures for the current angle.
    void ShowAngle();

protected:
    // Idle (and opening) shows the first picture of "idle", still: the
    // bonus wheel at 20 pictures a second, the zoom wheel at the renderer's
    // default rate; closing stores closed; any other state is stored.
    void ApplyState(int newState) override;
};
