// The kinds that hold a value the player changes: "slider" (horizontal, 0
// to 1, dragged), "scroll" (vertical, 0 at the top, dragged or stepped by
// its arrows; also a list's row offset), "edit" (a one-line entry field)
// and "list" (rows of a text block, one selectable, editable in place).
#pragma once
#include <cstdarg>

#include "font_manager.h"
#include "gui_control.h"

class GuiHandlerList;
class ModelInstance;

// Text buffers of the entry kinds: at most 255 characters and the zero.
const int kEntryBufferSize = 256;

// "slider": unreach, OnChange, OnHoverStart, OnHoverEnd
class SliderControl : public GuiControl {
public:
    SliderControl();
    ~SliderControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    bool CapturedInput() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    // Stores the value, kept within 0..1 (a value from outside, such as a
    // damaged settings file, would put the point off the track); an open
    // slider moves its point.
    void SetValue(float newValue);
    // The value of a mouse point at relative x (0..1 across the body's box).
    float ValueAt(float relativeX) const;

    float value;
    ModelInstance* point;
    ModelInstance* left;
    ModelInstance* right;
    float unreach;  // view units kept free at each end of the track
    GuiHandlerList* onChange;
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;

private:
    void PlacePoint();

protected:
    void ApplyState(int newState) override;
};

// "scroll": unreach, jump, OnChange, OnHoverStart, OnHoverEnd
class ScrollControl : public GuiControl {
public:
    ScrollControl();
    ~ScrollControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    bool CapturedInput() override;
    void MouseLeave() override;
    void MouseEnter() override;
    void Draw() override;

    // Clamps to 0..1; false (nothing changes) when that is the value it has.
    bool SetValue(float newValue);
    // The value of a mouse point at relative y (0 at the top of the box).
    float ValueAt(float relativeY) const;

    float value;
    float jump;  // one arrow press
    ModelInstance* point;
    ModelInstance* up;
    ModelInstance* down;
    float unreach;
    GuiHandlerList* onChange;
    GuiHandlerList* onHoverStart;
    GuiHandlerList* onHoverEnd;

private:
    void PlacePoint();

protected:
    void ApplyState(int newState) override;
};

// Letter cases of the "style" attribute of an edit field.
enum EditStyle { EDIT_STYLE_NORMAL = 1, EDIT_STYLE_LOWERCASE = 2, EDIT_STYLE_UPPERCASE = 3 };

// "edit": max_len, font, chars, style, horizontal, OnStartEdit, OnEndEdit,
// OnCharTyped, OnCharErased
class EditControl : public GuiControl {
public:
    EditControl();
    ~EditControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    bool MouseOver() override;
    bool CapturedInput() override;
    void MouseLeave() override;
    void TakeCapture() override;
    void Draw() override;

    // Clears the field, then printf-style into it (at most 255 characters).
    // Nothing for a null control.
    static void SetText(EditControl* control, const char* format, ...);
    static void SetTextV(EditControl* control, const char* format, va_list args);
    // Whether c may be typed into the field ("chars"; without it any
    // printable character the font has).
    bool Accepts(unsigned char c) const;
    // The caret just behind the last character.
    void PlaceCaret();

    char text[kEntryBufferSize];
    int maxLength;  // 0: only the width and the buffer limit it
    ModelInstance* cursor;
    Vector3 anchor;     // where the text is drawn
    float areaWidth;    // the cursor box's width when built
    Font* font;
    char* allowed;      // "chars"
    int letterCase;     // EditStyle
    int horizontal;     // TextAlign
    GuiHandlerList* onStartEdit;
    GuiHandlerList* onEndEdit;
    GuiHandlerList* onCharTyped;
    GuiHandlerList* onCharErased;

private:
    // "OnEndEdit"; true when the capture is to be released.
    bool EndEdit();
};

class ScrollControl;

// "list": font, text, spacing, readonly, horizontal, lines, scroll,
// OnSelect, OnSuccessEdit, OnFailedEdit
class ListControl : public GuiControl {
public:
    ListControl();
    ~ListControl() override;
    void Load(TiXmlElement* element) override;
    // The body stretched over the shown rows and moved to the text anchor;
    // the rows' visuals follow. Also after the list was moved.
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    bool MouseOver() override;
    bool CapturedInput() override;
    void MouseLeave() override;
    void Draw() override;

    int RowCount() const { return rows ? (int)rows->LineCount() : 0; }
    // y of the centre of shown row r (0 at the top).
    float RowY(int r) const;
    // first row shown from the scroll control, when the rows overflow.
    void FollowScroll();
    void PlaceSelection();
    void PlaceCaret();
    bool IsEditing() const { return editRow >= 0; }
    // The row being edited (-1 when none); it stays the same whatever the
    // selection does meanwhile.
    int EditedRow() const { return editRow; }

    int selected;
    TextBlock* rows;
    ModelInstance* highlight;
    ModelInstance* nameBar;
    ModelInstance* cursor;
    ModelInstance* selection;
    char editBuffer[kEntryBufferSize];
    Font* font;
    TextLayout layout;
    Vector3 anchor;
    float boxMinY, boxMaxY;  // the body's box, kept when the body moves
    float boxWidth;
    ScrollControl* scroll;
    GuiHandlerList* onSelect;
    GuiHandlerList* onSuccessEdit;
    GuiHandlerList* onFailedEdit;

private:
    void BeginEdit();
    // Gives the edited row its former text back; no handler runs.
    void CancelEdit();
    // The row shows the buffer while it is edited.
    void ShowBufferInRow();
    int editRow;        // -1: not editing
    char* formerRow;    // the edited row's own string, kept aside

protected:
    void ApplyState(int newState) override;
};
