#include "controls_value.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "controls_text.h"
#include "gui_callbacks.h"
#include "gui_manager.h"
#include "input_state.h"
#include "model.h"
#include "model_instance.h"
#include "strings.h"
#include "tinyxml.h"

namespace {

// Blinking rates of the carets, in frames per second.
const float kEditCaretFps = 2.0f;
const float kListCaretFps = 2.5f;

float Clamp01(float v) {
    if (!(v > 0.0f)) return 0.0f;  // also NaN
    return v < 1.0f ? v : 1.0f;
}

bool Pressed(int code) { return g_input.Get(code) == KEY_WENT_DOWN; }

// Starts a looping clip unless the visual already runs it: restarting it
// every frame would hold it on its first frame.
void KeepLooping(ModelInstance* v, const char* clip, float fps = 0.0f) {
    if (!v) return;
    if (v->clip && !v->finished && v->playMode == PLAY_LOOP && v->clip->name && std::strcmp(v->clip->name, clip) == 0)
        return;
    v->PlayAnimation(clip, PLAY_LOOP, fps);
}

// The relative position of a mouse point across a track of length extent
// with margin kept free at each end, as a value 0..1.
float TrackValue(float relative, float margin, float extent) {
    if (!(extent > 0.0f)) return Clamp01(relative);
    const float inner = 1.0f - 2.0f * margin / extent;
    // A margin that eats the whole track leaves nothing to map onto.
    if (!(inner > 1.0e-6f)) return Clamp01(relative);
    return Clamp01((relative - margin / extent) / inner);
}

} // namespace

// ---- "slider" ------------------------------------------------------------------

SliderControl::SliderControl()
    : value(0.0f),
      point(nullptr),
      left(nullptr),
      right(nullptr),
      unreach(0.0f),
      onChange(nullptr),
      onHoverStart(nullptr),
      onHoverEnd(nullptr) {}

SliderControl::~SliderControl() {
    ReleaseVisuals();
    delete onChange;
    delete onHoverStart;
    delete onHoverEnd;
}

void SliderControl::Load(TiXmlElement* element) {
    if (!element) return;
    ReadBoundedFloat(element, "unreach", 0.0f, 100.0f, &unreach);
    ReplaceHandlers(onChange, element, "OnChange");
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void SliderControl::BuildVisuals() {
    ReleaseVisuals();
    SetUpBody(false);
    point = CreateVisual("point", scale, scale, scale, true);
    left = CreateVisual("left", scale, scale, scale, true);
    right = CreateVisual("right", scale, scale, scale, true);
    Place();
}

void SliderControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(point);
    FreeVisual(left);
    FreeVisual(right);
}

void SliderControl::Place() {
    const Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    float box[6];
    GetVisualHitBox(body, box);
    PlaceVisual(left, box[0], box[1], p.z);
    PlaceVisual(right, box[3], box[4], p.z);
    PlacePoint();
}

void SliderControl::PlacePoint() {
    if (!point) return;
    const Vector3 p = PlacedPosition();
    float box[6];
    GetVisualHitBox(body, box);
    const float width = box[3] - box[0];
    point->SetPosition(box[0] + unreach + (width - 2.0f * unreach) * value, p.y, p.z);
}

void SliderControl::SetValue(float newValue) {
    value = Clamp01(newValue);
    if (IsOpen()) PlacePoint();
}

float SliderControl::ValueAt(float relativeX) const {
    float box[6];
    GetVisualHitBox(body, box);
    return TrackValue(relativeX, unreach, box[3] - box[0]);
}

void SliderControl::ApplyState(int newState) {
    ModelInstance* all[4] = {body, point, left, right};
    for (ModelInstance* v : all) {
        switch (newState) {
        case GUI_STATE_IDLE: PlayClip(v, kClipIdle, PLAY_LOOP); break;
        case GUI_STATE_OPENING: PlayClip(v, kClipOpen, PLAY_ONCE); break;
        case GUI_STATE_CLOSING: PlayClip(v, kClipClose, PLAY_ONCE); break;
        case GUI_STATE_INACTIVE: PlayClip(v, kClipHover, PLAY_LOOP); break;
        default: break;
        }
    }
    state = newState;
}

