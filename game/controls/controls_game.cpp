#include "controls_game.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "input_state.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "round_controller.h"
#include "sound_system.h"
#include "strings.h"
#include "tinyxml.h"

namespace {

// The capped frame time, with anything not a positive number read as 0.
float FrameStep() {
    float dt = g_renderer.GetCappedFrameTime();
    return (dt > 0.0f && std::isfinite(dt)) ? dt : 0.0f;
}

bool HasClip(const ModelInstance* visual, const char* clip) {
    return visual && visual->model && visual->model->FindClip(clip);
}

bool Closing(const GuiControl* c) { return c->state == GUI_STATE_CLOSING || c->state == GUI_STATE_CLOSED; }

}  // namespace

GuiControl* CreateGameKindControl(const char* n) {
    if (!n) return nullptr;
    if (std::strcmp(n, "picture") == 0) return new PictureControl();
    if (std::strcmp(n, "clone") == 0) return new CloneControl();
    if (std::strcmp(n, "trophy") == 0) return new TrophyControl();
    if (std::strcmp(n, "fade") == 0) return new FadeControl();
    if (std::strcmp(n, "bkwheel") == 0) return new BkWheelControl();
    if (std::strcmp(n, "gui_letter") == 0) return new GuiLetterControl();
    if (std::strcmp(n, "power_meter") == 0) return new PowerMeterControl();
    if (std::strcmp(n, "sound_trigger") == 0) return new SoundTriggerControl();
    return nullptr;
}

// ---- "picture" ------------------------------------------------------------------

PictureControl::PictureControl()
    : onPress(nullptr), onHoverStart(nullptr), onHoverEnd(nullptr), fontName(nullptr), horizontal(1),
      vertical(1), spacing(1.0f), mode(0) {}

PictureControl::~PictureControl() {
    delete onPress;
    delete onHoverStart;
    delete onHoverEnd;
    std::free(fontName);
}

