// "wedge": one wedge of the 2D wheel, a picture laid over the wheel's frames.
#pragma once
#include "controls_simple.h"

// A static picture whose clip the wheel drives: opening and idle show the
// first picture of its "idle" clip, still, at the renderer's default frame
// time (the wheel then sets its frame); every other state is ignored, so a
// closing wedge keeps showing what it shows. It never takes a state of its
// own: it always counts as closed, so it never holds up its container's
// closing and never catches the mouse.
class WedgeControl : public StaticControl {
public:
    WedgeControl();

protected:
    void ApplyState(int newState) override;
};
