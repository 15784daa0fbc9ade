#include "controls_button.h"

#include <cstring>

#include "gui_callbacks.h"
#include "gui_group.h"
#include "model_instance.h"
#include "tinyxml.h"

// ---- "button" and "radiobut" ------------------------------------------------

HoverControl::HoverControl()
    : highlight(nullptr), highlightScale{1.0f, 1.0f, 1.0f}, onHoverStart(nullptr), onHoverEnd(nullptr) {}

// The kinds free their visuals, the highlight among them.
HoverControl::~HoverControl() {
    delete onHoverStart;
    delete onHoverEnd;
}

void HoverControl::LoadHoverHandlers(TiXmlElement* element) {
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void HoverControl::Place() {
    Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    PlaceVisual(highlight, p.x, p.y, p.z);
}

void HoverControl::CreateHighlight() {
    highlight = CreateVisual("highlight", highlightScale.x * scale * aspect, highlightScale.y * scale,
                             highlightScale.z * scale, false);
}

void HoverControl::PlayStateClips(int newState, ModelInstance* follower) {
    const char* clip;
    int mode = PLAY_ONCE;
    bool hover = false;
    switch (newState) {
    case GUI_STATE_IDLE:
        clip = kClipIdle;
        mode = PLAY_LOOP;
        break;
    case GUI_STATE_OPENING: clip = kClipOpen; break;
    case GUI_STATE_CLOSING: clip = kClipClose; break;
    case GUI_STATE_INACTIVE:
        clip = kClipInactive;
        mode = PLAY_LOOP;
        break;
    case GUI_STATE_HOVER_START:
        clip = kClipHoverStart;
        hover = true;
        break;
    case GUI_STATE_HOVER:
        clip = kClipHover;
        mode = PLAY_LOOP;
        hover = true;
        break;
    case GUI_STATE_HOVER_END:
        clip = kClipHoverEnd;
        hover = true;
        break;
    default: return;
    }
    PlayClip(body, clip, mode);
    if (hover) {
        PlayClip(highlight, clip, mode);
    } else {
        PlayClip(follower, clip, mode);
        ClearClip(highlight);
    }
}

void HoverControl::Update() {
    if (state == GUI_STATE_OPENING && IsFinished(body)) SetState(pendingState);
    else if (state == GUI_STATE_CLOSING && IsFinished(body)) SetState(GUI_STATE_CLOSED);
    else if (state == GUI_STATE_HOVER_END && IsFinished(body) && IsFinished(highlight)) SetState(GUI_STATE_IDLE);
}

bool HoverControl::StepHover() {
    switch (state) {
    case GUI_STATE_IDLE:
    case GUI_STATE_HOVER_END:
        // A press that comes with the pointer's arrival counts: a tap moves
        // and presses at once.
        SetState(GUI_STATE_HOVER_START);
        return true;
    case GUI_STATE_HOVER_START:
        if (IsFinished(highlight)) SetState(GUI_STATE_HOVER);
        return true;
    case GUI_STATE_HOVER:
        return true;
    default:
        return false;
    }
}

void HoverControl::MouseLeave() {
    if (state == GUI_STATE_CLOSING || state == GUI_STATE_CLOSED) {
        ClearClip(highlight);
        return;
    }
    if (state != GUI_STATE_INACTIVE) SetState(GUI_STATE_HOVER_END);
    InvokeHandlers(onHoverEnd, this);
}

void HoverControl::MouseEnter() { InvokeHandlers(onHoverStart, this); }

// ---- "button" ---------------------------------------------------------------

ButtonControl::ButtonControl() : extra(nullptr), onPress(nullptr) {}

ButtonControl::~ButtonControl() {
    ButtonControl::ReleaseVisuals();
    delete onPress;
}

void ButtonControl::Load(TiXmlElement* element) {
    highlightScale.Parse(element->Attribute("highlight"));
    ReplaceHandlers(onPress, element, "OnPress");
    LoadHoverHandlers(element);
}

void ButtonControl::Place() {
    HoverControl::Place();
    Vector3 p = PlacedPosition();
    PlaceVisual(extra, p.x, p.y, p.z);
}

void ButtonControl::BuildVisuals() {
    ReleaseVisuals();
    SetUpBody(false);
    CreateHighlight();
    extra = CreateVisual("extra", scale * aspect, scale, scale, true);
    Place();
}

void ButtonControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(highlight);
    FreeVisual(extra);
}

