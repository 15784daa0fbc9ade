#include "controls_button.h"

#include <cstring>

#include "gui_callbacks.h"
#include "gui_group.h"
#include "gui_manager.h"
#include "model_instance.h"
#include "tinyxml.h"

static void ReplaceHandlers(GuiHandlerList*& slot, TiXmlElement* element, const char* attribute) {
    delete slot;
    slot = g_guiManager.ParseHandlers(element->Attribute(attribute));
}

// ---- "button" ---------------------------------------------------------------

ButtonControl::ButtonControl()
    : extra(nullptr),
      highlight(nullptr),
      highlightScale{1.0f, 1.0f, 1.0f},
      onPress(nullptr),
      onHoverStart(nullptr),
      onHoverEnd(nullptr) {}

ButtonControl::~ButtonControl() {
    ButtonControl::ReleaseVisuals();
    delete onPress;
    delete onHoverStart;
    delete onHoverEnd;
}

void ButtonControl::Load(TiXmlElement* element) {
    highlightScale.Parse(element->Attribute("highlight"));
    ReplaceHandlers(onPress, element, "OnPress");
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void ButtonControl::Place() {
    Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    PlaceVisual(highlight, p.x, p.y, p.z);
    PlaceVisual(extra, p.x, p.y, p.z);
}

void ButtonControl::BuildVisuals() {
    ReleaseVisuals();
    SetUpBody(false);
    highlight = CreateVisual("highlight", highlightScale.x * scale * aspect, highlightScale.y * scale,
                             highlightScale.z * scale, false);
    extra = CreateVisual("extra", scale * aspect, scale, scale, true);
    Place();
}

void ButtonControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(highlight);
    FreeVisual(extra);
}

void ButtonControl::SetState(int newState) {
    if (!IsOpen()) {
        pendingState = newState;
        return;
    }
    switch (newState) {
    case GUI_STATE_IDLE:
        PlayClip(body, kClipIdle, PLAY_LOOP);
        PlayClip(extra, kClipIdle, PLAY_LOOP);
        ClearClip(highlight);
        break;
    case GUI_STATE_OPENING:
        PlayClip(body, kClipOpen, PLAY_ONCE);
        PlayClip(extra, kClipOpen, PLAY_ONCE);
        ClearClip(highlight);
        break;
    case GUI_STATE_CLOSING:
        PlayClip(body, kClipClose, PLAY_ONCE);
        PlayClip(extra, kClipClose, PLAY_ONCE);
        ClearClip(highlight);
        break;
    case GUI_STATE_INACTIVE:
        PlayClip(body, kClipInactive, PLAY_LOOP);
        PlayClip(extra, kClipInactive, PLAY_LOOP);
        ClearClip(highlight);
        break;
    case GUI_STATE_HOVER_START:
        PlayClip(body, kClipHoverStart, PLAY_ONCE);
        PlayClip(highlight, kClipHoverStart, PLAY_ONCE);
        break;
    case GUI_STATE_HOVER:
        PlayClip(body, kClipHover, PLAY_LOOP);
        PlayClip(highlight, kClipHover, PLAY_LOOP);
        break;
    case GUI_STATE_HOVER_END:
        PlayClip(body, kClipHoverEnd, PLAY_ONCE);
        PlayClip(highlight, kClipHoverEnd, PLAY_ONCE);
        break;
    default: break;  // closed and pressed play nothing
    }
    state = newState;
}

void ButtonControl::Update() {
    if (state == GUI_STATE_OPENING && IsFinished(body)) SetState(pendingState);
    else if (state == GUI_STATE_CLOSING && IsFinished(body)) SetState(GUI_STATE_CLOSED);
    else if (state == GUI_STATE_HOVER_END && IsFinished(body) && IsFinished(highlight)) SetState(GUI_STATE_IDLE);
}

