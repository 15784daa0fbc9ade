#include "lite_wheel_callbacks.h"

#include <cmath>
#include <cstdlib>

#include "autoplay.h"
#include "controls_simple.h"
#include "lite_controls.h"
#include "lite_spin_control.h"
#include "match_callbacks.h"
#include "model.h"
#include "model_instance.h"
#include "round_controller.h"

namespace {

const int kSectors = 72;
const float kSectorsPerSequence = 72.1f;  // a whole picture never reads as the next sector

// The wedge a test run asked the person's spin to stop on, or -1.
int g_testWedge = -1;

// The Lite's reference, or the game's own binding of the same control.
GuiControl* ZoomWheel() { return g_liteControls.zoomWheel ? g_liteControls.zoomWheel : g_round.controls.zoomWheel; }
TimerControl* CheckTimer() {
    return g_liteControls.roundCheckTimer ? g_liteControls.roundCheckTimer : g_round.controls.spinCheckTimer;
}
TimerControl* HoldTimer() {
    return g_liteControls.roundTimer ? g_liteControls.roundTimer : g_round.controls.zoomHoldTimer;
}
TimerControl* IdleTimer() { return g_liteControls.idleTimer ? g_liteControls.idleTimer : g_round.controls.idleTimer; }

// The picture a control shows and the length of its sequence (0 without one).
void PictureOf(const GuiControl* control, unsigned* frame, unsigned* frameCount) {
    const ModelInstance* sprite = control ? control->body : nullptr;
    *frame = 0;
    *frameCount = 0;
    if (!sprite || !sprite->clip) return;
    *frame = sprite->frame;
    *frameCount = sprite->clip->frameCount;
}

}  // namespace

// ---- Rules ----------------------------------------------------------------------

int LiteSeatSectorOffset(int seat) {
    switch (seat) {
    case 1: return 3;
    case 2: return 68;
    case 3: return 62;
    default: return 0;
    }
}

int LiteLandedSector(unsigned frame, unsigned frameCount, int seat) {
    int notch = 0;
    if (frameCount != 0) notch = (int)((float)frame / (float)frameCount * kSectorsPerSequence);
    int sector = (LiteSeatSectorOffset(seat) + notch) % kSectors;
    return sector < 0 ? sector + kSectors : sector;
}

float LiteSpinDistance(float gaugeFraction, int randomTerm) {
    double distance = SpinPowerFor(gaugeFraction, randomTerm);
    distance -= std::fmod(distance, 5.0) + 0.1;
    return (float)distance;
}

float LiteDistanceToWedge(float distance, unsigned startFrame, unsigned frameCount, int seat, int wedge) {
    if (frameCount == 0 || wedge < 0 || wedge >= kSectors / 3) return distance;
    // The picture of the wedge's middle sector, else any of the wedge's.
    int target = -1;
    for (unsigned k = 0; k < frameCount; ++k) {
        int sector = LiteLandedSector(k, frameCount, seat);
        if (sector / 3 != wedge) continue;
        if (target < 0 || (sector % 3 == 1 && LiteLandedSector((unsigned)target, frameCount, seat) % 3 != 1))
            target = (int)k;
    }
    if (target < 0) return distance;
    const double restAt = (target + 0.5) * 360.0 / frameCount;
    const double now = std::fmod((double)LiteWheelStartAngle(startFrame, frameCount) + distance, 360.0);
    return distance + (float)std::fmod(restAt - now + 720.0, 360.0);
}

// ---- Handlers ---------------------------------------------------------------------

namespace LiteCallbacks {

bool Spin(void*, const char*) {
    if (!SpinPressOpen()) return true;
    int wedge;
    g_testWedge = g_round.IsWheelRound() && NextTestWedge(&wedge) ? wedge : -1;
    RequestSpin(IdleTimer(), CheckTimer());
    return true;
}

bool Round_VerifTimer(void*, const char*) {
    RoundController& rc = g_round;
    unsigned frame, frameCount;
    PictureOf(LiteRoundGauge(), &frame, &frameCount);
    float distance = LiteSpinDistance(GaugeFraction(frame, frameCount), std::rand() % 101 - 50);
    if (g_testWedge >= 0) {
        GuiControl* zoom = ZoomWheel();
        PictureOf(zoom, &frame, &frameCount);
        distance = LiteDistanceToWedge(distance, frame, frameCount, rc.CurrentSeat(), g_testWedge);
        // The wedge is read when "OnEnd" comes, "min_degree" short of the end.
        if (NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(zoom))
            if (wheel->minDegree > 0.0f) distance += wheel->minDegree;
        g_testWedge = -1;
    }
    rc.spinPower = distance;
    LaunchSpin(CheckTimer());
    return true;
}

bool EndRotateZoomWheel(void*, const char*) {
    RoundController& rc = g_round;
    GuiControl* zoom = ZoomWheel();
    // The wheel rests on the picture the wedge is read from.
    if (NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(zoom)) wheel->remaining = 0.0f;
    unsigned frame, frameCount;
    PictureOf(zoom, &frame, &frameCount);
    LandOnSector(LiteLandedSector(frame, frameCount, rc.current ? rc.current->seat : 0));
    StopSpinSound();
    rc.StartTimer(HoldTimer());
    for (GuiControl* flapper : g_liteControls.flappers) rc.Ops().SetPictureMode(flapper, PICTURE_INACTIVE);
    return true;
}

bool ExitZoomWheel(void*, const char*) {
    g_round.StopTimer(HoldTimer());
    // The close-up goes with the zoom view: it would stay over the board,
    // and, still taking the pointer, it would keep presses from the wheels
    // under it (the bonus wheel's spin).
    if (GuiControl* zoom = ZoomWheel()) zoom->SetFlags(GUI_FLAG_NOT_DRAWN | GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    LeaveZoomView();
    return true;
}

bool HackStopZoomWheel(void*, const char*) {
    NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(ZoomWheel());
    // A wheel at rest is left so: its end would read a wedge no spin gave.
    if (wheel && wheel->IsSpinning()) wheel->remaining = 0.001f;
    return true;
}

bool HackRotateWheel(void*, const char*) {
    if (NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(ZoomWheel())) wheel->Rotate();
    return true;
}

}  // namespace LiteCallbacks
