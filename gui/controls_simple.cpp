#include "controls_simple.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "developer.h"
#include "font_manager.h"
#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "input_state.h"
#include "model_instance.h"
#include "renderer.h"
#include "tinyxml.h"


static Font* LoadFont(TiXmlElement* element) { return g_fontManager.GetFont(element->Attribute("font")); }

static void DrawCentredText(const char* text, const Vector3& at, Font* font, float size) {
    g_fontManager.DrawString(text, at.x, at.y, at.z, font, TEXT_ALIGN_CENTER, size);
}

// ---- "static" -------------------------------------------------------------

StaticControl::StaticControl() : animSpeed(0.0f), onOpenEnd(nullptr), onCloseEnd(nullptr) {}

StaticControl::~StaticControl() {
    delete onOpenEnd;
    delete onCloseEnd;
}

void StaticControl::Load(TiXmlElement* element) {
    ReadFloatAttribute(element, "anim_speed", &animSpeed);
    ReplaceHandlers(onOpenEnd, element, "OnOpenEnd");
    ReplaceHandlers(onCloseEnd, element, "OnCloseEnd");
}

void StaticControl::BuildVisuals() { SetUpBody(true); }

void StaticControl::ReleaseVisuals() { FreeVisual(body); }

void StaticControl::ApplyState(int newState) {
    if (!IsOpen()) {
        pendingState = newState;
        return;
    }
    switch (newState) {
    case GUI_STATE_IDLE: PlayClip(body, kClipIdle, PLAY_LOOP, animSpeed); break;
    case GUI_STATE_OPENING: PlayClip(body, kClipOpen, PLAY_ONCE, animSpeed); break;
    case GUI_STATE_CLOSING: PlayClip(body, kClipClose, PLAY_ONCE, animSpeed); break;
    default: break;
    }
    state = newState;
}

void StaticControl::Update() {
    if (state == GUI_STATE_OPENING && IsFinished(body)) {
        SetState(GUI_STATE_IDLE);
        InvokeHandlers(onOpenEnd, this);
    } else if (state == GUI_STATE_CLOSING && IsFinished(body)) {
        SetState(GUI_STATE_CLOSED);
        InvokeHandlers(onCloseEnd, this);
    }
}

void StaticControl::Draw() { DrawVisual(body); }

// ---- "multielems" -----------------------------------------------------------

MultiElemsControl::MultiElemsControl() : elementCount(0), elements(nullptr), onOpenEnd(nullptr) {}

MultiElemsControl::~MultiElemsControl() {
    ReleaseVisuals();
    std::free(elements);
    delete onOpenEnd;
}

void MultiElemsControl::Load(TiXmlElement* element) {
    ReleaseVisuals();
    std::free(elements);
    elements = nullptr;
    elementCount = 0;
    int n = 0;
    ReadIntAttribute(element, "elements", &n);
    if (n < 0 || n > kMaxElements) {
        g_guiManager.SetError("Gui control: <%s> element count %i out of range (0 to %i)", name ? name : "", n,
                              kMaxElements);
        n = n < 0 ? 0 : kMaxElements;
    }
    if (n > 0) {
        elements = static_cast<ModelInstance**>(std::calloc((size_t)n, sizeof(ModelInstance*)));
        if (elements) elementCount = n;
    }
    ReplaceHandlers(onOpenEnd, element, "OnOpenEnd");
}

void MultiElemsControl::Place() {
    Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    for (int i = 0; i < elementCount; ++i) PlaceVisual(elements[i], p.x, p.y, p.z);
}

void MultiElemsControl::BuildVisuals() {
    ReleaseVisuals();
    float sx = scale * aspect;
    body = CreateVisual("body", sx, scale, scale, false);
    for (int i = 0; i < elementCount; ++i) {
        char part[32];
        std::snprintf(part, sizeof(part), "element_%i", i + 1);
        elements[i] = CreateVisual(part, sx, scale, scale, false);
    }
    Place();
}

void MultiElemsControl::ReleaseVisuals() {
    FreeVisual(body);
    for (int i = 0; i < elementCount; ++i) FreeVisual(elements[i]);
}

void MultiElemsControl::ApplyState(int newState) {
    const char* clip = nullptr;
    int mode = PLAY_ONCE;
    switch (newState) {
    case GUI_STATE_IDLE: clip = kClipIdle; mode = PLAY_LOOP; break;
    case GUI_STATE_OPENING: clip = kClipOpen; break;
    case GUI_STATE_CLOSING: clip = kClipClose; break;
    default: break;
    }
    if (clip) {
        PlayClip(body, clip, mode);
        for (int i = 0; i < elementCount; ++i) PlayClip(elements[i], clip, mode);
    }
    state = newState;
}