bool ButtonControl::MouseOver() {
    switch (state) {
    case GUI_STATE_IDLE:
    case GUI_STATE_HOVER_END:
        SetState(GUI_STATE_HOVER_START);
        return true;
    case GUI_STATE_HOVER_START:
        if (IsFinished(highlight)) SetState(GUI_STATE_HOVER);
        break;
    case GUI_STATE_HOVER:
        break;
    default:
        return true;
    }
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

void ButtonControl::MouseLeave() {
    if (state == GUI_STATE_CLOSING || state == GUI_STATE_CLOSED) {
        ClearClip(highlight);
        return;
    }
    if (state != GUI_STATE_INACTIVE) SetState(GUI_STATE_HOVER_END);
    InvokeHandlers(onHoverEnd, this);
}

void ButtonControl::MouseEnter() { InvokeHandlers(onHoverStart, this); }

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

void CheckControl::SetState(int newState) {
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

RadioButtonControl::RadioButtonControl()
    : highlight(nullptr), highlightScale{1.0f, 1.0f, 1.0f}, onSelect(nullptr), onHoverStart(nullptr),
      onHoverEnd(nullptr) {}

RadioButtonControl::~RadioButtonControl() {
    FreeVisual(body);
    FreeVisual(highlight);
    delete onSelect;
    delete onHoverStart;
    delete onHoverEnd;
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
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void RadioButtonControl::Place() {
    Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    PlaceVisual(highlight, p.x, p.y, p.z);
}

void RadioButtonControl::BuildVisuals() {
    FreeVisual(highlight);
    SetUpBody(false);
    highlight = CreateVisual("highlight", highlightScale.x * scale * aspect, highlightScale.y * scale,
                             highlightScale.z * scale, false);
    Place();
}

void RadioButtonControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(highlight);
    ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
}

void RadioButtonControl::SetState(int newState) {
    if (!IsOpen()) {
        pendingState = newState;
        return;
    }
    switch (newState) {
    case GUI_STATE_IDLE:
        PlayClip(body, kClipIdle, PLAY_LOOP);
        ClearClip(highlight);
        break;
    case GUI_STATE_OPENING:
        PlayClip(body, kClipOpen, PLAY_ONCE);
        ClearClip(highlight);
        break;
    case GUI_STATE_CLOSING:
        PlayClip(body, kClipClose, PLAY_ONCE);
        ClearClip(highlight);
        break;
    case GUI_STATE_INACTIVE:
        PlayClip(body, kClipInactive, PLAY_LOOP);
        ClearClip(highlight);
        break;
    case GUI_STATE_HOVER_START:
        PlayClip(body, kClipHoverStart, PLAY_ONCE);
        PlayClip(highlight, kClipHoverStart, PLAY_ONCE);
        break;
    case GUI_STATE_HOVER:
        PlayClip(body, kClipHover, PLAY_LOOP);
        PlayClip(highlight, kClipHover, PLAY_LOOP);
        break;
    case GUI_STATE_HOVER_END:
        PlayClip(body, kClipHoverEnd, PLAY_ONCE);
        PlayClip(highlight, kClipHoverEnd, PLAY_ONCE);
        break;
    case GUI_STATE_SELECTED:
        PlayClip(body, kClipSelect, PLAY_LOOP);
        ClearClip(highlight);
        break;
    default: break;
    }
    state = newState;
}

void RadioButtonControl::Update() {
    if (state == GUI_STATE_OPENING && IsFinished(body)) SetState(pendingState);
    else if (state == GUI_STATE_CLOSING && IsFinished(body)) SetState(GUI_STATE_CLOSED);
    else if (state == GUI_STATE_HOVER_END && IsFinished(body) && IsFinished(highlight)) SetState(GUI_STATE_IDLE);
}

bool RadioButtonControl::MouseOver() {
    switch (state) {
    case GUI_STATE_IDLE:
    case GUI_STATE_HOVER_END:
        SetState(GUI_STATE_HOVER_START);
        return true;
    case GUI_STATE_HOVER_START:
        if (IsFinished(highlight)) SetState(GUI_STATE_HOVER);
        break;
    case GUI_STATE_HOVER:
        break;
    default:
        return true;
    }
    if (GuiLeftPressed()) {
        Select(true);
        InvokeHandlers(onSelect, this);
    }
    return true;  // selecting needs no capture
}

void RadioButtonControl::MouseLeave() {
    if (state == GUI_STATE_CLOSING || state == GUI_STATE_CLOSED || state == GUI_STATE_SELECTED) {
        ClearClip(highlight);
        return;
    }
    if (state != GUI_STATE_INACTIVE) SetState(GUI_STATE_HOVER_END);
    InvokeHandlers(onHoverEnd, this);
}

void RadioButtonControl::MouseEnter() { InvokeHandlers(onHoverStart, this); }

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
