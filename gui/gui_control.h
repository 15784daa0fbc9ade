// The base of every control a GUI document can declare. The manager and the
// containers drive controls only through the thirteen virtual operations
// below (kept in this order); each kind overrides what it needs.
#pragma once
#include "math3d.h"

class ModelInstance;
class GuiGroup;
class GuiHandlerList;
class TiXmlElement;
struct TextBlock;
struct Font;
struct TextLayout;

// Bits of both flag words. Every test ORs the two words together.
enum GuiControlFlag {
    GUI_FLAG_OPEN = 1,        // belongs to an open container
    GUI_FLAG_EXCLUDED = 2,    // never opened, closed, updated, hit or drawn
    GUI_FLAG_NOT_LISTED = 4,  // never put into the draw list
    GUI_FLAG_DISABLED = 8,    // takes no mouse events
    GUI_FLAG_HIDDEN = 16,     // not updated, hit or drawn; opens straight to idle
    GUI_FLAG_NOT_DRAWN = 32
};

// Masks of the bits that each pass skips.
const unsigned kGuiSkipUpdate = GUI_FLAG_EXCLUDED | GUI_FLAG_HIDDEN;                          // 18
const unsigned kGuiSkipHit = GUI_FLAG_EXCLUDED | GUI_FLAG_DISABLED | GUI_FLAG_HIDDEN;         // 26
const unsigned kGuiSkipDraw = GUI_FLAG_EXCLUDED | GUI_FLAG_HIDDEN | GUI_FLAG_NOT_DRAWN;       // 50
const unsigned kGuiCountsClosed = GUI_FLAG_EXCLUDED | GUI_FLAG_HIDDEN | GUI_FLAG_NOT_DRAWN;   // 50

// Modes of SetFlags and ClearFlags.
enum GuiFlagMode {
    GUI_FLAGS_STATE = 0,       // state word, and the child group's style words
    GUI_FLAGS_STATE_ONLY = 1,  // state word of this control only
    GUI_FLAGS_STYLE = 2        // style word, and the child group's style words
};

// Control states. A check box reads 4 as hover and 5 as checked.
enum GuiControlState {
    GUI_STATE_IDLE = 0,
    GUI_STATE_OPENING = 1,
    GUI_STATE_CLOSING = 2,
    GUI_STATE_CLOSED = 3,
    GUI_STATE_INACTIVE = 4,
    GUI_STATE_HOVER_START = 5,
    GUI_STATE_HOVER = 6,
    GUI_STATE_HOVER_END = 7,
    GUI_STATE_SELECTED = 8,  // pressed (button) or selected (radio button)

    GUI_STATE_CHECK_HOVER = 4,
    GUI_STATE_CHECKED = 5
};

class GuiControl {
public:
    GuiControl();

    // 1. Frees name, texture name and model name (kinds free their own first).
    virtual ~GuiControl();
    // 2. The kind's own attributes; the base reads nothing.
    virtual void Load(TiXmlElement* element);
    // 3. Moves the visuals to position + offset; the base moves the body.
    virtual void Place();
    // 4. Creates the visuals on every open; the base only calls Place.
    virtual void BuildVisuals();
    // 5. Frees the visuals on every drop; the base does nothing.
    virtual void ReleaseVisuals();
    // 6. Every change of state goes through here. A control whose container
    // has started closing takes no state but closing (2) or closed (3) until
    // the container opens again: a timer's end, a wheel's stop or a line for
    // the status bar arriving while the screen closes never reopens what the
    // screen is waiting for. The kind's own work is ApplyState.
    void SetState(int newState);
    // Whether SetState(newState) is refused now (its container is closing).
    bool RefusesState(int newState) const;
    // 7. Once a frame while neither hovered nor active.
    virtual void Update();
    // 8. Each frame while the mouse is over it; false asks for the capture.
    virtual bool MouseOver();
    // 9. Each frame while it holds the capture; false releases it.
    virtual bool CapturedInput();
    // 10. The mouse left, or the capture ended.
    virtual void MouseLeave();
    // 11.
    virtual void MouseEnter();
    // 12. It has become the active control.
    virtual void TakeCapture();
    // 13.
    virtual void Draw();

    // "name", "pos", "rot", "pivot", "scale", "aspect", "model", "texture",
    // "fps", "group". On a device that draws 1:1 (the 2D edition) nothing
    // turns, scales or pivots: "rot", "pivot", "scale" and "aspect" are
    // not read there.
    void LoadCommon(TiXmlElement* element);

    // Mode GUI_FLAGS_STYLE changes the style word, any other mode the state
    // word; unless the mode is GUI_FLAGS_STATE_ONLY the child group's
    // controls get the same bits in their style words.
    void SetFlags(unsigned bits, int mode);
    void ClearFlags(unsigned bits, int mode);
    unsigned Flags() const { return stateFlags | styleFlags; }
    bool HasFlags(unsigned bits) const { return (Flags() & bits) != 0; }
    bool IsOpen() const { return HasFlags(GUI_FLAG_OPEN); }