void MultiElemsControl::Update() {
    if (state == GUI_STATE_OPENING && IsFinished(body)) {
        SetState(GUI_STATE_IDLE);
        InvokeHandlers(onOpenEnd, this);
    } else if (state == GUI_STATE_CLOSING && IsFinished(body)) {
        SetState(GUI_STATE_CLOSED);
    }
}

void MultiElemsControl::Draw() {
    DrawVisual(body);
    for (int i = 0; i < elementCount; ++i) DrawVisual(elements[i]);
}

// ---- "key" ------------------------------------------------------------------

KeyControl::KeyControl() : code(0), onPress(nullptr), onRelease(nullptr), onActive(nullptr) {}

KeyControl::~KeyControl() {
    delete onPress;
    delete onRelease;
    delete onActive;
}

void KeyControl::Load(TiXmlElement* element) {
    code = 0;
    ReadIntAttribute(element, "value", &code);
    if (code < 0 || code >= INPUT_CODE_COUNT) {
        g_guiManager.SetError("Gui control: <%s> input code %i out of range (0 to %i)", name ? name : "", code,
                              INPUT_CODE_COUNT - 1);
        code = -1;  // never fires
    }
    ReplaceHandlers(onPress, element, "OnPress");
    ReplaceHandlers(onRelease, element, "OnRelease");
    ReplaceHandlers(onActive, element, "OnActive");
}

void KeyControl::Update() {
    if (state == GUI_STATE_CLOSED || code < 0) return;
    // Only the top of the window stack listens to the keyboard.
    if (!owner || owner != g_guiManager.GetCurrentWindow()) return;
    int keyState = g_input.Get(code);
    if (keyState == KEY_UP) return;
    InvokeHandlers(onActive, this);
    if (keyState == KEY_WENT_DOWN) InvokeHandlers(onPress, this);
    else if (keyState == KEY_WENT_UP) InvokeHandlers(onRelease, this);
}

// ---- "timer" ----------------------------------------------------------------

TimerControl::TimerControl()
    : timeLeft(0.0f), startTime(0.0f), showBelow(0.0f), autoStart(true), font(nullptr), onEnd(nullptr) {}

TimerControl::~TimerControl() { delete onEnd; }

void TimerControl::Load(TiXmlElement* element) {
    ReadFloatAttribute(element, "value", &startTime);
    ReadFloatAttribute(element, "show", &showBelow);
    const char* automatic = element->Attribute("auto");
    autoStart = !(automatic && std::strcmp(automatic, "false") == 0);
    font = LoadFont(element);
    ReplaceHandlers(onEnd, element, "OnEnd");
}

void TimerControl::BuildVisuals() {
    if (autoStart) {
        timeLeft = startTime;
        SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    }
    Place();
}

void TimerControl::ReleaseVisuals() { timeLeft = 0.0f; }

void TimerControl::ApplyState(int newState) {
    if (newState == GUI_STATE_CLOSING) timeLeft = 0.0f;
    GuiControl::ApplyState(newState);
}

void TimerControl::Update() {
    if (!(timeLeft > 0.0f)) return;
    if (timeLeft < showBelow) ClearFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    timeLeft -= g_renderer.GetCappedFrameTime();
    if (timeLeft <= 0.0f) {
        timeLeft = 0.0f;
        SetFlags(GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
        InvokeHandlers(onEnd, this);
    }
}

void TimerControl::Draw() {
    if (!font || !(timeLeft > 0.0f)) return;
    char text[32];
    std::snprintf(text, sizeof(text), "%i", (int)(timeLeft + 0.99f));
    DrawCentredText(text, PlacedPosition(), font, scale);
}

// ---- "fps" ------------------------------------------------------------------

FpsControl::FpsControl()
    : font(nullptr), smoothed(0.0f), response(1.0f), shortest(1.0f), longest(0.0f) {}

void FpsControl::Load(TiXmlElement* element) {
    font = LoadFont(element);
    ReadFloatAttribute(element, "response", &response);
    shortest = 1.0f;
    longest = 0.0f;
}

void FpsControl::Update() {
    float frameTime = g_renderer.frameTime;
    // A frame that took no measurable time has no rate.
    if (frameTime > 0.0f) smoothed = (1.0f - response) * smoothed + response / frameTime;
    if (frameTime > longest) longest = frameTime;
    if (frameTime < shortest) shortest = frameTime;
}

void FpsControl::Draw() {
    // A developer's aid: a player's game shows no frame rate.
    if (!font || !DeveloperMode()) return;
    char text[160];
    // The label's first word names the device (Renderer::FrameRateFormat).
    std::snprintf(text, sizeof(text), g_renderer.FrameRateFormat(), smoothed, g_renderer.frameTime * 1000.0f, shortest * 1000.0f,
                  longest * 1000.0f);
    DrawCentredText(text, PlacedPosition(), font, 1.0f);
}