void PictureControl::Load(TiXmlElement* element) {
    if (!element) return;
    if (const char* f = element->Attribute("font")) SetString(fontName, f);
    ReadFloatAttribute(element, "spacing", &spacing);
    int v;
    if (ReadIntAttribute(element, "horizontal", &v)) horizontal = (unsigned char)v;
    if (ReadIntAttribute(element, "vertical", &v)) vertical = (unsigned char)v;
    ReplaceHandlers(onPress, element, "OnPress");
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void PictureControl::BuildVisuals() { SetUpBody(false); }
void PictureControl::ReleaseVisuals() { FreeVisual(body); }

void PictureControl::ApplyState(int s) {
    switch (s) {
    case GUI_STATE_IDLE:
    case GUI_STATE_OPENING: {
        const char* clip = mode == 1 ? "active" : mode == 2 ? kClipInactive : kClipIdle;
        PlayClip(body, clip, PLAY_LOOP, clipSpeed);
        state = GUI_STATE_IDLE;
        break;
    }
    case GUI_STATE_CLOSING: state = GUI_STATE_CLOSED; break;
    case 4:
        PlayClip(body, (mode == 2 && HasClip(body, "hover_inactive")) ? "hover_inactive" : kClipHover, PLAY_LOOP,
                 clipSpeed);
        state = 4;
        break;
    default: state = s; break;
    }
}

void PictureControl::SetMode(int m) {
    mode = m;
    if (IsOpen()) SetState(GUI_STATE_IDLE);
}

bool PictureControl::MouseOver() {
    if (GuiLeftPressed()) InvokeHandlers(onPress, this);
    return true;
}

void PictureControl::MouseEnter() {
    if (Closing(this)) return;
    SetState(4);
    InvokeHandlers(onHoverStart, this);
}

void PictureControl::MouseLeave() {
    if (Closing(this)) return;
    SetState(GUI_STATE_IDLE);
    InvokeHandlers(onHoverEnd, this);
}

void PictureControl::Draw() { DrawVisual(body); }

// ---- "clone" --------------------------------------------------------------------

CloneControl::CloneControl() : source(nullptr), backFaces(0), drawing(0) {}

void CloneControl::Load(TiXmlElement* element) {
    if (!element) return;
    // A clone of itself would draw itself without end.
    GuiControl* s = g_guiManager.FindControl(element->Attribute("source"));
    source = s == this ? nullptr : s;
    const char* b = element->Attribute("back_faces");
    backFaces = (b && std::strcmp(b, "true") == 0) ? 1 : 0;
}

void CloneControl::Draw() {
    const unsigned hidden = GUI_FLAG_NOT_LISTED | GUI_FLAG_HIDDEN;
    // drawing: a source (or its children) leading back to this clone is
    // drawn once, not again and again.
    if (!source || source == this || drawing || source->HasFlags(hidden)) return;
    drawing = 1;
    // A mirrored copy turns its faces the other way round.
    if (backFaces) g_renderer.SetCullMode(kCullCounterClockwise);
    g_renderer.PushMatrix();
    Vector3 p = PlacedPosition();
    g_renderer.Translate(p.x, p.y, p.z);
    g_renderer.Rotate(rotation.angle, rotation.axis.x, rotation.axis.y, rotation.axis.z);
    g_renderer.Scale(scale, scale, scale);
    DrawSource();
    g_renderer.PopMatrix();
    if (backFaces) g_renderer.SetCullMode(kCullClockwise);
    drawing = 0;
}

void CloneControl::DrawSource() {
    const unsigned hidden = GUI_FLAG_NOT_LISTED | GUI_FLAG_HIDDEN;
    source->Draw();
    if (GuiGroup* g = source->childGroup) {
        for (int i = 0; i < g->controlCount; ++i) {
            GuiControl* c = g->controls[i];
            if (c && c != this && !c->HasFlags(hidden)) c->Draw();
        }
    }
}

// ---- "trophy" -------------------------------------------------------------------

TrophyControl::TrophyControl() : onSelect(nullptr), onIdle(nullptr), dist{0.0f, 0.0f, 0.0f}, mode(1) {}

TrophyControl::~TrophyControl() {
    delete onSelect;
    delete onIdle;
}

void TrophyControl::Load(TiXmlElement* element) {
    if (!element) return;
    if (const char* d = element->Attribute("dist")) {
        float v[3] = {0.0f, 0.0f, 0.0f};
        std::sscanf(d, "%f,%f,%f", &v[0], &v[1], &v[2]);
        for (float& f : v)
            if (!std::isfinite(f)) f = 0.0f;
        dist = Vector3{v[0], v[1], v[2]};
    }
    ReplaceHandlers(onSelect, element, "OnSelect");
    ReplaceHandlers(onIdle, element, "OnIdle");
}

void TrophyControl::BuildVisuals() { SetUpBody(false); }
void TrophyControl::ReleaseVisuals() { FreeVisual(body); }

void TrophyControl::ApplyState(int s) {
    switch (s) {
    case GUI_STATE_IDLE:
    case GUI_STATE_OPENING:
        PlayClip(body, mode == 0 ? kClipIdle : kClipInactive, PLAY_ONCE);
        state = GUI_STATE_IDLE;
        break;
    case GUI_STATE_CLOSING: state = GUI_STATE_CLOSED; break;
    default: state = s; break;
    }
}

void TrophyControl::SetMode(int m) {
    mode = m;
    if (IsOpen()) SetState(GUI_STATE_IDLE);
}

void TrophyControl::MouseEnter() { InvokeHandlers(onSelect, this); }

// The window closing under the pointer takes the hover away from a trophy
// already closed: it stays closed, or the window would never finish closing.
void TrophyControl::MouseLeave() {
    if (!Closing(this)) SetState(GUI_STATE_IDLE);
    InvokeHandlers(onIdle, this);
}

void TrophyControl::Draw() {
    if (body && body->model) DrawVisual(body);
}

// ---- "fade" ---------------------------------------------------------------------

FadeControl::FadeControl()
    : progress(1.0f), startAlpha(0.0f), endAlpha(1.0f), time(1.0f), trigger(FADE_ON_OPEN), onEnd(nullptr) {}

FadeControl::~FadeControl() { delete onEnd; }

void FadeControl::Load(TiXmlElement* element) {
    if (!element) return;
    ReadFloatAttribute(element, "start", &startAlpha);
    ReadFloatAttribute(element, "end", &endAlpha);
    ReadFloatAttribute(element, "time", &time);
    if (!std::isfinite(startAlpha)) startAlpha = 0.0f;
    if (!std::isfinite(endAlpha)) endAlpha = 1.0f;
    if (!std::isfinite(time)) time = 1.0f;
    const char* t = element->Attribute("trigger");
    if (t && std::strcmp(t, "close") == 0) trigger = FADE_ON_CLOSE;
    else trigger = FADE_ON_OPEN;
    ReplaceHandlers(onEnd, element, "OnEnd");
}

void FadeControl::BuildVisuals() { progress = 1.0f; }

void FadeControl::ApplyState(int s) {
    if (s == GUI_STATE_OPENING) state = trigger == FADE_ON_OPEN ? GUI_STATE_OPENING : GUI_STATE_IDLE;
    else if (s == GUI_STATE_CLOSING) state = trigger == FADE_ON_CLOSE ? GUI_STATE_CLOSING : GUI_STATE_CLOSED;
    else state = s;
}

void FadeControl::Draw() {
    if (state != trigger) return;
    g_renderer.SetGlobalAlpha(startAlpha + (endAlpha - startAlpha) * (1.0f - progress));
    // A time of zero or less ends the fade on its first frame (no division
    // by zero, no progress that never falls).
    if (time > 0.0f) progress -= FrameStep() / time;
    else progress = -1.0f;
    if (progress < 0.0f) {
        state = trigger == FADE_ON_OPEN ? GUI_STATE_IDLE : GUI_STATE_CLOSED;
        InvokeHandlers(onEnd, this);
    }
}

// ---- "bkwheel" ------------------------------------------------------------------

BkWheelControl::BkWheelControl() : rotSpeed(0.0f) {}

void BkWheelControl::Load(TiXmlElement* element) {
    if (!element) return;
    ReadFloatAttribute(element, "rot_speed", &rotSpeed);
    if (!std::isfinite(rotSpeed)) rotSpeed = 0.0f;
}

void BkWheelControl::BuildVisuals() { SetUpBody(true); }
void BkWheelControl::ReleaseVisuals() { FreeVisual(body); }

void BkWheelControl::ApplyState(int s) {
    switch (s) {
    case GUI_STATE_IDLE:
    case GUI_STATE_OPENING:
        PlayClip(body, kClipIdle, PLAY_STILL);
        state = GUI_STATE_IDLE;
        break;
    case GUI_STATE_CLOSING: state = GUI_STATE_CLOSED; break;
    default: state = s; break;
    }
}

void BkWheelControl::Update() {
    if (state != GUI_STATE_IDLE || !body) return;
    const float step = rotSpeed * FrameStep();
    if (step != 0.0f && std::isfinite(step)) body->rotation.Rotate(step, 0.0f, 0.0f, 1.0f);
}

void BkWheelControl::Draw() { DrawVisual(body); }

// ---- "gui_letter" ---------------------------------------------------------------

GuiLetterControl::GuiLetterControl() : onPress(nullptr), letter(0) {}

GuiLetterControl::~GuiLetterControl() { delete onPress; }

void GuiLetterControl::Load(TiXmlElement* element) {
    if (!element) return;
    // The attribute is required; without it the key matches no typing.
    const char* l = element->Attribute("letter");
    letter = (l && l[0]) ? (unsigned char)std::toupper((unsigned char)l[0]) : 0;
    ReplaceHandlers(onPress, element, "OnPress");
}

void GuiLetterControl::BuildVisuals() { SetUpBody(false); }
void GuiLetterControl::ReleaseVisuals() { FreeVisual(body); }

void GuiLetterControl::ApplyState(int s) {
    if (!IsOpen()) {
        pendingState = s;
        return;
    }
    switch (s) {
    case GUI_STATE_IDLE:
        ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE_ONLY);
        PlayClip(body, kClipIdle, PLAY_LOOP);
        state = s;
        break;
    case GUI_STATE_OPENING:
        // An opening pending state would come straight back here.
        SetState(pendingState == GUI_STATE_OPENING ? GUI_STATE_IDLE : pendingState);
        break;
    case GUI_STATE_CLOSING: state = GUI_STATE_CLOSED; break;
    case LETTER_HOVER:
        ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE_ONLY);
        PlayClip(body, kClipHover, PLAY_LOOP);
        state = s;
        break;
    case LETTER_CHOSEN:
        SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE_ONLY);
        PlayClip(body, "chosen", PLAY_LOOP);
        state = s;
        break;
    case LETTER_INACTIVE:
        SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE_ONLY);
        PlayClip(body, kClipInactive, PLAY_LOOP);
        state = s;
        break;
    default: state = s; break;
    }
}

