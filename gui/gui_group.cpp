#include "gui_group.h"

#include "gui_callbacks.h"
#include "gui_control.h"
#include "gui_manager.h"
#include "model_instance.h"
#include "renderer.h"
#include "strings.h"

GuiGroup::GuiGroup()
    : name(nullptr), controls(), controlCount(0), offset{0.0f, 0.0f, 0.0f}, hovered(nullptr), closing(false), keepsFirstState(false) {}

GuiGroup::~GuiGroup() { SetString(name, nullptr); }

void GuiGroup::SetOffset(float x, float y, float z) {
    offset = Vector3{x, y, z};
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        c->offset = offset;
        c->Place();
        if (c->childGroup) {
            Vector3 p = c->PlacedPosition();
            c->childGroup->SetOffset(p.x, p.y, p.z);
        }
    }
}

bool GuiGroup::Open(unsigned flags) {
    closing = false;
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        if (c->HasFlags(GUI_FLAG_OPEN | GUI_FLAG_EXCLUDED)) continue;
        c->offset = offset;
        c->owner = this;
        c->BuildVisuals();
        c->stateFlags |= flags | GUI_FLAG_OPEN;
        c->SetState(c->HasFlags(GUI_FLAG_HIDDEN) ? GUI_STATE_IDLE : GUI_STATE_OPENING);
        if (!c->HasFlags(GUI_FLAG_NOT_LISTED)) g_guiManager.AddToDrawList(c);
        if (c->childGroup) {
            c->childGroup->offset = c->PlacedPosition();
            c->childGroup->Open(flags);
        }
    }
    hovered = nullptr;
    return true;
}

void GuiGroup::Drop() {
    closing = false;
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        if (!c->HasFlags(GUI_FLAG_OPEN) || c->HasFlags(GUI_FLAG_EXCLUDED)) continue;
        c->stateFlags &= ~(unsigned)GUI_FLAG_OPEN;
        c->pendingState = GUI_STATE_IDLE;
        c->ReleaseVisuals();
        c->owner = nullptr;
        if (c->childGroup) c->childGroup->Drop();
        if (!c->HasFlags(GUI_FLAG_NOT_LISTED)) g_guiManager.RemoveFromDrawList(c);
    }
    if (keepsFirstState) RestoreFirstState();
}

void GuiGroup::Close() {
    MarkClosing(true);
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        if (!c->HasFlags(GUI_FLAG_EXCLUDED)) c->SetState(GUI_STATE_CLOSING);
    }
}

bool GuiGroup::IsClosed() {
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        if (!c->HasFlags(kGuiCountsClosed) && c->state != GUI_STATE_CLOSED) return false;
    }
    return true;
}

void GuiGroup::DropHover() {
    if (!hovered) return;
    GuiControl* c = hovered;
    c->MouseLeave();
    if (c->childGroup) c->childGroup->DropHover();
    hovered = nullptr;
}

void GuiGroup::DispatchMouse(GuiControl*& active) {
    const Vector3& m = g_renderer.mouseView;
    GuiControl* hit = nullptr;
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        if (c->HasFlags(kGuiSkipHit)) continue;
        if (c->state == GUI_STATE_OPENING || c->state == GUI_STATE_CLOSING || c->state == GUI_STATE_CLOSED)
            continue;
        if (c->body && c->body->HitTest(m.x, m.y, m.z)) {
            hit = c;
            break;
        }
    }
    if (hit != hovered) {
        DropHover();
        if (hit && hit != active) {
            hovered = hit;
            hit->MouseEnter();
        }
    }
    if (!hovered) return;
    GuiControl* c = hovered;
    if (c->MouseOver()) {
        if (c->childGroup) c->childGroup->DispatchMouse(active);
        return;
    }
    // The control asks for the capture.
    if (active && active != c) active->MouseLeave();
    active = c;
    c->TakeCapture();
    hovered = nullptr;
}

void GuiGroup::Update(GuiControl*& active) {
    for (int i = 0; i < controlCount; ++i) {
        GuiControl* c = controls[i];
        if (c->HasFlags(kGuiSkipUpdate)) continue;
        if (c->childGroup) c->childGroup->Update(active);
        if (closing && c->state != GUI_STATE_CLOSING) continue;
        if (c != hovered && c != active) c->Update();
    }
}

// Child groups are marked with their controls' container; the depth limit
// only keeps a document whose groups lead round in a circle from recursing
// without end (loading refuses such a group).
static void MarkGroupClosing(GuiGroup* group, bool on, int depth) {
    if (!group || depth > 32) return;
    group->closing = on;
    for (int i = 0; i < group->controlCount; ++i)
        if (GuiControl* c = group->controls[i]) MarkGroupClosing(c->childGroup, on, depth + 1);
}

void GuiGroup::MarkClosing(bool on) { MarkGroupClosing(this, on, 0); }

static void KeepGroupState(GuiGroup* group, int depth) {
    if (!group || depth > 32) return;
    for (int i = 0; i < group->controlCount; ++i) {
        GuiControl* c = group->controls[i];
        if (!c) continue;
        GuiControl::FirstState& f = c->firstState;
        f.kept = true;
        f.stateFlags = c->stateFlags & ~(unsigned)GUI_FLAG_OPEN;
        f.styleFlags = c->styleFlags;
        f.position = c->position;
        f.rotation = c->rotation;
        KeepGroupState(c->childGroup, depth + 1);
    }
}

static void RestoreGroupState(GuiGroup* group, int depth) {
    if (!group || depth > 32) return;
    for (int i = 0; i < group->controlCount; ++i) {
        GuiControl* c = group->controls[i];
        if (!c || !c->firstState.kept) continue;
        const GuiControl::FirstState& f = c->firstState;
        c->stateFlags = (c->stateFlags & (unsigned)GUI_FLAG_OPEN) | f.stateFlags;
        c->styleFlags = f.styleFlags;
        if (!c->IsOpen()) c->rotation = f.rotation;
        const Vector3& p = c->position;
        if (p.x != f.position.x || p.y != f.position.y || p.z != f.position.z)
            c->SetPosition(f.position.x, f.position.y, f.position.z);
        RestoreGroupState(c->childGroup, depth + 1);
    }
}

void GuiGroup::KeepFirstState() {
    KeepGroupState(this, 0);
    keepsFirstState = true;
}

void GuiGroup::RestoreFirstState() { RestoreGroupState(this, 0); }

void GuiGroup::ClearFlags(unsigned bits, int mode) {
    for (int i = 0; i < controlCount; ++i) controls[i]->ClearFlags(bits, mode);
}

void GuiGroup::SetFlags(unsigned bits, int mode) {
    for (int i = 0; i < controlCount; ++i) controls[i]->SetFlags(bits, mode);
}

GuiControl* GuiGroup::FindControl(const char* controlName) const {
    if (!controlName) return nullptr;
    for (int i = 0; i < controlCount; ++i)
        if (StringEquals(controls[i]->name, controlName)) return controls[i];
    return nullptr;
}

bool GuiGroup::AddControl(GuiControl* control) {
    if (!control || controlCount >= kMaxControls) return false;
    control->owner = this;
    control->indexInOwner = controlCount;
    controls[controlCount++] = control;
    return true;
}

GuiScreen::GuiScreen() : onOpen(nullptr), onClose(nullptr), windowAbove(nullptr), startWindow(nullptr) {}

GuiScreen::~GuiScreen() {
    SetString(startWindow, nullptr);
    delete onOpen;
    delete onClose;
    onOpen = onClose = nullptr;
}

GuiWindow::GuiWindow() : windowBelow(nullptr), checkScreen(false) {}