void SliderControl::Update() { StepOpenClose(body); }

bool SliderControl::MouseOver() { return !GuiLeftPressed(); }

bool SliderControl::CapturedInput() {
    if (GuiLeftReleased()) return false;
    const float v = ValueAt(MousePointIn(body).x);
    if (v == value) return true;
    SetValue(v);
    InvokeHandlers(onChange, this);
    return true;
}

void SliderControl::MouseLeave() {
    // A closing or closed control keeps its state: going back to idle here
    // would stop its container from ever counting as closed.
    if (state != GUI_STATE_CLOSING && state != GUI_STATE_CLOSED) SetState(GUI_STATE_IDLE);
    InvokeHandlers(onHoverEnd, this);
}

void SliderControl::MouseEnter() {
    SetState(GUI_STATE_INACTIVE);
    InvokeHandlers(onHoverStart, this);
}

void SliderControl::Draw() {
    DrawVisual(body);
    DrawVisual(left);
    DrawVisual(right);
    DrawVisual(point);
}

// ---- "scroll" -------------------------------------------------------------------

ScrollControl::ScrollControl()
    : value(0.0f),
      jump(0.0f),
      point(nullptr),
      up(nullptr),
      down(nullptr),
      unreach(0.0f),
      onChange(nullptr),
      onHoverStart(nullptr),
      onHoverEnd(nullptr) {}

ScrollControl::~ScrollControl() {
    ReleaseVisuals();
    delete onChange;
    delete onHoverStart;
    delete onHoverEnd;
}

void ScrollControl::Load(TiXmlElement* element) {
    if (!element) return;
    ReadBoundedFloat(element, "unreach", 0.0f, 100.0f, &unreach);
    ReadBoundedFloat(element, "jump", 0.0f, 1.0f, &jump);
    ReplaceHandlers(onChange, element, "OnChange");
    ReplaceHandlers(onHoverStart, element, "OnHoverStart");
    ReplaceHandlers(onHoverEnd, element, "OnHoverEnd");
}

void ScrollControl::BuildVisuals() {
    ReleaseVisuals();
    SetUpBody(false);
    point = CreateVisual("point", scale, scale, scale, true);
    down = CreateVisual("down", scale, scale, scale, true);
    up = CreateVisual("up", scale, scale, scale, true);
    Place();
}

void ScrollControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(point);
    FreeVisual(up);
    FreeVisual(down);
}

void ScrollControl::Place() {
    const Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    // The body's own box, not the one stretched by an earlier placing.
    float box[6] = {p.x, p.y, p.z, p.x, p.y, p.z};
    if (body && body->model && body->model->box) GetVisualHitBox(body, box);
    PlaceVisual(down, p.x, box[1], p.z);
    PlaceVisual(up, p.x, box[4], p.z);
    if (body && down && up) {
        float downBox[6], upBox[6];
        GetVisualHitBox(down, downBox);
        GetVisualHitBox(up, upBox);
        const float track[6] = {downBox[0], downBox[1], downBox[2], upBox[3], upBox[4], upBox[5]};
        SetVisualHitBox(body, track);
    }
    PlacePoint();
}

void ScrollControl::PlacePoint() {
    if (!point) return;
    const Vector3 p = PlacedPosition();
    float box[6];
    GetVisualHitBox(body, box);
    const float height = box[4] - box[1];
    // At the value's place, so that moving the scroll keeps its point.
    point->SetPosition(p.x, box[4] - unreach - (height - 2.0f * unreach) * value, p.z);
}

bool ScrollControl::SetValue(float newValue) {
    const float v = Clamp01(newValue);
    if (v == value) return false;
    value = v;
    if (IsOpen()) PlacePoint();
    return true;
}

float ScrollControl::ValueAt(float relativeY) const {
    float box[6];
    GetVisualHitBox(body, box);
    return TrackValue(relativeY, unreach, box[4] - box[1]);
}