void ButtonControl::ApplyState(int newState) {
    if (!IsOpen()) {
        pendingState = newState;
        return;
    }
    PlayStateClips(newState, extra);  // closed and pressed play nothing
    state = newState;
}

bool ButtonControl::MouseOver() {
    if (!StepHover()) return true;
    if (GuiLeftPressed()) {
        SetState(GUI_STATE_SELECTED);
        return false;  // take the capture; it fires on release
    }
    return true;
}

bool ButtonControl::CapturedInput() {
    // Moving off the button cancels the click.
    if (!IsMouseOver()) return false;
    if (GuiLeftReleased()) {
        InvokeHandlers(onPress, this);
        return false;
    }
    return true;
}

void ButtonControl::Draw() {
    DrawVisual(extra);
    DrawVisual(highlight);
    DrawVisual(body);
}

void ButtonControl::SetEnabled(bool enabled) {
    if (enabled) {
        SetState(GUI_STATE_IDLE);
        ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    } else {
        SetState(GUI_STATE_INACTIVE);
        SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    }
}

// ---- "check" ----------------------------------------------------------------

CheckControl::CheckControl()
    : checked(false), mark(nullptr), onCheck(nullptr), onHoverStart(nullptr), onHoverEnd(nullptr) {}

CheckControl::~CheckControl() {
    CheckControl::ReleaseVisuals();
    delete onCheck;
    delete onHoverStart;
    delete onHoverEnd;
}

void CheckControl::Load(TiXmlElement* element) {
    ReplaceHandlers(onCheck, element, "OnCheck");
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void CheckControl::Place() {
    Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    PlaceVisual(mark, p.x, p.y, p.z);
}

void CheckControl::BuildVisuals() {
    ReleaseVisuals();
    // The check box keeps its square: no aspect.
    body = CreateVisual("body", scale, scale, scale, true);
    mark = CreateVisual("mark", scale, scale, scale, true);
    Place();
}

void CheckControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(mark);
}

void CheckControl::ApplyState(int newState) {
    switch (newState) {
    case GUI_STATE_IDLE:
        PlayClip(body, kClipIdle, PLAY_LOOP);
        ClearClip(mark);
        break;
    case GUI_STATE_OPENING:
        PlayClip(body, kClipOpen, PLAY_ONCE);
        if (checked) PlayClip(mark, kClipOpen, PLAY_ONCE);
        break;
    case GUI_STATE_CLOSING:
        PlayClip(body, kClipClose, PLAY_ONCE);
        if (checked) PlayClip(mark, kClipClose, PLAY_ONCE);
        break;
    case GUI_STATE_CHECK_HOVER:
        PlayClip(body, kClipHover, PLAY_LOOP);
        ClearClip(mark);
        break;
    case GUI_STATE_CHECKED:
        PlayClip(body, kClipCheck, PLAY_LOOP);
        PlayClip(mark, kClipCheck, PLAY_ONCE);
        break;
    default: break;
    }
    state = newState;
}

void CheckControl::Update() {
    if (state == GUI_STATE_OPENING && IsFinished(body)) SetState(checked ? GUI_STATE_CHECKED : GUI_STATE_IDLE);
    else if (state == GUI_STATE_CLOSING && IsFinished(body)) SetState(GUI_STATE_CLOSED);
}

