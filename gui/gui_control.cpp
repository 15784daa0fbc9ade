#include "gui_control.h"

#include <cstdlib>

#include "gui_group.h"
#include "gui_manager.h"
#include "input_state.h"
#include "model_instance.h"
#include "renderer.h"
#include "strings.h"
#include "tinyxml.h"

const char* const kClipIdle = "idle";
const char* const kClipOpen = "open";
const char* const kClipClose = "close";
const char* const kClipInactive = "inactive";
const char* const kClipHoverStart = "hover_start";
const char* const kClipHover = "hover";
const char* const kClipHoverEnd = "hover_end";
const char* const kClipSelect = "select";
const char* const kClipCheck = "check";

bool ReadIntAttribute(TiXmlElement* element, const char* attribute, int* out) {
    const char* text = element ? element->Attribute(attribute) : nullptr;
    if (!text) return false;
    *out = std::atoi(text);
    return true;
}

bool ReadFloatAttribute(TiXmlElement* element, const char* attribute, float* out) {
    const char* text = element ? element->Attribute(attribute) : nullptr;
    if (!text) return false;
    *out = static_cast<float>(std::atof(text));
    return true;
}

void ReplaceHandlers(GuiHandlerList*& slot, TiXmlElement* element, const char* attribute) {
    delete slot;
    slot = g_guiManager.ParseHandlers(element->Attribute(attribute));
}

bool GuiLeftPressed() { return g_input.Get(INPUT_MOUSE_LEFT) == KEY_WENT_DOWN; }
bool GuiLeftReleased() { return g_input.Get(INPUT_MOUSE_LEFT) == KEY_WENT_UP; }

GuiControl::GuiControl()
    : name(nullptr),
      body(nullptr),
      position{0.0f, 0.0f, 0.0f},
      rotation{0.0f, {0.0f, 0.0f, 0.0f}},
      scale(1.0f),
      aspect(1.0f),
      pivot{0.0f, 0.0f, 0.0f},
      textureName(nullptr),
      modelName(nullptr),
      fps(0.0f),
      childGroup(nullptr),
      owner(nullptr),
      indexInOwner(0),
      offset{0.0f, 0.0f, 0.0f},
      stateFlags(0),
      styleFlags(0),
      state(GUI_STATE_IDLE),
      pendingState(GUI_STATE_IDLE) {}

GuiControl::~GuiControl() {
    // Visuals normally go with the drop; a control deleted while open must
    // not leak them either.
    FreeVisual(body);
    SetString(name, nullptr);
    SetString(textureName, nullptr);
    SetString(modelName, nullptr);
}

void GuiControl::Load(TiXmlElement*) {}

void GuiControl::Place() {
    Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
}

void GuiControl::BuildVisuals() { Place(); }

void GuiControl::ReleaseVisuals() {}

bool GuiControl::RefusesState(int newState) const {
    return owner && owner->closing && newState != GUI_STATE_CLOSING && newState != GUI_STATE_CLOSED;
}

void GuiControl::SetState(int newState) {
    if (RefusesState(newState)) return;
    ApplyState(newState);
}

void GuiControl::ApplyState(int newState) {
    if (newState == GUI_STATE_OPENING) newState = GUI_STATE_IDLE;
    else if (newState == GUI_STATE_CLOSING) newState = GUI_STATE_CLOSED;
    state = newState;
}

void GuiControl::Update() {}
bool GuiControl::MouseOver() { return true; }
bool GuiControl::CapturedInput() { return true; }
void GuiControl::MouseLeave() {}
void GuiControl::MouseEnter() {}
void GuiControl::TakeCapture() {}
void GuiControl::Draw() {}

// Whether the group, or a group below one of its controls, is target. A
// child group that leads back to the control's own container would make
// every open, drop and update recurse without end.
static bool GroupLeadsTo(GuiGroup* from, const GuiGroup* target, GuiGroup** seen, int* seenCount,
                         int capacity) {
    if (!from) return false;
    if (from == target) return true;
    for (int i = 0; i < *seenCount; ++i)
        if (seen[i] == from) return false;
    if (*seenCount >= capacity) return true;  // too deep to tell: refuse
    seen[(*seenCount)++] = from;
    for (int i = 0; i < from->controlCount; ++i) {
        GuiControl* c = from->controls[i];
        if (c && GroupLeadsTo(c->childGroup, target, seen, seenCount, capacity)) return true;
    }
    return false;
}

