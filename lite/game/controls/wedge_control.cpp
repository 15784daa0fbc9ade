#include "wedge_control.h"

#include "model_instance.h"

WedgeControl::WedgeControl() { state = GUI_STATE_CLOSED; }

void WedgeControl::ApplyState(int newState) {
    if (newState == GUI_STATE_IDLE || newState == GUI_STATE_OPENING) PlayClip(body, kClipIdle, PLAY_STILL, 0.0f);
}