    // Stores the position; an open control is placed again and its child
    // group follows.
    void SetPosition(float px, float py, float pz);

    // The mouse over the instance (the body when null); false without one.
    bool IsMouseOver(ModelInstance* instance = nullptr) const;
    // The mouse point relative to the instance's box as (x, 1 - y, 0), each
    // of x and y kept within 0.01 .. 0.99.
    Vector3 MousePointIn(ModelInstance* instance = nullptr) const;

    // ---- Helpers for the kinds -------------------------------------------

    // A new visual of this control's model part with its texture, scaled;
    // with a pivot of pivot + offset when asked. The caller places it.
    ModelInstance* CreateVisual(const char* part, float sx, float sy, float sz, bool withPivot) const;
    // The standard body set-up: part "body", scale (scale x aspect, scale,
    // scale), pivot + offset, the rotation when asked, then Place.
    void SetUpBody(bool withRotation);

    // Position + offset, where every visual is placed.
    Vector3 PlacedPosition() const {
        Vector3 p = {position.x + offset.x, position.y + offset.y, position.z + offset.z};
        return p;
    }

    // Null-safe operations on a visual.
    static void PlayClip(ModelInstance* visual, const char* clip, int mode, float fps = 0.0f);
    // No clip, play once: the visual is finished and draws nothing.
    static void ClearClip(ModelInstance* visual);
    // A missing visual counts as finished.
    static bool IsFinished(const ModelInstance* visual);
    static void PlaceVisual(ModelInstance* visual, float px, float py, float pz);
    static void DrawVisual(ModelInstance* visual);
    static void FreeVisual(ModelInstance*& visual);

    // Draws the visual with a text block in its frame. Without a block the
    // visual still advances its animation (nothing is drawn), so a text or
    // list control that has no text still finishes opening and closing.
    static void DrawVisualWithText(ModelInstance* visual, TextBlock* block, Font* font,
                                   TextLayout* layout);

    // The open and close steps shared by the animated kinds: in state 1,
    // once the visual has finished, SetState(next); in state 2, once it has
    // finished, SetState(3). Returns the state it moved to, or -1.
    int StepOpenClose(const ModelInstance* visual, int stateAfterOpening = GUI_STATE_IDLE);

    // ---- Fields ------------------------------------------------------------
    char* name;
    ModelInstance* body;
    Vector3 position;  // view units; z is the depth of the draw list
    Rotation rotation;
    float scale;
    float aspect;
    Vector3 pivot;
    char* textureName;
    char* modelName;
    float fps;  // "fps": the rate of the control's own clips; 0: the default
    GuiGroup* childGroup;
    GuiGroup* owner;
    int indexInOwner;
    Vector3 offset;
    unsigned stateFlags;
    unsigned styleFlags;
    int state;
    int pendingState;
    // How the control stood when its container kept its first state
    // (GuiGroup::KeepFirstState): both flag words (without the open bit),
    // its position and its turn.
    struct FirstState {
        bool kept = false;
        unsigned stateFlags = 0;
        unsigned styleFlags = 0;
        Vector3 position = {0.0f, 0.0f, 0.0f};
        Rotation rotation = {0.0f, {0.0f, 0.0f, 0.0f}};
    } firstState;

protected:
    // What a change of state does for the kind; the base maps opening to
    // idle and closing to closed, no animation.
    virtual void ApplyState(int newState);

private:
    GuiControl(const GuiControl&) = delete;
    GuiControl& operator=(const GuiControl&) = delete;
};

// Clip names of the control models.
extern const char* const kClipIdle;        // "idle"
extern const char* const kClipOpen;        // "open"
extern const char* const kClipClose;       // "close"
extern const char* const kClipInactive;    // "inactive"
extern const char* const kClipHoverStart;  // "hover_start"
extern const char* const kClipHover;       // "hover"
extern const char* const kClipHoverEnd;    // "hover_end"
extern const char* const kClipSelect;      // "select"
extern const char* const kClipCheck;       // "check"

// Reads a whole-number attribute; false (and out unchanged) when absent.
bool ReadIntAttribute(TiXmlElement* element, const char* attribute, int* out);
// Reads a decimal attribute; false (and out unchanged) when absent.
bool ReadFloatAttribute(TiXmlElement* element, const char* attribute, float* out);
// Frees the list in slot and puts there the one the event attribute names
// (null when absent).
void ReplaceHandlers(GuiHandlerList*& slot, TiXmlElement* element, const char* attribute);

// The left mouse button (input code 128) went down, or up, in this frame.
bool GuiLeftPressed();
bool GuiLeftReleased();