void GuiLetterControl::Update() {
    if (g_round.paused || solveLocked) return;
    if (g_round.state == STATE_END_OF_MATCH || g_round.state == STATE_REVEAL_BONUS_LETTER ||
        g_round.state == STATE_END_OF_TURN)
        return;
    // A chosen or inactive key takes no typing either.
    if (state == LETTER_CHOSEN || state == LETTER_INACTIVE || !letter) return;
    // Nor does a key under a window: the letter typed there answers the
    // window (Y or N), it calls nothing on the board below.
    if (owner && owner != g_guiManager.GetCurrentWindow()) return;
    const int typed = g_input.Get(INPUT_CHAR);
    if (typed > 0 && typed < 256 && std::toupper(typed) == letter) InvokeHandlers(onPress, this);
}

bool GuiLetterControl::MouseOver() {
    if (solveLocked) return true;
    Update();
    if (state == LETTER_CHOSEN || state == LETTER_INACTIVE) return true;
    if (GuiLeftPressed()) {
        g_input.Set(INPUT_MOUSE_LEFT, KEY_HELD);
        InvokeHandlers(onPress, this);
    }
    return true;
}

void GuiLetterControl::MouseEnter() {
    if (state == GUI_STATE_CLOSED) return;
    const bool vowel = letter && std::strchr("AEIOU", letter);
    g_round.PlayCue(vowel ? "GAME_VWL_LET_ON" : "GAME_CONS_LET_ON");
    SetState(LETTER_HOVER);
}