void ScrollControl::ApplyState(int newState) {
    const char* clips[4] = {nullptr, nullptr, nullptr, nullptr};  // body, point, up, down
    int mode = PLAY_LOOP;
    switch (newState) {
    case GUI_STATE_IDLE: clips[0] = clips[1] = clips[2] = clips[3] = kClipIdle; break;
    case GUI_STATE_OPENING:
        clips[0] = clips[1] = clips[2] = clips[3] = kClipOpen;
        mode = PLAY_ONCE;
        break;
    case GUI_STATE_CLOSING:
        clips[0] = clips[1] = clips[2] = clips[3] = kClipClose;
        mode = PLAY_ONCE;
        break;
    case 4:  // over the bar
        clips[0] = clips[1] = kClipHover;
        clips[2] = clips[3] = kClipIdle;
        break;
    case 5:  // over the up arrow
        clips[0] = clips[2] = kClipHover;
        clips[1] = clips[3] = kClipIdle;
        break;
    case 6:  // over the down arrow
        clips[0] = clips[3] = kClipHover;
        clips[1] = clips[2] = kClipIdle;
        break;
    default: break;
    }
    ModelInstance* visuals[4] = {body, point, up, down};
    for (int i = 0; i < 4; ++i)
        if (clips[i]) PlayClip(visuals[i], clips[i], mode);
    state = newState;
}

void ScrollControl::Update() { StepOpenClose(body); }

bool ScrollControl::MouseOver() {
    const bool press = GuiLeftPressed();
    switch (state) {
    case GUI_STATE_IDLE:
        if (IsMouseOver(up)) SetState(5);
        else if (IsMouseOver(down)) SetState(6);
        else SetState(4);
        return true;
    case 4:
        if (press) return false;  // drag: take the capture
        if (IsMouseOver(up)) SetState(5);
        else if (IsMouseOver(down)) SetState(6);
        return true;
    case 5:
        // One step a press: holding the arrow does not repeat.
        if (press) {
            SetValue(value - jump);
            InvokeHandlers(onChange, this);
        }
        if (!IsMouseOver(up)) SetState(4);
        else if (IsMouseOver(down)) SetState(6);
        return true;
    case 6:
        if (press) {
            SetValue(value + jump);
            InvokeHandlers(onChange, this);
        }
        if (IsMouseOver(up)) SetState(5);
        else if (!IsMouseOver(down)) SetState(4);
        return true;
    default: return true;
    }
}

bool ScrollControl::CapturedInput() {
    if (GuiLeftReleased()) return false;
    if (SetValue(ValueAt(MousePointIn(body).y))) InvokeHandlers(onChange, this);
    return true;
}

void ScrollControl::MouseLeave() {
    // A closing or closed control keeps its state: going back to idle here
    // would stop its container from ever counting as closed.
    if (state != GUI_STATE_CLOSING && state != GUI_STATE_CLOSED) SetState(GUI_STATE_IDLE);
    InvokeHandlers(onHoverEnd, this);
}

void ScrollControl::MouseEnter() { InvokeHandlers(onHoverStart, this); }

void ScrollControl::Draw() {
    DrawVisual(body);
    DrawVisual(up);
    DrawVisual(down);
    DrawVisual(point);
}

// ---- "edit" ----------------------------------------------------------------------

EditControl::EditControl()
    : maxLength(0),
      cursor(nullptr),
      anchor{0.0f, 0.0f, 0.0f},
      areaWidth(0.0f),
      font(nullptr),
      allowed(nullptr),
      letterCase(EDIT_STYLE_NORMAL),
      horizontal(TEXT_ALIGN_LEFT),
      onStartEdit(nullptr),
      onEndEdit(nullptr),
      onCharTyped(nullptr),
      onCharErased(nullptr) {
    std::memset(text, 0, sizeof(text));
}

EditControl::~EditControl() {
    ReleaseVisuals();
    SetString(allowed, nullptr);
    delete onStartEdit;
    delete onEndEdit;
    delete onCharTyped;
    delete onCharErased;
}