bool CheckControl::MouseOver() {
    Update();  // a hovered control is not updated by its container
    if (!checked && state != GUI_STATE_CHECK_HOVER) SetState(GUI_STATE_CHECK_HOVER);
    if (GuiLeftPressed()) {
        checked = !checked;
        if (IsOpen()) SetState(checked ? GUI_STATE_CHECKED : GUI_STATE_IDLE);
        InvokeHandlers(onCheck, this);
    }
    return true;  // never takes the capture
}

void CheckControl::MouseLeave() {
    // A check box that is closing keeps closing: turning it back to idle
    // would keep its container from ever counting as closed.
    if (state == GUI_STATE_CLOSING || state == GUI_STATE_CLOSED) return;
    if (!checked) SetState(GUI_STATE_IDLE);
    InvokeHandlers(onHoverEnd, this);
}

void CheckControl::MouseEnter() { InvokeHandlers(onHoverStart, this); }

void CheckControl::Draw() {
    DrawVisual(body);
    DrawVisual(mark);
}

void CheckControl::SetChecked(bool on) {
    checked = on;
    if (IsOpen()) SetState(on ? GUI_STATE_CHECKED : GUI_STATE_IDLE);
}

// ---- "radiobut" -------------------------------------------------------------

RadioButtonControl::RadioButtonControl() : onSelect(nullptr) {}

RadioButtonControl::~RadioButtonControl() {
    FreeVisual(body);
    FreeVisual(highlight);
    delete onSelect;
}

void RadioButtonControl::Load(TiXmlElement* element) {
    highlightScale.Parse(element->Attribute("highlight"));
    members.Clear();
    const char* classPrefix = element->Attribute("class");
    if (classPrefix && owner) {
        size_t n = std::strlen(classPrefix);
        for (int i = 0; i < owner->controlCount; ++i) {
            GuiControl* c = owner->controls[i];
            if (c == this || !c->name || std::strncmp(c->name, classPrefix, n) != 0) continue;
            // Only radio buttons take part in a class: any other kind named
            // alike would be driven as one.
            RadioButtonControl* member = dynamic_cast<RadioButtonControl*>(c);
            if (member) members.Append(member);
        }
    }
    ReplaceHandlers(onSelect, element, "OnSelect");
    LoadHoverHandlers(element);
}

void RadioButtonControl::BuildVisuals() {
    FreeVisual(highlight);
    SetUpBody(false);
    CreateHighlight();
    Place();
}

void RadioButtonControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(highlight);
    ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
}

void RadioButtonControl::ApplyState(int newState) {
    if (!IsOpen()) {
        pendingState = newState;
        return;
    }
    if (newState == GUI_STATE_SELECTED) {
        PlayClip(body, kClipSelect, PLAY_LOOP);
        ClearClip(highlight);
    } else {
        PlayStateClips(newState, nullptr);
    }
    state = newState;
}

bool RadioButtonControl::MouseOver() {
    if (!StepHover()) return true;
    if (GuiLeftPressed()) {
        Select(true);
        InvokeHandlers(onSelect, this);
    }
    return true;  // selecting needs no capture
}

void RadioButtonControl::MouseLeave() {
    if (state == GUI_STATE_SELECTED) {
        ClearClip(highlight);
        return;
    }
    HoverControl::MouseLeave();
}

void RadioButtonControl::Draw() {
    DrawVisual(body);
    DrawVisual(highlight);
}

void RadioButtonControl::Select(bool selected) {
    if (!selected) {
        SetState(GUI_STATE_IDLE);
        ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
        return;
    }
    SetState(GUI_STATE_SELECTED);
    SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    for (unsigned i = 0; i < members.Count(); ++i) {
        RadioButtonControl** m = members.At(i);
        if (m && *m && (*m)->state != GUI_STATE_INACTIVE) (*m)->Select(false);
    }
}

int RadioButtonControl::GetSelected() {
    if (state == GUI_STATE_SELECTED) return 0;
    for (unsigned i = 0; i < members.Count(); ++i) {
        RadioButtonControl** m = members.At(i);
        if (m && *m && (*m)->state == GUI_STATE_SELECTED) return (int)i + 1;
    }
    return -1;
}