void GuiLetterControl::MouseLeave() {
    if (state == LETTER_HOVER) SetState(GUI_STATE_IDLE);
}

void GuiLetterControl::Draw() { DrawVisual(body); }

// ---- "power_meter" --------------------------------------------------------------

void PowerMeterControl::Update() {
    StaticControl::Update();
    // No body, no clip or a clip of no frames: no needle to follow.
    if (!body || !body->clip || body->clip->frameCount == 0) return;
    const float p = (float)body->frame / (float)body->clip->frameCount;
    if (state == GUI_STATE_IDLE) {
        state = p > 0.5f ? 5 : 4;
    } else if (state == 4) {
        if (p > 0.5f) {
            g_round.PlayCue("GAME_PWR_MTR_DOWN");
            state = 5;
        }
    } else if (state == 5) {
        if (p < 0.5f) {
            g_round.PlayCue("GAME_PWR_MTR_UP");
            state = 4;
        }
    }
}

// ---- "sound_trigger" ------------------------------------------------------------

SoundTriggerControl::SoundTriggerControl() : watched(nullptr), onEnd(nullptr) {}

SoundTriggerControl::~SoundTriggerControl() { delete onEnd; }

void SoundTriggerControl::Load(TiXmlElement* element) {
    if (element) ReplaceHandlers(onEnd, element, "OnEnd");
}

void SoundTriggerControl::Update() {
    if (!watched) return;
    // Only an instance the sound system still holds is read: a freed one
    // counts as ended without being touched.
    SoundInstance* probe = watched;
    if (!g_soundSystem.IsPlaying(probe) || watched->GetState() == SOUND_FINISHED) {
        watched = nullptr;
        InvokeHandlers(onEnd, this);
    }
}
