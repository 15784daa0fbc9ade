#include "lite_kinds.h"

#include <cmath>

#include "gui_callbacks.h"
#include "gui_group.h"
#include "renderer.h"
#include "tinyxml.h"

void LitePictureControl::Load(TiXmlElement* element) {
    PictureControl::Load(element);
    if (!element) return;
    float speed = 0.0f;
    ReadFloatAttribute(element, "anim_speed", &speed);
    clipSpeed = (std::isfinite(speed) && speed > 0.0f && speed <= 1000.0f) ? speed : 0.0f;
}

void LiteCloneControl::Draw() {
    const unsigned hidden = GUI_FLAG_NOT_LISTED | GUI_FLAG_HIDDEN;
    if (!source || source == this || drawing || source->HasFlags(hidden)) return;
    drawing = 1;
    const bool wasMirrored = g_renderer.mirrorRows;
    g_renderer.mirrorRows = !wasMirrored;
    g_renderer.PushMatrix();
    Vector3 p = PlacedPosition();
    g_renderer.Translate(p.x, p.y, p.z);
    DrawSource();
    g_renderer.PopMatrix();
    g_renderer.mirrorRows = wasMirrored;
    drawing = 0;
}

void LiteFadeControl::Load(TiXmlElement* element) {
    FadeControl::Load(element);
    delete onEnd;
    onEnd = nullptr;
}

void LiteFadeControl::Draw() {
    if (state != trigger) return;
    float dt = g_renderer.GetCappedFrameTime();
    if (!(dt > 0.0f) || !std::isfinite(dt)) dt = 0.0f;
    if (time > 0.0f) progress -= dt / time;
    else progress = 0.0f;
    if (progress <= 0.0f) {
        progress = 0.0f;
        state = trigger == FADE_ON_OPEN ? GUI_STATE_IDLE : GUI_STATE_CLOSED;
    }
}