void EditControl::Load(TiXmlElement* element) {
    if (!element) return;
    ReadBoundedInt(element, "max_len", 0, kEntryBufferSize - 1, &maxLength);
    font = g_fontManager.GetFont(element->Attribute("font"));
    SetString(allowed, element->Attribute("chars"));
    ReplaceHandlers(onStartEdit, element, "OnStartEdit");
    ReplaceHandlers(onEndEdit, element, "OnEndEdit");
    ReplaceHandlers(onCharTyped, element, "OnCharTyped");
    ReplaceHandlers(onCharErased, element, "OnCharErased");
    static const char* const styles[] = {"normal", "lowercase", "uppercase", nullptr};
    if (const char* style = element->Attribute("style")) {
        int s = IndexOfString(style, styles);
        if (s) letterCase = s;
    }
    int h = ParseHorizontalAlign(element->Attribute("horizontal"), TEXT_ALIGN_LEFT);
    horizontal = h ? h : TEXT_ALIGN_LEFT;
}

void EditControl::BuildVisuals() {
    ReleaseVisuals();
    body = CreateVisual("body", scale * aspect, scale, scale, false);
    PlayClip(body, kClipIdle, PLAY_LOOP);
    cursor = CreateVisual("cursor", scale, scale, scale, false);  // no clip: the caret is hidden
    Place();
}

void EditControl::ReleaseVisuals() {
    FreeVisual(body);
    FreeVisual(cursor);
}

void EditControl::Place() {
    const Vector3 p = PlacedPosition();
    PlaceVisual(body, p.x, p.y, p.z);
    PlaceVisual(cursor, p.x, p.y, p.z);
    if (!cursor) return;
    // The cursor's box at P is the text area. The text is anchored by the
    // alignment: at the box's left end, its centre or its right end. Its
    // height is the middle line: the box's own min or max corner there
    // would hang the glyphs, which are centred on their line, half out of
    // the field. Taken again on every placing, so a field that moves takes
    // its text along.
    float box[6];
    GetVisualHitBox(cursor, box);
    anchor.x = horizontal == TEXT_ALIGN_CENTER  ? 0.5f * (box[0] + box[3])
               : horizontal == TEXT_ALIGN_RIGHT ? box[3]
                                                : box[0];
    anchor.y = 0.5f * (box[1] + box[4]);
    anchor.z = box[2];
    areaWidth = box[3] - box[0];
    PlaceCaret();
}

void EditControl::PlaceCaret() {
    if (!cursor) return;
    const float w = text[0] && font ? TextWidth(text, font) * font->size : 0.0f;
    float x = anchor.x + w;
    if (horizontal == TEXT_ALIGN_CENTER) x = anchor.x + 0.5f * w;
    else if (horizontal == TEXT_ALIGN_RIGHT) x = anchor.x;
    cursor->SetPosition(x, anchor.y, anchor.z);
}

void EditControl::SetText(EditControl* control, const char* format, ...) {
    va_list args;
    va_start(args, format);
    SetTextV(control, format, args);
    va_end(args);
}

void EditControl::SetTextV(EditControl* control, const char* format, va_list args) {
    if (!control) return;
    std::memset(control->text, 0, sizeof(control->text));
    if (format) std::vsnprintf(control->text, sizeof(control->text), format, args);
    control->PlaceCaret();
}

bool EditControl::Accepts(unsigned char c) const {
    if (c == 0) return false;
    if (allowed) return std::strchr(allowed, (char)c) != nullptr;
    if (c < 32 || c == 127) return false;
    return !font || font->Defines(c);
}

bool EditControl::MouseOver() { return !GuiLeftPressed(); }

void EditControl::TakeCapture() { InvokeHandlers(onStartEdit, this); }

bool EditControl::EndEdit() { return InvokeHandlers(onEndEdit, this); }

bool EditControl::CapturedInput() {
    if (HasFlags(GUI_FLAG_DISABLED)) return false;
    if (IsFinished(cursor)) PlayClip(cursor, kClipIdle, PLAY_LOOP, kEditCaretFps);

    if (Pressed(INPUT_KEY_BACKSPACE)) {
        size_t n = std::strlen(text);
        if (n) text[n - 1] = 0;
        PlaceCaret();
        InvokeHandlers(onCharErased, this);
        return true;
    }
    // OnEndEdit returning false keeps the field active.
    if (Pressed(INPUT_KEY_ENTER)) return !EndEdit();
    if ((Pressed(INPUT_MOUSE_LEFT) || Pressed(INPUT_MOUSE_RIGHT) || Pressed(INPUT_MOUSE_MIDDLE)) && !IsMouseOver(body))
        return !EndEdit();

    const int code = g_input.Get(INPUT_CHAR);
    if (code <= 0 || code > 255) return true;
    unsigned char c = (unsigned char)code;
    if (!Accepts(c)) return true;
    const size_t n = std::strlen(text);
    // The buffer bounds the text whatever the field's width and font say.
    if (n >= (size_t)(kEntryBufferSize - 1)) return true;
    if (maxLength > 0 && n >= (size_t)maxLength) return true;
    if (letterCase == EDIT_STYLE_LOWERCASE) c = (unsigned char)std::tolower(c);
    else if (letterCase == EDIT_STYLE_UPPERCASE) c = (unsigned char)std::toupper(c);
    text[n] = (char)c;
    text[n + 1] = 0;
    if (font && TextWidth(text, font) * font->size > areaWidth) text[n] = 0;
    InvokeHandlers(onCharTyped, this);
    PlaceCaret();
    return true;
}