void GuiControl::LoadCommon(TiXmlElement* element) {
    if (!element) return;
    SetString(name, element->Attribute("name"));
    position.Parse(element->Attribute("pos"));
    pivot = position;
    if (!g_renderer.DrawsOneToOne()) {
        rotation.Parse(element->Attribute("rot"));
        pivot.Parse(element->Attribute("pivot"));
        ReadFloatAttribute(element, "scale", &scale);
        ReadFloatAttribute(element, "aspect", &aspect);
    }
    SetString(modelName, element->Attribute("model"));
    SetString(textureName, element->Attribute("texture"));
    // A rate that is not a number, or below zero, plays at the default.
    ReadFloatAttribute(element, "fps", &fps);
    if (!(fps > 0.0f) || fps > 1000.0f) fps = 0.0f;

    const char* groupName = element->Attribute("group");
    childGroup = g_guiManager.FindGroup(groupName);
    if (childGroup && owner) {
        GuiGroup* seen[GuiManager::kMaxGroups];
        int seenCount = 0;
        if (GroupLeadsTo(childGroup, owner, seen, &seenCount, GuiManager::kMaxGroups)) {
            g_guiManager.SetError("Gui control: <%s> cannot hold group <%s> that contains it",
                                  name ? name : "", groupName);
            childGroup = nullptr;
        }
    }
}

void GuiControl::SetFlags(unsigned bits, int mode) {
    if (mode == GUI_FLAGS_STYLE) styleFlags |= bits;
    else stateFlags |= bits;
    if (mode != GUI_FLAGS_STATE_ONLY && childGroup) childGroup->SetFlags(bits, GUI_FLAGS_STYLE);
}

void GuiControl::ClearFlags(unsigned bits, int mode) {
    if (mode == GUI_FLAGS_STYLE) styleFlags &= ~bits;
    else stateFlags &= ~bits;
    if (mode != GUI_FLAGS_STATE_ONLY && childGroup) childGroup->ClearFlags(bits, GUI_FLAGS_STYLE);
}

void GuiControl::SetPosition(float px, float py, float pz) {
    position.x = px;
    position.y = py;
    position.z = pz;
    if (!IsOpen()) return;
    Place();
    if (childGroup) {
        Vector3 p = PlacedPosition();
        childGroup->SetOffset(p.x, p.y, p.z);
    }
}

bool GuiControl::IsMouseOver(ModelInstance* instance) const {
    const ModelInstance* v = instance ? instance : body;
    if (!v) return false;
    const Vector3& m = g_renderer.mouseView;
    return v->HitTest(m.x, m.y, m.z);
}

Vector3 GuiControl::MousePointIn(ModelInstance* instance) const {
    Vector3 r = {0.0f, 0.0f, 0.0f};
    const ModelInstance* v = instance ? instance : body;
    if (!v) return r;
    const Vector3& m = g_renderer.mouseView;
    Vector3 p = {0.0f, 0.0f, 0.0f};
    v->HitTest(m.x, m.y, m.z, &p);
    r.x = p.x;
    r.y = 1.0f - p.y;
    float* parts[2] = {&r.x, &r.y};
    for (float* f : parts) {
        if (*f >= 1.0f) *f = 0.99f;
        else if (*f < 0.0f) *f = 0.01f;
    }
    return r;
}

ModelInstance* GuiControl::CreateVisual(const char* part, float sx, float sy, float sz, bool withPivot) const {
    ModelInstance* v = new ModelInstance(modelName, part, textureName);
    v->SetScale(sx, sy, sz);
    if (withPivot) v->SetPivot(pivot.x + offset.x, pivot.y + offset.y, pivot.z + offset.z);
    return v;
}

void GuiControl::SetUpBody(bool withRotation) {
    FreeVisual(body);
    body = CreateVisual("body", scale * aspect, scale, scale, true);
    if (withRotation) body->rotation = rotation;
    Place();
}

void GuiControl::PlayClip(ModelInstance* visual, const char* clip, int mode, float fps) {
    if (visual) visual->PlayAnimation(clip, mode, fps);
}

void GuiControl::ClearClip(ModelInstance* visual) {
    if (visual) visual->PlayAnimation(nullptr, PLAY_ONCE, 0.0f);
}

bool GuiControl::IsFinished(const ModelInstance* visual) { return !visual || visual->finished; }

void GuiControl::PlaceVisual(ModelInstance* visual, float px, float py, float pz) {
    if (visual) visual->SetPosition(px, py, pz);
}

void GuiControl::DrawVisual(ModelInstance* visual) {
    if (visual) visual->Draw();
}

void GuiControl::FreeVisual(ModelInstance*& visual) {
    delete visual;
    visual = nullptr;
}

void GuiControl::DrawVisualWithText(ModelInstance* visual, TextBlock* block, Font* font, TextLayout* layout) {
    if (!visual) return;
    if (block) visual->DrawWithText(block, font, layout);
    else visual->Advance();
}

int GuiControl::StepOpenClose(const ModelInstance* visual, int stateAfterOpening) {
    if (state == GUI_STATE_OPENING && IsFinished(visual)) {
        SetState(stateAfterOpening);
        return stateAfterOpening;
    }
    if (state == GUI_STATE_CLOSING && IsFinished(visual)) {
        SetState(GUI_STATE_CLOSED);
        return GUI_STATE_CLOSED;
    }
    return -1;
}