void EditControl::MouseLeave() { ClearClip(cursor); }

void EditControl::Draw() {
    DrawVisual(body);
    DrawVisual(cursor);
    g_fontManager.DrawString(text, anchor.x, anchor.y, anchor.z, font, horizontal, 1.0f);
}

// ---- "list" ----------------------------------------------------------------------

ListControl::ListControl()
    : selected(0),
      rows(nullptr),
      highlight(nullptr),
      nameBar(nullptr),
      cursor(nullptr),
      selection(nullptr),
      font(nullptr),
      anchor{0.0f, 0.0f, 0.0f},
      boxMinY(0.0f),
      boxMaxY(0.0f),
      boxWidth(0.0f),
      scroll(nullptr),
      onSelect(nullptr),
      onSuccessEdit(nullptr),
      onFailedEdit(nullptr),
      editRow(-1),
      formerRow(nullptr) {
    std::memset(editBuffer, 0, sizeof(editBuffer));
    layout.vertical = TEXT_VALIGN_CENTER;
}

ListControl::~ListControl() {
    ReleaseVisuals();
    delete onSelect;
    delete onSuccessEdit;
    delete onFailedEdit;
}

void ListControl::Load(TiXmlElement* element) {
    if (!element) return;
    font = g_fontManager.GetFont(element->Attribute("font"));
    const char* key = element->Attribute("text");
    rows = key ? g_fontManager.GetText("%s", key) : nullptr;
    ReadBoundedFloat(element, "spacing", 0.0f, 100.0f, &layout.spacing);
    (void)element->Attribute("readonly");  // lists are always editable
    int h = ParseHorizontalAlign(element->Attribute("horizontal"), TEXT_ALIGN_LEFT);
    layout.horizontal = (unsigned char)(h ? h : TEXT_ALIGN_LEFT);
    layout.vertical = TEXT_VALIGN_CENTER;
    const int count = RowCount();
    layout.linesShown = count < kMaxShownLines ? count : kMaxShownLines;
    ReadBoundedInt(element, "lines", 0, kMaxShownLines, &layout.linesShown);
    scroll = dynamic_cast<ScrollControl*>(g_guiManager.FindControl(element->Attribute("scroll")));
    ReplaceHandlers(onSelect, element, "OnSelect");
    ReplaceHandlers(onSuccessEdit, element, "OnSuccessEdit");
    ReplaceHandlers(onFailedEdit, element, "OnFailedEdit");
}

void ListControl::BuildVisuals() {
    ReleaseVisuals();
    const float step = TextBlockStep(font, &layout);
    body = CreateVisual("body", scale, (float)layout.linesShown * step, scale, true);
    nameBar = CreateVisual("name_bar", scale * aspect, scale, scale, true);
    highlight = CreateVisual("highlight", scale * aspect, scale, scale, false);
    selection = CreateVisual("select", scale * aspect, scale, scale, false);
    cursor = CreateVisual("cursor", scale * aspect, font ? font->lineHeight * font->size : 0.0f, scale, false);
    layout.firstLine = 0;
    Place();
}

void ListControl::Place() {
    if (!body) return;
    const Vector3 p = PlacedPosition();
    // Stretched so that the box holds the shown rows, then drawn at scale 1
    // from the text anchor; the box stays where the stretch put it.
    const float step = TextBlockStep(font, &layout);
    body->SetScale(scale, (float)layout.linesShown * step, scale);
    body->SetPosition(p.x, p.y, p.z);
    float box[6];
    GetVisualHitBox(body, box);
    boxMinY = box[1];
    boxMaxY = box[4];
    boxWidth = box[3] - box[0];
    anchor.x = layout.horizontal == TEXT_ALIGN_CENTER  ? 0.5f * (box[0] + box[3])
               : layout.horizontal == TEXT_ALIGN_RIGHT ? box[3]
                                                       : box[0];
    anchor.y = 0.5f * (box[1] + box[4]);
    anchor.z = box[2];
    body->scale = Vector3{1.0f, 1.0f, 1.0f};
    body->position = anchor;
    SetVisualHitBox(body, box);
    FollowScroll();
    PlaceSelection();
    if (IsEditing()) PlaceCaret();
}

void ListControl::ReleaseVisuals() {
    // A list that closes or goes away never leaves a row half edited.
    CancelEdit();
    FreeVisual(body);
    FreeVisual(nameBar);
    FreeVisual(highlight);
    FreeVisual(selection);
    FreeVisual(cursor);
}

float ListControl::RowY(int r) const { return boxMaxY - ((float)r + 0.5f) * TextBlockStep(font, &layout); }

void ListControl::FollowScroll() {
    const int count = RowCount(), shown = layout.linesShown;
    if (count <= shown) {
        layout.firstLine = 0;
        return;
    }
    if (!scroll) return;
    int first = (int)((float)(count - shown + 0.9999f) * Clamp01(scroll->value));
    if (first > count - shown) first = count - shown;
    layout.firstLine = first < 0 ? 0 : first;
}

void ListControl::PlaceSelection() {
    if (!selection) return;
    const int r = selected - layout.firstLine;
    if (r >= 0 && r < layout.linesShown && selected < RowCount()) {
        const Vector3 p = PlacedPosition();
        selection->SetPosition(p.x, RowY(r), p.z);
        KeepLooping(selection, kClipIdle);
    } else {
        ClearClip(selection);
    }
}

void ListControl::PlaceCaret() {
    if (!cursor) return;
    const int row = IsEditing() ? editRow : selected;
    const float w = editBuffer[0] && font ? TextWidth(editBuffer, font) * font->size : 0.0f;
    float x = anchor.x + w;
    if (layout.horizontal == TEXT_ALIGN_CENTER) x = anchor.x + 0.5f * w;
    else if (layout.horizontal == TEXT_ALIGN_RIGHT) x = anchor.x;
    cursor->SetPosition(x, RowY(row - layout.firstLine), PlacedPosition().z);
}

void ListControl::ShowBufferInRow() {
    char** slot = rows && IsEditing() ? rows->LineSlot((unsigned)editRow) : nullptr;
    if (slot) SetString(*slot, editBuffer);
}

void ListControl::BeginEdit() {
    editRow = selected;
    char** slot = rows->LineSlot((unsigned)editRow);
    formerRow = slot ? *slot : nullptr;
    if (slot) *slot = nullptr;  // kept aside; the row now shows a copy of the buffer
    std::memset(editBuffer, 0, sizeof(editBuffer));
    CopyString(editBuffer, sizeof(editBuffer), formerRow);
    ShowBufferInRow();
    PlaceCaret();
}

void ListControl::CancelEdit() {
    if (!IsEditing()) return;
    char** slot = rows ? rows->LineSlot((unsigned)editRow) : nullptr;
    if (slot) {
        SetString(*slot, nullptr);
        *slot = formerRow;
    } else {
        SetString(formerRow, nullptr);
    }
    formerRow = nullptr;
    editRow = -1;
    ClearClip(cursor);
}

void ListControl::ApplyState(int newState) {
    // Any other state ends an edit that is still open; its row gets its
    // text back.
    if (IsEditing()) CancelEdit();
    switch (newState) {
    case GUI_STATE_IDLE:
        PlayClip(body, kClipIdle, PLAY_ONCE);
        PlayClip(nameBar, kClipIdle, PLAY_LOOP);
        PlayClip(selection, kClipIdle, PLAY_LOOP);
        if (IsMouseOver(body)) PlayClip(highlight, kClipIdle, PLAY_LOOP);
        ClearClip(cursor);
        break;
    case GUI_STATE_OPENING:
        PlayClip(body, kClipOpen, PLAY_ONCE);
        PlayClip(nameBar, kClipOpen, PLAY_ONCE);
        PlayClip(selection, kClipOpen, PLAY_ONCE);
        ClearClip(highlight);
        ClearClip(cursor);
        break;
    case GUI_STATE_CLOSING: {
        PlayClip(body, kClipClose, PLAY_ONCE);
        PlayClip(nameBar, kClipClose, PLAY_ONCE);
        const int r = selected - layout.firstLine;
        if (r >= 0 && r < layout.linesShown) PlayClip(selection, kClipClose, PLAY_ONCE);
        ClearClip(highlight);
        ClearClip(cursor);
        break;
    }
    case GUI_STATE_INACTIVE:
        // Editing the selected row; without one there is nothing to edit
        // and the list stays as it is.
        if (!rows || selected < 0 || selected >= RowCount()) return;
        ClearClip(highlight);
        PlayClip(cursor, kClipIdle, PLAY_LOOP, kListCaretFps);
        BeginEdit();
        break;
    default: break;
    }
    state = newState;
}

void ListControl::Update() {
    switch (state) {
    case GUI_STATE_OPENING:
    case GUI_STATE_CLOSING: StepOpenClose(body); return;
    case GUI_STATE_CLOSED: return;
    default: break;
    }
    FollowScroll();
    PlaceSelection();
    if (IsEditing()) PlaceCaret();
}

bool ListControl::MouseOver() {
    Update();
    const int r = (int)((float)layout.linesShown * MousePointIn(body).y);
    const Vector3 p = PlacedPosition();
    PlaceVisual(highlight, p.x, RowY(r), p.z);
    const int row = layout.firstLine + r;
    if (r >= layout.linesShown || row >= RowCount()) {
        ClearClip(highlight);
        return true;
    }
    KeepLooping(highlight, kClipIdle);
    if (GuiLeftPressed()) {
        selected = row;
        PlaceSelection();
        InvokeHandlers(onSelect, this);
    }
    return true;
}

bool ListControl::CapturedInput() {
    // Only an edit holds the capture: once it is over (committed, or
    // dropped when the mouse left) the capture goes.
    if (!IsEditing()) return false;
    const size_t n = std::strlen(editBuffer);
    if (Pressed(INPUT_KEY_BACKSPACE)) {
        if (n) editBuffer[n - 1] = 0;
        ShowBufferInRow();
        PlaceCaret();
        return true;
    }
    if (Pressed(INPUT_KEY_ENTER)) {
        if (!n) return true;  // an empty name is not taken
        ShowBufferInRow();
        SetString(formerRow, nullptr);
        editRow = -1;
        InvokeHandlers(onSuccessEdit, this);
        SetState(GUI_STATE_IDLE);
        return false;
    }
    const int c = g_input.Get(INPUT_CHAR);
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter && n < (size_t)(kEntryBufferSize - 1) &&
        (!font || TextWidth(editBuffer, font) * font->size < boxWidth * aspect)) {
        editBuffer[n] = (char)c;
        editBuffer[n + 1] = 0;
        ShowBufferInRow();
        PlaceCaret();
    }
    return true;
}

void ListControl::MouseLeave() {
    if (state == GUI_STATE_CLOSING || state == GUI_STATE_CLOSED) return;
    if (IsEditing()) {
        CancelEdit();
        InvokeHandlers(onFailedEdit, this);
    }
    SetState(GUI_STATE_IDLE);
    ClearClip(highlight);
}

void ListControl::Draw() {
    const float step = TextBlockStep(font, &layout);
    if (nameBar && nameBar->model) {
        const Vector3 p = PlacedPosition();
        for (int i = 0; i < layout.linesShown; ++i) {
            nameBar->SetPosition(p.x, boxMinY + 0.5f * step + (float)i * step, p.z);
            DrawVisual(nameBar);
        }
    }
    DrawVisual(selection);
    DrawVisual(highlight);
    DrawVisual(cursor);
    DrawVisualWithText(body, rows, font, &layout);
}
